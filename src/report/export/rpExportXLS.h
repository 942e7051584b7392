#pragma once

// The spreadsheet export: a prepared report laid out with the export matrix and saved as an
// .xlsx workbook of one worksheet. Two writers: the fast one (quarter-point rows, the most used
// height as the sheet's default, numbers from numeric display formats, rotated texts) and the
// cell writer (exact heights, every cell filled, every value a text). The workbook replaces the
// target file only when it was written whole.

#include "report/model/rpClass_exportfilter.h"
#include "report/model/rpPaperSizes.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TrpIEMatrix;
class TrpIEMObject;
class TrpIEMStyle;
class TrpExportProgress;
class TrpFormat;
class XlsxWorkbook;
struct XlsxCellFormat;
struct lxw_format;
class FormatSettings;

class TrpXLSExport : public TrpCustomExportFilter {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    static void RegisterClass(PropertyRegistry& registry);

    explicit TrpXLSExport(QObject* owner = nullptr);
    explicit TrpXLSExport(TrpNoRegister);
    ~TrpXLSExport() override;

    QString GetDescription() const override;
    // The options window of the export user interface when one is registered (mrOk without);
    // shown also when an output stream is set, which this export does not use.
    int ShowModal() override;
    bool Start() override;
    void StartPage(TrpReportPage* page, int32_t index) override;
    void ExportObject(TrpComponent* object) override;
    void FinishPage(TrpReportPage* page, int32_t index) override;
    void Finish() override;

    // --- options (published)
    bool ExportEMF = true;
    bool ExportStyles = true;
    bool ExportPictures = true;
    bool MergeCells = true;
    bool OpenExcelAfterExport = false;
    bool Wysiwyg = true;
    bool AsText = false;
    bool Background = true;
    bool FastExport = true;
    bool PageBreaks = true;
    bool EmptyLines = true;
    bool TruncateLongTexts = true;
    bool GridLines = true;

    // The longest text TruncateLongTexts keeps.
    static constexpr int kTruncatedLength = 900;
    // Row heights: pixels / kPixelsPerPoint; column widths: pixels / kPixelsPerCharacter.
    static constexpr double kPixelsPerPoint = 1.315;
    static constexpr double kPixelsPerCharacter = 8;
    // Page margins: millimetres x kMarginPoints points.
    static constexpr double kMarginPoints = 2.6;
    // Picture sizes: pixels / kPicturePixelsPerPoint points.
    static constexpr double kPicturePixelsPerPoint = 1.38;
    static constexpr double kMaxCellHeight = 537.835;

    // --- value rules (public for the tests)
    // The number format a workbook stores for a display format string ("%2.2n" gives
    // "#,##0.00"); empty for a format this export does not translate.
    static QString NumberFormat(const QString& formatString);
    // The number of a numeric-format text, its separators given: grouping removed, the decimal
    // separator read as the point, then the minus signs and digits. False when no digit is left.
    static bool NumberValue(const QString& text, const QString& thousand, const QString& decimal, double& value);
    // A memo's text as a cell value: CR removed, trailing LFs dropped.
    static QString CellText(const QStringList& memo);
    // A row height in points as the fast writer stores it: the nearest quarter point.
    static double QuarterPoints(double points);

    // Called with the prepared matrix before the workbook is written (tests compare the
    // workbook with it).
    std::function<void(const TrpIEMatrix& matrix)> OnMatrixPrepared;

    // The count of page breaks the last run asked for (also those a workbook cannot keep).
    int RequestedPageBreaks() const { return requestedBreaks_; }

private:
    struct Writer;
    void Write(XlsxWorkbook& book, TrpExportProgress& progress);
    lxw_format* StyleFormat(XlsxWorkbook& book, int32_t styleIndex, const QString& numberFormat);
    lxw_format* PlainFormat(XlsxWorkbook& book);
    bool PageBreakAt(int32_t row, int32_t& page) const;
    void WritePicture(XlsxWorkbook& book, const TrpIEMObject& obj, int32_t x, int32_t y);
    void ReportError(const QString& message);

    std::unique_ptr<TrpIEMatrix> FMatrix;
    bool FFirstPage = true;
    double FPageLeft = 0, FPageTop = 0, FPageRight = 0, FPageBottom = 0; // points
    TPrinterOrientation FPageOrientation = poPortrait;
    double FSavedPageTop = 0; // the current page's top before the export moved it
    int requestedBreaks_ = 0;
};
