#pragma once

// The texts the platform layer shows the user, each defined here once. Formats take their
// values in the order written (see FormatIntegers).
namespace platform {

inline constexpr const char* kFieldOutsideDataFormat =
    "Поле данных со смещением %zu и длиной %zu выходит за пределы данных длиной %zu байт";
inline constexpr const char* kInvalidDateFormat = "Некорректная дата %02d.%02d.%d";   // day, month, year
inline constexpr const char* kInvalidTimeFormat = "Некорректное время %02d:%02d:%02d"; // hour, minute, second

// Serial ports
inline constexpr const char* kComPortNotOpenText = "COM-порт не открыт";
inline constexpr const char* kNoAnswerText = "Прибор не отвечает";
inline constexpr const char* kComPortLostText = "COM-порт отключен";   // the device went away

// Files
inline constexpr const char* kNotRegularFileText = "Файл не является обычным файлом";   // a pipe, a device

} // namespace platform
