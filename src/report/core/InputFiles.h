#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

// The one way the report libraries and their tools open a file by name to read it: reports
// and templates, variable and style files, scripts and their units, ini files, pictures,
// fonts, resource and answers files. The file is opened without waiting and checked, on the
// open file, to be a regular file of at most maxBytes before anything is read, so a pipe, a
// device (/dev/zero) or a folder is refused at once instead of holding the caller in a read
// that never ends or filling the memory.

// The open file, or none with the reason: the system's text (a missing file, no permission,
// a folder), coretexts::kNotRegularFileText, or kFileTooLargeFormat with maxBytes.
std::unique_ptr<QFile> OpenInputFile(const QString& path, qint64 maxBytes, QString& reason);

// The whole file, read as OpenInputFile opens it; false with the reason when it cannot be read
// (a file that grew past maxBytes meanwhile counts as too large).
bool ReadInputFile(const QString& path, qint64 maxBytes, QByteArray& bytes, QString& reason);
