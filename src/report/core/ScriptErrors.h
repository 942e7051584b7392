#pragma once

#include "platform/Exceptions.h"

#include <exception>
#include <string>

// Errors a report script can raise and catch. Each carries the class name the script sees in
// ExceptionClassName; the names and texts are those of the Pascal run-time library, so a
// script's output does not depend on which engine ran it.
class EScriptError : public platform::Exception {
public:
    EScriptError(const char* className, std::string message)
        : platform::Exception(std::move(message)), className_(className)
    {
    }

    const char* ClassName() const noexcept { return className_; }

private:
    const char* className_; // static text, never owned
};

// What RaiseException raises: the plain base class of the run-time library.
class EScriptException : public EScriptError {
public:
    explicit EScriptException(std::string message) : EScriptError("Exception", std::move(message)) {}
};

#define DAX_SCRIPT_ERROR(Name, Base, DefaultText)                                                          \
    class Name : public Base {                                                                             \
    public:                                                                                                \
        Name() : Base(#Name, DefaultText) {}                                                               \
        explicit Name(std::string message) : Base(#Name, std::move(message)) {}                          \
                                                                                                           \
    protected:                                                                                             \
        Name(const char* className, std::string message) : Base(className, std::move(message)) {}        \
    };

// Intermediate classes take the class name from their descendants.
class EScriptErrorFamily : public EScriptError {
protected:
    using EScriptError::EScriptError;
};

DAX_SCRIPT_ERROR(EVariantError, EScriptErrorFamily, "Invalid variant type cast")
DAX_SCRIPT_ERROR(EVariantTypeCastError, EVariantError, "Invalid variant type cast")
DAX_SCRIPT_ERROR(EVariantInvalidOpError, EVariantError, "Invalid variant operation")
DAX_SCRIPT_ERROR(EVariantBadIndexError, EVariantError, "Variant array bounds error")
DAX_SCRIPT_ERROR(EVariantInvalidArgError, EVariantError, "Invalid argument")
DAX_SCRIPT_ERROR(EIntError, EScriptErrorFamily, "Integer error")
DAX_SCRIPT_ERROR(EDivByZero, EIntError, "Division by zero")
DAX_SCRIPT_ERROR(ERangeError, EIntError, "Range check error")
DAX_SCRIPT_ERROR(EIntOverflow, EIntError, "Arithmetic overflow")
DAX_SCRIPT_ERROR(EMathError, EScriptErrorFamily, "Floating point error")
DAX_SCRIPT_ERROR(EInvalidOp, EMathError, "Invalid floating point operation")
DAX_SCRIPT_ERROR(EZeroDivide, EMathError, "Floating point division by zero")
DAX_SCRIPT_ERROR(EOverflow, EMathError, "Floating point overflow")
DAX_SCRIPT_ERROR(EStackOverflow, EScriptErrorFamily, "Stack overflow")
DAX_SCRIPT_ERROR(EOutOfMemory, EScriptErrorFamily, "Out of memory")
DAX_SCRIPT_ERROR(EAccessViolation, EScriptErrorFamily, "Access violation")
DAX_SCRIPT_ERROR(EInvalidCast, EScriptErrorFamily, "Invalid class typecast")
DAX_SCRIPT_ERROR(EInvalidPointer, EScriptErrorFamily, "Invalid pointer operation")
DAX_SCRIPT_ERROR(EInvalidOperation, EScriptErrorFamily, "Invalid operation")
DAX_SCRIPT_ERROR(EListError, EScriptErrorFamily, "List error")
DAX_SCRIPT_ERROR(EStringListError, EScriptErrorFamily, "String list error")
DAX_SCRIPT_ERROR(EStreamError, EScriptErrorFamily, "Stream error")
DAX_SCRIPT_ERROR(EFCreateError, EStreamError, "Unable to create file")
DAX_SCRIPT_ERROR(EFOpenError, EStreamError, "Unable to open file")
DAX_SCRIPT_ERROR(EReadError, EStreamError, "Stream read error")
DAX_SCRIPT_ERROR(EWriteError, EStreamError, "Stream write error")

#undef DAX_SCRIPT_ERROR

// The class name a script sees for an error: our own script errors name themselves, the
// platform's date and conversion errors are "EConvertError", its system errors "EOSError",
// an exhausted allocation "EOutOfMemory" and any other error "Exception".
const char* ScriptErrorClassName(const std::exception& error) noexcept;

// Inside a catch block: the error being handled as class name and message, or false when it
// is none a script may catch (then the caller lets it pass).
bool CurrentScriptError(std::string& className, std::string& message);
