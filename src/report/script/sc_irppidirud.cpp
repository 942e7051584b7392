#include "sc_irppidirud.h"

#include "sc_itools.h"

void RegisterRppIdirudGrammar()
{
    RegisterLanguageGrammar(QStringLiteral("R++Idirud"), BuiltInGrammarText(QStringLiteral("RppIdirud.xml")));
}
