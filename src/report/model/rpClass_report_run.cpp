// Running a report: preparing it (script and engine) with the snapshot that undoes what the
// run changed, showing the preview, printing, exporting, progress, and the designer. Windows
// come from the services table; without them nothing is shown and nothing blocks.

#include "rpClass_report.h"

#include "rpClass_datasets.h"
#include "rpClass_expressioncache.h"
#include "rpClass_styles.h"
#include "rpRes.h"
#include "rpStreams.h"
#include "rpUtils.h"

#include "report/core/Services.h"
#include "report/script/sc_iinterpreter_script.h"
#include "report/script/sc_iinterpreter_statements.h"

#include <QBuffer>
#include <QFile>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// Restores a flag when it goes out of scope, also after an exception.
class FlagScope {
public:
    FlagScope(bool& flag, bool value) : flag_(flag), previous_(flag) { flag_ = value; }
    ~FlagScope() { flag_ = previous_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool previous_;
};

QString ErrorText(const std::exception& error)
{
    if (const auto* own = dynamic_cast<const platform::Exception*>(&error))
        return QString::fromStdString(own->Message());
    return QString::fromUtf8(error.what());
}

} // namespace

void TrpReport::PumpEvents()
{
    ReportServices::Ui().ProcessEvents();
}

void TrpReport::SetTerminated(bool value)
{
    terminated_ = value;
    if (value)
        script_->Terminate();
}

bool TrpReport::Running() const
{
    return preparing_ || script_->IsRunning() || expressionCache_->Running();
}

// --- preparing -----------------------------------------------------------------------------

bool TrpReport::PrepareReport(bool clearLastReport)
{
    // A run started from inside a run (a script asking for the report again) would reload the
    // objects the outer run is using.
    if (Running()) {
        AddError(GetResourcesInstance().Get(u"rnAlreadyRunning"));
        return false;
    }
    // A report whose last load failed holds whatever the load got to; it is not run.
    if (loadFailed_) {
        if (errors_.isEmpty())
            AddError(GetResourcesInstance().Get(u"rnLoadFailed"));
        HandleReportError(*this, GetResourcesInstance().Get(u"clErrors") + QStringLiteral("\r\n") +
                                     errors_.join(QStringLiteral("\r\n")));
        return false;
    }
    // A callback may delete the report while it runs (closing the window that owns it): the
    // flag is then left alone, and nothing below touches the report again.
    const QPointer<TrpReport> self(this);
    preparing_ = true;
    const std::unique_ptr<void, std::function<void(void*)>> preparing(this, [self](void*) {
        if (self != nullptr)
            self->preparing_ = false;
    });

    if (clearLastReport && previewPages_ != nullptr)
        previewPages_->Clear();
    errors_.clear();
    terminated_ = false;

    // 2. Every data set the report names must exist before any script runs.
    for (int i = 0; i < dataSets_->Count(); ++i) {
        const TrpDataSetItem* item = dataSets_->Items(i);
        if (item->DataSet() == nullptr)
            AddError(FormatResource(GetResourcesInstance().Get(u"clDSNotExist"), {Variant(item->DataSetName())}));
    }

    bool succeeded = false;
    if (errors_.isEmpty()) {
        // 3. The snapshot that the report comes back to after the run.
        const bool snapshot = engineOptions_.DestroyForms;
        const QString password = reportOptions_.Password;
        const int32_t splicingLine = printOptions_.SplicingLine;
        QBuffer buffer;
        QString tempFileName;
        if (snapshot) {
            reportOptions_.Password.clear();
            try {
                if (engineOptions_.UseFileCache) {
                    tempFileName = CreateTempFileIn(engineOptions_.TempDir);
                    QFile file(tempFileName);
                    if (!file.open(QIODevice::WriteOnly))
                        RaiseCannotCreate(tempFileName, file.errorString());
                    SaveToStream(file);
                } else {
                    buffer.open(QIODevice::ReadWrite);
                    SaveToStream(buffer);
                }
            } catch (...) {
                reportOptions_.Password = password;
                if (!tempFileName.isEmpty())
                    QFile::remove(tempFileName);
                throw;
            }
        }

        // 4. The script and the engine; whatever fails lands in Errors.
        try {
            if (OnBeginDoc)
                OnBeginDoc(*this);
            bool finished = false;
            if (PrepareScript()) {
                if (OnAfterScriptCompile)
                    OnAfterScriptCompile(*this);
                if (script_->Statement() != nullptr && script_->Statement()->Count() > 0)
                    script_->Execute();
                if (!terminated_)
                    finished = engine_ == nullptr || engine_->Run();
            }
            if (finished) {
                if (OnEndDoc)
                    OnEndDoc(*this);
                succeeded = true;
            } else {
                ClosePreviewWindow();
            }
        } catch (const std::exception& error) {
            AddError(ErrorText(error));
        }
        if (self == nullptr)
            return false;

        // 5. Back to the snapshot: what the run changed in the objects does not survive it.
        if (snapshot) {
            const QStringList errors = errors_;
            {
                FlagScope reloading(Reloading, true);
                if (tempFileName.isEmpty()) {
                    buffer.seek(0);
                    LoadFromStream(buffer);
                } else {
                    QFile file(tempFileName);
                    if (file.open(QIODevice::ReadOnly))
                        LoadFromStream(file);
                }
            }
            reportOptions_.Password = password;
            printOptions_.SplicingLine = splicingLine;
            if (!tempFileName.isEmpty())
                QFile::remove(tempFileName);
            const QStringList reloadErrors = errors_;
            errors_ = errors;
            AddErrors(reloadErrors);
        }
    }

    // 6.
    if (errors_.isEmpty())
        return succeeded;
    HandleReportError(*this, GetResourcesInstance().Get(u"clErrors") + QStringLiteral("\r\n") +
                                 errors_.join(QStringLiteral("\r\n")));
    return false;
}

// --- showing -------------------------------------------------------------------------------

QTimer& TrpReport::PrepareTimer()
{
    return *timer_;
}

void TrpReport::PrepareTimerTick()
{
    timer_->stop();
    PrepareReport();
}

void TrpReport::ShowReport(bool clearLastReport)
{
    if (clearLastReport && previewPages_ != nullptr)
        previewPages_->Clear();
    if (OldStyleProgress) {
        if (!PrepareReport())
            return;
    } else {
        // The preparation runs once the preview is on screen, inside its message loop.
        timer_->start();
    }
    ShowPreparedReport();
}

void TrpReport::ShowPreparedReport()
{
    if (preview_ != nullptr) {
        preview_->SetPreviewPages(previewPages_.get());
        preview_->Init();
        return;
    }
    const auto& create = ModelServices().CreatePreviewWindow;
    if (!create)
        return;
    std::unique_ptr<ITrpPreviewWindow> window = create(*this);
    if (window == nullptr)
        return;
    const QPointer<TrpReport> self(this);
    previewForm_ = window.get();
    window->OnClosed = [self] {
        if (self != nullptr) {
            self->previewForm_ = nullptr;
            self->timer_->stop();
        }
    };
    if (TrpCustomPreview* control = window->Preview())
        SetPreview(control);
    window->Initialize(previewOptions_.Maximized);
    if (OnPreview)
        OnPreview(*this);
    if (self == nullptr)
        return;
    if (previewOptions_.Modal) {
        window->ShowModal();
        if (self == nullptr)
            return;
        // A preparation that never started does not start after the window has gone.
        timer_->stop();
        previewForm_ = nullptr;
        SetPreview(nullptr);
        window.reset();
    } else {
        // The window frees itself when it closes.
        ITrpPreviewWindow* modeless = window.release();
        modeless->ShowModeless(previewOptions_.MDIChild);
    }
}

void TrpReport::ClosePreviewWindow()
{
    if (previewForm_ != nullptr)
        previewForm_->Close();
}

bool TrpReport::Print()
{
    return previewPages_ != nullptr && previewPages_->Print();
}

bool TrpReport::Export(TrpCustomExportFilter* filter)
{
    return previewPages_ != nullptr && filter != nullptr && previewPages_->Export(filter);
}

// --- progress ------------------------------------------------------------------------------

bool TrpReport::ProgressWindowShown(TrpProgressType type) const
{
    return ShowProgress && (OldStyleProgress || type != ptRunning);
}

void TrpReport::InternalOnProgressStart(TrpProgressType type)
{
    if (engineOptions_.EnableThreadSafe)
        return;
    const QPointer<TrpReport> self(this);
    if (OnProgressStart)
        OnProgressStart(*this, type, 0);
    if (self == nullptr)
        return;
    if (ProgressWindowShown(type)) {
        progress_.reset();
        if (const auto& create = ModelServices().CreateProgressWindow) {
            progress_ = create(*this);
            if (progress_ != nullptr)
                progress_->Start(reportOptions_.Name);
        }
    }
    if (type == ptRunning && preview_ != nullptr)
        preview_->InternalOnProgressStart(*this, type, 0);
    PumpEvents();
}

void TrpReport::InternalOnProgress(TrpProgressType type, int32_t progress)
{
    if (engineOptions_.EnableThreadSafe)
        return;
    const QPointer<TrpReport> self(this);
    if (OnProgress)
        OnProgress(*this, type, progress);
    if (self == nullptr)
        return;
    if (ProgressWindowShown(type) && progress_ != nullptr) {
        const char16_t* name = u"prRunning";
        switch (type) {
        case ptRunning:
            name = engine_ != nullptr && engine_->DoublePass() && !engine_->FinalPass ? u"prRunningFirst" : u"prRunning";
            break;
        case ptExporting:
            name = u"prExporting";
            break;
        case ptPrinting:
            name = u"prPrinting";
            break;
        }
        progress_->Progress(FormatResource(GetResourcesInstance().Get(QStringView(name)), {Variant(progress)}),
                            progress);
        if (progress_->Cancelled())
            SetTerminated(true);
    }
    if (type == ptRunning && preview_ != nullptr)
        preview_->InternalOnProgress(*this, type, progress - 1);
    PumpEvents();
}

void TrpReport::InternalOnProgressStop(TrpProgressType type)
{
    if (engineOptions_.EnableThreadSafe)
        return;
    const QPointer<TrpReport> self(this);
    if (OnProgressStop)
        OnProgressStop(*this, type, 0);
    if (self == nullptr)
        return;
    if (ProgressWindowShown(type) && progress_ != nullptr) {
        progress_->Stop();
        progress_.reset();
    }
    if (type == ptRunning && preview_ != nullptr)
        preview_->InternalOnProgressStop(*this, type, 0);
    PumpEvents();
}

void TrpReport::SetProgressMessage(const QString& message, bool isHint)
{
    if (!isHint && engine_ != nullptr && engine_->Running && OldStyleProgress && ShowProgress && progress_ != nullptr)
        progress_->Progress(message, -1);
    if (previewForm_ != nullptr)
        previewForm_->SetStatusText(message, isHint);
}

// --- the designer --------------------------------------------------------------------------

std::unique_ptr<TrpCustomDesigner> TrpReport::NewDesigner(bool previewDesigner)
{
    const auto& create = ModelServices().CreateDesigner;
    if (!create)
        return nullptr;
    return create(*this, previewDesigner);
}

void TrpReport::PrepareForDesigner()
{
    script_->RemoveItems(this);
    expressionCache_->Clear();
    for (TrpComponent* object : AllObjects()) {
        if (auto* database = dynamic_cast<TrpCustomDBDataSet*>(object))
            database->BeforeStartReport();
    }
    SetModified(false);
}

void TrpReport::DesignReport(bool modal, bool mdiChild)
{
    if (designer_ != nullptr || !ModelServices().CreateDesigner)
        return;
    PrepareForDesigner();
    std::unique_ptr<TrpCustomDesigner> designer = NewDesigner(false);
    if (designer == nullptr)
        return;
    designer_ = designer.get();
    if (mdiChild)
        designer->SetMDIChild(true);
    designer->Start();
    if (modal) {
        const QPointer<TrpReport> self(this);
        designer->ShowModal();
        designer.reset();
        if (self == nullptr)
            return;
        PumpEvents();
        if (self != nullptr)
            designer_ = nullptr;
    } else {
        // The window frees itself when it closes, and forgets the report then.
        designer.release()->ShowModeless();
    }
}

void TrpReport::DesignReportInPanel(QObject* panel)
{
    if (designer_ != nullptr || !ModelServices().CreateDesigner)
        return;
    PrepareForDesigner();
    std::unique_ptr<TrpCustomDesigner> designer = NewDesigner(false);
    if (designer == nullptr)
        return;
    designer_ = designer.get();
    designer->Start();
    designer.release()->EmbedIn(panel);
}

bool TrpReport::DesignPreviewPage()
{
    if (designer_ != nullptr)
        return false;
    std::unique_ptr<TrpCustomDesigner> designer = NewDesigner(true);
    if (designer == nullptr)
        return false;
    designer_ = designer.get();
    const QPointer<TrpReport> self(this);
    designer->ShowModal();
    designer.reset();
    if (self == nullptr)
        return false;
    designer_ = nullptr;
    return modified_;
}
