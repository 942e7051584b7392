#pragma once

// A printer of the system through Qt's printing support (CUPS queues): its papers, bins,
// resolution and margins from the queue, and the sheets of a job drawn on a QPrinter. The paper
// corner is the origin of each sheet; the canvas is moved by the unprintable margins so that
// drawing measures from the printable corner, as callers of a printer expect.

#include "report/engine/rpPrinter.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include <memory>

class TrpPrinter : public TrpCustomPrinter {
public:
    explicit TrpPrinter(const QPrinterInfo& info);
    ~TrpPrinter() override;

    void Init() override;
    void Abort() override;
    void BeginDoc() override;
    void BeginPage() override;
    void EndDoc() override;
    void EndPage() override;
    void SetViewParams(int32_t paperSize, double paperWidth, double paperHeight,
                       TPrinterOrientation orientation) override;
    void SetPrintParams(int32_t paperSize, double paperWidth, double paperHeight, TPrinterOrientation orientation,
                        int32_t bin, int32_t duplex, int32_t copies) override;
    // The page set-up dialog of the queue; a bin or duplex chosen there lasts until EndDoc.
    void PropertiesDlg() override;

    // The device (tests read what a job was given).
    QPrinter* Device() const { return printer_.get(); }

private:
    // Reads resolution, paper size and margins from the device; false (after the "not valid"
    // message) for a device without a resolution.
    bool ReadCapabilities();
    QPageLayout LayoutFor(int32_t code, double width, double height, TPrinterOrientation orientation) const;

    QPrinterInfo info_;
    std::unique_ptr<QPrinter> printer_;
    QPageLayout pending_;       // paper of the next sheet
    bool pageStarted_ = false;  // the canvas is open on the device
};

// Paper sources of Qt by the bin codes of the print options, and back.
int32_t BinCodeOfPaperSource(QPrinter::PaperSource source);
QPrinter::PaperSource PaperSourceOfBinCode(int32_t code);
