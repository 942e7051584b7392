#include "sc_iilparser.h"

#include "sc_iconsts.h"
#include "sc_istack.h"
#include "sc_itools.h"

#include "platform/Cp1251.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

namespace {

[[noreturn]] void RaiseInvalidLanguage()
{
    throw platform::Exception(ScMessage(TscMessage::SInvalidLanguage).toStdString());
}

TscGrammar::Kind KindOf(const QString& lowerName)
{
    using Kind = TscGrammar::Kind;
    static const QHash<QString, Kind> kBuiltIn{
        {QStringLiteral("char"), Kind::Char},
        {QStringLiteral("keyword"), Kind::Keyword},
        {QStringLiteral("ident"), Kind::Ident},
        {QStringLiteral("number"), Kind::Number},
        {QStringLiteral("string"), Kind::String},
        {QStringLiteral("frstring"), Kind::FrString},
        {QStringLiteral("eol"), Kind::Eol},
        {QStringLiteral("eof"), Kind::Eof},
        {QStringLiteral("sequence"), Kind::Sequence},
        {QStringLiteral("switch"), Kind::Switch},
        {QStringLiteral("optionalswitch"), Kind::OptionalSwitch},
        {QStringLiteral("loop"), Kind::Loop},
        {QStringLiteral("optionalloop"), Kind::OptionalLoop},
        {QStringLiteral("optional"), Kind::Optional},
    };
    return kBuiltIn.value(lowerName, Kind::Reference);
}

bool IsNonRuleSection(const QString& lowerName)
{
    return lowerName == QLatin1String("parser") || lowerName == QLatin1String("types");
}

const TscXMLItem* ChildNamed(const TscXMLItem* item, const QString& name)
{
    if (!item)
        return nullptr;
    const int index = item->Find(name);
    return index >= 0 ? item->Items(index) : nullptr;
}

// "row:col" -> (column, row); (0, 0) when it is not one.
QPoint ParsePosition(const QString& text)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    bool rowOk = false;
    bool columnOk = false;
    const int row = text.left(colon).toInt(&rowOk);
    const int column = text.mid(colon + 1).toInt(&columnOk);
    return colon > 0 && rowOk && columnOk ? QPoint(column, row) : QPoint();
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TscGrammar

std::shared_ptr<const TscGrammar> TscGrammar::Compile(const QString& grammarText)
{
    auto grammar = std::make_shared<TscGrammar>();
    grammar->FDocument.LoadFromBytes(grammarText.toUtf8());
    const TscXMLItem* root = grammar->FDocument.Root();
    const TscXMLItem* errors = ChildNamed(ChildNamed(root, QStringLiteral("parser")), QStringLiteral("errors"));

    // First the rule definitions, so that references can be resolved while compiling.
    std::vector<std::pair<const TscXMLItem*, int>> pending;
    for (int i = 0; i < root->Count(); ++i) {
        const TscXMLItem* rule = root->Items(i);
        const QString lower = rule->Name().toLower();
        if (IsNonRuleSection(lower))
            continue;
        Element element;
        element.kind = Kind::Rule;
        element.name = rule->Name();
        grammar->FElements.push_back(element);
        const int index = static_cast<int>(grammar->FElements.size()) - 1;
        // Only the first definition of a name is ever used; later ones are still checked.
        if (!grammar->FRules.contains(rule->Name().toCaseFolded()))
            grammar->FRules.insert(rule->Name().toCaseFolded(), index);
        pending.emplace_back(rule, index);
    }

    // Then every element below them, breadth first (no recursion: grammars are data).
    while (!pending.empty()) {
        const auto [item, index] = pending.back();
        pending.pop_back();
        Element& element = grammar->FElements[static_cast<size_t>(index)];
        element.hasText = item->PropExists(QStringLiteral("text"));
        // Tokens and separators are compared against the text in lower case.
        element.text = item->Prop(QStringLiteral("text")).toLower();
        element.node = item->Prop(QStringLiteral("node")).toLower();
        element.usesNode = element.node == QLatin1String("uses");
        element.exprNode = element.node == QLatin1String("expr");
        element.add = item->Prop(QStringLiteral("add"));
        element.addText = item->Prop(QStringLiteral("addtext"));
        const QString err = item->Prop(QStringLiteral("err"));
        if (!err.isEmpty()) {
            const TscXMLItem* entry = ChildNamed(errors, err);
            element.hasErr = true;
            element.errMessage = entry ? entry->Prop(QStringLiteral("text")) : QString();
            if (element.errMessage.isEmpty())
                RaiseInvalidLanguage(); // an error without its text could never be reported
        }
        element.term = item->Prop(QStringLiteral("term")) == QLatin1String("1");
        const QString skip = item->Prop(QStringLiteral("skip"));
        element.noSkip = skip == QLatin1String("0");
        element.loopSkip = skip == QLatin1String("1");
        if (element.kind == Kind::Reference) {
            element.rule = grammar->FindRule(element.name);
            if (element.rule < 0)
                RaiseInvalidLanguage();
        }
        for (int c = 0; c < item->Count(); ++c) {
            const TscXMLItem* childItem = item->Items(c);
            Element child;
            child.name = childItem->Name();
            child.kind = KindOf(child.name.toLower());
            grammar->FElements.push_back(child);
            const int childIndex = static_cast<int>(grammar->FElements.size()) - 1;
            grammar->FElements[static_cast<size_t>(index)].children.push_back(childIndex);
            pending.emplace_back(childItem, childIndex);
        }
    }
    for (Element& element : grammar->FElements)
        element.bareReference = element.kind == Kind::Reference && element.node.isEmpty() && element.add.isEmpty() &&
                                element.children.empty() && !element.hasErr;
    grammar->FTypes = ChildNamed(root, QStringLiteral("types"));
    grammar->ReadLexerSettings(grammar->FLexer, grammar->FDeclareVars);
    grammar->FindStarts();
    return grammar;
}

namespace {

using Start = TscGrammar::Start;

// The bit of a character in a start set.
size_t StartBit(QChar c)
{
    return c.unicode() < 128 ? c.unicode() : TscGrammar::kOtherCharacter;
}

// A token's first character, in both letter cases unless the lexer tells case.
void AddFirstCharacter(Start& start, QChar c, bool caseSensitive)
{
    start.first.set(StartBit(c));
    if (!caseSensitive) {
        start.first.set(StartBit(c.toLower()));
        start.first.set(StartBit(c.toUpper()));
    }
}

// Parts matched one after another: what the first of them that must consume can begin with.
// Trying the parts where none of them can begin tries every part up to that one.
Start SequenceStart(const std::vector<std::pair<Start, int>>& parts, const std::vector<bool>& makesOutput)
{
    Start start;
    start.empty = true;
    for (const auto& [part, index] : parts) {
        start.first |= part.first;
        start.unknown = start.unknown || part.unknown;
        start.silent = start.silent && part.silent;
        if (!part.empty) {
            start.empty = false;
            break;
        }
        // A part that can match nothing may leave output (a node, a leaf) behind even then.
        if (index >= 0 && makesOutput[static_cast<size_t>(index)])
            start.silent = false;
    }
    return start;
}

} // namespace

void TscGrammar::FindStarts()
{
    const bool caseSensitive = FLexer.CaseSensitive();
    const bool skipsBlanks = FLexer.SkipSpace();
    Start identStart;
    for (char16_t u = 0; u < 128; ++u) {
        if (FLexer.IdentifierCharset().test(u) && !(u >= '0' && u <= '9'))
            identStart.first.set(u);
    }
    identStart.first.set(127);
    identStart.first.set(kOtherCharacter);
    Start numberStart;
    for (char16_t u = '0'; u <= '9'; ++u)
        numberStart.first.set(u);
    if (!FLexer.HexSequence().isEmpty())
        AddFirstCharacter(numberStart, FLexer.HexSequence().front(), caseSensitive);
    Start stringStart;
    if (!FLexer.StringQuotes().isEmpty())
        stringStart.first.set(StartBit(FLexer.StringQuotes().front()));
    stringStart.first.set('#');
    Start punctuation; // what the lexer reads as one character
    for (char16_t u = 33; u < 127; ++u) {
        if (u <= 47 || (u >= 58 && u <= 64) || (u >= 91 && u <= 96) || u >= 123)
            punctuation.first.set(u);
    }

    // Whether an element (or anything below it) can make output: a leaf or a node.
    std::vector<bool> makesOutput(FElements.size(), false);
    for (bool changed = true; changed;) {
        changed = false;
        for (size_t i = 0; i < FElements.size(); ++i) {
            const Element& element = FElements[i];
            bool output = !element.add.isEmpty() || !element.node.isEmpty();
            for (const int child : element.children)
                output = output || makesOutput[static_cast<size_t>(child)];
            if (element.rule >= 0)
                output = output || makesOutput[static_cast<size_t>(element.rule)];
            if (output && !makesOutput[i]) {
                makesOutput[i] = true;
                changed = true;
            }
        }
    }

    Start unknown;
    unknown.unknown = true;
    unknown.empty = true;
    unknown.silent = false;
    // Sets only grow and flags only turn one way, so this ends.
    const auto merge = [](const Start& old, const Start& found) {
        Start merged = old;
        merged.first |= found.first;
        merged.unknown = old.unknown || found.unknown;
        merged.empty = old.empty || found.empty;
        merged.silent = old.silent && found.silent;
        return merged;
    };
    for (bool changed = true; changed;) {
        changed = false;
        for (size_t i = 0; i < FElements.size(); ++i) {
            Element& element = FElements[i];
            std::vector<std::pair<Start, int>> children;
            for (const int child : element.children)
                children.emplace_back(FElements[static_cast<size_t>(child)].start, child);
            const Start body = SequenceStart(children, makesOutput);
            // A token fails at once, reporting the element's own error.
            const auto token = [&element](Start tokenStart) {
                tokenStart.silent = !element.hasErr;
                return tokenStart;
            };
            const auto firstOf = [&](const QString& text) {
                Start first;
                AddFirstCharacter(first, text.front(), caseSensitive);
                return token(first);
            };
            Start start;
            switch (element.kind) {
            case Kind::Rule:
            case Kind::Sequence:
                start = body; // a sequence reports no error of its own
                break;
            case Kind::Char:
                if (element.noSkip)
                    start = unknown;
                else
                    start = element.hasText && !element.text.isEmpty() ? firstOf(element.text) : token(punctuation);
                break;
            case Kind::Keyword:
                if (!skipsBlanks)
                    start = unknown;
                else
                    start = element.hasText && !element.text.isEmpty() ? firstOf(element.text) : token(identStart);
                break;
            case Kind::Ident:
                start = skipsBlanks ? token(identStart) : unknown;
                break;
            case Kind::Number:
                start = skipsBlanks ? token(numberStart) : unknown;
                break;
            case Kind::String:
                start = skipsBlanks ? token(stringStart) : unknown;
                break;
            case Kind::FrString:
            case Kind::Eol:
            case Kind::Eof:
                start = unknown;
                break;
            case Kind::Switch:
            case Kind::OptionalSwitch:
                // Every alternative is tried; a switch that none matches reports its own error.
                start.silent = element.kind == Kind::OptionalSwitch || !element.hasErr;
                start.empty = element.kind == Kind::OptionalSwitch || element.children.empty();
                for (const auto& [child, index] : children) {
                    start.first |= child.first;
                    start.unknown = start.unknown || child.unknown;
                    start.silent = start.silent && child.silent;
                    start.empty = start.empty || child.empty;
                }
                break;
            case Kind::Loop:
            case Kind::OptionalLoop:
            case Kind::Optional:
                start = body; // loops and optional parts report no error of their own
                start.empty = body.empty || element.kind != Kind::Loop;
                break;
            case Kind::Reference: {
                // The rule, then the children; a rule that fails reports the reference's error.
                std::vector<std::pair<Start, int>> parts{{FElements[static_cast<size_t>(element.rule)].start, element.rule}};
                parts.insert(parts.end(), children.begin(), children.end());
                start = SequenceStart(parts, makesOutput);
                start.silent = start.silent && !element.hasErr;
                break;
            }
            }
            const Start mergedStart = merge(element.start, start);
            const Start mergedBody = merge(element.body, body);
            if (!(mergedStart == element.start) || !(mergedBody == element.body)) {
                element.start = mergedStart;
                element.body = mergedBody;
                changed = true;
            }
        }
    }
}


int TscGrammar::FindRule(const QString& name) const
{
    return FRules.value(name.toCaseFolded(), -1);
}

const TscXMLItem* TscGrammar::Types() const
{
    return FTypes;
}

void TscGrammar::Configure(TscParser& lexer, bool& needDeclareVars) const
{
    lexer.CopySettingsFrom(FLexer);
    if (!FDeclareVars)
        needDeclareVars = false;
}

void TscGrammar::ReadLexerSettings(TscParser& lexer, bool& needDeclareVars) const
{
    const TscXMLItem* parser = ChildNamed(Root(), QStringLiteral("parser"));
    if (!parser)
        return;
    if (const TscXMLItem* keywords = ChildNamed(parser, QStringLiteral("keywords")))
        for (int i = 0; i < keywords->Count(); ++i)
            lexer.AddKeyword(keywords->Items(i)->Name());
    for (int i = 0; i < parser->Count(); ++i) {
        const TscXMLItem* setting = parser->Items(i);
        const QString name = setting->Name().toLower();
        const QString value = setting->Prop(QStringLiteral("text"));
        if (name == QLatin1String("identchars"))
            lexer.ConstructCharset(value);
        else if (name == QLatin1String("commentline1"))
            lexer.SetCommentLine1(value);
        else if (name == QLatin1String("commentline2"))
            lexer.SetCommentLine2(value);
        else if (name == QLatin1String("commentblock1"))
            lexer.SetCommentBlock1(value);
        else if (name == QLatin1String("commentblock2"))
            lexer.SetCommentBlock2(value);
        else if (name == QLatin1String("stringquotes"))
            lexer.SetStringQuotes(value);
        else if (name == QLatin1String("hexsequence"))
            lexer.SetHexSequence(value);
        else if (name == QLatin1String("skipchar"))
            lexer.SetSkiPChar(value);
        else if (name == QLatin1String("specstrchar"))
            lexer.SetSpecStrChar(value == QLatin1String("1"));
        else if (name == QLatin1String("declarevars")) {
            if (value == QLatin1String("0"))
                needDeclareVars = false;
        } else if (name == QLatin1String("skipeol")) {
            if (value == QLatin1String("0"))
                lexer.SetSkipEOL(false);
        } else if (name == QLatin1String("casesensitive")) {
            if (value == QLatin1String("1"))
                lexer.SetCaseSensitive(true);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// TscILParser

// A named limit was passed somewhere in the compilation (also inside a unit): the whole parse
// stops with this error.
class TscILParser::LimitReached {
public:
    RecordedError error;
};

namespace {

// Counts one level of rule matching for as long as it lives.
class DepthScope {
public:
    explicit DepthScope(int& depth) : depth_(depth) { ++depth_; }
    ~DepthScope() { --depth_; }
    DepthScope(const DepthScope&) = delete;
    DepthScope& operator=(const DepthScope&) = delete;

private:
    int& depth_;
};

} // namespace

TscILParser::TscILParser() = default;

TscILParser::~TscILParser() = default;

void TscILParser::SelectLanguage(const QString& langName)
{
    FParser.Clear();
    FLangName = langName;
    FGrammar = GetCompiledLanguageGrammar(langName);
    FStartGrammar = nullptr;
    FGrammar->Configure(FParser, FNeedDeclareVars);
    if (FExtendedCharset) {
        TscIdentifierCharset set = FParser.IdentifierCharset();
        for (int code = 128; code < 256; ++code)
            set.set(static_cast<size_t>(code));
        FParser.SetIdentifierCharset(set);
    }
}

const TscXMLItem* TscILParser::GrammarTypes() const
{
    return FGrammar ? FGrammar->Types() : nullptr;
}

const TscXMLItem* TscILParser::GrammarRoot() const
{
    return FGrammar ? FGrammar->Root() : nullptr;
}

void TscILParser::LimitError(const QString& message)
{
    throw LimitReached{RecordedError{message, FParser.GetXYPosition(), FUnitName}};
}

bool TscILParser::MakeILScript(const QString& text, const QString& startRule, bool wholeText)
{
    const bool topLevel = FBudget == &FOwnBudget;
    if (topLevel) {
        FOwnBudget = Budget{};
        ScInitStackGuard();
    }
    FOutput.clear();
    FError = RecordedError{};
    FTermFlag = false;
    FErrorMsg.clear();
    FErrorPos.clear();
    FErrorUnit.clear();

    bool matched = false;
    try {
        if (text.size() > FBudget->sourceLeft) {
            FParser.SetText(QString());
            FPeekFrom = -1;
            LimitError(FormatScMessage(TscMessage::SScriptTooLarge, QString::number(kScMaxSourceLength)));
        }
        FBudget->sourceLeft -= text.size();
        FBudget->stepLimit = kScMinMatchSteps + kScMatchStepsPerUnit * (kScMaxSourceLength - FBudget->sourceLeft);

        // The source always ends with a line end, as the lines of a script did. It is made in
        // the buffer of the last one: the lexer lets go of that first, so that it is not shared.
        FParser.SetText(QString());
        QString& source = FSource;
        if (!text.isEmpty() && text.back() != QChar(13) && text.back() != QChar(10)) {
            source.resize(0);
            source.reserve(text.size() + 2);
            source.append(text);
            source.append(u"\r\n");
        } else {
            source = text;
        }
        FParser.SetText(source);
        FPeekFrom = -1;
        if (!FGrammar)
            RaiseInvalidLanguage();

        int start = 1;
        if (FParser.GetChar() == QLatin1String("#") &&
            FParser.GetWord().compare(QLatin1String("language"), Qt::CaseInsensitive) == 0) {
            // "#language NAME": the rest of the text is in that language; positions still
            // count this first line.
            const int nameStart = FParser.Position();
            int end = nameStart;
            while (end <= source.size() && source[end - 1] != QChar(13) && source[end - 1] != QChar(10))
                ++end;
            const QString name = source.mid(nameStart - 1, end - nameStart).trimmed();
            SelectLanguage(name);
            if (end <= source.size() && source[end - 1] == QChar(13))
                ++end;
            if (end <= source.size() && source[end - 1] == QChar(10))
                ++end;
            start = end;
        }
        FParser.SetPosition(start);

        // Expressions are parsed one after another with the same grammar and start rule.
        if (FStartGrammar != FGrammar.get() || FStartRuleName != startRule) {
            FStartRule = FGrammar->FindRule(startRule);
            FStartGrammar = FGrammar.get();
            FStartRuleName = startRule;
        }
        const int rule = FStartRule;
        if (rule < 0)
            RaiseInvalidLanguage();
        matched = Match(rule);
        if (matched && FError.message.isEmpty() && wholeText && !FParser.AtEndOfText()) {
            FParser.SkipSpaces();
            FError = RecordedError{ScMessage(TscMessage::SSyntaxError), FParser.GetXYPosition(), FUnitName};
        }
        if (!matched && FError.message.isEmpty()) {
            // Failed where no rule names an error: say so rather than fail silently.
            FParser.SetPosition(start);
            FParser.SkipSpaces();
            FError = RecordedError{ScMessage(TscMessage::SSyntaxError), FParser.GetXYPosition(), FUnitName};
        }
    } catch (const LimitReached& limit) {
        if (!topLevel)
            throw;
        matched = false;
        FError = limit.error;
    }

    const bool success = matched && FError.message.isEmpty();
    if (success) {
        TscXMLItem* root = FILScript.Root();
        root->ClearInto(FSpareItems, kSpareItems);
        root->SetName(QStringLiteral("program"));
        root->SetText(QString());
        root->AddItems(FOutput, 0);
        std::unique_ptr<TscXMLItem> types = TscXMLItem::MakeParsed(FSpareItems, QStringLiteral("types"), nullptr, QString());
        if (const TscXMLItem* grammarTypes = FGrammar->Types())
            types->Assign(grammarTypes);
        else
            types->SetText(QString()); // a plain element without attributes
        root->AddItem(std::move(types));
    } else {
        FErrorMsg = FError.message;
        FErrorPos = FError.pos;
        FErrorUnit = FError.unit;
    }
    FOutput.clear();
    return success;
}

bool TscILParser::TokenMatches(const TscGrammar::Element& element, const QString& token) const
{
    if (token.isEmpty())
        return false;
    if (!element.hasText)
        return true;
    if (token == element.text)
        return true; // the usual match, and the only one when the lexer tells case
    return !FParser.CaseSensitive() && token.compare(element.text, Qt::CaseInsensitive) == 0;
}

bool TscILParser::Match(int index)
{
    using Kind = TscGrammar::Kind;
    // A bare reference is its rule: the rule is matched in the same call, the reference still
    // counted as a level of its own, so that every limit is met where it was.
    struct Levels {
        Budget& budget;
        int entered = 0;
        bool nested = false;
        ~Levels()
        {
            budget.depth -= entered;
            if (nested)
                --budget.nesting;
        }
    } levels{*FBudget};
    const TscGrammar::Element* current = &FGrammar->At(index);
    for (;;) {
        ++levels.entered;
        if (++FBudget->depth > kScMaxRuleDepth)
            LimitError(FormatScMessage(TscMessage::SRulesTooDeep, QString::number(kScMaxRuleDepth)));
        // The stack guard only matters on a thread with a small stack: the limits above keep
        // the recursion within the usual ones.
        if (ScStackIsShort())
            LimitError(ScMessage(TscMessage::SStackTooShort));
        // An element that makes a tree node is one level of the script's nesting (the program
        // itself is the first).
        if (!current->node.isEmpty()) {
            ++FBudget->nesting;
            levels.nested = true;
        }
        if (FBudget->nesting >= kScMaxNesting)
            LimitError(FormatScMessage(TscMessage::SScriptTooDeep, QString::number(kScMaxNesting)));
        if (++FBudget->steps > FBudget->stepLimit)
            LimitError(FormatScMessage(TscMessage::SScriptTooComplex, QString::number(FBudget->stepLimit)));
        if (!current->bareReference)
            break;
        current = &FGrammar->At(current->rule);
    }
    const TscGrammar::Element& element = *current;

    const int entry = FParser.Position();
    const size_t mark = FOutput.size();
    bool matched = false;
    bool tokenRead = false;
    QString token;

    switch (element.kind) {
    case Kind::Rule:
    case Kind::Sequence:
        matched = true;
        break;
    case Kind::Char:
        if (!element.noSkip)
            FParser.SkipSpaces();
        token = FParser.GetChar();
        tokenRead = true;
        break;
    case Kind::Keyword:
        token = FParser.GetWord();
        tokenRead = true;
        break;
    case Kind::Ident:
        token = FParser.GetIdent();
        tokenRead = true;
        break;
    case Kind::Number:
        token = FParser.GetNumber();
        tokenRead = true;
        break;
    case Kind::String:
        token = FParser.GetString();
        tokenRead = true;
        break;
    case Kind::FrString:
        token = FParser.GetFRString();
        EmitReportExpression(token);
        tokenRead = true;
        break;
    case Kind::Eol:
        matched = FParser.GetEOL();
        break;
    case Kind::Eof:
        matched = FParser.AtEndOfText();
        break;
    case Kind::Switch:
    case Kind::OptionalSwitch:
        for (const int child : element.children)
            if (!CannotStart(FGrammar->At(child).start) && Match(child))
                return true;
        if (element.kind == Kind::OptionalSwitch || element.children.empty())
            return true;
        ReportError(element, entry);
        return false;
    case Kind::Loop:
    case Kind::OptionalLoop:
        return MatchLoop(element, entry);
    case Kind::Optional:
        if (CannotStart(element.body))
            return true;
        for (const int child : element.children) {
            if (!Match(child)) {
                FParser.SetPosition(entry);
                break;
            }
        }
        return true;
    case Kind::Reference:
        matched = Match(element.rule);
        break;
    }
    if (tokenRead)
        matched = TokenMatches(element, token);
    if (!matched) {
        ReportError(element, entry);
        FParser.SetPosition(entry);
        return false;
    }

    const bool isRule = element.kind == Kind::Rule;
    if (!isRule)
        Wrap(element, mark, entry, true);
    if (!element.add.isEmpty())
        EmitLeaf(element.add, element.addText.isEmpty() ? token : element.addText);
    bool ok = true;
    for (const int child : element.children) {
        if (!Match(child)) {
            ok = false;
            break;
        }
    }
    if (!ok)
        FParser.SetPosition(entry);
    if (isRule)
        Wrap(element, mark, entry, ok);
    return ok;
}

bool TscILParser::CannotStart(const TscGrammar::Start& start)
{
    if (start.unknown || start.empty || !start.silent)
        return false;
    const int here = FParser.Position();
    if (here != FPeekFrom) {
        FParser.SkipSpaces();
        const int at = FParser.Position();
        FParser.SetPosition(here);
        FPeekFrom = here;
        FPeekBit = at > FParser.Size() ? -1 : static_cast<int>(StartBit(FParser.Text()[at - 1]));
    }
    return FPeekBit < 0 || !start.first.test(static_cast<size_t>(FPeekBit)); // at the end no token is left
}

bool TscILParser::MatchLoop(const TscGrammar::Element& element, int entry)
{
    int iterations = 0;
    int after = entry;
    bool ok = false;
    for (;;) {
        ++iterations;
        const int start = FParser.Position();
        ok = !CannotStart(element.body);
        for (size_t c = 0; ok && c < element.children.size(); ++c)
            ok = Match(element.children[c]);
        after = FParser.Position();
        if (ok && !element.text.isEmpty()) {
            FParser.SkipSpaces();
            if (FParser.GetChar() != element.text) {
                FParser.SetPosition(after);
                break;
            }
        }
        if (FParser.Position() == start || !ok)
            break;
    }
    if (iterations >= 2) {
        // At least one complete pass: the failed last pass only ends the list. Its error is
        // dropped when the loop says so or the failing element was marked as a list end.
        if (element.loopSkip || FTermFlag)
            FError = RecordedError{};
        FParser.SetPosition(after);
        ok = true;
    }
    if (!ok)
        FParser.SetPosition(entry);
    return ok || element.kind == TscGrammar::Kind::OptionalLoop;
}

void TscILParser::ReportError(const TscGrammar::Element& element, int entry)
{
    if (!element.hasErr || !FError.message.isEmpty())
        return;
    const int saved = FParser.Position();
    FParser.SetPosition(entry);
    FParser.SkipSpaces();
    FError = RecordedError{element.errMessage, FParser.GetXYPosition(), FUnitName};
    FTermFlag = element.term;
    FParser.SetPosition(saved);
}

void TscILParser::EmitLeaf(const QString& name, const QString& text)
{
    FOutput.push_back(TscXMLItem::MakeParsed(FSpareItems, name, &text, FParser.GetXYPosition()));
}

void TscILParser::EmitReportExpression(const QString& expression)
{
    // <dsgn><node text="Get"/><expr><string text="'expression'"/></expr></dsgn>, all placed
    // behind the expression text: the expression is evaluated at run time through Get.
    const QString pos = FParser.GetXYPosition();
    const QString posText = QLatin1String("pos=\"") + pos + QLatin1Char('"');
    auto dsgn = std::make_unique<TscXMLItem>(QStringLiteral("dsgn"), posText);
    dsgn->Add(QStringLiteral("node"), QLatin1String("text=\"Get\" ") + posText);
    TscXMLItem* expr = dsgn->Add(QStringLiteral("expr"), posText);
    expr->Add(QStringLiteral("string"), QLatin1String("text=\"") + ScXMLEscape(QLatin1Char('\'') + expression + QLatin1Char('\'')) +
                                            QLatin1String("\" ") + posText);
    FOutput.push_back(std::move(dsgn));
}

void TscILParser::Wrap(const TscGrammar::Element& element, size_t mark, int entry, bool success)
{
    if (element.node.isEmpty())
        return;
    if (element.usesNode) {
        IncludeUnits(mark);
        return;
    }
    if (!success) {
        FOutput.resize(mark);
        return;
    }
    const int saved = FParser.Position();
    FParser.SetPosition(entry);
    FParser.SkipSpaces();
    const QString pos = FParser.GetXYPosition();
    FParser.SetPosition(saved);
    std::unique_ptr<TscXMLItem> node =
        TscXMLItem::MakeParsed(FSpareItems, element.node, nullptr, pos, element.exprNode ? FParser.GetXYPosition() : QString());
    node->AddItems(FOutput, mark);
    FOutput.push_back(std::move(node));
}

void TscILParser::IncludeUnits(size_t mark)
{
    std::vector<std::unique_ptr<TscXMLItem>> emitted;
    for (size_t i = mark; i < FOutput.size(); ++i)
        emitted.push_back(std::move(FOutput[i]));
    FOutput.resize(mark);
    // Units are taken from the last mentioned to the first; each one's element is placed
    // behind the ones before it, so they stand in reverse order of mention.
    std::vector<std::unique_ptr<TscXMLItem>> kept;
    for (size_t i = emitted.size(); i-- > 0;) {
        if (emitted[i]->Name().compare(QLatin1String("file"), Qt::CaseInsensitive) != 0) {
            kept.insert(kept.begin(), std::move(emitted[i]));
            continue;
        }
        const QString quoted = emitted[i]->Prop(QStringLiteral("text"));
        const QString unitName = quoted.size() >= 2 ? quoted.mid(1, quoted.size() - 2) : QString();
        if (auto uses = IncludeUnit(unitName))
            FOutput.push_back(std::move(uses));
    }
    for (auto& item : kept)
        FOutput.push_back(std::move(item));
}

namespace {

// A unit is named relative to where units are looked for: no absolute path, no way up.
bool IsAllowedUnitName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')))
        return false;
    if (name.size() >= 2 && name[1] == QLatin1Char(':'))
        return false;
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    for (const QString& part : name.split(separators))
        if (part == QLatin1String(".."))
            return false;
    return true;
}

} // namespace

std::unique_ptr<TscXMLItem> TscILParser::IncludeUnit(const QString& unitName)
{
    if (FUsesList.contains(unitName, Qt::CaseInsensitive))
        return nullptr;
    FUsesList.append(unitName);
    if (!IsAllowedUnitName(unitName))
        throw platform::Exception(FormatScMessage(TscMessage::SUnitNotAllowed, unitName).toStdString());
    if (++FBudget->units > kScMaxUnits)
        LimitError(FormatScMessage(TscMessage::STooManyUnits, QString::number(kScMaxUnits)));
    if (FBudget->unitDepth >= kScMaxUnitDepth)
        LimitError(FormatScMessage(TscMessage::SUnitsTooDeep, QString::number(kScMaxUnitDepth)));

    const QString text = ReadUnitText(unitName);
    auto uses = std::make_unique<TscXMLItem>(QStringLiteral("uses"));
    uses->SetProp(QStringLiteral("unit"), unitName);
    if (text.isEmpty())
        return uses;

    TscILParser unit;
    unit.FBudget = FBudget;
    unit.FUnitName = unitName;
    unit.FOnGetUnit = FOnGetUnit;
    unit.FIncludePath = FIncludePath;
    unit.FExtendedCharset = FExtendedCharset;
    unit.SelectLanguage(FLangName);
    unit.FUsesList = FUsesList;
    DepthScope nesting(FBudget->unitDepth);
    if (unit.MakeILScript(text)) {
        FUsesList = unit.FUsesList;
        auto program = std::make_unique<TscXMLItem>(QStringLiteral("program"));
        TscXMLItem* unitRoot = unit.FILScript.Root();
        while (unitRoot->Count() > 0)
            program->AddItem(unitRoot->TakeItem(0));
        uses->AddItem(std::move(program));
    } else if (FError.message.isEmpty()) {
        FError = RecordedError{unit.FErrorMsg, unit.FErrorPos, unit.FErrorUnit};
    }
    return uses;
}

QString TscILParser::ReadUnitText(const QString& unitName) const
{
    if (FOnGetUnit) {
        QString text;
        FOnGetUnit(unitName, text);
        return text;
    }
    QString path;
    for (const QString& folder : FIncludePath) {
        path = folder.isEmpty() || folder.endsWith(QLatin1Char('/')) ? folder + unitName
                                                                       : folder + QLatin1Char('/') + unitName;
        if (QFileInfo::exists(path))
            break;
    }
    std::vector<uint8_t> bytes;
    try {
        if (!platform::ReadFileBytes(path.toStdString(), static_cast<size_t>(kScMaxSourceLength) * 4, bytes))
            throw platform::Exception(
                FormatScMessage(TscMessage::SScriptTooLarge, QString::number(kScMaxSourceLength)).toStdString());
    } catch (const platform::EOSError& error) {
        throw platform::Exception(FormatScMessage(TscMessage::SCannotOpenFile,
                                                  {unitName, QString::fromStdString(platform::SystemErrorText(error.ErrorCode()))})
                                      .toStdString());
    }
    return ScriptTextFromBytes(QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
}

QString TscILParser::SourceText(const QString& fromPos, const QString& toPos) const
{
    const int from = FParser.GetPlainPosition(ParsePosition(fromPos));
    const int to = FParser.GetPlainPosition(ParsePosition(toPos));
    if (from < 1 || to < from)
        return QString();
    return FParser.Text().mid(from - 1, to - from);
}

QString ScriptTextFromBytes(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromStdString(platform::Cp1251ToUtf8(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))));
}
