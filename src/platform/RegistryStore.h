#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The current user's settings, kept the way the registry keeps them: keys named by
// backslash paths such as "\Software\Morvel\DaxConfig\TcpChanel", each holding named
// values that are either a string or a signed 32-bit integer.
//
// Everything lives in one JSON file. Nothing is cached: every read loads the file and
// every write loads, changes and replaces it atomically (temporary file, then rename), so
// a failed write never leaves a damaged file and several objects over one file agree.
// A read of a missing value, of a value of the other type or from an unreadable file
// gives the caller's default, as a registry read with a type check does.
class RegistryStore {
public:
    explicit RegistryStore(std::filesystem::path file);

    // $DAXCONFIG_HOME/registry.json when that is set, otherwise
    // $XDG_CONFIG_HOME/daxconfig/registry.json, otherwise ~/.config/daxconfig/registry.json.
    static std::filesystem::path DefaultFile();
    static RegistryStore CurrentUser() { return RegistryStore(DefaultFile()); }
    // The settings every user shares (the local machine's): $DAXCONFIG_SYSTEM_FILE when that
    // is set, otherwise /etc/xdg/daxconfig/registry.json. Usually read only: writes fail
    // unless the file's folder is writable.
    static std::filesystem::path SystemFile();
    static RegistryStore LocalMachine() { return RegistryStore(SystemFile()); }

    const std::filesystem::path& File() const { return file_; }

    std::string ReadString(std::string_view key, std::string_view name, std::string_view fallback) const;
    int32_t ReadInteger(std::string_view key, std::string_view name, int32_t fallback) const;
    bool KeyExists(std::string_view key) const;
    bool ValueExists(std::string_view key, std::string_view name) const;
    // The names of the key's values, in name order; none for a missing key.
    std::vector<std::string> ValueNames(std::string_view key) const;

    // Each returns false when the file could not be written; the old file then stays.
    bool CreateKey(std::string_view key);
    bool WriteString(std::string_view key, std::string_view name, std::string_view value);
    bool WriteInteger(std::string_view key, std::string_view name, int32_t value);
    bool DeleteValue(std::string_view key, std::string_view name);
    // Removes the key with its values and every key below it.
    bool DeleteKey(std::string_view key);

private:
    std::filesystem::path file_;
};

} // namespace platform
