// The designer window's commands that act on the selection and the undo list: undo and redo,
// the clipboard, delete, select all, the order of objects, groups, editing, child bands and
// the workspace's context menu; and where every command of the action list is connected.

#include "rpDesgnForm.h"

#include "rpDesgnCtrls.h"
#include "rpDock.h"
#include "rpDsgnIntfEditors.h"
#include "rpInsp.h"
#include "rpSynMemo.h"

#include "report/core/PropertyRegistry.h"
#include "report/core/Rounding.h"
#include "report/engine/rpDMPClass.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"

#include <QAction>
#include <QDockWidget>
#include <QMenu>
#include <QScrollBar>

#include <algorithm>

namespace {

// The scroll box's two positions, kept over a reload of the pages.
struct ScrollPositions {
    int horizontal = 0;
    int vertical = 0;
};

ScrollPositions ReadScroll(QScrollArea* box)
{
    return {box->horizontalScrollBar()->value(), box->verticalScrollBar()->value()};
}

void WriteScroll(QScrollArea* box, const ScrollPositions& positions)
{
    box->horizontalScrollBar()->setValue(positions.horizontal);
    box->verticalScrollBar()->setValue(positions.vertical);
}

// A new page, without owner, of the kind of the page a preview designer shows.
TrpReportPage* NewPageLike(const TrpComponent* shown)
{
    if (dynamic_cast<const TrpDMPPage*>(shown) != nullptr)
        return new TrpDMPPage();
    return new TrpReportPage();
}

int PageIndex(const TrpReport* report, const TrpComponent* page)
{
    for (int i = 0; i < report->PagesCount(); ++i) {
        if (report->Pages(i) == page)
            return i;
    }
    return -2;
}

bool IsChildBandOwner(const TrpComponent* object)
{
    return object != nullptr && object->IsBand() && dynamic_cast<const TrpColumnFooter*>(object) == nullptr &&
           dynamic_cast<const TrpOverlay*>(object) == nullptr;
}

} // namespace

void TrpDesignerForm::ConnectCommands()
{
    const auto on = [this](const char* name, std::function<void()> handler) {
        connect(Action(QString::fromLatin1(name)), &QAction::triggered, this,
                [this, handler = std::move(handler)] { Guard(handler); });
    };
    // Edit.
    on("UndoCmd", [this] { UndoCmdExecute(); });
    on("RedoCmd", [this] { RedoCmdExecute(); });
    on("CutCmd", [this] { CutCmdExecute(); });
    on("CopyCmd", [this] { CopyCmdExecute(); });
    on("PasteCmd", [this] { PasteCmdExecute(); });
    on("DeleteCmd", [this] { FWorkspace->DeleteObjects(); });
    on("SelectAllCmd", [this] { SelectAllCmdExecute(); });
    on("EditCmd", [this] { FWorkspace->EditObject(); });
    on("BringToFrontCmd", [this] { MoveSelectionInOrder(true); });
    on("SendToBackCmd", [this] { MoveSelectionInOrder(false); });
    on("GroupCmd", [this] {
        FWorkspace->GroupObjects();
        SetModified(true);
    });
    on("UngroupCmd", [this] {
        FWorkspace->UngroupObjects();
        SetModified(true);
    });
    on("FindCmd", [this] { FindCmdExecute(false); });
    on("ReplaceCmd", [this] { FindCmdExecute(true); });
    on("FindNextCmd", [this] { FindNext(); });
    // File and pages.
    on("NewReportCmd", [this] { NewReportCmdExecute(); });
    on("NewPageCmd", [this] { NewPageCmdExecute(); });
    on("NewDialogCmd", [this] { NewDialogCmdExecute(); });
    on("DeletePageCmd", [this] { DeletePageCmdExecute(); });
    on("OpenCmd", [this] {
        if (CheckOp(drDontLoadReport))
            LoadFile(QString(), true);
    });
    on("SaveAsCmd", [this] {
        // The inspector's pending edit counts: re-selecting its row commits it.
        FInspector->SetItemIndex(FInspector->ItemIndex());
        if (CheckOp(drDontSaveReport))
            SaveFile(true, true);
    });
    on("PreviewCmd", [this] { PreviewCmdExecute(); });
    // Report dialogs and view.
    for (const char* name : {"ReportDataCmd", "VariablesCmd", "ReportStylesCmd"})
        on(name, [this, name] { ReportDialogCmdExecute(QString::fromLatin1(name)); });
    // A tool window in a dock site comes back at the width the site remembered when it hid.
    for (const auto& [command, dockName] : {std::pair{"InspectorTBCmd", "InspectorDock"},
                                            {"DataTreeTBCmd", "DataTreeDock"}, {"ReportTreeTBCmd", "ReportTreeDock"}}) {
        const QString name = QString::fromLatin1(dockName);
        connect(Action(QString::fromLatin1(command)), &QAction::triggered, this, [this, name](bool on) {
            QDockWidget* dock = Dock(name);
            TrpDockSite* site = dock != nullptr ? HostDockSite(*dock, *this) : nullptr;
            if (site == nullptr)
                return;
            if (on) {
                dock->setVisible(true);
                site->SetSize(site->SavedSize());
            } else if (site->Size() > 0) {
                site->SetSavedSize(site->Size());
            }
        });
    }
    on("DeleteGuidesCmd", [this] {
        if (auto* page = dynamic_cast<TrpReportPage*>(Page())) {
            page->ClearGuides();
            FWorkspace->update();
            SetModified(true);
        }
    });
}

void TrpDesignerForm::ConnectPagePopup()
{
    // Menu items without an action, and the workspace's context menu: the default edit item,
    // the place of the component editor's items, the editing commands.
    if (auto* popup = findChild<QMenu*>(QStringLiteral("PagePopup"))) {
        QAction* first = popup->actions().isEmpty() ? nullptr : popup->actions().front();
        auto* editItem = new QAction(QStringLiteral("Edit..."), popup);
        editItem->setObjectName(QStringLiteral("EditMI1"));
        connect(editItem, &QAction::triggered, this, [this] { Guard([this] { FWorkspace->EditObject(); }); });
        popup->insertAction(first, editItem);
        const auto separator = [&](const char* name) {
            auto* item = new QAction(popup);
            item->setSeparator(true);
            item->setObjectName(QString::fromLatin1(name));
            popup->insertAction(first, item);
            return item;
        };
        separator("SepMI12")->setVisible(false);
        separator("SepMI8");
        for (const char* name : {"CutCmd", "CopyCmd", "PasteCmd", "DeleteCmd", "SelectAllCmd", "BringToFrontCmd",
                                 "SendToBackCmd"})
            popup->insertAction(first, Action(QString::fromLatin1(name)));
        separator("SepMI9");
        if (QAction* addChild = popup->findChild<QAction*>(QStringLiteral("AddChildMI"))) {
            addChild->setEnabled(true);
            connect(addChild, &QAction::triggered, this, [this] { Guard([this] { AddChildMIClick(); }); });
        }
        if (QAction* tabOrder = popup->findChild<QAction*>(QStringLiteral("TabOrderMI"))) {
            tabOrder->setEnabled(true);
            connect(tabOrder, &QAction::triggered, this,
                    [this] { Guard([this] { ReportDialogCmdExecute(QStringLiteral("TabOrderMI")); }); });
        }
        connect(popup, &QMenu::aboutToShow, this, [this] { Guard([this] { PreparePagePopup(); }); });
    }
}

// --- undo and redo ---

void TrpDesignerForm::UndoCmdExecute()
{
    if (Page() == nullptr) {
        FCodeWindow->Undo();
        return;
    }
    if (FUndoBuffer == nullptr || FUndoBuffer->UndoCount() < 2)
        return;
    TrpReport* report = Report();
    Lock();
    report->SetScriptText(FCodeWindow->Lines().List());
    const ScrollPositions scroll = ReadScroll(FScrollBox);
    int index = 1;
    if (IsPreviewDesigner()) {
        TrpComponent* shown = Page();
        std::unique_ptr<TrpReportPage> page(NewPageLike(shown));
        FUndoBuffer->AddRedo(shown);
        delete shown;
        FUndoBuffer->GetUndo(page.get());
        TrpReportPage* placed = page.release();
        placed->SetParent(report);
        placed->SetOwner(report);
    } else {
        index = PageIndex(report, Page());
        FUndoBuffer->AddRedo(report);
        FUndoBuffer->GetUndo(report);
        FCodeWindow->SetLines(report->ScriptText());
    }
    ReloadPages(index);
    WriteScroll(FScrollBox, scroll);
    // The report now differs from the file: closing must ask again.
    TrpCustomDesigner::SetModified(true);
    Enable(QStringLiteral("SaveCmd"), CheckOp(drDontSaveReport));
}

void TrpDesignerForm::RedoCmdExecute()
{
    if (Page() == nullptr || FUndoBuffer == nullptr || FUndoBuffer->RedoCount() == 0)
        return;
    TrpReport* report = Report();
    Lock();
    const ScrollPositions scroll = ReadScroll(FScrollBox);
    int index = 1;
    if (IsPreviewDesigner()) {
        TrpComponent* shown = Page();
        std::unique_ptr<TrpReportPage> page(NewPageLike(shown));
        FUndoBuffer->GetRedo(page.get());
        FUndoBuffer->AddUndo(page.get());
        delete shown;
        TrpReportPage* placed = page.release();
        placed->SetParent(report);
        placed->SetOwner(report);
    } else {
        index = PageIndex(report, Page());
        // The undo buffer marks the report as reloading while it restores it.
        FUndoBuffer->GetRedo(report);
        FUndoBuffer->AddUndo(report);
        FCodeWindow->SetLines(report->ScriptText());
    }
    ReloadPages(index);
    WriteScroll(FScrollBox, scroll);
    TrpCustomDesigner::SetModified(true);
    Enable(QStringLiteral("SaveCmd"), CheckOp(drDontSaveReport));
}

// --- clipboard ---

void TrpDesignerForm::CutCmdExecute()
{
    if (Page() == nullptr) {
        FCodeWindow->CutToClipboard();
        return;
    }
    FClipboard->Copy();
    // The workspace reports the deletion as the command's one change.
    FWorkspace->DeleteObjects();
    SelectionChanged(nullptr);
    Enable(QStringLiteral("PasteCmd"), FClipboard->PasteAvailable());
}

void TrpDesignerForm::CopyCmdExecute()
{
    if (Page() == nullptr) {
        FCodeWindow->CopyToClipboard();
        return;
    }
    FClipboard->Copy();
    Enable(QStringLiteral("PasteCmd"), FClipboard->PasteAvailable());
}

void TrpDesignerForm::PasteCmdExecute()
{
    if (Page() == nullptr) {
        FCodeWindow->PasteFromClipboard();
        return;
    }
    FClipboard->Paste();
    FWorkspace->raise();
    FWorkspace->setFocus();
    FWorkspace->AfterSelectionChange();
    SelectionChanged(nullptr);
    TrpComponent* first = SelectedObjects().empty() ? nullptr : SelectedObjects().front().data();
    if (dynamic_cast<TrpDialogComponent*>(first) != nullptr)
        SetModified(true);
    else if (first != nullptr && first != Page())
        // The pasted objects follow the mouse; the click that places them is the change.
        FWorkspace->SimulateMove();
}

// --- selection ---

void TrpDesignerForm::SelectAllCmdExecute()
{
    if (Page() == nullptr) {
        FCodeWindow->SelectAll();
        return;
    }
    TrpComponent* container = Page();
    if (SelectedObjects().size() == 1 && SelectedObjects().front() != nullptr) {
        TrpComponent* only = SelectedObjects().front().data();
        if (only->IsBand())
            container = only;
        else if (only->Parent() != nullptr && only->Parent()->IsBand())
            container = only->Parent();
    }
    if (container->Objects().empty())
        return;
    SelectedObjects().clear();
    for (TrpComponent* child : container->Objects())
        SelectedObjects().emplace_back(child);
    FWorkspace->AfterSelectionChange();
    SelectionChanged(nullptr);
}

void TrpDesignerForm::MoveSelectionInOrder(bool toFront)
{
    bool moved = false;
    const std::vector<QPointer<TrpComponent>> selection = SelectedObjects();
    for (const QPointer<TrpComponent>& pointer : selection) {
        auto* object = dynamic_cast<TrpReportComponent*>(pointer.data());
        if (object == nullptr || object->Parent() == nullptr || (object->Restrictions() & (1u << rfDontMove)))
            continue;
        TrpComponent* parent = object->Parent();
        const std::vector<TrpComponent*>& siblings = parent->Objects();
        const auto at = std::find(siblings.begin(), siblings.end(), object);
        if (at == siblings.end())
            continue;
        const int from = static_cast<int>(at - siblings.begin());
        const int to = toFront ? static_cast<int>(siblings.size()) - 1 : 0;
        if (from != to) {
            parent->MoveObject(from, to);
            moved = true;
        }
    }
    // The lists follow the new order; the selection stays.
    FillObjectLists();
    SelectedObjects().clear();
    for (const QPointer<TrpComponent>& pointer : selection) {
        if (pointer != nullptr)
            SelectedObjects().push_back(pointer);
    }
    FWorkspace->AfterSelectionChange();
    SelectionChanged(nullptr);
    if (moved)
        SetModified(true);
}

// --- child band ---

void TrpDesignerForm::AddChildMIClick()
{
    TrpComponent* first = SelectedObjects().empty() ? nullptr : SelectedObjects().front().data();
    auto* band = dynamic_cast<TrpBand*>(first);
    if (!IsChildBandOwner(band) || Page() == nullptr)
        return;
    TrpChild* oldChild = band->Child();
    const RegisteredClass* cls = PropertyRegistry::Global().FindCreatable(u"TrpChild");
    if (cls == nullptr)
        return;
    auto* child = dynamic_cast<TrpChild*>(TrpComponent::CreateForDesign(*cls, Page(), 0));
    if (child == nullptr)
        return;
    child->CreateUniqueName();
    static constexpr double kBandHeights[] = {22.68, 28.8, 20, 17};
    const double height = kBandHeights[FUnits];
    double top = 10000;
    if (FWorkspace->FreeBandsPlacement()) {
        double bottom = 0;
        for (TrpComponent* object : Page()->Objects()) {
            auto* other = dynamic_cast<TrpBand*>(object);
            if (other != nullptr && other != child && !other->Vertical)
                bottom = std::max(bottom, other->Top() + other->Height());
        }
        top = bottom + FWorkspace->BandHeader() + 4;
        if (FWorkspace->GridY() > 0)
            top = RoundHalfEven(top / FWorkspace->GridY()) * FWorkspace->GridY();
        top = RoundHalfEven(top * 1e8) / 1e8;
    }
    child->SetTop(top);
    child->SetHeight(height);
    band->SetChild(child);
    child->SetChild(oldChild);
    Objects().emplace_back(child);
    SelectedObjects().clear();
    SelectedObjects().emplace_back(child);
    FWorkspace->AdjustBands(true);
    FWorkspace->AfterSelectionChange();
    SetModified(true);
    SelectionChanged(nullptr);
}

// --- context menu ---

void TrpDesignerForm::PreparePagePopup()
{
    auto* popup = findChild<QMenu*>(QStringLiteral("PagePopup"));
    if (popup == nullptr)
        return;
    TrpComponent* first = SelectedObjects().empty() ? nullptr : SelectedObjects().front().data();
    // The component editor's items of the previous opening go.
    for (QAction* item : popup->actions()) {
        if (item->property("editorItem").toBool()) {
            popup->removeAction(item);
            item->deleteLater();
        }
    }
    if (QAction* addChild = popup->findChild<QAction*>(QStringLiteral("AddChildMI")))
        addChild->setVisible(IsChildBandOwner(first));
    QAction* editItem = nullptr;
    QAction* separator = nullptr;
    for (QAction* item : popup->actions()) {
        if (item->objectName() == QLatin1String("EditMI1"))
            editItem = item;
        else if (item->objectName() == QLatin1String("SepMI12"))
            separator = item;
    }
    QMenu temporary;
    std::unique_ptr<TrpComponentEditor> editor;
    if (first != nullptr)
        editor = GetComponentEditor(first, this, &temporary);
    if (editItem != nullptr) {
        // The default item reads as the Edit command (its text follows the language).
        editItem->setText(Action(QStringLiteral("EditCmd"))->text());
        editItem->setEnabled(editor != nullptr && editor->HasEditor());
        QFont font = editItem->font();
        font.setBold(editor != nullptr && editor->HasEditor());
        editItem->setFont(font);
    }
    if (editor != nullptr)
        editor->GetMenuItems();
    const bool added = !temporary.actions().isEmpty();
    if (separator != nullptr)
        separator->setVisible(added);
    if (!added)
        return;
    // The copies go just after the separator, in their order.
    const QList<QAction*> existing = popup->actions();
    const qsizetype at = separator != nullptr ? existing.indexOf(separator) + 1 : existing.size();
    QAction* before = at < existing.size() ? existing[at] : nullptr;
    for (QAction* source : temporary.actions()) {
        if (source->isSeparator())
            continue;
        auto* copy = new QAction(source->icon(), source->text(), popup);
        copy->setProperty("editorItem", true);
        copy->setCheckable(source->isCheckable());
        copy->setChecked(source->isChecked());
        const int tag = source->data().toInt();
        copy->setProperty("tag", tag);
        popup->insertAction(before, copy);
        QPointer<TrpComponent> target(first);
        connect(copy, &QAction::triggered, this, [this, copy, tag, target] {
            Guard([&] {
                if (target == nullptr)
                    return;
                std::unique_ptr<TrpComponentEditor> again = GetComponentEditor(target.data(), this, nullptr);
                // The copy's tick is what it was before the click: the editor gets its opposite.
                const bool ticked = copy->isCheckable() ? !copy->isChecked() : copy->isChecked();
                if (again != nullptr && again->Execute(tag, !ticked))
                    SetModified(true);
            });
        });
    }
}
