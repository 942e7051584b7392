// daxprobe: opens one channel (a serial port, a TCP gateway or a GPRS relay server), makes one exchange with the
// instrument through DaxHelper, as the configurator does (one attempt), or several in that
// one session (commands in turn, --repeat), and prints the exchange log (with --log),
// DaxHelper's own texts and what each answer gave. A developer's tool for tests and for
// diagnosing a link; prints each failure's text and exits non-zero when any exchange failed.
#include "CommandLine.h"

#include "comm/ComPortChanel.h"
#include "comm/GprsChanel.h"
#include "comm/Modbus.h"
#include "comm/TcpChanel.h"
#include "device/Daxhelper.h"
#include "platform/Exceptions.h"

#include <cstdio>
#include <list>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace dax_namespace;

const char* const kUsage =
    "usage: daxprobe (--serial PATH [--speed N] | --tcp HOST:PORT | --gprs HOST:PORT --id ID) [--addr N] [--log]\n"
    "                [--repeat N] COMMAND...\n"
    "       daxprobe --gprs-list HOST:PORT\n"
    "COMMAND: identify | read REG COUNT | write REG VALUE... | page TYPE ARG START COUNT\n"
    "Commands run one after another in one channel session, --repeat N times over.\n";

struct Usage {
    std::string text;
};

// One exchange asked for on the command line, its operands checked.
struct ProbeCommand {
    std::string name;             // identify, read, write or page
    int32_t firstRegister = 0;    // read and write
    int32_t count = 0;
    std::vector<uint16_t> values; // write
    uint32_t pageType = 0;        // page
    int32_t pageArgument = 0;
    uint16_t pageStart = 0;
    uint8_t pageCount = 0;
};

// What the command line asks for; operands are checked before any channel opens.
struct ProbeRequest {
    std::string serial;
    int32_t speed = 19200;
    std::string tcp;
    std::string gprs;
    daxcli::HostPort server;      // of --tcp or --gprs
    std::string deviceId;
    int32_t address = 0;
    bool log = false;
    int32_t repeat = 1;           // rounds over the commands, in the one session
    std::vector<ProbeCommand> commands;
};

std::string FormatRefusal(const char* what, int32_t first, int32_t count, int32_t most)
{
    return std::string(what) + " refused: registers " + std::to_string(first) + ".." +
           std::to_string(first + count - 1) + " are not within one register image (30001..30481, 40001..40596" +
           (std::string(what) == "write" ? ", holding only" : "") + ") or more than " + std::to_string(most);
}

// An operand (decimal or 0x hexadecimal) within [low, high], or a usage error naming it.
int64_t Operand(const std::string& text, int64_t low, int64_t high, const char* what)
{
    const auto value = daxcli::ParseNumber(text, low, high, daxcli::Radix::DecimalOrHex);
    if (!value)
        throw Usage{daxcli::NumberError(what, low, high, text)};
    return *value;
}

// "HOST:PORT" with a port 1..65535, or a usage error naming the option.
daxcli::HostPort Address(const std::string& text, const std::string& option)
{
    daxcli::HostPortFault fault = daxcli::HostPortFault::None;
    const auto address = daxcli::ParseHostPort(text, 1, &fault);
    if (address)
        return *address;
    if (fault == daxcli::HostPortFault::BadPort)
        throw Usage{daxcli::NumberError(option + " port", 1, 65535, text.substr(text.rfind(':') + 1))};
    throw Usage{daxcli::HostPortError(option, text)};
}

std::string Hex(std::span<const uint8_t> bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const uint8_t b : bytes) {
        if (!text.empty())
            text += ' ';
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    return text;
}

// The records one page put into the read list of its type (a type above 6 keeps none).
void PrintRecords(const DaxHelper& helper, uint32_t type)
{
    DaxHelper::VisitRecordType(helper, type, [](auto, const auto&, const auto& list) {
        unsigned index = 0;
        for (const auto& record : list)
            std::printf("record %u: %s\n", index++, Hex(record.bytes).c_str());
    });
}

// The device IDs the relay server knows, one a line.
int ListDevices(const std::string& server)
{
    const auto [host, port] = Address(server, "--gprs-list");
    std::vector<GPRS_UDP_CHANEL_DATA> records;
    if (!QueryDeviceList(host, port, records))
        throw platform::Exception("the relay server did not give its device list");
    for (const auto& record : records)
        std::printf("%s\n", record.DeviceId().c_str());
    return 0;
}

bool IsCommandName(const std::string& word)
{
    return word == "identify" || word == "read" || word == "write" || word == "page";
}

// One command and its operands. DaxHelper refuses blocks outside its images itself.
ProbeCommand ParseCommand(const std::string& name, const std::vector<std::string>& operands)
{
    ProbeCommand command;
    command.name = name;
    if (name == "identify") {
        if (!operands.empty())
            throw Usage{"identify takes no operands"};
    } else if (name == "read") {
        if (operands.size() != 2)
            throw Usage{"read needs REG COUNT"};
        command.firstRegister = static_cast<int32_t>(Operand(operands[0], 30001, 49999, "REG"));
        command.count = static_cast<int32_t>(Operand(operands[1], 1, kMaxReadRegisters, "COUNT"));
    } else if (name == "write") {
        if (operands.size() < 2)
            throw Usage{"write needs REG VALUE..."};
        command.firstRegister = static_cast<int32_t>(Operand(operands[0], 40001, 49999, "REG"));
        for (size_t k = 1; k < operands.size(); ++k)
            command.values.push_back(static_cast<uint16_t>(Operand(operands[k], 0, 0xFFFF, "VALUE")));
        command.count = static_cast<int32_t>(command.values.size());
    } else if (name == "page") {
        if (operands.size() != 4)
            throw Usage{"page needs TYPE ARG START COUNT"};
        command.pageType = static_cast<uint32_t>(Operand(operands[0], 0, 255, "TYPE"));
        command.pageArgument = static_cast<int32_t>(Operand(operands[1], 0, 255, "ARG"));
        command.pageStart = static_cast<uint16_t>(Operand(operands[2], 0, 0xFFFF, "START"));
        command.pageCount = static_cast<uint8_t>(Operand(operands[3], 0, 255, "COUNT"));
    } else {
        throw Usage{"unknown command \"" + name + "\""};
    }
    return command;
}

// The options, then the commands, each with its operands.
ProbeRequest ParseRequest(const std::vector<std::string>& args)
{
    ProbeRequest request;
    const daxcli::Option options[] = {
        daxcli::Text("--serial", request.serial),
        daxcli::Number("--speed", 0, 10000000, request.speed, daxcli::Radix::DecimalOrHex),
        daxcli::Text("--tcp", request.tcp),
        daxcli::Text("--gprs", request.gprs),
        daxcli::Text("--id", request.deviceId),
        daxcli::Number("--addr", 0, 254, request.address, daxcli::Radix::DecimalOrHex),
        daxcli::Flag("--log", request.log),
        daxcli::Number("--repeat", 1, 1000, request.repeat, daxcli::Radix::Decimal),
    };
    size_t i = 0;
    if (const auto error = daxcli::ParseOptions(args, i, options, true))
        throw Usage{*error};
    if (int{!request.serial.empty()} + int{!request.tcp.empty()} + int{!request.gprs.empty()} != 1)
        throw Usage{"give exactly one of --serial PATH, --tcp HOST:PORT and --gprs HOST:PORT"};
    if (request.gprs.empty() != request.deviceId.empty())
        throw Usage{"--gprs HOST:PORT and --id ID go together"};
    if (i >= args.size())
        throw Usage{"no command given"};
    while (i < args.size()) {
        const std::string name = args[i++];
        std::vector<std::string> operands;
        while (i < args.size() && !IsCommandName(args[i]))
            operands.push_back(args[i++]);
        request.commands.push_back(ParseCommand(name, operands));
    }
    if (!request.tcp.empty())
        request.server = Address(request.tcp, "--tcp");
    else if (!request.gprs.empty())
        request.server = Address(request.gprs, "--gprs");
    return request;
}

// The channel the request names, with settings of its own (the user's are never read or stored).
std::unique_ptr<TChanelHelperBase> MakeChanel(const ProbeRequest& request)
{
    std::unique_ptr<TChanelHelperBase> chanel;
    if (!request.serial.empty()) {
        auto com = std::make_unique<ComPortChanelHelper>(false);
        com->Params().ComPortName = request.serial;
        com->Params().ComPortSpeed = request.speed;
        com->Params().NetAddr = request.address;
        chanel = std::move(com);
    } else if (!request.tcp.empty()) {
        auto net = std::make_unique<TcpChanelHelper>(false);
        net->Params().TcpAddress = request.server.host;
        net->Params().TcpPort = request.server.port;
        net->Params().NetAddr = request.address;
        chanel = std::move(net);
    } else {
        // The relay addresses the instrument by its device ID; frames carry address 0.
        auto relay = std::make_unique<GprsChanelHelper>(GprsTimings{}, false);
        relay->Params().IPAddress = request.server.host;
        relay->Params().TcpUdpPort = request.server.port;
        relay->Params().DeviceID = request.deviceId;
        chanel = std::move(relay);
    }
    chanel->SetLogEnabled(request.log);
    chanel->SetLogCallback([](const std::string& text, TInteractContainer*) { std::printf("%s\n", text.c_str()); });
    return chanel;
}

// One exchange, with one attempt, and what it gave.
void Exchange(DaxHelper& helper, const ProbeCommand& request)
{
    const int32_t tries = 1;
    helper.ClearReadLists();
    if (request.name == "identify") {
        const bool accepted = helper.Identify(nullptr, tries);
        if (!accepted)
            throw platform::Exception(kUnknownVersionText);
        if (!helper.Identified())
            throw platform::Exception(kUnknownModificationText);
        std::printf("model %s, modification %s, software %s\n", helper.ModelText().c_str(),
                    helper.ModificationText().c_str(), helper.FirmwareVersionText().c_str());
    } else if (request.name == "read") {
        if (!helper.ReadRegisters(request.firstRegister, request.count, nullptr, tries))
            throw platform::Exception(FormatRefusal("read", request.firstRegister, request.count, kMaxReadRegisters));
        // DaxHelper takes only an answer of exactly this length.
        std::printf("answer: %d bytes\n", 2 * request.count + 5);
        DaxHelperLocker locker(&helper);
        const bool input = request.firstRegister < kFirstHoldingRegister;
        for (int32_t k = 0; k < request.count; ++k) {
            const int32_t number = request.firstRegister + k;
            const uint16_t value = input ? InputRegister(helper.InputRegisterImage, number)
                                         : HoldingRegister(helper.HoldingRegisterImage, number);
            std::printf("%d = 0x%04X (%u)\n", number, value, value);
        }
    } else if (request.name == "write") {
        // The values go into the setup image, from which DaxHelper builds the request.
        const int64_t last = int64_t{request.firstRegister} + request.count - 1;
        if (last < kFirstHoldingRegister + kHoldingRegisterCount) {
            DaxHelperLocker locker(&helper);
            for (int32_t k = 0; k < request.count; ++k)
                SetHoldingRegister(helper.HoldingRegisterImage, request.firstRegister + k,
                                   request.values[static_cast<size_t>(k)]);
        }
        if (!helper.WriteRegisters(request.firstRegister, request.count, nullptr, tries))
            throw platform::Exception(
                FormatRefusal("write", request.firstRegister, request.count, modbus::kMaxWriteRegisters));
        std::printf("wrote %d registers from %d\n", request.count, request.firstRegister);
    } else {
        // Each round asks for the same page.
        uint16_t start = request.pageStart;
        uint8_t carried = request.pageCount;
        if (!helper.ReadArchivePage(request.pageType, request.pageArgument, start, carried, nullptr, tries))
            throw platform::Exception("the answer is not a page (function byte other than 0x41)");
        std::printf("records %u, next position %u\n", unsigned{carried}, unsigned{start});
        PrintRecords(helper, request.pageType);
    }
}

int Run(const std::vector<std::string>& args)
{
    if (args.size() == 2 && args[0] == "--gprs-list")
        return ListDevices(args[1]);
    ProbeRequest request = ParseRequest(args);
    const std::unique_ptr<TChanelHelperBase> chanel = MakeChanel(request);
    DaxHelper helper;
    helper.SetLogCallback([](const std::string& text, TInteractContainer*) { std::printf("%s\n", text.c_str()); });
    helper.SetChannel(chanel.get());
    chanel->Open(nullptr);
    // Every command of every round in the one session: a failed exchange is reported and the
    // next one is made.
    int failures = 0;
    for (int32_t round = 0; round < request.repeat; ++round) {
        for (const ProbeCommand& command : request.commands) {
            try {
                Exchange(helper, command);
            } catch (const platform::Exception&) {
                std::fflush(stdout);
                std::fprintf(stderr, "%s\n", platform::CurrentExceptionMessage().c_str());
                std::fflush(stderr);
                ++failures;
            }
        }
    }
    chanel->Close(nullptr);
    return failures > 0 ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const Usage& usage) {
        std::fprintf(stderr, "daxprobe: %s\n%s", usage.text.c_str(), kUsage);
        return 2;
    } catch (...) {
        std::fflush(stdout);
        std::fprintf(stderr, "%s\n", platform::CurrentExceptionMessage().c_str());
        return 1;
    }
}
