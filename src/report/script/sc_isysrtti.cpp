#include "sc_isysrtti.h"

#include "sc_iinterpreter_script.h"

#include "report/core/Services.h"

std::unique_ptr<TscRTTIModule> CreateSysFunctions(TscScript* script)
{
    return std::make_unique<TscSysFunctions>(script);
}

TscSysFunctions::TscSysFunctions(TscScript* script) : TscRTTIModule(script)
{
    static const struct {
        const char* name;
        TscVarType typ;
    } kTypes[] = {
        {"Byte", fvtInt},       {"Word", fvtInt},        {"Integer", fvtInt},     {"Int64", fvtInt64},
        {"Longint", fvtInt},    {"Cardinal", fvtInt},    {"TColor", fvtInt},      {"TAlphaColor", fvtInt},
        {"Boolean", fvtBool},   {"Real", fvtFloat},      {"Single", fvtFloat},    {"Double", fvtFloat},
        {"Extended", fvtFloat}, {"Currency", fvtFloat},  {"TDate", fvtFloat},     {"TTime", fvtFloat},
        {"TDateTime", fvtFloat}, {"Char", fvtChar},      {"String", fvtString},   {"Variant", fvtVariant},
        {"Pointer", fvtVariant}, {"Array", fvtArray},    {"Constructor", fvtConstructor},
    };
    for (const auto& type : kTypes)
        script->AddType(QString::fromLatin1(type.name), type.typ);

    script->AddConst(QStringLiteral("True"), QStringLiteral("Boolean"), Variant(true));
    script->AddConst(QStringLiteral("False"), QStringLiteral("Boolean"), Variant(false));
    script->AddConst(QStringLiteral("nil"), QStringLiteral("Variant"), Variant::FromObject(0));
    script->AddConst(QStringLiteral("Null"), QStringLiteral("Variant"), Variant::NullValue());

    script->AddItem(QStringLiteral("__StringHelper"), std::make_unique<TscStringHelper>());
    script->AddItem(QStringLiteral("__ArrayHelper"),
                    std::make_unique<TscArrayHelper>(QStringLiteral("__ArrayHelper"), -1, fvtVariant, QString()));

    script->AddVariable(QStringLiteral("ExceptionClassName"), QStringLiteral("String"), Variant(QString()));
    script->AddVariable(QStringLiteral("ExceptionMessage"), QStringLiteral("String"), Variant(QString()));

    AddFunctions(script);

    static const struct {
        const char* name;
        int32_t code;
    } kVariantCodes[] = {
        {"varEmpty", 0},     {"varNull", 1},       {"varSmallint", 2},  {"varInteger", 3},    {"varSingle", 4},
        {"varDouble", 5},    {"varCurrency", 6},   {"varDate", 7},      {"varOleStr", 8},     {"varDispatch", 9},
        {"varError", 10},    {"varBoolean", 11},   {"varVariant", 12},  {"varUnknown", 13},   {"varShortInt", 16},
        {"varByte", 17},     {"varWord", 18},      {"varLongWord", 19}, {"varInt64", 20},     {"varStrArg", 72},
        {"varString", 256},  {"varAny", 257},      {"varTypeMask", 4095}, {"varArray", 8192}, {"varByRef", 16384},
    };
    for (const auto& code : kVariantCodes)
        script->AddConst(QString::fromLatin1(code.name), QStringLiteral("Integer"), Variant(code.code));
}
