#include "Exceptions.h"

#include <cstring>

namespace platform {

std::string SystemErrorText(int errorCode)
{
    char buffer[256] = {};
    // GNU strerror_r returns a pointer that may or may not be the buffer.
    const char* text = strerror_r(errorCode, buffer, sizeof buffer);
    return text ? std::string(text) : std::string();
}

std::string CurrentExceptionMessage()
{
    try {
        throw;
    } catch (const std::exception& e) {
        return e.what();
    } catch (const std::string& text) {
        return text;
    } catch (const char* text) {
        return text ? std::string(text) : std::string();
    } catch (...) {
        return {};
    }
}

void RethrowAsException()
{
    try {
        throw;
    } catch (const Exception&) {
        throw;
    } catch (...) {
        throw Exception(CurrentExceptionMessage());
    }
}

} // namespace platform

win_error::win_error(int errorCode)
    : platform::EOSError(errorCode, "System Error.  Code: " + std::to_string(errorCode) + ".\r\n" +
                                        platform::SystemErrorText(errorCode))
{
}
