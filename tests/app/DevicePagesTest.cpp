// The device frame's pages on real widgets: every control the bindings, the report code, the
// write commands and the tables name exists once with the widget kind expected of it, the 627
// bindings resolve over the widgets, the demo instrument shows without a complaint and its
// settings go back into the setup image unchanged, the item lists hold what the instrument's
// values mean, and the page tree builder leaves the frame as the user first sees it.

#include "app/DaxFrame.h"
#include "app/DaxFramePages.h"

#include "DataFile.h"
#include "DemoState.h"
#include "FrameStoreChanges.h"
#include "UnderLocale.h"

#include "controls/BitEditComboBox.h"
#include "device/Daxcore.h"
#include "controls/GoodTable.h"
#include "presentation/FrameBindings.h"
#include "presentation/FrameValueLists.h"

#include <QCheckBox>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QTimeEdit>
#include <QWheelEvent>
#include <QAbstractItemView>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// The widget kinds the tests expect.
enum class Kind { Edit, Combo, BitEdit, Check, Spin, Progress, Date, Time, Label, Button, Grid, Tabs, Box, Panel };

const char* KindName(Kind kind)
{
    switch (kind) {
    case Kind::Edit: return "line edit";
    case Kind::Combo: return "combo box";
    case Kind::BitEdit: return "bit-mask editor";
    case Kind::Check: return "check box";
    case Kind::Spin: return "spin box";
    case Kind::Progress: return "progress bar";
    case Kind::Date: return "date edit";
    case Kind::Time: return "time edit";
    case Kind::Label: return "label";
    case Kind::Button: return "push button";
    case Kind::Grid: return "table";
    case Kind::Tabs: return "tab widget";
    case Kind::Box: return "group box";
    case Kind::Panel: return "widget";
    }
    return "?";
}

bool IsKind(const QWidget* widget, Kind kind)
{
    switch (kind) {
    case Kind::Edit: return qobject_cast<const QLineEdit*>(widget) != nullptr;
    case Kind::Combo: return qobject_cast<const QComboBox*>(widget) != nullptr;
    case Kind::BitEdit: return qobject_cast<const TBitEditComboBox*>(widget) != nullptr;
    case Kind::Check: return qobject_cast<const QCheckBox*>(widget) != nullptr;
    case Kind::Spin: return qobject_cast<const QSpinBox*>(widget) != nullptr;
    case Kind::Progress: return qobject_cast<const QProgressBar*>(widget) != nullptr;
    case Kind::Date: return qobject_cast<const QDateEdit*>(widget) != nullptr;
    case Kind::Time: return qobject_cast<const QTimeEdit*>(widget) != nullptr;
    case Kind::Label: return qobject_cast<const QLabel*>(widget) != nullptr;
    case Kind::Button: return qobject_cast<const QPushButton*>(widget) != nullptr;
    case Kind::Grid: return qobject_cast<const TGoodTable*>(widget) != nullptr;
    case Kind::Tabs: return qobject_cast<const QTabWidget*>(widget) != nullptr;
    case Kind::Box: return qobject_cast<const QGroupBox*>(widget) != nullptr;
    case Kind::Panel: return widget != nullptr;
    }
    return false;
}

// A name with "#" for 1..count, or the name itself for count 0.
struct NameRow {
    std::string Scope; // sub-frame instances separated by ','; empty: the frame
    std::string Name;
    Kind Expected;
    int Count = 0;
    int First = 1;
};

std::vector<std::string> Split(const std::string& text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return parts;
}

std::vector<std::string> Expand(const NameRow& row)
{
    if (row.Count == 0)
        return {row.Name};
    std::vector<std::string> names;
    for (int n = row.First; n < row.First + row.Count; ++n) {
        std::string name = row.Name;
        name.replace(name.find('#'), 1, std::to_string(n));
        names.push_back(name);
    }
    return names;
}

const std::string kTS = "TS1_Current,TS2_Current";
const std::string kNS = "TS1_NS_Current,TS2_NS_Current";
const std::string kSetup = "ConfigurationTS1,ConfigurationTS2";
const std::string kReaction = "ReactionTS1,ReactionTS2";
const std::string kGeneral = "GeneralCWS_Current";

// Controls the report code reads by name.
const NameRow kReportNames[] = {
    {"", "Model", Kind::Edit},
    {"", "SerialNumInfo", Kind::Edit},
    {"", "FormulaQ3", Kind::Combo},
    {"", "UnitOfMeasureHeat", Kind::Combo},
    {"", "UnitOfMeasurePressure", Kind::Combo},
    {"", "MonthArchiveDayCreate", Kind::Edit},
    {"", "ColdWaterValueType", Kind::Combo},
    {"", "ColdWaterTWinter", Kind::Edit},
    {"", "ColdWaterTSummer", Kind::Edit},
    {"", "ColdWaterPWinter", Kind::Edit},
    {"", "ColdWaterPSummer", Kind::Edit},
    {"", "CurrentPeriod", Kind::Combo},
    {"", "EventChangeCondition", Kind::Combo},
    {"", "SummerPeriodStart", Kind::Date},
    {"", "WinterPeriodStart", Kind::Date},
    {"", "CWS#", Kind::Combo, 6},
    {"", "CWSExpenseMeasureFailReaction", Kind::Combo},
    {"", "CWSEmptyPipeReaction", Kind::Combo},
    {"", "CWSGLessGotsReaction", Kind::Combo},
    {"", "CWSGLessGminReaction", Kind::Combo},
    {"", "CWSGMoreGmaxReaction", Kind::Combo},
    {"", "ImpulseWeight#", Kind::Combo, 6},
    {"", "G#_contract", Kind::Edit, 6},
    {"", "G#_max", Kind::Edit, 6},
    {"", "G#_min", Kind::Edit, 6},
    {"", "G#_ots", Kind::Edit, 6},
    {"", "ChanelMode#", Kind::Combo, 6},
    {"", "CtrlModeV#", Kind::Combo, 6},
    {"", "EmptyPipeSygnal#", Kind::Combo, 6},
    {"", "Du#", Kind::Edit, 6},
    {"", "NSH_TSP#", Kind::Combo, 5},
    {"", "t#_contract", Kind::Edit, 5},
    {"", "t_max#", Kind::Edit, 5},
    {"", "t_min#", Kind::Edit, 5},
    {"", "P#_max", Kind::Combo, 6},
    {"", "P#_contract", Kind::Edit, 6},
    {kSetup, "SchemeComboBox", Kind::Combo},
    {kSetup, "QFormula", Kind::Edit},
    {kSetup, "W_Contract", Kind::Edit},
    {kSetup, "Kpr", Kind::Edit},
    {kSetup, "dt_Min", Kind::Edit},
    {kSetup, "dP_min", Kind::Edit},
    {kSetup, "TairChanel", Kind::Combo},
    {kSetup, "TctrlChanel", Kind::Combo},
    {kSetup, "StopModeTS", Kind::Combo},
    {kReaction, "ExpenseMeasureFailReaction", Kind::Combo},
    {kReaction, "ExpenseCtrlFailReaction", Kind::Combo},
    {kReaction, "EmptyPipeReaction", Kind::Combo},
    {kReaction, "GLessGotsReaction", Kind::Combo},
    {kReaction, "GLessGminReaction", Kind::Combo},
    {kReaction, "GMoreGmaxReaction", Kind::Combo},
    {kReaction, "TemperatureFailReaction", Kind::Combo},
    {kReaction, "TemperatureLessMinMoreMaxReaction", Kind::Combo},
    {kReaction, "PressureFaliReaction", Kind::Combo},
    {kReaction, "Q_LessZeroReaction", Kind::Combo},
    {kReaction, "dP_LessDPminReaction", Kind::Combo},
    {kReaction, "dt_LessZeroReaction", Kind::Combo},
    {kReaction, "dt_LessDtminReaction", Kind::Combo},
    {kReaction, "OffPowerReaction", Kind::Combo},
    {kReaction, "Go_More_Gp_Less_GpK_Reaction", Kind::Combo},
    {kReaction, "Go_More_GpK_Reaction", Kind::Combo},
    {kReaction, "Gp_More_Go_Less_GoK_Reaction", Kind::Combo},
    {kReaction, "Gp_More_GoK_Reaction", Kind::Combo},
};

// The frame's item lists, its read and write commands, its tables, its computed fields, its
// unit captions and the sub-frames' own controls.
const NameRow kPageNames[] = {
    // Lists of the page tree builder.
    {"", "V_Status#", Kind::Combo, 6},
    {"", "t_Status#", Kind::Combo, 5},
    {"", "P_Status#", Kind::Combo, 6},
    {"", "ExpenseFilterEnable", Kind::BitEdit},
    {"", "T_MeasureCurrent", Kind::BitEdit},
    {"", "ScreenSaverType", Kind::Combo},
    {"", "NotStaffCounterDisplay", Kind::Combo},
    {"", "UartSpeed_#", Kind::Combo, 2, 0},
    {"", "UartMode_#", Kind::Combo, 2, 0},
    {"", "SmsSendMask", Kind::BitEdit},
    {"", "AnswerSignalMask", Kind::BitEdit},
    {"", "AnswerMode", Kind::Combo},
    {"", "IncomingRingAction", Kind::Combo},
    {"", "GprsWorkMode", Kind::Combo},
    {"", "GprsIncomingConnectionMode", Kind::Combo},
    {"", "GprsDataFormatMode", Kind::Combo},
    {"", "GprsPollMode", Kind::Combo},
    {"", "GprsPollSignalMask", Kind::BitEdit},
    {"", "DinMode", Kind::Combo},
    {"", "OutMode", Kind::Combo},
    {"", "CWSlReactionLabel_#", Kind::Label, 5, 0},
    // Write and read commands.
    {"", "WritePageParams", Kind::Button},
    {"", "BitBtn23", Kind::Button},
    {"", "BitBtn5", Kind::Button},
    {"", "BitBtn6", Kind::Button},
    {"", "BitBtn8", Kind::Button},
    {"", "BitBtn10", Kind::Button},
    {"", "BitBtn18", Kind::Button},
    {"", "ClearCounters", Kind::Button},
    {"", "SetImpulseParamButton", Kind::Button},
    {"", "SetFilterParamButton", Kind::Button},
    {"", "SetCalibration", Kind::Button},
    {"", "SetSystemCalibration", Kind::Button},
    {"", "ResetButton", Kind::Button},
    {"", "SetTime", Kind::Button},
    {"", "SetCurrentTime", Kind::Button},
    {"", "CorrectionTime", Kind::Button},
    {"", "SetAccess", Kind::Button},
    {"", "EnterPassword", Kind::Button},
    {"", "ResetArchive", Kind::Button},
    {"", "SetLcd", Kind::Button},
    {"", "SetPort1", Kind::Button},
    {"", "SetPort2", Kind::Button},
    {"", "SetObjectName", Kind::Button},
    {"", "SetSms", Kind::Button},
    {"", "SetIncomingRing", Kind::Button},
    {"", "SetInternet", Kind::Button},
    {"", "SetSignal_#", Kind::Button, 3, 0},
    {"", "ClearSignal_#", Kind::Button, 3, 0},
    {"", "SetEvents", Kind::Button},
    {"", "ClearEvents", Kind::Button},
    {"", "WriteInOut", Kind::Button},
    {"", "SetOutRegister", Kind::Button},
    {"", "ReadPageParams#", Kind::Button, 5, 0},
    {"", "ReadPageParams#", Kind::Button, 11, 11},
    {"", "ReadPageParams#", Kind::Button, 7, 23},
    // Tables.
    {"", "NotStaffArchive", Kind::Grid},
    {"", "JournalArchive", Kind::Grid},
    {"", "GeneralArchivePageControl", Kind::Tabs},
    {"", "TS1ArchivePageControl", Kind::Tabs},
    {"", "TS2ArchivePageControl", Kind::Tabs},
    {"", "CWSArchivePageControl", Kind::Tabs},
    {"", "GeneralArchivePanel", Kind::Panel},
    {"", "TS1ArchivePanel", Kind::Panel},
    {"", "TS2ArchivePanel", Kind::Panel},
    {"", "CWSArchivePanel", Kind::Panel},
    {"", "NotStaffArchivePanel", Kind::Panel},
    {"", "JournalArchivePanel", Kind::Panel},
    // Measuring channels: the computed fields and the averaging switches.
    {"", "AdcTemperature", Kind::Edit},
    {"", "CpuTemperature", Kind::Edit},
    {"", "AdcVoltage", Kind::Edit},
    {"", "CpuVoltage", Kind::Edit},
    {"", "AdcCycleCounter", Kind::Edit},
    {"", "AveragingEnable", Kind::Check},
    {"", "AveragingReset", Kind::Button},
    // The hidden group boxes.
    {"", "LcdGroupBox", Kind::Box},
    {"", "ServiceParamGroupBox", Kind::Box},
    {"", "ServiceModeGroupBox", Kind::Box},
    {"", "CalibrationGroupBox", Kind::Box},
    // Unit captions.
    {"", "ColdWaterPWinterLabel", Kind::Label},
    {"", "ColdWaterPSummerLabel", Kind::Label},
    {"", "PressureChanelLabel", Kind::Label},
    {"", "PcontractLabel", Kind::Label},
    {kTS, "Q#CurrentLabel", Kind::Label, 2},
    {kTS, "Q#oCurrentLabel", Kind::Label, 2},
    {kTS, "Q#gvsCurrentLabel", Kind::Label, 2},
    {kTS, "W#CurrentLabel", Kind::Label, 2},
    {kTS, "W#oCurrentLabel", Kind::Label, 2},
    {kTS, "W#gvsCurrentLabel", Kind::Label, 2},
    {kTS, "dP#CurrentLabel", Kind::Label, 2},
    {kTS, "PColdWaterCurrentLabel", Kind::Label},
    {kTS, "P#CurrentLabel", Kind::Label, 5},
    {kNS, "QizCurrentLabel", Kind::Label},
    {kNS, "QpowCurrentLabel", Kind::Label},
    {kNS, "QfCurrentLabel", Kind::Label},
    {kNS, "QdtCurrentLabel", Kind::Label},
    {kNS, "QmaxCurrentLabel", Kind::Label},
    {kNS, "QminCurrentLabel", Kind::Label},
    {kGeneral, "Q3CurrentLabel", Kind::Label},
    {kGeneral, "W3CurrentLabel", Kind::Label},
    {kGeneral, "P#CurrentLabel", Kind::Label, 6},
    {kSetup, "W_ContractLabel", Kind::Label},
    {kSetup, "dP_minLabel", Kind::Label},
    // The sub-frames' own boxes and controls.
    {kTS, "TSGroupBox", Kind::Box},
    {kTS, "QW#GroupBox", Kind::Box, 2},
    {kTS, "TS#Params", Kind::Box, 2},
    {kTS, "TS#TimeGroupBox", Kind::Box, 2},
    {kTS, "Air#GroupBox", Kind::Box, 2},
    {kTS, "GroupBoxCW", Kind::Box},
    {kTS, "GroupBoxChanel#", Kind::Box, 5},
    {kTS, "TSOffGroupBox", Kind::Box},
    {kTS, "dM#CurrentLabel", Kind::Label, 2},
    {kTS, "dGm#CurrentLabel", Kind::Label, 2},
    {kNS, "TSGroupBox", Kind::Box},
    {kNS, "QGroupBox", Kind::Box},
    {kNS, "TimeGroupBox", Kind::Box},
    {kNS, "TSOffGroupBox", Kind::Box},
    {kGeneral, "GeneralGroupBox", Kind::Box},
    {kGeneral, "GroupBoxChanel#", Kind::Box, 6},
    {kSetup, "SetupTSGroupBox", Kind::Box},
    {kSetup, "Label1", Kind::Label},
    {kSetup, "Label2", Kind::Label},
    {kSetup, "QgvsFormula", Kind::Edit},
    {kSetup, "ConfigurationGroupBox", Kind::Box},
    {kSetup, "ShemePaintBox", Kind::Panel},
    {kSetup, "dt_MinLabel", Kind::Label},
    {kSetup, "KprLabel", Kind::Label},
    {kSetup, "TairChanelLabel", Kind::Label},
    {kSetup, "TctrlChanelLabel", Kind::Label},
    {kSetup, "StopModeTSLabel", Kind::Label},
    {kReaction, "ChanelReactionGroupBox", Kind::Box},
    {kReaction, "TSReactionGroupBox", Kind::Box},
    {kReaction, "ChanelReactionLabel_#", Kind::Label, 9, 0},
    {kReaction, "TSReactionLabel_#", Kind::Label, 9, 0},
    {"MaskSignal1,MaskSignal8", "MaskParamLabel", Kind::Label},
    {"MaskSignal1,MaskSignal8", "MaskConditionLabel", Kind::Label},
    {"MaskSignal1,MaskSignal8", "MaskLabel", Kind::Label},
    {"DaxSignal9,DaxSignalC", "SignalTypeLabel", Kind::Label},
    {"DaxSignal9,DaxSignalC", "ParamLabel", Kind::Label},
    {"DaxSignal9,DaxSignalC", "MaskConditionLabel", Kind::Label},
    {"DaxSignal9,DaxSignalC", "MaskKoefLabel", Kind::Label},
    {"DaxSignalD,DaxSignalG", "SignalTypeLabel", Kind::Label},
    {"DaxSignalD,DaxSignalG", "ParamLabel", Kind::Label},
    {"DaxSignalD,DaxSignalG", "MaskParamLabel", Kind::Label},
    {"DaxSignalD,DaxSignalG", "MaskConditionLabel", Kind::Label},
    {"DaxSignalD,DaxSignalG", "KoefLabel#", Kind::Label, 2},
    {"DaxEvent1,DaxEvent8", "MaskConditionLabel", Kind::Label},
    {"DaxEvent1,DaxEvent8", "MaskLabel", Kind::Label},
};

// The kind of widget a binding's control class asks for.
Kind KindOfClass(const FrameControlSpec& spec)
{
    switch (spec.Class) {
    case ControlClass::TEdit: return Kind::Edit;
    case ControlClass::TComboBox: return Kind::Combo;
    case ControlClass::TBitEditComboBox: return Kind::BitEdit;
    case ControlClass::TCheckBox: return Kind::Check;
    case ControlClass::TCSpinEdit: return Kind::Spin;
    case ControlClass::TProgressBar: return Kind::Progress;
    case ControlClass::TDateTimePicker: return Kind::Panel;
    case ControlClass::Other: return Kind::Panel;
    }
    return Kind::Panel;
}

class DevicePagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = std::make_unique<TDax_Frame>();
        frame->BuildPageTree();
    }

    // The widget at a path, exactly once in its scope; none (with a failure) otherwise.
    QWidget* FindOnce(const std::string& path)
    {
        const size_t slash = path.find('/');
        QWidget* scope = frame.get();
        std::string name = path;
        if (slash != std::string::npos) {
            const QList<QWidget*> frames = frame->findChildren<QWidget*>(QString::fromStdString(path.substr(0, slash)));
            EXPECT_EQ(frames.size(), 1) << path;
            if (frames.size() != 1)
                return nullptr;
            scope = frames.front();
            name = path.substr(slash + 1);
        }
        const QList<QWidget*> found = scope->findChildren<QWidget*>(QString::fromStdString(name));
        EXPECT_EQ(found.size(), 1) << path;
        return found.size() == 1 ? found.front() : nullptr;
    }

    void CheckNames(std::span<const NameRow> rows)
    {
        for (const NameRow& row : rows)
            for (const std::string& scope : Split(row.Scope))
                for (const std::string& name : Expand(row)) {
                    const std::string path = scope.empty() ? name : scope + "/" + name;
                    const QWidget* widget = FindOnce(path);
                    EXPECT_TRUE(widget != nullptr && IsKind(widget, row.Expected))
                        << path << " is not a " << KindName(row.Expected);
                }
    }

    std::unique_ptr<TDax_Frame> frame;
};

TEST_F(DevicePagesTest, TheReportCodesControlsExistOnceWithTheirKinds)
{
    CheckNames(kReportNames);
}

TEST_F(DevicePagesTest, ThePagesControlsExistOnceWithTheirKinds)
{
    CheckNames(kPageNames);
}

TEST_F(DevicePagesTest, TheArchivePagesHoldTheirGridsOnFiveSubTabs)
{
    const char* const parts[] = {"General", "TS1", "TS2", "CWS"};
    const char* const kinds[] = {"HourArchive", "DayArchive", "MonthArchive", "TotalDayArchive", "TotalMonthArchive"};
    const char* const captions[] = {"Часовой", "Суточный", "Месячный", "Итоговый суточный", "Итоговый месячный"};
    for (const char* part : parts) {
        const auto* tabs = qobject_cast<const QTabWidget*>(FindOnce(std::string(part) + "ArchivePageControl"));
        ASSERT_NE(tabs, nullptr) << part;
        ASSERT_EQ(tabs->count(), 5) << part;
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(tabs->tabText(i).toStdString(), captions[i]);
            const auto* grid = qobject_cast<const TGoodTable*>(FindOnce(std::string(part) + kinds[i]));
            ASSERT_NE(grid, nullptr) << part << kinds[i];
            EXPECT_TRUE(tabs->widget(i)->isAncestorOf(grid) || tabs->widget(i) == grid);
            EXPECT_EQ(grid->Col(), -1);
            EXPECT_EQ(grid->Row(), -1);
            EXPECT_EQ(grid->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
            EXPECT_TRUE(grid->font().fixedPitch() || grid->font().styleHint() == QFont::TypeWriter);
        }
    }
}

TEST_F(DevicePagesTest, EveryBoundControlExistsOnceWithItsBindingsKind)
{
    for (const FrameControlSpec& spec : FrameControlSpecs()) {
        const QWidget* widget = FindOnce(spec.Path);
        if (widget == nullptr)
            continue;
        if (spec.Class == ControlClass::TDateTimePicker)
            EXPECT_TRUE(IsKind(widget, Kind::Date) || IsKind(widget, Kind::Time)) << spec.Path;
        else
            EXPECT_TRUE(IsKind(widget, KindOfClass(spec))) << spec.Path;
    }
}

} // namespace

namespace {

bool IsHoldingGroup(int group)
{
    return (group >= 4 && group <= 18) || group >= 21;
}

// A frame after its page tree was built, with the demo instrument in its images and every
// binding group shown, as a completed read of everything leaves it.
class DemoFrameTest : public DevicePagesTest {
protected:
    void SetUp() override
    {
        DevicePagesTest::SetUp();
        daxsim::Instrument instrument(daxsim::DemoState(daxsim::Model::Dax01), 1);
        demo = instrument.State();
        frame->Helper().LoadDataFileBytes(daxsim::DataFileBytesOfInstrument(instrument));
        frame->CopyIdentification();
        DaxHelperLocker lock(&frame->Helper());
        frame->OwnFields().FillAirChannelWord(frame->Helper(), 0);
        frame->OwnFields().FillAirChannelWord(frame->Helper(), 1);
        frame->Bindings().Show(-1, [this](const std::string& message) { errors.push_back(message); });
    }

    template <typename Widget>
    Widget* Control(const std::string& path)
    {
        return qobject_cast<Widget*>(FindOnce(path));
    }

    daxsim::InstrumentState demo;
    std::vector<std::string> errors;
};

TEST_F(DevicePagesTest, EveryBindingResolvesOverTheWidgets)
{
    EXPECT_EQ(static_cast<int>(frame->Bindings().Count()), kFrameBindingCount);
    std::array<int, kBindingGroupCount> counts{};
    for (const ExchangeInfoStruct& entry : frame->Bindings().Entries())
        ++counts.at(static_cast<size_t>(entry.BindingGroup));
    EXPECT_EQ(counts, FrameBindingGroupCounts());
}

TEST_F(DemoFrameTest, TheDemoInstrumentShowsWithoutComplaint)
{
    EXPECT_EQ(errors, std::vector<std::string>{});

    struct Shown {
        const char* Path;
        const char* Text;
    };
    const Shown texts[] = {
        {"ConfigurationTS1/SchemeComboBox", "5.9"},
        {"ConfigurationTS2/SchemeComboBox", "2.5"},
        {"UnitOfMeasureHeat", "Гкал"},
        {"UnitOfMeasurePressure", "МПа"},
        {"ReactionTS2/Go_More_Gp_Less_GpK_Reaction", "Индикация НС"},
        {"UartSpeed_0", "19200"},
        {"TS1_Current/Q1Current", "000000273.151"},
        {"TS2_Current/Q2gvsCurrent", "000000042.430"},
        {"TS2_Current/t5Current", "55.20"},
        {"GeneralCWS_Current/WorkTime", "2160:55"},
        {"SerialNumInfo", "12345"},
        {"Model", "Dax-01"},
        {"V_Status6", "Нет ошибок"},
        {"V_Status1", "Нет ошибок"},
        {"ObjectIdent", "Котельная 3"},
        {"ServerIpAddress", "192.168.1.10"},
        {"ImpulseWeight3", "0.001"},
    };
    for (const Shown& shown : texts) {
        const QWidget* widget = FindOnce(shown.Path);
        ASSERT_NE(widget, nullptr) << shown.Path;
        QString text;
        if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
            text = edit->text();
        else if (const auto* combo = qobject_cast<const QComboBox*>(widget))
            text = combo->currentText();
        EXPECT_EQ(text.toStdString(), shown.Text) << shown.Path;
    }

    EXPECT_EQ(Control<QDateEdit>("CurrentDatePicker")->date(), QDate(2024, 6, 14));
    EXPECT_EQ(Control<QTimeEdit>("CurrentTimePicker")->time(), QTime(10, 25, 0));
    EXPECT_EQ(Control<QDateEdit>("SummerPeriodStart")->date(), QDate(2000, 4, 15));
    EXPECT_EQ(Control<QTimeEdit>("DaxSignalD/TimerOn")->time(), QTime(8, 0));
    EXPECT_EQ(Control<TBitEditComboBox>("GeneralCWS_Current/SignalFlagsCurrent")->BitFlags(), 0x3001u);

    // A status other than "no errors" is written in red, the others in black.
    {
        DaxHelperLocker lock(&frame->Helper());
        frame->Helper().InputRegisterImage[2 * (30424 - 30001) + 1] = 4; // V6 "Отключен"
        frame->Bindings().Show(0, [this](const std::string& message) { errors.push_back(message); });
    }
    EXPECT_TRUE(Control<QComboBox>("V_Status6")->styleSheet().contains(QStringLiteral("#ff0000"), Qt::CaseInsensitive));
    EXPECT_FALSE(Control<QComboBox>("V_Status1")->styleSheet().contains(QStringLiteral("#ff0000"), Qt::CaseInsensitive));
}

// The lists that show what the instrument reports (the channels' states on "Каналы измерения",
// the operating mode on "Настройки") cannot be changed by the user: not from the list, not by
// keys, not by the wheel.
TEST_F(DemoFrameTest, StatusListsCannotBeChanged)
{
    std::vector<std::string> paths = {"WorkMode"};
    for (int n = 1; n <= 6; ++n) {
        paths.push_back("V_Status" + std::to_string(n));
        paths.push_back("P_Status" + std::to_string(n));
    }
    for (int n = 1; n <= 5; ++n)
        paths.push_back("t_Status" + std::to_string(n));
    frame->resize(1200, 800);
    frame->show();
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        auto* combo = Control<QComboBox>(path);
        ASSERT_NE(combo, nullptr);
        const int shown = combo->currentIndex();
        ASSERT_GE(combo->count(), 2);
        combo->showPopup();
        EXPECT_FALSE(combo->view()->isVisible());
        for (const auto key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_End, Qt::Key_Home, Qt::Key_PageDown})
            QTest::keyClick(combo, key);
        QWheelEvent wheel(QPointF(5, 5), combo->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(combo, &wheel);
        EXPECT_EQ(combo->currentIndex(), shown);
        EXPECT_EQ(combo->focusPolicy(), Qt::NoFocus);
    }
    // A list of a setting stays a list the user chooses from.
    auto* setting = Control<QComboBox>("UnitOfMeasurePressure");
    ASSERT_NE(setting, nullptr);
    const int before = setting->currentIndex();
    setting->setFocus();
    QTest::keyClick(setting, before == 0 ? Qt::Key_Down : Qt::Key_Up);
    EXPECT_NE(setting->currentIndex(), before);
}

// The demo instrument agrees with itself: on "Каналы измерения" a channel reads "Отключен"
// exactly when no setting uses it (neither heat system's scheme, its air or control channel,
// nor the cold-water channels).
TEST(DemoInstrument, EachChannelsStateAgreesWithItsSettings)
{
    TDax_Frame frame;
    frame.BuildPageTree();
    daxsim::Instrument instrument(daxsim::DemoState(daxsim::Model::Dax01), 1);
    frame.LoadDataFile(daxsim::DataFileBytesOfInstrument(instrument));
    std::array<HeatSystemConfig, 2> systems;
    {
        DaxHelperLocker lock(&frame.Helper());
        for (uint8_t h = 0; h < 2; ++h)
            systems[h] = DecodeHeatSystemConfig(frame.Helper().InputRegisterImage, frame.Helper().HoldingRegisterImage, h);
    }
    const auto schemeUses = [&](uint8_t param) {
        return IsSchemeParamUsed(param, systems[0]) || IsSchemeParamUsed(param, systems[1]);
    };
    const auto coldWater = [&](int n) { return n >= 1 && n <= 6 ? systems[0].ColdWaterSetup[n - 1] : uint8_t{0}; };
    const auto stateOf = [&](const std::string& name) {
        const auto* combo = frame.findChild<QComboBox*>(QString::fromStdString(name));
        EXPECT_NE(combo, nullptr) << name;
        return combo ? combo->currentText().toStdString() : std::string();
    };
    int used = 0;
    for (int n = 1; n <= 6; ++n) {
        const bool flow = (n <= 5 && (schemeUses(static_cast<uint8_t>(SchemeParam::V1 + n - 1)) ||
                                      schemeUses(static_cast<uint8_t>(SchemeParam::M1 + n - 1)))) ||
                          coldWater(n) >= 1;
        EXPECT_EQ(stateOf("V_Status" + std::to_string(n)) == "Отключен", !flow) << "flow channel " << n;
        const bool pressure = (n <= 5 && schemeUses(static_cast<uint8_t>(SchemeParam::P1 + n - 1))) || coldWater(n) >= 2;
        EXPECT_EQ(stateOf("P_Status" + std::to_string(n)) == "Отключен", !pressure) << "pressure channel " << n;
        used += flow + pressure;
    }
    for (int n = 1; n <= 5; ++n) {
        const bool temperature = schemeUses(static_cast<uint8_t>(SchemeParam::T1 + n - 1)) ||
                                 systems[0].AirChannel == n - 1 || systems[1].AirChannel == n - 1 ||
                                 systems[0].ControlChannel == n - 1 || systems[1].ControlChannel == n - 1;
        EXPECT_EQ(stateOf("t_Status" + std::to_string(n)) == "Отключен", !temperature) << "temperature channel " << n;
        used += temperature;
    }
    EXPECT_GT(used, 0);
}

// Shows and stores every setting on the real widgets: the setup image comes back as the
// instrument holds it, apart from the places where a store is known to normalise a value.
class DemoRoundTrip : public testsupport::UnderLocale {};

TEST_P(DemoRoundTrip, SettingsGoBackIntoTheSetupImageUnchanged)
{
    TDax_Frame frame;
    frame.BuildPageTree();
    daxsim::Instrument instrument(daxsim::DemoState(daxsim::Model::Dax02), 1);
    frame.Helper().LoadDataFileBytes(daxsim::DataFileBytesOfInstrument(instrument));
    const daxsim::InstrumentState demo = instrument.State();
    DaxHelperLocker lock(&frame.Helper());
    for (int group = 0; group < kBindingGroupCount; ++group) {
        if (!IsHoldingGroup(group))
            continue;
        std::vector<std::string> errors;
        frame.Bindings().Show(group, [&errors](const std::string& message) { errors.push_back(message); });
        EXPECT_EQ(errors, std::vector<std::string>{}) << "group " << group;
        EXPECT_NO_THROW(frame.Bindings().Validate(group)) << "group " << group;
        frame.Bindings().Store(group);
    }
    const auto& image = frame.Helper().HoldingRegisterImage;
    for (uint16_t reg = 40001; reg <= 40596; ++reg) {
        const size_t at = 2 * static_cast<size_t>(reg - 40001);
        const auto stored = static_cast<uint16_t>(image[at] << 8 | image[at + 1]);
        EXPECT_EQ((stored ^ demo.Register(reg)) & ~FirstStoreChangeMask(reg), 0)
            << "HR " << reg << ": " << demo.Register(reg) << " became " << stored;
    }
}

DAX_INSTANTIATE_UNDER_LOCALES(DemoRoundTrip);

TEST_F(DevicePagesTest, EveryListHoldsTheItemsItsValuesMean)
{
    for (const FrameControlSpec& spec : FrameControlSpecs()) {
        if (spec.List.empty())
            continue;
        const QWidget* widget = FindOnce(spec.Path);
        ASSERT_NE(widget, nullptr) << spec.Path;
        std::vector<std::string> expected(spec.List.Items, spec.List.Items + spec.List.Count);
        if (spec.Path == "IncomingRingAction")
            expected.resize(3);
        std::vector<std::string> items;
        if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
            for (int i = 0; i < combo->count(); ++i)
                items.push_back(combo->itemText(i).toStdString());
            EXPECT_EQ(combo->currentIndex(), -1) << spec.Path;
        } else if (const auto* bits = qobject_cast<const TBitEditComboBox*>(widget)) {
            for (const QString& item : bits->Items())
                items.push_back(item.toStdString());
        }
        EXPECT_EQ(items, expected) << spec.Path;
    }
}

TEST_F(DevicePagesTest, ListsTable)
{
    const auto combo = [this](const std::string& path) { return qobject_cast<QComboBox*>(FindOnce(path)); };
    EXPECT_EQ(combo("UartSpeed_0")->itemText(4).toStdString(), "19200");
    EXPECT_EQ(combo("IncomingRingAction")->count(), 3);
    for (int n = 1; n <= 6; ++n) {
        const QComboBox* weight = combo("ImpulseWeight" + std::to_string(n));
        EXPECT_EQ(weight->count(), 19);
        EXPECT_EQ(weight->maxVisibleItems(), 19);
        EXPECT_TRUE(weight->isEditable());
    }
    for (const char* scheme : {"ConfigurationTS1/SchemeComboBox", "ConfigurationTS2/SchemeComboBox"}) {
        EXPECT_EQ(combo(scheme)->count(), 29);
        EXPECT_EQ(combo(scheme)->maxVisibleItems(), 29);
    }
    for (const char* path : {"TS1_Current/NSTS2Current", "TS2_Current/NSTS2Current"}) {
        const auto* flags = qobject_cast<TBitEditComboBox*>(FindOnce(path));
        ASSERT_NE(flags, nullptr);
        EXPECT_EQ(flags->ItemCount(), 15);
        EXPECT_EQ(flags->Items()[4].toStdString(), "G3*Kпр >= G4 > G3");
    }
    for (const char* signal : {"DaxSignalD", "DaxSignalG"}) {
        EXPECT_EQ(combo(std::string(signal) + "/ConditionParam1")->count(), 31);
        EXPECT_EQ(combo(std::string(signal) + "/ConditionParam1")->maxVisibleItems(), 31);
        EXPECT_EQ(combo(std::string(signal) + "/ParamCondition")->count(), 10);
    }
    EXPECT_EQ(combo("DaxSignal9/ParamCondition")->count(), 3);
    EXPECT_EQ(combo("DaxSignal9/SignalType")->count(), 2);
    EXPECT_EQ(combo("MaskSignal1/MaskParam")->maxVisibleItems(), 12);

    const auto label = [this](const std::string& path) { return qobject_cast<QLabel*>(FindOnce(path))->text().toStdString(); };
    EXPECT_EQ(combo("ReactionTS1/Go_More_Gp_Less_GpK_Reaction")->itemText(3).toStdString(), "M1 = M2");
    EXPECT_EQ(combo("ReactionTS2/Go_More_Gp_Less_GpK_Reaction")->itemText(3).toStdString(), "M3 = M4");
    EXPECT_EQ(combo("ReactionTS2/Gp_More_Go_Less_GoK_Reaction")->itemText(2).toStdString(), "M3=M4=(M3+M4)/2");
    EXPECT_EQ(label("ReactionTS1/TSReactionLabel_5"), "G1*Kпр >= G2 > G1");
    EXPECT_EQ(label("ReactionTS2/TSReactionLabel_5"), "G3*Kпр >= G4 > G3");
    EXPECT_EQ(label("ReactionTS2/TSReactionLabel_0"), "Q2 < 0");
    EXPECT_EQ(label("ReactionTS2/ChanelReactionLabel_0"), "Отказ основного ПР");
    EXPECT_EQ(qobject_cast<QGroupBox*>(FindOnce("ReactionTS2/TSReactionGroupBox"))->title().toStdString(),
              "Реакции на НС системы ТС2");
    EXPECT_EQ(label("CWSlReactionLabel_3"), "G_отc < Gv < G_min");

    // Captions of the heat systems: "Cистема" with a Latin C on the current values.
    EXPECT_EQ(qobject_cast<QGroupBox*>(FindOnce("TS2_Current/TSGroupBox"))->title().toStdString(),
              "Cистема теплоснабжения 2");
    EXPECT_EQ(qobject_cast<QGroupBox*>(FindOnce("TS1_NS_Current/TSGroupBox"))->title().toStdString(),
              "Система теплоснабжения 1 (Счетчики НС)");
    EXPECT_EQ(qobject_cast<QGroupBox*>(FindOnce("ConfigurationTS2/SetupTSGroupBox"))->title().toStdString(),
              "Конфигурация системы теплоснабжения 2");
}

// The alternative controls of the signal editors share a grid cell with the controls they
// replace.
TEST_F(DevicePagesTest, SignalEditorsStackTheirAlternativeControls)
{
    struct Stack {
        const char* Frame;
        const char* Control;
        const char* Partner;
    };
    const Stack stacks[] = {
        {"DaxSignal9", "ConditionParam1", "MaskParam"},     {"DaxSignal9", "ConditionKoef1", "Mask"},
        {"DaxSignal9", "ParamCondition", "MaskCondition"},  {"DaxSignalD", "ParamCondition", "MaskCondition"},
        {"DaxSignalD", "TimerMode", "MaskCondition"},       {"DaxSignalD", "ConditionParam1", "MaskParam"},
        {"DaxSignalD", "TimerDays", "MaskParam"},           {"DaxSignalD", "ConditionParam2", "Mask"},
        {"DaxSignalD", "TimerOn", "ConditionKoef1"},        {"DaxSignalD", "TimerOff", "ConditionKoef2"},
    };
    for (const Stack& stack : stacks) {
        QWidget* control = FindOnce(std::string(stack.Frame) + "/" + stack.Control);
        QWidget* partner = FindOnce(std::string(stack.Frame) + "/" + stack.Partner);
        ASSERT_TRUE(control != nullptr && partner != nullptr);
        auto* grid = qobject_cast<QGridLayout*>(partner->parentWidget()->layout());
        ASSERT_NE(grid, nullptr);
        int row[2], column[2], rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(grid->indexOf(control), &row[0], &column[0], &rowSpan, &columnSpan);
        grid->getItemPosition(grid->indexOf(partner), &row[1], &column[1], &rowSpan, &columnSpan);
        EXPECT_EQ(row[0], row[1]) << stack.Frame << "/" << stack.Control;
        EXPECT_EQ(column[0], column[1]) << stack.Frame << "/" << stack.Control;
    }
}

TEST_F(DevicePagesTest, AfterTheBuildPageFourIsShownAndTheServiceControlsStayHidden)
{
    EXPECT_EQ(frame->CurrentPageId(), 4);
    ASSERT_NE(frame->Page(4), nullptr);
    EXPECT_EQ(frame->findChild<QStackedWidget*>(QStringLiteral("PageControl"))->currentWidget(), frame->Page(4));
    EXPECT_EQ(frame->Page(22), nullptr);
    EXPECT_EQ(frame->findChild<QWidget*>(QStringLiteral("Page22")), nullptr);
    int built = 0;
    for (int id = 0; id < 30; ++id)
        built += frame->Page(id) != nullptr ? 1 : 0;
    EXPECT_EQ(built, 29);

    const auto* tree = frame->findChild<QTreeWidget*>(QStringLiteral("SelectTree"));
    ASSERT_NE(tree, nullptr);
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* node = tree->topLevelItem(i);
        if (node->text(0) == QStringLiteral("Архивы")) {
            EXPECT_FALSE(node->isExpanded());
        }
        if (node->text(0) == QStringLiteral("Текущие параметры") || node->text(0) == QStringLiteral("Настройки")) {
            EXPECT_TRUE(node->isExpanded());
        }
    }

    for (const char* name : {"LcdGroupBox", "ServiceParamGroupBox", "ServiceModeGroupBox", "AveragingEnable",
                             "AveragingReset"})
        EXPECT_TRUE(FindOnce(name)->isHidden()) << name;
    // The values of the service modes and of the LCD calibration stay bound all the same.
    EXPECT_FALSE(FindOnce("DemoMode")->isHidden());
    EXPECT_FALSE(FindOnce("LcdContrast")->isHidden());
    EXPECT_EQ(qobject_cast<QSpinBox*>(FindOnce("LcdContrast"))->maximum(), 127);
    EXPECT_EQ(qobject_cast<QSpinBox*>(FindOnce("ConfigurationTS1/DirectPipe"))->minimum(), 1);
    EXPECT_TRUE(FindOnce("ConfigurationTS1/ConfigurationGroupBox")->isHidden());
    EXPECT_TRUE(FindOnce("ConfigurationTS1/QgvsFormula")->isHidden());
    const QWidget* paintBox = FindOnce("ConfigurationTS1/ShemePaintBox");
    EXPECT_EQ(paintBox->size(), QSize(478, 257));
}

TEST(DevicePagesLifetime, FramesComeAndGoWithTheirBindings)
{
    for (int round = 0; round < 3; ++round) {
        auto frame = std::make_unique<TDax_Frame>();
        frame->BuildPageTree();
        daxsim::Instrument instrument(daxsim::DemoState(daxsim::Model::Dax01), 1);
        frame->Helper().LoadDataFileBytes(daxsim::DataFileBytesOfInstrument(instrument));
        frame->CopyIdentification();
        DaxHelperLocker lock(&frame->Helper());
        frame->Bindings().Show(-1);
    }
}

} // namespace
