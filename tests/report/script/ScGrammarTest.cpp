// The language registry, the four built-in grammars (checked against their rule lines and
// linted) and the engine messages.

#include "GrammarNotation.h"

#include "report/script/sc_iconsts.h"
#include "report/script/sc_iilparser.h"
#include "report/script/sc_itools.h"

#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <string>

namespace {

struct Language {
    const char* name;
    const char* rulesFile;
};

const Language kLanguages[] = {
    {"RireroRidoze", "RireroRidoze.rules"},
    {"R++Idirud", "RppIdirud.rules"},
    {"JScript", "JScript.rules"},
    {"ZuvivUradur", "ZuvivUradur.rules"},
};

void PrintTo(const Language& language, std::ostream* out)
{
    *out << language.name;
}

std::string TestName(const ::testing::TestParamInfo<Language>& info)
{
    std::string name = info.param.name;
    for (char& c : name)
        if (c == '+')
            c = 'p';
    return name;
}

QString ReadText(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

QString Canonical(const TscXMLDocument& document)
{
    TscXMLDocument copy;
    copy.SetAutoIndent(true);
    copy.Root()->Assign(document.Root());
    return QString::fromUtf8(copy.SaveToBytes());
}

class BuiltInGrammar : public ::testing::TestWithParam<Language> {
protected:
    void SetUp() override { InitScriptLanguages(); }
    QString Grammar() const { return GetLanguageGrammar(QString::fromUtf8(GetParam().name)); }
};

TEST_P(BuiltInGrammar, IsExactlyItsRuleLines)
{
    TscXMLDocument expected;
    grammarnotation::Convert(ReadText(QStringLiteral(DAX_SCRIPT_TEST_DIR "/grammars/") + QString::fromUtf8(GetParam().rulesFile)),
                             expected);
    TscXMLDocument stored;
    stored.LoadFromBytes(Grammar().toUtf8());
    const QStringList want = Canonical(expected).split(QStringLiteral("\r\n"));
    const QStringList have = Canonical(stored).split(QStringLiteral("\r\n"));
    for (qsizetype i = 0; i < std::max(want.size(), have.size()); ++i) {
        ASSERT_EQ(have.value(i).toStdString(), want.value(i).toStdString()) << "line " << i + 1;
    }
}

TEST_P(BuiltInGrammar, PassesTheLint)
{
    TscXMLDocument document;
    document.LoadFromBytes(Grammar().toUtf8());
    const TscXMLItem* root = document.Root();
    EXPECT_EQ(root->Name(), QStringLiteral("language"));
    EXPECT_EQ(root->Prop(QStringLiteral("text")), QString::fromUtf8(GetParam().name));

    const TscXMLItem* parser = root->Items(root->Find(QStringLiteral("parser")));
    const TscXMLItem* keywords = parser->Items(parser->Find(QStringLiteral("keywords")));
    const TscXMLItem* errors = parser->Items(parser->Find(QStringLiteral("errors")));
    const QSet<QString> settings{QStringLiteral("identchars"), QStringLiteral("commentline1"), QStringLiteral("commentline2"),
                                 QStringLiteral("commentblock1"), QStringLiteral("commentblock2"), QStringLiteral("stringquotes"),
                                 QStringLiteral("hexsequence"), QStringLiteral("specstrchar"), QStringLiteral("declarevars"),
                                 QStringLiteral("skipeol"), QStringLiteral("skipchar"), QStringLiteral("casesensitive"),
                                 QStringLiteral("keywords"), QStringLiteral("errors")};
    for (int i = 0; i < parser->Count(); ++i)
        EXPECT_TRUE(settings.contains(parser->Items(i)->Name())) << parser->Items(i)->Name().toStdString();
    for (int i = 0; i < keywords->Count(); ++i)
        EXPECT_EQ(keywords->Items(i)->Name(), keywords->Items(i)->Name().toLower());

    QSet<QString> rules;
    for (int i = 0; i < root->Count(); ++i)
        rules.insert(root->Items(i)->Name().toLower());
    EXPECT_TRUE(rules.contains(QStringLiteral("program")));
    EXPECT_TRUE(rules.contains(QStringLiteral("expression")));
    const QSet<QString> builtIn{QStringLiteral("char"), QStringLiteral("keyword"), QStringLiteral("ident"),
                                QStringLiteral("number"), QStringLiteral("string"), QStringLiteral("frstring"),
                                QStringLiteral("eol"), QStringLiteral("eof"), QStringLiteral("sequence"),
                                QStringLiteral("switch"), QStringLiteral("optionalswitch"), QStringLiteral("loop"),
                                QStringLiteral("optionalloop"), QStringLiteral("optional")};
    const QRegularExpression attribute(QStringLiteral("([a-z0-9]+)=\"([^\"]*)\""));
    // Every element below a rule: a built-in or a defined rule, every err with its text, and
    // every value with the XML specials written as numeric entities.
    std::vector<std::pair<const TscXMLItem*, bool>> pending; // (item, below a rule)
    for (int i = 0; i < root->Count(); ++i) {
        const QString name = root->Items(i)->Name();
        pending.emplace_back(root->Items(i), name != QLatin1String("parser") && name != QLatin1String("types"));
    }
    while (!pending.empty()) {
        const auto [item, inRules] = pending.back();
        pending.pop_back();
        if (inRules && item->Parent() != root) {
            const QString name = item->Name().toLower();
            EXPECT_TRUE(builtIn.contains(name) || rules.contains(name)) << name.toStdString() << " is not defined";
        }
        if (inRules && item->PropExists(QStringLiteral("err"))) {
            const int entry = errors->Find(item->Prop(QStringLiteral("err")));
            EXPECT_TRUE(entry >= 0 && !errors->Items(entry)->Prop(QStringLiteral("text")).isEmpty())
                << item->Prop(QStringLiteral("err")).toStdString() << " has no text";
        }
        for (auto match = attribute.globalMatch(item->Text()); match.hasNext();) {
            const QString raw = match.next().captured(2);
            EXPECT_EQ(raw, ScXMLEscape(ScXMLUnescape(raw))) << item->Text().toStdString();
        }
        for (int i = 0; i < item->Count(); ++i)
            pending.emplace_back(item->Items(i), inRules);
    }
    EXPECT_NO_THROW(TscGrammar::Compile(Grammar()));
}

INSTANTIATE_TEST_SUITE_P(Languages, BuiltInGrammar, ::testing::ValuesIn(kLanguages), TestName);

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const platform::Exception& error) {
        return error.Message();
    }
    return "no error";
}

TEST(LanguageRegistry, KeepsOrderHidesAtNamesAndReplacesInPlace)
{
    InitScriptLanguages();
    QStringList list{QStringLiteral("stale")};
    GetLanguageList(list);
    EXPECT_EQ(list, (QStringList{QStringLiteral("RireroRidoze"), QStringLiteral("R++Idirud"), QStringLiteral("JScript"),
                                 QStringLiteral("ZuvivUradur")}));

    const QString builtIn = GetLanguageGrammar(QStringLiteral("jscript"));
    const auto compiled = GetCompiledLanguageGrammar(QStringLiteral("JScript"));
    EXPECT_EQ(GetCompiledLanguageGrammar(QStringLiteral("JSCRIPT")), compiled) << "compiled once and kept";

    RegisterLanguageGrammar(QStringLiteral("@Internal"), builtIn);
    RegisterLanguageGrammar(QStringLiteral("JSCRIPT"), builtIn + QStringLiteral("\n"));
    GetLanguageList(list);
    EXPECT_EQ(list, (QStringList{QStringLiteral("RireroRidoze"), QStringLiteral("R++Idirud"), QStringLiteral("JScript"),
                                 QStringLiteral("ZuvivUradur")}));
    EXPECT_EQ(GetLanguageGrammar(QStringLiteral("JScript")), builtIn + QStringLiteral("\n"));
    EXPECT_NE(GetCompiledLanguageGrammar(QStringLiteral("JScript")), compiled) << "dropped with its text";
    EXPECT_EQ(GetLanguageGrammar(QStringLiteral("@internal")), builtIn);

    InitScriptLanguages();
    EXPECT_EQ(GetLanguageGrammar(QStringLiteral("JScript")), builtIn);

    EXPECT_EQ(ErrorOf([] { GetLanguageGrammar(QStringLiteral("Cobol")); }), "Language 'Cobol' not found");
    EXPECT_EQ(ErrorOf([] { GetCompiledLanguageGrammar(QStringLiteral("Cobol")); }), "Language 'Cobol' not found");
}

TEST(LanguageRegistry, BrokenGrammarsAreRefusedWhenSelected)
{
    const struct {
        const char* name;
        const char* grammar;
        const char* error;
    } cases[] = {
        {"@NotXml", "no xml here", "Invalid file format"},
        {"@Undefined", "<?xml version=\"1.0\"?><language><program><nothing/></program></language>",
         "Invalid language definition"},
        {"@DanglingErr",
         "<?xml version=\"1.0\"?><language><parser><errors><err1 text=\"x\"/></errors></parser>"
         "<program><char text=\";\" err=\"err2\"/></program></language>",
         "Invalid language definition"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegisterLanguageGrammar(QString::fromUtf8(c.name), QString::fromUtf8(c.grammar));
        TscILParser parser;
        EXPECT_EQ(ErrorOf([&] { parser.SelectLanguage(QString::fromUtf8(c.name)); }), c.error);
    }
}

TEST(EngineMessages, HaveTheirKeysAndDefaultsInResourceOrder)
{
    ResetScMessages();
    const char* keys[] = {"SLangNotFound", "SInvalidLanguage", "SIdRedeclared", "SUnknownType", "SIncompatibleTypes",
                          "SIdUndeclared", "SClassRequired", "SIndexRequired", "SStringError", "SClassError",
                          "SArrayRequired", "SVarRequired", "SNotEnoughParams", "STooManyParams",
                          "SLeftCantAssigned", "SForError", "SEventError"};
    const char* texts[] = {"Language '%s' not found", "Invalid language definition", "Identifier redeclared: ",
                           "Unknown type: ", "Incompatible types", "Undeclared identifier: ", "Class type required",
                           "Index required", "Strings doesn't have properties or methods",
                           "Class %s does not have a default property", "Array type required", "Variable required",
                           "Not enough actual parameters", "Too many actual parameters",
                           "Left side cannot be assigned to", "For loop variable must be numeric variable",
                           "Event handler must be a procedure"};
    static_assert(std::size(keys) == kScEngineMessageCount);
    for (int i = 0; i < kScEngineMessageCount; ++i) {
        const auto id = static_cast<TscMessage>(i);
        EXPECT_EQ(ScMessageKey(id).toStdString(), keys[i]);
        EXPECT_EQ(ScMessage(id).toStdString(), texts[i]);
    }
    // Our own texts use keys no engine message uses.
    QSet<QString> seen;
    for (int i = 0; i < static_cast<int>(TscMessage::Count); ++i)
        EXPECT_FALSE(seen.contains(ScMessageKey(static_cast<TscMessage>(i)))) << i;
}

TEST(EngineMessages, TranslationsAreSetByKeyAndFilledSafely)
{
    ResetScMessages();
    EXPECT_TRUE(SetScMessage(QStringLiteral("SLangNotFound"), QString::fromUtf8("Язык '%s' не найден")));
    EXPECT_FALSE(SetScMessage(QStringLiteral("SNoSuchKey"), QStringLiteral("x")));
    EXPECT_EQ(FormatScMessage(TscMessage::SLangNotFound, QStringLiteral("Cobol")).toStdString(), "Язык 'Cobol' не найден");
    EXPECT_EQ(ErrorOf([] { GetLanguageGrammar(QStringLiteral("Cobol")); }), "Язык 'Cobol' не найден");

    // Only literal "%s" is a placeholder, filled once; other '%' and a "%s" in the argument stay.
    SetScMessage(TscMessage::SClassError, QStringLiteral("100% %d %s %s"));
    EXPECT_EQ(FormatScMessage(TscMessage::SClassError, QStringLiteral("%s")), QStringLiteral("100% %d %s %s"));
    // A translation without the placeholder would drop the name: the default text is used.
    SetScMessage(TscMessage::SClassError, QStringLiteral("Keine Standardeigenschaft"));
    EXPECT_EQ(FormatScMessage(TscMessage::SClassError, QStringLiteral("TFoo")),
              QStringLiteral("Class TFoo does not have a default property"));

    ResetScMessages();
    EXPECT_EQ(ScMessage(TscMessage::SLangNotFound), QStringLiteral("Language '%s' not found"));
}

} // namespace
