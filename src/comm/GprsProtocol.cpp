#include "GprsProtocol.h"

#include "Crc16.h"
#include "platform/ByteOrder.h"
#include "platform/Cp1251.h"
#include "platform/SocketCore.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include <netinet/in.h>

namespace {

using platform::ReadLittleEndian;

// The checksum over the first `length` bytes equals the little-endian number behind them.
bool ChecksumMatches(std::span<const uint8_t> bytes, size_t length)
{
    return Crc16Modbus(bytes.first(length)) == ReadLittleEndian<uint16_t>(bytes, length);
}

// Device IDs must survive the way from the server's list to the association message byte
// for byte. Windows-1251 leaves the byte 0x98 unassigned, which the text codec turns into
// U+FFFD and back into '?': a listed ID holding it could never be associated. In IDs that
// byte stands for U+0098 (as the WHATWG windows-1251 mapping has it) in both directions.
constexpr uint8_t kUnassignedByte = 0x98;
constexpr std::string_view kUnassignedByteUtf8 = "\xC2\x98";

std::string DeviceIdBytesToUtf8(std::span<const uint8_t> bytes)
{
    std::string text;
    auto from = bytes.begin();
    for (auto at = bytes.begin(); at != bytes.end(); ++at) {
        if (*at != kUnassignedByte)
            continue;
        text += platform::Cp1251ToUtf8(std::string(from, at));
        text += kUnassignedByteUtf8;
        from = at + 1;
    }
    text += platform::Cp1251ToUtf8(std::string(from, bytes.end()));
    return text;
}

std::string DeviceIdUtf8ToBytes(std::string_view text)
{
    std::string bytes;
    for (;;) {
        const size_t at = text.find(kUnassignedByteUtf8);
        bytes += platform::Utf8ToCp1251(text.substr(0, at));
        if (at == std::string_view::npos)
            return bytes;
        bytes += static_cast<char>(kUnassignedByte);
        text.remove_prefix(at + kUnassignedByteUtf8.size());
    }
}

} // namespace

namespace gprs {

bool IsVersionAnswer(std::span<const uint8_t> answer)
{
    return answer.size() == kVersionAnswerSize &&
           std::equal(kServerSignature.begin(), kServerSignature.end(), answer.begin() + 1);
}

std::array<uint8_t, kDeviceIdSize> DeviceIdField(std::string_view deviceIdUtf8)
{
    const std::string bytes = DeviceIdUtf8ToBytes(deviceIdUtf8);
    std::array<uint8_t, kDeviceIdSize> field{};
    std::memcpy(field.data(), bytes.data(), std::min(bytes.size(), field.size()));
    return field;
}

std::array<uint8_t, kAssociationSize> AssociationMessage(std::string_view deviceIdUtf8)
{
    std::array<uint8_t, kAssociationSize> message{};
    message[0] = kAssociationMark;
    const auto field = DeviceIdField(deviceIdUtf8);
    std::copy(field.begin(), field.end(), message.begin() + 1);
    return message;
}

std::vector<uint8_t> BuildDataPacket(uint16_t sequence, std::span<const uint8_t> payload)
{
    if (payload.size() > kMaxPayload)
        return {};
    std::vector<uint8_t> packet;
    packet.reserve(kDataPacketOverhead + payload.size());
    packet.push_back(kDataPacketMark);
    platform::AppendLittleEndian(packet, sequence);
    platform::AppendLittleEndian(packet, static_cast<uint16_t>(payload.size()));
    packet.insert(packet.end(), payload.begin(), payload.end());
    platform::AppendLittleEndian(packet, Crc16Modbus(packet));
    return packet;
}

std::array<uint8_t, kStatusPacketSize> BuildStatusPacket(uint16_t sequence, uint8_t kind, uint8_t status)
{
    std::array<uint8_t, kStatusPacketSize> packet = {static_cast<uint8_t>(kind | kStatusPacketBit)};
    platform::WriteLittleEndian(std::span<uint8_t>(packet), 1, sequence);
    packet[3] = status;
    platform::WriteLittleEndian(std::span<uint8_t>(packet), 4, Crc16Modbus(std::span<const uint8_t>(packet).first(4)));
    return packet;
}

} // namespace gprs

void GprsPacketSplitter::Feed(std::span<const uint8_t> bytes, std::vector<GprsPacketReport>& reports)
{
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    const std::span<const uint8_t> all(pending_);
    size_t position = 0;
    while (position < all.size()) {
        const std::span<const uint8_t> rest = all.subspan(position);
        const uint8_t first = rest[0];
        if (first & gprs::kStatusPacketBit) {
            if (rest.size() < gprs::kStatusPacketSize)
                break;
            if (ChecksumMatches(rest, 4)) {
                reports.push_back({GprsPacketReport::Kind::Status, ReadLittleEndian<uint16_t>(rest, 1), rest[3], {}});
                position += gprs::kStatusPacketSize;
                continue;
            }
        } else if (first == gprs::kDataPacketMark) {
            if (rest.size() < gprs::kDataHeaderSize)
                break;
            const size_t length = ReadLittleEndian<uint16_t>(rest, 3);
            if (length <= gprs::kMaxPayload) {
                const size_t total = gprs::kDataPacketOverhead + length;
                if (rest.size() < total)
                    break;
                if (ChecksumMatches(rest, gprs::kDataHeaderSize + length)) {
                    const auto payload = rest.subspan(gprs::kDataHeaderSize, length);
                    reports.push_back({GprsPacketReport::Kind::Data, ReadLittleEndian<uint16_t>(rest, 1), 0,
                                       std::vector<uint8_t>(payload.begin(), payload.end())});
                    position += total;
                    continue;
                }
            }
        }
        // No good packet starts here: look for one at the next byte.
        ++position;
        ++skipped_;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(position));
}

std::string GPRS_UDP_CHANEL_DATA::DeviceId() const
{
    const auto field = std::span<const uint8_t>(bytes).subspan(10, gprs::kDeviceIdSize);
    const auto end = std::find(field.begin(), field.end(), uint8_t{0});
    return DeviceIdBytesToUtf8(std::span<const uint8_t>(field.begin(), end));
}

bool QueryDeviceList(std::string_view address, int32_t port, std::vector<GPRS_UDP_CHANEL_DATA>& list,
                     const GprsTimings& timings)
{
    // Closed on every way out with the object.
    auto socket = std::make_unique<TSyncSocket>(timings.listConnectMs, timings.listInterByteMs);
    if (!socket->Open(0, "", SOCK_STREAM, IPPROTO_TCP))
        return false;
    if (!socket->ConnectByName(address, port))
        return false;

    std::array<uint8_t, gprs::kVersionAnswerSize> version{};
    if (socket->Send(gprs::kVersionQuery, 0) < 0 || socket->Receive(version, 0) != static_cast<int32_t>(version.size()))
        return false;
    if (version[0] != 0x00 || !gprs::IsVersionAnswer(version))
        return false;

    std::array<uint8_t, gprs::kDeviceCountAnswerSize> answer{};
    if (socket->Send(gprs::kDeviceCountQuery, 0) < 0 || socket->Receive(answer, 0) != static_cast<int32_t>(answer.size()))
        return false;
    if (answer[0] != gprs::kDeviceCountQuery[0])
        return false;
    if (ReadLittleEndian<uint32_t>(answer, 2) == 0)
        return true;

    if (socket->Send(gprs::kDeviceListQuery, 0) < 0 || socket->Receive(answer, 0) != static_cast<int32_t>(answer.size()))
        return false;
    if (answer[0] != gprs::kDeviceListQuery[0])
        return false;
    const uint32_t count = ReadLittleEndian<uint32_t>(answer, 2);
    if (count > gprs::kMaxDeviceRecords)
        return false;

    std::vector<uint8_t> records(static_cast<size_t>(count) * gprs::kDeviceRecordSize);
    size_t received = 0;
    while (received < records.size()) {
        const int32_t got = socket->Receive(std::span<uint8_t>(records).subspan(received), 0);
        if (got <= 0)
            return false;
        received += static_cast<size_t>(got);
    }
    for (size_t offset = 0; offset < records.size(); offset += gprs::kDeviceRecordSize) {
        GPRS_UDP_CHANEL_DATA record;
        std::memcpy(record.bytes.data(), records.data() + offset, record.bytes.size());
        list.push_back(record);
    }
    return true;
}
