#pragma once

// Reports built in code: the fixtures of tests/report/model/data/reports are these reports
// saved (ReportFilesTest checks that saving them still gives the files' bytes).

#include "report/model/ModelRuntime.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"

#include <QBuffer>
#include <QString>

#include <memory>

namespace reporttest {

// The date and time the fixtures were made (the services' clock while they are built).
inline constexpr double kFixtureNow = 46366.5;

// The password of the device-like fixture.
inline const QString kFixturePassword = QStringLiteral("secret");

inline QByteArray SaveReport(TrpReport& report)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    report.SaveToStream(buffer);
    return buffer.data();
}

// An empty report: the data page and one page.
inline std::unique_ptr<TrpReport> BuildMinimalReport()
{
    auto report = std::make_unique<TrpReport>();
    report->CheckDataPage();
    auto* page = new TrpReportPage(report.get());
    page->SetName(QStringLiteral("Page1"));
    return report;
}

inline TrpMemoView* AddMemo(TrpComponent* band, const QString& name, double left, double top, double width,
                            double height, const QString& text, TrpHAlign align = haCenter, bool bold = false,
                            TrpFrameTypes sides = kAllFrameSides)
{
    auto* memo = new TrpMemoView(band);
    memo->SetName(name);
    memo->SetBounds(left, top, width, height);
    memo->SetText(text);
    TrpFont font;
    font.SetName(QStringLiteral("Arial"));
    font.SetHeight(-13);
    font.SetStyle(bold ? kFontStyleBold : 0);
    memo->SetFont(font);
    memo->HAlign = align;
    memo->Frame().Typ = sides;
    return memo;
}

template <class Band>
Band* AddBand(TrpComponent* page, const QString& name, double top, double height)
{
    auto* band = new Band(page);
    band->SetName(name);
    band->SetBounds(0, top, 1047, height);
    return band;
}

// Shaped like the device reports' templates: landscape A4 with 10 mm margins, a title, a
// repeated header, a master data band with KeepHeader and RowCount 0, a footer, a page footer
// left off the first page, about forty framed Arial memos, a second page that continues on
// the previous one, variables under " Info", a style, two passes and a password.
inline std::unique_ptr<TrpReport> BuildDeviceLikeReport()
{
    auto report = std::make_unique<TrpReport>();
    report->CheckDataPage();
    report->EngineOptions().DoublePass = true;
    report->ReportOptions().Name = QStringLiteral("Архив суточный");
    report->ReportOptions().Author = QStringLiteral("DaxConfig");
    report->ReportOptions().Password = kFixturePassword;
    report->PrintOptions().ShowDialog = false;

    auto* page = new TrpReportPage(report.get());
    page->SetName(QStringLiteral("Page1"));
    page->SetDefaults();
    page->SetOrientation(poLandscape);

    auto* title = AddBand<TrpReportTitle>(page, QStringLiteral("ReportTitle1"), 20, 60);
    AddMemo(title, QStringLiteral("TitleMemo"), 0, 0, 1047, 30, QStringLiteral("Архив суточный [Model] № [Serial]"),
            haCenter, true, 0);
    AddMemo(title, QStringLiteral("PeriodMemo"), 0, 30, 1047, 30, QStringLiteral("за период с [Begin] по [End]"),
            haCenter, false, 0);

    auto* header = AddBand<TrpHeader>(page, QStringLiteral("Header1"), 100, 40);
    header->ReprintOnNewPage = true;
    header->Stretched = true;
    auto* master = AddBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 160, 20);
    master->KeepHeader = true;
    master->Stretched = true;
    master->SetRowCount(0);
    master->SetDataSetName(QStringLiteral("DayArchiveDataSet"));
    auto* footer = AddBand<TrpFooter>(page, QStringLiteral("Footer1"), 200, 20);
    auto* units = AddBand<TrpHeader>(page, QStringLiteral("Header2"), 140, 20);
    const char* const columns[] = {"Дата", "Q1, Гкал", "M1, т", "M2, т", "t1, °C", "t2, °C", "P1, МПа", "P2, МПа",
                                   "Тнар, ч", "НС"};
    const char* const fields[] = {"Date", "Q1", "M1", "M2", "T1", "T2", "P1", "P2", "Time", "Events"};
    for (int i = 0; i < 10; ++i) {
        const double left = 104.7 * i;
        AddMemo(header, QStringLiteral("HeaderMemo%1").arg(i + 1), left, 0, 104.7, 40,
                QString::fromUtf8(columns[i]), haCenter, true);
        AddMemo(units, QStringLiteral("NumberMemo%1").arg(i + 1), left, 0, 104.7, 20, QString::number(i + 1));
        TrpMemoView* cell = AddMemo(master, QStringLiteral("DataMemo%1").arg(i + 1), left, 0, 104.7, 20,
                                    QStringLiteral("[DayArchiveDataSet.\"%1\"]").arg(QString::fromLatin1(fields[i])),
                                    i == 0 ? haCenter : haRight, false, i == 9 ? TrpFrameTypes(7) : kAllFrameSides);
        cell->StretchMode = smActualHeight;
        AddMemo(footer, QStringLiteral("TotalMemo%1").arg(i + 1), left, 0, 104.7, 20,
                i == 0 ? QStringLiteral("Итого:") : QStringLiteral("[SUM([DataMemo%1])]").arg(i + 1), haRight, i == 0);
    }
    auto* pageFooter = AddBand<TrpPageFooter>(page, QStringLiteral("PageFooter1"), 700, 20);
    pageFooter->PrintOnFirstPage = false;
    AddMemo(pageFooter, QStringLiteral("PageMemo"), 847, 0, 200, 20, QStringLiteral("Страница [Page#] из [TotalPages#]"),
            haRight, false, 0);

    auto* second = new TrpReportPage(report.get());
    second->SetName(QStringLiteral("Page2"));
    second->SetDefaults();
    second->SetOrientation(poLandscape);
    second->PrintOnPreviousPage = true;
    auto* summary = AddBand<TrpReportSummary>(second, QStringLiteral("ReportSummary1"), 20, 40);
    auto* child = AddBand<TrpChild>(second, QStringLiteral("Child1"), 80, 20);
    summary->SetChild(child);
    AddMemo(summary, QStringLiteral("SignMemo"), 0, 0, 500, 40, QStringLiteral("Ответственный: ____________\r\nДата: [Date]"),
            haLeft, false, 0);
    AddMemo(child, QStringLiteral("NoteMemo"), 0, 0, 500, 20, QStringLiteral("Отчёт сформирован программой"), haLeft,
            false, 0);

    TrpVariables& variables = report->Variables();
    variables.SetValue(QStringLiteral(" Info"), Variant::NullValue());
    variables.SetValue(QStringLiteral("Model"), Variant(QStringLiteral("'Dax-02'")));
    variables.SetValue(QStringLiteral("Serial"), Variant(QStringLiteral("'000123'")));
    variables.SetValue(QStringLiteral("Begin"), Variant(QStringLiteral("'01.03.2026'")));
    variables.SetValue(QStringLiteral("End"), Variant(QStringLiteral("'31.03.2026'")));

    TrpStyleItem* style = report->Styles().Add();
    style->SetName(QStringLiteral("Heading"));
    style->Color = 0xE0E0E0;
    TrpFont font;
    font.SetName(QStringLiteral("Arial"));
    font.SetHeight(-13);
    font.SetStyle(kFontStyleBold);
    style->SetFont(font);
    style->Frame().Typ = kAllFrameSides;
    return report;
}

// Objects where the pages themselves hold them: a memo, a line and a shape straight on a
// report page beside a band, and a memo and a shape labelling the data page.
inline std::unique_ptr<TrpReport> BuildPageObjectsReport()
{
    std::unique_ptr<TrpReport> report = BuildMinimalReport();
    TrpComponent* dataPage = report->Pages(0);
    AddMemo(dataPage, QStringLiteral("DataNote"), 60, 60, 200, 20, QStringLiteral("Данные архива"), haLeft, false, 0);
    auto* dataBox = new TrpShapeView(dataPage);
    dataBox->SetName(QStringLiteral("DataBox"));
    dataBox->SetBounds(50, 10, 220, 80);

    TrpComponent* page = report->Pages(1);
    auto* title = AddBand<TrpReportTitle>(page, QStringLiteral("ReportTitle1"), 20, 40);
    AddMemo(title, QStringLiteral("TitleMemo"), 0, 0, 700, 40, QStringLiteral("Заголовок"), haCenter, true, 0);
    AddMemo(page, QStringLiteral("Stamp"), 500, 900, 200, 60, QStringLiteral("Черновик"), haCenter, true);
    auto* rule = new TrpLineView(page);
    rule->SetName(QStringLiteral("Rule"));
    rule->SetBounds(0, 880, 700, 0);
    auto* box = new TrpShapeView(page);
    box->SetName(QStringLiteral("Box"));
    box->SetBounds(490, 890, 220, 80);
    return report;
}

} // namespace reporttest
