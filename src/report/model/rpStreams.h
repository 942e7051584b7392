#pragma once

#include "platform/Exceptions.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

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

// Opens the file for reading and hands it to `read`; "Cannot open file ..." when it cannot be
// opened.
void ReadFileWith(const QString& fileName, const std::function<void(QIODevice&)>& read);

// "Cannot open file \"<name>\". <reason>" and "Cannot create file ..." with the device's reason.
[[noreturn]] void RaiseCannotOpen(const QString& fileName, const QString& reason);
[[noreturn]] void RaiseCannotCreate(const QString& fileName, const QString& reason);

// Text in the system's ANSI code page (Windows-1251) to UTF-16 and back; a character the
// code page lacks becomes '?'.
QString AnsiToString(QByteArrayView bytes);
QByteArray StringToAnsi(QStringView text);
