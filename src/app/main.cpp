#include "About.h"
#include "AppInfo.h"
#include "Application.h"
#include "DeviceReportFeature.h"
#include "HelpViewer.h"
#include "MainFrame.h"
#include "UserPrompts.h"

#include "devreport/ui/DaxReportSetupFrame.h"
#include "report/core/Services.h"
#include "report/designer/rpDesgn.h"
#include "report/desktop/ReportDesktop.h"
#include "report/engine/ui/EngineUi.h"

int main(int argc, char* argv[])
{
    TDaxApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("DaxConfig"));
    QApplication::setApplicationVersion(QStringLiteral(DAXCONFIG_VERSION));
    UserPrompts& prompts = UserPrompts::System();
    // The report subsystems ask the user through the same dialogs as the configurator, with
    // the print dialogs of Qt's printing support.
    QtPrintingUiService reportUi;
    ReportServices::SetUi(&reportUi);
    // Every report runtime with its windows (the export dialogs and the designer the preview's
    // edit button opens among them) and Qt's texts in Russian, before any report exists.
    ReportDesktop::start();
    // The designer component with the device frame's designer defaults.
    TrpDesigner rpDesigner1;
    rpDesigner1.ApplyDeviceFrameValues();
    return RunGuarded(prompts, [&] {
        // Outlives the main window, whose frames keep the feature's report state.
        DeviceReportFeature reportFeature;
        TMainForm mainForm;
        mainForm.SetPrompts(&prompts);
        mainForm.SetHelpViewer(FolderHelpViewer::Find(QCoreApplication::applicationDirPath(), DesktopUrlOpener()));
        // The one report settings dialog: the choices it remembers live as long as the program.
        TReportSetupForm reportSetupForm(&mainForm);
        ReportSetupForm = &reportSetupForm;
        TAboutBox aboutBox({QStringLiteral(DAXCONFIG_DESCRIPTION), QStringLiteral(DAXCONFIG_VERSION),
                            QStringLiteral(DAXCONFIG_HOMEPAGE)},
                           &mainForm);
        mainForm.SetAboutBox(&aboutBox);
        mainForm.SetReportFeature(&reportFeature);
        mainForm.show();
        return QApplication::exec();
    });
}
