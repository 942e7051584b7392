#pragma once

// The designer's tool window listing what a report expression can use: the report's data
// sets with their fields, the report variables with the system variables, the script functions
// by category and the script classes with their members. A double click or a drag hands out
// ready-made expression texts.

#include <QPoint>
#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QDrag;
class QLabel;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;
class TrpReport;
class TscXMLDocument;

class TrpDataTreeForm : public QWidget {
public:
    // `designerOwned`: the window belongs to a designer, whose collapsed data sets outlive it.
    explicit TrpDataTreeForm(QWidget* parent = nullptr, bool designerOwned = true);
    ~TrpDataTreeForm() override;

    TrpReport* Report() const { return FReport; }
    void SetReport(TrpReport* report) { FReport = report; }

    void UpdateItems();
    QString GetFieldName() const;
    bool IsDataField() const { return GetActivePage() == 0; }
    int GetActivePage() const;
    void ShowTab(int index);
    QPoint GetLastPosition() const;
    void SetLastPosition(const QPoint& position);
    void SetColor_(const QColor& colour);
    void SetControlsParent(QWidget* parent);
    void UpdateSize();
    // Data tab only: selects the node of the data set that is the report designer's only
    // selected object; nothing else stays selected.
    void UpdateSelection();

    // Raised by a double click on a tree or on the no-data text, with the clicked control.
    std::function<void(QWidget* sender)> OnDblClick;

    // The drag of the selected leaf's expression text, its source the active tree; nothing when
    // no leaf gives a text.
    QDrag* CreateFieldDrag();

    // The process-wide collapsed data sets ("Name," each).
    static QString CollapsedDataSets();

    QTreeWidget* DataTree = nullptr;
    QTreeWidget* VariablesTree = nullptr;
    QTreeWidget* FunctionsTree = nullptr;
    QTreeWidget* ClassesTree = nullptr;
    // Hidden unless the owner shows it: whether a dropped field brings its memo, its caption,
    // and whether the data sets and fields are listed by name.
    QWidget* CBPanel = nullptr;
    QCheckBox* InsFieldCB = nullptr;
    QCheckBox* InsCaptionCB = nullptr;
    QCheckBox* SortCB = nullptr;
    QWidget* NoDataPn = nullptr;
    QLabel* NoDataL = nullptr;
    QLabel* FunctionNameL = nullptr;
    QLabel* FunctionDescL = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillData();
    void FillVariables();
    void FillFunctions();
    void FillClasses();
    void EnsureCatalogue();
    QString CurrentCollapsed() const;
    QTreeWidget* ActiveTree() const;

    TrpReport* FReport = nullptr;
    bool FUpdating = false;
    bool FFirstTime = true;
    bool FDesignerOwned = true;
    QPoint FPressPos;
    std::unique_ptr<TscXMLDocument> FXML;
    QTabBar* FTabs = nullptr;
    QWidget* FPanels[4] = {};
};
