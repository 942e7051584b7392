// app-screens: renders the configurator's windows to PNG files for a reviewer to look at:
// the main window, the options dialog, the about box and the progress window; with --pages,
// every page of the device frame instead, filled from the demo instrument; with --schemes,
// the drawing of every heat-system scheme of both heat systems and of a set of free
// configurations; with --report-setup, the report settings dialog for each report kind over the
// demo instrument's history; with --report KIND --data FILE, a device report (0 archive,
// 1 emergency journal, 2 operator journal, 3 settings) made through the main window from a data
// file, exported to PDF and its preview pictured (ReportScreens.h). Settings come from a fresh
// temporary folder, so the pictures show the program as it first starts. Run it with QT_QPA_PLATFORM=offscreen where there is no display.
#include "app/About.h"
#include "AppInfo.h"
#include "app/DaxFrame.h"
#include "app/DaxInteractFrame.h"
#include "app/DaxPageTable.h"
#include "app/DaxSetupTSFrame.h"
#include "app/MainFrame.h"
#include "app/OptionsFrame.h"
#include "comm/Interact.h"
#include "device/Daxhelper.h"
#include "devreport/ui/DaxReportSetupFrame.h"

#include "DataFile.h"
#include "DemoState.h"
#include "ReportScreens.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPixmap>
#include <QScrollArea>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

const char* const kUsage =
    "usage: app-screens [--pages | --schemes | --report-setup] --out DIR\n"
    "       app-screens --report KIND --data FILE [--system N] [--from YYYY-MM-DD --to YYYY-MM-DD]\n"
    "                   [--totals] [--hours] [--codes] [--channels MVP] [--hardware] [--modes]\n"
    "                   [--consumer TEXT] [--supplier TEXT] [--portrait] --out DIR\n";

// The smallest picture of a page: the main window's work panel at the window's first size.
constexpr int kPageMinWidth = 1036;
constexpr int kPageMinHeight = 640;
// Room around a page's contents: the tree, the splitter, the scroll area's margins and the
// command buttons below.
constexpr int kTreeRoom = 230;
constexpr int kCommandRoom = 70;

// A clock that stands where it is put, for a progress window with a stable estimate.
class StillClock : public platform::Clock {
public:
    std::chrono::system_clock::time_point UtcNow() const override { return {}; }
    std::chrono::steady_clock::time_point SteadyNow() const override { return steady_; }
    void Advance(std::chrono::milliseconds step) { steady_ += step; }

private:
    std::chrono::steady_clock::time_point steady_{};
};

// Writes the picture of a widget of a shown window.
bool SavePicture(QWidget& widget, const QDir& folder, const QString& name)
{
    const QString path = folder.filePath(name);
    if (!widget.grab().save(path, "PNG")) {
        std::fprintf(stderr, "app-screens: cannot write %s\n", path.toLocal8Bit().constData());
        return false;
    }
    std::printf("%s\n", path.toLocal8Bit().constData());
    return true;
}

bool Save(QWidget& window, const QDir& folder, const QString& name)
{
    window.show();
    QApplication::processEvents();
    return SavePicture(window, folder, name);
}

// Free configurations pictured besides the schemes: supply, return and make-up pipes.
struct PipeCounts {
    int Direct;
    int Reverse;
    int MakeUp;
};
constexpr PipeCounts kFreeConfigurations[] = {{1, 0, 0}, {1, 1, 0}, {2, 1, 1}, {2, 2, 1}, {1, 1, 2},
                                              {1, 0, 4}, {1, 4, 0}, {3, 2, 0}, {5, 0, 0}, {2, 0, 3}};

// The drawing of every scheme of both heat systems (scheme_ts1_NN.png, scheme_ts2_NN.png, NN
// the scheme's index) and of the free configurations (scheme_free_D_R_S.png), each drawn by a
// setup page as the user sees it.
bool SaveSchemes(const QDir& folder)
{
    bool saved = true;
    for (int heatSystem = 0; heatSystem < 2; ++heatSystem) {
        TDax_SetupTSFrame page;
        page.SetHeatSystem(heatSystem);
        page.show();
        auto* scheme = page.findChild<QComboBox*>(QStringLiteral("SchemeComboBox"));
        auto* drawing = page.findChild<QWidget*>(QStringLiteral("ShemePaintBox"));
        for (int index = 0; index < scheme->count(); ++index) {
            scheme->setCurrentIndex(index);
            QApplication::processEvents();
            const QString name = QStringLiteral("scheme_ts%1_%2.png").arg(heatSystem + 1).arg(index, 2, 10, QLatin1Char('0'));
            saved = SavePicture(*drawing, folder, name) && saved;
        }
    }
    TDax_SetupTSFrame page;
    page.SetHeatSystem(0);
    page.show();
    page.findChild<QComboBox*>(QStringLiteral("SchemeComboBox"))->setCurrentIndex(kFreeSchemeIndex);
    const auto spin = [&page](const char* name) { return page.findChild<QSpinBox*>(QString::fromUtf8(name)); };
    for (const PipeCounts& counts : kFreeConfigurations) {
        // The other counts make room first: the page keeps the total within five pipes.
        spin("ReversePipe")->setValue(0);
        spin("SupplyPipe")->setValue(0);
        spin("DirectPipe")->setValue(counts.Direct);
        spin("ReversePipe")->setValue(counts.Reverse);
        spin("SupplyPipe")->setValue(counts.MakeUp);
        QApplication::processEvents();
        const QString name =
            QStringLiteral("scheme_free_%1_%2_%3.png").arg(counts.Direct).arg(counts.Reverse).arg(counts.MakeUp);
        saved = SavePicture(*page.findChild<QWidget*>(QStringLiteral("ShemePaintBox")), folder, name) && saved;
    }
    return saved;
}

// The tree node of a page.
QTreeWidgetItem* PageNode(QTreeWidget* tree, int32_t pageId)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->data(0, TDax_Frame::kPageIdRole).toInt() == pageId)
            return *it;
    return nullptr;
}

// Every page of a device frame that shows the demo instrument, each chosen through the tree
// and pictured whole.
bool SavePages(const QDir& folder)
{
    TDax_Frame frame;
    frame.BuildPageTree();
    daxsim::Instrument instrument(daxsim::DemoState(daxsim::Model::Dax01), 1);
    frame.SetLogCallback([](const std::string& message, TInteractContainer*) {
        std::fprintf(stderr, "app-screens: %s\n", message.c_str());
    });
    // As "&Открыть..." loads a data file: every page and table shown, the current-value pages
    // laid out by the heat systems' schemes.
    frame.LoadDataFile(daxsim::DataFileBytesOfInstrument(instrument));
    auto* tree = frame.findChild<QTreeWidget*>(QStringLiteral("SelectTree"));
    bool saved = true;
    for (const DaxPage& page : DaxPages()) {
        tree->setCurrentItem(PageNode(tree, page.Id));
        QSize size(kPageMinWidth, kPageMinHeight);
        if (const auto* scroll = frame.Page(page.Id)->findChild<QScrollArea*>())
            size = size.expandedTo(scroll->widget()->sizeHint() + QSize(kTreeRoom, kCommandRoom));
        frame.resize(size);
        saved = Save(frame, folder, QStringLiteral("page_%1.png").arg(page.Id)) && saved;
    }
    return saved;
}

// The report settings dialog as the report builder shows it over the demo instrument's data,
// once per report kind (report_setup_<kind>.png): the controls of the kind and its period.
bool SaveReportSetupPictures(const QDir& folder)
{
    DaxHelper helper;
    daxsim::Instrument instrument(daxsim::DemoState(daxsim::Model::Dax01), 1);
    helper.LoadDataFileBytes(daxsim::DataFileBytesOfInstrument(instrument));
    TReportSetupForm form;
    form.ArchiveSource = &helper;
    const char* const kinds[] = {"archive", "notstaff_journal", "operator_journal", "settings"};
    bool saved = true;
    for (int32_t kind = 0; kind < 4; ++kind) {
        form.Settings.ReportType = kind;
        saved = Save(form, folder, QStringLiteral("report_setup_%1.png").arg(QString::fromLatin1(kinds[kind]))) && saved;
        form.hide();
    }
    return saved;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const bool report = arguments.contains(QStringLiteral("--report"));
    DeviceReportRequest request;
    if (report) {
        QString error;
        if (!ParseDeviceReportRequest(arguments.mid(1), request, error)) {
            std::fprintf(stderr, "app-screens: %s\n", error.toLocal8Bit().constData());
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    const qsizetype out = arguments.indexOf(QStringLiteral("--out"));
    const bool pages = arguments.contains(QStringLiteral("--pages"));
    const bool schemes = arguments.contains(QStringLiteral("--schemes"));
    const bool reportSetup = arguments.contains(QStringLiteral("--report-setup"));
    const int choices = int(pages) + int(schemes) + int(reportSetup);
    if (!report && (out < 0 || out + 1 >= arguments.size() || choices > 1 || arguments.size() != 3 + choices)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    QDir folder(report ? request.OutDir : arguments[out + 1]);
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "app-screens: cannot create %s\n", folder.path().toLocal8Bit().constData());
        return 1;
    }
    QTemporaryDir settings;
    if (!settings.isValid()) {
        std::fputs("app-screens: cannot create a temporary settings folder\n", stderr);
        return 1;
    }
    qputenv("DAXCONFIG_HOME", settings.path().toLocal8Bit());

    if (pages)
        return SavePages(folder) ? 0 : 1;
    if (schemes)
        return SaveSchemes(folder) ? 0 : 1;
    if (reportSetup)
        return SaveReportSetupPictures(folder) ? 0 : 1;
    if (report)
        return RunDeviceReport(request);

    bool saved = true;
    TMainForm mainForm;
    saved = Save(mainForm, folder, QStringLiteral("main_window.png")) && saved;

    TOptionsForm options(&mainForm.Options(), &mainForm);
    saved = Save(options, folder, QStringLiteral("options.png")) && saved;
    options.hide();

    TAboutBox about({QStringLiteral(DAXCONFIG_DESCRIPTION), QStringLiteral(DAXCONFIG_VERSION),
                     QStringLiteral(DAXCONFIG_HOMEPAGE)},
                    &mainForm);
    saved = Save(about, folder, QStringLiteral("about.png")) && saved;
    about.hide();

    // A read of everything a minute in, 40 % done.
    StillClock clock;
    TInteractContainer state(std::make_unique<TInteract>());
    {
        TInteractLock lock(state);
        lock->SetProgress(40);
        lock->SetStatus("Чтение часового архива");
    }
    TDaxInteractForm progress(&mainForm);
    progress.setWindowTitle(QStringLiteral("Считывание данных"));
    progress.SetClock(&clock);
    progress.ResetTimeLeft();
    progress.SetContainer(&state);
    clock.Advance(std::chrono::seconds(60));
    progress.InteractTimerTimer();
    progress.TimeLeftTimerTimer();
    saved = Save(progress, folder, QStringLiteral("progress.png")) && saved;
    progress.SetContainer(nullptr);
    return saved ? 0 : 1;
}
