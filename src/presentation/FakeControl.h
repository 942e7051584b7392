#pragma once

#include "ControlPort.h"

#include <optional>
#include <string>
#include <vector>

// A control without a window: it keeps what a real control of its class would show and
// answers as the control table says (ControlPort.h). Tests and the tools that build the
// bindings without windows use it; everything it holds can be read back and changed as a
// user would change it.
class FakeControl : public ControlPort {
public:
    FakeControl(ControlClass controlClass, std::string componentName, std::vector<std::string> items = {});

    ControlClass Class() const override { return class_; }
    std::string ComponentName() const override { return name_; }
    std::string Text() const override;
    void SetText(const std::string& text) override;
    void SetHint(const std::string& text, bool show) override;
    bool IsVisible() const override;
    int32_t Value() const override;
    bool SetValue(int32_t value) override;
    int32_t ItemCount() const override;
    std::optional<ControlLimits> Limits() const override;
    void SetFocus() override;
    void SetTextColor(uint32_t color) override { color_ = color; }
    std::optional<ControlDate> Date() const override;
    bool SetDate(const ControlDate& date) override;
    std::optional<ControlTime> Time() const override;
    bool SetTime(const ControlTime& time) override;
    void SetUnknown() override;
    bool IsUnknown() const override;
    void SetChangeHandler(std::function<void()> handler) override { handler_ = std::move(handler); }

    // What a user or a form does to the control.
    void SetVisible(bool visible) { visible_ = visible; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    void SetItems(std::vector<std::string> items);
    // A spin edit's range, as the form sets it; without one it takes every value.
    void SetLimits(ControlLimits limits) { limits_ = limits; }
    // Focus moves away, as when the user clicks elsewhere.
    void ClearFocus() { focused_ = false; }

    // What the control shows.
    const std::vector<std::string>& Items() const { return items_; }
    const std::string& Hint() const { return hint_; }
    bool HintShown() const { return hintShown_; }
    bool HasFocus() const { return focused_; }
    uint32_t TextColor() const { return color_; }
    // How often the change handler ran.
    int ChangeCount() const { return changes_; }

private:
    bool HasText() const;
    void RunChangeHandler();

    ControlClass class_;
    std::string name_;
    std::vector<std::string> items_; // combo items or bit names
    std::string text_;
    std::string hint_;
    bool hintShown_ = false;
    bool visible_ = true;
    bool enabled_ = true;
    bool focused_ = false;
    uint32_t color_ = kControlTextBlack;
    int32_t value_ = 0;              // combo index, flags, check state, spin value, position
    ControlDate date_;               // picker
    ControlTime time_;               // picker
    bool unknown_ = false;           // picker without date or time, spin edit without value (a combo is unknown at index -1)
    std::optional<ControlLimits> limits_; // spin edit
    std::function<void()> handler_;
    int changes_ = 0;
};
