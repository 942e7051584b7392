// Subsets checked by an independent script (check_subset.py, fontTools): every table decodes
// with its checksum right, the file's words add up to the font checksum, and every glyph the
// text needs keeps its outline under its identifier. Then the collection's choice of face,
// the warnings, the missing tables and the damaged fonts.

#include "FontTestSupport.h"
#include "Failures.h"
#include "HostileFonts.h"

#include "report/export/ExportTexts.h"
#include "report/model/rpStreams.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <regex>

using namespace fonttest;
namespace hostile = testsupport::hostilefonts;

namespace {

// The subset of face `index` of the file for the text, as the PDF export makes it.
Bytes Subset(const Bytes& file, int index, const QString& text, std::vector<std::string>* warnings = nullptr)
{
    TrueTypeCollection collection;
    collection.Initialize(View(file));
    TrueTypeFont& face = *collection.GetFontCollection().at(static_cast<size_t>(index));
    face.PrepareFont(TrueTypeCollection::SkippedTables());
    const Bytes subset = collection.PackFont(index, GlyphsOf(face, text));
    if (warnings)
        *warnings = collection.Warnings();
    return subset;
}

// check_subset.py's verdict on the subset: its output, which starts with "subset ok" when
// every check passed.
std::string Check(const std::string& fontFile, int index, const Bytes& subset, const QString& text)
{
    QTemporaryDir folder;
    const std::string subsetFile = folder.filePath(QStringLiteral("subset.ttf")).toStdString();
    WriteBytes(subsetFile, subset);
    int status = 0;
    const std::string output =
        RunTool("check_subset.py", {fontFile, subsetFile, text.toStdString(), "--index", std::to_string(index)}, status);
    return (status == 0 ? "" : "exit " + std::to_string(status) + ": ") + output;
}

struct SubsetCase {
    const char* name;
    std::function<std::string(const BuiltFonts&)> file;
    int index;
    const char* text;
};

void PrintTo(const SubsetCase& c, std::ostream* out)
{
    *out << c.name;
}

const SubsetCase kSubsetCases[] = {
    // Nested composites ("Ё" is E-with-breve's E plus a composite, "ǖ" macron plus ü), an
    // OS/2 table of version 1 (86 bytes), long loca, a kern table.
    {"DejaVuSans", [](const BuiltFonts&) { return kDejaVuSans; }, 0, "Ёмкость ǖ №12"},
    {"LiberationSans", [](const BuiltFonts&) { return kLiberationSans; }, 0, "Ѐ Часовые данные"},
    {"LiberationSansBold", [](const BuiltFonts&) { return kLiberationSansBold; }, 0, "Ѐ Часовые данные"},
    // Short loca entries; "B" is a composite of A, .notdef and A.
    {"ShortLoca", [](const BuiltFonts& built) { return built.Path("short.ttf"); }, 0, "B"},
    {"GlyphZeroAlone", [](const BuiltFonts&) { return kDejaVuSans; }, 0, ""},
    {"CollectionFirstFace", [](const BuiltFonts& built) { return built.Path("two-faces.ttc"); }, 0, "Ѐ Часовые"},
    {"CollectionSecondFace", [](const BuiltFonts& built) { return built.Path("two-faces.ttc"); }, 1, "Ѐ Часовые"},
};

class TrueTypeSubset : public ::testing::TestWithParam<SubsetCase> {};

TEST_P(TrueTypeSubset, CheckedByFontTools)
{
    const SubsetCase& c = GetParam();
    const BuiltFonts built({"short", "collection"});
    const std::string file = c.file(built);
    const QString text = QString::fromUtf8(c.text);
    std::vector<std::string> warnings;
    const Bytes original = ReadBytes(file);
    const Bytes subset = Subset(original, c.index, text, &warnings);
    EXPECT_TRUE(warnings.empty()) << warnings.front();
    EXPECT_LE(subset.size(), original.size());
    const std::string verdict = Check(file, c.index, subset, text);
    EXPECT_EQ(verdict.rfind("subset ok", 0), 0u) << verdict;
}

INSTANTIATE_TEST_SUITE_P(Fonts, TrueTypeSubset, ::testing::ValuesIn(kSubsetCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TrueTypeSubsetCheck, NoticesALostOutline)
{
    // The checker itself: a subset made for "a" does not serve "Ё".
    const std::string file = kDejaVuSans;
    const Bytes subset = Subset(ReadBytes(file), 0, QStringLiteral("a"));
    const std::string verdict = Check(file, 0, subset, QStringLiteral("Ё"));
    EXPECT_NE(verdict.find("lost its outline"), std::string::npos) << verdict;
}

TEST(TrueTypeSubsetTables, PostBecomesVersion3AndShortTablesKeepTheirLength)
{
    const BuiltFonts built({"short"});
    QTemporaryDir folder;
    const std::string subsetFile = folder.filePath(QStringLiteral("s.ttf")).toStdString();
    WriteBytes(subsetFile, Subset(ReadBytes(built.Path("short.ttf")), 0, QStringLiteral("A")));
    int status = 0;
    auto facts = Facts(RunTool("font_facts.py", {subsetFile}, status));
    ASSERT_EQ(status, 0);
    EXPECT_EQ(facts.at("post.version"), "196608"); // 3.0
    EXPECT_EQ(facts.at("post.italicAngle"), std::to_string(-12 * 65536 - 32768));
    EXPECT_EQ(facts.at("post.underlinePosition"), "-150");
    EXPECT_EQ(facts.at("post.underlineThickness"), "60");
    EXPECT_EQ(facts.at("post.isFixedPitch"), "1");
    const Bytes subset = ReadBytes(subsetFile);
    EXPECT_EQ(hostile::Table(subset, "post").length, 32u);

    // DejaVu Sans's OS/2 table is the 86-byte version 1: it stays so, nothing written over the
    // table after it.
    const Bytes dejavu = Subset(ReadBytes(kDejaVuSans), 0, QStringLiteral("Ё"));
    EXPECT_EQ(hostile::Table(dejavu, "OS/2").length, 86u);
}

TEST(TrueTypeSubsetTables, SkippedTablesAreDroppedAndTheDirectoryFollows)
{
    // DejaVu Sans's FFTM table renamed DSIG: the subset leaves it out and its directory's
    // binary-search fields count the tables kept.
    Bytes font = ReadBytes(kDejaVuSans);
    const hostile::TableRecord fftm = hostile::Table(font, "FFTM");
    std::memcpy(font.data() + fftm.record, "DSIG", 4);
    const Bytes subset = Subset(font, 0, QStringLiteral("abc"));
    EXPECT_FALSE(hostile::FindTable(subset, "DSIG"));
    const auto tables = platform::ReadBigEndian<uint16_t>(subset, 4);
    EXPECT_EQ(tables, platform::ReadBigEndian<uint16_t>(font, 4) - 1);
    uint16_t power = 1;
    while (power * 2 <= tables)
        power = static_cast<uint16_t>(power * 2);
    EXPECT_EQ(platform::ReadBigEndian<uint16_t>(subset, 6), power * 16);
    EXPECT_EQ(platform::ReadBigEndian<uint16_t>(subset, 10), tables * 16 - power * 16);
}

// The subset of a collection chosen by font name, compared with those chosen by index.
TEST(TrueTypeCollectionChoice, ByNameWithStyleElseTheLastFace)
{
    const BuiltFonts built({"collection"});
    const Bytes file = ReadBytes(built.Path("two-faces.ttc"));
    const QString text = QStringLiteral("Ѐ Часовые");
    const Bytes regular = Subset(file, 0, text);
    const Bytes bold = Subset(file, 1, text);
    ASSERT_NE(regular, bold);

    TrueTypeCollection probe;
    probe.Initialize(View(file));
    probe.GetFontCollection()[0]->PrepareFont(TrueTypeCollection::SkippedTables());
    const std::vector<int> glyphs = GlyphsOf(*probe.GetFontCollection()[0], text);

    const struct {
        const char* name;
        uint32_t style;
        const Bytes* expected;
    } cases[] = {
        {"Liberation Sans", 0, &regular},
        {"Liberation Sans", kFontStyleBold, &bold},
        {"Liberation Sans", kFontStyleItalic, &bold},   // no "Liberation Sans Italic": the last face
        {"Nothing of the kind", 0, &bold},              // the last face
        {"ＭＳ ゴシック", kFontStyleBold, &bold},        // "MS Gothic Bold": none, the last face
    };
    for (const auto& c : cases) {
        TrueTypeCollection collection;
        collection.Initialize(View(file));
        TrpFont font;
        font.SetName(QString::fromUtf8(c.name));
        font.SetStyle(c.style);
        EXPECT_EQ(collection.PackFont(font, glyphs), *c.expected) << c.name << " style " << c.style;
    }

    // A single font is used whatever its name.
    const Bytes single = ReadBytes(kLiberationSans);
    TrueTypeCollection one;
    one.Initialize(View(single));
    TrpFont other;
    other.SetName(QStringLiteral("Courier New"));
    EXPECT_EQ(one.PackFont(other, glyphs), Subset(single, 0, text));
}

TEST(TrueTypeCollectionChoice, NoFaceGivesNothingAndAMissingFaceIsRefused)
{
    const Bytes empty = {'t', 't', 'c', 'f', 0, 2, 0, 0, 0, 0, 0, 0};
    TrueTypeCollection collection;
    collection.Initialize(View(empty));
    EXPECT_TRUE(collection.GetFontCollection().empty());
    EXPECT_TRUE(collection.PackFont(TrpFont(), std::vector<int>{1, 2}).empty());
    EXPECT_TRUE(collection.PackFont(3, std::vector<int>{1, 2}).empty());

    TrueTypeCollection single;
    single.Initialize(View(ReadBytes(kLiberationSans)));
    EXPECT_EQ(testsupport::MessageOf([&] { single.PackFont(1, {}); }), "The font file has no face 1 (it holds 1)");
}

TEST(TrueTypeFontKeepList, GlyphsOutside16BitsAreRefused)
{
    TrueTypeCollection collection;
    collection.Initialize(View(ReadBytes(kLiberationSans)));
    TrueTypeFont& face = *collection.GetFontCollection()[0];
    face.SetUsedGlyphs(std::vector<int>{5, 3, 5, 65535});
    EXPECT_EQ(face.ListOfUsedGlyphs(), (std::vector<uint16_t>{5, 3, 65535}));
    face.AddCharacterToKeepList(3);
    face.AddCharacterToKeepList(7);
    EXPECT_EQ(face.ListOfUsedGlyphs(), (std::vector<uint16_t>{5, 3, 65535, 7}));
    for (const int wrong : {65536, -1}) {
        EXPECT_EQ(testsupport::MessageOf([&] { face.SetUsedGlyphs(std::vector<int>{1, wrong}); }), "Format errir");
        EXPECT_EQ(face.ListOfUsedGlyphs().size(), 4u) << "the list stays as it was";
    }
}

// The 32-bit sum of the big-endian words of the bytes, for the expected checksum texts.
uint32_t WordSum(const Bytes& bytes, size_t offset, size_t length)
{
    uint32_t sum = 0;
    for (size_t i = 0; i < length; ++i)
        sum += uint32_t(bytes[offset + i]) << (24 - 8 * (i % 4));
    return sum;
}

TEST(TrueTypeFontWarnings, ChecksumMismatchWarnsOrThrowsAndDuplicatesAreDropped)
{
    Bytes font = ReadBytes(kLiberationSans);
    const hostile::TableRecord name = hostile::Table(font, "name");
    font[name.offset + name.length - 1] ^= 0x01;
    const uint32_t stored = platform::ReadBigEndian<uint32_t>(font, name.record + 4);
    const std::string text = "Table ID \"name\" checksum error." + std::to_string(WordSum(font, name.offset, name.length)) +
                             " " + std::to_string(stored);

    std::vector<std::string> warnings;
    const Bytes subset = Subset(font, 0, QStringLiteral("abc"), &warnings);
    EXPECT_EQ(warnings, (std::vector<std::string>{"Font table checksum error: " + text}));
    EXPECT_FALSE(subset.empty()) << "the subset goes on";

    Bytes copy = font;
    copy.resize(static_cast<size_t>(RoundUp4(copy.size())), 0);
    TrueTypeFont strict(copy, ChecksumFaultAction::ThrowException, 0);
    EXPECT_EQ(testsupport::MessageOf([&] { strict.PrepareFont({}); }), text);
    TrueTypeFont lenient(copy, ChecksumFaultAction::IgnoreChecksum, 0);
    lenient.PrepareFont({});
    EXPECT_TRUE(lenient.Warnings().empty());

    // gasp renamed cmap: the second cmap is dropped with a warning, the first one serves.
    Bytes twice = ReadBytes(kLiberationSans);
    std::memcpy(twice.data() + hostile::Table(twice, "gasp").record, "cmap", 4);
    warnings.clear();
    const Bytes kept = Subset(twice, 0, QStringLiteral("abc"), &warnings);
    ASSERT_FALSE(warnings.empty());
    EXPECT_EQ(warnings.front(), "Font format error: Table ID \"cmap\" is listed twice; the second entry is ignored");
    EXPECT_FALSE(hostile::FindTable(kept, "gasp"));
}

struct RefusedCase {
    const char* name;
    std::function<Bytes(const Bytes&)> damage;
    const char* message;
};

void PrintTo(const RefusedCase& c, std::ostream* out)
{
    *out << c.name;
}

Bytes Renamed(Bytes font, const char* tag)
{
    std::memcpy(font.data() + hostile::Table(font, tag).record, "zzzz", 4);
    return font;
}

uint16_t g_selfComposite = 0; // the glyph CompositeOfItself made, packed by that case

// Damaged fonts, each made from Liberation Sans: the error text, and no crash (the sanitizer
// build reads nothing past the bytes).
const RefusedCase kRefusedCases[] = {
    {"TableOffsetPastEnd", [](const Bytes& f) { return hostile::TableOffsetPastEnd(f); }, "TrueType font format error"},
    {"LocaBeyondGlyf", [](const Bytes& f) { return hostile::LocaBeyondGlyf(f); }, "TrueType font format error"},
    {"NumTables65535", [](const Bytes& f) { return hostile::NumTables(f, 65535); }, "TrueType font format error"},
    {"CompositeOfItself", [](const Bytes& f) { return hostile::CompositeOfItself(f, &g_selfComposite); },
     "TrueType font format error"},
    {"TruncatedCollectionHeader", [](const Bytes&) { return hostile::TruncatedCollectionHeader(); },
     "TrueType font format error"},
    {"OS2Of10Bytes", [](const Bytes& f) { return hostile::OS2Length(f, 10); }, "TrueType font format error"},
    {"CollectionVersion3", [](const Bytes& f) { return hostile::CollectionOfVersion(f, 0x00030000); },
     "Unknown font collection version"},
    {"TablesShareBytes",
     [](const Bytes& f) {
         Bytes font = f;
         platform::WriteBigEndian<uint32_t>(font, hostile::Table(font, "gasp").record + 8, hostile::Table(font, "glyf").offset);
         return font;
     },
     "TrueType font format error"},
    {"NotAFont", [](const Bytes& f) { return Bytes(f.begin() + 4, f.end()); }, "TrueType font format error"},
    {"FourBytesOnly", [](const Bytes& f) { return Bytes(f.begin(), f.begin() + 4); }, "TrueType font format error"},
    {"CutAfter3000Bytes", [](const Bytes& f) { return Bytes(f.begin(), f.begin() + 3000); }, "TrueType font format error"},
    {"LocaFormat2",
     [](const Bytes& f) {
         Bytes font = f;
         platform::WriteBigEndian<int16_t>(font, hostile::Table(font, "head").offset + 50, 2);
         return font;
     },
     "Unsupported Index to Location format"},
    {"NoHead", [](const Bytes& f) { return Renamed(f, "head"); }, "FontHeader not found."},
    {"NoMaxp", [](const Bytes& f) { return Renamed(f, "maxp"); }, "MaximuProfile not found."},
    {"NoHhea", [](const Bytes& f) { return Renamed(f, "hhea"); }, "HorizontalHeader not found."},
    {"NoOS2", [](const Bytes& f) { return Renamed(f, "OS/2"); }, "OS2WindowsMetrics table not found."},
    {"NoLoca", [](const Bytes& f) { return Renamed(f, "loca"); }, "IndexToLocation not found."},
    {"NoCmap", [](const Bytes& f) { return Renamed(f, "cmap"); }, "CMAP not found."},
    {"NoName", [](const Bytes& f) { return Renamed(f, "name"); }, "Name not found."},
    {"NoGlyf", [](const Bytes& f) { return Renamed(f, "glyf"); }, "Glyphs not found."},
};

class TrueTypeHostile : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(TrueTypeHostile, RefusedWithItsText)
{
    const RefusedCase& c = GetParam();
    g_selfComposite = 0;
    const Bytes font = c.damage(ReadBytes(kLiberationSans));
    const std::string message = testsupport::MessageOf([&] {
        TrueTypeCollection collection;
        collection.Initialize(View(font));
        TrueTypeFont& face = *collection.GetFontCollection().at(0);
        face.PrepareFont(TrueTypeCollection::SkippedTables());
        collection.PackFont(0, std::vector<int>{g_selfComposite, face.cmap_table->GetGlyphIndex(u'Ѐ')});
    });
    EXPECT_EQ(message, c.message);
}

INSTANTIATE_TEST_SUITE_P(DamagedFonts, TrueTypeHostile, ::testing::ValuesIn(kRefusedCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TrueTypeHostileComposites, ACycleThroughSeveralGlyphsIsRefused)
{
    // The short font's three glyphs made a chain: B holds A, A holds .notdef, .notdef holds B:
    // a cycle through three glyphs.
    const BuiltFonts built({"short"});
    Bytes font = ReadBytes(built.Path("short.ttf"));
    const hostile::TableRecord loca = hostile::Table(font, "loca");
    const hostile::TableRecord glyf = hostile::Table(font, "glyf");
    for (const auto& [glyph, component] : {std::pair{0, 2}, std::pair{1, 0}}) {
        const size_t at = glyf.offset + platform::ReadBigEndian<uint16_t>(font, loca.offset + 2 * glyph) * 2u;
        std::fill(font.begin() + static_cast<std::ptrdiff_t>(at), font.begin() + static_cast<std::ptrdiff_t>(at + 16), 0);
        platform::WriteBigEndian<int16_t>(font, at, -1);
        platform::WriteBigEndian<uint16_t>(font, at + 12, static_cast<uint16_t>(component));
    }
    EXPECT_EQ(testsupport::MessageOf([&] { Subset(font, 0, QStringLiteral("B")); }), "TrueType font format error");
    // Glyph 0 alone (kept in every subset) runs into the same cycle.
    EXPECT_EQ(testsupport::MessageOf([&] { Subset(font, 0, QString()); }), "TrueType font format error");
}

} // namespace
