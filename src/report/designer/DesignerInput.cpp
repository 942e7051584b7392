#include "DesignerInput.h"

#include "rpDesgnWorkspace.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

QPointF DesignerInput::ToPixels(QPointF page) const
{
    return page * workspace_.Scale();
}

void DesignerInput::SendMouse(int type, QPointF page, Qt::MouseButton button, Qt::MouseButtons buttons,
                              Qt::KeyboardModifiers modifiers)
{
    const QPointF local = ToPixels(page);
    const QPointF global = workspace_.mapToGlobal(local);
    QMouseEvent event(static_cast<QEvent::Type>(type), local, global, button, buttons, modifiers);
    QCoreApplication::sendEvent(&workspace_, &event);
}

void DesignerInput::Move(QPointF page, Qt::KeyboardModifiers modifiers)
{
    SendMouse(QEvent::MouseMove, page, Qt::NoButton, held_, modifiers);
}

void DesignerInput::Press(QPointF page, Qt::KeyboardModifiers modifiers, Qt::MouseButton button)
{
    held_ |= button;
    SendMouse(QEvent::MouseButtonPress, page, button, held_, modifiers);
}

void DesignerInput::DragTo(QPointF page, Qt::KeyboardModifiers modifiers, Qt::MouseButton button)
{
    held_ |= button;
    SendMouse(QEvent::MouseMove, page, Qt::NoButton, held_, modifiers);
}

void DesignerInput::Release(QPointF page, Qt::KeyboardModifiers modifiers, Qt::MouseButton button)
{
    held_ &= ~Qt::MouseButtons(button);
    SendMouse(QEvent::MouseButtonRelease, page, button, held_, modifiers);
}

void DesignerInput::Click(QPointF page, Qt::KeyboardModifiers modifiers, Qt::MouseButton button)
{
    Move(page, modifiers);
    Press(page, modifiers, button);
    Release(page, modifiers, button);
}

void DesignerInput::Drag(QPointF from, QPointF to, Qt::KeyboardModifiers modifiers)
{
    Move(from, modifiers);
    Press(from, modifiers);
    DragTo(to, modifiers);
    Release(to, modifiers);
}

void DesignerInput::DoubleClick(QPointF page, Qt::KeyboardModifiers modifiers)
{
    Click(page, modifiers);
    held_ |= Qt::LeftButton;
    SendMouse(QEvent::MouseButtonDblClick, page, Qt::LeftButton, held_, modifiers);
    Release(page, modifiers);
}

QWidget* DesignerInput::KeyTarget() const
{
    QWidget* memo = workspace_.InplaceMemo();
    if (memo != nullptr && memo->isVisible())
        return memo;
    return &workspace_;
}

void DesignerInput::Key(int key, Qt::KeyboardModifiers modifiers)
{
    QWidget* target = KeyTarget();
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(target, &press);
    // The press may have closed the in-place editor: the release goes where the press went.
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QCoreApplication::sendEvent(target, &release);
}

void DesignerInput::Key(const QKeySequence& keys)
{
    for (int i = 0; i < keys.count(); ++i)
        Key(keys[i].key(), keys[i].keyboardModifiers());
}

void DesignerInput::Type(const QString& text)
{
    QWidget* target = KeyTarget();
    for (const QChar ch : text) {
        const int key = ch == u'\n' ? Qt::Key_Return : 0;
        const QString typed = ch == u'\n' ? QString() : QString(ch);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, typed);
        QCoreApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, typed);
        QCoreApplication::sendEvent(target, &release);
    }
}
