#pragma once

#include "platform/ByteOrder.h"

#include <cstddef>
#include <cstdint>
#include <span>

// The instrument's two register images as DaxHelper keeps them: input registers 30001..30481
// (current values) and holding registers 40001..40596 (settings), each register a big-endian
// word at twice its distance from the image's first register.
namespace dax_namespace {

constexpr int32_t kFirstInputRegister = 30001;
constexpr int32_t kInputRegisterCount = 481;                   // 30001..30481
constexpr int32_t kFirstHoldingRegister = 40001;
constexpr int32_t kHoldingRegisterCount = 596;                 // 40001..40596
constexpr size_t kInputImageSize = 2 * kInputRegisterCount;     // 962 bytes
constexpr size_t kHoldingImageSize = 2 * kHoldingRegisterCount; // 1192 bytes
constexpr int32_t kSerialNumberRegister = 40037;               // and 40038: the serial number, high word first

// Byte offset of a register in the image that begins with `first`. A register before the
// image gives an offset far beyond it, which the checked accessors below refuse.
constexpr size_t RegisterOffset(int32_t first, int32_t number)
{
    return 2 * static_cast<size_t>(static_cast<uint32_t>(number - first));
}

// The word of a register; a register outside the image throws platform::Exception.
inline uint16_t InputRegister(std::span<const uint8_t> image, int32_t number)
{
    return platform::ReadBigEndian<uint16_t>(image, RegisterOffset(kFirstInputRegister, number));
}

inline uint16_t HoldingRegister(std::span<const uint8_t> image, int32_t number)
{
    return platform::ReadBigEndian<uint16_t>(image, RegisterOffset(kFirstHoldingRegister, number));
}

// The low byte of a holding register: where the instrument keeps a setting of one byte.
inline uint8_t HoldingRegisterLowByte(std::span<const uint8_t> image, int32_t number)
{
    return static_cast<uint8_t>(HoldingRegister(image, number) & 0xFF);
}

// Two holding registers from `number` as one 32-bit value, high word first.
inline uint32_t HoldingRegisterPair(std::span<const uint8_t> image, int32_t number)
{
    return platform::ReadBigEndian<uint32_t>(image, RegisterOffset(kFirstHoldingRegister, number));
}

inline void SetHoldingRegister(std::span<uint8_t> image, int32_t number, uint16_t value)
{
    platform::WriteBigEndian<uint16_t>(image, RegisterOffset(kFirstHoldingRegister, number), value);
}

} // namespace dax_namespace
