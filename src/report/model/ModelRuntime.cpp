#include "ModelRuntime.h"

#include "rpChBox.h"
#include "rpClass.h"
#include "rpClass_datasets.h"
#include "rpClass_exportfilter.h"
#include "rpClass_report.h"
#include "rpDrawText.h"
#include "rpDsgnIntf.h"
#include "rpRes.h"

#include "report/core/PropertyRegistry.h"
#include "report/script/sc_itools.h"

namespace {

bool gInitialized = false;

void RegisterModelClasses(PropertyRegistry& registry)
{
    TrpFont::RegisterClass(registry);
    TrpComponent::RegisterClass(registry);
    TrpReportComponent::RegisterClass(registry);
    RegisterReportClasses(registry);
    TrpCustomExportFilter::RegisterClass(registry);
    // Objects outside a report find data sets by user name in the process-wide list.
    TrpComponent::SetGlobalDataSetLookup([](TrpComponent* dataSet, const QString& name, TrpComponent* report) {
        return TrpGlobalDataSetList::Instance().Find(name, report, dynamic_cast<TrpDataSet*>(dataSet));
    });
}

} // namespace

namespace ModelRuntime {

void init()
{
    if (gInitialized)
        return;
    RegisterModelClasses(PropertyRegistry::Global());
    RegisterStartupPropertyEditors();
    // Reports compile their scripts and expressions in the four languages.
    InitScriptLanguages();
    // The built-in texts (read when the table is first asked for) reach the script engine.
    GetResourcesInstance().UpdateSCResources();
    SharedDrawText();
    // The check box in the object registry: no button of its own, image 24 of the object images.
    GetObjectRegistry().RegisterObject1(&TrpCheckBoxView::Class(), QImage(), QString(), QString(), 0,
                                        kCheckBoxObjectImage, 0);
    gInitialized = true;
}

void shutdown()
{
    if (!gInitialized)
        return;
    ClearDesignRegistries();
    gInitialized = false;
}

bool initialized()
{
    return gInitialized;
}

std::recursive_mutex& GlobalLock()
{
    static std::recursive_mutex* lock = new std::recursive_mutex; // outlives every static object
    return *lock;
}

TrpDrawText& SharedDrawText()
{
    static TrpDrawText engine; // created on first use (init), freed when the program ends
    return engine;
}

} // namespace ModelRuntime
