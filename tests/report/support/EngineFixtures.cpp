#include "EngineFixtures.h"

#include "PreparedPagesBuilder.h"
#include "ReportFakes.h"

#include "report/engine/rpDMPClass.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_styles.h"

#include <QBuffer>

namespace enginefixtures {

namespace {

using enginetest::AddBand;
using enginetest::AddMemo;

TrpReportPage* A4Page(TrpReport& report, const QString& name)
{
    report.CheckDataPage();
    auto* page = new TrpReportPage(&report);
    page->SetName(name);
    page->LeftMargin = page->TopMargin = page->RightMargin = page->BottomMargin = 10;
    return page;
}

// The report's data-set entry "Rows" (bound when the data set exists while the report loads).
void AddRowsEntry(TrpReport& report, TrpDataSet* dataSet)
{
    report.DataSets().Add(dataSet);
}

template <class Band>
Band* DataBand(TrpComponent* page, const QString& name, double top, double height, TrpDataSet* dataSet)
{
    auto* band = AddBand<Band>(page, name, top, height);
    band->SetDataSet(dataSet);
    return band;
}

} // namespace

QByteArray RowsCsv(int count)
{
    QByteArray csv = "N\r\n";
    for (int i = 1; i <= count; ++i)
        csv += QByteArray::number(i) + "\r\n";
    return csv;
}

QByteArray GroupsCsv()
{
    return "Key,N\r\nA,1\r\nA,2\r\nB,3\r\nC,4\r\nC,5\r\nC,6\r\n";
}

std::unique_ptr<TrpCsvDataSet> CsvData(const QString& name, const QByteArray& csv)
{
    auto dataSet = std::make_unique<TrpCsvDataSet>();
    dataSet->LoadFromText(csv, name);
    dataSet->SetUserName(name);
    return dataSet;
}

void BuildList(TrpReport& report, DataSets& keep)
{
    auto rows = CsvData(QStringLiteral("Rows"), RowsCsv(0));
    AddRowsEntry(report, rows.get());
    report.EngineOptions().DoublePass = true;
    TrpReportPage* page = A4Page(report, QStringLiteral("Page1"));
    auto* title = AddBand<TrpReportTitle>(page, QStringLiteral("ReportTitle1"), 0, 40);
    AddMemo(title, QStringLiteral("TitleText"), 0, 0, 400, 40, QStringLiteral("Список"));
    auto* header = AddBand<TrpHeader>(page, QStringLiteral("Header1"), 60, 20);
    header->ReprintOnNewPage = true;
    AddMemo(header, QStringLiteral("HeaderText"), 0, 0, 400, 20, QStringLiteral("Номер"));
    auto* master = DataBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 100, 20, rows.get());
    AddMemo(master, QStringLiteral("RowText"), 0, 0, 400, 20, QStringLiteral("[Rows.\"N\"]"));
    auto* footer = AddBand<TrpPageFooter>(page, QStringLiteral("PageFooter1"), 200, 20);
    AddMemo(footer, QStringLiteral("PageText"), 0, 0, 400, 20, QStringLiteral("Страница [Page#] из [TotalPages#]"));
    keep.push_back(std::move(rows));
}

void BuildGroups(TrpReport& report, DataSets& keep)
{
    auto rows = CsvData(QStringLiteral("Rows"), GroupsCsv());
    AddRowsEntry(report, rows.get());
    TrpReportPage* page = A4Page(report, QStringLiteral("Page1"));
    auto* group = AddBand<TrpGroupHeader>(page, QStringLiteral("GroupHeader1"), 0, 20);
    group->Condition = QStringLiteral("Rows.\"Key\"");
    AddMemo(group, QStringLiteral("GroupText"), 0, 0, 400, 20, QStringLiteral("Группа [Rows.\"Key\"]"));
    auto* master = DataBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 40, 20, rows.get());
    AddMemo(master, QStringLiteral("RowText"), 0, 0, 400, 20, QStringLiteral("[Rows.\"Key\"] [Rows.\"N\"]"));
    auto* footer = AddBand<TrpGroupFooter>(page, QStringLiteral("GroupFooter1"), 80, 20);
    AddMemo(footer, QStringLiteral("FooterText"), 0, 0, 400, 20, QStringLiteral("[Rows.\"Key\"] [COUNT()]"));
    keep.push_back(std::move(rows));
}

void BuildGiantLine(TrpReport& report, DataSets& keep)
{
    auto rows = CsvData(QStringLiteral("Rows"), RowsCsv(0));
    AddRowsEntry(report, rows.get());
    TrpReportPage* page = A4Page(report, QStringLiteral("Page1"));
    auto* master = DataBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 0, 40, rows.get());
    master->AllowSplit = true;
    TrpMemoView* memo = AddMemo(master, QStringLiteral("Giant"), 0, 0, 700, 40, QStringLiteral("[Rows.\"N\"]"));
    memo->StretchMode = smActualHeight;
    memo->Font().SetSize(1000);
    keep.push_back(std::move(rows));
}

void BuildSubreportCycle(TrpReport& report, DataSets&)
{
    TrpReportPage* page = A4Page(report, QStringLiteral("Page1"));
    auto* master = AddBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 0, 40);
    master->SetRowCount(1);
    auto* first = new TrpSubreport(master);
    first->SetName(QStringLiteral("Subreport1"));
    first->SetBounds(0, 0, 300, 40);
    TrpReportPage* inner = A4Page(report, QStringLiteral("Page2"));
    first->SetPage(inner);
    auto* innerMaster = AddBand<TrpMasterData>(inner, QStringLiteral("MasterData2"), 0, 40);
    innerMaster->SetRowCount(1);
    auto* second = new TrpSubreport(innerMaster);
    second->SetName(QStringLiteral("Subreport2"));
    second->SetBounds(0, 0, 300, 40);
    second->SetPage(inner);
}

void BuildColumns(TrpReport& report, DataSets&)
{
    TrpReportPage* page = A4Page(report, QStringLiteral("Page1"));
    auto* master = AddBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 0, 20);
    master->SetRowCount(5);
    master->SetColumns(2);
    master->ColumnWidth = 300;
    master->ColumnGap = 20;
    AddMemo(master, QStringLiteral("Cell"), 0, 0, 300, 20, QStringLiteral("Ячейка [Line#]"));
    auto* after = AddBand<TrpMasterData>(page, QStringLiteral("MasterData2"), 60, 20);
    after->SetRowCount(1);
    AddMemo(after, QStringLiteral("After"), 0, 0, 300, 20, QStringLiteral("После"));
}

void BuildSubreports(TrpReport& report, DataSets&)
{
    TrpReportPage* page = A4Page(report, QStringLiteral("Page1"));
    auto* master = AddBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 0, 30);
    master->SetRowCount(1);
    AddMemo(master, QStringLiteral("Caption"), 0, 0, 200, 20, QStringLiteral("Два подотчёта"));
    const struct {
        const char16_t* subreport;
        const char16_t* page;
        const char16_t* band;
        const char16_t* memo;
        double left;
        int rows;
    } kSides[] = {{u"Subreport1", u"Page2", u"MasterData2", u"Left", 0, 3},
                  {u"Subreport2", u"Page3", u"MasterData3", u"Right", 350, 5}};
    for (const auto& side : kSides) {
        auto* subreport = new TrpSubreport(master);
        subreport->SetName(QString::fromUtf16(side.subreport));
        subreport->SetBounds(side.left, 20, 300, 10);
        TrpReportPage* inner = A4Page(report, QString::fromUtf16(side.page));
        subreport->SetPage(inner);
        auto* rows = AddBand<TrpMasterData>(inner, QString::fromUtf16(side.band), 0, 20);
        rows->SetRowCount(side.rows);
        AddMemo(rows, QString::fromUtf16(side.memo), 0, 0, 300, 20,
                QString::fromUtf16(side.memo) + QStringLiteral(" [Line]"));
    }
    auto* below = AddBand<TrpMasterData>(page, QStringLiteral("MasterData4"), 60, 20);
    below->SetRowCount(1);
    AddMemo(below, QStringLiteral("Below"), 0, 0, 300, 20, QStringLiteral("Ниже"));
}

void BuildKeep(TrpReport& report, DataSets&)
{
    TrpReportPage* page = A4Page(report, QStringLiteral("Page1"));
    auto* title = AddBand<TrpReportTitle>(page, QStringLiteral("ReportTitle1"), 0, 40);
    AddMemo(title, QStringLiteral("TitleText"), 0, 0, 400, 40, QStringLiteral("Блоки"));
    auto* master = AddBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 60, 20);
    master->SetRowCount(15);
    master->KeepTogether = true;
    master->OutlineText = QStringLiteral("'Блок'");
    AddMemo(master, QStringLiteral("MasterText"), 0, 0, 400, 20, QStringLiteral("Блок [Line]"));
    auto* detail = AddBand<TrpDetailData>(page, QStringLiteral("DetailData1"), 100, 20);
    detail->SetRowCount(3);
    AddMemo(detail, QStringLiteral("DetailText"), 20, 0, 380, 20, QStringLiteral("Строка [Line]"));
}

void BuildScriptNewPage(TrpReport& report, DataSets& keep)
{
    BuildList(report, keep);
    dynamic_cast<TrpReportComponent*>(report.FindObject(u"MasterData1"))->OnAfterPrint = QStringLiteral("RowPrinted");
    report.SetScriptText({QStringLiteral("procedure RowPrinted(Sender: Variant);"), QStringLiteral("begin"),
                          QStringLiteral("  if Get('Line') = 10 then Engine.NewPage"), QStringLiteral("end;"),
                          QStringLiteral("begin"), QStringLiteral("end.")});
}

void BuildScriptSaveFile(TrpReport& report, DataSets&)
{
    TrpReportPage* page = A4Page(report, QStringLiteral("Page1"));
    auto* title = AddBand<TrpReportTitle>(page, QStringLiteral("ReportTitle1"), 0, 40);
    AddMemo(title, QStringLiteral("TitleText"), 0, 0, 400, 40, QStringLiteral("Отчёт"));
    report.SetScriptText({QStringLiteral("begin"), QStringLiteral("  Report.SaveToFile('script-saved.zi3')"),
                          QStringLiteral("end.")});
}

void BuildDotMatrix(TrpReport& report, DataSets& keep)
{
    auto rows = CsvData(QStringLiteral("Rows"), RowsCsv(0));
    AddRowsEntry(report, rows.get());
    report.DotMatrixReport = true;
    report.CheckDataPage();
    auto* page = new TrpDMPPage(&report);
    page->SetName(QStringLiteral("Page1"));
    page->SetDefaults();
    auto* title = AddBand<TrpReportTitle>(page, QStringLiteral("ReportTitle1"), 0, 34);
    auto* heading = new TrpDMPMemoView(title);
    heading->SetName(QStringLiteral("TitleText"));
    heading->SetBounds(0, 0, 480, 17);
    heading->SetText(QStringLiteral("Список строк"));
    heading->Frame().Typ = 1u << ftBottom;
    heading->SetFontStyle(1u << fsxBold);
    auto* master = DataBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 68, 17, rows.get());
    auto* cell = new TrpDMPMemoView(master);
    cell->SetName(QStringLiteral("RowText"));
    cell->SetBounds(0, 0, 96, 17);
    cell->SetText(QStringLiteral("[Rows.\"N\"]"));
    cell->Frame().Typ = (1u << ftLeft) | (1u << ftRight);
    auto* label = new TrpDMPMemoView(master);
    label->SetName(QStringLiteral("RowLabel"));
    label->SetBounds(115.2, 0, 192, 17);
    label->SetText(QStringLiteral("строка [Line]"));
    label->Frame().Typ = 1u << ftRight;
    auto* command = new TrpDMPCommand(master);
    command->SetName(QStringLiteral("Reset"));
    command->SetBounds(0, 0, 9.6, 17);
    command->Command = QStringLiteral("#27#64");
    keep.push_back(std::move(rows));
}

void BuildVertical(TrpReport& report, DataSets&)
{
    TrpReportPage* page = A4Page(report, QStringLiteral("Page1"));
    auto* header = AddBand<TrpHeader>(page, QStringLiteral("VHeader"), 0, 100);
    header->Vertical = true;
    header->ReprintOnNewPage = true;
    header->SetBounds(0, 0, 100, 100);
    auto* columns = AddBand<TrpMasterData>(page, QStringLiteral("VData"), 0, 100);
    columns->Vertical = true;
    columns->SetBounds(120, 0, 100, 100);
    columns->SetRowCount(10);
    auto* rows = AddBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 0, 20);
    rows->SetRowCount(2);
    AddMemo(rows, QStringLiteral("RowCaption"), 0, 0, 100, 20, QStringLiteral("Строка"));
    AddMemo(rows, QStringLiteral("Cell"), 120, 0, 100, 20, QStringLiteral("Кол. [Line]"));
}

void BuildParentSubreport(TrpReport& report, DataSets&)
{
    TrpReportPage* page = A4Page(report, QStringLiteral("Page1"));
    auto* master = AddBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 0, 20);
    master->SetRowCount(2);
    master->Stretched = true;
    AddMemo(master, QStringLiteral("Record"), 0, 0, 200, 20, QStringLiteral("Запись [Line]"));
    auto* subreport = new TrpSubreport(master);
    subreport->SetName(QStringLiteral("Subreport1"));
    subreport->SetBounds(300, 0, 300, 20);
    subreport->PrintOnParent = true;
    TrpReportPage* inner = A4Page(report, QStringLiteral("Page2"));
    subreport->SetPage(inner);
    auto* rows = AddBand<TrpMasterData>(inner, QStringLiteral("MasterData2"), 0, 20);
    rows->SetRowCount(3);
    AddMemo(rows, QStringLiteral("Nested"), 0, 0, 200, 20, QStringLiteral("Вложенная [Line]"));
    auto* after = AddBand<TrpMasterData>(page, QStringLiteral("MasterData3"), 60, 20);
    after->SetRowCount(1);
    AddMemo(after, QStringLiteral("After"), 0, 0, 200, 20, QStringLiteral("После"));
}

QByteArray SavedReport(const std::function<void(TrpReport&, DataSets&)>& build)
{
    // Fixed dates, so that the same generator writes the same bytes.
    const reporttest::FixedReportClock clock;
    TrpReport report;
    DataSets keep;
    build(report, keep);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    report.SaveToStream(buffer);
    return buffer.data();
}

const std::vector<Fixture>& Fixtures()
{
    static const std::vector<Fixture> fixtures = {
        {QStringLiteral("list"), BuildList, {QStringLiteral("Rows=rows-99.csv")}, QStringLiteral("list-99")},
        {QStringLiteral("groups"), BuildGroups, {QStringLiteral("Rows=groups.csv")}, QStringLiteral("groups")},
        {QStringLiteral("giant-line"), BuildGiantLine, {QStringLiteral("Rows=rows-98.csv")}, QString()},
        {QStringLiteral("subreport-cycle"), BuildSubreportCycle, {}, QString()},
        {QStringLiteral("columns"), BuildColumns, {}, QStringLiteral("columns")},
        {QStringLiteral("subreports"), BuildSubreports, {}, QStringLiteral("subreports")},
        {QStringLiteral("keep"), BuildKeep, {}, QStringLiteral("keep")},
        {QStringLiteral("script-newpage"), BuildScriptNewPage, {QStringLiteral("Rows=rows-98.csv")}, QString()},
        {QStringLiteral("script-savefile"), BuildScriptSaveFile, {}, QString()},
        {QStringLiteral("dmp"), BuildDotMatrix, {QStringLiteral("Rows=rows-98.csv")}, QString()},
        {QStringLiteral("vertical"), BuildVertical, {}, QStringLiteral("vertical")},
        {QStringLiteral("parent-subreport"), BuildParentSubreport, {}, QStringLiteral("parent-subreport")},
    };
    return fixtures;
}

std::vector<std::pair<QString, QByteArray>> CsvFiles()
{
    std::vector<std::pair<QString, QByteArray>> files;
    for (const int count : {0, 1, 48, 49, 98, 99, 1000})
        files.emplace_back(QStringLiteral("rows-%1.csv").arg(count), RowsCsv(count));
    files.emplace_back(QStringLiteral("groups.csv"), GroupsCsv());
    return files;
}

} // namespace enginefixtures
