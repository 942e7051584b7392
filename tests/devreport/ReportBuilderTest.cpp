// The report road headless over the demo instrument's history: the real templates, engine and
// preview, with a host answering the frame's controls from a table.

#include "DataFile.h"
#include "DemoState.h"

#include "devreport/DeviceReportBuilder.h"
#include "devreport/DeviceReportTemplates.h"
#include "devreport/Texts.h"
#include "device/Daxhelper.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "report/core/Services.h"
#include "report/engine/ui/EngineUi.h"
#include "report/engine/ui/rpPreviewForm.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/script/ScriptedUi.h"

#include <QHash>

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
        throw platform::Exception(std::string("no template ") + name);
    }
    QString ControlText(const QString& path) override
    {
        if (!texts.contains(path))
            throw platform::Exception(
                QString::fromUtf8(devreport::kControlMissingText).arg(path).toStdString());
        return texts.value(path);
    }
    double PickerDate(const QString& name) override { return ControlText(name).isEmpty() ? 0 : EncodeDate(2024, 4, 1); }
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
    QHash<QString, QString> texts;
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

} // namespace
