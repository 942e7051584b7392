// The component editors of the report's own classes.

#include "rpDsgnEditors.h"

#include "rpDataBandEditor.h"
#include "rpDesgnForm.h"
#include "rpDesignerDialogs.h"
#include "rpGroupEditor.h"
#include "rpMemoEditor.h"
#include "rpPictureEditor.h"
#include "rpSysMemoEditor.h"

#include "report/core/Services.h"
#include "report/engine/rpPictureCache.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpRes.h"
#include "report/model/ui/rpClass_dialogcontrol.h"

#include <QWidget>

namespace {

QWidget* Owner(TrpCustomDesigner* designer)
{
    return dynamic_cast<QWidget*>(designer);
}

bool Restricted(const TrpComponent* object)
{
    return object == nullptr || (object->Restrictions() & (1u << rfDontModify)) != 0;
}

template <class T>
bool IsA(const TrpComponent* object)
{
    return dynamic_cast<const T*>(object) != nullptr;
}

} // namespace

// --- pages

bool TrpPageEditor::Edit()
{
    auto* page = dynamic_cast<TrpReportPage*>(Component());
    if (page == nullptr || page->SubReport() != nullptr || Designer() == nullptr)
        return false;
    // The page options dialog joins the designer's dialogs by its class name.
    const QString dialog = QStringLiteral("TrpPageEditorForm");
    if (!DesignerDialogs::DialogClasses().contains(dialog))
        return false;
    return DesignerDialogs::OpenOnSelection(dialog, *Designer(), Owner(Designer())) == mrOk;
}

// --- memos

bool TrpMemoEditor::Edit()
{
    auto* memo = dynamic_cast<TrpCustomMemoView*>(Component());
    if (memo == nullptr)
        return false;
    TrpMemoEditorForm form(Owner(Designer()), Designer());
    form.SetMemoView(memo);
    if (form.Execute() != mrOk)
        return false;
    memo->SetText(form.Text());
    memo->DataField.clear();
    return true;
}

bool TrpSysMemoEditor::Edit()
{
    auto* memo = dynamic_cast<TrpCustomMemoView*>(Component());
    if (memo == nullptr)
        return false;
    TrpSysMemoEditorForm form(Owner(Designer()), Designer());
    form.SetText(memo->Text());
    if (form.Execute() != mrOk)
        return false;
    memo->SetText(form.Text());
    return true;
}

// --- lines

void TrpLineEditor::GetMenuItems()
{
    if (auto* line = dynamic_cast<TrpLineView*>(Component()))
        AddItem(QStringLiteral("lvDiagonal"), 0, line->Diagonal);
    if (auto* line = dynamic_cast<TrpCustomLineView*>(Component()))
        AddItem(QStringLiteral("mvStretch"), 1, line->StretchMode == smMaxHeight);
    TrpViewEditor::GetMenuItems();
}

bool TrpLineEditor::Execute(int tag, bool checked)
{
    bool result = TrpViewEditor::Execute(tag, checked);
    if (Designer() == nullptr || (tag != 0 && tag != 1))
        return result;
    for (const QPointer<TrpComponent>& object : Designer()->SelectedObjects()) {
        auto* line = dynamic_cast<TrpCustomLineView*>(object.data());
        if (line == nullptr || Restricted(line))
            continue;
        if (tag == 0)
            line->Diagonal = checked;
        else
            line->StretchMode = checked ? smMaxHeight : smDontStretch;
        result = true;
    }
    return result;
}

// --- pictures

bool TrpPictureEditor::Edit()
{
    auto* view = dynamic_cast<TrpPictureView*>(Component());
    if (view == nullptr)
        return false;
    TrpPictureEditorForm form(Owner(Designer()), Designer());
    form.SetPicture(view->Picture());
    if (form.Execute() != mrOk)
        return false;
    view->SetPicture(form.Picture());
    // The prepared report takes its pictures from the designer's cache.
    if (auto* window = dynamic_cast<TrpDesignerForm*>(Designer()); window != nullptr && window->PictureCache())
        window->PictureCache()->AddPicture(view);
    return true;
}

void TrpPictureEditor::GetMenuItems()
{
    if (auto* view = dynamic_cast<TrpPictureView*>(Component())) {
        AddItem(QStringLiteral("pvAutoSize"), 0, view->AutoSize());
        AddItem(QStringLiteral("mvStretch"), 1, view->Stretched);
        AddItem(QStringLiteral("pvCenter"), 2, view->Center);
        AddItem(QStringLiteral("pvAspect"), 3, view->KeepAspectRatio);
        AddItem(QStringLiteral("-"), -1, false);
    }
    TrpViewEditor::GetMenuItems();
}

bool TrpPictureEditor::Execute(int tag, bool checked)
{
    bool result = TrpViewEditor::Execute(tag, checked);
    if (Designer() == nullptr || tag < 0 || tag > 3)
        return result;
    for (const QPointer<TrpComponent>& object : Designer()->SelectedObjects()) {
        auto* view = dynamic_cast<TrpPictureView*>(object.data());
        if (view == nullptr || Restricted(view))
            continue;
        switch (tag) {
        case 0:
            view->SetAutoSize(checked);
            break;
        case 1:
            view->Stretched = checked;
            break;
        case 2:
            view->Center = checked;
            break;
        case 3:
            view->KeepAspectRatio = checked;
            break;
        }
        result = true;
    }
    return result;
}

// --- bands

QAction* TrpBandEditor::AddItem(const QString& resourceName, int tag, bool checked)
{
    return AppendMenuItem(ResourceText(resourceName), tag, checked);
}

bool TrpBandEditor::SingleSelection() const
{
    return Designer() == nullptr || Designer()->SelectedObjects().size() <= 1;
}

template <class T>
T* TrpBandEditor::FirstModifiable() const
{
    if (Designer() == nullptr || Designer()->SelectedObjects().empty())
        return nullptr;
    TrpComponent* first = Designer()->SelectedObjects().front().data();
    if (Restricted(first))
        return nullptr;
    return dynamic_cast<T*>(first);
}

void TrpBandEditor::GetMenuItems()
{
    auto* band = dynamic_cast<TrpBand*>(Component());
    if (band == nullptr || !SingleSelection())
        return;
    const bool pageHeader = IsA<TrpPageHeader>(band);
    const bool pageFooter = IsA<TrpPageFooter>(band);
    const bool columnHeader = IsA<TrpColumnHeader>(band);
    const bool columnFooter = IsA<TrpColumnFooter>(band);
    if (!band->Vertical) {
        AddItem(QStringLiteral("mvStretch"), 10, band->Stretched);
        if (!pageHeader && !pageFooter && !columnHeader && !columnFooter)
            AddItem(QStringLiteral("bvSplit"), 11, band->AllowSplit);
        if (!pageHeader && !columnHeader)
            AddItem(QStringLiteral("bvKeepChild"), 12, band->KeepChild);
    }
    AddItem(QStringLiteral("bvPrintChild"), 13, band->PrintChildIfInvisible);
    if (!pageHeader && !pageFooter && !IsA<TrpFooter>(band) && !IsA<TrpGroupFooter>(band) && !columnHeader &&
        !columnFooter)
        AddItem(QStringLiteral("bvStartPage"), 14, band->StartNewPage);
}

bool TrpBandEditor::Execute(int tag, bool checked)
{
    auto* band = FirstModifiable<TrpBand>();
    if (band == nullptr)
        return false;
    switch (tag) {
    case 10:
        band->Stretched = checked;
        break;
    case 11:
        band->AllowSplit = checked;
        break;
    case 12:
        band->KeepChild = checked;
        break;
    case 13:
        band->PrintChildIfInvisible = checked;
        break;
    case 14:
        band->StartNewPage = checked;
        break;
    }
    return true;
}

bool TrpDataBandEditor::Edit()
{
    auto* band = dynamic_cast<TrpDataBand*>(Component());
    if (band == nullptr)
        return false;
    TrpDataBandEditorForm form(Owner(Designer()), Designer());
    form.SetDataBand(band);
    return form.Execute() == mrOk;
}

void TrpDataBandEditor::GetMenuItems()
{
    TrpBandEditor::GetMenuItems();
    auto* band = dynamic_cast<TrpDataBand*>(Component());
    if (band == nullptr || !SingleSelection())
        return;
    AddItem(QStringLiteral("bvPrintIfEmpty"), 0, band->PrintIfDetailEmpty);
    AddItem(QStringLiteral("bvFooterAfterEach"), 1, band->FooterAfterEach);
    if (!band->Vertical) {
        AddItem(QStringLiteral("bvKeepDetail"), 2, band->KeepTogether);
        AddItem(QStringLiteral("bvKeepFooter"), 3, band->KeepFooter);
        AddItem(QStringLiteral("bvKeepHeader"), 4, band->KeepHeader);
    }
}

bool TrpDataBandEditor::Execute(int tag, bool checked)
{
    const bool result = TrpBandEditor::Execute(tag, checked);
    auto* band = FirstModifiable<TrpDataBand>();
    if (band == nullptr)
        return result;
    switch (tag) {
    case 0:
        band->PrintIfDetailEmpty = checked;
        break;
    case 1:
        band->FooterAfterEach = checked;
        break;
    case 2:
        band->KeepTogether = checked;
        break;
    case 3:
        band->KeepFooter = checked;
        break;
    case 4:
        band->KeepHeader = checked;
        break;
    }
    return true;
}

void TrpHeaderEditor::GetMenuItems()
{
    TrpBandEditor::GetMenuItems();
    auto* band = dynamic_cast<TrpHeader*>(Component());
    if (band != nullptr && SingleSelection())
        AddItem(QStringLiteral("bvReprint"), 0, band->ReprintOnNewPage);
}

bool TrpHeaderEditor::Execute(int tag, bool checked)
{
    const bool result = TrpBandEditor::Execute(tag, checked);
    auto* band = FirstModifiable<TrpHeader>();
    if (band == nullptr)
        return result;
    if (tag == 0)
        band->ReprintOnNewPage = checked;
    return true;
}

void TrpPageHeaderEditor::GetMenuItems()
{
    TrpBandEditor::GetMenuItems();
    auto* band = dynamic_cast<TrpPageHeader*>(Component());
    if (band != nullptr && SingleSelection())
        AddItem(QStringLiteral("bvOnFirst"), 0, band->PrintOnFirstPage);
}

bool TrpPageHeaderEditor::Execute(int tag, bool checked)
{
    const bool result = TrpBandEditor::Execute(tag, checked);
    auto* band = FirstModifiable<TrpPageHeader>();
    if (band == nullptr)
        return result;
    if (tag == 0)
        band->PrintOnFirstPage = checked;
    return true;
}

void TrpPageFooterEditor::GetMenuItems()
{
    auto* band = dynamic_cast<TrpPageFooter*>(Component());
    if (band == nullptr || !SingleSelection())
        return;
    AddItem(QStringLiteral("bvOnFirst"), 0, band->PrintOnFirstPage);
    AddItem(QStringLiteral("bvOnLast"), 1, band->PrintOnLastPage);
}

bool TrpPageFooterEditor::Execute(int tag, bool checked)
{
    auto* band = FirstModifiable<TrpPageFooter>();
    if (band == nullptr)
        return false;
    if (tag == 0)
        band->PrintOnFirstPage = checked;
    else if (tag == 1)
        band->PrintOnLastPage = checked;
    return true;
}

bool TrpGroupHeaderEditor::Edit()
{
    auto* band = dynamic_cast<TrpGroupHeader*>(Component());
    if (band == nullptr)
        return false;
    TrpGroupEditorForm form(Owner(Designer()), Designer());
    form.SetGroupHeader(band);
    return form.Execute() == mrOk;
}

void TrpGroupHeaderEditor::GetMenuItems()
{
    TrpBandEditor::GetMenuItems();
    auto* band = dynamic_cast<TrpGroupHeader*>(Component());
    if (band == nullptr || !SingleSelection())
        return;
    AddItem(QStringLiteral("bvKeepGroup"), 0, band->KeepTogether);
    AddItem(QStringLiteral("bvReprint"), 1, band->ReprintOnNewPage);
    AddItem(QStringLiteral("bvDrillDown"), 2, band->DrillDown);
    AddItem(QStringLiteral("bvResetPageNo"), 3, band->ResetPageNumbers);
}

bool TrpGroupHeaderEditor::Execute(int tag, bool checked)
{
    const bool result = TrpBandEditor::Execute(tag, checked);
    auto* band = FirstModifiable<TrpGroupHeader>();
    if (band == nullptr)
        return result;
    switch (tag) {
    case 0:
        band->KeepTogether = checked;
        break;
    case 1:
        band->ReprintOnNewPage = checked;
        break;
    case 2:
        band->DrillDown = checked;
        break;
    case 3:
        band->ResetPageNumbers = checked;
        if (checked)
            band->StartNewPage = true;
        break;
    }
    return true;
}

void TrpColumnHeaderEditor::GetMenuItems()
{
    auto* band = dynamic_cast<TrpBand*>(Component());
    if (band != nullptr && SingleSelection())
        AddItem(QStringLiteral("mvStretch"), 10, band->Stretched);
}

bool TrpColumnHeaderEditor::Execute(int tag, bool checked)
{
    auto* band = FirstModifiable<TrpBand>();
    if (band == nullptr)
        return false;
    if (tag == 10)
        band->Stretched = checked;
    return true;
}

// --- dialog controls and subreports

bool TrpDialogControlEditor::Edit()
{
    auto* control = dynamic_cast<TrpDialogControl*>(Component());
    if (control == nullptr)
        return false;
    TrpEventAccess event;
    event.ObjectName = control->Name();
    event.EventName = QStringLiteral("OnClick");
    event.EventType = QStringLiteral("TrpNotifyEvent");
    event.Get = [control] { return control->OnClick; };
    event.Set = [control](const QString& value) { control->OnClick = value; };
    return OpenEventHandler(Designer(), event, false);
}

bool TrpSubreportEditor::Edit()
{
    auto* subreport = dynamic_cast<TrpSubreport*>(Component());
    if (subreport != nullptr && subreport->Page() != nullptr && Designer() != nullptr)
        Designer()->SetPage(subreport->Page());
    return false;
}

void TrpSubreportEditor::GetMenuItems()
{
    if (auto* subreport = dynamic_cast<TrpSubreport*>(Component()))
        AppendMenuItem(ResourceText(u"srParent"), 0, subreport->PrintOnParent);
}

bool TrpSubreportEditor::Execute(int tag, bool checked)
{
    auto* subreport = dynamic_cast<TrpSubreport*>(Component());
    if (tag != 0 || subreport == nullptr || Restricted(subreport))
        return false;
    subreport->PrintOnParent = checked;
    return true;
}
