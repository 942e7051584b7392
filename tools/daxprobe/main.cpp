// daxprobe: opens one channel (a serial port, a TCP gateway or a GPRS relay server), makes one exchange with the
// instrument through DaxHelper, as the configurator does (one attempt), or the same exchange
// several times in that one session (--repeat), and prints the exchange log (with --log),
// DaxHelper's own texts and what each answer gave. A developer's tool for tests and for
// diagnosing a link; prints each failure's text and exits non-zero when any exchange failed.
#include "comm/ComPortChanel.h"
#include "comm/GprsChanel.h"
#include "comm/Modbus.h"
#include "comm/TcpChanel.h"
#include "device/Daxhelper.h"
#include "platform/Exceptions.h"

#include <charconv>
#include <cstdio>
#include <list>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kUsage =
    "usage: daxprobe (--serial PATH [--speed N] | --tcp HOST:PORT | --gprs HOST:PORT --id ID) [--addr N] [--log]\n"
    "                [--repeat N] COMMAND...\n"
    "       daxprobe --gprs-list HOST:PORT\n"
    "COMMAND: identify | read REG COUNT | write REG VALUE... | page TYPE ARG START COUNT\n"
    "Commands run one after another in one channel session, --repeat N times over.\n";

struct Usage {
    std::string text;
};

std::string FormatRefusal(const char* what, int32_t first, int32_t count, int32_t most)
{
    return std::string(what) + " refused: registers " + std::to_string(first) + ".." +
           std::to_string(first + count - 1) + " are not within one register image (30001..30481, 40001..40596" +
           (std::string(what) == "write" ? ", holding only" : "") + ") or more than " + std::to_string(most);
}

int64_t Number(const std::string& text, int64_t low, int64_t high, const char* what)
{
    int base = 10;
    std::string_view digits = text;
    if (digits.starts_with("0x") || digits.starts_with("0X")) {
        base = 16;
        digits.remove_prefix(2);
    }
    int64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || value < low || value > high)
        throw Usage{std::string(what) + ": expected a number from " + std::to_string(low) + " to " +
                    std::to_string(high) + ", got \"" + text + "\""};
    return value;
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

template <typename Record>
void PrintList(const std::list<Record>& records)
{
    unsigned index = 0;
    for (const Record& record : records)
        std::printf("record %u: %s\n", index++, Hex(record.bytes).c_str());
}

// The records one page put into the read list of its type (a type above 6 keeps none).
void PrintRecords(const DaxHelper& helper, uint32_t type)
{
    switch (type) {
    case 0: PrintList(helper.HourArchiveList); break;
    case 1: PrintList(helper.DayArchiveList); break;
    case 2: PrintList(helper.MonthArchiveList); break;
    case 3: PrintList(helper.TotalDayArchiveList); break;
    case 4: PrintList(helper.TotalMonthArchiveList); break;
    case 5: PrintList(helper.NotStaffJournalList); break;
    case 6: PrintList(helper.OperatorJournalList); break;
    default: break;
    }
}

// "HOST:PORT" split, or a usage error naming the option.
std::pair<std::string, int32_t> HostPort(const std::string& text, const char* option)
{
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0)
        throw Usage{std::string(option) + ": expected HOST:PORT, got \"" + text + "\""};
    return {text.substr(0, colon),
            static_cast<int32_t>(Number(text.substr(colon + 1), 1, 65535, (std::string(option) + " port").c_str()))};
}

// The device IDs the relay server knows, one a line.
int ListDevices(const std::string& server)
{
    const auto [host, port] = HostPort(server, "--gprs-list");
    std::vector<GPRS_UDP_CHANEL_DATA> records;
    if (!QueryDeviceList(host, port, records))
        throw platform::Exception("the relay server did not give its device list");
    for (const auto& record : records)
        std::printf("%s\n", record.DeviceId().c_str());
    return 0;
}

// One exchange asked for on the command line, its operands checked.
struct Command {
    std::string name;               // identify, read, write or page
    int32_t firstRegister = 0;
    int32_t count = 0;
    std::vector<uint16_t> values;   // write
    uint32_t pageType = 0;
    int32_t pageArgument = 0;
    uint16_t pageStart = 0;
    uint8_t pageCount = 0;
};

bool IsCommandName(const std::string& word)
{
    return word == "identify" || word == "read" || word == "write" || word == "page";
}

// Operands are checked before the channel opens; DaxHelper refuses blocks outside its images.
Command ParseCommand(const std::string& name, const std::vector<std::string>& operands)
{
    Command command;
    command.name = name;
    if (name == "identify") {
        if (!operands.empty())
            throw Usage{"identify takes no operands"};
    } else if (name == "read") {
        if (operands.size() != 2)
            throw Usage{"read needs REG COUNT"};
        command.firstRegister = static_cast<int32_t>(Number(operands[0], 30001, 49999, "REG"));
        command.count = static_cast<int32_t>(Number(operands[1], 1, dax::kMaxReadRegisters, "COUNT"));
    } else if (name == "write") {
        if (operands.size() < 2)
            throw Usage{"write needs REG VALUE..."};
        command.firstRegister = static_cast<int32_t>(Number(operands[0], 40001, 49999, "REG"));
        for (size_t k = 1; k < operands.size(); ++k)
            command.values.push_back(static_cast<uint16_t>(Number(operands[k], 0, 0xFFFF, "VALUE")));
        command.count = static_cast<int32_t>(command.values.size());
    } else if (name == "page") {
        if (operands.size() != 4)
            throw Usage{"page needs TYPE ARG START COUNT"};
        command.pageType = static_cast<uint32_t>(Number(operands[0], 0, 255, "TYPE"));
        command.pageArgument = static_cast<int32_t>(Number(operands[1], 0, 255, "ARG"));
        command.pageStart = static_cast<uint16_t>(Number(operands[2], 0, 0xFFFF, "START"));
        command.pageCount = static_cast<uint8_t>(Number(operands[3], 0, 255, "COUNT"));
    } else {
        throw Usage{"unknown command \"" + name + "\""};
    }
    return command;
}

// Makes one exchange through DaxHelper (one attempt) and prints what it gave; throws the failure.
void Exchange(DaxHelper& helper, const Command& command)
{
    const int32_t tries = 1;
    const int32_t firstRegister = command.firstRegister;
    const int32_t count = command.count;
    helper.ClearReadLists();
    if (command.name == "identify") {
        const bool accepted = helper.Identify(nullptr, tries);
        if (!accepted)
            throw platform::Exception(dax::kUnknownVersionText);
        if (!helper.Identified())
            throw platform::Exception(dax::kUnknownModificationText);
        std::printf("model %s, modification %s, software %s\n", helper.ModelText().c_str(),
                    helper.ModificationText().c_str(), helper.FirmwareVersionText().c_str());
    } else if (command.name == "read") {
        if (!helper.ReadRegisters(firstRegister, count, nullptr, tries))
            throw platform::Exception(FormatRefusal("read", firstRegister, count, dax::kMaxReadRegisters));
        // DaxHelper takes only an answer of exactly this length.
        std::printf("answer: %d bytes\n", 2 * count + 5);
        DaxHelperLocker locker(&helper);
        const bool input = firstRegister < dax::kFirstHoldingRegister;
        const uint8_t* image = input ? helper.InputRegisterImage.data() : helper.HoldingRegisterImage.data();
        const int32_t base = input ? dax::kFirstInputRegister : dax::kFirstHoldingRegister;
        for (int32_t k = 0; k < count; ++k) {
            const size_t at = 2 * static_cast<size_t>(firstRegister + k - base);
            const auto value = static_cast<uint16_t>((image[at] << 8) | image[at + 1]);
            std::printf("%d = 0x%04X (%u)\n", firstRegister + k, value, value);
        }
    } else if (command.name == "write") {
        // The values go into the setup image, from which DaxHelper builds the request.
        const int64_t last = int64_t{firstRegister} + count - 1;
        if (last < dax::kFirstHoldingRegister + dax::kHoldingRegisterCount) {
            DaxHelperLocker locker(&helper);
            for (int32_t k = 0; k < count; ++k) {
                const size_t at = 2 * static_cast<size_t>(firstRegister + k - dax::kFirstHoldingRegister);
                const uint16_t value = command.values[static_cast<size_t>(k)];
                helper.HoldingRegisterImage[at] = static_cast<uint8_t>(value >> 8);
                helper.HoldingRegisterImage[at + 1] = static_cast<uint8_t>(value & 0xFF);
            }
        }
        if (!helper.WriteRegisters(firstRegister, count, nullptr, tries))
            throw platform::Exception(FormatRefusal("write", firstRegister, count, modbus::kMaxWriteRegisters));
        std::printf("wrote %d registers from %d\n", count, firstRegister);
    } else {
        uint16_t start = command.pageStart;
        uint8_t carried = command.pageCount;
        if (!helper.ReadArchivePage(command.pageType, command.pageArgument, start, carried, nullptr, tries))
            throw platform::Exception("the answer is not a page (function byte other than 0x41)");
        std::printf("records %u, next position %u\n", unsigned{carried}, unsigned{start});
        PrintRecords(helper, command.pageType);
    }
}

int Run(const std::vector<std::string>& args)
{
    if (args.size() == 2 && args[0] == "--gprs-list")
        return ListDevices(args[1]);
    std::string serial;
    int32_t speed = 19200;
    std::string tcp;
    std::string gprs;
    std::string deviceId;
    int32_t address = 0;
    bool log = false;
    int32_t repeat = 1;
    size_t i = 0;
    for (; i < args.size() && args[i].starts_with("--"); ++i) {
        const std::string& option = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size())
                throw Usage{option + " needs a value"};
            return args[++i];
        };
        if (option == "--serial")
            serial = value();
        else if (option == "--speed")
            speed = static_cast<int32_t>(Number(value(), 0, 10000000, "--speed"));
        else if (option == "--tcp")
            tcp = value();
        else if (option == "--gprs")
            gprs = value();
        else if (option == "--id")
            deviceId = value();
        else if (option == "--addr")
            address = static_cast<int32_t>(Number(value(), 0, 254, "--addr"));
        else if (option == "--log")
            log = true;
        else if (option == "--repeat")
            repeat = static_cast<int32_t>(Number(value(), 1, 1000, "--repeat"));
        else
            throw Usage{"unknown option \"" + option + "\""};
    }
    if (int{!serial.empty()} + int{!tcp.empty()} + int{!gprs.empty()} != 1)
        throw Usage{"give exactly one of --serial PATH, --tcp HOST:PORT and --gprs HOST:PORT"};
    if (gprs.empty() != deviceId.empty())
        throw Usage{"--gprs HOST:PORT and --id ID go together"};
    if (i >= args.size())
        throw Usage{"no command given"};
    // Commands one after another, each with its operands: they share the one channel session.
    std::vector<Command> commands;
    while (i < args.size()) {
        const std::string name = args[i++];
        std::vector<std::string> operands;
        while (i < args.size() && !IsCommandName(args[i]))
            operands.push_back(args[i++]);
        commands.push_back(ParseCommand(name, operands));
    }

    std::unique_ptr<TChanelHelperBase> chanel;
    if (!serial.empty()) {
        auto com = std::make_unique<ComPortChanelHelper>(false);
        com->Params().ComPortName = serial;
        com->Params().ComPortSpeed = speed;
        com->Params().NetAddr = address;
        chanel = std::move(com);
    } else if (!tcp.empty()) {
        const auto [host, port] = HostPort(tcp, "--tcp");
        auto net = std::make_unique<TcpChanelHelper>(false);
        net->Params().TcpAddress = host;
        net->Params().TcpPort = port;
        net->Params().NetAddr = address;
        chanel = std::move(net);
    } else {
        // The relay addresses the instrument by its device ID; frames carry address 0.
        const auto [host, port] = HostPort(gprs, "--gprs");
        auto relay = std::make_unique<GprsChanelHelper>(GprsTimings{}, false);
        relay->Params().IPAddress = host;
        relay->Params().TcpUdpPort = port;
        relay->Params().DeviceID = deviceId;
        chanel = std::move(relay);
    }
    chanel->SetLogEnabled(log);
    chanel->SetLogCallback([](const std::string& text, TInteractContainer*) { std::printf("%s\n", text.c_str()); });

    DaxHelper helper;
    helper.SetLogCallback([](const std::string& text, TInteractContainer*) { std::printf("%s\n", text.c_str()); });
    helper.SetChannel(chanel.get());
    chanel->Open(nullptr);
    // Every command of every round in the one session: a failed exchange is reported and the
    // next one is made.
    int failures = 0;
    for (int32_t round = 0; round < repeat; ++round) {
        for (const Command& command : commands) {
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
