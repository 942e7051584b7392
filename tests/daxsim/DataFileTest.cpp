// The simulated instrument's state to and from the configurator's data file.
#include "DataFile.h"
#include "Instrument.h"

#include "platform/Exceptions.h"
#include "platform/Files.h"

#include "Failures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

using Bytes = std::vector<uint8_t>;
using namespace daxsim;

std::string TempPath(const std::string& name)
{
    const char* home = std::getenv("DAXCONFIG_HOME");
    return std::string(home ? home : "/tmp") + "/" + name;
}

void ExpectSameState(const InstrumentState& actual, const InstrumentState& expected)
{
    EXPECT_EQ(actual.ModelText, expected.ModelText);
    EXPECT_EQ(actual.Version, expected.Version);
    EXPECT_EQ(actual.InputImage, expected.InputImage);
    EXPECT_EQ(actual.HoldingImage, expected.HoldingImage);
    for (int type = 0; type < kRecordTypeCount; ++type) {
        SCOPED_TRACE(type);
        EXPECT_EQ(actual.Rings[type].Highest, expected.Rings[type].Highest);
        EXPECT_EQ(actual.Rings[type].First, expected.Rings[type].First);
        EXPECT_EQ(actual.Rings[type].Next, expected.Rings[type].Next);
        EXPECT_EQ(actual.Rings[type].Slots, expected.Rings[type].Slots);
    }
}

Bytes FixtureFile(Model model)
{
    Instrument instrument(FixtureState(model), 1);
    return DataFileBytesOfInstrument(instrument);
}

TEST(SimDataFile, FixtureSurvivesTheRoundTripUnchanged)
{
    for (const Model model : {Model::Dax01, Model::Dax02}) {
        SCOPED_TRACE(model == Model::Dax01 ? "DAX-01" : "DAX-02");
        const Bytes file = FixtureFile(model);
        // Identification, both images, all seven record sections.
        EXPECT_EQ(file[7], 10);
        EXPECT_EQ(file.size(), 8u + 6 * 10 + 10 + 962 + 1192 + 256 * (7 + 5 + 4 + 3 + 2) + 16 * (40 + 22));
        const InstrumentState loaded = StateFromDataFileBytes(file);
        ExpectSameState(loaded, FixtureState(model));
        Instrument again(loaded, 1);
        EXPECT_EQ(DataFileBytesOfInstrument(again), file);
    }
}

TEST(SimDataFile, SavesAtomicallyAndLoadsFromDisk)
{
    const std::string path = TempPath("sim.daxdat");
    Instrument instrument(FixtureState(Model::Dax02), 1);
    SaveInstrumentDataFile(instrument, path);
    Bytes saved;
    ASSERT_TRUE(platform::ReadFileBytes(path, dax_namespace::kMaxDataFileSize, saved));
    EXPECT_EQ(saved, DataFileBytesOfInstrument(instrument));
    ExpectSameState(LoadStateFromDataFile(path), FixtureState(Model::Dax02));

    // A save into a folder that does not exist fails with the system's reason.
    EXPECT_THROW(SaveInstrumentDataFile(instrument, TempPath("no-such-folder/sim.daxdat")), platform::Exception);
    EXPECT_THROW(LoadStateFromDataFile(TempPath("no-such-file.daxdat")), platform::Exception);
}

TEST(SimDataFile, RingKeepsThePointersOnlyWhenTheyCountTheRecords)
{
    // The day ring of the fixture holds 5 records at positions 0..4 of 0..31.
    const struct {
        const char* name;
        uint16_t highest, first, next;     // pointers stored in the file
        uint16_t wantHighest, wantFirst, wantNext;
    } cases[] = {
        {"as read", 31, 0, 5, 31, 0, 5},
        {"wrapped, 5 records", 9, 7, 2, 9, 7, 2},
        {"first beyond the ring", 4, 5, 0, 5, 0, 5},
        {"next beyond the ring", 31, 0, 40, 5, 0, 5},
        {"one record short", 31, 0, 4, 5, 0, 5},
        {"nothing said", 0, 0, 0, 5, 0, 5},
    };
    DaxHelper helper;
    helper.SetLogCallback([](const std::string&, TInteractContainer*) {});
    helper.LoadDataFileBytes(FixtureFile(Model::Dax01));
    const std::vector<Bytes> records = RingRecords(FixtureState(Model::Dax01).Rings[1]);
    ASSERT_EQ(records.size(), 5u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        {
            DaxHelperLocker locker(&helper);
            const uint16_t values[] = {c.highest, c.first, c.next};
            for (size_t i = 0; i < 3; ++i) {
                const size_t at = 2 * (30032 - 30001 + i);
                helper.InputRegisterImage[at] = static_cast<uint8_t>(values[i] >> 8);
                helper.InputRegisterImage[at + 1] = static_cast<uint8_t>(values[i] & 0xFF);
            }
        }
        const InstrumentState state = StateFromDataFileBytes(helper.DataFileBytes());
        const RecordRing& ring = state.Rings[1];
        EXPECT_EQ(ring.Highest, c.wantHighest);
        EXPECT_EQ(ring.First, c.wantFirst);
        EXPECT_EQ(ring.Next, c.wantNext);
        EXPECT_EQ(RingRecords(ring), records);
        EXPECT_TRUE(state.IsValid());
        // The served pointers are the ring's.
        EXPECT_EQ(state.Register(30032), c.wantHighest);
        EXPECT_EQ(state.Register(30033), c.wantFirst);
        EXPECT_EQ(state.Register(30034), c.wantNext);
        // Positions without a record hold empty records.
        for (size_t p = 0; p < ring.Slots.size(); ++p)
            if (std::find(records.begin(), records.end(), ring.Slots[p]) == records.end()) {
                EXPECT_EQ(ring.Slots[p], Bytes(256, 0xFF)) << p;
            }
    }
}

TEST(SimDataFile, BadFilesFailWithTheLoadersTexts)
{
    const Bytes good = FixtureFile(Model::Dax01);
    Bytes badHeader = good;
    badHeader[0] = 'X';
    Bytes longer = good;
    longer.push_back(0);
    DaxHelper unidentified;
    const struct {
        const char* name;
        Bytes file;
        std::string text;
    } cases[] = {
        {"empty", {}, "Неправильный заголовок файла"},
        {"bad header", badHeader, "Неправильный заголовок файла"},
        {"truncated", Bytes(good.begin(), good.end() - 1), "Неверная длина данных в файле"},
        {"one byte too long", longer, "Неверная длина данных в файле"},
        {"no identification", unidentified.DataFileBytes(), "the data file holds no identification of the instrument"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(testsupport::MessageOf([&] { StateFromDataFileBytes(c.file); }), c.text);
    }
}

TEST(SimDataFile, LoaderWarningsReachTheCaller)
{
    // The current-parameter section one register short: loaded with a warning, the last
    // register zero.
    Bytes file = FixtureFile(Model::Dax01);
    const size_t entries = file[7];
    size_t offset = 8 + 6 * entries;
    for (size_t e = 0; e < entries; ++e) {
        const size_t at = 8 + 6 * e;
        const uint16_t type = static_cast<uint16_t>(file[at] | (file[at + 1] << 8));
        const size_t size = size_t(file[at + 2] | (file[at + 3] << 8)) * (file[at + 4] | (file[at + 5] << 8));
        if (type == 4) {
            ASSERT_EQ(size, 962u);
            file[at + 4] = 480 & 0xFF;
            file[at + 5] = 480 >> 8;
            file.erase(file.begin() + static_cast<ptrdiff_t>(offset + 960), file.begin() + static_cast<ptrdiff_t>(offset + 962));
            break;
        }
        offset += size;
    }
    std::vector<std::string> warnings;
    const InstrumentState state = StateFromDataFileBytes(file, &warnings);
    EXPECT_EQ(warnings, std::vector<std::string>{"Не полные данные текущих параметров"});
    EXPECT_EQ(state.Register(30481), 0);
    EXPECT_EQ(state.Register(30480), FixtureState(Model::Dax01).Register(30480));
}

} // namespace
