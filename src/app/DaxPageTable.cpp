#include "DaxPageTable.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<DaxPage, 29> kPages{{
    {0, "ТС1", ""},
    {1, "ТС1 НС", ""},
    {2, "ТС2", ""},
    {3, "ТС2 НС", ""},
    {4, "Общие, ХВС", "dax_current_params"},
    {5, "Архив", ""},
    {6, "Архив ТС1", ""},
    {7, "Архив ТС2", ""},
    {8, "Архив ХВС", ""},
    {9, "Журнал НС", ""},
    {10, "Журнал оператора", ""},
    {11, "Конф. ТС1", ""},
    {12, "Реакции ТС1", ""},
    {13, "Конф. ТС2", ""},
    {14, "Реакции ТС2", ""},
    {15, "Общие", ""},
    {16, "ХВС", ""},
    {17, "Изм. Каналы", ""},
    {18, "Каналы V", ""},
    {19, "Каналы t,P", ""},
    {20, "Калибровка", ""},
    {21, "Настройки", ""},
    {23, "Интерфейсы", ""},
    {24, "Интернет", ""},
    {25, "Сигналы", ""},
    {26, "Сигналы 1", ""},
    {27, "Сигналы 2", ""},
    {28, "События", ""},
    {29, "Вход/Выход", ""},
}};

constexpr int32_t R = DaxPageNode::kRoot;
constexpr int32_t S = DaxPageNode::kNoPage;

constexpr std::array<DaxPageNode, 30> kNodes{{
    {4, "Текущие параметры", R, 1, true},
    {0, "ТС1", 4, 2, false},
    {1, "ТС1 (Счетчики НС)", 0, 8, false},
    {2, "ТС2", 4, 2, false},
    {3, "ТС2 (Счетчики НС)", 2, 8, false},
    {5, "Архивы", R, 3, false},
    {6, "ТС1", 5, 2, false},
    {7, "ТС2", 5, 2, false},
    {8, "ХВС", 5, 4, false},
    {9, "Журнал НС", 5, 5, false},
    {10, "Журнал оператора", 5, 5, false},
    {21, "Настройки", R, 6, true},
    {15, "Конфигурация", 21, 7, false},
    {11, "ТС1", 15, 2, false},
    {12, "Реакции", 11, 8, false},
    {13, "ТС2", 15, 2, false},
    {14, "Реакции", 13, 8, false},
    {16, "ХВС", 15, 4, false},
    {18, "Каналы V", 15, 9, false},
    {19, "Каналы t, P", 15, 10, false},
    {29, "Входы/Выход", 21, 19, false},
    {23, "Интерфейсы", 21, 13, false},
    {24, "Интернет", 23, 16, false},
    {25, "Сигналы 1..8", 21, 17, false},
    {26, "Сигналы 9..C", 25, 17, false},
    {27, "Сигналы D..G", 25, 17, false},
    {28, "События 1..8", 21, 18, false},
    {S, "Сервис", R, 11, true},
    {20, "Калибровка", S, 12, false},
    {17, "Каналы измерения", S, 1, false},
}};

} // namespace

std::span<const DaxPage> DaxPages()
{
    return kPages;
}

const DaxPage* FindDaxPage(int32_t id)
{
    const auto it = std::find_if(kPages.begin(), kPages.end(), [id](const DaxPage& page) { return page.Id == id; });
    return it == kPages.end() ? nullptr : &*it;
}

std::span<const DaxPageNode> DaxPageNodes()
{
    return kNodes;
}

bool PagesShareRead(int32_t from, int32_t to)
{
    return (from == 0 && to == 1) || (from == 1 && to == 0) || (from == 2 && to == 3) || (from == 3 && to == 2);
}

bool IsPolledPage(int32_t id)
{
    return (id >= 0 && id <= 4) || id == 17 || id == 21;
}
