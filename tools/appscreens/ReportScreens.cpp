#include "ReportScreens.h"

#include "app/DeviceReportFeature.h"
#include "app/DeviceReportState.h"
#include "app/MainFrame.h"
#include "app/UserPrompts.h"
#include "app/Texts.h"
#include "devreport/ui/DaxReportSetupFrame.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "report/core/Services.h"
#include "report/desktop/ReportDesktop.h"
#include "report/engine/ui/rpPreviewForm.h"
#include "report/model/rpClass_report.h"
#include "report/script/ScriptedUi.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

#include <cstdio>

namespace {

// The user's answers to the main window: the data file to open, yes to switching auto-request
// off (a poll would overwrite the file), no other dialog; error boxes are kept.
class ToolPrompts : public UserPrompts {
public:
    bool Question(QWidget*, const QString&, const QString&) override { return true; }
    QString OpenFileName(QWidget*, const QString&, const QString&) override { return openName; }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&, const QString&) override
    {
        return QString();
    }
    int RunModal(QDialog& dialog) override
    {
        dialog.reject();
        return dialog.result();
    }
    void ErrorBox(QWidget*, const QString& text) override { errors << text; }

    QString openName;
    QStringList errors;
};

// The report subsystems' prompts without a user: messages are kept and confirmed.
class ToolUi : public ScriptedUi {
public:
    int MessageDlg(const QString&, const QString& text, UiMessageType, uint32_t) override
    {
        Messages << text;
        return mrOk;
    }
};

void PrintError(const QString& text)
{
    std::fprintf(stderr, "app-screens: %s\n", text.toLocal8Bit().constData());
}

bool ParseDay(const QString& text, double& day)
{
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        return false;
    day = EncodeDate(date.year(), date.month(), date.day());
    return true;
}

template <typename Widget>
Widget* Control(QObject& dialog, const char* name)
{
    auto* widget = dialog.findChild<Widget*>(QString::fromUtf8(name));
    if (widget == nullptr)
        throw platform::Exception(std::string("the report settings dialog has no ") + name);
    return widget;
}

// Sets the settings dialog's controls as the request says, the way a user would, and presses OK.
int AnswerSetupDialog(TReportSetupForm& dialog, const DeviceReportRequest& request)
{
    dialog.show();
    QApplication::processEvents();
    Control<QComboBox>(dialog, "ReportType")->setCurrentIndex(request.Kind);
    Control<QComboBox>(dialog, "ReportData")->setCurrentIndex(request.System);
    const auto check = [&dialog](const char* name, bool on) { Control<QCheckBox>(dialog, name)->setChecked(on); };
    check("TotalValuesShow", request.Totals);
    check("HourArchiveShow", request.Hours);
    check("NotStaffInfoShow", request.Codes);
    check("ChanelMShow", request.Mass);
    check("ChanelVShow", request.Volume);
    check("ChanelPShow", request.Pressure);
    check("HardwareNSShow", request.Hardware);
    check("ModeFlagsShow", request.Modes);
    Control<QLineEdit>(dialog, "Consumer")->setText(request.Consumer);
    Control<QLineEdit>(dialog, "Supplier")->setText(request.Supplier);
    Control<QComboBox>(dialog, "PrinterOrientation")->setCurrentIndex(request.Portrait ? 0 : 1);
    if (request.From && request.To) {
        const auto place = [&dialog](const char* name, double day) {
            const DateTimeParts parts = DecodeDateTime(day);
            Control<QDateEdit>(dialog, name)->setDate(QDate(parts.year, parts.month, parts.day));
        };
        place("BeginPeriod", *request.From);
        place("EndPeriod", *request.To);
    } else {
        Control<QPushButton>(dialog, "BitBtn1")->click();
    }
    Control<QPushButton>(dialog, "OkButton")->click();
    const bool accepted = dialog.result() == QDialog::Accepted;
    dialog.hide();
    return accepted ? int(mrOk) : int(mrCancel);
}

bool NonEmptyFile(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.size() > 0;
}

// Restores what the run changed in the program's globals, however it ends.
struct RunScope {
    explicit RunScope(IUiService& ui) { ReportServices::SetUi(&ui); }
    ~RunScope()
    {
        ReportSetupForm = nullptr;
        ReportServices::SetUi(nullptr);
    }
};

} // namespace

bool ParseDeviceReportRequest(const QStringList& arguments, DeviceReportRequest& request, QString& error)
{
    bool kindSeen = false;
    bool outSeen = false;
    QString from;
    QString to;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        const auto value = [&](QString& into) {
            if (i + 1 >= arguments.size()) {
                error = option + QStringLiteral(" needs a value");
                return false;
            }
            into = arguments[++i];
            return true;
        };
        QString text;
        if (option == u"--report") {
            bool ok = false;
            if (!value(text))
                return false;
            request.Kind = text.toInt(&ok);
            if (!ok || request.Kind < 0 || request.Kind > 3) {
                error = QStringLiteral("--report takes 0, 1, 2 or 3");
                return false;
            }
            kindSeen = true;
        } else if (option == u"--system") {
            bool ok = false;
            if (!value(text))
                return false;
            request.System = text.toInt(&ok);
            if (!ok || request.System < 0 || request.System > 3) {
                error = QStringLiteral("--system takes 0, 1, 2 or 3");
                return false;
            }
        } else if (option == u"--data") {
            if (!value(request.DataFile))
                return false;
        } else if (option == u"--out") {
            if (!value(request.OutDir))
                return false;
            outSeen = true;
        } else if (option == u"--from") {
            if (!value(from))
                return false;
        } else if (option == u"--to") {
            if (!value(to))
                return false;
        } else if (option == u"--consumer") {
            if (!value(request.Consumer))
                return false;
        } else if (option == u"--supplier") {
            if (!value(request.Supplier))
                return false;
        } else if (option == u"--channels") {
            if (!value(text))
                return false;
            for (const QChar letter : text) {
                bool& flag = letter == u'M' ? request.Mass : letter == u'V' ? request.Volume : request.Pressure;
                if ((letter != u'M' && letter != u'V' && letter != u'P') || flag) {
                    error = QStringLiteral("--channels takes the letters M, V and P, each at most once");
                    return false;
                }
                flag = true;
            }
        } else if (option == u"--totals") {
            request.Totals = true;
        } else if (option == u"--hours") {
            request.Hours = true;
        } else if (option == u"--codes") {
            request.Codes = true;
        } else if (option == u"--hardware") {
            request.Hardware = true;
        } else if (option == u"--modes") {
            request.Modes = true;
        } else if (option == u"--portrait") {
            request.Portrait = true;
        } else {
            error = QStringLiteral("unknown argument ") + option;
            return false;
        }
    }
    if (!kindSeen || !outSeen || request.DataFile.isEmpty()) {
        error = QStringLiteral("--report, --data and --out are needed");
        return false;
    }
    if (from.isEmpty() != to.isEmpty()) {
        error = QStringLiteral("--from and --to go together");
        return false;
    }
    if (!from.isEmpty()) {
        double first = 0;
        double last = 0;
        if (!ParseDay(from, first) || !ParseDay(to, last)) {
            error = QStringLiteral("--from and --to take dates as YYYY-MM-DD");
            return false;
        }
        if (first > last) {
            error = QStringLiteral("--from is after --to");
            return false;
        }
        request.From = first;
        request.To = last;
    }
    return true;
}

int RunDeviceReport(const DeviceReportRequest& request)
{
    QDir folder(request.OutDir);
    if (!folder.mkpath(QStringLiteral("."))) {
        PrintError(QStringLiteral("cannot create ") + folder.path());
        return 1;
    }
    // The program's own report start-up, so the screens show what the program shows.
    ReportDesktop::start();

    ToolUi ui;
    RunScope scope(ui);
    ToolPrompts prompts;
    prompts.openName = QFileInfo(request.DataFile).absoluteFilePath();
    // As in the program: the feature outlives the window whose frame keeps its report state.
    DeviceReportFeature feature;
    TMainForm mainForm;
    mainForm.SetPrompts(&prompts);
    TReportSetupForm setupForm(&mainForm);
    ReportSetupForm = &setupForm;
    mainForm.SetReportFeature(&feature);

    // "&Открыть...": the console's last line says whether the file was loaded.
    auto* console = mainForm.findChild<QPlainTextEdit*>(QStringLiteral("ConsoleMemo"));
    mainForm.findChild<QAction*>(QStringLiteral("FileOpen"))->trigger();
    const QString format = QString::fromUtf8(app::kFileLoadedFormat);
    const QString head = format.section(QStringLiteral("%s"), 0, 0);
    const QString tail = format.section(QStringLiteral("%s"), 1);
    const QStringList lines = console->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QString last = lines.isEmpty() ? QString() : lines.last();
    if (!last.startsWith(head) || !last.endsWith(tail)) {
        PrintError(last.isEmpty() ? QStringLiteral("the data file was not loaded") : last);
        return 2;
    }

    const QString pdfPath = folder.filePath(QStringLiteral("report_%1.pdf").arg(request.Kind));
    const QString picturePath = folder.filePath(QStringLiteral("preview_%1.png").arg(request.Kind));
    int previews = 0;
    bool exported = false;
    bool pictured = false;
    QStringList unexpected;
    ui.OnModal = [&](QObject& window, const QString& caption) {
        if (auto* dialog = dynamic_cast<TReportSetupForm*>(&window))
            return AnswerSetupDialog(*dialog, request);
        if (auto* preview = dynamic_cast<TrpPreviewForm*>(&window)) {
            ++previews;
            TrpReport* report = preview->Report();
            report->PrepareTimerTick();
            auto* state = dynamic_cast<DeviceReportState*>(mainForm.Frame()->ReportState());
            if (state != nullptr) {
                TrpPDFExport& pdf = state->rpPDFExport1;
                pdf.ShowDialog = false;
                pdf.FileName = pdfPath;
                exported = report->Export(&pdf) && NonEmptyFile(pdfPath);
            }
            preview->show();
            QApplication::processEvents();
            pictured = preview->grab().save(picturePath, "PNG");
            preview->hide();
            return int(mrCancel);
        }
        unexpected << caption;
        return int(mrCancel);
    };
    mainForm.findChild<QAction*>(QStringLiteral("ReportAction"))->trigger();

    QStringList said = prompts.errors + ui.Messages;
    for (const QString& caption : unexpected)
        said << QStringLiteral("unexpected dialog ") + caption;
    if (!said.isEmpty() || previews != 1) {
        for (const QString& text : said)
            PrintError(text);
        if (said.isEmpty())
            PrintError(QStringLiteral("no report was shown"));
        return 2;
    }
    if (!exported)
        PrintError(QStringLiteral("cannot write ") + pdfPath);
    else
        std::printf("%s\n", pdfPath.toLocal8Bit().constData());
    if (!pictured)
        PrintError(QStringLiteral("cannot write ") + picturePath);
    else
        std::printf("%s\n", picturePath.toLocal8Bit().constData());
    return exported && pictured ? 0 : 1;
}
