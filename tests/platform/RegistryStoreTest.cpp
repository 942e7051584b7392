#include "platform/RegistryStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kKey = "\\Software\\Morvel\\DaxConfig\\TcpChanel";

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& text)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

TEST(RegistryStore, CurrentUserLivesUnderDaxconfigHome)
{
    EXPECT_EQ(platform::RegistryStore::DefaultFile(),
              std::filesystem::path(std::getenv("DAXCONFIG_HOME")) / "registry.json");
}

TEST(RegistryStore, ValuesRoundTripThroughTheFile)
{
    auto store = platform::RegistryStore::CurrentUser();
    ASSERT_TRUE(store.WriteString(kKey, "Address", "192.168.0.7"));
    ASSERT_TRUE(store.WriteInteger(kKey, "Port", 4001));
    ASSERT_TRUE(store.WriteInteger(kKey, "Negative", -2147483647 - 1));

    const platform::RegistryStore other(store.File());
    EXPECT_EQ(other.ReadString(kKey, "Address", "x"), "192.168.0.7");
    EXPECT_EQ(other.ReadInteger(kKey, "Port", 0), 4001);
    EXPECT_EQ(other.ReadInteger(kKey, "Negative", 0), -2147483647 - 1);
    // One key, however its backslashes are written.
    EXPECT_EQ(other.ReadInteger("Software\\Morvel\\DaxConfig\\TcpChanel\\", "Port", 0), 4001);
}

TEST(RegistryStore, ReadsCheckTheTypeAndFallBackToTheDefault)
{
    auto store = platform::RegistryStore::CurrentUser();
    WriteFile(store.File(), R"({"Software\\Morvel\\DaxConfig": {
        "Text": "1", "Number": 7, "TooBig": 4294967296, "Fraction": 1.5, "Flag": true, "List": [1] }})");
    const char* key = "\\Software\\Morvel\\DaxConfig";
    struct Case {
        const char* name;
        int32_t integer;
        const char* text;
    };
    const Case cases[] = {
        {"Text", -1, "1"},        // a string where an integer is expected gives the default
        {"Number", 7, "dflt"},    // an integer where a string is expected gives the default
        {"TooBig", -1, "dflt"},   // not a 32-bit integer
        {"Fraction", -1, "dflt"},
        {"Flag", -1, "dflt"},
        {"List", -1, "dflt"},
        {"Missing", -1, "dflt"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(store.ReadInteger(key, c.name, -1), c.integer) << c.name;
        EXPECT_EQ(store.ReadString(key, c.name, "dflt"), c.text) << c.name;
    }
    EXPECT_EQ(store.ReadInteger("\\Software\\Nobody", "Number", 5), 5);
}

TEST(RegistryStore, CreatesKeysAndDeletesValues)
{
    auto store = platform::RegistryStore::CurrentUser();
    EXPECT_FALSE(store.KeyExists(kKey));
    ASSERT_TRUE(store.CreateKey(kKey));
    EXPECT_TRUE(store.KeyExists(kKey));
    ASSERT_TRUE(store.WriteInteger(kKey, "Port", 1));
    EXPECT_TRUE(store.ValueExists(kKey, "Port"));
    ASSERT_TRUE(store.DeleteValue(kKey, "Port"));
    EXPECT_FALSE(store.ValueExists(kKey, "Port"));
}

TEST(RegistryStore, AWriteThatCannotBeMadeIsReportedAndChangesNothing)
{
    // No temporary file can be made under /proc, whoever runs the test.
    platform::RegistryStore store("/proc/daxconfig-test/registry.json");
    EXPECT_FALSE(store.WriteInteger(kKey, "Port", 5000));
    EXPECT_FALSE(store.CreateKey(kKey));
    EXPECT_EQ(store.ReadInteger(kKey, "Port", 7), 7);
}

TEST(RegistryStore, AWriteReplacesTheFileAndLeavesNoTemporaryBehind)
{
    auto store = platform::RegistryStore::CurrentUser();
    ASSERT_TRUE(store.WriteInteger(kKey, "Port", 1));
    struct stat before {};
    ASSERT_EQ(::stat(store.File().c_str(), &before), 0);
    ASSERT_TRUE(store.WriteInteger(kKey, "Port", 2));
    struct stat after {};
    ASSERT_EQ(::stat(store.File().c_str(), &after), 0);
    // A rename puts a new file in place; writing in place would keep the inode.
    EXPECT_NE(before.st_ino, after.st_ino);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(store.File().parent_path()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(RegistryStore, AnUnreadableFileGivesDefaultsAndIsKeptAsideOnTheNextWrite)
{
    auto store = platform::RegistryStore::CurrentUser();
    WriteFile(store.File(), "{ not json");
    EXPECT_EQ(store.ReadInteger(kKey, "Port", 4001), 4001);
    ASSERT_TRUE(store.WriteInteger(kKey, "Port", 5));
    EXPECT_EQ(store.ReadInteger(kKey, "Port", 0), 5);
    EXPECT_EQ(ReadFile(store.File().string() + ".corrupt"), "{ not json");
}

// Files that are not ours by their shape: read as defaults at once, kept aside on the next
// write. A file of 100,000 nested objects once stalled start-up (and crashed it).
TEST(RegistryStore, AFileNestedTooDeepOrTooLargeIsTreatedAsCorrupt)
{
    struct Case {
        const char* name;
        std::string text;
    };
    std::string nested;
    for (int i = 0; i < 100000; ++i)
        nested += "{\"a\":";
    nested += "1" + std::string(100000, '}');
    std::string arrays = "{\"k\":" + std::string(20, '[') + std::string(20, ']') + "}";
    std::string large = "{\"k\":{\"v\":\"" + std::string(size_t{2} << 20, 'x') + "\"}}";
    const Case cases[] = {
        {"100,000 nested objects", nested},
        {"arrays nested 20 deep", arrays},
        {"2 MB", large},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto store = platform::RegistryStore::CurrentUser();
        std::filesystem::remove(store.File().string() + ".corrupt");
        WriteFile(store.File(), c.text);
        EXPECT_EQ(store.ReadInteger(kKey, "Port", 4001), 4001);
        EXPECT_FALSE(store.KeyExists(kKey));
        ASSERT_TRUE(store.WriteInteger(kKey, "Port", 5));
        EXPECT_EQ(store.ReadInteger(kKey, "Port", 0), 5);
        EXPECT_EQ(ReadFile(store.File().string() + ".corrupt"), c.text);
    }
}

// The settings as the program writes them, a key path of a few levels, stay readable.
TEST(RegistryStore, TheProgramsOwnShapeIsWithinTheBounds)
{
    auto store = platform::RegistryStore::CurrentUser();
    WriteFile(store.File(), "{\"Software\\\\Morvel\\\\DaxConfig\\\\Options\":{\"CommaSeparator\":1}}");
    EXPECT_EQ(store.ReadInteger("\\Software\\Morvel\\DaxConfig\\Options", "CommaSeparator", 0), 1);
}

} // namespace

TEST(RegistryStore, ValueNamesOfAKeyAndTheSystemFile)
{
    auto store = platform::RegistryStore::CurrentUser();
    EXPECT_TRUE(store.ValueNames("\\Software\\Nowhere").empty());
    ASSERT_TRUE(store.WriteString("\\Software\\Zuvo Dideziz\\Connections", "Orders", "db=orders"));
    ASSERT_TRUE(store.WriteInteger("\\Software\\Zuvo Dideziz\\Connections", "Ages", 3));
    ASSERT_TRUE(store.CreateKey("\\Software\\Zuvo Dideziz\\Connections\\Below"));
    EXPECT_EQ(store.ValueNames("\\Software\\Zuvo Dideziz\\Connections"),
              (std::vector<std::string>{"Ages", "Orders"}));
    const std::filesystem::path system = store.File().parent_path() / "system" / "registry.json";
    WriteFile(system, R"({"Software\\Zuvo Dideziz\\Connections": {"Shared": "db=shared"}})");
    setenv("DAXCONFIG_SYSTEM_FILE", system.c_str(), 1);
    EXPECT_EQ(platform::RegistryStore::SystemFile(), system);
    EXPECT_EQ(platform::RegistryStore::LocalMachine().ValueNames("\\Software\\Zuvo Dideziz\\Connections"),
              std::vector<std::string>{"Shared"});
    unsetenv("DAXCONFIG_SYSTEM_FILE");
    EXPECT_EQ(platform::RegistryStore::SystemFile(), std::filesystem::path("/etc/xdg/daxconfig/registry.json"));
}
