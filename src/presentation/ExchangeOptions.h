#pragma once

#include "DisplayOptions.h"
#include "ExchangeInfoContainer.h"

#include <cstdint>

// The device frame's option passes over its bindings. They change how bindings show their
// values and show nothing themselves.

// Every binding gets the separator mode of CommaSeparator (mode 0 uses systemSeparator, the
// system's decimal separator as the window side knows it); exact counters (type 10) get
// "%016.6f" with AccuracyCounters on and "%013.3f" otherwise; durations (type 9) show days
// when TimeFormat is not 0.
void ApplyOptions(ExchangeInfoContainer& container, const DisplayOptions& options, char systemSeparator);

// Pressure bindings (type 13): unit byte 0 MPa, anything else kgf/cm².
void SetPressureUnits(ExchangeInfoContainer& container, uint8_t unit);

// Averaging on or off, or its samples emptied, for every binding of one group (negative: all).
void EnableGroupAveraging(ExchangeInfoContainer& container, int32_t group, bool on);
void ResetGroupAveraging(ExchangeInfoContainer& container, int32_t group);
