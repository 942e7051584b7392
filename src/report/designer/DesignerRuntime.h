#pragma once

// Start-up of the report designer: init first starts the model, its window parts and the
// engine with its window parts, then adds the designer's texts to the resource table, its
// images to the image lists and its editor classes to the table that turns the registries'
// class names into editors. Idempotent; needs a QApplication. shutdown reverses what init
// added (the texts stay, as language files may have replaced them).

#include "report/core/FormatSettings.h"

namespace DesignerRuntime {

void init();
void shutdown();
bool initialized();

// The number and date formats of the designer's editors: the system locale's unless a caller
// (a test, a tool) pins others.
const FormatSettings& Formats();
void SetFormats(const FormatSettings& settings);

} // namespace DesignerRuntime
