// The command-line pieces dax-sim and daxprobe share: numbers, HOST:PORT and the options table.
#include "CommandLine.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

TEST(CommandLine, Numbers)
{
    using daxcli::Radix;
    const struct {
        const char* text;
        Radix radix;
        std::optional<int64_t> value;
    } cases[] = {
        {"0", Radix::Decimal, 0},          {"254", Radix::Decimal, 254},      {"255", Radix::Decimal, std::nullopt},
        {"-1", Radix::Decimal, std::nullopt}, {"", Radix::Decimal, std::nullopt}, {"+5", Radix::Decimal, std::nullopt},
        {"5 ", Radix::Decimal, std::nullopt}, {"0x10", Radix::Decimal, std::nullopt}, {"0x10", Radix::DecimalOrHex, 16},
        {"0XfE", Radix::DecimalOrHex, 254}, {"0x", Radix::DecimalOrHex, std::nullopt}, {"0xFF", Radix::DecimalOrHex, std::nullopt},
        {"99999999999999999999", Radix::Decimal, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(daxcli::ParseNumber(c.text, 0, 254, c.radix), c.value) << c.text;
    EXPECT_EQ(daxcli::NumberError("--addr", 0, 254, "x"), "--addr: expected a number from 0 to 254, got \"x\"");
}

TEST(CommandLine, HostAndPort)
{
    using Fault = daxcli::HostPortFault;
    const struct {
        const char* text;
        int32_t lowPort;
        const char* host;  // none: refused with the fault
        int32_t port;
        Fault fault;
    } cases[] = {
        {"127.0.0.1:4001", 1, "127.0.0.1", 4001, Fault::None},
        {"localhost:0", 0, "localhost", 0, Fault::None},
        {"[::1]:5100", 1, "[::1]", 5100, Fault::None}, // split at the last colon
        {"localhost:0", 1, nullptr, 0, Fault::BadPort},
        {"h:65536", 0, nullptr, 0, Fault::BadPort},
        {"h:", 0, nullptr, 0, Fault::BadPort},
        {"4001", 0, nullptr, 0, Fault::NotHostPort},
        {":4001", 0, nullptr, 0, Fault::NotHostPort},
    };
    for (const auto& c : cases) {
        Fault fault = Fault::None;
        const auto address = daxcli::ParseHostPort(c.text, c.lowPort, &fault);
        EXPECT_EQ(fault, c.fault) << c.text;
        ASSERT_EQ(address.has_value(), c.host != nullptr) << c.text;
        if (address) {
            EXPECT_EQ(address->host, c.host);
            EXPECT_EQ(address->port, c.port);
        }
    }
    EXPECT_EQ(daxcli::HostPortError("--tcp", "x"), "--tcp: expected HOST:PORT, got \"x\"");
}

TEST(CommandLine, OptionsTable)
{
    bool flag = false;
    std::string text;
    uint8_t number = 0;
    const daxcli::Option table[] = {
        daxcli::Flag("--flag", flag),
        daxcli::Text("--text", text),
        daxcli::Number("--number", 1, 200, number),
    };
    const struct {
        std::vector<std::string> args;
        bool stopAtOperand;
        std::optional<std::string> error;
        size_t position; // where reading stopped
    } cases[] = {
        {{"--flag", "--text", "a b", "--number", "7"}, false, std::nullopt, 5},
        {{"--flag", "read", "1"}, true, std::nullopt, 1},
        {{"--flag", "read"}, false, "unknown option \"read\"", 1},
        {{"--text"}, false, "--text needs a value", 0},
        {{"--number", "0"}, false, "--number: expected a number from 1 to 200, got \"0\"", 1},
        {{"--other"}, true, "unknown option \"--other\"", 0},
    };
    for (const auto& c : cases) {
        size_t position = 0;
        EXPECT_EQ(daxcli::ParseOptions(c.args, position, table, c.stopAtOperand), c.error) << c.args.front();
        EXPECT_EQ(position, c.position) << c.args.front();
    }
    EXPECT_TRUE(flag);
    EXPECT_EQ(text, "a b");
    EXPECT_EQ(number, 7);
}

} // namespace
