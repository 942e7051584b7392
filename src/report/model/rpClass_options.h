#pragma once

// The four groups of report settings, stored with the report as "EngineOptions.",
// "PreviewOptions.", "PrintOptions." and "ReportOptions." attributes: how the engine runs, how
// the preview looks, how printing is done, and what describes and protects the report.

#include "rpClass_pages.h"
#include "rpClass_views.h"

#include "report/core/ObjectHandles.h"

#include <QString>
#include <QStringList>

#include <cstdint>

class TrpReport;

enum TrpSilentMode : int { simMessageBoxes, simSilent, simReThrow };
enum TrpZoomMode : int { zmDefault, zmWholePage, zmPageWidth, zmManyPages };
enum TrpPrintMode : int { pmDefault, pmSplit, pmJoin, pmScale };
enum TrpPrintPages : int { ppAll, ppOdd, ppEven };
// The tool-bar buttons of the preview (bits of TrpPreviewButtons). Scripts name some of them
// otherwise; their bindings map those names onto these bits.
enum TrpPreviewButton : int {
    pbPrint, pbLoad, pbSave, pbExport, pbZoom, pbFind, pbOutline, pbPageSetup, pbTools, pbEdit, pbNavigator,
    pbExportQuick, pbNoClose, pbNoFullScreen, pbNoEmail
};
using TrpPreviewButtons = uint32_t;
// Every button, none of the three "pbNo" members.
inline constexpr TrpPreviewButtons kDefaultPreviewButtons = 4095;

// The copies a report prints, at most.
inline constexpr int32_t kMaxCopies = 10000;
// The memory budget of prepared pages in megabytes, at most.
inline constexpr int32_t kMaxMemSize = 4096;
// The outline pane's width in pixels and the prepared pages kept rebuilt, at most.
inline constexpr int32_t kMaxOutlineWidth = 100000;
inline constexpr int32_t kMaxPagesInCache = 100000;

class TrpEngineOptions : public ScriptObject {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpEngineOptions() { Clear(); }
    TrpEngineOptions(const TrpEngineOptions&) = delete;
    TrpEngineOptions& operator=(const TrpEngineOptions&) = delete;

    bool ConvertNulls = true;
    bool DestroyForms = true;
    bool DoublePass = false;
    int32_t MaxMemSize = 10;
    bool PrintIfEmpty = true;
    void* ReportThread = nullptr;     // a thread that runs the report
    bool EnableThreadSafe = false;    // loading takes the model's global lock
    TrpSilentMode NewSilentMode = simMessageBoxes;
    QString TempDir;
    bool UseFileCache = false;
    bool UseGlobalDataSetList = true; // data sets are looked up in the process-wide list too
    bool IgnoreDevByZero = false;

    // NewSilentMode seen as a flag: true for simSilent; setting it chooses simSilent or
    // simMessageBoxes.
    bool SilentMode() const { return NewSilentMode == simSilent; }
    void SetSilentMode(bool value) { NewSilentMode = value ? simSilent : simMessageBoxes; }

    // ConvertNulls, DoublePass, MaxMemSize, PrintIfEmpty, NewSilentMode, TempDir, UseFileCache
    // and IgnoreDevByZero.
    void Assign(const TrpEngineOptions& source);
    // ConvertNulls on, IgnoreDevByZero and DoublePass off; nothing else.
    void Clear();

    static void RegisterClass(PropertyRegistry& registry);
};

class TrpPreviewOptions : public ScriptObject {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpPreviewOptions() { Clear(); }
    TrpPreviewOptions(const TrpPreviewOptions&) = delete;
    TrpPreviewOptions& operator=(const TrpPreviewOptions&) = delete;

    bool AllowEdit = true;
    TrpPreviewButtons Buttons = kDefaultPreviewButtons;
    bool DoubleBuffered = true;
    bool Maximized = true;
    bool MDIChild = false;
    bool Modal = true;
    bool OutlineExpand = true;
    bool OutlineVisible = false;
    int32_t OutlineWidth = 120;
    int32_t PagesInCache = 50;
    bool ShowCaptions = false;
    bool ThumbnailVisible = false;
    double Zoom = 1;
    TrpZoomMode ZoomMode = zmDefault;
    bool PictureCacheInFile = false;
    bool RTLPreview = false;

    // Every property.
    void Assign(const TrpPreviewOptions& source);
    // The outline and page-cache settings back to their defaults; nothing else.
    void Clear();

    static void RegisterClass(PropertyRegistry& registry);
};

class TrpPrintOptions : public ScriptObject {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpPrintOptions() { Clear(); }
    TrpPrintOptions(const TrpPrintOptions&) = delete;
    TrpPrintOptions& operator=(const TrpPrintOptions&) = delete;

    int32_t Copies = 1;
    bool Collate = true;
    QString PageNumbers;          // "1,3,5-12"
    int32_t PagesOnSheet = 0;
    QString Printer;              // "По умолчанию" after Clear
    TrpPrintMode PrintMode = pmDefault;
    int32_t PrintOnSheet = 0;
    TrpPrintPages PrintPages = ppAll;
    bool Reverse = false;
    bool ShowDialog = true;
    bool SwapPageSize = false;    // never stored
    QString PrnOutFileName;
    TrpDuplexMode Duplex = dmNone;
    int32_t SplicingLine = 3;

    // Everything but PagesOnSheet, SwapPageSize, PrnOutFileName and Duplex.
    void Assign(const TrpPrintOptions& source);
    // Every property but SwapPageSize and PrnOutFileName back to its default.
    void Clear();

    static void RegisterClass(PropertyRegistry& registry);
};

class TrpReportOptions : public ScriptObject {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    explicit TrpReportOptions(TrpReport* report = nullptr);
    TrpReportOptions(const TrpReportOptions&) = delete;
    TrpReportOptions& operator=(const TrpReportOptions&) = delete;

    TrpReport* Report() const { return report_; }

    QString Author;
    bool Compressed = false;      // stored; report files are always plain XML
    double CreateDate = 0;        // local date and time, days since 30 December 1899
    QString InitString;
    QString Name;
    double LastChange = 0;
    // The password opening the report asks for. It is only disguised in files (each character
    // code lowered by 10), not protected.
    QString Password;
    QString VersionBuild;
    QString VersionMajor;
    QString VersionMinor;
    QString VersionRelease;
    QString PrevPassword;         // the password last entered correctly
    QString HiddenPassword;       // a password the program supplies for itself
    bool Info = false;            // Clear keeps the descriptive fields

    // Only stored: this system has no database connections to look it up for.
    const QString& ConnectionName() const { return connectionName_; }
    void SetConnectionName(const QString& value) { connectionName_ = value; }

    const QStringList& Description() const { return description_; }
    void SetDescription(const QStringList& lines) { description_ = lines; }
    TrpPicture& Picture() { return picture_; }
    void SetPicture(const TrpPicture& picture) { picture_.Assign(picture); }

    // Every published property (not PrevPassword, HiddenPassword, Info).
    void Assign(const TrpReportOptions& source);
    // Unless Info: the descriptive fields emptied and both dates now. Always: ConnectionName,
    // InitString, Name, Password and PrevPassword emptied.
    void Clear();
    // Whether the report may be opened: no password, the password entered before or the
    // program's own, or the right one typed into the password prompt. A refusal adds
    // "Invalid password" to the report's errors and reports them.
    bool CheckPassword();

    static void RegisterClass(PropertyRegistry& registry);

private:
    TrpReport* report_;
    QString connectionName_;
    QStringList description_;
    TrpPicture picture_;
};
