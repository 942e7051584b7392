#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <cstddef>
#include <cstdint>

// MD5 (RFC 1321): the PDF export's file identifier, file key, owner and user entries and
// per-object keys are made with it.

// The MD5 block transform: folds one 64-byte block into the four chaining values. TrpMD5 and
// TCryptoMD5 share it.
void MD5Transform(std::array<uint32_t, 4>& state, const uint8_t* block);

class TrpMD5 {
public:
    TrpMD5(); // initialised, as after Init

    // The standard initial chaining values and an empty message.
    void Init();
    void Update(const void* buffer, size_t length);
    // Pads the message, produces the digest and clears state, count and buffer: the next
    // message starts with Init.
    void Finalize();
    // The 16 digest bytes of the last Finalize.
    const std::array<uint8_t, 16>& Digest() const { return m_Digest; }

private:
    std::array<uint32_t, 4> m_State{}; // chaining values
    uint64_t m_Count = 0;              // message length in bits, 64 bits wide as the standard has it
    std::array<uint8_t, 64> m_Buffer{}; // the block being filled
    std::array<uint8_t, 16> m_Digest{};
};

// The digest of an 8-bit text as 32 lowercase hexadecimal digits.
QByteArray MD5Text(QByteArrayView text);

// The digest of `length` bytes into 16 bytes at `digest`.
void MD5Buffer(const void* buffer, size_t length, uint8_t* digest);
