#include "rpmd5.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// T[i] = floor(|sin(i + 1)| * 2^32), computed once as the algorithm defines it.
const std::array<uint32_t, 64>& SineTable()
{
    static const std::array<uint32_t, 64> table = [] {
        std::array<uint32_t, 64> t{};
        for (int i = 0; i < 64; ++i)
            t[static_cast<size_t>(i)] = static_cast<uint32_t>(std::floor(std::fabs(std::sin(i + 1.0)) * 4294967296.0));
        return t;
    }();
    return table;
}

constexpr int kShifts[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

inline uint32_t RotateLeft(uint32_t value, int count)
{
    return (value << count) | (value >> (32 - count));
}

inline uint32_t LoadLittleEndian(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

} // namespace

void MD5Transform(std::array<uint32_t, 4>& state, const uint8_t* block)
{
    const std::array<uint32_t, 64>& sine = SineTable();
    uint32_t words[16];
    for (int i = 0; i < 16; ++i)
        words[i] = LoadLittleEndian(block + 4 * i);
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        const int round = i / 16;
        uint32_t f;
        int word;
        switch (round) {
        case 0:
            f = (b & c) | (~b & d);
            word = i;
            break;
        case 1:
            f = (d & b) | (~d & c);
            word = (5 * i + 1) % 16;
            break;
        case 2:
            f = b ^ c ^ d;
            word = (3 * i + 5) % 16;
            break;
        default:
            f = c ^ (b | ~d);
            word = (7 * i) % 16;
            break;
        }
        const uint32_t rotated = RotateLeft(a + f + sine[static_cast<size_t>(i)] + words[word], kShifts[round][i % 4]);
        a = d;
        d = c;
        c = b;
        b = b + rotated;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

TrpMD5::TrpMD5()
{
    Init();
}

void TrpMD5::Init()
{
    m_State = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u};
    m_Count = 0;
    m_Buffer.fill(0);
}

void TrpMD5::Update(const void* buffer, size_t length)
{
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    size_t filled = static_cast<size_t>((m_Count >> 3) & 63);
    m_Count += static_cast<uint64_t>(length) << 3;
    while (length > 0) {
        const size_t take = std::min(length, m_Buffer.size() - filled);
        std::memcpy(m_Buffer.data() + filled, bytes, take);
        filled += take;
        bytes += take;
        length -= take;
        if (filled == m_Buffer.size()) {
            MD5Transform(m_State, m_Buffer.data());
            filled = 0;
        }
    }
}

void TrpMD5::Finalize()
{
    uint8_t lengthField[8];
    for (int i = 0; i < 8; ++i)
        lengthField[i] = static_cast<uint8_t>(m_Count >> (8 * i));
    const size_t filled = static_cast<size_t>((m_Count >> 3) & 63);
    static const uint8_t kPadding[64] = {0x80};
    Update(kPadding, filled < 56 ? 56 - filled : 120 - filled);
    Update(lengthField, sizeof lengthField);
    for (size_t i = 0; i < 4; ++i)
        for (size_t k = 0; k < 4; ++k)
            m_Digest[4 * i + k] = static_cast<uint8_t>(m_State[i] >> (8 * k));
    m_State.fill(0);
    m_Count = 0;
    m_Buffer.fill(0);
}

QByteArray MD5Text(QByteArrayView text)
{
    uint8_t digest[16];
    MD5Buffer(text.data(), static_cast<size_t>(text.size()), digest);
    return QByteArray(reinterpret_cast<const char*>(digest), sizeof digest).toHex();
}

void MD5Buffer(const void* buffer, size_t length, uint8_t* digest)
{
    TrpMD5 md5;
    md5.Update(buffer, length);
    md5.Finalize();
    std::memcpy(digest, md5.Digest().data(), 16);
}
