// The designer window's find and replace over the page's memos and the script, and the report
// dialogs of the Report menu and the tab order of dialog pages.

#include "rpDesgnForm.h"

#include "rpDataTree.h"
#include "rpDesgnCtrls.h"
#include "rpInsp.h"
#include "rpReportDataForm.h"
#include "rpStyleEditor.h"
#include "rpSynMemo.h"
#include "rpTabOrderEditor.h"
#include "rpVarEditor.h"

#include "report/core/Services.h"
#include "report/engine/ui/rpProgress.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>

// --- find and replace ---

void TrpDesignerForm::FindCmdExecute(bool replace)
{
    TrpSearchDialog dialog(QApplication::activeWindow());
    dialog.SetReplacing(replace);
    // Pages are searched from their first object always.
    if (auto* top = dialog.findChild<QCheckBox*>(QStringLiteral("TopCB")))
        top->setEnabled(Page() == nullptr);
    if (ReportServices::Ui().RunModal(dialog, dialog.objectName()) != mrOk)
        return;
    dialog.FormHide(true);
    FSearchText = dialog.Text();
    FSearchReplaceText = dialog.ReplaceText();
    FSearchCase = dialog.CaseSensitive();
    FSearchReplace = replace;
    FSearchIndex = 0;
    if (Page() == nullptr && !dialog.FromTop())
        FSearchIndex = FCodeWindow->GetPlainPos();
    if (QAction* findNext = Action(QStringLiteral("FindNextCmd")))
        findNext->setEnabled(true);
    FindNext();
}

void TrpDesignerForm::FindNext()
{
    if (FSearchText.isEmpty())
        return;
    const Qt::CaseSensitivity sensitivity = FSearchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    bool replaceAll = false;
    bool cancelled = false;
    // Whether the user lets this match be replaced (All: every following one too).
    const auto confirmed = [&] {
        if (replaceAll)
            return true;
        const int answer = ConfirmMessageBox(ResourceText(u"dsReplace", {Variant(FSearchText)}),
                                             UiButtons({mbYes, mbNo, mbCancel, mbAll}));
        if (answer == mrAll)
            replaceAll = true;
        cancelled = answer == mrCancel || answer == mrNone;
        return answer == mrYes || answer == mrAll;
    };
    bool firstSearch = true;
    bool found = false;
    do {
        found = false;
        if (Page() != nullptr) {
            const std::vector<QPointer<TrpComponent>> objects = Objects();
            for (int i = std::max(FSearchIndex, 0); i < static_cast<int>(objects.size()); ++i) {
                auto* memo = dynamic_cast<TrpCustomMemoView*>(objects[i].data());
                if (memo == nullptr || !memo->Text().contains(FSearchText, sensitivity))
                    continue;
                found = true;
                FSearchIndex = i + 1;
                SelectedObjects().clear();
                SelectedObjects().emplace_back(memo);
                FWorkspace->AfterSelectionChange();
                SelectionChanged(nullptr);
                if (FSearchReplace && confirmed()) {
                    QString text = memo->Text();
                    text.replace(FSearchText, FSearchReplaceText, sensitivity);
                    memo->SetText(text);
                    SetModified(true);
                }
                break;
            }
        } else {
            found = FCodeWindow->Find(FSearchText, FSearchCase, FSearchIndex);
            if (found && FSearchReplace && confirmed()) {
                FCodeWindow->SetSelText(FSearchReplaceText);
                SetModified(true);
            }
        }
        if (!found && firstSearch)
            InfoMessageBox(ResourceText(u"dsTextNotFound", {Variant(FSearchText)}));
        firstSearch = false;
    } while (replaceAll && found && !cancelled);
}

// --- help ---

QString TrpDesignerForm::HelpTopicClass() const
{
    if (Page() == nullptr)
        return QStringLiteral("TrpSyntaxMemo");
    if (IsDialogPageShown())
        return Page()->ClassName();
    const auto& selected = const_cast<TrpDesignerForm*>(this)->SelectedObjects();
    const TrpComponent* first = selected.empty() ? nullptr : selected.front().data();
    if (dynamic_cast<const TrpDialogComponent*>(first) != nullptr)
        return TrpDialogComponent::Class().Name;
    return QStringLiteral("TrpDesignerForm");
}

// --- report dialogs ---

void TrpDesignerForm::ReportDialogCmdExecute(const QString& command)
{
    if (command == QLatin1String("ReportDataCmd")) {
        if (!CheckOp(drDontEditReportData))
            return;
        TrpReportDataForm form(this, this);
        if (form.Execute() == mrOk) {
            SetModified(true);
            FDataTree->UpdateItems();
        }
    } else if (command == QLatin1String("VariablesCmd")) {
        if (!CheckOp(drDontEditVariables))
            return;
        TrpVarEditorForm form(this, this);
        if (form.Execute() == mrOk) {
            SetModified(true);
            FDataTree->UpdateItems();
        }
    } else if (command == QLatin1String("ReportStylesCmd")) {
        if (!CheckOp(drDontChangeReportOptions))
            return;
        TrpStyleEditorForm form(this, this);
        if (form.Execute() == mrOk) {
            SetModified(true);
            UpdateStyleList();
            Report()->Styles().Apply();
            FWorkspace->update();
        }
    } else if (command == QLatin1String("TabOrderMI")) {
        TrpTabOrderEditorForm form(this, this);
        const bool ok = form.Execute() == mrOk;
        if (ok)
            SetModified(true);
        // The order of the lists follows the page in any case.
        FillObjectLists();
    }
}
