#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

namespace platform {

// A regular file opened for reading. The kind of file is checked before anything is read, so
// a pipe or a device can never hold the caller in a read that does not end.
class InputFile {
public:
    // Throws win_error with the system's reason when it cannot be opened (EISDIR for a
    // folder), and kNotRegularFileText (Texts.h) for anything else that is not a regular file.
    explicit InputFile(const std::string& fileName);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // The size when opened.
    uint64_t Size() const { return size_; }
    // Hands the open descriptor to the caller, who closes it; the object holds none after.
    int Release();
    // Reads the next buffer.size() bytes and returns the count read, which is less only when
    // the file ends first (it shrank since it was opened); throws win_error when a read fails.
    size_t Read(std::span<uint8_t> buffer);

private:
    int fd_ = -1;
    uint64_t size_ = 0;
};

// Writes the pieces, one after the other, to a new temporary file in the target's folder and
// renames it over the target, so the target is either the old file or the complete new one,
// never a part. The new file keeps the old one's permissions (and owner and group where the
// system permits); a symbolic link stays and the file it names is replaced. The data and then
// the folder are flushed to the disk before the call returns. Temporary files that an
// interrupted save of the same file left behind are removed first. Throws win_error with the
// system's reason when a step fails; the temporary file is removed then.
void WriteFileAtomically(const std::string& fileName, std::span<const std::span<const uint8_t>> pieces);
void WriteFileAtomically(const std::string& fileName, std::span<const uint8_t> bytes);

// Reads a whole regular file. Returns false, reading nothing, when it is larger than maxSize;
// throws as InputFile does, and win_error when a read fails.
bool ReadFileBytes(const std::string& fileName, size_t maxSize, std::vector<uint8_t>& bytes);

} // namespace platform
