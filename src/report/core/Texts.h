#pragma once

// The texts report/core raises itself, each defined here once. The class library's messages
// are English, as the report subsystems have always shown them. Placeholders are those of the
// run-time library's Format (%s, %d), which the specified text blocks of the report libraries
// use too; FormatText (Formats.h) fills them.
namespace coretexts {

// Files the report libraries read (InputFiles.h) and the files scripts may touch (FileAccess.h).
inline constexpr const char* kNotRegularFileText = "Not a regular file";
inline constexpr const char* kFileTooLargeFormat = "File too large (over %d bytes)";                // limit
inline constexpr const char* kFileAccessNotAllowedText = "file access is not allowed";
inline constexpr const char* kUnableToOpenFileFormat = "Unable to open file \"%s\": %s";           // path, reason
inline constexpr const char* kUnableToCreateFileFormat = "Unable to create file \"%s\": %s";       // path, reason

} // namespace coretexts
