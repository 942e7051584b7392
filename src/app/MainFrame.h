#pragma once

#include "DaxFrame.h"
#include "HelpViewer.h"
#include "comm/ChanelHelper.h"
#include "comm/ui/ChanelSetupForm.h"
#include "device/ProcessThread.h"
#include "presentation/DisplayOptions.h"

#include <QColor>
#include <QMainWindow>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class QAction;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTimer;
class QToolBar;
class ReportFeature;
class TAboutBox;
class TDaxReadAllForm;
class TDaxWriteAllForm;
class TOptionsForm;
class UserPrompts;

// The program's one main window: the channel and its open/close button, the TX and RX lights,
// the exchange console, the commands, and the device frame in the work panel. It owns the
// channel dialog (and through it the channel), the process pool and the display options.
//
// Opening and closing the channel run on a job thread of the window's own, because a relay
// connection may take half a minute to open and a close may wait for a worker; the window
// stays responsive and its channel buttons are disabled meanwhile.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    static constexpr const char* kRegistryKey = "\\Software\\Morvel\\DaxConfig";
    static constexpr const char* kAutoRequestValue = "AutoRequest";
    // The folder of the data or configuration file last chosen, where the file dialogs start.
    static constexpr const char* kFileFolderValue = "FileFolder";
    static constexpr int32_t kFirstByteMs = 1000;   // time-outs set once the channel is open
    static constexpr int32_t kInterByteMs = 20;
    static constexpr int kLightTicks = 5;           // ticks a light stays lit after its notice
    static constexpr int kClientWidth = 1036;
    static constexpr int kClientHeight = 737;
    static constexpr int kConsoleHeight = 89;
    // What the window's frame and title bar may take around the client area.
    static constexpr int kDecorationWidth = 16;
    static constexpr int kDecorationHeight = 48;
    // The first size: the wanted one, within the available area of the screen less room for
    // the window's decorations.
    static QSize FirstSize(const QSize& wanted, const QRect& available);
    static const QColor kIdleLightColor;            // olive
    static const QColor kLitLightColor;             // yellow

    // The channel kinds of the channel dialog; tests pass their own.
    explicit TMainForm(std::vector<ChanelKindEntry> kinds = DefaultChanelKinds(), QWidget* parent = nullptr);
    ~TMainForm() override;

    // What the window asks of the user, of the help and of the report subsystems. None of
    // these is owned but the help viewer; a missing help viewer or report feature leaves its
    // commands without effect (the report command disabled).
    void SetPrompts(UserPrompts* prompts);
    // Without a viewer (no help folder) "Справка" is disabled, so that the user sees help is
    // not there, and F1 does nothing.
    void SetHelpViewer(std::unique_ptr<HelpViewer> viewer);
    void SetReportFeature(ReportFeature* feature);
    void SetAboutBox(TAboutBox* about) { aboutBox_ = about; }

    // The log of the channel and of the device frame. With a log target the text joins that
    // process's messages; without one it becomes a console line, at once on the window's own
    // thread and posted to it from any other. Never fails on its own.
    void Log(const std::string& text, TInteractContainer* target);
    // A transmit (kNotifyTransmit) or receive (kNotifyReceive) notice from any thread: raises
    // a flag the next light tick reads, and never waits.
    void WMUserTxRx(int bits);

    // Handlers.
    void OpenPortClick();
    void ChanelParamsClick();
    void RxTxTimerTimer();
    void InteractTimerTimer();
    void PollTimerTimer();
    void ConsoleMemoDblClick();
    // Keypad plus and minus make the console's font one point larger or smaller; true when
    // the key was one of them.
    bool ConsoleMemoKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void AutoRequestActionExecute();
    void ChanelLogActionExecute();
    void OnTopActionExecute();
    void OptionActionExecute();
    void ReportActionExecute();
    // "Считать параметры" and "Записать параметры": the window leaves stay-on-top for good
    // (its action unchecked), then the device frame reads or writes everything.
    void ReadDataActionExecute();
    void WriteDataActionExecute();
    // The file commands (MainFrame_files.cpp): each asks for its file, then runs its accept
    // step, which prints what happened to the console (a failure prints its text).
    void FileOpenExecute();
    void FileSaveAsExecute();
    void SaveConfigurationActionExecute();
    // Loads a data file into the device frame; refused while a read all runs, whose end would
    // replace what was loaded.
    void FileOpenAccept(const QString& fileName);
    // The data file name the save dialog proposes.
    QString FileSaveAsBeforeExecute() const;
    void FileSaveAsAccept(const QString& fileName);
    // Refuses a base name of more than 14 characters (Windows-1251 bytes); a cancelled group
    // choice creates no file and prints nothing.
    void SaveConfigurationActionAccept(const QString& fileName);
    void HelpActionExecute();
    void AboutActionExecute();
    // Shows a help topic ("introduction" for an empty one) when a help viewer exists.
    void ShowHelpTopic(const QString& topic);

    TChanelHelperBase* Chanel() const { return chanel_; }
    TDax_Frame* Frame() const { return frame_; }
    ProcessPool& Pool() { return *pool_; }
    DisplayOptions& Options() { return options_; }
    TChanelSetupFrame* ChanelDialog() const { return chanelDialog_.get(); }
    // The read-all and write-all dialogs, one each for the program's life.
    TDaxReadAllForm* ReadAllForm() const { return readAllForm_.get(); }
    TDaxWriteAllForm* WriteAllForm() const { return writeAllForm_.get(); }
    // The picture index of the auto-request command: 4 while on, 3 while off.
    int AutoRequestImageIndex() const;
    // True while an open or close of the channel runs.
    bool ChanelJobRunning() const { return job_ != nullptr; }
    // True once closing was asked for and until the window has closed.
    bool Closing() const { return closing_ && !closed_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One open or close of the channel: its thread and the state it reports through, which
    // the 100 ms pass reads like a process's (messages for the console, then done).
    struct ChanelJob {
        std::thread Thread;
        TInteractContainer State{std::make_unique<TInteract>()};
    };

    void BuildActions();
    void BuildWindow();
    // The first size and place: large enough for the widest page when the screen allows it,
    // centred on the screen.
    void PlaceFirstTime();
    void FormCreate(std::vector<ChanelKindEntry> kinds);
    QAction* MakeAction(const char* name, const QString& caption, const QString& hint);
    // Runs a handler; an exception it lets out is shown in the error box and the window goes on.
    void Guarded(const std::function<void()>& handler);
    template <typename Handler>
    auto GuardedSlot(Handler handler)
    {
        return [this, handler]() { Guarded(handler); };
    }

    // True, with the refusal printed, while a data file may not be opened (read all or write
    // all runs) or saved (read all runs, or the last one failed or was stopped and no read all
    // or load has completed since).
    bool RefuseOpenWhileReadingAll();
    bool RefuseSaveOfUnfinishedRead();
    // Where the file dialogs start: the folder last used (kept in the settings) while it is
    // there, otherwise the user's home; and keeping the folder of a file chosen.
    QString FileFolder() const;
    void RememberFileFolder(const QString& fileName);
    void AppendConsole(const std::string& text);
    void WireChanel(TChanelHelperBase* chanel);
    void StartChanelJob(bool close);
    void PollChanelJob();
    void JoinChanelJob();
    void UpdateChanelControls();
    void SetLight(QLabel* panel, const QColor& color);
    void SetStayOnTop(bool on);
    // Runs a modal step with the stay-on-top style dropped, and puts it back afterwards.
    void WithoutStayOnTop(const std::function<void()>& step);
    bool ReadyToFinishClosing() const;
    void FinishClosing();
    // The options dialog, then the channel with its dialog; nothing refers to the channel
    // afterwards. Safe to call again.
    void ReleaseChanel();

    int txTicks_ = 0;                           // light ticks left; 0 = idle
    int rxTicks_ = 0;
    TChanelHelperBase* chanel_ = nullptr;       // the dialog's channel; none while the dialog runs
    TDax_Frame* frame_ = nullptr;               // owned by the work panel
    std::unique_ptr<TChanelSetupFrame> chanelDialog_; // owns the channel
    std::unique_ptr<ProcessPool> pool_;
    DisplayOptions options_;
    std::unique_ptr<TOptionsForm> optionsDialog_;
    std::unique_ptr<TDaxReadAllForm> readAllForm_;
    std::unique_ptr<TDaxWriteAllForm> writeAllForm_;
    std::unique_ptr<HelpViewer> helpViewer_;
    UserPrompts* prompts_;                      // not owned
    ReportFeature* report_ = nullptr;           // not owned
    TAboutBox* aboutBox_ = nullptr;             // application-wide; not owned
    std::shared_ptr<std::atomic<int>> notices_ = std::make_shared<std::atomic<int>>(0); // raised TX/RX bits
    std::unique_ptr<ChanelJob> job_;            // the open or close in progress
    bool registryOpen_ = false;                 // the settings key could be opened at creation
    bool chanelDialogRunning_ = false;
    bool closing_ = false;
    bool closed_ = false;

    QWidget* WorkPanel = nullptr;
    QToolBar* SysToolBar = nullptr;
    QWidget* PortPanel = nullptr;
    QPushButton* ChanelParams = nullptr;
    QPushButton* OpenPort = nullptr;
    QLabel* TxPanel = nullptr;
    QLabel* RxPanel = nullptr;
    QToolBar* CommandToolBar = nullptr;
    QSplitter* Splitter1 = nullptr;
    QPlainTextEdit* ConsoleMemo = nullptr;
    QTimer* RxTxTimer = nullptr;
    QTimer* InteractTimer = nullptr;
    QTimer* PollTimer = nullptr;

    QAction* FileOpen = nullptr;
    QAction* FileSaveAs = nullptr;
    QAction* AutoRequestAction = nullptr;
    QAction* ReadDataAction = nullptr;
    QAction* WriteDataAction = nullptr;
    QAction* ChanelLogAction = nullptr;
    QAction* OptionAction = nullptr;
    QAction* ReportAction = nullptr;
    QAction* HelpAction = nullptr;
    QAction* AboutAction = nullptr;
    QAction* OnTopAction = nullptr;
    QAction* SaveConfigurationAction = nullptr;
};
