#include "ExchangeInfoContainer.h"

#include "platform/Exceptions.h"

ExchangeInfo* ExchangeInfoContainer::Add(int32_t group, std::unique_ptr<ExchangeInfo> binding)
{
    ExchangeInfo* added = binding.get();
    entries_.push_back({group, std::move(binding)});
    return added;
}

void ExchangeInfoContainer::Show(int32_t group, const ErrorCallback& onError)
{
    ForEach(group, [&](ExchangeInfo& binding) {
        try {
            binding.Show();
        } catch (const platform::Exception& failure) {
            if (onError)
                onError(failure.Message());
        }
    });
}

void ExchangeInfoContainer::Store(int32_t group)
{
    ForEach(group, [](ExchangeInfo& binding) {
        if (binding.IsControlVisible())
            binding.Store();
    });
}

void ExchangeInfoContainer::Validate(int32_t group)
{
    ForEach(group, [](ExchangeInfo& binding) {
        if (!binding.IsControlVisible())
            return;
        try {
            binding.Validate();
        } catch (const platform::Exception&) {
            binding.FocusControl();
            throw;
        }
    });
}
