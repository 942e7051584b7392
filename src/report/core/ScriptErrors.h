#pragma once

#include "Texts.h"

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

DAX_SCRIPT_ERROR(EVariantError, EScriptErrorFamily, coretexts::kInvalidVariantTypeCastText)
DAX_SCRIPT_ERROR(EVariantTypeCastError, EVariantError, coretexts::kInvalidVariantTypeCastText)
DAX_SCRIPT_ERROR(EVariantInvalidOpError, EVariantError, coretexts::kInvalidVariantOperationText)
DAX_SCRIPT_ERROR(EVariantBadIndexError, EVariantError, coretexts::kVariantArrayBoundsText)
DAX_SCRIPT_ERROR(EVariantInvalidArgError, EVariantError, coretexts::kInvalidArgumentText)
DAX_SCRIPT_ERROR(EIntError, EScriptErrorFamily, coretexts::kIntegerErrorText)
DAX_SCRIPT_ERROR(EDivByZero, EIntError, coretexts::kDivisionByZeroText)
DAX_SCRIPT_ERROR(ERangeError, EIntError, coretexts::kRangeCheckErrorText)
DAX_SCRIPT_ERROR(EIntOverflow, EIntError, coretexts::kArithmeticOverflowText)
DAX_SCRIPT_ERROR(EMathError, EScriptErrorFamily, coretexts::kFloatingPointErrorText)
DAX_SCRIPT_ERROR(EInvalidOp, EMathError, coretexts::kInvalidFloatOperationText)
DAX_SCRIPT_ERROR(EZeroDivide, EMathError, coretexts::kFloatDivisionByZeroText)
DAX_SCRIPT_ERROR(EOverflow, EMathError, coretexts::kFloatOverflowText)
DAX_SCRIPT_ERROR(EStackOverflow, EScriptErrorFamily, coretexts::kStackOverflowText)
DAX_SCRIPT_ERROR(EOutOfMemory, EScriptErrorFamily, coretexts::kOutOfMemoryText)
DAX_SCRIPT_ERROR(EAccessViolation, EScriptErrorFamily, coretexts::kAccessViolationText)
DAX_SCRIPT_ERROR(EInvalidCast, EScriptErrorFamily, coretexts::kInvalidClassTypecastText)
DAX_SCRIPT_ERROR(EInvalidPointer, EScriptErrorFamily, coretexts::kInvalidPointerOperationText)
DAX_SCRIPT_ERROR(EInvalidOperation, EScriptErrorFamily, coretexts::kInvalidOperationText)
DAX_SCRIPT_ERROR(EListError, EScriptErrorFamily, coretexts::kListErrorText)
DAX_SCRIPT_ERROR(EStringListError, EScriptErrorFamily, coretexts::kStringListErrorText)
DAX_SCRIPT_ERROR(EStreamError, EScriptErrorFamily, coretexts::kStreamErrorText)
DAX_SCRIPT_ERROR(EFCreateError, EStreamError, coretexts::kUnableToCreateFileText)
DAX_SCRIPT_ERROR(EFOpenError, EStreamError, coretexts::kUnableToOpenFileText)
DAX_SCRIPT_ERROR(EReadError, EStreamError, coretexts::kStreamReadErrorText)
DAX_SCRIPT_ERROR(EWriteError, EStreamError, coretexts::kStreamWriteErrorText)

#undef DAX_SCRIPT_ERROR

// The class name a script sees for an error: our own script errors name themselves, the
// platform's date and conversion errors are "EConvertError", its system errors "EOSError",
// an exhausted allocation "EOutOfMemory" and any other error "Exception".
const char* ScriptErrorClassName(const std::exception& error) noexcept;

// Inside a catch block: the error being handled as class name and message, or false when it
// is none a script may catch (then the caller lets it pass).
bool CurrentScriptError(std::string& className, std::string& message);
