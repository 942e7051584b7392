// The RTF export's options window, worked offscreen through the scripted user interface: the
// options go in, come back on OK, the file is chosen through the save dialog; the slave rules.

#include "ReportFakes.h"

#include "report/model/rpClass_report.h"

#include "report/export/ExportRuntime.h"
#include "report/export/rpExportRTF.h"
#include "report/export/ui/ExportUi.h"
#include "report/export/ui/rpRTFExportDialog.h"
#include "report/script/ScriptedUi.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
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

std::unique_ptr<TrpRTFExport> Filter()
{
    ExportUi::init();
    auto filter = TrpCustomExportFilter::CreateNoRegister<TrpRTFExport>();
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

TEST(RtfExportDialog, OptionsGoInAndComeBackOnOk)
{
    struct Case {
        const char* name;
        std::function<void(TrpRTFExport&)> before;
        std::function<void(QObject&)> look; // what the window shows, before anything is changed
        std::function<void(QObject&)> work;
        std::function<void(const TrpRTFExport&)> check;
    };
    const Case cases[] = {
        {"defaults shown and kept",
         [](TrpRTFExport&) {},
         [](QObject& d) {
             EXPECT_TRUE(Find<QCheckBox>(d, "WCB")->isChecked());
             EXPECT_TRUE(Find<QCheckBox>(d, "PageBreaksCB")->isChecked());
             EXPECT_TRUE(Find<QCheckBox>(d, "PicturesCB")->isChecked());
             EXPECT_FALSE(Find<QCheckBox>(d, "ContinuousCB")->isChecked());
             EXPECT_FALSE(Find<QCheckBox>(d, "OpenCB")->isChecked());
             EXPECT_EQ(Find<QComboBox>(d, "PColontitulCB")->currentIndex(), 0);
             EXPECT_TRUE(Find<QRadioButton>(d, "AllRB")->isChecked());
         },
         [](QObject&) {},
         [](const TrpRTFExport& f) {
             EXPECT_TRUE(f.Wysiwyg);
             EXPECT_TRUE(f.ExportPageBreaks);
             EXPECT_TRUE(f.ExportPictures);
             EXPECT_FALSE(f.SuppressPageHeadersFooters);
             EXPECT_FALSE(f.OpenAfterExport);
             EXPECT_EQ(f.HeaderFooterMode, hfText);
             EXPECT_TRUE(f.PageNumbers.isEmpty());
             EXPECT_FALSE(f.CurPage);
         }},
        {"every box turned",
         [](TrpRTFExport& f) { f.HeaderFooterMode = hfNone; },
         [](QObject& d) { EXPECT_EQ(Find<QComboBox>(d, "PColontitulCB")->currentIndex(), 2); },
         [](QObject& d) {
             Find<QCheckBox>(d, "WCB")->setChecked(false);
             Find<QCheckBox>(d, "PageBreaksCB")->setChecked(false);
             Find<QCheckBox>(d, "PicturesCB")->setChecked(false);
             Find<QCheckBox>(d, "ContinuousCB")->setChecked(true);
             Find<QCheckBox>(d, "OpenCB")->setChecked(true);
             Find<QComboBox>(d, "PColontitulCB")->setCurrentIndex(0);
         },
         [](const TrpRTFExport& f) {
             EXPECT_FALSE(f.Wysiwyg);
             EXPECT_FALSE(f.ExportPageBreaks);
             EXPECT_FALSE(f.ExportPictures);
             EXPECT_TRUE(f.SuppressPageHeadersFooters);
             EXPECT_TRUE(f.OpenAfterExport);
             EXPECT_EQ(f.HeaderFooterMode, hfText);
         }},
        {"document headers force the continuous flow",
         [](TrpRTFExport&) {},
         [](QObject&) {},
         [](QObject& d) { Find<QComboBox>(d, "PColontitulCB")->setCurrentIndex(1); },
         [](const TrpRTFExport& f) {
             EXPECT_EQ(f.HeaderFooterMode, hfPrint);
             EXPECT_TRUE(f.SuppressPageHeadersFooters);
         }},
        {"page numbers shown and typed",
         [](TrpRTFExport& f) { f.PageNumbers = QStringLiteral("2"); },
         [](QObject& d) {
             EXPECT_TRUE(Find<QRadioButton>(d, "PageNumbersRB")->isChecked());
             EXPECT_EQ(Find<QLineEdit>(d, "PageNumbersE")->text(), QStringLiteral("2"));
         },
         [](QObject& d) { QTest::keyClicks(Find<QLineEdit>(d, "PageNumbersE"), QStringLiteral(",4a-5")); },
         [](const TrpRTFExport& f) { EXPECT_EQ(f.PageNumbers, QStringLiteral("2,4-5")); }},
        {"current page",
         [](TrpRTFExport& f) { f.PageNumbers = QStringLiteral("2"); },
         [](QObject&) {},
         [](QObject& d) { Find<QRadioButton>(d, "CurPageRB")->setChecked(true); },
         [](const TrpRTFExport& f) {
             EXPECT_TRUE(f.CurPage);
             EXPECT_TRUE(f.PageNumbers.isEmpty());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("out.rtf"));
        UiScope scope({QStringLiteral("ok ") + path});
        scope.ui.OnModal = [&](QObject& dialog, const QString&) {
            c.look(dialog);
            c.work(dialog);
            return static_cast<int>(mrOk);
        };
        auto filter = Filter();
        c.before(*filter);
        EXPECT_EQ(filter->ShowModal(), mrOk);
        EXPECT_EQ(filter->FileName, path);
        EXPECT_EQ(scope.ui.AnswersLeft(), 0);
        c.check(*filter);
    }
}

TEST(RtfExportDialog, SlaveExportHidesOpeningAndAsksForNoFile)
{
    UiScope scope({});
    bool openVisible = true;
    scope.ui.OnModal = [&](QObject& dialog, const QString&) {
        openVisible = !Find<QCheckBox>(dialog, "OpenCB")->isHidden();
        return static_cast<int>(mrOk);
    };
    auto filter = Filter();
    filter->SlaveExport = true;
    filter->OpenAfterExport = true;
    EXPECT_EQ(filter->ShowModal(), mrOk);
    EXPECT_FALSE(openVisible);
    EXPECT_FALSE(filter->OpenAfterExport);
    EXPECT_TRUE(filter->FileName.isEmpty());
}

TEST(RtfExportDialog, StreamNeedsNoWindowAndCancelsAreCancels)
{
    {
        UiScope scope({});
        bool shown = false;
        scope.ui.OnModal = [&](QObject&, const QString&) {
            shown = true;
            return static_cast<int>(mrOk);
        };
        auto filter = Filter();
        QBuffer buffer;
        filter->Stream = &buffer;
        EXPECT_EQ(filter->ShowModal(), mrOk);
        EXPECT_FALSE(shown);
    }
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
        filter->Wysiwyg = false;
        EXPECT_EQ(filter->ShowModal(), mrCancel);
        EXPECT_FALSE(filter->Wysiwyg);
    }
}

TEST(RtfExportDialog, CaptionsAndItemsAndAGrab)
{
    ExportUi::init();
    TrpRTFExportDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Экспорт в RTF (табличный)"));
    EXPECT_EQ(dialog.ContinuousCB->text(), QStringLiteral("Неразрывный"));
    EXPECT_EQ(dialog.WCB->text(), QStringLiteral("WYSIWYG"));
    EXPECT_EQ(dialog.HeadFootL->text(), QStringLiteral("Колонтитулы"));
    ASSERT_EQ(dialog.PColontitulCB->count(), 3);
    EXPECT_EQ(dialog.PColontitulCB->itemText(0), QStringLiteral("Текст"));
    EXPECT_EQ(dialog.PColontitulCB->itemText(1), QStringLiteral("Колонтитулы"));
    EXPECT_EQ(dialog.PColontitulCB->itemText(2), QStringLiteral("Нет"));
    EXPECT_FALSE(dialog.PColontitulCB->isEditable());
    const QRegularExpression key(QStringLiteral("^[0-9]+$"));
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        EXPECT_FALSE(key.match(button->text()).hasMatch()) << button->objectName().toStdString();
    for (QLabel* label : dialog.findChildren<QLabel*>())
        EXPECT_FALSE(key.match(label->text()).hasMatch()) << label->objectName().toStdString();
    for (const char* name : {"GroupPageRange", "GroupQuality", "OkB", "CancelB", "DescrL"})
        EXPECT_NE(dialog.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    UiScope scope({});
    QTest::keyClick(&dialog, Qt::Key_F1);
    EXPECT_EQ(scope.ui.AnswersLeft(), 0);
    const QString out = QString::fromLocal8Bit(qgetenv("DAX_GRAB_DIR"));
    if (!out.isEmpty()) {
        dialog.show();
        dialog.grab().save(QDir(out).filePath(QStringLiteral("rtf-export.png")));
    }
}

TEST(RtfExportDialog, MirroredRightToLeft)
{
    ExportUi::init();
    QApplication::setLayoutDirection(Qt::RightToLeft);
    TrpRTFExportDialog mirrored;
    EXPECT_EQ(mirrored.layoutDirection(), Qt::RightToLeft);
    QApplication::setLayoutDirection(Qt::LeftToRight);
}
