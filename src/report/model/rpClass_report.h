#pragma once

// The report document: it owns its pages (and everything on them), its data-set lists,
// variables, styles, script text and options, and the engine and prepared-page store that the
// services table gives it. This unit covers the document as a container: creating, clearing,
// loading and saving it, inheriting from a template, and finding data sets. Running it comes
// with the report running issue's parts.

#include "rpClass.h"
#include "rpClass_options.h"
#include "rpClass_services.h"
#include "rpClass_styles.h"
#include "rpVariables.h"

#include "platform/Exceptions.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class TrpDataSet;
class TrpIniFile;
class TrpPage;

// Raised by a report whose NewSilentMode is simReThrow.
class EReportError : public platform::Exception {
public:
    using platform::Exception::Exception;
};

enum TrpInheritMode : int { imDefault, imDelete, imRename };

// Templates may inherit from templates this deep, no deeper.
inline constexpr int kMaxTemplateDepth = 16;

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
    void SetTerminated(bool value) { terminated_ = value; }
    // Set while the report reloads itself after a run (no password prompt then).
    bool Reloading = false;
    // Set while a stream is loaded; false after a load that failed, and such a report is not run.
    bool StreamLoaded() const { return streamLoaded_; }
    // Names of the expanded or collapsed drill-down groups.
    QStringList DrillState;
    // The names of the system variables, rebuilt by Clear.
    const QStringList& SysVariables() const { return sysVariables_; }

    TrpCustomPreview* Preview() const { return preview_; }
    // Attaches a preview control (it refers back to the report) or detaches it (none).
    void SetPreview(TrpCustomPreview* preview);
    TrpCustomDesigner* Designer() const { return designer_; }
    void SetDesigner(TrpCustomDesigner* designer);

    // Loads a template into the report instead of the file search (the application's own).
    std::function<void(TrpReport& report, const QString& templateName)> OnLoadTemplate;

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

    // --- calls into the report's script, made by event bridges (dialog pages); they run the
    // named script procedure once the report runs its script, and do nothing until then.
    virtual void DoNotifyEvent(TrpComponent* sender, const QString& eventName);
    virtual void DoParamEvent(const QString& eventName, std::vector<Variant>& parameters);
    // The progress hint or message of a run (the progress windows show it).
    virtual void SetProgressMessage(const QString& message, bool isHint);

    static void RegisterClass(PropertyRegistry& registry);

private:
    void Init();
    void RebuildSysVariables();
    void ClearAncestorMarks();
    bool LoadTemplate(const QString& fileName);
    void MergeFrom(TrpReport& source, bool deleteDuplicates);

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
};

// Reports an error by the report's NewSilentMode: simMessageBoxes shows it in an error box,
// simSilent drops it, simReThrow raises EReportError with it.
void HandleReportError(TrpReport& report, const QString& message);

// Registers the report classes (pages, bands, views, the report) for files and scripts, each
// with where it may be placed: report -> pages; report page -> bands; band -> views and
// subreports; data page and dialog page -> dialog components.
void RegisterReportClasses(PropertyRegistry& registry);
