#pragma once

// What the script editor's units share: how its text is cut into lines and joined again.

#include <QString>
#include <QStringList>

namespace SynMemoText {

// The line end of the editor's text when its lines are joined.
inline const QString kCrLf = QStringLiteral("\r\n");

// Lines of a text joined with CR LF (CR LF, a lone CR or a lone LF end a line).
QStringList SplitLines(const QString& text);

} // namespace SynMemoText
