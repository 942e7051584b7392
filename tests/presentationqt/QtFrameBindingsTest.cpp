// The device frame's 627 bindings over real widgets, reached through QtControlResolver, against
// the same bindings over fake controls: from the same random images both show the same texts
// and values, fail the same way, validate the same bindings and store the same bytes.
#include "presentation/FakeControl.h"
#include "presentation/FrameBindings.h"
#include "presentation/qt/QtControlResolver.h"

#include "UnderLocale.h"

#include "controls/BitEditComboBox.h"
#include "controls/ControlHelpers.h"
#include "device/Daxhelper.h"
#include "platform/Exceptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimeEdit>
#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kPages = 4;

std::vector<std::string> Items(const ValueList& list)
{
    return {list.Items, list.Items + list.Count};
}

QStringList QtItems(const ValueList& list)
{
    QStringList items;
    for (const char* item : list.items())
        items.push_back(QString::fromUtf8(item));
    return items;
}

// The kinds of the bindings on each control path.
std::map<std::string, std::set<BindingKind>> KindsByPath()
{
    std::map<std::string, std::set<BindingKind>> kinds;
    for (const BindingDescription& d : FrameBindingDescriptions())
        kinds[d.ControlPath].insert(d.Kind);
    return kinds;
}

struct FrameData {
    DaxHelper helper;
    FrameOwnFields own;
    ExchangeInfoContainer container;
};

// A widget for a control of the register map, set up as a page would.
QWidget* MakeWidget(const FrameControlSpec& spec, const std::set<BindingKind>& kinds, QWidget* parent)
{
    switch (spec.Class) {
    case ControlClass::TEdit:
        return new QLineEdit(parent);
    case ControlClass::TComboBox: {
        auto* combo = new QComboBox(parent);
        combo->setEditable(kinds.contains(BindingKind::Float)); // the pulse weights
        SetComboItems(combo, QtItems(spec.List));
        return combo;
    }
    case ControlClass::TBitEditComboBox: {
        auto* bits = new TBitEditComboBox(parent);
        bits->SetItems(QtItems(spec.List));
        return bits;
    }
    case ControlClass::TCheckBox:
        return new QCheckBox(parent);
    case ControlClass::TCSpinEdit: {
        auto* spin = new QSpinBox(parent);
        spin->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        return spin;
    }
    case ControlClass::TProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setRange(0, 0xFFFF);
        return bar;
    }
    case ControlClass::TDateTimePicker:
        if (kinds.contains(BindingKind::Date)) {
            auto* date = new QDateEdit(parent);
            date->setCalendarPopup(true);
            date->setMinimumDate(QDate(2000, 1, 1));
            return date;
        } else {
            auto* time = new QTimeEdit(parent);
            time->setDisplayFormat(kinds.contains(BindingKind::Clock) ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
            return time;
        }
    case ControlClass::Other:
        break;
    }
    return new QWidget(parent);
}

// The frame over widgets: its own controls spread over the pages of a tab widget (so most
// are on pages not shown), each sub-frame a widget of its own on a page.
class WidgetFrame : public FrameData {
public:
    WidgetFrame()
    {
        auto* tabs = new QTabWidget(&window_);
        QWidget* pages[kPages];
        for (int p = 0; p < kPages; ++p) {
            pages[p] = new QWidget;
            tabs->addTab(pages[p], QString::number(p));
        }
        const auto kinds = KindsByPath();
        std::map<std::string, QWidget*> subFrames;
        int next = 0;
        for (const FrameControlSpec& spec : FrameControlSpecs()) {
            QWidget* parent = pages[next++ % kPages];
            std::string name = spec.Path;
            if (const size_t slash = spec.Path.find('/'); slash != std::string::npos) {
                const std::string frame = spec.Path.substr(0, slash);
                QWidget*& sub = subFrames[frame];
                if (sub == nullptr) {
                    sub = new QWidget(parent);
                    sub->setObjectName(QString::fromStdString(frame));
                }
                parent = sub;
                name = spec.Path.substr(slash + 1);
            }
            const auto it = kinds.find(spec.Path);
            QWidget* widget = MakeWidget(spec, it == kinds.end() ? std::set<BindingKind>{} : it->second, parent);
            widget->setObjectName(QString::fromStdString(name));
        }
        window_.show();
        BuildFrameBindings(MakeFrameBindingFields(helper, own), resolver_.FrameResolver(), container);
    }

    ControlPort& Control(const std::string& path) { return *resolver_.Find(path); }

private:
    QWidget window_;
    QtControlResolver resolver_{&window_};
};

class FakeFrame : public FrameData {
public:
    FakeFrame()
    {
        for (const FrameControlSpec& spec : FrameControlSpecs()) {
            const size_t slash = spec.Path.rfind('/');
            const std::string name = slash == std::string::npos ? spec.Path : spec.Path.substr(slash + 1);
            controls_[spec.Path] = std::make_unique<FakeControl>(spec.Class, name, Items(spec.List));
        }
        const FrameControlResolver resolver([this](const std::string& path, ControlClass) -> ControlPort* {
            const auto it = controls_.find(path);
            return it == controls_.end() ? nullptr : it->second.get();
        });
        BuildFrameBindings(MakeFrameBindingFields(helper, own), resolver, container);
    }

    ControlPort& Control(const std::string& path) { return *controls_.at(path); }

private:
    std::map<std::string, std::unique_ptr<FakeControl>> controls_;
};

// What a control shows, as far as a binding can read it.
std::string State(ControlPort& control)
{
    std::string state = control.Text() + "|" + std::to_string(control.Value()) + "|" +
                        std::to_string(control.ItemCount()) + (control.IsUnknown() ? "|unknown" : "");
    if (const auto date = control.Date())
        state += "|" + std::to_string(date->Year) + "-" + std::to_string(date->Month) + "-" + std::to_string(date->Day);
    if (const auto time = control.Time())
        state += "|" + std::to_string(time->Hour) + ":" + std::to_string(time->Minute) + ":" + std::to_string(time->Second);
    return state;
}

std::vector<std::string> ShowAll(FrameData& frame)
{
    std::vector<std::string> errors;
    frame.container.Show(-1, [&errors](const std::string& message) { errors.push_back(message); });
    return errors;
}

// Validates every binding, then stores each one that validated (the page stops at the first
// failure; here every binding is tried).
std::vector<bool> ValidateAndStoreEach(FrameData& frame)
{
    std::vector<bool> valid;
    for (const auto& entry : frame.container.Entries()) {
        bool ok = true;
        try {
            entry.Binding->Validate();
        } catch (const platform::Exception&) {
            ok = false;
        }
        valid.push_back(ok);
    }
    size_t i = 0;
    for (const auto& entry : frame.container.Entries())
        if (valid[i++])
            entry.Binding->Store();
    return valid;
}

class ControlPortQtFrame : public testsupport::UnderLocale {};

TEST_P(ControlPortQtFrame, BindingsOverWidgetsAnswerAsOverFakeControls)
{
    std::mt19937 random(20240612);
    constexpr int kRounds = 6;
    int validated = 0;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        WidgetFrame widgets;
        FakeFrame fakes;
        for (size_t i = 0; i < widgets.helper.HoldingRegisterImage.size(); ++i) {
            // Every other round small values, so that lists, dates and times show too.
            const uint8_t byte = static_cast<uint8_t>(round % 2 == 0 ? random() : (i % 2 == 1 ? random() % 13 : 0));
            widgets.helper.HoldingRegisterImage[i] = byte;
            fakes.helper.HoldingRegisterImage[i] = byte;
        }
        for (size_t i = 0; i < widgets.helper.InputRegisterImage.size(); ++i) {
            const uint8_t byte = static_cast<uint8_t>(round % 2 == 0 ? random() : (i % 2 == 1 ? random() % 13 : 0));
            widgets.helper.InputRegisterImage[i] = byte;
            fakes.helper.InputRegisterImage[i] = byte;
        }

        EXPECT_EQ(ShowAll(widgets), ShowAll(fakes));
        for (const FrameControlSpec& spec : FrameControlSpecs()) {
            EXPECT_EQ(State(widgets.Control(spec.Path)), State(fakes.Control(spec.Path))) << spec.Path;
            // Pages not shown keep their controls in the store and validate passes.
            EXPECT_TRUE(widgets.Control(spec.Path).IsVisible()) << spec.Path;
        }

        const std::vector<bool> validWidgets = ValidateAndStoreEach(widgets);
        EXPECT_EQ(validWidgets, ValidateAndStoreEach(fakes));
        EXPECT_TRUE(widgets.helper.HoldingRegisterImage == fakes.helper.HoldingRegisterImage);
        for (bool ok : validWidgets)
            validated += ok;
    }
    EXPECT_GT(validated, kRounds * 300);
}

DAX_INSTANTIATE_UNDER_LOCALES(ControlPortQtFrame);

} // namespace
