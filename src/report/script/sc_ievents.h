#pragma once

// Event bridges: a script procedure assigned to an event property of a native object (a
// button's OnClick, a form's OnCloseQuery) is run by a bridge that stands between the two. The
// native object keeps one bridge per event in its TscEventSlots; the script keeps the bridges
// in its symbol table. Either side going away disconnects the other: a freed native object
// leaves its bridges inert and removes them, a cleared script leaves the native events empty.
//
// A bridge turns the native arguments into script values in the event's order, runs the
// procedure and copies the var arguments back. An error in the procedure never passes into
// the toolkit's event dispatch: it goes to the script's error sink (TscScript::SetErrorSink).

#include "sc_iinterpreter.h"

#include <QChar>
#include <QString>

#include <map>
#include <memory>
#include <span>

class QObject;
class TscEventSlots;

// Base of the bridges. Owned by the symbol table of the script it was bound in.
class TscCustomEvent : public TscObject {
public:
    TscCustomEvent(uint32_t instance, TscProcVariable* handler, TscScript* program);
    ~TscCustomEvent() override;

    TscProcVariable* Handler() const { return FHandler; }
    // The handle of the native object, 0 once it is gone.
    uint32_t Instance() const { return FInstance; }
    TscScript* Program() const { return FProgram; }
    bool Connected() const { return FInstance != 0 && FHandler != nullptr; }

    // Runs the handler with these arguments: parameter i takes argument i, parameters beyond
    // the arguments take Null (a typed one its type's empty value); afterwards argument i holds parameter i's value (for the
    // parameters that exist; the others keep the native value). Nothing runs, and false is
    // returned, when the handler is already running (a bridge never re-enters its procedure),
    // when the bridge is disconnected, when the script is being cleared or has been told to
    // terminate, and when the procedure fails (the error then went to the error sink).
    bool CallHandler(std::span<Variant> arguments);

    // The native object is gone or has another handler for the event: the bridge does nothing
    // any more and leaves the symbol table (at once, or when its running call returns).
    void Disconnect();
    // The handler procedure is being destroyed (its script is cleared).
    static void HandlerDestroyed(TscProcVariable* handler);

protected:
    // The sender as a script value (the native object's reference).
    Variant Sender() const { return Variant::FromObject(FInstance); }

private:
    friend class TscEventSlots;

    uint32_t FInstance;
    TscProcVariable* FHandler;
    TscScript* FProgram;           // the script whose symbol table owns the bridge
    TscEventSlots* FSlots = nullptr; // the native object's slots while connected
    int FRunning = 0;              // calls of the handler on the stack
    bool FDisposePending = false;  // leave the symbol table when the running call returns
};

// Sender.
class TscNotifyEvent : public TscCustomEvent {
public:
    using TscCustomEvent::TscCustomEvent;
    void DoEvent();
};

// Sender, Button (mbLeft 0, mbRight 1, mbMiddle 2), Shift (ssShift 1 ... ssDouble 64), X, Y.
class TscMouseEvent : public TscCustomEvent {
public:
    using TscCustomEvent::TscCustomEvent;
    void DoEvent(int button, int shift, int x, int y);
};

// Sender, Shift, X, Y.
class TscMouseMoveEvent : public TscCustomEvent {
public:
    using TscCustomEvent::TscCustomEvent;
    void DoEvent(int shift, int x, int y);
};

// Sender, var Key (virtual-key code), Shift. Key 0 afterwards swallows the key.
class TscKeyEvent : public TscCustomEvent {
public:
    using TscCustomEvent::TscCustomEvent;
    void DoEvent(uint16_t& key, int shift);
};

// Sender, var Key (one character). An empty text afterwards gives #0, which swallows the key.
class TscKeyPressEvent : public TscCustomEvent {
public:
    using TscCustomEvent::TscCustomEvent;
    void DoEvent(QChar& key);
};

// Sender, var Action (caNone 0, caHide 1, caFree 2, caMinimize 3).
class TscCloseEvent : public TscCustomEvent {
public:
    using TscCustomEvent::TscCustomEvent;
    void DoEvent(int& action);
};

// Sender, var CanClose.
class TscCloseQueryEvent : public TscCustomEvent {
public:
    using TscCustomEvent::TscCustomEvent;
    void DoEvent(bool& canClose);
};

// Sender, var NewWidth, var NewHeight, var Resize.
class TscCanResizeEvent : public TscCustomEvent {
public:
    using TscCustomEvent::TscCustomEvent;
    void DoEvent(int& newWidth, int& newHeight, bool& resize);
};

// The event handlers of one native object: at most one bridge per event, by the event's
// upper-case name. Destroying the slots disconnects every bridge.
class TscEventSlots {
public:
    TscEventSlots() = default;
    TscEventSlots(const TscEventSlots&) = delete;
    TscEventSlots& operator=(const TscEventSlots&) = delete;
    ~TscEventSlots();

    // Installs the bridge for the event (the one before is disconnected); nullptr clears it.
    void Bind(const QString& event, TscCustomEvent* bridge);
    // The bridge of the event when it has one of that class.
    template <class Bridge>
    Bridge* Find(const QString& event) const
    {
        const auto found = FBridges.find(event);
        return found == FBridges.end() ? nullptr : dynamic_cast<Bridge*>(found->second);
    }
    bool Has(const QString& event) const { return FBridges.count(event) != 0; }
    // Disconnects every bridge.
    void Clear();
    size_t Count() const { return FBridges.size(); }

private:
    friend class TscCustomEvent;
    void Forget(TscCustomEvent* bridge);

    std::map<QString, TscCustomEvent*> FBridges; // not owned: the script owns them
};

// A native object that has events scripts can handle.
class TscEventSource {
public:
    virtual ~TscEventSource() = default;
    virtual TscEventSlots& ScriptEvents() = 0;
    // Told after a handler was bound (true) or cleared (false), for objects that must switch
    // something on to fire the event (mouse tracking, painting).
    virtual void ScriptEventBound(const QString& event, bool bound)
    {
        (void)event;
        (void)bound;
    }
};

// The binder of an event property whose bridge class is Bridge: creates the bridge for
// (object, procedure), adds it to the script's symbol table under an empty name and installs it
// in the object's slots; a cleared event ("0") removes the bridge.
template <class Bridge>
TscEventBinder ScEventBinder();

// What the bridge classes are for the event helpers (`AddEvent` of the binding modules).
TscEventBinder ScBinderOf(TscCustomEvent* (*create)(uint32_t, TscProcVariable*, TscScript*));

template <class Bridge>
TscEventBinder ScEventBinder()
{
    return ScBinderOf([](uint32_t instance, TscProcVariable* handler, TscScript* program) -> TscCustomEvent* {
        return new Bridge(instance, handler, program);
    });
}

// Marks a native object as delivering an event while it lives on the stack, so that freeing
// the object (or one of its parents) from a handler waits until the delivery has returned.
class TscDispatchScope {
public:
    explicit TscDispatchScope(QObject* object);
    ~TscDispatchScope();
    TscDispatchScope(const TscDispatchScope&) = delete;
    TscDispatchScope& operator=(const TscDispatchScope&) = delete;

    // Whether the object or one of its children is delivering an event now.
    static bool Busy(const QObject* object);

private:
    QObject* FObject;
};
