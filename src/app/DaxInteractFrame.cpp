#include "DaxInteractFrame.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

namespace {
constexpr int kClientWidth = 487;
constexpr int kClientHeight = 117;

QString TwoDigits(int64_t value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}
} // namespace

TDaxInteractForm::TDaxInteractForm(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("DaxInteractForm"));
    setFixedSize(kClientWidth, kClientHeight);

    ProcessAction = new QLineEdit(this);
    ProcessAction->setObjectName(QStringLiteral("ProcessAction"));
    ProcessAction->setReadOnly(true);
    ProcessAction->setAlignment(Qt::AlignCenter);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    StopProcess = new QPushButton(QStringLiteral("Остановить"), this);
    StopProcess->setObjectName(QStringLiteral("StopProcess"));
    LeftTimeLabel = new QLabel(this);
    LeftTimeLabel->setObjectName(QStringLiteral("LeftTimeLabel"));

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(LeftTimeLabel, 1);
    bottom->addWidget(StopProcess);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ProcessAction);
    layout->addWidget(ProgressBar);
    layout->addLayout(bottom);

    InteractTimer = new QTimer(this);
    InteractTimer->setObjectName(QStringLiteral("InteractTimer"));
    InteractTimer->setInterval(100);
    TimeLeftTimer = new QTimer(this);
    TimeLeftTimer->setObjectName(QStringLiteral("TimeLeftTimer"));
    TimeLeftTimer->setInterval(1000);
    connect(InteractTimer, &QTimer::timeout, this, &TDaxInteractForm::InteractTimerTimer);
    connect(TimeLeftTimer, &QTimer::timeout, this, &TDaxInteractForm::TimeLeftTimerTimer);
    connect(StopProcess, &QPushButton::clicked, this, &TDaxInteractForm::StopProcessClick);
    InteractTimer->start();
    TimeLeftTimer->start();

    ResetTimeLeft();
}

void TDaxInteractForm::ResetTimeLeft()
{
    start_ = clock_->SteadyNow();
    remainingMs_ = kInitialRemainingMs;
    LeftTimeLabel->clear();
}

void TDaxInteractForm::InteractTimerTimer()
{
    if (!container_)
        return;
    TInteractLock state(*container_);
    if (!state)
        return;
    ProgressBar->setValue(std::clamp(state->GetProgress(), 0, 100));
    // The flag stays set: clearing it is the main window's pass. That pass runs on the same
    // period and may have cleared it first, so a text that differs from the one shown is shown
    // too; otherwise a status set once would never appear.
    const QString status = QString::fromStdString(state->GetStatus());
    if (state->StatusChanged() || status != ProcessAction->text())
        ProcessAction->setText(status);
}

void TDaxInteractForm::TimeLeftTimerTimer()
{
    const int32_t percent = ProgressBar->value();
    if (percent < kEstimateFromPercent)
        return;
    // Steady 64-bit milliseconds: no wrap of a 32-bit tick count, and no count below zero.
    const int64_t elapsed = std::max<int64_t>(
        0, std::chrono::duration_cast<std::chrono::milliseconds>(clock_->SteadyNow() - start_).count());
    remainingMs_ = std::max<int64_t>(0, remainingMs_ - 1000);
    const int64_t estimate = std::max<int64_t>(0, elapsed * 100 / percent - elapsed);
    if (std::abs(remainingMs_ - estimate) > kEstimateJumpMs)
        remainingMs_ = estimate;
    const int64_t seconds = remainingMs_ / 1000;
    LeftTimeLabel->setText(QStringLiteral("Оставшееся время %1:%2:%3")
                               .arg(TwoDigits(remainingMs_ / 3'600'000), TwoDigits(seconds % 3600 / 60),
                                    TwoDigits(seconds % 3600 % 60)));
}

void TDaxInteractForm::StopProcessClick()
{
    if (!container_)
        return;
    TInteractLock state(*container_);
    if (state)
        state->SetAbort(true);
}

void TDaxInteractForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FormShow();
}

void TDaxInteractForm::FormShow()
{
    // Centred on the main window (or the screen when there is none).
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    QRect area = owner ? owner->frameGeometry() : QRect();
    if (area.isEmpty() && screen())
        area = screen()->availableGeometry();
    if (!area.isEmpty())
        move(area.center() - rect().center());
}
