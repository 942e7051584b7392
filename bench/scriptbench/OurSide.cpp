#include "OurSide.h"

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

} // namespace

struct OurSide::State {
    TBenchObject Object;
    const RegisteredClass* Class = nullptr;
};

OurSide::OurSide() : state_(std::make_unique<State>())
{
    state_->Class = &RegisterBenchClass();
}

OurSide::~OurSide() = default;

std::function<std::string()> OurSide::Prepare(const char*)
{
    throw std::runtime_error("the script interpreter is not in this build yet");
}

std::function<std::string()> OurSide::PrepareEvaluate(int)
{
    throw std::runtime_error("the script interpreter is not in this build yet");
}

ScriptObject& OurSide::BenchObject()
{
    return state_->Object;
}

const RegisteredClass& OurSide::BenchClass() const
{
    return *state_->Class;
}
