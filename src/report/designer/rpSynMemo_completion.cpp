// The script editor's code completion: the name before the caret and the pop-up list of what
// it may continue with.

#include "report/designer/rpSynMemo.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

// ---- completion ------------------------------------------------------------------------------

QString TrpSyntaxMemo::CompletionName() const
{
    const QString text = TrimRight(FText[FPos.y() - 1]).left(FPos.x()).trimmed();
    QString name;
    bool single = false, dbl = false;
    int level = 0;
    for (int i = text.size() - 2; i >= 0; --i) {
        const QChar c = text[i];
        if (c == u'\'' && !dbl) {
            single = !single;
            continue;
        }
        if (c == u'"' && !single) {
            dbl = !dbl;
            continue;
        }
        if (single || dbl)
            continue;
        if (c == u')' || c == u']') {
            ++level;
            continue;
        }
        if ((c == u'(' || c == u'[') && level > 0) {
            --level;
            continue;
        }
        if (level > 0)
            continue;
        if (c == u' ' || c == u'.' || IsWordChar(c))
            name.prepend(c);
        else
            break;
    }
    return name;
}

namespace {

const int kKindRole = Qt::UserRole;

// The leading identifier of a completion item: its first character and the word characters after it.
int LeadingIdentifierLength(const QString& item)
{
    if (item.isEmpty())
        return 0;
    int n = 1;
    while (n < item.size()) {
        const ushort u = item[n].unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u >= 127))
            break;
        ++n;
    }
    return n;
}

// Draws an item as its kind word, the identifier in bold and the rest plain.
class CompletionDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, selected ? option.palette.color(QPalette::Highlight)
                                                : option.palette.color(QPalette::Base));
        const QString text = index.data(Qt::DisplayRole).toString();
        const int kind = index.data(kKindRole).toInt();
        QString word;
        QColor colour;
        if (text.contains(QLatin1String("Constructor"))) {
            word = QStringLiteral("constructor");
            colour = Qt::blue;
        } else if (kind <= 1) {
            word = kind == 0 ? QStringLiteral("var") : QStringLiteral("property");
            colour = Qt::blue;
        } else {
            word = kind == 2 ? QStringLiteral("procedure") : QStringLiteral("function");
            colour = Qt::magenta;
        }
        QFont font = option.font;
        const QFontMetrics metrics(font);
        const int baseline = option.rect.top() + 2 + metrics.ascent();
        painter->setFont(font);
        painter->setPen(selected ? QColor(Qt::white) : colour);
        painter->drawText(option.rect.left() + 2, baseline, word);
        const int x = option.rect.left() + metrics.horizontalAdvance(QStringLiteral("constructor")) + 6;
        const int n = LeadingIdentifierLength(text);
        QFont bold = font;
        bold.setBold(true);
        painter->setFont(bold);
        painter->setPen(selected ? QColor(Qt::white) : QColor(Qt::black));
        const QString ident = text.left(n);
        painter->drawText(x, baseline, ident);
        const int rx = x + QFontMetrics(bold).horizontalAdvance(ident);
        QString rest = text.mid(n);
        const int cut = rest.indexOf(QLatin1String(": Constructor"));
        if (cut >= 0)
            rest = rest.left(cut);
        painter->setFont(font);
        painter->drawText(rx, baseline, rest);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(QFontMetrics(option.font).height() + 2);
        return size;
    }
};

} // namespace

void TrpSyntaxMemo::ShowCompletion()
{
    if (!OnCodeCompletion)
        return;
    if (FCompletionForm)
        FCompletionForm->close();
    FCompletionForm = new TrpPopupForm(this, platform::Clock::System());
    FCompletionLB = new QListWidget(FCompletionForm);
    FCompletionLB->setFrameShape(QFrame::NoFrame);
    FCompletionLB->setSortingEnabled(true);
    FCompletionLB->setItemDelegate(new CompletionDelegate(FCompletionLB));
    auto* layout = new QVBoxLayout(FCompletionForm);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FCompletionLB);
    OnCodeCompletion(this, CompletionName(), *FCompletionLB);
    FCompletionLB->sortItems();
    if (FCompletionLB->count() > 0)
        FCompletionLB->setCurrentRow(0);
    QListWidget* list = FCompletionLB;
    QObject::connect(list, &QListWidget::itemDoubleClicked, this,
                     [this](QListWidgetItem* item) { PickCompletion(item->text()); });
    list->installEventFilter(this);
    const QPoint cell((FPos.x() - FOffset.x() - 1) * FCharWidth + FGutterWidth,
                      (FPos.y() - FOffset.y()) * FCharHeight);
    FCompletionForm->setGeometry(QRect(viewport()->mapToGlobal(cell), QSize(300, 100)));
    FCompletionForm->show();
    list->setFocus();
}

bool TrpSyntaxMemo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FCompletionLB && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (QListWidgetItem* item = FCompletionLB->currentItem())
                PickCompletion(item->text());
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            FCompletionForm->close();
            setFocus();
            return true;
        }
    }
    return TrpScrollWin::eventFilter(watched, event);
}

void TrpSyntaxMemo::PickCompletion(const QString& item)
{
    const int n = LeadingIdentifierLength(item);
    const QString ident = item.left(n);
    if (n < item.size() && item[n] == u'(') {
        SetSelText(ident + QStringLiteral("()"));
        SetPos(FPos.x() - 1, FPos.y());
    } else {
        SetSelText(ident);
    }
    if (FCompletionForm)
        FCompletionForm->close();
    setFocus();
}
