#pragma once

// Start-up and shutdown of the report model's window parts, beside ModelRuntime: init
// registers the dialog control class and installs the password prompt in the model's services
// table; shutdown detaches every control from the hidden parent widget and frees it. init is
// idempotent and needs a QApplication.
namespace ModelUi {

void init();
void shutdown();

} // namespace ModelUi
