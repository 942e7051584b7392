#pragma once

// The binding module of the check box: its two style enumerations and the class
// TrpCheckBoxView (its properties are the published ones). EngineRuntime::init registers it.

#include "report/script/sc_iinterpreter.h"

#include <memory>

class TrpChBoxRTTIFunctions : public TscRTTIModule {
public:
    explicit TrpChBoxRTTIFunctions(TscScript* script);
};

std::unique_ptr<TscRTTIModule> CreateCheckBoxFunctions(TscScript* script);
