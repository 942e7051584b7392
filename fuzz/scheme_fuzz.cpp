// Heat-system configuration and scheme decoding from arbitrary register images.
// Input: flags (bit 0 the heat system, bit 7 keep short images short), then the current-
// parameter image and the setup image; short images are padded with zeros unless bit 7 is set.

#include "FuzzTarget.h"

#include "device/Daxcore.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    daxfuzz::InputReader input(data, size);
    const uint8_t flags = input.Byte();
    const auto currentBytes = input.Take(kCurrentImageBytes);
    const auto setupBytes = input.Rest();
    std::vector<uint8_t> current(currentBytes.begin(), currentBytes.end());
    std::vector<uint8_t> setup(setupBytes.begin(), setupBytes.end());
    if (!(flags & 0x80)) {
        current.resize(std::max(current.size(), kCurrentImageBytes));
        setup.resize(std::max(setup.size(), kSetupImageBytes));
    }
    return daxfuzz::RunDecoder([&] {
        const HeatSystemConfig config = DecodeHeatSystemConfig(current, setup, flags & 1);
        daxfuzz::Require(config.SchemeIndex < kSchemeCount, "a decoded scheme index is in the table");
        daxfuzz::Require(daxfuzz::IsUtf8(SchemeNames.at(config.SchemeIndex)), "scheme names are UTF-8");
        const SchemeDescriptor descriptor = GetSchemeDescriptor(config);
        if (descriptor.Formula < kSchemeFormulaCount)
            daxfuzz::Require(daxfuzz::IsUtf8(SchemeFormulaText(descriptor.Formula)), "formulas are UTF-8");
        const uint16_t free = FreeSchemeFlags(config);
        daxfuzz::Require((free >> 8) >= 1 && (free >> 8) <= 5, "a free configuration has 1 to 5 pipes");
        ApplyFreeScheme(descriptor, free);
        for (unsigned param = 0; param < 256; ++param)
            IsSchemeParamUsed(static_cast<uint8_t>(param), config);
    });
}
