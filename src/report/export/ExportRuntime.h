#pragma once

// Start-up of the export library: its interface texts in the report resources and its
// filter classes in the property registry. Idempotent; starts the engine first.
namespace ExportRuntime {

void init();
bool initialized();

} // namespace ExportRuntime
