#include "report/designer/rpWatchForm.h"

#include "report/designer/rpDsgnImages.h"
#include "report/model/rpRes.h"
#include "report/script/sc_iinterpreter_script.h"

#include "platform/Exceptions.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QPixmap>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TrpWatchForm::TrpWatchForm(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    const TrpResources& res = GetResourcesInstance();
    setWindowTitle(res.GetResourceTextById(5900));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QToolBar(this);
    const auto button = [bar](int hint) {
        auto* b = new QToolButton(bar);
        b->setToolTip(GetResourcesInstance().GetResourceTextById(hint));
        b->setAutoRaise(true);
        bar->addWidget(b);
        return b;
    };
    AddB = button(5901);
    DeleteB = button(5902);
    EditB = button(5903);
    layout->addWidget(bar);
    WatchLB = new QListWidget(this);
    WatchLB->setFrameShape(QFrame::Panel);
    layout->addWidget(WatchLB);
    setLayoutDirection(QApplication::layoutDirection());

    QObject::connect(AddB, &QToolButton::clicked, this, [this] {
        if (!AskExpression)
            return;
        const QString expression = AskExpression(QString());
        if (!expression.isEmpty())
            AddWatch(expression);
    });
    const auto edit = [this] {
        const int row = WatchLB->currentRow();
        if (row < 0 || !AskExpression)
            return;
        const QString expression = AskExpression(FWatches[row].expression);
        if (!expression.isEmpty())
            EditWatch(row, expression);
    };
    QObject::connect(EditB, &QToolButton::clicked, this, edit);
    QObject::connect(WatchLB, &QListWidget::itemDoubleClicked, this, edit);
    QObject::connect(DeleteB, &QToolButton::clicked, this, [this] {
        if (WatchLB->currentRow() >= 0)
            DeleteWatch(WatchLB->currentRow());
    });
    QObject::connect(WatchLB, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (FFilling)
            return;
        const int row = WatchLB->row(item);
        if (row >= 0 && row < FWatches.size() && (item->checkState() == Qt::Checked) != FWatches[row].enabled)
            ToggleWatch(row);
    });
}

void TrpWatchForm::showEvent(QShowEvent* event)
{
    // The pictures are taken from the designer's button images when the window shows.
    const std::vector<QImage>& images = MainButtonImages();
    const auto icon = [&images](QToolButton* b, size_t index) {
        if (index < images.size())
            b->setIcon(QPixmap::fromImage(images[index]));
    };
    icon(AddB, 97);
    icon(DeleteB, 98);
    icon(EditB, 68);
    QWidget::showEvent(event);
}

void TrpWatchForm::closeEvent(QCloseEvent* event)
{
    // The list belongs to the debugger for the designer's lifetime: closing is declined.
    event->ignore();
}

void TrpWatchForm::AddWatch(const QString& expression)
{
    FWatches.append({expression, true});
    UpdateWatches();
}

void TrpWatchForm::EditWatch(int index, const QString& expression)
{
    if (index < 0 || index >= FWatches.size())
        return;
    FWatches[index].expression = expression;
    UpdateWatches();
}

void TrpWatchForm::DeleteWatch(int index)
{
    if (index < 0 || index >= FWatches.size())
        return;
    FWatches.removeAt(index);
    UpdateWatches();
}

void TrpWatchForm::ToggleWatch(int index)
{
    if (index < 0 || index >= FWatches.size())
        return;
    FWatches[index].enabled = !FWatches[index].enabled;
    UpdateWatches();
}

QString TrpWatchForm::WatchValue(const QString& expression) const
{
    if (FScript == nullptr || !FScript->IsRunning())
        return QStringLiteral("not accessible");
    // A failing watch shows its error instead of stopping the debugger's refresh.
    try {
        QString error;
        const Variant value = FScript->Evaluate(expression, &error);
        if (!error.isEmpty())
            return error;
        if (value.IsNull())
            return QStringLiteral("Null");
        if (value.Kind() == VariantKind::Boolean)
            return value.ToBoolean() ? QStringLiteral("True") : QStringLiteral("False");
        if (value.IsString())
            return u'\'' + value.AsString() + u'\'';
        return value.ToString();
    } catch (const platform::Exception& failure) {
        return QString::fromStdString(failure.Message());
    } catch (const std::exception& failure) {
        return QString::fromUtf8(failure.what());
    }
}

void TrpWatchForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        GetResourcesInstance().Help(u"TrpWatchForm");
        return;
    }
    QWidget::keyPressEvent(event);
}

void TrpWatchForm::UpdateWatches()
{
    FFilling = true;
    const int current = WatchLB->currentRow();
    WatchLB->clear();
    for (const TrpWatch& watch : FWatches) {
        const QString text = watch.enabled ? watch.expression + QStringLiteral(": ") + WatchValue(watch.expression)
                                           : watch.expression + QStringLiteral(": disabled");
        auto* item = new QListWidgetItem(text, WatchLB);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(watch.enabled ? Qt::Checked : Qt::Unchecked);
    }
    if (current >= 0 && current < WatchLB->count())
        WatchLB->setCurrentRow(current);
    FFilling = false;
}
