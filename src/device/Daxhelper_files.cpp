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
#include <type_traits>

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

// The section of each record type; its records have the type's size (RecordSizeOfType).
constexpr std::array<uint16_t, kRecordTypeCount> kRecordSections = {16, 17, 18, 19, 20, 32, 33};

struct ConfigBlock {
    int32_t first;
    int32_t count;
};

// The register blocks of each configuration group, named by kConfigGroupNames. Group 9
// ("Входы/Выход") is the block of the inputs and output (40336 to 40347, the block their page
// reads and writes): without it, choosing the group would write and save nothing while the
// write reports success.
const std::initializer_list<ConfigBlock> kConfigGroups[kConfigGroupCount] = {
    {{40179, 16}},
    {{40079, 10}, {40126, 3}},
    {{40097, 21}},
    {{40129, 10}},
    {{40147, 21}},
    {{40203, 11}},
    {{40222, 78}},
    {{40300, 4}},
    {{40304, 32}},
    {{40336, 12}},
    {{40356, 6}},
    {{40365, 4}},
    {{40369, 4}},
    {{40385, 10}},
    {{40399, 4}},
    {{40407, 50}},
    {{40461, 24}, {40485, 32}, {40517, 64}},
    {{40581, 16}},
    {{40015, 6}},
    {{40011, 4}},
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

// The bytes of a record vector as they are stored: records are plain 256- or 16-byte blocks.
template <typename Record>
std::span<const uint8_t> RecordBytes(const std::vector<Record>& records)
{
    static_assert(std::is_trivially_copyable_v<Record> && sizeof(Record) == sizeof(Record{}.bytes));
    return {reinterpret_cast<const uint8_t*>(records.data()), records.size() * sizeof(Record)};
}

template <typename Record>
std::span<uint8_t> RecordBytes(std::vector<Record>& records)
{
    static_assert(std::is_trivially_copyable_v<Record> && sizeof(Record) == sizeof(Record{}.bytes));
    return {reinterpret_cast<uint8_t*>(records.data()), records.size() * sizeof(Record)};
}

std::string VersionText(uint8_t major, uint8_t minor)
{
    return FormatText("%u.%u", unsigned{major}, unsigned{minor});
}

} // namespace

// Where a data file is read from: in order, its size known in advance.
class DaxHelper::DataFileSource {
public:
    virtual ~DataFileSource() = default;
    virtual uint64_t Size() const = 0;
    // The next buffer.size() bytes; false when the source ended first.
    virtual bool Read(std::span<uint8_t> buffer) = 0;

    // Reads and drops the next count bytes; false when the source ended first.
    bool Skip(uint64_t count)
    {
        std::array<uint8_t, 64 * 1024> scrap;
        while (count > 0) {
            const size_t chunk = static_cast<size_t>(std::min<uint64_t>(count, scrap.size()));
            if (!Read(std::span<uint8_t>(scrap).first(chunk)))
                return false;
            count -= chunk;
        }
        return true;
    }
};

namespace {

class ByteSource final : public DaxHelper::DataFileSource {
public:
    explicit ByteSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool Read(std::span<uint8_t> buffer) override
    {
        if (buffer.size() > bytes_.size() - position_)
            return false;
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(position_), buffer.size(), buffer.begin());
        position_ += buffer.size();
        return true;
    }

private:
    std::span<const uint8_t> bytes_;
    size_t position_ = 0;
};

class FileSource final : public DaxHelper::DataFileSource {
public:
    explicit FileSource(const std::string& fileName) : file_(fileName) {}
    uint64_t Size() const override { return file_.Size(); }
    bool Read(std::span<uint8_t> buffer) override { return file_.Read(buffer) == buffer.size(); }

private:
    platform::InputFile file_;
};

// Reads exactly what the directory promised; a source that ends early has changed under us.
void ReadSection(DaxHelper::DataFileSource& source, std::span<uint8_t> buffer)
{
    if (!source.Read(buffer))
        throw platform::Exception(kBadDataLengthText);
}

void SkipSection(DaxHelper::DataFileSource& source, uint64_t count)
{
    if (!source.Skip(count))
        throw platform::Exception(kBadDataLengthText);
}

struct DirectoryEntry {
    uint16_t type;
    uint16_t recordSize;
    uint16_t count;
    size_t Size() const { return size_t{recordSize} * count; }
};

// Header and directory, with every check that the sizes allow before a section is read.
std::vector<DirectoryEntry> ReadDirectory(DaxHelper::DataFileSource& source)
{
    std::array<uint8_t, kHeaderSize> header{};
    if (source.Size() < kHeaderSize || !source.Read(header) || std::memcmp(header.data(), kDataMagic, kMagicSize) != 0)
        throw platform::Exception(kBadHeaderText);
    if (header[6] != kFormatVersion)
        throw platform::Exception(kBadFileVersionText);
    const size_t entries = header[7];
    const uint64_t sectionsStart = kHeaderSize + kEntrySize * entries;
    std::vector<uint8_t> bytes(kEntrySize * entries);
    if (source.Size() < sectionsStart || !source.Read(bytes))
        throw platform::Exception(kBadDataLengthText);
    std::vector<DirectoryEntry> directory;
    uint64_t total = 0;
    for (size_t e = 0; e < entries; ++e) {
        const size_t at = kEntrySize * e;
        directory.push_back({platform::ReadLittleEndian<uint16_t>(bytes, at),
                             platform::ReadLittleEndian<uint16_t>(bytes, at + 2),
                             platform::ReadLittleEndian<uint16_t>(bytes, at + 4)});
        total += directory.back().Size();
    }
    if (source.Size() - sectionsStart != total)
        throw platform::Exception(kBadDataLengthText);
    return directory;
}

} // namespace

// Everything a data file sets, gathered before any of it replaces the present state.
struct DaxHelper::LoadedDataFile {
    bool identified = false;
    int32_t model = -1;
    std::string modelText;
    std::array<uint8_t, 4> version{};
    std::array<uint8_t, kInputImageSize> input{};
    std::array<uint8_t, kHoldingImageSize> holding{};
    RecordVectors records;
    std::vector<std::string> warnings;

    // The vector of record type t (0 to 6) as bytes, after making room for count records.
    std::span<uint8_t> MakeRoom(uint32_t t, size_t count)
    {
        std::span<uint8_t> bytes;
        ForEachRecordTypeIndex([&](auto type) {
            if (type == t) {
                std::get<type>(records).resize(count);
                bytes = RecordBytes(std::get<type>(records));
            }
        });
        return bytes;
    }
};

// The header, directory, identification and images: everything but the records, which are
// written straight from their vectors. With ImageMutex held.
std::vector<uint8_t> DaxHelper::DataFileHead(std::array<std::span<const uint8_t>, kRecordTypeCount>& records) const
{
    ForEachRecordType(*this, [&](auto type, const auto& vector, const auto&) { records[type] = RecordBytes(vector); });
    size_t counts[kRecordTypeCount];
    size_t sectionsWithRecords = 0;
    for (uint32_t t = 0; t < kRecordTypeCount; ++t) {
        counts[t] = records[t].size() / RecordSizeOfType(t);
        if (counts[t] > 0xFFFF)
            throw platform::Exception(kTooManyRecordsText);
        sectionsWithRecords += counts[t] != 0;
    }
    // An instrument that was not identified gets no identification section, so that a file
    // of it never claims a model.
    const bool identification = identified_ && (model_ == 0 || model_ == 1);

    std::vector<uint8_t> out;
    const size_t sections = 2 + (identification ? 1 : 0) + sectionsWithRecords;
    PutHeader(out, kDataMagic, sections);
    if (identification)
        PutEntry(out, kIdentificationSection, kIdentificationSize, 1);
    PutEntry(out, kInputImageSection, 2, kInputRegisterCount);
    PutEntry(out, kHoldingImageSection, 2, kHoldingRegisterCount);
    for (uint32_t t = 0; t < kRecordTypeCount; ++t)
        if (counts[t] != 0)
            PutEntry(out, kRecordSections[t], static_cast<uint16_t>(RecordSizeOfType(t)), static_cast<uint16_t>(counts[t]));
    if (identification) {
        const char* model = model_ == 0 ? "DAX-01" : "DAX-02";
        out.insert(out.end(), model, model + 6);
        out.insert(out.end(), version_.begin(), version_.end());
    }
    out.insert(out.end(), InputRegisterImage.begin(), InputRegisterImage.end());
    out.insert(out.end(), HoldingRegisterImage.begin(), HoldingRegisterImage.end());
    return out;
}

std::vector<uint8_t> DaxHelper::DataFileBytes() const
{
    std::lock_guard lock(ImageMutex);
    std::array<std::span<const uint8_t>, kRecordTypeCount> records;
    std::vector<uint8_t> out = DataFileHead(records);
    for (const auto& section : records)
        out.insert(out.end(), section.begin(), section.end());
    return out;
}

void DaxHelper::SaveDataFile(const std::string& fileName) const
{
    // The records go to the file straight from their vectors: a large file is never copied
    // in memory. The image mutex keeps them as they are until the file is complete.
    std::lock_guard lock(ImageMutex);
    std::array<std::span<const uint8_t>, kRecordTypeCount> records;
    const std::vector<uint8_t> head = DataFileHead(records);
    std::vector<std::span<const uint8_t>> pieces{head};
    pieces.insert(pieces.end(), records.begin(), records.end());
    platform::WriteFileAtomically(fileName, pieces);
}

void DaxHelper::LoadDataFileBytes(std::span<const uint8_t> bytes)
{
    ByteSource source(bytes);
    ApplyDataFile(ParseDataFile(source));
}

void DaxHelper::LoadDataFile(const std::string& fileName)
{
    FileSource source(fileName);
    if (source.Size() > kMaxDataFileSize)
        throw platform::Exception(kBadDataLengthText);
    ApplyDataFile(ParseDataFile(source));
}

void DaxHelper::ApplyDataFile(LoadedDataFile&& loaded)
{
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
    // The state that was replaced is freed here, outside the image mutex.
    for (const auto& warning : loaded.warnings)
        Print(warning, nullptr);
}

DaxHelper::LoadedDataFile DaxHelper::ParseDataFile(DataFileSource& source)
{
    const std::vector<DirectoryEntry> directory = ReadDirectory(source);
    LoadedDataFile loaded;
    std::bitset<0x10000> seen;
    for (const DirectoryEntry& entry : directory) {
        const auto recordSection = std::find(kRecordSections.begin(), kRecordSections.end(), entry.type);
        const uint32_t recordType = static_cast<uint32_t>(recordSection - kRecordSections.begin());
        const bool known = entry.type == kIdentificationSection || entry.type == kInputImageSection ||
                           entry.type == kHoldingImageSection || recordSection != kRecordSections.end();
        if (!known) {
            // Not this system's section, or one whose type was damaged: what it held is not
            // loaded, and the user is told.
            loaded.warnings.push_back(FormatText(kUnknownSectionFormat, unsigned{entry.type},
                                                 static_cast<unsigned>(entry.Size())));
            SkipSection(source, entry.Size());
            continue;
        }
        if (seen[entry.type])
            throw platform::Exception(kRepeatedSectionText);
        seen[entry.type] = true;

        if (entry.type == kIdentificationSection)
            ReadIdentificationSection(source, entry.Size(), entry.count, loaded);
        else if (entry.type == kInputImageSection || entry.type == kHoldingImageSection)
            ReadImageSection(source, entry.type == kInputImageSection, entry.Size(), loaded);
        else if (entry.recordSize != RecordSizeOfType(recordType)) {
            loaded.warnings.emplace_back(kWrongRecordSizeTexts[recordType]);
            SkipSection(source, entry.Size());
        } else {
            ReadSection(source, loaded.MakeRoom(recordType, entry.count));
        }
    }
    return loaded;
}

void DaxHelper::ReadIdentificationSection(DataFileSource& source, size_t size, uint16_t count,
                                          LoadedDataFile& loaded)
{
    if (size != kIdentificationSize || count != 1)
        throw platform::Exception(kBadIdentificationText);
    std::array<uint8_t, kIdentificationSize> section{};
    ReadSection(source, section);
    const std::string_view model(reinterpret_cast<const char*>(section.data()), 6);
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
    std::copy_n(section.begin() + 6, 4, loaded.version.begin());
    if (loaded.version[2] > 1)
        throw platform::Exception(kUnknownVersionText);
    if (loaded.version[3] > 3)
        loaded.warnings.emplace_back(kUnknownVersionText);
}

void DaxHelper::ReadImageSection(DataFileSource& source, bool input, size_t size, LoadedDataFile& loaded)
{
    const std::span<uint8_t> image = input ? std::span<uint8_t>(loaded.input) : std::span<uint8_t>(loaded.holding);
    if (size < image.size())
        loaded.warnings.emplace_back(input ? kShortInputImageText : kShortHoldingImageText);
    ReadSection(source, image.first(std::min(size, image.size())));
    if (size > image.size())
        SkipSection(source, size - image.size());
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

const char* DaxHelper::ConfigGroupName(uint32_t group)
{
    return group < kConfigGroupCount ? kConfigGroupNames[group] : "";
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

std::vector<uint32_t> DaxWriteAllDataSetup::ChosenGroups() const
{
    std::vector<uint32_t> groups;
    std::bitset<kConfigGroupCount> taken;
    for (const uint32_t g : Order) {
        if (g >= kConfigGroupCount || ((Mask >> g) & 1) == 0 || taken[g])
            continue;
        taken[g] = true;
        groups.push_back(g);
    }
    return groups;
}

std::vector<uint8_t> DaxHelper::ConfigFileBytes(const DaxWriteAllDataSetup& setup) const
{
    std::vector<ConfigBlock> blocks;
    std::vector<uint32_t> groups;
    for (const uint32_t g : setup.ChosenGroups()) {
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
        out.insert(out.end(), frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(length));
    }
    return out;
}

void DaxHelper::SaveConfigFile(const std::string& fileName, const DaxWriteAllDataSetup& setup) const
{
    const std::vector<uint8_t> bytes = ConfigFileBytes(setup);
    platform::WriteFileAtomically(fileName, bytes);
}
