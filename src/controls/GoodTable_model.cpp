#include "GoodTable.h"

#include <QBrush>

namespace {

Qt::Alignment ToQtAlignment(ColAlignment alignment)
{
    switch (alignment) {
    case ColAlignment::Left:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case ColAlignment::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case ColAlignment::Center:
        break;
    }
    return Qt::AlignCenter;
}

QColor FromColorRef(uint32_t color)
{
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>(color >> 8 & 0xFF), static_cast<int>(color >> 16 & 0xFF));
}

} // namespace

GoodTableModel::GoodTableModel(QObject* parent) : QAbstractTableModel(parent) {}

int GoodTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(cells_.size());
}

int GoodTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant GoodTableModel::data(const QModelIndex& index, int role) const
{
    const Cell* cell = index.isValid() ? CellAt(index.row(), index.column()) : nullptr;
    if (!cell)
        return {};
    const ColInfo& column = columns_[static_cast<size_t>(index.column())];
    const bool check = column.type == ColType::CheckBox;
    switch (role) {
    case Qt::DisplayRole:
        return check ? QVariant() : QVariant(cell->text);
    case Qt::CheckStateRole:
        return check ? QVariant(cell->checked ? Qt::Checked : Qt::Unchecked) : QVariant();
    case Qt::ForegroundRole:
        return QBrush(FromColorRef(cell->color));
    case Qt::BackgroundRole:
        return column.readOnly && lightColor_.isValid() ? QVariant(QBrush(lightColor_)) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(ToQtAlignment(column.alignment));
    case TextColorRole:
        return QVariant::fromValue(cell->color);
    case ColReadOnlyRole:
        return column.readOnly;
    case ColTypeRole:
        return static_cast<int>(column.type);
    default:
        return {};
    }
}

QVariant GoodTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || !IsValidCol(section))
        return {};
    if (role == Qt::DisplayRole)
        return captions_.at(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

Qt::ItemFlags GoodTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid() || !IsValidCell(index.row(), index.column()))
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const ColInfo& column = columns_[static_cast<size_t>(index.column())];
    if (!readOnly_ && !column.readOnly && column.type == ColType::Text)
        result |= Qt::ItemIsEditable;
    return result;
}

void GoodTableModel::SetColCount(int32_t count)
{
    count = std::max(count, 0);
    const int32_t current = columnCount();
    if (count == current)
        return;
    if (count > current)
        beginInsertColumns({}, current, count - 1);
    else
        beginRemoveColumns({}, count, current - 1);
    columns_.resize(static_cast<size_t>(count));
    while (captions_.size() > count)
        captions_.removeLast();
    while (captions_.size() < count)
        captions_.push_back(QString());
    for (auto& row : cells_)
        row.resize(static_cast<size_t>(count));
    if (count > current)
        endInsertColumns();
    else
        endRemoveColumns();
}

void GoodTableModel::SetRowCount(int32_t count)
{
    count = std::max(count, 0);
    const int32_t current = rowCount();
    if (count == current)
        return;
    if (count > current)
        beginInsertRows({}, current, count - 1);
    else
        beginRemoveRows({}, count, current - 1);
    cells_.resize(static_cast<size_t>(count), std::vector<Cell>(columns_.size()));
    if (count > current)
        endInsertRows();
    else
        endRemoveRows();
}

bool GoodTableModel::IsValidCell(int32_t row, int32_t col) const
{
    return row >= 0 && row < rowCount() && IsValidCol(col);
}

const Cell* GoodTableModel::CellAt(int32_t row, int32_t col) const
{
    if (!IsValidCell(row, col))
        return nullptr;
    return &cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void GoodTableModel::CellChanged(int32_t row, int32_t col, const QList<int>& roles)
{
    const QModelIndex changed = index(row, col);
    emit dataChanged(changed, changed, roles);
}

void GoodTableModel::ColumnChanged(int32_t col)
{
    if (rowCount() > 0)
        emit dataChanged(index(0, col), index(rowCount() - 1, col));
}

void GoodTableModel::SetCellText(int32_t row, int32_t col, const QString& text)
{
    if (!IsValidCell(row, col))
        return;
    cells_[static_cast<size_t>(row)][static_cast<size_t>(col)].text = text;
    CellChanged(row, col, {Qt::DisplayRole});
}

void GoodTableModel::SetCellChecked(int32_t row, int32_t col, bool checked)
{
    if (!IsValidCell(row, col))
        return;
    cells_[static_cast<size_t>(row)][static_cast<size_t>(col)].checked = checked;
    CellChanged(row, col, {Qt::CheckStateRole});
}

void GoodTableModel::SetCellColor(int32_t row, int32_t col, uint32_t color)
{
    if (!IsValidCell(row, col))
        return;
    cells_[static_cast<size_t>(row)][static_cast<size_t>(col)].color = color;
    CellChanged(row, col, {Qt::ForegroundRole, TextColorRole});
}

const ColInfo* GoodTableModel::ColumnAt(int32_t col) const
{
    return IsValidCol(col) ? &columns_[static_cast<size_t>(col)] : nullptr;
}

void GoodTableModel::SetColType(int32_t col, ColType type)
{
    if (!IsValidCol(col) || columns_[static_cast<size_t>(col)].type == type)
        return;
    columns_[static_cast<size_t>(col)].type = type;
    ColumnChanged(col);
}

void GoodTableModel::SetColReadOnly(int32_t col, bool readOnly)
{
    if (!IsValidCol(col))
        return;
    columns_[static_cast<size_t>(col)].readOnly = readOnly;
    ColumnChanged(col);
}

void GoodTableModel::SetColAlignment(int32_t col, ColAlignment alignment)
{
    if (!IsValidCol(col))
        return;
    columns_[static_cast<size_t>(col)].alignment = alignment;
    ColumnChanged(col);
}

QString GoodTableModel::Caption(int32_t col) const
{
    return IsValidCol(col) ? captions_.at(col) : QString();
}

void GoodTableModel::SetCaption(int32_t col, const QString& caption)
{
    if (!IsValidCol(col))
        return;
    captions_[col] = caption;
    emit headerDataChanged(Qt::Horizontal, col, col);
}

void GoodTableModel::SetReadOnly(bool readOnly)
{
    if (readOnly == readOnly_)
        return;
    readOnly_ = readOnly;
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}
