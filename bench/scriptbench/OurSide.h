#pragma once

// Our side of the script benchmark: the report script engine running RireroRidoze.

#include "report/core/ObjectHandles.h"
#include "report/core/PropertyRegistry.h"

#include <functional>
#include <memory>
#include <string>

class OurSide {
public:
    OurSide();
    ~OurSide();

    // Compiles a program whose function Run gives the result; the returned call runs it once
    // and gives the result as text. Throws std::runtime_error on a compile error.
    std::function<std::string()> Prepare(const char* source);
    // A run evaluating `count` distinct short expressions ("i * 2 + i mod 7") and adding them.
    std::function<std::string()> PrepareEvaluate(int count);

    // The native object whose Width both sides read and write through the registry.
    ScriptObject& BenchObject();
    const RegisteredClass& BenchClass() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};
