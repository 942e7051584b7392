// The main window's channel: open and close on the job thread, the channel dialog, the TX and
// RX lights, the log and console, and the passes of its timers.
#include "MainFrame.h"

#include "UserPrompts.h"
#include "comm/Texts.h"
#include "platform/Exceptions.h"

#include <QDialog>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>

#include <algorithm>

namespace {

void RunChanelJob(TChanelHelperBase* chanel, bool close, TInteractContainer* state)
{
    try {
        if (close) {
            chanel->Close(state);
        } else {
            chanel->Open(state);
            if (chanel->IsOpen())
                chanel->SetTimeouts(TMainForm::kFirstByteMs, TMainForm::kInterByteMs, state);
        }
    } catch (...) {
        std::string message = platform::CurrentExceptionMessage();
        if (message.empty())
            message = comm::kUnknownErrorText;
        TInteractLock lock(*state);
        if (lock)
            lock->PushMessage(std::move(message));
    }
    TInteractLock lock(*state);
    if (lock)
        lock->SetDone(true);
}

// The console takes lines; a text with line breaks of its own gives several.
QString ConsoleText(const std::string& text)
{
    QString line = QString::fromStdString(text);
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    line.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return line;
}

} // namespace

void TMainForm::OpenPortClick()
{
    if (!chanel_ || job_ || closing_)
        return;
    StartChanelJob(chanel_->IsOpen());
}

void TMainForm::StartChanelJob(bool close)
{
    auto job = std::make_unique<ChanelJob>();
    job->Thread = std::thread(RunChanelJob, chanel_, close, &job->State);
    job_ = std::move(job);
    UpdateChanelControls();
}

void TMainForm::PollChanelJob()
{
    if (!job_)
        return;
    bool done = false;
    {
        TInteractLock state(job_->State);
        if (!state)
            return;
        while (state->MessageCount() > 0)
            AppendConsole(state->PopMessage());
        done = state->GetDone();
    }
    if (!done)
        return;
    JoinChanelJob();
    UpdateChanelControls();
}

void TMainForm::JoinChanelJob()
{
    if (!job_)
        return;
    // Bounded by the channel's own time-outs: an open or close always ends.
    if (job_->Thread.joinable())
        job_->Thread.join();
    job_.reset();
}

void TMainForm::UpdateChanelControls()
{
    const bool idle = !job_ && !closing_;
    OpenPort->setEnabled(idle);
    ChanelParams->setEnabled(idle);
    // The caption follows the channel, which may also have closed itself (a lost connection).
    if (!job_ && !chanelDialogRunning_)
        OpenPort->setText(chanel_ && chanel_->IsOpen() ? QStringLiteral("Закрыть") : QStringLiteral("Открыть"));
}

void TMainForm::ChanelParamsClick()
{
    if (!chanelDialog_ || job_ || closing_)
        return;
    TChanelHelperBase* remembered = chanel_;
    // None while the dialog runs: the poll then does nothing.
    chanel_ = nullptr;
    chanelDialogRunning_ = true;
    int result = QDialog::Rejected;
    try {
        result = prompts_->RunModal(*chanelDialog_);
    } catch (...) {
        chanelDialogRunning_ = false;
        chanel_ = chanelDialog_->Chanel();
        throw;
    }
    chanelDialogRunning_ = false;
    TChanelHelperBase* current = chanelDialog_->Chanel();
    if (result == QDialog::Accepted || current != remembered) {
        chanel_ = current;
        WireChanel(chanel_);
        frame_->SetChannel(chanel_);
    } else {
        chanel_ = remembered;
    }
    UpdateChanelControls();
}

void TMainForm::WireChanel(TChanelHelperBase* chanel)
{
    if (!chanel)
        return;
    chanel->SetLogCallback([this](const std::string& text, TInteractContainer* target) { Log(text, target); });
    chanel->SetNotifier([notices = notices_](int bits) { notices->fetch_or(bits, std::memory_order_relaxed); });
    // A channel taken from the dialog logs as the switch says, not silently until toggled.
    chanel->SetLogEnabled(ChanelLogAction->isChecked());
}

void TMainForm::WMUserTxRx(int bits)
{
    notices_->fetch_or(bits & (kNotifyTransmit | kNotifyReceive), std::memory_order_relaxed);
}

void TMainForm::SetLight(QLabel* panel, const QColor& color)
{
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, color);
    palette.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(palette);
}

void TMainForm::RxTxTimerTimer()
{
    auto countDown = [this](int& ticks, QLabel* panel) {
        if (ticks <= 0)
            return;
        if (--ticks == 0)
            SetLight(panel, kIdleLightColor);
    };
    countDown(txTicks_, TxPanel);
    countDown(rxTicks_, RxPanel);
    const int raised = notices_->exchange(0, std::memory_order_relaxed);
    if (raised & kNotifyTransmit) {
        txTicks_ = kLightTicks;
        SetLight(TxPanel, kLitLightColor);
    }
    if (raised & kNotifyReceive) {
        rxTicks_ = kLightTicks;
        SetLight(RxPanel, kLitLightColor);
    }
}

void TMainForm::Log(const std::string& text, TInteractContainer* target)
{
    if (target) {
        TInteractLock state(*target);
        if (state)
            state->PushMessage(text);
        return;
    }
    if (QThread::currentThread() == thread()) {
        AppendConsole(text);
        return;
    }
    // Dropped by Qt when the window is gone before the line arrives.
    QMetaObject::invokeMethod(this, [this, text] { AppendConsole(text); }, Qt::QueuedConnection);
}

void TMainForm::AppendConsole(const std::string& text)
{
    ConsoleMemo->appendPlainText(ConsoleText(text));
}

void TMainForm::ConsoleMemoDblClick()
{
    ConsoleMemo->clear();
}

bool TMainForm::ConsoleMemoKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (!(modifiers & Qt::KeypadModifier) || (key != Qt::Key_Plus && key != Qt::Key_Minus))
        return false;
    QFont font = ConsoleMemo->font();
    font.setPointSize(std::max(1, font.pointSize() + (key == Qt::Key_Plus ? 1 : -1)));
    ConsoleMemo->setFont(font);
    return true;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ConsoleMemo->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        Guarded([this] { ConsoleMemoDblClick(); });
        return true;
    }
    if (watched == ConsoleMemo && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        bool handled = false;
        Guarded([&] { handled = ConsoleMemoKeyDown(key->key(), key->modifiers()); });
        if (handled)
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::InteractTimerTimer()
{
    pool_->Poll([this](const std::string& text) { AppendConsole(text); });
    PollChanelJob();
    UpdateChanelControls();
    if (closing_ && !closed_ && ReadyToFinishClosing())
        close();
}

void TMainForm::PollTimerTimer()
{
    if (chanel_ && !job_ && chanel_->IsOpen())
        frame_->AutoRequest();
}
