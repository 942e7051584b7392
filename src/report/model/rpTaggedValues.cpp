#include "rpTaggedValues.h"

#include "rpRes.h"
#include "rpStreams.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

template <typename T>
void AppendLittleEndian(QByteArray& out, T value)
{
    using U = std::make_unsigned_t<T>;
    const U bits = static_cast<U>(value);
    for (size_t i = 0; i < sizeof(T); ++i)
        out.append(static_cast<char>(static_cast<uint8_t>(bits >> (8 * i))));
}

template <typename T>
T LittleEndian(QByteArrayView bytes)
{
    using U = std::make_unsigned_t<T>;
    U bits = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        bits |= static_cast<U>(static_cast<uint8_t>(bytes[static_cast<qsizetype>(i)])) << (8 * i);
    return static_cast<T>(bits);
}

[[noreturn]] void RaiseInvalidValue()
{
    throw EReadError(ResourceText(u"xrInvalidPropertyValue").toStdString());
}

bool IsStringType(TValueType type)
{
    return type == vaString || type == vaLString || type == vaWString || type == vaUTF8String;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Extended floats: 64-bit significand with an explicit integer bit, 15-bit exponent biased by
// 16383, sign bit.

void DoubleToExtended(double value, uint8_t bytes[10])
{
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    const uint16_t sign = static_cast<uint16_t>(bits >> 63) << 15;
    const int exponent = static_cast<int>(bits >> 52 & 0x7FF);
    const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
    uint64_t significand = 0;
    uint16_t biased = 0;
    if (exponent == 0x7FF) {
        biased = 0x7FFF;
        significand = uint64_t{1} << 63 | fraction << 11;
    } else if (exponent != 0) {
        biased = static_cast<uint16_t>(exponent - 1023 + 16383);
        significand = uint64_t{1} << 63 | fraction << 11;
    } else if (fraction != 0) {
        // A subnormal double is a normal extended value.
        const int top = 63 - std::countl_zero(fraction); // highest set bit, 0..51
        significand = fraction << (63 - top);
        biased = static_cast<uint16_t>(top - 1074 + 16383);
    }
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<uint8_t>(significand >> (8 * i));
    const uint16_t top = sign | biased;
    bytes[8] = static_cast<uint8_t>(top);
    bytes[9] = static_cast<uint8_t>(top >> 8);
}

double ExtendedToDouble(const uint8_t bytes[10])
{
    uint64_t significand = 0;
    for (int i = 0; i < 8; ++i)
        significand |= static_cast<uint64_t>(bytes[i]) << (8 * i);
    const uint16_t top = static_cast<uint16_t>(bytes[8] | bytes[9] << 8);
    const bool negative = (top & 0x8000) != 0;
    const int biased = top & 0x7FFF;
    double magnitude;
    if (biased == 0x7FFF) {
        magnitude = (significand << 1) == 0 ? std::numeric_limits<double>::infinity()
                                            : std::numeric_limits<double>::quiet_NaN();
    } else if (significand == 0) {
        magnitude = 0;
    } else {
        // The conversion of the significand rounds to nearest; the scaling is then exact
        // within the normal range of doubles.
        magnitude = std::ldexp(static_cast<double>(significand), std::max(biased, 1) - 16383 - 63);
    }
    return negative ? -magnitude : magnitude;
}

// ---------------------------------------------------------------------------------------------
// TrpValueWriter

void TrpValueWriter::WriteValue(TValueType type)
{
    out_.append(static_cast<char>(type));
}

void TrpValueWriter::WriteShortString(QByteArrayView bytes)
{
    if (bytes.size() > 255)
        throw EWriteError();
    out_.append(static_cast<char>(bytes.size()));
    out_.append(bytes);
}

void TrpValueWriter::WriteInt32(int32_t value)
{
    AppendLittleEndian(out_, value);
}

void TrpValueWriter::WritePropName(QStringView name)
{
    WriteShortString(name.toUtf8());
}

void TrpValueWriter::WriteInteger(int64_t value)
{
    if (value >= INT8_MIN && value <= INT8_MAX) {
        WriteValue(vaInt8);
        AppendLittleEndian(out_, static_cast<int8_t>(value));
    } else if (value >= INT16_MIN && value <= INT16_MAX) {
        WriteValue(vaInt16);
        AppendLittleEndian(out_, static_cast<int16_t>(value));
    } else if (value >= INT32_MIN && value <= INT32_MAX) {
        WriteValue(vaInt32);
        WriteInt32(static_cast<int32_t>(value));
    } else {
        WriteValue(vaInt64);
        AppendLittleEndian(out_, value);
    }
}

void TrpValueWriter::WriteString(QStringView value)
{
    const QByteArray utf8 = value.toUtf8();
    if (utf8.size() < 2 * value.size()) {
        const bool eightBit = std::any_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<uint8_t>(c) >= 128; });
        if (eightBit) {
            WriteValue(vaUTF8String);
            WriteInt32(static_cast<int32_t>(utf8.size()));
        } else if (utf8.size() <= 255) {
            WriteValue(vaString);
            out_.append(static_cast<char>(utf8.size()));
        } else {
            WriteValue(vaLString);
            WriteInt32(static_cast<int32_t>(utf8.size()));
        }
        out_.append(utf8);
        return;
    }
    WriteValue(vaWString);
    WriteInt32(static_cast<int32_t>(value.size()));
    for (const QChar c : value)
        AppendLittleEndian(out_, static_cast<uint16_t>(c.unicode()));
}

void TrpValueWriter::WriteIdent(QStringView name)
{
    if (name.compare(u"False", Qt::CaseInsensitive) == 0)
        WriteValue(vaFalse);
    else if (name.compare(u"True", Qt::CaseInsensitive) == 0)
        WriteValue(vaTrue);
    else if (name.compare(u"nil", Qt::CaseInsensitive) == 0)
        WriteValue(vaNil);
    else if (name.compare(u"Null", Qt::CaseInsensitive) == 0)
        WriteValue(vaNull);
    else {
        WriteValue(vaIdent);
        WriteShortString(name.toUtf8());
    }
}

void TrpValueWriter::WriteBinary(QByteArrayView bytes)
{
    WriteValue(vaBinary);
    WriteInt32(static_cast<int32_t>(bytes.size()));
    out_.append(bytes);
}

void TrpValueWriter::WriteFloat(double value)
{
    WriteValue(vaExtended);
    uint8_t bytes[10];
    DoubleToExtended(value, bytes);
    out_.append(reinterpret_cast<const char*>(bytes), 10);
}

void TrpValueWriter::WriteDouble(double value)
{
    WriteValue(vaDouble);
    AppendLittleEndian(out_, std::bit_cast<uint64_t>(value));
}

void TrpValueWriter::WriteSingle(float value)
{
    WriteValue(vaSingle);
    AppendLittleEndian(out_, std::bit_cast<uint32_t>(value));
}

void TrpValueWriter::WriteCurrency(int64_t tenThousandths)
{
    WriteValue(vaCurrency);
    AppendLittleEndian(out_, tenThousandths);
}

void TrpValueWriter::WriteDate(double days)
{
    WriteValue(vaDate);
    AppendLittleEndian(out_, std::bit_cast<uint64_t>(days));
}

void TrpValueWriter::WriteSet(const QStringList& names)
{
    WriteValue(vaSet);
    for (const QString& name : names)
        if (!name.isEmpty())
            WriteShortString(name.toUtf8());
    out_.append('\0');
}

// ---------------------------------------------------------------------------------------------
// TrpValueReader

QByteArrayView TrpValueReader::Take(qint64 count)
{
    if (count < 0 || count > bytes_.size() - position_)
        throw EReadError();
    const QByteArrayView taken = QByteArrayView(bytes_).sliced(position_, static_cast<qsizetype>(count));
    position_ += static_cast<qsizetype>(count);
    return taken;
}

uint8_t TrpValueReader::TakeByte()
{
    return static_cast<uint8_t>(Take(1)[0]);
}

int32_t TrpValueReader::TakeLength()
{
    const int32_t length = LittleEndian<int32_t>(Take(4));
    if (length < 0)
        throw EReadError();
    return length;
}

TValueType TrpValueReader::NextValue() const
{
    if (AtEnd())
        throw EReadError();
    const uint8_t tag = static_cast<uint8_t>(bytes_[position_]);
    if (tag >= kValueTypeCount)
        RaiseInvalidValue();
    return static_cast<TValueType>(tag);
}

TValueType TrpValueReader::ReadValue()
{
    const TValueType type = NextValue();
    ++position_;
    return type;
}

QString TrpValueReader::ReadPropName()
{
    const uint8_t length = TakeByte();
    return QString::fromUtf8(Take(length));
}

void TrpValueReader::ReadListBegin()
{
    if (ReadValue() != vaList)
        RaiseInvalidValue();
}

void TrpValueReader::ReadListEnd()
{
    if (ReadValue() != vaNull)
        RaiseInvalidValue();
}

int64_t TrpValueReader::ReadInteger()
{
    switch (ReadValue()) {
    case vaInt8:
        return LittleEndian<int8_t>(Take(1));
    case vaInt16:
        return LittleEndian<int16_t>(Take(2));
    case vaInt32:
        return LittleEndian<int32_t>(Take(4));
    case vaInt64:
        return LittleEndian<int64_t>(Take(8));
    default:
        RaiseInvalidValue();
    }
}

int32_t TrpValueReader::ReadInt32()
{
    const int64_t value = ReadInteger();
    if (value < INT32_MIN || value > INT32_MAX)
        RaiseInvalidValue();
    return static_cast<int32_t>(value);
}

bool TrpValueReader::ReadBoolean()
{
    switch (ReadValue()) {
    case vaFalse:
        return false;
    case vaTrue:
        return true;
    default:
        RaiseInvalidValue();
    }
}

QByteArrayView TrpValueReader::TakeStringBytes(TValueType type)
{
    switch (type) {
    case vaString:
        return Take(TakeByte());
    case vaLString:
    case vaUTF8String:
        return Take(TakeLength());
    case vaWString:
        return Take(qint64{TakeLength()} * 2);
    default:
        RaiseInvalidValue();
    }
}

QString TrpValueReader::ReadString()
{
    const TValueType type = ReadValue();
    const QByteArrayView bytes = TakeStringBytes(type);
    switch (type) {
    case vaWString: {
        QString text(bytes.size() / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i)
            text[i] = QChar(LittleEndian<uint16_t>(bytes.sliced(2 * i, 2)));
        return text;
    }
    case vaUTF8String:
        return QString::fromUtf8(bytes);
    default:
        return AnsiToString(bytes);
    }
}

QByteArray TrpValueReader::ReadString8()
{
    const TValueType type = NextValue();
    if (type == vaString || type == vaLString) {
        ReadValue();
        return TakeStringBytes(type).toByteArray();
    }
    return StringToAnsi(ReadString());
}

QString TrpValueReader::ReadIdent()
{
    switch (ReadValue()) {
    case vaIdent:
        return QString::fromUtf8(Take(TakeByte()));
    case vaFalse:
        return QStringLiteral("False");
    case vaTrue:
        return QStringLiteral("True");
    case vaNil:
        return QStringLiteral("nil");
    case vaNull:
        return QStringLiteral("Null");
    default:
        RaiseInvalidValue();
    }
}

QByteArray TrpValueReader::ReadBinary()
{
    if (ReadValue() != vaBinary)
        RaiseInvalidValue();
    return Take(TakeLength()).toByteArray();
}

double TrpValueReader::ReadFloat()
{
    switch (NextValue()) {
    case vaExtended: {
        ReadValue();
        uint8_t bytes[10];
        std::memcpy(bytes, Take(10).data(), 10);
        return ExtendedToDouble(bytes);
    }
    case vaDouble:
    case vaDate:
        ReadValue();
        return std::bit_cast<double>(LittleEndian<uint64_t>(Take(8)));
    case vaSingle:
        ReadValue();
        return std::bit_cast<float>(LittleEndian<uint32_t>(Take(4)));
    case vaCurrency:
        ReadValue();
        return static_cast<double>(LittleEndian<int64_t>(Take(8))) / 10000.0;
    default:
        return static_cast<double>(ReadInteger());
    }
}

QStringList TrpValueReader::ReadSet()
{
    if (ReadValue() != vaSet)
        RaiseInvalidValue();
    QStringList names;
    for (;;) {
        const uint8_t length = TakeByte();
        if (length == 0)
            return names;
        names.append(QString::fromUtf8(Take(length)));
    }
}

void TrpValueReader::SkipValue()
{
    SkipValue(0);
}

void TrpValueReader::SkipValue(int nesting)
{
    if (nesting > kMaxValueNesting)
        throw EReadError(ResourceText(u"xrValueNestingTooDeep").toStdString());
    const TValueType type = NextValue();
    if (IsStringType(type)) {
        ReadValue();
        TakeStringBytes(type);
        return;
    }
    switch (type) {
    case vaList:
        ReadValue();
        while (!EndOfList())
            SkipValue(nesting + 1);
        ReadListEnd();
        return;
    case vaCollection:
        ReadValue();
        while (!EndOfList()) {
            const TValueType next = NextValue();
            if (next == vaInt8 || next == vaInt16 || next == vaInt32 || next == vaInt64)
                ReadInteger(); // the item's order
            ReadListBegin();
            while (!EndOfList()) {
                ReadPropName();
                SkipValue(nesting + 1);
            }
            ReadListEnd();
        }
        ReadListEnd();
        return;
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaInt64:
        ReadInteger();
        return;
    case vaExtended:
    case vaDouble:
    case vaDate:
    case vaSingle:
    case vaCurrency:
        ReadFloat();
        return;
    case vaIdent:
    case vaFalse:
    case vaTrue:
    case vaNil:
    case vaNull:
        ReadIdent();
        return;
    case vaBinary:
        ReadBinary();
        return;
    case vaSet:
        ReadSet();
        return;
    default:
        RaiseInvalidValue();
    }
}
