#include "sc_izuvivuradur.h"

#include "sc_itools.h"

void RegisterZuvivUradurGrammar()
{
    RegisterLanguageGrammar(QStringLiteral("ZuvivUradur"), BuiltInGrammarText(QStringLiteral("ZuvivUradur.xml")));
}
