#include "DaxFrame.h"

#include "AppIcons.h"
#include "DaxInteractFrame.h"
#include "DaxPageTable.h"

#include "presentation/qt/QtControlResolver.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollArea>
#include <QScrollBar>
#include <QTreeWidgetItemIterator>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {
constexpr int kTreeIndent = 27;
constexpr int kTreeTextSlack = 8;   // between an item's text and the tree's right edge
} // namespace

TDax_Frame::TDax_Frame(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Dax_Frame"));

    SelectTree = new QTreeWidget(this);
    SelectTree->setObjectName(QStringLiteral("SelectTree"));
    SelectTree->setHeaderHidden(true);
    SelectTree->setColumnCount(1);
    // Every node with sub-pages shows its arrow, the top ones too.
    SelectTree->setRootIsDecorated(true);
    SelectTree->setIndentation(kTreeIndent);
    SelectTree->setIconSize(QSize(kTreeImageSize, kTreeImageSize));
    SelectTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SelectTree->setSelectionMode(QAbstractItemView::SingleSelection);

    Panel = new QWidget(this);
    Panel->setObjectName(QStringLiteral("Panel"));
    PageControl = new QStackedWidget(Panel);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    auto* panelLayout = new QVBoxLayout(Panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(PageControl);

    Splitter = new QSplitter(Qt::Horizontal, this);
    Splitter->setObjectName(QStringLiteral("Splitter1"));
    Splitter->addWidget(SelectTree);
    Splitter->addWidget(Panel);
    Splitter->setStretchFactor(0, 0);
    Splitter->setStretchFactor(1, 1);
    Splitter->setCollapsible(0, false);
    Splitter->setSizes({kDesignTreeWidth, 800});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Splitter);

    BuildPages();
    ConnectClearButtons();
    // Every page and sub-frame exists: the bindings reach their controls by path.
    BuildBindings();
    ConnectArchivePages();
    readAllWindow_ = std::make_unique<TDaxInteractForm>(this);
    readAllWindow_->setObjectName(QStringLiteral("ReadAllInteractForm"));
    writeAllWindow_ = std::make_unique<TDaxInteractForm>(this);
    writeAllWindow_->setObjectName(QStringLiteral("WriteAllInteractForm"));
    ConnectCommands();

    connect(SelectTree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { SelectTreeChange(current); });
}

TDax_Frame::~TDax_Frame()
{
    readAllWindow_.reset();
    writeAllWindow_.reset();
    reportState_.reset();
    // The bindings go with their container, then the ports and the instrument object (member
    // order); the controls go last, with the widget.
}

void TDax_Frame::BuildPageTree()
{
    autoRequest_ = false;
    SetUpSubFrames();
    FillItemLists();

    const QSignalBlocker blocker(SelectTree);
    SelectTree->clear();
    std::map<int32_t, QTreeWidgetItem*> nodes; // page id (kNoPage for "Сервис") -> node
    QTreeWidgetItem* top = nullptr;
    for (const DaxPageNode& entry : DaxPageNodes()) {
        QTreeWidgetItem* node = nullptr;
        if (entry.Parent == DaxPageNode::kRoot) {
            node = new QTreeWidgetItem(SelectTree);
        } else {
            const auto parent = nodes.find(entry.Parent);
            if (parent == nodes.end())
                continue;
            node = new QTreeWidgetItem(parent->second);
        }
        node->setText(0, QString::fromUtf8(entry.Text));
        node->setData(0, kPageIdRole, entry.PageId);
        node->setIcon(0, QIcon(TreeImage(entry.ImageIndex)));
        nodes[entry.PageId] = node;
        if (!top)
            top = node;
    }
    for (const DaxPageNode& entry : DaxPageNodes()) {
        if (entry.Expanded)
            nodes[entry.PageId]->setExpanded(true);
    }
    // Page 4 is shown and its node marked as the tree's current one; the marking itself does
    // not count as a page change.
    SelectTree->setCurrentItem(top);
    SelectTreeChange(top);
    HideServiceControls();
    FitTreeWidth();
}

int TDax_Frame::TreeWidthHint() const
{
    // Every item counts, whether or not its parent is expanded now: its indentation (one level
    // more for the arrows of the top nodes), its icon and its text, with the item's margins
    // around the icon and the text.
    const QFontMetrics metrics(SelectTree->font());
    const int itemMargin = SelectTree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, SelectTree) + 1;
    int widest = 0;
    for (QTreeWidgetItemIterator it(SelectTree); *it; ++it) {
        int levels = SelectTree->rootIsDecorated() ? 1 : 0;
        for (const QTreeWidgetItem* parent = (*it)->parent(); parent; parent = parent->parent())
            ++levels;
        widest = std::max(widest, levels * SelectTree->indentation() + SelectTree->iconSize().width() +
                                      4 * itemMargin + metrics.horizontalAdvance((*it)->text(0)));
    }
    return widest + kTreeTextSlack + 2 * SelectTree->frameWidth() +
           SelectTree->verticalScrollBar()->sizeHint().width();
}

void TDax_Frame::FitTreeWidth()
{
    const int width = std::max(kDesignTreeWidth, TreeWidthHint());
    QList<int> sizes = Splitter->sizes();
    const int total = std::accumulate(sizes.begin(), sizes.end(), 0);
    Splitter->setSizes({width, std::max(total - width, 1)});
}

QSize TDax_Frame::PagesSizeHint() const
{
    // A page's contents whole, as its scroll area shows them without scrolling, with the
    // page's margins and its command buttons.
    QSize widest;
    for (const auto& [id, page] : pages_) {
        QSize size = page->sizeHint();
        if (const auto* scroll = page->findChild<QScrollArea*>(); scroll && scroll->widget()) {
            const QMargins margins = page->layout()->contentsMargins();
            QSize contents = scroll->widget()->sizeHint() + QSize(margins.left() + margins.right(),
                                                                  margins.top() + margins.bottom());
            if (page->layout()->count() > 1)
                contents.rheight() += page->layout()->spacing() + page->layout()->itemAt(1)->sizeHint().height();
            size = size.expandedTo(contents);
        }
        widest = widest.expandedTo(size);
    }
    return {TreeWidthHint() + Splitter->handleWidth() + widest.width(), widest.height()};
}

void TDax_Frame::SelectTreeChange(QTreeWidgetItem* node)
{
    if (!node)
        return;
    previousPageId_ = currentPageId_;
    currentPageId_ = node->data(0, kPageIdRole).toInt();
    pageSubIndex_ = 0;

    if (QWidget* page = Page(currentPageId_))
        PageControl->setCurrentWidget(page);
    else
        PageControl->setCurrentWidget(noPage_);

    if (currentPageId_ >= 0) {
        const DaxPage* page = FindDaxPage(currentPageId_);
        helpKeyword_ = page ? QString::fromUtf8(page->HelpKeyword) : QString();
    }

    if (autoRequest_ && !PagesShareRead(previousPageId_, currentPageId_))
        ReadPage(currentPageId_, pageSubIndex_, false);
}

QWidget* TDax_Frame::Page(int32_t id) const
{
    const auto it = pages_.find(id);
    return it == pages_.end() ? nullptr : it->second;
}

void TDax_Frame::SetChannel(TChanelHelperBase* channel)
{
    channel_ = channel;
    daxHelper_.SetChannel(channel);
}

void TDax_Frame::SetLogCallback(LogCallback callback)
{
    log_ = callback;
    daxHelper_.SetLogCallback(std::move(callback));
}

void TDax_Frame::SetOptions(DisplayOptions* options)
{
    options_ = options;
    ApplyOptions();
}

void TDax_Frame::Log(const std::string& text) const
{
    if (log_)
        log_(text, nullptr);
}

void TDax_Frame::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        emit HelpRequested(helpKeyword_);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}
