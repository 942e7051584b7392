#include "ScriptControls.h"
#include "report/script/sc_iconsts.h"

#include "ScriptForm.h"

#include "report/core/Cursors.h"
#include "report/core/KeyCodes.h"
#include "report/core/PropertyRegistry.h"
#include "report/core/ScriptErrors.h"

#include <QApplication>
#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>

namespace {

const QString kOnCanResize = QStringLiteral("ONCANRESIZE");
const QString kOnClick = QStringLiteral("ONCLICK");
const QString kOnDblClick = QStringLiteral("ONDBLCLICK");
const QString kOnMouseDown = QStringLiteral("ONMOUSEDOWN");
const QString kOnMouseMove = QStringLiteral("ONMOUSEMOVE");
const QString kOnMouseUp = QStringLiteral("ONMOUSEUP");
const QString kOnResize = QStringLiteral("ONRESIZE");
const QString kOnEnter = QStringLiteral("ONENTER");
const QString kOnExit = QStringLiteral("ONEXIT");
const QString kOnKeyDown = QStringLiteral("ONKEYDOWN");
const QString kOnKeyUp = QStringLiteral("ONKEYUP");
const QString kOnKeyPress = QStringLiteral("ONKEYPRESS");
const QString kOnChange = QStringLiteral("ONCHANGE");
const QString kOnDropDown = QStringLiteral("ONDROPDOWN");
const QString kOnCloseUp = QStringLiteral("ONCLOSEUP");

// Controls are windows: they need the application's window system.
void RequireApplication()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
        throw EInvalidOperation(ScErrorText(TscMessage::SNeedsWindows));
}

QPoint EventPosition(const QMouseEvent* event)
{
    return event->position().toPoint();
}

// --- Lines of controls ----------------------------------------------------------------------

class ListWidgetStrings final : public ScriptStrings {
public:
    explicit ListWidgetStrings(QListWidget& list) : FList(list) {}
    static const ScriptClassInfo& Class()
    {
        static const ScriptClassInfo info{QStringLiteral("TListBoxStrings"), &ScriptStrings::Class()};
        return info;
    }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    int Count() const override { return FList.count(); }
    QString Get(int index) const override { return FList.item(index)->text(); }
    uint32_t GetObject(int index) const override { return FList.item(index)->data(Qt::UserRole).toUInt(); }
    void Put(int index, const QString& text) override { FList.item(index)->setText(text); }
    void PutObject(int index, uint32_t object) override { FList.item(index)->setData(Qt::UserRole, object); }
    void InsertItem(int index, const QString& text, uint32_t object) override
    {
        auto* item = new QListWidgetItem(text);
        item->setData(Qt::UserRole, object);
        FList.insertItem(index, item);
    }
    void Delete(int index) override { delete FList.takeItem(index); }
    void Clear() override { FList.clear(); }

private:
    QListWidget& FList;
};

class ComboBoxStrings final : public ScriptStrings {
public:
    explicit ComboBoxStrings(QComboBox& combo) : FCombo(combo) {}
    static const ScriptClassInfo& Class()
    {
        static const ScriptClassInfo info{QStringLiteral("TComboBoxStrings"), &ScriptStrings::Class()};
        return info;
    }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    int Count() const override { return FCombo.count(); }
    QString Get(int index) const override { return FCombo.itemText(index); }
    uint32_t GetObject(int index) const override { return FCombo.itemData(index).toUInt(); }
    void Put(int index, const QString& text) override { FCombo.setItemText(index, text); }
    void PutObject(int index, uint32_t object) override { FCombo.setItemData(index, object); }
    void InsertItem(int index, const QString& text, uint32_t object) override
    {
        // An entry added to a box without a selection does not select itself.
        const QSignalBlocker block(FCombo);
        const int current = FCombo.currentIndex();
        const QString text0 = FCombo.currentText();
        FCombo.insertItem(index, text, object);
        if (current < 0) {
            FCombo.setCurrentIndex(-1);
            if (FCombo.isEditable())
                FCombo.setEditText(text0);
        }
    }
    void Delete(int index) override { FCombo.removeItem(index); }
    void Clear() override { FCombo.clear(); }

private:
    QComboBox& FCombo;
};

// A memo's lines: its text split at line breaks; a last empty line does not count.
class MemoStrings final : public ScriptStrings {
public:
    explicit MemoStrings(QPlainTextEdit& edit) : FEdit(edit) {}
    static const ScriptClassInfo& Class()
    {
        static const ScriptClassInfo info{QStringLiteral("TMemoStrings"), &ScriptStrings::Class()};
        return info;
    }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    int Count() const override { return static_cast<int>(Read().size()); }
    QString Get(int index) const override { return Read()[index]; }
    void Put(int index, const QString& text) override
    {
        QStringList lines = Read();
        lines[index] = text;
        Write(lines);
    }
    void InsertItem(int index, const QString& text, uint32_t) override
    {
        QStringList lines = Read();
        lines.insert(index, text);
        Write(lines);
    }
    void Delete(int index) override
    {
        QStringList lines = Read();
        lines.removeAt(index);
        Write(lines);
    }
    void Clear() override { FEdit.clear(); }

private:
    QStringList Read() const
    {
        const QString text = FEdit.toPlainText();
        if (text.isEmpty())
            return QStringList();
        QStringList lines = text.split(u'\n');
        if (lines.size() > 1 && lines.back().isEmpty())
            lines.removeLast();
        return lines;
    }
    void Write(const QStringList& lines) { FEdit.setPlainText(lines.join(u'\n')); }

    QPlainTextEdit& FEdit;
};

} // namespace

int ScriptShiftState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool doubleClick)
{
    int shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= ssShift;
    if (modifiers & Qt::AltModifier)
        shift |= ssAlt;
    if (modifiers & Qt::ControlModifier)
        shift |= ssCtrl;
    if (buttons & Qt::LeftButton)
        shift |= ssLeft;
    if (buttons & Qt::RightButton)
        shift |= ssRight;
    if (buttons & Qt::MiddleButton)
        shift |= ssMiddle;
    if (doubleClick)
        shift |= ssDouble;
    return shift;
}

int ScriptMouseButtonOf(Qt::MouseButton button)
{
    switch (button) {
    case Qt::RightButton:
        return mbRight;
    case Qt::MiddleButton:
        return mbMiddle;
    default:
        return mbLeft;
    }
}

// --- TControl -------------------------------------------------------------------------------

const ScriptClassInfo& ScriptControl::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TControl"), &ScriptComponent::Class()};
    return info;
}

const ScriptClassInfo& ScriptControl::WinControlClass()
{
    static const ScriptClassInfo info{QStringLiteral("TWinControl"), &Class()};
    return info;
}

const ScriptClassInfo& ScriptControl::CustomControlClass()
{
    static const ScriptClassInfo info{QStringLiteral("TCustomControl"), &WinControlClass()};
    return info;
}

const ScriptClassInfo& ScriptControl::GraphicControlClass()
{
    static const ScriptClassInfo info{QStringLiteral("TGraphicControl"), &Class()};
    return info;
}

const ScriptClassInfo& ScriptControl::ScrollingWinControlClass()
{
    static const ScriptClassInfo info{QStringLiteral("TScrollingWinControl"), &WinControlClass()};
    return info;
}

const ScriptClassInfo& ScriptControl::ControlScrollBarClass()
{
    static const ScriptClassInfo info{QStringLiteral("TControlScrollBar"), &ScriptPlainObject::PersistentClass()};
    return info;
}

ScriptControl::ScriptControl(QWidget& widget)
    : FWidget(widget), FColor(static_cast<TColor>(kSystemColorFlag | 15)) // clBtnFace
{
    // The widget shows the font its Font property reports from the start.
    FWidget.setFont(ScriptQFont(FFont));
    FFont.OnChange = [this] { ApplyFont(); };
}

void ScriptControl::CountMemory(ScriptMemoryCounter& counter) const
{
    counter.AddBytes(kScriptControlBytes);
    counter.AddText(Name());
}

ScriptControl::~ScriptControl()
{
    // The events go before the widget does: nothing may run a script from here on.
    ScriptEvents().Clear();
    FFont.OnChange = nullptr;
}

void ScriptControl::SetName(const QString& name)
{
    ScriptComponent::SetName(name);
    FWidget.setObjectName(name);
}

ScriptControl* ScriptControl::ParentControl() const
{
    for (QWidget* parent = FWidget.parentWidget(); parent != nullptr; parent = parent->parentWidget()) {
        if (auto* control = dynamic_cast<ScriptControl*>(parent))
            return control;
    }
    return nullptr;
}

void ScriptControl::SetParentControl(ScriptControl* parent)
{
    for (ScriptControl* p = parent; p != nullptr; p = p->ParentControl()) {
        if (p == this)
            throw EInvalidOperation(ScErrorText(TscMessage::SControlOwnParent));
    }
    const QRect geometry = FWidget.geometry();
    FWidget.setParent(parent != nullptr ? &parent->ClientWidget() : nullptr,
                      parent != nullptr ? Qt::Widget : FWidget.windowFlags() | Qt::Window);
    FWidget.setGeometry(geometry);
    FWidget.setVisible(FVisible && parent != nullptr);
    if (parent != nullptr)
        parent->ArrangeChildren();
}

void ScriptControl::SetBounds(int left, int top, int width, int height)
{
    width = std::max(0, width);
    height = std::max(0, height);
    if (auto* bridge = ScriptEvents().Find<TscCanResizeEvent>(kOnCanResize)) {
        bool resize = true;
        bridge->DoEvent(width, height, resize);
        if (!resize) {
            width = Width();
            height = Height();
        }
    }
    FResizing = true;
    FWidget.setGeometry(left, top, std::max(0, width), std::max(0, height));
    FResizing = false;
}

void ScriptControl::SetVisible(bool visible)
{
    FVisible = visible;
    // A control without a parent waits for one (forms show themselves: see ScriptForm).
    if (FWidget.isWindow() && dynamic_cast<ScriptForm*>(this) == nullptr)
        return;
    FWidget.setVisible(visible);
}

void ScriptControl::SetColor(TColor color)
{
    FColor = color;
    ApplyColor();
}

void ScriptControl::ApplyColor()
{
    QPalette palette = FWidget.palette();
    palette.setColor(ColorRole(), ToQColor(FColor, palette.color(ColorRole())));
    FWidget.setPalette(palette);
    if (ColorRole() == QPalette::Window)
        FWidget.setAutoFillBackground(true);
}

void ScriptControl::ApplyFont()
{
    FWidget.setFont(ScriptQFont(FFont));
    QPalette palette = FWidget.palette();
    palette.setColor(TextRole(), ToQColor(FFont.Color(), palette.color(TextRole())));
    FWidget.setPalette(palette);
}

void ScriptControl::SetAlign(int align)
{
    if (align < alNone || align > alClient)
        throw ERangeError();
    FAlign = align;
    if (ScriptControl* parent = ParentControl())
        parent->ArrangeChildren();
}

void ScriptControl::SetCursor(int cursor)
{
    FCursor = cursor;
    FWidget.setCursor(QCursor(static_cast<Qt::CursorShape>(QtCursorShapeOf(cursor))));
}

void ScriptControl::ArrangeChildren()
{
    QRect client = ClientWidget().contentsRect();
    const auto children = ClientWidget().findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    // Top and bottom first, then left and right, then the client: the order of the alignments.
    for (int pass : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (QWidget* child : children) {
            auto* control = dynamic_cast<ScriptControl*>(child);
            if (control == nullptr || control->FAlign != pass || !child->isVisibleTo(&ClientWidget()))
                continue;
            QRect r;
            switch (pass) {
            case alTop:
                r = QRect(client.left(), client.top(), client.width(), child->height());
                client.setTop(client.top() + child->height());
                break;
            case alBottom:
                r = QRect(client.left(), client.bottom() - child->height() + 1, client.width(), child->height());
                client.setBottom(client.bottom() - child->height());
                break;
            case alLeft:
                r = QRect(client.left(), client.top(), child->width(), client.height());
                client.setLeft(client.left() + child->width());
                break;
            case alRight:
                r = QRect(client.right() - child->width() + 1, client.top(), child->width(), client.height());
                client.setRight(client.right() - child->width());
                break;
            default:
                r = client;
                break;
            }
            child->setGeometry(r);
        }
    }
    if (auto* scrollBox = dynamic_cast<ScriptScrollBox*>(this))
        scrollBox->FitPage();
}

void ScriptControl::FireNotify(const QString& event)
{
    if (auto* bridge = ScriptEvents().Find<TscNotifyEvent>(event))
        bridge->DoEvent();
}

void ScriptControl::Click()
{
    FireNotify(kOnClick);
}

void ScriptControl::HandleMousePress(QMouseEvent* event)
{
    FPressed = true;
    if (auto* bridge = ScriptEvents().Find<TscMouseEvent>(kOnMouseDown)) {
        const QPoint at = EventPosition(event);
        bridge->DoEvent(ScriptMouseButtonOf(event->button()), ScriptShiftState(event->modifiers(), event->buttons()),
                        at.x(), at.y());
    }
}

void ScriptControl::HandleMouseRelease(QMouseEvent* event)
{
    const bool click = FPressed && ClicksOnRelease() && event->button() == Qt::LeftButton &&
                       FWidget.rect().contains(EventPosition(event));
    FPressed = false;
    if (click)
        Click();
    if (auto* bridge = ScriptEvents().Find<TscMouseEvent>(kOnMouseUp)) {
        const QPoint at = EventPosition(event);
        bridge->DoEvent(ScriptMouseButtonOf(event->button()), ScriptShiftState(event->modifiers(), event->buttons()),
                        at.x(), at.y());
    }
}

void ScriptControl::HandleMouseDoubleClick(QMouseEvent* event)
{
    if (auto* bridge = ScriptEvents().Find<TscMouseEvent>(kOnMouseDown)) {
        const QPoint at = EventPosition(event);
        bridge->DoEvent(ScriptMouseButtonOf(event->button()),
                        ScriptShiftState(event->modifiers(), event->buttons(), true), at.x(), at.y());
    }
    FireNotify(kOnDblClick);
}

void ScriptControl::HandleMouseMove(QMouseEvent* event)
{
    if (auto* bridge = ScriptEvents().Find<TscMouseMoveEvent>(kOnMouseMove)) {
        const QPoint at = EventPosition(event);
        bridge->DoEvent(ScriptShiftState(event->modifiers(), event->buttons()), at.x(), at.y());
    }
}

QKeyEvent* ScriptControl::HandleKeyPress(QKeyEvent* event, std::unique_ptr<QKeyEvent>& replacement)
{
    QKeyEvent* current = event;
    const bool keypad = (event->modifiers() & Qt::KeypadModifier) != 0;
    const int shift = ScriptShiftState(event->modifiers(), Qt::NoButton);
    if (auto* bridge = ScriptEvents().Find<TscKeyEvent>(kOnKeyDown)) {
        const int original = VirtualKeyOfQtKey(event->key(), keypad);
        uint16_t key = static_cast<uint16_t>(original);
        bridge->DoEvent(key, shift);
        if (key == 0)
            return nullptr;
        if (key != original) {
            bool newKeypad = false;
            const int qtKey = QtKeyOfVirtualKey(key, newKeypad);
            replacement = std::make_unique<QKeyEvent>(
                QEvent::KeyPress, qtKey,
                newKeypad ? event->modifiers() | Qt::KeypadModifier : event->modifiers() & ~Qt::KeypadModifier,
                TextOfVirtualKey(key, (shift & ssShift) != 0), event->isAutoRepeat());
            current = replacement.get();
        }
    }
    const QString text = current->text();
    if (text.isEmpty())
        return current;
    if (auto* bridge = ScriptEvents().Find<TscKeyPressEvent>(kOnKeyPress)) {
        const QChar original = text[0];
        QChar key = original;
        bridge->DoEvent(key);
        if (key.isNull())
            return nullptr;
        if (key != original) {
            // The widget takes the character from the text; the key code follows it where the
            // character has one (a letter, a digit), so shortcuts see the same key.
            int qtKey = current->key();
            if (key.isLetterOrNumber() && key.unicode() < 0x80)
                qtKey = key.toUpper().unicode();
            auto rewritten = std::make_unique<QKeyEvent>(QEvent::KeyPress, qtKey, current->modifiers(), QString(key),
                                                         current->isAutoRepeat());
            replacement = std::move(rewritten);
            current = replacement.get();
        }
    }
    return current;
}

bool ScriptControl::HandleKeyRelease(QKeyEvent* event)
{
    auto* bridge = ScriptEvents().Find<TscKeyEvent>(kOnKeyUp);
    if (bridge == nullptr)
        return true;
    uint16_t key = static_cast<uint16_t>(VirtualKeyOfQtKey(event->key(), (event->modifiers() & Qt::KeypadModifier) != 0));
    bridge->DoEvent(key, ScriptShiftState(event->modifiers(), Qt::NoButton));
    return key != 0;
}

void ScriptControl::HandleFocus(bool in)
{
    FireNotify(in ? kOnEnter : kOnExit);
}

void ScriptControl::HandleResize(QResizeEvent* event)
{
    // Scroll areas also report the size of their viewport here: only the control's own counts.
    if (event->size() != FWidget.size())
        return;
    if (!FResizing && event->oldSize().isValid()) {
        if (auto* bridge = ScriptEvents().Find<TscCanResizeEvent>(kOnCanResize)) {
            int width = event->size().width();
            int height = event->size().height();
            bool resize = true;
            bridge->DoEvent(width, height, resize);
            if (!resize) {
                width = event->oldSize().width();
                height = event->oldSize().height();
            }
            if (QSize(width, height) != FWidget.size()) {
                // The size the handler answered, in place of the one the window system made.
                FResizing = true;
                FWidget.resize(std::max(0, width), std::max(0, height));
                FResizing = false;
                return;
            }
        }
    }
    FireNotify(kOnResize);
    ArrangeChildren();
}

void ScriptControl::ScriptEventBound(const QString& event, bool bound)
{
    if (event == kOnMouseMove && bound)
        FWidget.setMouseTracking(true);
}

// --- Buttons --------------------------------------------------------------------------------

const ScriptClassInfo& ScriptButton::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TButton"), &ScriptControl::WinControlClass()};
    return info;
}

ScriptButton::ScriptButton()
{
    resize(75, 25);
    setAutoDefault(false);
    QObject::connect(this, &QAbstractButton::clicked, [this] { Click(); });
}

void ScriptButton::Click()
{
    ScriptControl::Click();
    if (ModalResult == 0)
        return;
    for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
        if (auto* form = dynamic_cast<ScriptForm*>(w)) {
            form->SetModalResult(ModalResult);
            return;
        }
    }
}

const ScriptClassInfo& ScriptCheckBox::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TCheckBox"), &ScriptControl::WinControlClass()};
    return info;
}

ScriptCheckBox::ScriptCheckBox()
{
    resize(97, 17);
    QObject::connect(this, &QAbstractButton::clicked, [this] { Click(); });
}

const ScriptClassInfo& ScriptRadioButton::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TRadioButton"), &ScriptControl::WinControlClass()};
    return info;
}

ScriptRadioButton::ScriptRadioButton()
{
    resize(113, 17);
    QObject::connect(this, &QAbstractButton::clicked, [this] { Click(); });
}

// --- Edit boxes -----------------------------------------------------------------------------

const ScriptClassInfo& ScriptEdit::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TEdit"), &ScriptControl::WinControlClass()};
    return info;
}

ScriptEdit::ScriptEdit()
{
    resize(121, 21);
    SetColor(static_cast<TColor>(kSystemColorFlag | 5)); // clWindow
}

const ScriptClassInfo& ScriptMemo::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TMemo"), &ScriptControl::WinControlClass()};
    return info;
}

ScriptMemo::ScriptMemo() : FLines(std::make_unique<MemoStrings>(*this))
{
    resize(185, 89);
    SetColor(static_cast<TColor>(kSystemColorFlag | 5));
}

ScriptMemo::~ScriptMemo() = default;

// --- Lists ----------------------------------------------------------------------------------

const ScriptClassInfo& ScriptComboBox::CustomClass()
{
    static const ScriptClassInfo info{QStringLiteral("TCustomComboBox"), &ScriptControl::WinControlClass()};
    return info;
}

const ScriptClassInfo& ScriptComboBox::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TComboBox"), &CustomClass()};
    return info;
}

ScriptComboBox::ScriptComboBox() : FItems(std::make_unique<ComboBoxStrings>(*this))
{
    resize(145, 21);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    SetColor(static_cast<TColor>(kSystemColorFlag | 5));
    QObject::connect(this, &QComboBox::activated, [this] {
        TscDispatchScope scope(this);
        FireNotify(kOnChange);
    });
    QObject::connect(this, &QComboBox::editTextChanged, [this] {
        TscDispatchScope scope(this);
        FireNotify(kOnChange);
    });
}

ScriptComboBox::~ScriptComboBox()
{
    // Clearing the items changes the text: no event may come of it now.
    ScriptEvents().Clear();
    const QSignalBlocker block(this);
    FItems.reset();
}

void ScriptComboBox::SetStyle(int style)
{
    if (style < 0 || style > 4)
        throw ERangeError();
    FStyle = style;
    const QSignalBlocker block(this);
    setEditable(style == 0 || style == 1);
}

void ScriptComboBox::showPopup()
{
    TscDispatchScope scope(this);
    FireNotify(kOnDropDown);
    QComboBox::showPopup();
}

void ScriptComboBox::hidePopup()
{
    TscDispatchScope scope(this);
    QComboBox::hidePopup();
    FireNotify(kOnCloseUp);
}

const ScriptClassInfo& ScriptListBox::CustomClass()
{
    static const ScriptClassInfo info{QStringLiteral("TCustomListBox"), &ScriptControl::WinControlClass()};
    return info;
}

const ScriptClassInfo& ScriptListBox::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TListBox"), &CustomClass()};
    return info;
}

ScriptListBox::ScriptListBox() : FItems(std::make_unique<ListWidgetStrings>(*this))
{
    resize(121, 97);
    SetColor(static_cast<TColor>(kSystemColorFlag | 5));
}

ScriptListBox::~ScriptListBox() = default;

// --- Labels, group and scroll boxes ---------------------------------------------------------

const ScriptClassInfo& ScriptLabel::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TLabel"), &ScriptControl::GraphicControlClass()};
    return info;
}

ScriptLabel::ScriptLabel()
{
    resize(32, 13);
}

void ScriptLabel::SetAlignment(int alignment)
{
    if (alignment < 0 || alignment > 2)
        throw ERangeError();
    FAlignment = alignment;
    static const Qt::Alignment kAlignments[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
    setAlignment(kAlignments[alignment] | Qt::AlignTop);
}

const ScriptClassInfo& ScriptGroupBox::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TGroupBox"), &ScriptControl::WinControlClass()};
    return info;
}

ScriptGroupBox::ScriptGroupBox()
{
    resize(185, 105);
}

const ScriptClassInfo& ScriptScrollBox::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TScrollBox"), &ScriptControl::ScrollingWinControlClass()};
    return info;
}

ScriptScrollBox::ScriptScrollBox() : FPage(new QWidget)
{
    resize(185, 41);
    setWidget(FPage);
    setWidgetResizable(false);
    FPage->resize(0, 0);
}

void ScriptScrollBox::FitPage()
{
    QRect bounds(0, 0, viewport()->width(), viewport()->height());
    for (QWidget* child : FPage->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        bounds |= child->geometry();
    FPage->resize(bounds.right() + 1, bounds.bottom() + 1);
}

// --- Registration ---------------------------------------------------------------------------

namespace {

template <class T>
ObjectFactory WidgetFactory()
{
    return []() -> std::unique_ptr<ScriptObject> {
        RequireApplication();
        return std::make_unique<T>();
    };
}

template <class T, class G, class S>
PropertyInfo& AddText(RegisteredClass& c, const char* name, G get, S set, const char* typeName = "String")
{
    return c.AddString(
        QString::fromLatin1(name), GetterOf<T>([get](const T& o) { return Variant(get(o)); }),
        SetterOf<T>([set](T& o, const Variant& v) { set(o, v.ToString()); }), QString::fromLatin1(typeName));
}

template <class T, class G, class S>
PropertyInfo& AddFlag(RegisteredClass& c, const char* name, G get, S set, bool def = false)
{
    return c.AddBoolean(QString::fromLatin1(name), GetterOf<T>([get](const T& o) { return Variant(bool(get(o))); }),
                        SetterOf<T>([set](T& o, const Variant& v) { set(o, v.ToBoolean()); }), def);
}

template <class T, class G, class S>
PropertyInfo& AddNumber(RegisteredClass& c, const char* name, G get, S set, int32_t def = 0,
                        const char* typeName = "Integer")
{
    return c.AddInteger(
        QString::fromLatin1(name), GetterOf<T>([get](const T& o) { return Variant(int32_t(get(o))); }),
        SetterOf<T>([set](T& o, const Variant& v) { set(o, v.ToInt32()); }), def, QString::fromLatin1(typeName));
}

template <class T>
PropertyInfo& AddLines(RegisteredClass& c, const char* name, ScriptStrings& (T::*lines)())
{
    return c.AddObject(
        QString::fromLatin1(name), PropertyKind::StringList, ScriptStrings::Class(),
        GetterOf<T>([lines](const T& o) { return ObjectHandles::ToVariant(&(const_cast<T&>(o).*lines)()); }),
        SetterOf<T>([lines](T& o, const Variant& v) {
            ScriptAssign((o.*lines)(), ObjectHandles::Find(ObjectHandles::HandleOf(v)));
        }));
}

std::vector<QString> Names(const char* commaText)
{
    std::vector<QString> names;
    for (const QString& name : QString::fromLatin1(commaText).split(u',', Qt::SkipEmptyParts))
        names.push_back(name.trimmed());
    return names;
}

} // namespace

void RegisterScriptControlClasses()
{
    PropertyRegistry& registry = PropertyRegistry::Global();
    if (registry.Contains(ScriptControl::Class()))
        return;
    ScriptComponent::RegisterClass();
    RegisterScriptGraphicsClasses();

    const EnumTypeInfo& aligns =
        registry.AddEnum(QStringLiteral("TAlign"), Names("alNone, alTop, alBottom, alLeft, alRight, alClient"));
    const EnumTypeInfo& comboStyles = registry.AddEnum(
        QStringLiteral("TComboBoxStyle"),
        Names("csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable"));
    const EnumTypeInfo& checkStates =
        registry.AddEnum(QStringLiteral("TCheckBoxState"), Names("cbUnchecked, cbChecked, cbGrayed"));

    using C = ScriptControl;
    RegisteredClass& control = registry.Register(C::Class());
    control.AddEnum(QStringLiteral("Align"), aligns, GetterOf<C>([](const C& o) { return Variant(int32_t{o.Align()}); }),
                    SetterOf<C>([](C& o, const Variant& v) { o.SetAlign(v.ToInt32()); }));
    AddNumber<C>(control, "Color", [](const C& o) { return o.Color(); }, [](C& o, int32_t v) { o.SetColor(v); },
                 static_cast<int32_t>(kSystemColorFlag | 15), "TColor");
    AddNumber<C>(control, "Cursor", [](const C& o) { return o.Cursor(); }, [](C& o, int32_t v) { o.SetCursor(v); }, 0,
                 "TCursor");
    AddFlag<C>(control, "Enabled", [](const C& o) { return o.Enabled(); }, [](C& o, bool v) { o.SetEnabled(v); }, true);
    control.AddObject(QStringLiteral("Font"), PropertyKind::NestedObject, ScriptFont::Class(),
                      GetterOf<C>([](const C& o) { return ObjectHandles::ToVariant(&const_cast<C&>(o).Font()); }),
                      SetterOf<C>([](C& o, const Variant& v) {
                          ScriptAssign(o.Font(), ObjectHandles::Find(ObjectHandles::HandleOf(v)));
                      }));
    AddNumber<C>(control, "Height", [](const C& o) { return o.Height(); },
                 [](C& o, int32_t v) { o.SetBounds(o.Left(), o.Top(), o.Width(), v); });
    AddText<C>(control, "Hint", [](const C& o) { return o.Hint(); }, [](C& o, const QString& v) { o.SetHint(v); });
    AddNumber<C>(control, "Left", [](const C& o) { return o.Left(); },
                 [](C& o, int32_t v) { o.SetBounds(v, o.Top(), o.Width(), o.Height()); });
    AddNumber<C>(control, "Top", [](const C& o) { return o.Top(); },
                 [](C& o, int32_t v) { o.SetBounds(o.Left(), v, o.Width(), o.Height()); });
    AddFlag<C>(control, "Visible", [](const C& o) { return o.Visible(); }, [](C& o, bool v) { o.SetVisible(v); }, true);
    AddNumber<C>(control, "Width", [](const C& o) { return o.Width(); },
                 [](C& o, int32_t v) { o.SetBounds(o.Left(), o.Top(), v, o.Height()); });

    registry.Register(C::WinControlClass());
    registry.Register(C::CustomControlClass());
    registry.Register(C::GraphicControlClass());
    registry.Register(C::ScrollingWinControlClass());

    using B = ScriptButton;
    RegisteredClass& button = registry.Register(B::Class(), WidgetFactory<B>());
    AddText<B>(button, "Caption", [](const B& o) { return o.text(); }, [](B& o, const QString& v) { o.setText(v); },
               "TCaption");
    AddNumber<B>(button, "ModalResult", [](const B& o) { return o.ModalResult; },
                 [](B& o, int32_t v) { o.ModalResult = v; }, 0, "TModalResult");

    using K = ScriptCheckBox;
    RegisteredClass& check = registry.Register(K::Class(), WidgetFactory<K>());
    AddFlag<K>(check, "AllowGrayed", [](const K& o) { return o.isTristate(); }, [](K& o, bool v) { o.setTristate(v); });
    AddText<K>(check, "Caption", [](const K& o) { return o.text(); }, [](K& o, const QString& v) { o.setText(v); },
               "TCaption");
    AddFlag<K>(check, "Checked", [](const K& o) { return o.isChecked(); }, [](K& o, bool v) { o.setChecked(v); });
    check.AddEnum(QStringLiteral("State"), checkStates, GetterOf<K>([](const K& o) {
                      return Variant(int32_t{o.checkState() == Qt::Checked ? 1 : o.checkState() == Qt::PartiallyChecked ? 2 : 0});
                  }),
                  SetterOf<K>([](K& o, const Variant& v) {
                      const int32_t state = v.ToInt32();
                      if (state < 0 || state > 2)
                          throw ERangeError();
                      if (state == 2)
                          o.setTristate(true);
                      o.setCheckState(state == 1 ? Qt::Checked : state == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
                  }));

    using R = ScriptRadioButton;
    RegisteredClass& radio = registry.Register(R::Class(), WidgetFactory<R>());
    AddText<R>(radio, "Caption", [](const R& o) { return o.text(); }, [](R& o, const QString& v) { o.setText(v); },
               "TCaption");
    AddFlag<R>(radio, "Checked", [](const R& o) { return o.isChecked(); }, [](R& o, bool v) { o.setChecked(v); });

    using E = ScriptEdit;
    RegisteredClass& edit = registry.Register(E::Class(), WidgetFactory<E>());
    AddNumber<E>(edit, "MaxLength", [](const E& o) { return o.maxLength() == 32767 ? 0 : o.maxLength(); },
                 [](E& o, int32_t v) { o.setMaxLength(v <= 0 ? 32767 : v); });
    AddFlag<E>(edit, "ReadOnly", [](const E& o) { return o.isReadOnly(); }, [](E& o, bool v) { o.setReadOnly(v); });
    AddText<E>(edit, "Text", [](const E& o) { return o.text(); }, [](E& o, const QString& v) { o.setText(v); },
               "TCaption");

    using M = ScriptMemo;
    RegisteredClass& memo = registry.Register(M::Class(), WidgetFactory<M>());
    AddLines<M>(memo, "Lines", &M::Lines);
    AddFlag<M>(memo, "ReadOnly", [](const M& o) { return o.isReadOnly(); }, [](M& o, bool v) { o.setReadOnly(v); });
    AddFlag<M>(
        memo, "WordWrap", [](const M& o) { return o.lineWrapMode() != QPlainTextEdit::NoWrap; },
        [](M& o, bool v) { o.setLineWrapMode(v ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap); }, true);

    using X = ScriptComboBox;
    registry.Register(X::CustomClass());
    RegisteredClass& combo = registry.Register(X::Class(), WidgetFactory<X>());
    AddLines<X>(combo, "Items", &X::Items);
    combo.AddEnum(QStringLiteral("Style"), comboStyles, GetterOf<X>([](const X& o) { return Variant(int32_t{o.Style()}); }),
                  SetterOf<X>([](X& o, const Variant& v) { o.SetStyle(v.ToInt32()); }));
    AddText<X>(combo, "Text", [](const X& o) { return o.currentText(); },
               [](X& o, const QString& v) {
                   if (o.isEditable()) {
                       o.setEditText(v);
                   } else {
                       o.setCurrentIndex(o.findText(v, Qt::MatchFixedString));
                   }
               },
               "TCaption");

    using L = ScriptListBox;
    registry.Register(L::CustomClass());
    RegisteredClass& list = registry.Register(L::Class(), WidgetFactory<L>());
    AddLines<L>(list, "Items", &L::Items);
    AddFlag<L>(
        list, "MultiSelect", [](const L& o) { return o.selectionMode() == QAbstractItemView::ExtendedSelection; },
        [](L& o, bool v) { o.setSelectionMode(v ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection); });

    using T = ScriptLabel;
    RegisteredClass& label = registry.Register(T::Class(), WidgetFactory<T>());
    AddNumber<T>(label, "Alignment", [](const T& o) { return o.Alignment(); },
                 [](T& o, int32_t v) { o.SetAlignment(v); }, 0, "TAlignment");
    AddText<T>(label, "Caption", [](const T& o) { return o.text(); },
               [](T& o, const QString& v) {
                   o.setText(v);
                   if (!o.wordWrap())
                       o.adjustSize();
               },
               "TCaption");
    AddFlag<T>(label, "WordWrap", [](const T& o) { return o.wordWrap(); }, [](T& o, bool v) { o.setWordWrap(v); });

    using G = ScriptGroupBox;
    RegisteredClass& group = registry.Register(G::Class(), WidgetFactory<G>());
    AddText<G>(group, "Caption", [](const G& o) { return o.title(); }, [](G& o, const QString& v) { o.setTitle(v); },
               "TCaption");

    registry.Register(ScriptScrollBox::Class(), WidgetFactory<ScriptScrollBox>());
}
