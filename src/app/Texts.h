#pragma once

#include <cstddef>

// The texts the device frame prints or shows about its exchanges with the instrument, each
// defined here once. A "Format" is a printf format for FormatText.
namespace app {

// Read all and write all
inline constexpr const char* kReadAllText = "Считывание данных";
inline constexpr const char* kWriteAllText = "Запись данных";
inline constexpr const char* kAllWrittenText = "Все выбранные параметры установлены";

// The archive clear button of the settings page and what its writes report.
inline constexpr const char* kClearArchiveText = "Очистить";
inline constexpr const char* kCancelClearText = "Отменить";
inline constexpr const char* kClearActivatedText = "Очистка архива активирована";
inline constexpr const char* kClearCancelledText = "Очистка архива отменена";

// Diagnostics of the measuring channels. The instrument's own reference code of 0 and a code
// far beyond any temperature are faults of the instrument's data, not of the program.
inline constexpr const char* kZeroCpuReferenceText =
    "Температура процессора не вычислена: опорный код (регистр 30477) равен 0";
inline constexpr const char* kDiagnosticRangeText = "Значение диагностики вне допустимого диапазона";

// Unit captions: energy in Gcal or GJ, pressure in MPa or kgf/cm².
inline constexpr const char* kGcalText = "Гкал";
inline constexpr const char* kGJText = "ГДж";
inline constexpr const char* kMPaText = "МПа";
inline constexpr const char* kKgfText = "кгс/см²";

// Data and configuration files: the file dialogs' filters and suffixes, and what the file
// commands ask and print. Formats take the file's full name.
inline constexpr const char* kDataFileFilterText = "Файл данных (*.daxdat);;Все файлы (*)";
inline constexpr const char* kDataFileSuffixText = "daxdat";
inline constexpr const char* kConfigFileFilterText = "Файл конфигурации (*.zivaze);;Все файлы (*)";
inline constexpr const char* kConfigFileSuffixText = "zivaze";
inline constexpr const char* kAttentionText = "Внимание";
inline constexpr const char* kAutoRequestOnLoadText =
    "При включенном режиме автозапроса\r\nзагруженные данные могут быть искажены.\r\n\r\n"
    "Отключить режим автозапроса ?";
inline constexpr const char* kFileLoadedFormat = "Файл %s загружен";
inline constexpr const char* kFileSavedFormat = "Файл %s сохранен";
inline constexpr const char* kConfigSavedFormat = "Файл конфигурации %s сохранен";
inline constexpr size_t kMaxConfigBaseName = 14; // bytes of the base name in Windows-1251
inline constexpr const char* kConfigNameTooLongText = "Имя файла конфигурации должно иметь длину не более 14 символов";
// A read all that ends after a load would replace what was loaded.
inline constexpr const char* kOpenDuringReadAllText = "Идет считывание параметров: файл данных не открыт";
// A load during write all would put values nobody validated into what the pages show.
inline constexpr const char* kOpenDuringWriteAllText = "Идет запись параметров: файл данных не открыт";
// While read all runs the images are half new and the records old: no state to save.
inline constexpr const char* kSaveDuringReadAllText = "Идет считывание параметров: файл данных не сохранен";
// After a read all that failed or was stopped the images are new and the records old.
inline constexpr const char* kSaveAfterUnfinishedReadAllText =
    "Считывание параметров не завершено: файл данных не сохранен";

} // namespace app
