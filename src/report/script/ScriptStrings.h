#pragma once

// Lists of lines with the Pascal class library's semantics: TStrings, the abstract list that
// controls (a list box's items, a memo's lines) implement over their own storage, and
// ScriptStringList (TStringList), a list of its own that can be sorted.
//
// Texts: Text joins the lines with CR LF after each line and reads lines ended by CR LF, LF or
// CR; CommaText writes an item in double quotes when it holds a blank, a control character, a
// comma or a quote (quotes doubled) and reads items separated by commas or blanks; Names and
// Values split a line at its first "=". Indexes outside the list raise EStringListError
// "List index (N) out of bounds".

#include "ScriptObjects.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

class QIODevice;

// The lines of a text, each ended by CR LF, LF or CR (a break at the very end starts no line).
QStringList SplitTextLines(const QString& text);

class ScriptStrings : public ScriptObject, public ScriptPersistent {
public:
    static const ScriptClassInfo& Class(); // TStrings

    // Lines a list may hold (more raise EStringListError "List capacity (N) exceeded").
    static constexpr int kMaxCount = 4 * 1024 * 1024;

    // The storage, as a subclass keeps it. Indexes are checked before these are called.
    virtual int Count() const = 0;
    virtual QString Get(int index) const = 0;
    virtual uint32_t GetObject(int index) const;
    virtual void Put(int index, const QString& text);
    virtual void PutObject(int index, uint32_t object);
    virtual void InsertItem(int index, const QString& text, uint32_t object) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    // Checked access and the operations of TStrings.
    QString Strings(int index) const;
    void SetStrings(int index, const QString& text);
    uint32_t Objects(int index) const;
    void SetObjects(int index, uint32_t object);
    void DeleteAt(int index);
    virtual int Add(const QString& text);
    virtual int AddObject(const QString& text, uint32_t object);
    virtual void Insert(int index, const QString& text);
    virtual void InsertObject(int index, const QString& text, uint32_t object);
    virtual int IndexOf(const QString& text) const;
    int IndexOfName(const QString& name) const;
    int IndexOfObject(uint32_t object) const;
    virtual void Move(int curIndex, int newIndex);
    // The part of line index before its first "=" (empty when it has none).
    QString Names(int index) const;
    QString Values(const QString& name) const;
    void SetValues(const QString& name, const QString& value);

    QString Text() const;
    // Lines read into a sorted list are added one by one, sorted, under the Duplicates rule.
    void SetText(const QString& text);
    QString CommaText() const;
    void SetCommaText(const QString& text);
    QStringList Lines() const;
    // Replaces every line (objects cleared).
    void SetLines(const QStringList& lines);

    // Reads the stream from its position to its end as UTF-8 text (a byte-order mark skipped);
    // writes Text as UTF-8.
    void LoadFromStream(QIODevice& stream);
    void SaveToStream(QIODevice& stream) const;
    void LoadFromBytes(const QByteArray& bytes);
    QByteArray SaveToBytes() const;

    bool AssignFrom(ScriptObject& source) override;

    // Texts a list reads from a stream or a file at most (bytes).
    static constexpr qint64 kMaxTextBytes = 64 * 1024 * 1024;

protected:
    void CheckIndex(int index, int count) const;
    void CheckCapacity() const;
    // Compares as the list does (case-insensitively).
    virtual int CompareStrings(const QString& a, const QString& b) const;
};

// TStringList: lines with objects in memory, optionally sorted (then kept sorted, with the
// Duplicates rule for equal lines). Find on a list that is not sorted searches line by line.
class ScriptStringList : public ScriptStrings {
public:
    static const ScriptClassInfo& Class(); // TStringList
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    enum Duplicates : int { dupIgnore, dupAccept, dupError };

    int Count() const override { return static_cast<int>(FItems.size()); }
    QString Get(int index) const override { return FItems[static_cast<size_t>(index)].first; }
    uint32_t GetObject(int index) const override { return FItems[static_cast<size_t>(index)].second; }
    void Put(int index, const QString& text) override;
    void PutObject(int index, uint32_t object) override { FItems[static_cast<size_t>(index)].second = object; }
    void InsertItem(int index, const QString& text, uint32_t object) override;
    void Delete(int index) override;
    void Clear() override { FItems.clear(); }

    int AddObject(const QString& text, uint32_t object) override;
    void InsertObject(int index, const QString& text, uint32_t object) override;
    int IndexOf(const QString& text) const override;
    void Move(int curIndex, int newIndex) override;
    void CountMemory(ScriptMemoryCounter& counter) const override;

    // Whether the text is in the list; index is where it is, or where it would be inserted.
    bool Find(const QString& text, int& index) const;
    void Sort();
    bool Sorted() const { return FSorted; }
    void SetSorted(bool sorted);
    int DuplicatesMode() const { return FDuplicates; }
    void SetDuplicates(int mode);

private:
    std::vector<std::pair<QString, uint32_t>> FItems;
    bool FSorted = false;
    int FDuplicates = dupIgnore;
};
