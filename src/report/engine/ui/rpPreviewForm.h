#pragma once

// The preview window: a tool bar over the preview control and a status bar with the page
// counter, the progress message and the object hint.

#include "rpPreview.h"

#include <QMainWindow>
#include <QPointer>

#include <map>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QToolBar;

class TrpPreviewForm : public QMainWindow, public ITrpPreviewWindow {
public:
    explicit TrpPreviewForm(TrpReport* report = nullptr);
    ~TrpPreviewForm() override;

    // ITrpPreviewWindow
    TrpCustomPreview* Preview() override { return preview_; }
    void Initialize(bool maximized) override;
    void ShowModal() override;
    void ShowModeless(bool mdiChild) override;
    void Close() override;
    void SetStatusText(const QString& text, bool isHint) override { SetMessageText(text, isHint); }

    TrpPreview* PreviewControl() const { return preview_; }
    TrpReport* Report() const { return preview_->Report(); }
    bool FreeOnClose = false;
    void Init();
    void SetMessageText(const QString& value, bool isHint);
    void SwitchToFullScreen();
    bool FullScreen() const { return fullScreen_; }
    // The button (tool-bar action) of a component name ("PrintB", "Sep1", ...).
    QAction* Button(const QString& name) const;
    QMenu* RightMenu() const { return rightMenu_; }
    void UpdateButtons();
    // Reads the zoom box as the user typed it (Enter) or chose an item.
    void ZoomCBClick();
    void ShowZoom();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QAction* AddButton(const char* name, int image, const char16_t* caption, const char16_t* hint,
                       std::function<void()> onClick);
    QAction* AddSeparator(const char* name);
    void PageChanged(int pageNo);
    void ExportWith(TrpCustomExportFilter* filter);

    TrpPreview* preview_;
    QToolBar* toolBar_;
    QMenu* exportPopup_;
    QMenu* rightMenu_;
    QMenu* hiddenMenu_;
    QAction* collapseMI_;
    QAction* expandMI_;
    QAction* n1_;
    TrpComboBox* zoomCB_;
    QLineEdit* pageE_;
    QLabel* panels_[3];
    std::map<QString, QAction*> buttons_;
    std::vector<QAction*> mirrored_;
    QPointer<TrpCustomExportFilter> pdfExport_;
    bool fullScreen_ = false;
    Qt::WindowStates oldState_;
    bool closedOnce_ = false;
};

// The icons of the preview's buttons by image index (0 to 24).
QIcon PreviewButtonIcon(int index);
