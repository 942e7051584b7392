#pragma once

// The report settings dialog's texts, each defined here once (UTF-8).
namespace devreportui {

inline constexpr const char* kCaptionText = "Параметры отчета";
inline constexpr const char* kReportKindBoxText = "Тип  отчета";   // two blanks, as the dialog has always shown it
inline constexpr const char* kReportKinds[] = {"Архив за выбранный интервал", "Журнал НС", "Журнал оператора",
                                               "Настроечные параметры"};
inline constexpr const char* kReportSystems[] = {"ТС1 (Система теплоснабжения 1)", "ТС2 (Система теплоснабжения 2)",
                                                 "ХВС (Система холодного водоснабжения)", "Общие параметры"};
inline constexpr const char* kIntervalBoxText = "Интервал";
inline constexpr const char* kFromLabelText = "С";
inline constexpr const char* kToLabelText = "по";
inline constexpr const char* kWholePeriodHintText = "Весь период";
inline constexpr const char* kDataBoxText = "Данные в очете";      // as the dialog has always shown it
inline constexpr const char* kChanelMText = "Каналы массы M";
inline constexpr const char* kChanelVText = "Каналы объема V";
inline constexpr const char* kChanelPText = "Каналы давления P";
inline constexpr const char* kTotalValuesText = "Итоговые значения";
inline constexpr const char* kHourArchiveText = "Часовые значения";
inline constexpr const char* kNotStaffInfoText = "Коды НС";
inline constexpr const char* kConsumerLabelText = "Потребитель";
inline constexpr const char* kSupplierLabelText = "Поставщик";
inline constexpr const char* kSystemBoxText = "Системные НС";
inline constexpr const char* kHardwareNSText = "Аппаратные НС";
inline constexpr const char* kModeFlagsText = "Флаги режимов";
inline constexpr const char* kPageBoxText = "Параметры страницы";
inline constexpr const char* kOrientationLabelText = "Ориентация листа";
inline constexpr const char* kOrientations[] = {"Портретная", "Альбомная"};
inline constexpr const char* kPrintOnPreviousPageText = "Продолжать отчет на предыдущей странице";
inline constexpr const char* kOkText = "OK";
inline constexpr const char* kCancelText = "Отмена";
// The font the dialog is laid out for; the report font resolver finds its installed stand-in.
inline constexpr const char* kFontNameText = "Tahoma";

} // namespace devreportui
