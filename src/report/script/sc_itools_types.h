#pragma once

// Tool functions the interpreter shares: type names and the type-compatibility rules, the
// conversion of a number or string token into a value, and positions.

#include "sc_iinterpreter.h"

#include <QPoint>
#include <QString>

#include <memory>

class TscScript;

struct TscTypeRec {
    TscVarType Typ = fvtVariant;
    QString TypeName;
};

// The type code of the symbol of that name in the script (with its parents); fvtClass when
// there is none.
TscVarType LookupVarType(const QString& typeName, const TscScript* script);
// Both are registered classes and class 2 is class 1 or inherits from it.
bool AreClassesCompatible(const QString& className1, const QString& className2, const TscScript* script);
// Whether a value of type 2 may go where type 1 is expected (type 1 the target or left operand).
bool AreTypesCompatible(const TscTypeRec& target, const TscTypeRec& value, const TscScript* script);
// AreTypesCompatible, except that a Float value is never assignable to an Int target.
bool IsAssignCompatible(const TscCustomVariable* target, const TscCustomVariable* value, const TscScript* script);
bool IsAssignCompatible(const TscTypeRec& target, const TscTypeRec& value, const TscScript* script);
// The full type name of a type ("Integer", "Extended", a class name, ...).
QString TypeRecName(const TscTypeRec& type);

// The value of a number or string token: empty is Null; a token in apostrophes is the text
// between them; an integer (decimal, or hexadecimal after "$") is 32-bit unless it needs 64;
// anything else is read as a real in the C form (a point before the fraction). A malformed
// token raises EConvertError.
Variant TokenToValue(const QString& token);

// Reads the declaration text of a native routine, such as
// "function Copy(s: String; Index, Count: Integer): String" or
// "procedure Inc(var i: Integer; incr: Integer = 1)": the result carries the name, the result
// type (functions), the macro flag ("macrofunction ...") and one parameter per declared name.
// A default is a number, a text, a negative number, or a name whose current value in the
// script is taken. A text of any other shape raises EScriptException.
std::unique_ptr<TscCustomVariable> ParseNativeDeclaration(const QString& text, TscScript* script);

// "row:col" as a point (x the column, y the row); empty gives (0, 0); anything that is no
// such text raises EConvertError.
QPoint PositionTextToPoint(const QString& position);
