#pragma once

#include "Instrument.h"

#include "comm/ChanelHelper.h"
#include "device/Daxhelper.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The simulated instrument and the configurator's data file (".daxdat"). Both directions go
// through DaxHelper: a file is read by its loader, and a file is written by reading the
// instrument through DaxHelper as the configurator does and saving what it read. So the
// simulator can be driven by any file the configurator saved, and what it saves is exactly
// what the configurator would save after reading everything.
namespace daxsim {

// Ring capacity of a loaded file. A data file keeps the ring pointers in the input image
// (registers 30029 + 3k: Highest, First, Next) and the records of each ring in reading order.
// When the pointers of ring k describe exactly as many records as the file holds (First and
// Next within 0..Highest), the ring keeps them and the records occupy First, First + 1, ...
// (wrapping after Highest); the other positions hold empty records (all bytes 0xFF). Otherwise
// the ring is laid out afresh as Highest = count, First = 0, Next = count, and those three
// registers of the served input image are rewritten to match. Either way reading everything
// back yields the same records in the same order.
InstrumentState StateFromDataFileBytes(std::span<const uint8_t> bytes, std::vector<std::string>* warnings = nullptr);
// Throws platform::Exception: the loader's texts for a bad file, the system's reason when the
// file cannot be read, and a text of its own for a file without identification (the simulator
// could not say which instrument it is).
InstrumentState LoadStateFromDataFile(const std::string& fileName, std::vector<std::string>* warnings = nullptr);

// The state as a ring per record type, in the order the configurator would read it (the
// positions First..Next of each ring); used to compare states in tests and tools.
std::vector<std::vector<uint8_t>> RingRecords(const RecordRing& ring);

// The data file the configurator would save after reading everything from the instrument
// (the read-all algorithm with its default choice, over a channel straight into it).
std::vector<uint8_t> DataFileBytesOfInstrument(Instrument& instrument);
// Saves it atomically; throws platform::Exception on failure.
void SaveInstrumentDataFile(Instrument& instrument, const std::string& fileName);

// A channel straight into an instrument in the same process: no line, no time-outs.
class InstrumentChanel : public TChanelHelperBase {
public:
    explicit InstrumentChanel(Instrument& instrument);

    // Stands for a transparent gateway: the frames pass unchanged.
    ChanelKind Kind() const override { return ChanelKind::Tcp; }
    bool IsOpen() override { return true; }
    int32_t Transact(std::span<const uint8_t> request, std::span<uint8_t> answer, TInteractContainer* target) override;

private:
    Instrument& instrument_;
};

} // namespace daxsim
