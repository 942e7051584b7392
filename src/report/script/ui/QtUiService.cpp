#include "QtUiService.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QEventLoop>
#include <QPointer>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include <map>

namespace {

QWidget* ActiveWindow()
{
    return QApplication::activeWindow();
}

// Gives the focus back to the control that had it once a modal window has closed: without a
// window manager nothing else does, and keys would reach no window until a click. A control
// hidden, disabled or gone meanwhile is left alone. The window's activation arrives later than
// the focus is given back; a modal window opened meanwhile (a message right after a dialog)
// finds the focus still in the closed window and takes the control given it last.
class FocusReturn {
public:
    FocusReturn()
    {
        QWidget* focus = QApplication::focusWidget();
        focus_ = focus != nullptr && focus->isVisible() ? focus : Returned().data();
        modal_ = QApplication::activeModalWidget();
    }
    ~FocusReturn()
    {
        QWidget* focus = focus_.data();
        if (focus == nullptr || !focus->isVisible() || !focus->isEnabled())
            return;
        // A modal window opened meanwhile (and still open) keeps the focus.
        if (QWidget* modal = QApplication::activeModalWidget();
            modal != nullptr && modal != modal_.data() && modal != focus->window())
            return;
        focus->window()->activateWindow();
        focus->setFocus(Qt::ActiveWindowFocusReason);
        Returned() = focus;
    }
    FocusReturn(const FocusReturn&) = delete;
    FocusReturn& operator=(const FocusReturn&) = delete;

private:
    static QPointer<QWidget>& Returned()
    {
        static QPointer<QWidget> returned;
        return returned;
    }

    QPointer<QWidget> focus_;
    QPointer<QWidget> modal_;  // the modal window open before, which does not count
};

QString CaptionOr(const QString& caption)
{
    return caption.isEmpty() ? QGuiApplication::applicationDisplayName() : caption;
}

} // namespace

int QtUiService::Exec(QDialog& dialog)
{
    const FocusReturn focus;
    return dialog.exec();
}

int QtUiService::MessageBox(QWidget* parent, const QString& caption, const QString& text, UiMessageType type,
                            uint32_t buttons, int defaultResult)
{
    static const QMessageBox::Icon kIcons[] = {QMessageBox::Warning, QMessageBox::Critical, QMessageBox::Information,
                                               QMessageBox::Question, QMessageBox::NoIcon};
    QMessageBox box(parent);
    box.setWindowTitle(CaptionOr(caption));
    box.setText(text);
    box.setIcon(kIcons[std::clamp(static_cast<int>(type), 0, 4)]);
    struct Button {
        UiMessageButton Bit;
        QMessageBox::StandardButton Standard;
        int Result;
    };
    static const Button kButtons[] = {
        {mbYes, QMessageBox::Yes, mrYes},           {mbNo, QMessageBox::No, mrNo},
        {mbOK, QMessageBox::Ok, mrOk},              {mbCancel, QMessageBox::Cancel, mrCancel},
        {mbAbort, QMessageBox::Abort, mrAbort},     {mbRetry, QMessageBox::Retry, mrRetry},
        {mbIgnore, QMessageBox::Ignore, mrIgnore},  {mbNoToAll, QMessageBox::NoToAll, mrNoToAll},
        {mbYesToAll, QMessageBox::YesToAll, mrYesToAll}, {mbHelp, QMessageBox::Help, mrNone},
    };
    std::map<QAbstractButton*, int> results;
    for (const Button& button : kButtons) {
        if (buttons & (uint32_t{1} << button.Bit))
            results[box.addButton(button.Standard)] = button.Result;
    }
    if (buttons & (uint32_t{1} << mbAll))
        results[box.addButton(QStringLiteral("All"), QMessageBox::AcceptRole)] = mrAll;
    if (results.empty())
        results[box.addButton(QMessageBox::Ok)] = mrOk;
    for (const auto& [button, result] : results) {
        if (result == defaultResult && defaultResult != mrNone)
            box.setDefaultButton(qobject_cast<QPushButton*>(button));
    }
    Exec(box);
    const auto found = results.find(box.clickedButton());
    if (found != results.end())
        return found->second;
    return (buttons & (uint32_t{1} << mbCancel)) ? mrCancel : mrNone;
}

void QtUiService::ShowMessage(const QString& text)
{
    MessageBox(ActiveWindow(), QString(), text, UiMessageType::Custom, UiButtons({mbOK}));
}

int QtUiService::MessageDlg(const QString& caption, const QString& text, UiMessageType type, uint32_t buttons)
{
    return MessageBox(ActiveWindow(), caption, text, type, buttons);
}

bool QtUiService::InputQuery(const QString& caption, const QString& prompt, QString& value)
{
    QInputDialog dialog(ActiveWindow());
    dialog.setWindowTitle(CaptionOr(caption));
    dialog.setLabelText(prompt);
    dialog.setTextValue(value);
    if (Exec(dialog) != QDialog::Accepted)
        return false;
    value = dialog.textValue();
    return true;
}

bool QtUiService::FileDialog(QWidget* parent, UiFileDialog& dialog, bool save)
{
    QFileDialog files(parent, dialog.Title, dialog.InitialDir, dialog.Filter);
    files.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    files.setFileMode(save ? QFileDialog::AnyFile
                           : dialog.MultiSelect ? QFileDialog::ExistingFiles
                                                : (dialog.FileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile));
    files.setOption(QFileDialog::DontConfirmOverwrite, !dialog.OverwritePrompt);
    if (!dialog.DefaultExt.isEmpty())
        files.setDefaultSuffix(dialog.DefaultExt);
    const QStringList filters = dialog.Filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    if (dialog.FilterIndex >= 1 && dialog.FilterIndex <= filters.size())
        files.selectNameFilter(filters[dialog.FilterIndex - 1]);
    if (!dialog.FileName.isEmpty())
        files.selectFile(dialog.FileName);
    if (Exec(files) != QDialog::Accepted || files.selectedFiles().isEmpty())
        return false;
    dialog.Files = files.selectedFiles();
    dialog.FileName = dialog.Files.front();
    dialog.FilterIndex = static_cast<int>(filters.indexOf(files.selectedNameFilter())) + 1;
    if (dialog.FilterIndex <= 0)
        dialog.FilterIndex = 1;
    return true;
}

bool QtUiService::OpenFileDialog(UiFileDialog& dialog)
{
    return FileDialog(ActiveWindow(), dialog, false);
}

bool QtUiService::SaveFileDialog(UiFileDialog& dialog)
{
    return FileDialog(ActiveWindow(), dialog, true);
}

bool QtUiService::SelectFolder(const QString& title, QString& folder)
{
    const QString chosen = QFileDialog::getExistingDirectory(ActiveWindow(), title, folder);
    if (chosen.isEmpty())
        return false;
    folder = chosen;
    return true;
}

bool QtUiService::ColorDialog(uint32_t& rgb)
{
    QColorDialog dialog(QColor::fromRgb(rgb), ActiveWindow());
    if (Exec(dialog) != QDialog::Accepted)
        return false;
    rgb = dialog.selectedColor().rgb() & 0xFFFFFF;
    return true;
}

bool QtUiService::FontDialog(UiFont& font)
{
    QFont initial(font.Name);
    initial.setPointSize(std::max(1, font.Size));
    initial.setBold(font.Bold);
    initial.setItalic(font.Italic);
    initial.setUnderline(font.Underline);
    initial.setStrikeOut(font.StrikeOut);
    QFontDialog dialog(initial, ActiveWindow());
    const QString shown = dialog.currentFont().family();
    if (Exec(dialog) != QDialog::Accepted)
        return false;
    const QFont chosen = dialog.selectedFont();
    font.Name = ChosenFontName(font.Name, shown, chosen.family());
    font.Size = chosen.pointSize() > 0 ? chosen.pointSize() : font.Size;
    font.Bold = chosen.bold();
    font.Italic = chosen.italic();
    font.Underline = chosen.underline();
    font.StrikeOut = chosen.strikeOut();
    return true;
}

QString QtUiService::ChosenFontName(const QString& given, const QString& shown, const QString& chosen)
{
    return chosen.compare(shown, Qt::CaseInsensitive) == 0 && !given.isEmpty() ? given : chosen;
}

int QtUiService::RunModal(QObject& dialog, const QString&)
{
    if (auto* window = qobject_cast<QDialog*>(&dialog))
        return Exec(*window);
    if (auto* window = qobject_cast<QWidget*>(&dialog))
        return ExecWindow(*window);
    return mrNone;
}

namespace {

// Ends a local loop when its window closes, hides or goes.
class ModalWatcher : public QObject {
public:
    ModalWatcher(QWidget& window, QEventLoop& loop) : loop_(loop) { window.installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Hide || event->type() == QEvent::Close) {
            // A refused close (ignored event) keeps the window: check once it is handled.
            QMetaObject::invokeMethod(this, [this] { Check(); }, Qt::QueuedConnection);
        }
        return false;
    }

public:
    QPointer<QWidget> Window;
    void Check()
    {
        if (Window == nullptr || !Window->isVisible())
            loop_.quit();
    }

private:
    QEventLoop& loop_;
};

} // namespace

int QtUiService::ExecWindow(QWidget& window)
{
    const FocusReturn focus;
    QEventLoop loop;
    ModalWatcher watcher(window, loop);
    watcher.Window = &window;
    QObject::connect(&window, &QObject::destroyed, &loop, &QEventLoop::quit);
    const Qt::WindowModality oldModality = window.windowModality();
    window.setWindowModality(Qt::ApplicationModal);
    window.setProperty("modalResult", QVariant());
    window.show();
    if (window.isVisible())
        loop.exec(QEventLoop::DialogExec);
    if (watcher.Window == nullptr)
        return mrNone;
    window.setWindowModality(oldModality);
    const QVariant result = window.property("modalResult");
    return result.isValid() ? result.toInt() : mrNone;
}

void QtUiService::ProcessEvents()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtUiService::ProcessInputEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool QtUiService::WaitInputEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return true;
}

void QtUiService::OpenUrl(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}
