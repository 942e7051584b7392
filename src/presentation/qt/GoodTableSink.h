#pragma once

#include "controls/GoodTable.h"
#include "presentation/TableSink.h"

// Lets the archive and journal fills write into a grid of the device pages. Every column it
// sets up is a text column; the grid keeps no cell of an earlier fill that the new one does
// not write, since the fills write every cell of every row.
class GoodTableSink : public TableSink {
public:
    explicit GoodTableSink(TGoodTable& table) : table_(table) {}

    void SetColumns(const std::vector<TableColumn>& columns) override;
    void SetRowCount(size_t rows) override;
    void SetCell(size_t column, size_t row, const std::string& text, uint32_t colour) override;

private:
    TGoodTable& table_;
};
