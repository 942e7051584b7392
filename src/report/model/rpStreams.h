#pragma once

#include "platform/Exceptions.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <functional>
#include <memory>

class QIODevice;

// The stream failures of the report files: a stream that ends early or refuses bytes, a
// file that cannot be opened or created.
class EReadError : public platform::Exception {
public:
    using platform::Exception::Exception;
    EReadError();  // "Stream read error"
};

class EWriteError : public platform::Exception {
public:
    using platform::Exception::Exception;
    EWriteError(); // "Stream write error"
};

class EFOpenError : public platform::Exception {
public:
    using platform::Exception::Exception;
};

class EFCreateError : public platform::Exception {
public:
    using platform::Exception::Exception;
};

// Writes all bytes at the device's position; EWriteError when it takes fewer.
void WriteAllBytes(QIODevice& device, QByteArrayView bytes);

// Reads the device from its position to its end; EReadError on a read failure, and when
// more than maxSize bytes would be read (checked before they are kept).
QByteArray ReadRemainingBytes(QIODevice& device, qint64 maxSize);

// Writes a file through `write` and puts it in place of the old one only when everything was
// written: a failure (an exception of `write`, or of the file) leaves the old file whole and
// nothing beside it. EFCreateError "Cannot create file ..." when the file cannot be made.
void SaveFileAtomically(const QString& fileName, const std::function<void(QIODevice&)>& write);

// Report XML files (reports, templates, variables, styles, prepared reports) larger than this
// are not opened. Loads keep far less in memory (the XML reader has its own limits), and
// partial loading reads a large file piece by piece.
inline constexpr qint64 kMaxReportXMLFileBytes = qint64{4} * 1024 * 1024 * 1024;

// Opens a regular file of at most maxBytes for reading (OpenInputFile of report/core) and
// hands it to `read`; "Cannot open file ..." with the reason when it cannot be opened.
void ReadFileWith(const QString& fileName, const std::function<void(QIODevice&)>& read,
                  qint64 maxBytes = kMaxReportXMLFileBytes);
// The file as OpenInputFile opens it, or "Cannot open file ..." with the reason.
std::unique_ptr<QFile> OpenFileForReading(const QString& fileName, qint64 maxBytes);

// "Cannot open file \"<name>\". <reason>" and "Cannot create file ..." with the device's reason.
[[noreturn]] void RaiseCannotOpen(const QString& fileName, const QString& reason);
[[noreturn]] void RaiseCannotCreate(const QString& fileName, const QString& reason);

// Text in the system's ANSI code page (Windows-1251) to UTF-16 and back; a character the
// code page lacks becomes '?'.
QString AnsiToString(QByteArrayView bytes);
QByteArray StringToAnsi(QStringView text);
