#include "Options.h"

#include "platform/Cp1251.h"

#include <charconv>

namespace daxsim {

const char* const kSimUsage =
    "usage: dax-sim (--tcp HOST:PORT | --pty | --relay HOST:PORT --device ID [--device ID ...])\n"
    "               [--addr N] [--model DAX-01|DAX-02] [--demo | --data FILE]\n"
    "               [--save-data FILE] [--baud N] [--silent N] [--delay MS] [--late MS] [--bad-crc]\n"
    "               [--exception CODE] [--truncate N] [--split N:MS] [--wrong-function] [--faults-for N]\n"
    "               [--relay-silent-at STEP] [--relay-reverse] [--relay-fragment] [--relay-status]\n"
    "               [--relay-close-after N] [--relay-list-short N] [--relay-version-byte N]\n"
    "  --demo            serve a plausible instrument (working values and settings) instead of the\n"
    "                    test fixture, whose registers each hold a distinct pattern\n"
    "  --data FILE       serve the instrument of a data file (.daxdat) saved by the configurator\n"
    "  --save-data FILE  on stopping, save the instrument's state (with the writes received) as a data file\n"
    "  --relay HOST:PORT          play a GPRS relay server (IPv4 address) in front of the instrument,\n"
    "                             which answers the relay's frames at address 0\n"
    "  --device ID                a device ID the relay knows (1 to 16 characters); repeatable\n"
    "  --relay-silent-at STEP     never answer that handshake step: version, client, association\n"
    "                             or activation (forwarding packets all the same)\n"
    "  --relay-reverse            hold each answer until the next one, then send both, newest first\n"
    "  --relay-fragment           send every answer one byte at a time\n"
    "  --relay-status             answer each data packet with a status packet (a rejection)\n"
    "  --relay-close-after N      close the connection on receiving the Nth data packet\n"
    "  --relay-list-short N       announce N more device-list records than are sent\n"
    "  --relay-version-byte N     first byte of the version answer (normally 0)\n";

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

namespace {

// The ID must survive the trip to Windows-1251 and fit the 16-byte field of the association.
bool DeviceIdFits(const std::string& id)
{
    const std::string bytes = platform::Utf8ToCp1251(id);
    return !bytes.empty() && bytes.size() <= 16 && platform::Cp1251ToUtf8(bytes) == id;
}

bool ParseHandshakeStep(std::string_view text, daxrelay::HandshakeStep& step)
{
    if (text == "version")
        step = daxrelay::HandshakeStep::Version;
    else if (text == "client")
        step = daxrelay::HandshakeStep::ClientInfo;
    else if (text == "association")
        step = daxrelay::HandshakeStep::Association;
    else if (text == "activation")
        step = daxrelay::HandshakeStep::Activation;
    else
        return false;
    return true;
}

} // namespace

std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& args, std::string& error)
{
    SimOptions options;
    bool modelGiven = false;
    std::string relayOnly;   // the first option given that needs --relay
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
            modelGiven = true;
        } else if (option == "--baud") {
            if (!number(300, 1000000, options.Faults.Baud))
                return std::nullopt;
        } else if (option == "--demo") {
            options.Demo = true;
        } else if (option == "--data") {
            if (!value(options.DataFile))
                return std::nullopt;
        } else if (option == "--save-data") {
            if (!value(options.SaveDataFile))
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
        } else if (option == "--relay") {
            if (!value(text))
                return std::nullopt;
            if (!ParseHostPort(text, options.Host, options.Port)) {
                error = "--relay: expected HOST:PORT, got \"" + text + "\"";
                return std::nullopt;
            }
            options.Relay = true;
        } else if (option.starts_with("--relay-") || option == "--device") {
            daxrelay::RelayOptions& relay = options.RelaySettings;
            if (relayOnly.empty())
                relayOnly = option;
            if (option == "--device") {
                if (!value(text))
                    return std::nullopt;
                if (!DeviceIdFits(text)) {
                    error = "--device: expected 1 to 16 characters of Windows-1251, got \"" + text + "\"";
                    return std::nullopt;
                }
                relay.devices.push_back(text);
            } else if (option == "--relay-silent-at") {
                if (!value(text))
                    return std::nullopt;
                if (!ParseHandshakeStep(text, relay.silentAt)) {
                    error = "--relay-silent-at: expected version, client, association or activation, got \"" +
                            text + "\"";
                    return std::nullopt;
                }
            } else if (option == "--relay-reverse") {
                relay.reverseOrder = true;
            } else if (option == "--relay-fragment") {
                relay.fragment = true;
            } else if (option == "--relay-status") {
                relay.statusInsteadOfData = true;
            } else if (option == "--relay-close-after") {
                if (!number(1, 1000000000, relay.closeAfterPackets))
                    return std::nullopt;
            } else if (option == "--relay-list-short") {
                if (!number(1, 1000000, relay.listShortBy))
                    return std::nullopt;
            } else if (option == "--relay-version-byte") {
                if (!number(0, 255, relay.versionFirstByte))
                    return std::nullopt;
            } else {
                error = "unknown option \"" + option + "\"";
                return std::nullopt;
            }
        } else {
            error = "unknown option \"" + option + "\"";
            return std::nullopt;
        }
    }
    if (!options.Relay && !relayOnly.empty()) {
        error = relayOnly + " needs --relay HOST:PORT";
        return std::nullopt;
    }
    if (options.Relay && options.RelaySettings.devices.empty()) {
        error = "--relay needs at least one --device ID";
        return std::nullopt;
    }
    if (int{options.Tcp} + int{options.Pty} + int{options.Relay} != 1) {
        error = "give exactly one of --tcp HOST:PORT, --pty and --relay HOST:PORT";
        return std::nullopt;
    }
    if (modelGiven && !options.DataFile.empty()) {
        error = "--model and --data exclude each other: the data file names the model";
        return std::nullopt;
    }
    if (options.Demo && !options.DataFile.empty()) {
        error = "--demo and --data exclude each other";
        return std::nullopt;
    }
    return options;
}

} // namespace daxsim
