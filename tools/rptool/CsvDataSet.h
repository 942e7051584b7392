#pragma once

// A data set over a CSV table, for tools, tests and benchmarks (not a part of the program):
// the header row names the fields, quotes follow RFC 4180, an empty cell is Null, a number in
// the C locale is a number and anything else is text. Values are read by record number, so the
// data set can step back (group footers read the last record of their group). It belongs to
// whoever made it, as every data set does.

#include "report/model/rpClass_datasets.h"

#include "report/core/Variant.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

// CSV files larger than this are refused before they are read.
inline constexpr qint64 kMaxCsvFileBytes = qint64{512} * 1024 * 1024;

class TrpCsvDataSet : public TrpUserDataSet {
public:
    TrpCsvDataSet();

    // Reads a UTF-8 CSV file; a file that cannot be read or is no CSV table raises
    // platform::Exception with the file name and the line.
    void LoadFromFile(const QString& fileName);
    // Parses CSV text (the same rules; `source` names it in errors).
    void LoadFromText(const QByteArray& text, const QString& source);
    // The in-memory form: field names and rows of values, each row as long as the field list.
    void SetTable(const QStringList& fields, std::vector<std::vector<Variant>> rows);

    int32_t RowCount() const { return static_cast<int32_t>(rows_.size()); }
    const std::vector<std::vector<Variant>>& Rows() const { return rows_; }

    Variant GetValue(const QString& fieldName) override;
    QString GetDisplayText(const QString& fieldName) override;
    // Numeric when every non-empty cell of the column is a number, else text.
    TrpFieldType GetFieldType(const QString& fieldName) override;
    int32_t RecordCount() override { return RowCount(); }

    // The table as CSV text (numbers in the C locale, text quoted where needed).
    QByteArray ToCsv() const;

    // One cell's text as a value: empty -> Null, a C-locale number -> a number, else the text.
    static Variant CellValue(const QString& text);

private:
    int FieldIndex(const QString& fieldName) const;

    std::vector<std::vector<Variant>> rows_;
    QHash<QString, int> index_; // lower-case field name -> column
    std::vector<TrpFieldType> types_;
};
