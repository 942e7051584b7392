#include "report/designer/rpScriptTemplates.h"

#include "report/core/PropertyRegistry.h"
#include "report/model/rpRes.h"

namespace {

struct Signature {
    const char* type;
    const char* pascal;
    const char* cpp;
    const char* basic;
    const char* js;
};

const Signature kSignatures[] = {
    {"TrpNotifyEvent", "(Sender: TrpComponent);", "(TrpComponent Sender)", "(Sender)", "(Sender)"},
    {"TrpCloseQueryEvent", "(Sender: TrpComponent; var CanClose: Boolean);", "(TrpComponent Sender, bool &CanClose)",
     "(Sender, byref CanClose)", "(Sender, &CanClose)"},
    {"TrpKeyEvent", "(Sender: TrpComponent; var Key: Word; Shift: Integer);",
     "(TrpComponent Sender, word &Key, int Shift)", "(Sender, byref Key, Shift)", "(Sender, &Key, Shift)"},
    {"TrpKeyPressEvent", "(Sender: TrpComponent; var Key: Char);", "(TrpComponent Sender, char &Key)",
     "(Sender, byref Key)", "(Sender, &Key)"},
    {"TrpMouseEvent", "(Sender: TrpComponent; Button: TMouseButton; Shift: Integer; X, Y: Integer);",
     "(TrpComponent Sender, TMouseButton Button, int Shift, int X, int Y)", "(Sender, Button, Shift, X, Y)",
     "(Sender, Button, Shift, X, Y)"},
    {"TrpMouseMoveEvent", "(Sender: TrpComponent; Shift: Integer; X, Y: Integer);",
     "(TrpComponent Sender, int Shift, int X, int Y)", "(Sender, Shift, X, Y)", "(Sender, Shift, X, Y)"},
    {"TrpPreviewClickEvent", "(Sender: TrpView; Button: TMouseButton; Shift: Integer; var Modified: Boolean);",
     "(TrpView Sender, TMouseButton Button, int Shift, bool &Modified)", "(Sender, Button, Shift, byref Modified)",
     "(Sender, Button, Shift, &Modified)"},
    {"TrpRunDialogsEvent", "(var Result: Boolean);", "(bool &Result)", "(byref Result)", "(&Result)"},
};

QString Resource(const QString& name)
{
    const QString text = GetResourcesInstance().Get(name);
    return text == name ? QString() : text;
}

// Comment depth step of a line: +1 for an opening marker, -1 for a closing one (downwards).
void TrackDepth(const QString& line, const QString& open, const QString& close, int& depth, bool upwards)
{
    const int sign = upwards ? -1 : 1;
    if (!close.isEmpty() && line.contains(close))
        depth -= sign;
    if (!open.isEmpty() && line.contains(open))
        depth += sign;
}

// Whether the upper-cased line holds word as a whole word outside strings and line comments.
bool HasWord(const QString& upper, const QString& word)
{
    if (word.isEmpty())
        return false;
    const auto isWordChar = [](QChar c) { return c.isLetterOrNumber() || c == u'_'; };
    QChar quote;
    for (int i = 0; i < upper.size(); ++i) {
        const QChar c = upper[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'\'' || c == u'"') {
            quote = c;
            continue;
        }
        if (c == u'/' && i + 1 < upper.size() && upper[i + 1] == u'/')
            return false;
        if (upper.mid(i, word.size()) == word && (i == 0 || !isWordChar(upper[i - 1]))
            && (i + word.size() >= upper.size() || !isWordChar(upper[i + word.size()]))
            && isWordChar(word[0]))
            return true;
        if (!isWordChar(word[0]) && upper.mid(i, word.size()) == word)
            return true;
    }
    return false;
}

// Strips a block comment's text from a line for the nesting count ({ } and /* */ on one line).
QString WithoutComments(const QString& line, const QString& open, const QString& close)
{
    QString result = line;
    if (open.isEmpty() || close.isEmpty())
        return result;
    int from = result.indexOf(open);
    while (from >= 0) {
        const int to = result.indexOf(close, from + open.size());
        result.remove(from, to < 0 ? result.size() - from : to + close.size() - from);
        from = result.indexOf(open);
    }
    return result;
}

int FindInsertLine(const QStringList& script, const QString& language)
{
    const QString begin = GetTemplateAttribute(language, QStringLiteral("begin")).toUpper();
    const QString end = GetTemplateAttribute(language, QStringLiteral("end")).toUpper();
    const QString lastEnd = GetTemplateAttribute(language, QStringLiteral("lastend")).toUpper();
    const QString open = GetTemplateAttribute(language, QStringLiteral("openquote"));
    const QString close = GetTemplateAttribute(language, QStringLiteral("closequote"));
    if (lastEnd.isEmpty())
        return script.size() - 1;
    int depth = 0;
    int i = script.size() - 1;
    for (; i >= 0; --i) {
        TrackDepth(script[i], open, close, depth, true);
        if (depth == 0 && script[i].toUpper().contains(lastEnd))
            break;
    }
    if (i <= 0)
        return -1;
    // The block keywords count as whole words outside strings and comments only, so that a
    // name such as Sender or Legend does not move the handler into another one.
    QString endWord = end;
    if (endWord.endsWith(u';'))
        endWord.chop(1);
    int count = 1;
    for (int j = i - 1; j >= 0; --j) {
        const QString upper = WithoutComments(script[j], open, close).toUpper();
        if (HasWord(upper, endWord))
            ++count;
        if (HasWord(upper, begin))
            --count;
        if (count == 0)
            return j;
    }
    return 0;
}

} // namespace

void RegisterScriptCodeTemplates()
{
    TrpResources& resources = GetResourcesInstance();
    const auto templ = [](const char* proc, const char* begin, const char* end, const char* lastEnd,
                          const char* open, const char* close) {
        return QStringLiteral("proc=\"%1\" begin=\"%2\" end=\"%3\" lastend=\"%4\" openquote=\"%5\" closequote=\"%6\"")
            .arg(QLatin1String(proc), QLatin1String(begin), QLatin1String(end), QLatin1String(lastEnd),
                 QLatin1String(open), QLatin1String(close));
    };
    resources.Add(QStringLiteral("RireroRidoze"), templ("procedure", "begin", "end;", "end.", "{", "}"));
    resources.Add(QStringLiteral("R++Idirud"), templ("void", "{", "}", "}", "/*", "*/"));
    resources.Add(QStringLiteral("ZuvivUradur"), templ("sub", "", "end sub", "", "/\\", "/\\"));
    resources.Add(QStringLiteral("JScript"), templ("function", "{", "}", "", "/*", "*/"));
    for (const Signature& s : kSignatures) {
        resources.Add(QString::fromLatin1(s.type),
                      QStringLiteral("RireroRidoze=%1\r\nR++Idirud=%2\r\nZuvivUradur=%3\r\nJScript=%4")
                          .arg(QLatin1String(s.pascal), QLatin1String(s.cpp), QLatin1String(s.basic),
                               QLatin1String(s.js)));
    }
}

QString GetTemplateAttribute(const QString& language, const QString& key)
{
    const QString text = Resource(language);
    if (text.isEmpty())
        return QString();
    const QString pattern = key + QStringLiteral("=\"");
    int from = 0;
    while (true) {
        const int at = text.indexOf(pattern, from, Qt::CaseInsensitive);
        if (at < 0)
            return QString();
        if (at == 0 || text[at - 1] == u' ') {
            const int start = at + pattern.size();
            const int stop = text.indexOf(u'"', start);
            return stop < 0 ? text.mid(start) : text.mid(start, stop - start);
        }
        from = at + 1;
    }
}

QString GetEventSignature(const QString& eventTypeName, const QString& language)
{
    const QString text = Resource(eventTypeName);
    if (text.isEmpty())
        return QString();
    for (const QString& line : text.split(QStringLiteral("\r\n"))) {
        const int eq = line.indexOf(u'=');
        if (eq > 0 && line.left(eq).compare(language, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1);
    }
    return QString();
}

QString GetEventSignature(const PropertyInfo& info, const QString& language)
{
    return GetEventSignature(info.TypeName, language);
}

void ListEventHandlers(const QStringList& script, const QString& language, const QString& eventTypeName,
                       QStringList& result)
{
    result.clear();
    const QString signature = GetEventSignature(eventTypeName, language);
    const QString proc = GetTemplateAttribute(language, QStringLiteral("proc"));
    const QString open = GetTemplateAttribute(language, QStringLiteral("openquote"));
    const QString close = GetTemplateAttribute(language, QStringLiteral("closequote"));
    int depth = 0;
    for (const QString& line : script) {
        TrackDepth(line, open, close, depth, false);
        QString text = line.trimmed();
        if (depth != 0 || proc.isEmpty() || !text.toUpper().startsWith(proc.toUpper()))
            continue;
        text = text.mid(proc.size());
        const int paren = text.indexOf(u'(');
        if (paren < 0)
            continue;
        const QString name = text.left(paren).trimmed();
        if (text.mid(paren).trimmed().compare(signature, Qt::CaseInsensitive) == 0)
            result.append(name);
    }
}

int LocateEventHandler(const QStringList& script, const QString& language, const QString& name)
{
    const QString proc = GetTemplateAttribute(language, QStringLiteral("proc"));
    const QString open = GetTemplateAttribute(language, QStringLiteral("openquote"));
    const QString close = GetTemplateAttribute(language, QStringLiteral("closequote"));
    const QString wanted = (proc + u' ' + name + u'(').toUpper();
    int depth = 0;
    for (int i = 0; i < script.size(); ++i) {
        TrackDepth(script[i], open, close, depth, false);
        if (depth == 0 && script[i].toUpper().startsWith(wanted))
            return i;
    }
    return -1;
}

int AddEventHandler(QStringList& script, const QString& language, const QString& eventTypeName,
                    const QString& name)
{
    const int i = FindInsertLine(script, language);
    if (i < 0)
        return -1;
    const QString proc = GetTemplateAttribute(language, QStringLiteral("proc"));
    const QStringList lines = {proc + u' ' + name + GetEventSignature(eventTypeName, language),
                               GetTemplateAttribute(language, QStringLiteral("begin")), QString(),
                               GetTemplateAttribute(language, QStringLiteral("end")), QString()};
    for (int k = 0; k < lines.size(); ++k)
        script.insert(i + k, lines[k]);
    return i + 3;
}

void WriteEmptyScript(QStringList& script, const QString& language)
{
    script.clear();
    const QString lastEnd = GetTemplateAttribute(language, QStringLiteral("lastend"));
    if (!lastEnd.isEmpty())
        script << GetTemplateAttribute(language, QStringLiteral("begin")) << QString() << lastEnd;
}
