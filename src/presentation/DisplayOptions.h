#pragma once

#include <cstdint>

namespace platform {
class RegistryStore;
}

// The display options the user chooses in the options dialog. The main window owns the
// record, loads and saves it under the registry key "Options", and the device frame reads
// it when it shows values and fills the archive and journal tables.
struct DisplayOptions {
    static constexpr const char* kRegistryKey = "\\Software\\Morvel\\DaxConfig\\Options";

    bool AccuracyCounters = false; // exact counters with six decimals ("%016.6f") instead of three
    bool ShowNotStaffQT = false;   // archive tables show heat energies and times of abnormal situations
    int32_t CommaSeparator = 0;    // 0 the system's decimal separator, 1 comma, 2 point
    int32_t TimeFormat = 0;        // 0 durations as hours:minutes, otherwise days, hours and minutes
    int32_t BitsFormat = 0;        // 0 flag fields as a full mask with long captions, otherwise a list

    // Each field on its own: an integer value under its name is taken (the two flags as
    // "not 0"), anything else (missing, a string) gives 0. The key is created when missing;
    // when it cannot be, the record stays as it was.
    void Load(platform::RegistryStore& store);
    // Writes the five values as integers (the flags as 1 or 0); a store that cannot be
    // written changes nothing and reports nothing.
    void Save(platform::RegistryStore& store) const;
};
