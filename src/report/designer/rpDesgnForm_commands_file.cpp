// The designer window's file and page commands: loading a report (named, recent, through the
// component's handler or the open dialog), saving it (through the component's handler or the
// save dialog), a new report with its first bands, the report's defaults, new report and dialog
// pages, deleting a page.

#include "rpDesgnForm.h"

#include "rpDesgnCtrls.h"
#include "rpScriptTemplates.h"
#include "rpSynMemo.h"

#include "report/core/Services.h"
#include "report/engine/rpDMPClass.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"
#include "report/script/ScriptDialogs.h"

#include <QAction>
#include <QComboBox>
#include <QToolButton>

namespace {

// Puts the engine's silent mode back whatever way the load ends.
class SilentModeOff {
public:
    explicit SilentModeOff(TrpReport& report)
        : options_(report.EngineOptions()), saved_(report.EngineOptions().NewSilentMode)
    {
        options_.SetSilentMode(false);
    }
    ~SilentModeOff() { options_.NewSilentMode = saved_; }
    SilentModeOff(const SilentModeOff&) = delete;
    SilentModeOff& operator=(const SilentModeOff&) = delete;

private:
    TrpEngineOptions& options_;
    TrpSilentMode saved_;
};

// An empty report: the data page and one report page.
void MakeEmptyReport(TrpReport& report)
{
    report.Clear();
    auto* data = new TrpDataPage(&report);
    data->SetName(QStringLiteral("Data"));
    auto* page = new TrpReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    page->SetDefaults();
}

// The band height of a new report in the designer's units.
double NewBandHeight(TrpDesignerUnits units)
{
    switch (units) {
    case duInches:
        return 28.8;
    case duPixels:
        return 20;
    case duChars:
        return 17;
    default:
        return 22.68;
    }
}

} // namespace

// --- loading ---

void TrpDesignerForm::LoadFile(const QString& fileName, bool useOnLoadEvent)
{
    TrpReport* report = Report();
    const SilentModeOff silent(*report);
    TrpDesigner* component = CurrentDesignerComponent();
    // Cancel at the question leaves the window exactly as it was: nothing is reloaded.
    const auto saveQuestionAllows = [&] {
        if (!Modified())
            return true;
        const int answer = AskSaveChanges();
        if (answer == mrYes)
            return SaveFile(false, useOnLoadEvent);
        return answer == mrNo;
    };
    const auto loadNamed = [&](const QString& name) {
        bool loaded = false;
        try {
            loaded = report->LoadFromFile(name, false) && report->StreamLoaded();
        } catch (const std::exception&) {
            loaded = false;
        }
        if (!loaded) {
            // What was read of a broken file is no report to edit: an empty one is.
            MakeEmptyReport(*report);
            ErrorMessageBox(ResourceText(u"dsCantLoad"));
        }
    };

    if (!fileName.isEmpty()) {
        if (!saveQuestionAllows())
            return;
        Lock();
        if (useOnLoadEvent && component != nullptr && component->OnLoadRecentReport) {
            if (component->OnLoadRecentReport(*report, fileName))
                ReloadReport();
            else
                ReloadPages(-2);
            return;
        }
        loadNamed(fileName);
        ReloadReport();
        return;
    }
    if (useOnLoadEvent && component != nullptr && component->OnLoadReport) {
        Lock();
        if (component->OnLoadReport(*report))
            ReloadReport();
        else
            ReloadPages(-2);
        return;
    }
    UiFileDialog dialog;
    dialog.DefaultExt = FTemplateExt;
    dialog.Filter = QtFileFilter(ResourceText(u"dsRepFilter"));
    dialog.FilterIndex = 1;
    dialog.InitialDir = component != nullptr ? component->OpenDir : QString();
    if (!ReportServices::Ui().OpenFileDialog(dialog) || dialog.FileName.isEmpty())
        return;
    if (!saveQuestionAllows())
        return;
    Lock();
    loadNamed(dialog.FileName);
    ReloadReport();
}

// --- saving ---

bool TrpDesignerForm::SaveFile(bool saveAs, bool useOnSaveEvent)
{
    TrpReport* report = Report();
    report->SetScriptText(FCodeWindow->Lines().List());
    report->ReportOptions().LastChange = ReportServices::Clock().Now();
    TrpDesigner* component = CurrentDesignerComponent();
    if (useOnSaveEvent && component != nullptr && component->OnSaveReport) {
        if (component->OnSaveReport(*report, saveAs)) {
            UpdateRecentFiles(report->FileName());
            UpdateCaption();
            SetModified(false);
        }
        return true;
    }
    bool saved = true;
    if (saveAs || report->FileName().isEmpty()) {
        UiFileDialog dialog;
        dialog.DefaultExt = FTemplateExt;
        dialog.Filter = QtFileFilter(ResourceText(u"dsRepFilter"));
        dialog.FilterIndex = 1;
        dialog.InitialDir = component != nullptr ? component->SaveDir : QString();
        saved = ReportServices::Ui().SaveFileDialog(dialog);
        if (saved) {
            report->ReportOptions().Compressed = false;
            report->SetFileName(dialog.FileName);
            report->SaveToFile(dialog.FileName);
        }
    } else {
        report->SaveToFile(report->FileName());
    }
    UpdateRecentFiles(report->FileName());
    UpdateCaption();
    if (saved) {
        modified_ = false;
        Action(QStringLiteral("SaveCmd"))->setEnabled(false);
    }
    return saved;
}

// --- a new report ---

void TrpDesignerForm::SetReportDefaults()
{
    TrpReport* report = Report();
    const TrpDesigner* component = CurrentDesignerComponent();
    report->ScriptLanguage =
        component != nullptr ? component->DefaultScriptLanguage : QStringLiteral("RireroRidoze");
    QStringList script;
    WriteEmptyScript(script, report->ScriptLanguage);
    FCodeWindow->SetLines(script);
    FCodeWindow->SetSyntax(report->ScriptLanguage);
    if (auto* langCB = qobject_cast<QComboBox*>(Control(QStringLiteral("LangCB"))))
        langCB->setCurrentIndex(langCB->findText(report->ScriptLanguage));
    if (report->PagesCount() > 1) {
        if (auto* page = dynamic_cast<TrpReportPage*>(report->Pages(1))) {
            if (component != nullptr) {
                page->LeftMargin = component->DefaultLeftMargin;
                page->BottomMargin = component->DefaultBottomMargin;
                page->RightMargin = component->DefaultRightMargin;
                page->TopMargin = component->DefaultTopMargin;
                page->SetPaperSize(component->DefaultPaperSize);
                page->SetOrientation(component->DefaultOrientation);
            } else {
                page->SetDefaults();
            }
        }
    }
    report->SetScriptText(FCodeWindow->Lines().List());
}

void TrpDesignerForm::NewReportCmdExecute()
{
    if (!CheckOp(drDontCreateReport))
        return;
    if (Modified()) {
        const int answer = AskSaveChanges();
        if (answer == mrCancel || answer == mrNone)
            return;
        // A save that did not happen keeps the report.
        if (answer == mrYes && CheckOp(drDontSaveReport) && !SaveFile(false, true))
            return;
    }
    TrpReport* report = Report();
    const double h0 = FWorkspace->BandHeader();
    const double h = NewBandHeight(FOldUnits);
    FWorkspace->SetInsertion(nullptr, 0, 0, 0);
    FWorkspace->SetTool(dtSelect);
    if (auto* select = qobject_cast<QToolButton*>(Control(QStringLiteral("ObjectSelectB"))))
        select->setChecked(true);
    Lock();
    report->Clear();
    report->SetFileName(QString());
    auto* data = new TrpDataPage(report);
    data->SetName(QStringLiteral("Data"));
    auto* page = new TrpReportPage(report);
    page->SetName(QStringLiteral("Page1"));
    SetReportDefaults();

    auto* title = new TrpReportTitle(page);
    title->SetName(QStringLiteral("ReportTitle1"));
    title->SetBounds(0, h0, 0, h);
    auto* master = new TrpMasterData(page);
    master->SetName(QStringLiteral("MasterData1"));
    master->SetBounds(0, 2 * h0 + 2 * h, 0, h);
    auto* footer = new TrpPageFooter(page);
    footer->SetName(QStringLiteral("PageFooter1"));
    footer->SetBounds(0, 3 * h0 + 4 * h, 0, h);
    auto* memo = new TrpMemoView(footer);
    memo->SetName(QStringLiteral("Memo1"));
    memo->SetBounds((page->PaperWidth() - page->LeftMargin - page->RightMargin - 20) * 3.77953, 0,
                    2 * 37.7953, 0.5 * 37.7953);
    memo->HAlign = haRight;
    memo->SetText(QStringLiteral("[Page#]"));

    ReloadPages(-2);
    UpdateCaption();
    if (FUndoBuffer != nullptr) {
        FUndoBuffer->ClearUndo();
        FUndoBuffer->ClearRedo();
    }
    SetModified(false);
}

// --- pages ---

void TrpDesignerForm::NewPageCmdExecute()
{
    if (!CheckOp(drDontCreatePage))
        return;
    TrpReport* report = Report();
    Lock();
    TrpReportPage* page = report->DotMatrixReport ? new TrpDMPPage(report) : new TrpReportPage(report);
    page->CreateUniqueName();
    page->SetDefaults();
    ReloadPages(report->PagesCount() - 1);
    SetModified(true);
}

void TrpDesignerForm::NewDialogCmdExecute()
{
    if (!CheckOp(drDontCreatePage))
        return;
    TrpReport* report = Report();
    Lock();
    auto* page = new TrpDialogPage(report);
    page->CreateUniqueName();
    page->SetBounds(265, 150, 300, 200);
    if (const TrpDesigner* component = CurrentDesignerComponent())
        page->SetFont(component->DefaultFont());
    ReloadPages(report->PagesCount() - 1);
    SetModified(true);
}

void TrpDesignerForm::DeletePageCmdExecute()
{
    TrpComponent* page = Page();
    if (!CheckOp(drDontDeletePage) || page == nullptr || dynamic_cast<TrpDataPage*>(page) != nullptr)
        return;
    Lock();
    if (auto* reportPage = dynamic_cast<TrpReportPage*>(page)) {
        // The subreport object that shows the page goes with it.
        delete reportPage->SubReport();
    }
    delete page;
    ReloadPages(-2);
    SetModified(true);
}
