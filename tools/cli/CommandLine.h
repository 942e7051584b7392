#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The command lines of dax-sim and daxprobe: each tool describes its options in one table, and
// both read numbers and HOST:PORT the same way. Errors are texts for the tool's usage message.
namespace daxcli {

enum class Radix { Decimal, DecimalOrHex }; // DecimalOrHex: "0x" or "0X" starts a hexadecimal number

// A whole number within [low, high] and nothing else; none otherwise.
std::optional<int64_t> ParseNumber(std::string_view text, int64_t low, int64_t high, Radix radix = Radix::Decimal);
// "<what>: expected a number from <low> to <high>, got "<text>"".
std::string NumberError(std::string_view what, int64_t low, int64_t high, std::string_view text);

struct HostPort {
    std::string host;
    int32_t port = 0;
};
enum class HostPortFault { None, NotHostPort, BadPort };
// "HOST:PORT", split at the last colon: a host that is not empty and a decimal port within
// [lowPort, 65535]. fault tells which part was wrong.
std::optional<HostPort> ParseHostPort(std::string_view text, int32_t lowPort, HostPortFault* fault = nullptr);
// "<option>: expected HOST:PORT, got "<text>"".
std::string HostPortError(std::string_view option, std::string_view text);

// One option of a tool. An option with a value takes the next argument; its action gets the
// value (a flag's gets an empty text) and returns an error text, or none when it took it.
struct Option {
    using Action = std::function<std::optional<std::string>(const std::string& value)>;
    std::string name;
    bool takesValue = false;
    Action action;
};

// The actions of the common kinds of option.
Option Flag(std::string name, bool& target);
Option Text(std::string name, std::string& target);
// A number within [low, high] into target (any integer type that holds the range).
template <typename T>
Option Number(std::string name, int64_t low, int64_t high, T& target, Radix radix = Radix::Decimal)
{
    const std::string what = name;
    return {std::move(name), true, [what, low, high, &target, radix](const std::string& value) -> std::optional<std::string> {
                const auto number = ParseNumber(value, low, high, radix);
                if (!number)
                    return NumberError(what, low, high, value);
                target = static_cast<T>(*number);
                return std::nullopt;
            }};
}

// Reads options from args[position] on, advancing position past them. With stopAtOperand
// the first argument that does not begin with "--" ends the options (the tool's command
// follows); otherwise every argument must be an option. Returns the first error: "<option>
// needs a value", "unknown option "<arg>"", or what an action returned.
std::optional<std::string> ParseOptions(const std::vector<std::string>& args, size_t& position,
                                        std::span<const Option> table, bool stopAtOperand);

} // namespace daxcli
