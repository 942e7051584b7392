#pragma once

// The report document: it owns its pages (and everything on them), its data-set lists,
// variables, styles, script text and options, and the engine and prepared-page store that the
// services table gives it. This unit covers the document as a container: creating, clearing,
// loading and saving it, inheriting from a template, and finding data sets. Running it comes
// in rpClass_report_script.cpp (its script, values, Calc, events) and rpClass_report_run.cpp
// (preparing, showing, printing, exporting, progress).

#include "rpClass.h"
#include "rpClass_options.h"
#include "rpClass_services.h"
#include "rpClass_styles.h"
#include "rpExpressionEvaluator.h"
#include "rpVariables.h"

#include "platform/Exceptions.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <span>
#include <vector>

class QTimer;
class TrpCustomExportFilter;
class TrpDataSet;
class TrpExpressionCache;
class TrpIniFile;
class TrpPage;
class TrpReportPage;
class TrpView;
class TscCustomVariable;
class TscScript;

// Raised by Calc when an expression fails; the message is the error as reported.
class ECalcError : public platform::Exception {
public:
    using platform::Exception::Exception;
};

// Raised by a report whose NewSilentMode is simReThrow.
class EReportError : public platform::Exception {
public:
    using platform::Exception::Exception;
};

enum TrpInheritMode : int { imDefault, imDelete, imRename };

// Templates may inherit from templates this deep, no deeper.
inline constexpr int kMaxTemplateDepth = 16;
// Report variables whose expressions ask for other variables nest this deep, no deeper.
inline constexpr int kMaxVariableNesting = 64;

class TrpReport : public TrpComponent {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    // Version "4.15", the engine and the prepared-page store from the services table (none
    // without), then Clear.
    TrpReport();
    explicit TrpReport(QObject* owner);
    ~TrpReport() override;

    bool IsReport() const override { return true; }

    // --- owned parts
    TrpReportDataSets& DataSets() { return *dataSets_; }
    TrpReportDataSets& EnabledDataSets() { return *enabledDataSets_; }
    TrpVariables& Variables() { return variables_; }
    TrpStyles& Styles() { return *styles_; }
    // Nil empties the styles; other styles are copied and applied to the memos at once.
    void SetStyles(const TrpStyles* styles);
    TrpEngineOptions& EngineOptions() { return engineOptions_; }
    const TrpEngineOptions& EngineOptions() const { return engineOptions_; }
    TrpPreviewOptions& PreviewOptions() { return previewOptions_; }
    TrpPrintOptions& PrintOptions() { return printOptions_; }
    TrpReportOptions& ReportOptions() { return reportOptions_; }
    const TrpReportOptions& ReportOptions() const { return reportOptions_; }
    // The setters copy.
    void SetEngineOptions(const TrpEngineOptions& value) { engineOptions_.Assign(value); }
    void SetPreviewOptions(const TrpPreviewOptions& value) { previewOptions_.Assign(value); }
    void SetPrintOptions(const TrpPrintOptions& value) { printOptions_.Assign(value); }
    void SetReportOptions(const TrpReportOptions& value) { reportOptions_.Assign(value); }
    TrpCustomEngine* Engine() const { return engine_.get(); }
    TrpCustomPreviewPages* PreviewPages() const { return previewPages_.get(); }

    // Errors of the last load or run: sorted, each once.
    const QStringList& Errors() const { return errors_; }
    void AddError(const QString& error);
    void AddErrors(const QStringList& errors) override;
    void ClearErrors() { errors_.clear(); }

    // --- stored properties
    const QString& Version() const { return version_; }
    // Whatever is given, the version is "4.15".
    void SetVersion(const QString&) {}
    const QString& ParentReport() const { return parentReport_; }
    // Loads the template into the report and keeps a copy of it, so that only differences from
    // it are saved (see rpClass_report_template.cpp); empty: no template.
    void SetParentReport(const QString& fileName);
    bool DotMatrixReport = false;
    QString IniFile = QStringLiteral("\\Software\\Zuvo Dideziz");
    bool OldStyleProgress = false;
    QString ScriptLanguage = QStringLiteral("RireroRidoze");
    const QStringList& ScriptText() const;
    void SetScriptText(const QStringList& lines) { scriptText_ = lines; }
    bool ShowProgress = true;
    bool StoreInDFM = true;
    // Script events: names of script procedures.
    QString OnRunDialogs;
    QString OnStartReport;
    QString OnStopReport;
    QString OnReportPrint;

    // The report's own data set: the whole report runs once per record.
    TrpDataSet* DataSet() const;
    void SetDataSet(TrpDataSet* dataSet);
    QString DataSetName() const;
    void SetDataSetName(const QString& name);

    // --- state
    const QString& FileName() const { return fileName_; }
    void SetFileName(const QString& fileName) { fileName_ = fileName; }
    QString CurObject;
    bool Modified() const { return modified_; }
    void SetModified(bool value) { modified_ = value; }
    bool Terminated() const { return terminated_; }
    // Setting it also stops the running script.
    void SetTerminated(bool value);
    // Set while the report reloads itself after a run (no password prompt then).
    bool Reloading = false;
    // Set while a stream is loaded; false after a load that failed, and such a report is not run.
    bool StreamLoaded() const { return streamLoaded_; }
    // Names of the expanded or collapsed drill-down groups.
    QStringList DrillState;
    // The names of the system variables, rebuilt by Clear.
    const QStringList& SysVariables() const { return sysVariables_; }

    TrpCustomPreview* Preview() const { return preview_; }
    // Attaches a preview control (it refers back to the report, gets the prepared pages and is
    // initialised) or detaches it (none; its references are cleared and the preview window
    // forgotten).
    void SetPreview(TrpCustomPreview* preview);
    TrpCustomDesigner* Designer() const { return designer_; }
    void SetDesigner(TrpCustomDesigner* designer);

    // Loads a template into the report instead of the file search (the application's own).
    std::function<void(TrpReport& report, const QString& templateName)> OnLoadTemplate;

    // --- expressions
    // What computes the expressions of the report's objects: the report itself (Calc, its
    // script's "Value" and "Self" and number texts), unless another evaluator is set (a table
    // in tests; not owned; none gives the report's own again).
    ITrpExpressionEvaluator* ExpressionEvaluator() const override;
    void SetExpressionEvaluator(ITrpExpressionEvaluator* evaluator) { evaluator_ = evaluator; }

    // --- pages
    int PagesCount() const { return static_cast<int>(Objects().size()); }
    TrpComponent* Pages(int index) const;

    // --- lifecycle and files
    // Removes every page and empties the lists, variables and styles; options cleared; the
    // script back to an empty main block; the system variables rebuilt.
    void Clear() override;
    // Reads a report; see rpClass_report_streams.cpp for the options a file may change, the
    // password and how errors are reported. A failing load leaves what was read plus the data
    // page and reports the failure as one error.
    void LoadFromStream(QIODevice& stream) override;
    // Writes the report with the password disguised; a password that cannot be disguised is
    // refused ("prInvProp") before anything is written.
    void SaveToStream(QIODevice& stream, bool saveChildren = true, bool saveDefaultValues = false,
                      bool streaming = false) override;
    // Clear, then the file. Whether it exists; a missing file leaves an empty report when
    // exceptionIfMissing is false and raises the file error otherwise.
    bool LoadFromFile(const QString& fileName, bool exceptionIfMissing = true);
    // Replaces the file atomically; an absolute template name becomes relative to its folder.
    void SaveToFile(const QString& fileName);
    // Ensures the data page "Data" first; dialog components found elsewhere move onto it.
    void CheckDataPage();

    // --- data sets
    // The data set of the list entry with that name, or none.
    TrpDataSet* GetDataset(const QString& alias) const;
    // Empty for none; the user name of a data set in the list; else "clDSNotIncl".
    QString GetAlias(const TrpDataSet* dataSet) const;
    // Splits DataSetName."FieldName": the data set of the name before ." and the field
    // between; without that mark none and an empty field.
    void GetDatasetAndField(const QString& complexName, TrpDataSet*& dataSet, QString& field) const;
    // User names and data sets of the list entries (user data sets left out when asked).
    void GetDataSetList(QStringList& names, std::vector<TrpDataSet*>& dataSets, bool onlyDatabases = false) const;
    // The process-wide usable data sets with UseGlobalDataSetList, else the enabled ones.
    void GetActiveDataSetList(QStringList& names, std::vector<TrpDataSet*>& dataSets) const;
    // A name through the report's own lists first, then (with UseGlobalDataSetList) the
    // process-wide list; `dataSet` when none is found.
    TrpComponent* FindReportDataSet(TrpComponent* dataSet, const QString& name) const override;

    // --- settings, printers, templates
    // The settings of the report windows: a registry key under IniFile when it starts with
    // "\Software\", else an ini file of that name.
    std::unique_ptr<TrpIniFile> GetIniFile() const;
    // The program's folder, with a trailing '/'.
    QString GetApplicationFolder() const;
    // Makes PrintOptions.Printer the current printer when the printer list has it.
    void SelectPrinter();
    // Rebuilds the report from a template, merging its own objects in; false when nothing
    // changed (the same file, or cancelled).
    bool InheritFromTemplate(const QString& templateName, TrpInheritMode mode = imDefault);
    // The loaded template copy, none without a template.
    TrpReport* ParentReportObject() const { return parentReportObject_.get(); }

    // --- hooks of the serializer and the component base
    bool LoadsThreadSafe() const override { return engineOptions_.EnableThreadSafe; }
    TrpXMLSerializer* CurrentSerializer() const override { return serializer_; }
    void SetCurrentSerializer(TrpXMLSerializer* serializer) override { serializer_ = serializer; }
    TrpComponent* AncestorOf(const QString& name) const override;
    QString GetDescription() const override;

    // --- the script (rpClass_report_script.cpp)
    TscScript& Script();
    TrpExpressionCache& ExpressionCache();
    bool CaseSensitiveExpressions() const;
    void SetCaseSensitiveExpressions(bool value);
    // The script variables "Value" and "Self" (the view being printed); Null and none before
    // the script is prepared.
    Variant LocalValue() const;
    void SetLocalValue(const Variant& value);
    TrpComponent* SelfValue() const;
    void SetSelfValue(TrpComponent* view);
    // Makes the script anew: the report's objects under their names, "Report", "Engine",
    // "Outline", the variables "Value" and "Self", the functions Get, Set, IIF, SUM, AVG, MIN,
    // MAX and COUNT, then compiles ScriptText. False with the error in Errors ("clScrError").
    bool PrepareScript();
    // Adds the report's own script functions (Get, Set, IIF and the aggregates) to a script,
    // touching no object of the report (the designer lists them from a scratch script).
    void AddScriptMethods(TscScript& script);
    // Declares a function for report scripts that calls OnUserFunction; it survives every
    // preparation of the script.
    void AddFunction(const QString& declaration, const QString& category = QString(),
                     const QString& description = QString());
    // The value of a name: a data-set field, a system variable, the application's OnGetValue and
    // OnNewGetValue, a report variable (a text of one line is an expression), a process-wide
    // variable, a variable of the script. False when the name is none of them.
    bool GetValue(const QString& name, Variant& value);
    // The value of an expression. A failure raises ECalcError: from a script (`fromScript`)
    // with "clErrorInExp" before the error, otherwise with CurObject before it, and then also
    // added to Errors. A float division by zero is no error with IgnoreDevByZero.
    Variant Calc(const QString& expression, TscScript* script = nullptr, bool fromScript = false);
    // A plain text as a string literal of the report's script language, to be put where an
    // expression is expected (a report variable) and read back unchanged.
    QString QuotedText(const QString& text) const;

    // --- calls into the report's script, made by the engine and event bridges (dialog pages);
    // they run the named script procedure while the engine runs (or always with runAlways).
    virtual void DoNotifyEvent(TrpComponent* sender, const QString& eventName, bool runAlways = false);
    // Parameters are passed by reference: what the procedure assigns is read back.
    virtual void DoParamEvent(const QString& eventName, std::vector<Variant>& parameters, bool runAlways = false);
    void DoBeforePrint(TrpComponent* object);
    void DoAfterPrint(TrpComponent* object);
    void DoPreviewClick(TrpView* view, int32_t button, uint32_t shift, bool& modified, bool doubleClick);

    // --- running (rpClass_report_run.cpp)
    // Runs the report: data sets checked, a snapshot taken, OnBeginDoc, the script's main
    // block, the engine, OnEndDoc, then the report reloaded from the snapshot. False when
    // anything failed; the errors are then reported through HandleReportError.
    bool PrepareReport(bool clearLastReport = true);
    // Whether a run (or a cached expression) is in progress.
    bool Running() const;
    // Whether PrepareReport is under way (its script's main block, the engine, the reload):
    // the report's objects must then stay where they are.
    bool Preparing() const { return preparing_; }
    // Shows the prepared pages in the attached preview; with OldStyleProgress the report is
    // prepared first, else the preparation is deferred to PrepareTimer.
    void ShowReport(bool clearLastReport = true);
    void ShowPreparedReport();
    // The preview window ShowPreparedReport opened, none when it has closed.
    ITrpPreviewWindow* PreviewForm() const { return previewForm_; }
    void ClosePreviewWindow();
    // Opens the designer for the report (the designer library registers it; without it
    // nothing happens). The report's items leave its script first and Modified is cleared.
    void DesignReport(bool modal = true, bool mdiChild = false);
    void DesignReportInPanel(QObject* panel);
    // Opens the designer of the prepared pages modally; whether it changed them.
    bool DesignPreviewPage();
    // The single-shot timer of the deferred preparation, and its tick (tests call it directly).
    QTimer& PrepareTimer();
    void PrepareTimerTick();
    bool Print();
    bool Export(TrpCustomExportFilter* filter);
    // The progress hooks the engine, printing and exports call.
    void InternalOnProgressStart(TrpProgressType type);
    void InternalOnProgress(TrpProgressType type, int32_t progress);
    void InternalOnProgressStop(TrpProgressType type);
    // The progress hint or message of a run (the progress windows show it).
    virtual void SetProgressMessage(const QString& message, bool isHint);

    // --- events of the application
    std::function<void(const QString& name, Variant& value)> OnGetValue;
    std::function<void(TrpReport& report, const QString& name, Variant& value)> OnNewGetValue;
    std::function<Variant(const QString& name, std::span<Variant> arguments)> OnUserFunction;
    std::function<void(TrpComponent& object)> OnBeforePrint;
    std::function<void(TrpComponent& object)> OnAfterPrint;
    std::function<void(TrpView& view, int32_t button, uint32_t shift, bool& modified)> OnClickObject;
    std::function<void(TrpView& view, int32_t button, uint32_t shift, bool& modified)> OnDblClickObject;
    // The mouse is over a view of a page shown in the preview.
    std::function<void(TrpView& view)> OnMouseOverObject;
    std::function<void(TrpReport& report)> OnBeginDoc;
    // Fills a report page itself (printing bands through the engine) in place of its data bands.
    std::function<void(TrpReportPage& page)> OnManualBuild;
    std::function<void(TrpReport& report)> OnEndDoc;
    std::function<void(TrpReport& report)> OnAfterScriptCompile;
    // A preview window has been made and initialised, before it is shown.
    std::function<void(TrpReport& report)> OnPreview;
    // The preview window is closing (the window's object); before it is freed.
    std::function<void(TrpReport& report, QObject* window)> OnClosePreview;
    std::function<void(TrpReport& report, TrpProgressType type, int32_t progress)> OnProgressStart;
    std::function<void(TrpReport& report, TrpProgressType type, int32_t progress)> OnProgress;
    std::function<void(TrpReport& report, TrpProgressType type, int32_t progress)> OnProgressStop;
    // Printing prepared pages: before the first sheet, before each page printed (with the copy
    // number handed to memos) and afterwards, also after a failure.
    std::function<void(TrpReport& report)> OnPrintReport;
    std::function<void(TrpReportPage& page, int32_t copyNo)> OnPrintPage;
    std::function<void(TrpReport& report)> OnAfterPrintReport;
    // The designer's connection editor asks for a connection string, given the current one;
    // the answer replaces it.
    std::function<QString(const QString& connectionString)> OnEditConnection;

    static void RegisterClass(PropertyRegistry& registry);

private:
    ITrpExpressionEvaluator* evaluator_ = nullptr;
    void Init();
    void RebuildSysVariables();
    void ClearAncestorMarks();
    bool LoadTemplate(const QString& fileName);
    void MergeFrom(TrpReport& source, bool deleteDuplicates);
    Variant SystemVariable(int index) const;
    bool EventsRun(const QString& eventName, bool runAlways) const;
    bool ProgressWindowShown(TrpProgressType type) const;
    std::unique_ptr<TrpCustomDesigner> NewDesigner(bool previewDesigner);
    void PrepareForDesigner();
    void PumpEvents();

    std::unique_ptr<TrpReportDataSets> dataSets_;
    std::unique_ptr<TrpReportDataSets> enabledDataSets_;
    std::unique_ptr<TrpStyles> styles_;
    TrpVariables variables_;
    TrpEngineOptions engineOptions_;
    TrpPreviewOptions previewOptions_;
    TrpPrintOptions printOptions_;
    TrpReportOptions reportOptions_{this};
    QStringList scriptText_;
    QStringList fakeScriptText_; // always empty: written instead of the script without StoreInDFM
    QStringList errors_;
    QStringList sysVariables_;
    std::unique_ptr<TrpCustomEngine> engine_;
    std::unique_ptr<TrpCustomPreviewPages> previewPages_;
    std::unique_ptr<TrpReport> parentReportObject_;
    TrpCustomPreview* preview_ = nullptr;
    TrpCustomDesigner* designer_ = nullptr;
    TrpXMLSerializer* serializer_ = nullptr;
    QPointer<TrpComponent> dataSet_;
    QString dataSetName_;
    QString version_ = QStringLiteral("4.15");
    QString parentReport_;
    QString fileName_;
    bool modified_ = false;
    bool terminated_ = false;
    bool streamLoaded_ = false;

    std::unique_ptr<TscScript> script_;
    mutable std::unique_ptr<ITrpExpressionEvaluator> ownEvaluator_; // made when first asked
    std::unique_ptr<TrpExpressionCache> expressionCache_;
    std::unique_ptr<QTimer> timer_;
    std::unique_ptr<ITrpProgressWindow> progress_;
    TscCustomVariable* localValue_ = nullptr; // "Value" of the prepared script
    TscCustomVariable* selfValue_ = nullptr;  // "Self"
    QStringList evaluatingVariables_;         // report variables being computed, innermost last
    bool preparing_ = false;
    ITrpPreviewWindow* previewForm_ = nullptr;
    bool loadFailed_ = false; // the last load failed: the report is not run
};

// Reports an error by the report's NewSilentMode: simMessageBoxes shows it in an error box,
// simSilent adds it to the report's Errors (a message that is the report's own error list under
// the "clErrors" heading adds nothing), simReThrow raises EReportError with it.
void HandleReportError(TrpReport& report, const QString& message);

// Registers the report classes (pages, bands, views, the report) for files and scripts, each
// with where it may be placed: report -> pages; report page -> bands; band -> views and
// subreports; data page and dialog page -> dialog components.
void RegisterReportClasses(PropertyRegistry& registry);
