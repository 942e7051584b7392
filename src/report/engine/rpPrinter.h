#pragma once

// The printers the report subsystems see: one process-wide list with the current printer, each
// printer's papers, bins, resolution, paper size and unprintable margins, and the operations
// that print a document sheet by sheet on its canvas. The printers of the system come from a
// back end installed in the engine's services (engine/ui installs the one over CUPS); a
// built-in printer that writes a PDF file is always listed last, so that printing works
// headless and without any printer. With the PDF-file printer switched off and no back-end
// printer, a virtual printer (600 dots per inch, the paper table) stands in for layout only.

#include "platform/Exceptions.h"
#include "report/model/rpPaperSizes.h"

#include <QPainter>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

class TrpCustomPrinter;

// A paper or bin of a printer: its name and its code.
struct TrpPrinterItem {
    QString Name;
    int32_t Code = 0;
};

// The job's title when neither the report nor its file names one.
inline constexpr char kDefaultJobTitle[] = "Ruro Duzedo Document";

// The bin code of the "prDefault" entry: the printer's own choice.
inline constexpr int32_t kDefaultBin = 7;

// The painter a printer draws its sheets with; open (on the printer's device) from BeginDoc to
// EndDoc.
class TrpPrinterCanvas : public QPainter {
public:
    explicit TrpPrinterCanvas(TrpCustomPrinter* printer) : printer_(printer) {}
    TrpCustomPrinter* Printer() const { return printer_; }

private:
    TrpCustomPrinter* printer_;
};

// A printer. Sizes and margins in millimetres in the current orientation; Paper 256 is a size
// of its own.
class TrpCustomPrinter {
public:
    TrpCustomPrinter(const QString& name, const QString& port);
    virtual ~TrpCustomPrinter();
    TrpCustomPrinter(const TrpCustomPrinter&) = delete;
    TrpCustomPrinter& operator=(const TrpCustomPrinter&) = delete;

    const QString& Name() const { return name_; }
    const QString& Port() const { return port_; }
    const std::vector<TrpPrinterItem>& Papers() const { return papers_; }
    const std::vector<TrpPrinterItem>& Bins() const { return bins_; }
    TrpPrinterCanvas& Canvas() { return *canvas_; }
    QPoint DPI() const { return dpi_; }
    int32_t Paper() const { return paper_; }
    double PaperWidth() const { return paperWidth_; }
    double PaperHeight() const { return paperHeight_; }
    double LeftMargin() const { return leftMargin_; }
    double TopMargin() const { return topMargin_; }
    double RightMargin() const { return rightMargin_; }
    double BottomMargin() const { return bottomMargin_; }
    TPrinterOrientation Orientation() const { return orientation_; }
    int32_t DefPaper() const { return defPaper_; }
    double DefPaperWidth() const { return defPaperWidth_; }
    double DefPaperHeight() const { return defPaperHeight_; }
    TPrinterOrientation DefOrientation() const { return defOrientation_; }
    int32_t DefBin() const { return defBin_; }
    int32_t DefDuplex() const { return defDuplex_; }
    // Bin and duplex chosen in the printer's own properties dialog; -1 when none.
    int32_t Bin() const { return bin_; }
    int32_t Duplex() const { return duplex_; }
    bool Initialized() const { return initialized_; }
    bool Printing() const { return printing_; }
    QString FileName;  // print to this file (empty: to the printer)
    QString Title;     // the job's title

    // Reads the printer's papers, bins, resolution and defaults; once.
    virtual void Init() = 0;
    // Stops the job: what was printed is dropped where the device allows it; then EndDoc.
    virtual void Abort() = 0;
    virtual void BeginDoc() = 0;
    virtual void BeginPage() = 0;
    virtual void EndDoc() = 0;
    virtual void EndPage() = 0;
    // The paper shown (code, and the size for code 256) without printing.
    virtual void SetViewParams(int32_t paperSize, double paperWidth, double paperHeight,
                               TPrinterOrientation orientation) = 0;
    // The paper, bin, duplex and copies of the sheets that follow.
    virtual void SetPrintParams(int32_t paperSize, double paperWidth, double paperHeight,
                                TPrinterOrientation orientation, int32_t bin, int32_t duplex, int32_t copies) = 0;
    // The printer's own settings dialog; nothing where there is none.
    virtual void PropertiesDlg() = 0;

    // Position of a code in the lists; -1 when absent.
    int32_t BinIndex(int32_t bin) const;
    int32_t PaperIndex(int32_t paper) const;
    // The code of the named entry; the first entry's code when no entry has that name.
    int32_t BinNameToNumber(const QString& bin) const;
    int32_t PaperNameToNumber(const QString& paper) const;

protected:
    // Adds the 66 papers of the paper table after the custom entry, named by `named`.
    void AddTablePapers(bool named);
    // Paper `code` from the table (or a size of its own for 256 or an unknown code) in the
    // orientation; every margin becomes `margins`.
    void SetTablePaper(int32_t code, double width, double height, TPrinterOrientation orientation, double margins);

    QString name_;
    QString port_;
    std::vector<TrpPrinterItem> papers_;
    std::vector<TrpPrinterItem> bins_;
    std::unique_ptr<TrpPrinterCanvas> ownCanvas_;
    TrpPrinterCanvas* canvas_;      // the canvas drawn on now: ownCanvas_ unless a printer has more
    QPoint dpi_{0, 0};
    int32_t paper_ = kPaperA4;
    double paperWidth_ = 0;
    double paperHeight_ = 0;
    double leftMargin_ = 0;
    double topMargin_ = 0;
    double rightMargin_ = 0;
    double bottomMargin_ = 0;
    TPrinterOrientation orientation_ = poPortrait;
    int32_t defPaper_ = kPaperA4;
    double defPaperWidth_ = 0;
    double defPaperHeight_ = 0;
    TPrinterOrientation defOrientation_ = poPortrait;
    int32_t defBin_ = kDefaultBin;
    int32_t defDuplex_ = 0;
    int32_t bin_ = -1;
    int32_t duplex_ = -1;
    bool initialized_ = false;
    bool printing_ = false;
};

// Stands in when there is no printer at all: pages can be laid out, nothing is printed.
class TrpVirtualPrinter : public TrpCustomPrinter {
public:
    explicit TrpVirtualPrinter(const QString& name);

    void Init() override;
    void Abort() override {}
    void BeginDoc() override {}
    void BeginPage() override {}
    void EndDoc() override {}
    void EndPage() override {}
    void SetViewParams(int32_t paperSize, double paperWidth, double paperHeight,
                       TPrinterOrientation orientation) override;
    void SetPrintParams(int32_t paperSize, double paperWidth, double paperHeight, TPrinterOrientation orientation,
                        int32_t bin, int32_t duplex, int32_t copies) override;
    void PropertiesDlg() override {}
};

class TrpPrinters {
public:
    TrpPrinters();
    ~TrpPrinters();
    TrpPrinters(const TrpPrinters&) = delete;
    TrpPrinters& operator=(const TrpPrinters&) = delete;

    // Enumerates the printers again (the current printer becomes the default one).
    void FillPrinters();
    // Position of the printer of that name (letter case ignored); -1 when none.
    int32_t IndexOf(const QString& name) const;
    void Clear();

    // The names of the printers listed (empty when only the virtual printer stands in).
    const QStringList& Printers() const { return names_; }
    int32_t Count() const { return static_cast<int32_t>(printers_.size()); }
    int32_t PrinterIndex() const { return printerIndex_; }
    // -1 selects the default printer (the index stays -1 when it is not listed); the printer
    // selected is initialised.
    void SetPrinterIndex(int32_t value);
    // The current printer; none for index -1.
    TrpCustomPrinter* Printer() const;
    // The printer at an index; none outside the list.
    TrpCustomPrinter* operator[](int32_t index) const;
    bool HasPhysicalPrinters() const { return hasPhysicalPrinters_; }
    // The name of the system's default printer at the last enumeration.
    const QString& DefaultPrinterName() const { return defaultName_; }

private:
    std::vector<std::unique_ptr<TrpCustomPrinter>> printers_;
    QStringList names_;
    QString defaultName_;
    int32_t printerIndex_ = -1;
    bool hasPhysicalPrinters_ = false;
};

// The process-wide list, enumerated on the first call.
TrpPrinters& GetPrintersInstance();
// Drops the list; the next GetPrintersInstance enumerates again (start-up options and tests).
void ResetPrintersInstance();

// The name of the built-in PDF-file printer.
QString PdfFilePrinterName();

// A readable name of a paper of the paper table ("A4", "Letter"); its size in millimetres for
// a paper without a common name.
QString PaperSizeName(int32_t code);
