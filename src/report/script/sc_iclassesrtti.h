#pragma once

// The base-class module: objects, persistent objects, collections, lists, string lists,
// streams, components and the script engine's XML classes.

#include "sc_iinterpreter.h"

class TscClassesFunctions : public TscRTTIModule {
public:
    explicit TscClassesFunctions(TscScript* script);
};

std::unique_ptr<TscRTTIModule> CreateClassesFunctions(TscScript* script);

// Registers the modules of the class library that need no windows after the system module,
// in the order ini files, base classes, dialogs, and puts their native classes into the
// property registry; idempotent.
void RegisterClassLibraryModules();
