#pragma once

#include "rpTrueTypeFont.h"

#include "report/model/rpFont.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

// The bytes of a font file, a single TrueType font or a "ttcf" collection, and its faces; a
// face is reduced to the glyphs a document uses (the PDF export embeds the result).
class TrueTypeCollection : public TTF_Helpers {
public:
    // Named limits: the largest font file taken, and the most faces in a collection.
    static constexpr size_t kMaxFontFileSize = size_t{128} * 1024 * 1024;
    static constexpr size_t kMaxFaces = 256;

    TrueTypeCollection() = default;
    TrueTypeCollection(const TrueTypeCollection&) = delete;
    TrueTypeCollection& operator=(const TrueTypeCollection&) = delete;

    // The tables a subset never keeps: embedded bitmaps, device metrics, the signature.
    static const std::vector<std::string>& SkippedTables();

    // Takes a copy of the file's bytes and makes its faces (each warning on checksum
    // mismatches). kUnknownCollectionVersion for a collection other than 1.0 or 2.0,
    // kTrueTypeFormatError for anything that is neither a font nor a collection.
    void Initialize(std::span<const uint8_t> bytes);

    // The subset of the face of the report font: its name (the five substituted names
    // replaced, " Bold" and " Italic" appended for its style) compared with each face's full
    // name in turn, the first match or else the last face. Empty when the file has no face:
    // the whole file is then embedded.
    std::vector<uint8_t> PackFont(const TrpFont& font, std::span<const int> usedGlyphs);
    // The subset of the face at faceIndex, the face the layout measured with. Empty when the
    // file has no face; an error for an index past the faces.
    std::vector<uint8_t> PackFont(int faceIndex, std::span<const int> usedGlyphs);

    std::vector<std::unique_ptr<TrueTypeFont>>& GetFontCollection() { return fonts_collection; }
    // The warnings of the faces prepared by the last PackFont.
    const std::vector<std::string>& Warnings() const { return warnings_; }

private:
    std::vector<uint8_t> Pack(TrueTypeFont& face, std::span<const int> usedGlyphs);
    void CollectWarnings(const TrueTypeFont& face);

    std::vector<uint8_t> buffer_; // the file, its last word completed with zeros
    std::vector<std::unique_ptr<TrueTypeFont>> fonts_collection;
    std::vector<std::string> warnings_;
    bool packed_ = false; // PackFont rewrites the buffer: one per Initialize
};
