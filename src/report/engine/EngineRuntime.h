#pragma once

// Start-up of the report engine library: one explicit call after the report model's (it makes
// that call itself). It hands reports their prepared-page store through the model's services
// table, so that every report made afterwards has one, and adds the engine's own interface
// texts to the report resources. Calling it again does nothing.
namespace EngineRuntime {

void init();
bool initialized();

} // namespace EngineRuntime
