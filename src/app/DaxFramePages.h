#pragma once

#include <QString>

#include <cstdint>

class QWidget;

// The pages of the device frame, by page id (the frame's page table): every control of a page
// with its object name, in group boxes, the sub-frames, the archive and journal grids, and the
// page's command buttons below its contents. Values, item lists and the buttons' handlers come
// from the frame; a page only lays its controls out.
namespace devicepages {

// Builds the page of an id; none for page 22, which no tree node reaches, and ids outside 0
// to 29.
QWidget* BuildPage(int32_t pageId, QWidget* parent);

// The object name of the "Считать" button of a page that reads the instrument (pages 0 to 4,
// 11 to 21, 23 to 29); empty for the others.
QString ReadButtonName(int32_t pageId);

} // namespace devicepages
