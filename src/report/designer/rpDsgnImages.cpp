#include "rpDsgnImages.h"

#include "report/model/rpGraphicUtils.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

namespace {

std::vector<QImage> gButtons;
std::vector<QImage> gDisabled;
std::vector<QImage> gWizards;

// How many images each list holds: every index the designer's windows ask for, and some to
// spare.
constexpr int kObjectImageCount = 72;
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

// The picture drawn for an index of a list (":/report/designer/images/<list>-NN.svg"), or the
// neutral square when the designer has no picture for that index.
QImage ListPicture(const char* list, int index, int size)
{
    const QString path = QStringLiteral(":/report/designer/images/%1-%2.svg")
                             .arg(QLatin1String(list))
                             .arg(index, 2, 10, QLatin1Char('0'));
    if (!QFile::exists(path))
        return NeutralSquare(size);
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return NeutralSquare(size);
    QImage image = Blank(size);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(0, 0, size, size));
    return image;
}

// A strip of the pictures of a whole list, as SetButtonImages and SetWizardImages take it.
QImage ListStrip(const char* list, int count, int size)
{
    QImage strip(size * count, size, QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    for (int i = 0; i < count; ++i)
        painter.drawImage(size * i, 0, ListPicture(list, i, size));
    return strip;
}

std::vector<QImage> ObjectPictures()
{
    std::vector<QImage> images;
    images.reserve(kObjectImageCount);
    for (int i = 0; i < kObjectImageCount; ++i)
        images.push_back(ListPicture("object", i, 16));
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
    SetButtonImages(ListStrip("button", kButtonImageCount, 16), true);
    gWizards.clear();
    SetWizardImages(ListStrip("wizard", kWizardImageCount, 32));
}

void RemoveDesignerImages()
{
    SetObjectImages({});
    gButtons.clear();
    gDisabled.clear();
    gWizards.clear();
}
