#include "Daxcore.h"

#include "Daxutil.h"
#include "comm/Sysutil.h"
#include "platform/ByteOrder.h"

#include <algorithm>

using namespace dax_namespace;

// ---------------------------------------------------------------------------------------
// Flag names of the abnormal-situation groups, bit 0 first. Some names mix alphabets on
// purpose: the "c" of "G_отc" and "Gотc" is Latin, and "Kпр" begins with a Latin K. Bits 8-11
// of the heat-system groups have no name.

const std::array<const char*, 8> ChannelFlagNames = {
    "Отказ ПР",
    "Пустая труба",
    "Gv < G_отc",
    "Gотc < Gv < Gmin",
    "Gv > G_max",
    "Отказ ПТ",
    "t < t_min, t > t_max",
    "Отказ ПД",
};

const std::array<const char*, 15> HeatSystem1FlagNames = {
    "Q1 < 0",
    "dP < dP_min",
    "dt < 0",
    "dt < dt_min",
    "G1*Kпр >= G2 > G1",
    "G2 > G1*Kпр",
    "G2*Kпр >= G1>G2",
    "G1 > G2*Kпр",
    "",
    "",
    "",
    "",
    "Отсутствие питания",
    "W = W_дог",
    "Останов ТС",
};

const std::array<const char*, 15> HeatSystem2FlagNames = {
    "Q2 < 0",
    "dP < dP_min",
    "dt < 0",
    "dt < dt_min",
    "G3*Kпр >= G4 > G3",
    "G4 > G3*Kпр",
    "G4*Kпр >= G3>G4",
    "G3 > G4*Kпр",
    "",
    "",
    "",
    "",
    "Отсутствие питания",
    "W = W_дог",
    "Останов ТС",
};

const std::array<const char*, 14> HardwareFlagNames = {
    "Сбой КС ПО",
    "Отказ DATAFLASH",
    "Отказ SRAM",
    "Отказ АЦП",
    "Отказ RTC",
    "Сбой итоговых счетчиков",
    "Сбой настроечных параметров",
    "Сбой при создании архивной записи",
    "Восстановление итоговых счетчиков",
    "Восстановление настроечных параметров",
    "Пропуск страницы архива",
    "Системный сброс",
    "Сброс по питанию",
    "Разряд батареи",
};

const std::array<const char*, 14> ModeFlagNames = {
    "Сигнал на входе UV1",
    "Сигнал на входе UV2",
    "Сигнал на входе UV3",
    "Сигнал на входе UV4",
    "Сигнал на входе UV5",
    "Сигнал на входе UV6",
    "Сигнал на входе IN",
    "Сигнал на выходе OUT",
    "Режим ПОВЕРКА",
    "Режим НАСТРОЙКА",
    "Режим КАЛИБРОВКА",
    "Коррекция времени",
    "Летний период",
    "Автономный режим",
};

const std::array<const char*, 8> EventFlagNames = {
    "Событие 1",
    "Событие 2",
    "Событие 3",
    "Событие 4",
    "Событие 5",
    "Событие 6",
    "Событие 7",
    "Событие 8",
};

const std::array<NotStaffGroup, 11> NotStaffGroups = {{
    {"Кан.НС%d", ChannelFlagNames},
    {"Кан.НС%d", ChannelFlagNames},
    {"Кан.НС%d", ChannelFlagNames},
    {"Кан.НС%d", ChannelFlagNames},
    {"Кан.НС%d", ChannelFlagNames},
    {"", {}},
    {"НС ТС1", HeatSystem1FlagNames},
    {"НС ТС2", HeatSystem2FlagNames},
    {"Апп.НС", HardwareFlagNames},
    {"Фл.реж.раб.", ModeFlagNames},
    {"Фл.событий", EventFlagNames},
}};

// ---------------------------------------------------------------------------------------
// Setting vocabularies, position 0 first. Mixed alphabets as the instrument's texts have
// them: "кгc/cм2" holds two Latin c.

const std::array<const char*, 2> SeasonNames = {"Зимний", "Летний"};
const std::array<const char*, 2> InputModeNames = {"Сухой контакт", "Потенциал"};
const std::array<const char*, 2> OutputModeNames = {"Регистр управления", "Маска выхода"};
const std::array<const char*, 6> TempChannelNames = {"Канал t1", "Канал t2", "Канал t3", "Канал t4", "Канал t5", "Не используется"};
const std::array<const char*, 3> StopModeNames = {"Продолжать счет M,V", "Остановить счет M", "Остановить счет M,V"};
const std::array<const char*, 4> FlowFailReactionNames = {"Индикация НС", "Останов ТС", "W = W_дог", "Gv = G_дог"};
const std::array<const char*, 3> EmptyPipeReactionNames = {"Индикация НС", "Останов ТС", "W = W_дог"};
const std::array<const char*, 6> LowFlowReactionNames = {"Нет теста", "Индикация НС", "Останов ТС", "W = W_дог", "Gv = G_дог", "Gv = 0"};
const std::array<const char*, 7> BelowMinFlowReactionNames = {"Нет теста", "Индикация НС", "Останов ТС", "W = W_дог", "Gv = G_дог", "Gv = 0", "Gv = G_mim"};
const std::array<const char*, 7> AboveMaxFlowReactionNames = {"Нет теста", "Индикация НС", "Останов ТС", "W = W_дог", "Gv = G_дог", "Gv = 0", "Gv = G_max"};
const std::array<const char*, 3> TempFailReactionNames = {"Останов ТС", "W = W_дог", "t = t_дог"};
const std::array<const char*, 7> TempRangeReactionNames = {"Нет теста", "Индикация НС", "Останов ТС", "W = W_дог", "t = t_дог", "t = 0", "t = t_min(t_max)"};
const std::array<const char*, 4> PressureFailReactionNames = {"Нет теста", "Останов ТС", "W = W_дог", "P = P_дог"};
const std::array<const char*, 4> HeatReactionNames = {"Нет теста", "Индикация НС", "Останов ТС", "W = W_дог"};
const std::array<const char*, 3> PowerReactionNames = {"Индикация НС", "Останов ТС", "W = W_дог"};
const std::array<const char*, 5> Imbalance12ReactionNames = {"Нет теста", "Индикация НС", "M1=M2=(M1+M2)/2", "M1 = M2", "M2 = M1"};
const std::array<const char*, 5> Imbalance34ReactionNames = {"Нет теста", "Индикация НС", "M3=M4=(M3+M4)/2", "M3 = M4", "M4 = M3"};
const std::array<const char*, 3> Q3FormulaNames = {"Q3 = 0", "Q3 = Q1 - Q2", "Q3 = Q1 + Q2"};
const std::array<const char*, 2> HeatUnitNames = {"Гкал", "ГДж"};
const std::array<const char*, 2> PressureUnitNames = {"МПа", "кгc/cм2"};
const std::array<const char*, 2> ColdTempSourceNames = {"Договорное", "Дистанционное"};
const std::array<const char*, 3> SeasonChangeNames = {"Нет", "По дате", "Вручную"};
const std::array<const char*, 3> ColdChannelModeNames = {"Отключен", "Контроль V", "Контроль V,P"};
const std::array<const char*, 3> ColdFlowFailReactionNames = {"Индикация НС", "Останов счета", "Gv = G_дог"};
const std::array<const char*, 2> ColdEmptyPipeReactionNames = {"Индикация НС", "Останов счета"};
const std::array<const char*, 5> ColdLowFlowReactionNames = {"Нет теста", "Индикация НС", "Останов счета", "Gv = G_дог", "Gv = 0"};
const std::array<const char*, 6> ColdBelowMinFlowReactionNames = {"Нет теста", "Индикация НС", "Останов счета", "Gv = G_дог", "Gv = 0", "Gv = G_mim"};
const std::array<const char*, 6> ColdAboveMaxFlowReactionNames = {"Нет теста", "Индикация НС", "Останов счета", "Gv = G_дог", "Gv = 0", "Gv = G_max"};
const std::array<const char*, 2> FlowInputModeNames = {"Режим 1", "Режим 2"};
const std::array<const char*, 5> FlowControlNames = {"Нет теста", "Тест линии", "Тест уровня", "Сигнал UV", "Питание ТВ"};
const std::array<const char*, 6> EmptyPipeTestNames = {"Нет теста", "Сигнал UV", "Сигнал IN", "Тест уровня", "Дл.импульс", "P = 0"};
const std::array<const char*, 4> SensorCurveNames = {"Pt100 (0.00385)", "100П (0.00391)", "Pt500 (0.00385)", "500П (0.00391)"};
const std::array<const char*, 4> PressureRangeNames = {"0.6 МПа", "1.0 МПа", "1.6 МПа", "2.5 МПа"};
// ---------------------------------------------------------------------------------------
// Operator-journal parameters

namespace {

constexpr OperatorParameter Plain(uint16_t id, const char* name)
{
    return {id, name};
}
constexpr OperatorParameter Listed(uint16_t id, const char* name, std::span<const char* const> list)
{
    return {id, name, OperatorValueRule::List, list};
}
constexpr OperatorParameter Suffixed(uint16_t id, const char* name, const char* suffix)
{
    return {id, name, OperatorValueRule::Suffix, {}, suffix};
}
constexpr OperatorParameter HeatUnit(uint16_t id, const char* name)
{
    return {id, name, OperatorValueRule::HeatUnitSuffix};
}
constexpr OperatorParameter Mask(uint16_t id, const char* name, uint8_t positions, uint8_t bytes)
{
    return {id, name, OperatorValueRule::Mask, {}, "", positions, bytes};
}
constexpr OperatorParameter Scheme(uint16_t id, const char* name)
{
    return {id, name, OperatorValueRule::SchemeName};
}
constexpr OperatorParameter DayMonth(uint16_t id, const char* name)
{
    return {id, name, OperatorValueRule::DayMonth};
}
constexpr OperatorParameter Duration(uint16_t id, const char* name)
{
    return {id, name, OperatorValueRule::DurationReset};
}

// Named ids in ascending order. The reaction settings of the two heat systems (144..164,
// 208..228) carry the prefix "ТС1." or "ТС2.". "G_отc" ends in a Latin c while "G_отс1" to
// "G_отс6" are Cyrillic; "ТС1.Кпр" is Cyrillic while "Kпр" inside names begins with a Latin
// K; "Q1o" and "Q2o" end in a Latin o.
const OperatorParameter kOperatorParameters[] = {
    Plain(1, "Текущее время"),
    Plain(2, "Сброс архива"),
    Listed(3, "Текущий период", SeasonNames),
    Plain(4, "Перевод времени"),
    Plain(16, "Заводской номер"),
    Plain(17, "AT_100"),
    Plain(18, "BT_100"),
    Plain(19, "AT_500"),
    Plain(20, "BT_500"),
    Plain(21, "AP_1"),
    Plain(22, "BP_1"),
    Plain(23, "AP_2"),
    Plain(24, "BP_2"),
    Plain(25, "AP_3"),
    Plain(26, "BP_3"),
    Plain(27, "AP_4"),
    Plain(28, "BP_4"),
    Plain(29, "AP_5"),
    Plain(30, "BP_5"),
    Plain(31, "AP_6"),
    Plain(32, "BP_6"),
    Plain(64, "Разрешить использование пароля"),
    Plain(65, "Защита настроек"),
    Mask(66, "Вкл.фильтра расхода", 6, 1),
    Plain(67, "Усреднение фильтра расхода"),
    Plain(68, "Коэф. сброса фильтра расхода"),
    Listed(69, "Режим входа IN", InputModeNames),
    Plain(70, "Инверсия входа IN"),
    Plain(71, "Задержка входа IN"),
    Mask(72, "Инверсия входов UV", 6, 1),
    Listed(73, "Режим выхода", OutputModeNames),
    Plain(74, "Таймаут авт.реж."),
    Mask(75, "Маска сигналов выхода", 16, 2),
    Scheme(128, "ТС1.Схема"),
    Listed(129, "ТС1.Канал tвозд", TempChannelNames),
    Listed(130, "ТС1.Канал tконтр", TempChannelNames),
    Listed(131, "ТС1.Режим останова", StopModeNames),
    Plain(132, "ТС1.dt_min"),
    Plain(133, "ТС1.dP_min"),
    HeatUnit(134, "ТС1.W_дог"),
    Plain(135, "ТС1.Кпр"),
    Listed(144, "ТС1.Отказ основного ПР", FlowFailReactionNames),
    Listed(145, "ТС1.Отказ контрольного ПР", FlowFailReactionNames),
    Listed(146, "ТС1.Пустая труба", EmptyPipeReactionNames),
    Listed(147, "ТС1.Gv < G_отc", LowFlowReactionNames),
    Listed(148, "ТС1.G_отc < Gv < G_min", BelowMinFlowReactionNames),
    Listed(149, "ТС1.Gv > G_max", AboveMaxFlowReactionNames),
    Listed(150, "ТС1.Отказ ПТ", TempFailReactionNames),
    Listed(151, "ТС1.t < t_min, t > t_max", TempRangeReactionNames),
    Listed(152, "ТС1.Отказ ПД", PressureFailReactionNames),
    Listed(156, "ТС1.Q1 < 0", HeatReactionNames),
    Listed(157, "ТС1.dP < dP_min", HeatReactionNames),
    Listed(158, "ТС1.dt < 0", HeatReactionNames),
    Listed(159, "ТС1.dt < dt_min", HeatReactionNames),
    Listed(160, "ТС1.Отсутствие питания", PowerReactionNames),
    Listed(161, "ТС1.G1*Kпр >= G2 > G1", Imbalance12ReactionNames),
    Listed(162, "ТС1.G2 > G1*Kпр", HeatReactionNames),
    Listed(163, "ТС1.G2*Kпр >= G1>G2", Imbalance12ReactionNames),
    Listed(164, "ТС1.G1 > G2*Kпр", HeatReactionNames),
    Plain(173, "Кол-во подающих труб-ов"),
    Plain(174, "Кол-во обратных труб-ов"),
    Plain(175, "Кол-во подпитывающих труб-ов"),
    Scheme(192, "ТС2.Схема"),
    Listed(193, "ТС2.Канал tвозд", TempChannelNames),
    Listed(194, "ТС2.Канал tконтр", TempChannelNames),
    Listed(195, "ТС2.Режим останова", StopModeNames),
    Plain(196, "ТС2.dt_min"),
    Plain(197, "ТС2.dP_min"),
    HeatUnit(198, "ТС2.W_дог"),
    Plain(199, "ТС2.Кпр"),
    Listed(208, "ТС2.Отказ основного ПР", FlowFailReactionNames),
    Listed(209, "ТС2.Отказ контрольного ПР", FlowFailReactionNames),
    Listed(210, "ТС2.Пустая труба", EmptyPipeReactionNames),
    Listed(211, "ТС2.Gv < G_отc", LowFlowReactionNames),
    Listed(212, "ТС2.G_отc < Gv < G_min", BelowMinFlowReactionNames),
    Listed(213, "ТС2.Gv > G_max", AboveMaxFlowReactionNames),
    Listed(214, "ТС2.Отказ ПТ", TempFailReactionNames),
    Listed(215, "ТС2.t < t_min, t > t_max", TempRangeReactionNames),
    Listed(216, "ТС2.Отказ ПД", PressureFailReactionNames),
    Listed(220, "ТС2.Q2 < 0", HeatReactionNames),
    Listed(221, "ТС2.dP < dP_min", HeatReactionNames),
    Listed(222, "ТС2.dt < 0", HeatReactionNames),
    Listed(223, "ТС2.dt < dt_min", HeatReactionNames),
    Listed(224, "ТС2.Отсутствие питания", PowerReactionNames),
    Listed(225, "ТС2.G3*Kпр >= G4 > G3", Imbalance34ReactionNames),
    Listed(226, "ТС2.G4 > G3*Kпр", HeatReactionNames),
    Listed(227, "ТС2.G4*Kпр >= G3>G4", Imbalance34ReactionNames),
    Listed(228, "ТС2.G3 > G4*Kпр", HeatReactionNames),
    Listed(256, "Формула Q3", Q3FormulaNames),
    Listed(257, "Ед. изм-я тепл. энергии", HeatUnitNames),
    Listed(258, "Ед. изм-я давления", PressureUnitNames),
    Plain(259, "Дата отчета"),
    Listed(260, "Значение tхв", ColdTempSourceNames),
    Plain(261, "tхв_дог зимняя"),
    Plain(262, "tхв_дог летняя"),
    Plain(263, "Pхв_дог зимнее"),
    Plain(264, "Pхв_дог летнее"),
    Listed(265, "Смена периода", SeasonChangeNames),
    DayMonth(266, "Начало летнего периода"),
    DayMonth(267, "Начало зимнего периода"),
    Listed(268, "Канал ХВС 1", ColdChannelModeNames),
    Listed(269, "Канал ХВС 2", ColdChannelModeNames),
    Listed(270, "Канал ХВС 3", ColdChannelModeNames),
    Listed(271, "Канал ХВС 4", ColdChannelModeNames),
    Listed(272, "Канал ХВС 5", ColdChannelModeNames),
    Listed(273, "Канал ХВС 6", ColdChannelModeNames),
    Listed(274, "Отказ ПР", ColdFlowFailReactionNames),
    Listed(275, "Пустая труба", ColdEmptyPipeReactionNames),
    Listed(276, "Gv < G_отc", ColdLowFlowReactionNames),
    Listed(277, "G_отc < Gv < G_min", ColdBelowMinFlowReactionNames),
    Listed(278, "Gv > G_max", ColdAboveMaxFlowReactionNames),
    Suffixed(279, "Вес импульса V1", " м3/имп"),
    Suffixed(280, "Вес импульса V2", " м3/имп"),
    Suffixed(281, "Вес импульса V3", " м3/имп"),
    Suffixed(282, "Вес импульса V4", " м3/имп"),
    Suffixed(283, "Вес импульса V5", " м3/имп"),
    Suffixed(284, "Вес импульса V6", " м3/имп"),
    Suffixed(285, "G_дог1", " м3/ч"),
    Suffixed(286, "G_дог2", " м3/ч"),
    Suffixed(287, "G_дог3", " м3/ч"),
    Suffixed(288, "G_дог4", " м3/ч"),
    Suffixed(289, "G_дог5", " м3/ч"),
    Suffixed(290, "G_дог6", " м3/ч"),
    Suffixed(291, "G_max1", " м3/ч"),
    Suffixed(292, "G_max2", " м3/ч"),
    Suffixed(293, "G_max3", " м3/ч"),
    Suffixed(294, "G_max4", " м3/ч"),
    Suffixed(295, "G_max5", " м3/ч"),
    Suffixed(296, "G_max6", " м3/ч"),
    Suffixed(297, "G_min1", " м3/ч"),
    Suffixed(298, "G_min2", " м3/ч"),
    Suffixed(299, "G_min3", " м3/ч"),
    Suffixed(300, "G_min4", " м3/ч"),
    Suffixed(301, "G_min5", " м3/ч"),
    Suffixed(302, "G_min6", " м3/ч"),
    Suffixed(303, "G_отс1", " м3/ч"),
    Suffixed(304, "G_отс2", " м3/ч"),
    Suffixed(305, "G_отс3", " м3/ч"),
    Suffixed(306, "G_отс4", " м3/ч"),
    Suffixed(307, "G_отс5", " м3/ч"),
    Suffixed(308, "G_отс6", " м3/ч"),
    Listed(309, "Режим входа V1", FlowInputModeNames),
    Listed(310, "Режим входа V2", FlowInputModeNames),
    Listed(311, "Режим входа V3", FlowInputModeNames),
    Listed(312, "Режим входа V4", FlowInputModeNames),
    Listed(313, "Режим входа V5", FlowInputModeNames),
    Listed(314, "Режим входа V6", FlowInputModeNames),
    Listed(315, "Контрль V1", FlowControlNames),
    Listed(316, "Контрль V2", FlowControlNames),
    Listed(317, "Контрль V3", FlowControlNames),
    Listed(318, "Контрль V4", FlowControlNames),
    Listed(319, "Контрль V5", FlowControlNames),
    Listed(320, "Контрль V6", FlowControlNames),
    Listed(321, "Пустая труба V1", EmptyPipeTestNames),
    Listed(322, "Пустая труба V2", EmptyPipeTestNames),
    Listed(323, "Пустая труба V3", EmptyPipeTestNames),
    Listed(324, "Пустая труба V4", EmptyPipeTestNames),
    Listed(325, "Пустая труба V5", EmptyPipeTestNames),
    Listed(326, "Пустая труба V6", EmptyPipeTestNames),
    Listed(327, "НСХ ТСП t1", SensorCurveNames),
    Listed(328, "НСХ ТСП t2", SensorCurveNames),
    Listed(329, "НСХ ТСП t3", SensorCurveNames),
    Listed(330, "НСХ ТСП t4", SensorCurveNames),
    Listed(331, "НСХ ТСП t5", SensorCurveNames),
    Plain(332, "t_дог1"),
    Plain(333, "t_дог2"),
    Plain(334, "t_дог3"),
    Plain(335, "t_дог4"),
    Plain(336, "t_дог5"),
    Plain(337, "t_max1"),
    Plain(338, "t_max2"),
    Plain(339, "t_max3"),
    Plain(340, "t_max4"),
    Plain(341, "t_max5"),
    Plain(342, "t_min1"),
    Plain(343, "t_min2"),
    Plain(344, "t_min3"),
    Plain(345, "t_min4"),
    Plain(346, "t_min5"),
    Listed(347, "Pmax датчика P1", PressureRangeNames),
    Listed(348, "Pmax датчика P2", PressureRangeNames),
    Listed(349, "Pmax датчика P3", PressureRangeNames),
    Listed(350, "Pmax датчика P4", PressureRangeNames),
    Listed(351, "Pmax датчика P5", PressureRangeNames),
    Listed(352, "Pmax датчика P6", PressureRangeNames),
    Plain(353, "P_дог1"),
    Plain(354, "P_дог2"),
    Plain(355, "P_дог3"),
    Plain(356, "P_дог4"),
    Plain(357, "P_дог5"),
    Plain(358, "P_дог6"),
    Suffixed(512, "V1", " м3"),
    Suffixed(513, "V2", " м3"),
    Suffixed(514, "V3", " м3"),
    Suffixed(515, "V4", " м3"),
    Suffixed(516, "V5", " м3"),
    Suffixed(517, "V6", " м3"),
    Suffixed(518, "M1", " т"),
    Suffixed(519, "M2", " т"),
    Suffixed(520, "M3", " т"),
    Suffixed(521, "M4", " т"),
    Suffixed(522, "M5", " т"),
    HeatUnit(523, "Q3"),
    Duration(524, "Твкл"),
    Duration(525, "Твыкл"),
    Duration(526, "Тхвс1"),
    Duration(527, "Тхвс2"),
    Duration(528, "Тхвс3"),
    Duration(529, "Тхвс4"),
    Duration(530, "Тхвс5"),
    Duration(531, "Тхвс6"),
    Duration(532, "Тсоб1"),
    Duration(533, "Тсоб2"),
    Duration(534, "Тсоб3"),
    Duration(535, "Тсоб4"),
    Duration(536, "Тсоб5"),
    Duration(537, "Тсоб6"),
    Duration(538, "Тсоб7"),
    Duration(539, "Тсоб8"),
    HeatUnit(544, "Q1"),
    HeatUnit(545, "Q1o"),
    HeatUnit(546, "Q1гвс"),
    HeatUnit(547, "ТС1.Qиз"),
    HeatUnit(548, "ТС1.Qэп"),
    HeatUnit(549, "ТС1.Qф"),
    HeatUnit(550, "ТС1.Qdt"),
    HeatUnit(551, "ТС1.Qmax"),
    HeatUnit(552, "ТС1.Qmin"),
    Duration(553, "ТС1.Тсч"),
    Duration(554, "ТС1.Тос"),
    Duration(555, "ТС1.Траб"),
    Duration(556, "ТС1.Тэп"),
    Duration(557, "ТС1.Тф"),
    Duration(558, "ТС1.Тdt"),
    Duration(559, "ТС1.Тmax"),
    Duration(560, "ТС1.Тmin"),
    HeatUnit(592, "Q2"),
    HeatUnit(593, "Q2o"),
    HeatUnit(594, "Q2гвс"),
    HeatUnit(595, "ТС2.Qиз"),
    HeatUnit(596, "ТС2.Qэп"),
    HeatUnit(597, "ТС2.Qф"),
    HeatUnit(598, "ТС2.Qdt"),
    HeatUnit(599, "ТС2.Qmax"),
    HeatUnit(600, "ТС2.Qmin"),
    Duration(601, "ТС2.Тсч"),
    Duration(602, "ТС2.Тос"),
    Duration(603, "ТС2.Траб"),
    Duration(604, "ТС2.Тэп"),
    Duration(605, "ТС2.Тф"),
    Duration(606, "ТС2.Тdt"),
    Duration(607, "ТС2.Тmax"),
    Duration(608, "ТС2.Тmin"),
};

} // namespace

const std::span<const OperatorParameter> OperatorParameters(kOperatorParameters);

const OperatorParameter* FindOperatorParameter(uint16_t id)
{
    const auto it = std::lower_bound(std::begin(kOperatorParameters), std::end(kOperatorParameters), id,
                                     [](const OperatorParameter& p, uint16_t key) { return p.Id < key; });
    return it != std::end(kOperatorParameters) && it->Id == id ? &*it : nullptr;
}

// ---------------------------------------------------------------------------------------
// Decoders

namespace {

bool IsPageMarker(JournalTimeKind kind)
{
    return kind == JournalTimeKind::SkippedPage || kind == JournalTimeKind::EmptyPage;
}

// The value fields of a journal record are little-endian, as the whole record.
template <typename T>
T Field(std::span<const uint8_t, 4> field)
{
    return platform::ReadLittleEndian<T>(field, 0);
}

// The text of one value field for the value types read field by field (1-8, 11, 12).
std::string FieldText(uint8_t type, std::span<const uint8_t, 4> field, uint8_t pressureUnit)
{
    switch (type) {
    case 1:
        return field[0] != 0 ? kYesText : kNoText;
    case 2:
        return FormatText("%u", unsigned{field[0]});
    case 3:
        return FormatText("%d", int{static_cast<int8_t>(field[0])});
    case 4:
        return FormatText("%u", unsigned{Field<uint16_t>(field)});
    case 5:
        return FormatText("%d", int{Field<int16_t>(field)});
    case 6:
        return FormatText("%u", Field<uint32_t>(field));
    case 7:
        return FormatText("%d", Field<int32_t>(field));
    case 8:
        return FormatText("%g", double{Field<float>(field)});
    case 11:
        return FormatText(kTemperatureFormat, Field<int16_t>(field) * 0.01);
    case 12:
        return pressureUnit != 0 ? FormatText(kPressureKgfFormat, Field<uint16_t>(field) * 0.001)
                                 : FormatText(kPressureMpaFormat, Field<uint16_t>(field) * 0.0001);
    default:
        return {};
    }
}

std::string DurationText(uint32_t minutes, uint8_t timeFormat)
{
    return timeFormat != 0 ? DurationToDaysText(minutes) : DurationToHoursText(minutes);
}

// Old and new texts as the record's value type reads them.
void ValueTypeTexts(const JournalStruct& record, uint8_t pressureUnit, std::string& oldText, std::string& newText)
{
    const uint8_t type = record.JournalValueType();
    if (type == 9) {
        // One date-time in bytes 8..13, running over into the new value; no new text.
        DateTimeValue value = 0;
        const auto bytes = std::span<const uint8_t>(record.bytes).subspan<JournalStruct::kOldValue, 6>();
        oldText = DeviceDateTimeToDateTime(bytes, value) ? JournalDateTimeText(value) : kIncorrectTimeText;
        newText.clear();
        return;
    }
    if (type == 10) {
        // One total: integer part in the old field, fraction in the new; the event resets it.
        const double total = static_cast<double>(record.OldValue()) + double{Field<float>(record.NewValueBytes())};
        oldText = FormatText("%.3f", total);
        newText = FormatText("%.3f", 0.0);
        return;
    }
    oldText = FieldText(type, record.OldValueBytes(), pressureUnit);
    newText = FieldText(type, record.NewValueBytes(), pressureUnit);
}

void ApplyValueRule(const OperatorParameter& parameter, const JournalStruct& record, const char* heatUnitText,
                    uint8_t timeFormat, std::string& oldText, std::string& newText)
{
    const auto oldField = record.OldValueBytes();
    const auto newField = record.NewValueBytes();
    switch (parameter.Rule) {
    case OperatorValueRule::ValueType:
        break;
    case OperatorValueRule::List:
        if (oldField[0] < parameter.List.size())
            oldText = parameter.List[oldField[0]];
        if (newField[0] < parameter.List.size())
            newText = parameter.List[newField[0]];
        break;
    case OperatorValueRule::Suffix:
        oldText += parameter.Suffix;
        newText += parameter.Suffix;
        break;
    case OperatorValueRule::HeatUnitSuffix:
        oldText += heatUnitText;
        newText += heatUnitText;
        break;
    case OperatorValueRule::Mask: {
        const auto maskValue = [&](std::span<const uint8_t, 4> field) {
            return parameter.MaskBytes >= 2 ? uint32_t{Field<uint16_t>(field)} : uint32_t{field[0]};
        };
        oldText = BitsToMaskText(maskValue(oldField), parameter.MaskPositions, '1');
        newText = BitsToMaskText(maskValue(newField), parameter.MaskPositions, '1');
        break;
    }
    case OperatorValueRule::SchemeName:
        oldText = SchemeNames[SchemeCodeToIndex(oldField[0])];
        newText = SchemeNames[SchemeCodeToIndex(newField[0])];
        break;
    case OperatorValueRule::DayMonth:
        oldText = FormatText("%02d/%02d", oldField[1], oldField[0]);
        newText = FormatText("%02d/%02d", newField[1], newField[0]);
        break;
    case OperatorValueRule::DurationReset:
        oldText = DurationText(record.OldValue(), timeFormat);
        newText = DurationText(0, timeFormat);
        break;
    }
}

} // namespace

bool DecodeNotStaffJournalRecord(std::vector<NotStaffDecodedStruct>& rows, const JournalStruct& record)
{
    NotStaffDecodedStruct row;
    const auto stamp = JournalTime(record);
    row.Time = stamp.time;
    row.TimeText = stamp.text;
    if (IsPageMarker(stamp.kind))
        return false;

    const uint16_t code = record.EventCode();
    if (code >= NotStaffGroups.size() || NotStaffGroups[code].Names.empty())
        return true;
    const NotStaffGroup& group = NotStaffGroups[code];
    const std::string source = code <= 4 ? FormatInt(group.Source, code + 1) : std::string(group.Source);

    const uint32_t oldValue = record.OldValue();
    const uint32_t newValue = record.NewValue();
    for (size_t bit = 0; bit < group.Names.size(); ++bit) {
        const bool wasSet = (oldValue >> bit & 1) != 0;
        const bool isSet = (newValue >> bit & 1) != 0;
        if (wasSet == isSet)
            continue;
        row.Source = source;
        row.Item = "[";
        row.Item += kFlagLabels[bit];
        row.Item += "] ";
        row.Item += group.Names[bit];
        row.State = isSet ? kFlagSetText : kFlagClearedText;
        rows.push_back(row);
    }
    return true;
}

bool DecodeOperatorJournalRecord(JournalDecodeStruct& result, const JournalStruct& record, uint8_t heatUnit,
                                 uint8_t pressureUnit, uint8_t timeFormat)
{
    result.Parameter.clear();
    result.OldText.clear();
    result.NewText.clear();
    const char* heatUnitText = heatUnit != 0 ? kGigajouleSuffix : kGigacalorieSuffix;

    // An invalid date gives time 0 rather than keeping the previous record's time, so a reused
    // output never carries a stale time stamp into period selection.
    const auto stamp = JournalTime(record);
    result.Time = stamp.time;
    result.TimeText = stamp.text;
    if (IsPageMarker(stamp.kind)) {
        result.Parameter = kNoDataText;
        result.OldText = kNoDataText;
        result.NewText = kNoDataText;
        return false;
    }

    ValueTypeTexts(record, pressureUnit, result.OldText, result.NewText);
    const uint16_t id = record.EventCode();
    const OperatorParameter* parameter = FindOperatorParameter(id);
    if (!parameter) {
        result.Parameter = FormatText(kUnnamedParameterFormat, int{id});
        return true;
    }
    result.Parameter = parameter->Name;
    ApplyValueRule(*parameter, record, heatUnitText, timeFormat, result.OldText, result.NewText);
    return true;
}
