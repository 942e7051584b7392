#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform {

// Writes the bytes to a new temporary file in the target's folder and renames it over the
// target, so the target is either the old file or the complete new one, never a part. Throws
// win_error with the system's reason when any step fails; the temporary file is removed then.
void WriteFileAtomically(const std::string& fileName, std::span<const uint8_t> bytes);

// Reads a whole file. Returns false, reading nothing, when it is larger than maxSize; throws
// win_error with the system's reason when it cannot be opened or read.
bool ReadFileBytes(const std::string& fileName, size_t maxSize, std::vector<uint8_t>& bytes);

} // namespace platform
