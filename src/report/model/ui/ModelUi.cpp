#include "ModelUi.h"

#include "report/model/ui/rpClass_dialogcontrol.h"
#include "report/model/ui/rpPasswordForm.h"

#include "report/core/PropertyRegistry.h"
#include "report/model/ModelRuntime.h"
#include "report/model/rpClass_services.h"

namespace {

bool gInitialized = false;

} // namespace

namespace ModelUi {

void init()
{
    if (gInitialized)
        return;
    ModelRuntime::init();
    TrpDialogControl::RegisterClass(PropertyRegistry::Global());
    MutableModelServices().PasswordPrompt = AskReportPassword;
    gInitialized = true;
}

void shutdown()
{
    if (!gInitialized)
        return;
    QWidget* hidden = HiddenParentWidget();
    // The controls belong to their report objects, not to the hidden parent.
    for (QWidget* control : hidden->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        control->setParent(nullptr);
    delete hidden;
    MutableModelServices().PasswordPrompt = nullptr;
    gInitialized = false;
}

} // namespace ModelUi
