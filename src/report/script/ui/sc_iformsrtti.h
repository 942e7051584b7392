#pragma once

// The forms module: modal results, cursors, border styles, key codes and alignments; the
// control, list, form and application classes with their events; the object "Application".

#include "report/script/sc_iinterpreter.h"

class TscFormsFunctions : public TscRTTIModule {
public:
    explicit TscFormsFunctions(TscScript* script);
};

std::unique_ptr<TscRTTIModule> CreateFormsFunctions(TscScript* script);

// Registers every binding module of the class library in the module list, in the order the
// system, ini-file, base-class, dialog, graphics and forms modules; idempotent. Scripts that
// use the graphics or forms classes need a QApplication.
void RegisterScriptUiModules();
