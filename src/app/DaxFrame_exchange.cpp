// The device frame's exchanges with the instrument: page reads and the poll, the processes
// they run in, what the frame shows when they end, read all, write all and the write buttons.

#include "DaxFrame.h"

#include "DaxCurrentGeneralParamFrame.h"
#include "DaxCurrentTSParamFrame.h"
#include "DaxFormTable.h"
#include "DaxInteractFrame.h"
#include "DaxNotStaffTSFrame.h"
#include "DaxPageTable.h"
#include "DaxReadAllFrame.h"
#include "DaxSetupTSFrame.h"
#include "DaxWriteAllFrame.h"
#include "Texts.h"
#include "UserPrompts.h"

#include "comm/Sysutil.h"
#include "controls/ControlHelpers.h"
#include "device/DaxAlgorithms.h"
#include "device/Daxcore.h"
#include "platform/Exceptions.h"
#include "presentation/ArchiveSchemas.h"
#include "presentation/ExchangeOptions.h"
#include "presentation/FramePages.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDateTime>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimeEdit>

#include <chrono>
#include <cmath>

using namespace dax_namespace;
namespace texts = app;

namespace {

// Registers the pages read straight from the images.
constexpr int32_t kArchiveClearRegister = 40010; // not 0: a clear of the archive is pending
constexpr uint16_t kArchiveClearCommand = 0xA780;
constexpr int32_t kOutputRegister = 40344;
constexpr int32_t kCycleCounterRegister = 30474; // ADC cycle counter
constexpr int32_t kAdcTemperatureRegister = 30475;
constexpr int32_t kCpuTemperatureRegister = 30476;
constexpr int32_t kCpuReferenceRegister = 30477;
constexpr int32_t kAdcVoltageRegister = 30478;
constexpr int32_t kCpuVoltageRegister = 30479;

// The last read id whose post-processing read all runs.
constexpr int32_t kLastPostProcessedId = 21;

// The binding groups of each write-all item (the configuration groups of the device core):
// item 9, the inputs and output, is their page's group 32.
const std::vector<std::vector<int32_t>> kWriteAllItemGroups = {
    {8},  {4},  {6},  {5},  {7},  {9},  {10}, {11},         {12}, {32},
    {21}, {22}, {23}, {25}, {26}, {27}, {28, 29, 30}, {31}, {18}, {18},
};

template <typename Frame>
Frame* SubFrame(const QWidget* frame, const char* name)
{
    return frame->findChild<Frame*>(QString::fromUtf8(name));
}

// A value truncated toward zero to 32 bits, then taken modulo 2^16 as a signed number, as the
// instrument's diagnostics are meant; a value no 32-bit number holds is an error, not
// undefined behaviour.
int16_t TruncateToInt16(double value)
{
    if (!std::isfinite(value) || value <= -2147483649.0 || value >= 2147483648.0)
        throw platform::Exception(texts::kDiagnosticRangeText);
    const auto whole = static_cast<int32_t>(value);
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(whole) & 0xFFFFu));
}

void SetFloatText(QWidget* control, double value, const char* format)
{
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(QString::fromStdString(FormatFloat(format, value)));
}

} // namespace

// ---------------------------------------------------------------------------------------
// Processes

void TDax_Frame::SetPrompts(UserPrompts* prompts)
{
    prompts_ = prompts;
}

void TDax_Frame::SetChoiceDialogs(TDaxReadAllForm* readAll, TDaxWriteAllForm* writeAll)
{
    readAllForm_ = readAll;
    writeAllForm_ = writeAll;
}

bool TDax_Frame::StartProcess(std::unique_ptr<ProcessAlgorithm> algorithm, int32_t kind, int32_t id,
                              std::string finalMessage)
{
    return Start(std::move(algorithm), kind, id, std::move(finalMessage), false) != nullptr;
}

bool TDax_Frame::StartProcess(std::unique_ptr<ProcessAlgorithm> algorithm, int32_t kind, int32_t id)
{
    return StartProcess(std::move(algorithm), kind, id, std::string());
}

bool TDax_Frame::StartProcess(std::unique_ptr<ProcessAlgorithm> algorithm, int32_t kind, std::string finalMessage)
{
    return StartProcess(std::move(algorithm), kind, kNoPageId, std::move(finalMessage));
}

ProcessDesctiptionStruct* TDax_Frame::Start(std::unique_ptr<ProcessAlgorithm> algorithm, int32_t kind, int32_t id,
                                            std::string finalMessage, bool poll, bool currentOnly)
{
    ProcessDesctiptionStruct* entry = pool_ ? pool_->Start(std::move(algorithm), kind, id, std::move(finalMessage))
                                            : nullptr;
    if (!entry) {
        // The user learns that an operation of theirs was dropped; a poll simply comes again.
        if (!poll)
            Log(kProcessPoolFullText);
        return nullptr;
    }
    if (poll) {
        // The token lives in the handlers, which live as long as the entry: the next poll
        // knows whether this one is still in the pool.
        auto token = std::make_shared<int>(0);
        pollRunning_ = token;
        entry->OnDone = [this, token, currentOnly](int32_t doneId) { CompleteProcess(doneId, true, currentOnly); };
        entry->OnError = [this, token](int32_t errorId, int32_t error) { OnProcessError(errorId, error); };
    } else {
        entry->OnDone = [this](int32_t doneId) { OnProcessDone(doneId); };
        entry->OnError = [this](int32_t errorId, int32_t error) { OnProcessError(errorId, error); };
    }
    return entry;
}

// ---------------------------------------------------------------------------------------
// Page reads

void TDax_Frame::AutoRequest()
{
    if (autoRequest_ && IsPolledPage(currentPageId_))
        ReadPage(currentPageId_, pageSubIndex_, true);
}

void TDax_Frame::ReadPage(int32_t pageId, int32_t subIndex, bool poll)
{
    // Archives, journals and "Сервис" have no registers of their own to read.
    const FramePage* page = FindFramePage(pageId);
    if (!page)
        return;
    emit PageReadRequested(pageId, subIndex, poll);
    if (!channel_ || !channel_->IsOpen())
        return;
    // A slow line would otherwise fill the pool with polls and the user's operations be refused.
    if (poll && !pollRunning_.expired())
        return;
    std::unique_ptr<ProcessAlgorithm> algorithm;
    bool currentOnly = false;
    if (page->PageKind >= 0) {
        // The configuration of heat system 1 is read whole, poll or not. A current-value page
        // is laid out by settings that a poll leaves out: until they have been read (the
        // channel opened on a page already shown), its poll reads them too.
        currentOnly = poll && page->PageKind != 4 && LayoutSettingsRead(page->ReadId);
        algorithm = std::make_unique<DaxMultiReadWriteAlgorithm>(static_cast<uint32_t>(page->PageKind), &daxHelper_,
                                                                 nullptr, currentOnly);
    } else {
        algorithm = std::make_unique<DaxReadModbusRegAlgorithm>(static_cast<uint32_t>(page->Block.First),
                                                                static_cast<uint32_t>(page->Block.Count),
                                                                &daxHelper_, nullptr);
    }
    Start(std::move(algorithm), kPageProcess, page->ReadId, std::string(), poll, currentOnly);
}

void TDax_Frame::ReadPageParamsClick()
{
    ReadPage(currentPageId_, pageSubIndex_, false);
}

// ---------------------------------------------------------------------------------------
// Completion

void TDax_Frame::OnProcessDone(int32_t id)
{
    CompleteProcess(id, false, false);
}

bool TDax_Frame::LayoutSettingsRead(int32_t readId) const
{
    return readId < 0 || static_cast<size_t>(readId) >= layoutSettingsRead_.size() ||
           layoutSettingsRead_[static_cast<size_t>(readId)];
}

void TDax_Frame::CompleteProcess(int32_t id, bool poll, bool currentOnly)
{
    DaxHelperLocker lock(&daxHelper_);
    ownFields_.FillIdentification(daxHelper_);
    const auto logFailure = [this](const std::string& message) { Log(message); };

    if (id == kReadAllId) {
        readAllUnfinished_ = false;
        DetachWindow(readAllWindow_.get());
        layoutSettingsRead_.fill(true);
        const bool changed = TakeCycleCounterChange(true);
        for (int32_t read = 0; read <= kLastPostProcessedId; ++read)
            OnGroupRead(read, changed);
        bindings_.Show(-1, logFailure);
        FillArchiveTables();
        return;
    }
    if (id == kWriteAllId) {
        DetachWindow(writeAllWindow_.get());
        Log(texts::kAllWrittenText);
        return;
    }
    if (!currentOnly && id >= 0 && static_cast<size_t>(id) < layoutSettingsRead_.size())
        layoutSettingsRead_[static_cast<size_t>(id)] = true;
    // Decided once: the diagnostics and group 0 follow the same answer.
    const bool changed = id == 17 && TakeCycleCounterChange(false);
    OnGroupRead(id, changed);
    for (const uint8_t group : poll ? GroupsShownByPoll(id) : GroupsShownByReadId(id)) {
        if (group == 0 && !changed)
            continue;
        bindings_.Show(group, logFailure);
    }
}

void TDax_Frame::OnProcessError(int32_t id, int32_t)
{
    if (id == kReadAllId)
        DetachWindow(readAllWindow_.get());
    else if (id == kWriteAllId)
        DetachWindow(writeAllWindow_.get());
}

void TDax_Frame::DetachWindow(TDaxInteractForm* window)
{
    // The process's shared state goes with its entry right after this handler.
    window->SetContainer(nullptr);
    window->hide();
}

bool TDax_Frame::TakeCycleCounterChange(bool force)
{
    const uint16_t counter = InputRegister(daxHelper_.InputRegisterImage, kCycleCounterRegister);
    const bool changed = force || !cycleCounterShown_ || counter != cycleCounter_;
    cycleCounter_ = counter;
    cycleCounterShown_ = true;
    return changed;
}

void TDax_Frame::OnGroupRead(int32_t id, bool cycleCounterChanged)
{
    switch (id) {
    case 0:
    case 2: {
        const uint8_t system = id == 0 ? 0 : 1;
        const HeatSystemConfig config =
            DecodeHeatSystemConfig(daxHelper_.InputRegisterImage, daxHelper_.HoldingRegisterImage, system);
        (system == 0 ? ownFields_.AirChannelWordTS1 : ownFields_.AirChannelWordTS2) = config.AirChannelWord;
        SubFrame<TDax_CurrentTSParamFrame>(this, system == 0 ? "TS1_Current" : "TS2_Current")->ApplyScheme(config);
        SubFrame<TDax_NotStaffTSParamFrame>(this, system == 0 ? "TS1_NS_Current" : "TS2_NS_Current")
            ->ApplyScheme(config);
        break;
    }
    case 4:
        SubFrame<TDax_CurrentGeneralParamFrame>(this, "GeneralCWS_Current")
            ->LayoutChannels(
                DecodeHeatSystemConfig(daxHelper_.InputRegisterImage, daxHelper_.HoldingRegisterImage, 0));
        break;
    case 17:
        if (cycleCounterChanged) {
            try {
                ShowDiagnostics();
            } catch (const platform::Exception& failure) {
                // The fields not reached keep their texts; the captions below still follow.
                Log(failure.Message());
            }
        }
        break;
    case 21: {
        const bool pending = HoldingRegister(daxHelper_.HoldingRegisterImage, kArchiveClearRegister) != 0;
        findChild<QPushButton*>(QStringLiteral("ResetArchive"))
            ->setText(QString::fromUtf8(pending ? texts::kCancelClearText : texts::kClearArchiveText));
        break;
    }
    default: break;
    }
    if (id > 0) {
        const UnitBytes units = ReadUnitBytes(daxHelper_.HoldingRegisterImage);
        ApplyPressureUnitCaptions(units.Heat, units.Pressure);
    }
}

// The raw diagnostic codes of this read, as temperatures and voltages. Each field is filled in
// turn; a failure leaves the later ones as they were.
void TDax_Frame::ShowDiagnostics()
{
    const std::span<const uint8_t> image(daxHelper_.InputRegisterImage);
    const double adcCode = InputRegister(image, kAdcTemperatureRegister);
    const int16_t adcTemperature = TruncateToInt16((adcCode * 0.022040809406339276 - 273.15) * 100.0);
    SetFloatText(findChild<QWidget*>(QStringLiteral("AdcTemperature")), adcTemperature * 0.01, "%.2f");

    const uint16_t reference = InputRegister(image, kCpuReferenceRegister);
    if (reference == 0)
        throw platform::Exception(texts::kZeroCpuReferenceText);
    const double cpuCode = InputRegister(image, kCpuTemperatureRegister);
    const int16_t cpuTemperature = TruncateToInt16((358.15 / reference * (cpuCode * 0.0625) - 273.0) * 100.0);
    SetFloatText(findChild<QWidget*>(QStringLiteral("CpuTemperature")), cpuTemperature * 0.01, "%.2f");

    // The voltages follow the codes of this same read, as the temperatures do.
    SetFloatText(findChild<QWidget*>(QStringLiteral("AdcVoltage")),
                 InputRegister(image, kAdcVoltageRegister) * 0.00010711833371480888, "%.3f");
    SetFloatText(findChild<QWidget*>(QStringLiteral("CpuVoltage")),
                 InputRegister(image, kCpuVoltageRegister) * 0.000152587890625, "%.3f");
    if (auto* counter = findChild<QLineEdit*>(QStringLiteral("AdcCycleCounter")))
        counter->setText(QString::number(InputRegister(image, kCycleCounterRegister)));
}

void TDax_Frame::SetPressureUnits(uint8_t unit)
{
    ::SetPressureUnits(bindings_, unit);
}

void TDax_Frame::ApplyPressureUnitCaptions(uint8_t energyUnit, uint8_t pressureUnit)
{
    for (const char* name : {"TS1_Current", "TS2_Current"})
        SubFrame<TDax_CurrentTSParamFrame>(this, name)->SetUnitCaptions(energyUnit, pressureUnit);
    for (const char* name : {"TS1_NS_Current", "TS2_NS_Current"})
        SubFrame<TDax_NotStaffTSParamFrame>(this, name)->SetUnitCaptions(energyUnit);
    SubFrame<TDax_CurrentGeneralParamFrame>(this, "GeneralCWS_Current")->SetUnitCaptions(energyUnit, pressureUnit);
    for (const char* name : {"ConfigurationTS1", "ConfigurationTS2"})
        SubFrame<TDax_SetupTSFrame>(this, name)->SetUnitCaptions(energyUnit, pressureUnit);

    const char* pressure = pressureUnit != 0 ? texts::kKgfText : texts::kMPaText;
    using daxform::SetLabelText;
    using daxform::UnitCaption;
    SetLabelText(this, QStringLiteral("ColdWaterPWinterLabel"), UnitCaption(QStringLiteral("Pхв_дог зимнее"), pressure));
    SetLabelText(this, QStringLiteral("ColdWaterPSummerLabel"), UnitCaption(QStringLiteral("Pхв_дог летнее"), pressure));
    SetLabelText(this, QStringLiteral("PressureChanelLabel"), UnitCaption(QStringLiteral("Давление"), pressure));
    SetLabelText(this, QStringLiteral("PcontractLabel"), UnitCaption(QStringLiteral("P_дог"), pressure));
    SetPressureUnits(pressureUnit);
    // Pages not read since show their pressures again in the new unit: a number left in the
    // old one would be stored in the new one by the next write.
    const bool kgf = pressureUnit != 0;
    if (kgf != pressuresInKgf_) {
        pressuresInKgf_ = kgf;
        ShowPressuresAgain(bindings_, [this](const std::string& message) { Log(message); });
    }
}

// ---------------------------------------------------------------------------------------
// Read all and write all

bool TDax_Frame::BringBackRunning(int32_t kind, TDaxInteractForm* window)
{
    if (!pool_->FindByKind(kind))
        return false;
    window->show();
    window->raise();
    return true;
}

void TDax_Frame::FollowProcess(TDaxInteractForm* window, ProcessDesctiptionStruct* entry, const char* caption)
{
    window->SetContainer(entry->Container.get());
    window->setWindowTitle(QString::fromUtf8(caption));
    window->ResetTimeLeft();
    window->show();
}

void TDax_Frame::ReadAll()
{
    if (!pool_ || BringBackRunning(kReadAllProcess, readAllWindow_.get()))
        return;
    UserPrompts& prompts = prompts_ ? *prompts_ : UserPrompts::System();
    if (!readAllForm_ || prompts.RunModal(*readAllForm_) != QDialog::Accepted)
        return;
    const DaxReadAllDataSetup setup = readAllForm_->Setup();
    if (ProcessDesctiptionStruct* entry =
            Start(std::make_unique<DaxReadAllParamsAlgorithm>(&daxHelper_, setup, nullptr), kReadAllProcess,
                  kReadAllId, std::string(), false)) {
        readAllUnfinished_ = true;
        FollowProcess(readAllWindow_.get(), entry, texts::kReadAllText);
    }
}

void TDax_Frame::WriteAll()
{
    if (!pool_ || BringBackRunning(kWriteAllProcess, writeAllWindow_.get()))
        return;
    UserPrompts& prompts = prompts_ ? *prompts_ : UserPrompts::System();
    if (!writeAllForm_ || prompts.RunModal(*writeAllForm_) != QDialog::Accepted)
        return;
    const DaxWriteAllDataSetup setup = writeAllForm_->Setup();
    try {
        std::unique_ptr<ProcessAlgorithm> algorithm;
        {
            // The algorithm copies the setup image as just stored: what reads bring in later,
            // or a file loaded meanwhile, is not written.
            DaxHelperLocker lock(&daxHelper_);
            StoreWriteAllGroups(setup.Order, setup.Mask);
            algorithm = std::make_unique<DaxWriteAllParamsAlgorithm>(&daxHelper_, setup, nullptr);
        }
        if (ProcessDesctiptionStruct* entry =
                Start(std::move(algorithm), kWriteAllProcess, kWriteAllId, std::string(), false))
            FollowProcess(writeAllWindow_.get(), entry, texts::kWriteAllText);
    } catch (...) {
        // A value the pages cannot store: nothing is written.
        Log(platform::CurrentExceptionMessage());
    }
}

void TDax_Frame::StoreWriteAllGroups(const std::vector<uint32_t>& order, uint32_t mask)
{
    DaxHelperLocker lock(&daxHelper_);
    for (const uint32_t item : order) {
        if (item >= kWriteAllItemGroups.size() || ((mask >> item) & 1) == 0)
            continue;
        const std::vector<int32_t>& groups = kWriteAllItemGroups[item];
        for (const int32_t group : groups)
            bindings_.Validate(group);
        for (const int32_t group : groups)
            bindings_.Store(group);
    }
}

// ---------------------------------------------------------------------------------------
// Write buttons

// What a write button sends: the group it validates and stores (none: -1), or a value it puts
// straight into the setup image; the block it writes; the text printed once it is written.
struct FrameWriteRow {
    enum class Direct { None, Value, ArchiveClear, OutputRegister, ComputerTime };

    int32_t PageId;        // the page of a page write button; -1 for the others
    const char* Button;
    int32_t Group;
    int32_t First;         // 0: the configuration of heat system 1 (page kind 5)
    int32_t Count;
    const char* Text;
    Direct How = Direct::None;
    uint16_t Value = 0;    // Direct::Value
    int32_t Id = TDax_Frame::kNoPageId;
};

namespace {

using Direct = FrameWriteRow::Direct;

// The "Установить" buttons of the setting pages, by page.
const FrameWriteRow kPageWrites[] = {
    {11, "WritePageParams", 4, 0, 0, "Конфигурация ТС1 установлена"},
    {12, "BitBtn23", 6, 40097, 21, "Реакции ТС1 установлены"},
    {13, "BitBtn5", 5, 40129, 10, "Конфигурация ТС2 установлена"},
    {14, "BitBtn6", 7, 40147, 21, "Реакции ТС2 установлены"},
    // Reported as a read of page 15, so that the unit captions follow the units just written.
    {15, "BitBtn8", 8, 40179, 16, "Конфигурация общих параметров установлена", Direct::None, 0, 15},
    {16, "BitBtn10", 9, 40203, 11, "Конфигурация ХВС установлена"},
    {19, "BitBtn18", 12, 40304, 32, "Конфигурация каналов температуры и давления установлена"},
};

// The other write buttons, by button. The clock goes with the automatic change of time
// (40009), which the page edits with it.
const FrameWriteRow kButtonWrites[] = {
    {-1, "ClearCounters", -1, 40010, 1, "Счетчики каналов расхода сброшены", Direct::Value, 0x0001},
    {-1, "SetImpulseParamButton", 10, 40216, 84, "Конфигурация каналов расхода установлена"},
    {-1, "SetFilterParamButton", 11, 40300, 4, "Конфигурация каналов расхода установлена"},
    {-1, "SetCalibration", 13, 40037, 22, "Калибровочные коэффициенты установлены"},
    {-1, "SetSystemCalibration", 14, 40070, 5, "Системные калибровочные коэффициенты установлены"},
    {-1, "SetTime", 17, 40001, 9, "Параметры времени и даты установлены"},
    {-1, "SetCurrentTime", 17, 40001, 9, "Параметры времени и даты установлены", Direct::ComputerTime},
    {-1, "CorrectionTime", 17, 40001, 6, "Корректировка времени выполнена"},
    {-1, "SetAccess", 18, 40015, 6, "Пароль установлен"},
    {-1, "EnterPassword", 18, 40011, 4, "Пароль введен"},
    {-1, "ResetArchive", -1, 40010, 1, nullptr, Direct::ArchiveClear},
    {-1, "SetLcd", 21, 40356, 6, "Параметры ЖКИ установлены"},
    {-1, "SetPort1", 22, 40365, 4, "Параметры порта 1 установлены"},
    {-1, "SetPort2", 23, 40369, 4, "Параметры порта 2 установлены"},
    {-1, "SetObjectName", 24, 40377, 8, "Параметры идентификации установлены"},
    {-1, "SetSms", 25, 40385, 10, "Параметры SMS установлены"},
    {-1, "SetIncomingRing", 26, 40399, 4, "Параметры входящих звонков установлены"},
    {-1, "SetInternet", 27, 40407, 50, "Параметры интернет установлены"},
    {-1, "SetSignal_0", 28, 40461, 24, "Параметры сигналов 1...8 установлены"},
    {-1, "SetSignal_1", 29, 40485, 32, "Параметры сигналов 9...С установлены"},
    {-1, "SetSignal_2", 30, 40517, 64, "Параметры сигналов D...G установлены"},
    {-1, "SetEvents", 31, 40581, 16, "Параметры событий 1...8 установлены"},
    {-1, "WriteInOut", 32, 40336, 12, "Параметры входов и выходов установлены"},
    {-1, "SetOutRegister", -1, 40344, 1, "Регистр выхода установлен", Direct::OutputRegister},
};

} // namespace

void TDax_Frame::WritePageParamsClick()
{
    for (const FrameWriteRow& row : kPageWrites) {
        if (row.PageId == currentPageId_) {
            Write(row);
            return;
        }
    }
}

void TDax_Frame::WriteParamsClick(QObject* sender)
{
    if (!sender)
        return;
    const std::string name = sender->objectName().toStdString();
    for (const FrameWriteRow& row : kButtonWrites) {
        if (name == row.Button) {
            Write(row);
            return;
        }
    }
}

void TDax_Frame::Write(const FrameWriteRow& row)
{
    if (row.How == Direct::ComputerTime) {
        // The computer's local time and date into the pickers, which the group then stores.
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(clock_->UtcNow().time_since_epoch());
        const QDateTime now = QDateTime::fromMSecsSinceEpoch(ms.count(), Qt::UTC).toLocalTime();
        auto* date = findChild<QDateEdit*>(QStringLiteral("CurrentDatePicker"));
        auto* time = findChild<QTimeEdit*>(QStringLiteral("CurrentTimePicker"));
        const QSignalBlocker dateBlocker(date);
        const QSignalBlocker timeBlocker(time);
        // Also over pickers left blank by a clock the instrument keeps wrong.
        SetPickerDate(date, now.date());
        SetPickerTime(time, QTime(now.time().hour(), now.time().minute(), now.time().second()));
    }
    DaxHelperLocker lock(&daxHelper_);
    try {
        if (row.Group >= 0) {
            bindings_.Validate(row.Group);
            bindings_.Store(row.Group);
        }
        std::string text = row.Text ? row.Text : "";
        const std::span<uint8_t> setup(daxHelper_.HoldingRegisterImage);
        switch (row.How) {
        case Direct::Value: SetHoldingRegister(setup, row.First, row.Value); break;
        case Direct::ArchiveClear: {
            // The press does what the caption says: "Отменить" (a clear is pending, as the last
            // read of the page showed) cancels it, "Очистить" asks for one, also again after a
            // press that failed and left the request in the image.
            const auto* button = findChild<QPushButton*>(QStringLiteral("ResetArchive"));
            const bool pending = button && button->text() == QString::fromUtf8(texts::kCancelClearText);
            SetHoldingRegister(setup, kArchiveClearRegister, pending ? 0 : kArchiveClearCommand);
            text = pending ? texts::kClearCancelledText : texts::kClearActivatedText;
            break;
        }
        case Direct::OutputRegister: {
            const auto* box = findChild<QCheckBox*>(QStringLiteral("OutRegister"));
            SetHoldingRegister(setup, kOutputRegister, box && box->isChecked() ? 1 : 0);
            break;
        }
        case Direct::None:
        case Direct::ComputerTime: break;
        }
        // Made under the image lock: the algorithm copies the blocks just stored, and sends
        // them whatever reads put into the image before the write gets the line.
        std::unique_ptr<ProcessAlgorithm> algorithm;
        if (row.First == 0)
            algorithm = std::make_unique<DaxMultiReadWriteAlgorithm>(5, &daxHelper_, nullptr, false);
        else
            algorithm = std::make_unique<DaxWriteModbusRegAlgorithm>(static_cast<uint32_t>(row.First),
                                                                     static_cast<uint32_t>(row.Count), &daxHelper_,
                                                                     nullptr);
        StartProcess(std::move(algorithm), kPageProcess, row.Id, std::move(text));
    } catch (...) {
        Log(platform::CurrentExceptionMessage());
    }
}

// ---------------------------------------------------------------------------------------
// Wiring

void TDax_Frame::ConnectCommands()
{
    for (const DaxPage& page : DaxPages()) {
        if (auto* button = findChild<QPushButton*>(QStringLiteral("ReadPageParams%1").arg(page.Id)))
            connect(button, &QPushButton::clicked, this, [this] { Guarded([this] { ReadPageParamsClick(); }); });
    }
    for (const FrameWriteRow& row : kPageWrites) {
        if (auto* button = findChild<QPushButton*>(QString::fromUtf8(row.Button)))
            connect(button, &QPushButton::clicked, this, [this] { Guarded([this] { WritePageParamsClick(); }); });
    }
    std::vector<const char*> buttons;
    for (const FrameWriteRow& row : kButtonWrites)
        buttons.push_back(row.Button);
    // Wired like the others; no write of its own.
    buttons.push_back("ResetButton");
    for (const char* name : buttons) {
        if (auto* button = findChild<QPushButton*>(QString::fromUtf8(name)))
            connect(button, &QPushButton::clicked, this,
                    [this, button] { Guarded([this, button] { WriteParamsClick(button); }); });
    }
}

void TDax_Frame::Guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (...) {
        Log(platform::CurrentExceptionMessage());
    }
}
