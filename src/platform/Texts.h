#pragma once

// The texts the platform layer shows the user, each defined here once. Formats take their
// values in the order written (see Format).
namespace platform {

// Serial ports
inline constexpr const char* kComPortNotOpenText = "COM-порт не открыт";
inline constexpr const char* kNoAnswerText = "Прибор не отвечает";
inline constexpr const char* kComPortLostText = "COM-порт отключен";
inline constexpr const char* kBadPortSpeedFormat =
    "Недопустимая скорость порта: %d (допустимы 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200)"; // baud

// Sockets: the errno value and the system's text for it (empty when it has none).
inline constexpr const char* kSocketErrorFormat = "Ошибка - %d \"%s\"";

// Files
inline constexpr const char* kNotRegularFileText = "Файл не является обычным файлом";

// Records and dates

inline constexpr const char* kFieldOutsideDataFormat =
    "Поле данных со смещением %zu и длиной %zu выходит за пределы данных длиной %zu байт";
inline constexpr const char* kInvalidDateFormat = "Некорректная дата %02d.%02d.%d";   // day, month, year
inline constexpr const char* kInvalidTimeFormat = "Некорректное время %02d:%02d:%02d"; // hour, minute, second

} // namespace platform
