#pragma once

#include "ArchiveTableExchange.h"
#include "DisplayOptions.h"

#include "device/Daxcore.h"

#include <cstdint>
#include <span>

// Which columns each archive table has: by archive kind, part of the instrument, the
// instrument's configuration, the units, the display options and the caller's five show
// switches. The device frame builds one layout per grid before filling it; the archive
// report builds the layouts of the tables it prints and names its data-set fields after them.

namespace ArchiveKind {
constexpr int32_t Hour = 0;
constexpr int32_t Day = 1;
constexpr int32_t Month = 2;
constexpr int32_t TotalDay = 3;   // total records from here on
constexpr int32_t TotalMonth = 4;
constexpr int32_t Count = 5;
} // namespace ArchiveKind

namespace ArchivePart {
constexpr uint32_t HeatSystem1 = 0;
constexpr uint32_t HeatSystem2 = 1;
constexpr uint32_t ColdWater = 2;
constexpr uint32_t General = 3;
constexpr uint32_t Count = 4;
} // namespace ArchivePart

// The unit switches of the archive values: low bytes of holding registers 40180 and 40181.
// Captions, pressure scaling and the operator journal all read these same bytes.
struct UnitBytes {
    uint8_t Heat = 0;     // 0 Gcal, otherwise GJ
    uint8_t Pressure = 0; // 0 MPa, otherwise kgf/cm2
};

// The register images as DaxHelper keeps them (big-endian registers).
using CurrentImageBytes = std::span<const uint8_t, kCurrentImageBytes>;
using SetupImageBytes = std::span<const uint8_t, kSetupImageBytes>;

UnitBytes ReadUnitBytes(SetupImageBytes setupImage);

// Everything a layout depends on besides kind, part and the show switches.
struct SchemaInputs {
    HeatSystemConfig Config;           // heat system 2 for part 1, heat system 1 otherwise
    SchemeDescriptor Descriptor;       // the descriptor of Config's scheme
    UnitBytes Units;
    DisplayOptions Options;
    char SystemDecimalSeparator = '.'; // what separator mode 0 uses
};

// The inputs for a part from the two register images (the caller holds the image lock).
SchemaInputs MakeSchemaInputs(CurrentImageBytes currentImage, SetupImageBytes setupImage,
                              uint32_t part, const DisplayOptions& options, char systemDecimalSeparator);

// Empties the container and adds the columns of the table in display order. Kinds 0..2 read
// period records, 3 and 4 total records; a heat system without a scheme, or a part above 3,
// gets the date column only (and the hour column in hour tables).
void BuildArchiveColumns(const SchemaInputs& inputs, ArchiveTableExchangeContainer& container, int32_t kind,
                         uint32_t part, bool massSwitch, bool volumeSwitch, bool pressureSwitch, bool hardwareSwitch,
                         bool modeFlagsSwitch);
