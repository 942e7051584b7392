#include "DaxSetupTSFrame.h"

#include "DaxFormTable.h"

#include "device/Daxcore.h"
#include "device/Texts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using namespace daxform;

const BindingScope kScope = {"ConfigurationTS1/", "ConfigurationTS2/"};

// The scheme list drops down whole, up to this many items.
constexpr int kMaxSchemeDropDown = 32;

constexpr FormRow kSchemeRows[] = {
    Field("SchemeComboBox", "Схема", "Label1"),
};

constexpr FormRow kPipeRows[] = {
    Box("ConfigurationGroupBox", "Количество трубопроводов"),
    Field("DirectPipe", "Подающих"),
    Field("ReversePipe", "Обратных"),
    Field("SupplyPipe", "Подпиточных"),
};

// The energy and pressure units of two labels follow the instrument's settings.
constexpr FormRow kParameterRows[] = {
    Field("W_Contract", "W_дог (Гкал/ч)"),
    Field("dt_Min", "dt_min (°С)"),
    Field("Kpr", "Кпр"),
    Field("dP_min", "dP_min (МПа)"),
    Field("TairChanel", "Канал tвозд"),
    Field("TctrlChanel", "Канал tконтр"),
    Field("StopModeTS", "Режим останова"),
};

struct PipeLimit {
    const char* Name;
    int Minimum;
    int Maximum;
};
// The free configuration has one to five supply pipes and up to four others of each kind.
constexpr PipeLimit kPipeLimits[] = {{"DirectPipe", 1, 5}, {"ReversePipe", 0, 4}, {"SupplyPipe", 0, 4}};

// A read-only line that shows a formula on the button face.
QLineEdit* MakeFormulaLine(const QString& name, QWidget* parent)
{
    auto* line = new QLineEdit(parent);
    line->setObjectName(name);
    line->setReadOnly(true);
    line->setFocusPolicy(Qt::NoFocus);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    line->setPalette(palette);
    return line;
}

} // namespace

TShemePaintBox::TShemePaintBox(QWidget* parent) : QWidget(parent)
{
    setFixedSize(kWidth, kHeight);
}

void TShemePaintBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (onPaint_) {
        onPaint_(painter);
        return;
    }
    // Nothing to draw yet: the area stays visible as an empty sheet.
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

TDax_SetupTSFrame::TDax_SetupTSFrame(QWidget* parent) : QWidget(parent)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    SetupTSGroupBox = new QGroupBox(QStringLiteral("Конфигурация тепловой системы 1"), this);
    SetupTSGroupBox->setObjectName(QStringLiteral("SetupTSGroupBox"));
    outer->addWidget(SetupTSGroupBox, 0, Qt::AlignLeft | Qt::AlignTop);
    outer->addStretch();

    // One grid: the scheme and its formulas across the top, the parameters and the pipe counts
    // on the left, the drawing beside them.
    auto* grid = new QGridLayout(SetupTSGroupBox);
    grid->setVerticalSpacing(4);
    AddFields(grid, kSchemeRows, kScope, SetupTSGroupBox);
    auto* formulaLabel = new QLabel(QStringLiteral("Формула тепловой энергии"), SetupTSGroupBox);
    formulaLabel->setObjectName(QStringLiteral("Label2"));
    grid->addWidget(formulaLabel, 1, 0);
    grid->addWidget(MakeFormulaLine(QStringLiteral("QFormula"), SetupTSGroupBox), 1, 1, 1, 2);
    QLineEdit* hotWater = MakeFormulaLine(QStringLiteral("QgvsFormula"), SetupTSGroupBox);
    hotWater->setText(QString::fromUtf8(dax_namespace::kHotWaterFormulaText));
    hotWater->hide();
    grid->addWidget(hotWater, 2, 1, 1, 2);
    constexpr int kFirstParameterRow = 3;
    const int pipeRow = AddFields(grid, kParameterRows, kScope, SetupTSGroupBox, kFirstParameterRow);
    QGroupBox* pipes = BuildBox(kPipeRows, kScope, SetupTSGroupBox);
    pipes->hide();
    grid->addWidget(pipes, pipeRow, 0, 1, 2);
    auto* paintBox = new TShemePaintBox(SetupTSGroupBox);
    paintBox->setObjectName(QStringLiteral("ShemePaintBox"));
    grid->addWidget(paintBox, kFirstParameterRow, 2, pipeRow - kFirstParameterRow + 1, 1, Qt::AlignTop | Qt::AlignRight);
    grid->setRowStretch(pipeRow + 1, 1);

    for (const PipeLimit& limit : kPipeLimits) {
        auto* spin = findChild<QSpinBox*>(QString::fromUtf8(limit.Name));
        spin->setRange(limit.Minimum, limit.Maximum);
    }
    SchemeComboBox = findChild<QComboBox*>(QStringLiteral("SchemeComboBox"));
    TairChanel = findChild<QComboBox*>(QStringLiteral("TairChanel"));
    TctrlChanel = findChild<QComboBox*>(QStringLiteral("TctrlChanel"));
    StopModeTS = findChild<QComboBox*>(QStringLiteral("StopModeTS"));
}

void TDax_SetupTSFrame::SetHeatSystem(int32_t heatSystem)
{
    heatSystem_ = heatSystem;
    FillItems(TairChanel, TempChannelNames);
    FillItems(TctrlChanel, TempChannelNames);
    FillItems(StopModeTS, StopModeNames);
    FillItems(SchemeComboBox, SchemeNames);
    SchemeComboBox->setMaxVisibleItems(std::min(kMaxSchemeDropDown, SchemeComboBox->count()));
    SetupTSGroupBox->setTitle(heatSystem == 0 ? QStringLiteral("Конфигурация системы теплоснабжения 1")
                                              : QStringLiteral("Конфигурация системы теплоснабжения 2"));
}
