#include "rpCtrls.h"

#include "report/core/gui/QtConversions.h"

#include <QAbstractItemView>
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
