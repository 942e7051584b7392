#pragma once

// The expression editor: a data tree beside a one-line expression box; a double click in the
// tree, or a field dragged from it onto the box, puts the field's expression text in place of
// the box's selection.

#include "rpDsgnDialog.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class TrpDataTreeForm;
class TrpReport;

class TrpExprEditorForm : public TrpDesignerDialog {
public:
    TrpExprEditorForm(QWidget* owner, TrpCustomDesigner* designer);
    // The data tree goes first: its controls live on this dialog's panel.
    ~TrpExprEditorForm() override;

    TrpDataTreeForm* DataTree() const { return FDataTree; }
    // Replaces ExprMemo's selection with the data tree's current field text and focuses it.
    void InsertFieldName();

    QWidget* Panel = nullptr;
    QWidget* Panel2 = nullptr;
    QLabel* ExprL = nullptr;
    QSplitter* Splitter1 = nullptr;
    QPlainTextEdit* ExprMemo = nullptr;
    QWidget* Panel1 = nullptr;
    QPushButton* OkB = nullptr;
    QPushButton* CancelB = nullptr;

protected:
    void Showing() override;
    void Hiding(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TrpDataTreeForm* FDataTree = nullptr;
    TrpReport* FReport = nullptr;
};

// What the designer's InsertExpression does: the expression editor opened on the text;
// OK answers the edited text, Cancel an empty one.
QString RunExpressionEditor(QWidget* owner, TrpCustomDesigner* designer, const QString& expression);
