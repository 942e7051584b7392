#include "FrameValueLists.h"

#include "device/Daxcore.h"

const std::array<const char*, 6> FlowStatusNames = {"Нет ошибок",       "К/з линии", "Обрыв линии",
                                                    "Контроль питания", "Отключен",  "Аппаратная ошибка"};
const std::array<const char*, 6> SensorStatusNames = {"Нет ошибок",      "Меньше НП", "Больше ВП",
                                                      "Нет тока в цепи", "Отключен",  "Аппаратная ошибка"};

const std::array<const char*, 16> SignalNames = {
    "Сигнал 1", "Сигнал 2", "Сигнал 3", "Сигнал 4", "Сигнал 5", "Сигнал 6", "Сигнал 7", "Сигнал 8",
    "Сигнал 9", "Сигнал A", "Сигнал B", "Сигнал C", "Сигнал D", "Сигнал E", "Сигнал F", "Сигнал G",
};

const std::array<const char*, 2> ScreenSaverNames = {"Часы", "Статус ТС"};
const std::array<const char*, 3> NsCounterDisplayNames = {"Не отображать", "Времена НС", "Времена и энергии НС"};
const std::array<const char*, 8> UartSpeedNames = {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"};
const std::array<const char*, 2> Port1ModeNames = {"RS-232", "Модем"};
const std::array<const char*, 2> Port2ModeNames = {"RS-232/RS-485", "Dax-Ethernet"};
const std::array<const char*, 4> ConnectModeNames = {"Отключен", "Постоянно", "Любой сигнал", "Все сигналы"};
const std::array<const char*, 4> RingActionNames = {"Нет", "GPRS соединение", "Отправка SMS", ""};
const std::array<const char*, 4> GprsWorkModeNames = {"UDP клиент", "UDP сервер", "TCP клиент", "TCP сервер"};
const std::array<const char*, 3> GprsIncomingNames = {"Любой", "Только сервер", "Известные"};
const std::array<const char*, 2> GprsDataFormatNames = {"GPRS обертка", "Прозрачный"};

const std::array<const char*, 3> SignalTypeNames = {"Маска", "Сравнение", "Таймер"};
const std::array<const char*, 5> MaskConditionNames = {"Отключено", "Установлен любой", "Установлены все",
                                                       "Отсутствует любой", "Отсутствуют все"};
const std::array<const char*, 12> MaskParamNames = {
    "Аппаратные НС", "Флаги режимов", "Канальные НС1", "Канальные НС2",    "Канальные НС3",    "Канальные НС4",
    "Канальные НС5", "Канальные НС6", "НС ТС1",        "НС ТС2",           "Канальные НС ТС1", "Канальные НС ТС2",
};
const std::array<const char*, 10> CompareConditionNames = {
    "Отключено",   "П1 > К1",           "П1 < К1",        "П1 > К1(К2)",    "П1 < К1(К2)",
    "П1 > К1 && П1 < К2", "П1<К1 || П1>К2", "П1*K1 > П2+К2", "|П1/П2-1| > K1", "|П1/П2-1| < K1",
};
const std::array<const char*, 31> CompareParamNames = {
    "0",   "1",   "W1",  "W1о", "W1гвс", "W2",  "W2о", "W2гвс", "W3",  "Gm1", "Gm2",
    "Gm3", "Gm4", "Gm5", "Gv1", "Gv2",   "Gv3", "Gv4", "Gv5",   "Gv6", "t1",  "t2",
    "t3",  "t4",  "t5",  "P1",  "P2",    "P3",  "P4",  "P5",    "P6",
};
const std::array<const char*, 3> TimerModeNames = {"Ежедневно", "Дни недели", "Дни месяца"};

const std::array<const char*, 7> WeekDayNames = {"Воскресенье", "Понедельник", "Вторник", "Среда",
                                                 "Четверг",     "Пятница",     "Суббота"};
const std::array<const char*, 31> MonthDayNames = {
    "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10", "11", "12", "13", "14", "15", "16",
    "17", "18", "19", "20", "21", "22", "23", "24", "25", "26", "27", "28", "29", "30", "31",
};

const std::array<const char*, 4> WorkModeNames = {"РАБОТА", "ПОВЕРКА", "НАСТРОЙКА", "КАЛИБРОВКА"};

const std::array<const char*, 4> MultCoeffNames = {"MULT2", "MULT3", "MULT4", "MULT5"};
const std::array<const char*, 8> TempCoeffNames = {"TC0", "TC1", "TC2", "TC3", "TC4", "TC5", "TC6", "TC7"};

const std::array<const char*, 5> MeasureCurrentFlagNames = {"100 омный датчик", "Режим КАЛИБРОВКА", "Режим ПОВЕРКА",
                                                            "Внешнее питание", "Автономное питание"};
const std::array<const char*, 6> FlowFilterChannelNames = {"Канал V1", "Канал V2", "Канал V3",
                                                           "Канал V4", "Канал V5", "Канал V6"};

const std::array<const char*, 6> UvInputNames = {"Вход UV1", "Вход UV2", "Вход UV3",
                                                 "Вход UV4", "Вход UV5", "Вход UV6"};

const std::array<const char*, 19> PulseWeightProposals = {
    "0.000001", "0.000005", "0.00001", "0.00005", "0.0001", "0.0005", "0.001", "0.005", "0.01", "0.05",
    "0.1",      "0.5",      "1",       "5",       "10",     "50",     "100",   "500",   "1000",
};

std::span<const char* const> MaskParamBitNames(int maskParam)
{
    if (maskParam < 0 || maskParam >= static_cast<int>(MaskParamNames.size()))
        return {};
    switch (maskParam) {
    case 0: return HardwareFlagNames;
    case 1: return ModeFlagNames;
    case 8: return HeatSystem1FlagNames;
    case 9: return HeatSystem2FlagNames;
    default: return ChannelFlagNames;
    }
}

std::span<const char* const> TimerDayBitNames(int timerMode)
{
    switch (timerMode) {
    case 1: return WeekDayNames;
    case 2: return MonthDayNames;
    default: return {};
    }
}
