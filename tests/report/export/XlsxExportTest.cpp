// The spreadsheet export through the real export road, over prepared pages built by hand,
// written as .xlsx and read back by an independent reader (openpyxl, through dump_xlsx.py),
// for both writers: values, merges, sizes, page set-up, page breaks as the prepared matrix gives
// them, pictures, failures that must leave an older file whole, and rptool export.

#include "ExportFixtures.h"
#include "PreparedPagesBuilder.h"
#include "ReadOnlyFolder.h"
#include "ReportFakes.h"
#include "Subprocess.h"

#include "report/export/ExportRuntime.h"
#include "report/export/rpExportMatrix.h"
#include "report/export/rpExportXLS.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpRes.h"
#include "report/model/rpClass_views.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <functional>

using namespace enginetest;

namespace {

// Pages of one band "Band1" (A4, 10 mm margins): `build` makes its objects, `fill` changes
// them for page N (from 1) before the band is printed on it.
PreparedReport Pages(int count, const std::function<void(TrpBand&)>& build,
                     const std::function<void(int, TrpBand&)>& fill = {},
                     const std::function<void(TrpReportPage&)>& setPage = {})
{
    PreparedReport prepared;
    ExportRuntime::init();
    TrpReport& report = prepared.Report();
    report.EngineOptions().NewSilentMode = simSilent;
    auto* page = new TrpReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10;
    if (setPage)
        setPage(*page);
    auto* band = AddBand<TrpMasterData>(page, QStringLiteral("Band1"), 0, 200);
    build(*band);
    TrpPreviewPages& store = prepared.Store();
    prepared.Engine().Running = true;
    store.Initialize();
    store.AddSourcePage(page);
    store.BeginPass();
    store.AddPageAction = apAdd;
    for (int p = 1; p <= count; ++p) {
        store.AddPage(page);
        PrintBand(store, *band, 0, [&] {
            if (fill)
                fill(p, *band);
        });
    }
    store.Finish();
    prepared.Engine().Running = false;
    return prepared;
}

TrpMemoView* Memo(TrpBand& band, const QString& name, double left, double top, double width, double height,
                  const QString& text)
{
    return AddMemo(&band, name, left, top, width, height, text);
}

// What the test reads of the prepared matrix.
struct MatrixFacts {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<double> ys;
    std::vector<double> pageBreaks;
    struct Placement {
        QString text;
        bool isText = true;
        int32_t x = 0, y = 0, dx = 0, dy = 0;
    };
    std::vector<Placement> objects;

    const Placement* Find(const QString& text) const
    {
        for (const Placement& p : objects)
            if (p.text == text)
                return &p;
        return nullptr;
    }
    // The first rows (0-based) of new pages by the export's rule: a break where a row edge
    // reaches the current page's break position.
    std::vector<int> ExpectedBreaks() const
    {
        std::vector<int> result;
        size_t page = 0;
        for (int32_t r = 1; r < height; ++r) {
            if (page < pageBreaks.size() && ys[size_t(r)] >= pageBreaks[page]) {
                result.push_back(r + 1);
                ++page;
            }
        }
        return result;
    }
};

struct Exported {
    bool exported = false;
    QStringList errors;
    QJsonObject dump;
    MatrixFacts matrix;
    QString path;
};

QString ColumnName(int column) // 0-based, as a reader names it
{
    QString name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

QString CellName(int x, int y)
{
    return ColumnName(x) + QString::number(y + 1);
}

QJsonObject Dump(const QString& path)
{
    const std::string tool =
        QDir(QFileInfo(QStringLiteral(DAX_EXPORT_TOOLS)).absoluteFilePath()).filePath(QStringLiteral("dump_xlsx.py")).toStdString();
    const auto run = testsupport::RunProgram({"/usr/bin/python3", tool, path.toStdString()});
    EXPECT_EQ(run.status, 0) << run.err;
    return QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
}

Exported Export(PreparedReport& prepared, const QString& folder, bool fast,
                const std::function<void(TrpXLSExport&)>& set = {})
{
    Exported result;
    result.path = QDir(folder).filePath(QStringLiteral("out.xlsx"));
    auto filter = TrpCustomExportFilter::CreateNoRegister<TrpXLSExport>();
    filter->ShowDialog = false;
    filter->ShowProgress = false;
    filter->FastExport = fast;
    filter->FileName = result.path;
    filter->OnMatrixPrepared = [&result](const TrpIEMatrix& m) {
        MatrixFacts& f = result.matrix;
        f.width = m.Width();
        f.height = m.Height();
        for (int32_t r = 0; r < m.Height(); ++r)
            f.ys.push_back(m.GetYPosById(r));
        for (int32_t p = 0; p < m.GetPagesCount(); ++p)
            f.pageBreaks.push_back(m.GetPageBreak(p));
        for (int32_t i = 0; i < m.GetObjectsCount(); ++i) {
            const TrpIEMObject* obj = m.GetObjectById(i);
            const TrpIEMObjectList* place = m.GetPlacement(i);
            if (obj == nullptr || place == nullptr)
                continue;
            f.objects.push_back({obj->Memo.join(u'\n'), obj->IsText, place->x, place->y, place->dx, place->dy});
        }
    };
    if (set)
        set(*filter);
    result.exported = prepared.Report().Export(filter.get());
    result.errors = prepared.Report().Errors();
    // Read back whatever workbook is there (an older non-workbook file is not).
    QFile written(result.path);
    if (written.open(QIODevice::ReadOnly) && written.read(2) == "PK")
        result.dump = Dump(result.path);
    return result;
}

QJsonObject Cell(const Exported& e, const QString& name)
{
    return e.dump.value(QStringLiteral("cells")).toObject().value(name).toObject();
}

QJsonObject CellOf(const Exported& e, const QString& text)
{
    const MatrixFacts::Placement* p = e.matrix.Find(text);
    EXPECT_NE(p, nullptr) << text.toStdString();
    return p != nullptr ? Cell(e, CellName(p->x, p->y)) : QJsonObject();
}

double RowHeight(const Exported& e, int row) // 1-based
{
    const QJsonValue own = e.dump.value(QStringLiteral("row_heights")).toObject().value(QString::number(row));
    return own.isDouble() ? own.toDouble() : e.dump.value(QStringLiteral("default_row_height")).toDouble();
}

const bool kWriters[] = {true, false};

const char* WriterName(bool fast)
{
    return fast ? "fast writer" : "cell writer";
}

} // namespace

TEST(XlsxExportRules, ValuesFormatsAndHeights)
{
    struct FormatCase {
        const char* format;
        const char* expected;
    };
    const FormatCase formats[] = {
        {"%2.2n", "#,##0.00"}, {"%.0m", "#,##0"}, {"%10.3f", "0.000"}, {"%d", "#"},
        {"%2.2d", "#.##"},     {"%g", ""},        {"", ""},            {"%.x2n", "#,##0"},
    };
    for (const FormatCase& c : formats)
        EXPECT_EQ(TrpXLSExport::NumberFormat(QString::fromUtf8(c.format)), QString::fromUtf8(c.expected)) << c.format;

    struct NumberCase {
        const char* text;
        const char* thousand;
        const char* decimal;
        bool ok;
        double value;
    };
    const NumberCase numbers[] = {
        {"1 234,50", " ", ",", true, 1234.5},
        {"1,234.5", ",", ".", true, 1234.5},
        {"-12.5 р.", "", ".", true, -12.5},
        {"12.", "", ".", true, 12},
        {"0,25", "", ",", true, 0.25},
        {"н/д", " ", ",", false, 0},
        {"", " ", ",", false, 0},
        {"—", "", ".", false, 0},
    };
    for (const NumberCase& c : numbers) {
        double value = -1;
        EXPECT_EQ(TrpXLSExport::NumberValue(QString::fromUtf8(c.text), QString::fromUtf8(c.thousand),
                                            QString::fromUtf8(c.decimal), value),
                  c.ok)
            << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(value, c.value) << c.text;
        }
    }

    EXPECT_EQ(TrpXLSExport::CellText({QStringLiteral("a\r"), QStringLiteral("b"), QString(), QString()}),
              QStringLiteral("a\nb"));
    EXPECT_EQ(TrpXLSExport::CellText({QStringLiteral("x"), QString(), QStringLiteral("y")}), QStringLiteral("x\n\ny"));
    EXPECT_DOUBLE_EQ(TrpXLSExport::QuarterPoints(20 / 1.315), 15.25);
    EXPECT_DOUBLE_EQ(TrpXLSExport::QuarterPoints(15.1), 15.0);
    EXPECT_DOUBLE_EQ(TrpXLSExport::QuarterPoints(15.125), 15.0); // halves to the even quarter
}

TEST(XlsxExport, TextsNumbersAndLongTextsInBothWriters)
{
    const QString longText = QString(600, QChar(u'Ж')) + QString(400, QChar(u'z'));
    PreparedReport prepared = Pages(1, [&](TrpBand& band) {
        Memo(band, QStringLiteral("Cyr"), 0, 0, 150, 20, QStringLiteral("Часовые данные"));
        TrpMemoView* number = Memo(band, QStringLiteral("Num"), 150, 0, 100, 20, QStringLiteral("1 234,50"));
        number->DisplayFormat().Kind = fkNumeric;
        number->DisplayFormat().FormatStr = QStringLiteral("%2.2n");
        number->DisplayFormat().DecimalSeparator = QStringLiteral(",");
        number->DisplayFormat().ThousandSeparator = QStringLiteral(" ");
        TrpMemoView* none = Memo(band, QStringLiteral("NoDigits"), 250, 0, 100, 20, QStringLiteral("н/д"));
        none->DisplayFormat().Kind = fkNumeric;
        none->DisplayFormat().FormatStr = QStringLiteral("%2.2n");
        Memo(band, QStringLiteral("Long"), 0, 20, 350, 40, longText);
        Memo(band, QStringLiteral("Lines"), 350, 0, 100, 60, QStringLiteral("первая\r\nвторая\r\n\r\n"));
    });
    for (const bool fast : kWriters) {
        for (const bool asText : {false, true}) {
            for (const bool truncate : {true, false}) {
                SCOPED_TRACE(std::string(WriterName(fast)) + (asText ? " as text" : "") + (truncate ? " truncating" : ""));
                QTemporaryDir folder;
                prepared.Report().ClearErrors();
                const Exported e = Export(prepared, folder.path(), fast, [&](TrpXLSExport& f) {
                    f.AsText = asText;
                    f.TruncateLongTexts = truncate;
                });
                ASSERT_TRUE(e.exported) << e.errors.join(u'\n').toStdString();
                EXPECT_TRUE(e.errors.isEmpty()) << e.errors.join(u'\n').toStdString();
                EXPECT_EQ(CellOf(e, QStringLiteral("Часовые данные")).value(QStringLiteral("value")).toString(),
                          QStringLiteral("Часовые данные"));
                const QJsonObject number = CellOf(e, QStringLiteral("1 234,50"));
                if (fast && !asText) {
                    EXPECT_EQ(number.value(QStringLiteral("type")).toString(), QStringLiteral("n"));
                    EXPECT_DOUBLE_EQ(number.value(QStringLiteral("value")).toDouble(), 1234.5);
                    EXPECT_EQ(number.value(QStringLiteral("number_format")).toString(), QStringLiteral("#,##0.00"));
                } else {
                    EXPECT_EQ(number.value(QStringLiteral("type")).toString(), QStringLiteral("s"));
                    EXPECT_EQ(number.value(QStringLiteral("value")).toString(), QStringLiteral("1 234,50"));
                }
                const QJsonObject none = CellOf(e, QStringLiteral("н/д"));
                EXPECT_EQ(none.value(QStringLiteral("type")).toString(), QStringLiteral("s"));
                EXPECT_EQ(none.value(QStringLiteral("value")).toString(), QStringLiteral("н/д"));
                EXPECT_EQ(CellOf(e, longText).value(QStringLiteral("value")).toString(),
                          truncate ? longText.left(900) : longText);
                EXPECT_EQ(CellOf(e, QStringLiteral("первая\nвторая\n")).value(QStringLiteral("value")).toString(),
                          QStringLiteral("первая\nвторая"));
            }
        }
    }
}

TEST(XlsxExport, MergesStylesAndSizes)
{
    PreparedReport prepared = Pages(
        1,
        [](TrpBand& band) {
            TrpMemoView* title = Memo(band, QStringLiteral("Title"), 0, 0, 160, 20, QStringLiteral("Заголовок"));
            title->Font().SetStyle(kFontStyleBold);
            title->Font().SetName(QStringLiteral("Arial"));
            title->Color = RgbToColor(0xFFFF00);
            title->Frame().Typ = kAllFrameSides;
            title->HAlign = haRight;
            Memo(band, QStringLiteral("Left"), 0, 20, 80, 40, QStringLiteral("Л"));
            Memo(band, QStringLiteral("Right"), 80, 20, 80, 40, QStringLiteral("П"));
        },
        {}, [](TrpReportPage& page) { page.SetOrientation(poLandscape); });
    for (const bool fast : kWriters) {
        for (const bool merge : {true, false}) {
            SCOPED_TRACE(std::string(WriterName(fast)) + (merge ? " merging" : ""));
            QTemporaryDir folder;
            const Exported e = Export(prepared, folder.path(), fast, [&](TrpXLSExport& f) {
                f.MergeCells = merge;
                f.GridLines = !fast;
            });
            ASSERT_TRUE(e.exported) << e.errors.join(u'\n').toStdString();
            const MatrixFacts::Placement* title = e.matrix.Find(QStringLiteral("Заголовок"));
            ASSERT_NE(title, nullptr);
            EXPECT_EQ(title->dx, 2);
            const QJsonArray merged = e.dump.value(QStringLiteral("merged")).toArray();
            if (merge) {
                ASSERT_EQ(merged.size(), 1);
                EXPECT_EQ(merged[0].toString(), CellName(title->x, title->y) + u':'
                                                    + CellName(title->x + title->dx - 1, title->y + title->dy - 1));
            } else {
                EXPECT_TRUE(merged.isEmpty());
            }
            const QJsonObject style = CellOf(e, QStringLiteral("Заголовок")).value(QStringLiteral("style")).toObject();
            EXPECT_TRUE(style.value(QStringLiteral("bold")).toBool());
            EXPECT_EQ(style.value(QStringLiteral("font")).toString(), QStringLiteral("Arial"));
            EXPECT_EQ(style.value(QStringLiteral("fill")).toString(), QStringLiteral("FFFF00"));
            EXPECT_EQ(style.value(QStringLiteral("halign")).toString(), QStringLiteral("right"));
            EXPECT_TRUE(style.value(QStringLiteral("wrap")).toBool());
            EXPECT_EQ(style.value(QStringLiteral("borders")).toArray().size(), 4);
            // A transparent memo: filled white by the cell writer only.
            const QJsonObject plain = CellOf(e, QStringLiteral("Л")).value(QStringLiteral("style")).toObject();
            EXPECT_EQ(plain.value(QStringLiteral("fill")), fast ? QJsonValue() : QJsonValue(QStringLiteral("FFFFFF")));
            // The second covered cell keeps the style without a merge.
            const QJsonObject second = Cell(e, CellName(title->x + 1, title->y));
            if (!merge) {
                EXPECT_EQ(second.value(QStringLiteral("style")).toObject().value(QStringLiteral("fill")).toString(),
                          QStringLiteral("FFFF00"));
            }
            // Columns of 80 px: 10 characters, stored with the writer's padding.
            const QJsonObject widths = e.dump.value(QStringLiteral("column_widths")).toObject();
            EXPECT_NEAR(widths.value(ColumnName(title->x)).toDouble(), 10.71, 0.01);
            // Rows of 20 px and of 40 px.
            EXPECT_NEAR(RowHeight(e, title->y + 1), fast ? 15.25 : 20 / 1.315, 0.001);
            EXPECT_NEAR(RowHeight(e, title->y + 2), fast ? 30.5 : 40 / 1.315, 0.001);
            // 10 mm margins x 2.6 points, in inches; landscape as the first page.
            const QJsonObject margins = e.dump.value(QStringLiteral("margins")).toObject();
            for (const char* side : {"left", "right", "top", "bottom"})
                EXPECT_NEAR(margins.value(QString::fromLatin1(side)).toDouble(), 26.0 / 72, 1e-6) << side;
            EXPECT_EQ(e.dump.value(QStringLiteral("orientation")).toString(), QStringLiteral("landscape"));
            EXPECT_EQ(e.dump.value(QStringLiteral("gridlines")).toBool(), !fast);
        }
    }
}

TEST(XlsxExport, ManyColumnsAreNamedAsAReaderNamesThem)
{
    // 300 columns of 2 px, and the named ones checked literally: 27 AA, 52 AZ, 53 BA.
    PreparedReport prepared = Pages(1, [](TrpBand& band) {
        for (int i = 0; i < 300; ++i)
            Memo(band, QStringLiteral("C%1").arg(i), 2 * i, 0, 2, 20, QStringLiteral("c%1").arg(i + 1));
    });
    for (const bool fast : kWriters) {
        SCOPED_TRACE(WriterName(fast));
        QTemporaryDir folder;
        const Exported e = Export(prepared, folder.path(), fast);
        ASSERT_TRUE(e.exported) << e.errors.join(u'\n').toStdString();
        EXPECT_EQ(Cell(e, QStringLiteral("AA1")).value(QStringLiteral("value")).toString(), QStringLiteral("c27"));
        EXPECT_EQ(Cell(e, QStringLiteral("AZ1")).value(QStringLiteral("value")).toString(), QStringLiteral("c52"));
        EXPECT_EQ(Cell(e, QStringLiteral("BA1")).value(QStringLiteral("value")).toString(), QStringLiteral("c53"));
        // Beyond the old format's 255 columns.
        EXPECT_EQ(Cell(e, QStringLiteral("IW1")).value(QStringLiteral("value")).toString(), QStringLiteral("c257"));
        EXPECT_EQ(Cell(e, QStringLiteral("KN1")).value(QStringLiteral("value")).toString(), QStringLiteral("c300"));
        EXPECT_EQ(e.dump.value(QStringLiteral("max_column")).toInt(), 300);
    }
}

TEST(XlsxExport, PageBreaksFollowThePreparedMatrix)
{
    struct Case {
        const char* name;
        int pages;
        bool emptyLines;
        bool breaks;
    };
    const Case cases[] = {
        {"three pages", 3, true, true},
        {"empty rows removed", 3, false, true},
        {"breaks off", 3, true, false},
    };
    PreparedReport prepared;
    for (const Case& c : cases) {
        TrpMemoView* top = nullptr;
        TrpMemoView* low = nullptr;
        prepared = Pages(c.pages, [&](TrpBand& band) {
            top = Memo(band, QStringLiteral("Top"), 0, 0, 100, 20, QString());
            low = Memo(band, QStringLiteral("Low"), 0, 100, 100, 20, QString());
        }, [&](int page, TrpBand&) {
            top->SetText(QStringLiteral("верх %1").arg(page));
            low->SetText(QStringLiteral("низ %1").arg(page));
        });
        for (const bool fast : kWriters) {
            SCOPED_TRACE(std::string(c.name) + ", " + WriterName(fast));
            QTemporaryDir folder;
            const Exported e = Export(prepared, folder.path(), fast, [&](TrpXLSExport& f) {
                f.EmptyLines = c.emptyLines;
                f.PageBreaks = c.breaks;
            });
            ASSERT_TRUE(e.exported) << e.errors.join(u'\n').toStdString();
            std::vector<int> got;
            for (const QJsonValue& v : e.dump.value(QStringLiteral("page_breaks")).toArray())
                got.push_back(v.toInt());
            const std::vector<int> expected = c.breaks ? e.matrix.ExpectedBreaks() : std::vector<int>{};
            EXPECT_EQ(got, expected);
            if (c.breaks && c.emptyLines) {
                EXPECT_EQ(got.size(), size_t(c.pages));
            }
            // Each page's texts are on rows in page order.
            int lastRow = -1;
            for (int p = 1; p <= c.pages; ++p) {
                const MatrixFacts::Placement* top = e.matrix.Find(QStringLiteral("верх %1").arg(p));
                ASSERT_NE(top, nullptr);
                EXPECT_GT(top->y, lastRow);
                lastRow = top->y;
                EXPECT_EQ(Cell(e, CellName(top->x, top->y)).value(QStringLiteral("value")).toString(),
                          QStringLiteral("верх %1").arg(p));
            }
        }
    }
}

TEST(XlsxExport, MorePageBreaksThanAWorksheetKeepsGiveOneErrorLine)
{
    TrpMemoView* memo = nullptr;
    PreparedReport prepared = Pages(1100, [&](TrpBand& band) { memo = Memo(band, QStringLiteral("M"), 0, 0, 100, 20, QString()); },
                                    [&](int page, TrpBand&) { memo->SetText(QString::number(page)); });
    QTemporaryDir folder;
    const Exported e = Export(prepared, folder.path(), true);
    ASSERT_EQ(e.errors.size(), 1) << e.errors.join(u'\n').toStdString();
    EXPECT_EQ(e.errors[0], QStringLiteral("Разрывов страниц 1100, а лист книги XLSX хранит не больше 1023: "
                                          "последующие разрывы не записаны"));
    const QJsonArray breaks = e.dump.value(QStringLiteral("page_breaks")).toArray();
    ASSERT_EQ(breaks.size(), 1023);
    const std::vector<int> expected = e.matrix.ExpectedBreaks();
    ASSERT_EQ(expected.size(), 1100u);
    for (int i = 0; i < 1023; ++i)
        ASSERT_EQ(breaks[i].toInt(), expected[size_t(i)]) << i;
    EXPECT_EQ(Cell(e, CellName(0, e.matrix.Find(QStringLiteral("1100"))->y)).value(QStringLiteral("value")).toString(),
              QStringLiteral("1100"));
}

TEST(XlsxExport, PictureCellAtItsObjectsCorner)
{
    PreparedReport prepared = Pages(1, [](TrpBand& band) {
        Memo(band, QStringLiteral("Before"), 0, 0, 100, 20, QStringLiteral("до"));
        auto* shape = new TrpShapeView(&band);
        shape->SetName(QStringLiteral("Ellipse"));
        shape->Shape = skEllipse;
        shape->SetBounds(100, 20, 138, 69);
        shape->Color = RgbToColor(0x3366CC);
    });
    for (const bool fast : kWriters) {
        SCOPED_TRACE(WriterName(fast));
        QTemporaryDir folder;
        const Exported e = Export(prepared, folder.path(), fast);
        ASSERT_TRUE(e.exported) << e.errors.join(u'\n').toStdString();
        const MatrixFacts::Placement* picture = nullptr;
        for (const MatrixFacts::Placement& p : e.matrix.objects)
            if (!p.isText)
                picture = &p;
        ASSERT_NE(picture, nullptr);
        const QJsonArray pictures = e.dump.value(QStringLiteral("pictures")).toArray();
        ASSERT_EQ(pictures.size(), 1);
        const QJsonObject pic = pictures[0].toObject();
        EXPECT_TRUE(pic.value(QStringLiteral("png")).toBool());
        const QJsonObject from = pic.value(QStringLiteral("from")).toObject();
        EXPECT_EQ(from.value(QStringLiteral("col")).toInt(), picture->x);
        EXPECT_EQ(from.value(QStringLiteral("row")).toInt(), picture->y);
        // Moved by one point (a pixel) by the fast writer.
        constexpr int kEmuPerPixel = 9525;
        EXPECT_EQ(from.value(QStringLiteral("colOff")).toInt(), fast ? kEmuPerPixel : 0);
        EXPECT_EQ(from.value(QStringLiteral("rowOff")).toInt(), fast ? kEmuPerPixel : 0);
        // Object size / 1.38 points: 100 x 50 points.
        constexpr double kEmuPerPoint = 12700;
        const QJsonObject extent = pic.value(QStringLiteral("extent")).toObject();
        EXPECT_NEAR(extent.value(QStringLiteral("cx")).toDouble(), 100 * kEmuPerPoint, kEmuPerPixel);
        EXPECT_NEAR(extent.value(QStringLiteral("cy")).toDouble(), 50 * kEmuPerPoint, kEmuPerPixel);
    }
}

TEST(XlsxExport, FailuresLeaveTheOlderFileWholeAndNoTemporaryFile)
{
    PreparedReport prepared =
        Pages(1, [](TrpBand& band) { Memo(band, QStringLiteral("M"), 0, 0, 100, 20, QStringLiteral("новое")); });
    const auto olderFile = [](const QString& folder) {
        QFile file(QDir(folder).filePath(QStringLiteral("out.xlsx")));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("older workbook");
    };
    const auto check = [](const QString& folder) {
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("out.xlsx")});
        QFile file(QDir(folder).filePath(QStringLiteral("out.xlsx")));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("older workbook"));
    };
    {
        SCOPED_TRACE("read-only folder");
        QTemporaryDir folder;
        olderFile(folder.path());
        testsupport::ReadOnlyFolder readOnly(folder.path().toStdString());
        if (!readOnly.Ok())
            GTEST_SKIP() << "the file system cannot make a folder read-only";
        prepared.Report().ClearErrors();
        const Exported e = Export(prepared, folder.path(), true);
        ASSERT_EQ(e.errors.size(), 1);
        EXPECT_TRUE(e.errors[0].startsWith(QStringLiteral("Cannot create file"))) << e.errors[0].toStdString();
        check(folder.path());
    }
    {
        // The file system refuses the workbook's bytes (files may grow to 1 KB): libxlsxwriter
        // fails while it writes the workbook, and its reason is reported.
        SCOPED_TRACE("writing the workbook fails");
        QTemporaryDir folder;
        olderFile(folder.path());
        prepared.Report().ClearErrors();
        struct rlimit saved {};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = saved;
        limited.rlim_cur = 1024;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        const Exported e = Export(prepared, folder.path(), true);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        ASSERT_EQ(e.errors.size(), 1);
        EXPECT_TRUE(e.errors[0].startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(e.path)))
            << e.errors[0].toStdString();
        check(folder.path());
    }
    {
        // The workbook is whole but cannot take the target's place (a folder of that name).
        SCOPED_TRACE("the target cannot be replaced");
        QTemporaryDir folder;
        ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("out.xlsx/inner")));
        prepared.Report().ClearErrors();
        const Exported e = Export(prepared, folder.path(), false);
        ASSERT_EQ(e.errors.size(), 1);
        EXPECT_TRUE(e.errors[0].startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(e.path)))
            << e.errors[0].toStdString();
        EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
        EXPECT_TRUE(QFileInfo(e.path).isDir());
    }
}

TEST(XlsxExport, RptoolExportsTheArchive)
{
    QTemporaryDir folder;
    const std::string data = QFileInfo(QStringLiteral(DAX_EXPORT_DATA)).absoluteFilePath().toStdString();
    const std::string rptool = QFileInfo(QStringLiteral(DAX_RPTOOL)).absoluteFilePath().toStdString();
    const std::string zp3 = folder.filePath(QStringLiteral("a.zp3")).toStdString();
    const QString xlsx = folder.filePath(QStringLiteral("r.xlsx"));
    const auto prepare =
        testsupport::RunProgram({rptool, "prepare", data + "/archive.zi3", "--csv", "Hours=" + data + "/hours.csv",
                                 "--out", zp3});
    ASSERT_EQ(prepare.status, 0) << prepare.err;
    const auto run = testsupport::RunProgram(
        {rptool, "export", zp3, "--format", "xlsx", "--out", xlsx.toStdString(), "--set", "FastExport=False"});
    ASSERT_EQ(run.status, 0) << run.err;
    const QJsonObject dump = Dump(xlsx);
    bool title = false;
    const QJsonObject cells = dump.value(QStringLiteral("cells")).toObject();
    for (auto it = cells.begin(); it != cells.end(); ++it)
        title = title || it.value().toObject().value(QStringLiteral("value")).toString() == QStringLiteral("Часовые данные");
    EXPECT_TRUE(title);
    const auto unknown = testsupport::RunProgram(
        {rptool, "export", zp3, "--format", "xlsx", "--out", xlsx.toStdString(), "--set", "Quality=1"});
    EXPECT_EQ(unknown.status, 2);
}

TEST(XlsxExport, OpensTheWorkbookAfterExportAndShowsFailuresByTheSilentMode)
{
    PreparedReport prepared =
        Pages(1, [](TrpBand& band) { Memo(band, QStringLiteral("M"), 0, 0, 100, 20, QStringLiteral("открыть")); });
    reporttest::RecordingReportUi ui;
    {
        QTemporaryDir folder;
        const Exported e = Export(prepared, folder.path(), true, [](TrpXLSExport& f) { f.OpenExcelAfterExport = true; });
        ASSERT_TRUE(e.errors.isEmpty()) << e.errors.join(u'\n').toStdString();
        EXPECT_EQ(ui.OpenedUrls, QStringList{QUrl::fromLocalFile(e.path).toString()});
    }
    {
        // With message boxes the failure is shown, not kept, and nothing is opened.
        ui.OpenedUrls.clear();
        prepared.Report().EngineOptions().NewSilentMode = simMessageBoxes;
        QTemporaryDir folder;
        ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("out.xlsx/inner")));
        const Exported e = Export(prepared, folder.path(), true, [](TrpXLSExport& f) { f.OpenExcelAfterExport = true; });
        prepared.Report().EngineOptions().NewSilentMode = simSilent;
        EXPECT_TRUE(e.errors.isEmpty()) << e.errors.join(u'\n').toStdString();
        ASSERT_EQ(ui.Messages.size(), 1);
        EXPECT_TRUE(ui.Messages[0].contains(QStringLiteral("Cannot create file"))) << ui.Messages[0].toStdString();
        EXPECT_TRUE(ui.OpenedUrls.isEmpty());
    }
}

TEST(XlsxExport, RotatedTextsKeepTheirAngleInTheFastWriter)
{
    // Angle given, angle a reader reads back from the fast writer's file (a negative angle is
    // stored as 90 + its size); the cell writer writes no angle.
    struct Case {
        int rotation;
        int stored;
    };
    const Case cases[] = {{0, 0}, {45, 45}, {90, 90}, {180, 0}, {270, 180}, {300, 150}, {359, 91}};
    PreparedReport prepared = Pages(1, [&](TrpBand& band) {
        int i = 0;
        for (const Case& c : cases) {
            TrpMemoView* memo = Memo(band, QStringLiteral("R%1").arg(i), 40 * i, 0, 40, 40, QStringLiteral("угол %1").arg(c.rotation));
            memo->SetRotation(c.rotation);
            ++i;
        }
    });
    for (const bool fast : kWriters) {
        SCOPED_TRACE(WriterName(fast));
        QTemporaryDir folder;
        const Exported e = Export(prepared, folder.path(), fast);
        ASSERT_TRUE(e.errors.isEmpty()) << e.errors.join(u'\n').toStdString();
        for (const Case& c : cases) {
            const QJsonObject cell = CellOf(e, QStringLiteral("угол %1").arg(c.rotation));
            EXPECT_EQ(cell.value(QStringLiteral("type")).toString(), QStringLiteral("s")) << c.rotation;
            EXPECT_EQ(cell.value(QStringLiteral("style")).toObject().value(QStringLiteral("rotation")).toInt(),
                      fast ? c.stored : 0)
                << c.rotation;
        }
    }
}

namespace {

// Records the export's progress windows; the one whose caption is `cancelAt` reports a cancel.
class RecordingProgress : public ITrpProgressWindow {
public:
    RecordingProgress(QStringList& log, QString cancelAt) : log_(log), cancelAt_(std::move(cancelAt)) {}
    void Start(const QString& caption) override
    {
        caption_ = caption;
        log_ << caption;
    }
    void Progress(const QString&, int32_t) override {}
    void Stop() override {}
    bool Cancelled() const override { return !cancelAt_.isEmpty() && caption_ == cancelAt_; }

private:
    QStringList& log_;
    QString cancelAt_;
    QString caption_;
};

} // namespace

TEST(XlsxExport, ProgressPhasesAndACancelledPhase)
{
    PreparedReport prepared =
        Pages(1, [](TrpBand& band) { Memo(band, QStringLiteral("M"), 0, 0, 100, 20, QStringLiteral("объект")); });
    const QString wait = GetResourcesInstance().Get(u"ProgressWait");
    const QString rows = GetResourcesInstance().Get(u"ProgressRows");
    const QString columns = GetResourcesInstance().Get(u"ProgressColumns");
    const QString styles = GetResourcesInstance().Get(u"ProgressStyles");
    const QString objects = GetResourcesInstance().Get(u"ProgressObjects");
    ASSERT_EQ(objects, QStringLiteral("Экспорт объектов"));
    for (const bool fast : kWriters) {
        for (const bool cancel : {false, true}) {
            SCOPED_TRACE(std::string(WriterName(fast)) + (cancel ? ", objects cancelled" : ""));
            QStringList log;
            TrpModelServices services = ModelServices();
            services.CreateProgressWindow = [&](TrpReport&) {
                return std::make_unique<RecordingProgress>(log, cancel ? objects : QString());
            };
            ModelServicesScope scope(services);
            QTemporaryDir folder;
            const Exported e = Export(prepared, folder.path(), fast, [](TrpXLSExport& f) { f.ShowProgress = true; });
            ASSERT_TRUE(e.errors.isEmpty()) << e.errors.join(u'\n').toStdString();
            // The matrix's own window first, then the writer's phases.
            const QStringList phases{wait, fast ? rows + QStringLiteral(" - 1") : rows, columns, styles, objects};
            QStringList seen;
            for (const QString& caption : log)
                if (phases.contains(caption))
                    seen << caption;
            EXPECT_EQ(seen, phases);
            // A cancelled phase ends its loop; the workbook is still written.
            const bool written = CellOf(e, QStringLiteral("объект")).value(QStringLiteral("value")).toString()
                                 == QStringLiteral("объект");
            EXPECT_EQ(written, !cancel);
            EXPECT_FALSE(e.dump.isEmpty());
        }
    }
}
