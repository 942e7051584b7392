#pragma once

// The one skeleton every decoder fuzzer is written on. A target is one
// `extern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t)` in fuzz/<name>_fuzz.cpp whose
// body runs inside RunDecoder. The contract for every input: no memory error, no hang, and
// nothing thrown but platform::Exception, the system's own error for bad input. A target may
// also check promises of its decoder with Require; a broken one escapes as ContractBroken,
// which libFuzzer reports as a crash and the replay test as a failure.

#include "platform/Exceptions.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace daxfuzz {

// Deliberately not a platform::Exception: RunDecoder must let it through.
class ContractBroken : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

inline void Require(bool condition, const char* promise)
{
    if (!condition)
        throw ContractBroken(promise);
}

// Runs the body on the input; the system's own exception is an accepted outcome.
template <typename Body>
int RunDecoder(Body&& body)
{
    try {
        body();
    } catch (const platform::Exception&) {
    }
    return 0;
}

// Reads parameters from the front of an input; past the end every byte reads as 0.
class InputReader {
public:
    InputReader(const uint8_t* data, size_t size) : bytes_(data, size) {}

    uint8_t Byte() { return position_ < bytes_.size() ? bytes_[position_++] : 0; }
    std::span<const uint8_t> Take(size_t count)
    {
        const size_t n = std::min(count, bytes_.size() - position_);
        const auto taken = bytes_.subspan(position_, n);
        position_ += n;
        return taken;
    }
    std::span<const uint8_t> Rest() { return Take(bytes_.size() - position_); }

private:
    std::span<const uint8_t> bytes_;
    size_t position_ = 0;
};

// True when the text is well-formed UTF-8 (every text the system shows must be).
inline bool IsUtf8(const std::string& text)
{
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<uint8_t>(text[i]);
        size_t follow = 0;
        uint32_t code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            follow = 1;
            code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            follow = 2;
            code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            follow = 3;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (follow > text.size() - i - 1)
            return false;
        for (size_t k = 1; k <= follow; ++k) {
            const auto next = static_cast<uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = code << 6 | (next & 0x3F);
        }
        static constexpr uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[follow] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += follow + 1;
    }
    return true;
}

} // namespace daxfuzz
