#pragma once

// The debugger's evaluate window: Enter in the expression shows its value in the script that
// is paused. In watch mode it only asks for an expression (the watch list's add and edit).

#include "rpDsgnDialog.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TscScript;

class TrpEvaluateForm : public TrpDesignerDialog {
public:
    TrpEvaluateForm(QWidget* owner, TrpCustomDesigner* designer);

    TscScript* Script() const { return FScript; }
    void SetScript(TscScript* script) { FScript = script; }
    bool IsWatch() const { return FIsWatch; }
    void SetIsWatch(bool value) { FIsWatch = value; }
    // Evaluates the expression and shows the result (what Enter does outside watch mode).
    void EvaluateExpression();

    QLabel* Label1 = nullptr;
    QLineEdit* ExpressionE = nullptr;
    QLabel* Label2 = nullptr;
    QPlainTextEdit* ResultM = nullptr;
    QPushButton* OkB = nullptr;
    QPushButton* CancelB = nullptr;

protected:
    void Showing() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TscScript* FScript = nullptr;
    bool FIsWatch = false;
};

// The watch list's question: the evaluate window in watch mode, starting from `preset`; the
// expression after OK, empty after Cancel.
QString AskWatchExpression(QWidget* owner, TrpCustomDesigner* designer, const QString& preset);
