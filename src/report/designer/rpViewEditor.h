#pragma once

// The switches every view and memo offers in the workspace's context menu: shifting,
// visibility and printing for views; the text switches, stretching and the display format for
// memos. The designer copies the items into its context menu and calls Execute with the item's
// tag and its new tick. The editors of lines, pictures and memo kinds build on these two.

#include "rpDsgnIntfEditors.h"

class TrpCustomMemoView;
class TrpView;

class TrpViewEditor : public TrpComponentEditor {
public:
    using TrpComponentEditor::TrpComponentEditor;
    QString ClassName() const override { return QStringLiteral("TrpViewEditor"); }
    // Shift (50), shift when overlapped (51), visible (52), printable (53).
    void GetMenuItems() override;
    // Applies the switch to every selected view that may be modified; true when one changed.
    bool Execute(int tag, bool checked) override;

protected:
    // A menu item of a resource caption; "-" gives a separator.
    QAction* AddItem(const QString& resourceName, int tag, bool checked);
    // Whether the object carries rfDontModify.
    static bool Restricted(const TrpComponent* object);
};

class TrpCustomMemoEditor : public TrpViewEditor {
public:
    using TrpViewEditor::TrpViewEditor;
    QString ClassName() const override { return QStringLiteral("TrpCustomMemoEditor"); }
    // Format (1), clear (2), the text switches 3 to 8 (no HTML tags on dot-matrix memos),
    // stretching 40 and 41, then the view items.
    void GetMenuItems() override;
    // The view switches first; tag 1 asks for a display format (Cancel ends there); then the
    // switch goes to every selected memo that may be modified.
    bool Execute(int tag, bool checked) override;
};
