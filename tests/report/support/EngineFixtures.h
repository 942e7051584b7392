#pragma once

// The engine's fixture reports, built in code by this one generator: each is saved under
// tests/report/engine/data/reports with its CSV files (engine_fixture_gen writes them; a test
// checks that the committed files are what the generator makes), and each has a golden
// `rptool zp3-dump` of its prepared pages.

#include "CsvDataSet.h"

#include "report/model/rpClass_report.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace enginefixtures {

// The data sets a built report refers to; they live as long as the caller keeps them.
using DataSets = std::vector<std::unique_ptr<TrpCsvDataSet>>;

// Rows "N" = 1..count, as rows-<count>.csv holds them.
QByteArray RowsCsv(int count);
// The key column of groups.csv: A, A, B, C, C, C (with N = 1..6).
QByteArray GroupsCsv();

// A CSV data set of the user name `name` over CSV text.
std::unique_ptr<TrpCsvDataSet> CsvData(const QString& name, const QByteArray& csv);

struct Fixture {
    QString name;                               // the report file's base name
    std::function<void(TrpReport&, DataSets&)> build;      // builds the report (data sets bound by name "Rows")
    QStringList csvArguments;                   // the --csv arguments of its golden run
    QString golden;                             // the golden's base name, empty for a run that fails
};

// Every fixture, in a fixed order.
const std::vector<Fixture>& Fixtures();
// Every CSV file of the fixtures: name and bytes.
std::vector<std::pair<QString, QByteArray>> CsvFiles();

// list.zi3: A4 portrait, 10 mm margins, title 40, header 20 (ReprintOnNewPage), rows 20 of
// Rows."N", page footer 20 "Страница [Page#] из [TotalPages#]", DoublePass.
void BuildList(TrpReport& report, DataSets& keep);
// groups.zi3: group header over Rows."Key", rows, group footer "[Rows."Key"] [COUNT()]".
void BuildGroups(TrpReport& report, DataSets& keep);
// giant-line.zi3: a row that may split holding one line taller than the page.
void BuildGiantLine(TrpReport& report, DataSets& keep);
// subreport-cycle.zi3: a subreport whose page holds a subreport of that same page.
void BuildSubreportCycle(TrpReport& report, DataSets& keep);
// columns.zi3: a two-column data band of 5 rows with a column footer.
void BuildColumns(TrpReport& report, DataSets& keep);
// subreports.zi3: two subreports side by side (3 and 5 rows), then a band below the taller.
void BuildSubreports(TrpReport& report, DataSets& keep);
// keep.zi3: masters that keep their three details together, across a page break.
void BuildKeep(TrpReport& report, DataSets& keep);
// script-newpage.zi3: list.zi3 whose script starts a new page after row 10.
void BuildScriptNewPage(TrpReport& report, DataSets& keep);
// script-savefile.zi3: a title only, and a script that saves the report as "script-saved.zi3".
void BuildScriptSaveFile(TrpReport& report, DataSets& keep);
// dmp.zi3: a dot-matrix page on defaults: a bold title with a bottom frame line, rows of
// framed cells with a printer command.
void BuildDotMatrix(TrpReport& report, DataSets& keep);

// vertical.zi3: two rows over a vertical header and ten vertical columns, across two pages.
void BuildVertical(TrpReport& report, DataSets& keep);

// parent-subreport.zi3: two records, each with a subreport of three rows printed on its band.
void BuildParentSubreport(TrpReport& report, DataSets& keep);

// The saved bytes of a report built by `build`.
QByteArray SavedReport(const std::function<void(TrpReport&, DataSets&)>& build);

} // namespace enginefixtures
