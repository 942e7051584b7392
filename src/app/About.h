#pragma once

#include "HelpViewer.h"

#include <QDialog>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;

// What the about box tells of the program; the build fills it in.
struct AboutInfo {
    QString Description; // one line on what the program is
    QString Version;     // e.g. "0.1.0"
    QString Link;        // the maker's web address
};

// The modal "О программе" window: logo, the maker's web address, description, version and the
// build's date and time. A double click on the panel opens the address.
class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(AboutInfo info, QWidget* parent = nullptr);

    // Replaces what opens the link (the desktop's browser by default).
    void SetUrlOpener(UrlOpener opener) { opener_ = std::move(opener); }
    void Panel1DblClick();

    // The date and time this unit was compiled, as the program writes dates: "dd.mm.yyyy hh:mm:ss".
    static QString BuildDateTime();
    // The compiler's date text ("Dec 11 2026", "Dec  1 2026") and time text as "11.12.2026 13:50:11";
    // a date text that cannot be read stays as it is.
    static QString RussianDateTime(const QString& compilerDate, const QString& compilerTime);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate(const AboutInfo& info);

    UrlOpener opener_;

    QFrame* Panel1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* LinkLabel1 = nullptr;
    QLabel* FileDescription = nullptr;
    QLabel* Version = nullptr;
    QLabel* DataTime = nullptr;
    QPushButton* OKButton = nullptr;
};
