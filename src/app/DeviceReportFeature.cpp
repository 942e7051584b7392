#include "DeviceReportFeature.h"

#include "DaxFrame.h"
#include "DeviceReportState.h"

#include "controls/ControlHelpers.h"
#include "devreport/DeviceReportBuilder.h"
#include "devreport/DeviceReportTemplates.h"
#include "devreport/Texts.h"
#include "devreport/ui/DaxReportSetupFrame.h"
#include "devreport/ui/Texts.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "report/core/Services.h"

#include <QDateEdit>
#include <QLocale>

namespace {

// The device frame as the report builder sees it.
class FrameHost : public DeviceReportHost {
public:
    FrameHost(TDax_Frame& frame, DeviceReportState& state) : frame_(frame), state_(state) {}

    DaxHelper& Helper() override { return frame_.Helper(); }
    TReportData& ReportData() override { return state_.ReportData; }
    TrpReport& Template(const char* name) override
    {
        const QString wanted = QString::fromUtf8(name);
        if (wanted == QString::fromUtf8(DeviceReportTemplates::kArchiveReport))
            return state_.rpReport;
        if (wanted == QString::fromUtf8(DeviceReportTemplates::kInfoReport))
            return state_.rpInfoReport;
        if (wanted == QString::fromUtf8(DeviceReportTemplates::kSetupReport01))
            return state_.rpSetupReport_01;
        return state_.rpSetupReport_02;
    }
    QString ControlText(const QString& path) override { return ::ControlText(&Control<QWidget>(path)); }
    double PickerDate(const QString& name) override
    {
        const QDate date = Control<QDateEdit>(name).date();
        return EncodeDate(date.year(), date.month(), date.day());
    }
    DisplayOptions Options() override { return frame_.Options() != nullptr ? *frame_.Options() : DisplayOptions{}; }
    char DecimalSeparator() override { return QLocale::system().decimalPoint().at(0).toLatin1(); }
    bool RunSetupDialog(ReportSetupStruct& setup) override
    {
        if (ReportSetupForm == nullptr)
            return false;
        ReportSetupForm->ArchiveSource = &frame_.Helper();
        if (ReportServices::Ui().RunModal(*ReportSetupForm, QString::fromUtf8(devreportui::kCaptionText)) != mrOk)
            return false;
        setup = ReportSetupForm->Settings;
        return true;
    }

private:
    // The control at a path of object names ("ConfigurationTS1/SchemeComboBox"); an error
    // naming the path when the frame has none there.
    template <typename Widget>
    Widget& Control(const QString& path)
    {
        QObject* parent = &frame_;
        Widget* found = nullptr;
        const QStringList names = path.split(QLatin1Char('/'));
        for (int i = 0; i < names.size() && parent != nullptr; ++i) {
            if (i + 1 < names.size()) {
                parent = parent->findChild<QWidget*>(names[i]);
            } else {
                found = parent->findChild<Widget*>(names[i]);
            }
        }
        if (found == nullptr)
            throw platform::Exception(QString::fromUtf8(devreport::kControlMissingText).arg(path).toStdString());
        return *found;
    }

    TDax_Frame& frame_;
    DeviceReportState& state_;
};

} // namespace

void DeviceReportFeature::BuildAndShowReport(TDax_Frame& frame)
{
    auto* state = dynamic_cast<DeviceReportState*>(frame.ReportState());
    if (state == nullptr) {
        frame.SetReportState(CreateFrameState());
        state = dynamic_cast<DeviceReportState*>(frame.ReportState());
    }
    FrameHost host(frame, *state);
    ::BuildAndShowReport(host);
}

std::unique_ptr<FrameReportState> DeviceReportFeature::CreateFrameState()
{
    return std::make_unique<DeviceReportState>();
}
