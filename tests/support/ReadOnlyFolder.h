#pragma once

#include <filesystem>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

// Makes a folder unwritable for the test's lifetime, also for root (immutable), where the
// file system allows it.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const std::filesystem::path& folder) : folder_(folder)
    {
        if (::geteuid() != 0) {
            ok_ = ::chmod(folder.c_str(), 0555) == 0;
            return;
        }
        fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        int flags = 0;
        if (fd_ >= 0 && ::ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
            flags |= FS_IMMUTABLE_FL;
            ok_ = ::ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0;
        }
    }
    ~ReadOnlyFolder()
    {
        if (::geteuid() != 0) {
            ::chmod(folder_.c_str(), 0755);
        } else if (fd_ >= 0) {
            int flags = 0;
            if (::ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
                flags &= ~FS_IMMUTABLE_FL;
                ::ioctl(fd_, FS_IOC_SETFLAGS, &flags);
            }
            ::close(fd_);
        }
    }
    bool Ok() const { return ok_; }

private:
    std::filesystem::path folder_;
    int fd_ = -1;
    bool ok_ = false;
};

} // namespace testsupport

using testsupport::ReadOnlyFolder;
