#include "sc_ijscript.h"

#include "sc_itools.h"

void RegisterJScriptGrammar()
{
    RegisterLanguageGrammar(QStringLiteral("JScript"), BuiltInGrammarText(QStringLiteral("JScript.xml")));
}
