// The spreadsheet export read by LibreOffice Calc: the archive fixture and a report of
// Cyrillic, multi-line and long texts, written by both writers, are converted to CSV (UTF-8)
// in one headless run with a private profile; every text cell comes back as written, and the
// fast writer's numbers show as the report's texts. Labelled heavy and office.

#include "PreparedPagesBuilder.h"
#include "Subprocess.h"

#include "report/export/ExportRuntime.h"
#include "report/export/rpExportXLS.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

QString Tool(const char* name)
{
    return QDir(QFileInfo(QStringLiteral(DAX_EXPORT_TOOLS)).absoluteFilePath()).filePath(QString::fromLatin1(name));
}

QJsonObject RunJson(const char* tool, const QString& file)
{
    const auto run = testsupport::RunProgram({"/usr/bin/python3", Tool(tool).toStdString(), file.toStdString()});
    EXPECT_EQ(run.status, 0) << run.err;
    return QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
}

// The texts report: Cyrillic, several lines, a long text kept whole, a quote and a comma.
void ExportTexts(const QString& path, bool fast)
{
    PreparedReport prepared;
    ExportRuntime::init();
    TrpReport& report = prepared.Report();
    report.EngineOptions().NewSilentMode = simSilent;
    auto* page = new TrpReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10;
    auto* band = AddBand<TrpMasterData>(page, QStringLiteral("Band1"), 0, 200);
    AddMemo(band, QStringLiteral("A"), 0, 0, 200, 20, QStringLiteral("Часовые данные"));
    AddMemo(band, QStringLiteral("B"), 200, 0, 200, 40, QStringLiteral("первая\r\nвторая"));
    AddMemo(band, QStringLiteral("C"), 0, 20, 200, 20, QStringLiteral("«кавычки» \"и\", запятая"));
    AddMemo(band, QStringLiteral("D"), 0, 40, 400, 60, QString(1000, QChar(u'ё')));
    TrpPreviewPages& store = prepared.Store();
    prepared.Engine().Running = true;
    store.Initialize();
    store.AddSourcePage(page);
    store.BeginPass();
    store.AddPageAction = apAdd;
    store.AddPage(page);
    PrintBand(store, *band, 0);
    store.Finish();
    prepared.Engine().Running = false;
    auto filter = TrpCustomExportFilter::CreateNoRegister<TrpXLSExport>();
    filter->ShowDialog = false;
    filter->ShowProgress = false;
    filter->FastExport = fast;
    filter->TruncateLongTexts = false;
    filter->FileName = path;
    ASSERT_TRUE(report.Export(filter.get())) << report.Errors().join(u'\n').toStdString();
    ASSERT_TRUE(report.Errors().isEmpty()) << report.Errors().join(u'\n').toStdString();
}

} // namespace

TEST(XlsxLibreOffice, CalcReadsTheSameTexts)
{
    QTemporaryDir folder;
    const QDir dir(folder.path());
    const std::string data = QFileInfo(QStringLiteral(DAX_EXPORT_DATA)).absoluteFilePath().toStdString();
    const std::string rptool = QFileInfo(QStringLiteral(DAX_RPTOOL)).absoluteFilePath().toStdString();
    const std::string zp3 = dir.filePath(QStringLiteral("a.zp3")).toStdString();
    const auto prepare = testsupport::RunProgram(
        {rptool, "prepare", data + "/archive.zi3", "--csv", "Hours=" + data + "/hours.csv", "--out", zp3});
    ASSERT_EQ(prepare.status, 0) << prepare.err;
    const QStringList names{QStringLiteral("archive-fast"), QStringLiteral("archive-cells"), QStringLiteral("texts-fast"),
                            QStringLiteral("texts-cells")};
    for (const QString& name : names) {
        const QString path = dir.filePath(name + QStringLiteral(".xlsx"));
        const bool fast = name.endsWith(QStringLiteral("fast"));
        if (name.startsWith(QStringLiteral("archive"))) {
            const auto run = testsupport::RunProgram({rptool, "export", zp3, "--format", "xlsx", "--out", path.toStdString(),
                                                      "--set", fast ? "FastExport=True" : "FastExport=False"});
            ASSERT_EQ(run.status, 0) << run.err;
        } else {
            ExportTexts(path, fast);
        }
    }
    // One start of the office program for every file: its first start is slow.
    std::vector<std::string> convert = {"timeout", "180", "soffice",
                                        "-env:UserInstallation=file://" + dir.filePath(QStringLiteral("profile")).toStdString(),
                                        "--headless", "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76",
                                        "--outdir", dir.filePath(QStringLiteral("csv")).toStdString()};
    for (const QString& name : names)
        convert.push_back(dir.filePath(name + QStringLiteral(".xlsx")).toStdString());
    const auto converted = testsupport::RunProgram(convert);
    ASSERT_EQ(converted.status, 0) << converted.out << converted.err;

    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QJsonObject dump = RunJson("dump_xlsx.py", dir.filePath(name + QStringLiteral(".xlsx")));
        const QJsonObject grid = RunJson("csv_grid.py", dir.filePath(QStringLiteral("csv/") + name + QStringLiteral(".csv")));
        const QJsonObject cells = dump.value(QStringLiteral("cells")).toObject();
        int texts = 0;
        for (auto it = cells.begin(); it != cells.end(); ++it) {
            const QJsonObject cell = it.value().toObject();
            const QString type = cell.value(QStringLiteral("type")).toString();
            if (type == QStringLiteral("s")) {
                ++texts;
                EXPECT_EQ(grid.value(it.key()).toString(), cell.value(QStringLiteral("value")).toString())
                    << it.key().toStdString();
            } else if (type == QStringLiteral("n")) {
                EXPECT_DOUBLE_EQ(grid.value(it.key()).toString().toDouble(), cell.value(QStringLiteral("value")).toDouble())
                    << it.key().toStdString();
            }
        }
        EXPECT_GT(texts, 3);
        // Nothing shows where the workbook holds no value.
        for (auto it = grid.begin(); it != grid.end(); ++it) {
            const QString type = cells.value(it.key()).toObject().value(QStringLiteral("type")).toString();
            EXPECT_TRUE(type == QStringLiteral("s") || type == QStringLiteral("n")) << it.key().toStdString();
        }
    }
    // The fast writer's numbers show as the report's texts: both workbooks read the same.
    for (const char* kind : {"archive", "texts"}) {
        const QJsonObject fast = RunJson("csv_grid.py", dir.filePath(QStringLiteral("csv/%1-fast.csv").arg(QLatin1String(kind))));
        const QJsonObject cellsCsv = RunJson("csv_grid.py", dir.filePath(QStringLiteral("csv/%1-cells.csv").arg(QLatin1String(kind))));
        EXPECT_EQ(fast, cellsCsv) << kind;
        EXPECT_GT(fast.size(), 3) << kind;
    }
    const QJsonObject archive = RunJson("csv_grid.py", dir.filePath(QStringLiteral("csv/archive-cells.csv")));
    EXPECT_EQ(archive.value(QStringLiteral("A1")).toString(), QStringLiteral("Часовые данные"));
}
