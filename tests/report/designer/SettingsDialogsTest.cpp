// The settings dialogs of the designer: page settings, report options and designer options,
// answered through the scripted modal seam, with the built-in PDF-file printer as the only one.

#include "DialogTestSupport.h"

#include "report/designer/rpDesgnForm.h"
#include "report/designer/rpDesgnWorkspace.h"
#include "report/designer/rpDsgnDialog.h"
#include "report/designer/rpOptionsEditor.h"
#include "report/designer/rpInheritErrorForm.h"
#include "report/designer/rpPageEditor.h"
#include "report/designer/rpReportEditor.h"
#include "report/engine/EngineServices.h"
#include "report/engine/rpPrinter.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpPaperSizes.h"

#include <QAction>
#include <QCheckBox>
#include <QTemporaryDir>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "RptoolRun.h"

#include <gtest/gtest.h>

namespace {

TrpEngineServices PdfFilePrinterOnly()
{
    // The runtime first, so that its printer services do not replace these later.
    DesignerRuntime::init();
    TrpEngineServices services;
    services.PdfFilePrinter = TrpPdfFilePrinterMode::Forced;
    return services;
}

class PageSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        FormatSettings formats = FormatSettings::C();
        formats.DecimalSeparator = u',';
        DesignerRuntime::SetFormats(formats);
        page = new TrpReportPage(&report);
        page->SetName(QStringLiteral("Page1"));
        page->SetDefaults();
        designer.SetPage(page);
    }
    void TearDown() override { DesignerRuntime::SetFormats(FormatSettings::C()); }

    // Runs the dialog with one step; answers its result.
    int Run(std::function<void(TrpPageEditorForm&)> step, bool* applied = nullptr)
    {
        TrpPageEditorForm form(nullptr, &designer);
        modal.Then<TrpPageEditorForm>(std::move(step));
        const int result = form.Execute();
        if (applied != nullptr)
            *applied = form.Applied();
        return result;
    }

    EngineServicesScope printers{PdfFilePrinterOnly()};
    ModalScript modal;
    TrpReport report;
    StandInDesigner designer{&report};
    TrpReportPage* page = nullptr;
};

TEST_F(PageSettings, ShowsThePageInCentimetresAndThePrintersLists)
{
    page->LeftMargin = 15;
    page->Bin = 12345; // a tray the printer lacks: the automatic one
    page->Duplex = dmHorizontal;
    Run([&](TrpPageEditorForm& form) {
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Настройки страницы"));
        EXPECT_EQ(form.SizeCB->currentData().toInt(), kPaperA4);
        EXPECT_EQ(form.WidthE->text(), QStringLiteral("21"));
        EXPECT_EQ(form.HeightE->text(), QStringLiteral("29,70"));
        EXPECT_EQ(form.MarginLeftE->text(), QStringLiteral("1,50"));
        EXPECT_TRUE(form.PortraitRB->isChecked());
        EXPECT_FALSE(form.LandscapeImg->isVisibleTo(&form));
        EXPECT_EQ(form.Tray1CB->currentData().toInt(), kDefaultBin);
        EXPECT_EQ(form.DuplexCB->currentText(), QStringLiteral("Горизонтальный"));
        EXPECT_EQ(form.UnitL[0]->text(), QStringLiteral("см"));
        SaveScreenshot(form, QStringLiteral("page-settings-paper"));
        form.PageControl->setCurrentWidget(form.TabSheet3);
        SaveScreenshot(form, QStringLiteral("page-settings-other"));
        form.CancelB->click();
    });
}

// The edge cases of the size: a size of its own turns with the sheet, a paper of the table
// takes the table's size in the chosen orientation, typing makes the size one of its own.
TEST_F(PageSettings, SizesFollowThePaperTableAndTheOrientation)
{
    struct Case {
        const char* name;
        int32_t startPaper;
        double startWidth, startHeight;
        std::function<void(TrpPageEditorForm&)> act;
        int32_t paper;
        double width, height;
        TPrinterOrientation orientation;
    };
    const Case cases[] = {
        {"custom turns to landscape", kPaperCustom, 120, 80,
         [](TrpPageEditorForm& f) { f.LandscapeRB->click(); }, kPaperCustom, 80, 120, poLandscape},
        {"custom turns there and back", kPaperCustom, 120, 80,
         [](TrpPageEditorForm& f) {
             f.LandscapeRB->click();
             f.PortraitRB->click();
         },
         kPaperCustom, 120, 80, poPortrait},
        {"A5 chosen in landscape", kPaperA4, 210, 297,
         [](TrpPageEditorForm& f) {
             f.LandscapeRB->click();
             f.SizeCB->setCurrentIndex(f.SizeCB->findData(11));
         },
         11, 210, 148, poLandscape},
        {"A4 turned", kPaperA4, 210, 297, [](TrpPageEditorForm& f) { f.LandscapeRB->click(); }, kPaperA4, 297, 210,
         poLandscape},
        {"typed width", kPaperA4, 210, 297, [](TrpPageEditorForm& f) { f.WidthE->setText(QStringLiteral("20")); },
         kPaperCustom, 200, 297, poPortrait},
        {"typed height then landscape", kPaperA4, 210, 297,
         [](TrpPageEditorForm& f) {
             f.HeightE->setText(QStringLiteral("30"));
             f.LandscapeRB->click();
         },
         kPaperCustom, 300, 210, poLandscape},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        page->SetOrientation(poPortrait);
        page->SetSizeAndDimensions(c.startPaper, c.startWidth, c.startHeight);
        ASSERT_EQ(Run([&](TrpPageEditorForm& form) {
                      c.act(form);
                      form.OkB->click();
                  }),
                  mrOk);
        EXPECT_EQ(page->PaperSize(), c.paper);
        EXPECT_DOUBLE_EQ(page->PaperWidth(), c.width);
        EXPECT_DOUBLE_EQ(page->PaperHeight(), c.height);
        EXPECT_EQ(page->Orientation(), c.orientation);
    }
}

TEST_F(PageSettings, NoColumnAndOneColumnGiveOneFullWidthColumnAtZero)
{
    page->LeftMargin = 10;
    page->RightMargin = 10;
    for (int columns : {0, 1}) {
        SCOPED_TRACE(columns);
        page->SetColumns(3);
        ASSERT_EQ(Run([&](TrpPageEditorForm& form) {
                      EXPECT_EQ(form.UpDown1->value(), 3);
                      form.UpDown1->setValue(columns);
                      EXPECT_EQ(form.ColumnWidthE->text(), QStringLiteral("19"));
                      EXPECT_EQ(form.ColumnPositionsM->toPlainText(), QStringLiteral("0"));
                      form.OkB->click();
                  }),
                  mrOk);
        EXPECT_EQ(page->Columns(), columns);
        EXPECT_DOUBLE_EQ(page->ColumnWidth, 190);
        EXPECT_EQ(page->ColumnPositions(), QStringList{QStringLiteral("0")});
    }
    ASSERT_EQ(Run([&](TrpPageEditorForm& form) {
                  form.UpDown1->setValue(2);
                  EXPECT_EQ(form.ColumnPositionsM->toPlainText(), QStringLiteral("0\n9,50"));
                  form.OkB->click();
              }),
              mrOk);
    EXPECT_EQ(page->ColumnPositions(), (QStringList{QStringLiteral("0"), QStringLiteral("95")}));
}

TEST_F(PageSettings, ASubreportsPageTakesPaperMarginsColumnsAndFlags)
{
    auto* band = new TrpMasterData(page);
    band->SetName(QStringLiteral("MasterData1"));
    auto* subreport = new TrpSubreport(band);
    subreport->SetName(QStringLiteral("Subreport1"));
    auto* inner = new TrpReportPage(&report);
    inner->SetName(QStringLiteral("Page2"));
    inner->SetDefaults();
    subreport->SetPage(inner);
    ASSERT_EQ(Run([&](TrpPageEditorForm& form) {
                  form.SizeCB->setCurrentIndex(form.SizeCB->findData(11));
                  form.LandscapeRB->click();
                  form.MarginTopE->setText(QStringLiteral("2"));
                  form.UpDown1->setValue(2);
                  form.EndlessHeightCB->setChecked(true);
                  form.DuplexCB->setCurrentIndex(3);
                  form.OkB->click();
              }),
              mrOk);
    for (TrpReportPage* edited : {page, inner}) {
        SCOPED_TRACE(edited->Name().toStdString());
        EXPECT_EQ(edited->PaperSize(), 11);
        EXPECT_EQ(edited->Orientation(), poLandscape);
        EXPECT_DOUBLE_EQ(edited->PaperWidth(), 210);
        EXPECT_DOUBLE_EQ(edited->PaperHeight(), 148);
        EXPECT_DOUBLE_EQ(edited->TopMargin, 20);
        EXPECT_DOUBLE_EQ(edited->LeftMargin, 10);
        EXPECT_EQ(edited->Columns(), 2);
        EXPECT_DOUBLE_EQ(edited->ColumnWidth, 95);
        EXPECT_TRUE(edited->EndlessHeight);
        EXPECT_EQ(edited->Duplex, dmSimplex);
    }
}

TEST_F(PageSettings, BrowsingSizesThenCancelLeavesPrinterAndPage)
{
    TrpCustomPrinter* printer = GetPrintersInstance().Printer();
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->Name(), PdfFilePrinterName());
    const int32_t paper = printer->Paper();
    const double width = printer->PaperWidth();
    const double height = printer->PaperHeight();
    const TPrinterOrientation orientation = printer->Orientation();
    ASSERT_EQ(Run([&](TrpPageEditorForm& form) {
                  form.SizeCB->setCurrentIndex(form.SizeCB->findData(8)); // A3
                  form.LandscapeRB->click();
                  EXPECT_EQ(form.WidthE->text(), QStringLiteral("42"));
                  form.CancelB->click();
              }),
              mrCancel);
    EXPECT_EQ(printer->Paper(), paper);
    EXPECT_EQ(printer->PaperWidth(), width);
    EXPECT_EQ(printer->PaperHeight(), height);
    EXPECT_EQ(printer->Orientation(), orientation);
    EXPECT_EQ(page->PaperSize(), kPaperA4);
    EXPECT_EQ(page->Orientation(), poPortrait);
}

TEST_F(PageSettings, ABadFieldShowsTheErrorAndChangesNothing)
{
    struct Case {
        const char* field;
        const char* text;
    };
    const Case cases[] = {{"MarginLeftE", "abc"}, {"MarginBottomE", ""}, {"ColumnWidthE", "1..2"},
                          {"WidthE", "0"},        {"HeightE", "-5"},     {"MarginTopE", "20000"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        modal.ui.Errors.clear();
        bool applied = true;
        ASSERT_EQ(Run(
                      [&](TrpPageEditorForm& form) {
                          form.LandscapeRB->click();
                          form.MarginRightE->setText(QStringLiteral("3"));
                          auto* field = form.findChild<QLineEdit*>(QString::fromLatin1(c.field));
                          field->setText(QString::fromLatin1(c.text));
                          form.OkB->click();
                          // Refused: the dialog stays with every value typed, the bad field
                          // holding the focus.
                          EXPECT_NE(form.result(), QDialog::Accepted);
                          EXPECT_TRUE(form.LandscapeRB->isChecked());
                          EXPECT_EQ(form.MarginRightE->text(), c.field == std::string("MarginRightE")
                                                                   ? QString::fromLatin1(c.text)
                                                                   : QStringLiteral("3"));
                          EXPECT_EQ(field->text(), QString::fromLatin1(c.text));
                          EXPECT_TRUE(field->hasFocus() || !form.isActiveWindow());
                          form.CancelB->click();
                      },
                      &applied),
                  mrCancel);
        EXPECT_FALSE(applied);
        ASSERT_EQ(modal.ui.Errors.size(), 1);
        EXPECT_TRUE(modal.ui.Errors.front().startsWith(QStringLiteral("Поле '"))) << modal.ui.Errors.front().toStdString();
        EXPECT_EQ(page->Orientation(), poPortrait);
        EXPECT_DOUBLE_EQ(page->PaperWidth(), 210);
        EXPECT_DOUBLE_EQ(page->RightMargin, 10);
    }
}

// The designer window with its settings in a file of the test's own.
class DesignerSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        DesignerRuntime::SetFormats(FormatSettings::C());
        ASSERT_TRUE(folder.isValid());
        report.IniFile = folder.filePath(QStringLiteral("designer.ini"));
        page = new TrpReportPage(&report);
        page->SetName(QStringLiteral("Page1"));
        page->SetDefaults();
        form = std::make_unique<TrpDesignerForm>(&report, false);
        report.SetDesigner(form.get());
        form->Start();
        form->SetPage(page);
    }
    void TearDown() override
    {
        form->CloseNow();
        form.reset();
    }

    void Trigger(const char* command) { form->Action(QString::fromLatin1(command))->trigger(); }

    EngineServicesScope printers{PdfFilePrinterOnly()};
    QTemporaryDir folder;
    ModalScript modal;
    TrpReport report;
    TrpReportPage* page = nullptr;
    std::unique_ptr<TrpDesignerForm> form;
};

TEST_F(DesignerSettings, PageSettingsCommandShowsTheDesignersUnitsAndMarksTheChange)
{
    ASSERT_TRUE(form->Action(QStringLiteral("PageSettingsCmd"))->isEnabled());
    form->SetUnits(duInches);
    form->SetModified(false);
    modal.Then<TrpPageEditorForm>([](TrpPageEditorForm& dialog) {
        EXPECT_EQ(dialog.WidthE->text(), QStringLiteral("8.27"));
        EXPECT_EQ(dialog.UnitL[6]->text(), QStringLiteral("in"));
        dialog.MarginLeftE->setText(QStringLiteral("1"));
        dialog.OkB->click();
    });
    Trigger("PageSettingsCmd");
    EXPECT_EQ(modal.Shown, QStringList{QStringLiteral("TrpPageEditorForm")});
    EXPECT_DOUBLE_EQ(page->LeftMargin, 25.4);
    EXPECT_TRUE(form->Modified());
    // Cancel marks nothing.
    form->SetModified(false);
    modal.Then<TrpPageEditorForm>([](TrpPageEditorForm& dialog) { dialog.CancelB->click(); });
    Trigger("PageSettingsCmd");
    EXPECT_FALSE(form->Modified());
}

TEST_F(DesignerSettings, OptionsApplyEveryFieldOnOk)
{
    modal.ui.ColorAnswer = 0x00FF00;
    modal.Then<TrpOptionsEditor>([](TrpOptionsEditor& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Настройки дизайнера"));
        EXPECT_TRUE(dialog.CMRB->isChecked());
        EXPECT_TRUE(dialog.CMRB->isEnabled());
        EXPECT_EQ(dialog.CME->text(), QStringLiteral("0.10"));
        EXPECT_EQ(dialog.CodeWindowSizeCB->count(), 6);
        EXPECT_FALSE(dialog.StartupCB->isVisibleTo(&dialog));
        dialog.InchesRB->setChecked(true);
        dialog.InchesE->setText(QStringLiteral("0,25"));
        dialog.ShowGridCB->setChecked(false);
        dialog.LCDCB->setChecked(true);
        dialog.FreeBandsCB->setChecked(true);
        dialog.GapE->setText(QStringLiteral("7"));
        dialog.BandsCaptionsCB->setChecked(false);
        dialog.CodeWindowSizeCB->setEditText(QStringLiteral("12"));
        dialog.MemoEditorSizeCB->setEditText(QStringLiteral("14"));
        dialog.WorkspaceB->click();
        EXPECT_EQ(dialog.WorkspaceColor(), RGBColor(0, 0xFF, 0));
        SaveScreenshot(dialog, QStringLiteral("designer-options"));
        dialog.OkB->click();
    });
    Trigger("OptionsCmd");
    EXPECT_EQ(form->Units(), duInches);
    EXPECT_EQ(form->OldUnits(), duInches);
    EXPECT_DOUBLE_EQ(form->GridSize2(), 0.25);
    EXPECT_DOUBLE_EQ(form->Workspace()->GridX(), 0.25 * 96);
    EXPECT_FALSE(form->ShowGrid());
    EXPECT_TRUE(form->GridLCD());
    EXPECT_TRUE(form->Workspace()->GridLCD());
    EXPECT_TRUE(form->Workspace()->FreeBandsPlacement());
    EXPECT_EQ(form->Workspace()->GapBetweenBands(), 7);
    EXPECT_FALSE(form->Workspace()->ShowBandCaptions());
    EXPECT_EQ(form->ScriptFontSize(), 12);
    EXPECT_EQ(form->MemoFontSize, 14);
    EXPECT_EQ(form->WorkspaceColor(), RGBColor(0, 0xFF, 0));
}

TEST_F(DesignerSettings, OnADialogPageOnlyTheDialogGridStepApplies)
{
    auto* dialogPage = new TrpDialogPage(&report);
    dialogPage->SetName(QStringLiteral("Dialog1"));
    form->ReloadPages(-2);
    form->SetPage(dialogPage);
    ASSERT_EQ(form->Workspace()->GridType(), gtDialog);
    modal.Then<TrpOptionsEditor>([](TrpOptionsEditor& dialog) {
        for (QWidget* unitControl : std::initializer_list<QWidget*>{dialog.CMRB, dialog.InchesRB, dialog.PixelsRB,
                                                                  dialog.CME, dialog.InchesE, dialog.PixelsE})
            EXPECT_FALSE(unitControl->isEnabled()) << unitControl->objectName().toStdString();
        dialog.CME->setText(QStringLiteral("0,5"));
        dialog.PixelsRB->setChecked(true);
        dialog.DialogFormE->setText(QStringLiteral("8"));
        dialog.OkB->click();
    });
    Trigger("OptionsCmd");
    EXPECT_DOUBLE_EQ(form->GridSize1(), 0.1);
    EXPECT_DOUBLE_EQ(form->GridSize4(), 8);
    EXPECT_EQ(form->OldUnits(), duCM);
    EXPECT_DOUBLE_EQ(form->Workspace()->GridX(), 8);
    EXPECT_DOUBLE_EQ(form->Workspace()->GridY(), 8);
}

TEST_F(DesignerSettings, RestoreDefaultsAppliesTheDefaults)
{
    form->SetUnits(duPixels);
    form->SetOldUnits(duPixels);
    form->SetGridSize1(0.5);
    form->SetShowGrid(false);
    form->SetBandsGap(12);
    form->SetScriptFont(QStringLiteral("DejaVu Sans"), 14);
    modal.Then<TrpOptionsEditor>([](TrpOptionsEditor& dialog) {
        EXPECT_TRUE(dialog.PixelsRB->isChecked());
        dialog.RestoreDefaultsB->click();
        EXPECT_TRUE(dialog.CMRB->isChecked());
    });
    Trigger("OptionsCmd");
    EXPECT_EQ(form->Units(), duCM);
    EXPECT_EQ(form->OldUnits(), duCM);
    EXPECT_DOUBLE_EQ(form->GridSize1(), 0.1);
    EXPECT_TRUE(form->ShowGrid());
    EXPECT_EQ(form->BandsGap(), 4);
    EXPECT_EQ(form->ScriptFontSize(), 10);
}

TEST_F(DesignerSettings, ABadOptionShowsTheErrorAndChangesNothing)
{
    for (const char* field : {"GapE", "DialogFormE", "CME"}) {
        SCOPED_TRACE(field);
        modal.ui.Errors.clear();
        modal.Then<TrpOptionsEditor>([field](TrpOptionsEditor& dialog) {
            dialog.ShowGridCB->setChecked(false);
            dialog.PixelsRB->setChecked(true);
            dialog.findChild<QLineEdit*>(QString::fromLatin1(field))->setText(QStringLiteral("x1"));
            dialog.OkB->click();
        });
        Trigger("OptionsCmd");
        EXPECT_EQ(modal.ui.Errors.size(), 1);
        EXPECT_TRUE(form->ShowGrid());
        EXPECT_EQ(form->Units(), duCM);
    }
}

class ReportOptions : public ::testing::Test {
protected:
    void SetUp() override
    {
        DesignerRuntime::SetFormats(FormatSettings::C());
        ASSERT_TRUE(folder.isValid());
        page = new TrpReportPage(&report);
        page->SetName(QStringLiteral("Page1"));
        page->SetDefaults();
        band = new TrpMasterData(page);
        band->SetName(QStringLiteral("MasterData1"));
        auto* memo = new TrpMemoView(band);
        memo->SetName(QStringLiteral("Memo1"));
        memo->SetText(QStringLiteral("own"));
        designer.SetPage(page);
    }

    int Run(std::function<void(TrpReportEditorForm&)> step, bool* applied = nullptr)
    {
        TrpReportEditorForm form(nullptr, &designer);
        modal.Then<TrpReportEditorForm>(std::move(step));
        const int result = form.Execute();
        if (applied != nullptr)
            *applied = form.Applied();
        return result;
    }

    // A base report whose band shares its name with the edited report's.
    QString WriteTemplate(const QString& name)
    {
        TrpReport base;
        auto* basePage = new TrpReportPage(&base);
        basePage->SetName(QStringLiteral("Page1"));
        auto* baseBand = new TrpMasterData(basePage);
        baseBand->SetName(QStringLiteral("MasterData1"));
        auto* memo = new TrpMemoView(baseBand);
        memo->SetName(QStringLiteral("TemplateMemo"));
        const QString path = QDir(folder.path()).filePath(name);
        base.SaveToFile(path);
        return path;
    }

    EngineServicesScope printers{PdfFilePrinterOnly()};
    QTemporaryDir folder;
    ModalScript modal;
    TrpReport report;
    StandInDesigner designer{&report};
    TrpReportPage* page = nullptr;
    TrpBand* band = nullptr;
};

TEST_F(ReportOptions, ShowsAndStoresPrinterEngineAndDescription)
{
    report.PrintOptions().Copies = 2;
    report.ReportOptions().Name = QStringLiteral("Отчет");
    report.ReportOptions().CreateDate = 45000.5;
    ASSERT_EQ(Run([](TrpReportEditorForm& form) {
                  EXPECT_EQ(form.windowTitle(), QStringLiteral("Настройки отчета"));
                  ASSERT_EQ(form.PrintersLB->count(), 2);
                  EXPECT_EQ(form.PrintersLB->item(0)->text(), QStringLiteral("По умолчанию"));
                  EXPECT_EQ(form.PrintersLB->currentRow(), 0);
                  EXPECT_EQ(form.CopiesE->text(), QStringLiteral("2"));
                  EXPECT_EQ(form.NameE->text(), QStringLiteral("Отчет"));
                  EXPECT_EQ(form.Created1L->text(), DateTimeToStr(45000.5, FormatSettings::C()));
                  EXPECT_TRUE(form.PasswordE->isEnabled());
                  form.PrintersLB->setCurrentRow(1);
                  form.CopiesE->setText(QStringLiteral("3"));
                  form.CollateCB->setChecked(false);
                  form.DoublePassCB->setChecked(true);
                  form.PrintIfEmptyCB->setChecked(false);
                  form.PasswordE->setText(QStringLiteral("pw"));
                  form.AuthorE->setText(QStringLiteral("Автор"));
                  form.DescriptionE->setPlainText(QStringLiteral("one\ntwo"));
                  form.MajorE->setText(QStringLiteral("1"));
                  form.BuildE->setText(QStringLiteral("42"));
                  SaveScreenshot(form, QStringLiteral("report-options-general"));
                  form.PageControl->setCurrentWidget(form.DescriptionTS);
                  SaveScreenshot(form, QStringLiteral("report-options-description"));
                  form.OkB->click();
              }),
              mrOk);
    EXPECT_EQ(report.PrintOptions().Printer, PdfFilePrinterName());
    EXPECT_EQ(report.PrintOptions().Copies, 3);
    EXPECT_FALSE(report.PrintOptions().Collate);
    EXPECT_TRUE(report.EngineOptions().DoublePass);
    EXPECT_FALSE(report.EngineOptions().PrintIfEmpty);
    EXPECT_EQ(report.ReportOptions().Password, QStringLiteral("pw"));
    EXPECT_EQ(report.ReportOptions().Author, QStringLiteral("Автор"));
    EXPECT_EQ(report.ReportOptions().Description(), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    EXPECT_EQ(report.ReportOptions().VersionMajor, QStringLiteral("1"));
    EXPECT_EQ(report.ReportOptions().VersionBuild, QStringLiteral("42"));
}

TEST_F(ReportOptions, BadCopiesShowTheErrorAndChangeNothing)
{
    bool applied = true;
    ASSERT_EQ(Run(
                  [](TrpReportEditorForm& form) {
                      form.CopiesE->setText(QStringLiteral("two"));
                      form.AuthorE->setText(QStringLiteral("Автор"));
                      form.DoublePassCB->setChecked(true);
                      form.OkB->click();
                      // Refused: the dialog stays with what was typed.
                      EXPECT_NE(form.result(), QDialog::Accepted);
                      EXPECT_EQ(form.CopiesE->text(), QStringLiteral("two"));
                      EXPECT_EQ(form.AuthorE->text(), QStringLiteral("Автор"));
                      form.CancelB->click();
                  },
                  &applied),
              mrCancel);
    EXPECT_FALSE(applied);
    EXPECT_EQ(modal.ui.Errors, QStringList{QStringLiteral("Поле 'Копии': 'two' не является целым числом")});
    EXPECT_EQ(report.PrintOptions().Copies, 1);
    EXPECT_FALSE(report.EngineOptions().DoublePass);
    EXPECT_TRUE(report.ReportOptions().Author.isEmpty());
}

TEST_F(ReportOptions, AHiddenPasswordIsKept)
{
    report.ReportOptions().HiddenPassword = QStringLiteral("program");
    report.ReportOptions().Password = QStringLiteral("program");
    ASSERT_EQ(Run([](TrpReportEditorForm& form) {
                  EXPECT_FALSE(form.PasswordE->isEnabled());
                  EXPECT_TRUE(form.PasswordE->text().isEmpty());
                  form.PasswordE->setText(QStringLiteral("changed"));
                  form.OkB->click();
              }),
              mrOk);
    EXPECT_EQ(report.ReportOptions().Password, QStringLiteral("program"));
}

TEST_F(ReportOptions, DetachIsOfferedOnlyWithAParent)
{
    ASSERT_EQ(Run([](TrpReportEditorForm& form) {
                  EXPECT_FALSE(form.DetachRB->isEnabled());
                  EXPECT_TRUE(form.DontChangeRB->isChecked());
                  EXPECT_EQ(form.InheritStateL->text(), QStringLiteral("Этот отчет не наследован."));
                  form.CancelB->click();
              }),
              mrCancel);
    const QString base = WriteTemplate(QStringLiteral("base.zi3"));
    modal.Then<TrpInheritErrorForm>([](TrpInheritErrorForm& conflict) { conflict.OkB->click(); });
    ASSERT_TRUE(report.InheritFromTemplate(base));
    ASSERT_FALSE(report.ParentReport().isEmpty());
    ASSERT_EQ(Run([&](TrpReportEditorForm& form) {
                  EXPECT_TRUE(form.DetachRB->isEnabled());
                  EXPECT_EQ(form.InheritStateL->text(),
                            QStringLiteral("Этот отчет наследован от базового: ") + report.ParentReport());
                  form.DetachRB->click();
                  form.OkB->click();
              }),
              mrOk);
    EXPECT_TRUE(report.ParentReport().isEmpty());
}

TEST_F(ReportOptions, InheritsATemplateFromAChosenFolderThroughTheConflictDialog)
{
    const QString base = WriteTemplate(QStringLiteral("base.zi3"));
    WriteTemplate(QStringLiteral("another.zi3"));
    modal.Then<TrpReportEditorForm>([&](TrpReportEditorForm& form) {
        // The folder chooser is answered by the scripted service.
        ScriptedUi folderUi({QStringLiteral("ok ") + folder.path()});
        ReportServices::SetUi(&folderUi);
        form.BrowseB->click();
        ReportServices::SetUi(&modal.ui);
        ASSERT_EQ(folderUi.Prompts.size(), 1u);
        EXPECT_EQ(folderUi.Prompts[0].Kind, QStringLiteral("SelectFolder"));
        EXPECT_EQ(folderUi.Prompts[0].Caption, QStringLiteral("Select folder"));
        EXPECT_EQ(form.PathE->text(), folder.path());
        ASSERT_EQ(form.InheritLV->count(), 2);
        EXPECT_EQ(form.InheritLV->item(0)->text(), QStringLiteral("another.zi3"));
        QListWidgetItem* chosen = form.InheritLV->item(1);
        form.InheritLV->setCurrentItem(chosen);
        emit form.InheritLV->itemClicked(chosen);
        EXPECT_TRUE(form.InheritRB->isChecked());
        form.PageControl->setCurrentWidget(form.InheritTS);
        EXPECT_FALSE(form.OkB->isDefault());
        SaveScreenshot(form, QStringLiteral("report-options-inheritance"));
        form.NameE->setText(QStringLiteral("Наследник"));
        form.OkB->click();
    });
    modal.Then<TrpInheritErrorForm>([](TrpInheritErrorForm& conflict) {
        conflict.RenameRB->setChecked(true);
        conflict.OkB->click();
    });
    TrpReportEditorForm form(nullptr, &designer);
    ASSERT_EQ(form.Execute(), mrOk);
    EXPECT_TRUE(form.Applied());
    EXPECT_EQ(modal.Shown, (QStringList{QStringLiteral("TrpReportEditorForm"), QStringLiteral("TrpInheritErrorForm")}));
    EXPECT_EQ(report.ParentReport(), base);
    EXPECT_NE(report.FindObject(u"TemplateMemo"), nullptr);
    int own = 0;
    for (TrpComponent* object : report.AllObjects()) {
        if (auto* memo = dynamic_cast<TrpMemoView*>(object); memo != nullptr && memo->Text().startsWith(u"own"))
            ++own;
    }
    EXPECT_EQ(own, 1);
    EXPECT_EQ(report.ReportOptions().Name, QStringLiteral("Наследник"));
}

TEST_F(ReportOptions, CancelledFolderChoiceKeepsThePath)
{
    modal.Then<TrpReportEditorForm>([&](TrpReportEditorForm& form) {
        const QString before = form.PathE->text();
        ScriptedUi folderUi({QStringLiteral("cancel")});
        ReportServices::SetUi(&folderUi);
        form.BrowseB->click();
        ReportServices::SetUi(&modal.ui);
        EXPECT_EQ(form.PathE->text(), before);
        // A typed folder that exists is taken with Enter; one that does not is not.
        form.PathE->setText(folder.filePath(QStringLiteral("missing")));
        emit form.PathE->returnPressed();
        EXPECT_EQ(form.TemplatePath(), before);
        form.PathE->setText(folder.path());
        emit form.PathE->returnPressed();
        EXPECT_EQ(form.TemplatePath(), folder.path());
        form.CancelB->click();
    });
    TrpReportEditorForm form(nullptr, &designer);
    EXPECT_EQ(form.Execute(), mrCancel);
}

TEST_F(DesignerSettings, ReportOptionsCommandMarksTheChange)
{
    form->SetModified(false);
    modal.Then<TrpReportEditorForm>([](TrpReportEditorForm& dialog) { dialog.CancelB->click(); });
    Trigger("ReportOptionsCmd");
    EXPECT_FALSE(form->Modified());
    modal.Then<TrpReportEditorForm>([](TrpReportEditorForm& dialog) {
        dialog.AuthorE->setText(QStringLiteral("Автор"));
        dialog.OkB->click();
    });
    Trigger("ReportOptionsCmd");
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(report.ReportOptions().Author, QStringLiteral("Автор"));
    EXPECT_EQ(modal.Shown.size(), 2);
}

TEST_F(DesignerSettings, ReportOptionsListTheDesignersTemplatesAndBrowseChangesItsFolder)
{
    TrpReport base;
    base.SaveToFile(folder.filePath(QStringLiteral("t.zi3")));
    QTemporaryDir other;
    TrpReport second;
    second.SaveToFile(QDir(other.path()).filePath(QStringLiteral("u.zi3")));
    form->SetTemplatePath(folder.path());
    modal.Then<TrpReportEditorForm>([&](TrpReportEditorForm& dialog) {
        EXPECT_EQ(dialog.PathE->text(), folder.path());
        ASSERT_EQ(dialog.InheritLV->count(), 1);
        EXPECT_EQ(dialog.InheritLV->item(0)->text(), QStringLiteral("t.zi3"));
        ScriptedUi folderUi({QStringLiteral("ok ") + other.path()});
        ReportServices::SetUi(&folderUi);
        dialog.BrowseB->click();
        ReportServices::SetUi(&modal.ui);
        ASSERT_EQ(dialog.InheritLV->count(), 1);
        EXPECT_EQ(dialog.InheritLV->item(0)->text(), QStringLiteral("u.zi3"));
        dialog.CancelB->click();
    });
    Trigger("ReportOptionsCmd");
    EXPECT_EQ(form->TemplatePath(), other.path());
}

TEST(RptoolDesignSettingsDialogs, PageSettingsTurnThePageAndBadActionsFail)
{
    QTemporaryDir home;
    const QString views = QFileInfo(QStringLiteral(DAX_REPORT_MODEL_DATA "/reports/views.zi3")).absoluteFilePath();
    const QString saved = home.filePath(QStringLiteral("l.zi3"));
    const ToolRun design =
        Rptool({QStringLiteral("design"), views, QStringLiteral("--page"), QStringLiteral("1"), QStringLiteral("--dialog"),
                QStringLiteral("TrpPageEditorForm"), QStringLiteral("--in-dialog"), QStringLiteral("check LandscapeRB"),
                QStringLiteral("--answer"), QStringLiteral("ok"), QStringLiteral("--save"), saved},
               home.path());
    ASSERT_EQ(design.exitCode, 0) << design.err.toStdString();
    const ToolRun props = Rptool({QStringLiteral("props"), saved, QStringLiteral("Page1")}, home.path());
    ASSERT_EQ(props.exitCode, 0) << props.err.toStdString();
    EXPECT_TRUE(props.out.split(u'\n').contains(QStringLiteral("0\tOrientation\tpoLandscape\tvsm"))) << props.out.toStdString();
    EXPECT_TRUE(props.out.split(u'\n').contains(QStringLiteral("0\tPaperWidth\t297\tm"))) << props.out.toStdString();

    const ToolRun unknown = Rptool({QStringLiteral("design"), views, QStringLiteral("--page"), QStringLiteral("1"),
                                    QStringLiteral("--dialog"), QStringLiteral("TrpOptionsEditor"),
                                    QStringLiteral("--in-dialog"), QStringLiteral("click NoSuchB")},
                                   home.path());
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("No control named NoSuchB"))) << unknown.err.toStdString();
    const ToolRun orphan = Rptool({QStringLiteral("design"), views, QStringLiteral("--answer"), QStringLiteral("ok")},
                                  home.path());
    EXPECT_EQ(orphan.exitCode, 1);
}

} // namespace
