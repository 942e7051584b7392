#pragma once

// The system module: every script's base types, the constants True, False, nil and Null, the
// shared array and string helpers, the exception variables, the variant type codes and the
// system functions.

#include "sc_iinterpreter.h"

class TscSysFunctions : public TscRTTIModule {
public:
    explicit TscSysFunctions(TscScript* script);

    // Category names of the functions.
    const QString FCatConv = QStringLiteral("ctConv");
    const QString FCatDate = QStringLiteral("ctDate");
    const QString FCatFormat = QStringLiteral("ctFormat");
    const QString FCatMath = QStringLiteral("ctMath");
    const QString FCatOther = QStringLiteral("ctOther");
    const QString FCatStr = QStringLiteral("ctString");

private:
    // The conversion, formatting, date, string, mathematical and other functions, in the order
    // of the catalogue.
    void AddFunctions(TscScript* script);
};

std::unique_ptr<TscRTTIModule> CreateSysFunctions(TscScript* script);
