#include "report/model/ui/rpPasswordForm.h"

#include "report/core/Services.h"
#include "report/model/rpRes.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TrpPasswordForm::TrpPasswordForm(QWidget* parent) : QDialog(parent)
{
    const TrpResources& texts = GetResourcesInstance();
    setObjectName(QStringLiteral("TrpPasswordForm"));
    setWindowTitle(texts.Get(u"5000"));
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    PasswordL = new QLabel(texts.Get(u"5001"), this);
    PasswordL->setObjectName(QStringLiteral("PasswordL"));
    PasswordE = new QLineEdit(this);
    PasswordE->setObjectName(QStringLiteral("PasswordE"));
    PasswordE->setEchoMode(QLineEdit::Password);
    PasswordL->setBuddy(PasswordE);
    OkB = new QPushButton(texts.Get(u"1"), this);
    OkB->setObjectName(QStringLiteral("OkB"));
    OkB->setDefault(true);
    CancelB = new QPushButton(texts.Get(u"2"), this);
    CancelB->setObjectName(QStringLiteral("CancelB"));
    connect(OkB, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(CancelB, &QPushButton::clicked, this, [this] { done(mrCancel); });

    auto* top = new QHBoxLayout;
    top->addWidget(Image1);
    auto* entry = new QVBoxLayout;
    entry->addWidget(PasswordL);
    entry->addWidget(PasswordE);
    top->addLayout(entry, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkB);
    buttons->addWidget(CancelB);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
}

bool AskReportPassword(QString& password)
{
    TrpPasswordForm form;
    if (ReportServices::Ui().RunModal(form, form.windowTitle()) != mrOk)
        return false;
    password = form.PasswordE->text();
    return true;
}
