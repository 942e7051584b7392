#pragma once

#include "comm/Interact.h"
#include "platform/Clock.h"

#include <QWidget>

#include <chrono>
#include <cstdint>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

// The progress window of a long operation (read all, write all): status text, percent, a stop
// button and an estimate of the time left. It shows the shared state of one process, which it
// never owns; the one who shows it sets the caption.
class TDaxInteractForm : public QWidget {
    Q_OBJECT

public:
    static constexpr int64_t kInitialRemainingMs = 3'600'000;
    static constexpr int32_t kEstimateFromPercent = 10;
    static constexpr int64_t kEstimateJumpMs = 5000;

    explicit TDaxInteractForm(QWidget* parent = nullptr);

    // The process to show, or none to detach.
    void SetContainer(TInteractContainer* container) { container_ = container; }
    TInteractContainer* Container() const { return container_; }
    // Starts the estimate again: from now, with an hour left, nothing shown.
    void ResetTimeLeft();
    // The clock the estimate runs on (tests move one by hand); the machine's by default.
    void SetClock(const platform::Clock* clock) { clock_ = clock; }
    int64_t RemainingMs() const { return remainingMs_; }

    // Every 100 ms: the percent and, when it changed, the status text of the process.
    void InteractTimerTimer();
    // Every second: counts the time left down, or takes the estimate when it differs by more
    // than five seconds; shown once the process is a tenth done.
    void TimeLeftTimerTimer();
    // Asks the process to stop; the window stays until the process's handler hides it.
    void StopProcessClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();

    TInteractContainer* container_ = nullptr;          // the process shown; not owned
    const platform::Clock* clock_ = &platform::Clock::System();
    std::chrono::steady_clock::time_point start_{};    // when the estimate was restarted
    int64_t remainingMs_ = kInitialRemainingMs;        // the time left shown, never below 0

    QLineEdit* ProcessAction = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QPushButton* StopProcess = nullptr;
    QLabel* LeftTimeLabel = nullptr;
    QTimer* InteractTimer = nullptr;
    QTimer* TimeLeftTimer = nullptr;
};
