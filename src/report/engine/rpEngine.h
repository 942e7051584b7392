#pragma once

// The report engine: turns a report document into prepared pages. It shows the dialog pages,
// walks every report page, prints its bands over the data sets, breaks pages and columns,
// keeps blocks together and hands every printed band to the prepared-page store.
//
// Units: rpEngine.cpp (the run, its passes, the band tree of a page, page runs),
// rpEngine_output.cpp (band output, stretching and shifting, splitting, page and column breaks,
// keep-together), rpEngine_data.cpp (data bands, groups, multi-column bands, outline items,
// subreports).

#include "report/model/rpClass_aggregates.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_services.h"

#include "platform/Exceptions.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

class TrpDataBand;
class TrpDataSet;
class TrpGroupHeader;
class TrpReportPage;
class TrpSubreport;

// A run that cannot go on (a band that can never fit, a subreport that prints itself, groups
// over a data set that cannot step back). The pages made so far stay.
class EEngineError : public platform::Exception {
public:
    using platform::Exception::Exception;
};

// Parts one band may be split into before the run gives up: far beyond any real report, it
// only guards against a part that never gets smaller.
inline constexpr int32_t kMaxSplitParts = 100000;

class TrpHeaderListItem {
public:
    QPointer<TrpBand> Band;
    double Left = 0;
    bool IsInKeepList = false;
};

// Bands printed again at the top of every page or column.
class TrpHeaderList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    TrpHeaderListItem& Items(int index) { return *items_.at(static_cast<size_t>(index)); }
    // Appends an entry, also for no band.
    void AddItem(TrpBand* band, bool isInKeepList, double left);
    // Removes the first entry of the band.
    void RemoveItem(TrpBand* band);
    void Clear() { items_.clear(); }

private:
    std::vector<std::unique_ptr<TrpHeaderListItem>> items_;
};

class TrpEngine : public TrpCustomEngine {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    explicit TrpEngine(TrpReport* report);
    ~TrpEngine() override;

    // On an endless-height page the footers plus CurY; otherwise the stored page height.
    double GetPageHeight() override;
    void EndPage() override;
    void BreakAllKeep() override;
    void NewColumn() override;
    void NewPage() override;
    void ShowBand(TrpBand* band) override;
    void ShowBand(const ScriptClassInfo& bandClass) override;
    double HeaderHeight() override;
    double FooterHeight() override;
    double FreeSpace() override;
    Variant GetAggregateValue(const QString& name, const QString& expression, TrpBand* band, int32_t flags) override;
    bool Run() override;

    TrpAggregateList& Aggregates() { return aggregates_; }

private:
    friend class RunGuard;

    // --- run and page runs (rpEngine.cpp)
    bool Initialize();
    void BuildBandTree(TrpReportPage* page, bool vertical);
    void CheckDataSets();
    bool ShowDialogPages();
    void RunAllPages();
    void RunReportPages();
    void BuildPage(TrpReportPage* page);
    void RunPage(TrpReportPage* page);
    void StartPage();
    // The current prepared page gets a paper of this size in pixels (endless pages).
    void ResizeCurrentPage(double width, double height);
    void PrintPageObjects();
    bool BandHasData(TrpDataBand* band);
    bool MastersHaveData(TrpReportPage* page);
    void FinishRun();
    TrpBand* PageBand(const ScriptClassInfo& bandClass) const;
    bool Terminated() const;
    void NotifyObjects(TrpBand* band);

    // --- band output (rpEngine_output.cpp)
    void OutputBand(TrpBand* band);
    void PrepareBand(TrpBand* band);
    void BuildShiftTree(TrpBand* band);
    void ShiftObjects(TrpComponent* parent, double distance);
    void FinishBand(TrpBand* band);
    void SplitBand(TrpBand* band);
    void CheckSuppress(TrpBand* band);
    void AddPage();
    void StartColumn();
    void ShowColumnFooter();
    void StartKeep(TrpBand* band, int32_t position = 0);
    void EndKeep(TrpBand* band);
    void PlaceAndAdd(TrpBand* band);
    bool IsPageHeaderBand(const TrpBand* band) const;

    // --- data bands (rpEngine_data.cpp)
    void PrintDataBands(const std::vector<QPointer<TrpBand>>& bands);
    void InitGroups(TrpDataBand* band, bool firstTime, int fromLevel);
    void CheckGroups(TrpDataBand* band, double rowStart, int32_t rowPosition);
    void ShowGroupFooters(int fromLevel, TrpDataBand* band);
    void CheckDrill(TrpDataBand* band);
    void NextDataColumn(TrpDataBand* band, int32_t rowPosition, double rowStart);
    void AddOutlineItem(TrpBand* band, const QString& outlineText);
    void ShowSubreports(TrpBand* band);
    void RunSubreportPage(TrpSubreport* subreport);
    void CollectParentSubreports(TrpBand* band);
    void ForgetLastValues(TrpBand* band);

    // --- vertical bands (rpEngine_vertical.cpp)
    void RunVerticalBands(TrpBand* master);
    void PrintVerticalDataBands(const std::vector<QPointer<TrpBand>>& bands);
    void OutputVerticalBand(TrpBand* band);
    void AddVerticalSlices(TrpBand* master);
    void MoveObjectsIntoVerticalBands(TrpReportPage* page);

    TrpAggregateList aggregates_;
    bool callFromAddPage_ = false;       // page headers are being printed again on a new page
    bool callFromEndPage_ = false;       // EndPage prints the report summary
    QPointer<TrpBand> curBand_;          // band being printed
    QPointer<TrpBand> lastBandOnPage_;   // band that caused the current page or column break
    bool dontShowHeaders_ = false;
    TrpHeaderList headerList_;
    bool firstReportPage_ = false;
    double firstColumnY_ = 0;            // top of the columns on the current page
    bool isFirstBand_ = false;           // nothing printed yet in this band loop
    bool isFirstPage_ = false;
    bool isLastPage_ = false;
    bool titlePrinted_ = false;
    QStringList hBandNamesTree_;         // data bands being printed, each with its record number
    QPointer<TrpBand> keepBand_;
    bool keepFooter_ = false;
    bool keeping_ = false;
    bool keepHeader_ = false;
    double keepCurY_ = 0;
    double prevFooterHeight_ = 0;        // page footer already placed on the last page
    TrpOutlinePosition keepOutline_;
    int32_t keepPosition_ = 0;
    int32_t keepAnchor_ = 0;
    bool callFromPHeader_ = false;
    QPointer<TrpReportPage> page_;       // report page being built
    double pageCurX_ = 0;                // horizontal offset of the current page run (subreports)
    QPointer<TrpBand> startNewPageBand_;
    bool initialized_ = false;           // Initialize succeeded in this run
    TrpNullBand* outputTo_ = nullptr;    // collects the bands of subreports printed on their parent band
    std::vector<QPointer<TrpBand>> vHeaderList_; // vertical headers printed again on every page
    std::vector<int32_t> vPageList_;     // master band object counts where vertical output went on a new page
    QPointer<TrpBand> vMasterBand_;      // horizontal band receiving the output of vertical bands
    int32_t vStartPage_ = 0;             // prepared page where the vertical output began
    // Report pages being built, outermost first: a subreport that leads back into one of them
    // would print itself for ever.
    std::vector<TrpReportPage*> buildingPages_;
};
