#include "ExportRuntime.h"

#include "rpExportHTML.h"
#include "rpExportPDF.h"

#include "report/core/PropertyRegistry.h"
#include "report/engine/EngineRuntime.h"
#include "report/model/rpRes.h"
#include "report/model/rpStreams.h"

#include <QFile>

// Outside any namespace, as Qt's resource initialisation needs.
static void InitExportResourceBlock()
{
    Q_INIT_RESOURCE(rpExportRes);
}

namespace {

bool gInitialized = false;

// The export user-interface strings, then the texts the export library adds itself.
constexpr const char* kExportResources[] = {":/report/export/rpExportStrings.xml", ":/report/export/rpExportRes.xml"};

void AddExportTexts()
{
    InitExportResourceBlock();
    for (const char* block : kExportResources) {
        const QString name = QString::fromLatin1(block);
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly))
            RaiseCannotOpen(name, file.errorString());
        GetResourcesInstance().AddXML(file.readAll());
    }
}

} // namespace

namespace ExportRuntime {

void init()
{
    if (gInitialized)
        return;
    EngineRuntime::init();
    AddExportTexts();
    TrpPDFExport::RegisterClass(PropertyRegistry::Global());
    TrpHTMLExport::RegisterClass(PropertyRegistry::Global());
    gInitialized = true;
}

bool initialized()
{
    return gInitialized;
}

} // namespace ExportRuntime
