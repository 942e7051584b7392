// Printing prepared pages on the current printer: the page entries (ranges, odd or even pages,
// reverse order), copies collated or made by the printer, bins and duplex, and the four print
// modes (each page on its own paper, stretched onto a sheet, split over several sheets, several
// pages joined on one sheet).

#include "rpPreviewPages.h"

#include "EngineServices.h"
#include "rpPrinter.h"

#include "report/core/Rounding.h"
#include "report/core/Services.h"
#include "report/model/rpClass_options.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpDrawContext.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"

#include <QList>

#include <algorithm>
#include <cmath>
#include <exception>
#include <set>
#include <utility>

namespace {

constexpr double kMillimetresPerInch = 25.4;
constexpr double kReportPixelsPerInch = 96;
// What is left over of a length beyond whole units before one more unit is counted.
constexpr double kFitSlack = 11;

// How many units of length `unit` cover `length`.
int32_t FitCount(double length, double unit)
{
    if (unit <= 0)
        return 1;
    const double ratio = length / unit;
    const double whole = std::trunc(ratio);
    if (std::fabs(whole * unit - length) >= kFitSlack)
        return static_cast<int32_t>(whole) + 1;
    return std::max(1, static_cast<int32_t>(RoundHalfEven(ratio)));
}

struct Fitting {
    int32_t nx = 1;
    int32_t ny = 1;
    bool turned = false;
};

// Pieces of a W x H area on SW x SH units, turned when that takes fewer.
Fitting Fit(double width, double height, double unitWidth, double unitHeight)
{
    const int32_t nx = FitCount(width, unitWidth);
    const int32_t ny = FitCount(height, unitHeight);
    const int32_t turnedX = FitCount(width, unitHeight);
    const int32_t turnedY = FitCount(height, unitWidth);
    if (turnedX * turnedY < nx * ny)
        return {turnedX, turnedY, true};
    return {nx, ny, false};
}

// Every print option, PrnOutFileName and Duplex included, to put back after printing.
struct SavedPrintOptions {
    explicit SavedPrintOptions(const TrpPrintOptions& options)
        : pagesOnSheet(options.PagesOnSheet), swapPageSize(options.SwapPageSize),
          prnOutFileName(options.PrnOutFileName), duplex(options.Duplex)
    {
        copy.Assign(options);
    }
    void RestoreInto(TrpPrintOptions& options) const
    {
        options.Assign(copy);
        options.PagesOnSheet = pagesOnSheet;
        options.SwapPageSize = swapPageSize;
        options.PrnOutFileName = prnOutFileName;
        options.Duplex = duplex;
    }

    TrpPrintOptions copy;
    int32_t pagesOnSheet;
    bool swapPageSize;
    QString prnOutFileName;
    TrpDuplexMode duplex;
};

} // namespace

// One call of Print: the state it keeps from sheet to sheet.
class TrpPrintRun {
public:
    TrpPrintRun(TrpPreviewPages& store, TrpReport& report, TrpCustomPrinter& printer, TrpDuplexMode duplex)
        : store_(store), report_(report), printer_(printer), options_(report.PrintOptions()), chosenDuplex_(duplex)
    {
    }

    void SetSheet(double width, double height, double splicingLine)
    {
        sheetWidth_ = width;
        sheetHeight_ = height;
        splicingLine_ = splicingLine;
    }

    void Run();
    // Ends a job begun, dropping what it printed, and the progress (after a failure).
    void AbortJob();

private:
    // Page index of entry k; -1 outside the pages.
    int32_t EntryPage(int32_t entry) const;
    bool Skipped(int32_t pageIndex) const;
    // The pass of pmDefault, pmScale and pmSplit: false when stopped.
    bool PrintEntries(int32_t copyNo);
    bool PrintEntry(int32_t entry, int32_t copyNo);
    bool PrintSplitEntry(int32_t pageIndex, TrpReportPage& page);
    void PrintJoined(int32_t copyNo);
    // Common start of an entry: the stop request, the page and its copies. None when stopped.
    TrpReportPage* StartEntry(int32_t pageIndex, int32_t copyNo);
    void BeginDocOnce();
    void BeginSheet();
    void EndSheet(int32_t pageIndex);
    void Draw(int32_t pageIndex, double scaleX, double scaleY, double offsetX, double offsetY);
    TrpDuplexMode PageDuplex(const TrpReportPage& page) const
    {
        return chosenDuplex_ != dmNone ? chosenDuplex_ : page.Duplex;
    }
    double DpiX() const { return printer_.DPI().x(); }
    double DpiY() const { return printer_.DPI().y(); }

    TrpPreviewPages& store_;
    TrpReport& report_;
    TrpCustomPrinter& printer_;
    TrpPrintOptions& options_;
    TrpDuplexMode chosenDuplex_;
    QList<int> pageList_;
    std::set<int32_t> usedBins_;        // page bins already met: the next pages take BinOtherPages
    double sheetWidth_ = 0;             // millimetres
    double sheetHeight_ = 0;
    double splicingLine_ = 0;
    int32_t entries_ = 0;
    int32_t copies_ = 1;
    int32_t printerCopies_ = 1;
    bool begun_ = false;
    bool progressStarted_ = false;
    bool side_ = false;                 // an odd number of two-sided pages printed
    bool hasLast_ = false;              // a page was printed: the last* fields hold it
    int32_t lastPaperSize_ = 0;
    int32_t lastPaperWidth_ = 0;
    int32_t lastPaperHeight_ = 0;
    int32_t lastBin_ = 0;
    TPrinterOrientation lastOrientation_ = poPortrait;
    TrpDuplexMode lastDuplex_ = dmNone;

    friend class TrpPreviewPages;
};

int32_t TrpPrintRun::EntryPage(int32_t entry) const
{
    const int32_t index = pageList_.isEmpty() ? entry : pageList_[entry] - 1;
    return index >= 0 && index < store_.Count() ? index : -1;
}

bool TrpPrintRun::Skipped(int32_t pageIndex) const
{
    if (pageIndex < 0)
        return true;
    const int32_t pageNo = pageIndex + 1;
    return (options_.PrintPages == ppOdd && pageNo % 2 == 0) || (options_.PrintPages == ppEven && pageNo % 2 == 1);
}

void TrpPrintRun::Run()
{
    ParsePageNumbers(options_.PageNumbers, pageList_, store_.Count());
    entries_ = pageList_.isEmpty() ? store_.Count() : static_cast<int32_t>(pageList_.size());
    store_.ClearPageCache();
    report_.SetTerminated(false);
    report_.InternalOnProgressStart(ptPrinting);
    progressStarted_ = true;
    printer_.Title = report_.ReportOptions().Name.isEmpty() ? report_.FileName() : report_.ReportOptions().Name;
    copies_ = std::max(1, options_.Copies);
    begun_ = false;
    lastDuplex_ = dmNone;
    side_ = false;
    if (options_.Collate) {
        for (int32_t copyNo = 1; copyNo <= copies_; ++copyNo) {
            if (options_.PrintMode == pmJoin)
                PrintJoined(copyNo);
            else
                PrintEntries(copyNo);
            if (side_) {
                // The next copy starts on a sheet of its own.
                side_ = false;
                printer_.BeginPage();
                printer_.EndPage();
                store_.printedSheets_ += printerCopies_;
            }
            if (report_.Terminated())
                break;
        }
    } else if (options_.PrintMode == pmJoin) {
        PrintJoined(1);
    } else {
        PrintEntries(1);
    }
    if (begun_) {
        begun_ = false;
        printer_.EndDoc();
    }
    progressStarted_ = false;
    report_.InternalOnProgressStop(ptPrinting);
}

void TrpPrintRun::AbortJob()
{
    // The failure that stopped printing is the one reported.
    if (begun_) {
        begun_ = false;
        try {
            printer_.Abort();
        } catch (...) {
        }
    }
    if (progressStarted_) {
        progressStarted_ = false;
        try {
            report_.InternalOnProgressStop(ptPrinting);
        } catch (...) {
        }
    }
}

bool TrpPrintRun::PrintEntries(int32_t copyNo)
{
    for (int32_t k = 0; k < entries_; ++k) {
        const int32_t entry = options_.Reverse ? entries_ - 1 - k : k;
        if (!PrintEntry(entry, copyNo))
            return false;
    }
    return true;
}

TrpReportPage* TrpPrintRun::StartEntry(int32_t pageIndex, int32_t copyNo)
{
    if (report_.Terminated()) {
        // Abort ends the job itself.
        begun_ = false;
        printer_.Abort();
        return nullptr;
    }
    TrpReportPage* page = store_.GetPage(pageIndex);
    if (page == nullptr)
        return nullptr;
    printerCopies_ = options_.Collate ? 1 : copies_;
    store_.copyNo_ = options_.Collate ? copyNo : 1;
    if (report_.OnPrintPage) {
        const QPointer<TrpReportPage> watched = page;
        report_.OnPrintPage(*page, store_.copyNo_);
        // The handler may have asked the store for other pages.
        page = watched != nullptr ? watched.data() : store_.GetPage(pageIndex);
    }
    return page;
}

bool TrpPrintRun::PrintEntry(int32_t entry, int32_t copyNo)
{
    const int32_t pageIndex = EntryPage(entry);
    if (Skipped(pageIndex))
        return true;
    TrpReportPage* page = StartEntry(pageIndex, copyNo);
    if (page == nullptr)
        return false;
    if (options_.PrintMode == pmSplit)
        return PrintSplitEntry(pageIndex, *page);

    int32_t bin = page->BinOtherPages;
    if (usedBins_.insert(page->Bin).second)
        bin = page->Bin;
    const TrpDuplexMode duplex = PageDuplex(*page);
    if (duplex != lastDuplex_)
        side_ = false;
    if (duplex == dmVertical || duplex == dmHorizontal)
        side_ = !side_;

    const int32_t paperWidth = static_cast<int32_t>(RoundHalfEven(page->PaperWidth()));
    const int32_t paperHeight = static_cast<int32_t>(RoundHalfEven(page->PaperHeight()));
    if (options_.PrintMode == pmScale) {
        if (!hasLast_ || bin != lastBin_ || page->Orientation() != lastOrientation_ || duplex != lastDuplex_) {
            printer_.SetPrintParams(options_.PrintOnSheet, sheetWidth_, sheetHeight_, page->Orientation(), bin,
                                    duplex, printerCopies_);
            sheetWidth_ = printer_.PaperWidth();
            sheetHeight_ = printer_.PaperHeight();
        }
    } else if (!hasLast_ || page->PaperSize() != lastPaperSize_ || paperWidth != lastPaperWidth_
               || paperHeight != lastPaperHeight_ || bin != lastBin_ || page->Orientation() != lastOrientation_
               || duplex != lastDuplex_) {
        printer_.SetPrintParams(page->PaperSize(), page->PaperWidth(), page->PaperHeight(), page->Orientation(), bin,
                                duplex, printerCopies_);
    }
    BeginDocOnce();
    BeginSheet();
    double kx = 1;
    double ky = 1;
    if (options_.PrintMode == pmScale) {
        kx = page->PaperWidth() > 0 ? sheetWidth_ / page->PaperWidth() : 1;
        ky = page->PaperHeight() > 0 ? sheetHeight_ / page->PaperHeight() : 1;
        store_.printScale_ = std::min(kx, ky);
    }
    const double offsetX = -printer_.LeftMargin() * DpiX() / kMillimetresPerInch;
    const double offsetY = -printer_.TopMargin() * DpiY() / kMillimetresPerInch;
    const TPrinterOrientation orientation = page->Orientation();
    const int32_t paperSize = page->PaperSize();
    Draw(pageIndex, DpiX() / kReportPixelsPerInch * kx, DpiY() / kReportPixelsPerInch * ky, offsetX, offsetY);
    report_.InternalOnProgress(ptPrinting, pageIndex + 1);
    printer_.EndPage();
    ReportServices::Ui().ProcessEvents();
    hasLast_ = true;
    lastPaperSize_ = paperSize;
    lastPaperWidth_ = paperWidth;
    lastPaperHeight_ = paperHeight;
    lastBin_ = bin;
    lastOrientation_ = orientation;
    lastDuplex_ = duplex;
    store_.ClearPageCache();
    return true;
}

bool TrpPrintRun::PrintSplitEntry(int32_t pageIndex, TrpReportPage& page)
{
    const int32_t bin = pageIndex == 0 ? page.Bin : page.BinOtherPages;
    const double pageWidth = page.PaperWidth();
    const double pageHeight = page.PaperHeight();
    const TPrinterOrientation pageOrientation = page.Orientation();
    Fitting fit = Fit(pageWidth, pageHeight, sheetWidth_, sheetHeight_);
    // What each sheet loses to the printer's margins and the overlap. An unturned sheet loses
    // its left and right margins along its width and top and bottom along its height; a turned
    // sheet's width runs along the page's height.
    double reserveX = 0;
    double reserveY = 0;
    if (fit.turned) {
        if (fit.nx > 1)
            reserveX = splicingLine_ + printer_.TopMargin() + printer_.BottomMargin();
        if (fit.ny > 1)
            reserveY = splicingLine_ + printer_.LeftMargin() + printer_.RightMargin();
        std::swap(reserveX, reserveY);
    } else {
        if (fit.nx > 1)
            reserveX = splicingLine_ + printer_.LeftMargin() + printer_.RightMargin();
        if (fit.ny > 1)
            reserveY = splicingLine_ + printer_.TopMargin() + printer_.BottomMargin();
    }
    fit = Fit(pageWidth, pageHeight, sheetWidth_ - reserveX, sheetHeight_ - reserveY);

    const TrpDuplexMode duplex = PageDuplex(page);
    const TPrinterOrientation sheetOrientation = fit.turned ? poLandscape : poPortrait;
    if (!hasLast_ || sheetOrientation != lastOrientation_)
        printer_.SetPrintParams(options_.PrintOnSheet, sheetWidth_, sheetHeight_, sheetOrientation, bin, duplex,
                                printerCopies_);
    BeginDocOnce();

    const double dpiX = DpiX();
    const double dpiY = DpiY();
    const double sheetDeviceWidth = dpiX / kMillimetresPerInch * (fit.turned ? sheetHeight_ : sheetWidth_);
    const double sheetDeviceHeight = dpiY / kMillimetresPerInch * (fit.turned ? sheetWidth_ : sheetHeight_);
    const double lm = printer_.LeftMargin() * dpiX / kMillimetresPerInch;
    const double tm = printer_.TopMargin() * dpiY / kMillimetresPerInch;
    const double rm = printer_.RightMargin() * dpiX / kMillimetresPerInch;
    const double bm = printer_.BottomMargin() * dpiY / kMillimetresPerInch;
    const int right = static_cast<int>(RoundHalfEven(pageWidth * kPixelsPerMillimetre * dpiX / kReportPixelsPerInch - rm)) - 1;
    const int bottom = static_cast<int>(RoundHalfEven(pageHeight * kPixelsPerMillimetre * dpiY / kReportPixelsPerInch - bm)) - 1;

    double y0 = 0;
    double offsetY = -tm;
    double cy = 0;
    for (int32_t row = 0; row < fit.ny; ++row) {
        double x0 = 0;
        double offsetX = -lm;
        double cx = 0;
        for (int32_t column = 0; column < fit.nx; ++column) {
            BeginSheet();
            TrpPrinterCanvas& canvas = printer_.Canvas();
            canvas.save();
            try {
                const int left = static_cast<int>(RoundHalfEven(lm + cx));
                const int top = static_cast<int>(RoundHalfEven(tm + cy));
                canvas.setClipRect(QRect(left, top, right - left, bottom - top));
                Draw(pageIndex, dpiX / kReportPixelsPerInch, dpiY / kReportPixelsPerInch, offsetX, offsetY);
            } catch (...) {
                canvas.restore();
                throw;
            }
            canvas.restore();
            printer_.EndPage();
            cx = dpiX * splicingLine_ / kMillimetresPerInch;
            x0 += (sheetDeviceWidth - lm - rm) - cx;
            offsetX = -x0;
        }
        cy = dpiY * splicingLine_ / kMillimetresPerInch;
        y0 += (sheetDeviceHeight - tm - bm) - cy;
        offsetY = -y0;
    }
    report_.InternalOnProgress(ptPrinting, pageIndex + 1);
    ReportServices::Ui().ProcessEvents();
    hasLast_ = true;
    lastOrientation_ = pageOrientation;
    store_.ClearPageCache();
    return true;
}

void TrpPrintRun::PrintJoined(int32_t copyNo)
{
    if (store_.Count() == 0 || entries_ == 0)
        return;
    // The cells of the sheets: each entry once per pass, or once per copy when the printer
    // makes no copies of its own here.
    struct Cell {
        int32_t pageIndex;
        int32_t copyNo;
    };
    std::vector<Cell> cells;
    for (int32_t entry = 0; entry < entries_; ++entry) {
        const int32_t pageIndex = EntryPage(entry);
        if (pageIndex < 0)
            continue;
        if (options_.Collate) {
            cells.push_back({pageIndex, copyNo});
        } else {
            for (int32_t copy = 1; copy <= copies_; ++copy)
                cells.push_back({pageIndex, copy});
        }
    }
    if (cells.empty())
        return;
    TrpReportPage* first = store_.GetPage(cells.front().pageIndex);
    if (first == nullptr)
        return;
    const double cellWidthMm = first->PaperWidth();
    const double cellHeightMm = first->PaperHeight();
    Fitting fit = Fit(sheetWidth_, sheetHeight_, cellWidthMm, cellHeightMm);
    if (fit.turned)
        std::swap(fit.nx, fit.ny);
    const TrpDuplexMode duplex = PageDuplex(*first);
    printer_.SetPrintParams(options_.PrintOnSheet, sheetWidth_, sheetHeight_, fit.turned ? poLandscape : poPortrait,
                            first->Bin, duplex, 1);
    printerCopies_ = 1;
    BeginDocOnce();
    const double cellWidth = DpiX() / kMillimetresPerInch * cellWidthMm;
    const double cellHeight = DpiY() / kMillimetresPerInch * cellHeightMm;

    size_t next = 0;
    while (next < cells.size()) {
        BeginSheet();
        double offsetY = -printer_.TopMargin() * DpiY() / kMillimetresPerInch;
        for (int32_t row = 0; row < fit.ny && next < cells.size(); ++row) {
            double offsetX = -printer_.LeftMargin() * DpiX() / kMillimetresPerInch;
            for (int32_t column = 0; column < fit.nx && next < cells.size(); ++column) {
                const Cell cell = cells[next++];
                store_.copyNo_ = cell.copyNo;
                Draw(cell.pageIndex, DpiX() / kReportPixelsPerInch, DpiY() / kReportPixelsPerInch, offsetX, offsetY);
                // Each further copy of a page is rebuilt.
                store_.ClearPageCache();
                offsetX += cellWidth;
            }
            offsetY += cellHeight;
        }
        printer_.EndPage();
        report_.InternalOnProgress(ptPrinting, static_cast<int32_t>(next) - 1);
        ReportServices::Ui().ProcessEvents();
        if (report_.Terminated()) {
            begun_ = false;
            printer_.Abort();
            return;
        }
        store_.ClearPageCache();
    }
}

void TrpPrintRun::BeginDocOnce()
{
    if (begun_)
        return;
    printer_.BeginDoc();
    begun_ = true;
}

void TrpPrintRun::BeginSheet()
{
    printer_.BeginPage();
    store_.printedSheets_ += printerCopies_;
}

void TrpPrintRun::Draw(int32_t pageIndex, double scaleX, double scaleY, double offsetX, double offsetY)
{
    TrpDrawContext context;
    context.Printing = true;
    context.PrintScale = store_.printScale_;
    store_.DrawPage(pageIndex, printer_.Canvas(), scaleX, scaleY, offsetX, offsetY, context);
}

// --- Print -------------------------------------------------------------------------------------

bool TrpPreviewPages::Print()
{
    TrpReport* report = Report();
    if (report == nullptr)
        return false;
    TrpPrinters& printers = GetPrintersInstance();
    if (!printers.HasPhysicalPrinters()) {
        ErrorMessageBox(GetResourcesInstance().Get(u"clNoPrinters"));
        return false;
    }
    printScale_ = 1;
    printedSheets_ = 0;
    TrpPrintOptions& options = report->PrintOptions();
    const SavedPrintOptions saved(options);
    TrpDuplexMode duplex = options.Duplex;
    bool result = true;
    std::exception_ptr failure;
    TrpCustomPreview* preview = nullptr;
    bool locked = false;
    std::unique_ptr<TrpPrintRun> run;
    try {
        report->SelectPrinter();
        if (options.ShowDialog) {
            if (const auto& runDialog = EngineServices().RunPrintDialog) {
                if (!runDialog(*report, duplex)) {
                    copyNo_ = 0;
                    saved.RestoreInto(report->PrintOptions());
                    return false;
                }
                options.Duplex = duplex;
            }
        }
        TrpCustomPrinter* printer = printers.Printer();
        if (printer != nullptr)
            printer->FileName = options.PrnOutFileName;
        if (printer != nullptr)
            run = std::make_unique<TrpPrintRun>(*this, *report, *printer, duplex);
        if (printer != nullptr && options.PrintMode != pmDefault) {
            const bool custom = options.PrintOnSheet == kPaperCustom;
            printer->SetViewParams(options.PrintOnSheet, custom ? printer->PaperWidth() : 0,
                                   custom ? printer->PaperHeight() : 0, poPortrait);
            run->SetSheet(printer->PaperWidth(), printer->PaperHeight(), options.SplicingLine);
        }
        if (report->OnPrintReport)
            report->OnPrintReport(*report);
        report->DoNotifyEvent(report, report->OnReportPrint, !report->EngineOptions().DestroyForms);
        preview = report->Preview();
        if (preview != nullptr) {
            preview->Lock();
            locked = true;
            preview->RefreshReport();
        }
        if (printer != nullptr && printer->Initialized()) {
            run->Run();
        } else {
            ErrorMessageBox(GetResourcesInstance().Get(u"prNotValid"));
            result = false;
        }
    } catch (...) {
        failure = std::current_exception();
        if (run != nullptr)
            run->AbortJob();
    }
    try {
        if (locked && report->Preview() == preview) {
            preview->Unlock();
            preview->RefreshReport();
        }
        if (report->OnAfterPrintReport)
            report->OnAfterPrintReport(*report);
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    copyNo_ = 0;
    printScale_ = 1;
    saved.RestoreInto(report->PrintOptions());
    if (failure)
        std::rethrow_exception(failure);
    return result;
}
