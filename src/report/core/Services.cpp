#include "Services.h"
#include "Texts.h"

#include "DateValues.h"
#include "ScriptErrors.h"
#include "Texts.h"

#include <QDateTime>

#include <chrono>
#include <random>

int IUiService::MessageDlg(const QString&, const QString&, UiMessageType, uint32_t)
{
    return mrNone;
}

void IUiService::ShowHelp(const QString&, const QString&) {}

void IUiService::OpenUrl(const QUrl&) {}

bool IUiService::InputQuery(const QString&, const QString&, QString&)
{
    return false;
}

bool IUiService::OpenFileDialog(UiFileDialog&)
{
    return false;
}

bool IUiService::SaveFileDialog(UiFileDialog&)
{
    return false;
}

bool IUiService::SelectFolder(const QString&, QString&)
{
    return false;
}

bool IUiService::ColorDialog(uint32_t&)
{
    return false;
}

bool IUiService::FontDialog(UiFont&)
{
    return false;
}

bool IUiService::PrintDialog(UiPrintDialog&)
{
    return false;
}

bool IUiService::PrinterSetupDialog()
{
    return false;
}

int IUiService::RunModal(QObject&, const QString&)
{
    return mrNone;
}

void IUiService::ProcessEvents() {}

void IUiService::ProcessInputEvents()
{
    ProcessEvents();
}

bool IUiService::WaitInputEvents()
{
    ProcessInputEvents();
    return false;
}

namespace {

class SilentUi final : public IUiService {
public:
    void ShowMessage(const QString&) override {}
};

SilentUi gSilentUi;
IUiService* gUi = nullptr;

class SystemClock final : public IClockService {
public:
    double Now() override
    {
        // Local wall time, as the user reads it; days since 1899-12-30 like every date value.
        const QDateTime now = QDateTime::currentDateTime();
        return QDateToDateValue(now.date()) + now.time().msecsSinceStartOfDay() / 86'400'000.0;
    }
};

class SystemRandom final : public IRandomService {
public:
    void Randomize() override
    {
        engine_.seed(static_cast<std::mt19937_64::result_type>(
            std::chrono::steady_clock::now().time_since_epoch().count()));
    }
    double Next() override { return std::uniform_real_distribution<double>(0.0, 1.0)(engine_); }

private:
    std::mt19937_64 engine_{0x5EED};
};

SystemClock gSystemClock;
IClockService* gClock = nullptr;
SystemRandom gSystemRandom;
IRandomService* gRandom = nullptr;

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

namespace ReportServices {

IClockService& Clock()
{
    return gClock != nullptr ? *gClock : gSystemClock;
}

void SetClock(IClockService* service)
{
    gClock = service;
}

IRandomService& Random()
{
    return gRandom != nullptr ? *gRandom : gSystemRandom;
}

void SetRandom(IRandomService* service)
{
    gRandom = service;
}

} // namespace ReportServices

namespace ReportServices {

void Guarded(const std::function<void()>& body,
             const std::function<void(const QString& className, const QString& message)>& onError)
{
    QString className;
    QString message;
    try {
        body();
        return;
    } catch (...) {
        std::string name;
        std::string text;
        if (!CurrentScriptError(name, text)) {
            name = "Exception";
            try {
                throw;
            } catch (const std::exception& error) {
                text = error.what();
            } catch (...) {
                text = coretexts::kUnknownErrorText;
            }
        }
        className = QString::fromStdString(name);
        message = QString::fromStdString(text);
    }
    try {
        onError(className, message);
    } catch (...) {
        // The sink itself failed: nothing more can be reported without crossing the loop.
    }
}

} // namespace ReportServices
