// The settings dax-sim writes for the configurator: the TCP channel chosen and pointed at the
// simulator, read back as the configurator reads them, with the file's other settings kept.

#include "ConfiguratorSettings.h"

#include "comm/ChanelHelper.h"
#include "comm/TcpChanel.h"
#include "platform/Exceptions.h"
#include "platform/RegistryStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

TEST(ConfiguratorSettings, PointTheConfiguratorsTcpChannelAtTheSimulator)
{
    const std::filesystem::path home = std::getenv("DAXCONFIG_HOME");
    platform::RegistryStore store = platform::RegistryStore::CurrentUser();
    ASSERT_EQ(store.File(), home / "registry.json");
    // What an earlier run left: another channel chosen, a time-out and an address used before.
    store.WriteInteger(kChanelChoiceKey, kCurentChanelValue, static_cast<int32_t>(ChanelKind::Gprs));
    store.WriteInteger(kChanelChoiceKey, "AutoRequest", 0);
    store.WriteInteger(TTcpChanelParams::kRegistryKey, "TcpTimeout", 2500);
    store.WriteString(TTcpChanelParams::kRegistryKey, "IPAddressList", "10.0.0.5\r\n");

    daxsim::WriteConfiguratorSettings(home, "127.0.0.1", 40123, 7);

    const platform::RegistryStore after = platform::RegistryStore::CurrentUser();
    EXPECT_EQ(after.ReadInteger(kChanelChoiceKey, kCurentChanelValue, -1), static_cast<int32_t>(ChanelKind::Tcp));
    EXPECT_EQ(after.ReadInteger(kChanelChoiceKey, "AutoRequest", -1), 0);
    platform::RegistryStore reader = after;
    TTcpChanelParams params;
    params.Load(reader);
    EXPECT_EQ(params.TcpAddress, "127.0.0.1");
    EXPECT_EQ(params.TcpPort, 40123);
    EXPECT_EQ(params.NetAddr, 7);
    EXPECT_EQ(params.TcpTimeout, 2500);
    EXPECT_EQ(params.IPAddressList, (std::vector<std::string>{"127.0.0.1", "10.0.0.5"}));
}

TEST(ConfiguratorSettings, AMissingFolderIsMadeAndAnUnusableOneRefused)
{
    const std::filesystem::path home = std::getenv("DAXCONFIG_HOME");
    daxsim::WriteConfiguratorSettings(home / "demo" / "home", "127.0.0.1", 4001, 1);
    EXPECT_EQ(platform::RegistryStore(home / "demo" / "home" / "registry.json")
                  .ReadInteger(TTcpChanelParams::kRegistryKey, "TcpPort", -1),
              4001);

    std::ofstream(home / "plain-file") << "not a folder";
    try {
        daxsim::WriteConfiguratorSettings(home / "plain-file", "127.0.0.1", 4001, 1);
        FAIL() << "no exception";
    } catch (const platform::Exception& e) {
        EXPECT_EQ(std::string(e.what()).rfind("cannot create " + (home / "plain-file").string() + ": ", 0), 0u)
            << e.what();
    }
}

} // namespace
