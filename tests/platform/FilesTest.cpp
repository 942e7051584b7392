#include "platform/Exceptions.h"
#include "platform/Files.h"

#include "ReadOnlyFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (...) {
        return platform::CurrentExceptionMessage();
    }
    return "no exception";
}

class AtomicSave : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::path(std::getenv("DAXCONFIG_HOME")) / "files";
        fs::create_directories(folder_);
    }

    static void Put(const fs::path& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string Get(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void Save(const fs::path& path, const std::string& text)
    {
        platform::WriteFileAtomically(path.string(), Bytes(text.begin(), text.end()));
    }
    static mode_t Mode(const fs::path& path)
    {
        struct stat status {};
        EXPECT_EQ(::stat(path.c_str(), &status), 0);
        return status.st_mode & 07777;
    }
    // Names in the folder, to see that no temporary file stays behind.
    std::vector<std::string> Names(const fs::path& folder) const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder_;
};

TEST_F(AtomicSave, TheReplacedFileKeepsItsPermissions)
{
    // Data and configuration files hold the instrument's password registers: a file the user
    // made private stays private.
    for (const mode_t mode : {0600, 0640, 0644, 0400, 0660}) {
        SCOPED_TRACE(mode);
        const fs::path path = folder_ / "data.daxdat";
        Put(path, "old");
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        Save(path, "new contents");
        EXPECT_EQ(Get(path), "new contents");
        EXPECT_EQ(Mode(path), mode);
        fs::remove(path);
    }
    EXPECT_TRUE(Names(folder_).empty());
}

TEST_F(AtomicSave, TheReplacedFileKeepsItsOwnerWhereTheSystemPermits)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only a privileged user can give a file to another owner";
    const fs::path path = folder_ / "theirs.daxdat";
    Put(path, "old");
    ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
    Save(path, "new");
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 4321u);
    EXPECT_EQ(status.st_gid, 4322u);
}

TEST_F(AtomicSave, ANewFileGetsTheUsualPermissions)
{
    const mode_t mask = ::umask(022);
    const fs::path path = folder_ / "fresh.daxdat";
    Save(path, "x");
    ::umask(mask);
    EXPECT_EQ(Mode(path), 0644);
}

TEST_F(AtomicSave, ASymbolicLinkStaysAndTheFileItNamesIsReplaced)
{
    fs::create_directories(folder_ / "real");
    const fs::path target = folder_ / "real" / "data.daxdat";
    Put(target, "old");
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    fs::create_symlink("real/data.daxdat", folder_ / "link.daxdat");
    fs::create_symlink(folder_ / "link.daxdat", folder_ / "second.daxdat");   // a chain of two, absolute
    Save(folder_ / "second.daxdat", "through the links");
    EXPECT_TRUE(fs::is_symlink(folder_ / "link.daxdat"));
    EXPECT_TRUE(fs::is_symlink(folder_ / "second.daxdat"));
    EXPECT_EQ(fs::read_symlink(folder_ / "link.daxdat"), "real/data.daxdat");
    EXPECT_EQ(Get(target), "through the links");
    EXPECT_EQ(Mode(target), 0600);
    EXPECT_EQ(Names(folder_ / "real"), std::vector<std::string>{"data.daxdat"});
    EXPECT_EQ(Names(folder_), (std::vector<std::string>{"link.daxdat", "real", "second.daxdat"}));

    // A link to a file that does not exist yet: the file is made where the link points.
    fs::create_symlink("real/later.daxdat", folder_ / "dangling.daxdat");
    Save(folder_ / "dangling.daxdat", "made");
    EXPECT_TRUE(fs::is_symlink(folder_ / "dangling.daxdat"));
    EXPECT_EQ(Get(folder_ / "real" / "later.daxdat"), "made");

    // A loop of links is refused with the system's reason.
    fs::create_symlink("loop-b", folder_ / "loop-a");
    fs::create_symlink("loop-a", folder_ / "loop-b");
    EXPECT_EQ(MessageOf([&] { Save(folder_ / "loop-a", "x"); }), win_error(ELOOP).Message());
}

TEST_F(AtomicSave, ASaveIntoAReadOnlyFolderFailsAndKeepsTheOldFile)
{
    const fs::path path = folder_ / "kept.daxdat";
    Put(path, "old contents");
    ReadOnlyFolder readOnly(folder_);
    if (!readOnly.Ok())
        GTEST_SKIP() << "this file system cannot make a folder read-only for this user";
    const std::string failure = MessageOf([&] { Save(path, "new"); });
    EXPECT_TRUE(failure == win_error(EACCES).Message() || failure == win_error(EPERM).Message()) << failure;
    EXPECT_EQ(Get(path), "old contents");
    EXPECT_EQ(Names(folder_), std::vector<std::string>{"kept.daxdat"});
}

// A process id that no running process has: that of a child that has ended.
pid_t EndedProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

TEST_F(AtomicSave, LeftoversOfAnInterruptedSaveAreRemovedByTheNextSave)
{
    const pid_t gone = EndedProcess();
    const std::string leftover = "data.daxdat.tmp" + std::to_string(gone) + "_0";
    const std::string running = "data.daxdat.tmp" + std::to_string(::getppid()) + "_4";   // a live process's save
    const std::string ours = "data.daxdat.tmp" + std::to_string(::getpid()) + "_999999";
    const std::string otherFile = "other.daxdat.tmp" + std::to_string(gone) + "_0";
    const std::string notATemporary = "data.daxdat.tmp" + std::to_string(gone) + "_x";
    for (const std::string& name : {leftover, running, ours, otherFile, notATemporary})
        Put(folder_ / name, "part");
    Save(folder_ / "data.daxdat", "whole");
    EXPECT_EQ(Get(folder_ / "data.daxdat"), "whole");
    std::vector<std::string> expected = {"data.daxdat", running, ours, otherFile, notATemporary};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(folder_), expected);
}

TEST_F(AtomicSave, PiecesAreWrittenOneAfterTheOther)
{
    const Bytes first = {'a', 'b'}, second, third = {'c'};
    const std::span<const uint8_t> pieces[] = {first, second, third};
    platform::WriteFileAtomically((folder_ / "pieces").string(), pieces);
    EXPECT_EQ(Get(folder_ / "pieces"), "abc");
}

TEST(InputFile, WhatIsNotARegularFileIsRefusedWithoutWaiting)
{
    const fs::path folder = fs::path(std::getenv("DAXCONFIG_HOME"));
    const fs::path fifo = folder / "pipe.daxdat";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        const char* name;
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {"a pipe without a writer", fifo.string(), "Файл не является обычным файлом"},
        {"a device", "/dev/zero", "Файл не является обычным файлом"},
        {"a folder", folder.string(), win_error(EISDIR).Message()},
        {"nothing", (folder / "none").string(), win_error(ENOENT).Message()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bytes;
        EXPECT_EQ(MessageOf([&] { platform::ReadFileBytes(c.path, 1 << 20, bytes); }), c.message);
    }
}

TEST(InputFile, ReadsARegularFileWhole)
{
    const fs::path path = fs::path(std::getenv("DAXCONFIG_HOME")) / "whole";
    std::ofstream(path, std::ios::binary) << "0123456789";
    Bytes bytes;
    ASSERT_TRUE(platform::ReadFileBytes(path.string(), 10, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "0123456789");
    EXPECT_FALSE(platform::ReadFileBytes(path.string(), 9, bytes));   // larger than allowed: nothing read
    platform::InputFile file(path.string());
    EXPECT_EQ(file.Size(), 10u);
    Bytes part(4);
    EXPECT_EQ(file.Read(part), 4u);
    Bytes rest(8);
    EXPECT_EQ(file.Read(rest), 6u);   // the file ends first
}

} // namespace
