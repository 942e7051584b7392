// The simulator's state from a data file. An accepted file must give a state the instrument
// takes, and reading that instrument back (as the configurator does) must give the same
// records in the same order.

#include "FuzzTarget.h"

#include "DataFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return daxfuzz::RunDecoder([&] {
        std::vector<std::string> warnings;
        const daxsim::InstrumentState state = daxsim::StateFromDataFileBytes(std::span<const uint8_t>(data, size), &warnings);
        daxfuzz::Require(state.IsValid(), "a loaded state is valid");
        for (const auto& warning : warnings)
            daxfuzz::Require(daxfuzz::IsUtf8(warning), "warnings are UTF-8");
        daxsim::Instrument instrument(daxsim::InstrumentState{}, 1);
        daxfuzz::Require(instrument.ReplaceState(state), "the instrument takes a loaded state");

        const std::vector<uint8_t> file = daxsim::DataFileBytesOfInstrument(instrument);
        const daxsim::InstrumentState back = daxsim::StateFromDataFileBytes(file);
        for (int type = 0; type < daxsim::kRecordTypeCount; ++type)
            daxfuzz::Require(daxsim::RingRecords(back.Rings[type]) == daxsim::RingRecords(state.Rings[type]),
                             "reading the instrument back gives the records of the file");
    });
}
