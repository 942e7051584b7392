#include "DesignerRuntime.h"

#include "rpDesgnForm.h"
#include "rpDsgnImages.h"
#include "rpInheritErrorForm.h"
#include "rpDsgnIntfEditors.h"
#include "rpDsgnPalette.h"

#include "rpDsgnRegister.h"
#include "rpScriptTemplates.h"
#include "rpWizardStd.h"

#include "report/engine/EngineRuntime.h"
#include "report/engine/ui/EngineUi.h"
#include "report/model/ModelRuntime.h"
#include "report/model/rpDsgnIntf.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpRes.h"
#include "report/model/ui/ModelUi.h"

#include <QFile>
#include <QLocale>

#include <optional>

// Resources compiled into a static library need an explicit initialisation, outside any
// namespace.
static void InitDesignerResourceBlocks()
{
    Q_INIT_RESOURCE(rpDsgn);
}

namespace {

bool gInitialized = false;
std::optional<FormatSettings> gFormats;

void AddBlock(const QString& path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        GetResourcesInstance().AddXML(file.readAll());
}

template <class T>
void RegisterEditor(const QString& name)
{
    RegisterPropertyEditorClass(name, [](TrpCustomDesigner* designer) { return std::make_unique<T>(designer); });
}

void RegisterEditorClasses()
{
    // The eleven editors the registry starts with, then the defaults of the property kinds.
    RegisterEditor<TrpNameProperty>(QStringLiteral("TrpNameProperty"));
    RegisterEditor<TrpColorProperty>(QStringLiteral("TrpColorProperty"));
    RegisterEditor<TrpFontProperty>(QStringLiteral("TrpFontProperty"));
    RegisterEditor<TrpFontNameProperty>(QStringLiteral("TrpFontNameProperty"));
    RegisterEditor<TrpFontCharsetProperty>(QStringLiteral("TrpFontCharsetProperty"));
    RegisterEditor<TrpModalResultProperty>(QStringLiteral("TrpModalResultProperty"));
    RegisterEditor<TrpShortCutProperty>(QStringLiteral("TrpShortCutProperty"));
    RegisterEditor<TrpCursorProperty>(QStringLiteral("TrpCursorProperty"));
    RegisterEditor<TrpDateTimeProperty>(QStringLiteral("TrpDateTimeProperty"));
    RegisterEditor<TrpDateProperty>(QStringLiteral("TrpDateProperty"));
    RegisterEditor<TrpTimeProperty>(QStringLiteral("TrpTimeProperty"));
    RegisterEditor<TrpIntegerProperty>(QStringLiteral("TrpIntegerProperty"));
    RegisterEditor<TrpFloatProperty>(QStringLiteral("TrpFloatProperty"));
    RegisterEditor<TrpCharProperty>(QStringLiteral("TrpCharProperty"));
    RegisterEditor<TrpStringProperty>(QStringLiteral("TrpStringProperty"));
    RegisterEditor<TrpEnumProperty>(QStringLiteral("TrpEnumProperty"));
    RegisterEditor<TrpBooleanProperty>(QStringLiteral("TrpBooleanProperty"));
    RegisterEditor<TrpSetProperty>(QStringLiteral("TrpSetProperty"));
    RegisterEditor<TrpSetElementProperty>(QStringLiteral("TrpSetElementProperty"));
    RegisterEditor<TrpClassProperty>(QStringLiteral("TrpClassProperty"));
    RegisterEditor<TrpComponentProperty>(QStringLiteral("TrpComponentProperty"));
}

} // namespace

namespace DesignerRuntime {

void init()
{
    if (gInitialized)
        return;
    ModelRuntime::init();
    ModelUi::init();
    EngineRuntime::init();
    EngineUi::init();
    InitDesignerResourceBlocks();
    // The designer texts block comes with the model's built-in blocks (the model raises some of
    // its texts); the property hints and the texts this port adds come here.
    AddBlock(QStringLiteral(":/report/designer/rpDsgnPropRes.xml"));
    AddBlock(QStringLiteral(":/report/designer/rpDsgnMendRes.xml"));
    RegisterScriptCodeTemplates();
    RegisterEditorClasses();
    RegisterStandardWizards();
    RegisterObjectPalette();
    InstallDesignerImages();
    RegisterStandardEditors();
    // Reports open their designer as this window.
    MutableModelServices().CreateDesigner = [](TrpReport& report, bool previewDesigner) {
        return std::unique_ptr<TrpCustomDesigner>(std::make_unique<TrpDesignerForm>(&report, previewDesigner));
    };
    MutableModelServices().InheritConflict = AskInheritConflict;
    gInitialized = true;
}

void shutdown()
{
    if (!gInitialized)
        return;
    MutableModelServices().CreateDesigner = nullptr;
    UnregisterStandardEditors();
    ClearEditorClasses();
    UnregisterStandardWizards();
    RemoveDesignerImages();
    MutableModelServices().InheritConflict = nullptr;
    gInitialized = false;
}

bool initialized()
{
    return gInitialized;
}

const FormatSettings& Formats()
{
    if (!gFormats)
        gFormats = FormatSettings::FromLocale(QLocale::system());
    return *gFormats;
}

void SetFormats(const FormatSettings& settings)
{
    gFormats = settings;
}

} // namespace DesignerRuntime
