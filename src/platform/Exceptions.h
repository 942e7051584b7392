#pragma once

#include <exception>
#include <string>

namespace platform {

// The one exception base of the system. Its message is UTF-8 text meant for the user.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}

    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }

private:
    std::string message_;
};

// A failed operating-system call: carries the errno value beside the message.
class EOSError : public Exception {
public:
    EOSError(int errorCode, std::string message) : Exception(std::move(message)), errorCode_(errorCode) {}

    int ErrorCode() const noexcept { return errorCode_; }

private:
    int errorCode_;
};

// The system's text for an errno value (thread-safe, independent of the locale's language
// only as far as the C library is).
std::string SystemErrorText(int errorCode);

// The message of the exception being handled, for use inside a catch block: our own
// exceptions and standard ones keep their message, a thrown text becomes the message,
// anything else gives an empty text.
std::string CurrentExceptionMessage();

// Inside a catch block: lets the exception being handled out as our own exception. One of
// ours goes on as it is; anything else becomes one with its message (or an empty one).
[[noreturn]] void RethrowAsException();

} // namespace platform

// A failed system call, with the message "System Error.  Code: <code>.\r\n<system text>".
class win_error : public platform::EOSError {
public:
    explicit win_error(int errorCode);
};
