// The script lexer: one table of (settings, source, reader, token, position after) with the
// edge cases of every reader, then positions and settings.

#include "report/script/sc_iilparser.h"
#include "report/script/sc_iparser.h"
#include "report/script/sc_itools.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

enum class Reader { Char, Word, Ident, Number, String, FrString, Eol, Skip };

// The lexer as a language's grammar sets it up ("" for the defaults).
void Configure(TscParser& lexer, const char* language)
{
    lexer.Clear();
    if (*language == 0)
        return;
    InitScriptLanguages();
    bool needDeclareVars = true;
    GetCompiledLanguageGrammar(QString::fromUtf8(language))->Configure(lexer, needDeclareVars);
}

QString Read(TscParser& lexer, Reader reader)
{
    switch (reader) {
    case Reader::Char: return lexer.GetChar();
    case Reader::Word: return lexer.GetWord();
    case Reader::Ident: return lexer.GetIdent();
    case Reader::Number: return lexer.GetNumber();
    case Reader::String: return lexer.GetString();
    case Reader::FrString: return lexer.GetFRString();
    case Reader::Eol: return lexer.GetEOL() ? QStringLiteral("EOL") : QString();
    case Reader::Skip: lexer.SkipSpaces(); return QString();
    }
    return QString();
}

struct LexCase {
    const char* name;
    const char* language;  // grammar whose settings apply; "" = defaults
    QString source;
    int start;             // position to read from
    Reader reader;
    QString token;
    int after;             // position afterwards
};

void PrintTo(const LexCase& c, std::ostream* out)
{
    *out << c.name;
}

class LexerTable : public ::testing::TestWithParam<LexCase> {};

TEST_P(LexerTable, ReadsTheTokenAndStopsBehindIt)
{
    const LexCase& c = GetParam();
    TscParser lexer;
    Configure(lexer, c.language);
    lexer.SetText(c.source);
    lexer.SetPosition(c.start);
    EXPECT_EQ(Read(lexer, c.reader), c.token);
    EXPECT_EQ(lexer.Position(), c.after);
}

const QString kCyrillic = QString::fromUtf8("Привет");
const QString kSmile = QString::fromUtf8("\xF0\x9F\x98\x80");

INSTANTIATE_TEST_SUITE_P(
    Cases, LexerTable,
    ::testing::Values(
        // Words and identifiers.
        LexCase{"ident_of_keyword_is_empty_behind_the_word", "RireroRidoze", QStringLiteral("begin x"), 1, Reader::Ident, QString(), 6},
        LexCase{"word_reads_keywords", "RireroRidoze", QStringLiteral("  begin x"), 1, Reader::Word, QStringLiteral("begin"), 8},
        LexCase{"keywords_in_any_case", "RireroRidoze", QStringLiteral("BEGIN"), 1, Reader::Ident, QString(), 6},
        LexCase{"case_sensitive_upper_case_is_no_keyword", "R++Idirud", QStringLiteral("IF (a)"), 1, Reader::Ident, QStringLiteral("IF"), 3},
        LexCase{"case_sensitive_lower_case_is_keyword", "R++Idirud", QStringLiteral("if (a)"), 1, Reader::Ident, QString(), 3},
        LexCase{"cyrillic_word", "", kCyrillic + QStringLiteral("_1 x"), 1, Reader::Word, kCyrillic + QStringLiteral("_1"), 9},
        LexCase{"no_word_at_a_digit", "", QStringLiteral("1abc"), 1, Reader::Word, QString(), 1},
        LexCase{"char_does_not_skip_blanks", "", QStringLiteral(" ;"), 1, Reader::Char, QString(), 1},
        LexCase{"char_is_punctuation_only", "", QStringLiteral("a"), 1, Reader::Char, QString(), 1},
        LexCase{"char", "", QStringLiteral("@x"), 1, Reader::Char, QStringLiteral("@"), 2},
        // Numbers.
        LexCase{"range_dots_stay", "", QStringLiteral("1..5"), 1, Reader::Number, QStringLiteral("1"), 2},
        LexCase{"real_with_exponent", "", QStringLiteral("1.5e3+"), 1, Reader::Number, QStringLiteral("1.5e3"), 6},
        LexCase{"dot_without_digits_stays", "", QStringLiteral("3.x"), 1, Reader::Number, QStringLiteral("3"), 2},
        LexCase{"incomplete_exponent_not_taken", "", QStringLiteral("1.5e+x"), 1, Reader::Number, QStringLiteral("1.5"), 4},
        LexCase{"exponent_without_fraction", "", QStringLiteral("2E-7"), 1, Reader::Number, QStringLiteral("2E-7"), 5},
        LexCase{"dollar_hexadecimal", "RireroRidoze", QStringLiteral("$1F;"), 1, Reader::Number, QStringLiteral("$1F"), 4},
        LexCase{"prefix_hexadecimal_as_dollar", "R++Idirud", QStringLiteral("0x10;"), 1, Reader::Number, QStringLiteral("$10"), 5},
        LexCase{"prefix_without_digits_is_no_number", "R++Idirud", QStringLiteral("0xZ"), 1, Reader::Number, QString(), 1},
        LexCase{"no_number", "", QStringLiteral(" x"), 1, Reader::Number, QString(), 2},
        // Strings.
        LexCase{"quoted_and_code_parts_are_one_token", "RireroRidoze", QStringLiteral("'It''s'#13#10'ok';"), 1, Reader::String,
                QStringLiteral("'It's\r\nok'"), 18},
        LexCase{"unclosed_string_is_no_token", "RireroRidoze", QStringLiteral("'abc"), 1, Reader::String, QString(), 1},
        LexCase{"string_ends_at_line_end", "RireroRidoze", QStringLiteral("'ab\r\ncd'"), 1, Reader::String, QString(), 1},
        LexCase{"tab_inside_string", "RireroRidoze", QStringLiteral("'a\tb'"), 1, Reader::String, QStringLiteral("'a\tb'"), 6},
        LexCase{"hex_code_part", "RireroRidoze", QStringLiteral("#$41"), 1, Reader::String, QStringLiteral("'A'"), 5},
        LexCase{"code_part_outside_the_basic_plane", "RireroRidoze", QStringLiteral("#128512"), 1, Reader::String,
                QLatin1Char('\'') + kSmile + QLatin1Char('\''), 8},
        LexCase{"code_above_the_last_character_fails_there", "RireroRidoze", QStringLiteral("'a'#1114112"), 1, Reader::String,
                QStringLiteral("'a'"), 4},
        LexCase{"huge_code_fails", "RireroRidoze", QStringLiteral("#99999999999999999999999"), 1, Reader::String, QString(), 1},
        LexCase{"backslash_x", "R++Idirud", QStringLiteral("\"\\x41\""), 1, Reader::String, QStringLiteral("'A'"), 7},
        LexCase{"backslash_n_is_line_feed", "R++Idirud", QStringLiteral("\"a\\nb\""), 1, Reader::String, QStringLiteral("'a\nb'"), 7},
        LexCase{"backslash_quote_and_backslash", "R++Idirud", QStringLiteral("\"\\\"\\\\\""), 1, Reader::String,
                QStringLiteral("'\"\\'"), 7},
        LexCase{"backslash_x_outside_the_basic_plane", "JScript", QStringLiteral("\"\\x1F600\""), 1, Reader::String,
                QLatin1Char('\'') + kSmile + QLatin1Char('\''), 10},
        LexCase{"backslash_x_above_the_last_character_fails", "JScript", QStringLiteral("\"\\x110000\""), 1, Reader::String,
                QString(), 1},
        LexCase{"quotes_not_doubled_with_escapes", "R++Idirud", QStringLiteral("\"a\"\"b\""), 1, Reader::String,
                QStringLiteral("'ab'"), 7},
        // Report expressions.
        LexCase{"report_expression_to_its_closing_bracket", "", QStringLiteral("a[1]>b>"), 1, Reader::FrString,
                QStringLiteral("a[1]"), 5},
        LexCase{"report_expression_ignores_brackets_in_strings", "", QStringLiteral("'>'+\">\"+<x>>"), 1, Reader::FrString,
                QStringLiteral("'>'+\">\"+<x>"), 12},
        LexCase{"unclosed_report_expression_runs_to_the_end", "", QStringLiteral("a<b"), 1, Reader::FrString,
                QStringLiteral("a<b"), 4},
        // Comments and blanks.
        LexCase{"line_comment", "RireroRidoze", QStringLiteral("// c\nx"), 1, Reader::Word, QStringLiteral("x"), 7},
        LexCase{"block_comments", "RireroRidoze", QStringLiteral("{ a } (* b *) x"), 1, Reader::Word, QStringLiteral("x"), 16},
        LexCase{"unclosed_block_comment_runs_to_the_end", "RireroRidoze", QStringLiteral("{ x"), 1, Reader::Word, QString(), 4},
        LexCase{"line_comment_at_the_last_character", "ZuvivUradur", QStringLiteral("a '"), 2, Reader::Skip, QString(), 4},
        LexCase{"rem_only_as_a_whole_word", "ZuvivUradur", QStringLiteral("remainder"), 1, Reader::Word, QStringLiteral("remainder"), 10},
        LexCase{"rem_in_any_case", "ZuvivUradur", QStringLiteral("REM x\r\ny"), 1, Reader::Word, QStringLiteral("y"), 9},
        LexCase{"line_continuation", "ZuvivUradur", QStringLiteral("_ \r\n b"), 1, Reader::Word, QStringLiteral("b"), 7},
        // Line ends of a line-oriented grammar.
        LexCase{"line_feed_is_a_line_end", "ZuvivUradur", QStringLiteral("a\nb"), 2, Reader::Eol, QStringLiteral("EOL"), 3},
        LexCase{"carriage_return_is_a_line_end", "ZuvivUradur", QStringLiteral("a\rb"), 2, Reader::Eol, QStringLiteral("EOL"), 3},
        LexCase{"line_end_is_no_blank", "ZuvivUradur", QStringLiteral("\r\nb"), 1, Reader::Word, QString(), 1},
        LexCase{"eol_takes_empty_and_comment_lines", "ZuvivUradur", QStringLiteral("a\r\n  \r\n  ' note\n\nb"), 2, Reader::Eol,
                QStringLiteral("EOL"), 18},
        LexCase{"comment_behind_a_statement_keeps_its_line_end", "ZuvivUradur", QStringLiteral("a ' note\r\nb"), 2, Reader::Skip,
                QString(), 9},
        LexCase{"no_eol_in_a_free_form_grammar", "RireroRidoze", QStringLiteral("a\r\nb"), 2, Reader::Eol, QString(), 4}),
    [](const ::testing::TestParamInfo<LexCase>& info) { return std::string(info.param.name); });

TEST(ScLexer, BlockCommentIsSteppedOverByItsOpeningDelimiter)
{
    TscParser lexer;
    lexer.SetCommentBlock1(QStringLiteral("/**,*/"));
    lexer.SetText(QStringLiteral("/**/x */y"));
    EXPECT_EQ(lexer.GetWord(), QStringLiteral("y"));
}

TEST(ScLexer, PositionsCountRowsAndColumnsOverEveryLineEnd)
{
    TscParser lexer;
    lexer.SetText(QStringLiteral("ab\r\ncd\ne\rf"));
    const struct {
        int position;
        const char* xy;
    } places[] = {{1, "1:1"}, {3, "1:3"}, {4, "1:4"}, {5, "2:1"}, {7, "2:3"}, {8, "3:1"}, {9, "3:2"}, {10, "4:1"}, {11, "4:2"}};
    for (const auto& place : places) {
        lexer.SetPosition(place.position);
        EXPECT_EQ(lexer.GetXYPosition().toStdString(), place.xy) << place.position;
    }
    EXPECT_EQ(lexer.GetPlainPosition(QPoint(1, 2)), 5);
    EXPECT_EQ(lexer.GetPlainPosition(QPoint(2, 4)), 11);
    EXPECT_EQ(lexer.GetPlainPosition(QPoint(1, 5)), -1);
    EXPECT_EQ(lexer.GetPlainPosition(QPoint(1, 0)), -1);
}

TEST(ScLexer, CharsetTakesOnlyCodesBelow256)
{
    TscParser lexer;
    lexer.ConstructCharset(QStringLiteral("x") + QChar(0x0441)); // U+0441 would alias 'A' by its low byte
    EXPECT_TRUE(lexer.IdentifierCharset().test('x'));
    EXPECT_FALSE(lexer.IdentifierCharset().test('A'));
    EXPECT_EQ(lexer.IdentifierCharset().count(), 1u);
}

TEST(ScLexer, ClearResetsEverySetting)
{
    TscParser lexer;
    Configure(lexer, "ZuvivUradur");
    EXPECT_EQ(lexer.CommentLine2(), QStringLiteral("rem"));
    Configure(lexer, "R++Idirud");
    EXPECT_TRUE(lexer.CaseSensitive());
    EXPECT_EQ(lexer.CommentLine2(), QString());
    Configure(lexer, "RireroRidoze");
    EXPECT_FALSE(lexer.CaseSensitive());
    EXPECT_TRUE(lexer.SkipEOL());
    EXPECT_EQ(lexer.StringQuotes(), QStringLiteral("'"));
    EXPECT_EQ(lexer.HexSequence(), QStringLiteral("$"));
}

TEST(ScLexer, ReadersNeverLeaveTheText)
{
    // Every reader at every position of texts that end in the middle of a construct.
    const QString texts[] = {QStringLiteral("'"), QStringLiteral("\"\\"), QStringLiteral("#"), QStringLiteral("{"),
                             QStringLiteral("0x"), QStringLiteral("1e"), QStringLiteral("_"), QStringLiteral("<[")};
    for (const char* language : {"RireroRidoze", "R++Idirud", "JScript", "ZuvivUradur"}) {
        TscParser lexer;
        Configure(lexer, language);
        for (const QString& text : texts) {
            lexer.SetText(text);
            for (int start = 1; start <= text.size() + 1; ++start) {
                for (int reader = 0; reader <= static_cast<int>(Reader::Skip); ++reader) {
                    lexer.SetPosition(start);
                    Read(lexer, static_cast<Reader>(reader));
                    EXPECT_GE(lexer.Position(), 1);
                    EXPECT_LE(lexer.Position(), text.size() + 1);
                }
            }
        }
    }
}

} // namespace
