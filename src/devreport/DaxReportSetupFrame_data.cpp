// The report data: the store of the period's records and the archive data sets' events.

#include "DaxReportSetupFrame.h"

#include "platform/Exceptions.h"

namespace {

constexpr std::array<const char16_t*, ReportDataSetTag::Count> kArchiveDataSetNames = {
    u"DayArchiveDataSet", u"HourArchiveDataSet", u"TotalArchiveDataSet"};

// Record n as a position: unsigned, so a negative RecNo is past the end.
bool Within(int32_t index, size_t count)
{
    return static_cast<uint32_t>(index) < count;
}

// A cell of the schema's column; a formatter that fails shows its message in the cell, as
// the device's tables do (the date column's text for a date that is none).
QString CellText(const ArchiveTableExchangeItem& column, ArchiveRecordBytes record)
{
    try {
        return QString::fromStdString(column.FormatCell(record));
    } catch (const platform::Exception& failure) {
        return QString::fromStdString(failure.Message());
    }
}

} // namespace

TReportData::TReportData()
{
    for (int32_t tag = 0; tag < ReportDataSetTag::Count; ++tag) {
        auto dataSet = std::make_unique<TrpUserDataSet>();
        dataSet->SetUserName(QString::fromUtf16(kArchiveDataSetNames[static_cast<size_t>(tag)]));
        dataSet->SetTag(tag);
        WireArchiveDataSetEvents(*dataSet);
        ArchiveDataSets.push_back(std::move(dataSet));
        ArchiveColumns.emplace_back();
    }
    NotStaffDataSet = std::make_unique<TrpSimpleBaseDataSet>(nullptr, 0);
    NotStaffDataSet->SetUserName(QStringLiteral("NotStaffDataSet"));
    InfoDataSet = std::make_unique<TrpSimpleBaseDataSet>(nullptr, 0);
    InfoDataSet->SetUserName(QStringLiteral("InfoDataSet"));
}

TReportData::~TReportData()
{
    ArchiveDataSets.clear();
    NotStaffDataSet.reset();
    InfoDataSet.reset();
}

void TReportData::WireArchiveDataSetEvents(TrpUserDataSet& dataSet)
{
    dataSet.OnCheckEOF = [this](TrpDataSet& sender, bool& eof) { ArchiveDataSetCheckEOF(sender, eof); };
    dataSet.OnNewGetValue = [this](TrpDataSet& sender, const QString& varName, Variant& value) {
        ArchiveDataSetGetValue(sender, varName, value);
    };
    // The position is the data set's own RecNo, which First, Next and Prior move.
    dataSet.OnFirst = [](TrpDataSet&) {};
    dataSet.OnNext = [](TrpDataSet&) {};
    dataSet.OnPrior = [](TrpDataSet&) {};
}

void TReportData::ArchiveDataSetCheckEOF(TrpDataSet& sender, bool& eof)
{
    const int32_t n = sender.RecNo();
    switch (sender.Tag()) {
    case ReportDataSetTag::Day:
        eof = !Within(n, DayRecords.size());
        break;
    case ReportDataSetTag::Hour:
        eof = !Within(n, HourRecords.size());
        break;
    case ReportDataSetTag::Total:
        eof = !Within(n, TotalRows.size());
        break;
    default:
        eof = true;
        break;
    }
}

const ArchiveTableExchangeItem* TReportData::FindColumn(size_t tag, const QString& name)
{
    const ArchiveTableExchangeContainer& columns = ArchiveColumns[tag];
    ColumnIndex& index = columnIndexes_[tag];
    const auto known = index.Positions.constFind(name);
    if (known != index.Positions.constEnd()) {
        const ArchiveTableExchangeItem* column = columns.Item(known->first);
        if (column != nullptr && column->GetName() == known->second)
            return column;
    }
    // Not in the index, or the schema changed since it was made: look the name up and, when
    // it is a column, index the schema as it is now.
    const std::string stored = name.toStdString();
    const ArchiveTableExchangeItem* column = columns.FindByName(stored);
    if (column == nullptr)
        return nullptr;
    index.Positions.clear();
    for (size_t i = columns.Count(); i-- > 0;) {
        const std::string& columnName = columns.Item(i)->GetName();
        index.Positions.insert(QString::fromStdString(columnName), {i, columnName});
    }
    return column;
}

void TReportData::ArchiveDataSetGetValue(TrpDataSet& sender, const QString& varName, Variant& value)
{
    const int32_t tag = sender.Tag();
    if (!Within(tag, ReportDataSetTag::Count))
        return;
    const int32_t n = sender.RecNo();
    if (varName == QStringView(kBadRecordField)) {
        if (Within(n, RowCount(tag)))
            value = Variant(IsBadRecord(tag, n));
        return;
    }
    const ArchiveTableExchangeItem* column = FindColumn(static_cast<size_t>(tag), varName);
    if (column == nullptr) {
        // An empty text, not a Null the report would print as the number 0.
        value = Variant(QString());
        return;
    }
    switch (tag) {
    case ReportDataSetTag::Day:
        if (Within(n, DayRecords.size()))
            value = Variant(CellText(*column, DayRecords[static_cast<uint32_t>(n)].bytes));
        break;
    case ReportDataSetTag::Hour:
        if (Within(n, HourRecords.size()))
            value = Variant(CellText(*column, HourRecords[static_cast<uint32_t>(n)].bytes));
        break;
    case ReportDataSetTag::Total:
        if (varName == u"Date") {
            if (Within(n, TotalCaptions.size()))
                value = Variant(TotalCaptions[static_cast<uint32_t>(n)]);
        } else if (Within(n, TotalRows.size())) {
            value = Variant(CellText(*column, TotalRows[static_cast<uint32_t>(n)].bytes));
        }
        break;
    default:
        break;
    }
}

size_t TReportData::RowCount(int32_t tag) const
{
    switch (tag) {
    case ReportDataSetTag::Day:
        return DayRecords.size();
    case ReportDataSetTag::Hour:
        return HourRecords.size();
    case ReportDataSetTag::Total:
        return TotalRows.size();
    default:
        return 0;
    }
}

bool TReportData::IsBadRecord(int32_t tag, int32_t record) const
{
    if (!Within(record, RowCount(tag)))
        return false;
    const auto n = static_cast<uint32_t>(record);
    switch (tag) {
    case ReportDataSetTag::Day:
        return !DayRecords[n].IsCheckWordValid();
    case ReportDataSetTag::Hour:
        return !HourRecords[n].IsCheckWordValid();
    default:
        // The period row is computed and keeps the end row's check word: it is as sound as
        // the two rows it comes from.
        if (n == 2 && TotalRows.size() == 3)
            return !TotalRows[0].IsCheckWordValid() || !TotalRows[1].IsCheckWordValid();
        return !TotalRows[n].IsCheckWordValid();
    }
}

void TReportData::ResetArchiveColumns()
{
    for (const auto& dataSet : ArchiveDataSets)
        dataSet->Clear();
    for (ArchiveTableExchangeContainer& columns : ArchiveColumns)
        columns.Clear();
    for (ColumnIndex& index : columnIndexes_)
        index.Positions.clear();
}
