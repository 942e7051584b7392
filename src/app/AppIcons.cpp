#include "AppIcons.h"

#include <QAction>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <numbers>

namespace {

// One palette for every picture, so the tree and the tool bars look of one hand.
const QColor kInk(0x33, 0x3d, 0x4a);
const QColor kHeat(0xd2, 0x4b, 0x2a);
const QColor kWater(0x2a, 0x7f, 0xd2);
const QColor kPaper(0xfb, 0xfb, 0xf6);
const QColor kAmber(0xf2, 0xb1, 0x1e);
const QColor kGreen(0x2e, 0x9e, 0x4f);
const QColor kGrey(0x9a, 0xa3, 0xab);
const QColor kSteel(0x6f, 0x86, 0x9c);

QPen Pen(const QColor& color, double width = 1.6)
{
    QPen pen(color, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// A sheet of paper with a folded corner and text lines.
void DrawSheet(QPainter& p, const QRectF& r, int lines)
{
    QPainterPath sheet;
    const double fold = r.width() * 0.3;
    sheet.moveTo(r.topLeft());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.bottomRight());
    sheet.lineTo(r.bottomLeft());
    sheet.closeSubpath();
    p.setPen(Pen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawPath(sheet);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
    p.setPen(Pen(kGrey, 1.2));
    for (int i = 0; i < lines; ++i) {
        const double y = r.top() + fold + 3 + i * 3.2;
        if (y > r.bottom() - 2)
            break;
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
    }
}

void DrawGauge(QPainter& p)
{
    p.setPen(Pen(kInk));
    p.setBrush(kPaper);
    p.drawEllipse(QRectF(2.5, 2.5, 19, 19));
    p.setPen(Pen(kGrey, 1.2));
    for (int i = 0; i <= 4; ++i) {
        const double angle = std::numbers::pi * (1.25 - i * 0.375);
        const QPointF c(12, 12);
        const QPointF outer = c + QPointF(std::cos(angle), -std::sin(angle)) * 8;
        const QPointF inner = c + QPointF(std::cos(angle), -std::sin(angle)) * 6;
        p.drawLine(inner, outer);
    }
    p.setPen(Pen(kHeat, 2));
    p.drawLine(QPointF(12, 12), QPointF(17, 7));
    p.setBrush(kInk);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(12, 12), 1.8, 1.8);
}

void DrawRadiator(QPainter& p)
{
    p.setPen(Pen(kHeat.darker(130), 1.2));
    p.setBrush(kHeat);
    for (int i = 0; i < 4; ++i)
        p.drawRoundedRect(QRectF(3 + i * 4.6, 5, 3.6, 15), 1.5, 1.5);
    p.setPen(Pen(kHeat.darker(130), 1.6));
    p.drawLine(QPointF(2, 8), QPointF(22, 8));
    p.drawLine(QPointF(2, 17), QPointF(22, 17));
}

void DrawArchive(QPainter& p)
{
    p.setPen(Pen(kInk, 1.2));
    p.setBrush(QColor(0xd9, 0xb3, 0x7a));
    p.drawRect(QRectF(3, 8, 18, 13));
    p.setBrush(QColor(0xe8, 0xc9, 0x96));
    p.drawRect(QRectF(2, 4, 20, 4.5));
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(9, 11, 6, 2.2), 1, 1);
}

void DrawDrop(QPainter& p)
{
    QPainterPath drop;
    drop.moveTo(12, 2.5);
    drop.cubicTo(15, 8, 19, 11, 19, 15);
    drop.arcTo(QRectF(5, 8, 14, 14), 0, -180);
    drop.cubicTo(5, 11, 9, 8, 12, 2.5);
    p.setPen(Pen(kWater.darker(130), 1.2));
    p.setBrush(kWater);
    p.drawPath(drop);
    p.setPen(Pen(QColor(255, 255, 255, 200), 1.4));
    p.drawArc(QRectF(8, 12, 7, 7), 180 * 16, 70 * 16);
}

void DrawJournal(QPainter& p)
{
    p.setPen(Pen(kInk, 1.2));
    p.setBrush(kSteel);
    p.drawRoundedRect(QRectF(4, 2.5, 16, 19), 1.5, 1.5);
    p.setBrush(kPaper);
    p.drawRect(QRectF(7, 4.5, 11, 15));
    p.setPen(Pen(kGrey, 1.2));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(9, 8 + i * 3), QPointF(16, 8 + i * 3));
}

void DrawGear(QPainter& p, const QPointF& c, double radius, const QColor& color)
{
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double angle = std::numbers::pi * i / teeth;
        const double r = (i % 2 == 0) ? radius : radius * 0.78;
        const double a0 = angle - std::numbers::pi / (teeth * 2) * 0.8;
        const double a1 = angle + std::numbers::pi / (teeth * 2) * 0.8;
        const QPointF p0 = c + QPointF(std::cos(a0), std::sin(a0)) * r;
        const QPointF p1 = c + QPointF(std::cos(a1), std::sin(a1)) * r;
        if (i == 0)
            gear.moveTo(p0);
        else
            gear.lineTo(p0);
        gear.lineTo(p1);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, radius * 0.32, radius * 0.32);
    p.setPen(Pen(color.darker(140), 1));
    p.setBrush(color);
    p.drawPath(gear.subtracted(hole));
}

void DrawSliders(QPainter& p)
{
    p.setPen(Pen(kInk, 1.6));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(4, 6 + i * 6), QPointF(20, 6 + i * 6));
    p.setPen(Pen(kInk, 1.2));
    const double knobs[] = {8, 15, 11};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(i == 1 ? kHeat : kAmber);
        p.drawRoundedRect(QRectF(knobs[i] - 2.2, 6 + i * 6 - 2.6, 4.4, 5.2), 1, 1);
    }
}

void DrawWarning(QPainter& p)
{
    QPolygonF triangle;
    triangle << QPointF(12, 3) << QPointF(21.5, 20) << QPointF(2.5, 20);
    p.setPen(Pen(kInk, 1.2));
    p.setBrush(kAmber);
    p.drawPolygon(triangle);
    p.setPen(Pen(kInk, 2));
    p.drawLine(QPointF(12, 9), QPointF(12, 14));
    p.drawPoint(QPointF(12, 17.3));
}

void DrawFlow(QPainter& p)
{
    p.setPen(Pen(kInk, 1.2));
    p.setBrush(kSteel.lighter(140));
    p.drawRect(QRectF(1.5, 8, 21, 8));
    p.setPen(Pen(kWater, 2));
    p.drawLine(QPointF(4, 12), QPointF(18, 12));
    p.setBrush(kWater);
    p.setPen(Qt::NoPen);
    QPolygonF head;
    head << QPointF(20.5, 12) << QPointF(16, 9) << QPointF(16, 15);
    p.drawPolygon(head);
    p.setPen(Pen(kInk, 1.4));
    p.drawLine(QPointF(8, 2), QPointF(10, 6));
    p.drawLine(QPointF(12, 2), QPointF(10, 6));
}

void DrawThermometer(QPainter& p)
{
    p.setPen(Pen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(9.5, 2, 5, 15), 2.5, 2.5);
    p.setBrush(kHeat);
    p.drawEllipse(QPointF(12, 18.5), 3.8, 3.8);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(11, 8, 2, 9));
    p.setPen(Pen(kGrey, 1));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(15.5, 5 + i * 3.5), QPointF(18, 5 + i * 3.5));
}

void DrawWrench(QPainter& p)
{
    p.save();
    p.translate(12, 12);
    p.rotate(45);
    p.setPen(Pen(kInk, 1.2));
    p.setBrush(kSteel);
    p.drawRoundedRect(QRectF(-2, -3, 4, 13), 1.5, 1.5);
    QPainterPath head;
    head.addEllipse(QPointF(0, -6), 5, 5);
    QPainterPath jaw;
    jaw.addRect(QRectF(-1.8, -12, 3.6, 6.5));
    p.drawPath(head.subtracted(jaw));
    p.restore();
}

void DrawRuler(QPainter& p)
{
    p.save();
    p.translate(12, 12);
    p.rotate(-35);
    p.setPen(Pen(kInk, 1.2));
    p.setBrush(kAmber);
    p.drawRect(QRectF(-11, -4, 22, 8));
    p.setPen(Pen(kInk, 1));
    for (int i = 0; i < 9; ++i) {
        const double x = -9 + i * 2.25;
        p.drawLine(QPointF(x, -4), QPointF(x, i % 2 == 0 ? -0.5 : -2));
    }
    p.restore();
}

void DrawConnector(QPainter& p)
{
    QPolygonF body;
    body << QPointF(2.5, 7) << QPointF(21.5, 7) << QPointF(19, 17) << QPointF(5, 17);
    p.setPen(Pen(kInk, 1.2));
    p.setBrush(kSteel.lighter(130));
    p.drawPolygon(body);
    p.setBrush(kInk);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(6 + i * 3, 10.5), 1, 1);
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(7.5 + i * 3, 14), 1, 1);
}

void DrawPhone(QPainter& p)
{
    p.setPen(Pen(kInk, 1.2));
    p.setBrush(kSteel);
    p.drawRoundedRect(QRectF(6.5, 2, 11, 20), 2, 2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(8.5, 4.5, 7, 10));
}

void DrawEnvelope(QPainter& p)
{
    p.setPen(Pen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawRect(QRectF(2.5, 5.5, 19, 13));
    p.drawLine(QPointF(2.5, 5.5), QPointF(12, 13));
    p.drawLine(QPointF(21.5, 5.5), QPointF(12, 13));
}

void DrawGlobe(QPainter& p)
{
    p.setPen(Pen(kWater.darker(140), 1.2));
    p.setBrush(kWater.lighter(150));
    p.drawEllipse(QRectF(2.5, 2.5, 19, 19));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(8, 2.5, 8, 19));
    p.drawLine(QPointF(12, 2.5), QPointF(12, 21.5));
    p.drawLine(QPointF(2.5, 12), QPointF(21.5, 12));
    p.drawArc(QRectF(4, 5, 16, 5), 0, 180 * 16);
    p.drawArc(QRectF(4, 14, 16, 5), 180 * 16, 180 * 16);
}

void DrawBell(QPainter& p)
{
    QPainterPath bell;
    bell.moveTo(4, 18);
    bell.cubicTo(6, 16, 6, 13, 6, 10);
    bell.cubicTo(6, 6, 9, 4, 12, 4);
    bell.cubicTo(15, 4, 18, 6, 18, 10);
    bell.cubicTo(18, 13, 18, 16, 20, 18);
    bell.closeSubpath();
    p.setPen(Pen(kInk, 1.2));
    p.setBrush(kAmber);
    p.drawPath(bell);
    p.drawEllipse(QPointF(12, 20), 2, 2);
    p.drawLine(QPointF(12, 2), QPointF(12, 4));
}

void DrawLightning(QPainter& p)
{
    QPolygonF bolt;
    bolt << QPointF(14, 1.5) << QPointF(5, 13.5) << QPointF(11, 13.5) << QPointF(9, 22.5) << QPointF(19, 9.5)
         << QPointF(13, 9.5);
    p.setPen(Pen(kInk, 1.2));
    p.setBrush(kAmber);
    p.drawPolygon(bolt);
}

void DrawArrow(QPainter& p, const QPointF& from, const QPointF& to, const QColor& color, double width)
{
    p.setPen(Pen(color, width));
    p.drawLine(from, to);
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    if (length <= 0)
        return;
    const QPointF u = d / length;
    const QPointF n(-u.y(), u.x());
    QPolygonF head;
    head << to + u * 1.5 << to - u * 5 + n * 4 << to - u * 5 - n * 4;
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(head);
}

void DrawInOut(QPainter& p)
{
    DrawArrow(p, QPointF(2, 8), QPointF(17, 8), kGreen, 2.2);
    DrawArrow(p, QPointF(22, 16), QPointF(7, 16), kHeat, 2.2);
}

void DrawFolder(QPainter& p)
{
    p.setPen(Pen(kInk, 1.2));
    p.setBrush(QColor(0xe8, 0xb9, 0x4a));
    QPainterPath back;
    back.moveTo(2.5, 19.5);
    back.lineTo(2.5, 5);
    back.lineTo(8.5, 5);
    back.lineTo(10.5, 7.5);
    back.lineTo(19.5, 7.5);
    back.lineTo(19.5, 10);
    p.drawPath(back);
    QPolygonF front;
    front << QPointF(2.5, 19.5) << QPointF(6, 10) << QPointF(22, 10) << QPointF(18.5, 19.5);
    p.setBrush(QColor(0xf5, 0xcf, 0x6b));
    p.drawPolygon(front);
}

void DrawDisk(QPainter& p, const QColor& color)
{
    p.setPen(Pen(kInk, 1.2));
    p.setBrush(color);
    QPainterPath disk;
    disk.moveTo(3, 3);
    disk.lineTo(18, 3);
    disk.lineTo(21, 6);
    disk.lineTo(21, 21);
    disk.lineTo(3, 21);
    disk.closeSubpath();
    p.drawPath(disk);
    p.setBrush(kPaper);
    p.drawRect(QRectF(7, 3, 10, 6));
    p.drawRect(QRectF(6, 13, 12, 8));
    p.setBrush(kInk);
    p.drawRect(QRectF(13.5, 4.2, 2, 3.6));
}

void DrawCycle(QPainter& p, const QColor& color)
{
    p.setPen(Pen(color, 2.4));
    p.setBrush(Qt::NoBrush);
    const QRectF ring(4, 4, 16, 16);
    p.drawArc(ring, 30 * 16, 130 * 16);
    p.drawArc(ring, 210 * 16, 130 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    QPolygonF head1;
    head1 << QPointF(2, 9.5) << QPointF(8, 9.5) << QPointF(4.5, 14.5);
    QPolygonF head2;
    head2 << QPointF(22, 14.5) << QPointF(16, 14.5) << QPointF(19.5, 9.5);
    p.drawPolygon(head1);
    p.drawPolygon(head2);
}

void DrawDevice(QPainter& p)
{
    p.setPen(Pen(kInk, 1.2));
    p.setBrush(kSteel.lighter(150));
    p.drawRoundedRect(QRectF(3, 12.5, 18, 9), 1.5, 1.5);
    p.setBrush(QColor(0x9c, 0xd1, 0x8b));
    p.drawRect(QRectF(5.5, 14.5, 8, 4.5));
}

void DrawTreeImage(QPainter& p, int index)
{
    switch (index) {
    case 1: DrawGauge(p); break;
    case 2: DrawRadiator(p); break;
    case 3: DrawArchive(p); break;
    case 4: DrawDrop(p); break;
    case 5: DrawJournal(p); break;
    case 6: DrawGear(p, QPointF(12, 12), 10, kSteel); break;
    case 7: DrawSliders(p); break;
    case 8: DrawWarning(p); break;
    case 9: DrawFlow(p); break;
    case 10: DrawThermometer(p); break;
    case 11: DrawWrench(p); break;
    case 12: DrawRuler(p); break;
    case 13: DrawConnector(p); break;
    case 14: DrawPhone(p); break;
    case 15: DrawEnvelope(p); break;
    case 16: DrawGlobe(p); break;
    case 17: DrawBell(p); break;
    case 18: DrawLightning(p); break;
    case 19: DrawInOut(p); break;
    default: DrawSheet(p, QRectF(5, 2.5, 14, 19), 5); break;
    }
}

void DrawActionImage(QPainter& p, int index)
{
    switch (static_cast<ActionImage>(index)) {
    case ActionImage::FileOpen: DrawFolder(p); break;
    case ActionImage::FileSave: DrawDisk(p, kWater); break;
    case ActionImage::Report:
        DrawSheet(p, QRectF(4, 2.5, 15, 19), 2);
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawRect(QRectF(7, 15, 2.5, 4));
        p.setBrush(kWater);
        p.drawRect(QRectF(10.5, 12, 2.5, 7));
        p.setBrush(kHeat);
        p.drawRect(QRectF(14, 13.5, 2.5, 5.5));
        break;
    case ActionImage::AutoRequestOff: DrawCycle(p, kGrey); break;
    case ActionImage::AutoRequestOn: DrawCycle(p, kGreen); break;
    case ActionImage::ReadData:
        DrawDevice(p);
        DrawArrow(p, QPointF(16, 2), QPointF(16, 10), kWater, 2.4);
        break;
    case ActionImage::WriteData:
        DrawDevice(p);
        DrawArrow(p, QPointF(16, 11), QPointF(16, 3), kHeat, 2.4);
        break;
    case ActionImage::SaveConfiguration:
        DrawDisk(p, kSteel);
        DrawGear(p, QPointF(17, 17), 6, kAmber);
        break;
    }
}

QPixmap Paint(int size, void (*draw)(QPainter&, int), int index)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 24.0, size / 24.0);
    draw(painter, index);
    return pixmap;
}

} // namespace

namespace {
constexpr const char* kImageIndexProperty = "imageIndex";
}

void SetActionImage(QAction* action, ActionImage image)
{
    action->setProperty(kImageIndexProperty, static_cast<int>(image));
    action->setIcon(ActionIcon(static_cast<int>(image)));
}

int ActionImageIndex(const QAction* action)
{
    return action->property(kImageIndexProperty).toInt();
}

QPixmap TreeImage(int index)
{
    if (index < 0 || index >= kTreeImageCount)
        return {};
    return Paint(kTreeImageSize, DrawTreeImage, index);
}

QIcon ActionIcon(int index)
{
    if (index < 0 || index >= kActionImageCount)
        return {};
    QIcon icon;
    for (int size : {16, 24, 32})
        icon.addPixmap(Paint(size, DrawActionImage, index));
    return icon;
}

QPixmap ProgramLogo(QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double h = size.height();
    // A heat wave over a water line: what the instruments measure.
    QLinearGradient warm(0, 0, h, h);
    warm.setColorAt(0, kAmber);
    warm.setColorAt(1, kHeat);
    p.setPen(Qt::NoPen);
    p.setBrush(warm);
    p.drawRoundedRect(QRectF(4, 4, h - 8, h - 8), 6, 6);
    p.setPen(Pen(Qt::white, h * 0.07));
    p.setBrush(Qt::NoBrush);
    QPainterPath wave;
    wave.moveTo(h * 0.2, h * 0.45);
    wave.cubicTo(h * 0.35, h * 0.25, h * 0.5, h * 0.65, h * 0.8, h * 0.4);
    p.drawPath(wave);
    p.setPen(Pen(kWater.lighter(160), h * 0.07));
    p.drawLine(QPointF(h * 0.2, h * 0.7), QPointF(h * 0.8, h * 0.7));

    QFont title(QStringLiteral("Liberation Sans"));
    title.setPixelSize(static_cast<int>(h * 0.5));
    title.setBold(true);
    p.setFont(title);
    p.setPen(kInk);
    const QRectF text(h + 4, 0, size.width() - h - 8, h * 0.62);
    p.drawText(text, Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("DAX"));
    QFont subtitle(QStringLiteral("Liberation Sans"));
    subtitle.setPixelSize(static_cast<int>(h * 0.24));
    p.setFont(subtitle);
    p.setPen(kSteel);
    p.drawText(QRectF(h + 5, h * 0.62, size.width() - h - 8, h * 0.36), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("Конфигуратор теплосчетчиков"));
    return pixmap;
}
