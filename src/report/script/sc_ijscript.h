#pragma once

// The JScript language: its grammar, a resource of this library, registered under "JScript".
void RegisterJScriptGrammar();
