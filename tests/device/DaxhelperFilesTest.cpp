#include "DaxhelperFixture.h"
#include "RecordBytes.h"

#include "comm/Crc16.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/stat.h>

namespace {

using namespace testsupport;
using Bytes = std::vector<uint8_t>;

const char* const kHeader = "Неправильный заголовок файла";
const char* const kFileVersion = "Неизвестная версия файла";
const char* const kDataLength = "Неверная длина данных в файле";

Bytes Pattern(size_t size, uint8_t seed)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(seed + i * 13 + i / 256);
    return bytes;
}

template <typename Record>
Record MakeRecord(uint8_t seed)
{
    Record record;
    const Bytes bytes = Pattern(record.bytes.size(), seed);
    std::copy(bytes.begin(), bytes.end(), record.bytes.begin());
    return record;
}

// Everything a data file carries, for comparing two states.
struct Snapshot {
    bool identified;
    int32_t model;
    std::string modelText, firmware, modification;
    std::array<uint8_t, 4> version;
    Bytes input, holding;
    std::vector<std::vector<Bytes>> records;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(DaxHelper& helper)
{
    DaxHelperLocker lock(&helper);
    return {helper.Identified(),
            helper.Model(),
            helper.ModelText(),
            helper.FirmwareVersionText(),
            helper.ModificationText(),
            helper.Version(),
            Bytes(helper.InputRegisterImage.begin(), helper.InputRegisterImage.end()),
            Bytes(helper.HoldingRegisterImage.begin(), helper.HoldingRegisterImage.end()),
            {RecordBytes(helper.HourArchive), RecordBytes(helper.DayArchive), RecordBytes(helper.MonthArchive),
             RecordBytes(helper.TotalDayArchive), RecordBytes(helper.TotalMonthArchive), RecordBytes(helper.NotStaffJournal),
             RecordBytes(helper.OperatorJournal)}};
}

// Little-endian 16-bit number.
void Le(Bytes& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

struct Section {
    uint16_t type, recordSize, count;
    Bytes content; // recordSize * count bytes
};

// A data file laid out by hand: header, directory, sections.
Bytes DataFile(const std::vector<Section>& sections, const char* magic = "DEVDAT", uint8_t version = 0)
{
    Bytes out(magic, magic + 6);
    out.push_back(version);
    out.push_back(static_cast<uint8_t>(sections.size()));
    for (const auto& s : sections) {
        Le(out, s.type);
        Le(out, s.recordSize);
        Le(out, s.count);
    }
    for (const auto& s : sections)
        out.insert(out.end(), s.content.begin(), s.content.end());
    return out;
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::string TempPath(const std::string& name)
{
    const char* home = std::getenv("DAXCONFIG_HOME");
    return std::string(home ? home : "/tmp") + "/" + name;
}

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

class DaxHelperFiles : public testsupport::DaxHelperFixture {
protected:
    // A state with every part distinct: identified Dax-01 1.2 / 1.3, patterned images, two hour
    // records (the second with a wrong check word), a total month record, three abnormal-situation
    // and five operator-journal records.
    void FillState(DaxHelper& helper, uint8_t seed = 1)
    {
        chanel_.Queue(ScriptedReply::Answer(IdentificationAnswer("DAX-01", {1, 2, 1, 3})));
        helper.SetChannel(&chanel_);
        helper.SetPacer(&pacer_);
        ASSERT_TRUE(helper.Identify(nullptr, 1));
        DaxHelperLocker lock(&helper);
        const Bytes input = Pattern(962, seed), holding = Pattern(1192, static_cast<uint8_t>(seed + 100));
        std::copy(input.begin(), input.end(), helper.InputRegisterImage.begin());
        std::copy(holding.begin(), holding.end(), helper.HoldingRegisterImage.begin());
        helper.HourArchive = {MakeRecord<dax_namespace::ArchiveStruct>(seed + 1),
                              MakeRecord<dax_namespace::ArchiveStruct>(seed + 2)};
        auto& bad = helper.HourArchive[1].bytes;
        const uint16_t crc = Crc16Ccitt(std::span<const uint8_t>(bad.data(), 254));
        bad[254] = static_cast<uint8_t>(~crc & 0xFF);
        helper.TotalMonthArchive = {MakeRecord<dax_namespace::TotalArchiveStruct>(seed + 3)};
        for (uint8_t i = 0; i < 3; ++i)
            helper.NotStaffJournal.push_back(MakeRecord<dax_namespace::JournalStruct>(seed + 10 + i));
        for (uint8_t i = 0; i < 5; ++i)
            helper.OperatorJournal.push_back(MakeRecord<dax_namespace::JournalStruct>(seed + 20 + i));
    }
};

// ---------------------------------------------------------------- data file

TEST_F(DaxHelperFiles, RoundTripGivesTheSameState)
{
    FillState(helper_);
    const Snapshot saved = Take(helper_);
    const std::string path = TempPath("instrument.daxdat");
    helper_.SaveDataFile(path);

    DaxHelper fresh;
    fresh.LoadDataFile(path);
    EXPECT_EQ(Take(fresh), saved);
    EXPECT_EQ(fresh.FirmwareVersionText(), "1.3");
    EXPECT_EQ(fresh.ModificationText(), "1.2");
    EXPECT_EQ(ReadFile(path), helper_.DataFileBytes());
    EXPECT_EQ(ReadFile(path).size(), 8u + 6 * 7 + 10 + 962 + 1192 + 3 * 256 + 8 * 16);
}

TEST_F(DaxHelperFiles, SavedBytesMatchTheLayoutBuiltByHand)
{
    FillState(helper_);
    {
        DaxHelperLocker lock(&helper_);
        helper_.TotalMonthArchive.clear();
        helper_.NotStaffJournal.clear();
    }
    const Snapshot s = Take(helper_);
    Bytes expected = {'D', 'E', 'V', 'D', 'A', 'T', 0, 5,
                      0, 0, 10, 0, 1, 0,           // identification
                      4, 0, 2, 0, 0xE1, 0x01,      // 481 input registers
                      3, 0, 2, 0, 0x54, 0x02,      // 596 holding registers
                      16, 0, 0, 1, 2, 0,           // 2 hour records of 256 bytes
                      33, 0, 16, 0, 5, 0,          // 5 operator records of 16 bytes
                      'D', 'A', 'X', '-', '0', '1', 1, 2, 1, 3};
    expected = Concat({expected, s.input, s.holding, s.records[0][0], s.records[0][1]});
    for (const auto& r : s.records[6])
        expected = Concat({expected, r});
    EXPECT_EQ(expected.size(), 2794u);
    EXPECT_EQ(helper_.DataFileBytes(), expected);
}

TEST_F(DaxHelperFiles, EmptyAndUnidentifiedStates)
{
    // Identified, no records: 2190 bytes.
    chanel_.Queue(ScriptedReply::Answer(IdentificationAnswer("DAX-02", {2, 1, 1, 0})));
    ASSERT_TRUE(helper_.Identify(nullptr, 1));
    EXPECT_EQ(helper_.DataFileBytes().size(), 2190u);

    // Not identified: no identification section, and the file loads as not identified.
    DaxHelper unidentified;
    const Bytes bytes = unidentified.DataFileBytes();
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 20),
              (Bytes{'D', 'E', 'V', 'D', 'A', 'T', 0, 2, 4, 0, 2, 0, 0xE1, 0x01, 3, 0, 2, 0, 0x54, 0x02}));
    EXPECT_EQ(bytes.size(), 8u + 12 + 962 + 1192);
    helper_.LoadDataFileBytes(bytes);
    EXPECT_FALSE(helper_.Identified());
    EXPECT_EQ(helper_.Model(), -1);
    EXPECT_EQ(helper_.ModelText(), "");
}

TEST_F(DaxHelperFiles, EveryTruncationFailsAndChangesNothing)
{
    DaxHelper source;
    FillState(source, 7);
    const Bytes file = source.DataFileBytes();
    FillState(helper_, 50);
    const Snapshot before = Take(helper_);
    for (size_t length = 0; length < file.size(); ++length) {
        const std::string text =
            FailureText([&] { helper_.LoadDataFileBytes(std::span<const uint8_t>(file.data(), length)); });
        ASSERT_EQ(text, length < 8 ? kHeader : kDataLength) << length;
    }
    Bytes longer = file;
    longer.push_back(0);
    EXPECT_EQ(FailureText([&] { helper_.LoadDataFileBytes(longer); }), kDataLength);
    EXPECT_EQ(Take(helper_), before);
    EXPECT_TRUE(printed_.Lines().empty());
}

struct BadFileCase {
    const char* name;
    Bytes file;
    const char* text;
};

TEST_F(DaxHelperFiles, BadFilesFailWithTheirTextAndChangeNothing)
{
    const Bytes input = Pattern(962, 3), holding = Pattern(1192, 4);
    const Section inputSection{4, 2, 481, input}, holdingSection{3, 2, 596, holding};
    const auto id = [](const char* model, std::array<uint8_t, 4> v) {
        Bytes b(model, model + 6);
        b.insert(b.end(), v.begin(), v.end());
        return Section{0, 10, 1, b};
    };
    Bytes badDirectory = DataFile({inputSection, holdingSection});
    badDirectory[10] = 3; // the input image entry claims 3-byte records
    const BadFileCase cases[] = {
        {"empty", {}, kHeader},
        {"wrong magic", DataFile({inputSection}, "DEVDAX"), kHeader},
        {"lower-case magic", DataFile({inputSection}, "devdat"), kHeader},
        {"configuration file", DataFile({inputSection}, "DEVCFG"), kHeader},
        {"version 1", DataFile({inputSection}, "DEVDAT", 1), kFileVersion},
        {"version 255", DataFile({inputSection}, "DEVDAT", 255), kFileVersion},
        {"directory cut", Bytes{'D', 'E', 'V', 'D', 'A', 'T', 0, 2, 4, 0, 2, 0, 0xE1, 0x01}, kDataLength},
        {"entry size wrong", badDirectory, kDataLength},
        {"count one more", [&] {
             Bytes f = DataFile({inputSection});
             f[12] = 0xE2;
             return f;
         }(),
         kDataLength},
        {"identification of 5x2", DataFile({{0, 5, 2, Bytes(10, 'A')}}), "Неизвестный формат идентификационных параметров"},
        {"identification of 11", DataFile({{0, 11, 1, Bytes(11, 'A')}}), "Неизвестный формат идентификационных параметров"},
        {"unknown model", DataFile({id("DAX-03", {1, 0, 1, 0}), inputSection}), "Неизвестная модификация прибора"},
        {"firmware 2.0", DataFile({id("DAX-01", {1, 0, 2, 0})}), "Неизвестная версия прибора"},
        {"repeated image", DataFile({inputSection, holdingSection, inputSection}), "Повторяющийся раздел в файле"},
        {"repeated journal", DataFile({{33, 16, 1, Bytes(16, 1)}, {33, 16, 1, Bytes(16, 2)}}),
         "Повторяющийся раздел в файле"},
        {"repeated identification", DataFile({id("DAX-01", {1, 0, 1, 0}), id("DAX-02", {1, 0, 1, 0})}),
         "Повторяющийся раздел в файле"},
        // Section sizes whose sum wraps to the real length in 32 bits.
        {"sizes wrapping 32 bits", DataFile({{99, 0xFFFF, 0xFFFF, {}}, {98, 0xFFFF, 2, {}}, {97, 1, 12, Bytes(11, 0)}}),
         kDataLength},
    };
    FillState(helper_);
    const Snapshot before = Take(helper_);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FailureText([&] { helper_.LoadDataFileBytes(c.file); }), c.text);
        EXPECT_EQ(Take(helper_), before);
    }
    EXPECT_TRUE(printed_.Lines().empty());
}

struct WarningCase {
    const char* name;
    std::vector<Section> sections;
    std::vector<std::string> warnings;
    std::function<void(DaxHelper&)> check;
};

TEST_F(DaxHelperFiles, SoundFilesWithWarningsLoad)
{
    const Bytes input = Pattern(1000, 5);
    const WarningCase cases[] = {
        {"input image of 960 bytes", {{4, 2, 480, Bytes(input.begin(), input.begin() + 960)}},
         {"Не полные данные текущих параметров"},
         [&](DaxHelper& h) {
             DaxHelperLocker lock(&h);
             EXPECT_TRUE(std::equal(input.begin(), input.begin() + 960, h.InputRegisterImage.begin()));
             EXPECT_EQ(h.InputRegisterImage[960], 0);
             EXPECT_EQ(h.InputRegisterImage[961], 0);
         }},
        {"input image of 1000 bytes", {{4, 2, 500, input}}, {}, [&](DaxHelper& h) {
             DaxHelperLocker lock(&h);
             EXPECT_TRUE(std::equal(input.begin(), input.begin() + 962, h.InputRegisterImage.begin()));
         }},
        {"setup image of 2 bytes", {{3, 1, 2, {7, 8}}}, {"Не полные данные настроечных параметров"}, [](DaxHelper& h) {
             DaxHelperLocker lock(&h);
             EXPECT_EQ(h.HoldingRegisterImage[0], 7);
             EXPECT_EQ(h.HoldingRegisterImage[2], 0);
         }},
        {"hour records of 128 bytes", {{16, 128, 2, Bytes(256, 1)}}, {"Неправильная длина страницы часового архива"},
         [](DaxHelper& h) {
             DaxHelperLocker lock(&h);
             EXPECT_TRUE(h.HourArchive.empty());
         }},
        {"operator records of 32 bytes", {{33, 32, 1, Bytes(32, 1)}, {32, 16, 1, Bytes(16, 9)}},
         {"Неправильная длина страницы журнала оператора"},
         [](DaxHelper& h) {
             DaxHelperLocker lock(&h);
             EXPECT_TRUE(h.OperatorJournal.empty());
             ASSERT_EQ(h.NotStaffJournal.size(), 1u);
             EXPECT_EQ(h.NotStaffJournal[0].bytes[15], 9);
         }},
        {"unknown section type 7", {{7, 3, 3, Bytes(9, 1)}, {32, 16, 1, Bytes(16, 9)}},
         {"Пропущен раздел неизвестного типа 7 (9 байт)"},
         [](DaxHelper& h) {
             EXPECT_FALSE(h.Identified());
             DaxHelperLocker lock(&h);
             EXPECT_EQ(h.NotStaffJournal.size(), 1u);
         }},
        // An hour archive whose section type was damaged: its records are not lost without a word.
        {"hour archive under type 272", {{272, 256, 2, Bytes(512, 3)}},
         {"Пропущен раздел неизвестного типа 272 (512 байт)"},
         [](DaxHelper& h) {
             DaxHelperLocker lock(&h);
             EXPECT_TRUE(h.HourArchive.empty());
         }},
        {"firmware 1.4", {{0, 10, 1, {'D', 'A', 'X', '-', '0', '2', 1, 0, 1, 4}}}, {"Неизвестная версия прибора"},
         [](DaxHelper& h) {
             EXPECT_TRUE(h.Identified());
             EXPECT_EQ(h.Model(), 1);
             EXPECT_EQ(h.FirmwareVersionText(), "1.4");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FillState(helper_);
        printed_.Clear();
        helper_.LoadDataFileBytes(DataFile(c.sections));
        EXPECT_EQ(PrintedTexts(), c.warnings);
        for (const auto& line : printed_.Lines())
            EXPECT_EQ(line.target, nullptr);
        c.check(helper_);
    }
}

TEST_F(DaxHelperFiles, LoadReplacesTheWholeStateButNotTheReadLists)
{
    FillState(helper_);
    helper_.OperatorJournalList.push_back({});
    helper_.LoadDataFileBytes(DataFile({{32, 16, 1, Bytes(16, 4)}}));
    const Snapshot after = Take(helper_);
    EXPECT_FALSE(after.identified);
    EXPECT_EQ(after.input, Bytes(962, 0));
    EXPECT_EQ(after.records[6].size(), 0u);
    EXPECT_EQ(after.records[5].size(), 1u);
    EXPECT_EQ(helper_.OperatorJournalList.size(), 1u);
}

TEST_F(DaxHelperFiles, AFailedSaveLeavesThePreviousFile)
{
    FillState(helper_);
    const std::string path = TempPath("kept.daxdat");
    helper_.SaveDataFile(path);
    const Bytes previous = ReadFile(path);
    {
        DaxHelperLocker lock(&helper_);
        helper_.NotStaffJournal.resize(65536);
    }
    EXPECT_EQ(FailureText([&] { helper_.SaveDataFile(path); }), "Слишком много записей для сохранения в файле");
    EXPECT_EQ(ReadFile(path), previous);

    // A target that cannot be replaced: the system's reason, and no temporary file left over.
    const std::string folder = TempPath("folder.daxdat");
    std::filesystem::create_directory(folder);
    EXPECT_EQ(MessageOf([&] { DaxHelper().SaveDataFile(folder); }), win_error(EISDIR).Message());
    EXPECT_EQ(MessageOf([&] { DaxHelper().SaveDataFile(TempPath("missing/x.daxdat")); }), win_error(ENOENT).Message());
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(TempPath("")))
        ++files;
    EXPECT_EQ(files, 2u); // kept.daxdat and the folder
    EXPECT_EQ(MessageOf([&] { helper_.LoadDataFile(folder); }), win_error(EISDIR).Message());
    EXPECT_EQ(MessageOf([&] { helper_.LoadDataFile(TempPath("none.daxdat")); }), win_error(ENOENT).Message());
}

TEST_F(DaxHelperFiles, WhatIsNotAFileIsRefusedWithoutHangingAndChangesNothing)
{
    FillState(helper_);
    const Snapshot before = Take(helper_);
    const std::string fifo = TempPath("pipe.daxdat");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(MessageOf([&] { helper_.LoadDataFile(fifo); }), "Файл не является обычным файлом");
    EXPECT_EQ(MessageOf([&] { helper_.LoadDataFile("/dev/zero"); }), "Файл не является обычным файлом");
    EXPECT_EQ(MessageOf([&] { helper_.LoadDataFile(TempPath("")); }), win_error(EISDIR).Message());
    EXPECT_EQ(Take(helper_), before);
}

TEST_F(DaxHelperFiles, APrivateDataFileStaysPrivate)
{
    FillState(helper_);
    const std::string path = TempPath("private.daxdat");
    helper_.SaveDataFile(path);
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    helper_.SaveDataFile(path);
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_EQ(ReadFile(path), helper_.DataFileBytes());
}

TEST_F(DaxHelperFiles, ProposedFileName)
{
    std::tm time{};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 11;
    time.tm_mday = 8;
    time.tm_hour = 19;
    time.tm_min = 30;
    time.tm_sec = 5;
    EXPECT_EQ(helper_.DataFileName(time), "DAX-00_00000_261208_193005.daxdat");
    chanel_.Queue(ScriptedReply::Answer(IdentificationAnswer("DAX-01", {1, 0, 1, 0})));
    ASSERT_TRUE(helper_.Identify(nullptr, 1));
    {
        DaxHelperLocker lock(&helper_);
        const size_t at = 2 * (40037 - 40001);
        helper_.HoldingRegisterImage[at + 2] = 0x04;
        helper_.HoldingRegisterImage[at + 3] = 0xD2;
    }
    EXPECT_EQ(helper_.DataFileName(time), "DAX-01_01234_261208_193005.daxdat");
    {
        DaxHelperLocker lock(&helper_);
        const size_t at = 2 * (40037 - 40001);
        helper_.HoldingRegisterImage[at] = 0xFF; // 0xFF0004D2, more than five digits
    }
    EXPECT_EQ(helper_.DataFileName(time), "DAX-01_4278191314_261208_193005.daxdat");
    const std::string now = helper_.DataFileName();
    EXPECT_EQ(now.rfind("DAX-01_4278191314_", 0), 0u);
    EXPECT_EQ(now.size(), std::string("DAX-01_4278191314_261208_193005.daxdat").size());
}

// ---------------------------------------------------------------- configuration file

TEST(ConfigGroupBlockTest, Table)
{
    const struct {
        uint32_t group;
        int32_t index;
        int32_t blocks, first, count;
    } cases[] = {{0, 0, 1, 40179, 16},   {0, 9, 1, 40179, 16},  {1, 0, 2, 40079, 10},  {1, 1, 2, 40126, 3},
                 {1, 7, 2, 40126, 3},    {1, -1, 2, 40126, 3},  {16, 0, 3, 40461, 24}, {16, 1, 3, 40485, 32},
                 {16, 5, 3, 40517, 64},  {6, 0, 1, 40222, 78},  {19, 0, 1, 40011, 4},  {18, 0, 1, 40015, 6},
                 {9, 0, 1, 40336, 12},   {20, 0, 0, -7, -7},    {0xFFFFFFFF, 0, 0, -7, -7}};
    for (const auto& c : cases) {
        int32_t first = -7, count = -7;
        EXPECT_EQ(DaxHelper::ConfigGroupBlock(c.group, c.index, first, count), c.blocks) << c.group;
        EXPECT_EQ(first, c.first) << c.group;
        EXPECT_EQ(count, c.count) << c.group;
    }
    // Every block lies in the setup image and fits one write frame.
    for (uint32_t g = 0; g < 20; ++g) {
        int32_t first = 0, count = 0;
        const int32_t n = DaxHelper::ConfigGroupBlock(g, 0, first, count);
        for (int32_t i = 0; i < n; ++i) {
            DaxHelper::ConfigGroupBlock(g, i, first, count);
            EXPECT_GE(first, 40001);
            EXPECT_LE(first + count - 1, 40596);
            EXPECT_LE(count, 123);
        }
    }
}

class DaxHelperConfigFile : public testsupport::DaxHelperFixture {
protected:
    void SetUp() override
    {
        DaxHelperFixture::SetUp();
        DaxHelperLocker lock(&helper_);
        const Bytes holding = Pattern(1192, 77);
        std::copy(holding.begin(), holding.end(), helper_.HoldingRegisterImage.begin());
    }

    // The frame of a block built by hand: address 0, 0x10, register address, count, byte
    // count, the values as held, CRC.
    Bytes Frame(int32_t first, int32_t count)
    {
        const uint16_t address = static_cast<uint16_t>(first - 40001);
        Bytes body = {0x00, 0x10, static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address & 0xFF), 0x00,
                      static_cast<uint8_t>(count), static_cast<uint8_t>(2 * count)};
        DaxHelperLocker lock(&helper_);
        const size_t at = 2 * size_t(first - 40001);
        body.insert(body.end(), helper_.HoldingRegisterImage.begin() + at,
                    helper_.HoldingRegisterImage.begin() + at + 2 * count);
        return WithCrc(body);
    }
};

TEST_F(DaxHelperConfigFile, DefaultChoice)
{
    const Bytes file = helper_.ConfigFileBytes(DaxWriteAllDataSetup{});
    const struct {
        uint16_t group;
        int32_t first, count;
        size_t frameLength;
    } blocks[] = {{19, 40011, 4, 17},  {18, 40015, 6, 21},  {0, 40179, 16, 41},  {1, 40079, 10, 29},
                  {1, 40126, 3, 15},   {2, 40097, 21, 51},  {3, 40129, 10, 29},  {4, 40147, 21, 51},
                  {5, 40203, 11, 31},  {6, 40222, 78, 165}, {7, 40300, 4, 17},   {8, 40304, 32, 73},
                  {9, 40336, 12, 33},  {10, 40356, 6, 21},  {11, 40365, 4, 17},  {12, 40369, 4, 17},  {13, 40385, 10, 29},
                  {14, 40399, 4, 17},  {15, 40407, 50, 109}, {16, 40461, 24, 57}, {16, 40485, 32, 73},
                  {16, 40517, 64, 137}, {17, 40581, 16, 41}};
    Bytes expected = {'D', 'E', 'V', 'C', 'F', 'G', 0, 23};
    Bytes frames;
    for (const auto& b : blocks) {
        Le(expected, b.group);
        Le(expected, static_cast<uint16_t>(b.frameLength));
        Le(expected, 1);
        const Bytes frame = Frame(b.first, b.count);
        EXPECT_EQ(frame.size(), b.frameLength);
        frames.insert(frames.end(), frame.begin(), frame.end());
    }
    EXPECT_EQ(file, Concat({expected, frames}));
}

TEST_F(DaxHelperConfigFile, FramesAreThoseWriteAllSends)
{
    chanel_.SetAddress(0);
    chanel_.SetResponder([](const Bytes& request) {
        return ScriptedReply::Answer(WithCrc(Bytes(request.begin(), request.begin() + 6)));
    });
    const DaxWriteAllDataSetup setup;
    Bytes sent;
    size_t blocks = 0;
    for (const uint32_t g : setup.Order) {
        int32_t first = 0, count = 0;
        for (int32_t i = 0, n = 1; i < n; ++i) {
            n = DaxHelper::ConfigGroupBlock(g, i, first, count);
            if (n == 0)
                break;
            ASSERT_TRUE(helper_.WriteRegisters(first, count, nullptr, 3));
            const Bytes request = chanel_.Transactions().back().request;
            sent.insert(sent.end(), request.begin(), request.end());
            ++blocks;
        }
    }
    const Bytes file = helper_.ConfigFileBytes(setup);
    const size_t framesAt = 8 + 6 * blocks;
    EXPECT_EQ(Bytes(file.begin() + framesAt, file.end()), sent);
}

TEST_F(DaxHelperConfigFile, ChosenGroups)
{
    const auto choice = [](std::vector<uint32_t> order, uint32_t mask) {
        DaxWriteAllDataSetup setup;
        setup.Order = std::move(order);
        setup.Mask = mask;
        return setup;
    };
    EXPECT_EQ(helper_.ConfigFileBytes(choice({9}, 1u << 9)),
              Concat({{'D', 'E', 'V', 'C', 'F', 'G', 0, 1, 9, 0, 33, 0, 1, 0}, Frame(40336, 12)}));
    EXPECT_EQ(helper_.ConfigFileBytes(choice({9}, 0)), (Bytes{'D', 'E', 'V', 'C', 'F', 'G', 0, 0}));
    EXPECT_EQ(helper_.ConfigFileBytes(choice({}, 0xFFFFF)).size(), 8u);

    const Bytes only19 = helper_.ConfigFileBytes(choice({19}, 1u << 19));
    ASSERT_EQ(only19.size(), 31u);
    EXPECT_EQ(Bytes(only19.begin(), only19.begin() + 21),
              (Bytes{'D', 'E', 'V', 'C', 'F', 'G', 0, 1, 19, 0, 17, 0, 1, 0, 0x00, 0x10, 0x00, 0x0A, 0x00, 0x04, 0x08}));
    EXPECT_EQ(Bytes(only19.begin() + 14, only19.end()), Frame(40011, 4));

    // Groups beyond the table and unticked groups are passed over, also when repeated.
    EXPECT_EQ(helper_.ConfigFileBytes(choice({25, 3, 4, 4, 40}, 1u << 3)),
              Concat({{'D', 'E', 'V', 'C', 'F', 'G', 0, 1, 3, 0, 29, 0, 1, 0}, Frame(40129, 10)}));
    // A group chosen twice is taken once, in its first position, as write-all writes it.
    EXPECT_EQ(helper_.ConfigFileBytes(choice({3, 5, 3}, 0xFFFFF)), helper_.ConfigFileBytes(choice({3, 5}, 0xFFFFF)));
    EXPECT_EQ(choice({3, 5, 3, 40, 5, 9}, 0xFFFFF).ChosenGroups(), (std::vector<uint32_t>{3, 5, 9}));
}

TEST(ConfigGroupName, TheTwentyNamesOfTheDialogs)
{
    const char* const names[] = {
        "Общие параметры",   "Конфигурация ТС1",  "Реакции ТС1",       "Конфигурация ТС2",      "Реакции ТС2",
        "Конфигурация ХВС",  "Каналы V",          "Фильтр расхода",    "Каналы t,P",            "Входы/Выход",
        "Интерфейсы.ЖКИ",    "Интерфейсы.Порт 1", "Интерфейсы.Порт 2", "Интерфейсы.SMS",        "Входящий звонок",
        "Интернет (GPRS)",   "Конфигурация сигналов", "Конфигурация событий", "Установка пароля", "Ввод пароля",
    };
    for (uint32_t g = 0; g < 20; ++g)
        EXPECT_STREQ(DaxHelper::ConfigGroupName(g), names[g]) << g;
    EXPECT_STREQ(DaxHelper::ConfigGroupName(20), "");
}

TEST_F(DaxHelperConfigFile, EveryGroupAloneIsByteStable)
{
    for (uint32_t g = 0; g < 20; ++g) {
        SCOPED_TRACE(g);
        DaxWriteAllDataSetup setup;
        setup.Order = {g};
        setup.Mask = 1u << g;
        const Bytes file = helper_.ConfigFileBytes(setup);
        EXPECT_EQ(helper_.ConfigFileBytes(setup), file);
        Bytes expected = {'D', 'E', 'V', 'C', 'F', 'G', 0, 0};
        Bytes frames;
        int32_t first = 0, count = 0;
        const int32_t n = DaxHelper::ConfigGroupBlock(g, 0, first, count);
        for (int32_t i = 0; i < n; ++i) {
            DaxHelper::ConfigGroupBlock(g, i, first, count);
            Le(expected, static_cast<uint16_t>(g));
            Le(expected, static_cast<uint16_t>(2 * count + 9));
            Le(expected, 1);
            frames = Concat({frames, Frame(first, count)});
        }
        expected[7] = static_cast<uint8_t>(n);
        EXPECT_EQ(file, Concat({expected, frames}));
    }
}

TEST_F(DaxHelperConfigFile, SaveWritesTheFileAndReportsFailures)
{
    const std::string path = TempPath("SETUP1.zivaze");
    helper_.SaveConfigFile(path, DaxWriteAllDataSetup{});
    EXPECT_EQ(ReadFile(path), helper_.ConfigFileBytes(DaxWriteAllDataSetup{}));
    EXPECT_EQ(MessageOf([&] { helper_.SaveConfigFile(TempPath("no/SETUP1.zivaze"), {}); }), win_error(ENOENT).Message());
}

} // namespace
