#pragma once

#include "ExchangeInfo.h"

#include <concepts>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct ExchangeInfoStruct {
    int32_t BindingGroup = 0;
    std::unique_ptr<ExchangeInfo> Binding;
};

// The device frame's bindings under their binding groups, in the order they were added, and
// the three passes over one group. A negative group means every entry. The container owns
// its bindings; it is never copied.
class ExchangeInfoContainer {
public:
    // Receives the message of each binding that failed to show.
    using ErrorCallback = std::function<void(const std::string& message)>;

    ExchangeInfoContainer() = default;
    ExchangeInfoContainer(const ExchangeInfoContainer&) = delete;
    ExchangeInfoContainer& operator=(const ExchangeInfoContainer&) = delete;

    // Appends the entry and returns the binding, for SetBindingName and SetBindingNameRange.
    ExchangeInfo* Add(int32_t group, std::unique_ptr<ExchangeInfo> binding);
    template <std::derived_from<ExchangeInfo> Kind>
    Kind* Add(int32_t group, std::unique_ptr<Kind> binding)
    {
        Kind* added = binding.get();
        Add(group, std::unique_ptr<ExchangeInfo>(std::move(binding)));
        return added;
    }

    // Shows every binding of the group. A platform::Exception is passed to the callback (when
    // given) and the pass goes on; any other exception ends it.
    void Show(int32_t group, const ErrorCallback& onError = {});
    // Stores every binding of the group whose control is visible; nothing is caught.
    void Store(int32_t group);
    // Validates every binding of the group whose control is visible. The first failure stops
    // the pass: its control gets the focus and the failure goes on to the caller.
    void Validate(int32_t group);

    // Calls action(binding) for every present binding of the group, in list order.
    template <typename Action>
    void ForEach(int32_t group, Action action) const
    {
        for (const ExchangeInfoStruct& entry : entries_) {
            if (entry.Binding != nullptr && (group < 0 || entry.BindingGroup == group))
                action(*entry.Binding);
        }
    }

    const std::vector<ExchangeInfoStruct>& Entries() const { return entries_; }
    size_t Count() const { return entries_.size(); }

private:
    std::vector<ExchangeInfoStruct> entries_;
};
