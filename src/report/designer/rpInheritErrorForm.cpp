#include "rpInheritErrorForm.h"

#include "report/core/Services.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

TrpInheritErrorForm::TrpInheritErrorForm(QWidget* owner)
    : TrpDesignerDialog(owner, nullptr, QStringLiteral("TrpInheritErrorForm"))
{
    setWindowTitle(QString());
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("PaintBox1"));
    icon->setFixedSize(32, 32);
    icon->setPixmap(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    PaintBox1 = icon;
    MessageL = new QLabel(
        QString(), this);
    MessageL->setObjectName(QStringLiteral("MessageL"));
    MessageL->setWordWrap(true);
    DeleteRB = new QRadioButton(QString(), this);
    DeleteRB->setObjectName(QStringLiteral("DeleteRB"));
    DeleteRB->setChecked(true);
    RenameRB = new QRadioButton(QString(), this);
    RenameRB->setObjectName(QStringLiteral("RenameRB"));
    OkB = new QPushButton(QStringLiteral("OK"), this);
    CancelB = new QPushButton(QString(), this);
    MakeOkCancel(OkB, CancelB);
    auto* top = new QHBoxLayout;
    top->addWidget(PaintBox1, 0, Qt::AlignTop);
    top->addWidget(MessageL, 1);
    auto* buttons = DesignerDialogs::ButtonRow({OkB, CancelB});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(DeleteRB);
    layout->addWidget(RenameRB);
    layout->addLayout(buttons);
    setFixedWidth(256);
    DesignerDialogs::Caption(this, 6000);
    DesignerDialogs::Caption(MessageL, 6001);
    DesignerDialogs::Caption(DeleteRB, 6002);
    DesignerDialogs::Caption(RenameRB, 6003);
}

int AskInheritConflict(bool& deleteDuplicates)
{
    TrpInheritErrorForm form;
    const int result = form.Execute();
    deleteDuplicates = form.DeleteRB->isChecked();
    return result == mrOk ? mrOk : mrCancel;
}
