#include "rpExprEditor.h"

#include "rpDataTree.h"

#include "report/core/Services.h"
#include "report/model/rpClass.h"
#include "report/model/rpClass_services.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

// Where the data tree stood when the editor closed last, for the next opening.
QPoint gLastPosition;
bool gHasLastPosition = false;

} // namespace

TrpExprEditorForm::TrpExprEditorForm(QWidget* owner, TrpCustomDesigner* designer)
    : TrpDesignerDialog(owner, designer, QStringLiteral("TrpExprEditorForm"))
{
    setWindowTitle(QString());
    setSizeGripEnabled(true);
    FReport = designer != nullptr ? designer->Report() : nullptr;

    Splitter1 = new QSplitter(Qt::Vertical, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Panel = new QWidget(Splitter1);
    Panel->setObjectName(QStringLiteral("Panel"));
    Panel->installEventFilter(this);
    Panel2 = new QWidget(Splitter1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    ExprL = new QLabel(QString(), Panel2);
    ExprL->setObjectName(QStringLiteral("ExprL"));
    ExprMemo = new QPlainTextEdit(Panel2);
    ExprMemo->setObjectName(QStringLiteral("ExprMemo"));
    QFont font(QStringLiteral("Courier New"));
    font.setPixelSize(13);
    ExprMemo->setFont(font);
    ExprMemo->setFrameShape(QFrame::Box);
    ExprMemo->setAcceptDrops(true);
    ExprMemo->viewport()->installEventFilter(this);
    ExprMemo->installEventFilter(this);
    auto* exprLayout = new QVBoxLayout(Panel2);
    exprLayout->setContentsMargins(4, 4, 4, 0);
    exprLayout->addWidget(ExprL);
    exprLayout->addWidget(ExprMemo);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setSizes({420, 70});

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    OkB = new QPushButton(QStringLiteral("OK"), Panel1);
    CancelB = new QPushButton(QString(), Panel1);
    MakeOkCancel(OkB, CancelB);
    auto* buttons = new QHBoxLayout(Panel1);
    buttons->addStretch(1);
    buttons->addWidget(OkB);
    buttons->addWidget(CancelB);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(Splitter1, 1);
    layout->addWidget(Panel1);
    resize(640, 546);

    DesignerDialogs::Caption(this, 4400);
    DesignerDialogs::Caption(ExprL, 4401);

    FDataTree = new TrpDataTreeForm(this);
    FDataTree->hide();
    FDataTree->SetReport(FReport);
    FDataTree->OnDblClick = [this](QWidget*) { Guard([this] { InsertFieldName(); }); };
    FDataTree->SetControlsParent(Panel);
    FDataTree->FunctionDescL->parentWidget()->setFixedHeight(60);
    FDataTree->UpdateItems();
}

TrpExprEditorForm::~TrpExprEditorForm()
{
    delete FDataTree;
}

void TrpExprEditorForm::Showing()
{
    RestorePlacement();
    if (gHasLastPosition)
        FDataTree->SetLastPosition(gLastPosition);
    FDataTree->UpdateSize();
    ExprMemo->setFocus();
}

void TrpExprEditorForm::Hiding(int)
{
    SavePlacement();
    gLastPosition = FDataTree->GetLastPosition();
    gHasLastPosition = true;
}

void TrpExprEditorForm::InsertFieldName()
{
    const QString text = FDataTree->GetFieldName();
    ExprMemo->textCursor().insertText(text);
    ExprMemo->setFocus();
}

bool TrpExprEditorForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Panel && event->type() == QEvent::Resize && FDataTree != nullptr) {
        FDataTree->UpdateSize();
        return false;
    }
    if (ExprMemo != nullptr && watched == ExprMemo && event->type() == QEvent::KeyPress) {
        // The box holds one line: Enter is the dialog's OK.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            accept();
            return true;
        }
    }
    if (ExprMemo != nullptr && (watched == ExprMemo->viewport() || watched == ExprMemo)) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (drag->source() == FDataTree && !FDataTree->GetFieldName().isEmpty())
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (drop->source() == FDataTree && !FDataTree->GetFieldName().isEmpty()) {
                Guard([this] { InsertFieldName(); });
                drop->acceptProposedAction();
            }
            return true;
        }
        default:
            break;
        }
    }
    return TrpDesignerDialog::eventFilter(watched, event);
}

QString RunExpressionEditor(QWidget* owner, TrpCustomDesigner* designer, const QString& expression)
{
    TrpExprEditorForm form(owner, designer);
    form.ExprMemo->setPlainText(expression);
    return form.Execute() == mrOk ? form.ExprMemo->toPlainText() : QString();
}
