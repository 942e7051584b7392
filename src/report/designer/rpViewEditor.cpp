#include "rpViewEditor.h"

#include "rpFormatEditor.h"

#include "report/core/Services.h"
#include "report/engine/rpDMPClass.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpRes.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include <memory>

bool TrpViewEditor::Restricted(const TrpComponent* object)
{
    return object == nullptr || (object->Restrictions() & (1u << rfDontModify)) != 0;
}

QAction* TrpViewEditor::AddItem(const QString& resourceName, int tag, bool checked)
{
    if (resourceName == u"-")
        return AppendMenuItem(resourceName, -1, false);
    return AppendMenuItem(ResourceText(resourceName), tag, checked);
}

void TrpViewEditor::GetMenuItems()
{
    const auto* view = dynamic_cast<const TrpView*>(Component());
    if (view == nullptr)
        return;
    AddItem(QStringLiteral("mvShift"), 50, view->ShiftMode == smAlways);
    AddItem(QStringLiteral("mvShiftOver"), 51, view->ShiftMode == smWhenOverlapped);
    AddItem(QStringLiteral("mvVisible"), 52, view->Visible());
    AddItem(QStringLiteral("mvPrintable"), 53, view->Printable);
}

bool TrpViewEditor::Execute(int tag, bool checked)
{
    if (tag < 50 || tag > 53 || Designer() == nullptr)
        return false;
    bool changed = false;
    for (const QPointer<TrpComponent>& object : Designer()->SelectedObjects()) {
        auto* view = dynamic_cast<TrpView*>(object.data());
        if (view == nullptr || Restricted(view))
            continue;
        switch (tag) {
        case 50:
            view->ShiftMode = checked ? smAlways : smDontShift;
            break;
        case 51:
            view->ShiftMode = checked ? smWhenOverlapped : smDontShift;
            break;
        case 52:
            view->SetVisible(checked);
            break;
        case 53:
            view->Printable = checked;
            break;
        }
        changed = true;
    }
    return changed;
}

void TrpCustomMemoEditor::GetMenuItems()
{
    const auto* memo = dynamic_cast<const TrpCustomMemoView*>(Component());
    if (memo != nullptr) {
        AddItem(QStringLiteral("mvFormat"), 1, false);
        AddItem(QStringLiteral("mvClear"), 2, false);
        AddItem(QStringLiteral("-"), -1, false);
        AddItem(QStringLiteral("mvAutoWidth"), 3, memo->AutoWidth);
        AddItem(QStringLiteral("mvWWrap"), 4, memo->WordWrap);
        AddItem(QStringLiteral("mvSuppress"), 5, memo->SuppressRepeated);
        AddItem(QStringLiteral("mvHideZ"), 6, memo->HideZeros);
        AddItem(QStringLiteral("mvExpr"), 7, memo->AllowExpressions);
        if (dynamic_cast<const TrpDMPMemoView*>(memo) == nullptr)
            AddItem(QStringLiteral("mvHTML"), 8, memo->AllowHTMLTags);
        AddItem(QStringLiteral("-"), -1, false);
        AddItem(QStringLiteral("mvStretch"), 40, memo->StretchMode == smActualHeight);
        AddItem(QStringLiteral("mvStretchToMax"), 41, memo->StretchMode == smMaxHeight);
    }
    TrpViewEditor::GetMenuItems();
}

bool TrpCustomMemoEditor::Execute(int tag, bool checked)
{
    bool result = TrpViewEditor::Execute(tag, checked);
    if (Designer() == nullptr)
        return result;
    std::unique_ptr<TrpFormat> chosen;
    if (tag == 1) {
        auto* edited = dynamic_cast<TrpCustomMemoView*>(Component());
        if (edited == nullptr)
            return result;
        TrpFormatEditorForm form(dynamic_cast<QWidget*>(Designer()), Designer());
        form.SetFormat(edited->DisplayFormat());
        if (form.Execute() != mrOk)
            return result;
        chosen = std::make_unique<TrpFormat>();
        chosen->Assign(form.Format());
    }
    for (const QPointer<TrpComponent>& object : Designer()->SelectedObjects()) {
        auto* memo = dynamic_cast<TrpCustomMemoView*>(object.data());
        if (memo == nullptr || Restricted(memo))
            continue;
        switch (tag) {
        case 1:
            memo->SetDisplayFormat(*chosen);
            break;
        case 2:
            memo->SetText(QString());
            break;
        case 3:
            memo->AutoWidth = checked;
            break;
        case 4:
            memo->WordWrap = checked;
            break;
        case 5:
            memo->SuppressRepeated = checked;
            break;
        case 6:
            memo->HideZeros = checked;
            break;
        case 7:
            memo->AllowExpressions = checked;
            break;
        case 8:
            memo->AllowHTMLTags = checked;
            break;
        case 40:
            memo->StretchMode = checked ? smActualHeight : smDontStretch;
            break;
        case 41:
            memo->StretchMode = checked ? smMaxHeight : smDontStretch;
            break;
        }
        result = true;
    }
    return result;
}
