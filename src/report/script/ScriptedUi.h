#pragma once

// The user-interface service without a user: every prompt takes the next answer of a list and
// is recorded. scriptrun fills the list from its answers file, tests from their own lines.
//
// Answers, one per prompt in the order the prompts come:
//   MessageDlg, ShowModal            a modal result by name (mrYes) or number (6)
//   InputBox, InputQuery             "ok TEXT" or "cancel"
//   file dialogs, folder chooser     "ok PATH" or "cancel"
//   colour dialog                    "ok COLOUR" (a colour name such as clRed, or a TColor
//                                    number, decimal or $hex) or "cancel"
//   font dialog                      "ok NAME" or "ok NAME,SIZE" or "cancel"
//   print and printer set-up         "ok" or "cancel"
// A prompt with no answer left, or an answer that does not fit it, raises a script error that
// names the prompt.

#include "report/core/Services.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class ScriptedUi : public IUiService {
public:
    explicit ScriptedUi(QStringList answers = {});

    // Reads an answers file (UTF-8, one answer a line; empty lines are skipped). False with
    // the reason when it cannot be read.
    static bool ReadAnswers(const QString& fileName, QStringList& answers, QString& reason);

    void ShowMessage(const QString& text) override;
    // Recorded as the prompt "ShowHelp" with the file as caption and the topic as text.
    void ShowHelp(const QString& file, const QString& topic) override;
    int MessageDlg(const QString& caption, const QString& text, UiMessageType type, uint32_t buttons) override;
    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override;
    bool OpenFileDialog(UiFileDialog& dialog) override;
    bool SaveFileDialog(UiFileDialog& dialog) override;
    // Recorded as "SelectFolder" with the title as caption and the starting folder as text.
    bool SelectFolder(const QString& title, QString& folder) override;
    bool ColorDialog(uint32_t& rgb) override;
    bool FontDialog(UiFont& font) override;
    bool PrintDialog(UiPrintDialog& dialog) override;
    bool PrinterSetupDialog() override;
    int RunModal(QObject& dialog, const QString& caption) override;
    void ProcessEvents() override;
    // Counts, then plays the user through OnInputEvents (a test presses Cancel during a run).
    void ProcessInputEvents() override;
    // ProcessInputEvents; the user is there only when OnInputEvents plays it.
    bool WaitInputEvents() override;

    // What was asked, in order.
    struct Prompt {
        QString Kind;   // "ShowMessage", "MessageDlg", "InputQuery", "OpenDialog", ...
        QString Caption;
        QString Text;
        int Type = 0;        // MessageDlg: the dialog type
        uint32_t Buttons = 0; // MessageDlg: the button mask
    };
    std::vector<Prompt> Prompts;
    // ShowMessage texts, in order.
    QStringList Messages;
    // Called for each ShowMessage (scriptrun prints the line).
    std::function<void(const QString& text)> OnMessage;
    // When set, ShowModal runs through it (tests work the form) instead of taking an answer.
    std::function<int(QObject& dialog, const QString& caption)> OnModal;
    int ProcessEventsCalls = 0;
    std::function<void()> OnInputEvents;
    int ProcessInputEventsCalls = 0;

    // Answers not used yet.
    int AnswersLeft() const { return static_cast<int>(FAnswers.size() - FNext); }

private:
    // The next answer for the prompt; raises when none is left.
    QString Next(const QString& prompt);
    // "ok TEXT" -> true and TEXT; "cancel" -> false; anything else raises.
    bool OkOrCancel(const QString& prompt, QString& text);
    int ModalResult(const QString& prompt);
    bool FileDialog(const QString& kind, UiFileDialog& dialog);

    QStringList FAnswers;
    qsizetype FNext = 0;
};
