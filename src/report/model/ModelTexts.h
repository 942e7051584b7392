#pragma once

// The texts this library raises itself. The class library's stream and list messages are
// English, as the report subsystems have always shown them.
namespace modeltexts {

inline constexpr const char* kInvalidXMLFormat = "Invalid file format";
inline constexpr const char* kStreamReadError = "Stream read error";
inline constexpr const char* kStreamWriteError = "Stream write error";
inline constexpr const char* kInvalidPropertyValue = "Invalid property value";
inline constexpr const char* kListIndexError = "List index out of bounds (%1)";
inline constexpr const char* kWideStringOutOfBounds = "Wide String Out of Bounds";
inline constexpr const char* kCannotOpenFile = "Cannot open file \"%1\". %2";
inline constexpr const char* kCannotCreateFile = "Cannot create file \"%1\". %2";

// Added where the system now refuses input instead of misreading it.
inline constexpr const char* kInvalidHexText = "Invalid hexadecimal text";
inline constexpr const char* kValueNestingTooDeep = "Property values nested too deeply";
inline constexpr const char* kDecompressedTooLarge = "Decompressed data too large";

// The component errors of the class library.
inline constexpr const char* kInvalidComponentName = "'%1' is not a valid component name";
inline constexpr const char* kClassNotFound = "Class %1 not found";
inline constexpr const char* kPropertyDoesNotExist = "Property %1 does not exist";
inline constexpr const char* kMissingComponent = "Missing %1";

// Metafile pictures have no decoder here: they are kept byte for byte and drawn as a box.
inline constexpr const char* kMetafileNotDrawn =
    "Рисунки-метафайлы (%1) сохраняются в отчёте, но в этой системе не рисуются: на их месте "
    "печатается серый прямоугольник.";

// The fonts the text layout needs (see rpFontResolver.h).
inline constexpr const char* kFontNotInstalled =
    "The font \"%1\" (%2), which stands for \"%3\", is not installed: install the package %4";
inline constexpr const char* kFontFileUnreadable = "The font file \"%1\" cannot be read: %2";
inline constexpr const char* kFontFileUnusable = "The font file \"%1\" is not a usable font";
inline constexpr const char* kFontFamilyMismatch = "The font file \"%1\" holds the family \"%2\", not \"%3\"";
inline constexpr const char* kFontsNeedGuiApplication =
    "Fonts are measured only while the program's GUI application runs (the offscreen platform will do)";

} // namespace modeltexts
