#include "OurSide.h"

#include "report/core/Services.h"
#include "report/script/sc_iinterpreter_script.h"
#include "report/script/sc_itools.h"

#include <stdexcept>

namespace {

class TBenchObject : public ScriptObject {
public:
    static const ScriptClassInfo& Class()
    {
        static const ScriptClassInfo info{QStringLiteral("TBenchObject"), nullptr};
        return info;
    }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    int32_t Width = 0;
};

const RegisteredClass& RegisterBenchClass()
{
    PropertyRegistry& registry = PropertyRegistry::Global();
    if (const RegisteredClass* known = registry.Find(TBenchObject::Class()))
        return *known;
    RegisteredClass& c = registry.Register(TBenchObject::Class(), [] { return std::make_unique<TBenchObject>(); });
    c.AddInteger(QStringLiteral("Width"), GetterOf<TBenchObject>([](const TBenchObject& o) { return Variant(o.Width); }),
                 SetterOf<TBenchObject>([](TBenchObject& o, const Variant& v) { o.Width = v.AsInt32(); }));
    return c;
}

std::unique_ptr<TscScript> NewScript(ScriptObject& object)
{
    auto script = std::make_unique<TscScript>();
    script->AddRTTI();
    script->AddClass(QStringLiteral("TBenchObject"), &TBenchObject::Class(), QString());
    script->AddObject(QStringLiteral("Obj"), &object);
    return script;
}

} // namespace

struct OurSide::State {
    TBenchObject Object;
    const RegisteredClass* Class = nullptr;
    std::vector<std::unique_ptr<TscScript>> Scripts;
};

OurSide::OurSide() : state_(std::make_unique<State>())
{
    InitScriptLanguages();
    state_->Class = &RegisterBenchClass();
}

OurSide::~OurSide() = default;

std::function<std::string()> OurSide::Prepare(const char* source)
{
    std::unique_ptr<TscScript> script = NewScript(state_->Object);
    script->Lines = QString::fromUtf8(source).split(u'\n');
    if (!script->Compile())
        throw std::runtime_error((script->ErrorPos + QStringLiteral(": ") + script->ErrorMsg).toStdString());
    script->Execute();
    TscScript* program = script.get();
    state_->Scripts.push_back(std::move(script));
    return [program] {
        Variant none;
        return VarToStr(program->CallFunction(QStringLiteral("Run"), none)).toStdString();
    };
}

std::function<std::string()> OurSide::PrepareEvaluate(int count)
{
    // Every run evaluates in a fresh program, so that no text is already compiled.
    QStringList texts;
    for (int i = 1; i <= count; ++i)
        texts << QStringLiteral("%1 * 2 + %2").arg(i).arg(i % 7);
    ScriptObject& object = state_->Object;
    return [texts, &object] {
        std::unique_ptr<TscScript> script = NewScript(object);
        Variant sum(int32_t{0});
        for (const QString& text : texts) {
            QString error;
            const Variant value = script->Evaluate(text, &error);
            if (!error.isEmpty())
                throw std::runtime_error(error.toStdString());
            sum = VariantAdd(sum, value);
        }
        return VarToStr(sum).toStdString();
    };
}

ScriptObject& OurSide::BenchObject()
{
    return state_->Object;
}

const RegisteredClass& OurSide::BenchClass() const
{
    return *state_->Class;
}
