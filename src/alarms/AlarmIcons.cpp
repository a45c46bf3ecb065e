#include "alarms/AlarmIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace {

using Drawing = std::function<void(QPainter&)>;

// Runs a drawing made for a 32 x 32 grid at the given size.
QPixmap Render(int size, const Drawing& draw) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    draw(p);
    return pixmap;
}

QIcon Icon(const Drawing& draw) {
    QIcon icon;
    icon.addPixmap(Render(16, draw));
    icon.addPixmap(Render(32, draw));
    return icon;
}

void DrawClock(QPainter& p, const QColor& bells) {
    const QColor ink(40, 40, 48);
    p.setPen(QPen(ink, 1.6));
    p.setBrush(bells);
    p.drawEllipse(QRectF(3, 2, 9, 9));
    p.drawEllipse(QRectF(20, 2, 9, 9));
    p.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 26), QPointF(6, 30));
    p.drawLine(QPointF(23, 26), QPointF(26, 30));
    p.setBrush(QColor(250, 250, 245));
    p.setPen(QPen(ink, 2));
    p.drawEllipse(QRectF(5, 6, 22, 22));
    p.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 17), QPointF(16, 10));
    p.drawLine(QPointF(16, 17), QPointF(21, 20));
    p.setPen(QPen(ink.lighter(150), 1.2));
    for (int i = 0; i < 12; i += 3) {
        p.save();
        p.translate(16, 17);
        p.rotate(i * 30);
        p.drawLine(QPointF(0, -9.5), QPointF(0, -8));
        p.restore();
    }
}

void DrawRepeatBadge(QPainter& p) {
    const QColor green(30, 140, 60);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(17, 17, 15, 15));
    p.setPen(QPen(green, 2.2, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(20, 20, 9, 9), 30 * 16, 270 * 16);
    QPainterPath head;
    head.moveTo(29.5, 21);
    head.lineTo(29.5, 26);
    head.lineTo(25, 23.5);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(green);
    p.drawPath(head);
}

void DrawPlus(QPainter& p, const QColor& color) {
    p.setPen(QPen(color, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 6), QPointF(16, 26));
    p.drawLine(QPointF(6, 16), QPointF(26, 16));
}

void DrawCross(QPainter& p) {
    p.setPen(QPen(QColor(200, 40, 40), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(24, 24));
    p.drawLine(QPointF(24, 8), QPointF(8, 24));
}

void DrawPencil(QPainter& p) {
    p.save();
    p.translate(16, 16);
    p.rotate(45);
    p.setPen(QPen(QColor(60, 60, 60), 1.2));
    p.setBrush(QColor(240, 190, 40));
    p.drawRect(QRectF(-3.5, -13, 7, 19));
    p.setBrush(QColor(230, 120, 130));
    p.drawRect(QRectF(-3.5, -15, 7, 3));
    QPainterPath tip;
    tip.moveTo(-3.5, 6);
    tip.lineTo(3.5, 6);
    tip.lineTo(0, 13);
    tip.closeSubpath();
    p.setBrush(QColor(235, 210, 170));
    p.drawPath(tip);
    p.restore();
}

void DrawDetails(QPainter& p) {
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 4; ++row) {
        const double y = 5 + row * 6.5;
        p.setBrush(QColor(40, 90, 170));
        p.drawRect(QRectF(4, y, 5, 4));
        p.setBrush(QColor(70, 70, 70));
        p.drawRect(QRectF(11, y + 1, 17, 2));
    }
}

void DrawTiles(QPainter& p) {
    p.setPen(QPen(QColor(30, 60, 120), 1));
    p.setBrush(QColor(70, 120, 200));
    for (int i = 0; i < 4; ++i)
        p.drawRoundedRect(QRectF(4 + (i % 2) * 13, 4 + (i / 2) * 13, 11, 11), 2, 2);
}

} // namespace

namespace AlarmIcons {

QIcon ListImage(int index) {
    switch (index) {
    case 1:
        return Icon([](QPainter& p) { DrawClock(p, QColor(235, 150, 40)); });
    case 2:
        return Icon([](QPainter& p) {
            DrawClock(p, QColor(90, 150, 220));
            DrawRepeatBadge(p);
        });
    default:
        return {};
    }
}

QIcon ToolImage(Tool which) {
    switch (which) {
    case Tool::Add:
        return Icon([](QPainter& p) { DrawPlus(p, QColor(30, 150, 60)); });
    case Tool::Remove:
        return Icon(DrawCross);
    case Tool::Edit:
        return Icon(DrawPencil);
    case Tool::ViewList:
        return Icon(DrawDetails);
    case Tool::ViewIcons:
        return Icon(DrawTiles);
    }
    return {};
}

QPixmap Clock(int size) {
    return Render(size, [](QPainter& p) { DrawClock(p, QColor(235, 150, 40)); });
}

} // namespace AlarmIcons
