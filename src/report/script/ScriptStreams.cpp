#include "ScriptStreams.h"
#include "report/core/Texts.h"
#include "sc_iconsts.h"

#include "report/core/FileAccess.h"
#include "report/core/ScriptErrors.h"
#include "report/core/Variant.h"


#include <QBuffer>
#include <QFileInfo>

#include <algorithm>

namespace {

// Bytes copied at a time by CopyFrom.
constexpr int64_t kCopyChunk = 64 * 1024;

} // namespace

QString BytesToScriptString(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes);
}

QByteArray ScriptStringToBytes(const QString& text, int64_t count)
{
    const int64_t n = std::clamp<int64_t>(count, 0, text.size());
    QByteArray bytes(static_cast<qsizetype>(n), Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c > 0xFF)
            throw ERangeError();
        bytes[i] = static_cast<char>(c);
    }
    return bytes;
}

// --- TStream --------------------------------------------------------------------------------

const ScriptClassInfo& ScriptStream::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TStream"), &ScriptPlainObject::ObjectClass()};
    return info;
}

int64_t ScriptStream::MaxReadCount()
{
    return kMaxStringLength;
}

int64_t ScriptStream::Seek(int64_t offset, int origin)
{
    int64_t base = 0;
    switch (origin) {
    case soFromBeginning:
        break;
    case soFromCurrent:
        base = Position();
        break;
    case soFromEnd:
        base = Size();
        break;
    default:
        throw EStreamError(ScErrorText(TscMessage::SInvalidStreamOrigin, {QString::number(origin)}));
    }
    const int64_t target = (offset > 0 && base > INT64_MAX - offset) ? INT64_MAX : base + offset;
    SetPosition(target);
    return Position();
}

int64_t ScriptStream::CopyFrom(ScriptStream& source, int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    int64_t copied = 0;
    while (copied < count) {
        const QByteArray chunk = source.ReadBytes(std::min(kCopyChunk, count - copied));
        if (chunk.isEmpty())
            throw EReadError();
        if (WriteBytes(chunk) != chunk.size())
            throw EWriteError();
        copied += chunk.size();
    }
    return copied;
}

// --- TFileStream ----------------------------------------------------------------------------

const ScriptClassInfo& ScriptFileStream::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TFileStream"), &ScriptStream::Class()};
    return info;
}

ScriptFileStream::ScriptFileStream(const QString& fileName, int mode) : FFile(fileName)
{
    const bool create = Creates(mode);
    const FileAccessMode access = create ? FileAccessMode::Create
                                         : ((mode & 3) == fmOpenRead ? FileAccessMode::Read : FileAccessMode::Write);
    // Only regular files: reading a device or a pipe could block the script for ever.
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        FileAccessPolicy::Fail(fileName, access, QString::fromUtf8(coretexts::kNotRegularFileText));
    QIODevice::OpenMode openMode;
    if (create) {
        openMode = QIODevice::ReadWrite | QIODevice::Truncate;
    } else {
        switch (mode & 3) {
        case fmOpenRead:
            openMode = QIODevice::ReadOnly;
            break;
        case fmOpenWrite:
            openMode = QIODevice::WriteOnly | QIODevice::ExistingOnly;
            break;
        case fmOpenReadWrite:
            openMode = QIODevice::ReadWrite | QIODevice::ExistingOnly;
            break;
        default:
            FileAccessPolicy::Fail(fileName, access, QString::fromUtf8(coretexts::kInvalidArgumentText));
        }
    }
    if (!FFile.open(openMode))
        FileAccessPolicy::Fail(fileName, access, FFile.errorString());
}

QByteArray ScriptFileStream::ReadBytes(int64_t count)
{
    if (count <= 0 || !FFile.isReadable())
        return QByteArray();
    // Never more than the file holds, so a huge count allocates nothing.
    const int64_t available = std::max<int64_t>(0, FFile.size() - FFile.pos());
    const QByteArray bytes = FFile.read(std::min({count, available, MaxReadCount()}));
    return bytes;
}

int64_t ScriptFileStream::WriteBytes(const QByteArray& bytes)
{
    if (!FFile.isWritable())
        return 0;
    const int64_t written = FFile.write(bytes);
    return written < 0 ? 0 : written;
}

void ScriptFileStream::SetPosition(int64_t position)
{
    FFile.seek(std::max<int64_t>(0, position));
}

void ScriptFileStream::WithDevice(const std::function<void(QIODevice& device)>& use)
{
    use(FFile);
}

// --- TMemoryStream --------------------------------------------------------------------------

const ScriptClassInfo& ScriptMemoryStream::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TMemoryStream"), &ScriptStream::Class()};
    return info;
}

QByteArray ScriptMemoryStream::ReadBytes(int64_t count)
{
    if (count <= 0 || FPosition >= FData.size())
        return QByteArray();
    const int64_t n = std::min({count, static_cast<int64_t>(FData.size()) - FPosition, MaxReadCount()});
    const QByteArray bytes = FData.mid(static_cast<qsizetype>(FPosition), static_cast<qsizetype>(n));
    FPosition += n;
    return bytes;
}

int64_t ScriptMemoryStream::WriteBytes(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return 0;
    if (FPosition > kMaxSize - bytes.size())
        throw EOutOfMemory();
    const int64_t end = FPosition + bytes.size();
    if (end > FData.size()) {
        ChargeScriptMemory(end - FData.size());
        FData.resize(static_cast<qsizetype>(end), '\0');
    }
    std::copy(bytes.begin(), bytes.end(), FData.begin() + FPosition);
    FPosition = end;
    return bytes.size();
}

void ScriptMemoryStream::WithDevice(const std::function<void(QIODevice& device)>& use)
{
    QBuffer buffer(&FData);
    buffer.open(QIODevice::ReadWrite);
    buffer.seek(std::min<int64_t>(FPosition, FData.size()));
    struct Back {
        QBuffer& Buffer;
        ScriptMemoryStream& Stream;
        ~Back() { Stream.FPosition = Buffer.pos(); }
    } back{buffer, *this};
    use(buffer);
    if (FData.size() > kMaxSize) {
        FData.truncate(static_cast<qsizetype>(kMaxSize));
        throw EOutOfMemory();
    }
}

void ScriptMemoryStream::Clear()
{
    FData.clear();
    FPosition = 0;
}

void ScriptMemoryStream::SetData(const QByteArray& data)
{
    if (data.size() > kMaxSize)
        throw EOutOfMemory();
    if (data.size() > FData.size())
        ChargeScriptMemory(data.size() - FData.size());
    FData = data;
    FPosition = 0;
}

void ScriptMemoryStream::CountMemory(ScriptMemoryCounter& counter) const
{
    counter.AddBytes(kScriptObjectBytes + FData.capacity());
}

void ScriptMemoryStream::LoadFrom(ScriptStream& source)
{
    if (&source == this) {
        FPosition = 0;
        return;
    }
    source.SetPosition(0);
    QByteArray data;
    for (;;) {
        const QByteArray chunk = source.ReadBytes(kCopyChunk);
        if (chunk.isEmpty())
            break;
        if (data.size() + chunk.size() > kMaxSize)
            throw EOutOfMemory();
        data += chunk;
    }
    SetData(data);
}
