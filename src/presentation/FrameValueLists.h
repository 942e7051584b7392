#pragma once

#include <array>
#include <cstddef>
#include <span>

// The item lists of the device pages' combo boxes and the bit names of their bit-mask editors
// that belong to the pages rather than to the device core. Item i of a list stands for the
// register value i; bit i of a flag word is item i of its editor. The settings vocabulary
// shared with the operator journal and the flag names of the abnormal-situation groups live in
// device/Daxcore.h and are used from there.

// States of a flow channel and of a temperature or pressure sensor (measuring channels page).
extern const std::array<const char*, 6> FlowStatusNames;
extern const std::array<const char*, 6> SensorStatusNames;

// The sixteen signals of the instrument: bit names of the signal flag word and of every mask
// that selects signals (SMS, incoming call, GPRS, output, events).
extern const std::array<const char*, 16> SignalNames;

// Display, ports, communication.
extern const std::array<const char*, 2> ScreenSaverNames;
extern const std::array<const char*, 3> NsCounterDisplayNames;
extern const std::array<const char*, 8> UartSpeedNames;
extern const std::array<const char*, 2> Port1ModeNames;
extern const std::array<const char*, 2> Port2ModeNames;
extern const std::array<const char*, 4> ConnectModeNames;
extern const std::array<const char*, 4> RingActionNames;
extern const std::array<const char*, 4> GprsWorkModeNames;
extern const std::array<const char*, 3> GprsIncomingNames;
extern const std::array<const char*, 2> GprsDataFormatNames;

// Signals and events. Signals 9 to C offer only the first two signal types and the first three
// comparison conditions (kMaskSignalTypeCount, kMaskSignalConditionCount).
extern const std::array<const char*, 3> SignalTypeNames;
extern const std::array<const char*, 5> MaskConditionNames;
extern const std::array<const char*, 12> MaskParamNames;
extern const std::array<const char*, 10> CompareConditionNames;
extern const std::array<const char*, 31> CompareParamNames;
extern const std::array<const char*, 3> TimerModeNames;
constexpr size_t kMaskSignalTypeCount = 2;
constexpr size_t kMaskSignalConditionCount = 3;

// Bit names of the timer-day word of signals D to G: the weekdays from Sunday (timer mode
// "Дни недели") or the days "1" to "31" of the month (timer mode "Дни месяца").
extern const std::array<const char*, 7> WeekDayNames;
extern const std::array<const char*, 31> MonthDayNames;

// The instrument's operating modes as the settings page shows them (input register 30008).
extern const std::array<const char*, 4> WorkModeNames;

// The LCD calibration word: multiplier and temperature coefficient choices.
extern const std::array<const char*, 4> MultCoeffNames;
extern const std::array<const char*, 8> TempCoeffNames;

// Bit names of the system calibration flags (HR 40070) and of the flow filter switch
// (HR 40300, bit k-1 for channel Vk).
extern const std::array<const char*, 5> MeasureCurrentFlagNames;
extern const std::array<const char*, 6> FlowFilterChannelNames;
// Bit names of the inversion switches of the six inputs UV (HR 40339, bit k-1 for input UVk).
extern const std::array<const char*, 6> UvInputNames;

// The texts the pulse-weight boxes propose; the user may type any other weight.
extern const std::array<const char*, 19> PulseWeightProposals;

// Bit names of the mask of a signal whose parameter register holds `maskParam` (an index into
// MaskParamNames): the hardware group, the operating-mode group, the heat-system groups or the
// channel group; none for an index beyond the list (or negative, no choice).
std::span<const char* const> MaskParamBitNames(int maskParam);

// Bit names of the timer-day word for a timer mode (an index into TimerModeNames): weekdays,
// days of the month, or none (daily timer, or no choice).
std::span<const char* const> TimerDayBitNames(int timerMode);
