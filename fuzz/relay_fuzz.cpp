// The relay connection's packet splitter and the device-list records. The stream is fed in
// chunks whose sizes the first byte chooses: the packets found must not depend on how TCP
// cut the stream, and the splitter never keeps a whole buffer's worth of bytes.

#include "FuzzTarget.h"

#include "comm/GprsProtocol.h"

#include <array>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    daxfuzz::InputReader input(data, size);
    const size_t chunk = 1 + input.Byte() % 64;
    const auto stream = input.Rest();
    return daxfuzz::RunDecoder([&] {
        GprsPacketSplitter whole;
        std::vector<GprsPacketReport> wholeReports;
        whole.Feed(stream, wholeReports);

        GprsPacketSplitter chunked;
        std::vector<GprsPacketReport> chunkReports;
        for (size_t at = 0; at < stream.size(); at += chunk) {
            chunked.Feed(stream.subspan(at, std::min(chunk, stream.size() - at)), chunkReports);
            daxfuzz::Require(chunked.PendingBytes() < gprs::kBufferSize, "an unfinished packet fits the buffer");
        }
        daxfuzz::Require(whole.PendingBytes() < gprs::kBufferSize, "an unfinished packet fits the buffer");
        daxfuzz::Require(chunkReports.size() == wholeReports.size() && chunked.PendingBytes() == whole.PendingBytes() &&
                             chunked.SkippedBytes() == whole.SkippedBytes(),
                         "packets do not depend on how the stream was cut");
        for (size_t i = 0; i < wholeReports.size(); ++i) {
            const auto& a = wholeReports[i];
            const auto& b = chunkReports[i];
            daxfuzz::Require(a.kind == b.kind && a.sequence == b.sequence && a.status == b.status && a.payload == b.payload,
                             "packets do not depend on how the stream was cut");
            daxfuzz::Require(a.payload.size() <= gprs::kMaxPayload, "a payload fits a packet");
        }

        gprs::IsVersionAnswer(stream.first(std::min(stream.size(), gprs::kVersionAnswerSize)));
        for (size_t at = 0; at + gprs::kDeviceRecordSize <= stream.size(); at += gprs::kDeviceRecordSize) {
            GPRS_UDP_CHANEL_DATA record;
            std::copy_n(stream.begin() + static_cast<std::ptrdiff_t>(at), record.bytes.size(), record.bytes.begin());
            const std::string id = record.DeviceId();
            daxfuzz::Require(daxfuzz::IsUtf8(id), "device IDs are UTF-8");
            // The ID field as the association sends it: the listed bytes up to the first zero.
            std::array<uint8_t, gprs::kDeviceIdSize> expected{};
            const auto listed = std::span<const uint8_t>(record.bytes).subspan(10, gprs::kDeviceIdSize);
            std::copy(listed.begin(), std::find(listed.begin(), listed.end(), uint8_t{0}), expected.begin());
            daxfuzz::Require(gprs::DeviceIdField(id) == expected,
                             "a listed device ID is associated with the same bytes");
        }
    });
}
