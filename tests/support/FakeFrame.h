#pragma once

#include "presentation/FakeControl.h"
#include "presentation/FrameBindings.h"

#include "device/Daxhelper.h"
#include "platform/Exceptions.h"

#include <bit>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace testsupport {

inline std::vector<std::string> Items(const ValueList& list)
{
    return {list.Items, list.Items + list.Count};
}

// The last part of a path: the component name of the control.
inline std::string ComponentName(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A device frame without windows: a fake control for every path, with the items the page
// set-up would give it, and the 627 bindings over a DaxHelper's images.
class FakeFrame {
public:
    FakeFrame()
    {
        for (const FrameControlSpec& spec : FrameControlSpecs())
            controls_[spec.Path] =
                std::make_unique<FakeControl>(spec.Class, ComponentName(spec.Path), Items(spec.List));
        const FrameControlResolver resolver([this](const std::string& path, ControlClass) -> ControlPort* {
            const auto it = controls_.find(path);
            return it == controls_.end() ? nullptr : it->second.get();
        });
        BuildFrameBindings(MakeFrameBindingFields(helper, own), resolver, container);
    }

    FakeControl& Control(const std::string& path) { return *controls_.at(path); }

    uint8_t* Register(int reg)
    {
        if (reg >= 40001)
            return helper.HoldingRegisterImage.data() + 2 * (reg - 40001);
        return helper.InputRegisterImage.data() + 2 * (reg - 30001);
    }
    void SetRegister(int reg, uint16_t value)
    {
        Register(reg)[0] = static_cast<uint8_t>(value >> 8);
        Register(reg)[1] = static_cast<uint8_t>(value);
    }
    uint16_t GetRegister(int reg) { return static_cast<uint16_t>(Register(reg)[0] << 8 | Register(reg)[1]); }
    void SetFloat(int reg, float value)
    {
        const uint32_t bits = std::bit_cast<uint32_t>(value);
        SetRegister(reg, static_cast<uint16_t>(bits >> 16));
        SetRegister(reg + 1, static_cast<uint16_t>(bits));
    }
    void SetExact(int reg, int32_t integer, float fraction)
    {
        SetRegister(reg, static_cast<uint16_t>(static_cast<uint32_t>(integer) >> 16));
        SetRegister(reg + 1, static_cast<uint16_t>(integer));
        SetFloat(reg + 2, fraction);
    }

    // The binding of a control (the n-th when a control has several).
    ExchangeInfo& Binding(const std::string& path, int occurrence = 0)
    {
        const auto& entries = container.Entries();
        const auto& descriptions = FrameBindingDescriptions();
        for (size_t i = 0; i < entries.size(); ++i)
            if (descriptions[i].ControlPath == path && occurrence-- == 0)
                return *entries[i].Binding;
        throw std::runtime_error("no binding for " + path);
    }

    // The message of a validate pass over one group; empty when it passes.
    std::string ValidateMessage(int group)
    {
        try {
            container.Validate(group);
        } catch (const platform::Exception& e) {
            return e.Message();
        }
        return {};
    }

    std::vector<std::string> ShowGroup(int group)
    {
        std::vector<std::string> errors;
        container.Show(group, [&errors](const std::string& message) { errors.push_back(message); });
        return errors;
    }

    DaxHelper helper;
    FrameOwnFields own;
    ExchangeInfoContainer container;

private:
    std::map<std::string, std::unique_ptr<FakeControl>> controls_;
};

} // namespace testsupport
