// The design workspace in the designer window: made with the window, placed in the scroll box
// (or in a dialog page's window), given the page's geometry, units and grid.

#include "rpDesgnForm.h"

#include "rpDesgnCtrls.h"

#include "report/core/Rounding.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"

#include <QMenu>
#include <QScrollArea>


void TrpDesignerForm::CreateWorkspace()
{
    FSheetHost = new QWidget;
    FSheetHost->setObjectName(QStringLiteral("SheetHost"));
    FWorkspace = new TDesignerWorkspace(this, FSheetHost);
    FWorkspace->setObjectName(QStringLiteral("Workspace"));
    FWorkspace->SetParent(FSheetHost);
    FWorkspace->SetObjects(&Objects());
    FWorkspace->SetSelectedObjects(&SelectedObjects());
    FWorkspace->SetShowBandCaptions(true);
    FWorkspace->SetOrigin(QPoint(10, 10));
    FWorkspace->OnModify = [this](TrpDesignerWorkspace* sender) { Guard([&] { ObjectModified(sender); }); };
    FWorkspace->OnSelectionChanged = [this](TrpDesignerWorkspace* sender) {
        Guard([&] { SelectionChanged(sender); });
    };
    FWorkspace->OnEdit = [this](TrpDesignerWorkspace*) { Guard([this] { EditSelectedObject(); }); };
    FWorkspace->OnNotifyPosition = [this](TrpDesignerWorkspace* sender, const TrpRect& rect) {
        // The workspace reports left, top, width and height in the rectangle's four fields.
        NotifyPosition(QRectF(rect.Left, rect.Top, rect.Right, rect.Bottom),
                       static_cast<int>(sender->Mode()),
                       sender->IsMouseDown() || sender->Insertion().ComponentClass != nullptr);
    };
    FWorkspace->OnTopLeftChanged = [this](TrpDesignerWorkspace*) { UpdateRulerOffsets(); };
    FWorkspace->OnPopupMenu = [this](TrpDesignerWorkspace*, const QPoint& position) {
        if (auto* popup = findChild<QMenu*>(QStringLiteral("PagePopup")))
            popup->popup(position);
    };
    FScrollBox->setWidget(FSheetHost);
}

void TrpDesignerForm::PlaceSheet()
{
    // The scroll box's content holds the sheet with a margin around it.
    if (TMarginsPanel* panel = FWorkspace->MarginsPanel()) {
        FSheetHost->resize(panel->x() + panel->width() + 10, panel->y() + panel->height() + 10);
    }
    UpdateRulerOffsets();
}

QSizeF TrpDesignerForm::GetDefaultObjectSize() const
{
    // Two and a half by half a centimetre, an inch by a fifth, 80 by 16 pixels, or ten
    // characters on one line.
    switch (FUnits) {
    case duInches:
        return {96, 0.2 * 96};
    case duPixels:
        return {80, 16};
    case duChars:
        return {9.6 * 10, 17};
    default:
        return {2.5 * 37.7953, 0.5 * 37.7953};
    }
}

void TrpDesignerForm::ApplySample(TrpCustomMemoView& memo)
{
    if (FSampleFormat != nullptr)
        FSampleFormat->ApplySample(memo);
}

void TrpDesignerForm::InsertedObject(TrpComponent* object)
{
    TrpDesigner* component = CurrentDesignerComponent();
    if (component != nullptr && component->OnInsertObject)
        component->OnInsertObject(object);
}

void TrpDesignerForm::UpdateWorkspaceGrid()
{
    switch (FUnits) {
    case duCM:
        FWorkspace->SetGridX(FGridSize1 * 37.7953);
        FWorkspace->SetGridY(FGridSize1 * 37.7953);
        FWorkspace->SetGridType(gt1cm);
        break;
    case duInches:
        FWorkspace->SetGridX(FGridSize2 * 96);
        FWorkspace->SetGridY(FGridSize2 * 96);
        FWorkspace->SetGridType(gt1in);
        break;
    case duPixels:
        FWorkspace->SetGridX(FGridSize3);
        FWorkspace->SetGridY(FGridSize3);
        FWorkspace->SetGridType(gt1pt);
        break;
    case duChars:
        FWorkspace->SetGridX(9.6);
        FWorkspace->SetGridY(17);
        FWorkspace->SetGridType(gtChar);
        break;
    }
    if (IsDialogPageShown()) {
        FWorkspace->SetGridX(FGridSize4);
        FWorkspace->SetGridY(FGridSize4);
        FWorkspace->SetGridType(gtDialog);
    } else if (IsDataPageShown()) {
        FWorkspace->SetGridX(FGridSize4);
        FWorkspace->SetGridY(FGridSize4);
        FWorkspace->SetGridType(gtNone);
    }
    if (Page() != nullptr && !FWorkspace->UpdatesDisabled())
        FWorkspace->AdjustBands(true);
}
