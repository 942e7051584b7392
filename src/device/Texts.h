#pragma once

#include <array>

// The texts the device core shows, prints or fails with, each defined here once (the channels'
// own texts are in comm/Texts.h). A "Format" is a printf format for FormatText; its values
// come in the order written beside it. Arrays of seven follow the record types of the page
// request: hour, day, month, total day and total month archive, abnormal-situation and
// operator journal.
namespace dax_namespace {

// Exchanges with the instrument
inline constexpr const char* kInvalidAnswerText = "Недопустимый ответ от прибора";
inline constexpr const char* kCrcErrorText = "Ошибка CRC в ответе прибора";
inline constexpr const char* kArchiveLengthText = "Неверная длина ответа архивных данных";
// Printed by the identification; the second also ends it when it refuses the instrument.
inline constexpr const char* kUnknownModificationText = "Неизвестная модификация прибора";
inline constexpr const char* kUnknownVersionText = "Неизвестная версия прибора";

// Data and configuration files
inline constexpr const char* kBadHeaderText = "Неправильный заголовок файла";
inline constexpr const char* kBadFileVersionText = "Неизвестная версия файла";
inline constexpr const char* kBadDataLengthText = "Неверная длина данных в файле";
inline constexpr const char* kBadIdentificationText = "Неизвестный формат идентификационных параметров";
inline constexpr const char* kRepeatedSectionText = "Повторяющийся раздел в файле";
inline constexpr const char* kTooManyRecordsText = "Слишком много записей для сохранения в файле";
inline constexpr const char* kConfigBlockTooLongText = "Блок конфигурации не помещается в кадр записи";
// Warnings of a data file that loads nonetheless.
inline constexpr const char* kUnknownSectionFormat = "Пропущен раздел неизвестного типа %u (%u байт)"; // type, size
inline constexpr const char* kShortInputImageText = "Не полные данные текущих параметров";
inline constexpr const char* kShortHoldingImageText = "Не полные данные настроечных параметров";
inline constexpr std::array<const char*, 7> kWrongRecordSizeTexts = {
    "Неправильная длина страницы часового архива",
    "Неправильная длина страницы суточного архива",
    "Неправильная длина страницы месячного архива",
    "Неправильная длина страницы итогового суточного архива",
    "Неправильная длина страницы итогового месячного архива",
    "Неправильная длина страницы журнала НС",
    "Неправильная длина страницы журнала оператора",
};

// Background operations
inline constexpr const char* kIdentificationRefusedText = "Прибор не опознан: неизвестная версия прибора";
inline constexpr const char* kReadRefusedFormat = "Недопустимый блок регистров для чтения: %d, количество %d"; // first, count
inline constexpr const char* kWriteRefusedFormat = "Недопустимый блок регистров для записи: %d, количество %d"; // first, count
// Name of the archive or journal, First, Next, Highest.
inline constexpr const char* kRingPointersFormat = "Неверные указатели записей (%s): первая %u, следующая %u, наибольшая %u";
inline constexpr const char* kProcessPoolFullText = "Слишком много выполняемых процессов. Операция не запущена";
// Status texts of read-all and write-all.
inline constexpr const char* kIdentifyStatusText = "Определение модификация прибора";
inline constexpr const char* kReadInputStatusText = "Чтение текущих параметров";
inline constexpr const char* kReadHoldingStatusText = "Чтение настроечных параметров";
inline constexpr const char* kWriteStatusText = "Запись параметров";
inline constexpr std::array<const char*, 7> kReadRecordsStatusTexts = {
    "Чтение часового архива",
    "Чтение суточного архива",
    "Чтение месячного архива",
    "Чтение итогового суточного архива",
    "Чтение итогового месячного архива",
    "Чтение журнала НС",
    "Чтение журнала оператора",
};
// The names the read-all dialog shows.
inline constexpr std::array<const char*, 7> kRecordTypeNames = {
    "Часовой архив",
    "Суточный архив",
    "Месячный архив",
    "Итоговый суточный архив",
    "Итоговый месячный архив",
    "Журнал НС",
    "Журнал оператора",
};

// The configuration groups 0 to 19 as the write-all and configuration-file dialogs list them.
inline constexpr std::array<const char*, 20> kConfigGroupNames = {
    "Общие параметры",
    "Конфигурация ТС1",
    "Реакции ТС1",
    "Конфигурация ТС2",
    "Реакции ТС2",
    "Конфигурация ХВС",
    "Каналы V",
    "Фильтр расхода",
    "Каналы t,P",
    "Входы/Выход",
    "Интерфейсы.ЖКИ",
    "Интерфейсы.Порт 1",
    "Интерфейсы.Порт 2",
    "Интерфейсы.SMS",
    "Входящий звонок",
    "Интернет (GPRS)",
    "Конфигурация сигналов",
    "Конфигурация событий",
    "Установка пароля",
    "Ввод пароля",
};

// Records
inline constexpr const char* kRecordFieldFormat =
    "Поле записи со смещением %zu и длиной %zu выходит за пределы записи длиной %zu байт"; // offset, width, size
inline constexpr const char* kRecordFieldNumberFormat = "Номер поля записи %zu вне диапазона 1..%zu"; // number, count
inline constexpr const char* kSkippedPageText = "Пропущ.страница";
inline constexpr const char* kEmptyPageText = "Пустая страница";
inline constexpr const char* kIncorrectTimeText = "Некоректное время";

// Schemes
inline constexpr const char* kUnknownFormulaFormat = "Неизвестная формула расчета тепловой энергии %u"; // formula
inline constexpr const char* kShortImagesText = "Недостаточный размер образа регистров прибора";
// Shown below the formula of a scheme with a hot-water part.
inline constexpr const char* kHotWaterFormulaText = "Qо = Q - Qгвс     Qгвс = M5(h5-hх)";

// Journals
inline constexpr const char* kFlagSetText = "Установлен(а)";
inline constexpr const char* kFlagClearedText = "Снят(а)";
inline constexpr const char* kNoDataText = "xxxx";
inline constexpr const char* kYesText = "Да";
inline constexpr const char* kNoText = "Нет";
inline constexpr const char* kTemperatureFormat = "%.2f (°C)";      // degrees
inline constexpr const char* kPressureKgfFormat = "%.3f (кгс/см2)"; // kgf/cm2
inline constexpr const char* kPressureMpaFormat = "%.4f (МПа)";     // MPa
inline constexpr const char* kGigajouleSuffix = " (ГДж)";
inline constexpr const char* kGigacalorieSuffix = " (Гкал)";
inline constexpr const char* kUnnamedParameterFormat = "Параметр %d"; // parameter id

} // namespace dax_namespace
