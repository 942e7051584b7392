#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// RC4, the cipher of the PDF export's encryption.
class TrpRC4 {
public:
    TrpRC4();

    // The standard key schedule over a key of 1 to 256 bytes; a key of another length leaves
    // the permutation as it was.
    void Start(const void* key, int keyLength);

    // XORs the key stream into target (which may be source). The two stream indexes start at
    // 0 on every call while the permutation carries on, so only the first Crypt after Start
    // gives the standard RC4 stream. Every caller starts the key before each single Crypt,
    // which is what the PDF encryption needs: one key per object, one Crypt per key.
    void Crypt(const void* source, void* target, size_t length);

private:
    std::array<uint8_t, 256> FKey{}; // the permutation
};
