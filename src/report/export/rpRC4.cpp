#include "rpRC4.h"

#include <utility>

TrpRC4::TrpRC4()
{
    for (size_t i = 0; i < FKey.size(); ++i)
        FKey[i] = static_cast<uint8_t>(i);
}

void TrpRC4::Start(const void* key, int keyLength)
{
    if (keyLength < 1 || keyLength > 256)
        return;
    const auto* bytes = static_cast<const uint8_t*>(key);
    for (size_t i = 0; i < FKey.size(); ++i)
        FKey[i] = static_cast<uint8_t>(i);
    uint8_t j = 0;
    for (size_t i = 0; i < FKey.size(); ++i) {
        j = static_cast<uint8_t>(j + FKey[i] + bytes[i % static_cast<size_t>(keyLength)]);
        std::swap(FKey[i], FKey[j]);
    }
}

void TrpRC4::Crypt(const void* source, void* target, size_t length)
{
    const auto* in = static_cast<const uint8_t*>(source);
    auto* out = static_cast<uint8_t*>(target);
    uint8_t i = 0;
    uint8_t j = 0;
    for (size_t k = 0; k < length; ++k) {
        i = static_cast<uint8_t>(i + 1);
        j = static_cast<uint8_t>(j + FKey[i]);
        std::swap(FKey[i], FKey[j]);
        out[k] = static_cast<uint8_t>(in[k] ^ FKey[static_cast<uint8_t>(FKey[i] + FKey[j])]);
    }
}
