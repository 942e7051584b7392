#pragma once

#include "TTFHelpers.h"
#include "rpCmapTableClass.h"
#include "rpFontHeaderClass.h"
#include "rpGlyphSubstitutionClass.h"
#include "rpGlyphTableClass.h"
#include "rpHorizontalHeaderClass.h"
#include "rpHorizontalMetrixClass.h"
#include "rpIndexToLocationClass.h"
#include "rpKerningTableClass.h"
#include "rpMaximumProfileClass.h"
#include "rpNameTableClass.h"
#include "rpOS2WindowsMetricsClass.h"
#include "rpPostScriptClass.h"
#include "rpPreProgramClass.h"

#include <QString>

#include <array>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

// What a table checksum that does not match does: nothing, an exception, or a warning the
// caller reads from Warnings() (the subset goes on).
enum class ChecksumFaultAction { IgnoreChecksum, ThrowException, Warn };

// The offset table at the start of a face.
struct TableDirectory {
    uint32_t sfntversion = 0;
    uint16_t numTables = 0;
    uint16_t searchRange = 0;
    uint16_t entrySelector = 0;
    uint16_t rangeShift = 0;
};

// The font's outline metrics, as the desktop's outline text metrics record holds them.
struct OutlineTextMetrics {
    uint32_t Size = 212; // the record's size
    int32_t Height = 0;  // usWinAscent + usWinDescent
    int32_t Ascent = 0;  // usWinAscent
    int32_t Descent = 0; // usWinDescent
    int32_t AverageCharWidth = 0;
    int32_t MaxCharWidth = 0;
    uint16_t FirstChar = 0;
    uint16_t LastChar = 0;
    uint16_t DefaultChar = 0;
    uint16_t BreakChar = 0;
    std::array<uint8_t, 10> Panose{};
    int32_t ItalicAngle = 0; // tenths of a degree
    uint32_t EmSquare = 0;
    int32_t OutlineAscent = 0;  // hhea Ascender
    int32_t OutlineDescent = 0; // hhea Descender
    uint32_t LineGap = 0;       // hhea LineGap, 0 when not positive
    QString FamilyName;
    QString FullName;
};

// One face of a font file held in memory, reduced in place to the glyphs a document uses.
// The font's bytes are untrusted: every table, offset, length, loca entry, composite record
// and name record is checked against them, and a damaged font raises ETrueTypeFont with
// kTrueTypeFormatError (or another of the subsetter's texts); nothing is read past the bytes.
class TrueTypeFont : public TTF_Helpers {
public:
    // Named limits of what a face may hold.
    static constexpr size_t kMaxTables = 256;        // tables in one face's directory
    static constexpr int kMaxCompositeDepth = 16;    // composites nested in composites

    // buffer: the whole font file (all table offsets count from its start); faceOffset: where
    // this face's offset table starts. The buffer must outlive the face.
    TrueTypeFont(std::span<uint8_t> buffer, ChecksumFaultAction action, uint32_t faceOffset);
    TrueTypeFont(const TrueTypeFont&) = delete;
    TrueTypeFont& operator=(const TrueTypeFont&) = delete;

    // Reads the directory, dropping the tables whose tags are in skipList, loads the tables
    // and checks their checksums (unless the action ignores them).
    void PrepareFont(const std::vector<std::string>& skipList);

    // Adds a glyph to keep, once.
    void AddCharacterToKeepList(uint16_t glyph);
    // Replaces the glyphs to keep by these, each once; kGlyphOutOfRange for a value outside
    // 16 bits.
    void SetUsedGlyphs(std::span<const int> glyphs);

    // The standalone font of the glyphs to keep (glyph 0 always, and every component of a
    // composite, however deep). Works inside the buffer: tables only move towards its start,
    // so the buffer no longer holds the original font afterwards. PrepareFont first.
    std::vector<uint8_t> PackFont();

    OutlineTextMetrics GetOutlineTextMetrics() const;
    // Name 4 of the name table, as the system compares names.
    QString FullName() const;

    // The warnings of the last PrepareFont ("<caption>: <text>"): checksum mismatches under
    // Warn, and duplicate tables.
    const std::vector<std::string>& Warnings() const { return warnings_; }

    // The whole buffer the face lies in, for the tables' lookups that read it.
    const TTFBytes& FontBytes() const { return font_; }
    const TableDirectory& dir() const { return dir_; }
    const std::vector<uint16_t>& ListOfUsedGlyphs() const { return used_glyphs_; }
    const std::map<uint32_t, std::unique_ptr<TrueTypeTable>>& ListOfTables() const { return tables_; }

    // The loaded tables (owned by ListOfTables; set by PrepareFont, null when absent).
    FontHeaderClass* font_header = nullptr;
    MaximumProfileClass* profile = nullptr;
    HorizontalHeaderClass* horizontal_header = nullptr;
    PostScriptClass* postscript = nullptr;
    OS2WindowsMetricsClass* windows_metrix = nullptr;
    IndexToLocationClass* index_to_location = nullptr;
    CmapTableClass* cmap_table = nullptr;
    NameTableClass* name_table = nullptr;
    GlyphTableClass* glyph_table = nullptr;
    KerningTableClass* kerning_table = nullptr;
    GlyphSubstitutionClass* gsub_table = nullptr;
    PreProgramClass* preprogram_table = nullptr;
    HorizontalMetrixClass* horizontal_metrix_table = nullptr;

private:
    void Warn(const char* caption, const std::string& text);
    std::vector<uint16_t> GlyphClosure() const;
    void KeepGlyph(uint16_t glyph, int depth, std::vector<uint8_t>& state, std::vector<uint16_t>& kept) const;
    void RebuildGlyphs(const std::vector<uint16_t>& kept);
    void RequirePrepared() const;

    TTFBytes font_;                      // the whole buffer (beginfile_ptr)
    ChecksumFaultAction checksum_action; // what a checksum mismatch does
    uint32_t selector_ptr;               // this face's offset table
    TableDirectory dir_;
    std::map<uint32_t, std::unique_ptr<TrueTypeTable>> tables_; // ListOfTables, by tag
    std::vector<uint16_t> used_glyphs_;                         // ListOfUsedGlyphs
    std::vector<std::string> warnings_;
    bool prepared_ = false;
};
