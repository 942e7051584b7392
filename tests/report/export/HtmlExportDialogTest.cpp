// The HTML export's options window, worked offscreen through the scripted user interface: the
// controls and their texts, the options going in and coming back on OK, the slave-export
// rules, the picture list (PNG kept), the file chosen through the save dialog.


#include "report/export/ExportRuntime.h"
#include "report/export/rpExportHTML.h"
#include "report/export/ui/ExportUi.h"
#include "report/export/ui/rpHTMLExportDialog.h"
#include "report/script/ScriptedUi.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct UiScope {
    explicit UiScope(QStringList answers) : ui(std::move(answers)) { ReportServices::SetUi(&ui); }
    ~UiScope() { ReportServices::SetUi(nullptr); }
    ScriptedUi ui;
};

std::unique_ptr<TrpHTMLExport> Filter()
{
    ExportUi::init();
    auto filter = TrpCustomExportFilter::CreateNoRegister<TrpHTMLExport>();
    filter->ShowDialog = true;
    return filter;
}

template <typename T>
T* Find(QObject& dialog, const char* name)
{
    T* child = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

} // namespace

TEST(HtmlExportDialog, ControlsAndTheirTexts)
{
    ExportUi::init();
    TrpHTMLExportDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Экспорт в HTML (табличный)"));
    const struct {
        const char* name;
        const char* text;
    } boxes[] = {{"StylesCB", "Стили"},          {"PicsSameCB", "Все в одной папке"}, {"FixWidthCB", "Фикс.ширина"},
                 {"NavigatorCB", "Навигатор"},   {"MultipageCB", "Многостраничный"}, {"BackgrCB", "Фон"},
                 {"OpenAfterCB", "Открыть после экспорта"}};
    for (const auto& box : boxes)
        EXPECT_EQ(Find<QCheckBox>(dialog, box.name)->text(), QString::fromUtf8(box.text)) << box.name;
    EXPECT_EQ(Find<QLabel>(dialog, "PicturesL")->text(), QStringLiteral("Картинки"));
    for (const char* name : {"GroupQuality", "GroupPageRange"})
        Find<QGroupBox>(dialog, name);
    for (const char* name : {"AllRB", "CurPageRB", "PageNumbersRB"})
        Find<QRadioButton>(dialog, name);
    Find<QLineEdit>(dialog, "PageNumbersE");
    Find<QLabel>(dialog, "DescrL");
    Find<QAbstractButton>(dialog, "OkB");
    Find<QAbstractButton>(dialog, "CancelB");
    QComboBox* pictures = Find<QComboBox>(dialog, "PFormatCB");
    ASSERT_EQ(pictures->count(), 5);
    EXPECT_FALSE(pictures->isEditable());
    const QStringList items{QStringLiteral("Нет"), QStringLiteral("JPEG"), QStringLiteral("BMP"), QStringLiteral("GIF"),
                            QStringLiteral("PNG")};
    for (int i = 0; i < items.size(); ++i)
        EXPECT_EQ(pictures->itemText(i), items[i]);
    EXPECT_TRUE(dialog.AllRB->isChecked());
    // No widget shows a bare resource key.
    const QRegularExpression key(QStringLiteral("^[0-9]+$"));
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        EXPECT_FALSE(key.match(button->text()).hasMatch()) << button->objectName().toStdString();
    for (QLabel* label : dialog.findChildren<QLabel*>())
        EXPECT_FALSE(key.match(label->text()).hasMatch()) << label->objectName().toStdString();
    const QString out = QString::fromLocal8Bit(qgetenv("DAX_GRAB_DIR"));
    if (!out.isEmpty()) {
        dialog.show();
        dialog.grab().save(QDir(out).filePath(QStringLiteral("html-export.png")));
    }
}

TEST(HtmlExportDialog, OptionsGoInAndComeBackOnOk)
{
    struct Case {
        const char* name;
        std::function<void(TrpHTMLExport&)> before;
        std::function<void(QObject&)> work;
        std::function<void(const TrpHTMLExport&)> check;
    };
    const Case cases[] = {
        {"untouched keeps everything, PNG included",
         [](TrpHTMLExport& f) {
             f.Centered = true;
             f.Navigator = true;
         },
         [](QObject& d) { EXPECT_EQ(Find<QComboBox>(d, "PFormatCB")->currentIndex(), 4); },
         [](const TrpHTMLExport& f) {
             EXPECT_EQ(f.PictureType, gpPNG);
             EXPECT_TRUE(f.ExportPictures);
             EXPECT_TRUE(f.Navigator);
             EXPECT_TRUE(f.Centered);
             EXPECT_TRUE(f.FixedWidth);
             EXPECT_TRUE(f.ExportStyles);
             EXPECT_TRUE(f.PageNumbers.isEmpty());
         }},
        {"no pictures",
         [](TrpHTMLExport& f) { f.PictureType = gpGIF; },
         [](QObject& d) {
             EXPECT_EQ(Find<QComboBox>(d, "PFormatCB")->currentIndex(), 3);
             Find<QComboBox>(d, "PFormatCB")->setCurrentIndex(0);
         },
         [](const TrpHTMLExport& f) {
             EXPECT_FALSE(f.ExportPictures);
             EXPECT_EQ(f.PictureType, gpPNG);
         }},
        {"JPEG shown for the metafile types",
         [](TrpHTMLExport& f) { f.PictureType = gpEMF; },
         [](QObject& d) { EXPECT_EQ(Find<QComboBox>(d, "PFormatCB")->currentIndex(), 1); },
         [](const TrpHTMLExport& f) { EXPECT_EQ(f.PictureType, gpJPG); }},
        {"BMP and the boxes",
         [](TrpHTMLExport& f) { f.ExportPictures = false; },
         [](QObject& d) {
             EXPECT_EQ(Find<QComboBox>(d, "PFormatCB")->currentIndex(), 0);
             Find<QComboBox>(d, "PFormatCB")->setCurrentIndex(2);
             Find<QCheckBox>(d, "StylesCB")->setChecked(false);
             Find<QCheckBox>(d, "PicsSameCB")->setChecked(true);
             Find<QCheckBox>(d, "FixWidthCB")->setChecked(false);
             Find<QCheckBox>(d, "MultipageCB")->setChecked(true);
             Find<QCheckBox>(d, "BackgrCB")->setChecked(true);
             Find<QCheckBox>(d, "OpenAfterCB")->setChecked(true);
         },
         [](const TrpHTMLExport& f) {
             EXPECT_TRUE(f.ExportPictures);
             EXPECT_EQ(f.PictureType, gpBMP);
             EXPECT_FALSE(f.ExportStyles);
             EXPECT_TRUE(f.PicsInSameFolder);
             EXPECT_FALSE(f.FixedWidth);
             EXPECT_TRUE(f.Multipage);
             EXPECT_TRUE(f.Background);
             EXPECT_TRUE(f.OpenAfterExport);
         }},
        {"typed page numbers select their button",
         [](TrpHTMLExport&) {},
         [](QObject& d) { QTest::keyClicks(Find<QLineEdit>(d, "PageNumbersE"), QStringLiteral("1a,3-5")); },
         [](const TrpHTMLExport& f) {
             EXPECT_EQ(f.PageNumbers, QStringLiteral("1,3-5"));
             EXPECT_FALSE(f.CurPage);
         }},
        {"current page",
         [](TrpHTMLExport& f) { f.PageNumbers = QStringLiteral("2"); },
         [](QObject& d) {
             EXPECT_TRUE(Find<QRadioButton>(d, "PageNumbersRB")->isChecked());
             EXPECT_EQ(Find<QLineEdit>(d, "PageNumbersE")->text(), QStringLiteral("2"));
             Find<QRadioButton>(d, "CurPageRB")->setChecked(true);
         },
         [](const TrpHTMLExport& f) {
             EXPECT_TRUE(f.CurPage);
             EXPECT_TRUE(f.PageNumbers.isEmpty());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("out.html"));
        UiScope scope({QStringLiteral("ok ") + path});
        scope.ui.OnModal = [&](QObject& dialog, const QString& caption) {
            EXPECT_EQ(caption, QStringLiteral("TrpHTMLExportDialog"));
            c.work(dialog);
            return static_cast<int>(mrOk);
        };
        auto filter = Filter();
        c.before(*filter);
        EXPECT_EQ(filter->ShowModal(), mrOk);
        EXPECT_EQ(filter->FileName, path);
        c.check(*filter);
    }
}

TEST(HtmlExportDialog, SlaveExportsKeepTheirOwnSettings)
{
    UiScope scope({});
    bool openHidden = false;
    QStringList disabled;
    scope.ui.OnModal = [&](QObject& dialog, const QString&) {
        openHidden = Find<QCheckBox>(dialog, "OpenAfterCB")->isHidden();
        for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
            if (!box->isEnabled())
                disabled << box->objectName();
        return static_cast<int>(mrOk);
    };
    auto filter = Filter();
    filter->SlaveExport = true;
    filter->OpenAfterExport = true;
    filter->Multipage = true;
    filter->Navigator = true;
    filter->Background = true;
    filter->PicsInSameFolder = false;
    EXPECT_EQ(filter->ShowModal(), mrOk);
    EXPECT_TRUE(openHidden);
    disabled.sort();
    EXPECT_EQ(disabled, QStringList({QStringLiteral("BackgrCB"), QStringLiteral("MultipageCB"), QStringLiteral("NavigatorCB"),
                                     QStringLiteral("PicsSameCB")}));
    EXPECT_FALSE(filter->OpenAfterExport);
    EXPECT_FALSE(filter->Multipage);
    EXPECT_FALSE(filter->Navigator);
    EXPECT_FALSE(filter->Background);
    EXPECT_TRUE(filter->PicsInSameFolder);
    EXPECT_TRUE(filter->ExportPictures);
    // No save dialog for a slave export.
    EXPECT_EQ(scope.ui.AnswersLeft(), 0);
    EXPECT_TRUE(filter->FileName.isEmpty());
}

TEST(HtmlExportDialog, CancelsAndStreams)
{
    {
        // The save dialog cancelled after OK cancels the export.
        UiScope scope({QStringLiteral("cancel")});
        scope.ui.OnModal = [](QObject&, const QString&) { return static_cast<int>(mrOk); };
        auto filter = Filter();
        EXPECT_EQ(filter->ShowModal(), mrCancel);
        EXPECT_TRUE(filter->FileName.isEmpty());
    }
    {
        UiScope scope({});
        scope.ui.OnModal = [](QObject&, const QString&) { return static_cast<int>(mrCancel); };
        auto filter = Filter();
        filter->Multipage = true;
        EXPECT_EQ(filter->ShowModal(), mrCancel);
        EXPECT_TRUE(filter->Multipage);
    }
    {
        // With an output stream no window is shown.
        UiScope scope({});
        bool shown = false;
        scope.ui.OnModal = [&](QObject&, const QString&) {
            shown = true;
            return static_cast<int>(mrCancel);
        };
        QBuffer buffer;
        auto filter = Filter();
        filter->Stream = &buffer;
        EXPECT_EQ(filter->ShowModal(), mrOk);
        EXPECT_FALSE(shown);
    }
}

TEST(HtmlExportDialog, MirroredRightToLeftAndF1AsksForHelp)
{
    ExportUi::init();
    QApplication::setLayoutDirection(Qt::RightToLeft);
    {
        TrpHTMLExportDialog dialog;
        EXPECT_EQ(dialog.layoutDirection(), Qt::RightToLeft);
    }
    QApplication::setLayoutDirection(Qt::LeftToRight);
    TrpHTMLExportDialog dialog;
    UiScope scope({});
    QTest::keyClick(&dialog, Qt::Key_F1);
    EXPECT_EQ(scope.ui.AnswersLeft(), 0);
}
