#pragma once

#include <cstdio>
#include <string>
#include <type_traits>

namespace platform {

// printf-style formatting for the platform layer's texts, with integer and text arguments
// only: those conversions never depend on the locale (the configurator's full formatter, with
// floating values, is FormatText of comm). A failure gives an empty text.
template <typename... Args>
    requires((std::is_integral_v<Args> || std::is_same_v<Args, const char*>) && ...)
std::string Format(const char* format, Args... args)
{
    const int needed = std::snprintf(nullptr, 0, format, args...);
    if (needed <= 0)
        return {};
    std::string text(static_cast<size_t>(needed) + 1, '\0');
    if (std::snprintf(text.data(), text.size(), format, args...) < 0)
        return {};
    text.resize(static_cast<size_t>(needed));
    return text;
}

} // namespace platform
