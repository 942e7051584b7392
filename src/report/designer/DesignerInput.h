#pragma once

// Drives the design workspace as a user would: real mouse and key events with the buttons
// held, sent through the application, at positions given in page units (the workspace's scale
// turns them into pixels). The tests and rptool's design command use it.

#include <QKeySequence>
#include <QPointF>
#include <QString>

class QWidget;
class TrpDesignerWorkspace;

class DesignerInput {
public:
    explicit DesignerInput(TrpDesignerWorkspace& workspace) : workspace_(workspace) {}

    // A move without buttons, a press, moves with the button held, a release.
    void Move(QPointF page, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void Press(QPointF page, Qt::KeyboardModifiers modifiers = Qt::NoModifier, Qt::MouseButton button = Qt::LeftButton);
    void DragTo(QPointF page, Qt::KeyboardModifiers modifiers = Qt::NoModifier, Qt::MouseButton button = Qt::LeftButton);
    void Release(QPointF page, Qt::KeyboardModifiers modifiers = Qt::NoModifier, Qt::MouseButton button = Qt::LeftButton);
    // Move to the point, press and release.
    void Click(QPointF page, Qt::KeyboardModifiers modifiers = Qt::NoModifier, Qt::MouseButton button = Qt::LeftButton);
    // Move to the start without a button, press, one move to the end, release.
    void Drag(QPointF from, QPointF to, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // A click, then the double click that stands for the second press, and its release.
    void DoubleClick(QPointF page, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Each key of the sequence pressed and released on the focused editor (the in-place
    // editor when it is open, else the workspace).
    void Key(const QKeySequence& keys);
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Text typed into the in-place editor (or the workspace), one key event per character.
    void Type(const QString& text);

    // A point in page units as workspace pixels.
    QPointF ToPixels(QPointF page) const;

private:
    void SendMouse(int type, QPointF page, Qt::MouseButton button, Qt::MouseButtons buttons,
                   Qt::KeyboardModifiers modifiers);
    QWidget* KeyTarget() const;

    TrpDesignerWorkspace& workspace_;
    Qt::MouseButtons held_ = Qt::NoButton;
};
