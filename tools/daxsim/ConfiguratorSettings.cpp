#include "ConfiguratorSettings.h"

#include "comm/ChanelHelper.h"
#include "comm/TcpChanel.h"
#include "platform/Exceptions.h"
#include "platform/RegistryStore.h"

#include <system_error>

namespace daxsim {

void WriteConfiguratorSettings(const std::filesystem::path& folder, const std::string& host, int32_t port,
                               int32_t networkAddress)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::filesystem::path file = folder / "registry.json";
    if (error)
        throw platform::Exception("cannot create " + folder.string() + ": " + error.message());
    platform::RegistryStore store(file);
    if (!store.WriteInteger(kChanelChoiceKey, kCurentChanelValue, static_cast<int32_t>(ChanelKind::Tcp)))
        throw platform::Exception("cannot write " + file.string());
    // The channel's other settings (time-out, recent addresses) stay as they were.
    TTcpChanelParams params;
    params.Load(store);
    params.TcpAddress = host;
    params.TcpPort = port;
    params.NetAddr = networkAddress;
    params.Save(store);
    if (store.ReadInteger(TTcpChanelParams::kRegistryKey, "TcpPort", -1) != port)
        throw platform::Exception("cannot write " + file.string());
}

} // namespace daxsim
