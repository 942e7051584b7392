#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace daxsim {

// Writes into `folder`/registry.json (the settings file the configurator reads when
// DAXCONFIG_HOME names that folder) the settings of a TCP channel to the simulator: the TCP
// channel chosen (CurentChanel) and its address, port and network address. The folder is made
// when missing; the file's other settings stay. Throws platform::Exception when the file cannot
// be written.
void WriteConfiguratorSettings(const std::filesystem::path& folder, const std::string& host, int32_t port,
                               int32_t networkAddress);

} // namespace daxsim
