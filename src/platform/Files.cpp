#include "Files.h"

#include "Exceptions.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

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

std::string TemporaryName(const std::string& fileName)
{
    static std::atomic<unsigned> counter{0};
    return fileName + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter.fetch_add(1));
}

} // namespace

void WriteFileAtomically(const std::string& fileName, std::span<const uint8_t> bytes)
{
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = TemporaryName(fileName);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            throw win_error(errno);
    }
    if (fd < 0)
        throw win_error(EEXIST);
    FileDescriptor file(fd);
    const auto fail = [&](int error) {
        ::unlink(temporary.c_str());
        throw win_error(error);
    };
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(file.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(file.get()) != 0)
        fail(errno);
    if (!file.Close())
        fail(errno);
    if (::rename(temporary.c_str(), fileName.c_str()) != 0)
        fail(errno);
}

bool ReadFileBytes(const std::string& fileName, size_t maxSize, std::vector<uint8_t>& bytes)
{
    FileDescriptor file(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0)
        throw win_error(errno);
    struct stat status {};
    if (::fstat(file.get(), &status) != 0)
        throw win_error(errno);
    if (!S_ISREG(status.st_mode))
        throw win_error(EISDIR);
    if (status.st_size < 0 || static_cast<uint64_t>(status.st_size) > maxSize)
        return false;
    std::vector<uint8_t> content(static_cast<size_t>(status.st_size));
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::read(file.get(), content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw win_error(errno);
        }
        if (n == 0)
            break; // the file shrank meanwhile: what was read is what there is
        done += static_cast<size_t>(n);
    }
    content.resize(done);
    bytes = std::move(content);
    return true;
}

} // namespace platform
