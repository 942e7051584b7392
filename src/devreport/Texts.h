#pragma once

#include <array>

// The device reports' own texts, each defined here once (UTF-8).
namespace devreport {

// Missing data for the chosen report: shown in a message box, and no report is made.
inline constexpr const char* kNoDayDataText = "Отсутствуют суточные данные за выбранный период !";
inline constexpr const char* kNoBeginTotalsText = "Отсутствуют итоговые данные на начальную дату периода !";
inline constexpr const char* kNoEndTotalsText = "Отсутствуют итоговые данные на конечную дату периода !";
inline constexpr const char* kNoNotStaffJournalText = "Журнал НС за выбранный период отсутствует !";
inline constexpr const char* kNoOperatorJournalText = "Журнал оператора за выбранный период отсутствует !";

// A report template of the program could not be loaded (a damaged build); %1 is its name.
inline constexpr const char* kTemplateMissingText = "Не удалось загрузить шаблон отчета \"%1\"";

// A stored report setting could not be written (the settings file's folder cannot be
// written, the disk is full); %1 is the value's name. Our own text: the settings are kept in a
// file here, and a failed write must not pass unnoticed.
inline constexpr const char* kReportSetupWriteFailedText =
    "Не удалось сохранить параметр отчета \"%1\": файл настроек недоступен для записи";

// The date captions of the totals rows: the period's first day with kBeginTimeText (the totals
// at the end of the day before), its last day with kEndTimeText, then the difference.
inline constexpr const char* kCaptionDateFormat = "dd.mm.yy";
inline constexpr const char* kBeginTimeText = "   00:00";
inline constexpr const char* kEndTimeText = "   24:00";
inline constexpr const char* kPeriodTotalText = "Итого за период";

// The report builder's texts.
inline constexpr const char* kHeatReportName = "Отчет по потреблению тепловой энергии";
inline constexpr const char* kColdWaterReportName = "Отчет по потреблению хододной воды";
inline constexpr const char* kGeneralReportName = "Отчет по общим параметрам";
// The first letter of the three system names is the Latin C, as the reports always printed it.
inline constexpr const char* kHeatSystem1DataName = "Cистема теплоснабжения 1 (ТС1)";
inline constexpr const char* kHeatSystem2DataName = "Cистема теплоснабжения 2 (ТС2)";
inline constexpr const char* kColdWaterDataName = "Cистема ХВС";
inline constexpr const char* kGeneralDataName = "Общие параметры";
inline constexpr const char* kSettingsReportName = "Настроечные параметры";
inline constexpr const char* kNotStaffJournalName = "Журнал НС";
inline constexpr const char* kOperatorJournalName = "Журнал оператора";
// A report template lacks a band the report is built in; %1 the band, %2 the template.
inline constexpr const char* kBandMissingText = "В шаблоне отчета \"%2\" отсутствует бэнд \"%1\"";
// The device frame lacks a control whose text a report prints; %1 its path.
inline constexpr const char* kControlMissingText = "На странице прибора отсутствует элемент \"%1\"";

// The fields of the table data sets.
inline constexpr const char* kGroupField = "Group";
inline constexpr const char* kNotStaffField = "NS";
inline constexpr const char* kDescriptionField = "Description";
inline constexpr const char* kDateTimeField = "Дата/Время";
inline constexpr const char* kJournalNotStaffField = "НС";
inline constexpr const char* kJournalCodeField = "Код";
inline constexpr const char* kSetClearedField = "Снят / Установлен";
inline constexpr const char* kParameterField = "Параметр";
inline constexpr const char* kOldValueField = "Старое значение";
inline constexpr const char* kNewValueField = "Новое значение";

// The groups of the abnormal-situation code list.
inline constexpr const char* kHardwareGroupText = "Аппаратные НС";
inline constexpr const char* kModeFlagsGroupText = "Флаги режимов работы";
inline constexpr const char* kChannelGroupText = "Канальные НС";
inline constexpr const char* kHeatSystem1GroupText = "НС ТС1";
inline constexpr const char* kHeatSystem2GroupText = "НС ТС2";
// Between the code of a bit and its name.
inline constexpr const char* kCodeNameSeparator = " - ";

// What each abnormal-situation bit means, bit 0 first (the names are the device's).
inline constexpr std::array<const char*, 14> kHardwareDescriptions = {
    "Сбой CRC во FLASH памяти. Сбой ПО вычислителя",
    "Отказ внешней памяти",
    "Отказ внешней памяти ОЗУ",
    "Аппаратная ошибка при измерении по всем каналам. Получены некорректные ответы при обмене с АЦП во всем цикле измерения",
    "Отказ кварцевого генератора 32 кГц. Работа в аварийном режиме",
    "Не совпадает КС в основном и резервном хранилище итоговых счетчиков",
    "Не совпадает КС в основном и резервном хранилище настроечных параметров",
    "Исчерпаны попытки создания архивной записи. Архивная запись не была сформирована",
    "Зафиксировано несовпадение КС в хранилище. Данные восстановлены из резервной копии",
    "Зафиксировано несовпадение КС в хранилище. Данные восстановлены из резервной копии",
    "Пропущена одна или несколько страниц. Архивная запись сформирована",
    "Вычислитель был перезагружен по Watchdog таймеру (произошло зависание программы)",
    "Возникает при включении питания (внешнего питания или батареи)",
    "Разряд встроенного элемента питания. Напряжение < 3.1 В",
};
inline constexpr std::array<const char*, 14> kModeFlagDescriptions = {
    "Наличие напряжения на входе контроля питания UV1",
    "Наличие напряжения на входе контроля питания UV2",
    "Наличие напряжения на входе контроля питания UV3",
    "Наличие напряжения на входе контроля питания UV4",
    "Наличие напряжения на входе контроля питания UV5",
    "Наличие напряжения на входе контроля питания UV6",
    "Сигнал на дискретном входе",
    "Сигнал на дискретном выходе",
    "Прибор находится в режиме доступа ПОВЕРКА",
    "Прибор находится в режиме доступа НАСТРОЙКА",
    "Прибор находится в режиме доступа КАЛИБРОВКА",
    "Была выполнена разрешенная корректировка времени",
    "Вычислитель использует летние значения tхв, Pхв",
    "Отсутствует внешнее питание. Вычислитель находится в режим пониженного потребления",
};
inline constexpr std::array<const char*, 8> kChannelDescriptions = {
    "Отказ преобразователя расхода. Причинами отказа могут быть: обрыв линии, к/з линии, сигнал отсутствие питания ПР",
    "Отсутствие теплоносителя в трубопроводе",
    "Объемный расход в канале меньше соответствующего заданного расхода отсечки Gотс",
    "Объемный расход в канале больше соответствующего заданного расхода отсечки Gотс, но меньше соответствующего минимального значения расхода Gmin",
    "Объемный расход в канале больше соответствующего максимально допустимого значения расхода Gmax",
    "Отказ преобразователя температуры. Причинами отказа могут быть выход сопротивления ТСП за границы измеряемого диапазона, либо аппаратная ошибка АЦП",
    "",
    "Отказ преобразователя давления. Причинами отказа могут быть выход измеренного значения тока за границы измеряемого диапазона,  либо аппаратная ошибка АЦП",
};
inline constexpr std::array<const char*, 15> kHeatSystem1Descriptions = {
    "Величина тепловой энергии за час меньше 0",
    "Разница давлений между каналами (располагаемый напор) меньше наименьшего допустимого значения",
    "Разница температур между каналами меньше 0",
    "Разница температур между каналами меньше наименьшего допустимого значения t_min",
    "Отрицательный небаланс расходов теплоносителя в зоне допустимого значения. Часовой расход в обратном трубопроводе Gm2 превышает часовой расход в подающем трубопроводе Gm1, но не более допустимого значения Gm1•Kпр",
    "Отрицательный небаланс расходов теплоносителя больше допустимого значения. Часовой расход в обратном трубопроводе Gm2 превышает часовой расход в подающем трубопроводе Gm1 более допустимого значения Gm1•Kпр",
    "Положительный небаланс расходов теплоносителя в зоне допустимого значения. Часовой расход в подающем трубопроводе Gm1 превышает часовой расход в обратном трубопроводе Gm2, но не более допустимого значения Gm2•Kпр",
    "Положительный небаланс расходов теплоносителя больше допустимого значения. Часовой расход в подающем трубопроводе Gm1 превышает часовой расход в обратном трубопроводе Gm2 более допустимого значения Gm2•Kпр",
    "",
    "",
    "",
    "",
    "Отсутствие внешнего питания теплосчетчика или его компонентов",
    "Используется договорное значение тепловой мощности",
    "Накопление тепловой энергии остановлено",
};
inline constexpr std::array<const char*, 15> kHeatSystem2Descriptions = {
    "Величина тепловой энергии за час меньше 0",
    "Разница давлений между каналами (располагаемый напор) меньше наименьшего допустимого значения",
    "Разница температур между каналами меньше 0",
    "Разница температур между каналами меньше наименьшего допустимого значения t_min",
    "Отрицательный небаланс расходов теплоносителя в зоне допустимого значения. Часовой расход в обратном трубопроводе Gm4 превышает часовой расход в подающем трубопроводе Gm3, но не более допустимого значения Gm3•Kпр",
    "Отрицательный небаланс расходов теплоносителя больше допустимого значения. Часовой расход в обратном трубопроводе Gm4 превышает часовой расход в подающем трубопроводе Gm3 более допустимого значения Gm3•Kпр",
    "Положительный небаланс расходов теплоносителя в зоне допустимого значения. Часовой расход в подающем трубопроводе Gm3 превышает часовой расход в обратном трубопроводе Gm4, но не более допустимого значения Gm4•Kпр",
    "Положительный небаланс расходов теплоносителя больше допустимого значения. Часовой расход в подающем трубопроводе Gm3 превышает часовой расход в обратном трубопроводе Gm4 более допустимого значения Gm4•Kпр",
    "",
    "",
    "",
    "",
    "Отсутствие внешнего питания теплосчетчика или его компонентов",
    "Используется договорное значение тепловой мощности",
    "Накопление тепловой энергии остановлено",
};
} // namespace devreport
