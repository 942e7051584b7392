#pragma once

#include "rpTrueTypeTable.h"

#include <QString>

struct NamingTableHeader {
    uint16_t TableVersion = 0;
    uint16_t Count = 0;
    uint16_t stringOffset = 0;
};

// name: the font's names. Name identifiers: 1 family, 4 full name.
class NameTableClass : public TrueTypeTable {
public:
    static constexpr uint16_t kFamilyName = 1;
    static constexpr uint16_t kFullName = 4;

    explicit NameTableClass(const TrueTypeTable& source) : TrueTypeTable(source) {}

    // Reads the header and places the records and the string storage inside the table.
    void Load(const TTFBytes& font) override;
    // The string of the first record, in file order, of platform 3 encoding 1 or of platform
    // 0 with this name identifier, whatever its language; read as big-endian UTF-16 and passed
    // through the 8-bit code page and back, as the system has always compared names. Empty
    // when no record matches; the format error when the matching string lies outside the table.
    QString GetName(const TTFBytes& font, uint16_t nameID) const;

    NamingTableHeader name_header;
    uint32_t namerecord_ptr = 0;     // offset of the first name record in the table
    uint32_t string_storage_ptr = 0; // offset of the string storage in the table
};
