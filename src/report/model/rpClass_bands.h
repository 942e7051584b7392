#pragma once

// Bands: the strips of a report page that hold views. A band's class decides when the engine
// prints it; besides the stored properties a band carries the run-time state the engine keeps
// in it (the band tree of a page, record counters, heights as printed).

#include "rpClass.h"

#include "report/core/Variant.h"

#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class TrpChild;
class TrpDataSet;
class TrpUserDataSet;

// RowCount of a data band without a data set prints that many rows; more are refused, so a
// file cannot make the engine loop for ever.
inline constexpr int32_t kMaxRowCount = 1000000;
// Columns of a data band or a page.
inline constexpr int32_t kMaxColumns = 1000;
// The character grid of dot-matrix pages, in pixels.
inline constexpr double kDotMatrixColumn = 9.6;
inline constexpr double kDotMatrixRow = 17;

class TrpBand : public TrpReportComponent {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpBand();
    explicit TrpBand(TrpComponent* owner) : TrpBand() { AttachTo(owner); }
    ~TrpBand() override;

    bool IsBand() const override { return true; }

    bool AllowSplit = false;       // may be cut across pages when it does not fit
    bool KeepChild = false;        // keep the band and its child on one page
    QString OnAfterCalcHeight;     // script event run after the height is computed
    QString OutlineText;           // expression whose value becomes an outline item
    bool StartNewPage = false;
    bool Stretched = false;        // the height follows the tallest object
    bool PrintChildIfInvisible = false;
    bool Vertical = false;         // runs left to right

    // The child band printed right after this one (not owned; forgotten when it goes).
    TrpChild* Child() const;
    // Refuses a chain of children that comes back to this band ("clCirRefNotAllow").
    void SetChild(TrpChild* child);

    // The class name without its first "Trp" and then its first "Band" ("MasterData", "Data4").
    QString BandName() const;
    // The band's kind as the engine numbers it (see rpClass_bands.cpp); 0 for a band of no
    // listed kind.
    int BandNumber() const;

    // Snapped to the character grid on a dot-matrix page.
    void SetLeft(double value) override;
    void SetTop(double value) override;
    void SetHeight(double value) override;

    QString GetDescription() const override;
    // Bands draw nothing themselves.
    void Draw(QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
              const TrpDrawContext& context) override;

    // --- run-time state of the engine, not stored
    bool Overflow = false;                          // re-printed as a repeated header
    std::vector<QPointer<TrpBand>> SubBands;        // detail bands, or the run of group headers
    QPointer<TrpBand> Header;                       // the TrpHeader of a data band
    QPointer<TrpBand> Footer;                       // TrpFooter of a data band, TrpGroupFooter of a group header
    QPointer<TrpBand> Group;                        // first group header of a data band's groups
    int32_t LineN = 0;                              // record within the parent record or group, from 1
    int32_t LineThrough = 0;                        // record from 1 through group changes
    int32_t OriginalObjectsCount = -1;              // design objects; -1 when none were added
    bool HasVBands = false;                         // objects moved into vertical bands
    double StretchedHeight = 0;                     // the height as printed

    static void RegisterClass(PropertyRegistry& registry);

private:
    QPointer<TrpBand> child_;
};

// Properties of the band base that the kinds publish, each as its kind lists it.
enum class TrpBandProperty {
    AllowSplit, KeepChild, PrintChildIfInvisible, StartNewPage, Stretched, Child, OutlineText
};
void PublishBandProperty(RegisteredClass& cls, TrpBandProperty property);

// A band printed once per record of a data set (or RowCount times without one).
class TrpDataBand : public TrpBand {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpDataBand();
    explicit TrpDataBand(TrpComponent* owner) : TrpDataBand() { AttachTo(owner); }
    ~TrpDataBand() override;

    double ColumnGap = 0;       // pixels
    double ColumnWidth = 0;     // pixels
    bool FooterAfterEach = false;
    bool KeepFooter = false;
    bool KeepHeader = false;
    bool KeepTogether = false;
    bool PrintIfDetailEmpty = false;
    QString OnMasterDetail;     // script event
    double MaxY = 0;            // run-time: lowest bottom reached by the band's columns

    int32_t Columns() const { return columns_; }
    void SetColumns(int32_t value) { columns_ = value; }
    // The row count of a band without a data set; also the virtual data set's record count.
    int32_t RowCount() const { return rowCount_; }
    void SetRowCount(int32_t value);
    // Run-time column, from 1: above Columns it wraps to 1 (which resets MaxY); Left follows.
    int32_t CurColumn() const { return curColumn_; }
    void SetCurColumn(int32_t value);

    TrpDataSet* DataSet() const;
    void SetDataSet(TrpDataSet* dataSet);
    QString DataSetName() const;
    void SetDataSetName(const QString& name);
    // Counts RowCount records for a band without a data set.
    TrpUserDataSet& VirtualDataSet() { return *virtualDataSet_; }

    QString GetDescription() const override;

    static void RegisterClass(PropertyRegistry& registry);

private:
    std::unique_ptr<TrpUserDataSet> virtualDataSet_;
    QPointer<TrpComponent> dataSet_;
    QString dataSetName_;
    int32_t columns_ = 0;
    int32_t rowCount_ = 0;
    int32_t curColumn_ = 0;
};

// Declares a band kind without members of its own.
#define TRP_BAND_KIND(Name, Base)                                                                                      \
    class Name : public Base {                                                                                         \
    public:                                                                                                            \
        static const ScriptClassInfo& Class();                                                                         \
        const ScriptClassInfo& ScriptClass() const override { return Class(); }                                        \
        Name() = default;                                                                                              \
        explicit Name(TrpComponent* owner) : Name() { AttachTo(owner); }                                               \
        static void RegisterClass(PropertyRegistry& registry);                                                         \
    };

TRP_BAND_KIND(TrpMasterData, TrpDataBand)
TRP_BAND_KIND(TrpDetailData, TrpDataBand)
TRP_BAND_KIND(TrpSubdetailData, TrpDataBand)
TRP_BAND_KIND(TrpDataBand4, TrpDataBand)
TRP_BAND_KIND(TrpDataBand5, TrpDataBand)
TRP_BAND_KIND(TrpDataBand6, TrpDataBand)
TRP_BAND_KIND(TrpFooter, TrpBand)
TRP_BAND_KIND(TrpColumnHeader, TrpBand)
TRP_BAND_KIND(TrpColumnFooter, TrpBand)
TRP_BAND_KIND(TrpReportTitle, TrpBand)
TRP_BAND_KIND(TrpReportSummary, TrpBand)
TRP_BAND_KIND(TrpChild, TrpBand)

// An invisible carrier the engine uses for page-level objects and subreport output.
class TrpNullBand : public TrpBand {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    TrpNullBand() = default;
    explicit TrpNullBand(TrpComponent* owner) : TrpNullBand() { AttachTo(owner); }
    bool IsNullBand() const override { return true; }
    static void RegisterClass(PropertyRegistry& registry);
};

class TrpHeader : public TrpBand {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    TrpHeader() = default;
    explicit TrpHeader(TrpComponent* owner) : TrpHeader() { AttachTo(owner); }

    bool ReprintOnNewPage = false;

    static void RegisterClass(PropertyRegistry& registry);
};

class TrpPageHeader : public TrpBand {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    TrpPageHeader() = default;
    explicit TrpPageHeader(TrpComponent* owner) : TrpPageHeader() { AttachTo(owner); }

    bool PrintOnFirstPage = true;

    static void RegisterClass(PropertyRegistry& registry);
};

class TrpPageFooter : public TrpBand {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    TrpPageFooter() = default;
    explicit TrpPageFooter(TrpComponent* owner) : TrpPageFooter() { AttachTo(owner); }

    bool PrintOnFirstPage = true;
    bool PrintOnLastPage = true;

    static void RegisterClass(PropertyRegistry& registry);
};

class TrpGroupHeader : public TrpBand {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    TrpGroupHeader() = default;
    explicit TrpGroupHeader(TrpComponent* owner) : TrpGroupHeader() { AttachTo(owner); }

    QString Condition;           // expression whose change starts a group
    QString DrillName;
    bool DrillDown = false;
    bool ExpandDrillDown = false;
    bool ShowFooterIfDrillDown = false;
    bool ShowChildIfDrillDown = false;
    bool KeepTogether = false;
    bool ReprintOnNewPage = false;
    bool ResetPageNumbers = false;
    Variant LastValue;           // run-time: the condition's value for the current group

    // The base difference, then " DrillName=\"<name>\"" when DrillDown is on.
    QString Diff(const TrpComponent& original) const override;

    static void RegisterClass(PropertyRegistry& registry);
};

class TrpGroupFooter : public TrpBand {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    TrpGroupFooter() = default;
    explicit TrpGroupFooter(TrpComponent* owner) : TrpGroupFooter() { AttachTo(owner); }

    bool HideIfSingleDataRecord = false;

    static void RegisterClass(PropertyRegistry& registry);
};

class TrpOverlay : public TrpBand {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    TrpOverlay() = default;
    explicit TrpOverlay(TrpComponent* owner) : TrpOverlay() { AttachTo(owner); }

    bool PrintOnTop = false;

    static void RegisterClass(PropertyRegistry& registry);
};

// Registers every band class.
void RegisterBandClasses(PropertyRegistry& registry);
