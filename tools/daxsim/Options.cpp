#include "Options.h"

#include <charconv>

namespace daxsim {

const char* const kSimUsage =
    "usage: dax-sim (--tcp HOST:PORT | --pty) [--addr N] [--model DAX-01|DAX-02] [--baud N] [--data FILE]\n"
    "               [--silent N] [--delay MS] [--late MS] [--bad-crc] [--exception CODE] [--truncate N]\n"
    "               [--split N:MS] [--wrong-function] [--faults-for N]\n";

bool ParseNumber(std::string_view text, int64_t low, int64_t high, int64_t& value)
{
    int64_t parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size() || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

bool ParseHostPort(std::string_view text, std::string& host, int32_t& port)
{
    const size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0)
        return false;
    int64_t value = 0;
    if (!ParseNumber(text.substr(colon + 1), 0, 65535, value))
        return false;
    host = std::string(text.substr(0, colon));
    port = static_cast<int32_t>(value);
    return true;
}

std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& args, std::string& error)
{
    SimOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = option + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        auto number = [&](int64_t low, int64_t high, auto& out) {
            std::string text;
            if (!value(text))
                return false;
            int64_t parsed = 0;
            if (!ParseNumber(text, low, high, parsed)) {
                error = option + ": expected a number from " + std::to_string(low) + " to " + std::to_string(high) +
                        ", got \"" + text + "\"";
                return false;
            }
            out = static_cast<std::remove_reference_t<decltype(out)>>(parsed);
            return true;
        };
        std::string text;
        if (option == "--tcp") {
            if (!value(text))
                return std::nullopt;
            if (!ParseHostPort(text, options.Host, options.Port)) {
                error = "--tcp: expected HOST:PORT, got \"" + text + "\"";
                return std::nullopt;
            }
            options.Tcp = true;
        } else if (option == "--pty") {
            options.Pty = true;
        } else if (option == "--addr") {
            if (!number(0, 254, options.Address))
                return std::nullopt;
        } else if (option == "--model") {
            if (!value(text))
                return std::nullopt;
            if (!ParseModel(text, options.DeviceModel)) {
                error = "--model: expected DAX-01 or DAX-02, got \"" + text + "\"";
                return std::nullopt;
            }
        } else if (option == "--baud") {
            if (!number(300, 1000000, options.Faults.Baud))
                return std::nullopt;
        } else if (option == "--data") {
            if (!value(options.DataFile))
                return std::nullopt;
        } else if (option == "--silent") {
            if (!number(0, 1000000000, options.Faults.SilentRequests))
                return std::nullopt;
        } else if (option == "--delay") {
            if (!number(0, 600000, options.Faults.DelayMs))
                return std::nullopt;
        } else if (option == "--late") {
            if (!number(0, 600000, options.Faults.LateMs))
                return std::nullopt;
        } else if (option == "--bad-crc") {
            options.Faults.BadCrc = true;
        } else if (option == "--exception") {
            if (!number(1, 255, options.Faults.ExceptionCode))
                return std::nullopt;
        } else if (option == "--truncate") {
            if (!number(0, 1000, options.Faults.TruncateTo))
                return std::nullopt;
        } else if (option == "--split") {
            if (!value(text))
                return std::nullopt;
            const size_t colon = text.find(':');
            int64_t at = 0;
            int64_t gap = 0;
            if (colon == std::string::npos || !ParseNumber(std::string_view(text).substr(0, colon), 1, 1000, at) ||
                !ParseNumber(std::string_view(text).substr(colon + 1), 0, 600000, gap)) {
                error = "--split: expected N:MS, got \"" + text + "\"";
                return std::nullopt;
            }
            options.Faults.SplitAt = static_cast<int32_t>(at);
            options.Faults.SplitGapMs = static_cast<int32_t>(gap);
        } else if (option == "--wrong-function") {
            options.Faults.WrongFunction = true;
        } else if (option == "--faults-for") {
            if (!number(1, 1000000000, options.Faults.FaultRequests))
                return std::nullopt;
        } else {
            error = "unknown option \"" + option + "\"";
            return std::nullopt;
        }
    }
    if (options.Tcp == options.Pty) {
        error = "give exactly one of --tcp HOST:PORT and --pty";
        return std::nullopt;
    }
    return options;
}

} // namespace daxsim
