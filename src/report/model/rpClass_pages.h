#pragma once

// Pages: the top-level children of a report. A report page is the template of printed
// sheets (paper, margins, columns, background, bands); a dialog page is a window shown before
// the report runs; the data page holds data sets and connections; a subreport is a view that
// prints another report page in its place.

#include "rpClass_services.h"
#include "rpClass_views.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class TrpBand;
class TrpDataSet;
class TrpSubreport;

// Pixels per millimetre at 96 pixels per inch.
inline constexpr double kPixelsPerMillimetre = 3.77953;
// Paper sides and margins beyond this many millimetres are refused.
inline constexpr double kMaxPaperMillimetres = 10000;
// Copies of a page without a data set.
inline constexpr int32_t kMaxPageCount = 10000;

class TrpPage : public TrpComponent {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpPage() = default;
    explicit TrpPage(TrpComponent* owner) : TrpPage() { AttachTo(owner); }

    bool IsPage() const override { return true; }

    static void RegisterClass(PropertyRegistry& registry);
};

enum TrpDuplexMode : int { dmNone, dmVertical, dmHorizontal, dmSimplex };

class TrpReportPage : public TrpPage {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    // A4 portrait (210 x 297 mm), no margins, bins 7, one copy.
    TrpReportPage();
    explicit TrpReportPage(TrpComponent* owner) : TrpReportPage() { AttachTo(owner); }
    ~TrpReportPage() override;

    // Dot-matrix pages snap their bands to the character grid.
    virtual bool IsDotMatrixPage() const { return false; }

    // --- paper; the pixel size always follows (PaperSize 256 and above excepted)
    TPrinterOrientation Orientation() const { return orientation_; }
    // A change swaps paper width and height and rotates the margins.
    void SetOrientation(TPrinterOrientation value);
    double PaperWidth() const { return paperWidth_; }
    double PaperHeight() const { return paperHeight_; }
    int32_t PaperSize() const { return paperSize_; }
    // Rounded to 8 decimals; the paper becomes custom (256).
    virtual void SetPaperWidth(double value);
    virtual void SetPaperHeight(double value);
    // A code of the paper table takes its size (swapped in landscape); 256 and above keep
    // the current size and pixel size.
    virtual void SetPaperSize(int32_t value);
    // All three without the paper table.
    void SetSizeAndDimensions(int32_t paperSize, double width, double height);
    // Margins of 10 mm and the current printer's paper and orientation (A4 portrait without
    // a printer).
    virtual void SetDefaults();
    // Width and Height from the paper: mm x 3.77953, rounded half to even.
    void UpdateDimensions();
    // The printable area of the oriented page in pixels, (paper - margins) x 3.77953,
    // unrounded: what the engine gives a run as its page width and height.
    double PrintableWidth() const;
    double PrintableHeight() const;

    double LeftMargin = 0; // millimetres
    double RightMargin = 0;
    double TopMargin = 0;
    double BottomMargin = 0;
    bool MirrorMargins = false;

    // --- columns
    int32_t Columns() const { return columns_; }
    // Rebuilds ColumnPositions: n equal columns over the printable width.
    void SetColumns(int32_t value);
    double ColumnWidth = 0; // millimetres
    // The left edge of each column in millimetres, as decimal text.
    const QStringList& ColumnPositions() const { return columnPositions_; }
    void SetColumnPositions(const QStringList& lines) { columnPositions_ = lines; }

    int32_t Bin = 7;
    int32_t BinOtherPages = 7;
    TrpDuplexMode Duplex = dmNone;
    bool EndlessHeight = false;
    bool EndlessWidth = false;
    bool LargeDesignHeight = false;
    QString OutlineText;
    bool PrintIfEmpty = true;
    bool PrintOnPreviousPage = false; // continue on the last prepared page
    bool ResetPageNumbers = false;
    bool TitleBeforeHeader = true;
    bool BackPictureVisible = true;
    bool BackPicturePrintable = true;
    QString OnAfterPrint;
    QString OnBeforePrint;
    QString OnManualBuild;

    // Copies of the page when it has no data set; values below 1 are ignored.
    int32_t PageCount() const { return pageCount_; }
    void SetPageCount(int32_t value);

    const QStringList& HGuides() const { return hGuides_; }
    void SetHGuides(const QStringList& lines) { hGuides_ = lines; }
    const QStringList& VGuides() const { return vGuides_; }
    void SetVGuides(const QStringList& lines) { vGuides_ = lines; }
    void ClearGuides();

    // Background: the picture, colour and frame of the back-picture view.
    TrpPictureView& BackPictureView() { return *backPicture_; }
    TrpPicture& BackPicture() { return backPicture_->Picture(); }
    void SetBackPicture(const TrpPicture& picture) { backPicture_->SetPicture(picture); }
    int32_t Color() const { return backPicture_->Color; }
    void SetColor(int32_t value) { backPicture_->Color = value; }
    TrpFrame& Frame() { return backPicture_->Frame(); }
    void SetFrame(const TrpFrame& frame) { backPicture_->SetFrame(frame); }
    // The background over the printable area, at the margins (the bands are drawn by whoever
    // draws the page): left out while printing unless it is printable.
    void Draw(QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
              const TrpDrawContext& context);

    // One printed copy per record.
    TrpDataSet* DataSet() const;
    void SetDataSet(TrpDataSet* dataSet);
    QString DataSetName() const;
    void SetDataSetName(const QString& name);

    // The subreport that prints this page, none when it is a page of its own.
    TrpSubreport* SubReport() const;
    bool IsSubReport() const { return SubReport() != nullptr; }
    // The first band of the class (subclasses count), or none.
    TrpBand* FindBand(const ScriptClassInfo& bandClass) const;

    QString GetDescription() const override;
    // Aligns the bands over the printable area: vertical bands get its height below their
    // top, the others its width right of their left (a column's width on a page of several
    // columns); then each band aligns its views.
    void AlignChildren() override;

    // --- run-time state of the engine, not stored: the band trees of a run
    std::vector<QPointer<TrpBand>> SubBands;
    std::vector<QPointer<TrpBand>> VSubBands;

    static void RegisterClass(PropertyRegistry& registry);

private:
    friend class TrpSubreport;

    std::unique_ptr<TrpPictureView> backPicture_;
    QPointer<TrpComponent> subReport_;
    QPointer<TrpComponent> dataSet_;
    QString dataSetName_;
    QStringList columnPositions_;
    QStringList hGuides_;
    QStringList vGuides_;
    TPrinterOrientation orientation_ = poPortrait;
    double paperWidth_ = 210;
    double paperHeight_ = 297;
    int32_t paperSize_ = kPaperA4;
    int32_t columns_ = 0;
    int32_t pageCount_ = 1;
};

// The page of a report's data sets and connections: every loaded report has one, "Data", first.
class TrpDataPage : public TrpPage {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpDataPage();
    explicit TrpDataPage(TrpComponent* owner) : TrpDataPage() { AttachTo(owner); }

    QString GetDescription() const override;

    static void RegisterClass(PropertyRegistry& registry);
};

// A view that prints another report page in its place.
class TrpSubreport : public TrpView {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpSubreport();
    explicit TrpSubreport(TrpComponent* owner) : TrpSubreport() { AttachTo(owner); }
    ~TrpSubreport() override;

    bool PrintOnParent = false;
    // The page and its subreport point at each other.
    TrpReportPage* Page() const { return page_.data(); }
    void SetPage(TrpReportPage* page);

    QString GetDescription() const override;

    // Drawn as a view, then its name at two pixels right of and below its corner.
    void Draw(QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
              const TrpDrawContext& context) override;

    static void RegisterClass(PropertyRegistry& registry);

private:
    friend class TrpReportPage;
    QPointer<TrpReportPage> page_;
};

// A window the report shows before it runs. Its window comes from the services table; without
// one the page keeps its values itself.
class TrpDialogPage : public TrpPage {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpDialogPage();
    explicit TrpDialogPage(TrpComponent* owner);
    // Under the model's global lock: the window is not destroyed while another thread builds
    // report objects.
    ~TrpDialogPage() override;

    bool IsDialogPage() const override { return true; }

    TFormBorderStyle BorderStyle = bsSizeable; // applied when shown
    TPosition Position = poScreenCenter;
    TWindowState WindowState = wsNormal;
    QString OnActivate;
    QString OnClick;
    QString OnCloseQuery;
    QString OnDeactivate;
    QString OnHide;
    QString OnKeyDown;
    QString OnKeyPress;
    QString OnKeyUp;
    QString OnResize;
    QString OnShow;

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& value);
    int32_t Color() const { return color_; }
    void SetColor(int32_t value);
    // The window's client size; setting it stores the window's resulting outer size.
    int32_t ClientWidth() const;
    void SetClientWidth(int32_t value);
    int32_t ClientHeight() const;
    void SetClientHeight(int32_t value);
    int32_t ModalResult() const;
    void SetModalResult(int32_t value);

    // Move and resize the window too; while loading, a client size already set wins.
    void SetLeft(double value) override;
    void SetTop(double value) override;
    void SetWidth(double value) override;
    void SetHeight(double value) override;
    void FontChanged() override;

    // The window, none without a dialog window service.
    ITrpDialogWindow* DialogForm() const { return window_.get(); }
    // Hides the window, applies Position and WindowState and connects its events.
    void Initialize();
    // Shows the window modally and answers its modal result (mrNone without a window).
    int32_t ShowModal();

    QString GetDescription() const override;

    static void RegisterClass(PropertyRegistry& registry);

private:
    void CopyWindowBounds();
    void Bridge(const QString& eventName);

    std::unique_ptr<ITrpDialogWindow> window_;
    QString caption_;
    int32_t color_ = clBtnFace;
    int32_t clientWidth_ = 0;
    int32_t clientHeight_ = 0;
    int32_t modalResult_ = 0;
};
