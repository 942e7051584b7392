// The display options as the registry keeps them: each value on its own, with its fallback.
#include "presentation/DisplayOptions.h"

#include "platform/RegistryStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace {

const char* const kKey = DisplayOptions::kRegistryKey;

struct StoredCase {
    const char* name;
    std::function<void(platform::RegistryStore&)> store;
    DisplayOptions expected;
};

void PrintTo(const StoredCase& c, std::ostream* out)
{
    *out << c.name;
}

class DisplayOptionsLoad : public testing::TestWithParam<StoredCase> {};

TEST_P(DisplayOptionsLoad, EachValueFallsBackOnItsOwn)
{
    auto store = platform::RegistryStore::CurrentUser();
    GetParam().store(store);
    // Whatever was in the record before, Load sets every field.
    DisplayOptions options{true, true, 9, 9, 9};
    options.Load(store);
    const DisplayOptions& expected = GetParam().expected;
    EXPECT_EQ(options.AccuracyCounters, expected.AccuracyCounters);
    EXPECT_EQ(options.ShowNotStaffQT, expected.ShowNotStaffQT);
    EXPECT_EQ(options.CommaSeparator, expected.CommaSeparator);
    EXPECT_EQ(options.TimeFormat, expected.TimeFormat);
    EXPECT_EQ(options.BitsFormat, expected.BitsFormat);
    EXPECT_TRUE(store.KeyExists(kKey));
}

void StoreAll(platform::RegistryStore& store, int32_t accuracy, int32_t show, int32_t comma, int32_t time, int32_t bits)
{
    store.WriteInteger(kKey, "AccuracyCounters", accuracy);
    store.WriteInteger(kKey, "ShowNotStaffQT", show);
    store.WriteInteger(kKey, "CommaSeparator", comma);
    store.WriteInteger(kKey, "TimeFormat", time);
    store.WriteInteger(kKey, "BitsFormat", bits);
}

INSTANTIATE_TEST_SUITE_P(
    Registry, DisplayOptionsLoad,
    testing::Values(
        StoredCase{"nothing stored", [](platform::RegistryStore&) {}, {false, false, 0, 0, 0}},
        StoredCase{"all stored", [](platform::RegistryStore& s) { StoreAll(s, 1, 1, 2, 1, 1); }, {true, true, 2, 1, 1}},
        StoredCase{"a string under TimeFormat",
                   [](platform::RegistryStore& s) {
                       StoreAll(s, 1, 1, 1, 1, 1);
                       s.WriteString(kKey, "TimeFormat", "1");
                   },
                   {true, true, 1, 0, 1}},
        StoredCase{"flags stored as 5 and 0", [](platform::RegistryStore& s) { StoreAll(s, 5, 0, 0, 0, 0); },
                   {true, false, 0, 0, 0}},
        StoredCase{"a separator outside the list is kept", [](platform::RegistryStore& s) { StoreAll(s, 0, 0, 7, 0, 0); },
                   {false, false, 7, 0, 0}}),
    [](const testing::TestParamInfo<StoredCase>& info) { return "Case" + std::to_string(info.index); });

TEST(DisplayOptions, SaveWritesFlagsAsOneOrZeroAndLoadReadsThemBack)
{
    auto store = platform::RegistryStore::CurrentUser();
    StoreAll(store, 5, 0, 0, 0, 0);
    DisplayOptions options;
    options.Load(store);
    options.BitsFormat = 1;
    options.Save(store);
    EXPECT_EQ(store.ReadInteger(kKey, "AccuracyCounters", -1), 1);
    EXPECT_EQ(store.ReadInteger(kKey, "ShowNotStaffQT", -1), 0);
    EXPECT_EQ(store.ReadInteger(kKey, "BitsFormat", -1), 1);

    DisplayOptions again;
    again.Load(store);
    EXPECT_TRUE(again.AccuracyCounters);
    EXPECT_EQ(again.BitsFormat, 1);
}

TEST(DisplayOptions, AStoreThatCannotBeWrittenLeavesTheRecordAsItWas)
{
    // The settings file would lie under a regular file: no key can be created there.
    const auto blocker = platform::RegistryStore::DefaultFile().parent_path() / "not-a-folder";
    std::filesystem::create_directories(blocker.parent_path());
    std::ofstream(blocker) << "x";
    platform::RegistryStore store(blocker / "registry.json");

    DisplayOptions options{true, false, 2, 1, 0};
    options.Load(store);
    EXPECT_TRUE(options.AccuracyCounters);
    EXPECT_EQ(options.CommaSeparator, 2);
    EXPECT_EQ(options.TimeFormat, 1);
    EXPECT_NO_THROW(options.Save(store));
    EXPECT_FALSE(std::filesystem::exists(blocker / "registry.json"));
}

} // namespace
