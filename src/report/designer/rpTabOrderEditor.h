#pragma once

// The tab order editor: the windowed dialog controls of the selected object (or of the page),
// moved up and down; Cancel puts the children back in their old order.

#include "rpDsgnDialog.h"

#include <QPointer>

#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
class TrpComponent;

class TrpTabOrderEditorForm : public TrpDesignerDialog {
public:
    TrpTabOrderEditorForm(QWidget* owner, TrpCustomDesigner* designer);

    TrpComponent* Parent() const { return FParent; }
    void UpBClick();
    void DownBClick();
    // Tab orders seen while renumbering (for checking that no two ever share one).
    std::function<void()> OnRenumbered;

    QLabel* Label1 = nullptr;
    QListWidget* ControlsLB = nullptr;
    QPushButton* UpB = nullptr;
    QPushButton* DownB = nullptr;
    QPushButton* OkB = nullptr;
    QPushButton* CancelB = nullptr;

protected:
    void Showing() override;
    void Hiding(int result) override;

private:
    void Exchange(int row, int other);
    void Renumber();

    TrpComponent* FParent = nullptr;
    std::vector<QPointer<TrpComponent>> FOldOrder;
};
