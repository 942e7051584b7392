#pragma once

// The report objects the designer's objects tool bar offers: memo, picture, subreport, system
// memo, and the drawing category with its lines and shapes. Entered into the object registry
// once, after the model and the engine have entered their own objects.

#include <QString>

#include <cstdint>

struct ScriptClassInfo;

// One row of the palette: an object class with the Flags its insertion passes on, or (without
// a class) a category with a button of its own.
struct TrpPaletteRow {
    const ScriptClassInfo* ClassRef;
    const char16_t* Hint;
    const char16_t* CategoryName;
    uint16_t Flags;
    int32_t ImageIndex;
    uint32_t Categories;
};

// The rows in the order they are registered.
const TrpPaletteRow* ObjectPaletteRows(int& count);
// Registers the rows; running it again adds nothing.
void RegisterObjectPalette();
