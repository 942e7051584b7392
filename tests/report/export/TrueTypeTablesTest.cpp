// The table readers against fontTools reading the same installed files, and the edge cases of
// the tables on fonts built with fontTools.

#include "FontTestSupport.h"

#include "report/export/ExportTexts.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace fonttest;

namespace {

// Characters looked up in every font: Latin, digits, Cyrillic (with composites), the number
// sign, a composite of a composite, characters absent from the fonts, and the ends of the range.
const std::vector<uint32_t> kCodes = {0x0000, 0x0030, 0x0041, 0x0061, 0x0400, 0x0401, 0x0416, 0x0436,
                                      0x01D6, 0x2116, 0x4E00, 0xAC00, 0xFFFF};

std::string Number(int64_t value)
{
    return std::to_string(value);
}

// Our reading of the face, under the keys font_facts.py prints.
std::map<std::string, std::string> OurFacts(const TrueTypeFont& face)
{
    std::map<std::string, std::string> facts;
    const FontHeader& head = face.font_header->font_header;
    facts["head.magicNumber"] = Number(head.magicNumber);
    facts["head.flags"] = Number(head.flags);
    facts["head.unitsPerEm"] = Number(head.unitsPerEm);
    facts["head.created"] = Number(static_cast<int64_t>(head.CreatedDateTime));
    facts["head.modified"] = Number(static_cast<int64_t>(head.ModifiedDateTime));
    facts["head.xMin"] = Number(head.xMin);
    facts["head.yMin"] = Number(head.yMin);
    facts["head.xMax"] = Number(head.xMax);
    facts["head.yMax"] = Number(head.yMax);
    facts["head.macStyle"] = Number(head.macStyle);
    facts["head.lowestRecPPEM"] = Number(head.lowestRecPPEM);
    facts["head.fontDirectionHint"] = Number(head.fontDirectionHint);
    facts["head.indexToLocFormat"] = Number(head.indexToLocFormat);
    facts["head.glyphDataFormat"] = Number(head.glyphDataFormat);
    facts["head.fontRevision"] = Number(static_cast<int32_t>(head.revision));

    const HorizontalHeader& hhea = face.horizontal_header->horizontal_header;
    facts["hhea.ascent"] = Number(hhea.Ascender);
    facts["hhea.descent"] = Number(hhea.Descender);
    facts["hhea.lineGap"] = Number(hhea.LineGap);
    facts["hhea.advanceWidthMax"] = Number(hhea.advanceWidthMax);
    facts["hhea.minLeftSideBearing"] = Number(hhea.minLeftSideBearing);
    facts["hhea.minRightSideBearing"] = Number(hhea.minRightSideBearing);
    facts["hhea.xMaxExtent"] = Number(hhea.xMaxExtent);
    facts["hhea.caretSlopeRise"] = Number(hhea.caretSlopeRise);
    facts["hhea.caretSlopeRun"] = Number(hhea.caretSlopeRun);
    facts["hhea.caretOffset"] = Number(hhea.reserved1);
    facts["hhea.metricDataFormat"] = Number(hhea.metricDataFormat);
    facts["hhea.numberOfHMetrics"] = Number(hhea.numberOfHMetrics);

    const MaximumProfile& maxp = face.profile->max_profile;
    facts["maxp.numGlyphs"] = Number(maxp.numGlyphs);
    facts["maxp.maxPoints"] = Number(maxp.maxPoints);
    facts["maxp.maxContours"] = Number(maxp.maxContours);
    facts["maxp.maxCompositePoints"] = Number(maxp.maxCompositePoints);
    facts["maxp.maxCompositeContours"] = Number(maxp.maxCompositeContours);
    facts["maxp.maxZones"] = Number(maxp.maxZones);
    facts["maxp.maxTwilightPoints"] = Number(maxp.maxTwilightPoints);
    facts["maxp.maxStorage"] = Number(maxp.maxStorage);
    facts["maxp.maxFunctionDefs"] = Number(maxp.maxFunctionDefs);
    facts["maxp.maxInstructionDefs"] = Number(maxp.maxInstructionDefs);
    facts["maxp.maxStackElements"] = Number(maxp.maxStackElements);
    facts["maxp.maxSizeOfInstructions"] = Number(maxp.maxSizeOfInstructions);
    facts["maxp.maxComponentElements"] = Number(maxp.maxComponentElements);
    facts["maxp.maxComponentDepth"] = Number(maxp.maxComponentDepth);

    const PostScript& post = face.postscript->post_script;
    facts["post.version"] = Number(post.version);
    facts["post.italicAngle"] = Number(post.italicAngle);
    facts["post.underlinePosition"] = Number(post.underlinePosition);
    facts["post.underlineThickness"] = Number(post.underlineThickness);
    facts["post.isFixedPitch"] = Number(post.isFixedPitch);

    const OS2WindowsMetrics& os2 = face.windows_metrix->win_metrix;
    const auto set = [&](const char* key, int64_t value) { facts[std::string("OS/2.") + key] = Number(value); };
    set("version", os2.version);
    set("xAvgCharWidth", os2.xAvgCharWidth);
    set("usWeightClass", os2.usWeightClass);
    set("usWidthClass", os2.usWidthClass);
    set("fsType", os2.fsType);
    set("ySubscriptXSize", os2.ySubscriptXSize);
    set("ySubscriptYSize", os2.ySubscriptYSize);
    set("ySubscriptXOffset", os2.ySubscriptXOffset);
    set("ySubscriptYOffset", os2.ySubscriptYOffset);
    set("ySuperscriptXSize", os2.ySuperscriptXSize);
    set("ySuperscriptYSize", os2.ySuperscriptYSize);
    set("ySuperscriptXOffset", os2.ySuperscriptXOffset);
    set("ySuperscriptYOffset", os2.ySuperscriptYOffset);
    set("yStrikeoutSize", os2.yStrikeoutSize);
    set("yStrikeoutPosition", os2.yStrikeoutPosition);
    set("sFamilyClass", os2.sFamilyClass);
    set("ulUnicodeRange1", os2.ulUnicodeRange1);
    set("ulUnicodeRange2", os2.ulUnicodeRange2);
    set("ulUnicodeRange3", os2.ulUnicodeRange3);
    set("ulUnicodeRange4", os2.ulUnicodeRange4);
    set("fsSelection", os2.fsSelection);
    set("usFirstCharIndex", os2.usFirstCharIndex);
    set("usLastCharIndex", os2.usLastCharIndex);
    set("sTypoAscender", os2.sTypoAscender);
    set("sTypoDescender", os2.sTypoDescender);
    set("sTypoLineGap", os2.sTypoLineGap);
    set("usWinAscent", os2.usWinAscent);
    set("usWinDescent", os2.usWinDescent);
    if (os2.version >= 1) {
        set("ulCodePageRange1", os2.ulCodePageRange1);
        set("ulCodePageRange2", os2.ulCodePageRange2);
    }
    if (os2.version >= 2) {
        set("sxHeight", os2.sxHeight);
        set("sCapHeight", os2.sCapHeight);
        set("usDefaultChar", os2.usDefaultChar);
        set("usBreakChar", os2.usBreakChar);
        set("usMaxContext", os2.usMaxContext);
    }
    std::string panose;
    for (const uint8_t value : os2.panose)
        panose += (panose.empty() ? "" : " ") + Number(value);
    facts["OS/2.panose"] = panose;
    facts["OS/2.achVendID"] = std::string(os2.achVendID.begin(), os2.achVendID.end());
    set("length", face.windows_metrix->entry.length);

    const TTFBytes& font = face.FontBytes();
    facts["name.1"] = face.name_table->GetName(font, 1).toStdString();
    facts["name.4"] = face.FullName().toStdString();

    const uint16_t metrics = hhea.numberOfHMetrics;
    for (const size_t gid : {size_t{0}, size_t{1}, size_t{2}, size_t{metrics} - 1u}) {
        const HorizontalMetric metric = face.horizontal_metrix_table->GetItem(gid);
        facts["hmtx." + std::to_string(gid)] = Number(metric.advanceWidth) + " " + Number(metric.leftSideBearing);
    }

    for (const uint32_t code : kCodes) {
        char key[16];
        std::snprintf(key, sizeof key, "%04X", code);
        const uint16_t glyph = face.cmap_table->GetGlyphIndex(static_cast<uint16_t>(code));
        facts[std::string("cmap.") + key] = Number(glyph);
        uint32_t location = 0;
        const uint32_t size = face.index_to_location->GetGlyph(glyph, *face.font_header, location);
        const std::vector<uint16_t> components = face.glyph_table->CheckGlyph(font, location, size);
        if (!components.empty()) {
            std::string list;
            for (const uint16_t component : components)
                list += (list.empty() ? "" : " ") + Number(component);
            facts[std::string("components.") + key] = list;
        }
    }
    return facts;
}

struct FaceCase {
    const char* name;
    std::string (*file)();
    int index;
};

void PrintTo(const FaceCase& c, std::ostream* out)
{
    *out << c.name;
}

// A face of a font file, prepared (nothing is packed, so its buffer holds the file).
class PreparedFace {
public:
    PreparedFace(const std::string& file, int index)
    {
        collection_.Initialize(View(ReadBytes(file)));
        face_ = collection_.GetFontCollection().at(static_cast<size_t>(index)).get();
        face_->PrepareFont(TrueTypeCollection::SkippedTables());
    }
    TrueTypeFont& Face() const { return *face_; }
    const TTFBytes& Font() const { return face_->FontBytes(); }

private:
    TrueTypeCollection collection_;
    TrueTypeFont* face_ = nullptr;
};

class TrueTypeTablesAgainstFontTools : public ::testing::TestWithParam<FaceCase> {};

TEST_P(TrueTypeTablesAgainstFontTools, EveryFieldAndLookupAsFontToolsReadsIt)
{
    const FaceCase& c = GetParam();
    const std::string file = c.file();
    std::vector<std::string> arguments = {file, "--index", std::to_string(c.index)};
    for (const uint32_t code : kCodes) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%X", code);
        arguments.push_back(hex);
    }
    int status = 0;
    const std::string output = RunTool("font_facts.py", arguments, status);
    ASSERT_EQ(status, 0) << output;
    std::map<std::string, std::string> expected = Facts(output);
    for (auto it = expected.begin(); it != expected.end();)
        it = it->first.rfind("componentnames.", 0) == 0 ? expected.erase(it) : std::next(it);

    const PreparedFace prepared(file, c.index);
    const std::map<std::string, std::string> ours = OurFacts(prepared.Face());
    for (const auto& [key, value] : expected) {
        const auto found = ours.find(key);
        if (found == ours.end())
            ADD_FAILURE() << key << ": fontTools reads " << value << ", we read nothing";
        else
            EXPECT_EQ(found->second, value) << key;
    }
    for (const auto& [key, value] : ours)
        EXPECT_TRUE(expected.count(key)) << key << ": we read " << value << ", fontTools nothing";
}

INSTANTIATE_TEST_SUITE_P(InstalledFonts, TrueTypeTablesAgainstFontTools,
                         ::testing::Values(FaceCase{"DejaVuSans", [] { return kDejaVuSans; }, 0},
                                           FaceCase{"LiberationSans", [] { return kLiberationSans; }, 0},
                                           FaceCase{"LiberationSansBold", [] { return kLiberationSansBold; }, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TrueTypeTables, CompositesListTheirComponentsInFileOrder)
{
    // Liberation Sans "Ѐ" is E with a grave accent; DejaVu Sans "Ё" a composite one of whose
    // components is itself a composite.
    int status = 0;
    const std::string liberationFile = kLiberationSans;
    const auto liberation = Facts(RunTool("font_facts.py", {liberationFile, "400"}, status));
    ASSERT_EQ(status, 0);
    EXPECT_EQ(liberation.at("componentnames.0400"), "E grave.uc");
    const PreparedFace liberationFace(liberationFile, 0);
    const TrueTypeFont& face = liberationFace.Face();
    const TTFBytes& font = liberationFace.Font();
    uint32_t location = 0;
    uint32_t size = face.index_to_location->GetGlyph(face.cmap_table->GetGlyphIndex(0x0400), *face.font_header, location);
    std::vector<uint16_t> expected;
    for (const QString& gid : QString::fromStdString(liberation.at("components.0400")).split(u' '))
        expected.push_back(static_cast<uint16_t>(gid.toUInt()));
    EXPECT_EQ(face.glyph_table->CheckGlyph(font, location, size), expected);
    EXPECT_EQ(expected.at(0), face.cmap_table->GetGlyphIndex(u'E'));

    const PreparedFace dejavu(kDejaVuSans, 0);
    const TrueTypeFont& d = dejavu.Face();
    const TTFBytes& dejavuFont = dejavu.Font();
    size = d.index_to_location->GetGlyph(d.cmap_table->GetGlyphIndex(0x0401), *d.font_header, location);
    bool nested = false;
    for (const uint16_t component : d.glyph_table->CheckGlyph(dejavuFont, location, size)) {
        uint32_t at = 0;
        const uint32_t length = d.index_to_location->GetGlyph(component, *d.font_header, at);
        nested = nested || !d.glyph_table->CheckGlyph(dejavuFont, at, length).empty();
    }
    EXPECT_TRUE(nested) << "DejaVu Sans U+0401 holds a composite";
}

TEST(TrueTypeTables, BuiltFontShortLocaCompositeNamesAndMetrics)
{
    const BuiltFonts built({"short"});
    const PreparedFace prepared(built.Path("short.ttf"), 0);
    const TrueTypeFont& face = prepared.Face();
    const TTFBytes& font = prepared.Font();

    // Three glyphs, four short entries; glyph 2's size is the difference of entries 3 and 2, doubled.
    ASSERT_EQ(face.font_header->font_header.indexToLocFormat, 0);
    const std::vector<uint16_t>& loca = face.index_to_location->ShortIndexToLocation;
    ASSERT_EQ(loca.size(), 4u);
    uint32_t location = 0;
    EXPECT_EQ(face.index_to_location->GetGlyph(2, *face.font_header, location), (loca[3] - loca[2]) * 2u);
    EXPECT_EQ(location, loca[2] * 2u);
    EXPECT_EQ(face.index_to_location->GetGlyph(3, *face.font_header, location), 0u) << "past the last glyph";

    // "B" is A, .notdef and A, in that order.
    const uint32_t size = face.index_to_location->GetGlyph(2, *face.font_header, location);
    EXPECT_EQ(face.glyph_table->CheckGlyph(font, location, size), (std::vector<uint16_t>{1, 0, 1}));
    EXPECT_EQ(face.cmap_table->GetGlyphIndex(u'B'), 2);
    EXPECT_EQ(face.cmap_table->GetGlyphIndex(u'C'), 0);

    // The first full-name record is the Japanese one: it is taken whatever its language, and
    // its letters, which the 8-bit code page lacks, come back as '?'. The family's first
    // record is English.
    EXPECT_EQ(face.FullName(), QStringLiteral("??????? ??"));
    EXPECT_EQ(face.name_table->GetName(font, NameTableClass::kFamilyName), QStringLiteral("Short Test"));
    EXPECT_EQ(face.name_table->GetName(font, 99), QString());

    const OutlineTextMetrics metrics = face.GetOutlineTextMetrics();
    EXPECT_EQ(metrics.Size, 212u);
    EXPECT_EQ(metrics.ItalicAngle, -125); // tenths of a degree
    EXPECT_EQ(metrics.EmSquare, 1000u);
    EXPECT_EQ(metrics.Ascent, 800);
    EXPECT_EQ(metrics.Descent, 200);
    EXPECT_EQ(metrics.Height, 1000);
    EXPECT_EQ(metrics.OutlineAscent, 800);
    EXPECT_EQ(metrics.OutlineDescent, -200);
    EXPECT_EQ(metrics.LineGap, 0u);
    EXPECT_EQ(metrics.MaxCharWidth, 1200);
    EXPECT_EQ(metrics.FamilyName, QStringLiteral("Short Test"));
    EXPECT_EQ(metrics.FullName, QStringLiteral("??????? ??"));
}

TEST(TrueTypeTables, OutlineMetricsOfAnInstalledFont)
{
    int status = 0;
    const std::string file = kLiberationSans;
    const auto facts = Facts(RunTool("font_facts.py", {file}, status));
    ASSERT_EQ(status, 0);
    const PreparedFace prepared(file, 0);
    const OutlineTextMetrics m = prepared.Face().GetOutlineTextMetrics();
    EXPECT_EQ(std::to_string(m.Ascent), facts.at("OS/2.usWinAscent"));
    EXPECT_EQ(std::to_string(m.Descent), facts.at("OS/2.usWinDescent"));
    EXPECT_EQ(m.Height, m.Ascent + m.Descent);
    EXPECT_EQ(std::to_string(m.AverageCharWidth), facts.at("OS/2.xAvgCharWidth"));
    EXPECT_EQ(std::to_string(m.MaxCharWidth), facts.at("hhea.advanceWidthMax"));
    EXPECT_EQ(std::to_string(m.EmSquare), facts.at("head.unitsPerEm"));
    EXPECT_EQ(std::to_string(m.FirstChar), facts.at("OS/2.usFirstCharIndex"));
    EXPECT_EQ(std::to_string(m.BreakChar), facts.at("OS/2.usBreakChar"));
    EXPECT_EQ(std::to_string(m.OutlineDescent), facts.at("hhea.descent"));
    EXPECT_EQ(std::to_string(m.LineGap), facts.at("hhea.lineGap"));
    EXPECT_EQ(m.ItalicAngle, 0);
    EXPECT_EQ(m.FullName.toStdString(), facts.at("name.4"));
}

TEST(TrueTypeTables, SwapsAndDirectoryRecords)
{
    EXPECT_EQ(TTF_Helpers::SwapUInt16(0x1234), 0x3412);
    EXPECT_EQ(TTF_Helpers::SwapInt16(static_cast<int16_t>(0x80FF)), static_cast<int16_t>(0xFF80));
    EXPECT_EQ(TTF_Helpers::SwapUInt32(0x12345678u), 0x78563412u);
    EXPECT_EQ(TTF_Helpers::SwapInt32(-2), static_cast<int32_t>(0xFEFFFFFFu));
    EXPECT_EQ(TTF_Helpers::SwapUInt64(0x0102030405060708ull), 0x0403020108070605ull);
    const uint8_t bytes[4] = {};
    EXPECT_EQ(TTF_Helpers::Increment(bytes, 3), bytes + 3);

    Bytes buffer(48, 0);
    const uint8_t record[16] = {'c', 'm', 'a', 'p', 0x12, 0x34, 0x56, 0x78, 0, 0, 0, 32, 0, 0, 0, 5};
    std::memcpy(buffer.data(), record, 16);
    const TTFBytes font(buffer);
    TrueTypeTable table(font, 0);
    EXPECT_EQ(table.TAGLINE(), "cmap");
    EXPECT_EQ(table.entry.checkSum, 0x12345678u);
    EXPECT_EQ(table.entry.offset, 32u);
    EXPECT_EQ(table.entry.length, 5u);
    EXPECT_EQ(table.StoreDescriptor(font, 16), 32u);
    EXPECT_EQ(std::memcmp(buffer.data() + 16, record, 16), 0);

    // The base Save moves the table towards the start over its own old place and pads it to
    // four bytes with zeros.
    const uint8_t content[5] = {1, 2, 3, 4, 5};
    std::memcpy(buffer.data() + 32, content, 5);
    std::memset(buffer.data() + 37, 0xEE, 3);
    table.entry.offset = 32;
    EXPECT_EQ(table.Save(font, 30), 36u);
    EXPECT_EQ(table.entry.offset, 30u);
    EXPECT_EQ(std::memcmp(buffer.data() + 30, content, 5), 0);
    EXPECT_EQ(buffer[35], 0);
    // A table reaching past the buffer is the format error.
    table.entry.offset = 44;
    EXPECT_THROW(table.Save(font, 40), ETrueTypeFont);
}

} // namespace
