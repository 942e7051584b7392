#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The relay server's protocol: the handshake messages, the data and status packets with
// their CRC-16/MODBUS (low byte first), the splitter that cuts the received byte stream into
// packets, and the short device-list query. Numbers on the wire are little-endian.
namespace gprs {

constexpr size_t kBufferSize = 1024;                 // send and receive buffers of a connection
constexpr size_t kDataHeaderSize = 5;                // 'P', sequence, payload length
constexpr size_t kDataPacketOverhead = 7;            // header and checksum
constexpr size_t kMaxPayload = kBufferSize - kDataPacketOverhead;   // 1017 bytes
constexpr size_t kStatusPacketSize = 6;
constexpr uint8_t kDataPacketMark = 0x50;            // 'P'
constexpr uint8_t kStatusPacketBit = 0x80;           // any first byte with bit 7 set
constexpr uint8_t kDeviceRefused = 0xFF;             // first byte of a refused association
constexpr size_t kDeviceIdSize = 16;

constexpr std::array<uint8_t, 1> kVersionQuery = {0x00};
constexpr size_t kVersionAnswerSize = 12;            // 00, "GPRSSRV", four version bytes
constexpr std::string_view kServerSignature = "GPRSSRV";
constexpr std::array<uint8_t, 11> kClientInfo = {0x10, 'Z', 'I', 'V', 'A', 'Z', 'E', 0x01, 0x00, 0x03, 0x18};
constexpr uint8_t kAssociationMark = 0x03;
constexpr size_t kAssociationSize = 1 + kDeviceIdSize;
constexpr std::array<uint8_t, 4> kActivation = {0x02, 0x01, 0xC1, 0x10};   // 02 01 and its checksum

// The device-list query on a connection of its own.
constexpr std::array<uint8_t, 2> kDeviceCountQuery = {0x01, 0x01};
constexpr std::array<uint8_t, 2> kDeviceListQuery = {0x02, 0x01};
constexpr size_t kDeviceCountAnswerSize = 6;         // mark, one byte, count (32-bit)
constexpr size_t kDeviceRecordSize = 27;
// The count is the server's 32-bit number: larger lists are refused before anything is
// read or reserved (65535 records are 1.7 MB).
constexpr uint32_t kMaxDeviceRecords = 65535;

// Bytes 1..7 of a version answer are the signature (byte 0 is checked only by the device list).
bool IsVersionAnswer(std::span<const uint8_t> answer);

// The first (at most) 16 bytes of the device ID in Windows-1251, padded with zero bytes;
// an ID of 16 bytes or more fills the field without a terminating zero. U+0098 stands for
// the byte 0x98, which Windows-1251 leaves unassigned, so every ID the server lists
// (GPRS_UDP_CHANEL_DATA::DeviceId) gives back its own bytes.
std::array<uint8_t, kDeviceIdSize> DeviceIdField(std::string_view deviceIdUtf8);
std::array<uint8_t, kAssociationSize> AssociationMessage(std::string_view deviceIdUtf8);

// 'P', sequence, length n, the n payload bytes and the checksum of the 5 + n bytes before it.
// A payload longer than kMaxPayload gives an empty packet.
std::vector<uint8_t> BuildDataPacket(uint16_t sequence, std::span<const uint8_t> payload);
// kind (bit 7 set), sequence, status byte and the checksum of those four bytes.
std::array<uint8_t, kStatusPacketSize> BuildStatusPacket(uint16_t sequence, uint8_t kind, uint8_t status);

} // namespace gprs

// One packet found in the stream from the relay server.
struct GprsPacketReport {
    enum class Kind { Status, Data };
    Kind kind;
    uint16_t sequence;
    uint8_t status;                  // status packets only
    std::vector<uint8_t> payload;    // data packets only
};

// Cuts the byte stream of one relay connection into packets. TCP delivers the stream in
// chunks of any size, so a packet cut by the end of one read is kept and completed by the
// next. Bytes that do not begin a packet, and a packet whose checksum is wrong, are skipped
// one byte at a time, so the splitter finds the next good packet behind them; a length
// field above the largest payload is no packet start either. At most one unfinished packet
// is kept (fewer than kBufferSize bytes).
class GprsPacketSplitter {
public:
    // Appends the bytes and reports every packet completed by them, in stream order.
    void Feed(std::span<const uint8_t> bytes, std::vector<GprsPacketReport>& reports);
    // Drops an unfinished packet (a new connection, or nobody waits for an answer any more).
    void Reset() { pending_.clear(); }
    size_t PendingBytes() const { return pending_.size(); }
    // Bytes skipped so far as belonging to no good packet.
    uint64_t SkippedBytes() const { return skipped_; }

private:
    std::vector<uint8_t> pending_;   // the unfinished start of a packet
    uint64_t skipped_ = 0;
};

// Waits of the relay connection and of the device-list query. The defaults are the
// protocol's; tests shorten them.
struct GprsTimings {
    int32_t connectMs = 3000;        // the connect of a relay connection
    int32_t answerMs = 2000;         // first byte of each handshake answer
    int32_t interByteMs = 50;        // pause that ends a handshake answer
    int32_t retryPauseMs = 100;      // after a failed handshake try
    int32_t listConnectMs = 2000;    // device-list query: connect and each answer
    int32_t listInterByteMs = 10;

    // The longest an open can keep the relay thread busy: connect, three steps of three
    // tries with their pauses, two activation tries and one send.
    int32_t LongestOpenMs() const { return connectMs + 9 * (answerMs + retryPauseMs) + 3 * answerMs; }
};

// One record of the device list (27 bytes as sent).
struct GPRS_UDP_CHANEL_DATA {
    std::array<uint8_t, gprs::kDeviceRecordSize> bytes{};

    // The 16-byte ID field (offset 10) up to its first zero byte, as UTF-8 (the byte 0x98 as
    // U+0098; see gprs::DeviceIdField).
    std::string DeviceId() const;
};

// Asks the server at address:port for the device IDs it knows, on a connection of its own,
// and appends the records in the order received. False on any failure (nothing is then
// appended); a count of 0 gives true with the list unchanged. Blocks for at most a few
// waits of timings.listConnectMs.
bool QueryDeviceList(std::string_view address, int32_t port, std::vector<GPRS_UDP_CHANEL_DATA>& list,
                     const GprsTimings& timings = {});
