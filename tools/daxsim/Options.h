#pragma once

#include "Simulator.h"

#include "GprsRelayServer.h"

#include <optional>
#include <string>
#include <vector>

namespace daxsim {

// The command line of dax-sim:
//   dax-sim (--tcp HOST:PORT | --pty) [--addr N] [--model DAX-01|DAX-02] [--demo | --data FILE]
//           [--save-data FILE] [--log-requests] [--baud N] [fault options]
// --demo serves DemoState, a plausible instrument, in place of the fixture;
// --data serves the instrument a data file describes (its identification decides the model);
// --save-data writes the instrument's state as a data file when the simulator stops.
// --log-requests prints one line per request addressed to the instrument.
// --configurator-settings DIR (with --tcp) writes, once the simulator listens, the
// configurator's settings for a TCP channel to it into DIR/registry.json.
// Fault options: --silent N, --delay MS, --late MS, --bad-crc, --exception CODE,
// --truncate N, --split N:MS, --wrong-function, --faults-for N.
// In place of --tcp or --pty: --relay HOST:PORT --device ID [--device ID ...] plays a GPRS
// relay server in front of the instrument, which answers the relay's frames at address 0.
// Relay fault options (with --relay only): --relay-silent-at STEP, --relay-reverse,
// --relay-fragment, --relay-status, --relay-close-after N, --relay-list-short N,
// --relay-version-byte N.
struct SimOptions {
    bool Tcp = false;
    std::string Host = "127.0.0.1";
    int32_t Port = 4001;
    bool Pty = false;
    bool Relay = false;                   // the fake GPRS relay server at Host:Port
    daxrelay::RelayOptions RelaySettings; // its device IDs and fault switches
    uint8_t Address = 1;
    Model DeviceModel = Model::Dax01;
    bool Demo = false;          // serve DemoState instead of the fixture
    std::string DataFile;       // the state to serve; empty: the built-in fixture or the demo
    std::string SaveDataFile;   // where the state goes when the simulator stops; empty: nowhere
    bool LogRequests = false;   // print one line per request addressed to the instrument
    std::string ConfiguratorSettings; // folder of the configurator's settings to point at the simulator; empty: none
    FaultOptions Faults;
};

extern const char* const kSimUsage;

// Parses the arguments after the program name; on a mistake returns nothing and sets error.
std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& args, std::string& error);

} // namespace daxsim
