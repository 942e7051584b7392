#include "Cursors.h"

#include <Qt>

namespace {

constexpr CursorInfo kCursors[] = {
    {"crDefault", 0, Qt::ArrowCursor},
    {"crNone", -1, Qt::BlankCursor},
    {"crArrow", -2, Qt::ArrowCursor},
    {"crCross", -3, Qt::CrossCursor},
    {"crIBeam", -4, Qt::IBeamCursor},
    {"crSize", -22, Qt::SizeAllCursor},
    {"crSizeNESW", -6, Qt::SizeBDiagCursor},
    {"crSizeNS", -7, Qt::SizeVerCursor},
    {"crSizeNWSE", -8, Qt::SizeFDiagCursor},
    {"crSizeWE", -9, Qt::SizeHorCursor},
    {"crUpArrow", -10, Qt::UpArrowCursor},
    {"crHourGlass", -11, Qt::WaitCursor},
    {"crDrag", -12, Qt::DragCopyCursor},
    {"crNoDrop", -13, Qt::ForbiddenCursor},
    {"crHSplit", -14, Qt::SplitHCursor},
    {"crVSplit", -15, Qt::SplitVCursor},
    {"crMultiDrag", -16, Qt::DragCopyCursor},
    {"crSQLWait", -17, Qt::BusyCursor},
    {"crNo", -18, Qt::ForbiddenCursor},
    {"crAppStart", -19, Qt::BusyCursor},
    {"crHelp", -20, Qt::WhatsThisCursor},
    {"crHandPoint", -21, Qt::PointingHandCursor},
    {"crSizeAll", -22, Qt::SizeAllCursor},
    {"crHand", crHand, Qt::OpenHandCursor},
    {"crZoom", crZoom, Qt::CrossCursor},
    {"crFormat", crFormat, Qt::PointingHandCursor},
};

} // namespace

std::span<const CursorInfo> CursorNames()
{
    return kCursors;
}

int QtCursorShapeOf(int code)
{
    for (const CursorInfo& cursor : kCursors) {
        if (cursor.Code == code)
            return cursor.QtShape;
    }
    return Qt::ArrowCursor;
}

int CursorCodeOf(int qtShape)
{
    for (const CursorInfo& cursor : kCursors) {
        if (cursor.QtShape == qtShape)
            return cursor.Code;
    }
    return 0;
}
