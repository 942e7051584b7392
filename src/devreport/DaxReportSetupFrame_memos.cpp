// Report variables and the column memos of the device reports' tables.

#include "DaxReportSetupFrame.h"

#include "report/core/Colors.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpVariables.h"

#include <cmath>

namespace {

// The width of the totals table's first column (the date captions), before scaling.
constexpr int32_t kTotalsDateColumnWidth = 120;
// Font sizes and row height at scale 1.
constexpr double kArchiveFontSize = 11;
constexpr double kTableFontSize = 10;
constexpr double kRowHeight = 17;
// A font is never smaller than this many points, however small the scale.
constexpr int32_t kMinFontSize = 1;

// The scale of this table against the page: min(1, page width / sum of widths, the scale of
// every earlier table of the report), and the shared scale lowered to it. A sum of 0 leaves
// the scale as it is.
float TableScale(double pageWidth, double sumOfWidths, float& shared)
{
    float r = shared;
    if (sumOfWidths > 0) {
        r = static_cast<float>(pageWidth / sumOfWidths);
        if (!(r >= 0))
            r = 0; // a page narrower than its margins, or no number
    }
    if (r > 1)
        r = 1;
    if (r > shared)
        r = shared;
    if (shared > r)
        shared = r;
    return r;
}

int32_t FontSize(double base, float r)
{
    return std::max(kMinFontSize, static_cast<int32_t>(std::trunc(base * std::pow(static_cast<double>(r), 0.7) + 0.5)));
}

int32_t RowHeight(float r)
{
    return static_cast<int32_t>(std::trunc(kRowHeight * std::pow(static_cast<double>(r), 0.5) + 0.5));
}

// The printable width of the band's page, as the engine gives it to a run.
double PageWidthOf(const TrpBand& band)
{
    const auto* page = dynamic_cast<const TrpReportPage*>(band.Page());
    return page != nullptr ? page->PrintableWidth() : 0;
}

void SetBandFont(TrpBand& band, int32_t size, bool bold, bool keepStyle = false)
{
    TrpFont font;
    font.Assign(band.Font());
    font.SetSize(size);
    if (!keepStyle)
        font.SetStyle(bold ? (font.Style() | kFontStyleBold) : font.Style());
    band.SetFont(font);
}

TrpMemoView* NewMemo(TrpBand& band, double left, double width, double height)
{
    auto* memo = new TrpMemoView(&band);
    memo->CreateUniqueName();
    memo->Align = baLeft;
    memo->SetLeft(left);
    memo->SetWidth(width);
    memo->SetHeight(height);
    return memo;
}

QString FieldText(const QString& dataSetName, const QString& fieldName)
{
    return QStringLiteral("[%1.\"%2\"]").arg(dataSetName, fieldName);
}

QString FieldExpression(const QString& dataSetName, const QString& fieldName)
{
    return QStringLiteral("%1.\"%2\"").arg(dataSetName, fieldName);
}

void ClearBands(TrpBand* header, TrpBand* groupHeader, TrpDataBand& dataBand)
{
    for (TrpBand* band : {header, groupHeader, static_cast<TrpBand*>(&dataBand)})
        if (band != nullptr)
            band->Clear();
}

void SetCondition(TrpBand& groupHeader, const QString& condition)
{
    if (auto* group = dynamic_cast<TrpGroupHeader*>(&groupHeader))
        group->Condition = condition;
}

// A row whose check word does not match prints in red: the memo's highlight, in the band's
// font, turns on through the data set's bad-record field.
void MarkBadRecords(TrpMemoView& memo, const TrpBand& band, const QString& dataSetName)
{
    TrpFont font;
    font.Assign(band.Font());
    font.SetColor(clRed);
    memo.Highlight().SetFont(font);
    memo.Highlight().Condition = FieldExpression(dataSetName, QString::fromUtf16(kBadRecordField));
}

} // namespace

void SetReportVariable(TrpReport& report, const QString& name, const QString& text)
{
    const int index = report.Variables().IndexOf(name);
    if (index < 0)
        return;
    report.Variables().Items(index)->Value = Variant(report.QuotedText(text));
}

void CreateArchiveColumnMemos(TReportData& data, TrpReport& report, TrpBand* header, TrpBand* groupHeader,
                              TrpDataBand& dataBand, int32_t index, float& scale)
{
    if (index < 0 || index >= ReportDataSetTag::Count)
        return;
    TrpUserDataSet& dataSet = *data.ArchiveDataSets[static_cast<size_t>(index)];
    const ArchiveTableExchangeContainer& columns = data.ArchiveColumns[static_cast<size_t>(index)];
    const bool totals = index == ReportDataSetTag::Total;

    ClearBands(header, groupHeader, dataBand);
    if (report.DataSets().Find(&dataSet) == nullptr)
        report.DataSets().Add(&dataSet);
    dataBand.SetDataSet(&dataSet);

    double sum = 0;
    for (size_t i = 0; i < columns.Count(); ++i) {
        if (i == 0 && groupHeader != nullptr)
            continue;
        sum += i == 0 && totals ? kTotalsDateColumnWidth : columns.Item(i)->GetWidth();
    }
    const float r = TableScale(PageWidthOf(dataBand), sum, scale);
    const int32_t f = FontSize(kArchiveFontSize, r);
    const int32_t h = RowHeight(r);
    if (header != nullptr) {
        SetBandFont(*header, std::max(kMinFontSize, f - 1), true);
        header->SetHeight(h);
    }
    if (groupHeader != nullptr) {
        SetBandFont(*groupHeader, f, true);
        groupHeader->SetHeight(h);
    }
    SetBandFont(dataBand, f, false);
    dataBand.SetHeight(h);

    const QString& dataSetName = dataSet.UserName();
    QStringList fields;
    double x = 0;
    for (size_t i = 0; i < columns.Count(); ++i) {
        const ArchiveTableExchangeItem& column = *columns.Item(i);
        const QString name = QString::fromStdString(column.GetName());
        fields << name;
        if (groupHeader != nullptr && i == 0) {
            TrpMemoView* memo = NewMemo(*groupHeader, 0, sum * r, h);
            memo->HAlign = haCenter;
            memo->SetFont(groupHeader->Font());
            memo->SetText(FieldText(dataSetName, name));
            MarkBadRecords(*memo, *groupHeader, dataSetName);
            SetCondition(*groupHeader, FieldExpression(dataSetName, name));
            continue;
        }
        double w = std::trunc(column.GetWidth() * r);
        if (totals && i == 0)
            w = kTotalsDateColumnWidth * r;
        if (header != nullptr) {
            TrpMemoView* caption = NewMemo(*header, x, w, h);
            caption->HAlign = haCenter;
            caption->VAlign = vaCenter;
            caption->WordWrap = false;
            caption->Frame().Typ = kAllFrameSides;
            caption->SetText(QString::fromStdString(column.GetCaption()));
        }
        TrpMemoView* value = NewMemo(dataBand, x, w, h);
        value->HAlign = totals && i == 0 ? haLeft : haCenter;
        value->VAlign = vaCenter;
        value->WordWrap = false;
        value->Frame().Typ = kAllFrameSides;
        value->SetText(FieldText(dataSetName, name));
        MarkBadRecords(*value, dataBand, dataSetName);
        x += w;
    }
    // The field list is this layout's alone: a second layout does not append to it.
    dataSet.SetFields(fields);
}

void CreateTableColumnMemos(TReportData& /*data*/, TrpReport& report, TrpBand* header, TrpBand* groupHeader,
                            TrpDataBand& dataBand, TrpSimpleBaseDataSet& dataSet, float& scale)
{
    const TSimpleBase& table = dataSet.Table;
    ClearBands(header, groupHeader, dataBand);
    if (report.DataSets().Find(&dataSet) == nullptr)
        report.DataSets().Add(&dataSet);
    dataBand.SetDataSet(&dataSet);

    double sum = 0;
    for (int32_t i = 0; i < table.FieldCount(); ++i)
        if (i != 0 || groupHeader == nullptr)
            sum += table.FieldWidth(i);
    const float r = TableScale(PageWidthOf(dataBand), sum, scale);
    const int32_t f = FontSize(kTableFontSize, r);
    const int32_t h = RowHeight(r);
    if (header != nullptr) {
        SetBandFont(*header, f, true);
        header->SetHeight(h);
    }
    if (groupHeader != nullptr) {
        SetBandFont(*groupHeader, f, false, true);
        groupHeader->SetHeight(h);
    }
    SetBandFont(dataBand, f, false);
    dataBand.SetHeight(h);

    const QString& dataSetName = dataSet.UserName();
    const TrpFrameTypes frame = groupHeader != nullptr ? 0 : kAllFrameSides;
    QStringList fields;
    double x = 0;
    for (int32_t i = 0; i < table.FieldCount(); ++i) {
        const QString name = table.FieldName(i);
        const int32_t width = table.FieldWidth(i);
        fields << name;
        if (groupHeader != nullptr && i == 0) {
            TrpMemoView* memo = NewMemo(*groupHeader, 0, sum, h);
            memo->HAlign = haCenter;
            memo->SetFont(groupHeader->Font());
            memo->Color = clBtnFace;
            memo->SetText(FieldText(dataSetName, name));
            SetCondition(*groupHeader, FieldExpression(dataSetName, name));
            continue;
        }
        if (header != nullptr) {
            TrpMemoView* caption = NewMemo(*header, x, width, h);
            caption->HAlign = haCenter;
            caption->VAlign = vaCenter;
            caption->WordWrap = true;
            caption->StretchMode = smMaxHeight;
            caption->Frame().Typ = frame;
            caption->SetText(name);
        }
        TrpMemoView* value = NewMemo(dataBand, x, width, h);
        const uint8_t align = table.FieldAlign(i);
        value->HAlign = align <= haBlock ? static_cast<TrpHAlign>(align) : haLeft;
        value->VAlign = vaCenter;
        value->WordWrap = true;
        value->StretchMode = smMaxHeight;
        value->Frame().Typ = frame;
        value->SetText(FieldText(dataSetName, name));
        x += width;
    }
    dataSet.SetFields(fields);
}
