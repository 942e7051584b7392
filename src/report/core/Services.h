#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <initializer_list>

class QObject;
class QUrl;

// Services the report subsystems ask for instead of calling the platform: the program installs
// implementations over Qt windows, tools and tests install their own. Each has a default that
// does nothing visible, so headless code runs without any installed.

// The kinds of message dialog (icon) and its buttons and results, numbered as the run-time
// library numbers them (TMsgDlgType, TMsgDlgBtn, mrXxx).
enum class UiMessageType : int { Warning, Error, Information, Confirmation, Custom };

enum UiMessageButton : int {
    mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp
};

inline constexpr uint32_t UiButtons(std::initializer_list<UiMessageButton> buttons)
{
    uint32_t mask = 0;
    for (UiMessageButton b : buttons)
        mask |= uint32_t{1} << b;
    return mask;
}

enum UiModalResult : int {
    mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7,
    mrAll = 8, mrNoToAll = 9, mrYesToAll = 10
};

// What a file dialog starts with and what it gives back.
struct UiFileDialog {
    QString Title;
    QString Filter;       // Qt's form: "Text (*.txt);;All (*)"
    int FilterIndex = 1;  // 1-based, as the script sees it; the chosen one on return
    QString InitialDir;
    QString FileName;     // proposed, and the chosen (first) file on return
    QString DefaultExt;   // without the dot
    bool MultiSelect = false;
    bool FileMustExist = false;
    bool OverwritePrompt = false;
    QStringList Files;    // every chosen file on return
};

// What a font dialog starts with and gives back.
struct UiFont {
    QString Name;
    int Size = 8;         // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    uint32_t Rgb = 0;     // 0xRRGGBB
};

// What a print dialog starts with and gives back.
struct UiPrintDialog {
    int Copies = 1;
    bool Collate = false;
    int FromPage = 0;
    int ToPage = 0;
    int MinPage = 0;
    int MaxPage = 0;
    int PrintRange = 0;   // 0 all pages, 1 selection, 2 page numbers
    bool PrintToFile = false;
};

// Messages and prompts for the user.
class IUiService {
public:
    virtual ~IUiService() = default;
    // A modal message box with the text (ShowMessage of scripts).
    virtual void ShowMessage(const QString& text) = 0;
    // A modal message dialog with a caption (the application's title when empty), the icon of
    // its type and the buttons of the mask; answers the button pressed as a modal result.
    // Without a user (headless) nothing is shown and the answer is mrNone.
    virtual int MessageDlg(const QString& caption, const QString& text, UiMessageType type, uint32_t buttons);
    // Opens the help file at a topic ("::/Designer.htm"). There is no help file in this system:
    // the default does nothing.
    virtual void ShowHelp(const QString& file, const QString& topic);
    // Opens a link with the desktop's handler (the browser, the mail program). Callers hand it
    // only http, https and mailto links. Headless: nothing is opened.
    virtual void OpenUrl(const QUrl& url);

    // Asks for one line of text; true when confirmed, with the text entered in `value`
    // (which holds the proposed text on entry). Headless: false, `value` unchanged.
    virtual bool InputQuery(const QString& caption, const QString& prompt, QString& value);
    // The file dialogs; true when the user chose (dialog then holds the choice). Headless: false.
    virtual bool OpenFileDialog(UiFileDialog& dialog);
    virtual bool SaveFileDialog(UiFileDialog& dialog);
    // The folder chooser titled `title`, starting at `folder`; true when the user chose, with
    // the chosen folder in `folder`. Headless: false, `folder` unchanged.
    virtual bool SelectFolder(const QString& title, QString& folder);
    // The colour dialog (0xRRGGBB in and out) and the font dialog. Headless: false.
    virtual bool ColorDialog(uint32_t& rgb);
    virtual bool FontDialog(UiFont& font);
    // The print and printer set-up dialogs. Headless, and where no printing is built in: false.
    virtual bool PrintDialog(UiPrintDialog& dialog);
    virtual bool PrinterSetupDialog();

    // The one seam through which every modal window runs: shows the dialog (a QDialog, or any
    // top-level window, application-modal) until it is closed and answers its result; `caption` names it for people and for answer lists.
    // Headless: the dialog is not shown and the answer is mrNone.
    virtual int RunModal(QObject& dialog, const QString& caption);
    // Delivers the events that are waiting, except user input (keys, mouse, closing windows),
    // so that a running script cannot have its own window closed under it. Headless: nothing.
    virtual void ProcessEvents();
    // The same with user input let through: the pump of the report windows' long loops (pages
    // built into the preview, the progress window), whose Cancel and Esc must reach them.
    // Scripts keep the pump above. The default delivers what ProcessEvents delivers.
    virtual void ProcessInputEvents();
    // Waits for events and delivers them, user input included: one pass of a loop that waits
    // for the user (the debugger's pause) without spinning. False when there is no user to
    // wait for, so that such a loop ends; the default delivers what ProcessInputEvents
    // delivers and answers false.
    virtual bool WaitInputEvents();
};

// The clock of scripts (Now, Date, Time): the program's is the system's local time, tests fix it.
class IClockService {
public:
    virtual ~IClockService() = default;
    // Local date and time as days since 30 December 1899.
    virtual double Now() = 0;
};

// The random numbers of scripts (Random, Randomize): tests fix the sequence.
class IRandomService {
public:
    virtual ~IRandomService() = default;
    // Seeds the sequence from the clock.
    virtual void Randomize() = 0;
    // The next number, 0 inclusive to 1 exclusive.
    virtual double Next() = 0;
};

namespace ReportServices {

// The installed user-interface service, or one that drops every message.
IUiService& Ui();
// Installs a service (nullptr: the default again). The caller keeps it alive while installed.
void SetUi(IUiService* service);

// The installed clock, or the system's local time.
IClockService& Clock();
void SetClock(IClockService* service);

// The installed random numbers, or a generator seeded once per program run.
IRandomService& Random();
void SetRandom(IRandomService* service);

// Runs code that native events call (a button's click, a paint) so that nothing it throws
// crosses the event loop of the toolkit: an error is caught and handed to `onError` with the
// class name a script sees and the message. Errors that are no script error (none derived
// from platform::Exception, std::bad_alloc) are reported as "Exception".
void Guarded(const std::function<void()>& body,
             const std::function<void(const QString& className, const QString& message)>& onError);

} // namespace ReportServices
