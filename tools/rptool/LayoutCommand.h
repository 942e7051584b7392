#pragma once

#include <QStringList>

// rptool layout --font F --size N --width PX [--wordbreak] [--html] FILE
// Lays each line of the UTF-8 FILE out as a paragraph at the width PX (pixels at 96 per
// inch) and prints one line per laid-out line: its width with two decimals, a tab, its
// paragraph flags (1 first line, 2 last line), a tab, its text. Needs the GUI application
// (fonts); the offscreen platform will do.
int RunLayoutCommand(const QStringList& arguments);
