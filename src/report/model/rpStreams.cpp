#include "rpStreams.h"

#include "rpRes.h"

#include "platform/Cp1251.h"
#include "report/core/InputFiles.h"
#include "report/script/sc_iconsts.h"
#include "report/core/Texts.h"

#include <QFile>
#include <QIODevice>
#include <QSaveFile>

#include <algorithm>

EReadError::EReadError() : platform::Exception(coretexts::kStreamReadErrorText) {}

EWriteError::EWriteError() : platform::Exception(coretexts::kStreamWriteErrorText) {}

void WriteAllBytes(QIODevice& device, QByteArrayView bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 written = device.write(bytes.data() + done, bytes.size() - done);
        if (written <= 0)
            throw EWriteError();
        done += written;
    }
}

QByteArray ReadRemainingBytes(QIODevice& device, qint64 maxSize)
{
    QByteArray bytes;
    if (!device.isSequential()) {
        const qint64 left = device.size() - device.pos();
        if (left > maxSize)
            throw EReadError();
        bytes.reserve(static_cast<qsizetype>(std::max<qint64>(left, 0)));
    }
    char chunk[65536];
    for (;;) {
        const qint64 n = device.read(chunk, sizeof chunk);
        if (n < 0)
            throw EReadError();
        if (n == 0)
            break;
        if (bytes.size() + n > maxSize)
            throw EReadError();
        bytes.append(chunk, static_cast<qsizetype>(n));
    }
    return bytes;
}

void SaveFileAtomically(const QString& fileName, const std::function<void(QIODevice&)>& write)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        RaiseCannotCreate(fileName, file.errorString());
    write(file);
    if (!file.commit())
        RaiseCannotCreate(fileName, file.errorString());
}

void RaiseCannotOpen(const QString& fileName, const QString& reason)
{
    throw EFOpenError(FormatScMessage(TscMessage::SCannotOpenFile, {fileName, reason}).toStdString());
}

void RaiseCannotCreate(const QString& fileName, const QString& reason)
{
    throw EFCreateError(FormatScMessage(TscMessage::SCannotCreateFile, {fileName, reason}).toStdString());
}

QString AnsiToString(QByteArrayView bytes)
{
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return QString::fromLatin1(bytes);
    const std::string utf8 = platform::Cp1251ToUtf8(std::string_view(bytes.data(), static_cast<size_t>(bytes.size())));
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QByteArray StringToAnsi(QStringView text)
{
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; }))
        return text.toLatin1();
    const QByteArray utf8 = text.toUtf8();
    const std::string ansi = platform::Utf8ToCp1251(std::string_view(utf8.data(), static_cast<size_t>(utf8.size())));
    return QByteArray(ansi.data(), static_cast<qsizetype>(ansi.size()));
}

std::unique_ptr<QFile> OpenFileForReading(const QString& fileName, qint64 maxBytes)
{
    QString reason;
    std::unique_ptr<QFile> file = OpenInputFile(fileName, maxBytes, reason);
    if (file == nullptr)
        RaiseCannotOpen(fileName, reason);
    return file;
}

void ReadFileWith(const QString& fileName, const std::function<void(QIODevice&)>& read, qint64 maxBytes)
{
    const std::unique_ptr<QFile> file = OpenFileForReading(fileName, maxBytes);
    read(*file);
}
