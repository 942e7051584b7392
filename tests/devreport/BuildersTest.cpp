#include "RecordBuilders.h"

#include "devreport/DaxReportSetupFrame.h"

#include <gtest/gtest.h>

#include <bit>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace {

struct CodeRow {
    const char* Group;
    const char* Code;
    const char* Description;
};

// Every row of the code list when every bit is set, as the report lists them.
const CodeRow kAllCodeRows[] = {
    {"Аппаратные НС", "1 - Сбой КС ПО", "Сбой CRC во FLASH памяти. Сбой ПО вычислителя"},
    {"Аппаратные НС", "2 - Отказ DATAFLASH", "Отказ внешней памяти"},
    {"Аппаратные НС", "3 - Отказ SRAM", "Отказ внешней памяти ОЗУ"},
    {"Аппаратные НС", "4 - Отказ АЦП", "Аппаратная ошибка при измерении по всем каналам. Получены некорректные ответы при обмене с АЦП во всем цикле измерения"},
    {"Аппаратные НС", "5 - Отказ RTC", "Отказ кварцевого генератора 32 кГц. Работа в аварийном режиме"},
    {"Аппаратные НС", "6 - Сбой итоговых счетчиков", "Не совпадает КС в основном и резервном хранилище итоговых счетчиков"},
    {"Аппаратные НС", "7 - Сбой настроечных параметров", "Не совпадает КС в основном и резервном хранилище настроечных параметров"},
    {"Аппаратные НС", "8 - Сбой при создании архивной записи", "Исчерпаны попытки создания архивной записи. Архивная запись не была сформирована"},
    {"Аппаратные НС", "9 - Восстановление итоговых счетчиков", "Зафиксировано несовпадение КС в хранилище. Данные восстановлены из резервной копии"},
    {"Аппаратные НС", "A - Восстановление настроечных параметров", "Зафиксировано несовпадение КС в хранилище. Данные восстановлены из резервной копии"},
    {"Аппаратные НС", "B - Пропуск страницы архива", "Пропущена одна или несколько страниц. Архивная запись сформирована"},
    {"Аппаратные НС", "C - Системный сброс", "Вычислитель был перезагружен по Watchdog таймеру (произошло зависание программы)"},
    {"Аппаратные НС", "D - Сброс по питанию", "Возникает при включении питания (внешнего питания или батареи)"},
    {"Аппаратные НС", "E - Разряд батареи", "Разряд встроенного элемента питания. Напряжение < 3.1 В"},
    {"Флаги режимов работы", "1 - Сигнал на входе UV1", "Наличие напряжения на входе контроля питания UV1"},
    {"Флаги режимов работы", "2 - Сигнал на входе UV2", "Наличие напряжения на входе контроля питания UV2"},
    {"Флаги режимов работы", "3 - Сигнал на входе UV3", "Наличие напряжения на входе контроля питания UV3"},
    {"Флаги режимов работы", "4 - Сигнал на входе UV4", "Наличие напряжения на входе контроля питания UV4"},
    {"Флаги режимов работы", "5 - Сигнал на входе UV5", "Наличие напряжения на входе контроля питания UV5"},
    {"Флаги режимов работы", "6 - Сигнал на входе UV6", "Наличие напряжения на входе контроля питания UV6"},
    {"Флаги режимов работы", "7 - Сигнал на входе IN", "Сигнал на дискретном входе"},
    {"Флаги режимов работы", "8 - Сигнал на выходе OUT", "Сигнал на дискретном выходе"},
    {"Флаги режимов работы", "9 - Режим ПОВЕРКА", "Прибор находится в режиме доступа ПОВЕРКА"},
    {"Флаги режимов работы", "A - Режим НАСТРОЙКА", "Прибор находится в режиме доступа НАСТРОЙКА"},
    {"Флаги режимов работы", "B - Режим КАЛИБРОВКА", "Прибор находится в режиме доступа КАЛИБРОВКА"},
    {"Флаги режимов работы", "C - Коррекция времени", "Была выполнена разрешенная корректировка времени"},
    {"Флаги режимов работы", "D - Летний период", "Вычислитель использует летние значения tхв, Pхв"},
    {"Флаги режимов работы", "E - Автономный режим", "Отсутствует внешнее питание. Вычислитель находится в режим пониженного потребления"},
    {"Канальные НС", "1 - Отказ ПР", "Отказ преобразователя расхода. Причинами отказа могут быть: обрыв линии, к/з линии, сигнал отсутствие питания ПР"},
    {"Канальные НС", "2 - Пустая труба", "Отсутствие теплоносителя в трубопроводе"},
    {"Канальные НС", "3 - Gv < G_отc", "Объемный расход в канале меньше соответствующего заданного расхода отсечки Gотс"},
    {"Канальные НС", "4 - Gотc < Gv < Gmin", "Объемный расход в канале больше соответствующего заданного расхода отсечки Gотс, но меньше соответствующего минимального значения расхода Gmin"},
    {"Канальные НС", "5 - Gv > G_max", "Объемный расход в канале больше соответствующего максимально допустимого значения расхода Gmax"},
    {"Канальные НС", "6 - Отказ ПТ", "Отказ преобразователя температуры. Причинами отказа могут быть выход сопротивления ТСП за границы измеряемого диапазона, либо аппаратная ошибка АЦП"},
    {"Канальные НС", "7 - t < t_min, t > t_max", ""},
    {"Канальные НС", "8 - Отказ ПД", "Отказ преобразователя давления. Причинами отказа могут быть выход измеренного значения тока за границы измеряемого диапазона,  либо аппаратная ошибка АЦП"},
    {"НС ТС1", "1 - Q1 < 0", "Величина тепловой энергии за час меньше 0"},
    {"НС ТС1", "2 - dP < dP_min", "Разница давлений между каналами (располагаемый напор) меньше наименьшего допустимого значения"},
    {"НС ТС1", "3 - dt < 0", "Разница температур между каналами меньше 0"},
    {"НС ТС1", "4 - dt < dt_min", "Разница температур между каналами меньше наименьшего допустимого значения t_min"},
    {"НС ТС1", "5 - G1*Kпр >= G2 > G1", "Отрицательный небаланс расходов теплоносителя в зоне допустимого значения. Часовой расход в обратном трубопроводе Gm2 превышает часовой расход в подающем трубопроводе Gm1, но не более допустимого значения Gm1•Kпр"},
    {"НС ТС1", "6 - G2 > G1*Kпр", "Отрицательный небаланс расходов теплоносителя больше допустимого значения. Часовой расход в обратном трубопроводе Gm2 превышает часовой расход в подающем трубопроводе Gm1 более допустимого значения Gm1•Kпр"},
    {"НС ТС1", "7 - G2*Kпр >= G1>G2", "Положительный небаланс расходов теплоносителя в зоне допустимого значения. Часовой расход в подающем трубопроводе Gm1 превышает часовой расход в обратном трубопроводе Gm2, но не более допустимого значения Gm2•Kпр"},
    {"НС ТС1", "8 - G1 > G2*Kпр", "Положительный небаланс расходов теплоносителя больше допустимого значения. Часовой расход в подающем трубопроводе Gm1 превышает часовой расход в обратном трубопроводе Gm2 более допустимого значения Gm2•Kпр"},
    {"НС ТС1", "9 - ", ""},
    {"НС ТС1", "A - ", ""},
    {"НС ТС1", "B - ", ""},
    {"НС ТС1", "C - ", ""},
    {"НС ТС1", "D - Отсутствие питания", "Отсутствие внешнего питания теплосчетчика или его компонентов"},
    {"НС ТС1", "E - W = W_дог", "Используется договорное значение тепловой мощности"},
    {"НС ТС1", "F - Останов ТС", "Накопление тепловой энергии остановлено"},
    {"НС ТС2", "1 - Q2 < 0", "Величина тепловой энергии за час меньше 0"},
    {"НС ТС2", "2 - dP < dP_min", "Разница давлений между каналами (располагаемый напор) меньше наименьшего допустимого значения"},
    {"НС ТС2", "3 - dt < 0", "Разница температур между каналами меньше 0"},
    {"НС ТС2", "4 - dt < dt_min", "Разница температур между каналами меньше наименьшего допустимого значения t_min"},
    {"НС ТС2", "5 - G3*Kпр >= G4 > G3", "Отрицательный небаланс расходов теплоносителя в зоне допустимого значения. Часовой расход в обратном трубопроводе Gm4 превышает часовой расход в подающем трубопроводе Gm3, но не более допустимого значения Gm3•Kпр"},
    {"НС ТС2", "6 - G4 > G3*Kпр", "Отрицательный небаланс расходов теплоносителя больше допустимого значения. Часовой расход в обратном трубопроводе Gm4 превышает часовой расход в подающем трубопроводе Gm3 более допустимого значения Gm3•Kпр"},
    {"НС ТС2", "7 - G4*Kпр >= G3>G4", "Положительный небаланс расходов теплоносителя в зоне допустимого значения. Часовой расход в подающем трубопроводе Gm3 превышает часовой расход в обратном трубопроводе Gm4, но не более допустимого значения Gm4•Kпр"},
    {"НС ТС2", "8 - G3 > G4*Kпр", "Положительный небаланс расходов теплоносителя больше допустимого значения. Часовой расход в подающем трубопроводе Gm3 превышает часовой расход в обратном трубопроводе Gm4 более допустимого значения Gm4•Kпр"},
    {"НС ТС2", "9 - ", ""},
    {"НС ТС2", "A - ", ""},
    {"НС ТС2", "B - ", ""},
    {"НС ТС2", "C - ", ""},
    {"НС ТС2", "D - Отсутствие питания", "Отсутствие внешнего питания теплосчетчика или его компонентов"},
    {"НС ТС2", "E - W = W_дог", "Используется договорное значение тепловой мощности"},
    {"НС ТС2", "F - Останов ТС", "Накопление тепловой энергии остановлено"},
};
// The day schema of a report with the named columns.
void ShowDayColumns(TReportData& data, std::initializer_list<const char*> names)
{
    data.ArchiveColumns[ReportDataSetTag::Day].Clear();
    data.ArchiveColumns[ReportDataSetTag::Day].Add(std::make_unique<ArchiveTableExchangeItem>("Date"));
    for (const char* name : names)
        data.ArchiveColumns[ReportDataSetTag::Day].Add(std::make_unique<ArchiveTableExchangeItem>(name));
}

const std::initializer_list<const char*> kEveryGroupColumn = {
    "hardwareNotStaff", "modeFlags", "chanelNS1", "chanelNS2", "chanelNS3",
    "chanelNS4",        "chanelNS5", "chanelNS6", "NS_TS1",    "NS_TS2"};

std::vector<std::vector<QString>> Rows(const TSimpleBase& table)
{
    std::vector<std::vector<QString>> rows;
    for (const TSimpleRecord& record : table.Records)
        rows.push_back(record.Cells);
    return rows;
}

std::vector<QString> Row(const char* group, const char* code, const char* description)
{
    return {QString::fromUtf8(group), QString::fromUtf8(code), QString::fromUtf8(description)};
}

TEST(NotStaffCodes, EveryBitOfEveryGroupInOrder)
{
    TReportData data;
    ShowDayColumns(data, kEveryGroupColumn);
    data.HardwareNotStaff = 0xFFFF; // bits 14 and 15 are not listed
    data.ModeFlags = 0xFFFF;
    data.ChanelNotStaff = {0x0F, 0, 0, 0, 0, 0xF0};
    data.HeatSystem1NotStaff = 0xFFFF;
    data.HeatSystem2NotStaff = 0x7FFF;
    BuildNotStaffDataSet(data);
    const TSimpleBase& table = data.NotStaffDataSet->Table;
    ASSERT_EQ(table.FieldCount(), 3);
    EXPECT_EQ(table.FieldName(0), QStringLiteral("Group"));
    EXPECT_EQ(table.FieldWidth(0), 200);
    EXPECT_EQ(table.FieldAlign(0), 2);
    EXPECT_EQ(table.FieldName(1), QStringLiteral("NS"));
    EXPECT_EQ(table.FieldWidth(1), 200);
    EXPECT_EQ(table.FieldAlign(1), 0);
    EXPECT_EQ(table.FieldName(2), QStringLiteral("Description"));
    EXPECT_EQ(table.FieldWidth(2), 500);
    EXPECT_EQ(table.FieldAlign(2), 0);
    std::vector<std::vector<QString>> expected;
    for (const CodeRow& row : kAllCodeRows)
        expected.push_back(Row(row.Group, row.Code, row.Description));
    const auto rows = Rows(table);
    ASSERT_EQ(rows.size(), expected.size());
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i], expected[i]) << "row " << i;
}

TEST(NotStaffCodes, NoBitGivesNoRow)
{
    TReportData data;
    ShowDayColumns(data, kEveryGroupColumn);
    BuildNotStaffDataSet(data);
    EXPECT_EQ(data.NotStaffDataSet->Table.RecordCount(), 0);
    EXPECT_EQ(data.NotStaffDataSet->Table.FieldCount(), 3);
}

TEST(NotStaffCodes, AGroupIsListedOnlyWithItsDayColumn)
{
    TReportData data;
    ShowDayColumns(data, {"modeFlags", "chanelNS2"});
    data.HardwareNotStaff = 0x0001;
    data.ModeFlags = 0x0800;
    data.ChanelNotStaff = {0x01, 0x02, 0, 0, 0, 0};
    data.HeatSystem1NotStaff = 0x0001;
    data.HeatSystem2NotStaff = 0x0001;
    BuildNotStaffDataSet(data);
    const std::vector<std::vector<QString>> expected = {
        Row("Флаги режимов работы", "C - Коррекция времени", "Была выполнена разрешенная корректировка времени"),
        // Channel 1's bit 0 belongs to a hidden channel.
        Row("Канальные НС", "2 - Пустая труба", "Отсутствие теплоносителя в трубопроводе"),
    };
    EXPECT_EQ(Rows(data.NotStaffDataSet->Table), expected);
}

TEST(NotStaffCodes, AnUnnamedHeatSystemBitGivesItsCodeAlone)
{
    TReportData data;
    ShowDayColumns(data, {"NS_TS2"});
    data.HeatSystem2NotStaff = 1u << 8;
    BuildNotStaffDataSet(data);
    EXPECT_EQ(Rows(data.NotStaffDataSet->Table), (std::vector<std::vector<QString>>{Row("НС ТС2", "9 - ", "")}));
}

TEST(NotStaffCodes, EachBuildReplacesTheTable)
{
    TReportData data;
    ShowDayColumns(data, {"hardwareNotStaff"});
    data.HardwareNotStaff = 0x0003;
    BuildNotStaffDataSet(data);
    data.HardwareNotStaff = 0x0001;
    BuildNotStaffDataSet(data);
    EXPECT_EQ(data.NotStaffDataSet->Table.RecordCount(), 1);
    EXPECT_EQ(data.NotStaffDataSet->Table.FieldCount(), 3);
}

TEST(JournalRows, ARecordChangingThreeFlagsGivesThreeRowsInOrder)
{
    TReportData data;
    BuildNotStaffJournalDataSet(data, {testsupport::Journal({24, 5, 7, 14, 7, 9}, 6, 0x1000, 0x0005),
                                       testsupport::FilledJournal(0xFF),
                                       testsupport::Journal({24, 5, 8, 1, 2, 3}, 0, 0, 0x01)});
    const TSimpleBase& table = data.InfoDataSet->Table;
    ASSERT_EQ(table.FieldCount(), 4);
    const std::vector<std::pair<QString, int32_t>> fields = {{QStringLiteral("Дата/Время"), 135},
                                                             {QStringLiteral("НС"), 100},
                                                             {QStringLiteral("Код"), 300},
                                                             {QStringLiteral("Снят / Установлен"), 150}};
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(table.FieldName(i), fields[static_cast<size_t>(i)].first);
        EXPECT_EQ(table.FieldWidth(i), fields[static_cast<size_t>(i)].second);
        EXPECT_EQ(table.FieldAlign(i), i == 2 ? 0 : 2);
    }
    const std::vector<std::vector<QString>> expected = {
        {QStringLiteral("07/05/24 14:07:09"), QStringLiteral("НС ТС1"), QStringLiteral("[1] Q1 < 0"),
         QStringLiteral("Установлен(а)")},
        {QStringLiteral("07/05/24 14:07:09"), QStringLiteral("НС ТС1"), QStringLiteral("[3] dt < 0"),
         QStringLiteral("Установлен(а)")},
        {QStringLiteral("07/05/24 14:07:09"), QStringLiteral("НС ТС1"), QStringLiteral("[D] Отсутствие питания"),
         QStringLiteral("Снят(а)")},
        {QStringLiteral("08/05/24 01:02:03"), QStringLiteral("Кан.НС1"), QStringLiteral("[1] Отказ ПР"),
         QStringLiteral("Установлен(а)")},
    };
    EXPECT_EQ(Rows(table), expected);
}

TEST(JournalRows, OperatorRowsTakeTheHeatUnitAndInheritNothing)
{
    TReportData data;
    BuildOperatorJournalDataSet(
        data,
        {testsupport::Journal({24, 5, 7, 14, 7, 9}, 8 << 12 | 544, std::bit_cast<uint32_t>(2.5f),
                              std::bit_cast<uint32_t>(3.0f)),
         testsupport::FilledJournal(0xFF), testsupport::Journal({24, 5, 9, 8, 0, 0}, 2 << 12 | 3, 0, 1)},
        1, 0, 0);
    const TSimpleBase& table = data.InfoDataSet->Table;
    ASSERT_EQ(table.FieldCount(), 4);
    EXPECT_EQ(table.FieldName(1), QStringLiteral("Параметр"));
    EXPECT_EQ(table.FieldWidth(1), 250);
    EXPECT_EQ(table.FieldName(3), QStringLiteral("Новое значение"));
    ASSERT_EQ(table.RecordCount(), 3) << "every record gives a row";
    EXPECT_EQ(table.Cell(0, 0), QStringLiteral("07/05/24 14:07:09"));
    EXPECT_EQ(table.Cell(1, 0), QStringLiteral("Q1"));
    EXPECT_EQ(table.Cell(2, 0), QStringLiteral("2.5 (ГДж)"));
    EXPECT_EQ(table.Cell(3, 0), QStringLiteral("3 (ГДж)"));
    for (int32_t field = 1; field < 4; ++field)
        EXPECT_FALSE(table.Cell(field, 1).contains(QStringLiteral("ГДж"))) << field;
    EXPECT_NE(table.Cell(1, 2), table.Cell(1, 0));

    // Gcal with the heat unit 0.
    BuildOperatorJournalDataSet(data, {testsupport::Journal({24, 5, 7, 14, 7, 9}, 544, 7, 8)}, 0, 0, 0);
    EXPECT_EQ(data.InfoDataSet->Table.Cell(2, 0), QStringLiteral(" (Гкал)"));
}

} // namespace
