#pragma once

// What the device reports print, prepared for the report engine: the period's archive and
// journal records copied out of DaxHelper, the period totals, the abnormal-situation words of
// the period, the five data sets through which the engine reads all of it, and the column
// memos laid out in a report's bands. Everything here runs on the main thread.

#include "device/Records.h"
#include "presentation/ArchiveTableExchange.h"
#include "report/model/rpClass_datasets.h"

#include <QHash>
#include <QString>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

class DaxHelper;
namespace platform {
class RegistryStore;
}
class PropertyRegistry;
class TrpBand;
class TrpDataBand;
class TrpReport;

// ---------------------------------------------------------------------------------------
// The in-memory table of text cells and the data set that serves it

// One column: the name values are asked by, the width of its memos and the alignment of its
// value memo (a TrpHAlign: 0 left, 1 right, 2 centre, 3 block).
struct TSimpleField {
    TSimpleField(QString name, int32_t width, uint8_t align) : Name(std::move(name)), Width(width), Align(align) {}

    QString Name;
    int32_t Width = 0;
    uint8_t Align = 0;
};

// One row: cell i belongs to field i; nothing ties the number of cells to the number of fields.
struct TSimpleRecord {
    TSimpleRecord() = default;
    TSimpleRecord(std::initializer_list<QString> cells) : Cells(cells) {}

    std::vector<QString> Cells;
};

// Indexes are compared as unsigned numbers, so a negative index is out of range.
class TSimpleBase {
public:
    TSimpleBase() { Init(); }

    std::vector<TSimpleField> Fields;
    std::vector<TSimpleRecord> Records;

    void Init() { Clear(); }
    void Clear();
    // No check for a duplicate name: look-ups find the first.
    void AddField(const QString& name, int32_t width, uint8_t align);
    int32_t FieldCount() const { return static_cast<int32_t>(Fields.size()); }
    // "", 0 and 0 for an index out of range.
    QString FieldName(int32_t index) const;
    int32_t FieldWidth(int32_t index) const;
    uint8_t FieldAlign(int32_t index) const;
    // The first field of that exact name (case counts), or -1.
    int32_t FieldIndex(const QString& name) const;
    // Appends a copy; answers its index.
    int32_t AddRecord(const TSimpleRecord& record);
    int32_t RecordCount() const { return static_cast<int32_t>(Records.size()); }
    // "" when the record or the cell is not there.
    QString Cell(int32_t field, int32_t record) const;
    // The cell of the named field; "" for a name no field has (no figure that is not there).
    QString Value(const QString& fieldName, int32_t record) const;
};

// A report data set over an embedded table: at its end after RecordCount records, values by
// field name for the record RecNo. Values follow RecNo, so the engine may step back.
class TrpSimpleBaseDataSet : public TrpUserDataSet {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    // The designer-style constructor; `flags` of the object registry are not used.
    explicit TrpSimpleBaseDataSet(TrpComponent* owner = nullptr, uint16_t flags = 0);
    ~TrpSimpleBaseDataSet() override;

    TSimpleBase Table;

    using TrpUserDataSet::GetValue;
    // The end of data is RecNo not below the record count, whatever was computed before.
    void CheckEOF(TrpDataSet& sender, bool& eof);
    // The cell of the field for RecNo, as a string.
    void GetValue(const QString& fieldName, Variant& value);

    static void RegisterClass(PropertyRegistry& registry);
};

// ---------------------------------------------------------------------------------------
// The report settings record

// What the user chose for one report (the settings dialog fills it).
struct ReportSetupStruct {
    double BeginPeriod = 0;          // first day of the period (whole days since 30.12.1899)
    double EndPeriod = 0;            // last day of the period
    int32_t ReportType = 0;          // 0 archive, 1 abnormal-situation journal, 2 operator journal, 3 settings
    int32_t ReportData = 0;          // 0 heat system 1, 1 heat system 2, 2 cold water, 3 general
    bool TotalValuesShow = false;    // the period totals
    bool HourArchiveShow = false;    // the hour values
    bool NotStaffInfoShow = false;   // the abnormal-situation code list
    bool ChanelMShow = false;        // the mass channels
    bool ChanelVShow = false;        // the volume channels
    bool ChanelPShow = false;        // the pressure channels
    bool HardwareNSShow = false;     // the hardware abnormal situations
    bool ModeFlagsShow = false;      // the operating-mode flags
    QString Consumer;
    QString Supplier;
    uint8_t PrinterOrientation = 0;  // 0 portrait, 1 landscape
    bool PrintOnPreviousPage = false;
};

// The record as the settings dialog starts it at program start, before the stored choices
// are laid over it.
ReportSetupStruct DefaultReportSetup();

// Where the choices are kept between runs: thirteen values, the period and the page
// orientation left out (the period is chosen anew from the instrument's data each time, the
// orientation starts landscape at every start).
inline constexpr const char* kReportSetupKey = "\\Software\\Morvel\\DaxConfig\\ReportSetup";

// Lays the stored values over the record, each value on its own: one that is missing or of the
// other type takes its own fallback. Creates the key; when the key neither exists nor can be
// created, the record stays as it is. The store's default is the current user's.
void LoadReportSetup(ReportSetupStruct& setup, platform::RegistryStore& store);
void LoadReportSetup(ReportSetupStruct& setup);
// Writes the thirteen values (flags as 0 or 1, the names as they are). Nothing is written when
// the key neither exists nor can be created; a write that fails raises platform::Exception
// naming the value.
void SaveReportSetup(const ReportSetupStruct& setup, platform::RegistryStore& store);
void SaveReportSetup(const ReportSetupStruct& setup);

// What the settings dialog decides about the period, without its widgets: the dates the
// instrument's archives and journals cover, the selectable bounds of each report kind, and
// where a date picker ends up. All dates are whole days since 30 December 1899.
class ReportPeriodRules {
public:
    double DayArchiveFirst = 0;
    double DayArchiveLast = 0;
    double TotalArchiveFirst = 0;
    double TotalArchiveLast = 0;
    double HourArchiveFirst = 0;
    double HourArchiveLast = 0;
    double PeriodMin = 0;    // first selectable day
    double PeriodMax = 0;    // last selectable day, never before PeriodMin once bounds are applied

    // Which group boxes (and the system list) a report kind shows; the report-kind list always shows.
    struct Shown {
        bool ReportData = false;
        bool Interval = false;
        bool Data = false;
        bool System = false;
        bool Page = false;
    };
    // A date picker's date and limits.
    struct Picker {
        double Date = 0;
        double Minimum = 0;
        double Maximum = 0;
        bool operator==(const Picker&) const = default;
    };

    // Refreshes the cached dates of the report kind from the source's vectors, read under its
    // image lock: kind 0 the day, total day and hour archives (PeriodMin and PeriodMax stay),
    // kind 1 the abnormal-situation journal and kind 2 the operator journal straight into
    // PeriodMin and PeriodMax; other kinds nothing. A vector without a record of a real date
    // (empty, or only empty pages) gives `today` for both of its dates. No source: no records.
    void ScanArchiveDateRange(int32_t reportType, DaxHelper* source, double today);

    static Shown ControlsShown(int32_t reportType);

    // The bounds of the report kind from the cached dates: for the archive kind the day archive,
    // narrowed to the total day archive (first day moved one later: a period's totals start
    // from the day before it) while `totalValues` is set, and to the hour archive while
    // `hourArchive` is set; either is cleared when the source holds no such dated record.
    // Bounds that would cross become one day (PeriodMax = PeriodMin). False, with nothing
    // changed, for the settings kind or none, whose pickers are left alone.
    bool ApplyBounds(int32_t reportType, DaxHelper* source, bool& totalValues, bool& hourArchive);

    // Whether a date lies within the bounds (a bound itself is inside).
    bool Inside(double date) const { return PeriodMin <= date && date <= PeriodMax; }
    // Where a picker reset to the start or to the end of the period stands.
    Picker BeginReset() const { return {PeriodMin, PeriodMin, PeriodMax}; }
    Picker EndReset() const { return {PeriodMax, PeriodMin, PeriodMax}; }
};

// ---------------------------------------------------------------------------------------
// The report data

namespace ReportDataSetTag {
constexpr int32_t Day = 0;
constexpr int32_t Hour = 1;
constexpr int32_t Total = 2;
constexpr int32_t Count = 3;
} // namespace ReportDataSetTag

// The store behind the device reports. The five data sets belong to it; reports list them
// weakly, so destroying it before a report leaves the report's entries empty.
class TReportData {
public:
    TReportData();
    ~TReportData();
    TReportData(const TReportData&) = delete;
    TReportData& operator=(const TReportData&) = delete;

    std::vector<dax_namespace::ArchiveStruct> DayRecords;       // the period's day records
    std::vector<dax_namespace::ArchiveStruct> HourRecords;      // the hours of the period's days
    std::vector<dax_namespace::TotalArchiveStruct> TotalRows;   // begin, end, period (or none)
    dax_namespace::TotalArchiveStruct BeginTotals;              // totals at the end of the day before
    dax_namespace::TotalArchiveStruct EndTotals;                // totals at the end of the last day
    dax_namespace::TotalArchiveStruct PeriodTotals;             // end minus begin
    std::vector<dax_namespace::JournalStruct> NotStaffJournal;  // the period's abnormal-situation entries
    std::vector<dax_namespace::JournalStruct> OperatorJournal;  // the period's operator entries
    std::unique_ptr<TrpSimpleBaseDataSet> NotStaffDataSet;      // the abnormal-situation code list
    std::unique_ptr<TrpSimpleBaseDataSet> InfoDataSet;          // the journal rows
    std::vector<ArchiveTableExchangeContainer> ArchiveColumns;  // schema per Tag: day, hour, totals
    std::vector<std::unique_ptr<TrpUserDataSet>> ArchiveDataSets; // per Tag
    uint16_t HeatSystem1NotStaff = 0;
    uint16_t HeatSystem2NotStaff = 0;
    std::array<uint8_t, 6> ChanelNotStaff{};                    // per measuring channel 1..6
    uint16_t ModeFlags = 0;
    uint16_t HardwareNotStaff = 0;
    std::array<QString, 3> TotalCaptions;                       // the "Date" of totals rows 0..2

    // The data set's events, bound to this store: the end test and the values by Tag; First,
    // Next and Prior leave the position to RecNo.
    void WireArchiveDataSetEvents(TrpUserDataSet& dataSet);
    void ArchiveDataSetCheckEOF(TrpDataSet& sender, bool& eof);
    void ArchiveDataSetGetValue(TrpDataSet& sender, const QString& varName, Variant& value);
    // Empties the three archive data sets and their column schemas; the records stay.
    void ResetArchiveColumns();

    // Whether the check word of archive row `record` of data set `tag` does not match (such
    // rows print in red); false out of range.
    bool IsBadRecord(int32_t tag, int32_t record) const;
    // The rows of archive data set `tag`; 0 for another tag.
    size_t RowCount(int32_t tag) const;

private:
    // The column of a schema by name, through a name index kept per schema and checked
    // against the schema on every use (a schema rebuilt in place is found again).
    const ArchiveTableExchangeItem* FindColumn(size_t tag, const QString& name);

    struct ColumnIndex {
        QHash<QString, std::pair<size_t, std::string>> Positions; // name -> index and name as stored
    };
    std::array<ColumnIndex, ReportDataSetTag::Count> columnIndexes_;
};

// The field whose value is true for a row whose check word does not match; value memos of
// the archive tables turn red through it.
inline constexpr const char16_t* kBadRecordField = u"BadRecord";

// ---------------------------------------------------------------------------------------
// Period selection and the table data sets

// Copies the chosen period's records for the report type into the report data, accumulates
// the abnormal-situation words and builds the totals rows. False, after a message box, when
// the period holds no data for the report.
bool SelectReportPeriodData(TReportData& data, DaxHelper& helper, ReportSetupStruct setup);

// The record date of bytes 0..2 (year from 2000, month, day); false when they are no date.
bool ReportRecordDate(std::span<const uint8_t> bytes, double& date);

// The period's abnormal situations, one row per set bit, in the groups the day schema shows.
void BuildNotStaffDataSet(TReportData& data);
// The abnormal-situation journal records decoded into rows of InfoDataSet.
void BuildNotStaffJournalDataSet(TReportData& data, const std::vector<dax_namespace::JournalStruct>& records);
// The operator journal records decoded into rows of InfoDataSet; the three selectors go to
// the decoder (heat unit and pressure unit: low bytes of 40180 and 40181).
void BuildOperatorJournalDataSet(TReportData& data, const std::vector<dax_namespace::JournalStruct>& records,
                                 uint8_t heatUnit, uint8_t pressureUnit, uint8_t timeFormat);

// ---------------------------------------------------------------------------------------
// Report variables and column memos

// Sets the named variable (case ignored) to the text as a literal of the report's script
// language, so that the report reads the text back unchanged; nothing for an unknown name.
void SetReportVariable(TrpReport& report, const QString& name, const QString& text);

// Lays out archive table `index` (0 day, 1 hour, 2 totals) in the bands: a caption memo per
// column in `header`, a value memo per column in `dataBand`, the first column in
// `groupHeader` when given. `scale` is shared by the tables of one report: it starts at 1 and
// only goes down.
void CreateArchiveColumnMemos(TReportData& data, TrpReport& report, TrpBand* header, TrpBand* groupHeader,
                              TrpDataBand& dataBand, int32_t index, float& scale);
// The same for a table data set, from its fields.
void CreateTableColumnMemos(TReportData& data, TrpReport& report, TrpBand* header, TrpBand* groupHeader,
                            TrpDataBand& dataBand, TrpSimpleBaseDataSet& dataSet, float& scale);

// Registers the device report's classes in the global property registry (after the model's) and
// makes its templates' resources available; idempotent.
namespace DevReportRuntime {
void init();
}
