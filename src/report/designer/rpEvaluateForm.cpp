#include "rpEvaluateForm.h"

#include "report/core/Services.h"
#include "report/core/Variant.h"
#include "report/script/sc_iinterpreter_script.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString ResultText(const Variant& value)
{
    if (value.IsNull())
        return QStringLiteral("Null");
    if (value.Kind() == VariantKind::Boolean)
        return value.AsBoolean() ? QStringLiteral("True") : QStringLiteral("False");
    if (value.IsString())
        return u'\'' + value.AsString() + u'\'';
    return value.ToString();
}

} // namespace

TrpEvaluateForm::TrpEvaluateForm(QWidget* owner, TrpCustomDesigner* designer)
    : TrpDesignerDialog(owner, designer, QStringLiteral("TrpEvaluateForm"))
{
    setWindowTitle(QString());
    Label1 = new QLabel(QString(), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    ExpressionE = new QLineEdit(this);
    ExpressionE->setObjectName(QStringLiteral("ExpressionE"));
    ExpressionE->installEventFilter(this);
    Label2 = new QLabel(QString(), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    ResultM = new QPlainTextEdit(this);
    ResultM->setObjectName(QStringLiteral("ResultM"));
    ResultM->setReadOnly(true);
    OkB = new QPushButton(QStringLiteral("OK"), this);
    CancelB = new QPushButton(QString(), this);
    MakeOkCancel(OkB, CancelB);
    OkB->setAutoDefault(false);
    CancelB->setAutoDefault(false);
    auto* buttons = DesignerDialogs::ButtonRow({OkB, CancelB});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(ExpressionE);
    layout->addWidget(Label2);
    layout->addWidget(ResultM, 1);
    layout->addLayout(buttons);
    resize(281, 163);
    DesignerDialogs::Caption(this, 5500);
    DesignerDialogs::Caption(Label1, 5501);
    DesignerDialogs::Caption(Label2, 5502);
}

void TrpEvaluateForm::Showing()
{
    ExpressionE->selectAll();
    ExpressionE->setFocus();
    ResultM->clear();
    OkB->setVisible(FIsWatch);
    CancelB->setVisible(FIsWatch);
    ResultM->setVisible(!FIsWatch);
    Label2->setVisible(!FIsWatch);
    if (FIsWatch) {
        OkB->setDefault(true);
        adjustSize();
    }
}

void TrpEvaluateForm::EvaluateExpression()
{
    if (FScript == nullptr)
        return;
    // The script's errors end here, shown as the result, so that none leaves the key handler.
    ReportServices::Guarded(
        [this] {
            QString error;
            const Variant value = FScript->Evaluate(ExpressionE->text(), &error);
            ResultM->setPlainText(error.isEmpty() ? ResultText(value) : error);
        },
        [this](const QString&, const QString& message) { ResultM->setPlainText(message); });
    ExpressionE->selectAll();
}

bool TrpEvaluateForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ExpressionE && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (FIsWatch)
                accept();
            else
                EvaluateExpression();
            return true;
        }
        if (key == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    return TrpDesignerDialog::eventFilter(watched, event);
}

QString AskWatchExpression(QWidget* owner, TrpCustomDesigner* designer, const QString& preset)
{
    TrpEvaluateForm form(owner, designer);
    form.SetIsWatch(true);
    form.ExpressionE->setText(preset);
    return form.Execute() == mrOk ? form.ExpressionE->text() : QString();
}
