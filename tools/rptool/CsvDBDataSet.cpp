#include "CsvDBDataSet.h"

#include <algorithm>

TrpCsvDBDataSet::TrpCsvDBDataSet()
{
    RangeEnd = reCount;
    table_.Enabled = false;
}

void TrpCsvDBDataSet::LoadFromFile(const QString& fileName)
{
    table_.LoadFromFile(fileName);
    TakeTable();
}

void TrpCsvDBDataSet::LoadFromText(const QByteArray& text, const QString& source)
{
    table_.LoadFromText(text, source);
    TakeTable();
}

void TrpCsvDBDataSet::TakeTable()
{
    const QStringList& fields = table_.Fields();
    widths_.clear();
    columns_.clear();
    for (int column = 0; column < fields.size(); ++column) {
        int32_t width = 1;
        for (const std::vector<Variant>& row : table_.Rows()) {
            if (static_cast<size_t>(column) < row.size() && !row[static_cast<size_t>(column)].IsNull())
                width = std::max<int32_t>(width, static_cast<int32_t>(row[static_cast<size_t>(column)].ToString().size()));
        }
        const QString key = fields[column].trimmed().toLower();
        if (!widths_.contains(key)) {
            widths_.insert(key, width);
            columns_.insert(key, column);
        }
    }
    fields_ = fields;
    fields_.sort(Qt::CaseInsensitive);
    fields_.removeDuplicates();
    RangeEndCount = table_.RowCount();
    First();
}

void TrpCsvDBDataSet::GetFieldList(QStringList& list)
{
    list = table_.Fields();
}

Variant TrpCsvDBDataSet::GetValue(const QString& fieldName)
{
    const int column = columns_.value(fieldName.trimmed().toLower(), -1);
    const int32_t record = RecNo();
    if (column < 0 || record < 0 || record >= table_.RowCount())
        return Variant::NullValue();
    const std::vector<Variant>& row = table_.Rows()[static_cast<size_t>(record)];
    return static_cast<size_t>(column) < row.size() ? row[static_cast<size_t>(column)] : Variant::NullValue();
}

QString TrpCsvDBDataSet::GetDisplayText(const QString& fieldName)
{
    const Variant value = GetValue(fieldName);
    return value.IsNull() ? QString() : value.ToString();
}

int32_t TrpCsvDBDataSet::GetDisplayWidth(const QString& fieldName)
{
    return widths_.value(fieldName.trimmed().toLower(), 10);
}

TrpFieldType TrpCsvDBDataSet::GetFieldType(const QString& fieldName)
{
    return table_.GetFieldType(fieldName);
}
