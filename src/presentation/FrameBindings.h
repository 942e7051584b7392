#pragma once

#include "ControlPort.h"
#include "ExchangeInfoContainer.h"
#include "FrameBindingTable.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

class DaxHelper;

// The fields the device frame's bindings refer to. The images are DaxHelper's; the
// identification texts and the air-channel words are the frame's own copies (FrameOwnFields),
// so that nothing stores through a binding into DaxHelper's identification.
struct FrameBindingFields {
    std::span<uint8_t> InputRegisterImage;   // 962 bytes, 30001..30481
    std::span<uint8_t> HoldingRegisterImage; // 1192 bytes, 40001..40596
    std::span<uint8_t> FirmwareVersionText;  // 16 bytes each
    std::span<uint8_t> ModelText;
    std::span<uint8_t> ModificationText;
    std::span<uint8_t> AirChannelWordTS1;    // 2 bytes each, high byte first
    std::span<uint8_t> AirChannelWordTS2;
};

// The frame's own fields: the identification texts as 16 zero-padded Windows-1251 bytes and
// the raw words of the configured air-temperature channels.
struct FrameOwnFields {
    std::array<uint8_t, kIdentificationFieldSize> FirmwareVersionText{};
    std::array<uint8_t, kIdentificationFieldSize> ModelText{};
    std::array<uint8_t, kIdentificationFieldSize> ModificationText{};
    std::array<uint8_t, 2> AirChannelWordTS1{};
    std::array<uint8_t, 2> AirChannelWordTS2{};

    // Copies the identification texts of the helper (a longer text keeps its first 16 bytes).
    void FillIdentification(const DaxHelper& helper);
    // Sets the air-channel word of heat system 0 or 1 (any other value: 1) from the images:
    // the configured air channel's input register, 0 when none is configured. The caller
    // holds the image mutex.
    void FillAirChannelWord(const DaxHelper& helper, uint8_t system);
};

// The fields of a helper and the frame's own fields.
FrameBindingFields MakeFrameBindingFields(DaxHelper& helper, FrameOwnFields& own);

// Finds the control at a path ("Control" or "SubFrame/Control"); none when the frame has no
// such control. The expected class is passed along for finders that make controls (tests).
using ControlLookup = std::function<ControlPort*(const std::string& path, ControlClass expected)>;

// Reaches the frame's controls by path and checks their class.
class FrameControlResolver {
public:
    explicit FrameControlResolver(ControlLookup lookup);

    // The control at the path; throws platform::Exception naming the path when there is none
    // or when it is of another class.
    ControlPort& Resolve(const std::string& path, ControlClass expected) const;

private:
    ControlLookup lookup_;
};

// Every control the bindings reach, once, with its class and the items the page gives it
// (combo items or bit names; none where they follow another control, as a signal's mask).
struct FrameControlSpec {
    std::string Path;
    ControlClass Class;
    ValueList List;
};
std::vector<FrameControlSpec> FrameControlSpecs();

// Creates the frame's 627 bindings in creation order and adds each to the container under its
// group with its name and range. Exact counters start with "%013.3f", durations without days
// and pressures in MPa. A missing control or one of a wrong class stops the creation with the
// resolver's message; the bindings added before it stay in the container.
void BuildFrameBindings(const FrameBindingFields& fields, const FrameControlResolver& resolver,
                        ExchangeInfoContainer& container);
