#include "ScriptErrors.h"

#include "ScriptMemory.h"

#include "platform/DateTime.h"

#include <new>

const char* ScriptErrorClassName(const std::exception& error) noexcept
{
    if (const auto* scriptError = dynamic_cast<const EScriptError*>(&error))
        return scriptError->ClassName();
    if (dynamic_cast<const EConvertError*>(&error))
        return "EConvertError";
    if (dynamic_cast<const platform::EOSError*>(&error))
        return "EOSError";
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return "EOutOfMemory";
    return "Exception";
}

bool CurrentScriptError(std::string& className, std::string& message)
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        // The allocator failed: the reserve of the running script makes room for the handler.
        if (ScriptMemory* memory = ActiveScriptMemory())
            memory->ReleaseReserve();
        className = "EOutOfMemory";
        message = EOutOfMemory().Message();
        return true;
    } catch (const platform::Exception& error) {
        className = ScriptErrorClassName(error);
        message = error.Message();
        return true;
    } catch (...) {
        return false;
    }
}
