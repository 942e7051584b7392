#include "ScriptIniFiles.h"
#include "sc_iconsts.h"

#include "ScriptStrings.h"

#include "report/core/ScriptErrors.h"

#include <QFileInfo>

namespace {

// The raised class of ini files that cannot hold what is written.
class EIniFileException : public EScriptErrorFamily {
public:
    explicit EIniFileException(std::string message) : EScriptErrorFamily("EIniFileException", std::move(message)) {}
};

bool SameName(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

// The section a line opens, or none.
std::optional<QString> SectionOf(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(u']');
    return (close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1)).trimmed();
}

// The key of a line and where its "=" is; false for other lines (comments, blank, text).
bool KeyOf(const QString& line, QString& key, qsizetype& separator)
{
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'['))
        return false;
    separator = line.indexOf(u'=');
    if (separator < 0)
        return false;
    key = line.left(separator).trimmed();
    return true;
}

QString Unquoted(const QString& value)
{
    const QString trimmed = value.trimmed();
    if (trimmed.size() >= 2 && (trimmed.front() == u'"' || trimmed.front() == u'\'') && trimmed.back() == trimmed.front())
        return trimmed.mid(1, trimmed.size() - 2);
    return trimmed;
}

bool HasLineBreak(const QString& text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

void CheckEntry(const QString& section, const QString& key, const QString& value)
{
    const auto refuse = [&](TscMessage why) {
        throw EIniFileException(ScErrorText(TscMessage::SIniCannotWrite, {section, key, ScMessage(why)}));
    };
    if (HasLineBreak(section) || section.contains(u']'))
        refuse(TscMessage::SIniInvalidSection);
    const QString trimmedKey = key.trimmed();
    if (HasLineBreak(key) || key.contains(u'=') || trimmedKey.isEmpty() || trimmedKey.startsWith(u'[') ||
        trimmedKey.startsWith(u';'))
        refuse(TscMessage::SIniInvalidKey);
    if (HasLineBreak(value))
        refuse(TscMessage::SIniValueOneLine);
}

} // namespace

// --- IniText --------------------------------------------------------------------------------

void IniText::Load(const QString& text)
{
    FLines = SplitTextLines(text);
}

QString IniText::Save() const
{
    QString text;
    for (const QString& line : FLines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return text;
}

bool IniText::FindSection(const QString& section, int& first, int& end) const
{
    const int count = static_cast<int>(FLines.size());
    for (int i = 0; i < count; ++i) {
        const std::optional<QString> name = SectionOf(FLines[i]);
        if (!name || !SameName(*name, section.trimmed()))
            continue;
        first = i + 1;
        end = first;
        while (end < count && !SectionOf(FLines[end]))
            ++end;
        return true;
    }
    return false;
}

int IniText::FindKey(int first, int end, const QString& key) const
{
    QString name;
    qsizetype separator = 0;
    for (int i = first; i < end; ++i) {
        if (KeyOf(FLines[i], name, separator) && SameName(name, key.trimmed()))
            return i;
    }
    return -1;
}

bool IniText::SectionExists(const QString& section) const
{
    int first = 0;
    int end = 0;
    return FindSection(section, first, end);
}

bool IniText::ValueExists(const QString& section, const QString& key) const
{
    return Read(section, key).has_value();
}

std::optional<QString> IniText::Read(const QString& section, const QString& key) const
{
    int first = 0;
    int end = 0;
    if (!FindSection(section, first, end))
        return std::nullopt;
    const int line = FindKey(first, end, key);
    if (line < 0)
        return std::nullopt;
    const QString& text = FLines[line];
    return Unquoted(text.mid(text.indexOf(u'=') + 1));
}

void IniText::Write(const QString& section, const QString& key, const QString& value)
{
    CheckEntry(section, key, value);
    const QString line = key.trimmed() + u'=' + value;
    int first = 0;
    int end = 0;
    if (!FindSection(section, first, end)) {
        if (!FLines.isEmpty() && !FLines.back().trimmed().isEmpty())
            FLines.append(QString());
        FLines.append(u'[' + section.trimmed() + u']');
        FLines.append(line);
        return;
    }
    const int found = FindKey(first, end, key);
    if (found >= 0) {
        FLines[found] = line;
        return;
    }
    // After the section's last line that is not blank.
    int at = end;
    while (at > first && FLines[at - 1].trimmed().isEmpty())
        --at;
    FLines.insert(at, line);
}

void IniText::DeleteKey(const QString& section, const QString& key)
{
    int first = 0;
    int end = 0;
    if (!FindSection(section, first, end))
        return;
    const int found = FindKey(first, end, key);
    if (found >= 0)
        FLines.removeAt(found);
}

void IniText::EraseSection(const QString& section)
{
    int first = 0;
    int end = 0;
    while (FindSection(section, first, end))
        FLines.remove(first - 1, end - first + 1);
}

QStringList IniText::Sections() const
{
    QStringList sections;
    for (const QString& line : FLines) {
        if (const std::optional<QString> name = SectionOf(line)) {
            bool known = false;
            for (const QString& s : sections)
                known = known || SameName(s, *name);
            if (!known)
                sections.append(*name);
        }
    }
    return sections;
}

QStringList IniText::Keys(const QString& section) const
{
    QStringList keys;
    int first = 0;
    int end = 0;
    if (!FindSection(section, first, end))
        return keys;
    QString name;
    qsizetype separator = 0;
    for (int i = first; i < end; ++i) {
        if (KeyOf(FLines[i], name, separator))
            keys.append(name);
    }
    return keys;
}

QStringList IniText::SectionValues(const QString& section) const
{
    QStringList values;
    int first = 0;
    int end = 0;
    if (!FindSection(section, first, end))
        return values;
    QString name;
    qsizetype separator = 0;
    for (int i = first; i < end; ++i) {
        if (KeyOf(FLines[i], name, separator))
            values.append(name + u'=' + Unquoted(FLines[i].mid(separator + 1)));
    }
    return values;
}

// --- TCustomIniFile -------------------------------------------------------------------------

const ScriptClassInfo& ScriptCustomIniFile::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TCustomIniFile"), &ScriptPlainObject::ObjectClass()};
    return info;
}

ScriptCustomIniFile::ScriptCustomIniFile(const QString& fileName, const FileAccessPolicy& policy)
    : FFileName(fileName), FPolicy(policy)
{
}

IniText ScriptCustomIniFile::Current() const
{
    return ReadFile();
}

void ScriptCustomIniFile::Store(const IniText& text)
{
    WriteFile(text);
}

void ScriptCustomIniFile::CheckWrite() const
{
    FPolicy.Check(FFileName, FileAccessMode::Create);
}

void ScriptCustomIniFile::Edit(const std::function<void(IniText& text)>& change)
{
    CheckWrite();
    IniText text = Current();
    change(text);
    Store(text);
}

IniText ScriptCustomIniFile::ReadFile() const
{
    FPolicy.Check(FFileName, FileAccessMode::Read);
    IniText text;
    // A file that is not there reads as an empty one, as the desktop's ini functions do.
    if (!QFileInfo::exists(FFileName))
        return text;
    QByteArray data = FPolicy.ReadFile(FFileName, kMaxFileBytes);
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    text.Load(QString::fromUtf8(data));
    return text;
}

void ScriptCustomIniFile::WriteFile(const IniText& text) const
{
    FPolicy.WriteFile(FFileName, text.Save().toUtf8());
}

std::optional<QString> ScriptCustomIniFile::ReadValue(const QString& section, const QString& key) const
{
    return Current().Read(section, key);
}

QString ScriptCustomIniFile::ReadString(const QString& section, const QString& key, const QString& def) const
{
    return ReadValue(section, key).value_or(def);
}

void ScriptCustomIniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    Edit([&](IniText& text) { text.Write(section, key, value); });
}

void ScriptCustomIniFile::DeleteKey(const QString& section, const QString& key)
{
    Edit([&](IniText& text) { text.DeleteKey(section, key); });
}

void ScriptCustomIniFile::EraseSection(const QString& section)
{
    Edit([&](IniText& text) { text.EraseSection(section); });
}

// --- TMemIniFile, TIniFile ------------------------------------------------------------------

const ScriptClassInfo& ScriptMemIniFile::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TMemIniFile"), &ScriptCustomIniFile::Class()};
    return info;
}

ScriptMemIniFile::ScriptMemIniFile(const QString& fileName, const FileAccessPolicy& policy)
    : ScriptCustomIniFile(fileName, policy)
{
    // Without a name it is an ini text in memory only.
    if (!fileName.isEmpty())
        FText = ReadFile();
}

const ScriptClassInfo& ScriptIniFile::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TIniFile"), &ScriptCustomIniFile::Class()};
    return info;
}

void ScriptMemIniFile::CountMemory(ScriptMemoryCounter& counter) const
{
    counter.AddBytes(kScriptObjectBytes);
    for (const QString& line : FText.Lines())
        counter.AddText(line);
}
