#pragma once

// The ZuvivUradur language: its grammar, a resource of this library, registered under "ZuvivUradur".
void RegisterZuvivUradurGrammar();
