#include "rpClass_wizard.h"

#include "rpClass.h"
#include "rpClass_services.h"

TrpCustomWizard::TrpCustomWizard(TrpCustomDesigner* designer)
    : designer_(designer), report_(designer != nullptr ? designer->Report() : nullptr)
{
}
