#pragma once

// Prepared pages built by hand, the way the engine fills the store: for the tests of the
// prepared-page store and of everything that reads prepared pages (the engine's own tests,
// printing, the preview, the script bindings, the exports), and for the fuzz seeds. The
// committed tests/report/engine/data/zp3/two-pages.zp3 is BuildTwoPageStore saved.

#include "report/engine/rpPreviewPages.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace enginetest {

// An engine that does not run: a test sets what the store reads of it (FinalPass, CurY,
// Running, TotalPages).
class StubEngine : public TrpCustomEngine {
public:
    explicit StubEngine(TrpReport* report) : TrpCustomEngine(report) { FinalPass = true; }

    bool Run() override { return false; }
    void EndPage() override {}
    void NewColumn() override {}
    void NewPage() override {}
    void ShowBand(TrpBand*) override {}
    void ShowBand(const ScriptClassInfo&) override {}
    double HeaderHeight() override { return 0; }
    double FooterHeight() override { return 0; }
    double FreeSpace() override { return 0; }
    Variant GetAggregateValue(const QString&, const QString&, TrpBand*, int32_t) override { return Variant(); }
};

// A report with the engine library's store (EngineRuntime::init is called) and a stub engine
// attached to it. Reports are QObjects and stay where they are made: the report is held by
// pointer.
struct PreparedReport {
    PreparedReport();
    ~PreparedReport();
    PreparedReport(PreparedReport&&) noexcept;
    PreparedReport& operator=(PreparedReport&&) noexcept;

    TrpReport& Report() const { return *report; }
    TrpPreviewPages& Store() const { return *store; }
    StubEngine& Engine() const { return *engine; }

    std::unique_ptr<TrpReport> report;
    std::unique_ptr<StubEngine> engine;
    TrpPreviewPages* store = nullptr; // the report's
};

// The saved form of the store.
QByteArray SaveStore(TrpPreviewPages& store);
// A store of a new report loaded from bytes (whole).
void LoadStore(TrpPreviewPages& store, const QByteArray& bytes);

// A memo on `parent` in Arial 10 pt.
TrpMemoView* AddMemo(TrpComponent* parent, const QString& name, double left, double top, double width, double height,
                     const QString& text);
template <class Band>
Band* AddBand(TrpComponent* page, const QString& name, double top, double height)
{
    auto* band = new Band(page);
    band->SetName(name);
    band->SetBounds(0, top, 718, height);
    return band;
}
// An 8 x 8 picture file of one colour (BMP: its bytes are the same on every machine).
QByteArray BmpBytes(uint32_t rgb = 0x3366CC);

// Prints a band as the engine does: placed at `top`, `fill` changes its objects for this
// copy (texts), the store takes the copy, then the band and its objects are put back.
void PrintBand(TrpPreviewPages& store, TrpBand& band, double top, const std::function<void()>& fill = {});

// The two-page fixture's template: report "Пример" with page "Page1" (A4, 10 mm margins):
// PageHeader1 with the memo Title and the picture Logo, MasterData1 with the memos Name and
// Value (right-aligned), PageFooter1 with the memo PageNo ("Страница N из [TotalPages#]").
void BuildTwoPageTemplate(TrpReport& report);

// The store of the two-page fixture, filled in one pass: page 1 with the header, rows 1 to 3
// and the footer, page 2 with rows 4 and 5 and the footer; an outline entry per page and one
// per row ("Строка N"), and an anchor "row4" at row 4.
PreparedReport BuildTwoPageStore();

// One page of a paper store: its paper (a code of the paper table, or 256 with the size given
// in millimetres in the orientation), bins and duplex.
struct PaperPage {
    int32_t paperSize = kPaperA4;
    TPrinterOrientation orientation = poPortrait;
    double width = 0;
    double height = 0;
    int32_t bin = 7;
    int32_t binOtherPages = 7;
    TrpDuplexMode duplex = dmNone;
};

// Margins of the pages of a paper store, millimetres.
inline constexpr double kPaperStoreMargins = 10;
// Where the framed memo of a paper-store page stands inside the printable area, in pixels: from
// this inset to the same inset before the printable area's right and bottom edges.
inline constexpr double kPaperStoreFrameInset = 40;

// A store with one page per entry, each from a report page of its own (Page1, Page2, ...)
// with margins of kPaperStoreMargins: a band covering the printable area with the memo Frame
// (framed on all sides, kPaperStoreFrameInset inside the printable area, text "Страница N")
// and the memo Hidden (framed and filled, at the printable corner, not printable).
PreparedReport BuildPaperStore(const std::vector<PaperPage>& pages);

} // namespace enginetest
