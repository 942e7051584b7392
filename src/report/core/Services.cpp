#include "Services.h"

int IUiService::MessageDlg(const QString&, const QString&, UiMessageType, uint32_t)
{
    return mrNone;
}

void IUiService::ShowHelp(const QString&, const QString&) {}

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
