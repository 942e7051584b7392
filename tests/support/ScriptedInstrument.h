#pragma once

#include "ScriptedChanel.h"

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace testsupport {

// An instrument for a ScriptedChanel's responder: answers identification, register reads and
// writes from and into its own two images, and archive and journal pages from seven rings.
// A page answer carries as many records as were asked, at most one page, starting at the
// position asked, and gives back the position after the last one it carried (going round the
// ring past its highest position). Everything it answers is built from its state alone, so a
// test can compare what the system read with what the instrument holds.
class ScriptedInstrument {
public:
    using Bytes = std::vector<uint8_t>;

    struct Ring {
        uint16_t highest = 0;
        uint16_t first = 0;
        uint16_t next = 0;
    };

    ScriptedInstrument() : input_(962), holding_(1192)
    {
        for (size_t i = 0; i < holding_.size(); ++i)
            holding_[i] = static_cast<uint8_t>(i * 7 + 3);
        for (size_t i = 0; i < input_.size(); ++i)
            input_[i] = static_cast<uint8_t>(i * 5 + 1);
        for (uint32_t k = 0; k < 7; ++k)
            SetRing(k, {99, 0, 0});
        SetIdentification("DAX-02", {2, 1, 1, 3});
    }

    static size_t RecordSize(uint32_t type) { return type <= 4 ? 256 : 16; }

    // The record at a ring position: bytes that differ from those of every other position and type.
    static Bytes Record(uint32_t type, uint16_t position)
    {
        Bytes record(RecordSize(type));
        for (size_t i = 0; i < record.size(); ++i)
            record[i] = static_cast<uint8_t>(type * 37 + position * 11 + i);
        record[0] = static_cast<uint8_t>(type);
        record[1] = static_cast<uint8_t>(position & 0xFF);
        record[2] = static_cast<uint8_t>(position >> 8);
        return record;
    }

    // Sets the ring pointers as the instrument publishes them in its input registers.
    void SetRing(uint32_t type, Ring ring)
    {
        std::lock_guard lock(mutex_);
        const size_t offset = 2 * (28 + 3 * size_t{type});
        const uint16_t words[3] = {ring.highest, ring.first, ring.next};
        for (size_t i = 0; i < 3; ++i) {
            input_[offset + 2 * i] = static_cast<uint8_t>(words[i] >> 8);
            input_[offset + 2 * i + 1] = static_cast<uint8_t>(words[i] & 0xFF);
        }
        rings_[type] = ring;
    }

    // The records from First up to Next, walking the ring: what a complete read must give.
    std::vector<Bytes> RingRecords(uint32_t type) const
    {
        std::lock_guard lock(mutex_);
        const Ring ring = rings_[type];
        std::vector<Bytes> records;
        for (uint16_t p = ring.first; p != ring.next; p = p == ring.highest ? 0 : static_cast<uint16_t>(p + 1))
            records.push_back(Record(type, p));
        return records;
    }

    void SetIdentification(const char* model, std::array<uint8_t, 4> version)
    {
        Bytes answer = IdentificationAnswer(model, version);
        std::lock_guard lock(mutex_);
        identification_ = std::move(answer);
    }

    // Replaces the answer to a request when it returns one (faults of the line or the instrument).
    void SetFault(std::function<std::optional<ScriptedReply>(const Bytes& request)> fault)
    {
        std::lock_guard lock(mutex_);
        fault_ = std::move(fault);
    }

    Bytes InputImage() const
    {
        std::lock_guard lock(mutex_);
        return input_;
    }
    Bytes HoldingImage() const
    {
        std::lock_guard lock(mutex_);
        return holding_;
    }

    ScriptedReply Answer(const Bytes& request)
    {
        std::lock_guard lock(mutex_);
        if (fault_) {
            if (auto reply = fault_(request))
                return *reply;
        }
        if (request.size() < 4)
            return ScriptedReply::Silence();
        const uint8_t function = request[1];
        switch (function) {
        case 0x11: return ScriptedReply::Answer(identification_);
        case 0x03:
        case 0x04: return ReadAnswer(request, function == 0x04 ? input_ : holding_);
        case 0x10: return WriteAnswer(request);
        case 0x41: return PageAnswer(request);
        default: return ExceptionAnswer(function, 1);
        }
    }

    // A page answer carrying `carried` records from `start` and saying so in its count byte.
    static Bytes PageFrame(uint32_t type, uint8_t asked, uint16_t answerStart, uint8_t carriedByte,
                           const std::vector<Bytes>& records)
    {
        const size_t dataSize = std::min<size_t>(RecordSize(type) * asked, 256);
        Bytes body = {0x01, 0x41, 0x00, 0x00, static_cast<uint8_t>(answerStart & 0xFF),
                      static_cast<uint8_t>(answerStart >> 8), carriedByte};
        for (const Bytes& r : records)
            body.insert(body.end(), r.begin(), r.end());
        body.resize(7 + dataSize, 0);
        return WithCrc(body);
    }

private:
    static uint16_t Word(const Bytes& b, size_t at) { return static_cast<uint16_t>((b[at] << 8) | b[at + 1]); }

    static ScriptedReply ExceptionAnswer(uint8_t function, uint8_t code)
    {
        return ScriptedReply::Answer(WithCrc({0x01, static_cast<uint8_t>(function | 0x80), code}));
    }

    static ScriptedReply ReadAnswer(const Bytes& request, const Bytes& image)
    {
        const size_t address = Word(request, 2);
        const size_t count = Word(request, 4);
        if (count == 0 || 2 * (address + count) > image.size())
            return ExceptionAnswer(request[1], 2);
        Bytes body = {0x01, request[1], static_cast<uint8_t>(2 * count)};
        body.insert(body.end(), image.begin() + 2 * address, image.begin() + 2 * (address + count));
        return ScriptedReply::Answer(WithCrc(body));
    }

    ScriptedReply WriteAnswer(const Bytes& request)
    {
        const size_t address = Word(request, 2);
        const size_t count = Word(request, 4);
        if (request.size() != 9 + 2 * count || 2 * (address + count) > holding_.size())
            return ExceptionAnswer(0x10, 2);
        std::copy_n(request.begin() + 7, 2 * count, holding_.begin() + 2 * address);
        return ScriptedReply::Answer(WithCrc({0x01, 0x10, request[2], request[3], request[4], request[5]}));
    }

    ScriptedReply PageAnswer(const Bytes& request)
    {
        const uint32_t type = request[2];
        if (type > 6)
            return ExceptionAnswer(0x41, 3);
        const uint8_t asked = request[6];
        const Ring ring = rings_[type];
        uint16_t position = static_cast<uint16_t>(request[4] | (request[5] << 8));
        const size_t perPage = 256 / RecordSize(type);
        std::vector<Bytes> records;
        while (records.size() < std::min<size_t>(asked, perPage)) {
            records.push_back(Record(type, position));
            position = position >= ring.highest ? 0 : static_cast<uint16_t>(position + 1);
        }
        return ScriptedReply::Answer(
            PageFrame(type, asked, position, static_cast<uint8_t>(records.size()), records));
    }

    mutable std::mutex mutex_;
    Bytes input_;
    Bytes holding_;
    Bytes identification_;
    std::array<Ring, 7> rings_{};
    std::function<std::optional<ScriptedReply>(const Bytes&)> fault_;
};

} // namespace testsupport
