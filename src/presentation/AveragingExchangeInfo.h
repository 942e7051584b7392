#pragma once

#include "AveragingVault.h"
#include "ExchangeInfo.h"

// A binding that can show, in place of the value just read, the mean of the values read
// since the value last moved by more than 5 percent, with the statistics in the control's
// hint. Averaging is off at construction. The kinds built on it call Average from their
// show with the value read (and scaled) and show what it returns.
template <typename T>
class AveragingExchangeInfo : public ExchangeInfo {
public:
    using ExchangeInfo::ExchangeInfo;

    void ResetAveraging() override { vault_.Reset(); }
    // Switching off also clears the hint; either way the series starts anew.
    void EnableAveraging(bool on) override;

    bool AveragingEnabled() const { return averaging_; }
    const AveragingVault<T>& Vault() const { return vault_; }

protected:
    // With averaging on: the sample rule, the hint, and the new average; otherwise v.
    T Average(T v);

private:
    bool averaging_ = false;
    AveragingVault<T> vault_;
};

extern template class AveragingExchangeInfo<float>;
extern template class AveragingExchangeInfo<uint16_t>;
