#pragma once

#include "platform/Exceptions.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

class QIODevice;

// Hashes behind one interface, made by name (MD5, SHA-1, Whirlpool and a one-at-a-time
// hash over the padded message), and AES on single blocks. The PDF export uses TCryptoMD5
// to find identical pictures; the others are reachable only through the factory.

class ECryptoHash : public platform::Exception {
public:
    using platform::Exception::Exception;
};

// kHashUnknownFormat with the name.
class ECryptoHashUnknown : public ECryptoHash {
public:
    explicit ECryptoHashUnknown(std::string_view name);
};

class ECryptoAESException : public platform::Exception {
public:
    using platform::Exception::Exception;
};

// kAESInvalidKeyLengthFormat with the key length in bits.
class ECryptoAESInvalidKeyLength : public ECryptoAESException {
public:
    explicit ECryptoAESInvalidKeyLength(size_t keyBytes);
};

class TCryptoHash {
public:
    virtual ~TCryptoHash() = default;
    TCryptoHash(const TCryptoHash&) = delete;
    TCryptoHash& operator=(const TCryptoHash&) = delete;

    // "MD5", "SHA1", "Whirlpool" or "Jenkins" (exactly so, letter case included); any other
    // name gives none.
    static std::unique_ptr<TCryptoHash> Create(std::string_view name);

    // Hashes data with the hash of that name into digest, whose size must be the hash's
    // digest size. ECryptoHashUnknown when no hash has the name.
    static void Hash(std::string_view name, std::span<uint8_t> digest, std::span<const uint8_t> data);
    static void Hash(std::string_view name, std::span<uint8_t> digest, std::string_view text);

    void Push(uint8_t value);
    void Push(std::span<const uint8_t> data);
    // The whole stream from position 0, read a chunk at a time until it ends. EReadError when
    // the stream cannot be read.
    void Push(QIODevice& stream);

    // An empty message: length 0 and the initial state.
    void Reset();
    // Finishes the message and copies its digest; digest must hold exactly DigestSize bytes
    // (ECryptoHash otherwise). Reset before hashing another message.
    void GetDigest(std::span<uint8_t> digest);

    virtual size_t DigestSize() const = 0;
    size_t ChunkSize() const { return FChunk.size(); }

protected:
    enum class LengthOrder {
        LowByteFirst, // the length starts the field, low byte first
        HighByteLast, // the length ends the field, high byte last
    };

    explicit TCryptoHash(size_t chunkSize);

    // Folds one full chunk into the state.
    virtual void Transform(const uint8_t* chunk) = 0;
    // Pads the message: 0x80, zeros until the chunk has lengthFieldSize bytes left, then
    // the message length in bits in that field, and transforms the last chunk.
    virtual void Finish() = 0;
    virtual void ResetState() = 0;
    virtual void CopyDigest(uint8_t* digest) = 0;
    virtual const char* Name() const = 0;

    void FinishWith(size_t lengthFieldSize, LengthOrder order);

private:
    std::vector<uint8_t> FChunk; // the chunk being filled
    uint64_t FLength = 0;        // bytes pushed so far, 64 bits wide
};

class TCryptoMD5 : public TCryptoHash {
public:
    TCryptoMD5();
    size_t DigestSize() const override { return 16; }

protected:
    void Transform(const uint8_t* chunk) override;
    void Finish() override;
    void ResetState() override;
    void CopyDigest(uint8_t* digest) override;
    const char* Name() const override { return "MD5"; }

private:
    std::array<uint32_t, 4> FState{};
};

class TCryptoSHA1 : public TCryptoHash {
public:
    TCryptoSHA1();
    size_t DigestSize() const override { return 20; }

protected:
    void Transform(const uint8_t* chunk) override;
    void Finish() override;
    void ResetState() override;
    void CopyDigest(uint8_t* digest) override;
    const char* Name() const override { return "SHA1"; }

private:
    std::array<uint32_t, 5> FState{};
};

class TCryptoWhirlpool : public TCryptoHash {
public:
    TCryptoWhirlpool();
    size_t DigestSize() const override { return 64; }

protected:
    void Transform(const uint8_t* chunk) override;
    void Finish() override;
    void ResetState() override;
    void CopyDigest(uint8_t* digest) override;
    const char* Name() const override { return "Whirlpool"; }

private:
    std::array<uint8_t, 64> FState{}; // the 8 x 8 byte state, row by row
};

// Bob Jenkins' one-at-a-time hash run over every byte of the padded message (the 0x80,
// the zeros and a 32-byte length field included), so its value differs from the plain
// one-at-a-time hash of the same bytes.
class TCryptoJenkins : public TCryptoHash {
public:
    TCryptoJenkins();
    size_t DigestSize() const override { return 4; }

protected:
    void Transform(const uint8_t* chunk) override;
    void Finish() override;
    void ResetState() override;
    void CopyDigest(uint8_t* digest) override;
    const char* Name() const override { return "Jenkins"; }

private:
    uint32_t FState = 0;
};

// AES (FIPS 197) on single 16-byte blocks.
class TCryptoAES {
public:
    static constexpr size_t kBlockSize = 16;

    // A 16-, 24- or 32-byte key (10, 12 or 14 rounds); ECryptoAESInvalidKeyLength otherwise.
    explicit TCryptoAES(std::span<const uint8_t> key);
    virtual ~TCryptoAES() = default;

    virtual void Encrypt(const uint8_t* source, uint8_t* target) const;
    virtual void Decrypt(const uint8_t* source, uint8_t* target) const;

private:
    int FNr = 0;                     // rounds
    std::vector<uint32_t> FW;        // the expanded round keys, 4 words a round
};
