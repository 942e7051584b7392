#include "rpTrueTypeCollection.h"

#include "ExportTexts.h"

#include "platform/Format.h"
#include "report/model/rpStreams.h"

#include <QString>

#include <stdexcept>

namespace {

constexpr uint32_t kTrueTypeVersion = 0x00010000;
constexpr uint32_t kCollectionTag = TagValue("ttcf");
constexpr uint32_t kCollectionVersion1 = 0x00010000;
constexpr uint32_t kCollectionVersion2 = 0x00020000;
constexpr size_t kCollectionHeaderSize = 12;

struct Substitution {
    const char16_t* ReportName;
    const char* FullName;
};

// Report font names as the system shows them -> the faces' English full names.
const Substitution kSubstitutions[] = {
    {u"ＭＳ ゴシック", "MS Gothic"},   {u"ＭＳ Ｐゴシック", "MS PGothic"}, {u"ＭＳ 明朝", "MS Mincho"},
    {u"ＭＳ Ｐ明朝", "MS PMincho"}, {u"メイリオ", "Meiryo"},
};

// The name is compared as 8-bit text, as the face names are.
QString AsAnsi(const QString& text)
{
    return AnsiToString(StringToAnsi(text));
}

} // namespace

const std::vector<std::string>& TrueTypeCollection::SkippedTables()
{
    static const std::vector<std::string> skipped = {"EBLC", "EBDT", "hdmx", "VDMX", "DSIG"};
    return skipped;
}

void TrueTypeCollection::Initialize(std::span<const uint8_t> bytes)
{
    fonts_collection.clear();
    warnings_.clear();
    packed_ = false;
    buffer_.clear();
    if (bytes.size() > kMaxFontFileSize)
        RaiseFontFormatError();
    // The buffer is the file with its last word completed by zeros, as checksums count it,
    // so a table that ends the file unpadded is still moved a whole word at a time.
    buffer_.assign(bytes.begin(), bytes.end());
    buffer_.resize(static_cast<size_t>(RoundUp4(bytes.size())), 0);
    const TTFBytes font(buffer_);
    if (bytes.size() < 4)
        RaiseFontFormatError();
    const uint32_t tag = font.UInt32(0);
    if (tag == kTrueTypeVersion) {
        fonts_collection.push_back(std::make_unique<TrueTypeFont>(buffer_, ChecksumFaultAction::Warn, 0));
        return;
    }
    if (tag != kCollectionTag)
        RaiseFontFormatError();
    const uint32_t version = font.UInt32(4);
    if (version != kCollectionVersion1 && version != kCollectionVersion2)
        throw ETrueTypeFont(exporttexts::kUnknownCollectionVersion);
    const uint32_t faces = font.UInt32(8);
    if (faces > kMaxFaces)
        RaiseFontFormatError();
    font.Check(kCollectionHeaderSize, size_t{4} * faces);
    for (size_t i = 0; i < faces; ++i)
        fonts_collection.push_back(std::make_unique<TrueTypeFont>(buffer_, ChecksumFaultAction::Warn,
                                                                  font.UInt32(kCollectionHeaderSize + 4 * i)));
}

void TrueTypeCollection::CollectWarnings(const TrueTypeFont& face)
{
    warnings_.insert(warnings_.end(), face.Warnings().begin(), face.Warnings().end());
}

std::vector<uint8_t> TrueTypeCollection::Pack(TrueTypeFont& face, std::span<const int> usedGlyphs)
{
    if (packed_)
        throw std::logic_error("TrueTypeCollection: one PackFont per Initialize");
    packed_ = true;
    face.SetUsedGlyphs(usedGlyphs);
    return face.PackFont();
}

std::vector<uint8_t> TrueTypeCollection::PackFont(const TrpFont& font, std::span<const int> usedGlyphs)
{
    warnings_.clear();
    if (fonts_collection.empty())
        return {};
    QString name = font.Name();
    for (const Substitution& substitution : kSubstitutions)
        if (name == QStringView(substitution.ReportName))
            name = QString::fromLatin1(substitution.FullName);
    if (font.Style() & kFontStyleBold)
        name += QLatin1String(" Bold");
    if (font.Style() & kFontStyleItalic)
        name += QLatin1String(" Italic");
    name = AsAnsi(name);

    TrueTypeFont* chosen = nullptr;
    for (const std::unique_ptr<TrueTypeFont>& face : fonts_collection) {
        face->PrepareFont(SkippedTables());
        CollectWarnings(*face);
        if (face->FullName() == name) {
            chosen = face.get();
            break;
        }
    }
    if (!chosen)
        chosen = fonts_collection.back().get(); // prepared above like every face
    return Pack(*chosen, usedGlyphs);
}

std::vector<uint8_t> TrueTypeCollection::PackFont(int faceIndex, std::span<const int> usedGlyphs)
{
    warnings_.clear();
    if (fonts_collection.empty())
        return {};
    if (faceIndex < 0 || static_cast<size_t>(faceIndex) >= fonts_collection.size())
        throw ETrueTypeFont(platform::Format(exporttexts::kFaceIndexOutOfRangeFormat, faceIndex,
                                             static_cast<int>(fonts_collection.size())));
    TrueTypeFont& face = *fonts_collection[static_cast<size_t>(faceIndex)];
    face.PrepareFont(SkippedTables());
    CollectWarnings(face);
    return Pack(face, usedGlyphs);
}
