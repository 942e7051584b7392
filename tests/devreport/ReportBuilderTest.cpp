// The report road headless over the demo instrument's history: the real templates, engine and
// preview, with a host answering the frame's controls from a table.

#include "DataFile.h"
#include "DemoState.h"

#include "devreport/DeviceReportBuilder.h"
#include "devreport/DeviceReportTemplates.h"
#include "devreport/Texts.h"
#include "device/Daxhelper.h"
#include "device/Registers.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "report/core/Services.h"
#include "report/engine/ui/EngineUi.h"
#include "report/engine/ui/rpPreviewForm.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/script/ScriptedUi.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <optional>

#include <gtest/gtest.h>

namespace {

// The engine and the device report classes, started before any report is made (a report's
// script knows the classes registered when it was made).
struct Started {
    Started()
    {
        EngineUi::init();
        DevReportRuntime::init();
    }
};

class TableHost : public DeviceReportHost {
public:
    explicit TableHost(daxsim::Model model)
    {
        daxsim::Instrument instrument(daxsim::DemoState(model), 1);
        helper.LoadDataFileBytes(daxsim::DataFileBytesOfInstrument(instrument));
        DeviceReportTemplates::Load(archive, QString::fromUtf8(DeviceReportTemplates::kArchiveReport));
        DeviceReportTemplates::Load(info, QString::fromUtf8(DeviceReportTemplates::kInfoReport));
        DeviceReportTemplates::Load(setup01, QString::fromUtf8(DeviceReportTemplates::kSetupReport01));
        DeviceReportTemplates::Load(setup02, QString::fromUtf8(DeviceReportTemplates::kSetupReport02));
        texts = {{QStringLiteral("Model"), QStringLiteral("DAX-02")},
                 {QStringLiteral("SerialNumInfo"), QStringLiteral("123456")},
                 {QStringLiteral("ConfigurationTS1/SchemeComboBox"), QStringLiteral("Схема 1")},
                 {QStringLiteral("ConfigurationTS1/QFormula"), QStringLiteral("Q = M1*(h1-h2)")}};
    }

    DaxHelper& Helper() override { return helper; }
    TReportData& ReportData() override { return data; }
    TrpReport& Template(const char* name) override
    {
        if (QString::fromUtf8(name) == QString::fromUtf8(DeviceReportTemplates::kArchiveReport))
            return archive;
        if (QString::fromUtf8(name) == QString::fromUtf8(DeviceReportTemplates::kInfoReport))
            return info;
        if (QString::fromUtf8(name) == QString::fromUtf8(DeviceReportTemplates::kSetupReport01))
            return setup01;
        if (QString::fromUtf8(name) == QString::fromUtf8(DeviceReportTemplates::kSetupReport02))
            return setup02;
        throw platform::Exception(std::string("no template ") + name);
    }
    QString ControlText(const QString& path) override
    {
        asked << path;
        if (echoPaths && !texts.contains(path))
            return path;
        if (!texts.contains(path))
            throw platform::Exception(
                QString::fromUtf8(devreport::kControlMissingText).arg(path).toStdString());
        return texts.value(path);
    }
    double PickerDate(const QString& name) override
    {
        asked << name;
        return name == u"WinterPeriodStart" ? EncodeDate(2024, 10, 15) : EncodeDate(2024, 4, 1);
    }
    DisplayOptions Options() override { return {}; }
    bool RunSetupDialog(ReportSetupStruct& chosen) override
    {
        chosen = setup;
        return true;
    }

    Started started;
    DaxHelper helper;
    TReportData data;
    TrpReport archive;
    TrpReport info;
    TrpReport setup01;
    TrpReport setup02;
    QHash<QString, QString> texts;
    // Every control the table lacks shows its own path (the settings report's variables).
    bool echoPaths = false;
    QStringList asked;
    ReportSetupStruct setup;
};

// What the prepared pages print, memo by memo.
QStringList PreparedTexts(TrpReport& report)
{
    QStringList texts;
    TrpCustomPreviewPages* pages = report.PreviewPages();
    const int32_t count = pages->GetCount();
    for (int32_t i = 0; i < count; ++i) {
        for (TrpComponent* object : pages->GetPage(i)->AllObjects()) {
            if (auto* memo = dynamic_cast<TrpCustomMemoView*>(object)) {
                memo->TotalPages = count;
                memo->CopyNo = 1;
                memo->ExtractMacros();
                texts << memo->Text();
            }
        }
    }
    return texts;
}

struct ShownPreview {
    explicit ShownPreview(TrpReport& report)
    {
        ReportServices::SetUi(&ui);
        ui.OnModal = [this, &report](QObject& window, const QString&) {
            auto* form = dynamic_cast<TrpPreviewForm*>(&window);
            EXPECT_NE(form, nullptr);
            report.PrepareTimerTick();
            pages = report.PreviewPages()->GetCount();
            texts = PreparedTexts(report);
            ++shown;
            return 0;
        };
    }
    ~ShownPreview() { ReportServices::SetUi(nullptr); }
    ScriptedUi ui;
    int shown = 0;
    int32_t pages = 0;
    QStringList texts;
};

TEST(ReportBuilder, ArchiveReportOfMayIsPreparedAndShown)
{
    TableHost host(daxsim::Model::Dax02);
    host.setup.ReportType = 0;
    host.setup.ReportData = 0;
    host.setup.BeginPeriod = EncodeDate(2024, 5, 1);
    host.setup.EndPeriod = EncodeDate(2024, 5, 31);
    host.setup.TotalValuesShow = true;
    host.setup.HourArchiveShow = true;
    host.setup.Consumer = QStringLiteral("ООО «Тепло» O'Brien");
    host.setup.PrinterOrientation = 1;
    ShownPreview preview(host.archive);
    BuildAndShowReport(host);
    ASSERT_EQ(preview.shown, 1);
    EXPECT_GT(preview.pages, 0);
    const QString all = preview.texts.join(QLatin1Char('\n'));
    for (const char* expected : {"Отчет по потреблению тепловой энергии", "01.05.24", "31.05.24", "O'Brien", "123456",
                                 "Итого за период"})
        EXPECT_TRUE(all.contains(QString::fromUtf8(expected))) << expected;
}

TEST(ReportBuilder, OperatorJournalOfMayIsShown)
{
    TableHost host(daxsim::Model::Dax02);
    host.setup.ReportType = 2;
    host.setup.BeginPeriod = EncodeDate(2024, 5, 1);
    host.setup.EndPeriod = EncodeDate(2024, 5, 31);
    ShownPreview preview(host.info);
    BuildAndShowReport(host);
    ASSERT_EQ(preview.shown, 1);
    EXPECT_GT(preview.pages, 0);
    EXPECT_TRUE(preview.texts.join(QLatin1Char('\n')).contains(QStringLiteral("Журнал оператора")));
}

TEST(ReportBuilder, AMissingBandIsNamed)
{
    TableHost host(daxsim::Model::Dax02);
    host.setup.BeginPeriod = EncodeDate(2024, 5, 1);
    host.setup.EndPeriod = EncodeDate(2024, 5, 31);
    TrpComponent* band = host.archive.FindObject(u"HourArchiveGroupHeader");
    ASSERT_NE(band, nullptr);
    delete band;
    ShownPreview preview(host.archive);
    try {
        BuildAndShowReport(host);
        FAIL() << "no error";
    } catch (const platform::Exception& e) {
        EXPECT_TRUE(QString::fromStdString(e.Message()).contains(QStringLiteral("HourArchiveGroupHeader")));
    }
    EXPECT_EQ(preview.shown, 0);
}

TEST(ReportBuilder, AMissingControlIsNamed)
{
    TableHost host(daxsim::Model::Dax02);
    host.setup.BeginPeriod = EncodeDate(2024, 5, 1);
    host.setup.EndPeriod = EncodeDate(2024, 5, 31);
    host.texts.remove(QStringLiteral("ConfigurationTS1/QFormula"));
    ShownPreview preview(host.archive);
    try {
        BuildAndShowReport(host);
        FAIL() << "no error";
    } catch (const platform::Exception& e) {
        EXPECT_TRUE(QString::fromStdString(e.Message()).contains(QStringLiteral("ConfigurationTS1/QFormula")));
    }
    EXPECT_EQ(preview.shown, 0);
}

// The setup of a May archive report over heat system 1 with the contents chosen.
void MayArchive(TableHost& host, bool totals, bool hours, bool codes, uint8_t orientation = 1)
{
    host.setup.ReportType = 0;
    host.setup.ReportData = 0;
    host.setup.BeginPeriod = EncodeDate(2024, 5, 1);
    host.setup.EndPeriod = EncodeDate(2024, 5, 31);
    host.setup.TotalValuesShow = totals;
    host.setup.HourArchiveShow = hours;
    host.setup.NotStaffInfoShow = codes;
    host.setup.PrinterOrientation = orientation;
}

// What a run of the shown report printed: the width the engine gave each page (by page
// name) and how often each band printed in the final pass (by band name).
struct RunLog {
    explicit RunLog(TrpReport& report)
    {
        report.OnBeforePrint = [this, &report](TrpComponent& object) {
            auto* band = dynamic_cast<TrpBand*>(&object);
            if (band == nullptr || report.Engine() == nullptr)
                return;
            if (auto* page = dynamic_cast<TrpReportPage*>(band->Page()))
                widths[page->Name()] = report.Engine()->PageWidth;
            if (report.Engine()->FinalPass)
                ++printed[band->Name()];
        };
    }
    QHash<QString, double> widths;
    QHash<QString, int> printed;
};

// The right edge of the rightmost memo of a band.
double RightEdge(TrpReport& report, const char16_t* bandName)
{
    auto* band = dynamic_cast<TrpBand*>(report.FindObject(bandName));
    double right = 0;
    if (band == nullptr)
        return right;
    for (TrpComponent* object : band->AllObjects())
        if (auto* memo = dynamic_cast<TrpCustomMemoView*>(object))
            right = std::max(right, memo->Left() + memo->Width());
    return right;
}

// The column layout takes the printable width from the page without a run; the width the
// engine gives each page when the report runs is the same, in both orientations. Portrait
// narrows the page, so the same columns are laid out smaller.
TEST(ReportBuilder, TheLayoutWidthIsTheWidthOfARun)
{
    QHash<int, double> dayTableWidth;
    for (uint8_t orientation : {uint8_t(0), uint8_t(1)}) {
        TableHost host(daxsim::Model::Dax02);
        MayArchive(host, true, true, true, orientation);
        host.setup.HardwareNSShow = true;
        host.setup.ModeFlagsShow = true;
        RunLog log(host.archive);
        ShownPreview preview(host.archive);
        BuildAndShowReport(host);
        ASSERT_EQ(preview.shown, 1);
        for (const char* name : {"ReportTitlePage", "TotalArchivePage", "DayArchivePage", "HourArchivePage"}) {
            auto* page = dynamic_cast<TrpReportPage*>(host.archive.FindObject(QString::fromUtf8(name)));
            ASSERT_NE(page, nullptr) << name;
            ASSERT_TRUE(log.widths.contains(page->Name())) << name;
            EXPECT_DOUBLE_EQ(log.widths.value(page->Name()), page->PrintableWidth()) << name << " " << int(orientation);
        }
        const double width = log.widths.value(QStringLiteral("DayArchivePage"));
        EXPECT_NEAR(width, ((orientation == 0 ? 210 : 297) - 2 * 10.00125) * 3.77953, 0.01);
        dayTableWidth[orientation] = RightEdge(host.archive, u"DayArchiveData");
        EXPECT_GT(dayTableWidth[orientation], 0);
        EXPECT_LE(dayTableWidth[orientation], width + 0.5) << int(orientation);
    }
    EXPECT_LT(dayTableWidth[0], dayTableWidth[1]);

    TableHost host(daxsim::Model::Dax02);
    host.setup.ReportType = 2;
    host.setup.BeginPeriod = EncodeDate(2024, 5, 1);
    host.setup.EndPeriod = EncodeDate(2024, 5, 31);
    RunLog log(host.info);
    ShownPreview preview(host.info);
    BuildAndShowReport(host);
    auto* page = dynamic_cast<TrpReportPage*>(host.info.FindObject(u"PageReport"));
    ASSERT_NE(page, nullptr);
    EXPECT_DOUBLE_EQ(log.widths.value(QStringLiteral("PageReport")), page->PrintableWidth());
    EXPECT_LE(RightEdge(host.info, u"ReportData"), page->PrintableWidth() + 0.5);
}

// May's hour table is grouped by day: 31 group headers over 744 hours; the totals table has
// the period's first and last readings and their difference.
TEST(ReportBuilder, MayHasThirtyOneHourGroupsAndThreeTotalsRows)
{
    TableHost host(daxsim::Model::Dax02);
    MayArchive(host, true, true, false);
    RunLog log(host.archive);
    ShownPreview preview(host.archive);
    BuildAndShowReport(host);
    ASSERT_EQ(preview.shown, 1);
    EXPECT_EQ(log.printed.value(QStringLiteral("HourArchiveGroupHeader")), 31);
    EXPECT_EQ(log.printed.value(QStringLiteral("HourArchiveData")), 31 * 24);
    EXPECT_EQ(log.printed.value(QStringLiteral("TotalArchiveData")), 3);
    EXPECT_EQ(log.printed.value(QStringLiteral("DayArchiveData")), 31);
    const QString all = preview.texts.join(QLatin1Char('\n'));
    for (const char* day : {"01.05.24", "15.05.24", "31.05.24"})
        EXPECT_TRUE(all.contains(QString::fromUtf8(day))) << day;
    EXPECT_FALSE(all.contains(QStringLiteral("Коды нештатных ситуаций")));
}

// With every optional content off only the title and the day table print; codes asked for
// over days without any leave the codes page out too.
TEST(ReportBuilder, WithoutOptionsOnlyTheTitleAndTheDaysPrint)
{
    struct Case {
        bool codes;
        double end;
    };
    for (const Case c : {Case{false, EncodeDate(2024, 5, 31)}, Case{true, EncodeDate(2024, 5, 2)}}) {
        TableHost host(daxsim::Model::Dax02);
        MayArchive(host, false, false, c.codes);
        host.setup.EndPeriod = c.end;
        host.setup.ChanelMShow = host.setup.ChanelVShow = host.setup.ChanelPShow = false;
        host.setup.HardwareNSShow = host.setup.ModeFlagsShow = false;
        RunLog log(host.archive);
        ShownPreview preview(host.archive);
        BuildAndShowReport(host);
        ASSERT_EQ(preview.shown, 1);
        const QString all = preview.texts.join(QLatin1Char('\n'));
        EXPECT_TRUE(all.contains(QStringLiteral("Отчет по потреблению тепловой энергии"))) << c.codes;
        EXPECT_TRUE(all.contains(QStringLiteral("Суточные данные"))) << c.codes;
        for (const char* absent : {"Итоговые данные", "Часовые данные", "Коды нештатных ситуаций", "M1(т)", "V1(м³)",
                                   "P1(МПа)"})
            EXPECT_FALSE(all.contains(QString::fromUtf8(absent))) << absent << " " << c.codes;
        EXPECT_EQ(log.printed.value(QStringLiteral("TotalArchiveData")), 0);
        EXPECT_EQ(log.printed.value(QStringLiteral("HourArchiveData")), 0);
        EXPECT_EQ(log.printed.value(QStringLiteral("NotStaffData")), 0);
        EXPECT_GT(log.printed.value(QStringLiteral("DayArchiveData")), 0);
    }
}

// The settings report: the Dax-01 template of one page for model 0, the two-page one for
// model 1 and for an instrument not identified; each of the 162 settings variables takes the
// control its name leads to, the season starts their day and month.
TEST(ReportBuilder, TheSettingsReportTakesEachControlByItsName)
{
    struct Case {
        std::optional<daxsim::Model> model;
        int pages;
    };
    for (const Case c : {Case{daxsim::Model::Dax01, 1}, Case{daxsim::Model::Dax02, 2}, Case{std::nullopt, 2}}) {
        TableHost host(c.model.value_or(daxsim::Model::Dax02));
        if (!c.model)
            host.helper.Reset();
        host.echoPaths = true;
        host.setup.ReportType = 3;
        TrpReport& report = c.pages == 1 ? host.setup01 : host.setup02;
        ShownPreview preview(report);
        BuildAndShowReport(host);
        ASSERT_EQ(preview.shown, 1);
        EXPECT_EQ(preview.pages, c.pages);
        const auto value = [&report](const char* name) {
            return VarToStr(report.Variables().GetValue(QString::fromUtf8(name)));
        };
        const auto quoted = [&report](const char* text) { return report.QuotedText(QString::fromUtf8(text)); };
        const std::pair<const char*, const char*> expected[] = {
            {"Model", "DAX-02"},
            {"Serial", "123456"},
            {"ReportName", "Настроечные параметры"},
            {"UnitOfMeasureHeat", "UnitOfMeasureHeat"},
            {"CWS3", "CWS3"},
            {"G2_max", "G2_max"},
            {"t_min5", "t_min5"},
            {"P6_contract", "P6_contract"},
            {"SummerPeriodStart", "1 апреля"},
            {"WinterPeriodStart", "15 октября"},
            {"TS1_Scheme", "Схема 1"},
            {"TS2_Scheme", "ConfigurationTS2/SchemeComboBox"},
            {"TS1_W_Contract", "ConfigurationTS1/W_Contract"},
            {"TS2_Kpr", "ConfigurationTS2/Kpr"},
            {"TS1_dt_Min", "ConfigurationTS1/dt_Min"},
            {"TS2_dP_min", "ConfigurationTS2/dP_min"},
            {"TS1_TairChanel", "ConfigurationTS1/TairChanel"},
            {"TS2_TctrlChanel", "ConfigurationTS2/TctrlChanel"},
            {"TS1_StopModeTS", "ConfigurationTS1/StopModeTS"},
            {"TS1_ExpenseMeasureFailReaction", "ReactionTS1/ExpenseMeasureFailReaction"},
            {"TS2_OffPowerReaction", "ReactionTS2/OffPowerReaction"},
            {"TS2_Gp_More_GoK_Reaction", "ReactionTS2/Gp_More_GoK_Reaction"},
            {"BeginPeriod", ""},
            {"EndPeriod", ""},
        };
        for (const auto& [name, text] : expected)
            EXPECT_EQ(value(name), *text ? quoted(text) : QString()) << name;
        // 162 controls and the two pickers, each asked for once; no period.
        EXPECT_EQ(host.asked.size(), 2 + 162);
        EXPECT_EQ(QSet<QString>(host.asked.begin(), host.asked.end()).size(), host.asked.size());
        const QString all = preview.texts.join(QLatin1Char('\n'));
        EXPECT_TRUE(all.contains(QStringLiteral("1 апреля")));
        EXPECT_TRUE(all.contains(QStringLiteral("ReactionTS1/OffPowerReaction")));
    }
}

// The operator journal shows pressures in the unit the instrument keeps in the low byte of
// 40181: the same record reads in MPa, then in kgf/cm2 once the register says so.
TEST(ReportBuilder, TheOperatorJournalTakesThePressureUnitOfTheInstrument)
{
    QHash<int, QString> printed;
    for (uint8_t unit : {uint8_t(0), uint8_t(1)}) {
        TableHost host(daxsim::Model::Dax02);
        host.helper.HoldingRegisterImage[dax_namespace::RegisterOffset(dax_namespace::kFirstHoldingRegister, 40181) + 1] =
            unit;
        host.setup.ReportType = 2;
        host.setup.BeginPeriod = EncodeDate(2024, 5, 1);
        host.setup.EndPeriod = EncodeDate(2024, 5, 31);
        ShownPreview preview(host.info);
        BuildAndShowReport(host);
        ASSERT_EQ(preview.shown, 1);
        printed[unit] = preview.texts.join(QLatin1Char('\n'));
    }
    EXPECT_TRUE(printed[0].contains(QStringLiteral("(МПа)"))) << printed[0].toStdString();
    EXPECT_FALSE(printed[0].contains(QStringLiteral("(кгс/см")));
    EXPECT_TRUE(printed[1].contains(QStringLiteral("(кгс/см"))) << printed[1].toStdString();
    EXPECT_FALSE(printed[1].contains(QStringLiteral("(МПа)")));
}

} // namespace
