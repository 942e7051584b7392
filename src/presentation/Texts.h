#pragma once

// The user texts of the presentation core, each defined here once. A "Format" is a printf
// format; its "%s" is the parameter's name (ExchangeInfo::GetName) unless said otherwise.
namespace presentation {

inline constexpr const char* kValueEmptyFormat = "Значение введено параметра \"%s\"";
inline constexpr const char* kValueOutOfRangeFormat = "Значение параметра \"%s\" выходит за диапазон %g...%g";
inline constexpr const char* kValueIncorrectFormat = "Некоректное значение параметра \"%s\"";
inline constexpr const char* kValueTooLongFormat = "Длина значения параметра \"%s\" больше %d символов";
inline constexpr const char* kIpAddressIncorrectFormat = "Введен некоректный IP адрес параметра \"%s\"";
inline constexpr const char* kValueNotChosenFormat = "Значение параметра \"%s\" не выбрано";
inline constexpr const char* kSchemeUnknownFormat = "Неизвестный номер схемы %d.%d";
inline constexpr const char* kDateTimeIncorrectFormat = "Некоректное значение \"%s\"";

// Averaging statistics in a control's hint: sample count and spread, then the maximum and
// the minimum, each formatted with the binding's own format.
inline constexpr const char* kAveragingCountSpreadFormat = "Значений - %u\nРазброс - %.2f %%\n";
inline constexpr const char* kAveragingMaximumText = "Максимальное - ";
inline constexpr const char* kAveragingMinimumText = "\nМинимальное - ";

// A binding created over a field of the wrong size (a mistake in a binding table).
inline constexpr const char* kFieldSizeFormat = "Поле параметра \"%s\": %zu байт вместо %zu";

// The LCD calibration word without its multiplier or temperature coefficient.
inline constexpr const char* kLcdCalibrationNotSetText = "Параметры калибровки ЖКИ не установлены";

// The device frame's bindings cannot be made: a control the register map names is missing or
// of another class (path; path, its class, the class needed), or a field lies outside its
// image (register).
inline constexpr const char* kControlMissingFormat = "Не найден элемент управления \"%s\"";
inline constexpr const char* kControlClassWrongFormat = "Элемент управления \"%s\" класса %s, а нужен класс %s";
inline constexpr const char* kFieldOutsideImageFormat = "Регистр %d вне образа регистров";
// A row of the register map that cannot be expanded (what is wrong, the row's control).
inline constexpr const char* kBindingTableFaultFormat = "Таблица привязок: %s (%s)";

// What an archive table's date cell shows instead of a date: a record the instrument skipped
// (bytes 0..3 all 0x00), one never written (all 0xFF), and a date that does not exist.
inline constexpr const char* kSkippedRecordText = "Пропущ.стр.";
inline constexpr const char* kEmptyRecordText = "Пуст.стр.";
inline constexpr const char* kInvalidDateText = "Некор.время";

} // namespace presentation
