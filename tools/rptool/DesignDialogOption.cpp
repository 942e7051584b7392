#include "DesignDialogOption.h"

#include "report/core/Services.h"
#include "report/designer/rpDesignerDialogs.h"

#include <cstdio>
#include <exception>

std::optional<DesignDialogOptions> TakeDesignDialogOptions(QStringList& arguments, QString& error)
{
    DesignDialogOptions options;
    bool dialog = false;
    bool other = false;
    QStringList rest;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const bool known = a == QLatin1String("--dialog") || a == QLatin1String("--in-dialog") ||
                           a == QLatin1String("--answer");
        if (!known) {
            rest.append(a);
            continue;
        }
        if (i + 1 >= arguments.size()) {
            error = a + QStringLiteral(" needs a value");
            return std::nullopt;
        }
        const QString value = arguments[++i];
        if (a == QLatin1String("--dialog")) {
            options.ClassName = value;
            dialog = true;
        } else if (a == QLatin1String("--in-dialog")) {
            options.Actions.append(value);
            other = true;
        } else if (value == QLatin1String("ok") || value == QLatin1String("cancel")) {
            options.AnswerOk = value == QLatin1String("ok");
            other = true;
        } else {
            error = QStringLiteral("--answer takes ok or cancel, not ") + value;
            return std::nullopt;
        }
    }
    if (other && !dialog) {
        error = QStringLiteral("--in-dialog and --answer need --dialog");
        return std::nullopt;
    }
    arguments = rest;
    if (!dialog)
        return std::nullopt;
    return options;
}

int RunDesignDialog(const DesignDialogOptions& options, TrpCustomDesigner& designer, QWidget* owner,
                    const QString& grabFile)
{
    DialogScriptUi ui(options.Actions, grabFile, options.AnswerOk);
    ui.OnMessage = [](const QString& text) { std::fprintf(stderr, "%s\n", text.toUtf8().constData()); };
    IUiService& previous = ReportServices::Ui();
    ReportServices::SetUi(&ui);
    QString error;
    try {
        DesignerDialogs::OpenOnSelection(options.ClassName, designer, owner);
    } catch (const std::exception& failure) {
        error = QString::fromUtf8(failure.what());
    }
    ReportServices::SetUi(&previous);
    if (error.isEmpty())
        error = ui.Error;
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", error.toUtf8().constData());
        return 2;
    }
    return 0;
}
