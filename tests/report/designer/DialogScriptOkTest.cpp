// OK in a scripted dialog is pressed as a person presses it: the dialog's own OK or Finish
// button, so that what the dialog does on OK happens; a dialog that stays open is cancelled.

#include "report/designer/rpDesignerDialogs.h"

#include "report/core/Services.h"

#include <QDialog>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

TEST(DialogScriptOk, PressesTheDialogsOwnButton)
{
    enum class Button { None, ClosesDialog, StaysOpen };
    const struct {
        const char* name;
        const char* buttonName;
        Button button;
        bool answerOk;
        int expected;
        int presses;
    } cases[] = {
        {"no button: accepted", "", Button::None, true, mrOk, 0},
        {"OkB closing", "OkB", Button::ClosesDialog, true, mrOk, 1},
        {"OKB closing", "OKB", Button::ClosesDialog, true, mrOk, 1},
        {"FinishB closing", "FinishB", Button::ClosesDialog, true, mrOk, 1},
        {"OkB refusing to close", "OkB", Button::StaysOpen, true, mrCancel, 1},
        {"cancel never presses OK", "OkB", Button::ClosesDialog, false, mrCancel, 0},
        {"another button is not OK", "ApplyB", Button::StaysOpen, true, mrOk, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDialog dialog;
        int presses = 0;
        if (c.button != Button::None) {
            auto* button = new QPushButton(&dialog);
            button->setObjectName(QString::fromLatin1(c.buttonName));
            const bool closes = c.button == Button::ClosesDialog;
            QObject::connect(button, &QPushButton::clicked, &dialog, [&dialog, &presses, closes] {
                ++presses;
                if (closes)
                    dialog.accept();
            });
        }
        DialogScriptUi ui({}, QString(), c.answerOk);
        EXPECT_EQ(ui.RunModal(dialog, QStringLiteral("caption")), c.expected);
        EXPECT_EQ(presses, c.presses);
        EXPECT_EQ(dialog.result(), c.expected == mrOk ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(ui.Error, c.button == Button::StaysOpen && c.presses > 0
                                ? QString::fromLatin1(c.buttonName) + QStringLiteral(" did not close the dialog")
                                : QString());
    }
}

} // namespace
