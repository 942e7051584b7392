// devreport [--passes N]: the archive report with totals, hours and codes, built by the
// report builder from its template and run by the engine, headless, as "Отчет" makes it:
//   May       the demo instrument's May 2024 (744 hours, 31 days)
//   worst     65,535 hour records (the most the data file holds), every hour of the period,
//             with a day and a total day record for each of its days
// For each it prints the seconds per pass (the builder, the engine's two passes; the median
// of N passes, 3 by default, 1 for the worst case), the pages and the seconds of a PDF export
// of them with the device frame's settings into memory. Goals: the month under 0.5 s, the
// worst case under 30 s. A timed run, never a test.

#include "DataFile.h"
#include "DemoState.h"

#include "device/Daxhelper.h"
#include "devreport/DeviceReportBuilder.h"
#include "devreport/DeviceReportTemplates.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "report/core/Services.h"
#include "report/engine/ui/EngineUi.h"
#include "report/engine/ui/rpPreviewForm.h"
#include "report/export/ExportRuntime.h"
#include "report/export/rpExportDefaults.h"
#include "report/export/rpExportPDF.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/script/ScriptedUi.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QHash>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr size_t kWorstHours = 65535;

// The device frame as a table: the few controls the archive report prints.
class BenchHost : public DeviceReportHost {
public:
    BenchHost()
    {
        daxsim::Instrument instrument(daxsim::DemoState(daxsim::Model::Dax02), 1);
        helper.LoadDataFileBytes(daxsim::DataFileBytesOfInstrument(instrument));
        DeviceReportTemplates::Load(archive, QString::fromUtf8(DeviceReportTemplates::kArchiveReport));
        texts = {{QStringLiteral("Model"), QStringLiteral("Dax-02")},
                 {QStringLiteral("SerialNumInfo"), QStringLiteral("12345")},
                 {QStringLiteral("ConfigurationTS1/SchemeComboBox"), QStringLiteral("5.9")},
                 {QStringLiteral("ConfigurationTS1/QFormula"), QStringLiteral("Q = M1·h1-M2·h2")}};
    }
    DaxHelper& Helper() override { return helper; }
    TReportData& ReportData() override { return data; }
    TrpReport& Template(const char*) override { return archive; }
    QString ControlText(const QString& path) override { return texts.value(path); }
    double PickerDate(const QString&) override { return 0; }
    DisplayOptions Options() override { return {}; }
    bool RunSetupDialog(ReportSetupStruct& chosen) override
    {
        chosen = setup;
        return true;
    }

    DaxHelper helper;
    TReportData data;
    TrpReport archive;
    QHash<QString, QString> texts;
    ReportSetupStruct setup;
};

// The moment of the hour archive's last record.
std::chrono::sys_seconds LastHour(const DaxHelper& helper)
{
    using namespace std::chrono;
    const auto& last = helper.HourArchive.back().bytes;
    return sys_days{year{2000 + last[0]} / month{last[1]} / day{last[2]}} + hours{last[3]};
}

// Replaces `records` by `count` records ending at `end`, `step` apart, each a copy of the first
// with its own date (and hour) and a matching check word.
template <typename Record>
void FillRecords(std::vector<Record>& records, size_t count, std::chrono::sys_seconds end, std::chrono::hours step,
                 bool withHour)
{
    using namespace std::chrono;
    const Record pattern = records.front();
    records.assign(count, pattern);
    for (size_t i = 0; i < count; ++i) {
        const sys_seconds moment = end - step * static_cast<int64_t>(count - 1 - i);
        const sys_days date = floor<days>(moment);
        const year_month_day ymd{date};
        auto& record = records[i];
        record.bytes[0] = static_cast<uint8_t>(static_cast<int>(ymd.year()) - 2000);
        record.bytes[1] = static_cast<uint8_t>(unsigned{ymd.month()});
        record.bytes[2] = static_cast<uint8_t>(unsigned{ymd.day()});
        if (withHour)
            record.bytes[3] = static_cast<uint8_t>(duration_cast<hours>(moment - date).count());
        record.StoreCheckWord();
    }
}

// The worst case: `hours` hour records ending with the demo's last hour, and day and total day
// records for every day they cover and the day before (a period's totals are those of the day
// before its first and of its last).
void FillWorstCase(DaxHelper& helper, size_t hours)
{
    using namespace std::chrono;
    const DaxHelperLocker lock(&helper);
    const sys_seconds end = LastHour(helper);
    FillRecords(helper.HourArchive, hours, end, std::chrono::hours{1}, true);
    const size_t days = hours / 24 + 3;
    const sys_seconds lastDay = floor<std::chrono::days>(end);
    FillRecords(helper.DayArchive, days, lastDay, std::chrono::hours{24}, false);
    FillRecords(helper.TotalDayArchive, days, lastDay, std::chrono::hours{24}, false);
}

double HourDay(const DaxHelper& helper, size_t index)
{
    const auto& bytes = helper.HourArchive[index].bytes;
    return EncodeDate(2000 + bytes[0], bytes[1], bytes[2]);
}

struct Measured {
    double passSeconds = 0;
    int32_t pages = 0;
    double exportSeconds = 0;
    qint64 pdfBytes = 0;
};

Measured Run(BenchHost& host, int passes)
{
    ScriptedUi ui;
    ReportServices::SetUi(&ui);
    std::vector<double> seconds;
    Measured measured;
    QElapsedTimer timer;
    ui.OnModal = [&](QObject& window, const QString&) {
        if (dynamic_cast<TrpPreviewForm*>(&window) != nullptr) {
            host.archive.PrepareTimerTick();
            seconds.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e9);
            measured.pages = host.archive.PreviewPages()->GetCount();
        }
        return int(mrCancel);
    };
    for (int i = 0; i < passes; ++i) {
        timer.start();
        BuildAndShowReport(host);
    }
    for (const QString& message : ui.Messages)
        std::fprintf(stderr, "devreport: %s\n", qPrintable(message));
    ReportServices::SetUi(nullptr);
    if (seconds.empty())
        return measured;
    std::sort(seconds.begin(), seconds.end());
    measured.passSeconds = seconds[seconds.size() / 2];

    // The last pass's pages, exported as the preview's export does, into memory.
    auto filter = TrpCustomExportFilter::CreateNoRegister<TrpPDFExport>();
    ApplyDeviceFrameSettings(*filter);
    filter->ShowDialog = false;
    filter->ShowProgress = false;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    filter->Stream = &buffer;
    timer.start();
    if (!host.archive.Export(filter.get()))
        std::fprintf(stderr, "devreport: export failed: %s\n", qPrintable(host.archive.Errors().join(u'\n')));
    measured.exportSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    measured.pdfBytes = buffer.data().size();
    return measured;
}

void Print(const char* name, size_t hours, const Measured& m, double goal)
{
    std::printf("%-6s %6zu hours: %8.3f s per pass, %5d pages, PDF export %7.3f s (%.1f MB), goal %.1f s: %s\n", name,
                hours, m.passSeconds, m.pages, m.exportSeconds, static_cast<double>(m.pdfBytes) / 1e6, goal,
                m.passSeconds > 0 && m.passSeconds < goal ? "met" : "missed");
}

void ChooseArchive(ReportSetupStruct& setup, double first, double last)
{
    setup.ReportType = 0;
    setup.ReportData = 0;
    setup.BeginPeriod = first;
    setup.EndPeriod = last;
    setup.TotalValuesShow = true;
    setup.HourArchiveShow = true;
    setup.NotStaffInfoShow = true;
    setup.PrinterOrientation = 1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    int passes = 3;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--passes") == 0 && i + 1 < argc) {
            passes = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fputs("usage: devreport [--passes N]\n", stderr);
            return 2;
        }
    }
    try {
        EngineUi::init();
        ExportRuntime::init();
        DevReportRuntime::init();

        BenchHost month;
        ChooseArchive(month.setup, EncodeDate(2024, 5, 1), EncodeDate(2024, 5, 31));
        Print("May", 744, Run(month, passes), 0.5);

        BenchHost worst;
        FillWorstCase(worst.helper, kWorstHours);
        ChooseArchive(worst.setup, HourDay(worst.helper, 0), HourDay(worst.helper, kWorstHours - 1));
        Print("worst", kWorstHours, Run(worst, 1), 30);
    } catch (...) {
        std::fprintf(stderr, "devreport: %s\n", platform::CurrentExceptionMessage().c_str());
        return 1;
    }
    return 0;
}
