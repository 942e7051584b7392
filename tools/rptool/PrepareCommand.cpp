#include "PrepareCommand.h"

#include "CsvDataSet.h"

#include "report/engine/EngineRuntime.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_styles.h"
#include "report/model/rpStreams.h"
#include "report/script/sc_iinterpreter_script.h"

#include <QFile>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFileError = 1;
constexpr int kExitBadContent = 2;
constexpr int32_t kModalResultCancel = 2;

void PrintLine(const QString& text)
{
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
}

void PrintErrors(const QStringList& errors)
{
    for (const QString& error : errors) {
        for (const QString& line : error.split(QStringLiteral("\r\n")))
            PrintLine(line);
    }
}

// A dialog window that is never shown: it answers Cancel.
class CancellingDialogWindow : public ITrpDialogWindow {
public:
    void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override
    {
        bounds_ = QRect(left, top, width, height);
    }
    QRect Bounds() const override { return bounds_; }
    void SetClientWidth(int32_t width) override { bounds_.setWidth(width); }
    void SetClientHeight(int32_t height) override { bounds_.setHeight(height); }
    int32_t ClientWidth() const override { return bounds_.width(); }
    int32_t ClientHeight() const override { return bounds_.height(); }
    void SetCaption(const QString&) override {}
    void SetColor(int32_t) override {}
    void SetFont(const TrpFont&) override {}
    void SetBorderStyle(TFormBorderStyle) override {}
    void SetPosition(TPosition) override {}
    void SetWindowState(TWindowState) override {}
    void SetStayOnTop(bool) override {}
    bool IsVisible() const override { return false; }
    void Hide() override {}
    int32_t ModalResult() const override { return modalResult_; }
    void SetModalResult(int32_t result) override { modalResult_ = result; }
    int32_t ShowModal() override
    {
        modalResult_ = kModalResultCancel;
        return modalResult_;
    }
    void SetEvents(Events) override {}

private:
    QRect bounds_;
    int32_t modalResult_ = 0;
};

struct Assignment {
    QString name;
    QString value;
};

bool SplitAssignment(const QString& text, Assignment& assignment)
{
    const qsizetype equals = text.indexOf(u'=');
    if (equals <= 0)
        return false;
    assignment.name = text.left(equals);
    assignment.value = text.mid(equals + 1);
    return true;
}

} // namespace

int RunPrepare(const QStringList& arguments)
{
    static const char kUsage[] =
        "usage: rptool prepare REPORT.zi3 [--csv NAME=FILE]... [--var NAME=VALUE]... [--cancel-dialogs]\n"
        "                      [--allow-files DIR]... --out OUT.zp3\n";
    QString reportName;
    QString outName;
    std::vector<Assignment> csvFiles;
    std::vector<Assignment> variables;
    bool cancelDialogs = false;
    QStringList allowedFolders;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        Assignment assignment;
        if (argument == QLatin1String("--cancel-dialogs")) {
            cancelDialogs = true;
        } else if (argument == QLatin1String("--allow-files") && i + 1 < arguments.size()) {
            allowedFolders << arguments[++i];
        } else if (argument == QLatin1String("--out") && i + 1 < arguments.size()) {
            outName = arguments[++i];
        } else if (argument == QLatin1String("--csv") && i + 1 < arguments.size()
                   && SplitAssignment(arguments[i + 1], assignment)) {
            csvFiles.push_back(assignment);
            ++i;
        } else if (argument == QLatin1String("--var") && i + 1 < arguments.size()
                   && SplitAssignment(arguments[i + 1], assignment)) {
            variables.push_back(assignment);
            ++i;
        } else if (!argument.startsWith(QLatin1String("--")) && reportName.isEmpty()) {
            reportName = argument;
        } else {
            std::fputs(kUsage, stderr);
            return kExitUsage;
        }
    }
    if (reportName.isEmpty() || outName.isEmpty()) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }

    try {
        EngineRuntime::init();
    } catch (const platform::Exception& failure) {
        PrintLine(QString::fromStdString(failure.Message()));
        return kExitFileError;
    }
    if (cancelDialogs) {
        MutableModelServices().CreateDialogWindow = [](TrpDialogPage&) -> std::unique_ptr<ITrpDialogWindow> {
            return std::make_unique<CancellingDialogWindow>();
        };
    }

    // The data sets exist before the report loads, so that its bands find them by name.
    std::vector<std::unique_ptr<TrpCsvDataSet>> dataSets;
    for (const Assignment& csv : csvFiles) {
        auto dataSet = std::make_unique<TrpCsvDataSet>();
        QByteArray text;
        try {
            text = OpenFileForReading(csv.value, kMaxCsvFileBytes)->readAll();
        } catch (const platform::Exception& failure) {
            PrintLine(QString::fromStdString(failure.Message()));
            return kExitFileError;
        }
        try {
            dataSet->LoadFromText(text, csv.value);
            dataSet->SetUserName(csv.name);
        } catch (const platform::Exception& failure) {
            PrintLine(QString::fromStdString(failure.Message()));
            return kExitBadContent;
        }
        dataSets.push_back(std::move(dataSet));
    }

    TrpReport report;
    report.EngineOptions().NewSilentMode = simSilent;
    try {
        report.LoadFromFile(reportName);
    } catch (const platform::Exception& failure) {
        PrintLine(QString::fromStdString(failure.Message()));
        return kExitFileError;
    }
    if (!report.Errors().isEmpty()) {
        PrintErrors(report.Errors());
        return kExitBadContent;
    }
    report.EngineOptions().NewSilentMode = simSilent;
    // The report's script touches no file outside these folders.
    for (const QString& folder : allowedFolders) {
        if (!report.Script().FileAccess().AllowFolder(folder)) {
            PrintLine(QStringLiteral("--allow-files needs a folder: ") + folder);
            return kExitUsage;
        }
    }
    for (const auto& dataSet : dataSets) {
        TrpReportDataSets& list = report.DataSets();
        bool bound = false;
        for (int i = 0; i < list.Count(); ++i) {
            TrpDataSetItem* item = list.Items(i);
            if (item->DataSetName().compare(dataSet->UserName(), Qt::CaseInsensitive) == 0) {
                item->SetDataSet(dataSet.get());
                bound = true;
            }
        }
        if (!bound)
            list.Add(dataSet.get());
    }
    for (const Assignment& variable : variables)
        report.Variables().SetValue(variable.name, Variant(report.QuotedText(variable.value)));

    bool prepared = false;
    try {
        prepared = report.PrepareReport();
    } catch (const platform::Exception& failure) {
        report.AddError(QString::fromStdString(failure.Message()));
    }
    if (!prepared || !report.Errors().isEmpty()) {
        PrintErrors(report.Errors());
        return kExitBadContent;
    }
    try {
        report.PreviewPages()->SaveToFile(outName);
    } catch (const platform::Exception& failure) {
        PrintLine(QString::fromStdString(failure.Message()));
        return kExitFileError;
    }
    return kExitDone;
}
