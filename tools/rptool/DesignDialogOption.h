#pragma once

// The options of `rptool design` that open one editor dialog on the selection:
//   --dialog CLASS [--in-dialog ACTION]... [--answer ok|cancel]
// ACTION is "click NAME", "set NAME=TEXT", "check NAME" or "pick NAME ITEM" (controls by object
// name). The dialog runs through the tool's user-interface service: the actions, then the grab
// (design's --grab), then OK or Cancel (the default); later dialogs are cancelled and message
// boxes answered with nothing, their texts printed on stderr.

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;
class TrpCustomDesigner;

struct DesignDialogOptions {
    QString ClassName;
    QStringList Actions;
    bool AnswerOk = false;
};

// Takes the dialog options out of `arguments`, leaving the others. None without --dialog; an
// option without its value, an --answer other than ok or cancel, or --in-dialog and --answer
// without --dialog set `error`.
std::optional<DesignDialogOptions> TakeDesignDialogOptions(QStringList& arguments, QString& error);

// Opens the dialog on the designer's selection; 0 when it ran, 2 with the error on stderr
// (an unknown class or control, a selection the dialog cannot edit, a grab not written).
int RunDesignDialog(const DesignDialogOptions& options, TrpCustomDesigner& designer, QWidget* owner,
                    const QString& grabFile);
