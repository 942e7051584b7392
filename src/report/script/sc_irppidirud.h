#pragma once

// The R++Idirud language: its grammar, a resource of this library, registered under "R++Idirud".
void RegisterRppIdirudGrammar();
