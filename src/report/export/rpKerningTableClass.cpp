#include "rpKerningTableClass.h"

namespace {

constexpr size_t kHeaderSize = 4;
constexpr size_t kSubtableHeaderSize = 6;

} // namespace

void KerningTableClass::Load(const TTFBytes& font)
{
    const TTFBytes t = TableBytes(font);
    kerning_table_header.Version = t.UInt16(0);
    kerning_table_header.nTables = t.UInt16(2);
    // Every subtable has at least its header: a count beyond that is a damaged table.
    t.Check(kHeaderSize, kSubtableHeaderSize * kerning_table_header.nTables);
    kerning_subtables_collection.assign(kerning_table_header.nTables, KerningSubtableClass{});
}
