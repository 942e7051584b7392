// The control table checked on the widgets behind the bindings: once with date pickers and
// once with time pickers, as the pages use both.
#include "ControlPortContract.h"

#include "controls/BitEditComboBox.h"
#include "controls/ControlHelpers.h"
#include "presentation/qt/QtControlPort.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <limits>

namespace {

enum class PickerKind { Date, Time };

QStringList ToQt(const std::vector<std::string>& items)
{
    QStringList list;
    for (const std::string& item : items)
        list.push_back(QString::fromStdString(item));
    return list;
}

// A widget of the class as a page sets it up.
QWidget* MakeWidget(ControlClass controlClass, const std::vector<std::string>& items, PickerKind picker)
{
    switch (controlClass) {
    case ControlClass::TEdit:
        return new QLineEdit;
    case ControlClass::TComboBox: {
        // Editable, as the pulse-weight combos: their text is free.
        auto* combo = new QComboBox;
        combo->setEditable(true);
        SetComboItems(combo, ToQt(items));
        return combo;
    }
    case ControlClass::TBitEditComboBox: {
        auto* bits = new TBitEditComboBox;
        bits->SetItems(ToQt(items));
        bits->SetFirstBitSym('1');
        return bits;
    }
    case ControlClass::TCheckBox:
        return new QCheckBox;
    case ControlClass::TCSpinEdit: {
        auto* spin = new QSpinBox;
        spin->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        return spin;
    }
    case ControlClass::TProgressBar:
        return new QProgressBar;
    case ControlClass::TDateTimePicker:
        if (picker == PickerKind::Date) {
            auto* date = new QDateEdit;
            date->setCalendarPopup(true);
            date->setMinimumDate(QDate(2000, 1, 1));
            return date;
        } else {
            auto* time = new QTimeEdit;
            time->setDisplayFormat(QStringLiteral("HH:mm"));
            return time;
        }
    case ControlClass::Other:
        break;
    }
    return new QLabel;
}

class QtHarness : public ControlHarness {
public:
    QtHarness(ControlClass controlClass, const std::string& name, const std::vector<std::string>& items,
              PickerKind picker)
    {
        auto* layout = new QVBoxLayout(&window_);
        widget_ = MakeWidget(controlClass, items, picker);
        widget_->setObjectName(QString::fromStdString(name));
        layout->addWidget(widget_);
        window_.show();
        port_ = makePort(widget_);
    }

    ControlPort& Port() override { return *port_; }
    void Hide() override { widget_->hide(); }
    void Disable() override { widget_->setEnabled(false); }
    // The window keeps the widget that has or will have the focus when it is active.
    bool HasFocus() const override
    {
        const QWidget* focus = window_.focusWidget();
        return focus != nullptr && (focus == widget_ || widget_->isAncestorOf(focus));
    }
    std::string Hint() const override { return widget_->toolTip().toStdString(); }
    void SetLimits(int32_t minimum, int32_t maximum) override
    {
        if (auto* spin = qobject_cast<QSpinBox*>(widget_))
            spin->setRange(minimum, maximum);
    }
    bool HintShown() const override { return !widget_->toolTip().isEmpty(); }
    // The colour the style sheet gives the text; black without one.
    uint32_t TextColor() const override
    {
        static const QRegularExpression colour(QStringLiteral("color:\\s*(#[0-9a-fA-F]{6})"));
        const QRegularExpressionMatch match = colour.match(widget_->styleSheet());
        if (!match.hasMatch())
            return kControlTextBlack;
        const QColor rgb(match.captured(1));
        return static_cast<uint32_t>(rgb.red()) | static_cast<uint32_t>(rgb.green()) << 8 |
               static_cast<uint32_t>(rgb.blue()) << 16;
    }

private:
    QWidget window_;
    QWidget* widget_ = nullptr; // owned by the window
    std::unique_ptr<ControlPort> port_;
};

std::unique_ptr<ControlHarness> MakeWithDatePickers(ControlClass controlClass, const std::string& name,
                                                    const std::vector<std::string>& items)
{
    return std::make_unique<QtHarness>(controlClass, name, items, PickerKind::Date);
}

std::unique_ptr<ControlHarness> MakeWithTimePickers(ControlClass controlClass, const std::string& name,
                                                    const std::vector<std::string>& items)
{
    return std::make_unique<QtHarness>(controlClass, name, items, PickerKind::Time);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Qt, ControlPortContract,
                         testing::Values(ControlPortFactory{"QtDatePicker", MakeWithDatePickers},
                                         ControlPortFactory{"QtTimePicker", MakeWithTimePickers}),
                         [](const auto& info) { return info.param.name; });
