#include "rpInsp.h"

#include "rpPopupForm.h"

#include "platform/Exceptions.h"
#include "report/core/Services.h"
#include "report/model/rpClass.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

// The paint box of the grid: it draws through the inspector and hands it its mouse.
class TrpInspectorGrid : public QWidget {
public:
    TrpInspectorGrid(TrpObjectInspector* inspector, QWidget* parent) : QWidget(parent), inspector_(inspector)
    {
        setObjectName(QStringLiteral("PB"));
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        inspector_->PaintGrid(painter);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        inspector_->Guard([&] { inspector_->GridMouseDown(event); });
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        inspector_->Guard([&] { inspector_->GridMouseMove(event); });
    }
    void mouseReleaseEvent(QMouseEvent*) override { inspector_->GridMouseUp(); }
    void mouseDoubleClickEvent(QMouseEvent*) override
    {
        inspector_->Guard([&] { inspector_->GridDoubleClick(); });
    }
    void leaveEvent(QEvent*) override { inspector_->HideHint(); }

private:
    TrpObjectInspector* inspector_;
};

namespace {

constexpr int kButtonSize = 15;
constexpr int kSplitterMargin = 30;

bool HighDpi(const QWidget* widget)
{
    return widget->logicalDpiX() > 96;
}

} // namespace

TrpObjectInspector::TrpObjectInspector(TrpCustomDesigner* designer, QWidget* parent, const platform::Clock& clock)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), designer_(designer), clock_(clock)
{
    if (designer_ == nullptr)
        throw platform::Exception("The Owner of the object inspector should be TrpCustomDesigner");
    setObjectName(QStringLiteral("TrpObjectInspector"));
    setWindowTitle(GetResourcesInstance().GetResourceTextById(2000));
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);
    resize(198, 474);

    objectsCB_ = new QComboBox(this);
    objectsCB_->setObjectName(QStringLiteral("ObjectsCB"));
    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("Tabs"));
    tabs_->setDrawBase(false);
    tabs_->setExpanding(false);
    tabs_->addTab(GetResourcesInstance().Get(u"oiProp"));
    tabs_->addTab(GetResourcesInstance().Get(u"oiEvent"));

    splitter1_ = new QSplitter(Qt::Vertical, this);
    splitter1_->setObjectName(QStringLiteral("Splitter1"));
    box_ = new QScrollArea(splitter1_);
    box_->setObjectName(QStringLiteral("Box"));
    box_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box_->setFrameShape(QFrame::Box);
    box_->setBackgroundRole(QPalette::Base);
    box_->setWidgetResizable(false);
    panel_ = new QWidget;
    panel_->setObjectName(QStringLiteral("TInspPanel"));
    pb_ = new TrpInspectorGrid(this, panel_);
    edit1_ = new QLineEdit(panel_);
    edit1_->setObjectName(QStringLiteral("Edit1"));
    edit1_->setFrame(false);
    edit1_->setContextMenuPolicy(Qt::NoContextMenu); // cut, copy and paste are keys here
    edit1_->installEventFilter(this);
    edit1_->hide();
    editPanel_ = new QWidget(panel_);
    editPanel_->setObjectName(QStringLiteral("EditPanel"));
    editBtn_ = new QToolButton(editPanel_);
    editBtn_->setObjectName(QStringLiteral("EditBtn"));
    editBtn_->setText(QStringLiteral("..."));
    comboPanel_ = new QWidget(panel_);
    comboPanel_->setObjectName(QStringLiteral("ComboPanel"));
    comboBtn_ = new QToolButton(comboPanel_);
    comboBtn_->setObjectName(QStringLiteral("ComboBtn"));
    comboBtn_->setArrowType(Qt::DownArrow);
    comboBtn_->installEventFilter(this);
    editPanel_->hide();
    comboPanel_->hide();
    box_->setWidget(panel_);
    box_->verticalScrollBar()->setTracking(true);

    hintPanel_ = new QWidget(splitter1_);
    hintPanel_->setObjectName(QStringLiteral("HintPanel"));
    auto* hintLayout = new QVBoxLayout(hintPanel_);
    hintLayout->setContentsMargins(1, 1, 1, 1);
    hintLayout->setSpacing(0);
    propL_ = new QLabel(hintPanel_);
    propL_->setObjectName(QStringLiteral("PropL"));
    QFont bold = font;
    bold.setBold(true);
    propL_->setFont(bold);
    propL_->setAutoFillBackground(true);
    propL_->setBackgroundRole(QPalette::ToolTipBase);
    descrL_ = new QLabel(hintPanel_);
    descrL_->setObjectName(QStringLiteral("DescrL"));
    descrL_->setWordWrap(true);
    descrL_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    descrL_->setAutoFillBackground(true);
    QPalette white = descrL_->palette();
    white.setColor(QPalette::Window, Qt::white);
    descrL_->setPalette(white);
    hintLayout->addWidget(propL_);
    hintLayout->addWidget(descrL_, 1);
    splitter1_->addWidget(box_);
    splitter1_->addWidget(hintPanel_);
    splitter1_->setStretchFactor(0, 1);
    splitter1_->setStretchFactor(1, 0);
    splitter1_->setSizes({400, 65});

    hintWindow_ = new QLabel(this, Qt::ToolTip);
    hintWindow_->setObjectName(QStringLiteral("HintWindow"));
    hintWindow_->setAutoFillBackground(true);
    hintWindow_->setBackgroundRole(QPalette::ToolTipBase);
    hintWindow_->setFont(font);
    hintWindow_->hide();

    rowHeight_ = QFontMetrics(font).boundingRect(QStringLiteral("Wg")).height() + 3;
    box_->verticalScrollBar()->setSingleStep(rowHeight_); // a wheel notch scrolls one row

    connect(objectsCB_, &QComboBox::activated, this, [this](int index) {
        Guard([&] {
            if (updatingObjectsCB_)
                return;
            auto* object = static_cast<ScriptObject*>(objectsCB_->itemData(index).value<void*>());
            std::vector<ScriptObject*> selection;
            if (object != nullptr)
                selection.push_back(object);
            SetSelectedObjects(selection);
            edit1_->setFocus();
            if (OnSelectionChanged)
                OnSelectionChanged();
        });
    });
    connect(tabs_, &QTabBar::currentChanged, this, [this](int tab) { Guard([&] { SetTab(tab); }); });
    connect(editBtn_, &QToolButton::clicked, this, [this] { Guard([&] { EllipsisAction(); }); });
    connect(comboBtn_, &QToolButton::clicked, this, [this] { Guard([&] { DropDown(); }); });
    FormResize();
}

TrpObjectInspector::~TrpObjectInspector()
{
    if (popupForm_ != nullptr)
        delete popupForm_.data();
}

QWidget* TrpObjectInspector::Grid() const
{
    return pb_;
}

QWidget* TrpObjectInspector::HintWindow() const
{
    return hintWindow_;
}

void TrpObjectInspector::Guard(const std::function<void()>& body)
{
    ReportServices::Guarded(body, [](const QString&, const QString& message) { ErrorMessageBox(message); });
}

// ---------------------------------------------------------------------------------------------
// Objects and selection

QString TrpObjectInspector::EntryText(ScriptObject* object) const
{
    auto* component = dynamic_cast<TrpComponent*>(object);
    if (component == nullptr)
        return QString();
    return component->Name() + QStringLiteral(": ") + component->ClassName();
}

void TrpObjectInspector::RefillObjectsCB()
{
    updatingObjectsCB_ = true;
    objectsCB_->clear();
    std::vector<ScriptObject*> sorted = objects_;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [this](ScriptObject* a, ScriptObject* b) { return EntryText(a) < EntryText(b); });
    for (ScriptObject* object : sorted)
        objectsCB_->addItem(EntryText(object), QVariant::fromValue(static_cast<void*>(object)));
    objectsCB_->setCurrentIndex(-1);
    updatingObjectsCB_ = false;
}

void TrpObjectInspector::Inspect(const std::vector<ScriptObject*>& objects)
{
    SetObjects(objects);
    SetSelectedObjects(objects);
}

void TrpObjectInspector::SetObjects(const std::vector<ScriptObject*>& objects)
{
    objects_ = objects;
    RefillObjectsCB();
}

void TrpObjectInspector::SetSelectedObjects(const std::vector<ScriptObject*>& objects)
{
    HideHint();
    selectedObjects_ = objects;
    rows_.clear();
    list_ = nullptr;
    eventList_.reset();
    propertyList_ = BuildCommonPropertyList(objects, designer_);
    if (propertyList_ != nullptr) {
        eventList_ = std::make_unique<TrpPropertyList>(designer_);
        for (int i = propertyList_->Count() - 1; i >= 0; --i) {
            const QString& type = propertyList_->Items(i).Editor()->PropInfo()->TypeName;
            if (type.startsWith(QStringLiteral("Trp")) && type.size() >= 8 && type.indexOf(u"Event", type.size() - 5) >= 0)
                eventList_->Insert(propertyList_->Take(i));
        }
        // Taken from the end: put them back in their order.
        std::vector<std::unique_ptr<TrpPropertyItem>> events;
        while (eventList_->Count() > 0)
            events.push_back(eventList_->Take(eventList_->Count() - 1));
        for (auto& item : events)
            eventList_->Insert(std::move(item));
        list_ = tabs_->currentIndex() == 1 ? eventList_.get() : propertyList_.get();
    }

    updatingObjectsCB_ = true;
    if (objects.size() == 1) {
        int index = objectsCB_->findData(QVariant::fromValue(static_cast<void*>(objects.front())));
        if (index < 0) {
            objectsCB_->addItem(EntryText(objects.front()), QVariant::fromValue(static_cast<void*>(objects.front())));
            index = objectsCB_->count() - 1;
        }
        objectsCB_->setCurrentIndex(index);
    } else {
        objectsCB_->setCurrentIndex(-1);
    }
    updatingObjectsCB_ = false;

    itemIndex_ = -1;
    BuildRows();
    FormResize();
    if (!rows_.empty()) {
        const int remembered = FindRow(lastPosition_);
        if (remembered >= 0) {
            SetItemIndex(remembered);
        } else {
            const QString keep = lastPosition_;
            SetItemIndex(0);
            lastPosition_ = keep;
        }
    } else {
        SetItemIndex(-1);
    }
}

void TrpObjectInspector::UpdateProperties()
{
    SetSelectedObjects(selectedObjects_);
}

void TrpObjectInspector::EnableUpdate()
{
    disableUpdate_ = false;
    PlaceEditControls();
}

void TrpObjectInspector::SetColor(const QColor& color)
{
    QPalette palette = objectsCB_->palette();
    palette.setColor(QPalette::Base, color);
    objectsCB_->setPalette(palette);
    QPalette boxPalette = box_->palette();
    boxPalette.setColor(QPalette::Base, color);
    boxPalette.setColor(QPalette::Window, color);
    box_->setPalette(boxPalette);
    pb_->update();
}

int TrpObjectInspector::Tab() const
{
    return tabs_->currentIndex();
}

void TrpObjectInspector::SetTab(int tab)
{
    if (tab == 1 && designer_->IsPreviewDesigner()) {
        tabs_->setCurrentIndex(0);
        return;
    }
    if (tabs_->currentIndex() != tab) {
        tabs_->setCurrentIndex(tab); // comes back here through the signal
        return;
    }
    list_ = tab == 1 ? eventList_.get() : propertyList_.get();
    itemIndex_ = -1;
    BuildRows();
    FormResize();
    SetItemIndex(-1);
}

// ---------------------------------------------------------------------------------------------
// Rows

void TrpObjectInspector::BuildRows()
{
    rows_.clear();
    std::function<void(TrpPropertyList*, int)> add = [&](TrpPropertyList* list, int level) {
        for (int i = 0; i < list->Count(); ++i) {
            TrpPropertyItem& item = list->Items(i);
            rows_.push_back({&item, level, list});
            if (item.SubProperty() != nullptr && item.Expanded())
                add(item.SubProperty(), level + 1);
        }
    };
    if (list_ != nullptr)
        add(list_, 0);
}

TrpPropertyItem* TrpObjectInspector::RowItem(int row) const
{
    return row >= 0 && row < VisibleRowCount() ? rows_[static_cast<size_t>(row)].Item : nullptr;
}

int TrpObjectInspector::RowLevel(int row) const
{
    return row >= 0 && row < VisibleRowCount() ? rows_[static_cast<size_t>(row)].Level : 0;
}

QString TrpObjectInspector::RowName(int row) const
{
    TrpPropertyItem* item = RowItem(row);
    return item != nullptr ? item->Editor()->GetName() : QString();
}

TrpPropertyAttributes TrpObjectInspector::RowAttributes(int row) const
{
    TrpPropertyItem* item = RowItem(row);
    return item != nullptr ? item->Editor()->GetAttributes() : 0;
}

QString TrpObjectInspector::RowValue(int row) const
{
    TrpPropertyItem* item = RowItem(row);
    if (item == nullptr)
        return QString();
    QString value;
    ReportServices::Guarded([&] { value = item->Editor()->GetValue(); }, [](const QString&, const QString&) {});
    return value;
}

int TrpObjectInspector::FindRow(QStringView name) const
{
    for (int row = 0; row < VisibleRowCount(); ++row)
        if (RowName(row) == name)
            return row;
    return -1;
}

void TrpObjectInspector::SetItemIndex(int row)
{
    propL_->clear();
    descrL_->clear();
    row = std::max(-1, std::min(row, VisibleRowCount() - 1));
    edit1_->setVisible(VisibleRowCount() > 0);
    if (VisibleRowCount() == 0) {
        itemIndex_ = -1;
        PlaceEditControls();
        return;
    }
    if (itemIndex_ >= 0 && edit1_->isModified()) {
        edit1_->setModified(false);
        CommitRowValue(itemIndex_, edit1_->text());
    }
    itemIndex_ = row;
    if (row >= 0) {
        const QString name = RowName(row);
        lastPosition_ = name;
        propL_->setText(name);
        // The list the row belongs to tells the class of the hint.
        ScriptObject* component = rows_[static_cast<size_t>(row)].List->Component();
        if (component == nullptr && !selectedObjects_.empty() && RowLevel(row) == 0)
            component = selectedObjects_.front();
        if (component != nullptr) {
            const TrpResources& texts = GetResourcesInstance();
            const QString specific = QStringLiteral("prop") + name + u'.' + component->ScriptClass().Name;
            const QString text = texts.Get(specific);
            descrL_->setText(text != specific ? text : texts.Get(QString(QStringLiteral("prop") + name)));
        }
    }
    PlaceEditControls();
}

void TrpObjectInspector::SetSplitterPos(int pos)
{
    splitterPlaced_ = true;
    splitterPos_ = pos;
    PlaceEditControls();
}

int TrpObjectInspector::Splitter1Pos() const
{
    return hintPanel_->height();
}

void TrpObjectInspector::SetSplitter1Pos(int height)
{
    const int total = splitter1_->height();
    splitter1_->setSizes({std::max(0, total - height), height});
}

// ---------------------------------------------------------------------------------------------
// Layout

void TrpObjectInspector::FormResize()
{
    const int width = this->width();
    objectsCB_->setGeometry(0, 0, width, objectsCB_->sizeHint().height());
    const int tabsTop = objectsCB_->height() + 4;
    const int tabsHeight = HighDpi(this) ? 26 : 22;
    tabs_->setGeometry(0, tabsTop, width, tabsHeight);
    const int backTop = tabsTop + tabsHeight - 1;
    splitter1_->setGeometry(0, backTop, width, std::max(0, height() - backTop));
    const int panelWidth = box_->viewport()->width();
    panel_->resize(panelWidth, std::max(VisibleRowCount() * rowHeight_, 1));
    pb_->setGeometry(0, 0, panelWidth, VisibleRowCount() * rowHeight_);
    // Half the grid until someone places the border.
    if (!splitterPlaced_)
        splitterPos_ = panelWidth / 2;
    PlaceEditControls();
}

void TrpObjectInspector::PlaceEditControls()
{
    if (disableUpdate_)
        return;
    if (itemIndex_ < 0) {
        editPanel_->hide();
        comboPanel_->hide();
        edit1_->hide();
        pb_->update();
        return;
    }
    updatingPB_ = true;
    const TrpPropertyAttributes attributes = RowAttributes(itemIndex_);
    const int top = itemIndex_ * rowHeight_;
    const int pbWidth = pb_->width();
    int editWidth = pbWidth - splitterPos_ - 2;
    editPanel_->setVisible((attributes & paDialog) != 0);
    comboPanel_->setVisible((attributes & paValueList) != 0);
    edit1_->setReadOnly((attributes & paReadOnly) != 0);
    for (QWidget* panel : {editPanel_, comboPanel_})
        if (panel->isVisibleTo(panel_)) {
            panel->setGeometry(pbWidth - kButtonSize, top, kButtonSize, rowHeight_ - 1);
            panel->findChild<QToolButton*>()->setGeometry(0, 0, kButtonSize, rowHeight_ - 1);
            editWidth -= kButtonSize;
        }
    edit1_->setText(RowValue(itemIndex_));
    edit1_->setModified(false);
    edit1_->setGeometry(splitterPos_ + 2, top + 1, std::max(editWidth, 0), rowHeight_ - 2);
    edit1_->show();
    edit1_->selectAll();
    updatingPB_ = false;
    QScrollBar* bar = box_->verticalScrollBar();
    const int bottom = top + 1 + rowHeight_;
    if (bottom > bar->value() + box_->viewport()->height())
        bar->setValue(bottom - box_->viewport()->height());
    if (top < bar->value())
        bar->setValue(top - 1);
    pb_->update();
}

void TrpObjectInspector::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TrpObjectInspector::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FormResize();
}

void TrpObjectInspector::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && !disableUpdate_ && itemIndex_ >= 0)
        Guard([&] { SetItemIndex(itemIndex_); });
}

// ---------------------------------------------------------------------------------------------
// Painting

void TrpObjectInspector::PaintGrid(QPainter& target)
{
    if (updatingPB_)
        return;
    QImage image(pb_->size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(box_->palette().color(QPalette::Base));
    {
        QPainter painter(&image);
        painter.setFont(font());
        if (!disableUpdate_) {
            for (int row = 0; row < VisibleRowCount(); ++row)
                if (row != itemIndex_)
                    DrawRow(painter, row, false);
            if (itemIndex_ >= 0)
                DrawRow(painter, itemIndex_, true);
        }
    }
    target.drawImage(0, 0, image);
}

void TrpObjectInspector::DrawRow(QPainter& painter, int row, bool selected)
{
    const int off = HighDpi(this) ? 2 : 0;
    const int top = row * rowHeight_;
    TrpPropertyItem* item = RowItem(row);
    TrpPropertyEditor* editor = item->Editor();
    const bool hasSub = item->SubProperty() != nullptr;
    const int indent = hasSub ? off + 1 : off + 13;
    editor->SetItemHeight(rowHeight_);
    const QColor face = palette().color(QPalette::Button);
    painter.setPen(face);
    painter.drawLine(0, top + rowHeight_ - 1, pb_->width(), top + rowHeight_ - 1);
    if (selected)
        painter.fillRect(QRect(0, top, splitterPos_, rowHeight_ - 1), face);
    else
        painter.drawLine(splitterPos_ - 1, top, splitterPos_ - 1, top + rowHeight_ - 1);

    const int level = RowLevel(row);
    int x = level * (off + 12) + indent;
    const int y = top + 1;
    if (hasSub) {
        painter.setPen(Qt::gray);
        painter.setBrush(Qt::white);
        painter.drawRect(QRect(QPoint(x + 1, y + off + 2), QPoint(x + 9, y + off + 10)));
        painter.setPen(Qt::black);
        painter.drawLine(x + 3, y + off + 6, x + 7, y + off + 6);
        if (!item->Expanded())
            painter.drawLine(x + 5, y + off + 4, x + 5, y + off + 8);
        painter.setBrush(Qt::NoBrush);
        x += off + 12;
    }
    const QString name = editor->GetName();
    QFont nameFont = font();
    static const QStringList boldNames = {QStringLiteral("Name"), QStringLiteral("Width"), QStringLiteral("Height"),
                                          QStringLiteral("Left"), QStringLiteral("Top")};
    nameFont.setBold(level == 0 && boldNames.contains(name));
    painter.setFont(nameFont);
    painter.setPen(palette().color(QPalette::Text));
    painter.save();
    painter.setClipRect(QRect(0, top, splitterPos_, rowHeight_ - 1));
    painter.drawText(QPoint(x, y + painter.fontMetrics().ascent()), name);
    painter.restore();
    painter.setFont(font());
    if (!selected) {
        painter.setPen(QColor(0, 0, 0x80));
        if (editor->GetAttributes() & paOwnerDraw) {
            painter.save();
            const QRect cell(QPoint(splitterPos_ + 2, y), QPoint(pb_->width() - 1, (row + 1) * rowHeight_));
            painter.setClipRect(cell);
            ReportServices::Guarded([&] { editor->OnDrawItem(painter, cell); }, [](const QString&, const QString&) {});
            painter.restore();
        } else {
            painter.drawText(QPoint(splitterPos_ + 2, y + painter.fontMetrics().ascent()), RowValue(row));
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Changes

void TrpObjectInspector::CommitRowValue(int row, const QString& text)
{
    TrpPropertyItem* item = RowItem(row);
    if (item == nullptr)
        return;
    try {
        item->Editor()->SetValue(text);
    } catch (const std::exception& error) {
        ErrorMessageBox(QString::fromUtf8(error.what()));
        edit1_->setText(RowValue(row));
        edit1_->setModified(false);
        return;
    }
    NotifyModified();
    pb_->update();
}

void TrpObjectInspector::NotifyModified()
{
    if (selectedObjects_.size() == 1) {
        ScriptObject* object = selectedObjects_.front();
        const int index = objectsCB_->findData(QVariant::fromValue(static_cast<void*>(object)));
        if (index >= 0) {
            updatingObjectsCB_ = true;
            objectsCB_->setItemText(index, EntryText(object));
            objectsCB_->setCurrentIndex(index);
            updatingObjectsCB_ = false;
        }
    }
    if (OnModify)
        OnModify();
}

void TrpObjectInspector::EllipsisAction()
{
    TrpPropertyItem* item = RowItem(itemIndex_);
    if (item == nullptr)
        return;
    if (item->Editor()->Edit()) {
        SetItemIndex(itemIndex_);
        NotifyModified();
    }
}

void TrpObjectInspector::DropDown()
{
    const auto closed = TrpPopupForm::LastCloseTime();
    if (popupLBVisible_ && closed &&
        clock_.SteadyNow() - *closed < std::chrono::milliseconds(100)) {
        popupLBVisible_ = false;
        edit1_->setFocus();
        return;
    }
    TrpPropertyItem* item = RowItem(itemIndex_);
    if (item == nullptr)
        return;
    TrpPropertyEditor* editor = item->Editor();
    if (popupForm_ != nullptr)
        delete popupForm_.data();
    popupForm_ = new TrpPopupForm(this, clock_);
    popupForm_->setObjectName(QStringLiteral("PopupForm"));
    popupLB_ = new QListWidget(popupForm_);
    popupLB_->setObjectName(QStringLiteral("PopupLB"));
    popupLB_->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(popupForm_);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(popupLB_);
    editor->SetItemHeight(rowHeight_);
    editor->GetValues();
    if (editor->Values().isEmpty()) {
        delete popupForm_.data();
        return;
    }
    const bool ownerDraw = (editor->GetAttributes() & paOwnerDraw) != 0;
    int widest = 0;
    const QFontMetrics metrics(font());
    for (const QString& value : editor->Values()) {
        auto* entry = new QListWidgetItem(value, popupLB_);
        entry->setSizeHint(QSize(0, rowHeight_));
        if (ownerDraw) {
            // The editor draws the entry (a colour swatch); the list shows the picture.
            QImage picture(200, rowHeight_, QImage::Format_ARGB32_Premultiplied);
            picture.fill(Qt::transparent);
            QPainter painter(&picture);
            painter.setFont(font());
            editor->OnDrawLBItem(painter, popupLB_->count() - 1, QRect(0, 0, rowHeight_, rowHeight_), false);
            entry->setIcon(QIcon(QPixmap::fromImage(picture.copy(0, 0, rowHeight_, rowHeight_))));
        }
        widest = std::max(widest, metrics.horizontalAdvance(value));
    }
    const QList<QListWidgetItem*> current = popupLB_->findItems(edit1_->text(), Qt::MatchExactly);
    if (!current.isEmpty())
        popupLB_->setCurrentItem(current.front());
    int width = widest + 8 + (ownerDraw ? editor->GetExtraLBSize() : 0);
    const int rows = std::min<int>(8, popupLB_->count());
    if (popupLB_->count() > 8)
        width += style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int valueColumn = pb_->width() - splitterPos_;
    const QPoint editLeft = edit1_->mapToGlobal(QPoint(0, edit1_->height()));
    int x = 0;
    if (valueColumn > width) {
        x = editLeft.x() - 3;
        width = valueColumn + 1;
    } else {
        x = editLeft.x() + valueColumn - width - 2;
    }
    const int height = rowHeight_ * rows + 2;
    int y = editLeft.y();
    if (x < 0)
        x = 0;
    if (QScreen* screen = this->screen())
        if (y + height > screen->geometry().bottom())
            y = screen->geometry().bottom() - height;
    popupForm_->setGeometry(x, y, width, height);
    connect(popupLB_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* entry) { Guard([&] { PickFromList(entry->text()); }); });
    disableUpdate_ = true;
    popupLBVisible_ = true;
    popupForm_->show();
    disableUpdate_ = false;
}

void TrpObjectInspector::PickFromList(const QString& text)
{
    edit1_->setText(text);
    if (popupForm_ != nullptr) {
        popupForm_->SetModalResult(1);
        popupForm_->hide();
        popupForm_->deleteLater();
    }
    popupLBVisible_ = false;
    edit1_->setFocus();
    edit1_->selectAll();
    CommitRowValue(itemIndex_, text);
    PlaceEditControls();
}

// ---------------------------------------------------------------------------------------------
// Mouse and keys

void TrpObjectInspector::HideHint()
{
    hintWindow_->hide();
}

void TrpObjectInspector::GridMouseDown(QMouseEvent* event)
{
    disableDblClick_ = false;
    if (VisibleRowCount() == 0)
        return;
    const int x = event->position().toPoint().x();
    const int y = event->position().toPoint().y();
    if (splitterPos_ - 4 < x && x < splitterPos_ + 2) {
        down_ = true;
        return;
    }
    const int row = y / rowHeight_;
    TrpPropertyItem* item = RowItem(row);
    if (item == nullptr)
        return;
    if (x > splitterPos_ && x < splitterPos_ + 15 && item->Editor()->ClassName() == QStringLiteral("TrpBooleanProperty")) {
        try {
            item->Editor()->Edit();
        } catch (const std::exception& error) {
            ErrorMessageBox(QString::fromUtf8(error.what()));
            return;
        }
        NotifyModified();
        if (row == itemIndex_)
            PlaceEditControls();
        pb_->update();
        return;
    }
    SetItemIndex(row);
    edit1_->setFocus();
    rowClickTime_ = clock_.SteadyNow();
    const int level = RowLevel(row);
    if (item->SubProperty() != nullptr && level * 12 < x && x < level * 12 + 13) {
        item->SetExpanded(!item->Expanded());
        BuildRows();
        FormResize();
        disableDblClick_ = true;
    }
}

void TrpObjectInspector::GridMouseMove(QMouseEvent* event)
{
    const int x = event->position().toPoint().x();
    const int y = event->position().toPoint().y();
    if (down_) {
        if (x > kSplitterMargin && x < pb_->width() - kSplitterMargin) {
            splitterPos_ = x;
            splitterPlaced_ = true;
            PlaceEditControls();
        }
        return;
    }
    pb_->setCursor(splitterPos_ - 4 < x && x < splitterPos_ + 2 ? Qt::SplitHCursor : Qt::ArrowCursor);
    const int row = y / rowHeight_;
    if (x <= 12 || RowItem(row) == nullptr) {
        HideHint();
        return;
    }
    const int level = RowLevel(row);
    QString text;
    int available = 0;
    int start = 0;
    if (x > splitterPos_ - 4) {
        text = RowValue(row);
        available = row == itemIndex_ ? 1000 : pb_->width() - splitterPos_;
        start = splitterPos_ + 1;
    } else {
        text = RowName(row);
        available = splitterPos_ - (level * 12 + 12);
        start = level * 12 + 12;
    }
    const QFontMetrics metrics(font());
    if (metrics.horizontalAdvance(text) > available) {
        hintWindow_->setText(text);
        hintWindow_->adjustSize();
        hintWindow_->move(pb_->mapToGlobal(QPoint(start - 2, row * rowHeight_ - 2)));
        hintWindow_->show();
    } else {
        HideHint();
    }
}

void TrpObjectInspector::GridMouseUp()
{
    down_ = false;
}

void TrpObjectInspector::GridDoubleClick()
{
    if (disableDblClick_)
        return;
    TrpPropertyItem* item = RowItem(itemIndex_);
    if (item != nullptr && item->SubProperty() != nullptr) {
        item->SetExpanded(!item->Expanded());
        BuildRows();
        FormResize();
    }
}

bool TrpObjectInspector::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == comboBtn_ && event->type() == QEvent::MouseButtonPress) {
        // The press that closed the list must not open it again.
        const auto closed = TrpPopupForm::LastCloseTime();
        if (popupLBVisible_ && closed && clock_.SteadyNow() - *closed < std::chrono::milliseconds(100)) {
            popupLBVisible_ = false;
            edit1_->setFocus();
            return true;
        }
        popupLBVisible_ = false;
    }
    // The edit appears under the mouse after the row click, so the second press of a
    // double-click reaches it as a press or, on some platforms, only as the double-click.
    if (watched == edit1_ &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        const auto sinceClick = clock_.SteadyNow() - rowClickTime_;
        // Every row's editor acts on the double-click, not only the rows with a dialog: a list
        // steps to its next choice and an event opens or creates its handler in the script.
        if (sinceClick < std::chrono::milliseconds(QApplication::doubleClickInterval())) {
            rowClickTime_ = {};
            Guard([&] { EllipsisAction(); });
            return true;
        }
    }
    if (watched == edit1_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const int pageRows = std::max(1, box_->viewport()->height() / rowHeight_);
        bool handled = true;
        Guard([&] {
            switch (key->key()) {
            case Qt::Key_Escape:
                edit1_->setText(RowValue(itemIndex_));
                edit1_->setModified(false);
                edit1_->selectAll();
                break;
            case Qt::Key_Up:
                if (itemIndex_ > 0)
                    SetItemIndex(itemIndex_ - 1);
                break;
            case Qt::Key_Down:
                if (itemIndex_ < VisibleRowCount() - 1)
                    SetItemIndex(itemIndex_ + 1);
                break;
            case Qt::Key_PageUp:
                SetItemIndex(std::max(0, itemIndex_ - pageRows));
                break;
            case Qt::Key_PageDown:
                SetItemIndex(itemIndex_ + pageRows);
                break;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                if (RowAttributes(itemIndex_) & paDialog) {
                    EllipsisAction();
                } else if (edit1_->isModified()) {
                    edit1_->setModified(false);
                    CommitRowValue(itemIndex_, edit1_->text());
                    PlaceEditControls();
                }
                edit1_->selectAll();
                break;
            default:
                if (key == QKeySequence::Cut || (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ShiftModifier)) {
                    edit1_->cut();
                } else if (key == QKeySequence::Paste ||
                           (key->key() == Qt::Key_Insert && key->modifiers() == Qt::ShiftModifier)) {
                    edit1_->paste();
                } else if (key == QKeySequence::Copy ||
                           (key->key() == Qt::Key_Insert && key->modifiers() == Qt::ControlModifier)) {
                    edit1_->copy();
                } else {
                    handled = false;
                }
            }
        });
        return handled;
    }
    return QWidget::eventFilter(watched, event);
}

void TrpObjectInspector::keyPressEvent(QKeyEvent* event)
{
    // Keys the inspector does not use go to the designer window's key handler.
    if (QWidget* owner = parentWidget()) {
        QCoreApplication::sendEvent(owner, event);
        return;
    }
    QWidget::keyPressEvent(event);
}
