// The designer window with its report: reloading, page switching, page tabs, dialog pages,
// selection and modification, and the keys the window takes first.

#include "rpDesgnForm.h"

#include "rpDataTree.h"
#include "rpDesgnCtrls.h"
#include "rpDesgnForm_internal.h"
#include "rpDsgnIntfEditors.h"
#include "rpInsp.h"
#include "rpReportTree.h"
#include "rpSynMemo.h"

#include "report/core/Rounding.h"
#include "report/core/gui/QtConversions.h"
#include "report/engine/rpDMPClass.h"
#include "report/engine/rpPictureCache.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpRes.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QWheelEvent>

namespace {

int R(double value)
{
    return static_cast<int>(RoundHalfEvenClamped(value, -1000000000, 1000000000));
}

} // namespace

bool TrpDesignerForm::IsReportPageShown() const
{
    return dynamic_cast<TrpReportPage*>(Page()) != nullptr;
}

bool TrpDesignerForm::IsDialogPageShown() const
{
    return dynamic_cast<TrpDialogPage*>(Page()) != nullptr;
}

bool TrpDesignerForm::IsDataPageShown() const
{
    return dynamic_cast<TrpDataPage*>(Page()) != nullptr;
}

void TrpDesignerForm::Lock()
{
    Objects().clear();
    SelectedObjects().clear();
    DetachDialogForm();
    // The inspector forgets the objects too: the work under the lock may free them, and the
    // reload repaints the inspector before the new selection reaches it.
    FInspector->Inspect({});
    FInspector->DisableUpdate();
    FWorkspace->DisableUpdate();
    // The reload that follows a lock may free the shown page.
    FWorkspace->SetPage(nullptr);
}

void TrpDesignerForm::ReloadReport()
{
    TrpReport* report = Report();
    if (report->PagesCount() == 0) {
        auto* data = new TrpDataPage(report);
        data->SetName(QStringLiteral("Data"));
        TrpReportPage* page = report->DotMatrixReport ? new TrpDMPPage(report) : new TrpReportPage(report);
        page->SetName(QStringLiteral("Page1"));
        page->SetDefaults();
    }
    if (!IsPreviewDesigner())
        report->CheckDataPage();
    auto* langCB = static_cast<QComboBox*>(Control(QStringLiteral("LangCB")));
    langCB->setCurrentIndex(langCB->findText(report->ScriptLanguage));
    FCodeWindow->SetLines(report->ScriptText());
    FCodeWindow->SetSyntax(report->ScriptLanguage);
    ReloadPages(-2);
    UpdateRecentFiles(report->FileName());
    UpdateCaption();
    UpdateStyleList();
    if (FPictureCache != nullptr) {
        FPictureCache->Clear();
        for (TrpComponent* object : report->AllObjects()) {
            if (auto* picture = dynamic_cast<TrpPictureView*>(object))
                FPictureCache->AddPicture(picture);
        }
    }
    if (FUndoBuffer != nullptr)
        FUndoBuffer->ClearUndo();
    SetModified(false);
}

void TrpDesignerForm::ReloadPages(int32_t index)
{
    DetachDialogForm();
    TrpReport* report = Report();
    FChangingTab = true;
    while (FTabs->count() > 0)
        FTabs->removeTab(0);
    FTabs->addTab(ResourceText(u"dsCode"));
    int designPages = 0; // pages other than the data page, counted as their names count them
    for (int i = 0; i < report->PagesCount(); ++i) {
        TrpComponent* page = report->Pages(i);
        if (dynamic_cast<TrpDataPage*>(page) == nullptr)
            ++designPages;
        page->SetDesigning(true);
        QString caption;
        auto* reportPage = dynamic_cast<TrpReportPage*>(page);
        if (reportPage != nullptr && reportPage->SubReport() != nullptr)
            caption = reportPage->SubReport()->Name();
        else if (dynamic_cast<TrpDataPage*>(page) != nullptr)
            caption = ResourceText(u"dsData");
        else if (!page->Name().isEmpty())
            caption = page->Name();
        else
            // A page without a name (the prepared page the preview hands over) reads as a new
            // page of a report is named ("Page1"), so both designers name pages alike.
            caption = page->BaseName() + QString::number(designPages);
        FTabs->addTab(caption);
    }
    FChangingTab = false;
    FCurrentTab = -1;
    if (index == -1) {
        SetPage(nullptr);
    } else if (index == -2) {
        for (int i = 0; i < report->PagesCount(); ++i) {
            if (dynamic_cast<TrpDataPage*>(report->Pages(i)) == nullptr) {
                SetPage(report->Pages(i));
                break;
            }
        }
    } else if (index >= 0 && index < report->PagesCount()) {
        SetPage(report->Pages(index));
    } else if (report->PagesCount() > 0) {
        SetPage(report->Pages(0));
    }
}

void TrpDesignerForm::SetPage(TrpComponent* page)
{
    TrpCustomDesigner::SetPage(page);
    TrpReport* report = Report();
    int tab = 0;
    if (page != nullptr) {
        for (int i = 0; i < report->PagesCount(); ++i) {
            if (report->Pages(i) == page)
                tab = i + 1;
        }
    }
    FChangingTab = true;
    FTabs->setCurrentIndex(tab);
    FChangingTab = false;
    FCurrentTab = tab;

    DetachDialogForm();
    FPagesStack->setCurrentWidget(page != nullptr ? FScrollBoxPanel : static_cast<QWidget*>(FCodePanel));
    UpdateObjectsToolbar();
    UpdateControls();
    if (page == nullptr) {
        FCodeWindow->setFocus();
        return;
    }
    if (auto* reportPage = dynamic_cast<TrpReportPage*>(page)) {
        FWorkspace->SetColor(FWorkspaceColor);
        FWorkspace->SetShowGrid(FShowGrid);
        FWorkspace->SetScale(FScale);
        SetUnits(reportPage->IsDotMatrixPage() ? duChars : FOldUnits);
        UpdatePageDimensions();
        if (isVisible())
            FScrollBox->setFocus();
    } else if (auto* dialogPage = dynamic_cast<TrpDialogPage*>(page)) {
        SetUnits(duPixels);
        FDialogForm = dialogPage->DialogForm();
        FWorkspace->SetColor(dialogPage->Color());
        FWorkspace->SetShowGrid(FShowGrid);
        FWorkspace->SetOrigin(QPoint(0, 0));
        FWorkspace->SetScale(1);
        FWorkspace->SetPageDimensions(R(dialogPage->Width()), R(dialogPage->Height()), QMargins());
        UpdateWorkspaceGrid();
        AttachDialogForm();
    } else if (dynamic_cast<TrpDataPage*>(page) != nullptr) {
        SetUnits(duPixels);
        FWorkspace->SetColor(FWorkspaceColor);
        FWorkspace->SetScale(1);
        FWorkspace->SetShowGrid(false);
        UpdateWorkspaceGrid();
        UpdatePageDimensions();
        if (isVisible())
            FScrollBox->setFocus();
    } else {
        report->AddErrors({QStringLiteral("Page object is not page")});
    }
    FillObjectLists();
    RestorePagePosition();
}

void TrpDesignerForm::FillObjectLists()
{
    TrpComponent* page = Page();
    Objects().clear();
    SelectedObjects().clear();
    if (page != nullptr) {
        for (TrpComponent* object : page->AllObjects())
            Objects().emplace_back(object);
        Objects().emplace_back(Report());
        Objects().emplace_back(page);
        SelectedObjects().emplace_back(page);
    }
    FWorkspace->SetPage(dynamic_cast<TrpPage*>(page));
    FWorkspace->EnableUpdate();
    if (page != nullptr)
        FWorkspace->AdjustBands(true);
    FInspector->EnableUpdate();
    FDataTree->UpdateItems();
    FReportTree->UpdateItems();
    SelectionChanged(nullptr);
}

void TrpDesignerForm::UpdatePageDimensions()
{
    if (auto* page = dynamic_cast<TrpReportPage*>(Page())) {
        FScrollBox->horizontalScrollBar()->setValue(0);
        FScrollBox->verticalScrollBar()->setValue(0);
        FWorkspace->SetOrigin(QPoint(10, 10));
        double height = page->PaperHeight();
        if (page->LargeDesignHeight)
            height *= 5;
        const double pixels = 96 / 25.4;
        FWorkspace->SetPageDimensions(R(page->PaperWidth() * pixels), R(height * pixels),
                                      QMargins(R(page->LeftMargin * pixels), R(page->TopMargin * pixels),
                                               R(page->RightMargin * pixels), R(page->BottomMargin * pixels)));
    } else if (auto* data = dynamic_cast<TrpDataPage*>(Page())) {
        FWorkspace->SetOrigin(QPoint(0, 0));
        FWorkspace->SetPageDimensions(R(data->Width()), R(data->Height()), QMargins());
    }
    if (!IsDialogPageShown())
        PlaceSheet();
}

// --- dialog pages ---

void TrpDesignerForm::AttachDialogForm()
{
    // The workspace fills the dialog page's window (or the designer's stand-in for it).
    FPagesStack->setCurrentWidget(FDialogHost);
    QWidget* window = FDialogForm != nullptr ? qobject_cast<QWidget*>(FDialogForm->NativeWindow()) : nullptr;
    if (window != nullptr) {
        window->setParent(FDialogHost, Qt::Widget);
        window->move(0, 0);
        window->show();
    }
    QWidget* host = window != nullptr ? window : FDialogHost;
    FWorkspace->SetParent(host);
    FWorkspace->MarginsPanel()->setGeometry(0, 0, host->width(), host->height());
    FWorkspace->setGeometry(0, 0, host->width(), host->height());
    if (FDialogForm == nullptr)
        return;
    auto* page = static_cast<TrpDialogPage*>(Page());
    ITrpDialogWindow::Events events;
    QPointer<TrpDesignerForm> self(this);
    events.BoundsChanged = [this, page, self] {
        if (self == nullptr || FDialogForm == nullptr)
            return;
        Guard([&] {
            const QRect bounds = FDialogForm->Bounds();
            page->SetBounds(bounds.left(), bounds.top(), bounds.width(), bounds.height());
            ObjectModified(nullptr);
        });
    };
    events.KeyDown = [this](int32_t& key, uint32_t shift) {
        // Ctrl with C, V, X, Z, Y, A and S runs the editing command; every key then goes to the
        // workspace.
        static const std::pair<int, const char*> kCommands[] = {
            {Qt::Key_C, "CopyCmd"}, {Qt::Key_V, "PasteCmd"}, {Qt::Key_X, "CutCmd"}, {Qt::Key_Z, "UndoCmd"},
            {Qt::Key_Y, "RedoCmd"}, {Qt::Key_A, "SelectAllCmd"}, {Qt::Key_S, "SaveCmd"}};
        constexpr uint32_t kShiftCtrl = 4;
        if (shift & kShiftCtrl) {
            for (const auto& [code, command] : kCommands) {
                if (key == code) {
                    if (QAction* action = Action(QString::fromLatin1(command)); action != nullptr && action->isEnabled())
                        action->trigger();
                }
            }
        }
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(FWorkspace, &event);
    };
    events.KeyUp = [this](int32_t& key, uint32_t) {
        QKeyEvent event(QEvent::KeyRelease, key, Qt::NoModifier);
        QCoreApplication::sendEvent(FWorkspace, &event);
    };
    events.KeyPress = [this](QChar& key) {
        QKeyEvent event(QEvent::KeyPress, 0, Qt::NoModifier, QString(key));
        QCoreApplication::sendEvent(FWorkspace, &event);
    };
    FDialogForm->SetEvents(std::move(events));
}

void TrpDesignerForm::DetachDialogForm()
{
    if (FWorkspace != nullptr && FSheetHost != nullptr && FWorkspace->parentWidget() != FSheetHost) {
        FWorkspace->SetParent(FSheetHost);
        FPagesStack->setCurrentWidget(FScrollBoxPanel);
    }
    if (FDialogForm == nullptr)
        return;
    ITrpDialogWindow* form = FDialogForm;
    FDialogForm = nullptr;
    if (auto* window = qobject_cast<QWidget*>(form->NativeWindow())) {
        window->setParent(nullptr);
        window->hide();
    }
    form->SetEvents({});
    // The page connects its own handlers again.
    for (int i = 0; i < Report()->PagesCount(); ++i) {
        auto* page = dynamic_cast<TrpDialogPage*>(Report()->Pages(i));
        if (page != nullptr && page->DialogForm() == form)
            page->Initialize();
    }
}

// --- page tabs ---

void TrpDesignerForm::TabChanging(int, bool& allow)
{
    allow = !IsPreviewDesigner() && !FScriptRunning;
    if (!allow)
        return;
    if (FCurrentTab == 0 && FCodeWindow->Modified()) {
        SetModified(true);
        FCodeWindow->SetModified(false);
    }
    SavePagePosition();
}

void TrpDesignerForm::SetTabIndex(int index)
{
    if (index < 0 || index >= FTabs->count() || index == FCurrentTab)
        return;
    bool allow = true;
    TabChanging(index, allow);
    if (!allow) {
        FChangingTab = true;
        FTabs->setCurrentIndex(std::max(FCurrentTab, 0));
        FChangingTab = false;
        return;
    }
    TabClicked(index);
}

void TrpDesignerForm::TabClicked(int index)
{
    if (index == 0) {
        if (CheckOp(drDontEditReportScript)) {
            SetPage(nullptr);
            return;
        }
        index = 1;
    }
    if (index == 1) {
        if (CheckOp(drDontEditInternalDatasets)) {
            if (Report()->PagesCount() > 0)
                SetPage(Report()->Pages(0));
            return;
        }
        index = 2;
    }
    if (index - 1 < Report()->PagesCount() && index != FCurrentTab)
        SetPage(Report()->Pages(index - 1));
}

void TrpDesignerForm::TabDrop(int source, int target)
{
    if (source < 2 || target < 2 || source == target || source >= FTabs->count() || target >= FTabs->count())
        return;
    // Tab n shows page n - 1: the page moves to the place of the page under the target tab.
    TrpReport* report = Report();
    TrpComponent* page = report->Pages(source - 1);
    FChangingTab = true;
    FTabs->moveTab(source, target);
    FChangingTab = false;
    report->MoveObject(source - 1, target - 1);
    FCurrentTab = -1;
    SetPage(page);
    SetModified(true);
}

void TrpDesignerForm::SavePagePosition()
{
    if (FCurrentTab >= 1 && FCurrentTab <= 254)
        FPagePositions[FCurrentTab] = QString::number(FScrollBox->horizontalScrollBar()->value()) + u':' +
                                      QString::number(FScrollBox->verticalScrollBar()->value());
}

void TrpDesignerForm::RestorePagePosition()
{
    if (FCurrentTab < 1 || FCurrentTab > 254)
        return;
    const QString& position = FPagePositions[FCurrentTab];
    const qsizetype colon = position.indexOf(u':');
    if (colon < 0)
        return;
    FScrollBox->horizontalScrollBar()->setValue(position.left(colon).toInt());
    FScrollBox->verticalScrollBar()->setValue(position.mid(colon + 1).toInt());
}

// --- selection and modification ---

void TrpDesignerForm::SetModified(bool value)
{
    TrpCustomDesigner::SetModified(value);
    TrpReport* report = Report();
    report->SetScriptText(FCodeWindow->Lines().List());
    if (FUndoBuffer != nullptr) {
        if (IsPreviewDesigner())
            FUndoBuffer->AddUndo(Page() != nullptr ? Page() : report);
        else
            FUndoBuffer->AddUndo(report);
        FUndoBuffer->ClearRedo();
    }
    Enable(QStringLiteral("SaveCmd"), value && CheckOp(drDontSaveReport));
    if (FModifiedBy != this)
        UpdateControls();
    if (FModifiedBy == FInspector && !SelectedObjects().empty() && SelectedObjects().front() == Page() &&
        Page() != nullptr) {
        int index = -2;
        for (int i = 0; i < report->PagesCount(); ++i) {
            if (report->Pages(i) == Page())
                index = i;
        }
        FLockSelectionChanged = true;
        ReloadPages(index);
        FLockSelectionChanged = false;
    }
    // A change made elsewhere (the inspector's Left, undo) shows in the status bar too.
    if (FModifiedBy != FWorkspace)
        FWorkspace->UpdateView();
    else
        FWorkspace->update();
    if (FModifiedBy != FInspector) {
        // The change may have freed objects the inspector shows (a deletion): it takes the
        // live lists before it reads their properties again.
        std::vector<ScriptObject*> objects;
        std::vector<ScriptObject*> selected;
        for (const QPointer<TrpComponent>& object : Objects())
            if (object != nullptr)
                objects.push_back(object.data());
        for (const QPointer<TrpComponent>& object : SelectedObjects())
            if (object != nullptr)
                selected.push_back(object.data());
        FInspector->SetObjects(objects);
        FInspector->SetSelectedObjects(selected);
        FInspector->UpdateProperties();
    }
    FReportTree->UpdateItems();
    FModifiedBy = nullptr;
}

void TrpDesignerForm::ObjectModified(QObject* sender)
{
    FModifiedBy = sender;
    SetModified(true);
}

void TrpDesignerForm::SelectionChanged(QObject* sender)
{
    if (FLockSelectionChanged)
        return;
    if (sender == FInspector) {
        SelectedObjects().clear();
        for (ScriptObject* object : FInspector->SelectedObjects()) {
            if (auto* component = dynamic_cast<TrpComponent*>(object))
                SelectedObjects().emplace_back(component);
        }
    }
    TrpComponent* first = SelectedObjects().empty() ? nullptr : SelectedObjects().front().data();
    if (sender == FReportTree && first != nullptr && first != Report() && first->Page() != nullptr &&
        first->Page() != Page()) {
        QPointer<TrpComponent> keep(first);
        SetPage(first->Page());
        if (keep != nullptr) {
            SelectedObjects().clear();
            SelectedObjects().emplace_back(keep.data());
        }
    }
    FReportTree->UpdateSelection();
    // A selection made elsewhere (inspector, report tree, find) also moves the status bar's
    // coordinates and the rulers' marks to the selected objects.
    if (sender != FWorkspace)
        FWorkspace->UpdateView();
    if (sender != FInspector) {
        std::vector<ScriptObject*> objects;
        for (const QPointer<TrpComponent>& object : Objects()) {
            if (object != nullptr)
                objects.push_back(object.data());
        }
        std::vector<ScriptObject*> selected;
        for (const QPointer<TrpComponent>& object : SelectedObjects()) {
            if (object != nullptr)
                selected.push_back(object.data());
        }
        FInspector->SetObjects(objects);
        FInspector->SetSelectedObjects(selected);
    }
    UpdateControls();
}

void TrpDesignerForm::EditSelectedObject()
{
    if (SelectedObjects().empty() || SelectedObjects().front() == nullptr)
        return;
    TrpComponent* first = SelectedObjects().front().data();
    if (first->Restrictions() & (1u << rfDontEdit))
        return;
    std::unique_ptr<TrpComponentEditor> editor = GetComponentEditor(first, this, nullptr);
    if (editor != nullptr && editor->HasEditor() && editor->Edit()) {
        SetModified(true);
        if (first == Page())
            UpdatePageDimensions();
    }
}

void TrpDesignerForm::UpdateDataTree()
{
    FDataTree->UpdateItems();
}

void TrpDesignerForm::UpdatePage()
{
    FWorkspace->update();
}

// --- keys ---

QString TrpDesignerForm::KeyCommand(int key, Qt::KeyboardModifiers modifiers, bool fromInspector) const
{
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool plain = !(modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier));
    const bool pageShown = Page() != nullptr;
    const bool editFocused = FInspector->Edit1() != nullptr && FInspector->Edit1()->hasFocus();
    QWidget* focus = QApplication::focusWidget();
    if (fromInspector && key == Qt::Key_F11)
        return QStringLiteral("ToggleInspector");
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (focus != nullptr && Control(QStringLiteral("FontSizeCB")) != nullptr &&
            Control(QStringLiteral("FontSizeCB"))->isAncestorOf(focus))
            return QStringLiteral("ApplyFontSize");
        if (focus != nullptr && Control(QStringLiteral("ScaleCB"))->isAncestorOf(focus))
            return QStringLiteral("ApplyScale");
    }
    if (pageShown && !editFocused) {
        if (key == Qt::Key_Insert && shift)
            return QStringLiteral("PasteCmd");
        if (key == Qt::Key_Insert && ctrl)
            return QStringLiteral("CopyCmd");
        if (key == Qt::Key_Delete && shift)
            return QStringLiteral("CutCmd");
    }
    if (key == Qt::Key_E && ctrl)
        return QStringLiteral("ShowScript");
    if (key == Qt::Key_F2 && ctrl)
        return QStringLiteral("StopScript");
    if (key == Qt::Key_F9)
        return QStringLiteral("RunScript");
    if (!pageShown) {
        if (key == Qt::Key_F4 && plain)
            return QStringLiteral("RunToCursor");
        if (key == Qt::Key_F5 && plain)
            return QStringLiteral("Breakpoint");
        if (key == Qt::Key_F7 && ctrl)
            return QStringLiteral("Evaluate");
        if ((key == Qt::Key_F7 || key == Qt::Key_F8) && !ctrl)
            return QStringLiteral("StepScript");
    }
    if ((IsDialogPageShown() || IsDataPageShown()) && !editFocused)
        return QStringLiteral("Workspace");
    return QString();
}

bool TrpDesignerForm::FormKeyDown(QKeyEvent* event)
{
    QWidget* focus = QApplication::focusWidget();
    const bool fromInspector = focus != nullptr && FInspector->isAncestorOf(focus);
    const QString command = KeyCommand(event->key(), event->modifiers(), fromInspector);
    if (command.isEmpty())
        return false;
    if (command == QLatin1String("ToggleInspector")) {
        Action(QStringLiteral("InspectorTBCmd"))->trigger();
    } else if (command == QLatin1String("ShowScript")) {
        SetTabIndex(0);
    } else if (command == QLatin1String("ApplyScale")) {
        ScaleCBClick();
    } else if (command == QLatin1String("ApplyFontSize")) {
        ToolButtonClick(Control(QStringLiteral("FontSizeCB")));
    } else if (command == QLatin1String("Workspace")) {
        // Keys of dialog and data pages go to the workspace first, wherever the focus is.
        QWidget* focus = QApplication::focusWidget();
        if (focus == FWorkspace || (focus != nullptr && FWorkspace->isAncestorOf(focus)))
            return false;
        QCoreApplication::sendEvent(FWorkspace, event);
        return true;
    } else if (QAction* action = Action(command)) {
        if (action->isEnabled())
            action->trigger();
    } else {
        // The script commands and the font size come with the script page and formatting.
        return false;
    }
    return true;
}

bool TrpDesignerForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || (widget != this && !isAncestorOf(widget)))
            return false;
        // The key is looked at when it reaches the focused control (or the window without
        // one); a key passed on to the parents, or sent to a control directly, is not looked at
        // again.
        QWidget* focus = QApplication::focusWidget();
        if (widget != focus && !(focus == nullptr && widget == this))
            return false;
        bool taken = false;
        Guard([&] { taken = FormKeyDown(static_cast<QKeyEvent*>(event)); });
        return taken;
    }
    if (watched == FTabs) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton) {
                if (auto* popup = findChild<QMenu*>(QStringLiteral("TabPopup")); popup != nullptr &&
                    event->type() == QEvent::MouseButtonRelease)
                    popup->popup(mouse->globalPosition().toPoint());
                return true;
            }
            if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
                FMouseDown = true;
                FDragTab = FTabs->tabAt(mouse->position().toPoint());
            } else if (event->type() == QEvent::MouseButtonRelease && FMouseDown) {
                FMouseDown = false;
                const int target = FTabs->tabAt(mouse->position().toPoint());
                const int source = FDragTab;
                FDragTab = -1;
                if (source >= 0 && target >= 0 && source != target) {
                    Guard([&] { TabDrop(source, target); });
                    return true;
                }
            }
        }
        return false;
    }
    if (watched == FScrollBox->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const int notches = wheel->angleDelta().y() / 120;
        if ((wheel->modifiers() & Qt::ControlModifier) && Page() != nullptr && notches != 0) {
            Guard([&] { ScaleByWheel(notches); });
            return true;
        }
        if (notches != 0) {
            QScrollBar* bar = FScrollBox->verticalScrollBar();
            bar->setValue(bar->value() - notches * 16);
            return true;
        }
        return false;
    }
    if (watched == FStatusUnits) {
        if (event->type() == QEvent::MouseButtonPress) {
            StatusBarMouseDown(0);
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            StatusBarMouseDown(0);
            Guard([this] { StatusBarDblClick(); });
            return true;
        }
        return false;
    }
    return QMainWindow::eventFilter(watched, event);
}
