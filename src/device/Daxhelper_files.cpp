// The data file (".daxdat") and the configuration file (".zivaze") of DaxHelper's state.

#include "Daxhelper.h"

#include "comm/Modbus.h"
#include "comm/Sysutil.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"

#include <algorithm>
#include <bitset>
#include <cstring>
#include <ctime>
#include <stdexcept>

namespace dax {
const char* const kBadHeaderText = "Неправильный заголовок файла";
const char* const kBadFileVersionText = "Неизвестная версия файла";
const char* const kBadDataLengthText = "Неверная длина данных в файле";
const char* const kBadIdentificationText = "Неизвестный формат идентификационных параметров";
const char* const kRepeatedSectionText = "Повторяющийся раздел в файле";
const char* const kRepeatedGroupText = "Повторяющаяся группа в конфигурации";
const char* const kTooManyRecordsText = "Слишком много записей для сохранения в файле";
} // namespace dax

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

struct RecordSection {
    uint16_t type;
    uint16_t recordSize;
    const char* wrongSizeWarning;
};

// In the order of the record types (hour, day, month, total day, total month, two journals).
constexpr RecordSection kRecordSections[dax::kRecordTypeCount] = {
    {16, 256, "Неправильная длина страницы часового архива"},
    {17, 256, "Неправильная длина страницы суточного архива"},
    {18, 256, "Неправильная длина страницы месячного архива"},
    {19, 256, "Неправильная длина страницы итогового суточного архива"},
    {20, 256, "Неправильная длина страницы итогового месячного архива"},
    {32, 16, "Неправильная длина страницы журнала НС"},
    {33, 16, "Неправильная длина страницы журнала оператора"},
};

struct ConfigBlock {
    int32_t first;
    int32_t count;
};

const std::initializer_list<ConfigBlock> kConfigGroups[dax::kConfigGroupCount] = {
    {{40179, 16}},                            // 0 "Общие параметры"
    {{40079, 10}, {40126, 3}},                // 1 "Конфигурация ТС1"
    {{40097, 21}},                            // 2 "Реакции ТС1"
    {{40129, 10}},                            // 3 "Конфигурация ТС2"
    {{40147, 21}},                            // 4 "Реакции ТС2"
    {{40203, 11}},                            // 5 "Конфигурация ХВС"
    {{40222, 78}},                            // 6 "Каналы V"
    {{40300, 4}},                             // 7 "Фильтр расхода"
    {{40304, 32}},                            // 8 "Каналы t,P"
    {},                                       // 9 "Входы/Выход"
    {{40356, 6}},                             // 10 "Интерфейсы.ЖКИ"
    {{40365, 4}},                             // 11 "Интерфейсы.Порт 1"
    {{40369, 4}},                             // 12 "Интерфейсы.Порт 2"
    {{40385, 10}},                            // 13 "Интерфейсы.SMS"
    {{40399, 4}},                             // 14 "Входящий звонок"
    {{40407, 50}},                            // 15 "Интернет (GPRS)"
    {{40461, 24}, {40485, 32}, {40517, 64}},  // 16 "Конфигурация сигналов"
    {{40581, 16}},                            // 17 "Конфигурация событий"
    {{40015, 6}},                             // 18 "Установка пароля"
    {{40011, 4}},                             // 19 "Ввод пароля"
};

void PutLe16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

uint16_t Le16(std::span<const uint8_t> bytes, size_t offset)
{
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

void PutHeader(std::vector<uint8_t>& out, const char* magic, size_t entries)
{
    out.insert(out.end(), magic, magic + kMagicSize);
    out.push_back(kFormatVersion);
    out.push_back(static_cast<uint8_t>(entries & 0xFF));
}

void PutEntry(std::vector<uint8_t>& out, uint16_t type, uint16_t recordSize, uint16_t count)
{
    PutLe16(out, type);
    PutLe16(out, recordSize);
    PutLe16(out, count);
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

} // namespace

// Everything a data file sets, gathered before any of it replaces the present state.
struct DaxHelper::LoadedDataFile {
    bool identified = false;
    int32_t model = -1;
    std::string modelText;
    std::array<uint8_t, 4> version{};
    std::array<uint8_t, dax::kInputImageSize> input{};
    std::array<uint8_t, dax::kHoldingImageSize> holding{};
    std::vector<dax_namespace::ArchiveStruct> hour, day, month;
    std::vector<dax_namespace::TotalArchiveStruct> totalDay, totalMonth;
    std::vector<dax_namespace::JournalStruct> notStaff, operatorJournal;
    std::vector<std::string> warnings;
};

std::vector<uint8_t> DaxHelper::DataFileBytes() const
{
    std::lock_guard lock(ImageMutex);
    const size_t counts[dax::kRecordTypeCount] = {HourArchive.size(),     DayArchive.size(),
                                                  MonthArchive.size(),    TotalDayArchive.size(),
                                                  TotalMonthArchive.size(), NotStaffJournal.size(),
                                                  OperatorJournal.size()};
    size_t records = 0;
    for (const size_t count : counts) {
        if (count > 0xFFFF)
            throw platform::Exception(dax::kTooManyRecordsText);
        records += count != 0;
    }
    // An instrument that was not identified gets no identification section, so that a file
    // of it never claims a model.
    const bool identification = Identified_ && (Model_ == 0 || Model_ == 1);

    std::vector<uint8_t> out;
    const size_t sections = 2 + (identification ? 1 : 0) + records;
    PutHeader(out, kDataMagic, sections);
    if (identification)
        PutEntry(out, kIdentificationSection, kIdentificationSize, 1);
    PutEntry(out, kInputImageSection, 2, dax::kInputRegisterCount);
    PutEntry(out, kHoldingImageSection, 2, dax::kHoldingRegisterCount);
    for (size_t t = 0; t < dax::kRecordTypeCount; ++t)
        if (counts[t] != 0)
            PutEntry(out, kRecordSections[t].type, kRecordSections[t].recordSize, static_cast<uint16_t>(counts[t]));
    if (identification) {
        const char* model = Model_ == 0 ? "DAX-01" : "DAX-02";
        out.insert(out.end(), model, model + 6);
        out.insert(out.end(), Version_.begin(), Version_.end());
    }
    out.insert(out.end(), InputRegisterImage.begin(), InputRegisterImage.end());
    out.insert(out.end(), HoldingRegisterImage.begin(), HoldingRegisterImage.end());
    PutRecords(out, HourArchive);
    PutRecords(out, DayArchive);
    PutRecords(out, MonthArchive);
    PutRecords(out, TotalDayArchive);
    PutRecords(out, TotalMonthArchive);
    PutRecords(out, NotStaffJournal);
    PutRecords(out, OperatorJournal);
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
        Identified_ = loaded.identified;
        Model_ = loaded.model;
        ModelText_ = loaded.modelText;
        Version_ = loaded.version;
        if (loaded.identified) {
            FirmwareVersionText_ = VersionText(Version_[2], Version_[3]);
            ModificationText_ = VersionText(Version_[0], Version_[1]);
        } else {
            FirmwareVersionText_.clear();
            ModificationText_.clear();
        }
        InputRegisterImage = loaded.input;
        HoldingRegisterImage = loaded.holding;
        HourArchive.swap(loaded.hour);
        DayArchive.swap(loaded.day);
        MonthArchive.swap(loaded.month);
        TotalDayArchive.swap(loaded.totalDay);
        TotalMonthArchive.swap(loaded.totalMonth);
        NotStaffJournal.swap(loaded.notStaff);
        OperatorJournal.swap(loaded.operatorJournal);
    }
    for (const auto& warning : loaded.warnings)
        Print(warning, nullptr);
}

void DaxHelper::LoadDataFile(const std::string& fileName)
{
    std::vector<uint8_t> bytes;
    if (!platform::ReadFileBytes(fileName, dax::kMaxDataFileSize, bytes))
        throw platform::Exception(dax::kBadDataLengthText);
    LoadDataFileBytes(bytes);
}

DaxHelper::LoadedDataFile DaxHelper::ParseDataFile(std::span<const uint8_t> bytes)
{
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kDataMagic, kMagicSize) != 0)
        throw platform::Exception(dax::kBadHeaderText);
    if (bytes[6] != kFormatVersion)
        throw platform::Exception(dax::kBadFileVersionText);
    const size_t entries = bytes[7];
    const size_t sectionsStart = kHeaderSize + kEntrySize * entries;
    if (bytes.size() < sectionsStart)
        throw platform::Exception(dax::kBadDataLengthText);
    uint64_t total = 0;
    for (size_t e = 0; e < entries; ++e) {
        const size_t at = kHeaderSize + kEntrySize * e;
        total += uint64_t{Le16(bytes, at + 2)} * Le16(bytes, at + 4);
    }
    if (bytes.size() - sectionsStart != total)
        throw platform::Exception(dax::kBadDataLengthText);

    LoadedDataFile loaded;
    std::bitset<0x10000> seen;
    size_t offset = sectionsStart;
    for (size_t e = 0; e < entries; ++e) {
        const size_t at = kHeaderSize + kEntrySize * e;
        const uint16_t type = Le16(bytes, at);
        const uint16_t recordSize = Le16(bytes, at + 2);
        const uint16_t count = Le16(bytes, at + 4);
        const size_t size = size_t{recordSize} * count;
        const std::span<const uint8_t> section = bytes.subspan(offset, size);
        offset += size;

        const auto recordType = std::find_if(std::begin(kRecordSections), std::end(kRecordSections),
                                             [type](const RecordSection& s) { return s.type == type; });
        const bool known = type == kIdentificationSection || type == kInputImageSection ||
                           type == kHoldingImageSection || recordType != std::end(kRecordSections);
        if (!known)
            continue; // sections of other kinds are not this system's: skipped
        if (seen[type])
            throw platform::Exception(dax::kRepeatedSectionText);
        seen[type] = true;

        if (type == kIdentificationSection) {
            if (size != kIdentificationSize || count != 1)
                throw platform::Exception(dax::kBadIdentificationText);
            const std::string_view model(reinterpret_cast<const char*>(section.data()), 6);
            if (model == "DAX-01") {
                loaded.model = 0;
                loaded.modelText = "Dax-01";
            } else if (model == "DAX-02") {
                loaded.model = 1;
                loaded.modelText = "Dax-02";
            } else {
                throw platform::Exception(dax::kUnknownModificationText);
            }
            loaded.identified = true;
            std::copy_n(section.begin() + 6, 4, loaded.version.begin());
            if (loaded.version[2] > 1)
                throw platform::Exception(dax::kUnknownVersionText);
            if (loaded.version[3] > 3)
                loaded.warnings.emplace_back(dax::kUnknownVersionText);
        } else if (type == kInputImageSection || type == kHoldingImageSection) {
            const bool input = type == kInputImageSection;
            const std::span<uint8_t> image = input ? std::span<uint8_t>(loaded.input) : std::span<uint8_t>(loaded.holding);
            if (size < image.size())
                loaded.warnings.emplace_back(input ? "Не полные данные текущих параметров"
                                                   : "Не полные данные настроечных параметров");
            std::copy_n(section.begin(), std::min(size, image.size()), image.begin());
        } else if (recordSize != recordType->recordSize) {
            loaded.warnings.emplace_back(recordType->wrongSizeWarning);
        } else {
            switch (recordType - std::begin(kRecordSections)) {
            case 0: TakeRecords(loaded.hour, section, count); break;
            case 1: TakeRecords(loaded.day, section, count); break;
            case 2: TakeRecords(loaded.month, section, count); break;
            case 3: TakeRecords(loaded.totalDay, section, count); break;
            case 4: TakeRecords(loaded.totalMonth, section, count); break;
            case 5: TakeRecords(loaded.notStaff, section, count); break;
            default: TakeRecords(loaded.operatorJournal, section, count); break;
            }
        }
    }
    return loaded;
}

std::string DaxHelper::DataFileName(const std::tm& localTime) const
{
    int32_t model = -1;
    uint32_t serial = 0;
    {
        std::lock_guard lock(ImageMutex);
        model = Model_;
        // Holding registers 40037 and 40038, high word first.
        const size_t at = 2 * (40037 - dax::kFirstHoldingRegister);
        serial = (uint32_t{HoldingRegisterImage[at]} << 24) | (uint32_t{HoldingRegisterImage[at + 1]} << 16) |
                 (uint32_t{HoldingRegisterImage[at + 2]} << 8) | HoldingRegisterImage[at + 3];
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
    if (group >= dax::kConfigGroupCount)
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
    std::bitset<dax::kConfigGroupCount> seen;
    for (const uint32_t g : setup.Order) {
        if (g >= dax::kConfigGroupCount || ((setup.Mask >> g) & 1) == 0)
            continue;
        if (seen[g])
            throw platform::Exception(dax::kRepeatedGroupText);
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
    std::array<uint8_t, dax::kExchangeBufferSize> frame{};
    for (const ConfigBlock& block : blocks) {
        const size_t offset = 2 * static_cast<size_t>(block.first - dax::kFirstHoldingRegister);
        size_t length = 0;
        const bool built = ModbusBuildWriteRegisters(
            frame, length, 0, std::span<const uint8_t>(HoldingRegisterImage).subspan(offset, 2 * size_t(block.count)),
            static_cast<uint16_t>(block.first), static_cast<uint16_t>(block.count));
        if (!built) // every block of the table lies in the setup image and fits one frame
            throw std::logic_error("configuration block does not fit a frame");
        out.insert(out.end(), frame.begin(), frame.begin() + length);
    }
    return out;
}

void DaxHelper::SaveConfigFile(const std::string& fileName, const DaxWriteAllDataSetup& setup) const
{
    const std::vector<uint8_t> bytes = ConfigFileBytes(setup);
    platform::WriteFileAtomically(fileName, bytes);
}
