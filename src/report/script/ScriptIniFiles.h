#pragma once

// Ini files: TCustomIniFile, TMemIniFile (the whole file in memory, read once) and TIniFile
// (the file itself, read for every question and written at once for every change). Our own
// reader and writer: sections and keys compare case-insensitively, values are trimmed and a
// pair of surrounding quotes is removed when read, lines end with CR LF (CR LF or LF read),
// the text is UTF-8, and every write replaces the file atomically. Comments and the layout of
// the lines that are not touched stay as they were.

#include "ScriptObjects.h"

#include "report/core/FileAccess.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The lines of an ini file, edited in place.
class IniText {
public:
    // Reads lines ended by CR LF, LF or CR.
    void Load(const QString& text);
    // Every line followed by CR LF.
    QString Save() const;
    const QStringList& Lines() const { return FLines; }
    void SetLines(const QStringList& lines) { FLines = lines; }
    void Clear() { FLines.clear(); }

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    // The value, trimmed and unquoted; none when the key is absent.
    std::optional<QString> Read(const QString& section, const QString& key) const;
    // Replaces the key's line or adds one at the end of its section (the section added at the
    // end when absent). EIniFileException for a section, key or value that would not read
    // back as itself (line breaks, "]" in a section, "=" in a key, a key that would read as a
    // section or comment).
    void Write(const QString& section, const QString& key, const QString& value);
    void DeleteKey(const QString& section, const QString& key);
    // Removes the section with its lines.
    void EraseSection(const QString& section);
    QStringList Sections() const;
    QStringList Keys(const QString& section) const;
    // "key=value" of each key of the section, in order.
    QStringList SectionValues(const QString& section) const;

private:
    // Line range of a section's contents: [first, end); false when absent.
    bool FindSection(const QString& section, int& first, int& end) const;
    int FindKey(int first, int end, const QString& key) const;

    QStringList FLines;
};

class ScriptCustomIniFile : public ScriptObject {
public:
    static const ScriptClassInfo& Class(); // TCustomIniFile
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    // The policy is the creating script's; it outlives the object (objects go with the script).
    ScriptCustomIniFile(const QString& fileName, const FileAccessPolicy& policy);

    const QString& FileName() const { return FFileName; }

    // The file's text: read from the file (TIniFile) or the lines in memory (TMemIniFile).
    virtual IniText Current() const;
    // Stores a changed text: into the file (TIniFile) or memory (TMemIniFile).
    virtual void Store(const IniText& text);
    // Changes the text: a file is first checked for writing (so a refused write says so), then
    // read, changed and written back.
    void Edit(const std::function<void(IniText& text)>& change);

    std::optional<QString> ReadValue(const QString& section, const QString& key) const;
    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    void WriteString(const QString& section, const QString& key, const QString& value);
    void DeleteKey(const QString& section, const QString& key);
    void EraseSection(const QString& section);

    // Files an ini file reads at most (bytes).
    static constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

protected:
    // Refuses a write the policy does not allow (files only).
    virtual void CheckWrite() const;
    // The file's text, read under the policy (none when the file does not exist).
    IniText ReadFile() const;
    // Writes the text over the file, atomically, under the policy.
    void WriteFile(const IniText& text) const;

    QString FFileName;
    const FileAccessPolicy& FPolicy;
};

// TMemIniFile: the file read once when created; changes stay in memory.
class ScriptMemIniFile : public ScriptCustomIniFile {
public:
    static const ScriptClassInfo& Class(); // TMemIniFile
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    ScriptMemIniFile(const QString& fileName, const FileAccessPolicy& policy);

    IniText Current() const override { return FText; }
    void Store(const IniText& text) override { FText = text; }
    void CountMemory(ScriptMemoryCounter& counter) const override;

protected:
    void CheckWrite() const override {}

public:
    void Clear() { FText.Clear(); }
    IniText& Text() { return FText; }

private:
    IniText FText;
};

// TIniFile: every question reads the file, every change writes it.
class ScriptIniFile : public ScriptCustomIniFile {
public:
    static const ScriptClassInfo& Class(); // TIniFile
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    using ScriptCustomIniFile::ScriptCustomIniFile;

    IniText Current() const override { return ReadFile(); }
    void Store(const IniText& text) override { WriteFile(text); }
};
