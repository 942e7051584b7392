#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpDsgnImages.h"
#include "report/model/rpGraphicUtils.h"
#include "SaveScreenshot.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

enum class List { Object, Button, Wizard };

// One index some window of the designer (or the report model drawing for it) asks for.
struct UsedImage {
    List list;
    int index;
    const char* meaning;
};

void PrintTo(const UsedImage& image, std::ostream* out)
{
    static const char* const names[] = {"object", "button", "wizard"};
    *out << names[static_cast<int>(image.list)] << ' ' << image.index << " (" << image.meaning << ')';
}

// Every index the designer's windows, the object registrations and the model's designer
// drawing use, written down from their descriptions rather than from the resource files.
const UsedImage kUsedImages[] = {
    // Object images: the object tool bar's fixed tools, the registered report objects and
    // categories, the report tree.
    {List::Object, 0, "select tool"},
    {List::Object, 1, "insert band tool"},
    {List::Object, 2, "text object"},
    {List::Object, 3, "picture symbol"},
    {List::Object, 4, "subreport"},
    {List::Object, 5, "line"},
    {List::Object, 6, "drawing category"},
    {List::Object, 7, "diagonal line"},
    {List::Object, 8, "rectangle"},
    {List::Object, 9, "rounded rectangle"},
    {List::Object, 10, "ellipse"},
    {List::Object, 11, "triangle"},
    {List::Object, 21, "dot-matrix command"},
    {List::Object, 24, "check box"},
    {List::Object, 27, "hand tool"},
    {List::Object, 28, "zoom tool"},
    {List::Object, 29, "text tool"},
    {List::Object, 30, "format tool"},
    {List::Object, 31, "diamond"},
    {List::Object, 32, "system text"},
    {List::Object, 34, "report"},
    {List::Object, 35, "report page"},
    {List::Object, 36, "dialog page"},
    {List::Object, 37, "data page"},
    {List::Object, 40, "band"},
    {List::Object, 63, "diagonal line, end arrow"},
    {List::Object, 64, "diagonal line, start arrow"},
    {List::Object, 65, "diagonal line, both arrows"},
    {List::Object, 66, "other objects category"},
    // Button images: data tree, status bar, workspace marks, editors' tool bars.
    {List::Button, 1, "open"},
    {List::Button, 2, "save"},
    {List::Button, 25, "word wrap"},
    {List::Button, 32, "frame top"},
    {List::Button, 33, "frame bottom"},
    {List::Button, 34, "frame left"},
    {List::Button, 35, "frame right"},
    {List::Button, 36, "all frame lines"},
    {List::Button, 37, "no frame"},
    {List::Button, 39, "frame colour"},
    {List::Button, 40, "frame style"},
    {List::Button, 52, "function"},
    {List::Button, 53, "data root, data set mark"},
    {List::Button, 54, "field"},
    {List::Button, 55, "cancel"},
    {List::Button, 56, "OK"},
    {List::Button, 60, "shadow"},
    {List::Button, 62, "position"},
    {List::Button, 63, "size"},
    {List::Button, 65, "new category"},
    {List::Button, 66, "category or root"},
    {List::Button, 67, "new variable"},
    {List::Button, 68, "edit"},
    {List::Button, 69, "edit list"},
    {List::Button, 70, "expression"},
    {List::Button, 72, "data set"},
    {List::Button, 73, "property"},
    {List::Button, 74, "other member"},
    {List::Button, 78, "class"},
    {List::Button, 79, "event"},
    {List::Button, 80, "variable"},
    {List::Button, 81, "delete variable"},
    {List::Button, 85, "aggregate"},
    {List::Button, 86, "local format"},
    {List::Button, 88, "delete style"},
    {List::Button, 89, "add style"},
    {List::Button, 97, "add variable"},
    {List::Button, 98, "delete"},
    {List::Button, 99, "inherited object"},
    // Button images: the designer window's tool bars and menus.
    {List::Button, 3, "preview"},
    {List::Button, 4, "new page"},
    {List::Button, 5, "new dialog"},
    {List::Button, 6, "delete page"},
    {List::Button, 7, "page settings"},
    {List::Button, 9, "cut"},
    {List::Button, 10, "copy"},
    {List::Button, 11, "paste"},
    {List::Button, 12, "undo"},
    {List::Button, 13, "redo"},
    {List::Button, 14, "group"},
    {List::Button, 15, "ungroup"},
    {List::Button, 16, "show grid"},
    {List::Button, 17, "align to grid"},
    {List::Button, 18, "fit to grid"},
    {List::Button, 19, "highlight"},
    {List::Button, 20, "bold"},
    {List::Button, 21, "italic"},
    {List::Button, 22, "underline"},
    {List::Button, 23, "font"},
    {List::Button, 24, "font colour"},
    {List::Button, 26, "rotation"},
    {List::Button, 27, "align text left"},
    {List::Button, 28, "centre text"},
    {List::Button, 29, "align text right"},
    {List::Button, 30, "justify text"},
    {List::Button, 31, "text at top"},
    {List::Button, 38, "text in the middle"},
    {List::Button, 41, "text at bottom"},
    {List::Button, 42, "fill colour"},
    {List::Button, 43, "align left edges"},
    {List::Button, 44, "align horizontal centres"},
    {List::Button, 45, "align right edges"},
    {List::Button, 46, "align top edges"},
    {List::Button, 47, "align vertical centres"},
    {List::Button, 48, "align bottom edges"},
    {List::Button, 49, "space horizontally"},
    {List::Button, 50, "space vertically"},
    {List::Button, 51, "centre horizontally in the band"},
    {List::Button, 57, "centre vertically in the band"},
    {List::Button, 58, "same width"},
    {List::Button, 59, "same height"},
    {List::Button, 61, "run the script"},
    {List::Button, 64, "step"},
    {List::Button, 71, "stop"},
    {List::Button, 75, "breakpoint"},
    {List::Button, 76, "run to the cursor"},
    {List::Button, 100, "new report"},
    // Wizard images: the New Item dialog and the inheritance list.
    {List::Wizard, 0, "empty report"},
    {List::Wizard, 1, "report wizard"},
    {List::Wizard, 5, "template"},
};

// Indexes no window uses: they hold the neutral square.
constexpr int kUnusedObject = 47;
constexpr int kUnusedButton = 119;
constexpr int kUnusedWizard = 7;

QImage Image(List list, int index)
{
    switch (list) {
    case List::Object:
        return ObjectImage(index);
    case List::Button:
        return index < static_cast<int>(MainButtonImages().size()) ? MainButtonImages()[index] : QImage();
    case List::Wizard:
        return index < static_cast<int>(WizardImages().size()) ? WizardImages()[index] : QImage();
    }
    return {};
}

QImage Comparable(const QImage& image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The pixels whose alpha reaches the given least value.
int OpaquePixels(const QImage& image, int leastAlpha = 1)
{
    const QImage argb = Comparable(image);
    int count = 0;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            count += qAlpha(argb.pixel(x, y)) >= leastAlpha ? 1 : 0;
    return count;
}

class DesignerImages : public testing::TestWithParam<UsedImage> {
protected:
    static void SetUpTestSuite() { DesignerRuntime::init(); }
};

TEST_P(DesignerImages, HasADrawnPictureOfTheListSize)
{
    const UsedImage used = GetParam();
    const int size = used.list == List::Wizard ? 32 : 16;
    const QImage image = Image(used.list, used.index);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(size, size));
    const int unused = used.list == List::Object ? kUnusedObject : used.list == List::Button ? kUnusedButton : kUnusedWizard;
    EXPECT_NE(Comparable(image), Comparable(Image(used.list, unused))) << "still the neutral square";
    EXPECT_GE(OpaquePixels(image), size * size / 16) << "almost nothing drawn";
    if (used.list == List::Button) {
        // The disabled copy is the same picture in greys, at half the opacity (the faintest
        // edge pixels of the drawing vanish).
        const QImage disabled = Comparable(DisabledButtonImages().at(used.index));
        ASSERT_EQ(disabled.size(), image.size());
        EXPECT_EQ(OpaquePixels(disabled), OpaquePixels(image, 2));
        for (int y = 0; y < disabled.height(); ++y)
            for (int x = 0; x < disabled.width(); ++x) {
                const QRgb pixel = disabled.pixel(x, y);
                EXPECT_TRUE(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel)) << x << ',' << y;
            }
    }
}

std::string CaseName(const testing::TestParamInfo<UsedImage>& info)
{
    static const char* const names[] = {"Object", "Button", "Wizard"};
    return std::string(names[static_cast<int>(info.param.list)]) + std::to_string(info.param.index);
}

INSTANTIATE_TEST_SUITE_P(UsedIndexes, DesignerImages, testing::ValuesIn(kUsedImages), CaseName);

TEST(DesignerImageLists, UnusedIndexesHoldTheNeutralSquareAndDistinctPicturesDiffer)
{
    DesignerRuntime::init();
    // Two unused indexes of a list look the same; the used pictures of a list differ from
    // each other (apart from the two variable buttons, which stand for the same action).
    EXPECT_EQ(Comparable(Image(List::Object, 12)), Comparable(Image(List::Object, kUnusedObject)));
    EXPECT_EQ(Comparable(Image(List::Button, 0)), Comparable(Image(List::Button, kUnusedButton)));
    EXPECT_EQ(Comparable(Image(List::Wizard, 2)), Comparable(Image(List::Wizard, kUnusedWizard)));
    for (const UsedImage& a : kUsedImages)
        for (const UsedImage& b : kUsedImages) {
            if (&a >= &b || a.list != b.list || (a.list == List::Button && a.index == 67 && b.index == 97))
                continue;
            EXPECT_NE(Comparable(Image(a.list, a.index)), Comparable(Image(b.list, b.index)))
                << a.meaning << " / " << b.meaning;
        }
}

// A contact sheet of every used picture at four times its size, enabled and (for buttons)
// disabled, labelled with list and index, for people to look at.
TEST(DesignerImageLists, ContactSheet)
{
    DesignerRuntime::init();
    QWidget sheet;
    sheet.setStyleSheet(QStringLiteral("background: white"));
    auto* grid = new QGridLayout(&sheet);
    int cell = 0;
    for (const UsedImage& used : kUsedImages) {
        const QImage image = Image(used.list, used.index);
        QImage tile(used.list == List::Button ? 136 : 68, 68, QImage::Format_ARGB32_Premultiplied);
        tile.fill(Qt::white);
        {
            QPainter painter(&tile);
            const int scale = used.list == List::Wizard ? 2 : 4;
            painter.drawImage(QRect(2, 2, image.width() * scale, image.height() * scale), image);
            if (used.list == List::Button)
                painter.drawImage(QRect(70, 2, 64, 64), DisabledButtonImages().at(used.index));
        }
        auto* picture = new QLabel;
        picture->setPixmap(QPixmap::fromImage(tile));
        static const char* const names[] = {"obj", "btn", "wiz"};
        auto* caption = new QLabel(QStringLiteral("%1 %2\n%3")
                                       .arg(QLatin1String(names[static_cast<int>(used.list)]))
                                       .arg(used.index)
                                       .arg(QLatin1String(used.meaning)));
        caption->setFont(QFont(QStringLiteral("DejaVu Sans"), 7));
        const int row = cell / 10 * 2;
        const int column = cell % 10;
        grid->addWidget(picture, row, column);
        grid->addWidget(caption, row + 1, column);
        ++cell;
    }
    sheet.adjustSize();
    EXPECT_GT(sheet.width(), 0);
    SaveScreenshot(sheet, QStringLiteral("designer-images"));
}

} // namespace
