#include "Options.h"

#include "CommandLine.h"
#include "platform/Cp1251.h"

namespace daxsim {

const char* const kSimUsage =
    "usage: dax-sim (--tcp HOST:PORT | --pty | --relay HOST:PORT --device ID [--device ID ...])\n"
    "               [--addr N] [--model DAX-01|DAX-02] [--demo | --data FILE]\n"
    "               [--save-data FILE] [--configurator-settings DIR] [--log-requests] [--baud N]\n"
    "               [--silent N] [--delay MS] [--late MS] [--bad-crc] [--exception CODE]\n"
    "               [--truncate N] [--split N:MS] [--wrong-function] [--faults-for N]\n"
    "               [--relay-silent-at STEP] [--relay-reverse] [--relay-fragment] [--relay-status]\n"
    "               [--relay-close-after N] [--relay-list-short N] [--relay-version-byte N]\n"
    "  --demo            serve a plausible instrument (working values and settings) instead of the\n"
    "                    test fixture, whose registers each hold a distinct pattern\n"
    "  --data FILE       serve the instrument of a data file (.daxdat) saved by the configurator\n"
    "  --save-data FILE  on stopping, save the instrument's state (with the writes received) as a data file\n"
    "  --configurator-settings DIR  with --tcp: once listening, write the configurator's settings for a\n"
    "                    TCP channel to the simulator into DIR/registry.json (run daxconfig with\n"
    "                    DAXCONFIG_HOME=DIR)\n"
    "  --log-requests    print one line per request addressed to the instrument: function, first register\n"
    "                    (or record type), count, and the written values\n"
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

namespace {

using daxcli::Option;

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

// An address option: HOST:PORT with any port, one error text for every fault.
Option Address(std::string name, SimOptions& options, bool& given)
{
    const std::string what = name;
    return {std::move(name), true, [what, &options, &given](const std::string& value) -> std::optional<std::string> {
                const auto address = daxcli::ParseHostPort(value, 0);
                if (!address)
                    return daxcli::HostPortError(what, value);
                options.Host = address->host;
                options.Port = address->port;
                given = true;
                return std::nullopt;
            }};
}

// What the command line says, before the options are checked against each other.
struct ParsedLine {
    SimOptions options;
    bool modelGiven = false;
    std::string relayOnly; // the first option given that needs --relay
};

// Every option of dax-sim; the actions fill `line`.
std::vector<Option> OptionTable(ParsedLine& line)
{
    SimOptions& options = line.options;
    FaultOptions& faults = options.Faults;
    daxrelay::RelayOptions& relay = options.RelaySettings;
    std::vector<Option> table = {
        Address("--tcp", options, options.Tcp),
        daxcli::Flag("--pty", options.Pty),
        daxcli::Number("--addr", 0, 254, options.Address),
        {"--model", true,
         [&line](const std::string& value) -> std::optional<std::string> {
             if (!ParseModel(value, line.options.DeviceModel))
                 return "--model: expected DAX-01 or DAX-02, got \"" + value + "\"";
             line.modelGiven = true;
             return std::nullopt;
         }},
        daxcli::Number("--baud", 300, 1000000, faults.Baud),
        daxcli::Flag("--demo", options.Demo),
        daxcli::Text("--data", options.DataFile),
        daxcli::Text("--save-data", options.SaveDataFile),
        daxcli::Text("--configurator-settings", options.ConfiguratorSettings),
        daxcli::Flag("--log-requests", options.LogRequests),
        daxcli::Number("--silent", 0, 1000000000, faults.SilentRequests),
        daxcli::Number("--delay", 0, 600000, faults.DelayMs),
        daxcli::Number("--late", 0, 600000, faults.LateMs),
        daxcli::Flag("--bad-crc", faults.BadCrc),
        daxcli::Number("--exception", 1, 255, faults.ExceptionCode),
        daxcli::Number("--truncate", 0, 1000, faults.TruncateTo),
        {"--split", true,
         [&faults](const std::string& value) -> std::optional<std::string> {
             const size_t colon = value.find(':');
             const auto at = colon == std::string::npos ? std::nullopt
                                                        : daxcli::ParseNumber(std::string_view(value).substr(0, colon), 1, 1000);
             const auto gap = colon == std::string::npos ? std::nullopt
                                                         : daxcli::ParseNumber(std::string_view(value).substr(colon + 1), 0, 600000);
             if (!at || !gap)
                 return "--split: expected N:MS, got \"" + value + "\"";
             faults.SplitAt = static_cast<int32_t>(*at);
             faults.SplitGapMs = static_cast<int32_t>(*gap);
             return std::nullopt;
         }},
        daxcli::Flag("--wrong-function", faults.WrongFunction),
        daxcli::Number("--faults-for", 1, 1000000000, faults.FaultRequests),
        Address("--relay", options, options.Relay),
    };
    // The options of the relay server, which need --relay.
    std::vector<Option> relayOptions = {
        {"--device", true,
         [&relay](const std::string& value) -> std::optional<std::string> {
             if (!DeviceIdFits(value))
                 return "--device: expected 1 to 16 characters of Windows-1251, got \"" + value + "\"";
             relay.devices.push_back(value);
             return std::nullopt;
         }},
        {"--relay-silent-at", true,
         [&relay](const std::string& value) -> std::optional<std::string> {
             if (!ParseHandshakeStep(value, relay.silentAt))
                 return "--relay-silent-at: expected version, client, association or activation, got \"" + value +
                        "\"";
             return std::nullopt;
         }},
        daxcli::Flag("--relay-reverse", relay.reverseOrder),
        daxcli::Flag("--relay-fragment", relay.fragment),
        daxcli::Flag("--relay-status", relay.statusInsteadOfData),
        daxcli::Number("--relay-close-after", 1, 1000000000, relay.closeAfterPackets),
        daxcli::Number("--relay-list-short", 1, 1000000, relay.listShortBy),
        daxcli::Number("--relay-version-byte", 0, 255, relay.versionFirstByte),
    };
    for (Option& option : relayOptions) {
        option.action = [&line, name = option.name, action = std::move(option.action)](const std::string& value) {
            if (line.relayOnly.empty())
                line.relayOnly = name;
            return action(value);
        };
        table.push_back(std::move(option));
    }
    return table;
}

// The options that only make sense together, checked once all are read.
std::optional<std::string> CheckCombination(const ParsedLine& line)
{
    const SimOptions& options = line.options;
    if (!options.Relay && !line.relayOnly.empty())
        return line.relayOnly + " needs --relay HOST:PORT";
    if (options.Relay && options.RelaySettings.devices.empty())
        return "--relay needs at least one --device ID";
    if (int{options.Tcp} + int{options.Pty} + int{options.Relay} != 1)
        return "give exactly one of --tcp HOST:PORT, --pty and --relay HOST:PORT";
    if (line.modelGiven && !options.DataFile.empty())
        return "--model and --data exclude each other: the data file names the model";
    if (options.Demo && !options.DataFile.empty())
        return "--demo and --data exclude each other";
    if (!options.ConfiguratorSettings.empty() && !options.Tcp)
        return "--configurator-settings needs --tcp HOST:PORT";
    return std::nullopt;
}

} // namespace

std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& args, std::string& error)
{
    ParsedLine line;
    const std::vector<Option> table = OptionTable(line);
    size_t position = 0;
    auto fault = daxcli::ParseOptions(args, position, table, false);
    if (!fault)
        fault = CheckCombination(line);
    if (fault) {
        error = *fault;
        return std::nullopt;
    }
    return line.options;
}

} // namespace daxsim
