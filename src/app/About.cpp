#include "About.h"

#include "AppIcons.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {
constexpr int kClientWidth = 298;
constexpr int kClientHeight = 225;
constexpr QSize kLogoSize(241, 49);
} // namespace

TAboutBox::TAboutBox(AboutInfo info, QWidget* parent) : QDialog(parent), opener_(DesktopUrlOpener())
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("О программе"));
    setFixedSize(kClientWidth, kClientHeight);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setFrameShadow(QFrame::Sunken);
    Image1 = new QLabel(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(kLogoSize);
    Image1->setPixmap(ProgramLogo(kLogoSize));
    LinkLabel1 = new QLabel(Panel1);
    LinkLabel1->setObjectName(QStringLiteral("LinkLabel1"));
    QPalette linkPalette = LinkLabel1->palette();
    linkPalette.setColor(QPalette::WindowText, Qt::blue);
    LinkLabel1->setPalette(linkPalette);
    LinkLabel1->setCursor(Qt::PointingHandCursor);
    // Design texts: the control names, kept when the build gives nothing.
    FileDescription = new QLabel(QStringLiteral("FileDescription"), Panel1);
    FileDescription->setObjectName(QStringLiteral("FileDescription"));
    FileDescription->setWordWrap(true);
    Version = new QLabel(QStringLiteral("Version"), Panel1);
    Version->setObjectName(QStringLiteral("Version"));
    DataTime = new QLabel(QStringLiteral("DataTime"), Panel1);
    DataTime->setObjectName(QStringLiteral("DataTime"));

    auto* facts = new QGridLayout;
    facts->addWidget(new QLabel(QStringLiteral("Версия: "), Panel1), 0, 0);
    facts->addWidget(Version, 0, 1);
    facts->addWidget(new QLabel(QStringLiteral("Дата: "), Panel1), 1, 0);
    facts->addWidget(DataTime, 1, 1);
    facts->setColumnStretch(1, 1);
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->addWidget(Image1, 0, Qt::AlignHCenter);
    panelLayout->addWidget(LinkLabel1, 0, Qt::AlignHCenter);
    panelLayout->addWidget(FileDescription);
    panelLayout->addLayout(facts);
    panelLayout->addStretch(1);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Panel1, 1);
    layout->addLayout(buttons);

    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    Panel1->installEventFilter(this);

    FormCreate(info);
}

void TAboutBox::FormCreate(const AboutInfo& info)
{
    // A build configured without the maker's address shows no link.
    LinkLabel1->setText(info.Link);
    LinkLabel1->setVisible(!info.Link.trimmed().isEmpty());
    if (!info.Description.isEmpty())
        FileDescription->setText(info.Description);
    if (!info.Version.isEmpty())
        Version->setText(info.Version);
    DataTime->setText(BuildDateTime());
}

QString TAboutBox::BuildDateTime()
{
    return RussianDateTime(QStringLiteral(__DATE__), QStringLiteral(__TIME__));
}

QString TAboutBox::RussianDateTime(const QString& compilerDate, const QString& compilerTime)
{
    // The compiler writes "Mmm dd yyyy" (a blank before a one-digit day) in English.
    const QDate date = QLocale::c().toDate(compilerDate.simplified(), QStringLiteral("MMM d yyyy"));
    if (!date.isValid())
        return compilerDate + u' ' + compilerTime;
    return date.toString(QStringLiteral("dd.MM.yyyy")) + u' ' + compilerTime;
}

void TAboutBox::Panel1DblClick()
{
    // Whether a browser opened is not reported.
    const QString link = LinkLabel1->text().trimmed();
    if (link.isEmpty() || !opener_)
        return;
    opener_(QUrl(link));
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Panel1 && event->type() == QEvent::MouseButtonDblClick) {
        Panel1DblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
