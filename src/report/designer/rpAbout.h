#pragma once

// The about box of the report subsystems: the library's name, version and rights notice, and
// the links its texts provide.

#include <QDialog>

class QLabel;

class TrpAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TrpAboutForm(QWidget* parent = nullptr);

    // The rights notice with the year of the report clock.
    static QString RightsNotice();
    // Opens a label's link: tag 1 its text as a web address, tag 2 "mailto:" and its text.
    static void OpenLabel(const QLabel& label);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
