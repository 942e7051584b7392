#include "rpGraphicUtils.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

// The palette role standing for a system colour, by the system colour's index.
QPalette::ColorRole RoleOfSystemColor(int index)
{
    switch (index) {
    case 1:  // background
    case 12: // application work space
        return QPalette::Dark;
    case 2:  // active caption
    case 13: // highlight
    case 26: // hot light
    case 27: // gradient active caption
    case 29: // menu highlight
        return QPalette::Highlight;
    case 9:  // caption text
    case 14: // highlighted text
        return QPalette::HighlightedText;
    case 5: // window
        return QPalette::Base;
    case 6:  // window frame
    case 21: // 3D dark shadow
        return QPalette::Shadow;
    case 7:  // menu text
    case 8:  // window text
        return QPalette::Text;
    case 16: // button shadow
        return QPalette::Mid;
    case 17: // grey text
    case 19: // inactive caption text
        return QPalette::PlaceholderText;
    case 18: // button text
        return QPalette::ButtonText;
    case 20: // button highlight
        return QPalette::Light;
    case 22: // 3D light
        return QPalette::Midlight;
    case 23: // info text
        return QPalette::ToolTipText;
    case 24: // info background
        return QPalette::ToolTipBase;
    default: // scroll bar, borders, inactive caption, menu, button face, menu bar
        return QPalette::Button;
    }
}

} // namespace

QColor ColorToQColor(TColor color, const QColor& fallback)
{
    if (color == clNone || color == clDefault)
        return fallback;
    if (IsSystemColor(color)) {
        const QPalette palette = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr
                                     ? QGuiApplication::palette()
                                     : QPalette(QColor(0xF0, 0xF0, 0xF0));
        return palette.color(QPalette::Active, RoleOfSystemColor(SystemColorIndex(color)));
    }
    return QColor(RedPart(color), GreenPart(color), BluePart(color));
}
