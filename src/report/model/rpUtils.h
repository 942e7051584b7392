#pragma once

#include "report/core/Conversions.h" // ParseLocaleFloat
#include "report/core/FormatSettings.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <functional>
#include <memory>

class QIODevice;
class QObject;

// Small operations the report subsystems share.

// A rectangle and a point in report units.
struct TrpRect {
    double Left = 0;
    double Top = 0;
    double Right = 0;
    double Bottom = 0;
};

struct TrpPoint {
    double X = 0;
    double Y = 0;
};

TrpRect MakeRpRect(double left, double top, double right, double bottom);
TrpPoint MakeRpPoint(double x, double y);

// Edges closer than this count as touching, not overlapping.
inline constexpr double kRectAreaTolerance = 1e-4;

// A rectangle for the engine's overlap tests.
class TrpRectArea {
public:
    TrpRectArea(double left, double top, double right, double bottom) : X(left), Y(top), X1(right), Y1(bottom) {}

    // Whether the two overlap horizontally (vertically) by more than the tolerance.
    bool InterceptsX(const TrpRectArea& a) const;
    bool InterceptsY(const TrpRectArea& a) const;
    // The horizontal (vertical) overlap as a new area, its other two fields 0; null when
    // they do not overlap.
    std::unique_ptr<TrpRectArea> InterceptX(const TrpRectArea& a) const;
    std::unique_ptr<TrpRectArea> InterceptY(const TrpRectArea& a) const;
    static double Max(double a, double b) { return a >= b ? a : b; }
    static double Min(double a, double b) { return a <= b ? a : b; }

    double X;  // left
    double Y;  // top
    double X1; // right
    double Y1; // bottom
};

// The CRC-32 (ISO-HDLC: the one of zlib, gzip and PNG) of the whole stream from its start;
// the stream's position is left as it was.
uint32_t StreamCRC32(QIODevice& stream);

// Empties the list and adds the pieces between delimiters: two adjacent delimiters give an
// empty piece, a delimiter at the very end none; no quoting.
void SplitToList(QStringView text, QStringList& list, QChar delimiter);

// Every byte as two upper-case hexadecimal digits, high nibble first.
QString StreamToHexText(QByteArrayView bytes);

// The bytes of the text's digit pairs (either case; an odd last digit is ignored), written to
// the stream from position 0. Text with anything but hexadecimal digits raises the conversion
// error "Invalid hexadecimal text" before anything is written.
void HexTextToStream(QStringView text, QIODevice& stream);

// Two decimals when the value has a fractional part ("2.50"), the general text otherwise
// ("3"), with the settings' decimal separator.
QString FloatToShortText(double value, const FormatSettings& settings);

// The text between an opening bracket at `start` and its matching closing bracket, brackets
// inside double or single quotes not counted. Positions count from 0. `end` becomes the
// position of the last character of the closing bracket (of the last character scanned when
// there is none); when `start` holds no opening bracket the result is empty and `end` is
// `start`. `closed`, when given, tells whether the closing bracket was found.
QString FindBracketedText(QStringView text, QStringView open, QStringView close, int& start, int& end,
                          bool* closed = nullptr);

// More page numbers than this are never listed (a range such as 1-2000000000 stops there).
inline constexpr int kMaxPageNumbers = 100000;

// Page numbers of a print range such as "1,3,5-7" or "4-" (to the last page): blanks are
// ignored, "a-b" lists a to b (nothing when b < a) and stops at the last page when that is
// known (above 0). A number that is not decimal raises "\"<text>\" is an invalid integer".
void ParsePageNumbers(QStringView text, QList<int>& list, int lastPage);

// "#RRGGBB" of a colour 0x00BBGGRR, upper-case digits. System colours (0x80000000 and up)
// are not resolved here: their low three bytes are taken as they are.
QString ColorToHexText(uint32_t color);

// The system's temporary folder, with a trailing '/'.
QString GetTempFolder();
// A new empty file "rpXXXXXX" in the temporary folder (in `folder` when it is not empty),
// left in place for the caller; "Cannot create file ..." when that fails.
QString CreateTempFile();
QString CreateTempFileIn(const QString& folder);

// The program's file, and its folder with a trailing '/'.
QString GetProgramFileName();
QString GetModuleFolder();

QString ReplaceChar(QStringView text, QChar character, QChar replacement);
QString SlashesToBackslashes(QStringView text);

// --- Operations that need report components (rpUtils_components.cpp)

class ScriptObject;
class TrpComponent;
class TrpValueReader;
class TrpValueWriter;

// Objects that own report components outside any report (the device frame's data sets) and
// are known by name, so references to those components can be written and read as
// "Root.Component", or "Parent.Root.Component" for a root registered inside another one.
// `find` answers the component of a name the root owns, or none. A root goes from the list
// when it is destroyed or unregistered.
void RegisterGlobalRoot(const QString& name, QObject* root, std::function<TrpComponent*(QStringView name)> find,
                        QObject* parentRoot = nullptr);
void UnregisterGlobalRoot(QObject* root);

// The component a reference names: "Root.Name" or "Root.Frame.Name" among the global roots
// (none when the root is not registered), a plain name among the owner's objects and then
// among the components of the global root that owns the report. A failing look-up raises
// EClassNotFound "Missing <name>"; a name not found gives none.
TrpComponent* FindComponentByPath(const TrpComponent* owner, QStringView name);
// The name a reference to `component` is written with, seen from `root`: the plain name for
// an object of root's report (or without owner), the qualified name for a component of a
// global root, empty for a component of any other owner and for none.
QString GetComponentPath(const TrpComponent* root, const TrpComponent* component);

// A collection of the report (data-set list, variables, styles): items that are objects with
// published properties.
class TrpCollection {
public:
    virtual ~TrpCollection() = default;
    virtual int Count() const = 0;
    virtual ScriptObject* CollectionItem(int index) = 0;
    virtual void ClearItems() = 0;
    // A new last item.
    virtual ScriptObject* AddItem() = 0;
};

// Writes a collection as a report's defined property: a list holding, for every item, a list
// with one string, the item's attribute text (the report's serializer form).
void WriteCollectionItems(TrpCollection& collection, TrpValueWriter& writer, TrpComponent* report);
// Reads that form back into the emptied collection; the report's serializer applies the
// texts when the report is being loaded (references then resolve at the end of the load),
// else a serializer of its own per item. The class library's collection form (vaCollection)
// of form resources does not exist here: it is passed over with an error line.
void ReadCollectionItems(TrpCollection& collection, TrpValueReader& reader, TrpComponent* report);

// Message boxes with the localised captions "mbError", "mbConfirm" and "mbInfo", through the
// user-interface service (headless: nothing is shown, and the confirmation answers mrNone).
void ErrorMessageBox(const QString& text);
// `buttons` a mask of UiMessageButton (UiButtons({mbYes, mbNo})); answers the modal result.
int ConfirmMessageBox(const QString& text, uint32_t buttons);
void InfoMessageBox(const QString& text);
