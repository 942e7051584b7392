// The picture converter: the GIF writer's bytes read back by Qt's GIF reader and by Pillow
// (an independent decoder), PNG transparency, the extension table.

#include "Subprocess.h"

#include "report/export/rpImageConverter.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

QByteArray Gif(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    WriteGIF(buffer, image);
    return bytes;
}

// 512 x 512 pixels of 256 different colours in random order: codes reach 12 bits and the
// table is reset many times.
QImage Noise()
{
    std::mt19937 random(11);
    std::vector<QRgb> palette;
    for (int i = 0; i < 256; ++i)
        palette.push_back(qRgb(i, static_cast<int>(random() % 256), (i * 37) % 256));
    QImage image(512, 512, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, palette[random() % 256]);
    return image;
}

} // namespace

TEST(GifWriter, OnePixel)
{
    QImage one(1, 1, QImage::Format_RGB32);
    one.fill(qRgb(10, 20, 30));
    const QByteArray gif = Gif(one);
    ASSERT_EQ(gif.size(), 13 + 768 + 8 + 14 + 10 + 1 + 6 + 1);
    EXPECT_EQ(gif.left(13), QByteArray("GIF89a\x01\x00\x01\x00\xE7\x00\x00", 13));
    EXPECT_EQ(gif.mid(13, 3), QByteArray("\x0A\x14\x1E", 3));
    EXPECT_EQ(gif.mid(781, 8), QByteArray("\x21\xF9\x04\x00\x00\x00\x00\x00", 8));
    EXPECT_EQ(gif.mid(789, 14), QByteArray("\x21\xFE\x0ARedaVedera\x00", 14));
    EXPECT_EQ(gif.mid(803, 10), QByteArray("\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00", 10));
    // Minimum code size 8, one sub-block: clear (256), pixel 0, end (257) in 9-bit codes.
    EXPECT_EQ(gif.mid(813), QByteArray("\x08\x04\x00\x01\x04\x04\x00\x3B", 8));
}

TEST(GifWriter, NoiseDecodesPixelForPixel)
{
    const QImage source = Noise();
    const QByteArray gif = Gif(source);
    // Qt's reader.
    QImage decoded = QImage::fromData(gif, "GIF").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(decoded.size(), source.size());
    EXPECT_TRUE(decoded == source.convertToFormat(QImage::Format_RGB32));
    // Sub-blocks never exceed 254 bytes.
    qsizetype at = 813 + 1;
    while (at < gif.size() && gif[at] != 0) {
        EXPECT_LE(static_cast<uchar>(gif[at]), 254);
        at += static_cast<uchar>(gif[at]) + 1;
    }
    EXPECT_EQ(at, gif.size() - 2);
    // Pillow.
    QTemporaryDir folder;
    const QString gifName = folder.filePath(QStringLiteral("n.gif"));
    const QString rawName = folder.filePath(QStringLiteral("n.rgb"));
    QFile file(gifName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(gif);
    file.close();
    std::string output;
    ASSERT_EQ(testsupport::RunCommand("/usr/bin/python3 -c \"import sys; from PIL import Image; "
                                      "im = Image.open(sys.argv[1]); print(im.info.get('comment').decode()); "
                                      "open(sys.argv[2], 'wb').write(im.convert('RGB').tobytes())\" '" +
                                          gifName.toStdString() + "' '" + rawName.toStdString() + "'",
                                      output),
              0)
        << output;
    EXPECT_EQ(output, "RedaVedera\n");
    QFile raw(rawName);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray pixels = raw.readAll();
    const QImage rgb = source.convertToFormat(QImage::Format_RGB888);
    QByteArray expected;
    for (int y = 0; y < rgb.height(); ++y)
        expected.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
    EXPECT_TRUE(pixels == expected);
}

TEST(PictureConverter, PngKeepsTheTransparentColour)
{
    QImage image(4, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(0x56, 0x34, 0x12));
    image.setPixel(1, 0, qRgb(0x12, 0x34, 0x56));
    image.setPixel(2, 0, qRgb(0, 0, 0));
    image.setPixel(3, 0, qRgb(0x56, 0x34, 0x12));
    QTemporaryDir folder;
    const QString name = folder.filePath(QStringLiteral("t.png"));
    SaveGraphicToFile(image, name, gpPNG);
    std::string output;
    ASSERT_EQ(testsupport::RunCommand("/usr/bin/python3 -c \"import sys; from PIL import Image; "
                                      "print([p[3] for p in Image.open(sys.argv[1]).convert('RGBA').getdata()])\" '" +
                                          name.toStdString() + "'",
                                      output),
              0)
        << output;
    EXPECT_EQ(output, "[0, 255, 255, 0]\n");
}

TEST(PictureConverter, ExtensionsAndFormats)
{
    const std::pair<int, const char*> table[] = {{gpPNG, "png"}, {gpBMP, "bmp"}, {gpEMF, "png"}, {gpWMF, "png"},
                                                 {gpJPG, "jpg"}, {gpGIF, "gif"}, {6, ""},     {-1, ""}};
    for (const auto& [type, extension] : table)
        EXPECT_EQ(PictureExtension(type).toStdString(), extension) << type;
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(qRgb(200, 100, 50));
    for (const TrpPictureType type : {gpPNG, gpBMP, gpEMF, gpWMF, gpJPG, gpGIF}) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        SaveGraphicAs(image, buffer, type);
        buffer.close();
        buffer.open(QIODevice::ReadOnly);
        // What was written is what the extension says.
        EXPECT_EQ(QString::fromLatin1(QImageReader(&buffer).format()).replace(QStringLiteral("jpeg"), QStringLiteral("jpg")),
                  PictureExtension(type))
            << type;
    }
}
