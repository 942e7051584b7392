#pragma once

// The texts the device frame prints or shows about its exchanges with the instrument, each
// defined here once. A "Format" is a printf format for FormatText.
namespace app_texts {

// Read all and write all
inline constexpr const char* kReadAllCaption = "Считывание данных";
inline constexpr const char* kWriteAllCaption = "Запись данных";
inline constexpr const char* kAllWrittenText = "Все выбранные параметры установлены";

// The archive clear button of the settings page and what its writes report.
inline constexpr const char* kClearArchiveCaption = "Очистить";
inline constexpr const char* kCancelClearCaption = "Отменить";
inline constexpr const char* kClearActivatedText = "Очистка архива активирована";
inline constexpr const char* kClearCancelledText = "Очистка архива отменена";

// Diagnostics of the measuring channels. The instrument's own reference code of 0 and a code
// far beyond any temperature are faults of the instrument's data, not of the program.
inline constexpr const char* kZeroCpuReferenceText =
    "Температура процессора не вычислена: опорный код (регистр 30477) равен 0";
inline constexpr const char* kDiagnosticRangeText = "Значение диагностики вне допустимого диапазона";

// Unit captions: energy in Gcal or GJ, pressure in MPa or kgf/cm².
inline constexpr const char* kGcal = "Гкал";
inline constexpr const char* kGJ = "ГДж";
inline constexpr const char* kMPa = "МПа";
inline constexpr const char* kKgf = "кгс/см²";

} // namespace app_texts
