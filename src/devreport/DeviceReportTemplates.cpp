#include "DeviceReportTemplates.h"

#include "Texts.h"

#include "platform/Exceptions.h"
#include "report/model/rpClass_report.h"

#include <QFile>

namespace DeviceReportTemplates {

QString ResourcePath(const QString& name)
{
    return QStringLiteral(":/devreport/templates/%1.zi3").arg(name);
}

void Load(TrpReport& report, const QString& name)
{
    QFile file(ResourcePath(name));
    if (!file.open(QIODevice::ReadOnly))
        throw platform::Exception(QString::fromUtf8(devreport::kTemplateMissingText).arg(name).toStdString());
    report.LoadFromStream(file);
    if (!report.Errors().isEmpty())
        throw platform::Exception(QString::fromUtf8(devreport::kTemplateMissingText).arg(name).toStdString() +
                                  ": " + report.Errors().join(QStringLiteral("; ")).toStdString());
    TrpPreviewButtons buttons = 0;
    for (const TrpPreviewButton button : {pbPrint, pbLoad, pbSave, pbExport, pbZoom, pbFind, pbOutline, pbTools,
                                          pbNavigator, pbExportQuick})
        buttons |= TrpPreviewButtons(1) << button;
    report.PreviewOptions().Buttons = buttons;
}

} // namespace DeviceReportTemplates
