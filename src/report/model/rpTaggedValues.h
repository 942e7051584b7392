#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <utility>

// The tagged value encoding of component streams: the bytes of the "PropData" attribute
// (an object's defined properties) and of the report's collections. Each defined property is
// its name (one length byte, then UTF-8) followed by one value; every value starts with its
// tag. Numbers are little-endian.
enum TValueType : uint8_t {
    vaNull = 0,       // end of a list or collection; also the identifier Null
    vaList = 1,       // values up to vaNull
    vaInt8 = 2,       // 1 byte
    vaInt16 = 3,      // 2 bytes
    vaInt32 = 4,      // 4 bytes
    vaExtended = 5,   // 10-byte extended float
    vaString = 6,     // 1 length byte, 8-bit text
    vaIdent = 7,      // 1 length byte, identifier
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,    // 32-bit length, bytes
    vaSet = 11,       // identifiers (1 length byte each) up to an empty one
    vaLString = 12,   // 32-bit length, 8-bit text
    vaNil = 13,
    vaCollection = 14,// items (an optional integer order, then a list of properties) up to vaNull
    vaSingle = 15,    // 4-byte float
    vaCurrency = 16,  // 8-byte integer of ten-thousandths
    vaDate = 17,      // 8-byte float of days since 30 December 1899
    vaWString = 18,   // 32-bit count of UTF-16 units, the units
    vaInt64 = 19,     // 8 bytes
    vaUTF8String = 20,// 32-bit length, UTF-8 bytes
    vaDouble = 21,    // 8-byte float
};

inline constexpr int kValueTypeCount = 22;

// Lists and collections nested deeper than this are refused when read or skipped.
inline constexpr int kMaxValueNesting = 64;

// Appends tagged values to a byte array.
class TrpValueWriter {
public:
    explicit TrpValueWriter(QByteArray& output) : out_(output) {}

    // A property name: one length byte and the UTF-8 bytes (EWriteError past 255 bytes).
    void WritePropName(QStringView name);
    void WriteValue(TValueType type);
    void WriteListBegin() { WriteValue(vaList); }
    void WriteListEnd() { WriteValue(vaNull); }
    // In the smallest of vaInt8, vaInt16, vaInt32 and vaInt64 that holds it.
    void WriteInteger(int64_t value);
    void WriteBoolean(bool value) { WriteValue(value ? vaTrue : vaFalse); }
    // UTF-8 under vaUTF8String when that is shorter than two bytes a character and some byte
    // is 128 or more; under vaString (up to 255 bytes) or vaLString when all are below 128;
    // otherwise UTF-16 under vaWString (so the empty text is an empty vaWString).
    void WriteString(QStringView value);
    // "False", "True", "nil" and "Null" as their own tags, any other name under vaIdent.
    void WriteIdent(QStringView name);
    void WriteBinary(QByteArrayView bytes);
    void WriteFloat(double value);            // vaExtended
    void WriteDouble(double value);           // vaDouble
    void WriteSingle(float value);            // vaSingle
    void WriteCurrency(int64_t tenThousandths);
    void WriteDate(double days);
    void WriteSet(const QStringList& names);

private:
    void WriteShortString(QByteArrayView bytes);
    void WriteInt32(int32_t value);

    QByteArray& out_;
};

// Reads tagged values from bytes, checking every length against the bytes left before it
// allocates. Running out of bytes raises EReadError "Stream read error"; a value of another
// kind than the one asked for raises EReadError "Invalid property value".
class TrpValueReader {
public:
    // Keeps its own (shared) copy of the bytes.
    explicit TrpValueReader(QByteArray bytes) : bytes_(std::move(bytes)) {}

    qsizetype Position() const { return position_; }
    bool AtEnd() const { return position_ >= bytes_.size(); }

    // The tag of the next value without taking it.
    TValueType NextValue() const;
    TValueType ReadValue();
    QString ReadPropName();
    void ReadListBegin();
    void ReadListEnd();
    // True when the next value is vaNull (the end of the list being read).
    bool EndOfList() const { return NextValue() == vaNull; }

    int64_t ReadInteger();   // vaInt8, vaInt16, vaInt32, vaInt64
    int32_t ReadInt32();     // the same within 32 bits
    bool ReadBoolean();      // vaFalse, vaTrue
    // vaString and vaLString as Windows-1251, vaWString, vaUTF8String.
    QString ReadString();
    // The same as 8-bit text: the bytes of vaString and vaLString as they are, the other
    // string kinds converted to Windows-1251.
    QByteArray ReadString8();
    // vaIdent, and vaFalse, vaTrue, vaNil and vaNull by their names.
    QString ReadIdent();
    QByteArray ReadBinary();
    // vaExtended, vaDouble, vaSingle, vaCurrency, vaDate and the integers as a float.
    double ReadFloat();
    QStringList ReadSet();
    // Passes over one value of any kind, lists and collections included.
    void SkipValue();

private:
    QByteArrayView Take(qint64 count);
    uint8_t TakeByte();
    int32_t TakeLength();
    void SkipValue(int nesting);
    QByteArrayView TakeStringBytes(TValueType type);

    QByteArray bytes_;
    qsizetype position_ = 0;
};

// The 10-byte extended float and back. Every double converts exactly; an extended value
// rounds to the nearest double (beyond the double range: an infinity or zero).
void DoubleToExtended(double value, uint8_t bytes[10]);
double ExtendedToDouble(const uint8_t bytes[10]);
