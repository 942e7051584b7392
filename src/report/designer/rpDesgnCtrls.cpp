#include "rpDesgnCtrls.h"

#include "report/core/Services.h"
#include "report/core/gui/QtConversions.h"
#include "report/model/rpClass.h"
#include "report/model/rpUtils.h"

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

// Rounding to the nearest integer, ties to even.
int R(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

// The rulers and the colour swatches: a colour that is none shows as the paper they stand for.
QColor PaperColor(TColor color)
{
    return ToQColor(color, QColor(Qt::white));
}

constexpr TColor clWindow = static_cast<TColor>(0xFF000005u);
constexpr TColor clBtnShadow = static_cast<TColor>(0xFF000010u);

constexpr double kPixelsPer01Cm = 3.77953;
constexpr double kPixelsPer01In = 9.6;
constexpr double kCharX = 9.6;
constexpr double kCharY = 17;

void Guard(const std::function<void()>& body)
{
    ReportServices::Guarded(body, [](const QString&, const QString& message) { ErrorMessageBox(message); });
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TrpRuler

TrpRuler::TrpRuler(QWidget* parent, bool left) : QWidget(parent), left_(left)
{
    setObjectName(left ? QStringLiteral("LeftRuler") : QStringLiteral("TopRuler"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TrpRuler::SetOffset(int value)
{
    offset_ = value;
    update();
}

void TrpRuler::SetScale(double value)
{
    scale_ = value;
    update();
}

void TrpRuler::SetStart(int value)
{
    start_ = value;
    update();
}

void TrpRuler::SetUnits(TrpRulerUnits value)
{
    units_ = value;
    update();
}

void TrpRuler::SetPosition(double value)
{
    position_ = value;
    update();
}

void TrpRuler::SetSize(int value)
{
    size_ = value;
    update();
}

void TrpRuler::mousePressEvent(QMouseEvent* event)
{
    pressedAt_ = event->button() == Qt::LeftButton ? event->position().toPoint() : QPoint(-1, -1);
}

void TrpRuler::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || pressedAt_.x() < 0 ||
        (event->position().toPoint() - pressedAt_).manhattanLength() < QApplication::startDragDistance())
        return;
    pressedAt_ = QPoint(-1, -1);
    auto* drag = new QDrag(this);
    drag->setMimeData(new QMimeData);
    drag->exec(Qt::CopyAction);
}

void TrpRuler::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Paint(painter);
}

void TrpRuler::Paint(QPainter& painter) const
{
    const int w = width();
    const int h = height();
    painter.fillRect(QRect(0, 0, w, h), PaperColor(clBtnFace));
    const int end = size_ != 0 ? size_ + offset_ : (left_ ? h : w);
    if (left_)
        painter.fillRect(QRect(QPoint(3, offset_), QPoint(w - 5 - 1, end - 1)), PaperColor(clWindow));
    else
        painter.fillRect(QRect(QPoint(offset_, 3), QPoint(end - 1, h - 5 - 1)), PaperColor(clWindow));
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(7);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    const QFontMetrics metrics(font);

    double u = 0;
    int medium = 5;
    int large = 10;
    switch (units_) {
    case ruCM:
        u = kPixelsPer01Cm * scale_;
        break;
    case ruInches:
        u = kPixelsPer01In * scale_;
        break;
    case ruChars:
        u = (left_ ? kCharY : kCharX) * scale_ / 10;
        break;
    case ruPixels:
        u = scale_;
        medium = 50;
        large = 100;
        break;
    }
    if (u <= 0)
        return;
    const double length = size_ != 0 ? size_ : (left_ ? h : w) + start_;
    int origin = offset_ - start_;
    if (units_ == ruChars)
        origin += R((left_ ? kCharY : kCharX) * scale_ / 2);
    const int last = R(length / u) + start_;
    const int widest = metrics.horizontalAdvance(QString::number(units_ == ruPixels ? last : last / 10));
    const double group = 10 * u;

    for (int i = 0; i * u < length; ++i) {
        const double p = i * u;
        int d = 2;
        if (i == 0)
            d = 0;
        else if (i % large == 0)
            d = 6;
        else if (i % medium == 0)
            d = 4;
        else if (units_ == ruPixels)
            d = 0;
        if (d == 2 && group < 41)
            d = 0;
        if (d == 4 && group < 21)
            d = 0;
        if (p < start_)
            continue;
        const int at = R(p) + origin;
        bool labelled = false;
        if (i % large == 0) {
            int k = units_ == ruPixels ? 100 : 10;
            if (widest > 1.5 * group)
                k *= 4;
            else if (widest > 0.7 * group)
                k *= 2;
            if (i % k == 0) {
                const QString label = QString::number(units_ == ruPixels ? i : i / 10);
                const int labelWidth = metrics.horizontalAdvance(label);
                if (left_) {
                    painter.save();
                    painter.translate(w - metrics.height() - 6 + metrics.ascent(), at + labelWidth / 2 + 1);
                    painter.rotate(-90);
                    painter.drawText(QPoint(0, 0), label);
                    painter.restore();
                } else {
                    painter.drawText(QPoint(at - labelWidth / 2 + 1, 4 + metrics.ascent()), label);
                }
                labelled = true;
            }
        }
        if (!labelled && d > 0) {
            const int from = (13 - d) / 2 + 3;
            if (left_)
                painter.drawLine(from, at, from + d, at);
            else
                painter.drawLine(at, from, at, from + d);
        }
    }
    const double mark = units_ == ruPixels ? position_ * u : position_ * u * 10;
    if (mark >= start_) {
        const int at = R(mark) + origin;
        if (left_)
            painter.drawLine(3, at, 16, at);
        else
            painter.drawLine(at, 3, at, 16);
    }
}

// ---------------------------------------------------------------------------------------------
// TrpScrollBox

TrpScrollBox::TrpScrollBox(QWidget* parent) : QScrollArea(parent)
{
    setObjectName(QStringLiteral("ScrollBox"));
}

bool TrpScrollBox::focusNextPrevChild(bool)
{
    return false; // Tab belongs to the workspace
}

std::vector<QWidget*> TrpScrollBox::KeyTargets() const
{
    // The content and the controls on it that take the focus (the workspace on its sheet host).
    std::vector<QWidget*> targets;
    if (QWidget* content = widget()) {
        targets.push_back(content);
        for (QWidget* child : content->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child->focusPolicy() != Qt::NoFocus)
                targets.push_back(child);
    }
    return targets;
}

void TrpScrollBox::ForwardKey(QKeyEvent* event)
{
    // A control that ignores the key hands it back up its parents, this box among them: it is
    // dropped then, else the box and that control passed it to each other until the stack
    // overflowed.
    if (forwarding_)
        return;
    forwarding_ = true;
    for (QWidget* target : KeyTargets()) {
        QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text(), event->isAutoRepeat());
        QCoreApplication::sendEvent(target, &copy);
    }
    forwarding_ = false;
}

void TrpScrollBox::keyPressEvent(QKeyEvent* event)
{
    if (widget() != nullptr || forwarding_) {
        ForwardKey(event);
        event->accept();
        return;
    }
    QScrollArea::keyPressEvent(event);
}

void TrpScrollBox::keyReleaseEvent(QKeyEvent* event)
{
    const bool passedBack = forwarding_;
    ForwardKey(event);
    if (passedBack)
        event->accept();
    else
        QScrollArea::keyReleaseEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Pickers

TrpCustomSelector::TrpCustomSelector(QWidget* owner, int width, int height, const platform::Clock& clock)
{
    popup_ = new TrpPopupForm(nullptr, clock);
    popup_->SetModalResult(1); // the picker frees it
    setParent(popup_);
    setFixedSize(width, height);
    popup_->setFixedSize(width, height);
    setMouseTracking(true);
    if (owner != nullptr) {
        tag_ = owner->property("tag").toInt();
        popup_->move(owner->mapToGlobal(QPoint(0, owner->height() + 2)));
    }
    popup_->show();
    show();
}

TrpCustomSelector::~TrpCustomSelector()
{
    if (popup_ != nullptr && parent() == popup_) {
        setParent(nullptr);
        popup_->deleteLater();
    }
}

void TrpCustomSelector::HidePopup()
{
    if (popup_ != nullptr)
        popup_->hide();
}

void TrpCustomSelector::PaintSelector(QPainter& painter)
{
    painter.setPen(PaperColor(clBtnShadow));
    painter.setBrush(PaperColor(clWindow));
    painter.drawRect(QRect(0, 0, width() - 1, height() - 1));
}

void TrpCustomSelector::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintSelector(painter);
    if (mouse_.x() >= 0)
        DrawHighlight(painter, mouse_.x(), mouse_.y(), down_);
}

void TrpCustomSelector::mousePressEvent(QMouseEvent* event)
{
    mouse_ = event->position().toPoint();
    down_ = true;
    update();
}

void TrpCustomSelector::mouseMoveEvent(QMouseEvent* event)
{
    mouse_ = event->position().toPoint();
    update();
}

void TrpCustomSelector::leaveEvent(QEvent*)
{
    mouse_ = QPoint(-1, -1);
    down_ = false;
    update();
}

namespace {

const std::array<TColor, 48> kInitialPalette = {
    clNone,    0xFFFFFF,  0x000000,  0x000080,  0x008000,  0x008080,  0x800000,  0x800080,
    0x808080,  0xC0C0C0,  0x808000,  0x0000FF,  0x00FF00,  0x00FFFF,  0xFF0000,  0xFF00FF,
    0xCCCCCC,  0xE4E4E4,  0xFFFF00,  0x00CCFF,  0x00CC98,  0x98FFFF,  0xFFCC00,  0xFF98CC,
    0xD8D8D8,  0xF0F0F0,  0xFFFFDC,  0xCAE4FF,  0xCCFFCC,  0xCCFFFF,  0xFFF4CC,  0xCC98FF,
    clBtnFace, 0x46DAFF,  0x9BEBFF,  0xA47B00,  0xFDBD97,  0xFED3BA,  0x6ACFFF,  0xFFF4CC,
    clBtnFace, clBtnFace, clBtnFace, clBtnFace, clBtnFace, clBtnFace, clBtnFace, clBtnFace,
};

void Highlight(QPainter& painter, const QRect& outer)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(PaperColor(0xC56A31));
    painter.drawRect(outer.adjusted(0, 0, -1, -1));
    painter.setPen(PaperColor(0xE8E6E2));
    painter.drawRect(outer.adjusted(1, 1, -2, -2));
    painter.drawRect(outer.adjusted(2, 2, -3, -3));
}

} // namespace

TrpColorSelector::TrpColorSelector(QWidget* owner, const platform::Clock& clock)
    : TrpCustomSelector(owner, 155, 143, clock), btnCaption_(QStringLiteral("Other..."))
{
    setObjectName(QStringLiteral("TrpColorSelector"));
}

std::array<TColor, 48>& TrpColorSelector::Palette()
{
    static std::array<TColor, 48> palette = kInitialPalette;
    return palette;
}

void TrpColorSelector::ResetPalette()
{
    Palette() = kInitialPalette;
}

void TrpColorSelector::AddCustomColor(TColor color)
{
    std::array<TColor, 48>& palette = Palette();
    if (std::find(palette.begin(), palette.end(), color) != palette.end())
        return;
    for (size_t i = 38; i < 48; ++i)
        if (palette[i] == clBtnFace) {
            palette[i] = color;
            return;
        }
    for (size_t i = 40; i < 47; ++i)
        palette[i] = palette[i + 1];
    palette[47] = color;
}

void TrpColorSelector::PaintSelector(QPainter& painter)
{
    TrpCustomSelector::PaintSelector(painter);
    const std::array<TColor, 48>& palette = Palette();
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 8; ++c) {
            const TColor color = palette[static_cast<size_t>(r * 8 + c)];
            const int x = c * 18;
            const int y = r * 18;
            painter.setPen(PaperColor(0x808080));
            painter.setBrush(color == clNone ? QColor(Qt::white) : PaperColor(color));
            painter.drawRect(QRect(QPoint(x + 8, y + 8), QPoint(x + 19, y + 19)));
            if (r == 0 && c == 0) {
                painter.drawLine(x + 10, y + 10, x + 18, y + 18);
                painter.drawLine(x + 17, y + 10, x + 9, y + 18);
            }
        }
    painter.setPen(PaperColor(0x808080));
    painter.setBrush(PaperColor(clBtnFace));
    painter.drawRect(QRect(QPoint(8, 116), QPoint(width() - 10, height() - 10)));
    painter.setPen(Qt::black);
    const QFontMetrics metrics(painter.font());
    painter.drawText(QPoint((width() - metrics.horizontalAdvance(btnCaption_)) / 2, 118 + metrics.ascent()),
                     btnCaption_);
}

void TrpColorSelector::DrawHighlight(QPainter& painter, int x, int y, bool)
{
    const int row = (y - 5) / 18;
    if (row > 5) {
        Highlight(painter, QRect(QPoint(5, 113), QPoint(width() - 7, height() - 7)));
        return;
    }
    const int column = std::min((x - 5) / 18, 7);
    Highlight(painter, QRect(QPoint(column * 18 + 5, row * 18 + 5), QPoint(column * 18 + 22, row * 18 + 22)));
}

void TrpColorSelector::Pick(int x, int y)
{
    const int row = (y - 5) / 18;
    if (row > 5) {
        if (Popup() != nullptr)
            Popup()->setFixedHeight(0);
        uint32_t rgb = ColorToRgb(color_, 0xFFFFFF);
        if (!ReportServices::Ui().ColorDialog(rgb)) {
            HidePopup();
            return;
        }
        color_ = RgbToColor(rgb);
        AddCustomColor(color_);
    } else {
        const int column = std::min(std::max((x - 5) / 18, 0), 7);
        color_ = Palette()[static_cast<size_t>(std::max(row, 0) * 8 + column)];
    }
    update();
    if (OnColorChanged)
        OnColorChanged(this);
    HidePopup();
}

void TrpColorSelector::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    down_ = false;
    Guard([&] { Pick(at.x(), at.y()); });
}

TrpLineSelector::TrpLineSelector(QWidget* owner, const platform::Clock& clock)
    : TrpCustomSelector(owner, 98, 106, clock)
{
    setObjectName(QStringLiteral("TrpLineSelector"));
}

int TrpLineSelector::RowAt(int y)
{
    const int v = y < 5 ? y + 10 : y - 5;
    return v < 96 ? v / 16 : 5;
}

void TrpLineSelector::PaintSelector(QPainter& painter)
{
    TrpCustomSelector::PaintSelector(painter);
    const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine};
    for (int s = 0; s < 6; ++s) {
        const int y = s * 16 + 12;
        QPen pen(Qt::black);
        pen.setWidth(1);
        pen.setStyle(s < 5 ? styles[s] : Qt::SolidLine);
        painter.setPen(pen);
        const int right = width() - 8;
        const std::vector<int> ys = s == 5 ? std::vector<int>{y - 2, y + 2} : std::vector<int>{y};
        for (int at : ys) {
            painter.drawLine(7, at, right, at);
            painter.drawLine(7, at + 1, right, at + 1);
        }
    }
}

void TrpLineSelector::DrawHighlight(QPainter& painter, int, int y, bool down)
{
    const int row = RowAt(y);
    QPen pen(PaperColor(clBtnShadow));
    pen.setWidth(down ? 2 : 1);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(5, row * 16 + 5), QPoint(width() - 6, row * 16 + 20)));
}

void TrpLineSelector::Pick(int y)
{
    style_ = RowAt(y);
    update();
    if (OnStyleChanged)
        OnStyleChanged(this);
    HidePopup();
}

void TrpLineSelector::mouseReleaseEvent(QMouseEvent* event)
{
    const int y = event->position().toPoint().y();
    down_ = false;
    Guard([&] { Pick(y); });
}
