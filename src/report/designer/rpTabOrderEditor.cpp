#include "rpTabOrderEditor.h"

#include "report/core/Services.h"
#include "report/model/rpClass.h"
#include "report/model/rpClass_services.h"
#include "report/model/ui/rpClass_dialogcontrol.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kControlRole = Qt::UserRole + 1;

TrpDialogControl* ControlOf(const QListWidgetItem* item)
{
    return item == nullptr ? nullptr : dynamic_cast<TrpDialogControl*>(item->data(kControlRole).value<QObject*>());
}

int IndexIn(const TrpComponent* parent, const TrpComponent* child)
{
    const auto& objects = parent->Objects();
    const auto it = std::find(objects.begin(), objects.end(), child);
    return it == objects.end() ? -1 : static_cast<int>(it - objects.begin());
}

} // namespace

TrpTabOrderEditorForm::TrpTabOrderEditorForm(QWidget* owner, TrpCustomDesigner* designer)
    : TrpDesignerDialog(owner, designer, QStringLiteral("TrpTabOrderEditorForm"))
{
    setWindowTitle(QString());
    Label1 = new QLabel(QString(), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    ControlsLB = new QListWidget(this);
    ControlsLB->setObjectName(QStringLiteral("ControlsLB"));
    UpB = new QPushButton(QString(), this);
    UpB->setObjectName(QStringLiteral("UpB"));
    DownB = new QPushButton(QString(), this);
    DownB->setObjectName(QStringLiteral("DownB"));
    OkB = new QPushButton(QStringLiteral("OK"), this);
    CancelB = new QPushButton(QString(), this);
    MakeOkCancel(OkB, CancelB);
    auto* side = new QVBoxLayout;
    side->addWidget(UpB);
    side->addWidget(DownB);
    side->addStretch(1);
    auto* body = new QHBoxLayout;
    body->addWidget(ControlsLB, 1);
    body->addLayout(side);
    auto* buttons = DesignerDialogs::ButtonRow({OkB, CancelB});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    resize(300, 280);
    DesignerDialogs::Caption(this, 5400);
    DesignerDialogs::Caption(Label1, 5401);
    DesignerDialogs::Caption(UpB, 5402);
    DesignerDialogs::Caption(DownB, 5403);
    connect(UpB, &QPushButton::clicked, this, [this] { Guard([this] { UpBClick(); }); });
    connect(DownB, &QPushButton::clicked, this, [this] { Guard([this] { DownBClick(); }); });
}

void TrpTabOrderEditorForm::Showing()
{
    FParent = nullptr;
    if (Designer() != nullptr) {
        for (const auto& selected : Designer()->SelectedObjects())
            if (selected) {
                FParent = selected.data();
                break;
            }
        if (FParent == nullptr)
            FParent = Designer()->Page();
    }
    ControlsLB->clear();
    FOldOrder.clear();
    if (FParent == nullptr)
        return;
    for (TrpComponent* child : FParent->Objects()) {
        FOldOrder.emplace_back(child);
        auto* control = dynamic_cast<TrpDialogControl*>(child);
        if (control == nullptr || control->Control() == nullptr)
            continue;
        auto* item = new QListWidgetItem(control->Name() + QStringLiteral(": ") + control->GetDescription(), ControlsLB);
        item->setData(kControlRole, QVariant::fromValue(static_cast<QObject*>(control)));
    }
    ControlsLB->setCurrentRow(0);
}

void TrpTabOrderEditorForm::UpBClick()
{
    const int row = ControlsLB->currentRow();
    if (row > 0)
        Exchange(row, row - 1);
}

void TrpTabOrderEditorForm::DownBClick()
{
    const int row = ControlsLB->currentRow();
    if (row >= 0 && row < ControlsLB->count() - 1)
        Exchange(row, row + 1);
}

void TrpTabOrderEditorForm::Exchange(int row, int other)
{
    TrpDialogControl* moved = ControlOf(ControlsLB->item(row));
    TrpDialogControl* neighbour = ControlOf(ControlsLB->item(other));
    if (moved == nullptr || neighbour == nullptr || FParent == nullptr)
        return;
    const int from = IndexIn(FParent, moved);
    const int to = IndexIn(FParent, neighbour);
    if (from >= 0 && to >= 0) {
        FParent->MoveObject(from, to);
        const int back = IndexIn(FParent, neighbour);
        const int place = from;
        if (back >= 0 && back != place)
            FParent->MoveObject(back, place);
    }
    QListWidgetItem* item = ControlsLB->takeItem(row);
    ControlsLB->insertItem(other, item);
    ControlsLB->setCurrentRow(other);
    Renumber();
}

void TrpTabOrderEditorForm::Renumber()
{
    // Two passes, so that no two controls ever share a tab order on the way.
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < ControlsLB->count(); ++i) {
            if (TrpDialogControl* control = ControlOf(ControlsLB->item(i))) {
                control->SetTabOrder(i + (pass == 0 ? 1000 : 0));
                if (OnRenumbered)
                    OnRenumbered();
            }
        }
    }
}

void TrpTabOrderEditorForm::Hiding(int result)
{
    if (result == mrOk || FParent == nullptr)
        return;
    // Back to the old order: each remembered child in turn to its old place.
    int place = 0;
    for (const auto& child : FOldOrder) {
        if (!child)
            continue;
        const int now = IndexIn(FParent, child.data());
        if (now >= 0) {
            if (now != place)
                FParent->MoveObject(now, place);
            ++place;
        }
    }
}
