#pragma once

// Start-up of the export filters' options windows: registers the PDF and HTML export dialogs in the
// export library's table of dialogs (ExportRuntime::init is called first). Idempotent; the
// dialogs need a widgets application, without one the filters export as they are set.

namespace ExportUi {

void init();

} // namespace ExportUi
