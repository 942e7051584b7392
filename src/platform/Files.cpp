#include "Files.h"

#include "Exceptions.h"
#include "Texts.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <filesystem>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {


namespace {

constexpr int kMaxLinkHops = 40;           // as the system's own limit on symbolic link chains
constexpr int kMaxTemporaryAttempts = 100;
constexpr const char* kTemporaryMark = ".tmp";

// Closes a descriptor once, on every path.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    // Closes now and reports whether the close succeeded (a late write error shows here).
    bool Close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// The file a save replaces: a symbolic link is followed to the file it names (which need not
// exist yet), so that the link itself stays as the user made it.
std::filesystem::path SaveTarget(const std::string& fileName)
{
    std::filesystem::path path = fileName;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return path;
        std::error_code error;
        const std::filesystem::path target = std::filesystem::read_symlink(path, error);
        if (error)
            throw win_error(error.value());
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    throw win_error(ELOOP);
}

std::filesystem::path FolderOf(const std::filesystem::path& file)
{
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

std::string TemporaryName(const std::filesystem::path& target)
{
    static std::atomic<unsigned> counter{0};
    return target.string() + kTemporaryMark + std::to_string(::getpid()) + "_" + std::to_string(counter.fetch_add(1));
}

// The process id in a temporary name "<file>.tmp<pid>_<n>" of the target, or 0.
pid_t TemporaryOwner(const std::string& name, const std::string& prefix)
{
    if (!name.starts_with(prefix))
        return 0;
    const std::string_view rest = std::string_view(name).substr(prefix.size());
    const size_t separator = rest.find('_');
    if (separator == std::string_view::npos || separator == 0 || separator + 1 == rest.size())
        return 0;
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + separator, pid);
    if (error != std::errc() || end != rest.data() + separator || pid <= 0)
        return 0;
    for (const char c : rest.substr(separator + 1))
        if (c < '0' || c > '9')
            return 0;
    return pid;
}

// Removes what interrupted saves of the target left: temporaries of processes that are gone.
// A save in progress in a running process (this one included) keeps its file.
void RemoveLeftovers(const std::filesystem::path& target)
{
    const std::string prefix = target.filename().string() + kTemporaryMark;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(FolderOf(target), error)) {
        const pid_t owner = TemporaryOwner(entry.path().filename().string(), prefix);
        if (owner == 0 || owner == ::getpid())
            continue;
        if (::kill(owner, 0) == 0 || errno == EPERM)
            continue;
        std::error_code ignored;
        if (entry.is_regular_file(ignored))
            std::filesystem::remove(entry.path(), ignored);
    }
}

void WriteAll(int fd, std::span<const uint8_t> bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw win_error(errno);
        }
        done += static_cast<size_t>(n);
    }
}

void SyncFolder(const std::filesystem::path& folder)
{
    FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // A folder that cannot be opened for reading, or a file system that cannot flush folders,
    // leaves the rename as durable as the system makes it.
    if (directory.get() < 0)
        return;
    if (::fsync(directory.get()) != 0 && errno != EINVAL)
        throw win_error(errno);
}

} // namespace

InputFile::InputFile(const std::string& fileName)
{
    // Not blocking: opening a pipe for reading would otherwise wait for a writer.
    fd_ = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        throw win_error(errno);
    struct stat status {};
    if (::fstat(fd_, &status) != 0) {
        const int error = errno;
        ::close(fd_);
        throw win_error(error);
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd_);
        if (S_ISDIR(status.st_mode))
            throw win_error(EISDIR);
        throw Exception(kNotRegularFileText);
    }
    size_ = static_cast<uint64_t>(status.st_size);
}

InputFile::~InputFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

int InputFile::Release()
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

size_t InputFile::Read(std::span<uint8_t> buffer)
{
    size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t n = ::read(fd_, buffer.data() + done, buffer.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw win_error(errno);
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return done;
}

void WriteFileAtomically(const std::string& fileName, std::span<const std::span<const uint8_t>> pieces)
{
    const std::filesystem::path target = SaveTarget(fileName);
    RemoveLeftovers(target);
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);

    // Readable by the owner alone until it has the old file's permissions.
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < kMaxTemporaryAttempts && fd < 0; ++attempt) {
        temporary = TemporaryName(target);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replacing ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST)
            throw win_error(errno);
    }
    if (fd < 0)
        throw win_error(EEXIST);
    FileDescriptor file(fd);
    try {
        if (replacing) {
            // Owner and group first: changing them clears the set-id bits that the mode restores.
            if (::fchown(file.get(), old.st_uid, old.st_gid) != 0 &&
                ::fchown(file.get(), static_cast<uid_t>(-1), old.st_gid) != 0) {
                // This user may give the file neither owner nor group: it stays the user's own.
            }
            if (::fchmod(file.get(), old.st_mode & 07777) != 0)
                throw win_error(errno);
        }
        for (const std::span<const uint8_t> piece : pieces)
            WriteAll(file.get(), piece);
        if (::fsync(file.get()) != 0)
            throw win_error(errno);
        if (!file.Close())
            throw win_error(errno);
        if (::rename(temporary.c_str(), target.c_str()) != 0)
            throw win_error(errno);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    SyncFolder(FolderOf(target));
}

void WriteFileAtomically(const std::string& fileName, std::span<const uint8_t> bytes)
{
    const std::span<const uint8_t> pieces[] = {bytes};
    WriteFileAtomically(fileName, pieces);
}

bool ReadFileBytes(const std::string& fileName, size_t maxSize, std::vector<uint8_t>& bytes)
{
    InputFile file(fileName);
    if (file.Size() > maxSize)
        return false;
    std::vector<uint8_t> content(static_cast<size_t>(file.Size()));
    // The file may shrink meanwhile: what was read is what there is.
    content.resize(file.Read(content));
    bytes = std::move(content);
    return true;
}

} // namespace platform
