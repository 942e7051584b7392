#pragma once

// A workbook of one worksheet written as an .xlsx file with libxlsxwriter: the few calls the
// spreadsheet export needs, in the export's own units (points, character widths, 0-based rows
// and columns). The workbook goes into a new file of the target's folder and replaces the
// target only once it is complete, so a failed export leaves an older file whole.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// What one cell format holds; equal descriptions share one format of the workbook.
struct XlsxCellFormat {
    QString FontName;
    double FontSize = 0;        // points; 0 keeps the workbook's default
    int32_t FontColor = -1;     // 0xRRGGBB; -1 keeps the default
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    int32_t FillColor = -1;     // 0xRRGGBB solid fill; -1 none
    int HAlign = -1;            // 0 left, 1 right, 2 centre, 3 justify; -1 none
    int VAlign = -1;            // 0 top, 1 bottom, 2 centre; -1 none
    uint8_t Borders = 0;        // thin sides: 1 left, 2 right, 4 top, 8 bottom
    int Rotation = 0;           // degrees, -90..90
    bool Wrap = false;
    QString NumberFormat;       // in the file's own form ("#,##0.00"); empty: general

    auto Key() const
    {
        return std::tie(FontName, FontSize, FontColor, Bold, Italic, Underline, FillColor, HAlign, VAlign, Borders,
                        Rotation, Wrap, NumberFormat);
    }
    bool operator<(const XlsxCellFormat& other) const { return Key() < other.Key(); }
};

class XlsxWorkbook {
public:
    // The most horizontal page breaks a worksheet stores; libxlsxwriter drops the rest silently.
    static constexpr int kMaxPageBreaks = 1023;
    static constexpr int kMaxColumns = 16384;
    static constexpr int kMaxRows = 1048576;
    // The longest text a cell holds.
    static constexpr int kMaxTextLength = 32767;
    // The tallest row, in points.
    static constexpr double kMaxRowHeight = 409;

    // Creates the workbook in a new file of the target's folder; libxlsxwriter's temporary files
    // go into tempDir (the system's when empty). Raises "Cannot create file ..." when the folder
    // takes no new file.
    XlsxWorkbook(const QString& target, const QString& tempDir);
    // An uncommitted workbook is discarded and its file removed.
    ~XlsxWorkbook();
    XlsxWorkbook(const XlsxWorkbook&) = delete;
    XlsxWorkbook& operator=(const XlsxWorkbook&) = delete;

    // The format of a description, made once per distinct description.
    lxw_format* Format(const XlsxCellFormat& format);

    // Single calls whose failures are ignored, as a spreadsheet takes what it can.
    void SetColumnWidth(int column, double characters);
    void SetRowHeight(int row, double points);
    void SetDefaultRowHeight(double points);
    void WriteString(int row, int column, const QString& text, lxw_format* format);
    void WriteNumber(int row, int column, double value, lxw_format* format);
    void WriteBlank(int row, int column, lxw_format* format);
    // Merges the range (corners included) with the format on every cell; the first cell is
    // left empty for the value written afterwards.
    void MergeRange(int firstRow, int firstColumn, int lastRow, int lastColumn, lxw_format* format);
    // A PNG picture with its top-left corner in the cell, moved by the offsets (pixels) and
    // scaled.
    void InsertPicture(int row, int column, const QByteArray& png, int xOffset, int yOffset, double xScale,
                       double yScale);
    // Page margins in inches.
    void SetMargins(double left, double right, double top, double bottom);
    void SetLandscape(bool landscape);
    void ShowGridLines(bool show);
    // Horizontal page breaks, each the first row (0-based) of a new page, rising. The count
    // stored: at most kMaxPageBreaks.
    int SetPageBreaks(const std::vector<uint32_t>& rows);

    // Writes the workbook and puts it in the target's place. Empty on success, else
    // libxlsxwriter's or the file system's reason (the target then keeps its old content and no
    // file of this workbook is left).
    QString Commit();

    // The file the workbook is written to before it replaces the target.
    const QString& TemporaryFile() const { return temporary_; }

private:
    void Discard();

    QString target_;
    QString temporary_;
    QByteArray tempDir_;            // kept alive for libxlsxwriter
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* worksheet_ = nullptr;
    std::map<XlsxCellFormat, lxw_format*> formats_;
    std::vector<std::unique_ptr<QByteArray>> pictures_; // the picture bytes until the file is written
    std::vector<uint32_t> breaks_;  // zero-terminated, as libxlsxwriter reads it at close
};
