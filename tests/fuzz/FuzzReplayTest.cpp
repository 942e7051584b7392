// Every fuzz target on its seed corpus, on a fixed, deterministic set of mutations of the
// seeds, and on the inputs that crashed it before. The contract is the fuzzers' own: no
// memory error (the sanitizer builds catch those), nothing thrown but platform::Exception,
// and every promise the target checks kept.

#include "FuzzTarget.h"
#include "HostileFonts.h"

#include "platform/Files.h"
#include "report/model/rpXML.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#define DAX_FUZZ_TARGET(name) extern "C" int DaxFuzz_##name(const uint8_t* data, size_t size);
#include "FuzzTargets.inc"
#undef DAX_FUZZ_TARGET

namespace {

using Bytes = std::vector<uint8_t>;
using Entry = int (*)(const uint8_t*, size_t);

struct Target {
    const char* name;
    Entry entry;
};

// Names the target in test names and messages instead of its bytes.
void PrintTo(const Target& target, std::ostream* out)
{
    *out << target.name;
}

const Target kTargets[] = {
#define DAX_FUZZ_TARGET(name) {#name, DaxFuzz_##name},
#include "FuzzTargets.inc"
#undef DAX_FUZZ_TARGET
};

// Mutations per target; all of them together keep the replay well under a second, also in
// the sanitizer builds. The simulator targets build a whole instrument per input; the script
// targets parse, write and read back sources and trees of several kilobytes.
size_t MutationCount(const std::string& name)
{
    if (name == "scriptxml" || name == "scriptil")
        return 300;
    return name == "simrequest" || name == "simstate" || name == "script" ? 1000 : 3000;
}

Entry EntryOf(const std::string& name)
{
    for (const Target& target : kTargets)
        if (name == target.name)
            return target.entry;
    return nullptr;
}

std::string Hex(const Bytes& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = 0; i < bytes.size() && i < 96; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    if (bytes.size() > 96)
        text += "... (" + std::to_string(bytes.size()) + " bytes)";
    return text;
}

// Runs one input; a failure names the target, the input and what escaped.
::testing::AssertionResult Survives(Entry entry, const std::string& name, const Bytes& input)
{
    try {
        entry(input.data(), input.size());
        return ::testing::AssertionSuccess();
    } catch (const std::exception& failure) {
        return ::testing::AssertionFailure() << name << " on " << Hex(input) << ": " << failure.what();
    } catch (...) {
        return ::testing::AssertionFailure() << name << " on " << Hex(input) << ": an exception of an unknown type";
    }
}

std::vector<Bytes> Seeds(const std::string& name)
{
    std::vector<std::filesystem::path> files;
    const std::filesystem::path folder = std::filesystem::path(DAX_FUZZ_CORPUS_DIR) / name;
    if (std::filesystem::is_directory(folder))
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.is_regular_file())
                files.push_back(entry.path());
    std::sort(files.begin(), files.end()); // the mutations depend on the order
    std::vector<Bytes> seeds;
    for (const auto& file : files) {
        Bytes bytes;
        if (platform::ReadFileBytes(file.string(), size_t{1} << 20, bytes))
            seeds.push_back(std::move(bytes));
    }
    return seeds;
}

// One to four edits of the kinds that find decoder faults: byte and bit flips, boundary
// values, truncation, removal, insertion and duplication of a run.
Bytes Mutate(Bytes input, std::mt19937& random)
{
    const auto below = [&](size_t n) { return n == 0 ? size_t{0} : std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    static const uint8_t kBoundaries[] = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF};
    const size_t edits = 1 + below(4);
    for (size_t e = 0; e < edits; ++e) {
        const size_t at = below(input.size() + 1);
        switch (below(7)) {
        case 0:
            if (at < input.size())
                input[at] = static_cast<uint8_t>(below(256));
            break;
        case 1:
            if (at < input.size())
                input[at] ^= static_cast<uint8_t>(1u << below(8));
            break;
        case 2:
            if (at < input.size())
                input[at] = kBoundaries[below(std::size(kBoundaries))];
            break;
        case 3:
            input.resize(at);
            break;
        case 4: {
            const size_t n = std::min(input.size() - std::min(at, input.size()), 1 + below(16));
            input.erase(input.begin() + static_cast<std::ptrdiff_t>(at), input.begin() + static_cast<std::ptrdiff_t>(at + n));
            break;
        }
        case 5: {
            Bytes run(1 + below(8));
            for (auto& byte : run)
                byte = static_cast<uint8_t>(below(256));
            input.insert(input.begin() + static_cast<std::ptrdiff_t>(at), run.begin(), run.end());
            break;
        }
        default: {
            if (at >= input.size())
                break;
            const size_t n = std::min(input.size() - at, 1 + below(32));
            const Bytes run(input.begin() + static_cast<std::ptrdiff_t>(at), input.begin() + static_cast<std::ptrdiff_t>(at + n));
            const size_t to = below(input.size() + 1);
            input.insert(input.begin() + static_cast<std::ptrdiff_t>(to), run.begin(), run.end());
            break;
        }
        }
    }
    return input;
}

class FuzzReplay : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzReplay, SeedsKeepTheContract)
{
    const Target& target = GetParam();
    const std::vector<Bytes> seeds = Seeds(target.name);
    ASSERT_FALSE(seeds.empty()) << "no seed corpus for " << target.name;
    for (const Bytes& seed : seeds)
        EXPECT_TRUE(Survives(target.entry, target.name, seed));
    EXPECT_TRUE(Survives(target.entry, target.name, {}));
}

TEST_P(FuzzReplay, MutationsKeepTheContract)
{
    const Target& target = GetParam();
    const std::vector<Bytes> seeds = Seeds(target.name);
    ASSERT_FALSE(seeds.empty());
    std::mt19937 random(20240517u); // fixed: the same inputs on every run
    const size_t count = MutationCount(target.name);
    size_t failures = 0;
    for (size_t i = 0; i < count && failures < 5; ++i) {
        const Bytes input = Mutate(seeds[i % seeds.size()], random);
        const auto result = Survives(target.entry, target.name, input);
        if (!result) {
            ++failures;
            ADD_FAILURE() << result.message();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::ValuesIn(kTargets),
                         [](const ::testing::TestParamInfo<Target>& info) { return std::string(info.param.name); });

// Inputs that broke the contract before their decoder was mended (or that broke the program
// the decoder replaces), with what they did. Large inputs are made when their case runs.
struct CrashedBefore {
    const char* target;
    const char* what;
    std::function<Bytes()> input;
};

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// A seed of the corpus, for inputs made from it.
Bytes CorpusFile(const std::string& target, const std::string& name)
{
    Bytes bytes;
    platform::ReadFileBytes((std::filesystem::path(DAX_FUZZ_CORPUS_DIR) / target / name).string(), size_t{1} << 20, bytes);
    return bytes;
}

Bytes RealFont()
{
    return CorpusFile("truetype", "liberation-sans.ttf");
}

const std::string kXmlHeader = R"(<?xml version="1.0" encoding="utf-8" standalone="no"?>)";

std::string Repeated(const std::string& text, size_t count)
{
    std::string out;
    out.reserve(text.size() * count);
    for (size_t i = 0; i < count; ++i)
        out += text;
    return out;
}

const CrashedBefore kCrashedBefore[] = {
    {"relay", "a listed device ID holding the byte 0x98 was associated as '?' (a device never reached)",
     [] {
         return Bytes{0x1B, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0xFE, 0x44, 0x41, 0x58, 0x30, 0x98, 0x30, 0x31,
                      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11};
     }},
    {"script", "a C expression ending in an operator was taken, leaving an unpaired bracket operator in the tree",
     [] { return Bytes{0x0E, 'a', ' ', '+', ' ', 'b', ' ', '*', ' ', '(', 'c', ' ', '-', ' ', '1', ')', ' ', '<', '=', 'N', '<'}; }},
    {"reportxml", "100000 nested elements overflowed the stack", [] { return Text(kXmlHeader + Repeated("<a>", 100000)); }},
    {"reportxml", "a tag longer than any buffer grew it without limit",
     [] { return Text(kXmlHeader + "<a x=\"" + std::string(static_cast<size_t>(kMaxXMLTagLength), 'y') + "\"/>"); }},
    {"reportxml", "\"&#\" with no ';' after it was scanned without bound",
     [] { return Text(kXmlHeader + "<a x=\"&#\" y=\"&#12\" z=\"a&#\"/>"); }},
    {"reportxml", "a root written as an end tag grew by a slash on every save", [] { return Text(kXmlHeader + "</a>"); }},
    {"reportxml", "an empty document was saved as a tag that reads as an end tag", [] { return Text(kXmlHeader); }},
    {"reportxml", "leading and trailing blanks of attribute text were lost one per save",
     [] { return Text(kXmlHeader + "<a  x=\"1\"  ><b   /><c x=\"2\"  ld=\"0\"/></a>"); }},
    {"reportxml", "a name and an attribute text both ending in a slash lost the name's slash on a save",
     [] { return Text(kXmlHeader + "<a// x><b/ y/></a>"); }},
    {"reportxml", "attribute text ending in a slash before its blanks made an element with children read as complete",
     [] { return Text(kXmlHeader + "<d  y=\"1/  ><e/></d>"); }},
    {"reportxml", "attribute text holding the marker twice lost the earlier one on every save",
     [] { return Text(kXmlHeader + "<page \"   ld=\"0\"\" s=\"no\"?  ld=\"0\"><b n=\"/></page>"); }},
    {"reportobject", "a memo text ending in empty lines lost one of them on every save",
     [] { return Text(std::string(1, '\0') + "TrpTestMemo Text=\"a&#13;&#10;&#13;&#10;&#13;&#10;\" Lines.Text=\"b\r\r\r\""); }},
    {"reportfile", "an empty printer name was not written and came back as the default printer's",
     [] { return Text(kXmlHeader + "<TrpReport PrintOptions.Printer=\"\"/>"); }},
    {"reportfile", "an empty script language was not written and came back as the default language",
     [] { return Text(kXmlHeader + "<TrpReport ScriptLanguage=\"\"/>"); }},
    {"reportfile", "an empty font name was not written and came back as \"Arial\"",
     [] {
         return Text(kXmlHeader + "<TrpReport><TrpReportPage Name=\"P\"><TrpReportTitle Name=\"T\">"
                                  "<TrpMemoView Name=\"M\" ParentFont=\"False\" Font.Name=\"\"/></TrpReportTitle>"
                                  "</TrpReportPage></TrpReport>");
     }},
    {"reportfile", "empty expression delimiters were not written and came back as the default ones",
     [] {
         return Text(kXmlHeader + "<TrpReport><TrpReportPage Name=\"P\"><TrpReportTitle Name=\"T\">"
                                  "<TrpMemoView Name=\"M\" ExpressionDelimiters=\"\"/></TrpReportTitle></TrpReportPage></TrpReport>");
     }},
    {"reportfile", "a one-letter position escaped the bounds of its property, was written out and refused on the next load",
     [] {
         return Text(kXmlHeader + "<TrpReport><TrpReportPage Name=\"P\"><TrpMasterData Name=\"M\" t=\"2000000000\"/>"
                                  "</TrpReportPage></TrpReport>");
     }},
    // Font files were trusted as coming from the system: no offset was checked.
    {"truetype", "a table placed past the end of the file was read there",
     [] { return testsupport::hostilefonts::TableOffsetPastEnd(RealFont()); }},
    {"truetype", "loca entries pointing past glyf copied outlines from beyond it",
     [] { return testsupport::hostilefonts::LocaBeyondGlyf(RealFont()); }},
    {"truetype", "a directory of 65535 tables was read past the file",
     [] { return testsupport::hostilefonts::NumTables(RealFont(), 65535); }},
    {"truetype", "a composite glyph holding itself (followed down to its components now)",
     [] { return testsupport::hostilefonts::CompositeOfItself(RealFont()); }},
    {"truetype", "a collection header cut after its first face offset was read past the file",
     [] { return testsupport::hostilefonts::TruncatedCollectionHeader(); }},
    {"truetype", "an OS/2 table of 10 bytes was read and written as 96",
     [] { return testsupport::hostilefonts::OS2Length(RealFont(), 10); }},
    {"rtf", "100000 nested groups overflowed the stack", [] { return Text(Repeated("{", 100000) + "x" + Repeated("}", 100000)); }},
    {"rtf", "a parameter of ten digits overflowed 32 bits", [] { return Text("{\\b9999999999 \\li-9999999999 x\\pard}"); }},
    {"truetype", "a collection of version 3.0", [] { return testsupport::hostilefonts::CollectionOfVersion(RealFont(), 0x00030000); }},
};

TEST(FuzzCrashedBefore, InputsThatBrokeTheContractNoLongerDo)
{
    for (const CrashedBefore& crash : kCrashedBefore) {
        SCOPED_TRACE(std::string(crash.target) + ": " + crash.what);
        const Entry entry = EntryOf(crash.target);
        ASSERT_NE(entry, nullptr) << crash.target;
        EXPECT_TRUE(Survives(entry, crash.target, crash.input()));
    }
}

} // namespace
