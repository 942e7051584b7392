// The designer window's Preview: the report runs in the preview window from a snapshot of the
// design, and whatever the run did to the report's objects, the design comes back.

#include "rpDesgnForm.h"

#include "rpDesgnCtrls.h"
#include "rpInsp.h"
#include "rpSynMemo.h"
#include "rpWatchForm.h"

#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"
#include "report/model/rpVariables.h"
#include "report/script/sc_iinterpreter_script.h"
#include "report/script/sc_itools_types.h"

#include <exception>
#include <optional>

void TrpDesignerForm::PreviewCmdExecute()
{
    // Preview while the script is paused goes on with the run.
    if (ResumeScript())
        return;
    if (!CheckOp(drDontPreviewReport) || FUndoBuffer == nullptr)
        return;
    FInspector->SetItemIndex(FInspector->ItemIndex());
    TrpReport* report = Report();
    SavePagePosition();
    report->SetScriptText(FCodeWindow->Lines().List());
    if (!report->PrepareScript()) {
        // The script page with the caret at the error and the script's message.
        const QString errorPos = report->Script().ErrorPos;
        const QString errorMsg = report->Script().ErrorMsg;
        QPoint position;
        try {
            position = PositionTextToPoint(errorPos);
        } catch (const std::exception&) {
            position = QPoint();
        }
        // Preparing took the objects out of design and gave the script their names: both
        // come back first.
        report->Script().RemoveItems(report);
        report->SetDesigning(true);
        for (TrpComponent* object : report->AllObjects())
            object->SetDesigning(true);
        SetPage(nullptr);
        FCodeWindow->SetPos(std::max(position.x(), 1), std::max(position.y(), 1));
        FCodeWindow->ShowMessage(errorMsg);
        return;
    }

    DetachDialogForm();
    int index = -1;
    for (int i = 0; i < report->PagesCount(); ++i) {
        if (Page() != nullptr && report->Pages(i) == Page())
            index = i;
    }
    const bool modal = report->PreviewOptions().Modal;
    const bool mdiChild = report->PreviewOptions().MDIChild;
    const bool destroyForms = report->EngineOptions().DestroyForms;
    TrpVariables variables;
    variables.Assign(report->Variables());
    FUndoBuffer->AddUndo(report);
    TrpCustomPreview* preview = report->Preview();
    report->SetPreview(nullptr);

    report->PreviewOptions().Modal = true;
    report->PreviewOptions().MDIChild = false;
    report->EngineOptions().DestroyForms = false;
    FWatchList->SetScriptRunning(true);
    FScriptRunning = true;
    std::optional<QString> failure;
    try {
        report->ShowReport();
    } catch (const platform::Exception& error) {
        failure = QString::fromStdString(error.Message());
    } catch (const std::exception& error) {
        failure = QString::fromUtf8(error.what());
    }
    FScriptRunning = false;
    FWatchList->SetScriptRunning(false);

    // The design as it was before the run, whatever the run did.
    Lock();
    FUndoBuffer->RestoreLastUndo(report);
    report->Script().RemoveItems(report);
    report->SetPreview(preview);
    report->PreviewOptions().Modal = modal;
    report->PreviewOptions().MDIChild = mdiChild;
    report->EngineOptions().DestroyForms = destroyForms;
    report->Variables().Assign(variables);
    // Preparing the script took every object out of design.
    report->SetDesigning(true);
    for (TrpComponent* object : report->AllObjects())
        object->SetDesigning(true);
    if (index == -1) {
        ReloadPages(-2);
        SetPage(nullptr);
    } else {
        ReloadPages(index);
    }
    FWatchList->UpdateWatches();
    // A run that failed is told only now, over the restored design.
    if (failure.has_value())
        ErrorMessageBox(*failure);
}
