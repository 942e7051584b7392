#pragma once

// The texts this library raises itself. The digest, cipher and font errors are English, as the
// report subsystems have always shown them; "MaximuProfile" and "Format errir" are spelt as
// the system has always spelt them.
namespace exporttexts {

// Digests and ciphers.
inline constexpr const char* kHashUnknownFormat = "Hash function %s is unknown";
inline constexpr const char* kAESInvalidKeyLengthFormat = "AES-%d is undefined";
// Asking a hash for a digest of another size is a program error; it is raised, not asserted.
inline constexpr const char* kDigestSizeMismatchFormat = "The %s digest has %d bytes, not %d";

// TrueType fonts.
inline constexpr const char* kTrueTypeFormatError = "TrueType font format error";
inline constexpr const char* kUnknownCollectionVersion = "Unknown font collection version";
inline constexpr const char* kUnsupportedIndexToLocation = "Unsupported Index to Location format";
inline constexpr const char* kUnknownIndexToLoc = "Unknown IndexToLoc value";
inline constexpr const char* kAlignError = "Align error";
inline constexpr const char* kGlyphOutOfRange = "Format errir";
inline constexpr const char* kFontHeaderNotFound = "FontHeader not found.";
inline constexpr const char* kMaximumProfileNotFound = "MaximuProfile not found.";
inline constexpr const char* kHorizontalHeaderNotFound = "HorizontalHeader not found.";
inline constexpr const char* kOS2NotFound = "OS2WindowsMetrics table not found.";
inline constexpr const char* kIndexToLocationNotFound = "IndexToLocation not found.";
inline constexpr const char* kCmapNotFound = "CMAP not found.";
inline constexpr const char* kNameNotFound = "Name not found.";
inline constexpr const char* kGlyphsNotFound = "Glyphs not found.";
// Table ID "<tag>" checksum error.<computed> <stored>
inline constexpr const char* kTableChecksumErrorFormat = "Table ID \"%s\" checksum error.%u %u";
// The captions the warnings of a font carry before their text ("<caption>: <text>").
inline constexpr const char* kFontFormatErrorCaption = "Font format error";
inline constexpr const char* kFontChecksumErrorCaption = "Font table checksum error";

// Added where the subsetter now reports what it used to show in a window or not check.
inline constexpr const char* kDuplicateTableFormat = "Table ID \"%s\" is listed twice; the second entry is ignored";
inline constexpr const char* kFaceIndexOutOfRangeFormat = "The font file has no face %d (it holds %d)";

// The RTF reader of rich-text cells.
inline constexpr const char* kGmlIndexOutOfBoundsFormat = "The specified index %d is out of bounds [%d, %d]";
inline constexpr const char* kGmlAllocationFailedFormat = "Failed to allocate %d bytes";
inline constexpr const char* kGmlNodeNotInParent = "RTF node is not contained in the list of parent's subnodes";
inline constexpr const char* kGmlInvalidSubnodeRangeFormat = "Invalid range of subnodes [%d, %d]";
inline constexpr const char* kGmlNoValue = "RTF control word doesn't have a value";
inline constexpr const char* kGmlParseRangeFormat = "Range for parsing [%d, %d) is out of bounds [%d, %d)";
inline constexpr const char* kGmlInvalidColorTable = "Invalid RTF color table";
inline constexpr const char* kGmlInvalidSerializeRangeFormat = "Invalid range [%d, %d] for serialization";
// Added with the reader's limits on nesting and size.
inline constexpr const char* kGmlTooDeepFormat = "RTF groups are nested deeper than %d levels";
inline constexpr const char* kGmlTooLargeFormat = "RTF text of %lld bytes is larger than the limit of %lld bytes";

// The RTF export.
inline constexpr const char* kRtfBitmapFailed = "The picture could not be written as a bitmap";
inline constexpr const char* kRtfNoPard = "RTF text in a memo does not contain \\\\pard tags";

} // namespace exporttexts
