#include "DaxFramePages.h"

#include "DaxCurrentGeneralParamFrame.h"
#include "DaxCurrentTSParamFrame.h"
#include "DaxEventFrame.h"
#include "DaxFormTable.h"
#include "DaxMaskSignalFrame.h"
#include "DaxNotStaffTSFrame.h"
#include "DaxPageTable.h"
#include "DaxReactionTSFrame.h"
#include "DaxSetupTSFrame.h"
#include "DaxSignalFrame_1.h"
#include "DaxSignalFrame_2.h"

#include "controls/GoodTable.h"
#include "presentation/FramePages.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstring>
#include <span>

namespace devicepages {

namespace {

using namespace daxform;

// The frame's own controls: every binding path without a sub-frame.
const BindingScope kFrameScope = {""};

// ---------------------------------------------------------------------------------------
// Pages of sub-frames

constexpr FormRow kPage0[] = {Embed("TS1_Current")};
constexpr FormRow kPage1[] = {Embed("TS1_NS_Current")};
constexpr FormRow kPage2[] = {Embed("TS2_Current")};
constexpr FormRow kPage3[] = {Embed("TS2_NS_Current")};
constexpr FormRow kPage4[] = {Embed("GeneralCWS_Current")};
constexpr FormRow kPage11[] = {Embed("ConfigurationTS1")};
constexpr FormRow kPage11Commands[] = {Button("WritePageParams", "Установить")};
constexpr FormRow kPage12[] = {Embed("ReactionTS1")};
constexpr FormRow kPage12Commands[] = {Button("BitBtn23", "Установить")};
constexpr FormRow kPage13[] = {Embed("ConfigurationTS2")};
constexpr FormRow kPage13Commands[] = {Button("BitBtn5", "Установить")};
constexpr FormRow kPage14[] = {Embed("ReactionTS2")};
constexpr FormRow kPage14Commands[] = {Button("BitBtn6", "Установить")};

// ---------------------------------------------------------------------------------------
// Page 15 "Общие": units, formula Q3, cold-water contract values, seasons

constexpr FormRow kPage15[] = {
    Box("CommonGroupBox", "Единицы измерения и формулы"),
    Field("UnitOfMeasureHeat"),
    Field("UnitOfMeasurePressure"),
    Field("FormulaQ3"),
    Field("MonthArchiveDayCreate"),
    Box("PeriodGroupBox", "Летний и зимний период"),
    Field("CurrentPeriod"),
    Field("EventChangeCondition"),
    Field("SummerPeriodStart"),
    Field("WinterPeriodStart"),
    Column(),
    Box("ColdWaterGroupBox", "Холодная вода"),
    Field("ColdWaterValueType"),
    Field("ColdWaterTWinter", "tхв_дог зимняя (°С)"),
    Field("ColdWaterTSummer", "tхв_дог летняя (°С)"),
    Field("ColdWaterPWinter", "Pхв_дог зимнее (МПа)"),
    Field("ColdWaterPSummer", "Pхв_дог летнее (МПа)"),
    Field("ColdWaterTRemote", "tхв дистанционная (°С)"),
};
constexpr FormRow kPage15Commands[] = {Button("BitBtn8", "Установить")};

// ---------------------------------------------------------------------------------------
// Page 16 "ХВС": cold-water channels and reactions. The reaction labels carry the form's
// caption until the page tree builder gives them their situations.

constexpr FormRow kPage16[] = {
    Box("CWSGroupBox", "Каналы ХВС"),
    Field("CWS1"),
    Field("CWS2"),
    Field("CWS3"),
    Field("CWS4"),
    Field("CWS5"),
    Field("CWS6"),
    Column(),
    Box("CWSReactionGroupBox", "Реакции на НС каналов ХВС"),
    Field("CWSExpenseMeasureFailReaction", nullptr, "CWSlReactionLabel_0"),
    Field("CWSEmptyPipeReaction", nullptr, "CWSlReactionLabel_1"),
    Field("CWSGLessGotsReaction", nullptr, "CWSlReactionLabel_2"),
    Field("CWSGLessGminReaction", nullptr, "CWSlReactionLabel_3"),
    Field("CWSGMoreGmaxReaction", nullptr, "CWSlReactionLabel_4"),
};
constexpr FormRow kPage16Commands[] = {Button("BitBtn10", "Установить")};

// ---------------------------------------------------------------------------------------
// Page 17 "Изм. Каналы": raw values and states of the measuring channels, diagnostics

constexpr FormRow kPage17[] = {
    Table("FlowChanelGroupBox", "Каналы расхода", 6, "V#"),
    Cells("FreqImpulse#", "Частота (Гц)"),
    Cells("ImpulseCounter#", "Импульсы"),
    Cells("Expense#", "Расход (м³/ч)"),
    Cells("V_Status#", "Состояние"),
    Button("ClearCounters", "Сбросить счетчики импульсов"),
    Button("AveragingReset", "Обнулить усреднение"),
    Table("TempChanelGroupBox", "Каналы температуры", 5, "t#"),
    Cells("t_AdcCode#", "Код АЦП"),
    Cells("Resistance#", "Сопротивление (Ом)"),
    Cells("Temperature#", "Температура (°С)"),
    Cells("t_Status#", "Состояние"),
    Column(),
    Table("PressureChanelGroupBox", "Каналы давления", 6, "P#"),
    Cells("P_AdcCode#", "Код АЦП"),
    Cells("Current#", "Ток (мА)"),
    Cells("Pressure#", "Давление (МПа)", "PressureChanelLabel"),
    Cells("P_Status#", "Состояние"),
    Box("ServiceChanelGroupBox", "Диагностика"),
    Field("AdcTempCode", "Код t_adc"),
    Field("CpuTempCode", "Код t_cpu"),
    Field("AdcVoltageCode", "Код U_adc"),
    Field("CpuVoltageCode", "Код U_cpu"),
    Option("AveragingEnable", "Использовать усреднение"),
    Split(),
    Computed("AdcTemperature", "t_adc (°С)"),
    Computed("CpuTemperature", "t_cpu (°С)"),
    Computed("AdcVoltage", "U_adc (В)"),
    Computed("CpuVoltage", "U_cpu (В)"),
    Computed("AdcCycleCounter", "Цикл АЦП"),
};

// ---------------------------------------------------------------------------------------
// Page 18 "Каналы V": flow channels and the flow filter

constexpr FormRow kPage18[] = {
    Matrix("FlowChanelsGroupBox", "Каналы расхода", 6, "V#"),
    Cells("Du#", "Ду (мм)"),
    Cells("ImpulseWeight#", "Вес импульса (м³)"),
    Cells("G#_contract", "Gдог (м³/ч)"),
    Cells("G#_max", "G_max (м³/ч)"),
    Cells("G#_min", "G_min (м³/ч)"),
    Cells("G#_ots", "G_отс (м³/ч)"),
    Cells("ChanelMode#", "Режим входа"),
    Cells("CtrlModeV#", "Контроль ПР"),
    Cells("EmptyPipeSygnal#", "Пустая труба"),
    Button("SetImpulseParamButton", "Установить"),
    Box("FilterGroupBox", "Фильтр расхода"),
    Field("ExpenseFilterEnable", "Фильтр включен"),
    Field("ExpenseFilterValue"),
    Field("ResetFilterAttitude"),
    Button("SetFilterParamButton", "Установить"),
};

// ---------------------------------------------------------------------------------------
// Page 19 "Каналы t,P": temperature and pressure channels

constexpr FormRow kPage19[] = {
    Table("TempChanelsGroupBox", "Каналы температуры", 5, "t#"),
    Cells("NSH_TSP#", "НСХ ТСП"),
    Cells("t#_contract", "t_дог (°С)"),
    Cells("t_max#", "t_max (°С)"),
    Cells("t_min#", "t_min (°С)"),
    Column(),
    Table("PressureChanelsGroupBox", "Каналы давления", 6, "P#"),
    Cells("P#_max", "Диапазон датчика"),
    Cells("P#_contract", "P_дог (МПа)", "PcontractLabel"),
};
constexpr FormRow kPage19Commands[] = {Button("BitBtn18", "Установить")};

// ---------------------------------------------------------------------------------------
// Page 20 "Калибровка": calibration coefficients and system calibration. The service modes,
// the LCD calibration and the service parameters are hidden for good by the page tree builder.

constexpr FormRow kPage20[] = {
    Box("CalibrationGroupBox", "Калибровочные коэффициенты"),
    Field("SerialNum", "Заводской номер"),
    Field("AT_100"),
    Field("BT_100"),
    Field("AT_500"),
    Field("BT_500"),
    Split(),
    Field("AP_1"),
    Field("AP_2"),
    Field("AP_3"),
    Field("AP_4"),
    Field("AP_5"),
    Field("AP_6"),
    Split(),
    Field("BP_1"),
    Field("BP_2"),
    Field("BP_3"),
    Field("BP_4"),
    Field("BP_5"),
    Field("BP_6"),
    Button("SetCalibration", "Установить"),
    Box("SystemCalibrationGroupBox", "Системная калибровка"),
    Field("T_MeasureCurrent", "Режим измерения"),
    Field("HiSpeedAdcMul", "Поправка ADC_HS_A"),
    Field("HiSpeedAdcAdd", "Поправка ADC_HS_B"),
    Field("ThermoCorrection_t", "Термокоррекция t"),
    Field("ThermoCorrection_P", "Термокоррекция P"),
    Button("SetSystemCalibration", "Установить"),
    Button("ResetButton", "Сброс"),
    Box("ServiceModeGroupBox", "Сервисные режимы"),
    Field("DemoMode", "Демо режим"),
    Field("FastMode", "Ускоренный режим"),
    Box("LcdGroupBox", "Калибровка ЖКИ"),
    Field("LcdContrast", "Контраст"),
    Field("PRSMode", "Высоковольтный режим"),
    Field("MultCoeff", "Множитель"),
    Field("TempCoeff", "Термокоэффициент"),
    Box("ServiceParamGroupBox", "Служебные параметры"),
};

// ---------------------------------------------------------------------------------------
// Page 21 "Настройки": clock, access, identification, start of work and archive clearing

constexpr FormRow kPage21[] = {
    Box("ClockGroupBox", "Дата и время"),
    Field("CurrentDatePicker"),
    Field("CurrentTimePicker"),
    Field("RtcCorrectionValue", "Автокоррекция (с/сутки)"),
    Field("TimeCorrectionValue", "Допустимая коррекция (мин)"),
    Field("AutoTranslationTime", "Автоперевод времени"),
    Button("SetTime", "Установить"),
    Button("SetCurrentTime", "Время с ПК"),
    Button("CorrectionTime", "Коррекция"),
    Box("AccessGroupBox", "Доступ"),
    Field("Password"),
    Field("EnablePassword", "Разрешить использование пароля"),
    Field("LockSetupParams", "Защита настроек"),
    Button("SetAccess", "Установить"),
    Button("EnterPassword", "Ввести пароль"),
    Column(),
    Box("IdentificationGroupBox", "Прибор"),
    Field("Model", "Исполнение"),
    Field("Modification", "Модификация"),
    Field("VersionFirmware", "Версия ПО"),
    Field("SerialNumInfo", "Заводской номер"),
    Field("WorkMode", "Режим работы"),
    Field("CRC_Firmware", "КС ПО"),
    Field("CRC_Metrology", "КС метрологической части"),
    Field("CRC_Setup", "КС настроечных параметров"),
    Field("CRC_Calibration", "КС калибровочных параметров"),
    Box("ArchiveGroupBox", "Архив"),
    Field("InitDatePicker", "Дата начала работы"),
    Field("InitTimePicker", "Время начала работы"),
    Field("ClaerArchiveProgressBar", "Очистка архива"),
    Button("ResetArchive", "Очистить"),
};

// ---------------------------------------------------------------------------------------
// Page 23 "Интерфейсы": display, ports, object name, SMS, incoming calls

constexpr FormRow kPage23[] = {
    Box("DisplayGroupBox", "Дисплей"),
    Field("LightOffTimout", "Отключение подсветки (с)"),
    Field("LcdOffTimeout", "Отключение ЖКИ (с)"),
    Field("ScreenSaverTimout", "Включение заставки (с)"),
    Field("LightBatteryEnable"),
    Field("ScreenSaverType"),
    Field("NotStaffCounterDisplay"),
    Button("SetLcd", "Установить"),
    Box("Port1GroupBox", "Порт 1"),
    Field("UartSpeed_0", "Скорость"),
    Field("UartMode_0", "Режим"),
    Field("NetAddress_0", "Сетевой адрес"),
    Field("DelayPacket_0", "Дополнительный таймаут"),
    Button("SetPort1", "Установить"),
    Box("Port2GroupBox", "Порт 2"),
    Field("UartSpeed_1", "Скорость"),
    Field("UartMode_1", "Режим"),
    Field("NetAddress_1", "Сетевой адрес"),
    Field("DelayPacket_1", "Дополнительный таймаут"),
    Button("SetPort2", "Установить"),
    Column(),
    Box("ObjectGroupBox", "Идентификация"),
    Field("ObjectIdent"),
    Button("SetObjectName", "Установить"),
    Box("SmsGroupBox", "SMS"),
    Field("SmsDispatcherNumber"),
    Field("SmsSendInterval", "Интервал отправки SMS (мин)"),
    Field("SmsSendMask", "Сигналы отправки SMS"),
    Button("SetSms", "Установить"),
    Box("RingGroupBox", "Входящие звонки"),
    Field("AnswerMode"),
    Field("IncomingRingAction"),
    Field("AnswerRingCount"),
    Field("AnswerSignalMask", "Сигналы входящего звонка"),
    Button("SetIncomingRing", "Установить"),
};

// ---------------------------------------------------------------------------------------
// Page 24 "Интернет": GPRS

constexpr FormRow kPage24[] = {
    Box("GprsGroupBox", "GPRS"),
    Field("GprsApnString"),
    Field("GprsNumber"),
    Field("GprsLogin"),
    Field("GprsPassword"),
    Field("GprsWorkMode"),
    Field("GprsIncomingConnectionMode"),
    Field("GprsDataFormatMode"),
    Field("GprsPollMode"),
    Field("GprsPollingInterval", "Интервал подключения GPRS (с)"),
    Field("GprsPollSignalMask", "Сигналы подключения GPRS"),
    Split(),
    Field("ServerIpAddress"),
    Field("RemoteIpAddress_1"),
    Field("RemoteIpAddress_2"),
    Field("RemoteIpAddress_3"),
    Field("RemotePort"),
    Field("LocalPort"),
    Field("UdpChanelInteval"),
    Field("UdpChanelAttemptCount"),
    Button("SetInternet", "Установить"),
};

// ---------------------------------------------------------------------------------------
// Pages 25 to 28: signals and events

constexpr FormRow kPage25[] = {
    Box("MaskSignalGroupBox1", "Сигнал 1"), Embed("MaskSignal1"),
    Box("MaskSignalGroupBox2", "Сигнал 2"), Embed("MaskSignal2"),
    Box("MaskSignalGroupBox3", "Сигнал 3"), Embed("MaskSignal3"),
    Box("MaskSignalGroupBox4", "Сигнал 4"), Embed("MaskSignal4"),
    Column(),
    Box("MaskSignalGroupBox5", "Сигнал 5"), Embed("MaskSignal5"),
    Box("MaskSignalGroupBox6", "Сигнал 6"), Embed("MaskSignal6"),
    Box("MaskSignalGroupBox7", "Сигнал 7"), Embed("MaskSignal7"),
    Box("MaskSignalGroupBox8", "Сигнал 8"), Embed("MaskSignal8"),
};
constexpr FormRow kPage25Commands[] = {Button("SetSignal_0", "Установить"), Button("ClearSignal_0", "Очистить")};

constexpr FormRow kPage26[] = {
    Box("SignalGroupBox9", "Сигнал 9"), Embed("DaxSignal9"),
    Box("SignalGroupBoxA", "Сигнал A"), Embed("DaxSignalA"),
    Column(),
    Box("SignalGroupBoxB", "Сигнал B"), Embed("DaxSignalB"),
    Box("SignalGroupBoxC", "Сигнал C"), Embed("DaxSignalC"),
};
constexpr FormRow kPage26Commands[] = {Button("SetSignal_1", "Установить"), Button("ClearSignal_1", "Очистить")};

constexpr FormRow kPage27[] = {
    Box("SignalGroupBoxD", "Сигнал D"), Embed("DaxSignalD"),
    Box("SignalGroupBoxE", "Сигнал E"), Embed("DaxSignalE"),
    Column(),
    Box("SignalGroupBoxF", "Сигнал F"), Embed("DaxSignalF"),
    Box("SignalGroupBoxG", "Сигнал G"), Embed("DaxSignalG"),
};
constexpr FormRow kPage27Commands[] = {Button("SetSignal_2", "Установить"), Button("ClearSignal_2", "Очистить")};

constexpr FormRow kPage28[] = {
    Box("EventGroupBox1", "Событие 1"), Embed("DaxEvent1"),
    Box("EventGroupBox2", "Событие 2"), Embed("DaxEvent2"),
    Box("EventGroupBox3", "Событие 3"), Embed("DaxEvent3"),
    Box("EventGroupBox4", "Событие 4"), Embed("DaxEvent4"),
    Column(),
    Box("EventGroupBox5", "Событие 5"), Embed("DaxEvent5"),
    Box("EventGroupBox6", "Событие 6"), Embed("DaxEvent6"),
    Box("EventGroupBox7", "Событие 7"), Embed("DaxEvent7"),
    Box("EventGroupBox8", "Событие 8"), Embed("DaxEvent8"),
};
constexpr FormRow kPage28Commands[] = {Button("SetEvents", "Установить"), Button("ClearEvents", "Очистить")};

// ---------------------------------------------------------------------------------------
// Page 29 "Вход/Выход": discrete input and output

constexpr FormRow kPage29[] = {
    Box("InputGroupBox", "Вход IN"),
    Field("DinMode"),
    Field("DinInversion", "Инверсия"),
    Field("DinDelay", "Задержка входа IN"),
    Box("UvGroupBox", "Входы UV"),
    Field("UvInversion"),
    Column(),
    Box("OutputGroupBox", "Выход OUT"),
    Field("OutMode"),
    Field("OutBatteryTimeout"),
    Field("OutSignalMask", "Сигналы выхода"),
    Box("OutRegisterGroupBox", "Управление выходом"),
    Field("OutRegister", "Регистр выхода"),
    Button("SetOutRegister", "Установить"),
};
constexpr FormRow kPage29Commands[] = {Button("WriteInOut", "Установить")};

struct PageTable {
    int32_t PageId;
    std::span<const FormRow> Rows;
    std::span<const FormRow> Commands;
};

const PageTable kPageTables[] = {
    {0, kPage0, {}},
    {1, kPage1, {}},
    {2, kPage2, {}},
    {3, kPage3, {}},
    {4, kPage4, {}},
    {11, kPage11, kPage11Commands},
    {12, kPage12, kPage12Commands},
    {13, kPage13, kPage13Commands},
    {14, kPage14, kPage14Commands},
    {15, kPage15, kPage15Commands},
    {16, kPage16, kPage16Commands},
    {17, kPage17, {}},
    {18, kPage18, {}},
    {19, kPage19, kPage19Commands},
    {20, kPage20, {}},
    {21, kPage21, {}},
    {23, kPage23, {}},
    {24, kPage24, {}},
    {25, kPage25, kPage25Commands},
    {26, kPage26, kPage26Commands},
    {27, kPage27, kPage27Commands},
    {28, kPage28, kPage28Commands},
    {29, kPage29, kPage29Commands},
};

// Limits of spin boxes that the page sets beyond their value kind's.
struct SpinLimit {
    const char* Name;
    int Minimum;
    int Maximum;
};
constexpr SpinLimit kSpinLimits[] = {{"LcdContrast", 0, 127}};

// ---------------------------------------------------------------------------------------
// Sub-frames

template <typename Frame>
QWidget* Make(QWidget* parent)
{
    return new Frame(parent);
}

struct SubFrame {
    const char* Name;
    QWidget* (*Create)(QWidget* parent);
};

const SubFrame kSubFrames[] = {
    {"TS1_Current", Make<TDax_CurrentTSParamFrame>},
    {"TS2_Current", Make<TDax_CurrentTSParamFrame>},
    {"TS1_NS_Current", Make<TDax_NotStaffTSParamFrame>},
    {"TS2_NS_Current", Make<TDax_NotStaffTSParamFrame>},
    {"GeneralCWS_Current", Make<TDax_CurrentGeneralParamFrame>},
    {"ConfigurationTS1", Make<TDax_SetupTSFrame>},
    {"ConfigurationTS2", Make<TDax_SetupTSFrame>},
    {"ReactionTS1", Make<TDax_ReactionTSFrame>},
    {"ReactionTS2", Make<TDax_ReactionTSFrame>},
    {"MaskSignal1", Make<TDaxMaskSignalForm>},
    {"MaskSignal2", Make<TDaxMaskSignalForm>},
    {"MaskSignal3", Make<TDaxMaskSignalForm>},
    {"MaskSignal4", Make<TDaxMaskSignalForm>},
    {"MaskSignal5", Make<TDaxMaskSignalForm>},
    {"MaskSignal6", Make<TDaxMaskSignalForm>},
    {"MaskSignal7", Make<TDaxMaskSignalForm>},
    {"MaskSignal8", Make<TDaxMaskSignalForm>},
    {"DaxSignal9", Make<TDaxSignal1_Form>},
    {"DaxSignalA", Make<TDaxSignal1_Form>},
    {"DaxSignalB", Make<TDaxSignal1_Form>},
    {"DaxSignalC", Make<TDaxSignal1_Form>},
    {"DaxSignalD", Make<TDaxSignal2_Form>},
    {"DaxSignalE", Make<TDaxSignal2_Form>},
    {"DaxSignalF", Make<TDaxSignal2_Form>},
    {"DaxSignalG", Make<TDaxSignal2_Form>},
    {"DaxEvent1", Make<TDaxEventForm>},
    {"DaxEvent2", Make<TDaxEventForm>},
    {"DaxEvent3", Make<TDaxEventForm>},
    {"DaxEvent4", Make<TDaxEventForm>},
    {"DaxEvent5", Make<TDaxEventForm>},
    {"DaxEvent6", Make<TDaxEventForm>},
    {"DaxEvent7", Make<TDaxEventForm>},
    {"DaxEvent8", Make<TDaxEventForm>},
};

QWidget* MakeSubFrame(const char* name, QWidget* parent)
{
    for (const SubFrame& frame : kSubFrames)
        if (std::strcmp(frame.Name, name) == 0) {
            QWidget* widget = frame.Create(parent);
            widget->setObjectName(QString::fromUtf8(name));
            return widget;
        }
    return nullptr;
}

// ---------------------------------------------------------------------------------------
// Archive and journal pages

struct ArchivePage {
    int32_t PageId;
    const char* Part; // prefix of the panel, page control and grid names
};
constexpr ArchivePage kArchivePages[] = {{5, "General"}, {6, "TS1"}, {7, "TS2"}, {8, "CWS"}};

struct ArchiveKind {
    const char* Grid; // grid name after the part
    const char* Caption;
};
constexpr ArchiveKind kArchiveKinds[] = {
    {"HourArchive", "Часовой"},
    {"DayArchive", "Суточный"},
    {"MonthArchive", "Месячный"},
    {"TotalDayArchive", "Итоговый суточный"},
    {"TotalMonthArchive", "Итоговый месячный"},
};

struct JournalPage {
    int32_t PageId;
    const char* Panel;
    const char* Grid;
};
constexpr JournalPage kJournalPages[] = {{9, "NotStaffArchivePanel", "NotStaffArchive"},
                                         {10, "JournalArchivePanel", "JournalArchive"}};

// A grid of records: shown only, no current cell until the user picks one.
TGoodTable* MakeGrid(const QString& name, QWidget* parent)
{
    auto* grid = new TGoodTable(parent);
    grid->setObjectName(name);
    grid->SetReadOnly(true);
    grid->SetCol(-1);
    grid->SetRow(-1);
    grid->setFocusPolicy(Qt::StrongFocus);
    return grid;
}

// The panel that fills a table page.
QWidget* MakePanel(const QString& name, QWidget* page)
{
    auto* panel = new QWidget(page);
    panel->setObjectName(name);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    page->layout()->addWidget(panel);
    return panel;
}

void BuildArchivePage(const ArchivePage& archive, QWidget* page)
{
    const QString part = QString::fromUtf8(archive.Part);
    QWidget* panel = MakePanel(part + QStringLiteral("ArchivePanel"), page);
    auto* tabs = new QTabWidget(panel);
    tabs->setObjectName(part + QStringLiteral("ArchivePageControl"));
    panel->layout()->addWidget(tabs);
    for (const ArchiveKind& kind : kArchiveKinds)
        tabs->addTab(MakeGrid(part + QString::fromUtf8(kind.Grid), tabs), QString::fromUtf8(kind.Caption));
}

void BuildJournalPage(const JournalPage& journal, QWidget* page)
{
    QWidget* panel = MakePanel(QString::fromUtf8(journal.Panel), page);
    auto* grid = MakeGrid(QString::fromUtf8(journal.Grid), panel);
    // A journal's last column (the event's description) reaches the grid's right edge.
    grid->SetLastColumnFills(true);
    panel->layout()->addWidget(grid);
}

// The page's contents in a scroll area, its command buttons below.
void BuildFormPage(const PageTable& table, QWidget* page)
{
    auto* scroll = new QScrollArea(page);
    scroll->setObjectName(QStringLiteral("PageScrollArea%1").arg(table.PageId));
    // The contents keep their natural size, which grows when the page set-up fills the lists,
    // and scroll when the window is smaller.
    scroll->setWidgetResizable(false);
    scroll->setFrameShape(QFrame::NoFrame);
    QWidget* body = BuildColumns(table.Rows, kFrameScope, scroll, MakeSubFrame);
    body->layout()->setSizeConstraint(QLayout::SetFixedSize);
    scroll->setWidget(body);
    page->layout()->addWidget(scroll);

    auto* commands = new QHBoxLayout;
    const QString read = ReadButtonName(table.PageId);
    if (!read.isEmpty()) {
        auto* button = new QPushButton(QStringLiteral("Считать"), page);
        button->setObjectName(read);
        commands->addWidget(button);
    }
    for (const FormRow& row : table.Commands) {
        auto* button = new QPushButton(QString::fromUtf8(row.Text), page);
        button->setObjectName(QString::fromUtf8(row.Name));
        commands->addWidget(button);
    }
    commands->addStretch();
    static_cast<QVBoxLayout*>(page->layout())->addLayout(commands);

    for (const SpinLimit& limit : kSpinLimits)
        if (auto* spin = page->findChild<QSpinBox*>(QString::fromUtf8(limit.Name)))
            spin->setRange(limit.Minimum, limit.Maximum);
}

} // namespace

QString ReadButtonName(int32_t pageId)
{
    if (pageId == kUnreachablePageId || FindFramePage(pageId) == nullptr)
        return {};
    return QStringLiteral("ReadPageParams%1").arg(pageId);
}

QWidget* BuildPage(int32_t pageId, QWidget* parent)
{
    if (pageId < 0 || pageId >= kDaxPageCount || pageId == kUnreachablePageId)
        return nullptr;
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("Page%1").arg(pageId));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    for (const ArchivePage& archive : kArchivePages)
        if (archive.PageId == pageId)
            BuildArchivePage(archive, page);
    for (const JournalPage& journal : kJournalPages)
        if (journal.PageId == pageId)
            BuildJournalPage(journal, page);
    for (const PageTable& table : kPageTables)
        if (table.PageId == pageId)
            BuildFormPage(table, page);
    return page;
}

} // namespace devicepages
