#include "rpAbout.h"

#include "report/core/DateValues.h"
#include "report/core/Services.h"
#include "report/model/rpRes.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// A resource text, or nothing when the table has none (a name without text reads as itself).
QString TextOf(int number)
{
    const QString text = GetResourcesInstance().GetResourceTextById(number);
    return text == QString::number(number) ? QString() : text;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, int tag)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setProperty("tag", tag);
    if (tag != 0)
        label->setCursor(Qt::PointingHandCursor);
    // Labels whose text the resources lack stay hidden.
    label->setVisible(!text.isEmpty());
    return label;
}

} // namespace

TrpAboutForm::TrpAboutForm(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("rpAboutForm"));
    setWindowTitle(GetResourcesInstance().GetResourceTextById(2600));
    setFixedSize(261, 265);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Base));
    setPalette(colours);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Shape1"));
    frame->setFrameShape(QFrame::Box);
    auto* layout = new QVBoxLayout(frame);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);

    auto* title = MakeLabel(frame, QStringLiteral("Label1"), QStringLiteral("RedaVedera"), 0);
    QFont big = title->font();
    big.setPointSize(16);
    big.setBold(true);
    title->setFont(big);
    title->setAlignment(Qt::AlignRight);
    layout->addWidget(title);
    auto* version = MakeLabel(frame, QStringLiteral("Label2"), QStringLiteral(DAX_REPORT_VERSION), 0);
    version->setAlignment(Qt::AlignRight);
    layout->addWidget(version);
    auto* bevel = new QFrame(frame);
    bevel->setObjectName(QStringLiteral("Bevel2"));
    bevel->setFrameShape(QFrame::HLine);
    layout->addWidget(bevel);
    auto* rights = MakeLabel(frame, QStringLiteral("Label3"), RightsNotice(), 0);
    rights->setAlignment(Qt::AlignCenter);
    rights->setWordWrap(true);
    layout->addWidget(rights);
    // The invitations with the web address and the two mail addresses come from the resources;
    // an invitation shows only with a real address after it (the built-in texts hold none).
    struct Link {
        const char* invitation;
        const char* address;
        int invitationId;
        int addressId;
        int tag;
    };
    for (const Link& link : {Link{"Label4", "Label5", 2602, 2603, 1}, Link{"Label6", "Label7", 2604, 2605, 2},
                             Link{"Label8", "Label9", 2606, 2607, 2}}) {
        const QString address = TextOf(link.addressId).trimmed();
        auto* invitation = MakeLabel(frame, QLatin1String(link.invitation), TextOf(link.invitationId), 0);
        invitation->setVisible(!address.isEmpty() && !invitation->text().isEmpty());
        layout->addWidget(invitation);
        layout->addWidget(MakeLabel(frame, QLatin1String(link.address), address, link.tag));
    }
    for (QLabel* label : frame->findChildren<QLabel*>()) {
        if (label->property("tag").toInt() != 0)
            label->installEventFilter(this);
    }
    layout->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("OK"), frame);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    if (layoutDirection() == Qt::RightToLeft)
        setLayoutDirection(Qt::RightToLeft);
}

QString TrpAboutForm::RightsNotice()
{
    const int year = DateValueToQDate(ReportServices::Clock().Now()).year();
    const QString text = TextOf(2601);
    if (text.isEmpty())
        return QString();
    return FormatResource(text, {Variant(static_cast<int32_t>(year))});
}

void TrpAboutForm::OpenLabel(const QLabel& label)
{
    const int tag = label.property("tag").toInt();
    if (tag == 1)
        ReportServices::Ui().OpenUrl(QUrl(label.text()));
    else if (tag == 2)
        ReportServices::Ui().OpenUrl(QUrl(QStringLiteral("mailto:") + label.text()));
}

bool TrpAboutForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (auto* label = qobject_cast<QLabel*>(watched)) {
            ReportServices::Guarded([label] { OpenLabel(*label); }, [](const QString&, const QString&) {});
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
