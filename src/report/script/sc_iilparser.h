#pragma once

// The grammar-driven parser: turns script source into the language-independent program tree
// by interpreting the rules of the selected language's grammar against the lexer. The tree is
// a TscXMLDocument whose element and attribute names are also the saved compiled-code format:
//
//   <program>                         root; its last child is a copy of the grammar's <types>
//     <compoundstmt pos="2:1">        an element for every matched grammar element with `node`;
//       <assignstmt pos="2:7">        pos = row:col of its first token
//         <dsgn pos="2:7">
//           <node text="x" pos="2:8"/>  a leaf for every matched element with `add`: text is
//         </dsgn>                        the token (or `addtext`), pos the place behind it
//         <expr pos="2:12" pos1="2:13"> expressions also carry pos1, the place behind them
//           <number text="1" pos="2:13"/>
//   ...
//     <uses unit="a.pas"><program>...</program></uses>   an included unit's own tree
//     <types/>
//
// Syntax errors are not exceptions: the first one recorded (its message from the grammar's
// error list) goes to ErrorMsg and ErrorPos ("row:col"), with ErrorUnit naming the included
// unit it lies in. Exceptions are raised for an unknown language ("Language '%s' not found"),
// a broken grammar ("Invalid language definition") and an included unit that cannot be read.
//
// The input is untrusted: named limits bound the source size, the nesting of the script (the
// depth of the program tree, kScMaxNesting), the recursion of rule matching, the work of one
// parse, and the units; past them the parse fails with a compile error naming the limit.
//
// The program builder (which makes statements and expressions of the tree) reads ILScript(),
// GrammarTypes(), NeedDeclareVars() and SourceText(); it lives with the interpreter.

#include "sc_iparser.h"
#include "sc_xml.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <bitset>
#include <functional>
#include <memory>
#include <vector>

inline constexpr int kScMaxSourceLength = 1 << 20; // UTF-16 units of one compilation, units included
// How deep a script may nest: the levels of its program tree, the program itself one of them.
// Every block, statement, declaration, expression (one in parentheses, an argument list, an
// index) is a level; an if statement with its branch takes two, a call or an indexed access
// two (the access and its arguments). Scripts meet this limit, whatever they nest, and the
// program builder keeps to the same one.
inline constexpr int kScMaxNesting = 256;
// Grammar elements being matched inside each other: the bound on the parser's recursion. The
// grammars take at most 18 rule levels per tree level (an expression in parentheses of the
// C-like languages), so nesting meets kScMaxNesting long before this; only operators applied
// to operators without a tree level between them (not not not ...) can meet it.
inline constexpr int kScMaxRuleDepth = 6000;
inline constexpr int64_t kScMatchStepsPerUnit = 200;  // work of one parse, per unit of source (scripts take 10 to 20)
inline constexpr int64_t kScMinMatchSteps = 1'000'000; // ...but never less than this
inline constexpr int kScMaxUnitDepth = 16;         // units included by units
inline constexpr int kScMaxUnits = 256;            // units in one compilation

// A grammar compiled once for matching: its document (kept for the builder's type aliases)
// and a flat table of its elements with their attributes read.
class TscGrammar {
public:
    enum class Kind {
        Rule,       // a rule definition (child of the root)
        Char,
        Keyword,
        Ident,
        Number,
        String,
        FrString,
        Eol,
        Eof,        // only blanks, comments and line ends remain
        Sequence,
        Switch,
        OptionalSwitch,
        Loop,
        OptionalLoop,
        Optional,
        Reference,  // any other name: the rule of that name
    };

    // The first characters an element can begin with once blanks are skipped: ASCII codes, and
    // one more bit for every other character. `unknown` when the element's start is not a
    // character the parser can tell in advance (line ends, the end of the text, a character
    // read without skipping blanks); `empty` when it can match nothing; `silent` when trying it
    // where it cannot begin records no error and makes no output, so that not trying it
    // changes nothing.
    struct Start {
        std::bitset<129> first;
        bool unknown = false;
        bool empty = false;
        bool silent = true;
        bool operator==(const Start&) const = default;
    };
    static constexpr int kOtherCharacter = 128;

    struct Element {
        Kind kind = Kind::Sequence;
        QString name;        // element name as written
        bool hasText = false;
        QString text;        // `text` (for keywords and separators compared in lower case)
        QString node;        // `node`, lower case
        bool usesNode = false; // node "uses": units are included there
        bool exprNode = false; // node "expr": its end is kept too (pos1)
        QString add;         // `add`
        QString addText;     // `addtext`
        bool hasErr = false;
        QString errMessage;  // text of the `err` entry of the error list
        bool term = false;   // `term` "1"
        bool noSkip = false; // char: `skip` "0"
        bool loopSkip = false; // loop: `skip` "1"
        int rule = -1;       // Reference: index of the rule definition
        bool bareReference = false; // a Reference with nothing of its own: matching it is matching its rule
        std::vector<int> children;

        // What the element can start with, found when the grammar is compiled, so that the
        // parser need not try an element that cannot match where it stands (see CannotStart).
        Start start;     // the element
        Start body;      // its children as a sequence (the body of a loop or an optional part)
    };

    // Compiles a grammar text. A text that is not a document throws "Invalid file format"; a
    // reference to an undefined rule or an `err` without its text throws "Invalid language
    // definition".
    static std::shared_ptr<const TscGrammar> Compile(const QString& grammarText);

    const TscXMLDocument& Document() const { return FDocument; }
    const TscXMLItem* Root() const { return FDocument.Root(); }
    // The `types` element, or null.
    const TscXMLItem* Types() const;
    // Lexer settings as the grammar gives them (made once, when the grammar is compiled).
    void Configure(TscParser& lexer, bool& needDeclareVars) const;

    const Element& At(int index) const { return FElements[static_cast<size_t>(index)]; }
    // The rule definition of that name (ignoring case), or -1.
    int FindRule(const QString& name) const;

private:
    // Reads the lexer settings of the `parser` element into lexer.
    void ReadLexerSettings(TscParser& lexer, bool& needDeclareVars) const;
    // Works out the starts of every element (a fixed point over the rules, which refer to
    // each other).
    void FindStarts();

    TscXMLDocument FDocument;
    std::vector<Element> FElements;
    QHash<QString, int> FRules; // case-folded name -> first definition
    TscParser FLexer;           // a lexer with the grammar's settings
    bool FDeclareVars = true;   // false when the grammar lets variables go undeclared
    const TscXMLItem* FTypes = nullptr; // the `types` element, found once
};

// Supplies the source text of an included unit: the handler sets unitText (left empty, the
// unit is included empty) or throws platform::Exception when it cannot be had.
using TscGetUnitEvent = std::function<void(const QString& unitName, QString& unitText)>;

class TscILParser {
public:
    TscILParser();
    ~TscILParser();
    TscILParser(const TscILParser&) = delete;
    TscILParser& operator=(const TscILParser&) = delete;

    // Where included units come from: the handler when set, otherwise the files of that name
    // in the folders of the include path (one empty entry, the current folder, by default).
    void SetOnGetUnit(TscGetUnitEvent handler) { FOnGetUnit = std::move(handler); }
    void SetIncludePath(const QStringList& folders) { FIncludePath = folders; }
    const QStringList& IncludePath() const { return FIncludePath; }
    // Codes 128 to 255 become identifier characters.
    void SetExtendedCharset(bool on) { FExtendedCharset = on; }
    bool ExtendedCharset() const { return FExtendedCharset; }

    // Loads the grammar of a registered language and configures the lexer.
    void SelectLanguage(const QString& langName);
    const QString& LangName() const { return FLangName; }

    // Parses text into ILScript, starting at the rule startRule ("program", or "expression"
    // for the text of an expression). A first line "#language NAME" selects another language
    // for the rest of the text. With wholeText, text left behind the start rule is an error.
    // True when the start rule matched and no error was recorded; on failure ILScript keeps
    // what it held. ErrorMsg, ErrorPos and ErrorUnit tell the first error.
    bool MakeILScript(const QString& text, const QString& startRule = QStringLiteral("program"),
                      bool wholeText = false);

    TscXMLDocument& ILScript() { return FILScript; }
    const TscXMLDocument& ILScript() const { return FILScript; }

    const QString& ErrorMsg() const { return FErrorMsg; }
    const QString& ErrorPos() const { return FErrorPos; }
    const QString& ErrorUnit() const { return FErrorUnit; }

    // For the program builder: the selected grammar's `types` (null before SelectLanguage),
    // whether variables must be declared, and the source text between two "row:col" places
    // of the last parsed text (empty when there is none).
    const TscXMLItem* GrammarTypes() const;
    const TscXMLItem* GrammarRoot() const;
    bool NeedDeclareVars() const { return FNeedDeclareVars; }
    QString SourceText(const QString& fromPos, const QString& toPos) const;
    const QString& UnitName() const { return FUnitName; }
    const QStringList& UsesList() const { return FUsesList; }

private:
    // What one compilation shares between the parsers of the main text and its units.
    struct Budget {
        int64_t sourceLeft = kScMaxSourceLength;
        int depth = 0;          // rule matching nested right now, over all parsers
        int nesting = 0;        // program tree elements being made inside each other, over all parsers
        int64_t steps = 0;      // matching steps taken
        int64_t stepLimit = 0;
        int units = 0;          // units included
        int unitDepth = 0;
    };
    struct RecordedError {
        QString message;
        QString pos;
        QString unit;
    };
    class LimitReached;

    bool Match(int index);
    // True when an element (or a body) with this start cannot begin at the next character:
    // trying it would fail at its first token and leave no trace, so it need not be tried.
    bool CannotStart(const TscGrammar::Start& start);
    bool MatchLoop(const TscGrammar::Element& element, int entry);
    void ReportError(const TscGrammar::Element& element, int entry);
    void Wrap(const TscGrammar::Element& element, size_t mark, int entry, bool success);
    void EmitLeaf(const QString& name, const QString& text);
    void EmitReportExpression(const QString& expression);
    void IncludeUnits(size_t mark);
    std::unique_ptr<TscXMLItem> IncludeUnit(const QString& unitName);
    QString ReadUnitText(const QString& unitName) const;
    bool TokenMatches(const TscGrammar::Element& element, const QString& token) const;
    [[noreturn]] void LimitError(const QString& message);

    Budget FOwnBudget;
    Budget* FBudget = &FOwnBudget;  // the main parser's budget, shared with unit parsers
    bool FExtendedCharset = false;
    std::shared_ptr<const TscGrammar> FGrammar;
    TscXMLDocument FILScript;
    QStringList FIncludePath{QString()};
    QString FLangName;
    bool FNeedDeclareVars = true;
    TscGetUnitEvent FOnGetUnit;
    TscParser FParser;
    QString FUnitName;
    QStringList FUsesList;

    // The items of the last tree, kept to make the next one of (a parser that evaluates
    // expression after expression makes much the same small tree each time).
    static constexpr size_t kSpareItems = 1024;
    std::vector<std::unique_ptr<TscXMLItem>> FSpareItems;

    QString FSource; // the text being parsed, with its line end

    // State of one MakeILScript call.
    std::vector<std::unique_ptr<TscXMLItem>> FOutput; // the top-level elements emitted so far
    const TscGrammar* FStartGrammar = nullptr; // the start rule last looked up, in that grammar
    QString FStartRuleName;
    int FStartRule = -1;
    int FPeekFrom = -1; // CannotStart looked from here, and found this start bit (-1: the end)
    int FPeekBit = -1;
    RecordedError FError;
    bool FTermFlag = false;

    QString FErrorMsg;
    QString FErrorPos;
    QString FErrorUnit;
};

// The text of a script or unit file: UTF-8 (a byte-order mark dropped), or Windows-1251 when
// the bytes are not valid UTF-8.
QString ScriptTextFromBytes(const QByteArray& bytes);
