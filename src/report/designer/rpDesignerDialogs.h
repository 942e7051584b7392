#pragma once

// Opening one editor dialog on the designer's selection as its caller does (the frame editor
// on a copy of the first selected view's frame, written back on OK; the memo, highlight,
// format and strings editors on the first selected memo; the picture editor on the first
// selected picture; variables, styles and report data on the report; data band and group on
// the selected band; tab order on the page), and a user-interface service that plays a short
// script in the first dialog shown (rptool design --dialog).

#include "report/core/Services.h"

#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class QWidget;
class TrpCustomDesigner;

namespace DesignerDialogs {

// The dialog classes OpenOnSelection opens.
QStringList DialogClasses();
// Runs the dialog and answers its modal result; raises platform::Exception when the class is
// unknown or the selection holds nothing it edits.
int OpenOnSelection(const QString& className, TrpCustomDesigner& designer, QWidget* owner);
// One action on a dialog's control found by object name: "click NAME", "set NAME=TEXT",
// "check NAME", "pick NAME ITEM". Raises platform::Exception for an unknown control, item or
// action.
void RunDialogAction(QDialog& dialog, const QString& action);

} // namespace DesignerDialogs

// Plays the first modal dialog: the actions, then the grab (when a file is named), then OK (its
// button OkB, OKB or FinishB pressed when it has one; still open afterwards, it is cancelled
// and Error says so) or Cancel. Later dialogs are cancelled; message boxes answer mrNone and
// their texts go to OnMessage; file, folder, colour and font dialogs are cancelled.
class DialogScriptUi : public IUiService {
public:
    DialogScriptUi(QStringList actions, QString grabFile, bool answerOk);

    void ShowMessage(const QString& text) override;
    int MessageDlg(const QString& caption, const QString& text, UiMessageType type, uint32_t buttons) override;
    int RunModal(QObject& dialog, const QString& caption) override;

    std::function<void(const QString& text)> OnMessage;
    // The first error of the script (an unknown control, a grab that could not be saved, an OK
    // that did not close the dialog).
    QString Error;

private:
    QStringList FActions;
    QString FGrabFile;
    bool FAnswerOk;
    int FRuns = 0;
};
