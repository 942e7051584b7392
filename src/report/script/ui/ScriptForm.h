#pragma once

// Forms (TForm over QDialog), data modules and the application object.
//
// A form closes through one path whoever asks (Close, ModalResult, the window's close button,
// Escape): OnCloseQuery may refuse, OnClose chooses the action (caNone keeps it, caHide hides
// it, caFree frees a form the script created once the event is over, caMinimize minimises a
// form that is not modal). A non-zero ModalResult closes a modal form, which ShowModal (run
// through the user-interface service) then answers. The form's Canvas draws while OnPaint runs.

#include "ScriptControls.h"

#include <QDialog>

class TscScript;

class ScriptForm : public ScriptWidget<QDialog> {
public:
    static const ScriptClassInfo& Class();       // TForm
    static const ScriptClassInfo& CustomClass(); // TCustomForm
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    ScriptForm();
    ~ScriptForm() override;

    void Show();
    void Hide();
    void Close();
    // Shows the form modally through the user-interface service and answers the modal result
    // it closed with. EInvalidOperation "Cannot make a visible window modal" when it is shown.
    int ShowModal();
    int ModalResult() const { return FModalResult; }
    // Stores the result; a non-zero one closes a modal form (unless OnCloseQuery or OnClose
    // refuse, which leaves the result 0).
    void SetModalResult(int result);
    bool Modal() const { return FModal; }

    ScriptCanvas& Canvas() { return FCanvas; }
    bool Visible() const override { return isVisible(); }
    void SetVisible(bool visible) override;

    // TFormBorderStyle (bsNone ... bsSizeToolWin) and TPosition.
    int BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(int style);
    int Position() const { return FPosition; }
    void SetPosition(int position);

    // OnCreate, for hosts that build a form and then let its script know.
    void FireCreate();
    void ScriptEventBound(const QString& event, bool bound) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void reject() override;

private:
    // OnCloseQuery, then OnClose: whether the form closes, and with which action.
    bool QueryClose(int& action);
    // Hides (or frees) a form that may close.
    void FinishClose(int action);
    void FreeAfterClose();

    ScriptCanvas FCanvas;
    int FModalResult = 0;
    bool FModal = false;
    bool FFinishing = false;          // done() is closing the dialog
    bool FPlaced = false;             // the first show has placed the form
    int FBorderStyle = 2;             // bsSizeable
    int FPosition = 0;                // poDesigned
    TscScript* FFreeBy = nullptr;     // the script that asked for caFree
};

// TDataModule: a container of components without a window.
class ScriptDataModule : public ScriptComponent {
public:
    static const ScriptClassInfo& Class(); // TDataModule
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
};

// TApplication: the running program as scripts see it (the object "Application").
class ScriptApplication : public ScriptComponent {
public:
    static const ScriptClassInfo& Class(); // TApplication
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    // The one application object.
    static ScriptApplication& Instance();

    // The full path of the running program.
    QString ExeName() const;
    // Minimises and restores the program's main window (nothing when it has none).
    void Minimize();
    void Restore();
    // Delivers waiting events except user input (see IUiService::ProcessEvents).
    void ProcessMessages();
};

// Registers TCustomForm, TForm, TDataModule and TApplication; idempotent.
void RegisterScriptFormClasses();
