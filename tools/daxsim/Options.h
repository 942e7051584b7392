#pragma once

#include "Simulator.h"

#include <optional>
#include <string>
#include <vector>

namespace daxsim {

// The command line of dax-sim:
//   dax-sim (--tcp HOST:PORT | --pty) [--addr N] [--model DAX-01|DAX-02] [--baud N]
//           [--data FILE] [fault options]
// Fault options: --silent N, --delay MS, --late MS, --bad-crc, --exception CODE,
// --truncate N, --split N:MS, --wrong-function, --faults-for N.
struct SimOptions {
    bool Tcp = false;
    std::string Host = "127.0.0.1";
    int32_t Port = 4001;
    bool Pty = false;
    uint8_t Address = 1;
    Model DeviceModel = Model::Dax01;
    std::string DataFile;
    FaultOptions Faults;
};

extern const char* const kSimUsage;

// Parses the arguments after the program name; on a mistake returns nothing and sets error.
std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& args, std::string& error);

// "HOST:PORT" with a port 0..65535.
bool ParseHostPort(std::string_view text, std::string& host, int32_t& port);
// A whole decimal number within [low, high].
bool ParseNumber(std::string_view text, int64_t low, int64_t high, int64_t& value);

} // namespace daxsim
