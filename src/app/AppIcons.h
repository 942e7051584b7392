#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

// The program's own pictures, drawn in code: the page tree's images, the command pictures
// and the logo of the about box.

constexpr int kTreeImageCount = 20;   // indexes 0 to 19 of the page tree
constexpr int kTreeImageSize = 24;

// The command pictures, by the index the actions keep.
enum class ActionImage : int {
    FileOpen = 0,
    FileSave = 1,
    Report = 2,
    AutoRequestOff = 3,
    AutoRequestOn = 4,
    ReadData = 5,
    WriteData = 6,
    SaveConfiguration = 7,
};
constexpr int kActionImageCount = 8;

class QAction;

// Gives the action the picture and keeps its index on the action, where ActionImageIndex reads it.
void SetActionImage(QAction* action, ActionImage image);
int ActionImageIndex(const QAction* action);

// A picture of the page tree (24 x 24); an index outside 0..19 gives an empty picture.
QPixmap TreeImage(int index);
QIcon ActionIcon(int index);
QPixmap ProgramLogo(QSize size);
