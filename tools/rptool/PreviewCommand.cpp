#include "PreviewCommand.h"

#include "CsvDataSet.h"

#include "report/desktop/ReportDesktop.h"
#include "report/engine/ui/EngineUi.h"
#include "report/engine/ui/rpPreviewForm.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpStreams.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFileError = 1;
constexpr int kExitBadContent = 2;

const char kUsage[] =
    "usage: rptool preview (FILE.zp3 | REPORT.zi3 [--csv NAME=FILE]...) [--zoom Z | --page-width | --whole-page]\n"
    "                      [--page N] [--outline | --thumbnails] [--find TEXT] [--grab PNG]\n";

void PrintLine(FILE* stream, const QString& text)
{
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stream);
}

struct Options {
    QString file;
    std::vector<std::pair<QString, QString>> csv;
    std::optional<double> zoom;
    TrpZoomMode zoomMode = zmDefault;
    int page = 0;
    bool outline = false;
    bool thumbnails = false;
    std::optional<QString> find;
    QString grab;
};

bool Parse(const QStringList& arguments, Options& options)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QLatin1String("--csv") && hasValue) {
            const QString value = arguments[++i];
            const qsizetype equals = value.indexOf(u'=');
            if (equals <= 0)
                return false;
            options.csv.emplace_back(value.left(equals), value.mid(equals + 1));
        } else if (argument == QLatin1String("--zoom") && hasValue) {
            bool ok = false;
            const double zoom = arguments[++i].toDouble(&ok);
            if (!ok || !(zoom > 0) || zoom > 100)
                return false;
            options.zoom = zoom;
        } else if (argument == QLatin1String("--page-width")) {
            options.zoomMode = zmPageWidth;
        } else if (argument == QLatin1String("--whole-page")) {
            options.zoomMode = zmWholePage;
        } else if (argument == QLatin1String("--page") && hasValue) {
            bool ok = false;
            options.page = arguments[++i].toInt(&ok);
            if (!ok || options.page < 1)
                return false;
        } else if (argument == QLatin1String("--outline")) {
            options.outline = true;
        } else if (argument == QLatin1String("--thumbnails")) {
            options.thumbnails = true;
        } else if (argument == QLatin1String("--find") && hasValue) {
            options.find = arguments[++i];
        } else if (argument == QLatin1String("--grab") && hasValue) {
            options.grab = arguments[++i];
        } else if (!argument.startsWith(QLatin1String("--")) && options.file.isEmpty()) {
            options.file = argument;
        } else {
            return false;
        }
    }
    const int zoomChoices = (options.zoom ? 1 : 0) + (options.zoomMode != zmDefault ? 1 : 0);
    return !options.file.isEmpty() && zoomChoices <= 1 && !(options.outline && options.thumbnails);
}

// What is applied once the pages exist: the page and the search.
void ApplyAfterPages(TrpPreview& preview, const Options& options)
{
    if (options.page > 0)
        preview.SetPageNo(options.page);
    if (options.find) {
        const bool found = preview.FindText(*options.find, true, false);
        if (found)
            PrintLine(stdout, QStringLiteral("found page=%1").arg(preview.Workspace()->FoundPage() + 1));
        else
            PrintLine(stdout, QStringLiteral("not found"));
        std::fflush(stdout);
    }
}

// The modal seam of --grab: shows the preview, runs the deferred preparation at once, saves
// the picture and returns without a user; any other window answers Cancel.
class GrabUi : public QtPrintingUiService {
public:
    GrabUi(TrpReport& report, const Options& options) : report_(report), options_(options) {}
    int RunModal(QObject& dialog, const QString&) override
    {
        auto* window = dynamic_cast<TrpPreviewForm*>(&dialog);
        if (window == nullptr)
            return mrCancel;
        window->show();
        QCoreApplication::processEvents();
        if (report_.PrepareTimer().isActive())
            report_.PrepareTimerTick();
        QCoreApplication::processEvents();
        if (!applied_) {
            ApplyAfterPages(*window->PreviewControl(), options_);
            applied_ = true;
        }
        QCoreApplication::processEvents();
        saved_ = window->grab().save(options_.grab, "PNG");
        window->close();
        return mrNone;
    }
    void ShowMessage(const QString& text) override { PrintLine(stderr, text); }
    bool Saved() const { return saved_; }
    bool applied_ = false;

private:
    TrpReport& report_;
    const Options& options_;
    bool saved_ = false;
};

} // namespace

int RunPreview(const QStringList& arguments)
{
    Options options;
    if (!Parse(arguments, options)) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    try {
        ReportDesktop::start();
    } catch (const platform::Exception& failure) {
        PrintLine(stderr, QString::fromStdString(failure.Message()));
        return kExitFileError;
    }

    std::vector<std::unique_ptr<TrpCsvDataSet>> dataSets;
    for (const auto& [name, fileName] : options.csv) {
        auto dataSet = std::make_unique<TrpCsvDataSet>();
        QByteArray text;
        try {
            text = OpenFileForReading(fileName, kMaxCsvFileBytes)->readAll();
        } catch (const platform::Exception& failure) {
            PrintLine(stderr, QString::fromStdString(failure.Message()));
            return kExitFileError;
        }
        try {
            dataSet->LoadFromText(text, fileName);
            dataSet->SetUserName(name);
        } catch (const platform::Exception& failure) {
            PrintLine(stderr, QString::fromStdString(failure.Message()));
            return kExitBadContent;
        }
        dataSets.push_back(std::move(dataSet));
    }

    if (!QFileInfo(options.file).isFile() || !QFileInfo(options.file).isReadable()) {
        PrintLine(stderr, QStringLiteral("Cannot open file \"") + options.file + QStringLiteral("\"."));
        return kExitFileError;
    }
    TrpReport report;
    const bool prepared = QFileInfo(options.file).suffix().compare(QLatin1String("zp3"), Qt::CaseInsensitive) == 0;
    try {
        if (prepared) {
            report.PreviewPages()->LoadFromFile(options.file, true);
        } else {
            report.EngineOptions().NewSilentMode = simSilent;
            report.LoadFromFile(options.file);
        }
    } catch (const platform::Exception& failure) {
        PrintLine(stderr, QString::fromStdString(failure.Message()));
        return kExitBadContent;
    }
    if (!report.Errors().isEmpty()) {
        for (const QString& error : report.Errors())
            PrintLine(stderr, error);
        return kExitBadContent;
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

    TrpPreviewOptions& preview = report.PreviewOptions();
    preview.Modal = true;
    preview.Maximized = false;
    if (options.zoom) {
        preview.Zoom = *options.zoom;
        preview.ZoomMode = zmDefault;
    } else if (options.zoomMode != zmDefault) {
        preview.ZoomMode = options.zoomMode;
    }
    preview.OutlineVisible = options.outline;
    preview.ThumbnailVisible = options.thumbnails;

    GrabUi grabUi(report, options);
    QtPrintingUiService ui;
    const bool grabbing = !options.grab.isEmpty();
    ReportServices::SetUi(grabbing ? static_cast<IUiService*>(&grabUi) : &ui);
    struct Restore {
        ~Restore() { ReportServices::SetUi(nullptr); }
    } restore;

    if (!grabbing) {
        // Interactively the page and the search wait for the pages.
        const auto apply = [&report, &options] {
            if (auto* control = dynamic_cast<TrpPreview*>(report.Preview()))
                ApplyAfterPages(*control, options);
        };
        if (prepared) {
            report.OnPreview = [apply](TrpReport&) { QTimer::singleShot(0, apply); };
        } else {
            report.OnProgressStop = [apply](TrpReport&, TrpProgressType type, int32_t) {
                if (type == ptRunning)
                    QTimer::singleShot(0, apply);
            };
        }
    }
    if (prepared)
        report.ShowPreparedReport();
    else
        report.ShowReport();
    if (!report.Errors().isEmpty()) {
        for (const QString& error : report.Errors())
            PrintLine(stderr, error);
        return kExitBadContent;
    }
    if (grabbing && !grabUi.Saved()) {
        PrintLine(stderr, QStringLiteral("cannot write ") + options.grab);
        return kExitFileError;
    }
    return kExitDone;
}
