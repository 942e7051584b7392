#pragma once

// The user texts of the presentation core, each a printf format; "%s" is the parameter's
// name (ExchangeInfo::GetName).
namespace presentation_texts {

inline constexpr char kValueEmpty[] = "Значение введено параметра \"%s\"";
inline constexpr char kValueOutOfRange[] = "Значение параметра \"%s\" выходит за диапазон %g...%g";
inline constexpr char kValueIncorrect[] = "Некоректное значение параметра \"%s\"";
inline constexpr char kValueTooLong[] = "Длина значения параметра \"%s\" больше %d символов";
inline constexpr char kIpAddressIncorrect[] = "Введен некоректный IP адрес параметра \"%s\"";
inline constexpr char kValueNotChosen[] = "Значение параметра \"%s\" не выбрано";
inline constexpr char kSchemeUnknown[] = "Неизвестный номер схемы %d.%d";
inline constexpr char kDateTimeIncorrect[] = "Некоректное значение \"%s\"";

// Averaging statistics in a control's hint: sample count and spread, then the maximum and
// the minimum, each formatted with the binding's own format.
inline constexpr char kAveragingCountSpread[] = "Значений - %u\nРазброс - %.2f %%\n";
inline constexpr char kAveragingMaximum[] = "Максимальное - ";
inline constexpr char kAveragingMinimum[] = "\nМинимальное - ";

// A binding created over a field of the wrong size (a mistake in a binding table).
inline constexpr char kFieldSize[] = "Поле параметра \"%s\": %zu байт вместо %zu";

// The LCD calibration word without its multiplier or temperature coefficient.
inline constexpr char kLcdCalibrationNotSet[] = "Параметры калибровки ЖКИ не установлены";

// The device frame's bindings cannot be made: a control the register map names is missing or
// of another class (path; path, its class, the class needed), or a field lies outside its
// image (register).
inline constexpr char kControlMissing[] = "Не найден элемент управления \"%s\"";
inline constexpr char kControlClassWrong[] = "Элемент управления \"%s\" класса %s, а нужен класс %s";
inline constexpr char kFieldOutsideImage[] = "Регистр %d вне образа регистров";
// A row of the register map that cannot be expanded (what is wrong, the row's control).
inline constexpr char kBindingTableFault[] = "Таблица привязок: %s (%s)";

// What an archive table's date cell shows instead of a date: a record the instrument skipped
// (bytes 0..3 all 0x00), one never written (all 0xFF), and a date that does not exist.
inline constexpr char kSkippedRecord[] = "Пропущ.стр.";
inline constexpr char kEmptyRecord[] = "Пуст.стр.";
inline constexpr char kInvalidDate[] = "Некор.время";

} // namespace presentation_texts
