#pragma once

#include <cstdint>
#include <span>

// Mouse cursors as scripts and report files number them (crDefault 0, crArrow -2, ...), with
// the Qt cursor shape each stands for.

// The codes the report code itself chooses.
inline constexpr int crDefault = 0;
inline constexpr int crHandPoint = -21;
// The report windows' own cursors (a hand over clickable objects, the zoom glass, the format
// brush of the designer).
inline constexpr int crHand = 150;
inline constexpr int crZoom = 151;
inline constexpr int crFormat = 152;

struct CursorInfo {
    const char* Name; // "crHourGlass"
    int Code;
    int QtShape;      // Qt::CursorShape
};

// The named cursors in their registration order (crSize and crSizeAll share -22).
std::span<const CursorInfo> CursorNames();
// The Qt cursor shape of a cursor code; the arrow for codes without one.
int QtCursorShapeOf(int code);
// The code of a Qt cursor shape (the first name that has it); crDefault when none.
int CursorCodeOf(int qtShape);
