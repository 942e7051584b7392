#pragma once

// Small native classes for script tests: TTestObj (a Value property, a Name, Free) with the
// descendant TDerivedObj, and the unrelated TOtherObj. Objects live in the owner until a script
// frees them; the rest go with the owner.

#include "report/core/ObjectHandles.h"
#include "report/script/sc_iinterpreter_script.h"

#include <QStringList>

#include <algorithm>
#include <memory>
#include <vector>

namespace scripttest {

inline const ScriptClassInfo kTestObjClass{QStringLiteral("TTestObj")};
inline const ScriptClassInfo kDerivedObjClass{QStringLiteral("TDerivedObj"), &kTestObjClass};
inline const ScriptClassInfo kOtherObjClass{QStringLiteral("TOtherObj")};

class TestObj : public ScriptObject {
public:
    explicit TestObj(const ScriptClassInfo& cls) : FClass(cls) {}
    const ScriptClassInfo& ScriptClass() const override { return FClass; }
    int Value = 0;

private:
    const ScriptClassInfo& FClass;
};

class TestObjects {
public:
    TestObj* Make(const ScriptClassInfo& cls)
    {
        Objects.push_back(std::make_unique<TestObj>(cls));
        return Objects.back().get();
    }
    void Free(ScriptObject& object)
    {
        Objects.erase(std::remove_if(Objects.begin(), Objects.end(),
                                     [&](const std::unique_ptr<TestObj>& o) { return o.get() == &object; }),
                      Objects.end());
    }
    // Registers the three classes in a script (after AddRTTI).
    void Register(TscScript& script)
    {
        RegisterClass(script, QStringLiteral("TTestObj"), kTestObjClass, QString(), QStringLiteral("test"));
        RegisterClass(script, QStringLiteral("TDerivedObj"), kDerivedObjClass, QStringLiteral("TTestObj"),
                      QStringLiteral("derived"));
        RegisterClass(script, QStringLiteral("TOtherObj"), kOtherObjClass, QString(), QStringLiteral("other"));
    }

    std::vector<std::unique_ptr<TestObj>> Objects;
    QStringList Calls; // calls of the indexed property Cell

private:
    void RegisterClass(TscScript& script, const QString& name, const ScriptClassInfo& cls, const QString& ancestor,
                       const QString& kind)
    {
        TscClassVariable* descriptor = script.AddClass(name, &cls, ancestor);
        descriptor->AddConstructor(QStringLiteral("constructor Create"), [this](TscCallFrame& frame) {
            const ScriptClassInfo* made = frame.Class != nullptr && frame.Class->ClassRef ? frame.Class->ClassRef
                                                                                           : &kTestObjClass;
            return ObjectHandles::ToVariant(Make(*made));
        });
        if (ancestor.isEmpty()) {
            descriptor->AddProperty(
                QStringLiteral("Value"), QStringLiteral("Integer"),
                [&cls](TscCallFrame& frame) {
                    return Variant(static_cast<int32_t>(static_cast<TestObj&>(frame.Object(cls)).Value));
                },
                [&cls](TscCallFrame& frame) {
                    static_cast<TestObj&>(frame.Object(cls)).Value = frame.AssignedValue->ToInt32();
                    return Variant();
                });
            // A Boolean read from the integer value: 0 is False, anything else True.
            descriptor->AddProperty(QStringLiteral("Flag"), QStringLiteral("Boolean"), [&cls](TscCallFrame& frame) {
                return Variant(static_cast<int32_t>(static_cast<TestObj&>(frame.Object(cls)).Value));
            });
            // The object itself, for paths of three steps.
            descriptor->AddProperty(QStringLiteral("Twin"), name, [](TscCallFrame& frame) { return frame.Instance; });
            // An indexed property that records how it was called.
            descriptor->AddIndexProperty(
                QStringLiteral("Cell"), QStringLiteral("Integer, String"), QStringLiteral("String"),
                [this](TscCallFrame& frame) {
                    QStringList call{*frame.MemberName};
                    for (const Variant& argument : frame.Args)
                        call << VarToStr(argument);
                    if (frame.AssignedValue != nullptr)
                        call << VarToStr(*frame.AssignedValue);
                    Calls << call.join(u' ');
                    return Variant(call.join(u' '));
                });
            descriptor->AddMethod(QStringLiteral("procedure Free"), [this](TscCallFrame& frame) {
                const uint32_t handle = ObjectHandles::HandleOf(frame.Instance);
                if (handle != 0)
                    Free(ObjectHandles::Resolve(handle));
                return Variant();
            });
        }
        descriptor->AddProperty(QStringLiteral("Kind"), QStringLiteral("String"),
                                [kind](TscCallFrame&) { return Variant(kind); });
        descriptor->AddDefaultProperty(
            QStringLiteral("Items"), QStringLiteral("Integer"), QStringLiteral("Integer"),
            [&cls](TscCallFrame& frame) {
                TestObj& object = static_cast<TestObj&>(frame.Object(cls));
                if (frame.AssignedValue != nullptr) {
                    object.Value = frame.AssignedValue->ToInt32() - frame.Arg(0).ToInt32();
                    return Variant();
                }
                return Variant(static_cast<int32_t>(object.Value + frame.Arg(0).ToInt32()));
            });
    }
};

} // namespace scripttest
