#include "CsvDataSet.h"

#include "report/core/NumberText.h"
#include "report/model/rpStreams.h"

#include "platform/Exceptions.h"

#include <QFile>

#include <charconv>
#include <cmath>
#include <limits>

namespace {

[[noreturn]] void Fail(const QString& source, int line, const QString& what)
{
    throw platform::Exception((source + QStringLiteral(": line ") + QString::number(line) + QStringLiteral(": ") + what)
                                  .toStdString());
}

// Splits CSV text into records of cells (RFC 4180: quoted cells may hold separators, line
// breaks and doubled quotes; CR LF or LF end a record).
std::vector<QStringList> ParseRecords(const QString& text, const QString& source)
{
    std::vector<QStringList> records;
    QStringList record;
    QString cell;
    bool quoted = false;
    bool wasQuoted = false;
    int line = 1;
    int recordLine = 1;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < size && text[i + 1] == u'"') {
                    cell += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == u'\n')
                    ++line;
                cell += c;
            }
            continue;
        }
        if (c == u'"') {
            if (!cell.isEmpty() || wasQuoted)
                Fail(source, line, QStringLiteral("a quote inside an unquoted cell"));
            quoted = true;
            wasQuoted = true;
        } else if (c == u',') {
            record << cell;
            cell.clear();
            wasQuoted = false;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < size && text[i + 1] == u'\n')
                ++i;
            record << cell;
            records.push_back(record);
            record.clear();
            cell.clear();
            wasQuoted = false;
            ++line;
            recordLine = line;
        } else {
            if (wasQuoted)
                Fail(source, line, QStringLiteral("text after a closing quote"));
            cell += c;
        }
    }
    if (quoted)
        Fail(source, recordLine, QStringLiteral("a quoted cell is not closed"));
    if (!cell.isEmpty() || wasQuoted || !record.isEmpty()) {
        record << cell;
        records.push_back(record);
    }
    return records;
}

QString QuotedCell(const QString& text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace

TrpCsvDataSet::TrpCsvDataSet()
{
    RangeEnd = reCount;
    ValuesFollowRecNo = true;
}

Variant TrpCsvDataSet::CellValue(const QString& text)
{
    if (text.isEmpty())
        return Variant::NullValue();
    const QByteArray bytes = text.toLatin1();
    if (text.size() == bytes.size() && !text.contains(u' ')) {
        const char* first = bytes.constData();
        const char* last = first + bytes.size();
        bool integral = true;
        for (const char* p = first; p != last; ++p) {
            if (!((*p >= '0' && *p <= '9') || (p == first && *p == '-')))
                integral = false;
        }
        if (integral) {
            int64_t value = 0;
            const auto [end, error] = std::from_chars(first, last, value);
            if (error == std::errc() && end == last) {
                if (value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max())
                    return Variant(static_cast<int32_t>(value));
                return Variant(static_cast<double>(value));
            }
        }
        double value = 0;
        const auto [end, error] = std::from_chars(first, last, value);
        if (error == std::errc() && end == last && std::isfinite(value))
            return Variant(value);
    }
    return Variant(text);
}

void TrpCsvDataSet::LoadFromFile(const QString& fileName)
{
    const std::unique_ptr<QFile> file = OpenFileForReading(fileName, kMaxCsvFileBytes);
    LoadFromText(file->readAll(), fileName);
}

void TrpCsvDataSet::LoadFromText(const QByteArray& text, const QString& source)
{
    QByteArray bytes = text;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const std::vector<QStringList> records = ParseRecords(QString::fromUtf8(bytes), source);
    if (records.empty())
        Fail(source, 1, QStringLiteral("no header row"));
    const QStringList fields = records.front();
    for (const QString& field : fields) {
        if (field.trimmed().isEmpty())
            Fail(source, 1, QStringLiteral("a field without a name"));
    }
    std::vector<std::vector<Variant>> rows;
    rows.reserve(records.size() - 1);
    for (size_t r = 1; r < records.size(); ++r) {
        const QStringList& record = records[r];
        if (record.size() == 1 && record.front().isEmpty())
            continue; // a blank line
        if (record.size() != fields.size())
            Fail(source, static_cast<int>(r) + 1,
                 QString::number(record.size()) + QStringLiteral(" cells, the header has ")
                     + QString::number(fields.size()));
        std::vector<Variant> row;
        row.reserve(static_cast<size_t>(record.size()));
        for (const QString& cell : record)
            row.push_back(CellValue(cell));
        rows.push_back(std::move(row));
    }
    SetTable(fields, std::move(rows));
}

void TrpCsvDataSet::SetTable(const QStringList& fields, std::vector<std::vector<Variant>> rows)
{
    SetFields(fields);
    index_.clear();
    for (int i = 0; i < fields.size(); ++i) {
        const QString key = fields[i].trimmed().toLower();
        if (!index_.contains(key))
            index_.insert(key, i);
    }
    types_.assign(static_cast<size_t>(fields.size()), fftNumeric);
    for (const auto& row : rows) {
        for (size_t c = 0; c < row.size() && c < types_.size(); ++c) {
            const VariantKind kind = row[c].Kind();
            if (!row[c].IsNull() && kind != VariantKind::Int32 && kind != VariantKind::Double)
                types_[c] = fftString;
        }
    }
    rows_ = std::move(rows);
    RangeEndCount = static_cast<int32_t>(rows_.size());
}

int TrpCsvDataSet::FieldIndex(const QString& fieldName) const
{
    return index_.value(fieldName.trimmed().toLower(), -1);
}

Variant TrpCsvDataSet::GetValue(const QString& fieldName)
{
    const int column = FieldIndex(fieldName);
    const int32_t record = RecNo();
    if (column < 0 || record < 0 || record >= RowCount())
        return Variant::NullValue();
    const std::vector<Variant>& row = rows_[static_cast<size_t>(record)];
    return static_cast<size_t>(column) < row.size() ? row[static_cast<size_t>(column)] : Variant::NullValue();
}

QString TrpCsvDataSet::GetDisplayText(const QString& fieldName)
{
    const Variant value = GetValue(fieldName);
    return value.IsNull() ? QString() : value.ToString();
}

TrpFieldType TrpCsvDataSet::GetFieldType(const QString& fieldName)
{
    const int column = FieldIndex(fieldName);
    return column >= 0 && static_cast<size_t>(column) < types_.size() ? types_[static_cast<size_t>(column)] : fftString;
}

QByteArray TrpCsvDataSet::ToCsv() const
{
    QString text;
    QStringList header;
    for (const QString& field : Fields())
        header << QuotedCell(field);
    text += header.join(u',') + QStringLiteral("\r\n");
    for (const auto& row : rows_) {
        QStringList cells;
        for (const Variant& value : row)
            cells << (value.IsNull() ? QString() : QuotedCell(value.ToString()));
        text += cells.join(u',') + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}
