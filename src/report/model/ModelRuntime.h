#pragma once

#include <mutex>

class TrpDrawText;

// Start-up and shutdown of the report object model: one explicit call before reports are
// loaded, saved or evaluated, and its reverse. init registers the model's classes for the
// serializer and the scripts, fills the property-editor registry with its start-up entries,
// adds the built-in resource blocks and gives the script engine its messages from them.
// init also creates the process-wide text engine. Calling init again does nothing; shutdown
// empties the registries of objects, editors, export filters and wizards.
namespace ModelRuntime {

void init();
void shutdown();
bool initialized();

// Held while a report that asks for thread safety reads a component stream and while a
// dialog page is destroyed. Recursive: a report read under it may load its template.
std::recursive_mutex& GlobalLock();

// The process-wide text engine, for memos without a report (each report owns its own). It
// lives until the program ends; users take its Lock (recursive) around every use.
TrpDrawText& SharedDrawText();

} // namespace ModelRuntime
