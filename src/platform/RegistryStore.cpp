#include "RegistryStore.h"

#include "Exceptions.h"
#include "Files.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <limits>
#include <mutex>

namespace platform {

namespace {

using nlohmann::json;

// Far beyond what a few dozen settings take; a larger file is not ours.
constexpr size_t kMaxSettingsFileSize = size_t{1} << 20;
// The settings are flat: the file's object holds the keys, each an object of values. A file
// nested deeper is not ours either, and is refused before a tree of it is built (building and
// freeing a tree 100,000 levels deep takes gigabytes and the stack).
constexpr size_t kMaxSettingsDepth = 8;

// Walks the text without building anything and stops at the first level beyond the bound.
class DepthCheck : public nlohmann::json_sax<json> {
public:
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return ++depth_ <= kMaxSettingsDepth; }
    bool key(string_t&) override { return true; }
    bool end_object() override { return --depth_, true; }
    bool start_array(std::size_t) override { return ++depth_ <= kMaxSettingsDepth; }
    bool end_array() override { return --depth_, true; }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

private:
    size_t depth_ = 0;
};

// Serialises read-modify-write cycles of this process; other processes are not expected to
// write the same settings at the same moment.
std::mutex& StoreMutex()
{
    static std::mutex mutex;
    return mutex;
}

// "\Software\Morvel\DaxConfig\" and "Software\Morvel\DaxConfig" name one key.
std::string NormalizeKey(std::string_view key)
{
    while (!key.empty() && key.front() == '\\')
        key.remove_prefix(1);
    while (!key.empty() && key.back() == '\\')
        key.remove_suffix(1);
    return std::string(key);
}

enum class LoadResult { Loaded, Missing, Corrupt };

LoadResult Load(const std::filesystem::path& file, json& data)
{
    data = json::object();
    std::vector<uint8_t> text;
    try {
        if (!ReadFileBytes(file.string(), kMaxSettingsFileSize, text))
            return LoadResult::Corrupt;
    } catch (const Exception&) {
        return LoadResult::Missing;   // absent, unreadable, or not a regular file
    }
    DepthCheck depth;
    if (!json::sax_parse(text.begin(), text.end(), &depth))
        return LoadResult::Corrupt;
    json parsed = json::parse(text.begin(), text.end(), nullptr, /*allow_exceptions=*/false);
    if (parsed.is_discarded() || !parsed.is_object())
        return LoadResult::Corrupt;
    data = std::move(parsed);
    return LoadResult::Loaded;
}

const json* FindValue(const json& data, std::string_view key, std::string_view name)
{
    const auto keyIt = data.find(NormalizeKey(key));
    if (keyIt == data.end() || !keyIt->is_object())
        return nullptr;
    const auto valueIt = keyIt->find(std::string(name));
    if (valueIt == keyIt->end())
        return nullptr;
    return &*valueIt;
}

bool IsInteger32(const json& value)
{
    if (value.is_number_unsigned())
        return value.get<uint64_t>() <= static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
    if (value.is_number_integer()) {
        const auto v = value.get<int64_t>();
        return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
    }
    return false;
}

bool SaveAtomically(const std::filesystem::path& file, const json& data)
{
    std::error_code error;
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path(), error);
    const std::string text = data.dump(2) + "\n";
    try {
        WriteFileAtomically(file.string(), std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    } catch (const Exception&) {
        return false;
    }
    return true;
}

template <typename Change>
bool Modify(const std::filesystem::path& file, Change change)
{
    std::lock_guard lock(StoreMutex());
    json data;
    if (Load(file, data) == LoadResult::Corrupt) {
        // Keep the unreadable file for the user to inspect rather than silently losing it.
        std::error_code error;
        std::filesystem::rename(file, file.string() + ".corrupt", error);
        data = json::object();
    }
    change(data);
    return SaveAtomically(file, data);
}

} // namespace

RegistryStore::RegistryStore(std::filesystem::path file) : file_(std::move(file)) {}

std::filesystem::path RegistryStore::DefaultFile()
{
    if (const char* home = std::getenv("DAXCONFIG_HOME"); home && *home)
        return std::filesystem::path(home) / "registry.json";
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::filesystem::path(config) / "daxconfig" / "registry.json";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : ".") / ".config" / "daxconfig" / "registry.json";
}

std::filesystem::path RegistryStore::SystemFile()
{
    if (const char* file = std::getenv("DAXCONFIG_SYSTEM_FILE"); file && *file)
        return std::filesystem::path(file);
    return std::filesystem::path("/etc/xdg/daxconfig/registry.json");
}

std::string RegistryStore::ReadString(std::string_view key, std::string_view name, std::string_view fallback) const
{
    std::lock_guard lock(StoreMutex());
    json data;
    Load(file_, data);
    const json* value = FindValue(data, key, name);
    if (!value || !value->is_string())
        return std::string(fallback);
    return value->get<std::string>();
}

int32_t RegistryStore::ReadInteger(std::string_view key, std::string_view name, int32_t fallback) const
{
    std::lock_guard lock(StoreMutex());
    json data;
    Load(file_, data);
    const json* value = FindValue(data, key, name);
    if (!value || !IsInteger32(*value))
        return fallback;
    return static_cast<int32_t>(value->get<int64_t>());
}

bool RegistryStore::KeyExists(std::string_view key) const
{
    std::lock_guard lock(StoreMutex());
    json data;
    Load(file_, data);
    const auto it = data.find(NormalizeKey(key));
    return it != data.end() && it->is_object();
}

bool RegistryStore::ValueExists(std::string_view key, std::string_view name) const
{
    std::lock_guard lock(StoreMutex());
    json data;
    Load(file_, data);
    return FindValue(data, key, name) != nullptr;
}

std::vector<std::string> RegistryStore::ValueNames(std::string_view key) const
{
    std::lock_guard lock(StoreMutex());
    json data;
    Load(file_, data);
    std::vector<std::string> names;
    const auto it = data.find(NormalizeKey(key));
    if (it != data.end() && it->is_object()) {
        for (const auto& [name, value] : it->items()) {
            if (value.is_string() || value.is_number_integer())
                names.push_back(name);
        }
    }
    return names;
}

bool RegistryStore::CreateKey(std::string_view key)
{
    return Modify(file_, [&](json& data) {
        json& entry = data[NormalizeKey(key)];
        if (!entry.is_object())
            entry = json::object();
    });
}

bool RegistryStore::WriteString(std::string_view key, std::string_view name, std::string_view value)
{
    return Modify(file_, [&](json& data) {
        json& entry = data[NormalizeKey(key)];
        if (!entry.is_object())
            entry = json::object();
        entry[std::string(name)] = std::string(value);
    });
}

bool RegistryStore::WriteInteger(std::string_view key, std::string_view name, int32_t value)
{
    return Modify(file_, [&](json& data) {
        json& entry = data[NormalizeKey(key)];
        if (!entry.is_object())
            entry = json::object();
        entry[std::string(name)] = value;
    });
}

bool RegistryStore::DeleteValue(std::string_view key, std::string_view name)
{
    return Modify(file_, [&](json& data) {
        const auto it = data.find(NormalizeKey(key));
        if (it != data.end() && it->is_object())
            it->erase(std::string(name));
    });
}

bool RegistryStore::DeleteKey(std::string_view key)
{
    const std::string normalized = NormalizeKey(key);
    const std::string below = normalized + "\\";
    return Modify(file_, [&](json& data) {
        for (auto it = data.begin(); it != data.end();) {
            if (it.key() == normalized || it.key().compare(0, below.size(), below) == 0)
                it = data.erase(it);
            else
                ++it;
        }
    });
}

} // namespace platform
