#include "rpClass_services.h"

#include "rpClass_bands.h"
#include "rpClass_report.h"

namespace {

TrpModelServices& Services()
{
    static TrpModelServices services;
    return services;
}

} // namespace

// --- TrpCustomEngine

const ScriptClassInfo& TrpCustomEngine::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpCustomEngine"), nullptr};
    return info;
}

TrpCustomEngine::TrpCustomEngine(TrpReport* report) : report_(report) {}

TrpCustomEngine::~TrpCustomEngine() = default;

bool TrpCustomEngine::DoublePass() const
{
    return report_ != nullptr && report_->EngineOptions().DoublePass;
}

void TrpCustomEngine::ShowBandByName(const QString& bandName)
{
    TrpComponent* found = report_ != nullptr ? report_->FindObject(bandName) : nullptr;
    ShowBand(dynamic_cast<TrpBand*>(found));
}

void TrpCustomEngine::StopReport()
{
    if (report_ != nullptr)
        report_->SetTerminated(true);
}

// --- outline, store, preview, designer

const ScriptClassInfo& TrpCustomOutline::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpCustomOutline"), nullptr};
    return info;
}

TrpCustomEngine* TrpCustomOutline::Engine() const
{
    return previewPages_ != nullptr ? previewPages_->Engine() : nullptr;
}

TrpCustomPreviewPages::~TrpCustomPreviewPages() = default;

TrpCustomPreview::~TrpCustomPreview()
{
    if (report_ != nullptr && report_->Preview() == this)
        report_->SetPreview(nullptr);
}

TrpCustomDesigner::TrpCustomDesigner(TrpReport* report, bool previewDesigner)
    : report_(report), previewDesigner_(previewDesigner)
{
}

TrpCustomDesigner::~TrpCustomDesigner()
{
    if (report_ != nullptr && report_->Designer() == this)
        report_->SetDesigner(nullptr);
}

void TrpCustomDesigner::SetModified(bool value)
{
    modified_ = value;
    if (value && report_ != nullptr)
        report_->SetModified(true);
}

// --- the services table

const TrpModelServices& ModelServices()
{
    return Services();
}

TrpModelServices& MutableModelServices()
{
    return Services();
}

ModelServicesScope::ModelServicesScope(TrpModelServices services) : previous_(std::move(Services()))
{
    Services() = std::move(services);
}

ModelServicesScope::~ModelServicesScope()
{
    Services() = std::move(previous_);
}
