#pragma once

// The picture editor over a working copy of a picture: load a file (recognised by its bytes),
// copy and paste through the clipboard, clear; the status shows the size or that the picture
// is empty. The caller takes Picture after OK.

#include "rpDsgnDialog.h"

#include <memory>

class QFrame;
class QLabel;
class QStatusBar;
class QToolBar;
class QToolButton;
class TrpPicture;

class TrpPictureEditorForm : public TrpDesignerDialog {
public:
    TrpPictureEditorForm(QWidget* owner, TrpCustomDesigner* designer);
    ~TrpPictureEditorForm() override;

    TrpPicture& Picture() { return *FPicture; }
    void SetPicture(const TrpPicture& picture);
    // Whether the picture is drawn stretched into the control (only when it is larger).
    bool Stretched() const { return FStretched; }
    // The status panel's text.
    QString StatusText() const;

    void LoadBClick();
    void CopyBClick();
    void PasteBClick();
    void ClearBClick();
    // Loads a file's picture as its bytes tell; raises when they are no picture, leaving the
    // picture as it was.
    void LoadFromFile(const QString& fileName);

    QToolBar* ToolBar = nullptr;
    QToolButton* LoadB = nullptr;
    QToolButton* CopyB = nullptr;
    QToolButton* PasteB = nullptr;
    QToolButton* ClearB = nullptr;
    QToolButton* CancelB = nullptr;
    QToolButton* OkB = nullptr;
    QFrame* Box = nullptr;
    QLabel* Image = nullptr;
    QStatusBar* StatusBar = nullptr;

protected:
    void Showing() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void UpdateStatus();

    std::unique_ptr<TrpPicture> FPicture;
    QLabel* FStatusPanel = nullptr;
    bool FStretched = false;
};
