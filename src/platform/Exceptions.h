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

// A failure at a place in a text the user supplied (a script, a report file). The message
// stays exactly the text the parser raised; where it happened travels beside it, so a
// caller can show "source:line:column: message" or just the message. Lines and columns
// count from 1; 0 means unknown.
class ELocatedError : public Exception {
public:
    ELocatedError(std::string message, std::string source, int line, int column)
        : Exception(std::move(message)), source_(std::move(source)), line_(line), column_(column)
    {
    }

    const std::string& Source() const noexcept { return source_; }
    int Line() const noexcept { return line_; }
    int Column() const noexcept { return column_; }

private:
    std::string source_; // file or unit name; may be empty
    int line_;
    int column_;
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
