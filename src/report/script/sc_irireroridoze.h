#pragma once

// The RireroRidoze language: its grammar, a resource of this library, registered under "RireroRidoze".
void RegisterRireroRidozeGrammar();
