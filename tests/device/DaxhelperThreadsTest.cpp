#include "DaxhelperFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using namespace testsupport;
using Bytes = std::vector<uint8_t>;

// Register value the answering instrument holds: distinct per register.
uint16_t RegisterValue(uint32_t address, uint8_t function)
{
    return static_cast<uint16_t>(address * 3 + (function == 0x04 ? 0x5000 : 0x1000));
}

// Answers every request the way an instrument would.
ScriptedReply Instrument(const Bytes& request)
{
    const uint8_t function = request[1];
    switch (function) {
    case 0x03:
    case 0x04: {
        const uint32_t address = (request[2] << 8) | request[3];
        const uint32_t count = (request[4] << 8) | request[5];
        Bytes body = {request[0], function, static_cast<uint8_t>(2 * count)};
        for (uint32_t i = 0; i < count; ++i) {
            const uint16_t value = RegisterValue(address + i, function);
            body.push_back(static_cast<uint8_t>(value >> 8));
            body.push_back(static_cast<uint8_t>(value & 0xFF));
        }
        return ScriptedReply::Answer(WithCrc(body));
    }
    case 0x10:
        return ScriptedReply::Answer(WithCrc(Bytes(request.begin(), request.begin() + 6)));
    case 0x11:
        return ScriptedReply::Answer(WithCrc({request[0], 0x11, 10, 'D', 'A', 'X', '-', '0', '1', 1, 0, 1, 2}));
    default:
        return ScriptedReply::Silence();
    }
}

class DaxHelperThreads : public testsupport::DaxHelperFixture {};

// Operations of several workers never interleave on the channel, and the main thread reads the
// images and the identification meanwhile under the image mutex.
TEST_F(DaxHelperThreads, OperationsAreSerialisedAndImagesStayWhole)
{
    chanel_.SetResponder(Instrument);
    std::atomic<int> inFlight{0};
    std::atomic<bool> overlapped{false};
    chanel_.SetOnTransact([&] {
        if (inFlight.fetch_add(1) != 0)
            overlapped = true;
        for (int i = 0; i < 20; ++i)
            std::this_thread::yield();
        inFlight.fetch_sub(1);
    });

    std::atomic<int> running{3};
    std::vector<std::thread> workers;
    workers.emplace_back([&] {
        for (int i = 0; i < 40; ++i)
            helper_.ReadRegisters(30001 + 127 * (i % 3), 127, nullptr, 2);
        --running;
    });
    workers.emplace_back([&] {
        for (int i = 0; i < 40; ++i) {
            helper_.ReadRegisters(40001 + 100 * (i % 5), 100, nullptr, 2);
            helper_.WriteRegisters(40001, 10, nullptr, 1);
        }
        --running;
    });
    workers.emplace_back([&] {
        for (int i = 0; i < 40; ++i)
            helper_.Identify(nullptr, 1);
        --running;
    });

    size_t looks = 0;
    while (running.load() > 0) {
        {
            DaxHelperLocker lock(&helper_);
            // Each register is either still zero or holds its value whole.
            for (size_t r = 0; r < 481; ++r) {
                const uint16_t v = static_cast<uint16_t>((helper_.InputRegisterImage[2 * r] << 8) |
                                                         helper_.InputRegisterImage[2 * r + 1]);
                ASSERT_TRUE(v == 0 || v == RegisterValue(static_cast<uint32_t>(r), 0x04)) << r;
            }
        }
        const std::string text = helper_.ModelText();
        ASSERT_TRUE(text.empty() || text == "Dax-01");
        ++looks;
    }
    for (auto& worker : workers)
        worker.join();

    EXPECT_FALSE(overlapped.load());
    EXPECT_GT(looks, 0u);
    EXPECT_TRUE(helper_.Identified());
    EXPECT_EQ(helper_.FirmwareVersionText(), "1.2");
    DaxHelperLocker lock(&helper_);
    for (size_t r = 0; r < 500; ++r) {
        const uint16_t v = static_cast<uint16_t>((helper_.HoldingRegisterImage[2 * r] << 8) |
                                                 helper_.HoldingRegisterImage[2 * r + 1]);
        EXPECT_EQ(v, RegisterValue(static_cast<uint32_t>(r), 0x03)) << r;
    }
}

} // namespace
