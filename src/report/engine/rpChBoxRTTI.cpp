#include "rpChBoxRTTI.h"

#include "report/model/rpChBox.h"
#include "report/script/sc_iinterpreter_script.h"

std::unique_ptr<TscRTTIModule> CreateCheckBoxFunctions(TscScript* script)
{
    return std::make_unique<TrpChBoxRTTIFunctions>(script);
}

TrpChBoxRTTIFunctions::TrpChBoxRTTIFunctions(TscScript* script) : TscRTTIModule(script)
{
    script->AddEnum(QStringLiteral("TrpCheckStyle"), QStringLiteral("csCross, csCheck, csLineCross, csPlus"));
    script->AddEnum(QStringLiteral("TrpUncheckStyle"), QStringLiteral("usEmpty, usCross, usLineCross, usMinus"));
    script->AddClass(QStringLiteral("TrpCheckBoxView"), &TrpCheckBoxView::Class(), QStringLiteral("TrpView"));
}
