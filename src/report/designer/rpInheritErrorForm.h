#pragma once

// What to do when a report and its base report share object names: delete the report's
// duplicates or rename them; Cancel abandons the inheritance.

#include "rpDsgnDialog.h"

class QLabel;
class QPushButton;
class QRadioButton;

class TrpInheritErrorForm : public TrpDesignerDialog {
public:
    explicit TrpInheritErrorForm(QWidget* owner = nullptr);

    QWidget* PaintBox1 = nullptr;
    QLabel* MessageL = nullptr;
    QRadioButton* DeleteRB = nullptr;
    QRadioButton* RenameRB = nullptr;
    QPushButton* OkB = nullptr;
    QPushButton* CancelB = nullptr;
};

// The model's question on a conflict: a modal result, OK with `deleteDuplicates` set for
// delete and clear for rename. DesignerRuntime::init installs it.
int AskInheritConflict(bool& deleteDuplicates);
