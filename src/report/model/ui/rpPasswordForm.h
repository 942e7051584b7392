#pragma once

// The password prompt of a protected report: caption "5000", label "5001", a masked edit and
// the buttons "1" and "2" (texts of the resource table).

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TrpPasswordForm : public QDialog {
public:
    explicit TrpPasswordForm(QWidget* parent = nullptr);

    QLabel* PasswordL;
    QLabel* Image1;
    QLineEdit* PasswordE;
    QPushButton* OkB;
    QPushButton* CancelB;
};

// Shows the prompt through the user-interface service's modal seam; true with the text
// entered when confirmed. Headless (no user) it answers false.
bool AskReportPassword(QString& password);
