#include "CommandLine.h"

#include <algorithm>
#include <charconv>

namespace daxcli {

std::optional<int64_t> ParseNumber(std::string_view text, int64_t low, int64_t high, Radix radix)
{
    int base = 10;
    if (radix == Radix::DecimalOrHex && (text.starts_with("0x") || text.starts_with("0X"))) {
        base = 16;
        text.remove_prefix(2);
    }
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

std::string NumberError(std::string_view what, int64_t low, int64_t high, std::string_view text)
{
    return std::string(what) + ": expected a number from " + std::to_string(low) + " to " + std::to_string(high) +
           ", got \"" + std::string(text) + "\"";
}

std::optional<HostPort> ParseHostPort(std::string_view text, int32_t lowPort, HostPortFault* fault)
{
    const auto fail = [fault](HostPortFault why) -> std::optional<HostPort> {
        if (fault)
            *fault = why;
        return std::nullopt;
    };
    const size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0)
        return fail(HostPortFault::NotHostPort);
    const auto port = ParseNumber(text.substr(colon + 1), lowPort, 65535);
    if (!port)
        return fail(HostPortFault::BadPort);
    if (fault)
        *fault = HostPortFault::None;
    return HostPort{std::string(text.substr(0, colon)), static_cast<int32_t>(*port)};
}

std::string HostPortError(std::string_view option, std::string_view text)
{
    return std::string(option) + ": expected HOST:PORT, got \"" + std::string(text) + "\"";
}

Option Flag(std::string name, bool& target)
{
    return {std::move(name), false, [&target](const std::string&) -> std::optional<std::string> {
                target = true;
                return std::nullopt;
            }};
}

Option Text(std::string name, std::string& target)
{
    return {std::move(name), true, [&target](const std::string& value) -> std::optional<std::string> {
                target = value;
                return std::nullopt;
            }};
}

std::optional<std::string> ParseOptions(const std::vector<std::string>& args, size_t& position,
                                        std::span<const Option> table, bool stopAtOperand)
{
    for (; position < args.size(); ++position) {
        const std::string& argument = args[position];
        if (stopAtOperand && !argument.starts_with("--"))
            break;
        const auto option = std::find_if(table.begin(), table.end(),
                                         [&](const Option& o) { return o.name == argument; });
        if (option == table.end())
            return "unknown option \"" + argument + "\"";
        std::string value;
        if (option->takesValue) {
            if (position + 1 >= args.size())
                return argument + " needs a value";
            value = args[++position];
        }
        if (auto error = option->action(value))
            return error;
    }
    return std::nullopt;
}

} // namespace daxcli
