#pragma once

#include "TTFHelpers.h"

#include <cstdint>
#include <string>

// One entry of a font's table directory. The tag is the big-endian value of its four
// characters; the other fields are in host order.
struct TableEntry {
    uint32_t tag = 0;
    uint32_t checkSum = 0;
    uint32_t offset = 0; // from the start of the font file (also inside a collection)
    uint32_t length = 0;
};

// A font table: its directory entry, and how it is read and written at a new place in the
// same buffer. A table that is not one of the known kinds is this class: not read, copied
// when saved.
class TrueTypeTable : public TTF_Helpers {
public:
    TrueTypeTable() = default;
    // The entry of another table object (a table read as a plain one becomes its own kind).
    TrueTypeTable(const TrueTypeTable& source) = default;
    // Reads the 16-byte directory record at recordOffset.
    TrueTypeTable(const TTFBytes& font, size_t recordOffset);
    virtual ~TrueTypeTable() = default;
    TrueTypeTable& operator=(const TrueTypeTable&) = delete;

    // Reads what the table's kind needs; the base reads nothing.
    virtual void Load(const TTFBytes& font);
    // Writes the table at `offset` (towards the start of the buffer, or in its place) and
    // returns the offset after it, rounded up to a multiple of 4. The base copies the
    // table's bytes (overlapping places are safe) and pads them with zeros; the entry's
    // offset becomes the new one.
    virtual uint32_t Save(const TTFBytes& font, uint32_t offset);
    // The length the table has once saved.
    virtual uint32_t SavedLength() const { return entry.length; }

    // Writes the 16-byte directory record at recordOffset and returns the next record's offset.
    size_t StoreDescriptor(const TTFBytes& font, size_t recordOffset) const;
    // The checksum of the table's bytes where the entry places them.
    uint32_t CalcChecksum(const TTFBytes& font) const;

    // The tag as a four-character text.
    std::string TAGLINE() const { return TagText(entry.tag); }

    TableEntry entry;

protected:
    // The table's bytes in the font (offset and length checked against it).
    TTFBytes TableBytes(const TTFBytes& font) const { return font.Sub(entry.offset, entry.length); }
    // Zeros from `from` up to the end of the rounded length after `offset`.
    static void PadWithZeros(const TTFBytes& font, uint64_t from, uint64_t end);
    // Puts the entry at `offset` with `length` and returns the rounded end.
    uint32_t Placed(uint32_t offset, uint32_t length);
};
