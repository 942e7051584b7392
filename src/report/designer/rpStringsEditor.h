#pragma once

// The string list editor: a plain multi-line box without word wrap; OK and Cancel on its tool
// bar, Ctrl+Enter for OK and Escape for Cancel.

#include "rpDsgnDialog.h"

class QPlainTextEdit;
class QToolBar;
class QToolButton;

class TrpStringsEditorForm : public TrpDesignerDialog {
public:
    TrpStringsEditorForm(QWidget* owner, TrpCustomDesigner* designer);

    QStringList Lines() const;
    void SetLines(const QStringList& lines);

    QToolBar* ToolBar = nullptr;
    QToolButton* CancelB = nullptr;
    QToolButton* OkB = nullptr;
    QPlainTextEdit* Memo = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
