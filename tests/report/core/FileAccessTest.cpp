// Which files the scripts of a report may touch: nothing by default; with allowed folders, a
// path that lies inside one after resolving "..", "." and symbolic links. Refusals and real
// failures carry the run-time library's file errors.

#include "report/core/FileAccess.h"
#include "report/core/InputFiles.h"
#include "report/core/ScriptErrors.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace {

struct AccessCase {
    const char* name;
    bool allowFolder; // the folder "in" is allowed
    const char* path;  // under the temporary folder
    bool allowed;
};

void PrintTo(const AccessCase& c, std::ostream* os)
{
    *os << c.name;
}

class FileAccess : public ::testing::TestWithParam<AccessCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root_.isValid());
        QDir(root_.path()).mkpath(QStringLiteral("in/sub"));
        QDir(root_.path()).mkpath(QStringLiteral("out"));
        Touch(QStringLiteral("in/file"));
        Touch(QStringLiteral("out/secret"));
        Touch(QStringLiteral("in-side"));
        // Links inside the allowed folder that lead out of it, and one inside it.
        Link(QStringLiteral("out/secret"), QStringLiteral("in/link-out"));
        Link(QStringLiteral("out"), QStringLiteral("in/folder-out"));
        Link(QStringLiteral("in/file"), QStringLiteral("in/link-in"));
        Link(QStringLiteral("out/nothing-yet"), QStringLiteral("in/dangling"));
    }
    QString Path(const char* relative) const { return root_.filePath(QString::fromUtf8(relative)); }
    void Touch(const QString& relative)
    {
        QFile file(root_.filePath(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    void Link(const QString& target, const QString& link)
    {
        ASSERT_EQ(::symlink(root_.filePath(target).toLocal8Bit().constData(),
                            root_.filePath(link).toLocal8Bit().constData()),
                  0);
    }

    QTemporaryDir root_;
};

TEST_P(FileAccess, AllowsOnlyPathsInsideAllowedFolders)
{
    FileAccessPolicy policy;
    if (GetParam().allowFolder) {
        ASSERT_TRUE(policy.AllowFolder(Path("in")));
    }
    EXPECT_EQ(policy.Allows(Path(GetParam().path)), GetParam().allowed) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FileAccess,
    ::testing::Values(AccessCase{"NothingAllowedByDefault", false, "in/file", false},
                      AccessCase{"ExistingFileInside", true, "in/file", true},
                      AccessCase{"NewFileInside", true, "in/new", true},
                      AccessCase{"NewFileInSubfolder", true, "in/sub/new", true},
                      AccessCase{"FileOutside", true, "out/secret", false},
                      AccessCase{"DotDotOut", true, "in/../out/secret", false},
                      AccessCase{"DotDotOutNewFile", true, "in/../x", false},
                      AccessCase{"DotDotStaysInside", true, "in/sub/../file", true},
                      AccessCase{"LinkOut", true, "in/link-out", false},
                      AccessCase{"ThroughLinkedFolderOut", true, "in/folder-out/secret", false},
                      AccessCase{"NewFileThroughLinkedFolder", true, "in/folder-out/new", false},
                      AccessCase{"LinkInside", true, "in/link-in", true},
                      AccessCase{"DanglingLinkWouldCreateOutside", true, "in/dangling", false},
                      AccessCase{"SameNamePrefixIsNotInside", true, "in-side", false},
                      AccessCase{"TheFolderItself", true, "in", false},
                      AccessCase{"MissingFolder", true, "in/missing/new", false}),
    [](const ::testing::TestParamInfo<AccessCase>& info) { return std::string(info.param.name); });

TEST(FileAccessErrors, RefusalsAndFailuresNameTheFileAsThePascalLibraryDoes)
{
    const FileAccessPolicy policy;
    try {
        policy.Check(QStringLiteral("DIR/x"), FileAccessMode::Create);
        FAIL() << "no error";
    } catch (const EFCreateError& error) {
        EXPECT_STREQ(error.ClassName(), "EFCreateError");
        EXPECT_EQ(error.Message(), "Unable to create file \"DIR/x\": file access is not allowed");
    }
    for (FileAccessMode mode : {FileAccessMode::Read, FileAccessMode::Write}) {
        try {
            policy.Check(QStringLiteral("a.txt"), mode);
            FAIL() << "no error";
        } catch (const EFOpenError& error) {
            EXPECT_STREQ(error.ClassName(), "EFOpenError");
            EXPECT_EQ(error.Message(), "Unable to open file \"a.txt\": file access is not allowed");
        }
    }
}

TEST(FileAccessErrors, ReadAndWriteWholeFilesUnderThePolicy)
{
    QTemporaryDir root;
    FileAccessPolicy policy;
    ASSERT_TRUE(policy.AllowFolder(root.path()));
    const QString file = root.filePath(QStringLiteral("data.bin"));
    policy.WriteFile(file, QByteArray("\x00\x01\xFF", 3));
    EXPECT_EQ(policy.ReadFile(file, 16), QByteArray("\x00\x01\xFF", 3));
    try {
        policy.ReadFile(file, 2);
        FAIL() << "no error";
    } catch (const EFOpenError& error) {
        EXPECT_EQ(error.Message(), "Unable to open file \"" + file.toStdString() + "\": File too large (over 2 bytes)");
    }
    const QString missing = root.filePath(QStringLiteral("missing"));
    try {
        policy.ReadFile(missing, 16);
        FAIL() << "no error";
    } catch (const EFOpenError& error) {
        EXPECT_EQ(error.Message(), "Unable to open file \"" + missing.toStdString() + "\": No such file or directory");
    }
    try {
        policy.ReadFile(root.path(), 16);
        FAIL() << "no error";
    } catch (const EFOpenError& error) {
        // The folder itself is not inside it.
        EXPECT_EQ(error.Message(), "Unable to open file \"" + root.path().toStdString() + "\": file access is not allowed");
    }
}

// The one check every report-side read goes through: kind and size on the opened file.
struct InputCase {
    const char* name;
    const char* path;   // under the temporary folder, or absolute
    qint64 maxBytes;
    const char* reason; // empty: read
};

void PrintTo(const InputCase& c, std::ostream* os)
{
    *os << c.name;
}

class InputFiles : public ::testing::TestWithParam<InputCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root_.isValid());
        QFile file(root_.filePath(QStringLiteral("three")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("abc");
        file.close();
        ASSERT_EQ(::mkfifo(root_.filePath(QStringLiteral("pipe")).toLocal8Bit().constData(), 0600), 0);
        QDir(root_.path()).mkpath(QStringLiteral("folder"));
    }
    QTemporaryDir root_;
};

TEST_P(InputFiles, AreReadOnlyWhenRegularAndSmallEnough)
{
    const InputCase& c = GetParam();
    const QString path = c.path[0] == '/' ? QString::fromLatin1(c.path) : root_.filePath(QString::fromLatin1(c.path));
    QByteArray bytes;
    QString reason;
    const bool read = ReadInputFile(path, c.maxBytes, bytes, reason);
    EXPECT_EQ(reason.toStdString(), c.reason);
    EXPECT_EQ(read, *c.reason == 0);
    if (read) {
        EXPECT_EQ(bytes, "abc");
    }
    QString openReason;
    const std::unique_ptr<QFile> file = OpenInputFile(path, c.maxBytes, openReason);
    EXPECT_EQ(file != nullptr, *c.reason == 0);
    EXPECT_EQ(openReason.toStdString(), c.reason);
}

const InputCase kInputCases[] = {
    {"regular", "three", 3, ""},
    {"too_large", "three", 2, "File too large (over 2 bytes)"},
    {"pipe", "pipe", 100, "Not a regular file"},
    {"device", "/dev/zero", 100, "Not a regular file"},
    {"folder", "folder", 100, "Is a directory"},
    {"missing", "missing", 100, "No such file or directory"},
};

INSTANTIATE_TEST_SUITE_P(Files, InputFiles, ::testing::ValuesIn(kInputCases));

} // namespace
