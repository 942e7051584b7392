#pragma once

// The small report windows: the borderless progress window of a run, the find-text dialog of
// the preview and the window of a dialog page.

#include "report/core/Services.h"
#include "report/model/rpClass.h"
#include "report/model/rpClass_services.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

class TrpProgress : public QWidget {
public:
    explicit TrpProgress(QWidget* activeWindow = nullptr);
    ~TrpProgress() override;

    void Execute(int maxValue, const QString& message, bool canceled, bool progress);
    void Tick();
    void Reset() { SetPosition(0); }
    int Position() const { return position_; }
    void SetPosition(int value);
    QString Message() const { return message_; }
    void SetMessage(const QString& value);
    bool ShowProgress() const { return progress_; }
    void SetShowProgress(bool value);
    bool Terminated() const { return terminated_; }
    void SetTerminated(bool value);

    QLabel* MessageLabel() const { return label_; }
    QProgressBar* Bar() const { return bar_; }
    QPushButton* CancelButton() const { return cancel_; }

protected:
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void EnableActive();
    QPointer<QWidget> activeForm_;
    QLabel* label_;
    QProgressBar* bar_;
    QPushButton* cancel_;
    bool terminated_ = false;
    int position_ = 0;
    QString message_;
    bool progress_ = true;
};

// The progress window as the report model asks for it.
class TrpProgressWindow : public ITrpProgressWindow {
public:
    TrpProgressWindow();
    ~TrpProgressWindow() override;
    void Start(const QString& caption) override;
    void Progress(const QString& message, int32_t percent) override;
    void Stop() override;
    bool Cancelled() const override;

private:
    QPointer<TrpProgress> window_;
};

class TrpSearchDialog : public QDialog {
public:
    explicit TrpSearchDialog(QWidget* parent = nullptr);
    QString Text() const;
    bool CaseSensitive() const;
    bool FromTop() const;
    // The replace panel's text; the panel shows only while replacing.
    QString ReplaceText() const;
    void SetReplacing(bool on);
    // Remembers the text as the process's last search text when ok.
    void FormHide(bool ok);
    // The last text searched with OK, for every find dialog of the process.
    static QString LastText();
    static void SetLastText(const QString& text);

private:
    QLineEdit* text_;
    QCheckBox* case_;
    QCheckBox* top_;
    QWidget* replacePanel_;
    QLineEdit* replace_;
};

// The window of a dialog page; the close box answers Cancel.
class TrpDialogForm : public QDialog, public ITrpDialogWindow {
public:
    TrpDialogForm();
    void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
    QRect Bounds() const override { return geometry(); }
    void SetClientWidth(int32_t width) override { resize(width, height()); }
    void SetClientHeight(int32_t height) override { resize(width(), height); }
    int32_t ClientWidth() const override { return width(); }
    int32_t ClientHeight() const override { return height(); }
    void SetCaption(const QString& caption) override { setWindowTitle(caption); }
    void SetColor(int32_t color) override;
    void SetFont(const TrpFont& font) override;
    void SetBorderStyle(TFormBorderStyle) override {}
    void SetPosition(TPosition position) override { position_ = position; }
    void SetWindowState(TWindowState state) override;
    void SetStayOnTop(bool onTop) override { setWindowFlag(Qt::WindowStaysOnTopHint, onTop); }
    bool IsVisible() const override { return isVisible(); }
    void Hide() override { hide(); }
    int32_t ModalResult() const override { return modalResult_; }
    void SetModalResult(int32_t result) override;
    int32_t ShowModal() override;
    void SetEvents(Events events) override { events_ = std::move(events); }
    QObject* NativeWindow() const override { return const_cast<TrpDialogForm*>(this); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Events events_;
    int32_t modalResult_ = 0;
    TPosition position_ = poDesigned;
    QTimer boundsTimer_;
    bool shown_ = false;
};
