// DaxHelper's data-file loader on arbitrary bytes. A file it accepts must save again and load
// back to the same bytes, so nothing loaded is something the system cannot write.

#include "FuzzTarget.h"

#include "device/Daxhelper.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return daxfuzz::RunDecoder([&] {
        DaxHelper helper;
        helper.SetLogCallback([](const std::string& text, TInteractContainer*) {
            daxfuzz::Require(daxfuzz::IsUtf8(text), "warnings are UTF-8");
        });
        helper.LoadDataFileBytes(std::span<const uint8_t>(data, size));
        const std::vector<uint8_t> saved = helper.DataFileBytes();
        DaxHelper again;
        again.SetLogCallback([](const std::string&, TInteractContainer*) {});
        try {
            again.LoadDataFileBytes(saved);
        } catch (const platform::Exception&) {
            daxfuzz::Require(false, "a saved data file loads");
        }
        daxfuzz::Require(again.DataFileBytes() == saved, "a saved data file loads back to the same state");
        daxfuzz::Require(again.Identified() == helper.Identified() && again.Version() == helper.Version(),
                         "the identification survives a save");
    });
}
