#include "sc_itools.h"

#include "sc_iconsts.h"
#include "sc_iilparser.h"
#include "sc_iparser.h"
#include "sc_ijscript.h"
#include "sc_irireroridoze.h"
#include "sc_irppidirud.h"
#include "sc_izuvivuradur.h"

#include "platform/Exceptions.h"

#include <QFile>

#include <mutex>
#include <vector>

namespace {

struct LanguageEntry {
    QString name;
    QString grammar;
    std::shared_ptr<const TscGrammar> compiled; // made on first use
};

struct Registry {
    std::mutex lock;
    std::vector<LanguageEntry> entries;

    LanguageEntry* Find(const QString& name)
    {
        for (LanguageEntry& entry : entries)
            if (entry.name.compare(name, Qt::CaseInsensitive) == 0)
                return &entry;
        return nullptr;
    }
};

Registry& Languages()
{
    static Registry registry;
    return registry;
}

[[noreturn]] void RaiseNotFound(const QString& name)
{
    throw platform::Exception(FormatScMessage(TscMessage::SLangNotFound, name).toStdString());
}

} // namespace

void RegisterLanguageGrammar(const QString& name, const QString& grammar)
{
    Registry& registry = Languages();
    std::lock_guard guard(registry.lock);
    if (LanguageEntry* entry = registry.Find(name)) {
        if (entry->grammar != grammar) {
            entry->grammar = grammar;
            entry->compiled.reset();
        }
        return;
    }
    registry.entries.push_back(LanguageEntry{name, grammar, nullptr});
}

QString GetLanguageGrammar(const QString& name)
{
    Registry& registry = Languages();
    std::lock_guard guard(registry.lock);
    const LanguageEntry* entry = registry.Find(name);
    if (!entry)
        RaiseNotFound(name);
    return entry->grammar;
}

void GetLanguageList(QStringList& list)
{
    Registry& registry = Languages();
    std::lock_guard guard(registry.lock);
    list.clear();
    for (const LanguageEntry& entry : registry.entries)
        if (!entry.name.startsWith(QLatin1Char('@')))
            list.append(entry.name);
}

std::shared_ptr<const TscGrammar> GetCompiledLanguageGrammar(const QString& name)
{
    Registry& registry = Languages();
    std::lock_guard guard(registry.lock);
    LanguageEntry* entry = registry.Find(name);
    if (!entry)
        RaiseNotFound(name);
    if (!entry->compiled)
        entry->compiled = TscGrammar::Compile(entry->grammar);
    return entry->compiled;
}

void InitScriptLanguages()
{
    RegisterRireroRidozeGrammar();
    RegisterRppIdirudGrammar();
    RegisterJScriptGrammar();
    RegisterZuvivUradurGrammar();
}

QString ScStringLiteral(const QString& language, const QString& text)
{
    TscParser lexer;
    bool needDeclareVars = false;
    GetCompiledLanguageGrammar(language)->Configure(lexer, needDeclareVars);
    const QChar quote = lexer.StringQuotes().isEmpty() ? QChar(u'\'') : lexer.StringQuotes().front();
    const bool escapes = lexer.SpecStrChar();
    QString literal;
    literal.reserve(text.size() + 2);
    literal += quote;
    bool open = true;
    for (const QChar c : text) {
        if (c.unicode() < u' ') {
            // A string cannot hold a line break or another control character: the code
            // follows the quoted part, with nothing between them.
            if (open)
                literal += quote;
            open = false;
            literal += u'#' + QString::number(c.unicode());
            continue;
        }
        if (!open)
            literal += quote;
        open = true;
        if (c == quote)
            literal += escapes ? QString(u'\\') + c : QString(2, c);
        else if (escapes && c == u'\\')
            literal += QStringLiteral("\\\\");
        else
            literal += c;
    }
    if (open)
        literal += quote;
    return literal;
}

QString BuiltInGrammarText(const QString& fileName)
{
    QFile file(QStringLiteral(":/script/grammars/") + fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}
