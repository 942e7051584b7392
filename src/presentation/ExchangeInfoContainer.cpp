#include "ExchangeInfoContainer.h"

#include "platform/Exceptions.h"

namespace {

bool InGroup(const ExchangeInfoStruct& entry, int32_t group)
{
    return entry.Binding != nullptr && (group < 0 || entry.BindingGroup == group);
}

} // namespace

ExchangeInfo* ExchangeInfoContainer::Add(int32_t group, std::unique_ptr<ExchangeInfo> binding)
{
    ExchangeInfo* added = binding.get();
    entries_.push_back({group, std::move(binding)});
    return added;
}

void ExchangeInfoContainer::Show(int32_t group, const ErrorCallback& onError)
{
    for (const ExchangeInfoStruct& entry : entries_) {
        if (!InGroup(entry, group))
            continue;
        try {
            entry.Binding->Show();
        } catch (const platform::Exception& failure) {
            if (onError)
                onError(failure.Message());
        }
    }
}

void ExchangeInfoContainer::Store(int32_t group)
{
    for (const ExchangeInfoStruct& entry : entries_) {
        if (InGroup(entry, group) && entry.Binding->IsControlVisible())
            entry.Binding->Store();
    }
}

void ExchangeInfoContainer::Validate(int32_t group)
{
    for (const ExchangeInfoStruct& entry : entries_) {
        if (!InGroup(entry, group) || !entry.Binding->IsControlVisible())
            continue;
        try {
            entry.Binding->Validate();
        } catch (const platform::Exception&) {
            entry.Binding->FocusControl();
            throw;
        }
    }
}
