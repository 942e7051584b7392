#include "sc_ievents.h"

#include "sc_iinterpreter_script.h"

#include "report/core/ScriptErrors.h"
#include "report/core/Services.h"

#include <QObject>

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace {

// Every live bridge by its handler, so that a handler being destroyed can disconnect them.
// Scripts run on the main thread only.
std::unordered_multimap<TscProcVariable*, TscCustomEvent*>& BridgesByHandler()
{
    static auto* bridges = new std::unordered_multimap<TscProcVariable*, TscCustomEvent*>;
    return *bridges;
}

void ForgetBridge(TscProcVariable* handler, TscCustomEvent* bridge)
{
    auto& bridges = BridgesByHandler();
    auto [first, last] = bridges.equal_range(handler);
    for (auto it = first; it != last; ++it) {
        if (it->second == bridge) {
            bridges.erase(it);
            return;
        }
    }
}

// Objects delivering an event now, innermost last.
std::vector<const QObject*>& Dispatching()
{
    static auto* objects = new std::vector<const QObject*>;
    return *objects;
}

} // namespace

// --- TscCustomEvent -------------------------------------------------------------------------

TscCustomEvent::TscCustomEvent(uint32_t instance, TscProcVariable* handler, TscScript* program)
    : FInstance(instance), FHandler(handler), FProgram(program)
{
    if (FHandler != nullptr)
        BridgesByHandler().emplace(FHandler, this);
}

TscCustomEvent::~TscCustomEvent()
{
    if (FHandler != nullptr)
        ForgetBridge(FHandler, this);
    if (FSlots != nullptr)
        FSlots->Forget(this);
}

void TscCustomEvent::HandlerDestroyed(TscProcVariable* handler)
{
    auto& bridges = BridgesByHandler();
    auto [first, last] = bridges.equal_range(handler);
    std::vector<TscCustomEvent*> affected;
    for (auto it = first; it != last; ++it)
        affected.push_back(it->second);
    bridges.erase(handler);
    for (TscCustomEvent* bridge : affected) {
        bridge->FHandler = nullptr;
        // The native event is empty again; the bridge itself goes with the script's items.
        if (bridge->FSlots != nullptr)
            bridge->FSlots->Forget(bridge);
    }
}

void TscCustomEvent::Disconnect()
{
    FInstance = 0;
    if (FSlots != nullptr)
        FSlots->Forget(this);
    if (FRunning > 0) {
        FDisposePending = true;
        return;
    }
    // While the script is cleared, its items are being freed anyway.
    if (FProgram != nullptr && !FProgram->TearingDown()) {
        std::unique_ptr<TscObject> self = FProgram->Remove(this);
        self.reset(); // the last thing done here
    }
}

bool TscCustomEvent::CallHandler(std::span<Variant> arguments)
{
    if (!Connected() || FProgram == nullptr || FProgram->TearingDown() || FProgram->Root()->Terminated() ||
        FHandler->Executing)
        return false;
    TscScript* program = FProgram;
    // Parameters beyond the event's arguments hold Null; a typed one, which cannot hold Null,
    // the empty value of its type.
    std::vector<Variant> parameters;
    parameters.reserve(static_cast<size_t>(FHandler->ParamCount()));
    for (int i = 0; i < FHandler->ParamCount(); ++i) {
        if (static_cast<size_t>(i) < arguments.size()) {
            parameters.push_back(arguments[static_cast<size_t>(i)]);
            continue;
        }
        switch (FHandler->Param(i)->Typ) {
        case fvtInt:
        case fvtBool:
        case fvtFloat:
        case fvtChar:
        case fvtString:
        case fvtInt64:
            parameters.push_back(Variant());
            break;
        default:
            parameters.push_back(Variant::NullValue());
            break;
        }
    }

    bool ran = false;
    // What the handler makes is the program's, also when the event comes between its runs.
    ActiveScriptMemoryScope memory(&program->Memory());
    ++FRunning;
    ReportServices::Guarded(
        [&] {
            FHandler->Invoke(parameters);
            ran = true;
        },
        [program](const QString& className, const QString& message) { program->ReportError(className, message); });
    --FRunning;
    if (FRunning == 0 && FDisposePending) {
        // Disconnected while the handler ran (it freed its object or rebound the event).
        if (!program->TearingDown()) {
            std::unique_ptr<TscObject> self = program->Remove(this);
            self.reset(); // nothing of this object is used after this line
        }
        return false;
    }
    if (!ran || !Connected())
        return false;
    for (size_t i = 0; i < parameters.size() && i < arguments.size(); ++i)
        arguments[i] = parameters[i];
    return true;
}

// --- The bridges ----------------------------------------------------------------------------

void TscNotifyEvent::DoEvent()
{
    Variant arguments[] = {Sender()};
    CallHandler(arguments);
}

void TscMouseEvent::DoEvent(int button, int shift, int x, int y)
{
    Variant arguments[] = {Sender(), Variant(int32_t{button}), Variant(int32_t{shift & 0xFF}), Variant(int32_t{x}),
                           Variant(int32_t{y})};
    CallHandler(arguments);
}

void TscMouseMoveEvent::DoEvent(int shift, int x, int y)
{
    Variant arguments[] = {Sender(), Variant(int32_t{shift & 0xFF}), Variant(int32_t{x}), Variant(int32_t{y})};
    CallHandler(arguments);
}

void TscKeyEvent::DoEvent(uint16_t& key, int shift)
{
    Variant arguments[] = {Sender(), Variant(int32_t{key}), Variant(int32_t{shift & 0xFF})};
    if (!CallHandler(arguments))
        return;
    key = static_cast<uint16_t>(arguments[1].ToInt32(Program()->Settings()));
}

void TscKeyPressEvent::DoEvent(QChar& key)
{
    Variant arguments[] = {Sender(), Variant(QString(key))};
    if (!CallHandler(arguments))
        return;
    const QString text = arguments[1].ToString(Program()->Settings());
    key = text.isEmpty() ? QChar() : text[0];
}

void TscCloseEvent::DoEvent(int& action)
{
    Variant arguments[] = {Sender(), Variant(int32_t{action})};
    if (!CallHandler(arguments))
        return;
    action = arguments[1].ToInt32(Program()->Settings());
}

void TscCloseQueryEvent::DoEvent(bool& canClose)
{
    Variant arguments[] = {Sender(), Variant(canClose)};
    if (!CallHandler(arguments))
        return;
    canClose = arguments[1].ToBoolean(Program()->Settings());
}

void TscCanResizeEvent::DoEvent(int& newWidth, int& newHeight, bool& resize)
{
    Variant arguments[] = {Sender(), Variant(int32_t{newWidth}), Variant(int32_t{newHeight}), Variant(resize)};
    if (!CallHandler(arguments))
        return;
    const FormatSettings& settings = Program()->Settings();
    newWidth = arguments[1].ToInt32(settings);
    newHeight = arguments[2].ToInt32(settings);
    resize = arguments[3].ToBoolean(settings);
}

// --- TscEventSlots --------------------------------------------------------------------------

TscEventSlots::~TscEventSlots()
{
    Clear();
}

void TscEventSlots::Bind(const QString& event, TscCustomEvent* bridge)
{
    const auto found = FBridges.find(event);
    if (found != FBridges.end()) {
        TscCustomEvent* old = found->second;
        FBridges.erase(found);
        old->FSlots = nullptr;
        old->Disconnect();
    }
    if (bridge != nullptr) {
        FBridges[event] = bridge;
        bridge->FSlots = this;
    }
}

void TscEventSlots::Clear()
{
    while (!FBridges.empty()) {
        TscCustomEvent* bridge = FBridges.begin()->second;
        FBridges.erase(FBridges.begin());
        bridge->FSlots = nullptr;
        bridge->Disconnect();
    }
}

void TscEventSlots::Forget(TscCustomEvent* bridge)
{
    for (auto it = FBridges.begin(); it != FBridges.end(); ++it) {
        if (it->second == bridge) {
            FBridges.erase(it);
            break;
        }
    }
    bridge->FSlots = nullptr;
}

// --- Binding --------------------------------------------------------------------------------

TscEventBinder ScBinderOf(TscCustomEvent* (*create)(uint32_t, TscProcVariable*, TscScript*))
{
    return [create](TscCallFrame& frame, TscProcVariable* handler) {
        const uint32_t handle = ObjectHandles::HandleOf(frame.Instance);
        ScriptObject& object = ObjectHandles::Resolve(handle);
        auto* source = dynamic_cast<TscEventSource*>(&object);
        if (source == nullptr)
            throw EInvalidCast();
        const QString& event = *frame.MemberName;
        if (handler == nullptr) {
            source->ScriptEvents().Bind(event, nullptr);
            source->ScriptEventBound(event, false);
            return;
        }
        TscScript* program = frame.Script != nullptr ? frame.Script : handler->Prog()->Root();
        TscCustomEvent* bridge = program->AddItem(QString(), std::unique_ptr<TscCustomEvent>(create(handle, handler, program)));
        source->ScriptEvents().Bind(event, bridge);
        source->ScriptEventBound(event, true);
    };
}

// --- TscDispatchScope -----------------------------------------------------------------------

TscDispatchScope::TscDispatchScope(QObject* object) : FObject(object)
{
    Dispatching().push_back(object);
}

TscDispatchScope::~TscDispatchScope()
{
    std::vector<const QObject*>& objects = Dispatching();
    const auto found = std::find(objects.rbegin(), objects.rend(), FObject);
    if (found != objects.rend())
        objects.erase(std::next(found).base());
}

bool TscDispatchScope::Busy(const QObject* object)
{
    for (const QObject* busy : Dispatching()) {
        for (const QObject* o = busy; o != nullptr; o = o->parent()) {
            if (o == object)
                return true;
        }
    }
    return false;
}
