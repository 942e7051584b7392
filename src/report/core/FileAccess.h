#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Which files the scripts of a report may touch. A report file is untrusted input, so by
// default its scripts may open no file at all; the caller may allow folders, and then a path
// is allowed when, after resolving "..", "." and symbolic links, it lies inside one of them.
// Every script member that opens, creates or reads a file by name asks Check first.

enum class FileAccessMode : uint8_t {
    Read,   // opening an existing file to read
    Write,  // opening an existing file to change it
    Create, // creating a file or replacing its contents
};

class FileAccessPolicy {
public:
    // Allows the folder and everything below it. The folder must exist (its real path is
    // kept); false when it does not.
    bool AllowFolder(const QString& folder);
    // Refuses every file again.
    void Clear() { folders_.clear(); }
    const QStringList& AllowedFolders() const { return folders_; }

    // Whether the path may be used. A path that cannot be resolved (its folder does not
    // exist, a symbolic link that leads nowhere) is refused.
    bool Allows(const QString& path) const;

    // Raises the run-time library's file error when the path is refused: EFCreateError
    // `Unable to create file "PATH": file access is not allowed` for Create, EFOpenError
    // `Unable to open file "PATH": file access is not allowed` otherwise (PATH as given).
    void Check(const QString& path, FileAccessMode mode) const;

    // A whole regular file of at most maxBytes, after Check (Read); EFOpenError
    // `Unable to open file "PATH": reason` when it cannot be read.
    QByteArray ReadFile(const QString& path, qint64 maxBytes) const;
    // Bytes written over a file atomically (a new file, then renamed over the old one), after
    // Check (Create); EFCreateError `Unable to create file "PATH": reason` on failure.
    void WriteFile(const QString& path, const QByteArray& bytes) const;

    // The file error of a real failure in the same form: `Unable to open file "PATH": reason`
    // (EFOpenError) or `Unable to create file "PATH": reason` (EFCreateError).
    [[noreturn]] static void Fail(const QString& path, FileAccessMode mode, const QString& reason);

    // The text of a refusal.
    static const char* const kNotAllowedText; // "file access is not allowed"

private:
    QStringList folders_; // real paths, without a trailing '/'
};
