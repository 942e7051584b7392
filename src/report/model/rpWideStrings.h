#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <vector>

class QIODevice;
class TrpValueReader;
class TrpValueWriter;

// Files and streams of wide string lists larger than this are refused (EReadError).
inline constexpr qint64 kMaxWideStringsStreamSize = qint64{256} * 1024 * 1024;

// A list of UTF-16 lines, each with a 32-bit value that the list never interprets (the text
// layout keeps paragraph flags in it). Memo texts, laid-out lines and resource texts live in
// it.
class TrpWideStrings {
public:
    int Add(const QString& text);                      // with value 0; returns the index
    int AddObject(const QString& text, int32_t value);
    void AddStrings(const TrpWideStrings& strings);    // with their values

    int Count() const { return static_cast<int>(entries_.size()); }
    // The line at `index`; an empty text outside 0..Count-1.
    QString Strings(int index) const;
    QString operator[](int index) const { return Strings(index); }
    // The value at `index`; 0 outside the list.
    int32_t Objects(int index) const;
    // Sets the value at `index`; nothing outside the list.
    void PutObject(int index, int32_t value);
    // Inside the list Insert replaces the line at `index` (keeping its value) instead of
    // shifting the lines after it, as this list has always done and its users rely on; at
    // Count it appends; anywhere else it raises "Wide String Out of Bounds". Put is the same.
    void Insert(int index, const QString& text);
    void Put(int index, const QString& text) { Insert(index, text); }
    // Removes the line; "List index (<index>) out of bounds" outside the list.
    void Delete(int index);
    void Clear() { entries_.clear(); }
    // The first line equal to the text (exact comparison), or -1.
    int IndexOf(QStringView text) const;

    void Assign(const TrpWideStrings& source);
    void Assign(const QStringList& source);            // values 0
    void AssignTo(QStringList& destination) const;     // the lines only

    // Every line followed by CR LF, the last one included.
    QString Text() const;
    // Cuts the text into lines at CR LF, CR, LF or U+2028 (one break takes a CR, then an LF,
    // then a U+2028, each when present); the text ends at a character of code 0.
    void SetText(QStringView text);

    // The text as UTF-16 little-endian after the mark FF FE.
    void SaveToStream(QIODevice& stream) const;
    // Replaces the file atomically.
    void SaveToFile(const QString& fileName) const;
    // The rest of the stream as the text: UTF-16 little-endian after FF FE, UTF-8 after
    // EF BB BF or without a mark.
    void LoadFromStream(QIODevice& stream);
    void LoadFromFile(const QString& fileName);
    // The rest of the stream as UTF-16 little-endian without a mark.
    void LoadFromWStream(QIODevice& stream);

    // The defined properties of the component stream: "Strings" (8-bit, long or wide
    // strings), "UTF8" (strings whose 8-bit bytes are UTF-8) and "UTF8W" (strings), each a
    // list. Reading replaces the lines only when the whole value reads; false for a name that
    // is none of the three. Writing gives "UTF8W" when the list is not empty.
    bool ReadDefinedProperty(QStringView name, TrpValueReader& reader);
    void WriteDefinedProperties(TrpValueWriter& writer) const;

private:
    struct Entry {
        QString Text;
        int32_t Value = 0;
    };
    std::vector<Entry> entries_;
};

// Conversions of 8-bit text in a code page, named directly or through a font's character set
// (see report/core/Charsets.h).

// The code page of a character set: DEFAULT_CHARSET gives the system's ANSI code page (1251),
// MAC_CHARSET CP_MACCP (2), OEM_CHARSET CP_OEMCP (1), any other set its own code page. A set
// not in the table raises the system error for an invalid argument.
int CharsetToCodePage(uint8_t charset);
// With code page 0 the code page comes from the character set. A code page without a codec
// here gives an empty text.
QString AnsiToWideByCharset(QByteArrayView text, uint8_t charset, int codePage = 0);
QByteArray WideToAnsiByCharset(QStringView text, uint8_t charset, int codePage = 0);
// OEM (866) text as ANSI (1251) text of the same length; a character ANSI lacks becomes '?'.
QByteArray OemToAnsiText(QByteArrayView text);
// The locale identifier of a character set's script; the system's locale for any set without
// one.
int CharsetToLocale(uint8_t charset);
