#include "GoodTableSink.h"

#include <QHeaderView>

#include <algorithm>
#include <limits>

namespace {

constexpr size_t kMostIndex = std::numeric_limits<int32_t>::max();

// Indexes beyond the grid's range become one it refuses (it ignores them).
int32_t GridIndex(size_t index)
{
    return static_cast<int32_t>(std::min(index, kMostIndex));
}

ColAlignment GridAlignment(CellAlignment alignment)
{
    switch (alignment) {
    case CellAlignment::Left:
        return ColAlignment::Left;
    case CellAlignment::Right:
        return ColAlignment::Right;
    case CellAlignment::Center:
        break;
    }
    return ColAlignment::Center;
}

// A column is never narrower than its caption, so that no header is cut short: a flag column
// shown as a mask gets a width per bit, which a long caption over a few bits does not fit. A
// column given no width stays out of sight.
int32_t ShownWidth(int32_t width, int32_t captionWidth)
{
    return width > 0 ? std::max(width, captionWidth) : width;
}

} // namespace

void GoodTableSink::SetColumns(const std::vector<TableColumn>& columns)
{
    table_.SetColCount(GridIndex(columns.size()));
    for (size_t i = 0; i < columns.size(); ++i) {
        const int32_t col = GridIndex(i);
        table_.SetCaptions(col, columns[i].Caption);
        table_.SetWidths(col, ShownWidth(columns[i].Width, table_.horizontalHeader()->sectionSizeHint(col)));
        table_.SetColTypes(col, ColType::Text);
        table_.SetColReadOnly(col, columns[i].ReadOnly);
        table_.SetColAlignment(col, GridAlignment(columns[i].Alignment));
    }
}

void GoodTableSink::SetRowCount(size_t rows)
{
    table_.SetRowCount(GridIndex(rows));
}

void GoodTableSink::SetCell(size_t column, size_t row, const std::string& text, uint32_t colour)
{
    table_.SetCells(GridIndex(row), GridIndex(column), text);
    table_.SetCellsTextColor(GridIndex(row), GridIndex(column), colour);
}
