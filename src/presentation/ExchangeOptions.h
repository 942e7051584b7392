#pragma once

#include "DisplayOptions.h"
#include "ExchangeInfoContainer.h"

#include <cstdint>
#include <functional>
#include <string>

// The device frame's option passes over its bindings. They change how bindings show their
// values and show nothing themselves.

// Every binding gets the separator mode of CommaSeparator (mode 0 uses systemSeparator, the
// system's decimal separator as the window side knows it); exact counters (type 10) get
// "%016.6f" with AccuracyCounters on and "%013.3f" otherwise; durations (type 9) show days
// when TimeFormat is not 0.
void ApplyOptions(ExchangeInfoContainer& container, const DisplayOptions& options, char systemSeparator);

// Pressure bindings (type 13): unit byte 0 MPa, anything else kgf/cm².
void SetPressureUnits(ExchangeInfoContainer& container, uint8_t unit);
// Shows every pressure binding of every group again from its image (after a unit change, so
// that no page keeps a number of the old unit under the new unit's caption, which a later
// store would write in the new one); their averaging starts over. A binding that fails to
// show passes its message to onError.
void ShowPressuresAgain(ExchangeInfoContainer& container, const std::function<void(const std::string&)>& onError);

// Averaging on or off, or its samples emptied, for every binding of one group (negative: all).
void EnableGroupAveraging(ExchangeInfoContainer& container, int32_t group, bool on);
void ResetGroupAveraging(ExchangeInfoContainer& container, int32_t group);
