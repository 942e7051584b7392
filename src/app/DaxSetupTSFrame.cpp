#include "DaxSetupTSFrame.h"

#include "DaxFormTable.h"
#include "Drawthermosheme.h"
#include "Texts.h"

#include "controls/ControlHelpers.h"
#include "device/Texts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

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

// The scheme list's groups, by scheme index ("1.x" is group 1, ...; "Не использ." group 0),
// and the groups' colours in the list: the odd groups aqua, the even ones the window colour,
// so that neighbouring groups stand apart.
constexpr std::array<uint8_t, kSchemeCount> kSchemeListGroups = {0, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 3, 3, 3, 4,
                                                                  4, 5, 5, 5, 5, 5, 5, 5, 5, 5, 6, 6, 6, 6};
enum class ListColor : uint8_t { Window, Aqua };
constexpr std::array<ListColor, 7> kSchemeGroupColors = {ListColor::Window, ListColor::Aqua, ListColor::Window,
                                                         ListColor::Aqua,   ListColor::Window, ListColor::Aqua,
                                                         ListColor::Window};
constexpr QRgb kAqua = 0x00FFFF;

// The labels of a drawing: small, as the drawings were designed for.
constexpr int kSchemeFontPixels = 11;

// The free configuration's formula from its pipe counts, the pipes numbered in the order
// supply, return, make-up: supply pipes add their enthalpy, return pipes take theirs away and
// make-up pipes take the cold water's ("hх", Cyrillic х).
QString FreeSchemeFormula(int direct, int reverse, int makeUp)
{
    QString text = QStringLiteral("Q = ");
    int pipe = 0;
    for (int k = 0; k < direct; ++k) {
        ++pipe;
        text += QStringLiteral("%1M%2·h%2").arg(k == 0 ? QString() : QStringLiteral("+")).arg(pipe);
    }
    for (int k = 0; k < reverse; ++k) {
        ++pipe;
        text += QStringLiteral("-M%1·h%1").arg(pipe);
    }
    for (int k = 0; k < makeUp; ++k) {
        ++pipe;
        text += QStringLiteral("-M%1·hх").arg(pipe);
    }
    return text;
}

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
    // The drawing stands on a sheet of the window colour, on which its labels' backgrounds
    // disappear; with nothing to draw the sheet stays empty.
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (onPaint_)
        onPaint_(painter);
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
    QFormula = findChild<QLineEdit*>(QStringLiteral("QFormula"));
    QgvsFormula = hotWater;
    ConfigurationGroupBox = pipes;
    DirectPipe = findChild<QSpinBox*>(QStringLiteral("DirectPipe"));
    ReversePipe = findChild<QSpinBox*>(QStringLiteral("ReversePipe"));
    SupplyPipe = findChild<QSpinBox*>(QStringLiteral("SupplyPipe"));
    ShemePaintBox = paintBox;
    TairChanel = findChild<QComboBox*>(QStringLiteral("TairChanel"));
    TctrlChanel = findChild<QComboBox*>(QStringLiteral("TctrlChanel"));
    StopModeTS = findChild<QComboBox*>(QStringLiteral("StopModeTS"));

    ShemePaintBox->SetOnPaint([this](QPainter& painter) {
        QFont font = ShemePaintBox->font();
        font.setPixelSize(kSchemeFontPixels);
        TPainterSchemeCanvas canvas(painter, ShemePaintBox->palette().color(QPalette::Base), font);
        ShemePaintBoxPaint(canvas);
    });
    // The handlers follow every change of the list and the counts, also the bindings' (which
    // set the list's index and the counts when they show the instrument's values).
    connect(SchemeComboBox, &QComboBox::currentIndexChanged, this, [this] { SchemeComboBoxChange(); });
    for (QSpinBox* spin : {DirectPipe, ReversePipe, SupplyPipe})
        connect(spin, &QSpinBox::valueChanged, this, [this] { ConfigPipeChange(); });
}

void TDax_SetupTSFrame::SetHeatSystem(int32_t heatSystem)
{
    heatSystem_ = heatSystem;
    FillItems(TairChanel, TempChannelNames);
    FillItems(TctrlChanel, TempChannelNames);
    FillItems(StopModeTS, StopModeNames);
    FillItems(SchemeComboBox, SchemeNames);
    SchemeComboBox->setMaxVisibleItems(std::min(kMaxSchemeDropDown, SchemeComboBox->count()));
    // The list shows the background through its item data: the drop-down's delegate paints
    // it under an item that is not selected, and the selection's highlight over it.
    const QColor window = SchemeComboBox->palette().color(QPalette::Base);
    for (int index = 0; index < SchemeComboBox->count(); ++index) {
        const ListColor color = kSchemeGroupColors[kSchemeListGroups[static_cast<size_t>(index)]];
        SchemeComboBox->setItemData(index, QBrush(color == ListColor::Aqua ? QColor(kAqua) : window),
                                    Qt::BackgroundRole);
    }
    SetupTSGroupBox->setTitle(heatSystem == 0 ? QStringLiteral("Конфигурация системы теплоснабжения 1")
                                              : QStringLiteral("Конфигурация системы теплоснабжения 2"));
}

HeatSystemConfig TDax_SetupTSFrame::PreviewConfig() const
{
    HeatSystemConfig config;
    config.System = static_cast<uint8_t>(heatSystem_);
    config.SchemeIndex = static_cast<uint8_t>(std::max(SchemeComboBox->currentIndex(), 0));
    config.AirChannel = 5;
    config.ControlChannel = 5;
    // A count the instrument sent outside its spin box's range shows blank; it is drawn as none.
    config.DirectPipes = static_cast<uint8_t>(std::max(DirectPipe->value(), 0));
    config.ReversePipes = static_cast<uint8_t>(std::max(ReversePipe->value(), 0));
    config.MakeUpPipes = static_cast<uint8_t>(std::max(SupplyPipe->value(), 0));
    return config;
}

void TDax_SetupTSFrame::SchemeComboBoxChange()
{
    const int index = SchemeComboBox->currentIndex();
    if (index < 0) {
        QFormula->clear();
        QgvsFormula->hide();
        ShemePaintBox->update();
        return;
    }
    const SchemeDescriptor descriptor = GetSchemeDescriptor(PreviewConfig());
    // The hot-water line follows its flag under every scheme; the free configuration has
    // no hot-water part, so the line of a scheme chosen before does not stay behind.
    QgvsFormula->setVisible((descriptor.Flags & SchemeFlag::HotWater) != 0);
    if (heatSystem_ == 0 && index == kFreeSchemeIndex) {
        ConfigurationGroupBox->show();
        ConfigPipeChange();
        return;
    }
    ConfigurationGroupBox->hide();
    QFormula->setText(QString::fromUtf8(SchemeFormulaText(descriptor.Formula)));
    ShemePaintBox->update();
}

void TDax_SetupTSFrame::ConfigPipeChange()
{
    if (ConfigurationGroupBox->isHidden())
        return;
    // A blank count (the instrument's was outside its range) counts as none here.
    const int direct = std::max(DirectPipe->value(), 0);
    int reverse = std::max(ReversePipe->value(), 0);
    int makeUp = std::max(SupplyPipe->value(), 0);
    // The counts that make room are set quietly: their own change would come back here.
    if (reverse > kMaxFreePipes - direct) {
        reverse = kMaxFreePipes - direct;
        const QSignalBlocker quiet(ReversePipe);
        SetSpinValue(ReversePipe, reverse);
    }
    if (makeUp > kMaxFreePipes - direct - reverse) {
        makeUp = kMaxFreePipes - direct - reverse;
        const QSignalBlocker quiet(SupplyPipe);
        SetSpinValue(SupplyPipe, makeUp);
    }
    QFormula->setText(FreeSchemeFormula(direct, reverse, makeUp));
    ShemePaintBox->update();
}

void TDax_SetupTSFrame::SetUnitCaptions(uint8_t energyUnit, uint8_t pressureUnit)
{
    SetLabelText(this, QStringLiteral("W_ContractLabel"),
                 UnitCaption(QStringLiteral("W_дог"), energyUnit != 0 ? app::kGJText : app::kGcalText, true));
    SetLabelText(this, QStringLiteral("dP_minLabel"),
                 UnitCaption(QStringLiteral("dP_min"), pressureUnit != 0 ? app::kKgfText : app::kMPaText));
}
