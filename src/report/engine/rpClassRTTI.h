#pragma once

// The binding module of the report classes: the constants, enumerations, classes (with their
// script parents and the members scripts need beyond the published properties), the object
// "rpGlobalVariables" and the functions DayOf, MonthOf, YearOf, IIF and the aggregates. Every
// member is its own callable that resolves its instance through the handle table, so a freed
// or foreign object is a script error. EngineRuntime::init registers it.

#include "report/script/sc_iinterpreter.h"

#include <cstdint>
#include <memory>
#include <unordered_map>

class TrpClassRTTIFunctions : public TscRTTIModule {
public:
    explicit TrpClassRTTIFunctions(TscScript* script);

    // The one list object a memo's Lines gives this script (made on the first read).
    uint32_t LinesViewOf(class TrpCustomMemoView& memo);

private:
    std::unordered_map<uint32_t, uint32_t> linesViews_; // memo handle -> handle of its Lines view
};

std::unique_ptr<TscRTTIModule> CreateReportClassFunctions(TscScript* script);
