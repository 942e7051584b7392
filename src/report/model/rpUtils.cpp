#include "rpUtils.h"

#include "rpRes.h"
#include "rpStreams.h"

#include "platform/DateTime.h"
#include "report/core/Conversions.h"
#include "report/core/NumberText.h"
#include "report/core/TextCodes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QTemporaryFile>

#include <zlib.h>

#include <cmath>

TrpRect MakeRpRect(double left, double top, double right, double bottom)
{
    return TrpRect{left, top, right, bottom};
}

TrpPoint MakeRpPoint(double x, double y)
{
    return TrpPoint{x, y};
}

bool TrpRectArea::InterceptsX(const TrpRectArea& a) const
{
    return a.X < X1 - kRectAreaTolerance && a.X1 > X + kRectAreaTolerance;
}

bool TrpRectArea::InterceptsY(const TrpRectArea& a) const
{
    return a.Y < Y1 - kRectAreaTolerance && a.Y1 > Y + kRectAreaTolerance;
}

std::unique_ptr<TrpRectArea> TrpRectArea::InterceptX(const TrpRectArea& a) const
{
    if (!InterceptsX(a))
        return nullptr;
    return std::make_unique<TrpRectArea>(Max(a.X, X), 0, Min(a.X1, X1), 0);
}

std::unique_ptr<TrpRectArea> TrpRectArea::InterceptY(const TrpRectArea& a) const
{
    if (!InterceptsY(a))
        return nullptr;
    return std::make_unique<TrpRectArea>(0, Max(a.Y, Y), 0, Min(a.Y1, Y1));
}

uint32_t StreamCRC32(QIODevice& stream)
{
    const qint64 position = stream.pos();
    if (!stream.seek(0))
        throw EReadError();
    uLong crc = crc32(0, nullptr, 0);
    char chunk[65536];
    for (;;) {
        const qint64 n = stream.read(chunk, sizeof chunk);
        if (n < 0) {
            stream.seek(position);
            throw EReadError();
        }
        if (n == 0)
            break;
        crc = crc32(crc, reinterpret_cast<const Bytef*>(chunk), static_cast<uInt>(n));
    }
    stream.seek(position);
    return static_cast<uint32_t>(crc);
}

void SplitToList(QStringView text, QStringList& list, QChar delimiter)
{
    list.clear();
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == delimiter) {
            list.append(text.mid(start, i - start).toString());
            start = i + 1;
        }
    }
    if (start < text.size())
        list.append(text.mid(start).toString());
}

QString StreamToHexText(QByteArrayView bytes)
{
    static const char kDigits[] = "0123456789ABCDEF";
    QString text(2 * bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<uint8_t>(bytes[i]);
        text[2 * i] = QLatin1Char(kDigits[byte >> 4]);
        text[2 * i + 1] = QLatin1Char(kDigits[byte & 15]);
    }
    return text;
}

void HexTextToStream(QStringView text, QIODevice& stream)
{
    QByteArray bytes(text.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const int high = HexDigitValue(text[2 * i]);
        const int low = HexDigitValue(text[2 * i + 1]);
        if (high < 0 || low < 0)
            throw EConvertError(ResourceText(u"xrInvalidHexText").toStdString());
        bytes[i] = static_cast<char>(high << 4 | low);
    }
    if (text.size() % 2 != 0 && HexDigitValue(text.back()) < 0)
        throw EConvertError(ResourceText(u"xrInvalidHexText").toStdString());
    if (!stream.seek(0))
        throw EWriteError();
    WriteAllBytes(stream, bytes);
}

QString FloatToShortText(double value, const FormatSettings& settings)
{
    if (std::trunc(value) != value)
        return FloatToFixedText(value, 2, settings.DecimalSeparator);
    return FloatToGeneralText(value, 15, settings);
}

QString FindBracketedText(QStringView text, QStringView open, QStringView close, int& start, int& end,
                          bool* closed)
{
    if (closed != nullptr)
        *closed = false;
    if (text.isEmpty() || start < 0 || start >= text.size() || open.isEmpty() || close.isEmpty())
        return {};
    const int last = static_cast<int>(text.size()) - 1;
    int depth = 0;
    bool inDouble = false;
    bool inSingle = false;
    int j = start;
    for (;;) {
        if (!inDouble && !inSingle) {
            if (text.mid(j).startsWith(open)) {
                if (depth == 0)
                    start = j;
                ++depth;
            } else if (text.mid(j).startsWith(close)) {
                --depth;
            }
        }
        if (!inSingle && text[j] == u'"')
            inDouble = !inDouble;
        if (!inDouble && text[j] == u'\'')
            inSingle = !inSingle;
        if (depth == 0 || j >= last)
            break;
        ++j;
    }
    if (closed != nullptr)
        *closed = depth == 0 && j != start;
    const qsizetype length = j - start - open.size();
    const QString result = length > 0 ? text.mid(start + open.size(), length).toString() : QString();
    end = j;
    if (j != start)
        end += static_cast<int>(close.size()) - 1;
    return result;
}

namespace {

int ParsePageNumber(QStringView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        RaiseInvalidInteger(text);
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            RaiseInvalidInteger(text);
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > INT32_MAX + int64_t{1})
            RaiseInvalidInteger(text);
    }
    value = negative ? -value : value;
    if (value < INT32_MIN || value > INT32_MAX)
        RaiseInvalidInteger(text);
    return static_cast<int>(value);
}

} // namespace

void ParsePageNumbers(QStringView text, QList<int>& list, int lastPage)
{
    list.clear();
    QString plain;
    for (const QChar c : text)
        if (c != u' ')
            plain += c;
    if (plain.isEmpty())
        return;
    if (plain.endsWith(u'-'))
        plain += QString::number(lastPage);
    for (const QStringView item : QStringView(plain).split(u',')) {
        if (list.size() >= kMaxPageNumbers)
            return;
        const qsizetype dash = item.indexOf(u'-');
        if (dash < 0) {
            list.append(ParsePageNumber(item));
            continue;
        }
        const int first = ParsePageNumber(item.first(dash));
        int last = ParsePageNumber(item.sliced(dash + 1));
        if (lastPage > 0 && last > lastPage)
            last = lastPage;
        for (int64_t page = first; page <= last && list.size() < kMaxPageNumbers; ++page)
            list.append(static_cast<int>(page));
    }
}

QString ColorToHexText(uint32_t color)
{
    return QStringLiteral("#%1%2%3")
        .arg(color & 0xFF, 2, 16, QLatin1Char('0'))
        .arg(color >> 8 & 0xFF, 2, 16, QLatin1Char('0'))
        .arg(color >> 16 & 0xFF, 2, 16, QLatin1Char('0'))
        .toUpper();
}

QString GetTempFolder()
{
    QString folder = QDir::tempPath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

QString CreateTempFile()
{
    return CreateTempFileIn(QString());
}

QString CreateTempFileIn(const QString& folder)
{
    QString where = folder.isEmpty() ? GetTempFolder() : folder;
    if (!where.endsWith(u'/'))
        where += u'/';
    QTemporaryFile file(where + QStringLiteral("rpXXXXXX"));
    file.setAutoRemove(false);
    if (!file.open())
        RaiseCannotCreate(file.fileTemplate(), file.errorString());
    return file.fileName();
}

QString GetProgramFileName()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    // Before the application object exists (tools and tests): the running executable.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString GetModuleFolder()
{
    QString folder = QFileInfo(GetProgramFileName()).absolutePath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

QString ReplaceChar(QStringView text, QChar character, QChar replacement)
{
    QString copy = text.toString();
    copy.replace(character, replacement);
    return copy;
}

QString SlashesToBackslashes(QStringView text)
{
    return ReplaceChar(text, u'/', u'\\');
}
