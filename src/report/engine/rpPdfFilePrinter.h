#pragma once

// The built-in printer that writes a PDF file: 600 dots per inch, no unprintable margins, the
// papers of the paper table, each sheet at the paper and orientation set for it. The file is
// written into a temporary file beside it and put in place only when the job ends, so a failed
// or stopped job leaves an earlier file whole. A PDF has no copies: a sheet printed with
// several copies is recorded once and written that many times (its text then as outlines).

#include "rpPrinter.h"

#include <QPageLayout>
#include <QPicture>

#include <memory>

class QPdfWriter;
class QSaveFile;

// A sheet recorded for writing: it answers the printer's resolution and the sheet's size, as
// the printer's own device would, so that text is laid out for the printer.
class TrpPdfSheet : public QPicture {
public:
    void SetSheet(int width, int height, int dpi);

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    int width_ = 0;
    int height_ = 0;
    int dpi_ = 96;
};

class TrpPdfFilePrinter : public TrpCustomPrinter {
public:
    TrpPdfFilePrinter();
    ~TrpPdfFilePrinter() override;

    void Init() override;
    void Abort() override;
    // Refuses without a file name ("prNoPdfFileName"), and when the file cannot be created.
    void BeginDoc() override;
    void BeginPage() override;
    void EndDoc() override;
    void EndPage() override;
    void SetViewParams(int32_t paperSize, double paperWidth, double paperHeight,
                       TPrinterOrientation orientation) override;
    void SetPrintParams(int32_t paperSize, double paperWidth, double paperHeight, TPrinterOrientation orientation,
                        int32_t bin, int32_t duplex, int32_t copies) override;
    void PropertiesDlg() override {}

    // Sheets written into the file of the job in progress or the last one.
    int32_t SheetsWritten() const { return sheetsWritten_; }

private:
    // Ends the job; `keep` puts the file in place, otherwise it is dropped.
    void Finish(bool keep);
    QPageLayout CurrentLayout() const;

    // Starts the next page of the file with the sheet's paper.
    void NextFilePage();

    std::unique_ptr<QSaveFile> file_;
    std::unique_ptr<QPdfWriter> writer_;
    // The painter on the file is the printer's own canvas; this one records a sheet of several
    // copies. canvas_ is the one the sheet in progress is drawn with.
    std::unique_ptr<TrpPrinterCanvas> recordingCanvas_;
    TrpPdfSheet sheet_;        // a sheet of several copies, written once per copy at EndPage
    QPageLayout sheetLayout_;  // paper of the sheet being drawn
    bool recording_ = false;   // the sheet in progress is being recorded
    int32_t copies_ = 1;
    int32_t sheetsWritten_ = 0;
    bool pageOpen_ = false;
};
