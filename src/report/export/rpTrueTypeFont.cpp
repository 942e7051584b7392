#include "rpTrueTypeFont.h"

#include "ExportTexts.h"

#include "platform/Format.h"
#include "report/core/Rounding.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

constexpr size_t kOffsetTableSize = 12;
constexpr size_t kTableRecordSize = 16;
// The sum every font file's big-endian words add up to, head's checkSumAdjustment included.
constexpr uint32_t kFontChecksumMagic = 0xB1B0AFBA;

// The table object of a directory entry's kind.
std::unique_ptr<TrueTypeTable> MakeTable(const TrueTypeTable& record)
{
    switch (record.entry.tag) {
    case TagValue("OS/2"):
        return std::make_unique<OS2WindowsMetricsClass>(record);
    case TagValue("GSUB"):
        return std::make_unique<GlyphSubstitutionClass>(record);
    case TagValue("loca"):
        return std::make_unique<IndexToLocationClass>(record);
    case TagValue("hhea"):
        return std::make_unique<HorizontalHeaderClass>(record);
    case TagValue("head"):
        return std::make_unique<FontHeaderClass>(record);
    case TagValue("name"):
        return std::make_unique<NameTableClass>(record);
    case TagValue("glyf"):
        return std::make_unique<GlyphTableClass>(record);
    case TagValue("kern"):
        return std::make_unique<KerningTableClass>(record);
    case TagValue("cmap"):
        return std::make_unique<CmapTableClass>(record);
    case TagValue("prep"):
        return std::make_unique<PreProgramClass>(record);
    case TagValue("maxp"):
        return std::make_unique<MaximumProfileClass>(record);
    case TagValue("post"):
        return std::make_unique<PostScriptClass>(record);
    case TagValue("hmtx"):
        return std::make_unique<HorizontalMetrixClass>(record);
    default:
        return std::make_unique<TrueTypeTable>(record);
    }
}

// The table of that tag as its class, or null.
template <typename Table>
Table* Find(const std::map<uint32_t, std::unique_ptr<TrueTypeTable>>& tables, uint32_t tag)
{
    const auto found = tables.find(tag);
    return found == tables.end() ? nullptr : static_cast<Table*>(found->second.get());
}

// A table the font cannot go without: its "... not found." text when absent.
template <typename Table>
Table* Require(const std::map<uint32_t, std::unique_ptr<TrueTypeTable>>& tables, uint32_t tag, const char* missing)
{
    Table* table = Find<Table>(tables, tag);
    if (!table)
        throw ETrueTypeFont(missing);
    return table;
}

} // namespace

TrueTypeFont::TrueTypeFont(std::span<uint8_t> buffer, ChecksumFaultAction action, uint32_t faceOffset)
    : font_(buffer), checksum_action(action), selector_ptr(faceOffset)
{
}

void TrueTypeFont::Warn(const char* caption, const std::string& text)
{
    warnings_.push_back(std::string(caption) + ": " + text);
}

void TrueTypeFont::PrepareFont(const std::vector<std::string>& skipList)
{
    prepared_ = false;
    warnings_.clear();
    tables_.clear();
    font_header = nullptr;
    profile = nullptr;
    horizontal_header = nullptr;
    postscript = nullptr;
    windows_metrix = nullptr;
    index_to_location = nullptr;
    cmap_table = nullptr;
    name_table = nullptr;
    glyph_table = nullptr;
    kerning_table = nullptr;
    gsub_table = nullptr;
    preprogram_table = nullptr;
    horizontal_metrix_table = nullptr;

    // 1. The directory.
    dir_.sfntversion = font_.UInt32(selector_ptr);
    dir_.numTables = font_.UInt16(size_t{selector_ptr} + 4);
    dir_.searchRange = font_.UInt16(size_t{selector_ptr} + 6);
    dir_.entrySelector = font_.UInt16(size_t{selector_ptr} + 8);
    dir_.rangeShift = font_.UInt16(size_t{selector_ptr} + 10);
    if (dir_.numTables > kMaxTables)
        RaiseFontFormatError();
    font_.Check(size_t{selector_ptr} + kOffsetTableSize, kTableRecordSize * dir_.numTables);
    std::vector<uint32_t> skipped;
    for (const std::string& tag : skipList)
        skipped.push_back(TagValue(tag));
    for (size_t i = 0; i < dir_.numTables; ++i) {
        const TrueTypeTable record(font_, selector_ptr + kOffsetTableSize + kTableRecordSize * i);
        font_.Check(record.entry.offset, record.entry.length);
        if (std::find(skipped.begin(), skipped.end(), record.entry.tag) != skipped.end())
            continue;
        if (tables_.count(record.entry.tag)) {
            Warn(exporttexts::kFontFormatErrorCaption,
                 platform::Format(exporttexts::kDuplicateTableFormat, record.TAGLINE().c_str()));
            continue;
        }
        tables_.emplace(record.entry.tag, MakeTable(record));
    }
    dir_.numTables = static_cast<uint16_t>(tables_.size());

    // 2. Loading, in the order the tables depend on each other.
    font_header = Require<FontHeaderClass>(tables_, TagValue("head"), exporttexts::kFontHeaderNotFound);
    font_header->Load(font_);
    profile = Require<MaximumProfileClass>(tables_, TagValue("maxp"), exporttexts::kMaximumProfileNotFound);
    profile->Load(font_);
    horizontal_header = Require<HorizontalHeaderClass>(tables_, TagValue("hhea"), exporttexts::kHorizontalHeaderNotFound);
    horizontal_header->Load(font_);
    if ((postscript = Find<PostScriptClass>(tables_, TagValue("post"))))
        postscript->Load(font_);
    windows_metrix = Require<OS2WindowsMetricsClass>(tables_, TagValue("OS/2"), exporttexts::kOS2NotFound);
    windows_metrix->Load(font_);
    index_to_location = Require<IndexToLocationClass>(tables_, TagValue("loca"), exporttexts::kIndexToLocationNotFound);
    index_to_location->LoadIndexToLocation(font_, *font_header);
    cmap_table = Require<CmapTableClass>(tables_, TagValue("cmap"), exporttexts::kCmapNotFound);
    cmap_table->LoadCmapTable(font_);
    name_table = Require<NameTableClass>(tables_, TagValue("name"), exporttexts::kNameNotFound);
    name_table->Load(font_);
    glyph_table = Require<GlyphTableClass>(tables_, TagValue("glyf"), exporttexts::kGlyphsNotFound);
    glyph_table->Load(font_);
    if ((kerning_table = Find<KerningTableClass>(tables_, TagValue("kern"))))
        kerning_table->Load(font_);
    if ((gsub_table = Find<GlyphSubstitutionClass>(tables_, TagValue("GSUB"))))
        gsub_table->Load(font_);
    if ((preprogram_table = Find<PreProgramClass>(tables_, TagValue("prep"))))
        preprogram_table->Load(font_);
    if ((horizontal_metrix_table = Find<HorizontalMetrixClass>(tables_, TagValue("hmtx")))) {
        horizontal_metrix_table->NumberOfMetrics = horizontal_header->horizontal_header.numberOfHMetrics;
        horizontal_metrix_table->Load(font_);
    }

    // 3. Checksums (head's counted with checkSumAdjustment zero, as its Load left it).
    if (checksum_action != ChecksumFaultAction::IgnoreChecksum) {
        for (const auto& [tag, table] : tables_) {
            const uint32_t computed = table->CalcChecksum(font_);
            if (computed == table->entry.checkSum)
                continue;
            const std::string text = platform::Format(exporttexts::kTableChecksumErrorFormat, table->TAGLINE().c_str(),
                                                      computed, table->entry.checkSum);
            if (checksum_action == ChecksumFaultAction::ThrowException)
                throw ETrueTypeFont(text);
            Warn(exporttexts::kFontChecksumErrorCaption, text);
        }
    }
    prepared_ = true;
}

void TrueTypeFont::AddCharacterToKeepList(uint16_t glyph)
{
    if (std::find(used_glyphs_.begin(), used_glyphs_.end(), glyph) == used_glyphs_.end())
        used_glyphs_.push_back(glyph);
}

void TrueTypeFont::SetUsedGlyphs(std::span<const int> glyphs)
{
    for (const int glyph : glyphs)
        if (glyph < 0 || glyph > 0xFFFF)
            throw ETrueTypeFont(exporttexts::kGlyphOutOfRange);
    used_glyphs_.clear();
    for (const int glyph : glyphs)
        AddCharacterToKeepList(static_cast<uint16_t>(glyph));
}

void TrueTypeFont::RequirePrepared() const
{
    if (!prepared_)
        throw std::logic_error("TrueTypeFont: PrepareFont must succeed first");
}

QString TrueTypeFont::FullName() const
{
    RequirePrepared();
    return name_table->GetName(font_, NameTableClass::kFullName);
}

// state: 0 not reached, 1 on the path being followed, 2 done.
void TrueTypeFont::KeepGlyph(uint16_t glyph, int depth, std::vector<uint8_t>& state, std::vector<uint16_t>& kept) const
{
    if (glyph >= state.size()) {
        // A glyph asked for that the font does not have gets no outline; a component the
        // font does not have is damage.
        if (depth > 0)
            RaiseFontFormatError();
        return;
    }
    if (state[glyph] == 2)
        return;
    if (state[glyph] == 1 || depth > kMaxCompositeDepth)
        RaiseFontFormatError(); // a composite holding itself, or nested beyond reason
    uint32_t location = 0;
    const uint32_t size = index_to_location->GetGlyph(glyph, *font_header, location);
    if (size == 0) {
        state[glyph] = 2;
        return;
    }
    state[glyph] = 1;
    for (const uint16_t component : glyph_table->CheckGlyph(font_, location, size))
        KeepGlyph(component, depth + 1, state, kept);
    state[glyph] = 2;
    kept.push_back(glyph);
}

// The glyphs to copy: those asked for and glyph 0 that have outlines, with every component
// of a composite followed down to simple glyphs (a composite of composites keeps all its
// outlines), in ascending order.
std::vector<uint16_t> TrueTypeFont::GlyphClosure() const
{
    std::vector<uint16_t> asked = used_glyphs_;
    std::sort(asked.begin(), asked.end());
    asked.push_back(0);
    const size_t entries = index_to_location->Count(*font_header);
    std::vector<uint8_t> state(entries > 0 ? entries - 1 : 0, 0);
    std::vector<uint16_t> kept;
    for (const uint16_t glyph : asked)
        KeepGlyph(glyph, 0, state, kept);
    std::sort(kept.begin(), kept.end());
    return kept;
}

// New glyf of the kept glyphs in ascending order, with loca pointing at them; glyphs not kept
// get empty outlines.
void TrueTypeFont::RebuildGlyphs(const std::vector<uint16_t>& kept)
{
    const FontHeaderClass& head = *font_header;
    IndexToLocationClass& loca = *index_to_location;
    const int16_t format = head.font_header.indexToLocFormat;
    if (format != 0 && format != 1)
        throw ETrueTypeFont(exporttexts::kUnknownIndexToLoc);
    const size_t entries = loca.Count(head);
    const TTFBytes glyf = font_.Sub(glyph_table->entry.offset, glyph_table->entry.length);

    // Sizes are known before anything is copied: the glyphs must fit the old table.
    std::vector<std::pair<uint32_t, uint32_t>> places; // location, size of each kept glyph
    uint64_t total = 0;
    for (const uint16_t glyph : kept) {
        uint32_t location = 0;
        const uint32_t size = loca.GetGlyph(glyph, head, location);
        glyf.Check(location, size);
        places.emplace_back(location, size);
        total += size;
    }
    if (total > glyph_table->entry.length)
        RaiseFontFormatError(); // outlines sharing bytes
    std::vector<uint8_t> data;
    data.reserve(static_cast<size_t>(total));

    size_t next = 0; // the first loca entry not yet set
    const auto setEntriesTo = [&](size_t last, size_t offset) {
        for (; next <= last && next < entries; ++next) {
            if (format == 0) {
                if (offset / 2 > 0xFFFF)
                    RaiseFontFormatError();
                loca.ShortIndexToLocation[next] = static_cast<uint16_t>(offset / 2);
            } else {
                loca.LongIndexToLocation[next] = static_cast<uint32_t>(offset);
            }
        }
    };
    for (size_t i = 0; i < kept.size(); ++i) {
        setEntriesTo(kept[i], data.size());
        const std::span<uint8_t> bytes = glyf.Span(places[i].first, places[i].second);
        data.insert(data.end(), bytes.begin(), bytes.end());
    }
    if (entries > 0)
        setEntriesTo(entries - 1, data.size());

    if (!data.empty())
        std::memcpy(glyf.Span(0, data.size()).data(), data.data(), data.size());
    glyph_table->entry.length = static_cast<uint32_t>(data.size());
    loca.StoreIndexToLocation(font_, head);
    loca.entry.checkSum = loca.CalcChecksum(font_);
    glyph_table->entry.checkSum = glyph_table->CalcChecksum(font_);
}

std::vector<uint8_t> TrueTypeFont::PackFont()
{
    RequirePrepared();
    prepared_ = false; // the buffer is rewritten below

    // 1. The tables in the order they lie in the buffer.
    std::vector<TrueTypeTable*> order;
    for (const auto& [tag, table] : tables_)
        order.push_back(table.get());
    std::stable_sort(order.begin(), order.end(),
                     [](const TrueTypeTable* a, const TrueTypeTable* b) { return a->entry.offset < b->entry.offset; });
    // The tables are rewritten in place: tables sharing bytes (only a damaged font's do) would
    // change under each other.
    for (size_t i = 0; i + 1 < order.size(); ++i)
        if (uint64_t{order[i]->entry.offset} + order[i]->entry.length > order[i + 1]->entry.offset)
            RaiseFontFormatError();

    // 2. and 3. The glyphs to keep, and glyf and loca rebuilt in their places.
    RebuildGlyphs(GlyphClosure());

    // 4. Each table moved towards the start, behind the new directory. A table may not run
    //    into one not yet moved (only a damaged font's tables overlap or lie unaligned so).
    uint64_t n = kOffsetTableSize + kTableRecordSize * order.size();
    for (size_t i = 0; i < order.size(); ++i) {
        const uint64_t end = RoundUp4(n + order[i]->SavedLength());
        const uint64_t limit = i + 1 < order.size() ? order[i + 1]->entry.offset : font_.Size();
        if (end > limit || end > font_.Size())
            RaiseFontFormatError();
        n = order[i]->Save(font_, static_cast<uint32_t>(n));
        if (n % 4 != 0)
            throw ETrueTypeFont(exporttexts::kAlignError);
    }

    // 5. The offset table and the records, sorted by tag. The binary-search fields follow the
    //    tables kept, and every checksum is taken from the bytes as they now are.
    TableDirectory directory = dir_;
    directory.numTables = static_cast<uint16_t>(order.size());
    uint16_t power = 1;
    uint16_t log2 = 0;
    while (power * 2 <= directory.numTables) {
        power = static_cast<uint16_t>(power * 2);
        ++log2;
    }
    directory.searchRange = static_cast<uint16_t>(power * 16);
    directory.entrySelector = log2;
    directory.rangeShift = static_cast<uint16_t>(directory.numTables * 16 - directory.searchRange);
    font_.SetUInt32(0, directory.sfntversion);
    font_.SetUInt16(4, directory.numTables);
    font_.SetUInt16(6, directory.searchRange);
    font_.SetUInt16(8, directory.entrySelector);
    font_.SetUInt16(10, directory.rangeShift);
    size_t record = kOffsetTableSize;
    for (const auto& [tag, table] : tables_) { // a map: in tag order
        table->entry.checkSum = table->CalcChecksum(font_);
        record = table->StoreDescriptor(font_, record);
    }

    // 6. The whole-file checksum, taken while head's checkSumAdjustment is zero.
    const uint32_t sum = CalcTableChecksum(font_.Span(0, static_cast<size_t>(n)));
    font_header->SaveFontHeader(font_, kFontChecksumMagic - sum);

    // 7. The subset: the first n bytes.
    const std::span<uint8_t> subset = font_.Span(0, static_cast<size_t>(n));
    return std::vector<uint8_t>(subset.begin(), subset.end());
}

OutlineTextMetrics TrueTypeFont::GetOutlineTextMetrics() const
{
    RequirePrepared();
    const OS2WindowsMetrics& os2 = windows_metrix->win_metrix;
    const HorizontalHeader& hhea = horizontal_header->horizontal_header;
    OutlineTextMetrics m;
    m.Height = int32_t{os2.usWinAscent} + os2.usWinDescent;
    m.Ascent = os2.usWinAscent;
    m.Descent = os2.usWinDescent;
    m.AverageCharWidth = os2.xAvgCharWidth;
    m.MaxCharWidth = hhea.advanceWidthMax;
    m.FirstChar = os2.usFirstCharIndex;
    m.LastChar = os2.usLastCharIndex;
    m.DefaultChar = os2.usDefaultChar;
    m.BreakChar = os2.usBreakChar;
    m.Panose = os2.panose;
    if (postscript)
        m.ItalicAngle = static_cast<int32_t>(RoundHalfEven(postscript->post_script.italicAngle / 65536.0 * 10));
    m.EmSquare = font_header->font_header.unitsPerEm;
    m.OutlineAscent = hhea.Ascender;
    m.OutlineDescent = hhea.Descender;
    m.LineGap = hhea.LineGap > 0 ? static_cast<uint32_t>(hhea.LineGap) : 0;
    m.FamilyName = name_table->GetName(font_, NameTableClass::kFamilyName);
    m.FullName = name_table->GetName(font_, NameTableClass::kFullName);
    return m;
}
