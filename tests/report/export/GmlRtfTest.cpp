// The RTF reader of rich-text cells: the tree it builds, the font and colour tables, the node
// operations, writing back, its error texts, and its limits on nesting and size.

#include "report/export/ExportTexts.h"
#include "report/export/rpGML.h"

#include "platform/Exceptions.h"
#include "platform/Format.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

namespace {

QByteArray Serialized(const TGmlRtf& rtf)
{
    QByteArray out;
    rtf.Serialize(out);
    return out;
}

// The tree as one line: G{...} group, C(name[=value]), N(hex), S(symbol), T(text).
QByteArray Shape(const TGmlNode& node)
{
    QByteArray out;
    for (int i = 0; i < node.NodesCount(); ++i) {
        const TGmlNode* child = node.Node(i);
        if (i > 0)
            out += ' ';
        if (dynamic_cast<const TGmlRtfGroup*>(child) != nullptr) {
            out += "G{" + Shape(*child) + "}";
        } else if (const auto* control = dynamic_cast<const TGmlRtfControl*>(child)) {
            out += "C(" + control->HeaderText();
            if (control->HasValue())
                out += "=" + QByteArray::number(control->Value());
            out += ")";
        } else if (const auto* number = dynamic_cast<const TGmlRtfNumber*>(child)) {
            out += "N(" + QByteArray::number(number->Value(), 16) + ")";
        } else if (const auto* symbol = dynamic_cast<const TGmlRtfSymbol*>(child)) {
            out += QByteArray("S(") + symbol->Symbol + ")";
        } else {
            out += "T(" + child->BodyText() + ")";
        }
    }
    return out;
}

std::string MessageOf(const std::function<void()>& body)
{
    try {
        body();
    } catch (const platform::Exception& e) {
        return e.what();
    }
    return "(nothing raised)";
}

struct ParseCase {
    const char* name;
    const char* source;
    const char* shape;      // the tree
    const char* serialized; // written back
};

void PrintTo(const ParseCase& c, std::ostream* out)
{
    *out << c.name;
}

const ParseCase kParseCases[] = {
    {"bold_with_zero_has_a_parameter", "\\b0 x", "C(b=0) T(x)", "\\b0 x"},
    {"bold_without_digits_has_none", "\\b x", "C(b) T(x)", "\\b x"},
    {"upper_case_hex_escape_written_lower_case", "\\'E9", "N(e9)", "\\'e9"},
    {"control_word_then_text_gets_one_space", "\\par\r\nabc", "C(par) T(\r\nabc)", "\\par abc"},
    {"group_with_single_space_round_trips", "{\\i text}", "G{C(i) T(text)}", "{\\i text}"},
    {"forty_letters_cut_at_thirty_two", "\\abcdefghijklmnopqrstuvwxyzabcdefghijklmn",
     "C(abcdefghijklmnopqrstuvwxyzabcdef) T(ghijklmn)", "\\abcdefghijklmnopqrstuvwxyzabcdef ghijklmn"},
    {"negative_and_plus_parameters", "\\li-15\\fi+20 ", "C(li=-15) C(fi=20)", "\\li-15\\fi20"},
    {"escaped_braces_and_backslash_are_text", "a\\{b\\}c\\\\d", "T(a\\{b\\}c\\\\d)", "a\\{b\\}c\\\\d"},
    {"control_symbol", "\\~x\\-", "S(~) T(x) S(-)", "\\~x\\-"},
    {"apostrophe_without_hex_is_a_symbol", "\\'zz", "S(') T(zz)", "\\'zz"},
    {"eleventh_digit_starts_text", "\\b12345678901", "C(b=1234567890) T(1)", "\\b1234567890 1"},
    {"text_keeps_cp1251_letters", "\xEF\x81\x82\x83", "T(\xEF\x81\x82\x83)", "\xEF\x81\x82\x83"},
    {"unclosed_group_ends_the_parse", "\\b {\\i x", "C(b)", "\\b"},
    {"stray_closing_brace_ends_the_parse", "a}b", "T(a)", "a"},
    // Mends: an empty group is a group and the parse goes on after it.
    {"empty_group_is_a_group", "{\\rtf1{}\\par x}", "G{C(rtf=1) G{} C(par) T(x)}", "{\\rtf1{}\\par x}"},
    {"empty_group_at_top_level", "{}{}a", "G{} G{} T(a)", "{}{}a"},
    // Mends: a parameter past 32 bits holds the nearest value it can.
    {"parameter_clamped_high", "\\b9999999999", "C(b=2147483647)", "\\b2147483647"},
    {"parameter_clamped_low", "\\b-9999999999", "C(b=-2147483648)", "\\b-2147483648"},
};

class GmlParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(GmlParse, TreeAndWrittenText)
{
    const ParseCase& c = GetParam();
    TGmlRtf rtf(c.source);
    EXPECT_EQ(Shape(*rtf.Root()), QByteArray(c.shape));
    EXPECT_EQ(Serialized(rtf), QByteArray(c.serialized));
    // What was written reads back to the same tree.
    TGmlRtf again(Serialized(rtf));
    EXPECT_EQ(Serialized(again), QByteArray(c.serialized));
}

INSTANTIATE_TEST_SUITE_P(Cases, GmlParse, ::testing::ValuesIn(kParseCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

TEST(GmlRtf, FontAndColourTables)
{
    TGmlRtf rtf("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset204 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
                "\\pard\\f0\\cf1 x\\par}");
    ASSERT_EQ(rtf.FontsCount(), 1);
    EXPECT_EQ(rtf.Font(0)->Index(), 0);
    EXPECT_EQ(rtf.Font(0)->Charset(), 204);
    EXPECT_EQ(rtf.Font(0)->Name(), QByteArray("Arial"));
    EXPECT_EQ(rtf.Font(1), nullptr);
    ASSERT_EQ(rtf.ColorsCount(), 1); // the automatic entry makes none
    EXPECT_EQ(rtf.Color(0)->R->Value(), 255);
    EXPECT_EQ(rtf.Color(0)->G->Value(), 0);
    EXPECT_EQ(rtf.Color(0)->B->Value(), 0);
    EXPECT_EQ(rtf.Color(0)->Serialize(), QByteArray("\\red255\\green0\\blue0"));
    EXPECT_EQ(rtf.Color(-1), nullptr);
}

TEST(GmlRtf, FontWithoutNumberCharsetOrName)
{
    TGmlRtf rtf("{\\fonttbl{\\froman}}");
    ASSERT_EQ(rtf.FontsCount(), 1);
    EXPECT_EQ(rtf.Font(0)->Index(), -1);
    EXPECT_EQ(rtf.Font(0)->Charset(), 0);
    EXPECT_EQ(rtf.Font(0)->Name(), QByteArray());
}

TEST(GmlRtf, Errors)
{
    struct Case {
        const char* name;
        std::function<void()> body;
        std::string message;
    };
    const Case cases[] = {
        {"component twice before the entry is complete", [] { TGmlRtf("{\\colortbl;\\red1\\red2\\green0\\blue0;}"); },
         exporttexts::kGmlInvalidColorTable},
        {"incomplete entry at the end", [] { TGmlRtf("{\\colortbl;\\red1\\green2;}"); }, exporttexts::kGmlInvalidColorTable},
        {"value of a word without one", [] { TGmlRtf rtf("\\b x"); static_cast<TGmlRtfControl*>(rtf.Root()->Node(0))->Value(); },
         exporttexts::kGmlNoValue},
        {"char out of bounds", [] { TGmlRtf("abc").Char(3); }, "The specified index 3 is out of bounds [0, 2]"},
        {"select out of range", [] { TGmlRtf("\\a\\b").Root()->Select(1, 2); }, "Invalid range of subnodes [1, 2]"},
        {"select reversed", [] { TGmlRtf("\\a\\b").Root()->Select(1, 0); }, "Invalid range of subnodes [1, 0]"},
        {"serialize out of range",
         [] {
             QByteArray out;
             TGmlRtf("\\a\\b").Root()->SerializeSubNodes(out, 0, 5);
         },
         "Invalid range [0, 5] for serialization"},
        {"nesting past the limit", [] { TGmlRtf(QByteArray(kMaxGmlRtfDepth + 1, '{') + QByteArray(kMaxGmlRtfDepth + 1, '}')); },
         platform::Format(exporttexts::kGmlTooDeepFormat, kMaxGmlRtfDepth)},
        {"text past the limit", [] { TGmlRtf(QByteArray(kMaxGmlRtfTextBytes + 1, 'a')); },
         platform::Format(exporttexts::kGmlTooLargeFormat, static_cast<long long>(kMaxGmlRtfTextBytes + 1),
                          static_cast<long long>(kMaxGmlRtfTextBytes))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MessageOf(c.body), c.message);
    }
}

TEST(GmlRtf, NestingUpToTheLimitIsRead)
{
    const QByteArray deep = QByteArray(kMaxGmlRtfDepth, '{') + "x" + QByteArray(kMaxGmlRtfDepth, '}');
    TGmlRtf rtf(deep);
    EXPECT_EQ(Serialized(rtf), deep);
}

TEST(GmlRtf, FindFindAllSelectRemove)
{
    TGmlRtf rtf("{\\rtf1{\\b bold}\\pard a\\par{\\pard b}}");
    TGmlNode* group = rtf.Root()->Node(0);
    ASSERT_NE(group, nullptr);
    TGmlNode* pard = rtf.Root()->Find("pard");
    ASSERT_NE(pard, nullptr);
    EXPECT_EQ(pard->Parent(), group);
    EXPECT_EQ(pard->SelfSubIndex(), 2);
    EXPECT_EQ(rtf.Root()->SelfSubIndex(), -1);
    EXPECT_EQ(rtf.Root()->FindAll("pard").size(), 2u);
    EXPECT_EQ(rtf.Root()->FindAll("pard", 1).size(), 1u);
    // Every node, the root first.
    const TGmlNodes all = rtf.Root()->FindAll("");
    ASSERT_EQ(all.size(), 12u);
    EXPECT_EQ(all[0], rtf.Root());
    EXPECT_EQ(rtf.Root()->Find("nothing"), nullptr);

    const TGmlNodes tail = group->Select(2, -1);
    ASSERT_EQ(tail.size(), 4u);
    EXPECT_EQ(tail[0], pard);

    for (TGmlNode* node : rtf.Root()->FindAll("pard"))
        node->Remove(true);
    EXPECT_EQ(Serialized(rtf), QByteArray("{\\rtf1{\\b bold}a\\par{b}}"));
}

TEST(GmlRtf, BorrowedGroupWritesAndFreesOnlyItself)
{
    TGmlRtf rtf("{\\rtf1\\pard\\f1 x\\par}");
    TGmlNode* outer = rtf.Root()->Node(0);
    auto group = std::make_unique<TGmlRtfGroup>(&rtf);
    for (TGmlNode* node : outer->Select(1, -1))
        group->AddNode(node);
    QByteArray out;
    group->Serialize(out);
    EXPECT_EQ(out, QByteArray("{\\pard\\f1 x\\par}"));
    // The nodes stay the tree's: freeing the group object leaves them to the document.
    group.reset();
    EXPECT_EQ(Serialized(rtf), QByteArray("{\\rtf1\\pard\\f1 x\\par}"));
}

TEST(GmlRtf, CopyAndChar)
{
    TGmlRtf rtf("{\\b ab}");
    EXPECT_EQ(rtf.Length(), 7);
    EXPECT_EQ(rtf.Char(1), '\\');
    EXPECT_EQ(rtf.Copy(1, 2), QByteArray("\\b"));
    EXPECT_EQ(rtf.Copy(5, 10), QByteArray("b}"));
    char buffer[8] = {};
    EXPECT_EQ(rtf.Copy(4, 10, buffer), 3);
    EXPECT_EQ(QByteArray(buffer, 3), QByteArray("ab}"));
    TGmlRtf empty("");
    EXPECT_TRUE(empty.Root()->Empty());
    EXPECT_EQ(empty.FontsCount(), 0);
    EXPECT_EQ(Serialized(empty), QByteArray());
}

TEST(GmlRtf, SetValueRenumbers)
{
    TGmlRtf rtf("\\f3 x");
    auto* f = static_cast<TGmlRtfControl*>(rtf.Root()->Node(0));
    f->SetValue(0);
    EXPECT_EQ(Serialized(rtf), QByteArray("\\f0 x"));
    TGmlRtf bare("\\b");
    static_cast<TGmlRtfControl*>(bare.Root()->Node(0))->SetValue(1);
    EXPECT_EQ(Serialized(bare), QByteArray("\\b1"));
}
