#pragma once

// The object inspector: the properties and events of the selected report objects as a grid of
// names and values, typed into an in-place edit, picked from a drop-down list, set by a
// property's dialog or, for Booleans, toggled with one click; object and set properties
// expand into sub-rows. A title and a description of the current property stand below.

#include "rpDsgnIntfEditors.h"
#include "rpPopupForm.h"

#include "platform/Clock.h"

#include <QPointer>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
#include <QListWidget>
class QScrollArea;
class QSplitter;
class QTabBar;
class QToolButton;
class TrpCustomDesigner;
class TrpInspectorGrid;


class TrpObjectInspector : public QWidget {
    Q_OBJECT
public:
    // The designer must be given: without one "The Owner of the object inspector should be
    // TrpCustomDesigner" is raised. `clock` times clicks and the drop-down's closing.
    explicit TrpObjectInspector(TrpCustomDesigner* designer, QWidget* parent = nullptr,
                                const platform::Clock& clock = platform::Clock::System());
    ~TrpObjectInspector() override;

    // Lists the objects in the combo box and selects them all.
    void Inspect(const std::vector<ScriptObject*>& objects);
    void SetObjects(const std::vector<ScriptObject*>& objects);
    const std::vector<ScriptObject*>& SelectedObjects() const { return selectedObjects_; }
    void SetSelectedObjects(const std::vector<ScriptObject*>& objects);
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int row);
    int SplitterPos() const { return splitterPos_; }
    void SetSplitterPos(int pos);
    int Splitter1Pos() const;
    void SetSplitter1Pos(int height);
    void UpdateProperties();
    void DisableUpdate() { disableUpdate_ = true; }
    void EnableUpdate();
    void SetColor(const QColor& color);
    // 0 properties, 1 events (a preview designer stays on the properties).
    void SetTab(int tab);
    int Tab() const;

    // After every change made through the inspector, and after the user picked an object.
    std::function<void()> OnModify;
    std::function<void()> OnSelectionChanged;

    // The visible rows: the items of the current tab, expanded items followed by their sub-rows.
    int VisibleRowCount() const { return static_cast<int>(rows_.size()); }
    TrpPropertyItem* RowItem(int row) const;
    int RowLevel(int row) const;
    QString RowName(int row) const;
    TrpPropertyAttributes RowAttributes(int row) const;
    QString RowValue(int row) const;
    // The row of a property name (first match), or -1.
    int FindRow(QStringView name) const;
    int RowHeight() const { return rowHeight_; }
    const QString& LastPosition() const { return lastPosition_; }

    // The parts, for the designer window and tests.
    QComboBox* ObjectsCB() const { return objectsCB_; }
    QTabBar* Tabs() const { return tabs_; }
    QWidget* Grid() const;
    QLineEdit* Edit1() const { return edit1_; }
    QToolButton* EditBtn() const { return editBtn_; }
    QToolButton* ComboBtn() const { return comboBtn_; }
    QLabel* PropL() const { return propL_; }
    QLabel* DescrL() const { return descrL_; }
    QWidget* HintWindow() const;
    QListWidget* PopupList() const { return popupLB_; }
    TrpPopupForm* PopupForm() const { return popupForm_; }

    // Draws the grid onto a painter (the grid's painting, and a picture of it).
    void PaintGrid(QPainter& painter);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TrpInspectorGrid;

    struct VisibleRow {
        TrpPropertyItem* Item;
        int Level;
        TrpPropertyList* List; // the list the item belongs to
    };

    void BuildRows();
    void FormResize();
    void PlaceEditControls();
    void DrawRow(QPainter& painter, int row, bool selected);
    void CommitRowValue(int row, const QString& text);
    void NotifyModified();
    void EllipsisAction();
    void DropDown();
    void PickFromList(const QString& text);
    void RefillObjectsCB();
    QString EntryText(ScriptObject* object) const;
    void Guard(const std::function<void()>& body);
    void GridMouseDown(QMouseEvent* event);
    void GridMouseMove(QMouseEvent* event);
    void GridMouseUp();
    void GridDoubleClick();
    void HideHint();

    TrpCustomDesigner* designer_;
    const platform::Clock& clock_;
    QComboBox* objectsCB_ = nullptr;
    QTabBar* tabs_ = nullptr;
    QScrollArea* box_ = nullptr;
    QWidget* panel_ = nullptr;
    TrpInspectorGrid* pb_ = nullptr;
    QLineEdit* edit1_ = nullptr;
    QWidget* editPanel_ = nullptr;
    QWidget* comboPanel_ = nullptr;
    QToolButton* editBtn_ = nullptr;
    QToolButton* comboBtn_ = nullptr;
    QSplitter* splitter1_ = nullptr;
    QWidget* hintPanel_ = nullptr;
    QLabel* propL_ = nullptr;
    QLabel* descrL_ = nullptr;
    QLabel* hintWindow_ = nullptr;
    QPointer<TrpPopupForm> popupForm_;
    QPointer<QListWidget> popupLB_;

    std::unique_ptr<TrpPropertyList> propertyList_;
    std::unique_ptr<TrpPropertyList> eventList_;
    TrpPropertyList* list_ = nullptr;
    std::vector<VisibleRow> rows_;
    std::vector<ScriptObject*> objects_;
    std::vector<ScriptObject*> selectedObjects_;
    QString lastPosition_;
    int itemIndex_ = -1;
    int rowHeight_ = 16;
    int splitterPos_ = -1;
    bool splitterPlaced_ = false;
    bool disableDblClick_ = false;
    bool disableUpdate_ = false;
    bool down_ = false;
    bool updatingObjectsCB_ = false;
    bool updatingPB_ = false;
    bool popupLBVisible_ = false;
    std::chrono::steady_clock::time_point rowClickTime_{};
};
