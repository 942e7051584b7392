#pragma once

// Damaged fonts made from a real single TrueType font, each with one fault of the kind a
// hostile or broken font file holds. The font subsetter's tests and the fuzz replay's
// "crashed before" table share them.

#include "platform/ByteOrder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace testsupport::hostilefonts {

using Bytes = std::vector<uint8_t>;

struct TableRecord {
    size_t record = 0; // where the 16-byte directory record lies
    uint32_t offset = 0;
    uint32_t length = 0;
};

inline std::optional<TableRecord> FindTable(const Bytes& font, const char* tag)
{
    const auto tables = platform::ReadBigEndian<uint16_t>(font, 4);
    for (size_t i = 0; i < tables; ++i) {
        const size_t record = 12 + 16 * i;
        if (std::memcmp(font.data() + record, tag, 4) == 0)
            return TableRecord{record, platform::ReadBigEndian<uint32_t>(font, record + 8),
                               platform::ReadBigEndian<uint32_t>(font, record + 12)};
    }
    return std::nullopt;
}

inline TableRecord Table(const Bytes& font, const char* tag)
{
    const std::optional<TableRecord> found = FindTable(font, tag);
    if (!found)
        throw std::runtime_error(std::string("the font has no ") + tag + " table");
    return *found;
}

// The first directory record places its table past the end of the file.
inline Bytes TableOffsetPastEnd(Bytes font)
{
    platform::WriteBigEndian<uint32_t>(font, 12 + 8, static_cast<uint32_t>(font.size() + 16));
    return font;
}

// Every loca entry after the first points past the end of glyf, so glyph 0 (always kept)
// reaches beyond it.
inline Bytes LocaBeyondGlyf(Bytes font)
{
    const TableRecord head = Table(font, "head");
    const TableRecord loca = Table(font, "loca");
    const TableRecord glyf = Table(font, "glyf");
    const bool longFormat = platform::ReadBigEndian<int16_t>(font, head.offset + 50) == 1;
    const uint32_t beyond = glyf.length + 4096;
    if (longFormat) {
        for (size_t at = loca.offset + 4; at + 4 <= loca.offset + loca.length; at += 4)
            platform::WriteBigEndian<uint32_t>(font, at, beyond);
    } else {
        for (size_t at = loca.offset + 2; at + 2 <= loca.offset + loca.length; at += 2)
            platform::WriteBigEndian<uint16_t>(font, at, static_cast<uint16_t>(std::min<uint32_t>(beyond / 2, 0xFFFF)));
    }
    return font;
}

// The offset table claims this many tables.
inline Bytes NumTables(Bytes font, uint16_t count)
{
    platform::WriteBigEndian<uint16_t>(font, 4, count);
    return font;
}

// The first glyph with an outline of 16 bytes or more becomes a composite whose one
// component is that glyph itself; `glyph` receives its identifier.
inline Bytes CompositeOfItself(Bytes font, uint16_t* glyph = nullptr)
{
    const TableRecord head = Table(font, "head");
    const TableRecord loca = Table(font, "loca");
    const TableRecord glyf = Table(font, "glyf");
    const bool longFormat = platform::ReadBigEndian<int16_t>(font, head.offset + 50) == 1;
    const auto entry = [&](size_t i) {
        return longFormat ? platform::ReadBigEndian<uint32_t>(font, loca.offset + 4 * i)
                          : platform::ReadBigEndian<uint16_t>(font, loca.offset + 2 * i) * 2u;
    };
    const size_t glyphs = loca.length / (longFormat ? 4 : 2) - 1;
    for (size_t g = 0; g < glyphs && g <= 0xFFFF; ++g) {
        if (entry(g + 1) < entry(g) + 16)
            continue;
        const size_t at = glyf.offset + entry(g);
        std::fill(font.begin() + static_cast<std::ptrdiff_t>(at), font.begin() + static_cast<std::ptrdiff_t>(at + 16), 0);
        platform::WriteBigEndian<int16_t>(font, at, -1); // numberOfContours: a composite
        // The component: flags 0 (byte arguments, no more components), the glyph, two argument bytes.
        platform::WriteBigEndian<uint16_t>(font, at + 12, static_cast<uint16_t>(g));
        if (glyph)
            *glyph = static_cast<uint16_t>(g);
        return font;
    }
    throw std::runtime_error("the font has no glyph of 16 bytes or more");
}

// A collection header announcing two faces that ends after the first face's offset.
inline Bytes TruncatedCollectionHeader()
{
    Bytes header = {'t', 't', 'c', 'f', 0, 1, 0, 0, 0, 0, 0, 2, 0, 0, 0, 20};
    return header;
}

// The OS/2 table is this many bytes long.
inline Bytes OS2Length(Bytes font, uint32_t length)
{
    platform::WriteBigEndian<uint32_t>(font, Table(font, "OS/2").record + 12, length);
    return font;
}

// The font behind a collection header of this version.
inline Bytes CollectionOfVersion(const Bytes& font, uint32_t version)
{
    Bytes file = {'t', 't', 'c', 'f'};
    platform::AppendBigEndian<uint32_t>(file, version);
    platform::AppendBigEndian<uint32_t>(file, 1);
    platform::AppendBigEndian<uint32_t>(file, 16);
    file.insert(file.end(), font.begin(), font.end());
    return file;
}

} // namespace testsupport::hostilefonts
