// The chosen period's records, out of what DaxHelper holds, into the report data.

#include "DaxReportSetupFrame.h"
#include "Texts.h"

#include "device/Daxhelper.h"
#include "platform/DateTime.h"
#include "report/core/Services.h"

#include <cstring>

using dax_namespace::ArchiveStruct;
using dax_namespace::JournalStruct;
using dax_namespace::TotalArchiveStruct;

namespace {

// What the selection reads of DaxHelper, copied under its image lock: a read all that ends
// meanwhile replaces the vectors.
struct DeviceRecords {
    std::vector<ArchiveStruct> HourArchive;
    std::vector<ArchiveStruct> DayArchive;
    std::vector<TotalArchiveStruct> TotalDayArchive;
    std::vector<JournalStruct> NotStaffJournal;
    std::vector<JournalStruct> OperatorJournal;
};

void ShowMissingData(const char* text)
{
    ReportServices::Ui().MessageDlg(QString(), QString::fromUtf8(text), UiMessageType::Custom, UiButtons({mbOK}));
}

template <typename Record>
bool InPeriod(const Record& record, const ReportSetupStruct& setup)
{
    double date = 0;
    return ReportRecordDate(record.bytes, date) && setup.BeginPeriod <= date && date <= setup.EndPeriod;
}

template <typename Record>
void SelectPeriod(const std::vector<Record>& from, std::vector<Record>& into, const ReportSetupStruct& setup)
{
    into.clear();
    for (const Record& record : from)
        if (InPeriod(record, setup))
            into.push_back(record);
}

void AccumulateNotStaff(TReportData& data, const ArchiveStruct& day)
{
    for (size_t channel = 0; channel < data.ChanelNotStaff.size(); ++channel)
        data.ChanelNotStaff[channel] |= day.bytes[ArchiveStruct::kChannelFlags + channel];
    data.HardwareNotStaff |= day.ReadU16(ArchiveStruct::kHardwareFlags);
    data.ModeFlags |= day.ReadU16(ArchiveStruct::kModeFlags);
    data.HeatSystem1NotStaff |= day.ReadU16(ArchiveStruct::HeatSystemFlagsOffset(1));
    data.HeatSystem2NotStaff |= day.ReadU16(ArchiveStruct::HeatSystemFlagsOffset(2));
}

// The counters of a total record: floats and integers by byte range.
struct CounterRange {
    size_t First;
    size_t Count;
    bool Float;
};
constexpr CounterRange kCounterRanges[] = {
    {4, 12, true},  {52, 16, false},                                        // V, M, Q3; minute counts
    {118, 9, true}, {118 + 36, 8, false}, {186, 9, true}, {186 + 36, 8, false}, // the two heat systems
};

// End minus begin for every counter; the other bytes are the end record's.
TotalArchiveStruct Difference(const TotalArchiveStruct& end, const TotalArchiveStruct& begin)
{
    TotalArchiveStruct result = end;
    for (const CounterRange& range : kCounterRanges) {
        for (size_t i = 0; i < range.Count; ++i) {
            const size_t offset = range.First + 4 * i;
            if (range.Float)
                result.WriteF32(offset, end.ReadF32(offset) - begin.ReadF32(offset));
            else
                result.WriteU32(offset, end.ReadU32(offset) - begin.ReadU32(offset));
        }
    }
    return result;
}

QString Caption(double date, const char* time)
{
    return QString::fromStdString(FormatDateTime(devreport::kCaptionDateFormat, date)) + QString::fromUtf8(time);
}

bool SelectArchive(TReportData& data, const DeviceRecords& device, const ReportSetupStruct& setup)
{
    data.DayRecords.clear();
    data.HourRecords.clear();
    data.TotalRows.clear();
    data.BeginTotals = TotalArchiveStruct();
    data.EndTotals = TotalArchiveStruct();
    data.PeriodTotals = TotalArchiveStruct();

    for (const ArchiveStruct& day : device.DayArchive) {
        if (!InPeriod(day, setup))
            continue;
        data.DayRecords.push_back(day);
        AccumulateNotStaff(data, day);
    }
    if (data.DayRecords.empty()) {
        ShowMissingData(devreport::kNoDayDataText);
        return false;
    }
    if (setup.HourArchiveShow)
        SelectPeriod(device.HourArchive, data.HourRecords, setup);

    if (setup.TotalValuesShow) {
        const double dayBefore = setup.BeginPeriod - 1;
        bool haveBegin = false;
        bool haveEnd = false;
        for (const TotalArchiveStruct& total : device.TotalDayArchive) {
            double date = 0;
            if (!ReportRecordDate(total.bytes, date))
                continue;
            if (date == dayBefore) {
                data.BeginTotals = total;
                haveBegin = true;
            }
            if (date == setup.EndPeriod) {
                data.EndTotals = total;
                haveEnd = true;
            }
            if (haveBegin && haveEnd)
                break;
        }
        if (!haveBegin) {
            ShowMissingData(devreport::kNoBeginTotalsText);
            return false;
        }
        if (!haveEnd) {
            ShowMissingData(devreport::kNoEndTotalsText);
            return false;
        }
        data.PeriodTotals = Difference(data.EndTotals, data.BeginTotals);
        data.TotalRows = {data.BeginTotals, data.EndTotals, data.PeriodTotals};
        data.TotalCaptions[0] = Caption(setup.BeginPeriod, devreport::kBeginTimeText);
        data.TotalCaptions[1] = Caption(setup.EndPeriod, devreport::kEndTimeText);
        data.TotalCaptions[2] = QString::fromUtf8(devreport::kPeriodTotalText);
    }
    return true;
}

} // namespace

bool ReportRecordDate(std::span<const uint8_t> bytes, double& date)
{
    if (bytes.size() < 3)
        return false;
    return TryEncodeDate(2000 + bytes[0], bytes[1], bytes[2], date);
}

bool SelectReportPeriodData(TReportData& data, DaxHelper& helper, ReportSetupStruct setup)
{
    data.HeatSystem1NotStaff = 0;
    data.HeatSystem2NotStaff = 0;
    data.ChanelNotStaff.fill(0);
    data.ModeFlags = 0;
    data.HardwareNotStaff = 0;

    DeviceRecords device;
    {
        DaxHelperLocker lock(&helper);
        switch (setup.ReportType) {
        case 0:
            device.DayArchive = helper.DayArchive;
            if (setup.HourArchiveShow)
                device.HourArchive = helper.HourArchive;
            if (setup.TotalValuesShow)
                device.TotalDayArchive = helper.TotalDayArchive;
            break;
        case 1:
            device.NotStaffJournal = helper.NotStaffJournal;
            break;
        case 2:
            device.OperatorJournal = helper.OperatorJournal;
            break;
        default:
            break;
        }
    }

    switch (setup.ReportType) {
    case 0:
        return SelectArchive(data, device, setup);
    case 1:
        SelectPeriod(device.NotStaffJournal, data.NotStaffJournal, setup);
        if (data.NotStaffJournal.empty()) {
            ShowMissingData(devreport::kNoNotStaffJournalText);
            return false;
        }
        return true;
    case 2:
        SelectPeriod(device.OperatorJournal, data.OperatorJournal, setup);
        if (data.OperatorJournal.empty()) {
            ShowMissingData(devreport::kNoOperatorJournalText);
            return false;
        }
        return true;
    default:
        return true;
    }
}
