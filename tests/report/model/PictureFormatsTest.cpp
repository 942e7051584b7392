// Pictures: how stored bytes are recognised, decoded and drawn (transparency, placeholder).

#include "RecordingPaintDevice.h"
#include "ReportModelTestClasses.h"

#include "report/model/rpGraphicUtils.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cstring>

namespace {

QByteArray Encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format)) << format;
    return bytes;
}

QImage Sample(int width = 8, int height = 4)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    image.setPixelColor(0, 0, Qt::white);
    return image;
}

void PutUInt32(QByteArray& bytes, int at, uint32_t value)
{
    const uint32_t le = qToLittleEndian(value);
    std::memcpy(bytes.data() + at, &le, sizeof le);
}

void PutUInt16(QByteArray& bytes, int at, uint16_t value)
{
    const uint16_t le = qToLittleEndian(value);
    std::memcpy(bytes.data() + at, &le, sizeof le);
}

// A placeable metafile header: box 0,0 - 1440,720 at 1440 units per inch (1 x 0.5 inch).
QByteArray PlaceableMetafile()
{
    QByteArray bytes(40, '\0');
    PutUInt32(bytes, 0, 0x9AC6CDD7);
    PutUInt16(bytes, 10, 1440);
    PutUInt16(bytes, 12, 720);
    PutUInt16(bytes, 14, 1440);
    return bytes;
}

// An enhanced metafile header: frame 0,0 - 2540,5080 hundredths of a millimetre (1 x 2 inch).
QByteArray EnhancedMetafile()
{
    QByteArray bytes(120, '\0');
    PutUInt32(bytes, 0, 1);
    PutUInt32(bytes, 4, 108);
    PutUInt32(bytes, 32, 2540);
    PutUInt32(bytes, 36, 5080);
    PutUInt32(bytes, 40, 0x464D4520);
    return bytes;
}

QByteArray WithHeader(const QByteArray& data, uint32_t length)
{
    QByteArray header(8, '\0');
    PutUInt16(header, 0, 1);
    PutUInt16(header, 2, 256);
    PutUInt32(header, 4, length);
    return header + data;
}

} // namespace

TEST(PictureFormats, SniffingInItsOrder)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* kind;
    };
    const Case cases[] = {
        {"bitmap", Encoded(Sample(), "BMP"), "BMP"},
        {"BM but shorter than 14 bytes", QByteArray("BM\x05\x05\0\0\0\0\0\0\0\0\0", 13), ""},
        {"BM shorter than 14 bytes with a second 16-bit 0: an icon", QByteArray("BM\0\0\0\0\0\0\0\0\0\0\0", 13), "ICO"},
        {"JPEG", Encoded(Sample(), "JPEG"), "JPEG"},
        {"two bytes FF D8 are a JPEG start", QByteArray("\xFF\xD8", 2), "JPEG"},
        {"PNG", Encoded(Sample(), "PNG"), "PNG"},
        {"placeable metafile", PlaceableMetafile(), "WMF"},
        {"enhanced metafile", EnhancedMetafile(), "EMF"},
        {"icon", Encoded(Sample(16, 16), "ICO"), "ICO"},
        {"five bytes that are no JPEG", QByteArray("\xFF\x00\x12\x34\x56", 5), ""},
        {"GIF is no stored kind", QByteArray("GIF89a\x01\x00\x01\x00\x00\x00\x00", 13), ""},
        {"empty", QByteArray(), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SniffPictureKind(c.bytes), QString::fromLatin1(c.kind)) << c.name;
}

TEST(PictureFormats, EightByteHeaderOnlyWhenItsLengthMatches)
{
    const QByteArray jpeg = Encoded(Sample(), "JPEG");
    const QByteArray matching = WithHeader(jpeg, static_cast<uint32_t>(jpeg.size()));
    EXPECT_TRUE(IsPictureBlobHeader(matching, matching.size()));
    EXPECT_EQ(SniffPictureKind(QByteArrayView(matching).sliced(8)), u"JPEG");
    const QByteArray mismatching = WithHeader(jpeg, static_cast<uint32_t>(jpeg.size() + 1));
    EXPECT_FALSE(IsPictureBlobHeader(mismatching, mismatching.size()));
    // Taken as picture data, the header's bytes 01 00 00 01 are a second 16-bit value of 256:
    // no format matches.
    EXPECT_EQ(SniffPictureKind(mismatching), QString());
    EXPECT_FALSE(IsPictureBlobHeader(QByteArray("\x01\x00\x00\x01", 4), 4));
    // A length so large that adding the header would overflow 32 bits.
    EXPECT_FALSE(IsPictureBlobHeader(WithHeader(QByteArray(), 0xFFFFFFFF), 7));
}

TEST(PictureFormats, DecodingRasterKinds)
{
    for (const char* kind : {"BMP", "PNG", "JPEG", "ICO"}) {
        const QImage sample = Sample(16, 16);
        const QImage decoded = DecodePicture(QString::fromLatin1(kind), Encoded(sample, kind));
        ASSERT_FALSE(decoded.isNull()) << kind;
        EXPECT_EQ(decoded.size(), QSize(16, 16)) << kind;
    }
    EXPECT_TRUE(DecodePicture(u"PNG", QByteArray("\x89PNG\r\n\x1A\n broken", 15)).isNull());
    EXPECT_TRUE(DecodePicture(u"EMF", EnhancedMetafile()).isNull());
    EXPECT_TRUE(DecodePicture(u"PNG", QByteArray()).isNull());
}

TEST(PictureFormats, PictureOverTheAllocationLimitIsNotDecoded)
{
    // A PNG header claiming 60000 x 60000 pixels (14 GB decoded): refused before allocating.
    QImage small(1, 1, QImage::Format_RGB32);
    small.fill(Qt::black);
    QByteArray png = Encoded(small, "PNG");
    PutUInt32(png, 16, qToBigEndian<uint32_t>(60000));
    PutUInt32(png, 20, qToBigEndian<uint32_t>(60000));
    EXPECT_TRUE(DecodePicture(u"PNG", png).isNull());
}

TEST(PictureFormats, FileKindsByContent)
{
    // A GIF of one white pixel: no stored kind, but a file is judged by what Qt can read.
    const QByteArray gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\xFF\xFF\x00\x00\x00"
                         ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                         35);
    EXPECT_EQ(DetectPictureFileKind(gif), u"GIF");
    EXPECT_EQ(DecodePicture(u"GIF", gif).size(), QSize(1, 1));
    EXPECT_EQ(DetectPictureFileKind(Encoded(Sample(), "PNG")), u"PNG");
    EXPECT_EQ(DetectPictureFileKind(Encoded(Sample(16, 16), "ICO")), u"ICO");
    EXPECT_EQ(DetectPictureFileKind(EnhancedMetafile()), u"EMF");
    EXPECT_EQ(DetectPictureFileKind(QByteArray("plain text, no picture")), QString());
}

TEST(PictureFormats, MetafileSizesFromTheirHeaders)
{
    EXPECT_EQ(MetafileSize(u"WMF", PlaceableMetafile()), QSize(96, 48));
    EXPECT_EQ(MetafileSize(u"EMF", EnhancedMetafile()), QSize(96, 192));
    QByteArray zeroUnits = PlaceableMetafile();
    PutUInt16(zeroUnits, 14, 0);
    EXPECT_EQ(MetafileSize(u"WMF", zeroUnits), QSize());
    EXPECT_EQ(MetafileSize(u"EMF", QByteArray(20, '\0')), QSize());
}

TEST(PictureFormats, TransparentColourBecomesAMask)
{
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixelColor(1, 0, Qt::blue);
    image.setPixelColor(2, 1, Qt::red);
    const QImage masked = MaskedByColor(image, Qt::white);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            const bool kept = (x == 1 && y == 0) || (x == 2 && y == 1);
            EXPECT_EQ(qAlpha(masked.pixel(x, y)), kept ? 255 : 0) << x << "," << y;
        }
    }
    // Drawn over green, the white pixels leave the green unchanged.
    QImage target(4, 2, QImage::Format_RGB32);
    target.fill(Qt::green);
    {
        QPainter painter(&target);
        DrawGraphic(painter, QRect(0, 0, 4, 2), u"BMP", image, clWhite, true, false);
    }
    EXPECT_EQ(target.pixelColor(0, 0), QColor(Qt::green));
    EXPECT_EQ(target.pixelColor(1, 0), QColor(Qt::blue));
    EXPECT_EQ(target.pixelColor(2, 1), QColor(Qt::red));
    // Without transparency the white is painted.
    target.fill(Qt::green);
    {
        QPainter painter(&target);
        DrawGraphic(painter, QRect(0, 0, 4, 2), u"BMP", image, clWhite, false, false);
    }
    EXPECT_EQ(target.pixelColor(0, 0), QColor(Qt::white));
}

TEST(PictureFormats, BitmapTransparentLeavesOutItsBottomLeftColour)
{
    QImage image(3, 3, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    image.setPixelColor(1, 1, Qt::black);
    QImage target(5, 5, QImage::Format_RGB32);
    target.fill(Qt::white);
    {
        QPainter painter(&target);
        DrawBitmapTransparent(painter, 1, 1, image);
    }
    EXPECT_EQ(target.pixelColor(2, 2), QColor(Qt::black));
    EXPECT_EQ(target.pixelColor(1, 1), QColor(Qt::white));
    EXPECT_EQ(target.pixelColor(3, 3), QColor(Qt::white));
}

TEST(PictureFormats, GraphicIsScaledIntoItsRectangle)
{
    RecordingPaintDevice device;
    {
        QPainter painter(&device);
        DrawGraphic(painter, QRect(10, 20, 100, 50), u"PNG", Sample(200, 100), clWhite, false, true);
    }
    const auto images = device.Operations(RecordedOperation::Image);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].DeviceRect, QRectF(10, 20, 100, 50));
    EXPECT_EQ(images[0].ImageSize, QSize(200, 100));
}

TEST(PictureFormats, MetafilesAreDrawnAsThePlaceholder)
{
    RecordingPaintDevice device;
    {
        QPainter painter(&device);
        DrawGraphic(painter, QRect(10, 20, 100, 50), u"EMF", QImage(), clWhite, false, false);
    }
    EXPECT_TRUE(device.Operations(RecordedOperation::Image).empty());
    const auto rects = device.Operations(RecordedOperation::Rectangle);
    ASSERT_FALSE(rects.empty());
    EXPECT_EQ(rects[0].DeviceRect, QRectF(10, 20, 99, 49));
    // Both diagonals of the box.
    const auto lines = device.Operations(RecordedOperation::Line);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].DevicePoints, QPolygonF({QPointF(10, 20), QPointF(109, 69)}));
    EXPECT_EQ(lines[1].DevicePoints, QPolygonF({QPointF(10, 69), QPointF(109, 20)}));
    // The kind name in the middle.
    const auto glyphs = device.GlyphRuns();
    ASSERT_EQ(glyphs.size(), 1u);
    EXPECT_EQ(glyphs[0].Glyphs.size(), 3);
}

TEST(PictureFormats, PictureSymbolFromTheObjectImagesOrDrawn)
{
    {
        RecordingPaintDevice device;
        {
            QPainter painter(&device);
            DrawPictureSymbol(painter, 11, 22);
        }
        EXPECT_TRUE(device.Operations(RecordedOperation::Image).empty());
        const auto rects = device.Operations(RecordedOperation::Rectangle);
        ASSERT_FALSE(rects.empty());
        EXPECT_EQ(rects[0].DeviceRect, QRectF(11, 22, 15, 15));
    }
    std::vector<QImage> images(4, QImage(16, 16, QImage::Format_RGB32));
    for (QImage& image : images)
        image.fill(Qt::blue);
    SetObjectImages(images);
    {
        RecordingPaintDevice device;
        {
            QPainter painter(&device);
            DrawPictureSymbol(painter, 11, 22);
        }
        const auto drawn = device.Operations(RecordedOperation::Image);
        ASSERT_EQ(drawn.size(), 1u);
        EXPECT_EQ(drawn[0].DeviceRect, QRectF(11, 22, 16, 16));
    }
    SetObjectImages({});
    EXPECT_TRUE(ObjectImage(kPictureObjectImage).isNull());
}
