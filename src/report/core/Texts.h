#pragma once

// The texts report/core raises itself, each defined here once, and the class library's
// messages the report libraries share. They are English, as the report subsystems have always
// shown them, and the same as the Pascal run-time library's (scripts print them and compare
// them with Free Pascal's). Placeholders are those of the run-time library's Format (%s, %d),
// which the specified text blocks of the report libraries use too; FormatText (Formats.h)
// fills them.
namespace coretexts {

// The default messages of the errors scripts can raise and catch (ScriptErrors.h).
inline constexpr const char* kInvalidVariantTypeCastText = "Invalid variant type cast";
inline constexpr const char* kInvalidVariantOperationText = "Invalid variant operation";
inline constexpr const char* kVariantArrayBoundsText = "Variant array bounds error";
inline constexpr const char* kInvalidArgumentText = "Invalid argument";
inline constexpr const char* kIntegerErrorText = "Integer error";
inline constexpr const char* kDivisionByZeroText = "Division by zero";
inline constexpr const char* kRangeCheckErrorText = "Range check error";
inline constexpr const char* kArithmeticOverflowText = "Arithmetic overflow";
inline constexpr const char* kFloatingPointErrorText = "Floating point error";
inline constexpr const char* kInvalidFloatOperationText = "Invalid floating point operation";
inline constexpr const char* kFloatDivisionByZeroText = "Floating point division by zero";
inline constexpr const char* kFloatOverflowText = "Floating point overflow";
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
// Whatever else escapes a guarded call without a message of its own.
inline constexpr const char* kUnknownErrorText = "Unknown error";

// Variants and object references.
inline constexpr const char* kCannotConvertNullFormat = "Could not convert variant of type (Null) into type (%s)"; // type
inline constexpr const char* kNilObjectText = "Object reference is nil";
inline constexpr const char* kDestroyedObjectText = "Object was destroyed";
inline constexpr const char* kInvalidObjectReferenceText = "Invalid object reference";

// Conversions of texts (EConvertError); the value comes quoted.
inline constexpr const char* kInvalidIntegerFormat = "\"%s\" is an invalid integer";
inline constexpr const char* kInvalidFloatFormat = "\"%s\" is an invalid float";
inline constexpr const char* kInvalidBooleanFormat = "\"%s\" is not a valid boolean.";
inline constexpr const char* kInvalidDateFormatFormat = "\"%s\" is not a valid date format";
inline constexpr const char* kInvalidDateFormat = "\"%s\" is not a valid date";
inline constexpr const char* kInvalidTimeFormat = "\"%s\" is not a valid time";
inline constexpr const char* kFormatMismatchFormat = "Format '%s' invalid or incompatible with argument"; // format

// Fonts.
inline constexpr const char* kFontHeightOutOfRangeFormat = "Font height %d out of range";
inline constexpr const char* kFontSizeOutOfRangeFormat = "Font size %d out of range";
inline constexpr const char* kFontNameEmptyText = "Font name is empty";

// Late-bound calls: the result texts of the codes, and the message "OLE error CODE: member: text".
inline constexpr const char* kDispMemberNotFoundText = "Member not found.";
inline constexpr const char* kDispTypeMismatchText = "Type mismatch.";
inline constexpr const char* kDispUnknownNameText = "Unknown name.";
inline constexpr const char* kDispExceptionText = "Exception occurred.";
inline constexpr const char* kDispBadParamCountText = "Invalid number of parameters.";
inline constexpr const char* kInvalidClassStringText = "Invalid class string";
inline constexpr const char* kUnspecifiedErrorText = "Unspecified error";
inline constexpr const char* kOleErrorFormat = "OLE error %s: %s: %s"; // code, member, text
inline constexpr const char* kOleSourceFormat = "\nSource        ::  %s";
inline constexpr const char* kOleDescriptionFormat = "\nDescription ::  %s";
inline constexpr const char* kOleHelpFileFormat = "\nHelp File     ::  %s";

// The property registry refusing a declaration (a fault of the program, not of its input).
inline constexpr const char* kPropertyDeclaredTwiceFormat = "Property %s declared twice in class %s";
inline constexpr const char* kPropertyNoLinesFormat = "Property %s of class %s is no list of lines";
inline constexpr const char* kClassRegisteredTwiceFormat = "Class %s registered twice";
inline constexpr const char* kEnumerationDeclaredTwiceFormat = "Enumeration %s declared twice";

// Files the report libraries read (InputFiles.h) and the files scripts may touch (FileAccess.h).
inline constexpr const char* kNotRegularFileText = "Not a regular file";
inline constexpr const char* kFileTooLargeFormat = "File too large (over %d bytes)";                // limit
inline constexpr const char* kFileAccessNotAllowedText = "file access is not allowed";
inline constexpr const char* kUnableToOpenFileFormat = "Unable to open file \"%s\": %s";           // path, reason
inline constexpr const char* kUnableToCreateFileFormat = "Unable to create file \"%s\": %s";       // path, reason

} // namespace coretexts
