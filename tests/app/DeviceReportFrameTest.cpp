// The settings report over the real device frame: every control the report prints is found by
// its path exactly once and shows a text, and the report of the demo instrument holds the texts
// the frame shows.

#include "app/DaxFrame.h"
#include "app/DeviceReportFeature.h"
#include "app/DeviceReportState.h"
#include "controls/ControlHelpers.h"
#include "devreport/ui/DaxReportSetupFrame.h"
#include "report/core/Services.h"
#include "report/engine/ui/EngineUi.h"
#include "report/engine/ui/rpPreviewForm.h"
#include "report/export/ExportRuntime.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/script/ScriptedUi.h"

#include "DataFile.h"
#include "DemoState.h"

#include <QComboBox>
#include <QDateEdit>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const char* const kGenitiveMonths[] = {"января", "февраля", "марта", "апреля", "мая", "июня",
                                       "июля", "августа", "сентября", "октября", "ноября", "декабря"};

// The control paths of the settings variables, as the report names them: a "TS1_"/"TS2_"
// prefix leads into the heat system's configuration or reaction page, everything else is a
// control of the frame of the same name.
QString PathOf(const QString& variable)
{
    static const QStringList configuration = {QStringLiteral("W_Contract"), QStringLiteral("Kpr"),
                                              QStringLiteral("dt_Min"),     QStringLiteral("dP_min"),
                                              QStringLiteral("TairChanel"), QStringLiteral("TctrlChanel"),
                                              QStringLiteral("StopModeTS")};
    if (variable == u"Model")
        return variable;
    if (variable == u"Serial")
        return QStringLiteral("SerialNumInfo");
    if (!variable.startsWith(u"TS1_") && !variable.startsWith(u"TS2_"))
        return variable;
    const QString system = variable.mid(2, 1);
    const QString rest = variable.mid(4);
    if (rest == u"Scheme")
        return QStringLiteral("ConfigurationTS%1/SchemeComboBox").arg(system);
    if (configuration.contains(rest))
        return QStringLiteral("ConfigurationTS%1/%2").arg(system, rest);
    return QStringLiteral("ReactionTS%1/%2").arg(system, rest);
}

// The variables the settings report takes from the frame: every one of the template's but the
// period and the report's name.
QStringList FrameVariables(TrpReport& report)
{
    QStringList names;
    for (int i = 0; i < report.Variables().Count(); ++i) {
        const QString name = report.Variables().Items(i)->Name;
        if (!name.startsWith(u' ') && name != u"BeginPeriod" && name != u"EndPeriod" && name != u"ReportName")
            names << name;
    }
    return names;
}

// The one control at a path of object names; a test failure when a step finds none or more
// than one.
QWidget* UniqueControl(QWidget& frame, const QString& path)
{
    QWidget* parent = &frame;
    for (const QString& name : path.split(u'/')) {
        const QList<QWidget*> found = parent->findChildren<QWidget*>(name);
        EXPECT_EQ(found.size(), 1) << path.toStdString() << ": " << name.toStdString();
        if (found.isEmpty())
            return nullptr;
        parent = found.first();
    }
    return parent;
}

struct FrameOverDemo {
    explicit FrameOverDemo(daxsim::Model model)
    {
        EngineUi::init();
        ExportRuntime::init();
        frame.BuildPageTree();
        daxsim::Instrument instrument(daxsim::DemoState(model), 1);
        frame.LoadDataFile(daxsim::DataFileBytesOfInstrument(instrument));
        frame.SetReportState(feature.CreateFrameState());
        state = dynamic_cast<DeviceReportState*>(frame.ReportState());
    }
    DeviceReportFeature feature;
    TDax_Frame frame;
    DeviceReportState* state = nullptr;
};

TEST(DeviceReportFrame, EveryControlTheSettingsReportPrintsIsFoundOnceAndShowsText)
{
    FrameOverDemo demo(daxsim::Model::Dax02);
    ASSERT_NE(demo.state, nullptr);
    const QStringList variables = FrameVariables(demo.state->rpSetupReport_02);
    EXPECT_EQ(variables.size(), 2 + 162); // the model, the serial number and the settings
    for (const QString& variable : variables) {
        const QString path = PathOf(variable);
        QWidget* control = UniqueControl(demo.frame, path);
        if (control == nullptr)
            continue;
        if (variable.endsWith(u"PeriodStart")) {
            EXPECT_NE(qobject_cast<QDateEdit*>(control), nullptr) << path.toStdString();
            continue;
        }
        EXPECT_FALSE(ControlText(control).isEmpty()) << path.toStdString();
    }
    EXPECT_EQ(FrameVariables(demo.state->rpSetupReport_01), variables);
}

// "Отчет" with the settings report over the demo instrument: the template of the model, and
// the variables and the printed page hold what the frame's controls show.
TEST(DeviceReportFrame, TheSettingsReportHoldsTheTextsTheFrameShows)
{
    for (const daxsim::Model model : {daxsim::Model::Dax01, daxsim::Model::Dax02}) {
        FrameOverDemo demo(model);
        ASSERT_NE(demo.state, nullptr);
        TReportSetupForm setupForm;
        ReportSetupForm = &setupForm;
        ScriptedUi ui;
        ReportServices::SetUi(&ui);
        TrpReport& report =
            model == daxsim::Model::Dax01 ? demo.state->rpSetupReport_01 : demo.state->rpSetupReport_02;
        int previews = 0;
        int32_t pages = 0;
        QStringList printed;
        ui.OnModal = [&](QObject& window, const QString&) {
            if (auto* dialog = dynamic_cast<TReportSetupForm*>(&window)) {
                dialog->Settings.ReportType = 3;
                return int(mrOk);
            }
            if (dynamic_cast<TrpPreviewForm*>(&window) != nullptr) {
                ++previews;
                report.PrepareTimerTick();
                pages = report.PreviewPages()->GetCount();
                for (int32_t i = 0; i < pages; ++i)
                    for (TrpComponent* object : report.PreviewPages()->GetPage(i)->AllObjects())
                        if (auto* memo = dynamic_cast<TrpCustomMemoView*>(object))
                            printed << memo->Text();
            }
            return int(mrCancel);
        };
        demo.feature.BuildAndShowReport(demo.frame);
        ReportServices::SetUi(nullptr);
        ReportSetupForm = nullptr;
        ASSERT_EQ(previews, 1);
        EXPECT_EQ(pages, model == daxsim::Model::Dax01 ? 1 : 2);
        const QString all = printed.join(u'\n');

        const auto shown = [&demo](const QString& path) {
            return ControlText(demo.frame.findChild<QWidget*>(path.section(u'/', 0, 0))->findChild<QWidget*>(
                path.section(u'/', 1, 1)));
        };
        const char* const samples[] = {"Model", "Serial", "UnitOfMeasureHeat", "ColdWaterValueType", "CWS3",
                                       "CWSEmptyPipeReaction", "ImpulseWeight1", "G2_max", "ChanelMode2",
                                       "NSH_TSP1", "t_min2", "P3_contract", "TS1_Scheme", "TS1_Kpr",
                                       "TS1_OffPowerReaction", "TS1_GLessGotsReaction", "TS2_StopModeTS"};
        for (const char* sample : samples) {
            const QString path = PathOf(QString::fromUtf8(sample));
            const QString text =
                path.contains(u'/') ? shown(path) : ControlText(demo.frame.findChild<QWidget*>(path));
            ASSERT_FALSE(text.isEmpty()) << sample;
            EXPECT_EQ(VarToStr(report.Variables().GetValue(QString::fromUtf8(sample))), report.QuotedText(text))
                << sample;
            // The Dax-01 page has no second heat system.
            if (model == daxsim::Model::Dax02 || !QString::fromUtf8(sample).startsWith(u"TS2_"))
                EXPECT_TRUE(all.contains(text)) << sample << ": " << text.toStdString();
        }
        for (const char* picker : {"SummerPeriodStart", "WinterPeriodStart"}) {
            const QDate date = demo.frame.findChild<QDateEdit*>(QString::fromUtf8(picker))->date();
            const QString text = QStringLiteral("%1 %2").arg(date.day()).arg(QString::fromUtf8(kGenitiveMonths[date.month() - 1]));
            EXPECT_EQ(VarToStr(report.Variables().GetValue(QString::fromUtf8(picker))), report.QuotedText(text));
            EXPECT_TRUE(all.contains(text)) << picker << ": " << text.toStdString();
        }
        EXPECT_TRUE(all.contains(QStringLiteral("Настроечные параметры тепловычислителя")));
        EXPECT_EQ(all.contains(QStringLiteral("Система теплоснабжения 2")), model == daxsim::Model::Dax02);
    }
}

// Each value memo of the settings reports that shows a list's choice is wide enough for the
// list's longest item, as the report lays the text out (no painter).
TEST(DeviceReportFrame, EveryListChoiceFitsItsValueMemo)
{
    const QRegularExpression single(QStringLiteral("^\\[([A-Za-z0-9_]+)\\]$"));
    for (const daxsim::Model model : {daxsim::Model::Dax01, daxsim::Model::Dax02}) {
        FrameOverDemo demo(model);
        ASSERT_NE(demo.state, nullptr);
        TrpReport& report =
            model == daxsim::Model::Dax01 ? demo.state->rpSetupReport_01 : demo.state->rpSetupReport_02;
        int lists = 0;
        double widest = 0;
        for (int p = 0; p < report.PagesCount(); ++p) {
            for (TrpComponent* object : report.Pages(p)->AllObjects()) {
                auto* memo = dynamic_cast<TrpCustomMemoView*>(object);
                if (memo == nullptr)
                    continue;
                const QRegularExpressionMatch match = single.match(memo->Text().trimmed());
                if (!match.hasMatch())
                    continue;
                // The variable as the report's variable list spells it (names ignore case).
                const int index = report.Variables().IndexOf(match.captured(1));
                if (index < 0)
                    continue;
                const QString path = PathOf(report.Variables().Items(index)->Name);
                QWidget* parent = &demo.frame;
                for (const QString& name : path.split(u'/'))
                    parent = parent != nullptr ? parent->findChild<QWidget*>(name) : nullptr;
                auto* list = qobject_cast<QComboBox*>(parent);
                if (list == nullptr)
                    continue;
                ++lists;
                const QString stored = memo->Text();
                for (int item = 0; item < list->count(); ++item) {
                    memo->SetText(list->itemText(item));
                    widest = std::max(widest, memo->CalcWidth());
                    EXPECT_LE(memo->CalcWidth(), memo->Width())
                        << memo->Name().toStdString() << " " << path.toStdString() << ": "
                        << list->itemText(item).toStdString();
                }
                memo->SetText(stored);
            }
        }
        EXPECT_GT(lists, 40);
        EXPECT_GT(widest, 100); // a long choice ("Продолжать счет M,V") measured
    }
}

} // namespace
