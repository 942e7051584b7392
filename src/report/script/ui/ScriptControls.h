#pragma once

// The class library's controls as Qt widgets that scripts drive: each wrapper is the Qt widget
// and the native object at once (object name = component name, so findChild finds it). Its
// published properties are in the property registry; its events run script procedures through
// event bridges. The wrappers override their key, mouse, focus and resize handlers, because an
// event filter cannot change the key a widget receives.
//
// Qt has no way to refuse a resize: OnCanResize is asked before every size change a script
// makes, and after one made by the user or the window system the control is resized again to
// what the handler answered (clamped). Events go through TscDispatchScope, so a handler may free
// its own control or form.

#include "ScriptGraphics.h"

#include "report/script/ScriptObjects.h"
#include "report/script/ScriptStrings.h"
#include "report/script/sc_ievents.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>

#include <memory>

// Shift-state bits (TShiftState), mouse buttons (TMouseButton), close actions (TCloseAction)
// and alignments (TAlign) as scripts number them.
enum ScriptShiftBit : int { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
enum ScriptMouseButton : int { mbLeft = 0, mbRight = 1, mbMiddle = 2 };
enum ScriptCloseAction : int { caNone = 0, caHide = 1, caFree = 2, caMinimize = 3 };
enum ScriptAlign : int { alNone, alTop, alBottom, alLeft, alRight, alClient };

// The shift state of keys and mouse buttons held.
int ScriptShiftState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool doubleClick = false);
// The script's number of a mouse button (mbLeft for any other).
int ScriptMouseButtonOf(Qt::MouseButton button);

// TControl: geometry, visibility, colour, font, alignment in the parent, and the events every
// control has.
// What a control (a window) takes in memory, as scripts' memory counts it.
inline constexpr int64_t kScriptControlBytes = 8192;

class ScriptControl : public ScriptComponent {
public:
    static const ScriptClassInfo& Class();                    // TControl
    static const ScriptClassInfo& WinControlClass();          // TWinControl
    static const ScriptClassInfo& CustomControlClass();       // TCustomControl
    static const ScriptClassInfo& GraphicControlClass();      // TGraphicControl
    static const ScriptClassInfo& ScrollingWinControlClass(); // TScrollingWinControl
    static const ScriptClassInfo& ControlScrollBarClass();    // TControlScrollBar

    explicit ScriptControl(QWidget& widget);
    ~ScriptControl() override;
    // A window takes far more than a plain component.
    void CountMemory(ScriptMemoryCounter& counter) const override;

    QWidget& Widget() const { return FWidget; }
    // Where child controls are placed.
    virtual QWidget& ClientWidget() { return FWidget; }
    void SetName(const QString& name) override;

    ScriptControl* ParentControl() const;
    // Places the control in parent's client area (nullptr: a window of its own).
    void SetParentControl(ScriptControl* parent);

    int Left() const { return FWidget.x(); }
    int Top() const { return FWidget.y(); }
    int Width() const { return FWidget.width(); }
    int Height() const { return FWidget.height(); }
    // Moves and sizes the control; the size goes through OnCanResize first.
    void SetBounds(int left, int top, int width, int height);

    virtual bool Visible() const { return FVisible; }
    virtual void SetVisible(bool visible);
    bool Enabled() const { return FWidget.isEnabled(); }
    void SetEnabled(bool enabled) { FWidget.setEnabled(enabled); }
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    ScriptFont& Font() { return FFont; }
    int Align() const { return FAlign; }
    void SetAlign(int align);
    int Cursor() const { return FCursor; }
    void SetCursor(int cursor);
    QString Hint() const { return FWidget.toolTip(); }
    void SetHint(const QString& hint) { FWidget.setToolTip(hint); }

    // Handlers the widget calls from its event handlers.
    void HandleMousePress(QMouseEvent* event);
    void HandleMouseRelease(QMouseEvent* event);
    void HandleMouseDoubleClick(QMouseEvent* event);
    void HandleMouseMove(QMouseEvent* event);
    // OnKeyDown, then OnKeyPress for a key that types: the event the widget is to get, the
    // same one or one rewritten into `replacement`, or nullptr when a handler swallowed it.
    QKeyEvent* HandleKeyPress(QKeyEvent* event, std::unique_ptr<QKeyEvent>& replacement);
    // OnKeyUp; false when the handler swallowed the key.
    bool HandleKeyRelease(QKeyEvent* event);
    void HandleFocus(bool in);
    void HandleResize(QResizeEvent* event);
    // A notify event ("ONCLICK", "ONCHANGE", ...) of this control.
    void FireNotify(const QString& event);
    // A click: OnClick (buttons also set the form's modal result).
    virtual void Click();

    void ScriptEventBound(const QString& event, bool bound) override;

    // Places the children that have an alignment.
    void ArrangeChildren();

protected:
    // Whether a mouse release inside the control is a click (buttons click by themselves).
    virtual bool ClicksOnRelease() const { return true; }
    // The palette roles of its colour and its text.
    virtual QPalette::ColorRole ColorRole() const { return QPalette::Window; }
    virtual QPalette::ColorRole TextRole() const { return QPalette::WindowText; }
    void ApplyColor();
    void ApplyFont();

private:
    QWidget& FWidget;
    ScriptFont FFont;
    TColor FColor;
    bool FVisible = true;
    int FAlign = alNone;
    int FCursor = 0;
    bool FPressed = false;  // a button went down inside: its release is a click
    bool FResizing = false; // a size change of our own is under way
};

// The Qt widget W as a control: its event handlers report to ScriptControl.
template <class W>
class ScriptWidget : public W, public ScriptControl {
public:
    ScriptWidget() : W(), ScriptControl(static_cast<QWidget&>(*this)) {}

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        TscDispatchScope scope(this);
        HandleMousePress(event);
        W::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        TscDispatchScope scope(this);
        W::mouseReleaseEvent(event);
        HandleMouseRelease(event);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        TscDispatchScope scope(this);
        W::mouseDoubleClickEvent(event);
        HandleMouseDoubleClick(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        TscDispatchScope scope(this);
        HandleMouseMove(event);
        W::mouseMoveEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        TscDispatchScope scope(this);
        std::unique_ptr<QKeyEvent> replacement;
        if (QKeyEvent* deliver = HandleKeyPress(event, replacement))
            W::keyPressEvent(deliver);
        else
            event->accept();
    }
    void keyReleaseEvent(QKeyEvent* event) override
    {
        TscDispatchScope scope(this);
        if (HandleKeyRelease(event))
            W::keyReleaseEvent(event);
        else
            event->accept();
    }
    void focusInEvent(QFocusEvent* event) override
    {
        TscDispatchScope scope(this);
        W::focusInEvent(event);
        HandleFocus(true);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        TscDispatchScope scope(this);
        W::focusOutEvent(event);
        HandleFocus(false);
    }
    void resizeEvent(QResizeEvent* event) override
    {
        TscDispatchScope scope(this);
        W::resizeEvent(event);
        HandleResize(event);
    }
};

// TButton: clicking runs OnClick and sets the form's ModalResult to the button's.
class ScriptButton : public ScriptWidget<QPushButton> {
public:
    static const ScriptClassInfo& Class(); // TButton
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    ScriptButton();
    void Click() override;

    int32_t ModalResult = 0;

protected:
    bool ClicksOnRelease() const override { return false; }
    QPalette::ColorRole ColorRole() const override { return QPalette::Button; }
    QPalette::ColorRole TextRole() const override { return QPalette::ButtonText; }
};

class ScriptCheckBox : public ScriptWidget<QCheckBox> {
public:
    static const ScriptClassInfo& Class(); // TCheckBox
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    ScriptCheckBox();

protected:
    bool ClicksOnRelease() const override { return false; }
};

class ScriptRadioButton : public ScriptWidget<QRadioButton> {
public:
    static const ScriptClassInfo& Class(); // TRadioButton
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    ScriptRadioButton();

protected:
    bool ClicksOnRelease() const override { return false; }
};

class ScriptEdit : public ScriptWidget<QLineEdit> {
public:
    static const ScriptClassInfo& Class(); // TEdit
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    ScriptEdit();

protected:
    QPalette::ColorRole ColorRole() const override { return QPalette::Base; }
    QPalette::ColorRole TextRole() const override { return QPalette::Text; }
};

// TMemo: its Lines are the lines of its text.
class ScriptMemo : public ScriptWidget<QPlainTextEdit> {
public:
    static const ScriptClassInfo& Class(); // TMemo
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    ScriptMemo();
    ~ScriptMemo() override;
    ScriptStrings& Lines() { return *FLines; }

protected:
    QPalette::ColorRole ColorRole() const override { return QPalette::Base; }
    QPalette::ColorRole TextRole() const override { return QPalette::Text; }

private:
    std::unique_ptr<ScriptStrings> FLines;
};

// TComboBox: Items are the entries; OnChange runs when the user picks an entry or edits the
// text (and when a script sets the text of an editable box), OnDropDown and OnCloseUp with the
// list.
class ScriptComboBox : public ScriptWidget<QComboBox> {
public:
    static const ScriptClassInfo& Class();       // TComboBox
    static const ScriptClassInfo& CustomClass(); // TCustomComboBox
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    ScriptComboBox();
    ~ScriptComboBox() override;
    ScriptStrings& Items() { return *FItems; }
    // csDropDown (editable), csSimple, csDropDownList (a pick list), owner-drawn styles as
    // drop-down lists.
    int Style() const { return FStyle; }
    void SetStyle(int style);

    void showPopup() override;
    void hidePopup() override;

protected:
    QPalette::ColorRole ColorRole() const override { return QPalette::Base; }
    QPalette::ColorRole TextRole() const override { return QPalette::Text; }

private:
    std::unique_ptr<ScriptStrings> FItems;
    int FStyle = 0;
};

class ScriptListBox : public ScriptWidget<QListWidget> {
public:
    static const ScriptClassInfo& Class();       // TListBox
    static const ScriptClassInfo& CustomClass(); // TCustomListBox
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    ScriptListBox();
    ~ScriptListBox() override;
    ScriptStrings& Items() { return *FItems; }

protected:
    QPalette::ColorRole ColorRole() const override { return QPalette::Base; }
    QPalette::ColorRole TextRole() const override { return QPalette::Text; }

private:
    std::unique_ptr<ScriptStrings> FItems;
};

class ScriptLabel : public ScriptWidget<QLabel> {
public:
    static const ScriptClassInfo& Class(); // TLabel
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    ScriptLabel();
    // taLeftJustify 0, taRightJustify 1, taCenter 2.
    int Alignment() const { return FAlignment; }
    void SetAlignment(int alignment);

private:
    int FAlignment = 0;
};

class ScriptGroupBox : public ScriptWidget<QGroupBox> {
public:
    static const ScriptClassInfo& Class(); // TGroupBox
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    ScriptGroupBox();
};

// TScrollBox: children are placed on a page that scrolls; the page grows to hold them.
class ScriptScrollBox : public ScriptWidget<QScrollArea> {
public:
    static const ScriptClassInfo& Class(); // TScrollBox
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    ScriptScrollBox();
    QWidget& ClientWidget() override { return *FPage; }
    // Makes the page large enough for every child.
    void FitPage();

private:
    QWidget* FPage; // owned by the scroll area
};

// Registers the control classes with their published properties; idempotent.
void RegisterScriptControlClasses();
