#include "DialogTestSupport.h"

#include "report/designer/rpDesgnCtrls.h"
#include "report/designer/rpFrameEditor.h"
#include "report/designer/rpHighlightEditor.h"
#include "report/designer/rpMemoEditor.h"
#include "report/designer/rpPictureEditor.h"
#include "report/designer/rpStyleEditor.h"
#include "report/engine/ui/rpCtrls.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_styles.h"
#include "report/model/rpClass_views.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

QByteArray PngBytes(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The smallest enhanced metafile the picture kinds recognise: a header record of 100 bytes.
QByteArray EmfBytes()
{
    QByteArray bytes(100, '\0');
    auto put = [&](int at, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    put(0, 1);
    put(4, 100);
    put(32, 2540);
    put(36, 1270);
    put(40, 0x464D4520);
    return bytes;
}

QStringList Names(const TrpStyles& styles)
{
    QStringList names;
    for (int i = 0; i < styles.Count(); ++i)
        names.append(styles.Items(i)->Name());
    return names;
}

class AppearanceDialogs : public ::testing::Test {
protected:
    ModalScript modal;
    TrpReport report;
    ExpressionDesigner designer{&report};
};

TEST_F(AppearanceDialogs, FrameEditorAllLinesAndOneLine)
{
    TrpFrame frame;
    frame.Typ = kAllFrameSides;
    {
        TrpFrameEditorForm form(nullptr, &designer);
        form.SetFrame(frame);
        modal.Then<TrpFrameEditorForm>([](TrpFrameEditorForm& form) {
            EXPECT_EQ(form.FrameLineCB->currentIndex(), 1);
            EXPECT_EQ(form.FrameLineCB->itemText(0), QStringLiteral("Все линии"));
            form.FrameLineCB->setCurrentIndex(0);
            form.FrameColorB->click();
            ASSERT_NE(form.Selector(), nullptr);
            auto* picker = static_cast<TrpColorSelector*>(form.Selector());
            picker->Pick(8 + 18 * 3 + 2, 8 + 18 + 2); // red
            form.OkB->click();
        });
        ASSERT_EQ(form.Execute(), mrOk);
        for (const TrpFrameLine* line : {&form.Frame().LeftLine(), &form.Frame().RightLine(),
                                         &form.Frame().TopLine(), &form.Frame().BottomLine()})
            EXPECT_EQ(line->Color, clRed);
    }
    TrpFrameEditorForm form(nullptr, &designer);
    form.SetFrame(frame);
    modal.Then<TrpFrameEditorForm>([](TrpFrameEditorForm& form) {
        ASSERT_EQ(form.FrameLineCB->currentText(), QStringLiteral("Левая линия"));
        form.BClick(70, TColor(0xFF0000));
        form.FrameWidthCB->setEditText(QStringLiteral("2,5"));
        form.BClick(9);
        SaveScreenshot(form, QStringLiteral("frame-editor"));
        form.OkB->click();
    });
    ASSERT_EQ(form.Execute(), mrOk);
    EXPECT_EQ(form.Frame().LeftLine().Color, TColor(0xFF0000));
    EXPECT_EQ(form.Frame().LeftLine().Width, 2.5);
    EXPECT_EQ(form.Frame().RightLine().Color, clBlack);
    EXPECT_EQ(form.Frame().TopLine().Width, 1);
}

TEST_F(AppearanceDialogs, FrameEditorSidesShadowAndRefusedWidth)
{
    TrpFrame frame;
    TrpFrameEditorForm form(nullptr, &designer);
    form.SetFrame(frame);
    modal.Then<TrpFrameEditorForm>([&](TrpFrameEditorForm& form) {
        form.FrameAllB->click();
        EXPECT_TRUE(form.FrameTopB->isChecked());
        form.FrameTopB->click();
        form.ShadowB->click();
        form.ShadowWidthCB->setEditText(QStringLiteral("6"));
        form.BClick(12);
        form.FrameLineCB->setCurrentIndex(4);
        form.FrameWidthCB->setEditText(QStringLiteral("abc"));
        form.FrameWidthCB->lineEdit()->editingFinished();
        EXPECT_EQ(form.FrameWidthCB->currentText(), QStringLiteral("1"));
        form.OkB->click();
    });
    ASSERT_EQ(form.Execute(), mrOk);
    EXPECT_EQ(form.Frame().Typ, (1u << ftLeft) | (1u << ftRight) | (1u << ftBottom));
    EXPECT_TRUE(form.Frame().DropShadow);
    EXPECT_EQ(form.Frame().ShadowWidth, 6);
    EXPECT_EQ(form.Frame().BottomLine().Width, 1);
    ASSERT_EQ(modal.ui.Errors.size(), 1);
}

TEST_F(AppearanceDialogs, HighlightTransparentCancelAndHosting)
{
    TrpMemoView memo;
    memo.Highlight().Color = clNone;
    modal.ui.ColorAnswer = 0x00FF00;
    modal.Then<TrpHighlightEditorForm>([](TrpHighlightEditorForm& form) {
        EXPECT_TRUE(form.TransparentRB->isChecked());
        EXPECT_FALSE(form.BackColorB->isEnabled());
        form.OtherRB->click();
        form.BackColorB->click();
        EXPECT_EQ(form.BackColor(), RgbToColor(0x00FF00));
        form.CancelB->click();
    });
    TrpHighlightEditorForm cancelled(nullptr, &designer);
    cancelled.SetMemoView(&memo);
    EXPECT_EQ(cancelled.Execute(), mrCancel);
    EXPECT_EQ(memo.Highlight().Color, clNone);

    modal.Then<TrpHighlightEditorForm>([](TrpHighlightEditorForm& form) {
        form.OtherRB->click();
        form.BackColorB->click();
        form.TransparentRB->click();
        form.FontColorB->click();
        form.ItalicCB->setChecked(true);
        form.ConditionE->Button()->click();
        SaveScreenshot(form, QStringLiteral("highlight-editor"));
        form.OKB->click();
    });
    designer.Answer = QStringLiteral("[Total] > 0");
    TrpHighlightEditorForm form(nullptr, &designer);
    form.SetMemoView(&memo);
    ASSERT_EQ(form.Execute(), mrOk);
    EXPECT_EQ(memo.Highlight().Color, 536870911);
    EXPECT_EQ(memo.Highlight().Font().Color(), RgbToColor(0x00FF00));
    EXPECT_EQ(memo.Highlight().Font().Style(), kFontStyleItalic);
    EXPECT_EQ(memo.Highlight().Condition, QStringLiteral("[Total] > 0"));
}

TEST_F(AppearanceDialogs, StylesDeleteAddRenameAndFiles)
{
    for (const char* name : {"Style1", "Style3"})
        report.Styles().Add()->SetName(QString::fromLatin1(name));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("sheet"));
    modal.ui.Files = QStringList{file, file + QStringLiteral(".fs3")};
    modal.Then<TrpStyleEditorForm>([](TrpStyleEditorForm& form) {
        EXPECT_EQ(form.StylesTV->topLevelItemCount(), 2);
        form.AddB->click();
        EXPECT_EQ(form.Selected()->Name(), QStringLiteral("Style2"));
        EXPECT_EQ(Names(form.Styles()), (QStringList{"Style1", "Style3", "Style2"}));
        form.StylesTV->currentItem()->setText(0, QStringLiteral("Style1"));
        EXPECT_EQ(form.Selected()->Name(), QStringLiteral("Style2"));
        EXPECT_EQ(form.StylesTV->currentItem()->text(0), QStringLiteral("Style2"));
        form.StylesTV->currentItem()->setText(0, QStringLiteral("Заголовок"));
        EXPECT_EQ(form.Selected()->Name(), QStringLiteral("Заголовок"));
        form.Selected()->Color = TColor(0x00FFFF);
        form.StylesTV->setCurrentItem(form.StylesTV->topLevelItem(2));
        form.resize(389, 251);
        SaveScreenshot(form, QStringLiteral("style-editor"));
        form.SaveB->click();
        form.DeleteB->click();
        EXPECT_EQ(form.StylesTV->currentItem()->text(0), QStringLiteral("Style3"));
        form.LoadB->click();
        EXPECT_EQ(Names(form.Styles()), (QStringList{"Style1", "Style3", "Заголовок"}));
        EXPECT_EQ(form.Styles().Items(2)->Color, TColor(0x00FFFF));
        form.CancelB->click();
    });
    TrpStyleEditorForm form(nullptr, &designer);
    EXPECT_EQ(form.Execute(), mrCancel);
    EXPECT_EQ(Names(report.Styles()), (QStringList{"Style1", "Style3"}));
    EXPECT_TRUE(QFile::exists(file + QStringLiteral(".fs3")));
    ASSERT_FALSE(modal.ui.Filters.isEmpty());
    EXPECT_TRUE(modal.ui.Filters[0].endsWith(QStringLiteral("(*.fs3)"))) << modal.ui.Filters[0].toStdString();
    EXPECT_EQ(modal.ui.Errors.size(), 1); // the refused duplicate name

    modal.Then<TrpStyleEditorForm>([](TrpStyleEditorForm& form) {
        form.DeleteB->click();
        EXPECT_EQ(form.Selected()->Name(), QStringLiteral("Style3"));
        form.DeleteB->click();
        EXPECT_EQ(form.Selected(), nullptr);
        EXPECT_FALSE(form.ColorB->isEnabled());
        EXPECT_FALSE(form.FontB->isEnabled());
        EXPECT_FALSE(form.FrameB->isEnabled());
        form.OkB->click();
    });
    TrpStyleEditorForm emptied(nullptr, &designer);
    emptied.Execute();
    EXPECT_EQ(report.Styles().Count(), 0);
}

TEST_F(AppearanceDialogs, PictureLoadPasteClearAndMetafiles)
{
    QTemporaryDir dir;
    auto write = [&](const char* name, const QByteArray& bytes) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    };
    // A PNG named .bmp: the bytes decide.
    const QString png = write("small.bmp", PngBytes(10, 10));
    const QString text = write("notes.png", QByteArray("just words, no picture\n"));
    const QString emf = write("drawing.emf", EmfBytes());
    modal.ui.Files = QStringList{png, text, emf};
    QApplication::clipboard()->setText(QStringLiteral("no picture"));
    modal.Then<TrpPictureEditorForm>([&](TrpPictureEditorForm& form) {
        form.resize(400, 300);
        EXPECT_EQ(form.StatusText(), QStringLiteral("Пусто"));
        form.LoadB->click();
        EXPECT_EQ(form.Picture().Kind(), QStringLiteral("PNG"));
        EXPECT_EQ(form.StatusText(), QStringLiteral("10 x 10"));
        EXPECT_FALSE(form.Stretched());
        SaveScreenshot(form, QStringLiteral("picture-editor"));
        form.LoadB->click();
        EXPECT_EQ(form.Picture().Kind(), QStringLiteral("PNG"));
        EXPECT_EQ(modal.ui.Errors.size(), 1);
        form.PasteB->click();
        EXPECT_EQ(modal.ui.Errors.size(), 2);
        EXPECT_EQ(modal.ui.Errors.value(1), QStringLiteral("Invalid image format"));
        EXPECT_EQ(form.StatusText(), QStringLiteral("10 x 10"));
        form.CopyB->click();
        form.ClearB->click();
        EXPECT_EQ(form.StatusText(), QStringLiteral("Пусто"));
        form.PasteB->click();
        EXPECT_EQ(form.Picture().Kind(), QStringLiteral("PNG"));
        EXPECT_EQ(form.StatusText(), QStringLiteral("10 x 10"));
        QImage big(2000, 1500, QImage::Format_RGB32);
        big.fill(Qt::green);
        QApplication::clipboard()->setImage(big);
        form.PasteB->click();
        EXPECT_TRUE(form.Stretched());
        form.LoadB->click();
        EXPECT_EQ(form.Picture().Kind(), QStringLiteral("EMF"));
        EXPECT_EQ(form.Picture().Data(), EmfBytes());
        form.OkB->click();
    });
    TrpPictureEditorForm form(nullptr, &designer);
    ASSERT_EQ(form.Execute(), mrOk);
    EXPECT_EQ(form.Picture().Data(), EmfBytes());
}

} // namespace
