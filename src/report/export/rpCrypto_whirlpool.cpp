// Whirlpool: a 512-bit block cipher W in the Miyaguchi-Preneel construction. The state is an
// 8 x 8 matrix of bytes of GF(2^8) (reduction polynomial x^8 + x^4 + x^3 + x^2 + 1); a round is
// the S-box on every byte, column j rotated down by j rows, every row multiplied by the
// circulant matrix of (1, 1, 4, 1, 8, 5, 2, 9), and the round key added.

#include "rpCrypto.h"

#include <cstring>

namespace {

constexpr int kRounds = 10;

uint8_t Multiply(uint8_t a, uint8_t b)
{
    uint8_t product = 0;
    while (b != 0) {
        if (b & 1)
            product ^= a;
        const bool carry = (a & 0x80) != 0;
        a = static_cast<uint8_t>(a << 1);
        if (carry)
            a ^= 0x1D; // x^8 = x^4 + x^3 + x^2 + 1
        b >>= 1;
    }
    return product;
}

struct Tables {
    uint8_t sbox[256];
    // times[k][x]: x multiplied by the k-th entry of the circulant's first row.
    uint8_t times[8][256];
};

// The S-box is built from its three 4-bit mini-boxes, as the cipher is defined.
const Tables& WhirlpoolTables()
{
    static const Tables tables = [] {
        static constexpr uint8_t kE[16] = {0x1, 0xB, 0x9, 0xC, 0xD, 0x6, 0xF, 0x3, 0xE, 0x8, 0x7, 0x4, 0xA, 0x2, 0x5, 0x0};
        static constexpr uint8_t kR[16] = {0x7, 0xC, 0xB, 0xD, 0xE, 0x4, 0x9, 0xF, 0x6, 0x3, 0x8, 0xA, 0x2, 0x5, 0x1, 0x0};
        uint8_t inverseE[16];
        for (uint8_t i = 0; i < 16; ++i)
            inverseE[kE[i]] = i;
        Tables t{};
        for (int x = 0; x < 256; ++x) {
            const uint8_t high = kE[x >> 4];
            const uint8_t low = inverseE[x & 15];
            const uint8_t mixed = kR[high ^ low];
            t.sbox[x] = static_cast<uint8_t>(kE[high ^ mixed] << 4 | inverseE[low ^ mixed]);
        }
        static constexpr uint8_t kRow[8] = {1, 1, 4, 1, 8, 5, 2, 9};
        for (int k = 0; k < 8; ++k)
            for (int x = 0; x < 256; ++x)
                t.times[k][x] = Multiply(static_cast<uint8_t>(x), kRow[k]);
        return t;
    }();
    return tables;
}

using Matrix = uint8_t[64]; // row by row

// One round on state with the given round key: S-box, column rotation, row diffusion, key.
void Round(Matrix& state, const Matrix& key)
{
    const Tables& t = WhirlpoolTables();
    Matrix shifted;
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j)
            shifted[8 * i + j] = t.sbox[state[8 * ((i - j + 8) % 8) + j]];
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j) {
            uint8_t sum = key[8 * i + j];
            for (int k = 0; k < 8; ++k)
                sum ^= t.times[(j - k + 8) % 8][shifted[8 * i + k]];
            state[8 * i + j] = sum;
        }
}

} // namespace

TCryptoWhirlpool::TCryptoWhirlpool() : TCryptoHash(64)
{
    ResetState();
}

void TCryptoWhirlpool::Transform(const uint8_t* chunk)
{
    const Tables& t = WhirlpoolTables();
    Matrix key;
    Matrix state;
    std::memcpy(key, FState.data(), 64);
    for (int i = 0; i < 64; ++i)
        state[i] = static_cast<uint8_t>(chunk[i] ^ key[i]);
    for (int r = 1; r <= kRounds; ++r) {
        Matrix constant = {};
        for (int j = 0; j < 8; ++j)
            constant[j] = t.sbox[8 * (r - 1) + j];
        Round(key, constant);
        Round(state, key);
    }
    for (int i = 0; i < 64; ++i)
        FState[static_cast<size_t>(i)] ^= static_cast<uint8_t>(state[i] ^ chunk[i]);
}

void TCryptoWhirlpool::Finish()
{
    FinishWith(32, LengthOrder::HighByteLast);
}

void TCryptoWhirlpool::ResetState()
{
    FState.fill(0);
}

void TCryptoWhirlpool::CopyDigest(uint8_t* digest)
{
    std::memcpy(digest, FState.data(), FState.size());
}
