// The data file (".daxdat") and the configuration file (".zivaze") of DaxHelper's state.

#include "Daxhelper.h"

#include "comm/Modbus.h"
#include "comm/Sysutil.h"
#include "platform/ByteOrder.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"

#include <algorithm>
#include <bitset>
#include <cstring>
#include <ctime>

using namespace dax_namespace;

namespace {

constexpr char kDataMagic[] = "DEVDAT";
constexpr char kConfigMagic[] = "DEVCFG";
constexpr size_t kMagicSize = 6;
constexpr size_t kHeaderSize = 8;
constexpr size_t kEntrySize = 6;
constexpr uint8_t kFormatVersion = 0;

// Section types of the data file.
constexpr uint16_t kIdentificationSection = 0;
constexpr uint16_t kHoldingImageSection = 3;
constexpr uint16_t kInputImageSection = 4;
constexpr uint16_t kIdentificationSize = 10;
// The section of each record type; its records have the type's size.
constexpr std::array<uint16_t, kRecordTypeCount> kRecordSections = {16, 17, 18, 19, 20, 32, 33};

struct ConfigBlock {
    int32_t first;
    int32_t count;
};

const std::initializer_list<ConfigBlock> kConfigGroups[kConfigGroupCount] = {
    {{40179, 16}},                            // 0 general parameters
    {{40079, 10}, {40126, 3}},                // 1 configuration of heat system 1
    {{40097, 21}},                            // 2 reactions of heat system 1
    {{40129, 10}},                            // 3 configuration of heat system 2
    {{40147, 21}},                            // 4 reactions of heat system 2
    {{40203, 11}},                            // 5 cold-water configuration
    {{40222, 78}},                            // 6 flow channels
    {{40300, 4}},                             // 7 flow filter
    {{40304, 32}},                            // 8 temperature and pressure channels
    {},                                       // 9 inputs and output
    {{40356, 6}},                             // 10 display interface
    {{40365, 4}},                             // 11 port 1
    {{40369, 4}},                             // 12 port 2
    {{40385, 10}},                            // 13 SMS
    {{40399, 4}},                             // 14 incoming call
    {{40407, 50}},                            // 15 internet (GPRS)
    {{40461, 24}, {40485, 32}, {40517, 64}},  // 16 signal configuration
    {{40581, 16}},                            // 17 event configuration
    {{40015, 6}},                             // 18 password setting
    {{40011, 4}},                             // 19 password entry
};

void PutHeader(std::vector<uint8_t>& out, const char* magic, size_t entries)
{
    out.insert(out.end(), magic, magic + kMagicSize);
    out.push_back(kFormatVersion);
    out.push_back(static_cast<uint8_t>(entries & 0xFF));
}

void PutEntry(std::vector<uint8_t>& out, uint16_t type, uint16_t recordSize, uint16_t count)
{
    platform::AppendLittleEndian(out, type);
    platform::AppendLittleEndian(out, recordSize);
    platform::AppendLittleEndian(out, count);
}

template <typename Record>
void PutRecords(std::vector<uint8_t>& out, const std::vector<Record>& records)
{
    for (const auto& record : records)
        out.insert(out.end(), record.bytes.begin(), record.bytes.end());
}

template <typename Record>
void TakeRecords(std::vector<Record>& records, std::span<const uint8_t> section, size_t count)
{
    constexpr size_t size = sizeof(Record{}.bytes);
    records.reserve(records.size() + count);
    for (size_t i = 0; i < count; ++i) {
        Record record;
        std::memcpy(record.bytes.data(), section.data() + i * size, size);
        records.push_back(record);
    }
}

std::string VersionText(uint8_t major, uint8_t minor)
{
    return FormatText("%u.%u", unsigned{major}, unsigned{minor});
}

// Everything a data file sets, gathered before any of it replaces the present state.
struct LoadedDataFile {
    bool identified = false;
    int32_t model = -1;
    std::string modelText;
    std::array<uint8_t, 4> version{};
    std::array<uint8_t, kInputImageSize> input{};
    std::array<uint8_t, kHoldingImageSize> holding{};
    RecordVectors records;
    std::vector<std::string> warnings;
};

// One entry of the section table with the bytes it describes.
struct Section {
    uint16_t type;
    uint16_t recordSize;
    uint16_t count;
    std::span<const uint8_t> bytes;
};

// The sections of a data file, after checking its header and that the sections fill exactly
// the rest of the file; throws the first fault's text.
std::vector<Section> ReadSections(std::span<const uint8_t> bytes)
{
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kDataMagic, kMagicSize) != 0)
        throw platform::Exception(kBadHeaderText);
    if (bytes[6] != kFormatVersion)
        throw platform::Exception(kBadFileVersionText);
    const size_t entries = bytes[7];
    const size_t sectionsStart = kHeaderSize + kEntrySize * entries;
    if (bytes.size() < sectionsStart)
        throw platform::Exception(kBadDataLengthText);

    std::vector<Section> sections;
    uint64_t total = 0;
    for (size_t e = 0; e < entries; ++e) {
        const size_t at = kHeaderSize + kEntrySize * e;
        Section section{platform::ReadLittleEndian<uint16_t>(bytes, at),
                        platform::ReadLittleEndian<uint16_t>(bytes, at + 2),
                        platform::ReadLittleEndian<uint16_t>(bytes, at + 4),
                        {}};
        total += uint64_t{section.recordSize} * section.count;
        sections.push_back(section);
    }
    if (bytes.size() - sectionsStart != total)
        throw platform::Exception(kBadDataLengthText);

    size_t offset = sectionsStart;
    for (Section& section : sections) {
        const size_t size = size_t{section.recordSize} * section.count;
        section.bytes = bytes.subspan(offset, size);
        offset += size;
    }
    return sections;
}

void TakeIdentification(const Section& section, LoadedDataFile& loaded)
{
    if (section.bytes.size() != kIdentificationSize || section.count != 1)
        throw platform::Exception(kBadIdentificationText);
    const std::string_view model(reinterpret_cast<const char*>(section.bytes.data()), 6);
    if (model == "DAX-01") {
        loaded.model = 0;
        loaded.modelText = "Dax-01";
    } else if (model == "DAX-02") {
        loaded.model = 1;
        loaded.modelText = "Dax-02";
    } else {
        throw platform::Exception(kUnknownModificationText);
    }
    loaded.identified = true;
    std::copy_n(section.bytes.begin() + 6, 4, loaded.version.begin());
    if (loaded.version[2] > 1)
        throw platform::Exception(kUnknownVersionText);
    if (loaded.version[3] > 3)
        loaded.warnings.emplace_back(kUnknownVersionText);
}

// A short image fills what it holds and warns; the rest of the image stays zero.
void TakeImage(const Section& section, LoadedDataFile& loaded)
{
    const bool input = section.type == kInputImageSection;
    const std::span<uint8_t> image = input ? std::span<uint8_t>(loaded.input) : std::span<uint8_t>(loaded.holding);
    if (section.bytes.size() < image.size())
        loaded.warnings.emplace_back(input ? kShortInputImageText : kShortHoldingImageText);
    std::copy_n(section.bytes.begin(), std::min(section.bytes.size(), image.size()), image.begin());
}

// Records of a size other than their type's are left out with a warning.
void TakeRecordSection(const Section& section, uint32_t recordType, LoadedDataFile& loaded)
{
    if (section.recordSize != RecordSizeOfType(recordType)) {
        loaded.warnings.emplace_back(kWrongRecordSizeTexts[recordType]);
        return;
    }
    ForEachRecordTypeIndex([&](auto type) {
        if (type == recordType)
            TakeRecords(std::get<type>(loaded.records), section.bytes, section.count);
    });
}

// Checks a whole data file and gathers what it holds; throws the first fault's text. Sections
// of kinds this system does not know are skipped; a known kind may appear once.
LoadedDataFile ParseDataFile(std::span<const uint8_t> bytes)
{
    LoadedDataFile loaded;
    std::bitset<0x10000> seen;
    for (const Section& section : ReadSections(bytes)) {
        const auto recordSection = std::find(kRecordSections.begin(), kRecordSections.end(), section.type);
        const bool image = section.type == kInputImageSection || section.type == kHoldingImageSection;
        if (section.type != kIdentificationSection && !image && recordSection == kRecordSections.end())
            continue;
        if (seen[section.type])
            throw platform::Exception(kRepeatedSectionText);
        seen[section.type] = true;

        if (section.type == kIdentificationSection)
            TakeIdentification(section, loaded);
        else if (image)
            TakeImage(section, loaded);
        else
            TakeRecordSection(section, static_cast<uint32_t>(recordSection - kRecordSections.begin()), loaded);
    }
    return loaded;
}

} // namespace

std::vector<uint8_t> DaxHelper::DataFileBytes() const
{
    std::lock_guard lock(ImageMutex);
    std::array<size_t, kRecordTypeCount> counts{};
    ForEachRecordType(*this, [&](auto type, const auto& vector, const auto&) { counts[type] = vector.size(); });
    size_t records = 0;
    for (const size_t count : counts) {
        if (count > 0xFFFF)
            throw platform::Exception(kTooManyRecordsText);
        records += count != 0;
    }
    // An instrument that was not identified gets no identification section, so that a file
    // of it never claims a model.
    const bool identification = identified_ && (model_ == 0 || model_ == 1);

    std::vector<uint8_t> out;
    const size_t sections = 2 + (identification ? 1 : 0) + records;
    PutHeader(out, kDataMagic, sections);
    if (identification)
        PutEntry(out, kIdentificationSection, kIdentificationSize, 1);
    PutEntry(out, kInputImageSection, 2, kInputRegisterCount);
    PutEntry(out, kHoldingImageSection, 2, kHoldingRegisterCount);
    for (uint32_t t = 0; t < kRecordTypeCount; ++t)
        if (counts[t] != 0)
            PutEntry(out, kRecordSections[t], static_cast<uint16_t>(RecordSizeOfType(t)),
                     static_cast<uint16_t>(counts[t]));
    if (identification) {
        const char* model = model_ == 0 ? "DAX-01" : "DAX-02";
        out.insert(out.end(), model, model + 6);
        out.insert(out.end(), version_.begin(), version_.end());
    }
    out.insert(out.end(), InputRegisterImage.begin(), InputRegisterImage.end());
    out.insert(out.end(), HoldingRegisterImage.begin(), HoldingRegisterImage.end());
    ForEachRecordType(*this, [&](auto, const auto& vector, const auto&) { PutRecords(out, vector); });
    return out;
}

void DaxHelper::SaveDataFile(const std::string& fileName) const
{
    const std::vector<uint8_t> bytes = DataFileBytes();
    platform::WriteFileAtomically(fileName, bytes);
}

void DaxHelper::LoadDataFileBytes(std::span<const uint8_t> bytes)
{
    LoadedDataFile loaded = ParseDataFile(bytes);
    {
        std::lock_guard lock(ImageMutex);
        identified_ = loaded.identified;
        model_ = loaded.model;
        modelText_ = loaded.modelText;
        version_ = loaded.version;
        if (loaded.identified) {
            firmwareVersionText_ = VersionText(version_[2], version_[3]);
            modificationText_ = VersionText(version_[0], version_[1]);
        } else {
            firmwareVersionText_.clear();
            modificationText_.clear();
        }
        InputRegisterImage = loaded.input;
        HoldingRegisterImage = loaded.holding;
        ForEachRecordType(*this, [&](auto type, auto& vector, auto&) { vector.swap(std::get<type>(loaded.records)); });
    }
    for (const auto& warning : loaded.warnings)
        Print(warning, nullptr);
}

void DaxHelper::LoadDataFile(const std::string& fileName)
{
    std::vector<uint8_t> bytes;
    if (!platform::ReadFileBytes(fileName, kMaxDataFileSize, bytes))
        throw platform::Exception(kBadDataLengthText);
    LoadDataFileBytes(bytes);
}

std::string DaxHelper::DataFileName(const std::tm& localTime) const
{
    int32_t model = -1;
    uint32_t serial = 0;
    {
        std::lock_guard lock(ImageMutex);
        model = model_;
        serial = HoldingRegisterPair(HoldingRegisterImage, kSerialNumberRegister);
    }
    return FormatText("DAX-0%d_%05u_%02d%02d%02d_%02d%02d%02d.daxdat", model + 1, serial, localTime.tm_year % 100,
                      localTime.tm_mon + 1, localTime.tm_mday, localTime.tm_hour, localTime.tm_min, localTime.tm_sec);
}

std::string DaxHelper::DataFileName() const
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return DataFileName(local);
}

int32_t DaxHelper::ConfigGroupBlock(uint32_t group, int32_t index, int32_t& firstRegister, int32_t& count)
{
    if (group >= kConfigGroupCount)
        return 0;
    const auto& blocks = kConfigGroups[group];
    const int32_t n = static_cast<int32_t>(blocks.size());
    if (n == 0)
        return 0;
    // An index beyond the table gives the group's last block.
    const int32_t i = index >= 0 && index < n ? index : n - 1;
    const ConfigBlock& block = *(blocks.begin() + i);
    firstRegister = block.first;
    count = block.count;
    return n;
}

std::vector<uint8_t> DaxHelper::ConfigFileBytes(const DaxWriteAllDataSetup& setup) const
{
    std::vector<ConfigBlock> blocks;
    std::vector<uint32_t> groups;
    std::bitset<kConfigGroupCount> seen;
    for (const uint32_t g : setup.Order) {
        if (g >= kConfigGroupCount || ((setup.Mask >> g) & 1) == 0)
            continue;
        if (seen[g])
            throw platform::Exception(kRepeatedGroupText);
        seen[g] = true;
        for (const ConfigBlock& block : kConfigGroups[g]) {
            blocks.push_back(block);
            groups.push_back(g);
        }
    }

    std::vector<uint8_t> out;
    PutHeader(out, kConfigMagic, blocks.size());
    for (size_t i = 0; i < blocks.size(); ++i)
        PutEntry(out, static_cast<uint16_t>(groups[i]), static_cast<uint16_t>(2 * blocks[i].count + 9), 1);

    std::lock_guard lock(ImageMutex);
    std::array<uint8_t, kExchangeBufferSize> frame{};
    for (const ConfigBlock& block : blocks) {
        const size_t offset = RegisterOffset(kFirstHoldingRegister, block.first);
        size_t length = 0;
        const bool built = ModbusBuildWriteRegisters(
            frame, length, 0, std::span<const uint8_t>(HoldingRegisterImage).subspan(offset, 2 * size_t(block.count)),
            static_cast<uint16_t>(block.first), static_cast<uint16_t>(block.count));
        if (!built) // every block of the table lies in the setup image and fits one frame
            throw platform::Exception(kConfigBlockTooLongText);
        out.insert(out.end(), frame.begin(), frame.begin() + length);
    }
    return out;
}

void DaxHelper::SaveConfigFile(const std::string& fileName, const DaxWriteAllDataSetup& setup) const
{
    const std::vector<uint8_t> bytes = ConfigFileBytes(setup);
    platform::WriteFileAtomically(fileName, bytes);
}
