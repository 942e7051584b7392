#pragma once

// The machinery a report document talks to without knowing it: the engine that runs a report,
// the prepared-page store with its outline, the preview control and the designer window. They
// are pure interfaces here; the engine, preview and designer libraries implement them and
// register factories in the services table at start-up. Without them a report still loads,
// saves and evaluates; what needs them does nothing.

#include "rpPaperSizes.h"

#include "report/core/ObjectHandles.h"
#include "report/core/Variant.h"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QIODevice;
class QPainter;
class TrpBand;
class TrpComponent;
class TrpCustomExportFilter;
class TrpCustomPreviewPages;
class TrpDialogPage;
class ScriptFont;
using TrpFont = ScriptFont;
class TrpPictureView;
class TrpReport;
class TrpReportPage;
class TrpXMLItem;
struct TrpDrawContext;

// Whether a page produced again in the second pass overwrites the first pass's page or is added.
enum TrpAddPageAction : int { apWriteOver, apAdd };
enum TrpProgressType : int { ptRunning, ptExporting, ptPrinting };

// Shows one dialog page while a report runs.
using TrpRunDialogEvent = std::function<void(TrpDialogPage& page)>;

// The engine a report owns and gives to scripts as "Engine". Positions are pixels of the
// printable area of the current page.
class TrpCustomEngine : public ScriptObject {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    explicit TrpCustomEngine(TrpReport* report);
    ~TrpCustomEngine() override;

    TrpReport* Report() const { return report_; }
    TrpCustomPreviewPages* PreviewPages() const { return previewPages_; }
    void SetPreviewPages(TrpCustomPreviewPages* pages) { previewPages_ = pages; }

    int32_t CurColumn = 0;      // current column of a multi-column page, from 1
    int32_t CurVColumn = 0;     // current vertical column
    int32_t CurLine = 0;        // line number within the current data band
    int32_t CurLineThrough = 0; // line number through the whole report
    double CurX = 0;
    double CurY = 0;
    bool FinalPass = false;     // the pass now running is the last one
    double PageWidth = 0;       // printable width of the current page
    bool Running = false;
    double StartDate = 0;       // date and time the run began (days since 30 December 1899)
    double StartTime = 0;
    int32_t TotalPages = 0;     // page count found by the first pass
    bool SecondScriptCall = false;
    TrpRunDialogEvent OnRunDialog;
    // Objects told (OnNotify) after each data band.
    std::vector<QPointer<TrpComponent>> NotifyList;

    // The report's DoublePass engine option.
    bool DoublePass() const;
    // Height available on the current page.
    virtual double GetPageHeight() { return pageHeight_; }
    double PageHeight() { return GetPageHeight(); }
    void SetPageHeight(double value) { pageHeight_ = value; }

    virtual void EndPage() = 0;
    // Drops every pending keep-together block.
    virtual void BreakAllKeep() {}
    virtual void NewColumn() = 0;
    virtual void NewPage() = 0;
    // Outputs one band at the current position; none returns at once.
    virtual void ShowBand(TrpBand* band) = 0;
    // Outputs the current page's band of that class.
    virtual void ShowBand(const ScriptClassInfo& bandClass) = 0;
    virtual double HeaderHeight() = 0;
    virtual double FooterHeight() = 0;
    virtual double FreeSpace() = 0;
    virtual Variant GetAggregateValue(const QString& name, const QString& expression, TrpBand* band, int32_t flags) = 0;
    // Runs the whole report into PreviewPages; true when pages were produced.
    virtual bool Run() = 0;

    // Shows the report object of that name (none when there is none).
    void ShowBandByName(const QString& bandName);
    // Asks the report to stop.
    void StopReport();

private:
    TrpReport* report_;
    TrpCustomPreviewPages* previewPages_ = nullptr;
    double pageHeight_ = 0;
};

// Where the outline stood when a keep-together block began: the node entries were being added
// to and how many children it had then. Every entry added after it is a child of Parent from
// index Count on (with its own sub-entries).
struct TrpOutlinePosition {
    TrpXMLItem* Parent = nullptr; // none: the outline had no current node
    int32_t Count = 0;
};

// The outline of prepared pages: a tree with one node per entry (text, page, top).
// Scripts reach it as "Outline".
class TrpCustomOutline : public ScriptObject {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    explicit TrpCustomOutline(TrpCustomPreviewPages* previewPages) : previewPages_(previewPages) {}
    ~TrpCustomOutline() override = default;

    TrpCustomPreviewPages* PreviewPages() const { return previewPages_; }
    TrpCustomEngine* Engine() const;
    TrpXMLItem* CurItem = nullptr; // the current node

    // Number of children of the current node.
    virtual int32_t GetCount() = 0;
    int32_t Count() { return GetCount(); }
    // Adds a child of the current node for the store's current page and makes it current.
    virtual void AddItem(const QString& text, int32_t top) = 0;
    virtual void LevelDown(int32_t index) = 0;
    virtual void LevelRoot() = 0;
    virtual void LevelUp() = 0;
    virtual void GetItem(int32_t index, QString& text, int32_t& page, int32_t& top) = 0;
    // Moves the entries added after `from` to the store's current page, so that the first of
    // them starts at newTop (the others keep their distance to it).
    virtual void ShiftItems(const TrpOutlinePosition& from, int32_t newTop) = 0;
    // The current node and its number of children.
    virtual TrpOutlinePosition GetCurPosition() = 0;

private:
    TrpCustomPreviewPages* previewPages_;
};

// The prepared pages the engine fills and the preview, printing and exports read. Page objects
// it hands out belong to its page cache; callers never free them.
class TrpCustomPreviewPages {
public:
    explicit TrpCustomPreviewPages(TrpReport* report) : report_(report) {}
    virtual ~TrpCustomPreviewPages();

    TrpReport* Report() const { return report_; }
    TrpCustomEngine* Engine() const { return engine_; }
    void SetEngine(TrpCustomEngine* engine) { engine_ = engine; }
    TrpCustomOutline* Outline() const { return outline_.get(); }
    // The concrete store creates its outline.
    void SetOutline(std::unique_ptr<TrpCustomOutline> outline) { outline_ = std::move(outline); }

    TrpAddPageAction AddPageAction = apWriteOver;
    int32_t CurPage = 0;        // page being built, from 0
    int32_t CurPreviewPage = 0; // page shown in the preview
    int32_t FirstPage = 0;      // first page of the current report when several are joined

    virtual int32_t GetCount() = 0;
    int32_t Count() { return GetCount(); }
    virtual TrpReportPage* GetPage(int32_t index) = 0;
    virtual QPoint GetPageSize(int32_t index) = 0;
    virtual void Clear() = 0;
    virtual void Initialize() = 0;
    virtual void AddObject(TrpComponent* object) = 0;
    virtual void AddPage(TrpReportPage* page) = 0;
    virtual void AddSourcePage(TrpReportPage* page) = 0;
    virtual void AddToSourcePage(TrpComponent* object) = 0;
    virtual void BeginPass() = 0;
    virtual void ClearFirstPassPages() = 0;
    virtual void CutObjects(int32_t position) = 0;
    virtual void Finish() = 0;
    virtual void IncLogicalPageNumber() = 0;
    virtual void ResetLogicalPageNumber() = 0;
    virtual void PasteObjects(double x, double y) = 0;
    virtual void ShiftAnchors(int32_t from, int32_t newTop) = 0;
    virtual void AddPicture(TrpPictureView* picture) = 0;
    virtual bool BandExists(TrpBand* band) = 0;
    virtual int32_t GetCurPosition() = 0;
    virtual int32_t GetAnchorCurPosition() = 0;
    virtual double GetLastY(double columnPosition) = 0;
    virtual int32_t GetLogicalPageNo() = 0;
    virtual int32_t GetLogicalTotalPages() = 0;
    virtual void AddEmptyPage(int32_t index) = 0;
    virtual void DeletePage(int32_t index) = 0;
    virtual void ModifyPage(int32_t index, TrpReportPage* page) = 0;
    virtual void DrawPage(int32_t index, QPainter& painter, double scaleX, double scaleY, double offsetX,
                          double offsetY, const TrpDrawContext& context) = 0;
    // Hit-tests the objects under the mouse, runs click handlers and chooses the cursor.
    virtual void ObjectOver(int32_t index, int32_t x, int32_t y, int32_t button, uint32_t shift, double scale,
                            int32_t offsetX, int32_t offsetY, bool click, int32_t& cursor, bool doubleClick) = 0;
    virtual void AddFrom(TrpReport& report) = 0;
    // Reads a prepared report whole from a stream that stays the caller's.
    virtual void LoadFromStream(QIODevice& stream, bool allowPartialLoading) = 0;
    // The same from a stream the store takes over: with partial loading its pages stay in the
    // stream until they are needed.
    virtual void LoadFromStream(std::unique_ptr<QIODevice> stream, bool allowPartialLoading) = 0;
    virtual void SaveToStream(QIODevice& stream) = 0;
    // Whether the file exists; a missing file is skipped quietly unless exceptionIfNotFound.
    virtual bool LoadFromFile(const QString& fileName, bool exceptionIfNotFound) = 0;
    virtual void SaveToFile(const QString& fileName) = 0;
    virtual bool Print() = 0;
    virtual bool Export(TrpCustomExportFilter* filter) = 0;

private:
    TrpReport* report_;
    TrpCustomEngine* engine_ = nullptr;
    std::unique_ptr<TrpCustomOutline> outline_;
};

// The preview control showing a report's prepared pages. A report refers to it weakly: the
// control and the report unlink themselves from each other when either goes.
class TrpCustomPreview {
public:
    TrpCustomPreview() = default;
    virtual ~TrpCustomPreview();
    TrpCustomPreview(const TrpCustomPreview&) = delete;
    TrpCustomPreview& operator=(const TrpCustomPreview&) = delete;

    TrpReport* Report() const { return report_; }
    TrpCustomPreviewPages* PreviewPages() const { return previewPages_; }
    void SetPreviewPages(TrpCustomPreviewPages* pages) { previewPages_ = pages; }
    bool UseReportHints = false; // show the objects' hints

    // Attaches to the report's prepared pages and shows the first page.
    virtual void Init() = 0;
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
    virtual void RefreshReport() = 0;
    virtual void InternalOnProgressStart(TrpReport& sender, TrpProgressType type, int32_t progress) = 0;
    virtual void InternalOnProgress(TrpReport& sender, TrpProgressType type, int32_t progress) = 0;
    virtual void InternalOnProgressStop(TrpReport& sender, TrpProgressType type, int32_t progress) = 0;

    // What the prepared pages ask when the user points at or clicks an object (nothing here):
    // show the page of that number (from 1), show a page (from 1) at a vertical position in
    // pixels, show or hide the short hint of the object under the mouse, repaint the page.
    virtual void SetPageNo(int32_t) {}
    virtual void SetPosition(int32_t, int32_t) {}
    virtual void SetObjectHint(const QString&, bool) {}
    virtual void InvalidatePage() {}

private:
    friend class TrpReport;
    TrpReport* report_ = nullptr; // set by TrpReport::SetPreview
    TrpCustomPreviewPages* previewPages_ = nullptr;
};

// The designer window editing a report (or the prepared pages of a preview).
class TrpCustomDesigner {
public:
    TrpCustomDesigner(TrpReport* report, bool previewDesigner);
    virtual ~TrpCustomDesigner();
    TrpCustomDesigner(const TrpCustomDesigner&) = delete;
    TrpCustomDesigner& operator=(const TrpCustomDesigner&) = delete;

    TrpReport* Report() const { return report_; }
    bool IsPreviewDesigner() const { return previewDesigner_; }
    QString MemoFontName;
    int32_t MemoFontSize = 0;
    bool UseObjectFont = false;

    bool Modified() const { return modified_; }
    // Setting it true also marks the report modified; false leaves the report as it is.
    virtual void SetModified(bool value);
    TrpComponent* Page() const { return page_.data(); }
    virtual void SetPage(TrpComponent* page) { page_ = page; }
    std::vector<QPointer<TrpComponent>>& Objects() { return objects_; }
    std::vector<QPointer<TrpComponent>>& SelectedObjects() { return selectedObjects_; }

    // The window's part of opening it: the designer makes itself ready for the report (after
    // MDIChild is chosen); then it is shown modally (returning when it closes), modelessly (it
    // frees itself when it closes) or with its controls moved onto a panel of the program.
    virtual void SetMDIChild(bool) {}
    virtual void Start() {}
    virtual void ShowModal() {}
    virtual void ShowModeless() {}
    virtual void EmbedIn(QObject*) {}

    // Gives a freshly cleared report the designer's defaults (script language, margins and
    // paper of its first page); nothing without a designer window.
    virtual void SetReportDefaults() {}

    virtual QStringList Code() = 0;
    // Lets the user build an expression, starting from `expression`.
    virtual QString InsertExpression(const QString& expression) = 0;
    virtual void Lock() = 0;
    virtual void ReloadPages(int32_t index) = 0;
    virtual void ReloadReport() = 0;
    virtual void UpdateDataTree() = 0;
    virtual void UpdatePage() = 0;

protected:
    bool modified_ = false;

private:
    friend class TrpReport;
    TrpReport* report_;
    bool previewDesigner_;
    QPointer<TrpComponent> page_;
    std::vector<QPointer<TrpComponent>> objects_;
    std::vector<QPointer<TrpComponent>> selectedObjects_;
};

// The window of a dialog page: the page keeps its bounds, caption, colour and font in step
// with it, shows it modally and receives its events.
enum TFormBorderStyle : int { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition : int {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter, poMainFormCenter,
    poOwnerFormCenter
};
enum TWindowState : int { wsNormal, wsMinimized, wsMaximized };

class ITrpDialogWindow {
public:
    // What the window reports; the page connects them in Initialize.
    struct Events {
        std::function<void()> Activate;
        std::function<void()> Click;
        std::function<void(bool& canClose)> CloseQuery;
        std::function<void()> Deactivate;
        std::function<void()> Hide;
        std::function<void(int32_t& key, uint32_t shift)> KeyDown;
        std::function<void(int32_t& key, uint32_t shift)> KeyUp;
        std::function<void(QChar& key)> KeyPress;
        std::function<void()> Show;
        std::function<void()> Resize;
        std::function<void()> MouseMove;
        // The window was moved or resized by the user.
        std::function<void()> BoundsChanged;
    };

    virtual ~ITrpDialogWindow() = default;
    virtual void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
    virtual QRect Bounds() const = 0;
    virtual void SetClientWidth(int32_t width) = 0;
    virtual void SetClientHeight(int32_t height) = 0;
    virtual int32_t ClientWidth() const = 0;
    virtual int32_t ClientHeight() const = 0;
    virtual void SetCaption(const QString& caption) = 0;
    virtual void SetColor(int32_t color) = 0;
    virtual void SetFont(const TrpFont& font) = 0;
    virtual void SetBorderStyle(TFormBorderStyle style) = 0;
    virtual void SetPosition(TPosition position) = 0;
    virtual void SetWindowState(TWindowState state) = 0;
    virtual void SetStayOnTop(bool onTop) = 0;
    virtual bool IsVisible() const = 0;
    virtual void Hide() = 0;
    virtual int32_t ModalResult() const = 0;
    virtual void SetModalResult(int32_t result) = 0;
    // Shows the window until it closes (through the user-interface service's modal seam) and
    // answers its modal result.
    virtual int32_t ShowModal() = 0;
    virtual void SetEvents(Events events) = 0;
    // The window's widget, for dialog controls placed in it; none for a window without one.
    virtual QObject* NativeWindow() const { return nullptr; }
};

// The window showing a report's preview control.
class ITrpPreviewWindow {
public:
    virtual ~ITrpPreviewWindow() = default;
    // Its preview control (owned by the window); none for a window without one.
    virtual TrpCustomPreview* Preview() = 0;
    // Lays the window out; `maximized` keeps its designed position.
    virtual void Initialize(bool maximized) = 0;
    // Shows it until it closes (through the user-interface service's modal seam).
    virtual void ShowModal() = 0;
    // Shows it and returns; the window frees itself when it closes.
    virtual void ShowModeless(bool mdiChild) = 0;
    virtual void Close() = 0;
    virtual void SetStatusText(const QString& text, bool isHint) = 0;
    // Told when the window closes, before it is freed.
    std::function<void()> OnClosed;
};

// The progress window of a report run that shows no preview.
class ITrpProgressWindow {
public:
    virtual ~ITrpProgressWindow() = default;
    virtual void Start(const QString& caption) = 0;
    virtual void Progress(const QString& message, int32_t percent) = 0;
    virtual void Stop() = 0;
    // Whether the user asked to stop the run.
    virtual bool Cancelled() const { return false; }
};

// Paper defaults of the current printer.
struct TrpPrinterDefaults {
    int32_t PaperSize = kPaperA4;
    double PaperWidth = 210;  // millimetres, in the orientation given
    double PaperHeight = 297;
    TPrinterOrientation Orientation = poPortrait;
};

// What the report model asks of the libraries above it. Each entry may be empty: then the
// model goes on without it (no engine, no store, no window; a password prompt refuses, the
// inherit conflict dialog cancels, page defaults are A4 portrait).
struct TrpModelServices {
    std::function<std::unique_ptr<TrpCustomEngine>(TrpReport& report)> CreateEngine;
    std::function<std::unique_ptr<TrpCustomPreviewPages>(TrpReport& report)> CreatePreviewPages;
    std::function<std::unique_ptr<TrpCustomDesigner>(TrpReport& report, bool previewDesigner)> CreateDesigner;
    std::function<std::unique_ptr<ITrpDialogWindow>(TrpDialogPage& page)> CreateDialogWindow;
    std::function<std::unique_ptr<ITrpProgressWindow>(TrpReport& report)> CreateProgressWindow;
    std::function<std::unique_ptr<ITrpPreviewWindow>(TrpReport& report)> CreatePreviewWindow;
    // Asks for the password of a report (captions "5000", "5001", buttons "1", "2"); true with
    // the text entered when confirmed.
    std::function<bool(QString& password)> PasswordPrompt;
    // The current printer's paper defaults; none without a printer list.
    std::function<std::optional<TrpPrinterDefaults>()> PrinterDefaults;
    // Makes the named printer current; false when there is no such printer.
    std::function<bool(const QString& printerName)> SelectPrinter;
    // Asks what to do with objects a template and the report both have (texts 6000 to 6003):
    // a modal result, OK (1) with deleteDuplicates set for "delete", clear for "rename".
    std::function<int(bool& deleteDuplicates)> InheritConflict;
};

// The table of the process. Libraries install their entries at start-up on the main thread.
const TrpModelServices& ModelServices();
TrpModelServices& MutableModelServices();

// Replaces the whole table for as long as it lives, then puts the previous one back (tests).
class ModelServicesScope {
public:
    explicit ModelServicesScope(TrpModelServices services);
    ~ModelServicesScope();
    ModelServicesScope(const ModelServicesScope&) = delete;
    ModelServicesScope& operator=(const ModelServicesScope&) = delete;

private:
    TrpModelServices previous_;
};
