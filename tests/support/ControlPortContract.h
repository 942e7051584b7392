#pragma once

// The control table as a test suite: every ControlPort implementation must pass it. A test
// program links the object library `daxcontrolportcontract` and instantiates the suite with
// a factory for its ports:
//
//   INSTANTIATE_TEST_SUITE_P(Fake, ControlPortContract,
//                            testing::Values(ControlPortFactory{"Fake", MakeFakeHarness}));

#include "presentation/ControlPort.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// One control under test, with what the suite needs to see of it beyond the port.
class ControlHarness {
public:
    virtual ~ControlHarness() = default;

    virtual ControlPort& Port() = 0;
    // As the form would: hide the control, or disable it.
    virtual void Hide() = 0;
    virtual void Disable() = 0;
    // Whether the control holds the input focus now.
    virtual bool HasFocus() const = 0;
    // The hint text and whether it is shown.
    virtual std::string Hint() const = 0;
    virtual bool HintShown() const = 0;
    virtual uint32_t TextColor() const = 0;
    // As the form would: the range of a spin edit (other classes ignore it).
    virtual void SetLimits(int32_t minimum, int32_t maximum) = 0;
};

struct ControlPortFactory {
    std::string name; // names the instantiation in test output
    // A new, shown, enabled control of the class with the component name; items are a
    // combo's items or a bit editor's bit names.
    std::function<std::unique_ptr<ControlHarness>(ControlClass controlClass, const std::string& componentName,
                                                  const std::vector<std::string>& items)>
        make;
};

inline void PrintTo(const ControlPortFactory& factory, std::ostream* out)
{
    *out << factory.name;
}

class ControlPortContract : public testing::TestWithParam<ControlPortFactory> {
protected:
    std::unique_ptr<ControlHarness> Make(ControlClass controlClass, const std::string& name = "Control",
                                         const std::vector<std::string>& items = {})
    {
        return GetParam().make(controlClass, name, items);
    }
};
