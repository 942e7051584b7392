#pragma once

#include "report/core/Variant.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <functional>
#include <utility>
#include <initializer_list>
#include <map>
#include <vector>

class QIODevice;

// Language resource files larger than this are not read.
inline constexpr qint64 kMaxResourceFileBytes = qint64{16} * 1024 * 1024;

// The user-interface texts of the report subsystems, looked up by name ("mbError", "clPageOf",
// "101"). The table is filled from resource documents: the built-in blocks that ModelRuntime
// adds at start-up, blocks other libraries add, and language files. Of several texts added
// under one name (names compared ignoring case) the last one wins.
//
// A resource document is a report XML document with the root "Resources" (exact name; any
// other root adds nothing) carrying a decimal "CodePage", and children "StrRes" (other
// children are ignored) with "Name" and "Text"; the text is unescaped twice, so a character
// reference that must survive is written double-escaped. In an old-format document the text is
// UTF-8 bytes and decoded once more.
class TrpResources {
public:
    TrpResources();

    // The text of a name, or the name itself when it has none; a leading "!" is removed from
    // either. Never fails.
    QString Get(QStringView name) const;
    // Get of the decimal text of the number (101 looks up "101").
    QString GetResourceTextById(int id) const;

    // Adds the text of a name, or replaces it in place.
    void AddW(const QString& name, const QString& text);
    void Add(const QString& name, const QString& text) { AddW(name, text); }
    // Lines "name=value", split at the first "="; lines with an empty name or value are skipped.
    void AddStrings(QStringView text);
    // A resource document in UTF-8 bytes (see LoadFromStream).
    void AddXML(QByteArrayView document);
    // Loads a resource document and then refreshes the script engine's messages. A document
    // whose root is no "Resources" adds nothing. "Invalid file format" and a "CodePage" that
    // is no number raise (the texts read before stay).
    void LoadFromStream(QIODevice& stream);
    // A missing file is ignored without a message; one that is no regular file or is larger
    // than kMaxResourceFileBytes raises "Cannot open file ...".
    void LoadFromFile(const QString& fileName);
    // Gives the script engine its seventeen messages from the table (the name itself where the
    // table has no text).
    void UpdateSCResources() const;
    // Empties the table.
    void Clear();

    // How many names the table holds.
    int Count() const { return static_cast<int>(names_.size()); }
    // The code page named by the last resource document loaded.
    uint32_t CodePage() const { return codePage_; }
    // The language files ("*.zrc") found beside the program: file names lower-cased with the
    // first letter upper-cased and ".zrc" removed, sorted.
    const QStringList& Languages() const { return languages_; }
    // Looks for the language files again, in `folder` (the program's folder when empty).
    void ScanLanguages(const QString& folder);
    // Called with every name Get finds no text for (tests walk the windows with it to find the
    // keys that would show themselves); an empty function stops it.
    void SetMissingTextObserver(std::function<void(QStringView name)> observer)
    {
        missingTextObserver_ = std::move(observer);
    }

    // The folder the language files were looked for in.
    const QString& LanguagesFolder() const { return languagesFolder_; }
    const QString& HelpFile() const { return helpFile_; }
    void SetHelpFile(const QString& helpFile) { helpFile_ = helpFile; }
    // The help topic of a window class ("::/Designer.htm" for "TrpDesignerForm"), empty for a
    // class without one.
    static QString HelpTopic(QStringView className);
    // Opens the help at the topic of the class through the user-interface service (there is
    // no help file here, so nothing is shown).
    void Help(QStringView senderClassName) const;

private:
    struct NameLess {
        bool operator()(const QString& a, const QString& b) const
        {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        }
    };

    void ScanLanguages() { ScanLanguages(QString()); }

    std::map<QString, int, NameLess> names_; // name -> index into values_
    std::vector<QString> values_;            // texts in order of first addition
    QStringList languages_;
    QString languagesFolder_;
    QString helpFile_;
    uint32_t codePage_ = 0;
    std::function<void(QStringView name)> missingTextObserver_;
};

// The one table of the process, created on first use with the built-in blocks already read,
// so that the texts are at hand wherever they are needed, before ModelRuntime::init too.
TrpResources& GetResourcesInstance();

// A resource text with its "%s" and "%d" placeholders filled from the values, as the
// run-time library's Format does; a text that does not fit its values (a broken language file)
// gives the text followed by the values instead of failing.
QString FormatResource(const QString& text, std::initializer_list<Variant> values);

// The text of the resource `name` of the one table, its placeholders filled from the values:
// how the model gives every text it shows or raises.
QString ResourceText(QStringView name, std::initializer_list<Variant> values = {});
