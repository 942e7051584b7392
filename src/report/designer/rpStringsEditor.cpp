#include "rpStringsEditor.h"

#include "rpDsgnImages.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QIcon ButtonIcon(int index)
{
    const auto& images = MainButtonImages();
    return index >= 0 && index < static_cast<int>(images.size()) ? QIcon(QPixmap::fromImage(images[index])) : QIcon();
}

} // namespace

TrpStringsEditorForm::TrpStringsEditorForm(QWidget* owner, TrpCustomDesigner* designer)
    : TrpDesignerDialog(owner, designer, QStringLiteral("TrpStringsEditorForm"))
{
    setWindowTitle(QString());
    setSizeGripEnabled(true);
    ToolBar = new QToolBar(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    CancelB = new QToolButton(ToolBar);
    CancelB->setObjectName(QStringLiteral("CancelB"));
    CancelB->setIcon(ButtonIcon(55));
    CancelB->setToolTip(QString());
    OkB = new QToolButton(ToolBar);
    OkB->setObjectName(QStringLiteral("OkB"));
    OkB->setIcon(ButtonIcon(56));
    OkB->setToolTip(QStringLiteral("OK"));
    ToolBar->addWidget(CancelB);
    ToolBar->addWidget(OkB);
    DesignerDialogs::Hint(CancelB, 2);
    DesignerDialogs::Hint(OkB, 1);
    connect(OkB, &QToolButton::clicked, this, &QDialog::accept);
    connect(CancelB, &QToolButton::clicked, this, &QDialog::reject);
    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar);
    layout->addWidget(Memo, 1);
    resize(432, 226);
    DesignerDialogs::Caption(this, 4800);
}

QStringList TrpStringsEditorForm::Lines() const
{
    QString text = Memo->toPlainText();
    if (text.isEmpty())
        return {};
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text.split(u'\n');
}

void TrpStringsEditorForm::SetLines(const QStringList& lines)
{
    Memo->setPlainText(lines.join(u'\n'));
}

bool TrpStringsEditorForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Memo && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & Qt::ControlModifier)) {
            accept();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    return TrpDesignerDialog::eventFilter(watched, event);
}
