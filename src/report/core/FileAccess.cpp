#include "FileAccess.h"

#include "Formats.h"
#include "InputFiles.h"
#include "ScriptErrors.h"
#include "Texts.h"

#include "platform/Exceptions.h"
#include "platform/Files.h"

#include <QDir>
#include <QFileInfo>

#include <vector>

const char* const FileAccessPolicy::kNotAllowedText = coretexts::kFileAccessNotAllowedText;

namespace {

// The real path of a file that may not exist yet: its folder resolved, the name kept. Empty
// when the folder does not exist or the name is a link whose target does not exist (creating
// through it would create the target, wherever it points).
QString RealPath(const QString& path)
{
    if (path.isEmpty())
        return QString();
    const QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    if (info.isSymLink())
        return QString();
    const QString name = info.fileName();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return QString();
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (folder.isEmpty())
        return QString();
    return folder == QLatin1String("/") ? folder + name : folder + QLatin1Char('/') + name;
}

} // namespace

bool FileAccessPolicy::AllowFolder(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.isDir())
        return false;
    QString real = info.canonicalFilePath();
    if (real.isEmpty())
        return false;
    if (real.size() > 1 && real.endsWith(QLatin1Char('/')))
        real.chop(1);
    if (!folders_.contains(real))
        folders_.append(real);
    return true;
}

bool FileAccessPolicy::Allows(const QString& path) const
{
    if (folders_.isEmpty())
        return false;
    const QString real = RealPath(path);
    if (real.isEmpty())
        return false;
    for (const QString& folder : folders_) {
        const QString prefix = folder == QLatin1String("/") ? folder : folder + QLatin1Char('/');
        if (real.startsWith(prefix) && real.size() > prefix.size())
            return true;
    }
    return false;
}

void FileAccessPolicy::Check(const QString& path, FileAccessMode mode) const
{
    if (!Allows(path))
        Fail(path, mode, QString::fromLatin1(kNotAllowedText));
}

void FileAccessPolicy::Fail(const QString& path, FileAccessMode mode, const QString& reason)
{
    if (mode == FileAccessMode::Create)
        throw EFCreateError(FormatText(coretexts::kUnableToCreateFileFormat, {Variant(path), Variant(reason)}).toStdString());
    throw EFOpenError(FormatText(coretexts::kUnableToOpenFileFormat, {Variant(path), Variant(reason)}).toStdString());
}

QByteArray FileAccessPolicy::ReadFile(const QString& path, qint64 maxBytes) const
{
    Check(path, FileAccessMode::Read);
    QByteArray bytes;
    QString reason;
    if (!ReadInputFile(path, maxBytes, bytes, reason))
        Fail(path, FileAccessMode::Read, reason);
    return bytes;
}

void FileAccessPolicy::WriteFile(const QString& path, const QByteArray& bytes) const
{
    Check(path, FileAccessMode::Create);
    try {
        platform::WriteFileAtomically(
            path.toStdString(),
            std::span(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())));
    } catch (const platform::EOSError& error) {
        Fail(path, FileAccessMode::Create, QString::fromStdString(platform::SystemErrorText(error.ErrorCode())));
    } catch (const platform::Exception& error) {
        Fail(path, FileAccessMode::Create, QString::fromStdString(error.Message()));
    }
}
