#include "rpPopupForm.h"

#include <QCloseEvent>

namespace {

std::optional<std::chrono::steady_clock::time_point> gLastClose;

} // namespace

TrpPopupForm::TrpPopupForm(QWidget* owner, const platform::Clock& clock)
    : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), clock_(clock)
{
    resize(658, 28);
}

std::optional<std::chrono::steady_clock::time_point> TrpPopupForm::LastCloseTime()
{
    return gLastClose;
}

void TrpPopupForm::ResetLastCloseTime()
{
    gLastClose.reset();
}

void TrpPopupForm::hideEvent(QHideEvent* event)
{
    // A popup is hidden when it loses activation (a click outside it) or is closed.
    gLastClose = clock_.SteadyNow();
    QWidget::hideEvent(event);
}

void TrpPopupForm::closeEvent(QCloseEvent* event)
{
    gLastClose = clock_.SteadyNow();
    if (modalResult_ == 0)
        deleteLater();
    QWidget::closeEvent(event);
}
