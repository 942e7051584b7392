#pragma once

// The standard editors of the report's own classes: their texts, their editor classes by name,
// the component editors per object class, the property editors per type, class and name, and
// the properties the inspector does not show. DesignerRuntime registers them once at start-up
// and takes them back at shut-down.

namespace DesignerRuntime {

void RegisterStandardEditors();
void UnregisterStandardEditors();

} // namespace DesignerRuntime
