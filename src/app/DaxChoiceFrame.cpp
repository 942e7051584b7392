#include "DaxChoiceFrame.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kIdRole = Qt::UserRole + 1; // the item id a row carries
} // namespace

TDataListView::TDataListView(QWidget* parent) : QTableWidget(0, 1, parent)
{
    setHorizontalHeaderLabels({QStringLiteral("Последовательность")});
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->hide();
    setShowGrid(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(true);
}

void TDataListView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->source() == this)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TDataListView::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->source() == this)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TDataListView::dropEvent(QDropEvent* event)
{
    if (event->source() != this) {
        event->ignore();
        return;
    }
    emit DroppedOnRow(rowAt(event->position().toPoint().y()));
    // The dialog has moved the rows; a move action would make the view remove its source rows.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void TAllParamsCheckBox::nextCheckState()
{
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

TDaxChoiceForm::TDaxChoiceForm(const Design& design, QWidget* parent)
    : QDialog(parent), order_(design.DefaultOrder), mask_(design.FullMask), fullMask_(design.FullMask),
      names_(design.Names)
{
    setObjectName(QString::fromUtf8(design.ObjectName));
    setWindowTitle(QString::fromUtf8(design.Caption));
    setFixedSize(design.ClientSize);

    GroupBox = new QGroupBox(QString::fromUtf8(design.BoxCaption), this);
    GroupBox->setObjectName(QStringLiteral("GroupBox"));
    DataListView = new TDataListView(GroupBox);
    DataListView->setObjectName(QStringLiteral("DataListView"));
    AllParamsCheckBox = new TAllParamsCheckBox(QStringLiteral("Все данные"), GroupBox);
    AllParamsCheckBox->setObjectName(QStringLiteral("AllParamsCheckBox"));
    AllParamsCheckBox->setTristate(true);
    auto* boxLayout = new QVBoxLayout(GroupBox);
    boxLayout->addWidget(DataListView, 1);
    boxLayout->addWidget(AllParamsCheckBox);

    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Отмена"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox, 1);
    layout->addLayout(buttons);

    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(DataListView, &QTableWidget::itemChanged, this, [this](QTableWidgetItem*) { DataListViewChange(); });
    connect(DataListView, &TDataListView::DroppedOnRow, this, &TDaxChoiceForm::DataListViewDragDrop);
    connect(AllParamsCheckBox, &QCheckBox::clicked, this, [this] { AllParamsCheckBoxClick(); });

    FormCreate();
}

std::string TDaxChoiceForm::ItemText(uint32_t id) const
{
    return id < names_.size() ? names_[id] : "";
}

void TDaxChoiceForm::FormCreate()
{
    // The re-entrance flag has been set since construction.
    FillList();
    refreshing_ = 0;
    DataListViewChange();
}

void TDaxChoiceForm::FillList()
{
    // Setting items raises the list's change signal, which must not read a half-filled list.
    if (!refreshing_) {
        BoolLock lock(refreshing_);
        FillRows();
        return;
    }
    FillRows();
}

void TDaxChoiceForm::FillRows()
{
    DataListView->clearContents();
    DataListView->setRowCount(static_cast<int>(order_.size()));
    for (size_t row = 0; row < order_.size(); ++row) {
        const uint32_t id = order_[row];
        auto* item = new QTableWidgetItem(QString::fromStdString(ItemText(id)));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsDragEnabled);
        item->setData(kIdRole, id);
        item->setCheckState(id < 32 && ((mask_ >> id) & 1) != 0 ? Qt::Checked : Qt::Unchecked);
        DataListView->setItem(static_cast<int>(row), 0, item);
    }
}

void TDaxChoiceForm::ReadList()
{
    order_.clear();
    mask_ = 0;
    for (int row = 0; row < DataListView->rowCount(); ++row) {
        const QTableWidgetItem* item = DataListView->item(row, 0);
        if (!item)
            continue;
        const uint32_t id = item->data(kIdRole).toUInt();
        order_.push_back(id);
        if (item->checkState() == Qt::Checked && id < 32)
            mask_ |= 1u << id;
    }
}

void TDaxChoiceForm::DataListViewChange()
{
    if (refreshing_)
        return;
    BoolLock lock(refreshing_);
    ReadList();
    UpdateAllParamsCheckBox();
}

void TDaxChoiceForm::UpdateAllParamsCheckBox()
{
    Qt::CheckState state = Qt::PartiallyChecked;
    if (mask_ == 0)
        state = Qt::Unchecked;
    else if (mask_ == fullMask_)
        state = Qt::Checked;
    AllParamsCheckBox->setCheckState(state);
}

void TDaxChoiceForm::AllParamsCheckBoxClick()
{
    if (refreshing_)
        return;
    BoolLock lock(refreshing_);
    mask_ = AllParamsCheckBox->checkState() == Qt::Checked ? fullMask_ : 0;
    FillList();
}

void TDaxChoiceForm::DataListViewDragDrop(int row)
{
    MoveSelectedBefore(row);
}

void TDaxChoiceForm::MoveSelectedBefore(int row)
{
    std::vector<int> selected;
    for (const QModelIndex& index : DataListView->selectionModel()->selectedRows())
        selected.push_back(index.row());
    if (selected.empty())
        return;
    std::sort(selected.begin(), selected.end());
    const auto isSelected = [&selected](int r) { return std::binary_search(selected.begin(), selected.end(), r); };

    // A selected target would be taken out with the rows it is to receive.
    int target = row >= 0 && row < DataListView->rowCount() ? row : -1;
    while (target >= 0 && isSelected(target))
        target = target + 1 < DataListView->rowCount() ? target + 1 : -1;

    {
        BoolLock lock(refreshing_);
        const QTableWidgetItem* targetItem = target >= 0 ? DataListView->item(target, 0) : nullptr;
        std::vector<QTableWidgetItem*> moved;
        for (const int r : selected)
            moved.push_back(DataListView->takeItem(r, 0));
        for (auto r = selected.rbegin(); r != selected.rend(); ++r)
            DataListView->removeRow(*r);
        int at = targetItem ? DataListView->row(targetItem) : DataListView->rowCount();
        for (QTableWidgetItem* item : moved) {
            DataListView->insertRow(at);
            DataListView->setItem(at, 0, item);
            ++at;
        }
        DataListView->clearSelection();
    }
    DataListViewChange();
}

void TDaxChoiceForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Centred on the main window.
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (owner && owner->isVisible())
        move(owner->frameGeometry().center() - rect().center());
}
