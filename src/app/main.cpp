#include "About.h"
#include "AppInfo.h"
#include "Application.h"
#include "DeviceReportFeature.h"
#include "HelpViewer.h"
#include "MainFrame.h"
#include "UserPrompts.h"

#include "devreport/DaxReportSetupFrame.h"
#include "devreport/ui/DaxReportSetupFrame.h"
#include "report/core/Services.h"
#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpDesgn.h"
#include "report/engine/ui/EngineUi.h"
#include "report/export/ExportRuntime.h"

#include <QTranslator>

int main(int argc, char* argv[])
{
    TDaxApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("DaxConfig"));
    QApplication::setApplicationVersion(QStringLiteral(DAXCONFIG_VERSION));
    const auto qtTexts = InstallQtTranslation();
    UserPrompts& prompts = UserPrompts::System();
    // The report subsystems ask the user through the same dialogs as the configurator, with
    // the print dialogs of Qt's printing support.
    QtPrintingUiService reportUi;
    ReportServices::SetUi(&reportUi);
    // The report start-up: the model with its window parts, the engine with the system's
    // printers, the export filters and the device report's classes, before any report exists.
    EngineUi::init();
    ExportRuntime::init();
    DevReportRuntime::init();
    // The designer the preview's edit button opens, with the device frame's designer defaults.
    DesignerRuntime::init();
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
