#include "rpCtrls.h"

#include "report/core/gui/QtConversions.h"
#include "report/model/rpClass_ini.h"

#include <QAbstractItemView>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QToolButton>
#include <QFontMetrics>
#include <QLineEdit>
#include <QScrollBar>

#include <algorithm>

TColor MixColors(TColor color1, TColor color2, int amount)
{
    const auto resolve = [](TColor color) {
        const QColor rgb = ToQColor(color);
        return RGBColor(rgb.red(), rgb.green(), rgb.blue());
    };
    const TColor a = IsSystemColor(color1) ? resolve(color1) : color1;
    const TColor b = IsSystemColor(color2) ? resolve(color2) : color2;
    const int base = amount < 100 ? 100 : 1000;
    const auto mix = [&](int x, int y) { return (x * amount + y * (base - amount) + base / 2) / base; };
    return RGBColor(mix(RedPart(a), RedPart(b)), mix(GreenPart(a), GreenPart(b)), mix(BluePart(a), BluePart(b)));
}

int FontCellHeight(const QFont& font)
{
    return QFontMetrics(font).height();
}

// --- TrpScrollWin ----------------------------------------------------------------------------

TrpScrollWin::TrpScrollWin(QWidget* parent) : QAbstractScrollArea(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!applying_)
            SetHorzPosition(value);
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!applying_)
            SetVertPosition(value);
    });
}

void TrpScrollWin::ApplyHorz()
{
    applying_ = true;
    QScrollBar* bar = horizontalScrollBar();
    bar->setRange(0, std::max(0, horzRange_ - horzPage_));
    bar->setPageStep(std::max(1, horzPage_));
    bar->setSingleStep(SmallChange);
    bar->setValue(horzPosition_);
    applying_ = false;
}

void TrpScrollWin::ApplyVert()
{
    applying_ = true;
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, vertRange_ - vertPage_));
    bar->setPageStep(std::max(1, vertPage_));
    bar->setSingleStep(SmallChange);
    bar->setValue(vertPosition_);
    applying_ = false;
}

void TrpScrollWin::SetHorzRange(int value)
{
    horzRange_ = value;
    ApplyHorz();
}

void TrpScrollWin::SetHorzPage(int value)
{
    horzPage_ = value;
    ApplyHorz();
}

void TrpScrollWin::SetVertRange(int value)
{
    vertRange_ = value;
    ApplyVert();
}

void TrpScrollWin::SetVertPage(int value)
{
    vertPage_ = value;
    ApplyVert();
}

void TrpScrollWin::SetHorzPosition(int value)
{
    value = std::max(0, std::min(value, horzRange_ - horzPage_));
    if (value == horzPosition_)
        return;
    horzPosition_ = value;
    ApplyHorz();
    HorzScrollChanged();
}

void TrpScrollWin::SetVertPosition(int value)
{
    value = std::max(0, std::min(value, vertRange_ - vertPage_));
    if (value == vertPosition_)
        return;
    vertPosition_ = value;
    ApplyVert();
    VertScrollChanged();
}

void TrpScrollWin::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    horzPage_ = viewport()->width();
    vertPage_ = viewport()->height();
    ApplyHorz();
    ApplyVert();
}

// --- TrpComboBox -----------------------------------------------------------------------------

TrpComboBox::TrpComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

void TrpComboBox::SetReadOnly(bool value)
{
    readOnly_ = value;
    if (lineEdit() != nullptr)
        lineEdit()->setReadOnly(value);
}

void TrpComboBox::showPopup()
{
    view()->setMinimumWidth(listWidth_ > 0 ? listWidth_ : width());
    QComboBox::showPopup();
}

// --- TrpFontComboBox -------------------------------------------------------------------------

TrpFontComboBox::TrpFontComboBox(QWidget* parent) : QComboBox(parent)
{
    setMaxVisibleItems(12);
    setMinimumWidth(150);
    sample_ = new QLabel(this, Qt::ToolTip);
    sample_->setObjectName(QStringLiteral("rpFontViewForm"));
    sample_->setFixedSize(200, 50);
    sample_->setAlignment(Qt::AlignCenter);
    sample_->setFrameShape(QFrame::Box);
    sample_->setAutoFillBackground(true);
    sample_->hide();
    connect(this, QOverload<int>::of(&QComboBox::activated), this, [this](int index) { SelectItem(index); });
    connect(this, QOverload<int>::of(&QComboBox::highlighted), this, [this](int index) {
        QFont font(itemText(index));
        font.setPointSize(18);
        sample_->setFont(font);
        sample_->setText(itemText(index));
    });
    PopulateList();
    if (count() > 0)
        setCurrentIndex(0);
}

TrpFontComboBox::~TrpFontComboBox() = default;

void TrpFontComboBox::PopulateList()
{
    updating_ = true;
    clear();
    numused_ = -1;
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    families.removeDuplicates();
    for (const QString& family : families)
        addItem(family, QFontDatabase::isScalable(family) ? kTrueType : 0);
    if (ShowMRU) {
        const std::unique_ptr<TrpIniFile> ini = CreateRegistryIniFile(MRURoot);
        for (int n = 4; n >= 0; --n) {
            const QString name = ini->ReadString(MRUSection, QStringLiteral("Font%1").arg(n), QString());
            const int found = name.isEmpty() ? -1 : findText(name, Qt::MatchExactly);
            if (found > numused_) {
                insertItem(0, name, ini->ReadInteger(MRUSection, QStringLiteral("FontType%1").arg(n), 0));
                ++numused_;
            } else if (found < 0) {
                ini->WriteString(MRUSection, QStringLiteral("Font%1").arg(n), QString());
                ini->WriteInteger(MRUSection, QStringLiteral("FontType%1").arg(n), 0);
            }
        }
    }
    updating_ = false;
}

void TrpFontComboBox::SelectItem(int index)
{
    if (updating_ || index <= 0 || index >= count() || !ShowMRU)
        return;
    const QString name = itemText(index);
    const QVariant type = itemData(index);
    if (index > numused_) {
        insertItem(0, name, type);
        if (numused_ > 3)
            removeItem(5);
        else
            ++numused_;
    } else {
        removeItem(index);
        insertItem(0, name, type);
    }
    setCurrentIndex(0);
    WriteMRU();
}

void TrpFontComboBox::WriteMRU()
{
    const std::unique_ptr<TrpIniFile> ini = CreateRegistryIniFile(MRURoot);
    for (int i = 0; i < 5; ++i) {
        const bool used = i <= numused_;
        ini->WriteString(MRUSection, QStringLiteral("Font%1").arg(i), used ? itemText(i) : QString());
        ini->WriteInteger(MRUSection, QStringLiteral("FontType%1").arg(i), used ? itemData(i).toInt() : 0);
    }
}

void TrpFontComboBox::showPopup()
{
    if (currentIndex() < 5 && count() > 0)
        setCurrentIndex(0);
    QComboBox::showPopup();
    // The sample beside the list, left of it when it would pass the screen's right edge.
    QPoint at = mapToGlobal(QPoint(width() + 1, height()));
    if (QScreen* screen = this->screen(); screen != nullptr && at.x() + sample_->width() > screen->geometry().right())
        at.setX(mapToGlobal(QPoint(0, 0)).x() - sample_->width());
    sample_->move(at);
    sample_->show();
}

void TrpFontComboBox::hidePopup()
{
    sample_->hide();
    QComboBox::hidePopup();
}

// --- TrpComboEdit ----------------------------------------------------------------------------

TrpComboEdit::TrpComboEdit(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setFixedHeight(21);
    button_ = new QToolButton(this);
    button_->setObjectName(QStringLiteral("Button"));
    button_->setText(QStringLiteral("..."));
    button_->setCursor(Qt::ArrowCursor);
    connect(button_, &QToolButton::clicked, this, [this] {
        setFocus();
        if (OnButtonClick)
            OnButtonClick();
    });
}

bool TrpComboEdit::ButtonEnabled() const
{
    return buttonEnabled_;
}

void TrpComboEdit::SetButtonEnabled(bool value)
{
    buttonEnabled_ = value;
    button_->setEnabled(value && isEnabled());
}

void TrpComboEdit::changeEvent(QEvent* event)
{
    QComboBox::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        button_->setEnabled(buttonEnabled_ && isEnabled());
}

void TrpComboEdit::resizeEvent(QResizeEvent* event)
{
    QComboBox::resizeEvent(event);
    const int side = height() - 4;
    button_->setGeometry(width() - height() + 2, 2, side, side);
}

void TrpComboEdit::keyPressEvent(QKeyEvent* event)
{
    QComboBox::keyPressEvent(event);
    // Enter and Esc are the dialog's default and cancel keys as well: they go on to the window.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape)
        event->ignore();
}
