#pragma once

// The report settings dialog's texts, each defined here once (UTF-8).
namespace devreportui {

inline constexpr const char* kCaption = "Параметры отчета";
inline constexpr const char* kReportKindBox = "Тип  отчета";   // two blanks, as the dialog has always shown it
inline constexpr const char* kReportKinds[] = {"Архив за выбранный интервал", "Журнал НС", "Журнал оператора",
                                               "Настроечные параметры"};
inline constexpr const char* kReportSystems[] = {"ТС1 (Система теплоснабжения 1)", "ТС2 (Система теплоснабжения 2)",
                                                 "ХВС (Система холодного водоснабжения)", "Общие параметры"};
inline constexpr const char* kIntervalBox = "Интервал";
inline constexpr const char* kFromLabel = "С";
inline constexpr const char* kToLabel = "по";
inline constexpr const char* kWholePeriodHint = "Весь период";
inline constexpr const char* kDataBox = "Данные в очете";      // as the dialog has always shown it
inline constexpr const char* kChanelM = "Каналы массы M";
inline constexpr const char* kChanelV = "Каналы объема V";
inline constexpr const char* kChanelP = "Каналы давления P";
inline constexpr const char* kTotalValues = "Итоговые значения";
inline constexpr const char* kHourArchive = "Часовые значения";
inline constexpr const char* kNotStaffInfo = "Коды НС";
inline constexpr const char* kConsumerLabel = "Потребитель";
inline constexpr const char* kSupplierLabel = "Поставщик";
inline constexpr const char* kSystemBox = "Системные НС";
inline constexpr const char* kHardwareNS = "Аппаратные НС";
inline constexpr const char* kModeFlags = "Флаги режимов";
inline constexpr const char* kPageBox = "Параметры страницы";
inline constexpr const char* kOrientationLabel = "Ориентация листа";
inline constexpr const char* kOrientations[] = {"Портретная", "Альбомная"};
inline constexpr const char* kPrintOnPreviousPage = "Продолжать отчет на предыдущей странице";
inline constexpr const char* kOk = "OK";
inline constexpr const char* kCancel = "Отмена";
// The font the dialog is laid out for; the report font resolver finds its installed stand-in.
inline constexpr const char* kFontName = "Tahoma";

} // namespace devreportui
