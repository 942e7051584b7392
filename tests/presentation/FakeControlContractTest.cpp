// The control table checked on the fake that the binding tests use.
#include "ControlPortContract.h"

#include "presentation/FakeControl.h"

namespace {

class FakeHarness : public ControlHarness {
public:
    FakeHarness(ControlClass controlClass, const std::string& name, const std::vector<std::string>& items)
        : control_(controlClass, name, items)
    {
    }

    ControlPort& Port() override { return control_; }
    void Hide() override { control_.SetVisible(false); }
    void Disable() override { control_.SetEnabled(false); }
    bool HasFocus() const override { return control_.HasFocus(); }
    std::string Hint() const override { return control_.Hint(); }
    bool HintShown() const override { return control_.HintShown(); }
    uint32_t TextColor() const override { return control_.TextColor(); }
    void SetLimits(int32_t minimum, int32_t maximum) override { control_.SetLimits({minimum, maximum}); }

private:
    FakeControl control_;
};

std::unique_ptr<ControlHarness> MakeFake(ControlClass controlClass, const std::string& name,
                                         const std::vector<std::string>& items)
{
    return std::make_unique<FakeHarness>(controlClass, name, items);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Fake, ControlPortContract, testing::Values(ControlPortFactory{"Fake", MakeFake}),
                         [](const auto& info) { return info.param.name; });
