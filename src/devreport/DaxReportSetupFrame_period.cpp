// The period the settings dialog offers: the dates the instrument's data covers and the
// bounds of each report kind.

#include "DaxReportSetupFrame.h"

#include "device/Daxhelper.h"

#include <algorithm>

namespace {

// The first and last real dates of a vector, the first searched from the front and the last
// from the back (records that are no date, such as empty pages, are skipped). False when the
// vector holds no dated record.
template <typename Record>
bool DatedRange(const std::vector<Record>& records, double& first, double& last)
{
    const auto dated = [](const Record& record, double& date) { return ReportRecordDate(record.bytes, date); };
    auto front = records.begin();
    for (; front != records.end(); ++front)
        if (dated(*front, first))
            break;
    if (front == records.end())
        return false;
    for (auto back = records.rbegin(); back != records.rend(); ++back)
        if (dated(*back, last))
            return true;
    return true; // not reached: the front record is dated
}

// A vector without a dated record counts as empty: both dates are today. (Keeping the dates of
// an earlier scan would offer a period of data that is not there, possibly another instrument's.)
template <typename Record>
void ScanRange(const std::vector<Record>& records, double today, double& first, double& last)
{
    if (!DatedRange(records, first, last))
        first = last = today;
}

template <typename Record>
bool HasDatedRecord(const std::vector<Record>& records)
{
    double first = 0;
    double last = 0;
    return DatedRange(records, first, last);
}

} // namespace

void ReportPeriodRules::ScanArchiveDateRange(int32_t reportType, DaxHelper* source, double today)
{
    if (!source) {
        // No instrument data at all: every vector is empty.
        switch (reportType) {
        case 0:
            DayArchiveFirst = DayArchiveLast = today;
            TotalArchiveFirst = TotalArchiveLast = today;
            HourArchiveFirst = HourArchiveLast = today;
            break;
        case 1:
        case 2:
            PeriodMin = PeriodMax = today;
            break;
        default:
            break;
        }
        return;
    }
    // A read all replaces the vectors under the image lock while the dialog may be open.
    DaxHelperLocker lock(source);
    switch (reportType) {
    case 0:
        ScanRange(source->DayArchive, today, DayArchiveFirst, DayArchiveLast);
        ScanRange(source->TotalDayArchive, today, TotalArchiveFirst, TotalArchiveLast);
        ScanRange(source->HourArchive, today, HourArchiveFirst, HourArchiveLast);
        break;
    case 1:
        ScanRange(source->NotStaffJournal, today, PeriodMin, PeriodMax);
        break;
    case 2:
        ScanRange(source->OperatorJournal, today, PeriodMin, PeriodMax);
        break;
    default:
        break;
    }
}

ReportPeriodRules::Shown ReportPeriodRules::ControlsShown(int32_t reportType)
{
    switch (reportType) {
    case 0:
        return {true, true, true, true, true};
    case 1:
        return {true, true, false, true, false};
    case 2:
        return {false, true, false, false, false};
    default:
        return {};
    }
}

bool ReportPeriodRules::ApplyBounds(int32_t reportType, DaxHelper* source, bool& totalValues, bool& hourArchive)
{
    if (reportType < 0 || reportType > 2)
        return false;
    if (reportType == 0) {
        bool totalsHeld = false;
        bool hoursHeld = false;
        if (source) {
            DaxHelperLocker lock(source);
            totalsHeld = HasDatedRecord(source->TotalDayArchive);
            hoursHeld = HasDatedRecord(source->HourArchive);
        }
        PeriodMin = DayArchiveFirst;
        PeriodMax = DayArchiveLast;
        if (totalValues) {
            if (!totalsHeld) {
                totalValues = false;
            } else {
                PeriodMin = std::max(PeriodMin, TotalArchiveFirst);
                PeriodMax = std::min(PeriodMax, TotalArchiveLast);
                // The totals of a period are those at the end of the day before its first day.
                if (PeriodMin == TotalArchiveFirst)
                    PeriodMin += 1;
            }
        }
        if (hourArchive) {
            if (!hoursHeld) {
                hourArchive = false;
            } else {
                PeriodMin = std::max(PeriodMin, HourArchiveFirst);
                PeriodMax = std::min(PeriodMax, HourArchiveLast);
            }
        }
    }
    // Archives that do not overlap (total records that end before the day archive starts):
    // one day, for which the report then says what is missing.
    if (PeriodMax < PeriodMin)
        PeriodMax = PeriodMin;
    return true;
}
