// DaxHelper over the real TCP channel against the simulated instrument: identification, both
// register images, every archive and journal ring page by page, data files that drive the
// simulator and come back byte for byte, and configuration frames written into it.
#include "DataFile.h"
#include "FakeTime.h"
#include "RecordBytes.h"
#include "Servers.h"
#include "Simulator.h"

#include "comm/Crc16.h"
#include "comm/TcpChanel.h"
#include "device/Daxhelper.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

using testsupport::RecordBytes;
using Bytes = std::vector<uint8_t>;

std::string TempPath(const std::string& name)
{
    const char* home = std::getenv("DAXCONFIG_HOME");
    return std::string(home ? home : "/tmp") + "/" + name;
}

Bytes ReadFile(const std::string& path)
{
    Bytes bytes;
    EXPECT_TRUE(platform::ReadFileBytes(path, dax_namespace::kMaxDataFileSize, bytes));
    return bytes;
}

uint16_t ImageRegister(const std::array<uint8_t, dax_namespace::kInputImageSize>& image, int32_t number)
{
    const size_t at = 2 * static_cast<size_t>(number - dax_namespace::kFirstInputRegister);
    return static_cast<uint16_t>((image[at] << 8) | image[at + 1]);
}

// Each type's vector named on its own, independently of the device core's own pairing.
std::vector<Bytes> Vector(const DaxHelper& helper, uint32_t type)
{
    switch (type) {
    case 0: return RecordBytes(helper.HourArchive);
    case 1: return RecordBytes(helper.DayArchive);
    case 2: return RecordBytes(helper.MonthArchive);
    case 3: return RecordBytes(helper.TotalDayArchive);
    case 4: return RecordBytes(helper.TotalMonthArchive);
    case 5: return RecordBytes(helper.NotStaffJournal);
    default: return RecordBytes(helper.OperatorJournal);
    }
}

// The instrument behind a loopback TCP port, reached by a DaxHelper through the TCP channel.
class Link {
public:
    explicit Link(daxsim::InstrumentState state, uint8_t address = 1)
        : simulator_(std::move(state), address), server_(simulator_, "127.0.0.1", 0)
    {
        server_.Start();
        chanel_.Params().TcpAddress = "127.0.0.1";
        chanel_.Params().TcpPort = server_.Port();
        chanel_.Params().TcpTimeout = 0;
        chanel_.Params().NetAddr = address;
        chanel_.Open(nullptr);
        helper_.SetChannel(&chanel_);
        helper_.SetPacer(&pacer_);
        helper_.SetLogCallback([](const std::string&, TInteractContainer*) {});
    }

    daxsim::Simulator& Simulator() { return simulator_; }
    TcpChanelHelper& Chanel() { return chanel_; }
    DaxHelper& Helper() { return helper_; }
    const testsupport::RecordingPacer& Pacer() const { return pacer_; }

    // Both images in requests of at most 127 registers from their first register.
    void ReadImages()
    {
        for (const auto& [first, count] : {std::pair{30001, 481}, std::pair{40001, 596}})
            for (int32_t done = 0; done < count; done += 127)
                ASSERT_TRUE(helper_.ReadRegisters(first + done, std::min(127, count - done), nullptr, 1));
    }

    // One ring page by page from First, as many records as its pointers in the input image
    // count; returns the number of pages.
    int ReadRing(uint32_t type)
    {
        uint16_t highest, first, next;
        {
            DaxHelperLocker locker(&helper_);
            const int32_t base = 30029 + 3 * static_cast<int32_t>(type);
            highest = ImageRegister(helper_.InputRegisterImage, base);
            first = ImageRegister(helper_.InputRegisterImage, base + 1);
            next = ImageRegister(helper_.InputRegisterImage, base + 2);
        }
        uint32_t remaining = next >= first ? uint32_t{next} - first : uint32_t{highest} - first + next + 1;
        uint16_t start = first;
        int pages = 0;
        while (remaining != 0) {
            uint8_t count = static_cast<uint8_t>(std::min<uint32_t>(remaining, 255));
            EXPECT_TRUE(helper_.ReadArchivePage(type, 0, start, count, nullptr, 1));
            if (count == 0)
                break;
            remaining -= count;
            ++pages;
        }
        return pages;
    }

    // What a read-all run gathers: identification, images, all seven rings.
    void ReadEverything()
    {
        helper_.ClearReadLists();
        ASSERT_TRUE(helper_.Identify(nullptr, 1));
        ReadImages();
        for (uint32_t type = 0; type < dax_namespace::kRecordTypeCount; ++type)
            ReadRing(type);
        helper_.CommitReadLists();
    }

private:
    daxsim::Simulator simulator_;
    daxsim::TcpServer server_;
    TcpChanelHelper chanel_{false};
    testsupport::RecordingPacer pacer_;
    DaxHelper helper_;
};

TEST(DaxHelperVsSimulator, IdentifiesEitherModel)
{
    const struct {
        daxsim::Model model;
        int32_t expected;
        const char* text;
    } cases[] = {{daxsim::Model::Dax01, 0, "Dax-01"}, {daxsim::Model::Dax02, 1, "Dax-02"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Link link(daxsim::FixtureState(c.model));
        EXPECT_TRUE(link.Helper().Identify(nullptr, 1));
        EXPECT_TRUE(link.Helper().Identified());
        EXPECT_EQ(link.Helper().Model(), c.expected);
        EXPECT_EQ(link.Helper().ModelText(), c.text);
        EXPECT_EQ(link.Helper().FirmwareVersionText(), "1.3");
        EXPECT_EQ(link.Helper().ModificationText(), "1.0");
    }
}

TEST(DaxHelperVsSimulator, ReadsBothImagesInBlocksOf127)
{
    Link link(daxsim::FixtureState(daxsim::Model::Dax01));
    link.ReadImages();
    const daxsim::InstrumentState state = link.Simulator().Device().State();
    DaxHelperLocker locker(&link.Helper());
    EXPECT_EQ(Bytes(link.Helper().InputRegisterImage.begin(), link.Helper().InputRegisterImage.end()),
              state.InputImage);
    EXPECT_EQ(Bytes(link.Helper().HoldingRegisterImage.begin(), link.Helper().HoldingRegisterImage.end()),
              state.HoldingImage);
    // 30001×127 ... 30382×100 and 40001×127 ... 40509×88.
    EXPECT_EQ(link.Simulator().RequestCount(), 9u);
}

TEST(DaxHelperVsSimulator, ReadsEveryRingPageByPage)
{
    const struct {
        uint32_t type;
        size_t records;
        int pages;
    } cases[] = {
        {0, 7, 7},  // hour archive, wrapped, with one record of a wrong check word
        {1, 5, 5}, {2, 4, 4}, {3, 3, 3}, {4, 2, 2},
        {5, 40, 3}, // 40 journal records: 16 + 16 + 8
        {6, 22, 2}, // operator journal, wrapped
    };
    Link link(daxsim::FixtureState(daxsim::Model::Dax02));
    link.ReadImages();
    link.Helper().ClearReadLists();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(link.ReadRing(c.type), c.pages);
    }
    link.Helper().CommitReadLists();
    const daxsim::InstrumentState state = link.Simulator().Device().State();
    DaxHelperLocker locker(&link.Helper());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const std::vector<Bytes> expected = daxsim::RingRecords(state.Rings[c.type]);
        EXPECT_EQ(expected.size(), c.records);
        EXPECT_EQ(Vector(link.Helper(), c.type), expected);
    }
    // The record with the wrong check word is taken like any other.
    const auto& bad = link.Helper().HourArchive.at(1).bytes;
    EXPECT_EQ(bad[0], daxsim::kFixtureBadHourRecord);
    EXPECT_NE(Crc16Ccitt(std::span<const uint8_t>(bad).first(254)), bad[254] | (bad[255] << 8));
}

TEST(DaxHelperVsSimulator, SavedDataFileDrivesTheSimulatorAndComesBackIdentically)
{
    const std::string first = TempPath("first.daxdat");
    const std::string second = TempPath("second.daxdat");
    for (const daxsim::Model model : {daxsim::Model::Dax01, daxsim::Model::Dax02}) {
        Link original(daxsim::FixtureState(model));
        original.ReadEverything();
        original.Helper().SaveDataFile(first);
        // The simulator's own reading gives the very file the configurator saved.
        EXPECT_EQ(daxsim::DataFileBytesOfInstrument(original.Simulator().Device()), ReadFile(first));

        Link loaded(daxsim::LoadStateFromDataFile(first));
        loaded.ReadEverything();
        loaded.Helper().SaveDataFile(second);
        EXPECT_EQ(ReadFile(second), ReadFile(first));
    }
}

TEST(DaxHelperVsSimulator, RingsWhosePointersDoNotFitTheirRecordsAreLaidOutAfresh)
{
    // A file whose hour-ring pointers say nothing and whose operator journal holds one record
    // more than its pointers count.
    Link original(daxsim::FixtureState(daxsim::Model::Dax01));
    original.ReadEverything();
    DaxHelper& edited = original.Helper();
    {
        DaxHelperLocker locker(&edited);
        std::fill_n(edited.InputRegisterImage.begin() + 2 * 28, 6, uint8_t{0}); // 30029..30031
        dax_namespace::JournalStruct extra;
        extra.bytes.fill(0x77);
        edited.OperatorJournal.push_back(extra);
    }
    const Bytes file = edited.DataFileBytes();

    Link loaded(daxsim::StateFromDataFileBytes(file));
    loaded.ReadEverything();
    DaxHelperLocker locker(&loaded.Helper());
    for (uint32_t type = 0; type < dax_namespace::kRecordTypeCount; ++type)
        EXPECT_EQ(Vector(loaded.Helper(), type), Vector(edited, type)) << type;
    // Only the pointers of the two rings changed: Highest = count, First = 0, Next = count.
    const auto& image = loaded.Helper().InputRegisterImage;
    const uint16_t expected[] = {7, 0, 7, 23, 0, 23};
    const int32_t numbers[] = {30029, 30030, 30031, 30047, 30048, 30049};
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(ImageRegister(image, numbers[i]), expected[i]) << numbers[i];
    for (int32_t r = 30001; r <= 30481; ++r)
        if ((r < 30029 || r > 30031) && r < 30047) {
            EXPECT_EQ(ImageRegister(image, r), ImageRegister(edited.InputRegisterImage, r)) << r;
        }
}

TEST(DaxHelperVsSimulator, ConfigurationFramesChangeTheHoldingRegisters)
{
    Link link(daxsim::FixtureState(daxsim::Model::Dax01));
    link.ReadImages();
    const Bytes before = link.Simulator().Device().State().HoldingImage;

    // New values in every register of the setup image; only the chosen groups' blocks may
    // reach the instrument: 19 (40011×4), 1 (40079×10, 40126×3), 9 (40336×12), 16 (40461×24,
    // 40485×32, 40517×64).
    {
        DaxHelperLocker locker(&link.Helper());
        for (size_t i = 0; i < dax_namespace::kHoldingImageSize; i += 2) {
            link.Helper().HoldingRegisterImage[i] = 0xC0;
            link.Helper().HoldingRegisterImage[i + 1] = static_cast<uint8_t>(i / 2);
        }
    }
    DaxWriteAllDataSetup setup;
    setup.Order = {19, 1, 9, 16};
    setup.Mask = 0xFFFFF;
    const Bytes file = link.Helper().ConfigFileBytes(setup);
    Bytes expected = before;
    const std::pair<int32_t, int32_t> blocks[] = {{40011, 4},  {40079, 10}, {40126, 3},
                                                  {40336, 12}, {40461, 24}, {40485, 32}, {40517, 64}};
    for (const auto& [first, count] : blocks)
        for (int32_t r = first; r < first + count; ++r) {
            const size_t at = 2 * static_cast<size_t>(r - 40001);
            expected[at] = 0xC0;
            expected[at + 1] = static_cast<uint8_t>(at / 2);
        }

    // The file as another tool replays it: the directory gives each frame's length.
    ASSERT_GE(file.size(), 8u);
    const size_t entries = file[7];
    ASSERT_EQ(entries, std::size(blocks));
    size_t offset = 8 + 6 * entries;
    link.Chanel().SetTimeouts(300, 50, nullptr);
    for (size_t e = 0; e < entries; ++e) {
        const size_t length = file[8 + 6 * e + 2] | (file[8 + 6 * e + 3] << 8);
        ASSERT_LE(offset + length, file.size());
        const std::span<const uint8_t> frame(&file[offset], length);
        offset += length;
        Bytes answer(8);
        ASSERT_EQ(link.Chanel().Transact(frame, answer, nullptr), 8) << e;
        // Device address 0, function 0x10, the first register and count echoed, a valid CRC.
        EXPECT_EQ(Bytes(answer.begin(), answer.begin() + 6), Bytes(frame.begin(), frame.begin() + 6)) << e;
        EXPECT_EQ(Crc16Modbus(std::span<const uint8_t>(answer).first(6)), answer[6] | (answer[7] << 8));
    }
    EXPECT_EQ(offset, file.size());
    EXPECT_EQ(link.Simulator().Device().State().HoldingImage, expected);
}

} // namespace
