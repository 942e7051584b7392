#include "rpWideStrings.h"

#include "rpRes.h"
#include "rpStreams.h"
#include "rpTaggedValues.h"

#include "report/core/Charsets.h"
#include "report/script/sc_iconsts.h"

#include <QFile>
#include <QIODevice>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>

namespace {

constexpr char16_t kLineSeparator = 0x2028;

QString Utf16LittleEndian(QByteArrayView bytes)
{
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) | static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
    return text;
}

} // namespace

int TrpWideStrings::Add(const QString& text)
{
    entries_.push_back({text, 0});
    return Count() - 1;
}

int TrpWideStrings::AddObject(const QString& text, int32_t value)
{
    const int index = Add(text);
    PutObject(index, value);
    return index;
}

void TrpWideStrings::AddStrings(const TrpWideStrings& strings)
{
    if (&strings == this) {
        const std::vector<Entry> copy = entries_;
        entries_.insert(entries_.end(), copy.begin(), copy.end());
        return;
    }
    entries_.insert(entries_.end(), strings.entries_.begin(), strings.entries_.end());
}

QString TrpWideStrings::Strings(int index) const
{
    return index >= 0 && index < Count() ? entries_[static_cast<size_t>(index)].Text : QString();
}

int32_t TrpWideStrings::Objects(int index) const
{
    return index >= 0 && index < Count() ? entries_[static_cast<size_t>(index)].Value : 0;
}

void TrpWideStrings::PutObject(int index, int32_t value)
{
    if (index >= 0 && index < Count())
        entries_[static_cast<size_t>(index)].Value = value;
}

void TrpWideStrings::Insert(int index, const QString& text)
{
    if (index >= 0 && index < Count())
        entries_[static_cast<size_t>(index)].Text = text;
    else if (index == Count())
        Add(text);
    else
        throw platform::Exception(ResourceText(u"wsOutOfBounds").toStdString());
}

void TrpWideStrings::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw platform::Exception(FormatScMessage(TscMessage::SListIndexError, QString::number(index)).toStdString());
    entries_.erase(entries_.begin() + index);
}

int TrpWideStrings::IndexOf(QStringView text) const
{
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].Text == text)
            return static_cast<int>(i);
    return -1;
}

void TrpWideStrings::Assign(const TrpWideStrings& source)
{
    if (&source != this)
        entries_ = source.entries_;
}

void TrpWideStrings::Assign(const QStringList& source)
{
    entries_.clear();
    for (const QString& line : source)
        Add(line);
}

void TrpWideStrings::AssignTo(QStringList& destination) const
{
    destination.clear();
    for (const Entry& entry : entries_)
        destination.append(entry.Text);
}

QString TrpWideStrings::Text() const
{
    QString text;
    for (const Entry& entry : entries_) {
        text += entry.Text;
        text += u"\r\n";
    }
    return text;
}

void TrpWideStrings::SetText(QStringView text)
{
    entries_.clear();
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i] != QChar(0)) {
        const qsizetype start = i;
        while (i < n && text[i] != QChar(0) && text[i] != u'\r' && text[i] != u'\n' && text[i] != QChar(kLineSeparator))
            ++i;
        Add(text.mid(start, i - start).toString());
        if (i < n && text[i] == u'\r')
            ++i;
        if (i < n && text[i] == u'\n')
            ++i;
        if (i < n && text[i] == QChar(kLineSeparator))
            ++i;
    }
}

void TrpWideStrings::SaveToStream(QIODevice& stream) const
{
    const QString text = Text();
    QByteArray bytes;
    bytes.reserve(2 + 2 * text.size());
    bytes.append("\xFF\xFE", 2);
    for (const QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    WriteAllBytes(stream, bytes);
}

void TrpWideStrings::SaveToFile(const QString& fileName) const
{
    SaveFileAtomically(fileName, [&](QIODevice& file) { SaveToStream(file); });
}

void TrpWideStrings::LoadFromStream(QIODevice& stream)
{
    const QByteArray bytes = ReadRemainingBytes(stream, kMaxWideStringsStreamSize);
    const QByteArrayView view(bytes);
    if (view.startsWith("\xFF\xFE"))
        SetText(Utf16LittleEndian(view.sliced(2)));
    else if (view.startsWith("\xEF\xBB\xBF"))
        SetText(QString::fromUtf8(view.sliced(3)));
    else
        SetText(QString::fromUtf8(view));
}

void TrpWideStrings::LoadFromFile(const QString& fileName)
{
    ReadFileWith(fileName, [this](QIODevice& file) { LoadFromStream(file); }, kMaxWideStringsStreamSize);
}

void TrpWideStrings::LoadFromWStream(QIODevice& stream)
{
    SetText(Utf16LittleEndian(ReadRemainingBytes(stream, kMaxWideStringsStreamSize)));
}

bool TrpWideStrings::ReadDefinedProperty(QStringView name, TrpValueReader& reader)
{
    enum class Form { Strings, Utf8, Utf8W };
    Form form;
    if (name.compare(u"Strings", Qt::CaseInsensitive) == 0)
        form = Form::Strings;
    else if (name.compare(u"UTF8", Qt::CaseInsensitive) == 0)
        form = Form::Utf8;
    else if (name.compare(u"UTF8W", Qt::CaseInsensitive) == 0)
        form = Form::Utf8W;
    else
        return false;
    TrpWideStrings read;
    reader.ReadListBegin();
    while (!reader.EndOfList())
        read.Add(form == Form::Utf8 ? QString::fromUtf8(reader.ReadString8()) : reader.ReadString());
    reader.ReadListEnd();
    entries_ = std::move(read.entries_);
    return true;
}

void TrpWideStrings::WriteDefinedProperties(TrpValueWriter& writer) const
{
    if (entries_.empty())
        return;
    writer.WritePropName(u"UTF8W");
    writer.WriteListBegin();
    for (const Entry& entry : entries_)
        writer.WriteString(entry.Text);
    writer.WriteListEnd();
}

// ---------------------------------------------------------------------------------------------
// Code pages

int CharsetToCodePage(uint8_t charset)
{
    switch (charset) {
    case DEFAULT_CHARSET:
        return kSystemAnsiCodePage;
    case MAC_CHARSET:
        return CP_MACCP;
    case OEM_CHARSET:
        return CP_OEMCP;
    default:
        break;
    }
    const CharsetInfo* info = FindCharset(charset);
    if (!info)
        throw win_error(EINVAL);
    return info->CodePage;
}

QString AnsiToWideByCharset(QByteArrayView text, uint8_t charset, int codePage)
{
    if (text.isEmpty())
        return {};
    const int page = ResolveCodePage(codePage == 0 ? CharsetToCodePage(charset) : codePage);
    if (page == CP_SYMBOL) {
        // Control codes stay, every other byte goes to the private-use symbol block.
        QString out(text.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const uint8_t byte = static_cast<uint8_t>(text[i]);
            out[i] = QChar(static_cast<char16_t>(byte < 0x20 ? byte : 0xF000 + byte));
        }
        return out;
    }
    const char* codec = CodePageCodecName(page);
    if (!codec)
        return {};
    QStringDecoder decoder(codec);
    if (!decoder.isValid())
        return {};
    return QString(decoder.decode(text));
}

QByteArray WideToAnsiByCharset(QStringView text, uint8_t charset, int codePage)
{
    if (text.isEmpty())
        return {};
    const int page = ResolveCodePage(codePage == 0 ? CharsetToCodePage(charset) : codePage);
    if (page == CP_SYMBOL) {
        QByteArray out(text.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            out[i] = static_cast<char>(c < 0x20 ? c : c >= 0xF020 && c <= 0xF0FF ? c - 0xF000 : '?');
        }
        return out;
    }
    const char* codec = CodePageCodecName(page);
    if (!codec)
        return {};
    QStringEncoder encoder(codec);
    if (!encoder.isValid())
        return {};
    return QByteArray(encoder.encode(text));
}

QByteArray OemToAnsiText(QByteArrayView text)
{
    // Both code pages give one character per byte, and a character Windows-1251 lacks
    // becomes one '?', so the length stays.
    QStringDecoder decoder(CodePageCodecName(kSystemOemCodePage));
    const QString wide = decoder.decode(text);
    return StringToAnsi(wide);
}

int CharsetToLocale(uint8_t charset)
{
    const CharsetInfo* info = FindCharset(charset);
    return info && info->Locale != 0 ? info->Locale : kSystemLocale;
}
