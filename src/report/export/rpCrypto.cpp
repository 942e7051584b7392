#include "rpCrypto.h"

#include "ExportTexts.h"
#include "rpmd5.h"

#include "platform/Format.h"
#include "report/model/rpStreams.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <string>

ECryptoHashUnknown::ECryptoHashUnknown(std::string_view name)
    : ECryptoHash(platform::Format(exporttexts::kHashUnknownFormat, std::string(name).c_str()))
{
}

ECryptoAESInvalidKeyLength::ECryptoAESInvalidKeyLength(size_t keyBytes)
    : ECryptoAESException(
          platform::Format(exporttexts::kAESInvalidKeyLengthFormat, static_cast<int>(std::min<size_t>(keyBytes, 0x0FFFFFFF) * 8)))
{
}

// ---- the hash base ----

TCryptoHash::TCryptoHash(size_t chunkSize) : FChunk(chunkSize, 0) {}

std::unique_ptr<TCryptoHash> TCryptoHash::Create(std::string_view name)
{
    if (name == "MD5")
        return std::make_unique<TCryptoMD5>();
    if (name == "SHA1")
        return std::make_unique<TCryptoSHA1>();
    if (name == "Whirlpool")
        return std::make_unique<TCryptoWhirlpool>();
    if (name == "Jenkins")
        return std::make_unique<TCryptoJenkins>();
    return nullptr;
}

void TCryptoHash::Hash(std::string_view name, std::span<uint8_t> digest, std::span<const uint8_t> data)
{
    const std::unique_ptr<TCryptoHash> hash = Create(name);
    if (!hash)
        throw ECryptoHashUnknown(name);
    hash->Push(data);
    hash->GetDigest(digest);
}

void TCryptoHash::Hash(std::string_view name, std::span<uint8_t> digest, std::string_view text)
{
    Hash(name, digest, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

void TCryptoHash::Push(uint8_t value)
{
    const size_t filled = static_cast<size_t>(FLength % FChunk.size());
    FChunk[filled] = value;
    ++FLength;
    if (filled + 1 == FChunk.size())
        Transform(FChunk.data());
}

void TCryptoHash::Push(std::span<const uint8_t> data)
{
    size_t filled = static_cast<size_t>(FLength % FChunk.size());
    FLength += data.size();
    while (!data.empty()) {
        const size_t take = std::min(data.size(), FChunk.size() - filled);
        std::memcpy(FChunk.data() + filled, data.data(), take);
        data = data.subspan(take);
        filled += take;
        if (filled == FChunk.size()) {
            Transform(FChunk.data());
            filled = 0;
        }
    }
}

void TCryptoHash::Push(QIODevice& stream)
{
    if (!stream.seek(0))
        throw EReadError();
    std::vector<uint8_t> piece(FChunk.size());
    for (;;) {
        const qint64 got = stream.read(reinterpret_cast<char*>(piece.data()), static_cast<qint64>(piece.size()));
        if (got < 0)
            throw EReadError();
        if (got == 0)
            break;
        Push(std::span<const uint8_t>(piece.data(), static_cast<size_t>(got)));
    }
}

void TCryptoHash::Reset()
{
    FLength = 0;
    std::fill(FChunk.begin(), FChunk.end(), 0);
    ResetState();
}

void TCryptoHash::GetDigest(std::span<uint8_t> digest)
{
    if (digest.size() != DigestSize())
        throw ECryptoHash(platform::Format(exporttexts::kDigestSizeMismatchFormat, Name(), static_cast<int>(DigestSize()),
                                           static_cast<int>(std::min<size_t>(digest.size(), 0x7FFFFFFF))));
    Finish();
    CopyDigest(digest.data());
}

void TCryptoHash::FinishWith(size_t lengthFieldSize, LengthOrder order)
{
    const uint64_t bits = FLength * 8;
    Push(uint8_t{0x80});
    while (FLength % FChunk.size() != FChunk.size() - lengthFieldSize)
        Push(uint8_t{0});
    uint8_t* field = FChunk.data() + (FChunk.size() - lengthFieldSize);
    std::memset(field, 0, lengthFieldSize);
    for (size_t i = 0; i < sizeof bits && i < lengthFieldSize; ++i) {
        const auto byte = static_cast<uint8_t>(bits >> (8 * i));
        if (order == LengthOrder::LowByteFirst)
            field[i] = byte;
        else
            field[lengthFieldSize - 1 - i] = byte;
    }
    Transform(FChunk.data());
}

// ---- MD5 ----

TCryptoMD5::TCryptoMD5() : TCryptoHash(64)
{
    ResetState();
}

void TCryptoMD5::Transform(const uint8_t* chunk)
{
    MD5Transform(FState, chunk);
}

void TCryptoMD5::Finish()
{
    FinishWith(8, LengthOrder::LowByteFirst);
}

void TCryptoMD5::ResetState()
{
    FState = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u};
}

void TCryptoMD5::CopyDigest(uint8_t* digest)
{
    for (size_t i = 0; i < 16; ++i)
        digest[i] = static_cast<uint8_t>(FState[i / 4] >> (8 * (i % 4)));
}

// ---- SHA-1 ----

namespace {

inline uint32_t RotateLeft(uint32_t value, int count)
{
    return (value << count) | (value >> (32 - count));
}

} // namespace

TCryptoSHA1::TCryptoSHA1() : TCryptoHash(64)
{
    ResetState();
}

void TCryptoSHA1::Transform(const uint8_t* chunk)
{
    uint32_t w[80];
    for (int i = 0; i < 16; ++i)
        w[i] = uint32_t(chunk[4 * i]) << 24 | uint32_t(chunk[4 * i + 1]) << 16 | uint32_t(chunk[4 * i + 2]) << 8 |
               uint32_t(chunk[4 * i + 3]);
    for (int i = 16; i < 80; ++i)
        w[i] = RotateLeft(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    uint32_t a = FState[0], b = FState[1], c = FState[2], d = FState[3], e = FState[4];
    for (int i = 0; i < 80; ++i) {
        uint32_t f, k;
        if (i < 20) {
            f = (b & c) | (~b & d);
            k = 0x5A827999u;
        } else if (i < 40) {
            f = b ^ c ^ d;
            k = 0x6ED9EBA1u;
        } else if (i < 60) {
            f = (b & c) | (b & d) | (c & d);
            k = 0x8F1BBCDCu;
        } else {
            f = b ^ c ^ d;
            k = 0xCA62C1D6u;
        }
        const uint32_t next = RotateLeft(a, 5) + f + e + k + w[i];
        e = d;
        d = c;
        c = RotateLeft(b, 30);
        b = a;
        a = next;
    }
    FState[0] += a;
    FState[1] += b;
    FState[2] += c;
    FState[3] += d;
    FState[4] += e;
}

void TCryptoSHA1::Finish()
{
    FinishWith(8, LengthOrder::HighByteLast);
}

void TCryptoSHA1::ResetState()
{
    FState = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u};
}

void TCryptoSHA1::CopyDigest(uint8_t* digest)
{
    for (size_t i = 0; i < 20; ++i)
        digest[i] = static_cast<uint8_t>(FState[i / 4] >> (8 * (3 - i % 4)));
}

// ---- one-at-a-time over the padded message ----

TCryptoJenkins::TCryptoJenkins() : TCryptoHash(64) {}

void TCryptoJenkins::Transform(const uint8_t* chunk)
{
    for (size_t i = 0; i < ChunkSize(); ++i) {
        FState += chunk[i];
        FState += FState << 10;
        FState ^= FState >> 6;
    }
}

void TCryptoJenkins::Finish()
{
    FinishWith(32, LengthOrder::LowByteFirst);
    FState += FState << 3;
    FState ^= FState >> 11;
    FState += FState << 15;
}

void TCryptoJenkins::ResetState()
{
    FState = 0;
}

void TCryptoJenkins::CopyDigest(uint8_t* digest)
{
    for (size_t i = 0; i < 4; ++i)
        digest[i] = static_cast<uint8_t>(FState >> (8 * i));
}
