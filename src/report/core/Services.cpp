#include "Services.h"

namespace {

class SilentUi final : public IUiService {
public:
    void ShowMessage(const QString&) override {}
};

SilentUi gSilentUi;
IUiService* gUi = nullptr;

} // namespace

namespace ReportServices {

IUiService& Ui()
{
    return gUi != nullptr ? *gUi : gSilentUi;
}

void SetUi(IUiService* service)
{
    gUi = service;
}

} // namespace ReportServices
