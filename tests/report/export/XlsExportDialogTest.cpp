// The spreadsheet export's options window, worked offscreen through the scripted user
// interface: the options go in, come back on OK, the file is chosen through the save dialog,
// and no text names a spreadsheet program.

#include "PreparedPagesBuilder.h"
#include "ReportFakes.h"

#include "report/export/ExportRuntime.h"
#include "report/export/rpExportXLS.h"
#include "report/export/ui/ExportUi.h"
#include "report/export/ui/rpXLSExportDialog.h"
#include "report/model/rpClass_report.h"
#include "report/script/ScriptedUi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
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

using namespace enginetest;

namespace {

struct UiScope {
    explicit UiScope(QStringList answers) : ui(std::move(answers)) { ReportServices::SetUi(&ui); }
    ~UiScope() { ReportServices::SetUi(nullptr); }
    ScriptedUi ui;
};

std::unique_ptr<TrpXLSExport> Filter()
{
    ExportUi::init();
    auto filter = TrpCustomExportFilter::CreateNoRegister<TrpXLSExport>();
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

// The save dialogs the scripted interface was asked for.
std::vector<ScriptedUi::Prompt> SaveDialogs(const ScriptedUi& ui)
{
    std::vector<ScriptedUi::Prompt> result;
    for (const ScriptedUi::Prompt& prompt : ui.Prompts)
        if (prompt.Kind == QStringLiteral("SaveDialog"))
            result.push_back(prompt);
    return result;
}

bool Checked(QObject& dialog, const char* name)
{
    QCheckBox* box = Find<QCheckBox>(dialog, name);
    return box != nullptr && box->isChecked();
}

} // namespace

TEST(XlsExportDialog, OptionsGoInAndComeBackOnOk)
{
    struct Case {
        const char* name;
        std::function<void(TrpXLSExport&)> before;
        std::function<void(QObject&)> seen;  // checks what the window shows
        std::function<void(QObject&)> work;
        std::function<void(const TrpXLSExport&)> check;
    };
    const Case cases[] = {
        {"defaults shown and kept",
         [](TrpXLSExport&) {},
         [](QObject& d) {
             EXPECT_TRUE(Checked(d, "MergeCB"));
             EXPECT_TRUE(Checked(d, "WCB"));
             EXPECT_FALSE(Checked(d, "ContinuousCB"));
             EXPECT_TRUE(Checked(d, "PicturesCB"));
             EXPECT_FALSE(Checked(d, "AsTextCB"));
             EXPECT_TRUE(Checked(d, "BackgrCB"));
             EXPECT_TRUE(Checked(d, "FastExpCB"));
             EXPECT_TRUE(Checked(d, "PageBreaksCB"));
             EXPECT_TRUE(Checked(d, "cbGrid"));
             EXPECT_FALSE(Checked(d, "OpenExcelCB"));
             EXPECT_TRUE(Find<QRadioButton>(d, "AllRB")->isChecked());
         },
         [](QObject&) {},
         [](const TrpXLSExport& f) {
             EXPECT_TRUE(f.MergeCells && f.Wysiwyg && f.ExportPictures && f.Background && f.FastExport);
             EXPECT_TRUE(f.PageBreaks && f.GridLines && f.EmptyLines);
             EXPECT_FALSE(f.AsText || f.OpenExcelAfterExport || f.SuppressPageHeadersFooters);
             EXPECT_TRUE(f.PageNumbers.isEmpty());
             EXPECT_FALSE(f.CurPage);
         }},
        {"every box turned over",
         [](TrpXLSExport&) {},
         [](QObject&) {},
         [](QObject& d) {
             for (const char* name : {"MergeCB", "WCB", "ContinuousCB", "PicturesCB", "AsTextCB", "BackgrCB",
                                      "FastExpCB", "PageBreaksCB", "cbGrid", "OpenExcelCB"}) {
                 QCheckBox* box = Find<QCheckBox>(d, name);
                 box->setChecked(!box->isChecked());
             }
         },
         [](const TrpXLSExport& f) {
             EXPECT_FALSE(f.MergeCells || f.Wysiwyg || f.ExportPictures || f.Background || f.FastExport);
             EXPECT_FALSE(f.PageBreaks || f.GridLines);
             EXPECT_TRUE(f.AsText && f.OpenExcelAfterExport);
             // Continuous: no empty rows and page headers and footers once.
             EXPECT_FALSE(f.EmptyLines);
             EXPECT_TRUE(f.SuppressPageHeadersFooters);
         }},
        {"continuous shown from either option",
         [](TrpXLSExport& f) { f.EmptyLines = false; },
         [](QObject& d) { EXPECT_TRUE(Checked(d, "ContinuousCB")); },
         [](QObject&) {},
         [](const TrpXLSExport& f) {
             EXPECT_FALSE(f.EmptyLines);
             EXPECT_TRUE(f.SuppressPageHeadersFooters);
         }},
        {"suppressed headers show continuous",
         [](TrpXLSExport& f) { f.SuppressPageHeadersFooters = true; },
         [](QObject& d) { EXPECT_TRUE(Checked(d, "ContinuousCB")); },
         [](QObject& d) { Find<QCheckBox>(d, "ContinuousCB")->setChecked(false); },
         [](const TrpXLSExport& f) {
             EXPECT_TRUE(f.EmptyLines);
             EXPECT_FALSE(f.SuppressPageHeadersFooters);
         }},
        {"typed page numbers select their button, letters refused",
         [](TrpXLSExport&) {},
         [](QObject&) {},
         [](QObject& d) { QTest::keyClicks(Find<QLineEdit>(d, "PageNumbersE"), QStringLiteral("1a,3-5")); },
         [](const TrpXLSExport& f) {
             EXPECT_EQ(f.PageNumbers, QStringLiteral("1,3-5"));
             EXPECT_FALSE(f.CurPage);
         }},
        {"page numbers shown, current page chosen",
         [](TrpXLSExport& f) { f.PageNumbers = QStringLiteral("2"); },
         [](QObject& d) {
             EXPECT_TRUE(Find<QRadioButton>(d, "PageNumbersRB")->isChecked());
             EXPECT_EQ(Find<QLineEdit>(d, "PageNumbersE")->text(), QStringLiteral("2"));
         },
         [](QObject& d) { Find<QRadioButton>(d, "CurPageRB")->setChecked(true); },
         [](const TrpXLSExport& f) {
             EXPECT_TRUE(f.CurPage);
             EXPECT_TRUE(f.PageNumbers.isEmpty());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("out.xlsx"));
        UiScope scope({QStringLiteral("ok ") + path});
        scope.ui.OnModal = [&](QObject& dialog, const QString& name) {
            EXPECT_EQ(name, QStringLiteral("TrpXLSExportDialog"));
            c.seen(dialog);
            c.work(dialog);
            return static_cast<int>(mrOk);
        };
        auto filter = Filter();
        c.before(*filter);
        EXPECT_EQ(filter->ShowModal(), mrOk);
        EXPECT_EQ(filter->FileName, path);
        c.check(*filter);
        const auto saves = SaveDialogs(scope.ui);
        ASSERT_EQ(saves.size(), 1u);
        EXPECT_EQ(saves[0].Text, QStringLiteral("Книга XLSX (*.xlsx)"));
    }
}

TEST(XlsExportDialog, SlaveStreamAndCancel)
{
    {
        // Driven by another export: no open-after box, no file chosen.
        UiScope scope({});
        bool openShown = true;
        scope.ui.OnModal = [&](QObject& dialog, const QString&) {
            openShown = !Find<QCheckBox>(dialog, "OpenExcelCB")->isHidden();
            return static_cast<int>(mrOk);
        };
        auto filter = Filter();
        filter->SlaveExport = true;
        filter->OpenExcelAfterExport = true;
        EXPECT_EQ(filter->ShowModal(), mrOk);
        EXPECT_FALSE(openShown);
        EXPECT_FALSE(filter->OpenExcelAfterExport);
        EXPECT_TRUE(SaveDialogs(scope.ui).empty());
        EXPECT_TRUE(filter->FileName.isEmpty());
    }
    {
        // The window is shown also when an output stream is set (the export does not use it).
        UiScope scope({QStringLiteral("ok /tmp/x.xlsx")});
        int shown = 0;
        scope.ui.OnModal = [&](QObject&, const QString&) {
            ++shown;
            return static_cast<int>(mrOk);
        };
        QBuffer stream;
        auto filter = Filter();
        filter->Stream = &stream;
        EXPECT_EQ(filter->ShowModal(), mrOk);
        EXPECT_EQ(shown, 1);
    }
    {
        // The save dialog cancelled after OK cancels the export.
        PreparedReport prepared;
        prepared.Report().SetFileName(QStringLiteral("/data/Архив.zr3"));
        UiScope scope({QStringLiteral("cancel")});
        scope.ui.OnModal = [](QObject&, const QString&) { return static_cast<int>(mrOk); };
        auto filter = Filter();
        filter->Report = &prepared.Report();
        EXPECT_EQ(filter->ShowModal(), mrCancel);
        EXPECT_TRUE(filter->FileName.isEmpty());
    }
    {
        UiScope scope({});
        scope.ui.OnModal = [](QObject&, const QString&) { return static_cast<int>(mrCancel); };
        auto filter = Filter();
        EXPECT_EQ(filter->ShowModal(), mrCancel);
        EXPECT_TRUE(SaveDialogs(scope.ui).empty());
    }
}

TEST(XlsExportDialog, TextsNameNoProgramAndTheWindowIsGrabbed)
{
    ExportUi::init();
    TrpXLSExportDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Экспорт в XLSX"));
    EXPECT_EQ(dialog.OpenExcelCB->text(), QStringLiteral("Открыть после экспорта"));
    EXPECT_EQ(dialog.FastExpCB->text(), QStringLiteral("Быстрый экспорт"));
    EXPECT_EQ(dialog.cbGrid->text(), QStringLiteral("Линии сетки"));
    EXPECT_EQ(dialog.ContinuousCB->text(), QStringLiteral("Неразрывный"));
    auto filter = Filter();
    EXPECT_EQ(filter->GetDescription(), QStringLiteral("Книга XLSX (табличная)"));
    EXPECT_EQ(filter->DefaultExt, QStringLiteral(".xlsx"));
    QStringList texts{dialog.windowTitle(), filter->GetDescription(), filter->FilterDesc};
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        texts << button->text();
    for (QLabel* label : dialog.findChildren<QLabel*>())
        texts << label->text();
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>())
        texts << group->title();
    const QRegularExpression key(QStringLiteral("^[0-9]+$"));
    for (const QString& text : texts) {
        EXPECT_FALSE(key.match(text).hasMatch()) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("Excel"), Qt::CaseInsensitive)) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral(".xls|"))) << text.toStdString();
    }
    const QString out = QString::fromLocal8Bit(qgetenv("DAX_GRAB_DIR"));
    if (!out.isEmpty()) {
        dialog.show();
        dialog.grab().save(QDir(out).filePath(QStringLiteral("xlsx-export.png")));
    }
}

TEST(XlsExportDialog, MirroredRightToLeftAndF1AsksForHelp)
{
    ExportUi::init();
    QApplication::setLayoutDirection(Qt::RightToLeft);
    {
        TrpXLSExportDialog dialog;
        EXPECT_EQ(dialog.layoutDirection(), Qt::RightToLeft);
    }
    QApplication::setLayoutDirection(Qt::LeftToRight);
    TrpXLSExportDialog dialog;
    UiScope scope({});
    QTest::keyClick(&dialog, Qt::Key_F1);
    EXPECT_EQ(scope.ui.AnswersLeft(), 0);
}
