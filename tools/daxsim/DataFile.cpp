#include "DataFile.h"

#include "device/DaxAlgorithms.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"

#include <algorithm>
#include <cstring>

namespace daxsim {

namespace {

const char* const kNoIdentificationText = "the data file holds no identification of the instrument";

// Reading from an instrument in the same process needs none of the pauses a line needs.
class NoPauses : public platform::Pacer {
public:
    void Pause(std::chrono::milliseconds) override {}
};

uint16_t NextPosition(const RecordRing& ring, uint16_t position)
{
    return position >= ring.Highest ? 0 : static_cast<uint16_t>(position + 1);
}

template <typename Record>
std::vector<std::vector<uint8_t>> RecordBytes(const std::vector<Record>& records)
{
    std::vector<std::vector<uint8_t>> bytes;
    bytes.reserve(records.size());
    for (const Record& record : records)
        bytes.emplace_back(record.bytes.begin(), record.bytes.end());
    return bytes;
}

// The ring of one record type holding the records of a file; see StateFromDataFileBytes.
RecordRing RingOfRecords(uint8_t type, std::vector<std::vector<uint8_t>> records, std::span<const uint8_t> inputImage)
{
    const int32_t base = kFirstRingPointerRegister + 3 * type;
    RecordRing ring;
    ring.Highest = dax_namespace::InputRegister(inputImage, base);
    ring.First = dax_namespace::InputRegister(inputImage, base + 1);
    ring.Next = dax_namespace::InputRegister(inputImage, base + 2);
    const bool pointersFit =
        ring.First <= ring.Highest && ring.Next <= ring.Highest && ring.RecordCount() == records.size();
    if (!pointersFit) {
        // A data file holds at most 65535 records of one type, so the count fits a position.
        ring.Highest = static_cast<uint16_t>(records.size());
        ring.First = 0;
        ring.Next = static_cast<uint16_t>(records.size());
    }
    ring.Slots.assign(size_t{ring.Highest} + 1, std::vector<uint8_t>(RecordSize(type), 0xFF));
    uint16_t position = ring.First;
    for (auto& record : records) {
        ring.Slots[position] = std::move(record);
        position = NextPosition(ring, position);
    }
    return ring;
}

} // namespace

InstrumentState StateFromDataFileBytes(std::span<const uint8_t> bytes, std::vector<std::string>* warnings)
{
    DaxHelper helper;
    helper.SetLogCallback([warnings](const std::string& text, TInteractContainer*) {
        if (warnings)
            warnings->push_back(text);
    });
    helper.LoadDataFileBytes(bytes);
    if (!helper.Identified())
        throw platform::Exception(kNoIdentificationText);

    InstrumentState state;
    const char* model = helper.Model() == 0 ? "DAX-01" : "DAX-02";
    std::memcpy(state.ModelText.data(), model, state.ModelText.size());
    state.Version = helper.Version();
    DaxHelperLocker locker(&helper);
    state.InputImage.assign(helper.InputRegisterImage.begin(), helper.InputRegisterImage.end());
    state.HoldingImage.assign(helper.HoldingRegisterImage.begin(), helper.HoldingRegisterImage.end());
    DaxHelper::ForEachRecordType(helper, [&](auto type, const auto& records, const auto&) {
        state.Rings[type] = RingOfRecords(type, RecordBytes(records), state.InputImage);
    });
    state.StoreRingPointers();
    return state;
}

InstrumentState LoadStateFromDataFile(const std::string& fileName, std::vector<std::string>* warnings)
{
    std::vector<uint8_t> bytes;
    if (!platform::ReadFileBytes(fileName, dax_namespace::kMaxDataFileSize, bytes))
        throw platform::Exception(dax_namespace::kBadDataLengthText);
    return StateFromDataFileBytes(bytes, warnings);
}

std::vector<std::vector<uint8_t>> RingRecords(const RecordRing& ring)
{
    std::vector<std::vector<uint8_t>> records;
    if (ring.Slots.size() != size_t{ring.Highest} + 1 || ring.First > ring.Highest || ring.Next > ring.Highest)
        return records;
    for (uint16_t p = ring.First; p != ring.Next; p = NextPosition(ring, p))
        records.push_back(ring.Slots[p]);
    return records;
}

std::vector<uint8_t> DataFileBytesOfInstrument(Instrument& instrument)
{
    InstrumentChanel chanel(instrument);
    NoPauses pacer;
    DaxHelper helper;
    helper.SetPacer(&pacer);
    helper.SetLogCallback([](const std::string&, TInteractContainer*) {});
    helper.SetChannel(&chanel);
    DaxReadAllParamsAlgorithm(&helper, DaxReadAllDataSetup{}, nullptr).Run();
    return helper.DataFileBytes();
}

void SaveInstrumentDataFile(Instrument& instrument, const std::string& fileName)
{
    platform::WriteFileAtomically(fileName, DataFileBytesOfInstrument(instrument));
}

InstrumentChanel::InstrumentChanel(Instrument& instrument) : instrument_(instrument)
{
    SetDeviceAddress(instrument.Address());
}

int32_t InstrumentChanel::Transact(std::span<const uint8_t> request, std::span<uint8_t> answer,
                                   TInteractContainer* target)
{
    LogExchange(request, "sim", ExchangeDirection::Request, target);
    const std::vector<uint8_t> reply = instrument_.Answer(request);
    const size_t count = std::min(reply.size(), answer.size());
    std::copy_n(reply.begin(), count, answer.begin());
    LogExchange(std::span(reply).first(count), "sim", ExchangeDirection::Answer, target);
    return static_cast<int32_t>(count);
}

} // namespace daxsim
