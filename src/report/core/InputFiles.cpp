#include "InputFiles.h"

#include "Formats.h"
#include "Texts.h"

#include "platform/Exceptions.h"
#include "platform/Files.h"

#include <unistd.h>

std::unique_ptr<QFile> OpenInputFile(const QString& path, qint64 maxBytes, QString& reason)
{
    int fd = -1;
    try {
        platform::InputFile file(path.toStdString());
        if (file.Size() > static_cast<uint64_t>(maxBytes)) {
            reason = FormatText(coretexts::kFileTooLargeFormat, {Variant(int64_t{maxBytes})});
            return nullptr;
        }
        fd = file.Release();
    } catch (const platform::EOSError& error) {
        reason = QString::fromStdString(platform::SystemErrorText(error.ErrorCode()));
        return nullptr;
    } catch (const platform::Exception&) {
        // The platform's check refused the kind of file.
        reason = QString::fromUtf8(coretexts::kNotRegularFileText);
        return nullptr;
    }
    auto opened = std::make_unique<QFile>();
    if (!opened->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        reason = opened->errorString();
        ::close(fd);
        return nullptr;
    }
    return opened;
}

bool ReadInputFile(const QString& path, qint64 maxBytes, QByteArray& bytes, QString& reason)
{
    const std::unique_ptr<QFile> file = OpenInputFile(path, maxBytes, reason);
    if (file == nullptr)
        return false;
    QByteArray content = file->read(maxBytes + 1);
    if (content.size() > maxBytes) {
        reason = FormatText(coretexts::kFileTooLargeFormat, {Variant(int64_t{maxBytes})});
        return false;
    }
    bytes = std::move(content);
    return true;
}
