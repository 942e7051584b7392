#pragma once

#include <QStringList>

// design FILE [--page N] [--scale S] [--select NAME,...] [--do ACTION]... [--save OUT.zi3]
// [--grab PNG] [--password P]: shows report page N (report pages counted from 1) on a bare design workspace
// with rulers and runs the actions as mouse and key input, positions in page units: "click X,Y
// [shift|ctrl|alt]...", "drag X1,Y1 X2,Y2 [mods]", "key SEQ", "insert CLASS[/FLAGS]", "tool
// select|hand|zoom|text|format", "type TEXT". --save writes the report, --grab the sheet at the
// scale. Errors: text on stderr, exit 2 (1 for usage and files that cannot be read).
int RunDesign(const QStringList& arguments);
