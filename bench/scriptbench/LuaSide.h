#pragma once

// The Lua side of the script benchmark: Lua 5.4 embedded in this process. A workload is a
// chunk that defines `run()`; compiling and defining happen apart from the timed call.

#include "report/core/ObjectHandles.h"
#include "report/core/PropertyRegistry.h"

#include <string>
#include <unordered_map>

struct lua_State;

class LuaSide {
public:
    LuaSide();
    ~LuaSide();
    LuaSide(const LuaSide&) = delete;
    LuaSide& operator=(const LuaSide&) = delete;

    // Loads the chunk and runs it once so that it defines `run`; throws std::runtime_error
    // with Lua's message on failure.
    void Prepare(const std::string& chunk);
    // Calls `run()` and returns its result as text (numbers with %.17g, integers as such).
    std::string Run();

    // Makes `object` visible to the chunks as the global `obj`: a userdata whose fields are
    // read and written through the property registry's getter and setter of its class.
    void ExposeObject(ScriptObject& object, const RegisteredClass& cls);

private:
    lua_State* state_;
    std::unordered_map<std::string, const PropertyInfo*> names_; // property names already looked up
};
