#include "ScriptStrings.h"
#include "sc_iconsts.h"
#include "report/core/Texts.h"

#include "report/core/ScriptErrors.h"
#include "report/core/Variant.h"

#include <QIODevice>

#include <algorithm>

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

// Whether an item must be quoted in CommaText: it holds a control character or blank, the
// quote or the comma.
bool NeedsQuotes(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() <= u' ' || c == u'"' || c == u',')
            return true;
    }
    return false;
}

QString Quoted(const QString& text)
{
    QString result = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"')
            result += u'"';
        result += c;
    }
    result += u'"';
    return result;
}

} // namespace

QStringList SplitTextLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype length = text.size();
    while (start < length) {
        qsizetype end = start;
        while (end < length && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        lines.append(text.mid(start, end - start));
        if (end < length && text[end] == u'\r') {
            ++end;
            if (end < length && text[end] == u'\n')
                ++end;
        } else if (end < length) {
            ++end;
        }
        start = end;
    }
    return lines;
}

// --- TStrings -------------------------------------------------------------------------------

const ScriptClassInfo& ScriptStrings::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TStrings"), &ScriptPlainObject::PersistentClass()};
    return info;
}

uint32_t ScriptStrings::GetObject(int) const
{
    return 0;
}

void ScriptStrings::Put(int index, const QString& text)
{
    const uint32_t object = GetObject(index);
    Delete(index);
    InsertItem(index, text, object);
}

void ScriptStrings::PutObject(int, uint32_t) {}

void ScriptStrings::CheckIndex(int index, int count) const
{
    if (index < 0 || index >= count)
        throw EStringListError(ScErrorText(TscMessage::SListIndexError, {QString::number(index)}));
}

void ScriptStrings::CheckCapacity() const
{
    if (Count() >= kMaxCount)
        throw EStringListError(ScErrorText(TscMessage::SListCapacityError, {QString::number(kMaxCount)}));
}

int ScriptStrings::CompareStrings(const QString& a, const QString& b) const
{
    return QString::compare(a, b, Qt::CaseInsensitive);
}

QString ScriptStrings::Strings(int index) const
{
    CheckIndex(index, Count());
    return Get(index);
}

void ScriptStrings::SetStrings(int index, const QString& text)
{
    CheckIndex(index, Count());
    CheckStringLength(text.size());
    Put(index, text);
}

uint32_t ScriptStrings::Objects(int index) const
{
    CheckIndex(index, Count());
    return GetObject(index);
}

void ScriptStrings::SetObjects(int index, uint32_t object)
{
    CheckIndex(index, Count());
    PutObject(index, object);
}

void ScriptStrings::DeleteAt(int index)
{
    CheckIndex(index, Count());
    Delete(index);
}

int ScriptStrings::Add(const QString& text)
{
    return AddObject(text, 0);
}

int ScriptStrings::AddObject(const QString& text, uint32_t object)
{
    const int index = Count();
    InsertObject(index, text, object);
    return index;
}

void ScriptStrings::Insert(int index, const QString& text)
{
    InsertObject(index, text, 0);
}

void ScriptStrings::InsertObject(int index, const QString& text, uint32_t object)
{
    CheckIndex(index, Count() + 1);
    CheckCapacity();
    CheckStringLength(text.size());
    InsertItem(index, text, object);
}

int ScriptStrings::IndexOf(const QString& text) const
{
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        if (CompareStrings(Get(i), text) == 0)
            return i;
    }
    return -1;
}

int ScriptStrings::IndexOfName(const QString& name) const
{
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        const QString line = Get(i);
        const qsizetype separator = line.indexOf(u'=');
        if (separator >= 0 && CompareStrings(line.left(separator), name) == 0)
            return i;
    }
    return -1;
}

int ScriptStrings::IndexOfObject(uint32_t object) const
{
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        if (GetObject(i) == object)
            return i;
    }
    return -1;
}

void ScriptStrings::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    CheckIndex(curIndex, Count());
    CheckIndex(newIndex, Count());
    const QString text = Get(curIndex);
    const uint32_t object = GetObject(curIndex);
    Delete(curIndex);
    InsertItem(newIndex, text, object);
}

QString ScriptStrings::Names(int index) const
{
    const QString line = Strings(index);
    const qsizetype separator = line.indexOf(u'=');
    return separator < 0 ? QString() : line.left(separator);
}

QString ScriptStrings::Values(const QString& name) const
{
    const int index = IndexOfName(name);
    if (index < 0)
        return QString();
    const QString line = Get(index);
    return line.mid(line.indexOf(u'=') + 1);
}

void ScriptStrings::SetValues(const QString& name, const QString& value)
{
    const int index = IndexOfName(name);
    const QString line = name + u'=' + value;
    if (index < 0)
        Add(line);
    else
        SetStrings(index, line);
}

QString ScriptStrings::Text() const
{
    QString text;
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        const QString line = Get(i);
        CheckStringLength(text.size() + line.size() + kLineBreak.size());
        text += line;
        text += kLineBreak;
    }
    return text;
}

void ScriptStrings::SetText(const QString& text)
{
    SetLines(SplitTextLines(text));
}

QString ScriptStrings::CommaText() const
{
    const int count = Count();
    QString text;
    for (int i = 0; i < count; ++i) {
        const QString item = Get(i);
        const QString written = NeedsQuotes(item) ? Quoted(item) : item;
        CheckStringLength(text.size() + written.size() + 1);
        text += written;
        if (i < count - 1)
            text += u',';
    }
    // A list of one empty line is not the empty list.
    if (text.isEmpty() && count == 1)
        text = QStringLiteral("\"\"");
    return text;
}

void ScriptStrings::SetCommaText(const QString& text)
{
    QStringList items;
    const qsizetype length = text.size();
    qsizetype i = 0;
    bool notFirst = false;
    const auto isBlank = [&](qsizetype at) { return text[at].unicode() <= u' '; };
    while (i < length) {
        if (notFirst && i < length && text[i] == u',')
            ++i;
        while (i < length && isBlank(i))
            ++i;
        if (i < length) {
            if (text[i] == u'"') {
                // Quoted: up to the closing quote; a doubled quote stands for one.
                QString item;
                qsizetype j = i + 1;
                while (j < length) {
                    if (text[j] == u'"') {
                        if (j + 1 < length && text[j + 1] == u'"') {
                            item += u'"';
                            j += 2;
                            continue;
                        }
                        break;
                    }
                    item += text[j];
                    ++j;
                }
                items.append(item);
                i = j + 1;
            } else {
                qsizetype j = i;
                while (j < length && !isBlank(j) && text[j] != u',')
                    ++j;
                items.append(text.mid(i, j - i));
                i = j;
            }
        } else if (notFirst) {
            items.append(QString());
        }
        while (i < length && isBlank(i))
            ++i;
        notFirst = true;
    }
    SetLines(items);
}

QStringList ScriptStrings::Lines() const
{
    QStringList lines;
    const int count = Count();
    for (int i = 0; i < count; ++i)
        lines.append(Get(i));
    return lines;
}

void ScriptStrings::SetLines(const QStringList& lines)
{
    if (lines.size() > kMaxCount)
        throw EStringListError(ScErrorText(TscMessage::SListCapacityError, {QString::number(kMaxCount)}));
    Clear();
    for (const QString& line : lines)
        Add(line);
}

void ScriptStrings::LoadFromBytes(const QByteArray& bytes)
{
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    SetText(QString::fromUtf8(data));
}

QByteArray ScriptStrings::SaveToBytes() const
{
    return Text().toUtf8();
}

void ScriptStrings::LoadFromStream(QIODevice& stream)
{
    const QByteArray bytes = stream.read(kMaxTextBytes + 1);
    if (bytes.size() > kMaxTextBytes)
        throw EOutOfMemory();
    LoadFromBytes(bytes);
}

void ScriptStrings::SaveToStream(QIODevice& stream) const
{
    const QByteArray bytes = SaveToBytes();
    if (stream.write(bytes) != bytes.size())
        throw EWriteError();
}

bool ScriptStrings::AssignFrom(ScriptObject& source)
{
    auto* other = dynamic_cast<ScriptStrings*>(&source);
    if (other == nullptr)
        return false;
    if (other == this)
        return true;
    std::vector<std::pair<QString, uint32_t>> items;
    const int count = other->Count();
    for (int i = 0; i < count; ++i)
        items.emplace_back(other->Get(i), other->GetObject(i));
    Clear();
    for (const auto& [text, object] : items)
        AddObject(text, object);
    return true;
}

// --- TStringList ----------------------------------------------------------------------------

const ScriptClassInfo& ScriptStringList::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TStringList"), &ScriptStrings::Class()};
    return info;
}

void ScriptStringList::Put(int index, const QString& text)
{
    if (FSorted)
        throw EStringListError(ScErrorText(TscMessage::SSortedListOperation));
    FItems[static_cast<size_t>(index)].first = text;
}

void ScriptStringList::InsertItem(int index, const QString& text, uint32_t object)
{
    // A line is one more slot; its text was charged when it was made.
    ChargeScriptMemory(static_cast<int64_t>(sizeof(FItems[0])));
    FItems.insert(FItems.begin() + index, {text, object});
}

void ScriptStringList::CountMemory(ScriptMemoryCounter& counter) const
{
    counter.AddBytes(kScriptObjectBytes + static_cast<int64_t>(FItems.capacity() * sizeof(FItems[0])));
    for (const auto& item : FItems)
        counter.AddText(item.first);
}

void ScriptStringList::Delete(int index)
{
    FItems.erase(FItems.begin() + index);
}

int ScriptStringList::AddObject(const QString& text, uint32_t object)
{
    if (!FSorted)
        return ScriptStrings::AddObject(text, object);
    int index = 0;
    if (Find(text, index)) {
        if (FDuplicates == dupIgnore)
            return index;
        if (FDuplicates == dupError)
            throw EStringListError(ScErrorText(TscMessage::SDuplicatesNotAllowed));
    }
    CheckCapacity();
    CheckStringLength(text.size());
    InsertItem(index, text, object);
    return index;
}

void ScriptStringList::InsertObject(int index, const QString& text, uint32_t object)
{
    if (FSorted)
        throw EStringListError(ScErrorText(TscMessage::SSortedListOperation));
    ScriptStrings::InsertObject(index, text, object);
}

int ScriptStringList::IndexOf(const QString& text) const
{
    if (!FSorted)
        return ScriptStrings::IndexOf(text);
    int index = 0;
    return Find(text, index) ? index : -1;
}

void ScriptStringList::Move(int curIndex, int newIndex)
{
    if (FSorted)
        throw EStringListError(ScErrorText(TscMessage::SSortedListOperation));
    ScriptStrings::Move(curIndex, newIndex);
}

bool ScriptStringList::Find(const QString& text, int& index) const
{
    if (!FSorted) {
        // A list that is not sorted cannot be bisected: search it line by line.
        const int found = ScriptStrings::IndexOf(text);
        index = found >= 0 ? found : Count();
        return found >= 0;
    }
    bool result = false;
    int low = 0;
    int high = Count() - 1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const int order = CompareStrings(text, FItems[static_cast<size_t>(middle)].first);
        if (order > 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (order == 0) {
                result = true;
                // Equal lines accepted: the first of them; otherwise this one.
                if (FDuplicates != dupAccept)
                    low = middle;
            }
        }
    }
    index = low;
    return result;
}

void ScriptStringList::Sort()
{
    std::stable_sort(FItems.begin(), FItems.end(),
                     [this](const auto& a, const auto& b) { return CompareStrings(a.first, b.first) < 0; });
}

void ScriptStringList::SetSorted(bool sorted)
{
    if (sorted && !FSorted)
        Sort();
    FSorted = sorted;
}

void ScriptStringList::SetDuplicates(int mode)
{
    if (mode < dupIgnore || mode > dupError)
        throw ERangeError();
    FDuplicates = mode;
}
