#include "GoodTable.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyledItemDelegate>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr int32_t kNewColumnWidth = 50;
constexpr int32_t kCheckBoxSide = 13;
const QColor kGridLineColor(192, 192, 192);

} // namespace

// Paints the cells as the table wants them (grid lines, current cell, 13 x 13 check boxes) and
// makes the one-line editor whose every keystroke goes into the cell at once.
class GoodTableDelegate : public QStyledItemDelegate {
public:
    explicit GoodTableDelegate(TGoodTable* table) : QStyledItemDelegate(table), table_(table) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const int32_t row = index.row();
        const int32_t col = index.column();
        const QRect cell(option.rect.topLeft(), QSize(option.rect.width() - 1, TGoodTable::kRowHeight - 1));
        painter->save();
        painter->setPen(kGridLineColor);
        painter->drawLine(cell.right() + 1, option.rect.top(), cell.right() + 1, option.rect.bottom());
        painter->drawLine(cell.left(), cell.bottom() + 1, cell.right() + 1, cell.bottom() + 1);

        const bool selected = table_->IsCurrent(row, col);
        const bool focused = table_->hasFocus();
        const QPalette& palette = table_->palette();
        QColor background = palette.color(QPalette::Base);
        if (selected)
            background = focused ? palette.color(QPalette::Highlight) : palette.color(QPalette::Midlight);
        else if (const QVariant light = index.data(Qt::BackgroundRole); light.isValid())
            background = light.value<QBrush>().color();
        painter->fillRect(cell, background);

        if (index.data(GoodTableModel::ColTypeRole).toInt() == static_cast<int>(ColType::CheckBox)) {
            QStyleOptionButton box;
            box.initFrom(table_);
            box.rect = TGoodTable::CheckBoxRect(cell);
            box.state = QStyle::State_Enabled;
            box.state |= index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
            table_->style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, table_);
        } else {
            QColor ink = index.data(Qt::ForegroundRole).value<QBrush>().color();
            if (selected && focused)
                ink = palette.color(QPalette::HighlightedText);
            painter->setPen(ink);
            painter->setFont(option.font);
            painter->setClipRect(cell);
            const auto alignment = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
            painter->drawText(cell, static_cast<int>(alignment), index.data(Qt::DisplayRole).toString());
        }
        painter->restore();
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        auto* editor = new QLineEdit(parent);
        editor->setObjectName(QStringLiteral("GoodTableEditor"));
        editor->setFrame(false);
        const int32_t row = index.row();
        const int32_t col = index.column();
        TGoodTable* table = table_;
        QObject::connect(editor, &QLineEdit::textEdited, table,
                         [table, row, col](const QString& text) { table->EditChange(row, col, text); });
        table_->editor_ = editor;
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        static_cast<QLineEdit*>(editor)->setText(index.data(Qt::DisplayRole).toString());
    }

    // The cell already holds every keystroke; there is nothing to commit.
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        editor->setGeometry(option.rect.left(), option.rect.top(), option.rect.width() - 1, TGoodTable::kRowHeight - 1);
    }

protected:
    // Enter and Escape close the editor (the cell keeps what was typed); Up and Down close it
    // and move the current row; Tab leaves for the next control. Losing the focus closes it.
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            switch (key) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Escape:
                table_->HideEditor();
                return true;
            case Qt::Key_Up:
            case Qt::Key_Down:
                table_->HideEditor();
                table_->KeyDown(key);
                return true;
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
                return false;
            default:
                break;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    TGoodTable* table_;
};

TGoodTable::TGoodTable(QWidget* parent) : QTableView(parent)
{
    model_ = new GoodTableModel(this);
    model_->SetLightColor(LightColor());
    setModel(model_);
    delegate_ = new GoodTableDelegate(this);
    setItemDelegate(delegate_);

    QFont tableFont(QStringLiteral("Courier New"));
    tableFont.setPixelSize(11);
    tableFont.setStyleHint(QFont::TypeWriter);
    setFont(tableFont);

    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* header = horizontalHeader();
    header->setFixedHeight(kRowHeight);
    header->setMinimumSectionSize(0);
    header->setDefaultSectionSize(kNewColumnWidth);
    header->setDefaultAlignment(Qt::AlignCenter);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);

    setShowGrid(false);
    setWordWrap(false);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setAutoScroll(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setFocusPolicy(Qt::StrongFocus);

    connect(header, &QHeaderView::sectionResized, this, [this] { HideEditor(); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { HideEditor(); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { HideEditor(); });
}

TGoodTable::~TGoodTable() = default;

void TGoodTable::SetColCount(int32_t count)
{
    HideEditor();
    model_->SetColCount(count);
    SetCol(std::min(GetColCount() - 1, col_));
    // Another last column: its own width is taken when it is next set or fitted.
    lastColumnWidth_ = -1;
    FitLastColumn();
    RedoLayout();
}

int32_t TGoodTable::GetColCount() const
{
    return model_->columnCount();
}

void TGoodTable::SetRowCount(int32_t count)
{
    HideEditor();
    model_->SetRowCount(count);
    if (GetRowCount() - 1 < row_)
        SetRow(GetRowCount() - 1);
    RedoLayout();
}

int32_t TGoodTable::GetRowCount() const
{
    return model_->rowCount();
}

void TGoodTable::SetCells(int32_t row, int32_t col, const std::string& text)
{
    model_->SetCellText(row, col, QString::fromStdString(text));
}

std::string TGoodTable::GetCells(int32_t row, int32_t col) const
{
    const Cell* cell = model_->CellAt(row, col);
    return cell ? cell->text.toStdString() : std::string();
}

void TGoodTable::SetCellsChecked(int32_t row, int32_t col, bool checked)
{
    model_->SetCellChecked(row, col, checked);
}

bool TGoodTable::GetCellsChecked(int32_t row, int32_t col) const
{
    const Cell* cell = model_->CellAt(row, col);
    return cell && cell->checked;
}

void TGoodTable::SetCellsTextColor(int32_t row, int32_t col, uint32_t color)
{
    model_->SetCellColor(row, col, color);
}

uint32_t TGoodTable::GetCellsTextColor(int32_t row, int32_t col) const
{
    const Cell* cell = model_->CellAt(row, col);
    return cell ? cell->color : 0;
}

void TGoodTable::SetCaptions(int32_t col, const std::string& caption)
{
    model_->SetCaption(col, QString::fromStdString(caption));
}

void TGoodTable::SetCaptionsW(int32_t col, const QString& caption)
{
    model_->SetCaption(col, caption);
}

std::string TGoodTable::GetCaptions(int32_t col) const
{
    return model_->Caption(col).toStdString();
}

QString TGoodTable::GetCaptionsW(int32_t col) const
{
    return model_->Caption(col);
}

void TGoodTable::SetWidths(int32_t col, int32_t width)
{
    if (!model_->IsValidCol(col))
        return;
    if (col == GetColCount() - 1)
        lastColumnWidth_ = std::max(width, 0);
    horizontalHeader()->resizeSection(col, std::max(width, 0));
    FitLastColumn();
    RedoLayout();
}

void TGoodTable::SetLastColumnFills(bool on)
{
    if (on == lastColumnFills_)
        return;
    if (!on && lastColumnWidth_ >= 0 && GetColCount() > 0)
        horizontalHeader()->resizeSection(GetColCount() - 1, lastColumnWidth_);
    lastColumnFills_ = on;
    lastColumnWidth_ = on && GetColCount() > 0 ? horizontalHeader()->sectionSize(GetColCount() - 1) : -1;
    FitLastColumn();
    RedoLayout();
}

void TGoodTable::FitLastColumn()
{
    const int32_t last = GetColCount() - 1;
    if (!lastColumnFills_ || last < 0 || fitting_)
        return;
    QHeaderView* header = horizontalHeader();
    if (lastColumnWidth_ < 0)
        lastColumnWidth_ = header->sectionSize(last);
    int32_t others = 0;
    for (int32_t c = 0; c < last; ++c)
        others += header->sectionSize(c);
    const int32_t free = viewport()->width() - others - lastColumnWidth_;
    fitting_ = true;
    header->resizeSection(last, lastColumnWidth_ + std::max(free, 0));
    fitting_ = false;
}

int32_t TGoodTable::GetWidths(int32_t col) const
{
    return model_->IsValidCol(col) ? horizontalHeader()->sectionSize(col) : 0;
}

void TGoodTable::SetColTypes(int32_t col, ColType type)
{
    model_->SetColType(col, type);
}

ColType TGoodTable::GetColTypes(int32_t col) const
{
    const ColInfo* column = model_->ColumnAt(col);
    return column ? column->type : ColType::Text;
}

void TGoodTable::SetColReadOnly(int32_t col, bool readOnly)
{
    model_->SetColReadOnly(col, readOnly);
}

bool TGoodTable::GetColReadOnly(int32_t col) const
{
    const ColInfo* column = model_->ColumnAt(col);
    return column && column->readOnly;
}

void TGoodTable::SetColAlignment(int32_t col, ColAlignment alignment)
{
    model_->SetColAlignment(col, alignment);
}

ColAlignment TGoodTable::GetColAlignment(int32_t col) const
{
    const ColInfo* column = model_->ColumnAt(col);
    return column ? column->alignment : ColAlignment::Center;
}

void TGoodTable::SetItems(const QStringList& items)
{
    items_ = items;
    SetColCount(static_cast<int32_t>(items.size()));
    for (int32_t col = 0; col < items.size(); ++col)
        SetCaptionsW(col, items.at(col));
}

void TGoodTable::SetCol(int32_t col)
{
    if (col == col_)
        return;
    HideEditor();
    col_ = col;
    AdjustScroll();
    viewport()->update();
    emit OnSelChange();
}

void TGoodTable::SetRow(int32_t row)
{
    if (row == row_)
        return;
    HideEditor();
    row_ = row;
    AdjustScroll();
    viewport()->update();
    emit OnSelChange();
}

void TGoodTable::SetReadOnly(bool readOnly)
{
    if (readOnly)
        HideEditor();
    readOnly_ = readOnly;
    model_->SetReadOnly(readOnly);
}

QColor TGoodTable::LightColor() const
{
    return palette().color(QPalette::Window).darker(106);
}

bool TGoodTable::HasCurrentCell() const
{
    return model_->IsValidCell(row_, col_);
}

QRect TGoodTable::CellRect(int32_t row, int32_t col) const
{
    const QRect full = visualRect(model_->index(row, col));
    return QRect(full.topLeft(), QSize(full.width() - 1, kRowHeight - 1));
}

QRect TGoodTable::CheckBoxRect(const QRect& cell)
{
    // Integer halves as the check box was always placed: (left + right - 13) / 2 with an
    // exclusive right edge.
    const int32_t right = cell.left() + cell.width();
    const int32_t bottom = cell.top() + cell.height();
    return QRect((cell.left() + right - kCheckBoxSide) / 2, (cell.top() + bottom - kCheckBoxSide) / 2, kCheckBoxSide,
                 kCheckBoxSide);
}

int32_t TGoodTable::PageRows() const
{
    const int32_t clientHeight = viewport()->height() + kRowHeight;
    return std::max(clientHeight / kRowHeight - 2, 1);
}

QLineEdit* TGoodTable::Editor() const
{
    return editor_ && editor_->isVisible() ? editor_.data() : nullptr;
}

void TGoodTable::ShowEditor()
{
    if (!HasCurrentCell() || readOnly_)
        return;
    const ColInfo* column = model_->ColumnAt(col_);
    if (column->readOnly || column->type != ColType::Text)
        return;
    const QModelIndex index = model_->index(row_, col_);
    if (QLineEdit* open = Editor()) {
        open->setFocus(Qt::OtherFocusReason);
        return;
    }
    // While the editor is open the table leaves the tab order, so Tab moves on from the editor.
    setFocusPolicy(Qt::ClickFocus);
    if (!edit(index, QAbstractItemView::AllEditTriggers, nullptr))
        setFocusPolicy(Qt::StrongFocus);
}

void TGoodTable::HideEditor()
{
    if (editor_)
        closeEditor(editor_, QAbstractItemDelegate::NoHint);
}

void TGoodTable::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint)
{
    setFocusPolicy(Qt::StrongFocus);
    if (editor == editor_)
        editor_ = nullptr;
    // No hint: closing never moves to another cell nor reverts what was typed.
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void TGoodTable::EditChange(int32_t row, int32_t col, const QString& text)
{
    model_->SetCellText(row, col, text);
    Change();
}

void TGoodTable::Change()
{
    emit OnChange();
}

void TGoodTable::Action()
{
    const ColInfo* column = model_->ColumnAt(col_);
    if (column && column->type == ColType::CheckBox)
        InvChecking();
    else
        ShowEditor();
}

void TGoodTable::InvChecking()
{
    if (!HasCurrentCell() || readOnly_)
        return;
    const ColInfo* column = model_->ColumnAt(col_);
    if (column->readOnly || column->type != ColType::CheckBox)
        return;
    model_->SetCellChecked(row_, col_, !model_->CellAt(row_, col_)->checked);
    Change();
}

void TGoodTable::AdjustScroll()
{
    if (!HasCurrentCell())
        return;
    QHeaderView* header = horizontalHeader();
    QScrollBar* horizontal = horizontalScrollBar();
    const int32_t left = header->sectionPosition(col_);
    const int32_t right = left + header->sectionSize(col_);
    const int32_t h = horizontal->value();
    if (left < h)
        horizontal->setValue(left);
    else if (h < right - viewport()->width())
        horizontal->setValue(right - viewport()->width());

    // The current row becomes the last row shown whole when it lies below the view.
    QScrollBar* vertical = verticalScrollBar();
    const int32_t v = vertical->value();
    const int32_t clientHeight = viewport()->height() + kRowHeight;
    if (row_ < v)
        vertical->setValue(row_);
    else if (v < row_ + 2 - clientHeight / kRowHeight)
        vertical->setValue(row_ + 2 - clientHeight / kRowHeight);
}

void TGoodTable::RedoLayout()
{
    HideEditor();
    updateGeometries();
    viewport()->update();
}

bool TGoodTable::KeyDown(int key)
{
    const int32_t rows = GetRowCount();
    const int32_t page = PageRows();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Action();
        return true;
    case Qt::Key_PageUp:
        SetRow(page < row_ ? row_ - page : 0);
        return true;
    case Qt::Key_Home:
        SetRow(0);
        return true;
    case Qt::Key_PageDown:
        SetRow(row_ < rows - page ? row_ + page : rows - 1);
        return true;
    case Qt::Key_End:
        SetRow(rows - 1);
        return true;
    case Qt::Key_Left:
        if (col_ > 0)
            SetCol(col_ - 1);
        return true;
    case Qt::Key_Right:
        if (col_ < GetColCount() - 1)
            SetCol(col_ + 1);
        return true;
    case Qt::Key_Up:
        if (row_ >= 1)
            SetRow(row_ - 1);
        return true;
    case Qt::Key_Down:
        if (row_ < rows - 1)
            SetRow(row_ + 1);
        return true;
    case Qt::Key_F2:
        ShowEditor();
        return true;
    default:
        return false;
    }
}

void TGoodTable::KeyPress(const QString& text)
{
    if (!HasCurrentCell() || readOnly_ || model_->ColumnAt(col_)->readOnly)
        return;
    if (text == QStringLiteral(" "))
        Action();
    else
        ShowEditor();
    if (QLineEdit* editor = Editor()) {
        // Typing starts a new value.
        editor->setText(text);
        editor->setCursorPosition(static_cast<int>(text.size()));
        EditChange(row_, col_, text);
    }
}

void TGoodTable::keyPressEvent(QKeyEvent* event)
{
    if (KeyDown(event->key())) {
        event->accept();
        return;
    }
    const QString text = event->text();
    if ((event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0 && text.size() == 1 &&
        text.at(0).isPrint()) {
        KeyPress(text);
        event->accept();
        return;
    }
    event->ignore();
}

void TGoodTable::SelectAt(const QPoint& point)
{
    const int32_t rows = GetRowCount();
    const int32_t cols = GetColCount();
    if (rows <= 0 || cols <= 0)
        return;
    // Client coordinates have the header above the rows.
    const int32_t y = point.y() + kRowHeight;
    const int32_t row = std::clamp(verticalScrollBar()->value() + y / kRowHeight - 1, 0, rows - 1);
    const int32_t x = point.x() + horizontalScrollBar()->value();
    QHeaderView* header = horizontalHeader();
    int32_t col = cols - 1;
    for (int32_t c = 0; c < cols - 1; ++c) {
        if (x < header->sectionPosition(c) + header->sectionSize(c)) {
            col = c;
            break;
        }
    }
    if (row == row_ && col == col_)
        return;
    // An editor left open here would take the next keystrokes into the old cell's text.
    HideEditor();
    row_ = row;
    col_ = col;
    emit OnSelChange();
    AdjustScroll();
    viewport()->update();
}

void TGoodTable::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    selecting_ = true;
    const QPoint point = event->position().toPoint();
    if (HasCurrentCell() && CellRect(row_, col_).contains(point))
        ShowEditor();
    SelectAt(point);
    if (HasCurrentCell() && model_->ColumnAt(col_)->type == ColType::CheckBox &&
        CheckBoxRect(CellRect(row_, col_)).contains(point))
        InvChecking();
}

void TGoodTable::mouseMoveEvent(QMouseEvent* event)
{
    if (selecting_)
        SelectAt(event->position().toPoint());
}

void TGoodTable::mouseReleaseEvent(QMouseEvent*)
{
    selecting_ = false;
}

void TGoodTable::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    ShowEditor();
}

void TGoodTable::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (delta == 0 && event->angleDelta().x() != 0)
        return;
    // One line per notch, whatever the wheel's delta.
    QScrollBar* vertical = verticalScrollBar();
    if (delta <= 0) {
        vertical->setValue(vertical->value() + 1);
        if (row_ < GetRowCount() - 1)
            SetRow(row_ + 1);
    } else {
        vertical->setValue(vertical->value() - 1);
        if (row_ > 0)
            SetRow(row_ - 1);
    }
    event->accept();
}

void TGoodTable::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    viewport()->update();
}

void TGoodTable::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    viewport()->update();
}

void TGoodTable::resizeEvent(QResizeEvent* event)
{
    HideEditor();
    QTableView::resizeEvent(event);
    FitLastColumn();
}

void TGoodTable::updateGeometries()
{
    QTableView::updateGeometries();
    FitLastColumn();
}

void TGoodTable::paintEvent(QPaintEvent* event)
{
    {
        // Outside the cells: light bands, row lines right of the last column, column lines
        // down to the bottom.
        QPainter painter(viewport());
        const QRect area = viewport()->rect();
        painter.fillRect(event->rect(), LightColor());
        painter.setPen(kGridLineColor);
        QHeaderView* header = horizontalHeader();
        const int32_t h = horizontalScrollBar()->value();
        int32_t end = -h;
        for (int32_t c = 0; c < GetColCount(); ++c) {
            end = header->sectionPosition(c) + header->sectionSize(c) - h;
            painter.drawLine(end - 1, 0, end - 1, area.bottom());
        }
        for (int32_t top = 0; top <= area.bottom(); top += kRowHeight)
            painter.drawLine(std::max(end, 0), top + kRowHeight - 1, area.right(), top + kRowHeight - 1);
    }
    QTableView::paintEvent(event);
}
