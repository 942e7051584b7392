#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Where the archive and journal fills put their tables: a grid on a page, a test's vectors or
// a tool's printout. The fills write every cell of every row they set, so a sink need not
// clear cells when its row count changes.

// Cell colours in the grid's 0x00BBGGRR form.
constexpr uint32_t kCellBlack = 0x000000;
constexpr uint32_t kCellRed = 0x0000FF;

enum class CellAlignment { Left, Right, Center };

// One column of a table. Every column the fills set up holds text.
struct TableColumn {
    std::string Caption;
    int32_t Width = 100;
    CellAlignment Alignment = CellAlignment::Center;
    bool ReadOnly = true;

    friend bool operator==(const TableColumn&, const TableColumn&) = default;
};

class TableSink {
public:
    virtual ~TableSink() = default;

    // Replaces the columns (their number, captions, widths, alignments, read-only flags).
    virtual void SetColumns(const std::vector<TableColumn>& columns) = 0;
    // Called once per fill, after everything was formatted.
    virtual void SetRowCount(size_t rows) = 0;
    // A cell within the columns and rows set; colour as kCellBlack or kCellRed.
    virtual void SetCell(size_t column, size_t row, const std::string& text, uint32_t colour) = 0;
};

struct TableCell {
    std::string Text;
    uint32_t Colour = kCellBlack;

    friend bool operator==(const TableCell&, const TableCell&) = default;
};

// Keeps a table in vectors: for tests and for tools that print tables.
class VectorTableSink : public TableSink {
public:
    void SetColumns(const std::vector<TableColumn>& columns) override;
    void SetRowCount(size_t rows) override;
    // A cell outside the columns or rows set is ignored.
    void SetCell(size_t column, size_t row, const std::string& text, uint32_t colour) override;

    const std::vector<TableColumn>& Columns() const { return columns_; }
    const std::vector<std::vector<TableCell>>& Rows() const { return rows_; }
    size_t RowCountSets() const { return rowCountSets_; } // how often SetRowCount was called

    std::vector<std::string> Captions() const;
    std::vector<std::string> RowTexts(size_t row) const;

private:
    std::vector<TableColumn> columns_;
    std::vector<std::vector<TableCell>> rows_; // rows_[row][column]
    size_t rowCountSets_ = 0;
};
