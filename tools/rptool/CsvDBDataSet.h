#pragma once

// A CSV table behind the database data-set interface, so that what offers only database data
// sets (the report wizard) can use it: the same reading rules as TrpCsvDataSet, the fields in
// the header's order, and a display width per field (the longest cell text, at least 1).
// Tools and tests make one and keep it; it joins the process-wide data-set list while it lives.

#include "CsvDataSet.h"

#include "report/model/rpClass_datasets.h"

#include <QHash>
#include <QString>
#include <QStringList>

class TrpCsvDBDataSet : public TrpCustomDBDataSet {
public:
    TrpCsvDBDataSet();

    // Reads a UTF-8 CSV file as TrpCsvDataSet does; a file that cannot be read or is no CSV
    // table raises platform::Exception with the file name and the line.
    void LoadFromFile(const QString& fileName);
    void LoadFromText(const QByteArray& text, const QString& source);

    void GetFieldList(QStringList& list) override;
    Variant GetValue(const QString& fieldName) override;
    QString GetDisplayText(const QString& fieldName) override;
    int32_t GetDisplayWidth(const QString& fieldName) override;
    TrpFieldType GetFieldType(const QString& fieldName) override;
    int32_t RecordCount() override { return table_.RowCount(); }
    bool CanStepBack() const override { return true; }

private:
    void TakeTable();

    // The rows, read at this data set's record number; its own user name stays empty and it
    // is disabled, so that reports never find it.
    TrpCsvDataSet table_;
    QHash<QString, int32_t> widths_; // lower-case field name -> display width
    QHash<QString, int> columns_;    // lower-case field name -> column
};
