#include "EngineRuntime.h"

#include "rpPreviewPages.h"

#include "report/model/ModelRuntime.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"
#include "report/script/sc_iconsts.h"

#include <QFile>

// Outside any namespace, as Qt's resource initialisation needs.
static void InitEngineResourceBlock()
{
    Q_INIT_RESOURCE(rpEngineRes);
}

namespace {

bool gInitialized = false;

// The texts the engine adds to the report resources.
constexpr char kEngineResources[] = ":/report/engine/rpEngineRes.xml";

void AddEngineTexts()
{
    InitEngineResourceBlock();
    const QString name = QString::fromLatin1(kEngineResources);
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw platform::Exception(FormatScMessage(TscMessage::SCannotOpenFile, {name, file.errorString()}).toStdString());
    GetResourcesInstance().LoadFromStream(file);
}

} // namespace

namespace EngineRuntime {

void init()
{
    if (gInitialized)
        return;
    ModelRuntime::init();
    AddEngineTexts();
    MutableModelServices().CreatePreviewPages = [](TrpReport& report) -> std::unique_ptr<TrpCustomPreviewPages> {
        return std::make_unique<TrpPreviewPages>(&report);
    };
    gInitialized = true;
}

bool initialized()
{
    return gInitialized;
}

} // namespace EngineRuntime
