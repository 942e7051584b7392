#pragma once

// The variables editor: the report's variables by category on a working copy (new category,
// new variable, rename in place, delete, editing the whole list as lines, ".fd3" files), the
// selected variable's expression below, and a data tree whose fields drop into it. The report
// takes the copy only on OK.

#include "rpDsgnDialog.h"

#include <memory>

class QPlainTextEdit;
class QSplitter;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TrpDataTreeForm;
class TrpReport;
class TrpVariables;

class TrpVarEditorForm : public TrpDesignerDialog {
public:
    TrpVarEditorForm(QWidget* owner, TrpCustomDesigner* designer);
    ~TrpVarEditorForm() override;

    TrpVariables& Variables() { return *FVariables; }
    TrpDataTreeForm* DataTree() const { return FDataTree; }
    QTreeWidgetItem* Root() const;
    // The node of a category (by its name without the blank) or of a variable; none when missing.
    QTreeWidgetItem* FindNode(const QString& text) const;
    // Renames a node as editing its label in place does (refusing a name in use).
    void RenameNode(QTreeWidgetItem* node, const QString& text);
    void BuildTree();

    void NewCategoryBClick();
    void NewVarBClick();
    void EditBClick();
    void DeleteBClick();
    void EditListBClick();
    void LoadBClick();
    void SaveBClick();

    QToolBar* ToolBar = nullptr;
    QToolButton* NewCategoryB = nullptr;
    QToolButton* NewVarB = nullptr;
    QToolButton* EditB = nullptr;
    QToolButton* DeleteB = nullptr;
    QToolButton* EditListB = nullptr;
    QToolButton* LoadB = nullptr;
    QToolButton* SaveB = nullptr;
    QToolButton* CancelB = nullptr;
    QToolButton* OkB = nullptr;
    QTreeWidget* VarTree = nullptr;
    QWidget* ExprPanel = nullptr;
    QPlainTextEdit* ExprMemo = nullptr;
    QSplitter* Splitter1 = nullptr;
    QSplitter* Splitter2 = nullptr;
    QWidget* Panel = nullptr;

protected:
    void Showing() override;
    void Hiding(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void VarTreeChanging(QTreeWidgetItem* previous);
    void VarTreeChange(QTreeWidgetItem* current);
    void SetRootText();
    void SelectRoot();
    QString FreeName(const QString& base) const;

    TrpReport* FReport = nullptr;
    std::unique_ptr<TrpVariables> FVariables;
    TrpDataTreeForm* FDataTree = nullptr;
    bool FUpdating = false;
    bool FExprModified = false;
};
