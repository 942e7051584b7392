#pragma once

// Stand-ins for what the report model asks of the libraries above it, for the tests of the
// model and of the issues that build on it: an engine that walks the data bands record by
// record, a prepared-page store that records every call, a dialog window, a fixed clock, a
// user-interface service that records its message boxes and the links it opens, and the
// services table that hands them out.

#include "report/core/Services.h"
#include "report/model/rpClass_aggregates.h"
#include "report/model/rpClass_services.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TrpDataBand;

namespace reporttest {

// The services' clock fixed at a value (days since 30 December 1899) while it lives.
class FixedReportClock : public IClockService {
public:
    explicit FixedReportClock(double now = 46000.5) : now_(now) { ReportServices::SetClock(this); }
    ~FixedReportClock() override { ReportServices::SetClock(nullptr); }
    double Now() override { return now_; }
    void Set(double now) { now_ = now; }

private:
    double now_;
};

// Records the message boxes (caption and text) instead of showing them; answers `Answer`.
class RecordingReportUi : public IUiService {
public:
    RecordingReportUi() { ReportServices::SetUi(this); }
    ~RecordingReportUi() override { ReportServices::SetUi(nullptr); }
    void ShowMessage(const QString& text) override { Messages << text; }
    int MessageDlg(const QString& caption, const QString& text, UiMessageType, uint32_t) override
    {
        Messages << caption + QStringLiteral(": ") + text;
        return Answer;
    }
    // Records the link instead of opening it.
    void OpenUrl(const QUrl& url) override { OpenedUrls << url.toString(); }
    QStringList Messages;
    QStringList OpenedUrls;
    int Answer = mrNone;
};

// Walks every data band of every report page record by record (a band without a data set
// walks its RowCount rows), recording "BandName:RecNo" for each record; the rest of the
// engine's operations are recorded by name. Like the engine, it finds the aggregate calls of
// each page (from the band trees SubBands, Footer and Group a test builds), feeds every record
// to them, asks them for the values of the aggregate functions while a band's footer "prints"
// (OnFooter) and resets them after it. A band may have one level of groups: the first group
// header's condition is evaluated for every record, and a change closes the group (its footer
// prints). "Line" counts the records of a group or of one walk of a band, "Line#" every record
// of the run.
class FakeEngine : public TrpCustomEngine {
public:
    explicit FakeEngine(TrpReport* report) : TrpCustomEngine(report) {}

    // Records of one band at most (a data set that never ends stops here).
    static constexpr int kMaxRecords = 100000;

    QStringList Walked;
    QStringList Calls;
    std::function<void(TrpDataBand& band)> OnRecord;
    std::function<void(TrpBand& footer)> OnFooter;
    // The aggregate items of the last run.
    std::unique_ptr<TrpAggregateList> Aggregates;
    // The band whose objects are being "printed" (a footer), none between them.
    TrpBand* CurrentBand = nullptr;

    bool Run() override;
    void EndPage() override { Calls << QStringLiteral("EndPage"); }
    void NewColumn() override { Calls << QStringLiteral("NewColumn"); }
    void NewPage() override { Calls << QStringLiteral("NewPage"); }
    void ShowBand(TrpBand* band) override;
    void ShowBand(const ScriptClassInfo& bandClass) override { Calls << QStringLiteral("ShowBand ") + bandClass.Name; }
    double HeaderHeight() override { return 0; }
    double FooterHeight() override { return 0; }
    double FreeSpace() override { return 1e6; }
    Variant GetAggregateValue(const QString& name, const QString& expression, TrpBand* band, int32_t flags) override;

private:
    // The footer "prints" (OnFooter with CurrentBand set), then its totals start again.
    void ShowFooter(TrpBand* footer);
};

// Records every call by name (with its arguments where they matter).
class FakeStore : public TrpCustomPreviewPages {
public:
    explicit FakeStore(TrpReport* report) : TrpCustomPreviewPages(report) {}

    QStringList Calls;
    int32_t Pages = 0;

    int32_t GetCount() override { return Pages; }
    TrpReportPage* GetPage(int32_t) override { return nullptr; }
    QPoint GetPageSize(int32_t) override { return QPoint(); }
    void Clear() override { Calls << QStringLiteral("Clear"); }
    void Initialize() override { Calls << QStringLiteral("Initialize"); }
    void AddObject(TrpComponent* object) override;
    void AddPage(TrpReportPage* page) override;
    void AddSourcePage(TrpReportPage*) override { Calls << QStringLiteral("AddSourcePage"); }
    void AddToSourcePage(TrpComponent*) override { Calls << QStringLiteral("AddToSourcePage"); }
    void BeginPass() override { Calls << QStringLiteral("BeginPass"); }
    void ClearFirstPassPages() override { Calls << QStringLiteral("ClearFirstPassPages"); }
    void CutObjects(int32_t position) override { Calls << QStringLiteral("CutObjects %1").arg(position); }
    void Finish() override { Calls << QStringLiteral("Finish"); }
    void IncLogicalPageNumber() override { Calls << QStringLiteral("IncLogicalPageNumber"); }
    void ResetLogicalPageNumber() override { Calls << QStringLiteral("ResetLogicalPageNumber"); }
    void PasteObjects(double x, double y) override { Calls << QStringLiteral("PasteObjects %1 %2").arg(x).arg(y); }
    void ShiftAnchors(int32_t from, int32_t newTop) override
    {
        Calls << QStringLiteral("ShiftAnchors %1 %2").arg(from).arg(newTop);
    }
    void AddPicture(TrpPictureView*) override { Calls << QStringLiteral("AddPicture"); }
    bool BandExists(TrpBand*) override { return false; }
    int32_t GetCurPosition() override { return 0; }
    int32_t GetAnchorCurPosition() override { return 0; }
    double GetLastY(double) override { return 0; }
    int32_t GetLogicalPageNo() override { return Pages; }
    int32_t GetLogicalTotalPages() override { return Pages; }
    void AddEmptyPage(int32_t index) override { Calls << QStringLiteral("AddEmptyPage %1").arg(index); }
    void DeletePage(int32_t index) override { Calls << QStringLiteral("DeletePage %1").arg(index); }
    void ModifyPage(int32_t index, TrpReportPage*) override { Calls << QStringLiteral("ModifyPage %1").arg(index); }
    void DrawPage(int32_t index, QPainter&, double, double, double, double, const TrpDrawContext&) override
    {
        Calls << QStringLiteral("DrawPage %1").arg(index);
    }
    void ObjectOver(int32_t, int32_t, int32_t, int32_t, uint32_t, double, int32_t, int32_t, bool, int32_t&,
                    bool) override
    {
        Calls << QStringLiteral("ObjectOver");
    }
    void AddFrom(TrpReport&) override { Calls << QStringLiteral("AddFrom"); }
    void LoadFromStream(QIODevice&, bool) override { Calls << QStringLiteral("LoadFromStream"); }
    void LoadFromStream(std::unique_ptr<QIODevice>, bool) override { Calls << QStringLiteral("LoadFromStream"); }
    void SaveToStream(QIODevice&) override { Calls << QStringLiteral("SaveToStream"); }
    bool LoadFromFile(const QString& fileName, bool) override
    {
        Calls << QStringLiteral("LoadFromFile ") + fileName;
        return false;
    }
    void SaveToFile(const QString& fileName) override { Calls << QStringLiteral("SaveToFile ") + fileName; }
    bool Print() override
    {
        Calls << QStringLiteral("Print");
        return true;
    }
    bool Export(TrpCustomExportFilter*) override
    {
        Calls << QStringLiteral("Export");
        return true;
    }
};

// A dialog page's window without a window: it keeps what it is told and records the calls.
class FakeDialogWindow : public ITrpDialogWindow {
public:
    // The frame the window adds around its client area.
    static constexpr int kFrameWidth = 8;
    static constexpr int kFrameHeight = 30;

    void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override
    {
        BoundsRect = QRect(left, top, width, height);
    }
    QRect Bounds() const override { return BoundsRect; }
    void SetClientWidth(int32_t width) override { BoundsRect.setWidth(width + kFrameWidth); }
    void SetClientHeight(int32_t height) override { BoundsRect.setHeight(height + kFrameHeight); }
    int32_t ClientWidth() const override { return BoundsRect.width() - kFrameWidth; }
    int32_t ClientHeight() const override { return BoundsRect.height() - kFrameHeight; }
    void SetCaption(const QString& caption) override { Caption = caption; }
    void SetColor(int32_t color) override { Color = color; }
    void SetFont(const TrpFont& font) override;
    void SetBorderStyle(TFormBorderStyle style) override { BorderStyle = style; }
    void SetPosition(TPosition position) override { Position = position; }
    void SetWindowState(TWindowState state) override { WindowState = state; }
    void SetStayOnTop(bool onTop) override { Calls << (onTop ? QStringLiteral("StayOnTop") : QStringLiteral("Normal")); }
    bool IsVisible() const override { return Visible; }
    void Hide() override { Visible = false; }
    int32_t ModalResult() const override { return Result; }
    void SetModalResult(int32_t result) override { Result = result; }
    int32_t ShowModal() override
    {
        Calls << QStringLiteral("ShowModal");
        if (WhileShown)
            WhileShown(*this);
        return Result;
    }
    void SetEvents(Events events) override { Handlers = std::move(events); }

    QRect BoundsRect;
    QString Caption;
    QString FontName;
    int32_t Color = 0;
    TFormBorderStyle BorderStyle = bsSizeable;
    TPosition Position = poDesigned;
    TWindowState WindowState = wsNormal;
    bool Visible = false;
    int32_t Result = mrNone;
    Events Handlers;
    QStringList Calls;
    // What happens while the window is shown modally (a test plays the user).
    std::function<void(FakeDialogWindow& window)> WhileShown;
};

// A services table with the fakes, keeping the last ones made; installed while it lives.
class FakeServices {
public:
    FakeServices();
    ~FakeServices();
    FakeServices(const FakeServices&) = delete;
    FakeServices& operator=(const FakeServices&) = delete;

    FakeEngine* LastEngine = nullptr;
    FakeStore* LastStore = nullptr;
    FakeDialogWindow* LastWindow = nullptr;
    // The password prompt's answers in turn: a text is typed and confirmed, none cancels.
    std::vector<std::optional<QString>> PasswordAnswers;
    int PasswordPrompts = 0;
    std::optional<TrpPrinterDefaults> Printer;
    QStringList PrintersSelected;
    int InheritAnswer = mrCancel;
    bool InheritDelete = true;

private:
    std::unique_ptr<ModelServicesScope> scope_;
};

} // namespace reporttest
