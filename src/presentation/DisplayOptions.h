#pragma once

#include <cstdint>

// The display options the user chooses in the options dialog. The main window owns the
// record, loads and saves it under the registry key "Options", and the device frame reads
// it when it shows values and fills the archive and journal tables.
struct DisplayOptions {
    bool AccuracyCounters = false; // exact counters with six decimals ("%016.6f") instead of three
    bool ShowNotStaffQT = false;   // archive tables show heat energies and times of abnormal situations
    int32_t CommaSeparator = 0;    // 0 the system's decimal separator, 1 comma, 2 point
    int32_t TimeFormat = 0;        // 0 durations as hours:minutes, otherwise days, hours and minutes
    int32_t BitsFormat = 0;        // 0 flag fields as a full mask with long captions, otherwise a list
};
