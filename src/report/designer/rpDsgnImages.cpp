#include "rpDsgnImages.h"

#include "report/model/rpGraphicUtils.h"

#include <QPainter>
#include <QPainterPath>

namespace {

std::vector<QImage> gButtons;
std::vector<QImage> gDisabled;
std::vector<QImage> gWizards;

// How many images each list holds: every index the designer's windows ask for, and some to
// spare.
constexpr int kObjectImageCount = 48;
constexpr int kButtonImageCount = 120;
constexpr int kWizardImageCount = 8;

std::vector<QImage> SplitStrip(const QImage& strip, int size)
{
    std::vector<QImage> images;
    if (strip.isNull() || strip.height() < size)
        return images;
    for (int x = 0; x + size <= strip.width(); x += size)
        images.push_back(strip.copy(x, 0, size, size).convertToFormat(QImage::Format_ARGB32_Premultiplied));
    return images;
}

QImage Greyed(const QImage& image)
{
    QImage grey = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int g = 128 + qGray(line[x]) / 2;
            line[x] = qRgba(g, g, g, qAlpha(line[x]) / 2);
        }
    }
    return grey;
}

QImage Blank(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The neutral square of an index without a picture of its own.
QImage NeutralSquare(int size)
{
    QImage image = Blank(size);
    QPainter painter(&image);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.setBrush(QColor(0xE8, 0xE8, 0xE8));
    painter.drawRect(2, 2, size - 5, size - 5);
    return image;
}

// A framed landscape: the picture symbol.
QImage PictureSymbol()
{
    QImage image = Blank(16);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.setBrush(QColor(0xCF, 0xE8, 0xFF));
    painter.drawRect(QRectF(1.5, 2.5, 13, 11));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x3C, 0x9A, 0x3C));
    QPainterPath hills;
    hills.moveTo(2, 13);
    hills.lineTo(6, 7);
    hills.lineTo(9, 11);
    hills.lineTo(11, 9);
    hills.lineTo(14, 13);
    hills.closeSubpath();
    painter.drawPath(hills);
    painter.setBrush(QColor(0xF0, 0xC0, 0x20));
    painter.drawEllipse(QPointF(11, 5.5), 1.6, 1.6);
    return image;
}

// A sheet with lines: the report and page images of the report tree.
QImage Sheet(const QColor& fold)
{
    QImage image = Blank(16);
    QPainter painter(&image);
    painter.setPen(QColor(0x50, 0x50, 0x50));
    painter.setBrush(Qt::white);
    painter.drawRect(3, 1, 10, 13);
    painter.fillRect(10, 1, 4, 4, fold);
    painter.setPen(QColor(0x90, 0x90, 0x90));
    for (int y = 5; y <= 11; y += 3)
        painter.drawLine(5, y, 11, y);
    return image;
}

// A band: a coloured strip.
QImage BandImage()
{
    QImage image = Blank(16);
    QPainter painter(&image);
    painter.setPen(QColor(0x50, 0x50, 0x50));
    painter.setBrush(QColor(0xF2, 0xD8, 0x90));
    painter.drawRect(1, 5, 13, 5);
    return image;
}

std::vector<QImage> ObjectPictures()
{
    std::vector<QImage> images;
    for (int i = 0; i < kObjectImageCount; ++i)
        images.push_back(NeutralSquare(16));
    images[kPictureObjectImage] = PictureSymbol();
    images[34] = Sheet(QColor(0x40, 0x70, 0xC0)); // report
    images[35] = Sheet(QColor(0x60, 0xA0, 0x60)); // report page
    images[36] = Sheet(QColor(0x90, 0x60, 0xC0)); // dialog page
    images[37] = Sheet(QColor(0xC0, 0x80, 0x40)); // data page
    images[40] = BandImage();                     // band
    return images;
}

} // namespace

const std::vector<QImage>& MainButtonImages()
{
    return gButtons;
}

const std::vector<QImage>& DisabledButtonImages()
{
    return gDisabled;
}

const std::vector<QImage>& WizardImages()
{
    return gWizards;
}

void SetButtonImages(const QImage& strip, bool clearFirst)
{
    if (clearFirst) {
        gButtons.clear();
        gDisabled.clear();
    }
    for (QImage& image : SplitStrip(strip, 16)) {
        gDisabled.push_back(Greyed(image));
        gButtons.push_back(std::move(image));
    }
}

void SetWizardImages(const QImage& strip)
{
    for (QImage& image : SplitStrip(strip, 32))
        gWizards.push_back(std::move(image));
}

void InstallDesignerImages()
{
    SetObjectImages(ObjectPictures());
    QImage buttons(16 * kButtonImageCount, 16, QImage::Format_ARGB32_Premultiplied);
    buttons.fill(Qt::transparent);
    {
        QPainter painter(&buttons);
        const QImage square = NeutralSquare(16);
        for (int i = 0; i < kButtonImageCount; ++i)
            painter.drawImage(16 * i, 0, square);
    }
    SetButtonImages(buttons, true);
    QImage wizards(32 * kWizardImageCount, 32, QImage::Format_ARGB32_Premultiplied);
    wizards.fill(Qt::transparent);
    {
        QPainter painter(&wizards);
        const QImage square = NeutralSquare(32);
        for (int i = 0; i < kWizardImageCount; ++i)
            painter.drawImage(32 * i, 0, square);
    }
    gWizards.clear();
    SetWizardImages(wizards);
}

void RemoveDesignerImages()
{
    SetObjectImages({});
    gButtons.clear();
    gDisabled.clear();
    gWizards.clear();
}
