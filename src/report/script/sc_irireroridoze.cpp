#include "sc_irireroridoze.h"

#include "sc_itools.h"

void RegisterRireroRidozeGrammar()
{
    RegisterLanguageGrammar(QStringLiteral("RireroRidoze"), BuiltInGrammarText(QStringLiteral("RireroRidoze.xml")));
}
