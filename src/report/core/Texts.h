#pragma once

// The texts the report core raises and shows, each defined here once, and the texts every
// report library shares (list indexes, files). A text with values is a k...Format: each "%s"
// takes one value, in order (FillText). The error texts of the script run-time library are the
// Pascal library's, so that a script's output does not depend on which engine ran it.

#include <QString>
#include <QStringList>

#include <string>

namespace coretexts {

// The errors a script can catch (ScriptErrors.h), by default.
inline constexpr const char* kInvalidVariantTypeCastText = "Invalid variant type cast";
inline constexpr const char* kInvalidVariantOperationText = "Invalid variant operation";
inline constexpr const char* kVariantArrayBoundsText = "Variant array bounds error";
inline constexpr const char* kInvalidArgumentText = "Invalid argument";
inline constexpr const char* kIntegerErrorText = "Integer error";
inline constexpr const char* kDivisionByZeroText = "Division by zero";
inline constexpr const char* kRangeCheckText = "Range check error";
inline constexpr const char* kArithmeticOverflowText = "Arithmetic overflow";
inline constexpr const char* kFloatingPointErrorText = "Floating point error";
inline constexpr const char* kInvalidFloatingPointOperationText = "Invalid floating point operation";
inline constexpr const char* kFloatingPointDivisionByZeroText = "Floating point division by zero";
inline constexpr const char* kFloatingPointOverflowText = "Floating point overflow";
inline constexpr const char* kStackOverflowText = "Stack overflow";
inline constexpr const char* kOutOfMemoryText = "Out of memory";
inline constexpr const char* kAccessViolationText = "Access violation";
inline constexpr const char* kInvalidClassTypecastText = "Invalid class typecast";
inline constexpr const char* kInvalidPointerOperationText = "Invalid pointer operation";
inline constexpr const char* kInvalidOperationText = "Invalid operation";
inline constexpr const char* kListErrorText = "List error";
inline constexpr const char* kStringListErrorText = "String list error";
inline constexpr const char* kStreamErrorText = "Stream error";
inline constexpr const char* kUnableToCreateFileText = "Unable to create file";
inline constexpr const char* kUnableToOpenFileText = "Unable to open file";
inline constexpr const char* kStreamReadErrorText = "Stream read error";
inline constexpr const char* kStreamWriteErrorText = "Stream write error";
inline constexpr const char* kUnknownErrorText = "Unknown error";

// Conversions of texts and values.
inline constexpr const char* kNullConversionFormat = "Could not convert variant of type (Null) into type (%s)"; // type
inline constexpr const char* kInvalidIntegerFormat = "%s is an invalid integer";     // the quoted text
inline constexpr const char* kInvalidFloatFormat = "%s is an invalid float";         // the quoted text
inline constexpr const char* kInvalidBooleanFormat = "%s is not a valid boolean.";   // the quoted text
inline constexpr const char* kInvalidDateFormatFormat = "%s is not a valid date format"; // the quoted text
inline constexpr const char* kInvalidDateFormat = "%s is not a valid date";          // the quoted text
inline constexpr const char* kInvalidTimeFormat = "%s is not a valid time";          // the quoted text
inline constexpr const char* kFormatInvalidFormat = "Format '%s' invalid or incompatible with argument"; // format

// Objects reached by handle.
inline constexpr const char* kObjectNilText = "Object reference is nil";
inline constexpr const char* kObjectDestroyedText = "Object was destroyed";
inline constexpr const char* kInvalidObjectReferenceText = "Invalid object reference";

// Files a script touches (FileAccess.h): the path and the reason.
inline constexpr const char* kUnableToCreateFileFormat = "Unable to create file \"%s\": %s";
inline constexpr const char* kUnableToOpenFileFormat = "Unable to open file \"%s\": %s";
inline constexpr const char* kFileAccessNotAllowedText = "file access is not allowed";
inline constexpr const char* kFileTooLargeFormat = "File too large (over %s bytes)"; // the limit
inline constexpr const char* kNotRegularFileText = "Not a regular file";

// Fonts of scripts.
inline constexpr const char* kFontHeightOutOfRangeFormat = "Font height %s out of range";
inline constexpr const char* kFontSizeOutOfRangeFormat = "Font size %s out of range";
inline constexpr const char* kFontNameEmptyText = "Font name is empty";

// Registration of native classes (mistakes of the program, not of a script or a file).
inline constexpr const char* kPropertyDeclaredTwiceFormat = "Property %s declared twice in class %s";
inline constexpr const char* kPropertyNoLinesFormat = "Property %s of class %s is no list of lines";
inline constexpr const char* kClassRegisteredTwiceFormat = "Class %s registered twice";
inline constexpr const char* kEnumerationDeclaredTwiceFormat = "Enumeration %s declared twice";

// Late-bound calls: the result texts of the codes, and the message of a failed call.
inline constexpr const char* kDispMemberNotFoundText = "Member not found.";
inline constexpr const char* kDispTypeMismatchText = "Type mismatch.";
inline constexpr const char* kDispUnknownNameText = "Unknown name.";
inline constexpr const char* kDispExceptionText = "Exception occurred.";
inline constexpr const char* kDispBadParamCountText = "Invalid number of parameters.";
inline constexpr const char* kDispInvalidClassStringText = "Invalid class string";
inline constexpr const char* kDispUnspecifiedText = "Unspecified error";
inline constexpr const char* kOleErrorFormat = "OLE error %s: %s: %s"; // code, member, result text
inline constexpr const char* kOleSourceFormat = "\nSource        ::  %s";
inline constexpr const char* kOleDescriptionFormat = "\nDescription ::  %s";
inline constexpr const char* kOleHelpFileFormat = "\nHelp File     ::  %s";

// Shared by the report libraries: an index outside a list, a list that cannot grow, a file
// that cannot be opened or created (name and reason).
inline constexpr const char* kListIndexErrorFormat = "List index (%s) out of bounds";
inline constexpr const char* kListCapacityErrorFormat = "List capacity (%s) exceeded";
inline constexpr const char* kCannotOpenFileFormat = "Cannot open file \"%s\". %s";
inline constexpr const char* kCannotCreateFileFormat = "Cannot create file \"%s\". %s";

} // namespace coretexts

// A text with its "%s" filled in order. Only "%s" is replaced, each once, and nothing else is
// interpreted, so a text (or a translation of it) may hold any other '%'. With fewer "%s" than
// values the rest are left out; `complete` (when given) tells whether every value found its place.
QString FillText(const QString& format, const QStringList& values, bool* complete = nullptr);
QString FillText(const char* format, const QStringList& values);
// The same as UTF-8, for exception messages.
std::string FillTextUtf8(const char* format, const QStringList& values);
