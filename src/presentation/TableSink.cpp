#include "TableSink.h"

void VectorTableSink::SetColumns(const std::vector<TableColumn>& columns)
{
    columns_ = columns;
    for (auto& row : rows_)
        row.resize(columns_.size());
}

void VectorTableSink::SetRowCount(size_t rows)
{
    ++rowCountSets_;
    rows_.resize(rows, std::vector<TableCell>(columns_.size()));
}

void VectorTableSink::SetCell(size_t column, size_t row, const std::string& text, uint32_t colour)
{
    if (row >= rows_.size() || column >= rows_[row].size())
        return;
    rows_[row][column] = TableCell{text, colour};
}

std::vector<std::string> VectorTableSink::Captions() const
{
    std::vector<std::string> out;
    for (const auto& column : columns_)
        out.push_back(column.Caption);
    return out;
}

std::vector<std::string> VectorTableSink::RowTexts(size_t row) const
{
    std::vector<std::string> out;
    if (row < rows_.size())
        for (const auto& cell : rows_[row])
            out.push_back(cell.Text);
    return out;
}
