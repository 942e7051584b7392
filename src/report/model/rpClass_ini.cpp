#include "rpClass_ini.h"

#include "rpClass_report.h"
#include "rpStreams.h"
#include "rpUtils.h"

#include "platform/RegistryStore.h"
#include "report/core/FormatSettings.h"
#include "report/core/InputFiles.h"
#include "report/core/NumberText.h"
#include "report/script/ScriptIniFiles.h"

#include <QFile>
#include <QFileInfo>

#include <limits>

bool TrpIniFile::ReadBool(const QString& section, const QString& name, bool fallback)
{
    return ReadInteger(section, name, fallback ? 1 : 0) != 0;
}

void TrpIniFile::WriteBool(const QString& section, const QString& name, bool value)
{
    WriteInteger(section, name, value ? 1 : 0);
}

double TrpIniFile::ReadFloat(const QString& section, const QString& name, double fallback)
{
    const QString text = ReadString(section, name, QString());
    if (text.isEmpty())
        return fallback;
    try {
        return ParseLocaleFloat(text);
    } catch (const platform::Exception&) {
        return fallback;
    }
}

void TrpIniFile::WriteFloat(const QString& section, const QString& name, double value)
{
    WriteString(section, name, FloatToGeneralText(value, 15, FormatSettings::C()));
}

QString RegistryKeyOfSection(const QString& rootKey, const QString& section)
{
    return rootKey + u'\\' + section;
}

namespace {

class RegistryIniFile : public TrpIniFile {
public:
    explicit RegistryIniFile(const QString& rootKey) : root_(rootKey), store_(platform::RegistryStore::CurrentUser()) {}

    QString ReadString(const QString& section, const QString& name, const QString& fallback) override
    {
        if (!store_.ValueExists(Key(section), name.toStdString()))
            return fallback;
        return QString::fromStdString(store_.ReadString(Key(section), name.toStdString(), fallback.toStdString()));
    }
    void WriteString(const QString& section, const QString& name, const QString& value) override
    {
        store_.WriteString(Key(section), name.toStdString(), value.toStdString());
    }
    int32_t ReadInteger(const QString& section, const QString& name, int32_t fallback) override
    {
        return store_.ReadInteger(Key(section), name.toStdString(), fallback);
    }
    void WriteInteger(const QString& section, const QString& name, int32_t value) override
    {
        store_.WriteInteger(Key(section), name.toStdString(), value);
    }
    bool SectionExists(const QString& section) override { return store_.KeyExists(Key(section)); }
    bool ValueExists(const QString& section, const QString& name) override
    {
        return store_.ValueExists(Key(section), name.toStdString());
    }
    void DeleteKey(const QString& section, const QString& name) override
    {
        store_.DeleteValue(Key(section), name.toStdString());
    }
    void EraseSection(const QString& section) override { store_.DeleteKey(Key(section)); }
    void UpdateFile() override {}

private:
    std::string Key(const QString& section) const { return RegistryKeyOfSection(root_, section).toStdString(); }

    QString root_;
    platform::RegistryStore store_;
};

// Ini files larger than this are not read.
constexpr qint64 kMaxIniFileBytes = 16 * 1024 * 1024;

class MemIniFile : public TrpIniFile {
public:
    // Held in memory only: filled from ini text and never written.
    struct FromText {};
    MemIniFile(FromText, const QString& text) : inMemory_(true) { text_.Load(text); }
    explicit MemIniFile(const QString& fileName) : fileName_(fileName)
    {
        // A file that cannot be read (missing, not a regular file, too large) starts empty.
        QByteArray bytes;
        QString reason;
        if (ReadInputFile(fileName, kMaxIniFileBytes, bytes, reason))
            text_.Load(QString::fromUtf8(bytes));
    }
    ~MemIniFile() override
    {
        try {
            UpdateFile();
        } catch (const platform::Exception&) {
            // A store that cannot be written keeps the old file; releasing it never fails.
        }
    }

    QString ReadString(const QString& section, const QString& name, const QString& fallback) override
    {
        return text_.Read(section, name).value_or(fallback);
    }
    void WriteString(const QString& section, const QString& name, const QString& value) override
    {
        text_.Write(section, name, value);
        changed_ = true;
    }
    int32_t ReadInteger(const QString& section, const QString& name, int32_t fallback) override
    {
        const std::optional<QString> text = text_.Read(section, name);
        int64_t value = 0;
        if (!text || !TextToInt64(*text, value) || value < std::numeric_limits<int32_t>::min() ||
            value > std::numeric_limits<int32_t>::max())
            return fallback;
        return static_cast<int32_t>(value);
    }
    void WriteInteger(const QString& section, const QString& name, int32_t value) override
    {
        WriteString(section, name, QString::number(value));
    }
    bool SectionExists(const QString& section) override { return text_.SectionExists(section); }
    bool ValueExists(const QString& section, const QString& name) override { return text_.ValueExists(section, name); }
    void DeleteKey(const QString& section, const QString& name) override
    {
        text_.DeleteKey(section, name);
        changed_ = true;
    }
    void EraseSection(const QString& section) override
    {
        text_.EraseSection(section);
        changed_ = true;
    }
    void UpdateFile() override
    {
        if (!changed_ || inMemory_)
            return;
        const QByteArray bytes = text_.Save().toUtf8();
        SaveFileAtomically(fileName_, [&](QIODevice& out) { WriteAllBytes(out, bytes); });
        changed_ = false;
    }

private:
    QString fileName_;
    IniText text_;
    bool changed_ = false;
    bool inMemory_ = false;
};

} // namespace

std::unique_ptr<TrpIniFile> CreateRegistryIniFile(const QString& rootKey)
{
    return std::make_unique<RegistryIniFile>(rootKey);
}

std::unique_ptr<TrpIniFile> CreateMemIniFile(const QString& fileName)
{
    return std::make_unique<MemIniFile>(fileName);
}

std::unique_ptr<TrpIniFile> CreateTextIniFile(const QString& text)
{
    return std::make_unique<MemIniFile>(MemIniFile::FromText{}, text);
}

std::unique_ptr<TrpIniFile> TrpReport::GetIniFile() const
{
    if (IniFile.startsWith(QLatin1String("\\Software\\")))
        return CreateRegistryIniFile(IniFile);
    return CreateMemIniFile(IniFile);
}
