#pragma once

// The ini-file module: TCustomIniFile, TMemIniFile and TIniFile.

#include "sc_iinterpreter.h"

class TscIniFunctions : public TscRTTIModule {
public:
    explicit TscIniFunctions(TscScript* script);
};

std::unique_ptr<TscRTTIModule> CreateIniFunctions(TscScript* script);
