#pragma once

#include "report/core/FormatSettings.h"
#include "report/core/Variant.h"

#include <QString>

class TrpComponent;

// What the printable objects ask of their report while they take their data: the value of
// an expression, the script variables "Value" and "Self", and the settings that turn values
// into text. The report answers through its script; tests give a table instead, so that
// views are tested without scripts.
class ITrpExpressionEvaluator {
public:
    virtual ~ITrpExpressionEvaluator() = default;
    // The value of an expression; a failure raises with the report's error text.
    virtual Variant Calc(const QString& expression) = 0;
    // The script's "Value": the value the object computed last.
    virtual void SetLocalValue(const Variant& value) = 0;
    // The script's "Self": the object taking its data (none after it).
    virtual void SetSelfValue(TrpComponent* object) = 0;
    // Separators, date formats and names of the report's values as text.
    virtual const FormatSettings& Settings() const = 0;
};
