#include "rpGraphicUtils.h"

#include "rpDrawContext.h"
#include "rpFont.h"
#include "rpFontResolver.h"

#include "report/core/Rounding.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QPalette>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

// --- Device geometry

int32_t RoundToDevice(double value) noexcept
{
    if (std::isnan(value))
        return 0;
    const double bounded = std::clamp(value, -double{kMaxDeviceCoordinate}, double{kMaxDeviceCoordinate});
    return static_cast<int32_t>(RoundHalfEven(bounded));
}

// --- Pictures

namespace {

uint16_t ReadUInt16(QByteArrayView bytes, qsizetype at)
{
    uint16_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return qFromLittleEndian(value);
}

uint32_t ReadUInt32(QByteArrayView bytes, qsizetype at)
{
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return qFromLittleEndian(value);
}

int32_t ReadInt32(QByteArrayView bytes, qsizetype at)
{
    return static_cast<int32_t>(ReadUInt32(bytes, at));
}

int16_t ReadInt16(QByteArrayView bytes, qsizetype at)
{
    return static_cast<int16_t>(ReadUInt16(bytes, at));
}

constexpr uint32_t kPlaceableMetafileKey = 0x9AC6CDD7;
constexpr uint32_t kEnhancedMetafileSignature = 0x464D4520; // " EMF"
constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// Metafile sizes beyond this many pixels are taken as a broken header.
constexpr double kMaxMetafilePixels = 100000;

// Qt's names of the formats behind the picture kinds.
const char* QtFormatOf(QStringView kind)
{
    if (kind == u"BMP")
        return "bmp";
    if (kind == u"JPEG")
        return "jpeg";
    if (kind == u"PNG")
        return "png";
    if (kind == u"GIF")
        return "gif";
    if (kind == u"ICO")
        return "ico";
    return nullptr;
}

} // namespace

QString SniffPictureKind(QByteArrayView bytes)
{
    const qsizetype size = bytes.size();
    const auto byte = [&](qsizetype at) { return static_cast<unsigned char>(bytes[at]); };
    if (size >= 14 && byte(0) == 'B' && byte(1) == 'M')
        return QStringLiteral("BMP");
    if (size >= 2 && byte(0) == 0xFF && byte(1) == 0xD8)
        return QStringLiteral("JPEG");
    if (size >= 8 && std::memcmp(bytes.data(), kPngSignature, sizeof kPngSignature) == 0)
        return QStringLiteral("PNG");
    if (size >= 22 && ReadUInt32(bytes, 0) == kPlaceableMetafileKey)
        return QStringLiteral("WMF");
    if (size >= 100 && ReadUInt32(bytes, 40) == kEnhancedMetafileSignature)
        return QStringLiteral("EMF");
    if (size >= 6 && ReadUInt16(bytes, 2) <= 1)
        return QStringLiteral("ICO");
    return QString();
}

bool IsPictureBlobHeader(QByteArrayView header, qint64 streamSize)
{
    if (header.size() < kPictureBlobHeaderSize)
        return false;
    if (ReadUInt16(header, 0) != 1 || ReadUInt16(header, 2) != 256)
        return false;
    return qint64{ReadUInt32(header, 4)} + kPictureBlobHeaderSize == streamSize;
}

bool IsMetafileKind(QStringView kind)
{
    return kind == u"WMF" || kind == u"EMF";
}

QImage DecodePicture(QStringView kind, QByteArrayView bytes)
{
    const char* format = QtFormatOf(kind);
    if (format == nullptr || bytes.isEmpty() || bytes.size() > kMaxPictureBytes)
        return QImage();
    QByteArray data = bytes.toByteArray();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    // The reader refuses images past its allocation limit (QImageReader::allocationLimit)
    // before allocating them.
    QImageReader reader(&buffer, format);
    reader.setAutoTransform(false);
    return reader.read();
}

QString DetectPictureFileKind(QByteArrayView bytes)
{
    const QString sniffed = SniffPictureKind(bytes);
    if (!sniffed.isEmpty() && sniffed != u"ICO")
        return sniffed;
    QByteArray data = bytes.toByteArray();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    const QByteArray format = QImageReader::imageFormat(&buffer).toLower();
    if (format == "gif")
        return QStringLiteral("GIF");
    if (format == "bmp")
        return QStringLiteral("BMP");
    if (format == "jpeg" || format == "jpg")
        return QStringLiteral("JPEG");
    if (format == "png")
        return QStringLiteral("PNG");
    if (format == "ico" || (format.isEmpty() && sniffed == u"ICO"))
        return QStringLiteral("ICO");
    return QString();
}

QSize MetafileSize(QStringView kind, QByteArrayView bytes)
{
    double width = 0;
    double height = 0;
    if (kind == u"WMF" && bytes.size() >= 22) {
        // Key, handle, box (left, top, right, bottom as 16-bit signed), units per inch.
        const int unitsPerInch = ReadUInt16(bytes, 14);
        if (unitsPerInch == 0)
            return QSize();
        width = (ReadInt16(bytes, 10) - ReadInt16(bytes, 6)) * 96.0 / unitsPerInch;
        height = (ReadInt16(bytes, 12) - ReadInt16(bytes, 8)) * 96.0 / unitsPerInch;
    } else if (kind == u"EMF" && bytes.size() >= 40) {
        // Type, size, bounds (device units), frame (hundredths of a millimetre).
        width = (static_cast<double>(ReadInt32(bytes, 32)) - ReadInt32(bytes, 24)) * 96.0 / 2540.0;
        height = (static_cast<double>(ReadInt32(bytes, 36)) - ReadInt32(bytes, 28)) * 96.0 / 2540.0;
    } else {
        return QSize();
    }
    width = std::fabs(width);
    height = std::fabs(height);
    if (!(width >= 1 && height >= 1 && width <= kMaxMetafilePixels && height <= kMaxMetafilePixels))
        return QSize();
    return QSize(RoundToDevice(width), RoundToDevice(height));
}

QImage MaskedByColor(const QImage& image, const QColor& color)
{
    QImage masked = image.convertToFormat(QImage::Format_ARGB32);
    const QImage mask = image.createMaskFromColor(color.rgb(), Qt::MaskOutColor);
    masked.setAlphaChannel(mask);
    return masked;
}

void DrawGraphic(QPainter& painter, const QRect& rect, QStringView kind, const QImage& image,
                 TColor transparentColor, bool transparent, bool smooth)
{
    if (IsMetafileKind(kind) || image.isNull()) {
        DrawPicturePlaceholder(painter, rect, kind);
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    if (transparent)
        painter.drawImage(rect, MaskedByColor(image, ToQColor(transparentColor, Qt::white)));
    else
        painter.drawImage(rect, image);
    painter.restore();
}

void DrawBitmapTransparent(QPainter& painter, int x, int y, const QImage& image)
{
    if (image.isNull())
        return;
    const QColor transparentColor = image.pixelColor(0, image.height() - 1);
    painter.drawImage(QPoint(x, y), MaskedByColor(image, transparentColor));
}

void DrawPicturePlaceholder(QPainter& painter, const QRect& rect, QStringView kind)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(0xA0, 0xA0, 0xA0), 1));
    painter.setBrush(QColor(0xE8, 0xE8, 0xE8));
    const QRect box(rect.left(), rect.top(), rect.width() - 1, rect.height() - 1);
    painter.drawRect(box);
    painter.drawLine(rect.topLeft(), rect.bottomRight());
    painter.drawLine(rect.bottomLeft(), rect.topRight());
    const bool canDrawText = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    if (canDrawText && !kind.isEmpty()) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(std::clamp(rect.height() / 5, 6, 48));
        font.setBold(true);
        painter.setFont(font);
        const QFontMetrics metrics(font);
        const QString text = kind.toString();
        const QRect textBox = metrics.boundingRect(text).adjusted(-3, -1, 3, 1);
        QRect label(0, 0, textBox.width(), textBox.height());
        label.moveCenter(rect.center());
        painter.fillRect(label, QColor(0xE8, 0xE8, 0xE8));
        painter.setPen(QColor(0x60, 0x60, 0x60));
        painter.drawText(label, Qt::AlignCenter, text);
    }
    painter.restore();
}

// --- Plain text

QFont ReportQFont(const TrpFont& font, double scale)
{
    return ToQFont(font, ReportFontFamily(font.Name()), std::clamp(RoundToDevice(std::abs(font.Height()) * scale), 1, 10000));
}

int DrawTextLine(QPainter& painter, int x, int y, const QString& text, const QFont& font, const QColor& color,
                 const QColor& background, const TrpDrawContext& context)
{
    const QFontMetrics metrics(font);
    const QRect box(x, y, metrics.horizontalAdvance(text), metrics.height());
    painter.save();
    if (background.isValid())
        painter.fillRect(box, background);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(QPoint(x, y + metrics.ascent()), text);
    painter.restore();
    if (context.Sink != nullptr)
        context.Sink->TextRun(text, painter.deviceTransform().mapRect(QRectF(box)));
    return box.width();
}

// --- Object images

namespace {

std::vector<QImage>& ObjectImages()
{
    static std::vector<QImage> images;
    return images;
}

} // namespace

QImage ObjectImage(int index)
{
    const std::vector<QImage>& images = ObjectImages();
    if (index < 0 || static_cast<std::size_t>(index) >= images.size())
        return QImage();
    return images[static_cast<std::size_t>(index)];
}

void SetObjectImages(std::vector<QImage> images)
{
    ObjectImages() = std::move(images);
}

void DrawPictureSymbol(QPainter& painter, int x, int y)
{
    const QImage symbol = ObjectImage(kPictureObjectImage);
    if (!symbol.isNull()) {
        DrawBitmapTransparent(painter, x, y, symbol);
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
    painter.setBrush(QColor(0xFF, 0xFF, 0xF0));
    painter.drawRect(x, y, 15, 15);
    // A sun and two hills.
    painter.setBrush(QColor(0xE0, 0xB0, 0x20));
    painter.drawEllipse(x + 9, y + 3, 3, 3);
    painter.setBrush(QColor(0x40, 0x90, 0x40));
    const QPoint hills[] = {{x + 1, y + 14}, {x + 5, y + 7}, {x + 8, y + 11}, {x + 10, y + 9}, {x + 14, y + 14}};
    painter.drawPolygon(hills, 5);
    painter.restore();
}
