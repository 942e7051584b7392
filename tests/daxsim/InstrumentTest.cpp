#include "Instrument.h"
#include "Options.h"
#include "Servers.h"
#include "Simulator.h"

#include "comm/Crc16.h"
#include "comm/Modbus.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;
using namespace daxsim;

Bytes WithCrc(Bytes frame)
{
    AppendCrc(frame);
    return frame;
}

Bytes ReadRequest(uint8_t address, uint16_t reg, int32_t count)
{
    Bytes buffer(8);
    size_t length = 0;
    ModbusBuildReadRegisters(buffer, length, address, reg, count);
    return buffer;
}

Bytes PageRequest(uint8_t address, uint8_t type, uint8_t argument, uint16_t start, uint8_t count)
{
    const uint8_t data[] = {type, argument, static_cast<uint8_t>(start & 0xFF), static_cast<uint8_t>(start >> 8), count};
    Bytes buffer(9);
    size_t length = 0;
    ModbusBuildRequest(buffer, length, address, modbus::kReadArchivePage, data);
    return buffer;
}

class InstrumentTest : public testing::Test {
protected:
    Instrument instrument_{FixtureState(Model::Dax01), 1};
};

TEST_F(InstrumentTest, Identification)
{
    EXPECT_EQ(instrument_.Answer(WithCrc({0x01, 0x11})),
              WithCrc({0x01, 0x11, 0x0A, 'D', 'A', 'X', '-', '0', '1', 1, 0, 1, 3}));
    Instrument dax02(FixtureState(Model::Dax02), 7);
    const Bytes answer = dax02.Answer(WithCrc({0x00, 0x11}));
    ASSERT_EQ(answer.size(), 15u);
    EXPECT_EQ(std::string(answer.begin() + 3, answer.begin() + 9), "DAX-02");
}

struct ExceptionCase {
    const char* name;
    Bytes request;
    uint8_t code;
};

TEST_F(InstrumentTest, ExceptionAnswers)
{
    const ExceptionCase cases[] = {
        {"unknown function", WithCrc({0x01, 0x06, 0x00, 0x01, 0x00, 0x01}), 0x01},
        {"input registers past the end", ReadRequest(1, 30481, 2), 0x02},
        {"holding registers past the end", ReadRequest(1, 40590, 8), 0x02},
        {"128 registers", ReadRequest(1, 30001, 128), 0x03},
        {"0 registers", WithCrc({0x01, 0x03, 0x00, 0x00, 0x00, 0x00}), 0x03},
        {"write count and byte count disagree", WithCrc({0x01, 0x10, 0x00, 0x00, 0x00, 0x02, 0x02, 0x00, 0x01}), 0x03},
        {"write past the end", WithCrc({0x01, 0x10, 0x02, 0x53, 0x00, 0x02, 0x04, 0, 1, 0, 2}), 0x02},
        {"page of an unknown type", PageRequest(1, 7, 0, 0, 1), 0x02},
        {"page position beyond the ring", PageRequest(1, 0, 0, 16, 1), 0x02},
    };
    for (const ExceptionCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(instrument_.Answer(c.request), ExceptionAnswer(c.request[0], c.request[1], c.code));
    }
}

TEST_F(InstrumentTest, SilenceForOtherAddressesAndDamagedFrames)
{
    EXPECT_TRUE(instrument_.Answer(ReadRequest(2, 30001, 1)).empty());
    Bytes damaged = ReadRequest(1, 30001, 1);
    damaged[7] ^= 1;
    EXPECT_TRUE(instrument_.Answer(damaged).empty());
    EXPECT_TRUE(instrument_.Answer(Bytes{0x01, 0x03, 0x00}).empty());
    EXPECT_FALSE(instrument_.Answer(ReadRequest(0, 30001, 1)).empty());
}

TEST_F(InstrumentTest, RegisterReadsAreDistinctAndPlaced)
{
    const Bytes answer = instrument_.Answer(ReadRequest(1, 30100, 127));
    ASSERT_EQ(answer.size(), 259u);
    EXPECT_EQ(answer[2], 254);
    EXPECT_EQ(answer[3], 0x30);
    EXPECT_EQ(answer[4], 0x63);   // 30100 holds 0x3000 + 99
    EXPECT_TRUE(CrcIsValid(answer));
    const Bytes last = instrument_.Answer(ReadRequest(1, 40595, 2));
    EXPECT_EQ(last, WithCrc({0x01, 0x03, 0x04, 0x42, 0x52, 0x42, 0x53}));
}

TEST_F(InstrumentTest, WritesAreKeptAndEchoed)
{
    Bytes buffer(16);
    size_t length = 0;
    const Bytes values = {0x12, 0x34, 0xAB, 0xCD};
    ModbusBuildWriteRegisters(buffer, length, 1, values, 40010, 2);
    buffer.resize(length);
    EXPECT_EQ(instrument_.Answer(buffer), WithCrc({0x01, 0x10, 0x00, 0x09, 0x00, 0x02}));
    EXPECT_EQ(instrument_.Answer(ReadRequest(1, 40010, 2)), WithCrc({0x01, 0x03, 0x04, 0x12, 0x34, 0xAB, 0xCD}));
}

TEST_F(InstrumentTest, RingPointersStandInTheInputRegisters)
{
    const InstrumentState state = instrument_.State();
    for (int type = 0; type < kRecordTypeCount; ++type) {
        SCOPED_TRACE(type);
        const auto base = static_cast<uint16_t>(30029 + 3 * type);
        EXPECT_EQ(state.Register(base), state.Rings[type].Highest);
        EXPECT_EQ(state.Register(base + 1), state.Rings[type].First);
        EXPECT_EQ(state.Register(base + 2), state.Rings[type].Next);
    }
    EXPECT_EQ(state.Rings[0].RecordCount(), 7u);    // wrapped
    EXPECT_EQ(state.Rings[5].RecordCount(), 40u);
    EXPECT_EQ(state.Rings[6].RecordCount(), 22u);   // wrapped
}

TEST_F(InstrumentTest, ArchiveRecordsCarryAValidCheckWordButOne)
{
    const InstrumentState state = instrument_.State();
    int bad = 0;
    for (int type = 0; type <= 4; ++type) {
        const RecordRing& ring = state.Rings[type];
        for (uint16_t p = ring.First; p != ring.Next; p = p == ring.Highest ? 0 : p + 1) {
            const Bytes& record = ring.Slots[p];
            const uint16_t stored = static_cast<uint16_t>(record[254] | (record[255] << 8));
            if (Crc16Ccitt(std::span<const uint8_t>(record).first(254)) != stored) {
                ++bad;
                EXPECT_EQ(type, 0);
                EXPECT_EQ(p, kFixtureBadHourRecord);
            }
        }
    }
    EXPECT_EQ(bad, 1);
}

TEST_F(InstrumentTest, JournalOfFortyRecordsTakesThreeRequests)
{
    // As a reader that follows the ring pointers would: ask for what remains, move on by what came.
    uint16_t start = 0;
    uint16_t remaining = 40;
    std::vector<uint8_t> asked;
    while (remaining != 0) {
        const uint8_t count = static_cast<uint8_t>(std::min<uint16_t>(remaining, 255));
        asked.push_back(count);
        const Bytes answer = instrument_.Answer(PageRequest(1, 5, 0, start, count));
        ASSERT_EQ(answer.size(), ArchiveDataSize(5, count) + 9);
        ASSERT_TRUE(CrcIsValid(answer));
        const uint8_t carried = answer[6];
        ASSERT_GT(carried, 0);
        EXPECT_EQ(answer[7], static_cast<uint8_t>(start));   // records begin with their position
        start = static_cast<uint16_t>(answer[4] | (answer[5] << 8));
        remaining = static_cast<uint16_t>(remaining - carried);
    }
    EXPECT_EQ(asked, (std::vector<uint8_t>{40, 24, 8}));
    EXPECT_EQ(start, 40);
}

TEST_F(InstrumentTest, PagesFollowAWrappedRing)
{
    // Hour ring: positions 12..15 then 0..2.
    uint16_t start = 12;
    std::vector<uint16_t> positions;
    for (int i = 0; i < 7; ++i) {
        const Bytes answer = instrument_.Answer(PageRequest(1, 0, 0, start, 7));
        ASSERT_EQ(answer.size(), 265u);
        ASSERT_EQ(answer[6], 1);
        positions.push_back(static_cast<uint16_t>(answer[7] | (answer[8] << 8)));
        start = static_cast<uint16_t>(answer[4] | (answer[5] << 8));
    }
    EXPECT_EQ(positions, (std::vector<uint16_t>{12, 13, 14, 15, 0, 1, 2}));
    const Bytes end = instrument_.Answer(PageRequest(1, 0, 0, start, 1));
    EXPECT_EQ(end[6], 0);   // nothing after the newest record
    EXPECT_EQ(instrument_.Answer(PageRequest(1, 6, 0, 0, 0)).size(), 9u);
}

TEST_F(InstrumentTest, ReplaceStateRefusesAnInconsistentOne)
{
    InstrumentState state = FixtureState(Model::Dax02);
    state.SetRegister(30001, 0xBEEF);
    EXPECT_TRUE(instrument_.ReplaceState(state));
    EXPECT_EQ(instrument_.Answer(ReadRequest(1, 30001, 1)), WithCrc({0x01, 0x04, 0x02, 0xBE, 0xEF}));
    state.Rings[2].Next = 200;
    EXPECT_FALSE(instrument_.ReplaceState(state));
    state = FixtureState(Model::Dax02);
    state.InputImage.pop_back();
    EXPECT_FALSE(instrument_.ReplaceState(state));
}

TEST(Simulator, FaultsShapeTheReply)
{
    const Bytes request = ReadRequest(1, 30001, 1);
    const Bytes good = WithCrc({0x01, 0x04, 0x02, 0x30, 0x00});
    struct Case {
        const char* name;
        FaultOptions faults;
        Bytes bytes;
        int32_t delay;
        size_t split;
    };
    FaultOptions silent;
    silent.SilentRequests = 1;
    FaultOptions badCrc;
    badCrc.BadCrc = true;
    Bytes corrupted = good;
    corrupted.back() ^= 0x5A;
    FaultOptions exception;
    exception.ExceptionCode = 4;
    FaultOptions truncated;
    truncated.TruncateTo = 3;
    FaultOptions split;
    split.SplitAt = 2;
    split.SplitGapMs = 40;
    FaultOptions wrong;
    wrong.WrongFunction = true;
    FaultOptions delayed;
    delayed.DelayMs = 30;
    FaultOptions late;
    late.LateMs = 500;
    const Case cases[] = {
        {"none", {}, good, 0, 0},
        {"silent", silent, {}, 0, 0},
        {"bad CRC", badCrc, corrupted, 0, 0},
        {"exception", exception, ExceptionAnswer(1, 0x04, 4), 0, 0},
        {"truncated", truncated, {0x01, 0x04, 0x02}, 0, 0},
        {"split", split, good, 0, 2},
        {"wrong function", wrong, WithCrc({0x01, 0x24, 0x02, 0x30, 0x00}), 0, 0},
        {"delay", delayed, good, 30, 0},
        {"late", late, good, 500, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Simulator simulator(FixtureState(Model::Dax01), 1, c.faults);
        const Reply reply = simulator.Respond(request);
        EXPECT_EQ(reply.Bytes, c.bytes);
        EXPECT_EQ(reply.DelayMs, c.delay);
        EXPECT_EQ(reply.SplitAt, c.split);
        // The second request: silence was for the first only.
        if (c.faults.SilentRequests > 0) {
            EXPECT_EQ(simulator.Respond(request).Bytes, good);
        }
    }
}

TEST(Simulator, FaultsForTheFirstRequestsOnly)
{
    FaultOptions faults;
    faults.BadCrc = true;
    faults.FaultRequests = 2;
    faults.Baud = 9600;
    Simulator simulator(FixtureState(Model::Dax01), 1, faults);
    const Bytes request = ReadRequest(1, 30001, 1);
    EXPECT_FALSE(CrcIsValid(simulator.Respond(request).Bytes));
    EXPECT_FALSE(CrcIsValid(simulator.Respond(request).Bytes));
    const Reply third = simulator.Respond(request);
    EXPECT_TRUE(CrcIsValid(third.Bytes));
    EXPECT_EQ(third.ByteTime.count(), 1041);   // 10 bits at 9600 baud
    EXPECT_EQ(simulator.RequestCount(), 3u);
    EXPECT_TRUE(simulator.Respond(ReadRequest(9, 30001, 1)).Bytes.empty());
    EXPECT_EQ(simulator.RequestCount(), 3u);   // not addressed to it: not counted
}

TEST(Simulator, LogsEveryRequestAddressedToTheInstrument)
{
    struct Case {
        const char* name;
        Bytes request;
        RequestRecord record;
        const char* line;
    };
    const Case cases[] = {
        {"input registers", ReadRequest(1, 30383, 97), {0x04, 30383, 97, 0, {}}, "0x04 30383 x97"},
        {"holding registers", ReadRequest(0, 40216, 88), {0x03, 40216, 88, 0, {}}, "0x03 40216 x88"},
        {"write", WithCrc({0x01, 0x10, 0x00, 0x09, 0x00, 0x02, 0x04, 0xA7, 0x80, 0x00, 0x01}),
         {0x10, 40010, 2, 0, {0xA780, 0x0001}}, "0x10 40010 x2 = A780 0001"},
        {"identification", WithCrc({0x01, 0x11}), {0x11, 0, 0, 0, {}}, "0x11"},
        {"page", PageRequest(1, 5, 0, 0x0102, 40), {0x41, 5, 40, 0x0102, {}}, "0x41 type 5 from 258 x40"},
        // Refused with an exception answer, yet addressed to the instrument.
        {"unknown function", WithCrc({0x01, 0x2B, 0x0E}), {0x2B, 0, 0, 0, {}}, "0x2B"},
    };
    Simulator simulator(FixtureState(Model::Dax01), 1);
    std::vector<std::string> observed;
    simulator.SetRequestObserver([&observed](const RequestRecord& record) { observed.push_back(RequestLine(record)); });
    std::vector<RequestRecord> expected;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(simulator.Respond(c.request).Bytes.empty());
        EXPECT_EQ(DescribeRequest(c.request), c.record);
        EXPECT_EQ(RequestLine(c.record), c.line);
        expected.push_back(c.record);
    }
    // Another address and a damaged frame reach no instrument.
    EXPECT_TRUE(simulator.Respond(ReadRequest(9, 30001, 1)).Bytes.empty());
    Bytes damaged = ReadRequest(1, 30001, 1);
    damaged.back() ^= 1;
    EXPECT_TRUE(simulator.Respond(damaged).Bytes.empty());

    EXPECT_EQ(simulator.RequestLog(), expected);
    ASSERT_EQ(observed.size(), std::size(cases));
    EXPECT_EQ(observed.front(), "0x04 30383 x97");
    simulator.ClearRequestLog();
    EXPECT_TRUE(simulator.RequestLog().empty());

    // Silenced requests are logged too: they reached the instrument.
    FaultOptions silent;
    silent.SilentRequests = 1;
    Simulator quiet(FixtureState(Model::Dax01), 1, silent);
    EXPECT_TRUE(quiet.Respond(ReadRequest(1, 30001, 1)).Bytes.empty());
    EXPECT_EQ(quiet.RequestLog().size(), 1u);
}

TEST(RequestFramer, SplitsAStreamByFunction)
{
    RequestFramer framer;
    const Bytes read = ReadRequest(1, 30001, 2);
    const Bytes identify = WithCrc({0x01, 0x11});
    const Bytes write = WithCrc({0x01, 0x10, 0x00, 0x00, 0x00, 0x01, 0x02, 0x00, 0x07});
    Bytes stream = read;
    stream.insert(stream.end(), identify.begin(), identify.end());
    stream.insert(stream.end(), write.begin(), write.end());
    framer.Append(std::span(stream).first(5));
    EXPECT_FALSE(framer.Take());
    framer.Append(std::span(stream).subspan(5));
    EXPECT_EQ(framer.Take(), read);
    EXPECT_EQ(framer.Take(), identify);
    EXPECT_EQ(framer.Take(), write);
    EXPECT_FALSE(framer.Take());
    framer.Append(Bytes{0x01, 0x2B, 0x0E});
    EXPECT_FALSE(framer.Take());
    EXPECT_EQ(framer.TakePending(), (Bytes{0x01, 0x2B, 0x0E}));
    EXPECT_TRUE(framer.Empty());
}

TEST(SimOptions, CommandLines)
{
    std::string error;
    auto options = ParseSimOptions({"--tcp", "127.0.0.1:4001", "--addr", "5", "--model", "DAX-02", "--baud", "9600",
                                    "--silent", "2", "--split", "4:30", "--exception", "2", "--faults-for", "1"},
                                   error);
    ASSERT_TRUE(options) << error;
    EXPECT_TRUE(options->Tcp);
    EXPECT_EQ(options->Host, "127.0.0.1");
    EXPECT_EQ(options->Port, 4001);
    EXPECT_EQ(options->Address, 5);
    EXPECT_EQ(options->DeviceModel, Model::Dax02);
    EXPECT_EQ(options->Faults.Baud, 9600);
    EXPECT_EQ(options->Faults.SilentRequests, 2);
    EXPECT_EQ(options->Faults.SplitAt, 4);
    EXPECT_EQ(options->Faults.SplitGapMs, 30);
    EXPECT_EQ(options->Faults.ExceptionCode, 2);
    EXPECT_EQ(options->Faults.FaultRequests, 1);
    EXPECT_EQ(options->DataFile, "");
    EXPECT_EQ(options->SaveDataFile, "");

    EXPECT_FALSE(options->LogRequests);

    options = ParseSimOptions({"--pty", "--data", "in.daxdat", "--save-data", "out.daxdat", "--log-requests"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_TRUE(options->LogRequests);
    EXPECT_TRUE(options->Pty);
    EXPECT_EQ(options->DataFile, "in.daxdat");
    EXPECT_EQ(options->SaveDataFile, "out.daxdat");
    EXPECT_FALSE(options->Demo);

    options = ParseSimOptions({"--tcp", "127.0.0.1:0", "--demo", "--model", "DAX-02"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_TRUE(options->Demo);
    EXPECT_EQ(options->DeviceModel, Model::Dax02);
    EXPECT_EQ(options->ConfiguratorSettings, "");

    options = ParseSimOptions({"--tcp", "127.0.0.1:0", "--demo", "--configurator-settings", "build/demo-home"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->ConfiguratorSettings, "build/demo-home");

    struct Bad {
        std::vector<std::string> args;
        std::string error;
    };
    const Bad bad[] = {
        {{}, "give exactly one of --tcp HOST:PORT, --pty and --relay HOST:PORT"},
        {{"--pty", "--tcp", "h:1"}, "give exactly one of --tcp HOST:PORT, --pty and --relay HOST:PORT"},
        {{"--tcp", "4001"}, "--tcp: expected HOST:PORT, got \"4001\""},
        {{"--pty", "--model", "DAX-03"}, "--model: expected DAX-01 or DAX-02, got \"DAX-03\""},
        {{"--pty", "--addr", "255"}, "--addr: expected a number from 0 to 254, got \"255\""},
        {{"--pty", "--split", "4"}, "--split: expected N:MS, got \"4\""},
        {{"--pty", "--delay"}, "--delay needs a value"},
        {{"--pty", "--frobnicate"}, "unknown option \"--frobnicate\""},
        {{"--pty", "--model", "DAX-02", "--data", "a.daxdat"}, "--model and --data exclude each other: the data file names the model"},
        {{"--pty", "--save-data"}, "--save-data needs a value"},
        {{"--pty", "--demo", "--data", "a.daxdat"}, "--demo and --data exclude each other"},
        {{"--pty", "--configurator-settings", "home"}, "--configurator-settings needs --tcp HOST:PORT"},
        {{"--tcp", "h:1", "--configurator-settings"}, "--configurator-settings needs a value"},
    };
    for (const Bad& b : bad) {
        std::string message;
        EXPECT_FALSE(ParseSimOptions(b.args, message));
        EXPECT_EQ(message, b.error);
    }
}

} // namespace
