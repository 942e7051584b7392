// The PDF export's options window, worked offscreen through the scripted user interface: the
// options go in, come back on OK, the file is chosen through the save dialog.

#include "ExportFixtures.h"
#include "PreparedPagesBuilder.h"
#include "ReportFakes.h"

#include "report/export/ExportRuntime.h"
#include "report/export/rpExportPDF.h"
#include "report/export/ui/ExportUi.h"
#include "report/export/ui/rpPDFExportDialog.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/script/ScriptedUi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

struct UiScope {
    explicit UiScope(QStringList answers) : ui(std::move(answers)) { ReportServices::SetUi(&ui); }
    ~UiScope() { ReportServices::SetUi(nullptr); }
    ScriptedUi ui;
};

std::unique_ptr<TrpPDFExport> Filter()
{
    ExportUi::init();
    auto filter = TrpCustomExportFilter::CreateNoRegister<TrpPDFExport>();
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

TEST(PdfExportDialog, OptionsGoInAndComeBackOnOk)
{
    struct Case {
        const char* name;
        std::function<void(TrpPDFExport&)> before;
        std::function<void(QObject&)> work;
        std::function<void(const TrpPDFExport&)> check;
    };
    const Case cases[] = {
        {"untouched keeps everything",
         [](TrpPDFExport& f) {
             f.Title = QStringLiteral("Архив");
             f.ProtectionFlags = 1u << ePrint;
             f.HideToolbar = true;
         },
         [](QObject&) {},
         [](const TrpPDFExport& f) {
             EXPECT_EQ(f.Title, QStringLiteral("Архив"));
             EXPECT_EQ(f.ProtectionFlags, 1u << ePrint);
             EXPECT_TRUE(f.HideToolbar);
             EXPECT_EQ(f.Quality, 100); // the edit shows "100" whatever the option held
             EXPECT_TRUE(f.PageNumbers.isEmpty());
         }},
        {"passwords and permissions",
         [](TrpPDFExport&) {},
         [](QObject& d) {
             Find<QLineEdit>(d, "UserPassE")->setText(QStringLiteral("u1"));
             Find<QLineEdit>(d, "OwnPassE")->setText(QStringLiteral("o1"));
             Find<QCheckBox>(d, "ModCB")->setChecked(false);
             Find<QCheckBox>(d, "AnnotCB")->setChecked(false);
         },
         [](const TrpPDFExport& f) {
             EXPECT_EQ(f.UserPassword, QStringLiteral("u1"));
             EXPECT_EQ(f.OwnerPassword, QStringLiteral("o1"));
             EXPECT_EQ(f.ProtectionFlags, (1u << ePrint) | (1u << eCopy));
         }},
        {"typed page numbers select their button",
         [](TrpPDFExport&) {},
         [](QObject& d) { QTest::keyClicks(Find<QLineEdit>(d, "PageNumbersE"), QStringLiteral("1,3-5")); },
         [](const TrpPDFExport& f) {
             EXPECT_EQ(f.PageNumbers, QStringLiteral("1,3-5"));
             EXPECT_FALSE(f.CurPage);
         }},
        {"letters are refused by the page numbers",
         [](TrpPDFExport&) {},
         [](QObject& d) { QTest::keyClicks(Find<QLineEdit>(d, "PageNumbersE"), QStringLiteral("1a,b2")); },
         [](const TrpPDFExport& f) { EXPECT_EQ(f.PageNumbers, QStringLiteral("1,2")); }},
        {"current page",
         [](TrpPDFExport& f) { f.PageNumbers = QStringLiteral("2"); },
         [](QObject& d) { Find<QRadioButton>(d, "CurPageRB")->setChecked(true); },
         [](const TrpPDFExport& f) {
             EXPECT_TRUE(f.CurPage);
             EXPECT_TRUE(f.PageNumbers.isEmpty());
         }},
        {"information and viewer",
         [](TrpPDFExport&) {},
         [](QObject& d) {
             Find<QLineEdit>(d, "KeywordsE")->setText(QStringLiteral("тепло"));
             Find<QCheckBox>(d, "CompressedCB")->setChecked(false);
             Find<QCheckBox>(d, "CenterWindowCB")->setChecked(true);
             Find<QCheckBox>(d, "PrintScalingCB")->setChecked(true);
         },
         [](const TrpPDFExport& f) {
             EXPECT_EQ(f.Keywords, QStringLiteral("тепло"));
             EXPECT_FALSE(f.Compressed);
             EXPECT_TRUE(f.CenterWindow);
             EXPECT_TRUE(f.PrintScaling);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("out.pdf"));
        UiScope scope({QStringLiteral("ok ") + path});
        scope.ui.OnModal = [&](QObject& dialog, const QString&) {
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

TEST(PdfExportDialog, OutlineFollowsThePreviewAndCancelsAreCancels)
{
    PreparedReport prepared;
    ExportRuntime::init();
    TrpReport& report = prepared.Report();
    report.PreviewOptions().OutlineVisible = false;
    {
        UiScope scope({QStringLiteral("ok /tmp/x.pdf")});
        bool outlineEnabled = true;
        bool outlineChecked = true;
        scope.ui.OnModal = [&](QObject& dialog, const QString&) {
            outlineEnabled = Find<QCheckBox>(dialog, "OutlineCB")->isEnabled();
            outlineChecked = Find<QCheckBox>(dialog, "OutlineCB")->isChecked();
            return static_cast<int>(mrOk);
        };
        auto filter = Filter();
        filter->Report = &report;
        EXPECT_EQ(filter->ShowModal(), mrOk);
        EXPECT_FALSE(outlineEnabled);
        EXPECT_FALSE(outlineChecked);
        EXPECT_FALSE(filter->Outline);
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
        EXPECT_EQ(filter->ShowModal(), mrCancel);
        EXPECT_EQ(scope.ui.AnswersLeft(), 0);
    }
}

TEST(PdfExportDialog, PasswordsOutsidePdfTextAreRefusedOnOk)
{
    UiScope scope({QStringLiteral("ok /tmp/x.pdf")});
    bool stillOpen = false;
    scope.ui.OnModal = [&](QObject& object, const QString&) {
        auto& dialog = static_cast<QDialog&>(object);
        Find<QLineEdit>(dialog, "UserPassE")->setText(QStringLiteral("пароль"));
        dialog.accept();
        stillOpen = dialog.result() != QDialog::Accepted;
        Find<QLineEdit>(dialog, "UserPassE")->setText(QStringLiteral("Ünïcödé"));
        dialog.accept();
        return dialog.result() == QDialog::Accepted ? static_cast<int>(mrOk) : static_cast<int>(mrCancel);
    };
    auto filter = Filter();
    EXPECT_EQ(filter->ShowModal(), mrOk);
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(scope.ui.Messages.size(), 1);
    EXPECT_TRUE(scope.ui.Messages[0].startsWith(QStringLiteral("Пароль PDF не может содержать символ «п»")));
    EXPECT_EQ(filter->UserPassword, QStringLiteral("Ünïcödé"));
}

TEST(PdfExportDialog, EveryTextIsResolvedAndTheTabsAreGrabbed)
{
    ExportUi::init();
    TrpPDFExportDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Экспорт в PDF"));
    EXPECT_EQ(dialog.PageControl1->tabText(2), QStringLiteral("Защита"));
    EXPECT_EQ(dialog.findChild<QCheckBox*>(QStringLiteral("OutlineCB"))->text(), QStringLiteral("Оглавление"));
    EXPECT_EQ(dialog.Quality->text(), QStringLiteral("100"));
    EXPECT_TRUE(dialog.EmbeddedCB->isChecked());
    EXPECT_FALSE(dialog.EmbeddedCB->isEnabled());
    // No widget shows a bare resource key.
    const QRegularExpression key(QStringLiteral("^[0-9]+$"));
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        EXPECT_FALSE(key.match(button->text()).hasMatch()) << button->objectName().toStdString();
    for (QLabel* label : dialog.findChildren<QLabel*>())
        EXPECT_FALSE(key.match(label->text()).hasMatch()) << label->objectName().toStdString();
    for (int i = 0; i < dialog.PageControl1->count(); ++i)
        EXPECT_FALSE(key.match(dialog.PageControl1->tabText(i)).hasMatch());
    const QString out = QString::fromLocal8Bit(qgetenv("DAX_GRAB_DIR"));
    if (!out.isEmpty()) {
        dialog.show();
        for (int i = 0; i < dialog.PageControl1->count(); ++i) {
            dialog.PageControl1->setCurrentIndex(i);
            dialog.grab().save(QDir(out).filePath(QStringLiteral("pdf-export-tab%1.png").arg(i + 1)));
        }
    }
}

TEST(PdfExportDialog, MirroredRightToLeftAndF1AsksForHelp)
{
    ExportUi::init();
    QApplication::setLayoutDirection(Qt::RightToLeft);
    {
        TrpPDFExportDialog dialog;
        EXPECT_EQ(dialog.layoutDirection(), Qt::RightToLeft);
    }
    QApplication::setLayoutDirection(Qt::LeftToRight);
    TrpPDFExportDialog dialog;
    EXPECT_EQ(dialog.layoutDirection(), Qt::LeftToRight);
    UiScope scope({});
    // F1 goes to the help service, which does nothing here; no prompt is asked.
    QTest::keyClick(&dialog, Qt::Key_F1);
    EXPECT_EQ(scope.ui.AnswersLeft(), 0);
}
