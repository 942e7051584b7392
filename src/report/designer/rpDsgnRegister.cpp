#include "rpDsgnRegister.h"

#include "rpDsgnIntfEditors.h"
#include "rpViewEditor.h"

#include "report/model/rpClass_views.h"
#include "report/model/rpDsgnIntf.h"
#include "report/model/rpRes.h"

#include <QFile>

// Resources compiled into a static library need an explicit initialisation, outside any
// namespace.
static void InitEditorResourceBlocks()
{
    Q_INIT_RESOURCE(rpDsgnEditors);
}

namespace {

bool gTextsLoaded = false;

template <class T>
void ComponentEditorClass(const QString& name)
{
    RegisterComponentEditorClass(name, [](TrpComponent* component, TrpCustomDesigner* designer, QMenu* menu) {
        return std::make_unique<T>(component, designer, menu);
    });
}

const QStringList& ComponentEditorNames()
{
    static const QStringList names{QStringLiteral("TrpViewEditor")};
    return names;
}

void LoadTexts()
{
    if (gTextsLoaded)
        return;
    InitEditorResourceBlocks();
    QFile file(QStringLiteral(":/report/designer/rpDsgnEditorsRes.xml"));
    if (file.open(QIODevice::ReadOnly))
        GetResourcesInstance().AddXML(file.readAll());
    gTextsLoaded = true;
}

} // namespace

namespace DesignerRuntime {

void RegisterStandardEditors()
{
    LoadTexts();
    ComponentEditorClass<TrpViewEditor>(QStringLiteral("TrpViewEditor"));
    ComponentEditorClass<TrpCustomMemoEditor>(QStringLiteral("TrpCustomMemoEditor"));

    TrpComponentEditorCollection& components = GetComponentEditorRegistry();
    components.Register(&TrpView::Class(), QStringLiteral("TrpViewEditor"));
}

void UnregisterStandardEditors()
{
    for (const QString& name : ComponentEditorNames())
        GetComponentEditorRegistry().UnRegister(name);
}

} // namespace DesignerRuntime
