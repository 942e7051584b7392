#include "DesignNewOption.h"

#include "CsvDBDataSet.h"

#include "report/core/Services.h"
#include "report/designer/rpDesignerDialogs.h"
#include "report/designer/rpWizardStd.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpDsgnIntf.h"

#include "platform/Exceptions.h"

#include <cstdio>
#include <exception>

namespace {

void PrintError(const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

bool IsRegisteredWizard(const QString& className)
{
    const TrpWizardCollection& registry = GetWizardRegistry();
    for (int i = 0; i < registry.Count(); ++i) {
        if (registry.Items(i).ClassRef == className)
            return true;
    }
    return false;
}

} // namespace

DesignNewOptions TakeDesignNewOptions(QStringList& arguments, QString& error)
{
    DesignNewOptions options;
    const bool wizard = arguments.contains(QStringLiteral("--wizard"));
    if (wizard && arguments.contains(QStringLiteral("--dialog"))) {
        error = QStringLiteral("--wizard and --dialog do not go together");
        return options;
    }
    QStringList rest;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--new")) {
            options.New = true;
            continue;
        }
        const bool known = a == QLatin1String("--wizard") || a == QLatin1String("--csv-db") ||
                           (wizard && (a == QLatin1String("--in-dialog") || a == QLatin1String("--answer")));
        if (!known) {
            rest.append(a);
            continue;
        }
        if (i + 1 >= arguments.size()) {
            error = a + QStringLiteral(" needs a value");
            return options;
        }
        const QString value = arguments[++i];
        if (a == QLatin1String("--wizard")) {
            options.Wizard = value;
        } else if (a == QLatin1String("--csv-db")) {
            const qsizetype equals = value.indexOf(u'=');
            if (equals <= 0 || equals + 1 >= value.size() || value.left(equals).trimmed().isEmpty()) {
                error = QStringLiteral("--csv-db takes NAME=FILE, not ") + value;
                return options;
            }
            options.CsvDataSets.emplace_back(value.left(equals), value.mid(equals + 1));
        } else if (a == QLatin1String("--in-dialog")) {
            options.Actions.append(value);
        } else if (value == QLatin1String("ok") || value == QLatin1String("cancel")) {
            options.AnswerOk = value == QLatin1String("ok");
        } else {
            error = QStringLiteral("--answer takes ok or cancel, not ") + value;
            return options;
        }
    }
    arguments = rest;
    return options;
}

std::vector<std::unique_ptr<TrpCsvDBDataSet>> LoadDesignDataSets(const DesignNewOptions& options, QString& error)
{
    std::vector<std::unique_ptr<TrpCsvDBDataSet>> dataSets;
    for (const auto& [name, file] : options.CsvDataSets) {
        auto dataSet = std::make_unique<TrpCsvDBDataSet>();
        try {
            dataSet->LoadFromFile(file);
            dataSet->SetUserName(name);
        } catch (const platform::Exception& failure) {
            error = QString::fromStdString(failure.Message());
            return {};
        }
        dataSets.push_back(std::move(dataSet));
    }
    return dataSets;
}

int RunDesignWizard(const DesignNewOptions& options, TrpCustomDesigner& designer)
{
    std::unique_ptr<TrpCustomWizard> wizard =
        IsRegisteredWizard(options.Wizard) ? CreateWizard(options.Wizard, &designer) : nullptr;
    if (wizard == nullptr) {
        PrintError(QStringLiteral("No wizard %1").arg(options.Wizard));
        return 2;
    }
    DialogScriptUi ui(options.Actions, QString(), options.AnswerOk);
    ui.OnMessage = [](const QString& text) { PrintError(text); };
    IUiService& previous = ReportServices::Ui();
    ReportServices::SetUi(&ui);
    QString error;
    try {
        if (wizard->Execute())
            designer.SetModified(true);
    } catch (const std::exception& failure) {
        error = QString::fromUtf8(failure.what());
    }
    ReportServices::SetUi(&previous);
    if (error.isEmpty())
        error = ui.Error;
    if (!error.isEmpty()) {
        PrintError(error);
        return 2;
    }
    return 0;
}
