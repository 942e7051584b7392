// AES (FIPS 197) on single blocks; the S-boxes are built from the multiplicative inverse in
// GF(2^8) and the affine map when first needed.

#include "rpCrypto.h"

namespace {

uint8_t Times2(uint8_t x)
{
    return static_cast<uint8_t>(x << 1 ^ ((x & 0x80) ? 0x1B : 0));
}

uint8_t Multiply(uint8_t a, uint8_t b)
{
    uint8_t product = 0;
    for (; b != 0; b >>= 1, a = Times2(a))
        if (b & 1)
            product ^= a;
    return product;
}

struct Boxes {
    uint8_t forward[256];
    uint8_t inverse[256];
};

const Boxes& AESBoxes()
{
    static const Boxes boxes = [] {
        Boxes b{};
        for (int x = 0; x < 256; ++x) {
            uint8_t inverse = 0;
            for (int y = 1; y < 256 && x != 0; ++y)
                if (Multiply(static_cast<uint8_t>(x), static_cast<uint8_t>(y)) == 1) {
                    inverse = static_cast<uint8_t>(y);
                    break;
                }
            uint8_t s = inverse;
            for (int shift = 1; shift <= 4; ++shift)
                s ^= static_cast<uint8_t>(inverse << shift | inverse >> (8 - shift));
            s ^= 0x63;
            b.forward[x] = s;
            b.inverse[s] = static_cast<uint8_t>(x);
        }
        return b;
    }();
    return boxes;
}

uint32_t SubWord(uint32_t word)
{
    const Boxes& boxes = AESBoxes();
    return uint32_t(boxes.forward[word >> 24]) << 24 | uint32_t(boxes.forward[(word >> 16) & 0xFF]) << 16 |
           uint32_t(boxes.forward[(word >> 8) & 0xFF]) << 8 | uint32_t(boxes.forward[word & 0xFF]);
}

using Block = uint8_t[16]; // column by column, as the standard lays out the state

void AddRoundKey(Block& state, const uint32_t* words)
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            state[4 * c + r] ^= static_cast<uint8_t>(words[c] >> (24 - 8 * r));
}

void MixColumns(Block& state, const uint8_t (&row)[4])
{
    for (int c = 0; c < 4; ++c) {
        uint8_t column[4];
        for (int r = 0; r < 4; ++r)
            column[r] = state[4 * c + r];
        for (int r = 0; r < 4; ++r) {
            uint8_t sum = 0;
            for (int k = 0; k < 4; ++k)
                sum ^= Multiply(column[k], row[(k - r + 4) % 4]);
            state[4 * c + r] = sum;
        }
    }
}

// Row r moves left by r columns (right when undoing it); the bytes go through the box.
void SubShift(Block& state, const uint8_t* box, bool undo)
{
    Block out;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            const int from = undo ? (c - r + 4) % 4 : (c + r) % 4;
            out[4 * c + r] = box[state[4 * from + r]];
        }
    for (int i = 0; i < 16; ++i)
        state[i] = out[i];
}

constexpr uint8_t kMix[4] = {2, 3, 1, 1};
constexpr uint8_t kUnmix[4] = {14, 11, 13, 9};

} // namespace

TCryptoAES::TCryptoAES(std::span<const uint8_t> key)
{
    const size_t nk = key.size() / 4;
    if (key.size() != 16 && key.size() != 24 && key.size() != 32)
        throw ECryptoAESInvalidKeyLength(key.size());
    FNr = static_cast<int>(nk) + 6;
    FW.resize(4 * static_cast<size_t>(FNr + 1));
    for (size_t i = 0; i < nk; ++i)
        FW[i] = uint32_t(key[4 * i]) << 24 | uint32_t(key[4 * i + 1]) << 16 | uint32_t(key[4 * i + 2]) << 8 | uint32_t(key[4 * i + 3]);
    uint8_t roundConstant = 1;
    for (size_t i = nk; i < FW.size(); ++i) {
        uint32_t word = FW[i - 1];
        if (i % nk == 0) {
            word = SubWord(word << 8 | word >> 24) ^ uint32_t(roundConstant) << 24;
            roundConstant = Times2(roundConstant);
        } else if (nk > 6 && i % nk == 4) {
            word = SubWord(word);
        }
        FW[i] = FW[i - nk] ^ word;
    }
}

void TCryptoAES::Encrypt(const uint8_t* source, uint8_t* target) const
{
    Block state;
    for (int i = 0; i < 16; ++i)
        state[i] = source[i];
    AddRoundKey(state, FW.data());
    for (int round = 1; round <= FNr; ++round) {
        SubShift(state, AESBoxes().forward, false);
        if (round != FNr)
            MixColumns(state, kMix);
        AddRoundKey(state, FW.data() + 4 * round);
    }
    for (int i = 0; i < 16; ++i)
        target[i] = state[i];
}

void TCryptoAES::Decrypt(const uint8_t* source, uint8_t* target) const
{
    Block state;
    for (int i = 0; i < 16; ++i)
        state[i] = source[i];
    AddRoundKey(state, FW.data() + 4 * FNr);
    for (int round = FNr - 1; round >= 0; --round) {
        SubShift(state, AESBoxes().inverse, true);
        AddRoundKey(state, FW.data() + 4 * round);
        if (round != 0)
            MixColumns(state, kUnmix);
    }
    for (int i = 0; i < 16; ++i)
        target[i] = state[i];
}
