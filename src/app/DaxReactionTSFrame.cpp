#include "DaxReactionTSFrame.h"

#include "DaxFormTable.h"

#include "device/Daxcore.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

#include <array>
#include <span>

namespace {

using namespace daxform;

// The instances of the class, by heat system: the labels of a heat system's rows are the names
// of that heat system's bindings.
const BindingScope kScopes[2] = {{"ReactionTS1/"}, {"ReactionTS2/"}};

// The rows are the bindings' names until SetHeatSystem gives them their heat system's.
constexpr FormRow kChanelRows[] = {
    Box("ChanelReactionGroupBox", "Реакции на канальные НС"),
    Field("ExpenseMeasureFailReaction", nullptr, "ChanelReactionLabel_0"),
    Field("ExpenseCtrlFailReaction", nullptr, "ChanelReactionLabel_1"),
    Field("EmptyPipeReaction", nullptr, "ChanelReactionLabel_2"),
    Field("GLessGotsReaction", nullptr, "ChanelReactionLabel_3"),
    Field("GLessGminReaction", nullptr, "ChanelReactionLabel_4"),
    Field("GMoreGmaxReaction", nullptr, "ChanelReactionLabel_5"),
    Field("TemperatureFailReaction", nullptr, "ChanelReactionLabel_6"),
    Field("TemperatureLessMinMoreMaxReaction", nullptr, "ChanelReactionLabel_7"),
    Field("PressureFaliReaction", nullptr, "ChanelReactionLabel_8"),
};

constexpr FormRow kTSRows[] = {
    Box("TSReactionGroupBox", "Реакции на НС системы"),
    Field("Q_LessZeroReaction", nullptr, "TSReactionLabel_0"),
    Field("dP_LessDPminReaction", nullptr, "TSReactionLabel_1"),
    Field("dt_LessZeroReaction", nullptr, "TSReactionLabel_2"),
    Field("dt_LessDtminReaction", nullptr, "TSReactionLabel_3"),
    Field("OffPowerReaction", nullptr, "TSReactionLabel_4"),
    Field("Go_More_Gp_Less_GpK_Reaction", nullptr, "TSReactionLabel_5"),
    Field("Go_More_GpK_Reaction", nullptr, "TSReactionLabel_6"),
    Field("Gp_More_Go_Less_GoK_Reaction", nullptr, "TSReactionLabel_7"),
    Field("Gp_More_GoK_Reaction", nullptr, "TSReactionLabel_8"),
};

struct ReactionList {
    const char* Control;
    std::span<const char* const> Items;
};

// The lists that are the same for both heat systems.
const ReactionList kCommonLists[] = {
    {"ExpenseMeasureFailReaction", FlowFailReactionNames},
    {"ExpenseCtrlFailReaction", FlowFailReactionNames},
    {"EmptyPipeReaction", EmptyPipeReactionNames},
    {"GLessGotsReaction", LowFlowReactionNames},
    {"GLessGminReaction", BelowMinFlowReactionNames},
    {"GMoreGmaxReaction", AboveMaxFlowReactionNames},
    {"TemperatureFailReaction", TempFailReactionNames},
    {"TemperatureLessMinMoreMaxReaction", TempRangeReactionNames},
    {"PressureFaliReaction", PressureFailReactionNames},
    {"Q_LessZeroReaction", HeatReactionNames},
    {"dP_LessDPminReaction", HeatReactionNames},
    {"dt_LessZeroReaction", HeatReactionNames},
    {"dt_LessDtminReaction", HeatReactionNames},
    {"OffPowerReaction", PowerReactionNames},
    {"Go_More_GpK_Reaction", HeatReactionNames},
    {"Gp_More_GoK_Reaction", HeatReactionNames},
};

// The two mass-balance lists name the heat system's own flows.
const char* const kMassBalanceLists[] = {"Go_More_Gp_Less_GpK_Reaction", "Gp_More_Go_Less_GoK_Reaction"};

const char* const kGroupCaptions[2][2] = {
    {"Реакции на канальные НС в системе ТС1", "Реакции на НС системы ТС1"},
    {"Реакции на канальные НС в системе ТС2", "Реакции на НС системы ТС2"},
};

} // namespace

TDax_ReactionTSFrame::TDax_ReactionTSFrame(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    ChanelReactionGroupBox = BuildBox(kChanelRows, kScopes[0], this);
    TSReactionGroupBox = BuildBox(kTSRows, kScopes[0], this);
    layout->addWidget(ChanelReactionGroupBox, 0, Qt::AlignTop);
    layout->addWidget(TSReactionGroupBox, 0, Qt::AlignTop);
    layout->addStretch();
    // The heat system's rows and lists are its own; until they are set they stay empty.
    for (int row = 0; row < kRowCount; ++row)
        findChild<QLabel*>(QStringLiteral("TSReactionLabel_%1").arg(row))->clear();
}

void TDax_ReactionTSFrame::SetHeatSystem(int32_t heatSystem)
{
    for (int row = 0; row < kRowCount; ++row) {
        const char* control = kChanelRows[row + 1].Name;
        findChild<QLabel*>(QStringLiteral("ChanelReactionLabel_%1").arg(row))
            ->setText(QString::fromStdString(BindingName(kScopes[0], control)));
    }
    for (const ReactionList& list : kCommonLists)
        FillItems(findChild<QComboBox*>(QString::fromUtf8(list.Control)), list.Items);
    if (heatSystem != 0 && heatSystem != 1)
        return;
    ChanelReactionGroupBox->setTitle(QString::fromUtf8(kGroupCaptions[heatSystem][0]));
    TSReactionGroupBox->setTitle(QString::fromUtf8(kGroupCaptions[heatSystem][1]));
    for (int row = 0; row < kRowCount; ++row) {
        const char* control = kTSRows[row + 1].Name;
        findChild<QLabel*>(QStringLiteral("TSReactionLabel_%1").arg(row))
            ->setText(QString::fromStdString(BindingName(kScopes[heatSystem], control)));
    }
    const std::span<const char* const> massBalance =
        heatSystem == 0 ? std::span<const char* const>(Imbalance12ReactionNames) : Imbalance34ReactionNames;
    for (const char* control : kMassBalanceLists)
        FillItems(findChild<QComboBox*>(QString::fromUtf8(control)), massBalance);
}
