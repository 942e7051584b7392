#pragma once

// What every designer dialog shares: a QDialog created with the designer window as owner and
// shown through the user-interface service's modal seam; captions from the resource table by
// number (a number without a text shows the number itself); children
// mirrored under right-to-left alignment; F1 opens the help topic of the dialog's class;
// placement kept under "Form4." + class name through procedures the designer window installs.

#include <QDialog>
#include <QString>

#include <functional>
#include <initializer_list>
#include <memory>

class QAbstractButton;
class QHBoxLayout;
class QWidget;
class TrpCustomDesigner;
class TrpIniFile;

namespace DesignerDialogs {

// The resource text of a name (the name itself when the table has none).
QString Text(const QString& name);
// Sets the caption (window title, button, label, group box text) of `widget` from the text of
// the number.
void Caption(QWidget* widget, int id);
// The same for the widget's hint (tool tip).
void Hint(QWidget* widget, int id);
// Turns "description|mask|description|mask" into Qt's filter form "description (mask);;…";
// masks joined by ";" become blank-separated patterns; a description that already names its
// patterns in brackets is kept as it is.
QString QtFilter(const QString& descriptionsAndMasks);
// Number texts of the designer's edits: plain when whole, two decimals otherwise, with the
// designer's decimal separator; ParseNumber accepts "." and "," and raises on bad text.
QString NumberText(double value);
double ParseNumber(const QString& text);
// A row of buttons standing at its right end, in the order given (OK, Cancel, Help...).
QHBoxLayout* ButtonRow(std::initializer_list<QWidget*> buttons);

// Where the designer window keeps a dialog's placement: it installs both procedures; without
// them a dialog opens at its designed size. `section` is "Form4." + class name.
struct PlacementProcedures {
    std::function<void(QWidget& form, TrpIniFile& settings, const QString& section)> Restore;
    std::function<void(QWidget& form, TrpIniFile& settings, const QString& section)> Save;
};
void SetPlacementProcedures(PlacementProcedures procedures);
const PlacementProcedures& Placement();

// The folders of the designer component for opening and saving files (styles, variables);
// empty until the designer window installs them.
struct DesignerFolders {
    std::function<QString()> OpenDir;
    std::function<QString()> SaveDir;
};
void SetDesignerFolders(DesignerFolders folders);
QString OpenDir();
QString SaveDir();

} // namespace DesignerDialogs

// The base of the designer dialogs.
class TrpDesignerDialog : public QDialog {
public:
    // `className` names the dialog for help, placement and the modal seam.
    TrpDesignerDialog(QWidget* owner, TrpCustomDesigner* designer, const QString& className);

    TrpCustomDesigner* Designer() const { return FDesigner; }
    const QString& ClassName() const { return FClassName; }

    // Shows the dialog through the modal seam: Showing, the seam, then Hiding with the result.
    // Answers mrOk when the dialog closed with OK.
    int Execute();
    // OK: the values are checked first (CheckValues); a refused one keeps the dialog open.
    void accept() override;
    // The settings store of the report being designed (none without a designer).
    std::unique_ptr<TrpIniFile> Settings() const;
    QString Section() const { return QStringLiteral("Form4.") + FClassName; }

protected:
    // What the dialog does as it opens and as it closes (with its modal result).
    virtual void Showing() {}
    virtual void Hiding(int) {}
    // What OK checks first: a field holding a value the dialog cannot take raises (the message
    // names the field, which takes the focus), and the dialog stays open with what was typed.
    virtual void CheckValues() {}
    // "Visible" true and the placement restored; the placement saved.
    void RestorePlacement();
    void SavePlacement();
    // OK and Cancel buttons with the texts 1 and 2, bound to accept and reject.
    void MakeOkCancel(QAbstractButton* ok, QAbstractButton* cancel);
    void keyPressEvent(QKeyEvent* event) override;
    // Runs a handler so that an error inside it is shown instead of crossing the event loop.
    void Guard(const std::function<void()>& body);

private:
    TrpCustomDesigner* FDesigner;
    QString FClassName;
};
