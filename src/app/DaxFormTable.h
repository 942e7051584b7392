#pragma once

#include "presentation/FrameBindingTable.h"

#include <QString>
#include <QStringList>

#include <QRect>

#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

class QGridLayout;
class QGroupBox;
class QWidget;

// The device pages and their sub-frames are written as tables of rows: group boxes with their
// labelled controls, matrices of channel values, buttons and notes. Each row names its control
// (the object name the bindings and the report code look it up by); a control that a binding
// reaches is made of the widget kind its binding expects, read-only when it shows an input
// register, and sized for the values of its kind. A row without a caption labels its control
// with the binding's name, or with the control's name when the binding has none.
namespace daxform {

enum class RowKind : uint8_t {
    Box,       // starts a group box: Name, Text caption
    Matrix,    // starts a group box of Count members side by side, a Cells row per value:
               // Name, Text caption, LabelName the members' header pattern ("V#": "V1" .. "V6")
    Table,     // the same with the members one below the other and a column per Cells row
    Split,     // inside a box: the next fields go into a new column of the box
    Column,    // in a page: the next boxes go into a new column of the page
    Field,     // a labelled control: Name, Text the label (none: the binding's name),
               // LabelName the label's object name (none: Name + "Label")
    Cells,     // a value of every member of a Matrix or Table: Name with '#' for the member
               // number, Text its caption, LabelName the caption's object name (none: Name
               // without '#', + "Label")
    Note,      // a label across the box: Name, Text
    Button,    // a push button at the foot of the box: Name, Text
    Embed,     // a widget the caller makes (a sub-frame instance), across the box or, outside a
               // box, in the page's column: Name
};

// What a Field or Cells row makes.
enum class Make : uint8_t {
    Bound,  // the widget kind of the control's binding
    Edit,   // a read-only line edit the frame fills itself
    Check,  // a check box no binding reaches
    Button, // a push button beside the label (a command that acts on that row)
};

struct FormRow {
    RowKind Kind = RowKind::Field;
    Make What = Make::Bound;
    const char* Name = nullptr;
    const char* Text = nullptr;
    const char* LabelName = nullptr;
    uint8_t Count = 0;
};

constexpr FormRow Box(const char* name, const char* caption)
{
    return {RowKind::Box, Make::Bound, name, caption, nullptr, 0};
}
constexpr FormRow Matrix(const char* name, const char* caption, uint8_t members, const char* headerPattern)
{
    return {RowKind::Matrix, Make::Bound, name, caption, headerPattern, members};
}
constexpr FormRow Table(const char* name, const char* caption, uint8_t members, const char* headerPattern)
{
    return {RowKind::Table, Make::Bound, name, caption, headerPattern, members};
}
constexpr FormRow Split()
{
    return {RowKind::Split, Make::Bound, nullptr, nullptr, nullptr, 0};
}
constexpr FormRow Column()
{
    return {RowKind::Column, Make::Bound, nullptr, nullptr, nullptr, 0};
}
constexpr FormRow Field(const char* name, const char* text = nullptr, const char* labelName = nullptr)
{
    return {RowKind::Field, Make::Bound, name, text, labelName, 0};
}
// A value the frame computes and shows in a read-only edit.
constexpr FormRow Computed(const char* name, const char* text)
{
    return {RowKind::Field, Make::Edit, name, text, nullptr, 0};
}
// A check box of the frame's own.
constexpr FormRow Option(const char* name, const char* text)
{
    return {RowKind::Field, Make::Check, name, text, nullptr, 0};
}
constexpr FormRow Cells(const char* pattern, const char* text, const char* labelName = nullptr)
{
    return {RowKind::Cells, Make::Bound, pattern, text, labelName, 0};
}
constexpr FormRow Note(const char* name, const char* text)
{
    return {RowKind::Note, Make::Bound, name, text, nullptr, 0};
}
constexpr FormRow Button(const char* name, const char* text)
{
    return {RowKind::Button, Make::Button, name, text, nullptr, 0};
}
constexpr FormRow Embed(const char* name)
{
    return {RowKind::Embed, Make::Bound, name, nullptr, nullptr, 0};
}

// Where the bound controls of a table find their bindings: path prefixes tried in order. The
// frame's own controls have the empty prefix; a sub-frame class lists its instances
// ("TS1_Current/", "TS2_Current/"), since one class holds controls that only one instance binds.
using BindingScope = std::vector<std::string>;

// The binding that reaches `name` in the scope (the first one when several do); none when no
// binding does.
const BindingDescription* FindBinding(const BindingScope& scope, const std::string& name);
// The binding's name of `name` in the scope; empty when it has none.
std::string BindingName(const BindingScope& scope, const std::string& name);

// The widget a binding expects, named `name`: a line edit, combo box (editable where a number
// is typed over proposals), bit-mask editor, check box, spin box (its range the value kind's),
// progress bar, date or time edit. Controls that show input registers or the identification
// are read-only. Items are not filled here: the page set-up fills them.
QWidget* MakeBoundWidget(const BindingDescription& binding, const QString& name, QWidget* parent);

// Makes the widget an Embed row names; returns none when it has none.
using EmbedFactory = std::function<QWidget*(const char* name, QWidget* parent)>;

// Builds the group box of rows[0] (a Box, Matrix or Table row) with the rows that follow it up
// to the next Box, Matrix, Table or Column row. A member number above 0 replaces '#' in every name and text
// of a Box's rows (one table for the repeated boxes of a sub-frame). Throws
// platform::Exception when a Field names a control no binding of the scope reaches.
QGroupBox* BuildBox(std::span<const FormRow> rows, const BindingScope& scope, QWidget* parent,
                    const EmbedFactory& embed = {}, int member = 0);

// Builds a table of boxes in columns (Column rows start a new column) into a widget; an Embed
// row before the first box of a column stands in the column itself.
QWidget* BuildColumns(std::span<const FormRow> rows, const BindingScope& scope, QWidget* parent,
                      const EmbedFactory& embed = {});

// Adds the Field rows to a grid, a label and its control per grid row from `firstRow`, in grid
// columns `firstColumn` and `firstColumn` + 1 (a check box across both); returns the next free
// grid row. A member number above 0 replaces '#' as in BuildBox.
int AddFields(QGridLayout* grid, std::span<const FormRow> rows, const BindingScope& scope, QWidget* parent,
              int firstRow = 0, int firstColumn = 0, int member = 0);

// One widget at a place of a grid: a label when Label is given (its text), otherwise the bound
// control of that name.
struct GridCell {
    const char* Name;
    int Row;
    int Column;
    const char* Label = nullptr;
};
// Makes the cells' widgets into the grid, controls left-aligned in their cells.
void PlaceCells(QGridLayout* grid, std::span<const GridCell> cells, const BindingScope& scope, QWidget* parent);

// Moves `control` into the grid cell of `partner` (both in the same grid layout), where it
// stands in for the partner when the partner is hidden.
void StackOn(QWidget* control, QWidget* partner);

// Sub-frames whose boxes lie at fixed places inside one outer box (the places the pages move
// them between when a scheme leaves some out). Distances of such a design, in pixels:
constexpr int kDesignMargin = 8;  // around the boxes inside the outer box
constexpr int kDesignGap = 6;     // between boxes
constexpr int kCaptionSlack = 16; // extra width for captions that change later

// The outer box of such a sub-frame, at the sub-frame's top left.
QGroupBox* MakeOuterBox(QWidget* frame, const QString& name, const QString& caption = {});
// The top of the first row of places inside an outer box, below its caption.
int FirstPlaceTop(const QGroupBox* outer);
// Places a widget without a layout at (x, y) in its parent, at its size hint widened by `slack`
// (room for captions that change later); returns where it lies.
QRect PlaceAt(QWidget* widget, int x, int y, int slack = 0);
// Places boxes in rows of `perRow` equal places (the largest box's size widened by
// kCaptionSlack) from (left, top); returns the top of the row below them.
int PlaceInRows(std::span<QGroupBox* const> boxes, int left, int top, int perRow);
// Makes the outer box just large enough for the boxes inside it that are not hidden, with
// `margin` to their right and below them, and for its own title.
void FitAroundBoxes(QGroupBox* outer, int margin = kDesignMargin);
// Keeps a box's rows together at its top when some of them are hidden and the box keeps its
// size.
void KeepRowsAtTop(QGroupBox* box);
// Shows or hides a row of a box: the control of that name and its label (the name + "Label").
void SetRowVisible(const QWidget* frame, const QString& name, bool visible);
// Sets a label's minimum width to that of the widest of its texts.
void ReserveLabelWidth(QWidget* label, std::initializer_list<QString> texts);

// The texts of a list, as a widget takes them.
QStringList ItemTexts(std::span<const char* const> items);
// Replaces the items of a combo box, which then has none chosen, or the bit names of a
// bit-mask editor, without raising their change signals; does nothing for another widget or
// none.
void FillItems(QWidget* control, std::span<const char* const> items);

// Replaces '#' in a pattern by the member number.
QString MemberName(const char* pattern, int member);

// "Name (unit)", the caption of a value with its unit; with perHour the unit is a rate
// ("Гкал/ч").
QString UnitCaption(const QString& name, const char* unit, bool perHour = false);
// Sets the text of the label of that object name under root; nothing when there is none.
void SetLabelText(const QWidget* root, const QString& labelName, const QString& text);

} // namespace daxform
