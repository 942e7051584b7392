// daxprobe: opens one channel (a serial port or a TCP gateway), makes one exchange with the
// instrument through the real channel classes and prints the exchange log and the answer.
// A developer's tool for tests and for diagnosing a link; exits non-zero on failure.
#include "comm/ComPortChanel.h"
#include "comm/Crc16.h"
#include "comm/Modbus.h"
#include "comm/TcpChanel.h"
#include "platform/Exceptions.h"

#include <charconv>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kUsage =
    "usage: daxprobe (--serial PATH [--speed N] | --tcp HOST:PORT) [--addr N] [--log]\n"
    "                (identify | read REG COUNT | write REG VALUE... | page TYPE ARG START COUNT)\n";

struct Usage {
    std::string text;
};

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

// The checks every answer passes before it is used.
void CheckAnswer(std::span<const uint8_t> answer, int32_t received)
{
    if (received < 4)
        throw platform::Exception("Недопустимый ответ от прибора");
    const auto frame = answer.first(static_cast<size_t>(received));
    const uint16_t crc = Crc16Modbus(frame.first(frame.size() - 2));
    if (frame[frame.size() - 2] != (crc & 0xFF) || frame[frame.size() - 1] != (crc >> 8))
        throw platform::Exception("Ошибка CRC в ответе прибора");
    if (frame[1] & 0x80)
        throw platform::Exception(ModbusExceptionText(frame[2]));
}

void RequireLength(int32_t received, size_t expected)
{
    if (static_cast<size_t>(received) != expected)
        throw platform::Exception("Неверная длина ответа: " + std::to_string(received) + " байт вместо " +
                                  std::to_string(expected));
}

struct Exchange {
    std::vector<uint8_t> request;
    size_t expected = 0;
    int32_t firstByteMs = 1000;
    int32_t interByteMs = 100;
};

int Run(const std::vector<std::string>& args)
{
    std::string serial;
    int32_t speed = 19200;
    std::string tcp;
    int32_t address = 0;
    bool log = false;
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
        else if (option == "--addr")
            address = static_cast<int32_t>(Number(value(), 0, 254, "--addr"));
        else if (option == "--log")
            log = true;
        else
            throw Usage{"unknown option \"" + option + "\""};
    }
    if (serial.empty() == tcp.empty())
        throw Usage{"give exactly one of --serial PATH and --tcp HOST:PORT"};
    if (i >= args.size())
        throw Usage{"no command given"};
    const std::string command = args[i++];
    const std::vector<std::string> operands(args.begin() + static_cast<ptrdiff_t>(i), args.end());

    std::unique_ptr<TChanelHelperBase> chanel;
    if (!serial.empty()) {
        auto com = std::make_unique<ComPortChanelHelper>(false);
        com->Params().ComPortName = serial;
        com->Params().ComPortSpeed = speed;
        com->Params().NetAddr = address;
        chanel = std::move(com);
    } else {
        const size_t colon = tcp.rfind(':');
        if (colon == std::string::npos || colon == 0)
            throw Usage{"--tcp: expected HOST:PORT, got \"" + tcp + "\""};
        auto net = std::make_unique<TcpChanelHelper>(false);
        net->Params().TcpAddress = tcp.substr(0, colon);
        net->Params().TcpPort = static_cast<int32_t>(Number(tcp.substr(colon + 1), 1, 65535, "--tcp port"));
        net->Params().NetAddr = address;
        chanel = std::move(net);
    }
    chanel->SetLogEnabled(log);
    chanel->SetLogCallback([](const std::string& text, TInteractContainer*) { std::printf("%s\n", text.c_str()); });

    Exchange exchange;
    std::vector<uint8_t> buffer(512);
    size_t length = 0;
    const auto device = static_cast<uint8_t>(address);
    uint16_t firstRegister = 0;
    int32_t count = 0;
    uint8_t pageType = 0;
    if (command == "identify") {
        if (!operands.empty())
            throw Usage{"identify takes no operands"};
        ModbusBuildReportSlaveId(buffer, length, device);
        exchange.expected = 15;
    } else if (command == "read") {
        if (operands.size() != 2)
            throw Usage{"read needs REG COUNT"};
        firstRegister = static_cast<uint16_t>(Number(operands[0], 30001, 49999, "REG"));
        count = static_cast<int32_t>(Number(operands[1], 1, 127, "COUNT"));
        ModbusBuildReadRegisters(buffer, length, device, firstRegister, count);
        exchange.expected = 2 * static_cast<size_t>(count) + 5;
        exchange.firstByteMs = 500;
    } else if (command == "write") {
        if (operands.size() < 2)
            throw Usage{"write needs REG VALUE..."};
        firstRegister = static_cast<uint16_t>(Number(operands[0], 40001, 49999, "REG"));
        std::vector<uint8_t> data;
        for (size_t k = 1; k < operands.size(); ++k) {
            const auto value = static_cast<uint16_t>(Number(operands[k], 0, 0xFFFF, "VALUE"));
            data.push_back(static_cast<uint8_t>(value >> 8));
            data.push_back(static_cast<uint8_t>(value & 0xFF));
        }
        count = static_cast<int32_t>(operands.size() - 1);
        if (!ModbusBuildWriteRegisters(buffer, length, device, data, firstRegister, static_cast<uint16_t>(count)))
            throw Usage{"write: at most 123 registers"};
        exchange.expected = 8;
        exchange.firstByteMs = 3000;
    } else if (command == "page") {
        if (operands.size() != 4)
            throw Usage{"page needs TYPE ARG START COUNT"};
        pageType = static_cast<uint8_t>(Number(operands[0], 0, 255, "TYPE"));
        const auto argument = static_cast<uint8_t>(Number(operands[1], 0, 255, "ARG"));
        const auto start = static_cast<uint16_t>(Number(operands[2], 0, 0xFFFF, "START"));
        const auto asked = static_cast<uint8_t>(Number(operands[3], 0, 255, "COUNT"));
        const uint8_t data[] = {pageType, argument, static_cast<uint8_t>(start & 0xFF), static_cast<uint8_t>(start >> 8),
                                asked};
        ModbusBuildRequest(buffer, length, device, modbus::kReadArchivePage, data);
        const size_t recordSize = pageType <= 4 ? 256 : 16;
        exchange.expected = std::min<size_t>(recordSize * asked, 256) + 9;
    } else {
        throw Usage{"unknown command \"" + command + "\""};
    }
    exchange.request.assign(buffer.begin(), buffer.begin() + static_cast<ptrdiff_t>(length));

    chanel->Open(nullptr);
    chanel->SetTimeouts(exchange.firstByteMs, exchange.interByteMs, nullptr);
    std::vector<uint8_t> answer(exchange.expected);
    const int32_t received = chanel->Transact(exchange.request, answer, nullptr);
    chanel->Close(nullptr);
    if (received > 0)
        std::printf("answer: %s\n", Hex(std::span(answer).first(static_cast<size_t>(received))).c_str());
    CheckAnswer(answer, received);

    if (command == "identify") {
        if (answer[2] != 10 || received < 15)
            throw platform::Exception("Неизвестная модификация прибора");
        const std::string model(answer.begin() + 3, answer.begin() + 9);
        std::printf("model %s, modification %u.%u, software %u.%u\n", model.c_str(), answer[9], answer[10], answer[11],
                    answer[12]);
    } else if (command == "read") {
        RequireLength(received, exchange.expected);
        for (int32_t k = 0; k < count; ++k) {
            const auto value = static_cast<uint16_t>((answer[3 + 2 * k] << 8) | answer[4 + 2 * k]);
            std::printf("%u = 0x%04X (%u)\n", static_cast<unsigned>(firstRegister + k), value, value);
        }
    } else if (command == "write") {
        RequireLength(received, exchange.expected);
        if (answer[1] != modbus::kWriteMultipleRegisters)
            throw platform::Exception("Неверный код функции в ответе: " + std::to_string(answer[1]));
        std::printf("wrote %d registers from %u\n", count, static_cast<unsigned>(firstRegister));
    } else {
        RequireLength(received, exchange.expected);
        const size_t recordSize = pageType <= 4 ? 256 : 16;
        const unsigned carried = answer[6];
        const unsigned next = answer[4] | (answer[5] << 8);
        std::printf("records %u, next position %u\n", carried, next);
        for (unsigned r = 0; r < carried && 7 + (r + 1) * recordSize <= exchange.expected - 2; ++r)
            std::printf("record %u: %s\n", r, Hex(std::span(answer).subspan(7 + r * recordSize, recordSize)).c_str());
    }
    return 0;
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
