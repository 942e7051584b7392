#pragma once

// The borderless drop-down window the designer builds its drop-down panels on. When it loses
// activation it records the closing time and closes; closed without a result it frees itself.

#include "platform/Clock.h"

#include <QWidget>

#include <chrono>
#include <optional>

class TrpPopupForm : public QWidget {
    Q_OBJECT
public:
    // `clock` tells the closing time (the designer's; tests pass their own).
    TrpPopupForm(QWidget* owner, const platform::Clock& clock);

    // The result the owner gave before closing; 0 (none) frees the window on closing.
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }

    // When the last popup window closed (process-wide), none before the first.
    static std::optional<std::chrono::steady_clock::time_point> LastCloseTime();
    static void ResetLastCloseTime();

protected:
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    const platform::Clock& clock_;
    int modalResult_ = 0;
};
