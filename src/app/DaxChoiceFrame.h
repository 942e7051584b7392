#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QTableWidget>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class QGroupBox;
class QPushButton;

// Sets a re-entrance flag for a scope and clears it when the scope ends, also on an exception.
class BoolLock {
public:
    explicit BoolLock(uint8_t& flag) : flag_(flag) { flag_ = 1; }
    ~BoolLock() { flag_ = 0; }
    BoolLock(const BoolLock&) = delete;
    BoolLock& operator=(const BoolLock&) = delete;

private:
    uint8_t& flag_;
};

// The check list of the selection dialogs. Rows are dragged within the list only; a drop
// reports the row it landed on (-1 below the last row) and moves nothing itself.
class TDataListView : public QTableWidget {
    Q_OBJECT

public:
    explicit TDataListView(QWidget* parent = nullptr);

signals:
    void DroppedOnRow(int row);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

// "Все данные": a click makes an unchecked or grayed box checked and a checked one unchecked;
// only the dialog itself grays it, when some items are chosen and some are not.
class TAllParamsCheckBox : public QCheckBox {
    Q_OBJECT

public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override;
};

// What the read-all and write-all dialogs share: a check list of items whose order the user
// sets by dragging, "Все данные" to choose all or none, OK and "Отмена". The order and the
// mask follow the list at every change, so a cancelled choice is still offered next time;
// the caller reads them after OK.
class TDaxChoiceForm : public QDialog {
    Q_OBJECT

public:
    // The texts of ids 0 .. names.size() - 1 (any other id shows an empty text), the full mask,
    // the order and mask to start with, and the captions and client size of the dialog.
    struct Design {
        const char* ObjectName;
        const char* Caption;
        const char* BoxCaption;
        QSize ClientSize;
        std::span<const char* const> Names;
        uint32_t FullMask;
        std::vector<uint32_t> DefaultOrder;
    };

    TDaxChoiceForm(const Design& design, QWidget* parent);

    // Item ids in list order, and bit n set for each chosen item n.
    const std::vector<uint32_t>& Order() const { return order_; }
    uint32_t Mask() const { return mask_; }
    uint32_t FullMask() const { return fullMask_; }
    // The choice as a read-all or write-all run takes it (DaxReadAllDataSetup or
    // DaxWriteAllDataSetup).
    template <typename Setup>
    Setup Choice() const
    {
        Setup setup;
        setup.Order = order_;
        setup.Mask = mask_;
        return setup;
    }
    // The text of an item id; empty for an id without a name.
    std::string ItemText(uint32_t id) const;

    // Rebuilds the list from the order and the mask.
    void FillList();
    // Rebuilds the order and the mask from the list.
    void ReadList();
    // Handlers: a change of the list (check marks included), a click on "Все данные", and a
    // drop on a row (-1: below the last one).
    void DataListViewChange();
    void AllParamsCheckBoxClick();
    void DataListViewDragDrop(int row);
    // Moves the selected rows, in list order, before `row` (-1: to the end). A row that is
    // itself selected stands for the first unselected row after it, or the end.
    void MoveSelectedBefore(int row);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FillRows();
    void UpdateAllParamsCheckBox();

    std::vector<uint32_t> order_;          // item ids in list order
    uint32_t mask_ = 0;                    // bit n: item n chosen
    uint8_t refreshing_ = 1;               // set while the dialog itself changes the list or the box
    uint32_t fullMask_;
    std::span<const char* const> names_;

    QGroupBox* GroupBox = nullptr;
    TDataListView* DataListView = nullptr;
    TAllParamsCheckBox* AllParamsCheckBox = nullptr;
    QPushButton* OkButton = nullptr;
    QPushButton* CancelButton = nullptr;
};
