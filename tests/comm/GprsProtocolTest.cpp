#include "comm/Crc16.h"
#include "comm/GprsProtocol.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(GprsPackets, GoldenBytes)
{
    const Bytes request = {0x00, 0x04, 0x00, 0x00, 0x00, 0x0A, 0x71, 0xDC};
    EXPECT_EQ(gprs::BuildDataPacket(0, request),
              (Bytes{0x50, 0x00, 0x00, 0x08, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x0A, 0x71, 0xDC, 0x02, 0x5A}));
    // Sequence and length little-endian; the checksum covers everything before it.
    const Bytes packet = gprs::BuildDataPacket(0x1234, request);
    ASSERT_EQ(packet.size(), 15u);
    EXPECT_EQ(packet[1], 0x34);
    EXPECT_EQ(packet[2], 0x12);
    EXPECT_EQ(Crc16Modbus(std::span<const uint8_t>(packet).first(13)), packet[13] | (packet[14] << 8));

    EXPECT_EQ(gprs::kActivation, (std::array<uint8_t, 4>{0x02, 0x01, 0xC1, 0x10}));
    EXPECT_EQ(Crc16Modbus(std::span<const uint8_t>(gprs::kActivation).first(2)), 0x10C1);
    EXPECT_EQ(gprs::kClientInfo,
              (std::array<uint8_t, 11>{0x10, 'Z', 'I', 'V', 'A', 'Z', 'E', 0x01, 0x00, 0x03, 0x18}));

    const auto status = gprs::BuildStatusPacket(0x0102, 0x00, 0x07);
    EXPECT_EQ(status[0], 0x80);
    EXPECT_EQ(status[1], 0x02);
    EXPECT_EQ(status[2], 0x01);
    EXPECT_EQ(status[3], 0x07);
    EXPECT_EQ(Crc16Modbus(std::span<const uint8_t>(status).first(4)), status[4] | (status[5] << 8));

    EXPECT_EQ(gprs::BuildDataPacket(1, Bytes(gprs::kMaxPayload, 0)).size(), gprs::kBufferSize);
    EXPECT_TRUE(gprs::BuildDataPacket(1, Bytes(gprs::kMaxPayload + 1, 0)).empty());
}

TEST(GprsPackets, DeviceIdField)
{
    struct Case {
        const char* name;
        std::string id;
        Bytes field;
    } const cases[] = {
        {"short ID padded with zeros", "ABC", Bytes{'A', 'B', 'C', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"20 characters: the first 16", "0123456789ABCDEFGHIJ",
         Bytes{'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'}},
        {"exactly 16: no terminating zero", "0123456789abcdef",
         Bytes{'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'}},
        {"Cyrillic in Windows-1251", "ПРИБОР", Bytes{0xCF, 0xD0, 0xC8, 0xC1, 0xCE, 0xD0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"empty", "", Bytes(16, 0)},
    };
    for (const Case& c : cases) {
        const auto field = gprs::DeviceIdField(c.id);
        EXPECT_EQ(Bytes(field.begin(), field.end()), c.field) << c.name;
        const auto message = gprs::AssociationMessage(c.id);
        EXPECT_EQ(message[0], 0x03) << c.name;
        EXPECT_EQ(Bytes(message.begin() + 1, message.end()), c.field) << c.name;
    }
}

// Every ID the server lists must be associated with exactly its own bytes, the byte 0x98
// (unassigned in Windows-1251) included: once it came back as '?' and the device was
// unreachable.
TEST(GprsPackets, EveryListedDeviceIdIsAssociatedWithItsOwnBytes)
{
    struct Case {
        const char* name;
        Bytes id;
    } const cases[] = {
        {"the unassigned byte alone", {0x98}},
        {"the unassigned byte between letters", {'D', 0x98, 'X', 0xCF}},
        {"16 bytes ending in it", {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 0x98}},
        {"every other high byte", {0x80, 0x97, 0x99, 0xA0, 0xB9, 0xC0, 0xFF}},
    };
    for (const Case& c : cases) {
        GPRS_UDP_CHANEL_DATA record;
        std::copy(c.id.begin(), c.id.end(), record.bytes.begin() + 10);
        const std::string text = record.DeviceId();
        EXPECT_EQ(text.find("\xEF\xBF\xBD"), std::string::npos) << c.name;
        Bytes expected = c.id;
        expected.resize(gprs::kDeviceIdSize, 0);
        const auto field = gprs::DeviceIdField(text);
        EXPECT_EQ(Bytes(field.begin(), field.end()), expected) << c.name;
    }
    EXPECT_EQ(gprs::DeviceIdField("\xC2\x98" "1")[0], 0x98);
}

struct Report {
    bool data;
    uint16_t sequence;
    Bytes payloadOrStatus;
    bool operator==(const Report&) const = default;
};

std::vector<Report> Simplify(const std::vector<GprsPacketReport>& reports)
{
    std::vector<Report> out;
    for (const GprsPacketReport& r : reports) {
        if (r.kind == GprsPacketReport::Kind::Data)
            out.push_back({true, r.sequence, r.payload});
        else
            out.push_back({false, r.sequence, {r.status}});
    }
    return out;
}

TEST(GprsPacketSplitter, Table)
{
    const Bytes answerA = {0x00, 0x04, 0x02, 0x12, 0x34, 0xB5, 0x33};
    const Bytes answerB = {0x00, 0x03, 0x02, 0xAB, 0xCD, 0x00, 0x00};
    const Bytes dataA = gprs::BuildDataPacket(7, answerA);
    const Bytes dataB = gprs::BuildDataPacket(8, answerB);
    const auto statusArray = gprs::BuildStatusPacket(9, 0x05, 0x33);
    const Bytes status(statusArray.begin(), statusArray.end());
    Bytes badA = dataA;
    badA[6] ^= 0xFF;   // payload byte damaged
    Bytes badStatus = status;
    badStatus[3] ^= 0x01;
    Bytes tooLong = {0x50, 0x01, 0x00, 0xFF, 0xFF};   // length 65535: no packet start
    const Report a{true, 7, answerA};
    const Report b{true, 8, answerB};
    const Report s{false, 9, {0x33}};

    struct Case {
        const char* name;
        std::vector<Bytes> reads;
        std::vector<Report> expected;
        size_t pendingAfter;
    } const cases[] = {
        {"one data packet", {dataA}, {a}, 0},
        {"two data packets in one block, in order", {Concat({dataA, dataB})}, {a, b}, 0},
        {"data then status", {Concat({dataA, status})}, {a, s}, 0},
        {"bad checksum skipped, the packet behind it read", {Concat({badA, dataB})}, {b}, 0},
        {"status with bad checksum does not drop what follows", {Concat({badStatus, dataA})}, {a}, 0},
        {"garbage before a packet", {Concat({Bytes{0x01, 0x02, 0x7F}, dataA})}, {a}, 0},
        {"length beyond the largest payload is no start", {Concat({tooLong, dataB})}, {b}, 0},
        {"cut packet completed by the next read", {Bytes(dataA.begin(), dataA.begin() + 9), Bytes(dataA.begin() + 9, dataA.end())}, {a}, 0},
        {"header cut after two bytes", {Bytes(dataB.begin(), dataB.begin() + 2), Bytes(dataB.begin() + 2, dataB.end())}, {b}, 0},
        {"status cut", {Bytes(status.begin(), status.begin() + 3), Bytes(status.begin() + 3, status.end())}, {s}, 0},
        {"unfinished packet waits", {Bytes(dataA.begin(), dataA.end() - 1)}, {}, dataA.size() - 1},
        {"empty read", {Bytes{}}, {}, 0},
    };
    for (const Case& c : cases) {
        GprsPacketSplitter splitter;
        std::vector<GprsPacketReport> reports;
        for (const Bytes& read : c.reads)
            splitter.Feed(read, reports);
        EXPECT_EQ(Simplify(reports), c.expected) << c.name;
        EXPECT_EQ(splitter.PendingBytes(), c.pendingAfter) << c.name;
    }
}

TEST(GprsPacketSplitter, EveryCutAndByteByByte)
{
    const Bytes page(265, 0x50);   // an archive page answer full of 'P' bytes: 272-byte packet
    const Bytes small = {0x00, 0x11, 0x80, 0x90};
    const auto status = gprs::BuildStatusPacket(3, 0, 0);
    const Bytes stream = Concat({gprs::BuildDataPacket(1, page), gprs::BuildDataPacket(2, small), Bytes(status.begin(), status.end())});
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        GprsPacketSplitter splitter;
        std::vector<GprsPacketReport> reports;
        splitter.Feed(std::span<const uint8_t>(stream).first(cut), reports);
        splitter.Feed(std::span<const uint8_t>(stream).subspan(cut), reports);
        ASSERT_EQ(reports.size(), 3u) << "cut at " << cut;
        EXPECT_EQ(reports[0].payload, page);
        EXPECT_EQ(reports[1].sequence, 2);
        EXPECT_EQ(reports[2].kind, GprsPacketReport::Kind::Status);
        EXPECT_EQ(splitter.SkippedBytes(), 0u);
    }
    GprsPacketSplitter splitter;
    std::vector<GprsPacketReport> reports;
    for (const uint8_t byte : stream)
        splitter.Feed(std::span<const uint8_t>(&byte, 1), reports);
    EXPECT_EQ(reports.size(), 3u);
    EXPECT_EQ(splitter.PendingBytes(), 0u);
}

TEST(GprsPacketSplitter, ResynchronisesAfterDamageWithinALongStream)
{
    Bytes stream;
    for (uint16_t sequence = 0; sequence < 20; ++sequence) {
        Bytes packet = gprs::BuildDataPacket(sequence, Bytes(20, static_cast<uint8_t>(0x80 + sequence)));
        if (sequence % 5 == 2)
            packet[10] ^= 0x55;   // four damaged packets
        stream.insert(stream.end(), packet.begin(), packet.end());
    }
    GprsPacketSplitter splitter;
    std::vector<GprsPacketReport> reports;
    for (size_t position = 0; position < stream.size(); position += 37)
        splitter.Feed(std::span<const uint8_t>(stream).subspan(position, std::min<size_t>(37, stream.size() - position)), reports);
    std::vector<uint16_t> sequences;
    for (const auto& r : reports)
        sequences.push_back(r.sequence);
    EXPECT_EQ(sequences, (std::vector<uint16_t>{0, 1, 3, 4, 5, 6, 8, 9, 10, 11, 13, 14, 15, 16, 18, 19}));
}

} // namespace
