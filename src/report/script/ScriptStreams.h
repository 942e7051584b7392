#pragma once

// Streams of bytes: TStream with 64-bit positions and sizes, TFileStream over a file and
// TMemoryStream in memory. Scripts move bytes through strings, one character per byte
// (U+0000..U+00FF), so a string read and written back with the same count writes the same
// bytes; counts are bytes.

#include "ScriptObjects.h"

#include <QByteArray>
#include <QFile>

#include <functional>

class QIODevice;

class ScriptStream : public ScriptObject {
public:
    static const ScriptClassInfo& Class(); // TStream

    // Origins of Seek (soFromBeginning, soFromCurrent, soFromEnd).
    enum Origin : int { soFromBeginning, soFromCurrent, soFromEnd };

    // Reads up to count bytes from the position on.
    virtual QByteArray ReadBytes(int64_t count) = 0;
    // Writes the bytes at the position; the number written.
    virtual int64_t WriteBytes(const QByteArray& bytes) = 0;
    virtual int64_t Position() const = 0;
    // A position before the start is the start; beyond the end is allowed (a write there
    // fills the gap with zeros).
    virtual void SetPosition(int64_t position) = 0;
    virtual int64_t Size() const = 0;

    // The new position; an unknown origin raises EStreamError.
    int64_t Seek(int64_t offset, int origin);
    // Copies count bytes from source's position (0: the whole source from its start); fewer
    // bytes in the source raise EReadError "Stream read error". The number copied.
    int64_t CopyFrom(ScriptStream& source, int64_t count);

    // The stream as a Qt device positioned at Position, for code that reads or writes
    // devices; the position follows what the code consumed.
    virtual void WithDevice(const std::function<void(QIODevice& device)>& use) = 0;

    // What one Read may ask for at most: the longest string.
    static int64_t MaxReadCount();
};

// TFileStream: a file opened by mode (fmCreate creates or truncates; fmOpenRead,
// fmOpenWrite, fmOpenReadWrite open an existing file; share flags are ignored). Opening does
// not check the file-access policy: the script binding does that first.
class ScriptFileStream : public ScriptStream {
public:
    static const ScriptClassInfo& Class(); // TFileStream
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    static constexpr int fmCreate = 0xFF00;
    static constexpr int fmOpenRead = 0;
    static constexpr int fmOpenWrite = 1;
    static constexpr int fmOpenReadWrite = 2;

    // Raises EFCreateError or EFOpenError `Unable to ... file "NAME": reason` on failure.
    ScriptFileStream(const QString& fileName, int mode);

    QByteArray ReadBytes(int64_t count) override;
    int64_t WriteBytes(const QByteArray& bytes) override;
    int64_t Position() const override { return FFile.pos(); }
    void SetPosition(int64_t position) override;
    int64_t Size() const override { return FFile.size(); }
    void WithDevice(const std::function<void(QIODevice& device)>& use) override;

    // Whether the mode creates the file.
    static bool Creates(int mode) { return (mode & fmCreate) == fmCreate; }

private:
    QFile FFile;
};

// TMemoryStream: bytes in memory, up to kMaxSize.
class ScriptMemoryStream : public ScriptStream {
public:
    static const ScriptClassInfo& Class(); // TMemoryStream
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    static constexpr int64_t kMaxSize = 256 * 1024 * 1024;

    QByteArray ReadBytes(int64_t count) override;
    int64_t WriteBytes(const QByteArray& bytes) override;
    int64_t Position() const override { return FPosition; }
    void SetPosition(int64_t position) override { FPosition = position < 0 ? 0 : position; }
    int64_t Size() const override { return FData.size(); }
    void WithDevice(const std::function<void(QIODevice& device)>& use) override;
    void CountMemory(ScriptMemoryCounter& counter) const override;

    void Clear();
    const QByteArray& Data() const { return FData; }
    // Replaces the contents (position 0); EOutOfMemory beyond kMaxSize.
    void SetData(const QByteArray& data);
    // The whole of another stream, from its start (LoadFromStream).
    void LoadFrom(ScriptStream& source);

private:
    QByteArray FData;
    int64_t FPosition = 0;
};

// One byte per character: the bytes as a string of U+0000..U+00FF, and such a string as
// bytes (a character above U+00FF raises ERangeError).
QString BytesToScriptString(const QByteArray& bytes);
QByteArray ScriptStringToBytes(const QString& text, int64_t count);
