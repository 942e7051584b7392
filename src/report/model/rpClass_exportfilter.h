#pragma once

// The interface the exports (PDF, RTF, HTML, spreadsheet) implement and the prepared pages
// drive, page by page and object by object. A filter enters itself in the export-filter
// registry when created, so that the preview's export menu lists it, and leaves it when
// destroyed; one made with CreateNoRegister stays out of it.

#include "report/core/ObjectHandles.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

class QIODevice;
class TrpComponent;
class TrpReport;
class TrpReportPage;
class PropertyRegistry;

// Selects the constructor of a filter that is not entered in the registry.
struct TrpNoRegister {};

// A registered class: its stored options are published properties, so report files, scripts,
// rptool export --set and the device frame's settings reach them by name.
class TrpCustomExportFilter : public QObject, public ScriptObject {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    // The registered name of the filter's class ("TrpPDFExport").
    QString ClassName() const { return ScriptClass().Name; }
    // The stored options of every filter; ModelRuntime::init registers them.
    static void RegisterClass(PropertyRegistry& registry);

    // Enters the filter in the registry.
    explicit TrpCustomExportFilter(QObject* owner = nullptr);
    // A filter without owner, not entered in the registry (for subclasses: F(TrpNoRegister)).
    explicit TrpCustomExportFilter(TrpNoRegister);
    // Leaves the registry (unless never entered).
    ~TrpCustomExportFilter() override;
    TrpCustomExportFilter(const TrpCustomExportFilter&) = delete;
    TrpCustomExportFilter& operator=(const TrpCustomExportFilter&) = delete;

    // A filter of class F made without owner and without registration.
    template <class F>
    static std::unique_ptr<F> CreateNoRegister()
    {
        return std::unique_ptr<F>(new F(TrpNoRegister{}));
    }

    // The text export menus show for the filter's class; empty here.
    virtual QString GetDescription() const { return QString(); }
    // Shows the filter's settings dialog and answers a modal result: OK (1) here.
    virtual int ShowModal();
    // Prepares the output; false stops the export before the first page.
    virtual bool Start() { return true; }
    // Writes one object of a page.
    virtual void ExportObject(TrpComponent* object) = 0;
    // Completes the output; also called after a failure.
    virtual void Finish() {}
    // Around each page; FinishPage also when exporting the page failed.
    virtual void StartPage(TrpReportPage* page, int32_t index);
    virtual void FinishPage(TrpReportPage* page, int32_t index);

    // Whether the filter stayed out of the registry.
    bool NoRegister() const { return noRegister_; }
    // The file names written, for filters that write several; none until a filter makes it.
    QStringList* Files() const { return files_.get(); }
    void SetFiles(std::unique_ptr<QStringList> files) { files_ = std::move(files); }

    // --- stored
    bool ShowDialog = true;
    QString FileName;
    bool ExportNotPrintable = false;
    bool UseFileCache = true;
    QString DefaultPath;
    bool ShowProgress = true;
    bool OverwritePrompt = false;
    double CreationTime = 0; // days since 30 December 1899, set when an export starts
    bool DataOnly = false;   // only the objects on data bands
    std::function<void(TrpCustomExportFilter& sender)> OnBeginExport;

    // --- public, not stored
    bool CurPage = false;                    // only the page shown in the preview
    QString PageNumbers;                     // "1,3,5-7"; empty: every page
    TrpReport* Report = nullptr;             // the report being exported (set by the export loop)
    QIODevice* Stream = nullptr;             // the output when no file is written (not owned)
    bool SlaveExport = false;                // driven by another export
    QString DefaultExt;
    QString FilterDesc;
    bool SuppressPageHeadersFooters = false; // page header on the first page only, footer on the last
    QString ExportTitle;

private:
    bool noRegister_ = false;
    std::unique_ptr<QStringList> files_;
};
