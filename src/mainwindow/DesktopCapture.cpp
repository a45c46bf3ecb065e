#include "mainwindow/DesktopCapture.h"

#include "mainwindow/Placement.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <cmath>

namespace DesktopCapture {

namespace {
constexpr double kTwoPi = 6.28318; // the marks sit where the clock has always put them

void dot(QPainter& p, QPoint centre, int diameter, const QColor& colour) {
    const double half = diameter / 2.0;
    p.setBrush(colour);
    p.drawEllipse(QRectF(centre.x() + 0.5 - half, centre.y() + 0.5 - half, diameter, diameter));
}
} // namespace

QPoint MarkCentre(int i, int W, double r) {
    const double angle = i / 60.0 * kTwoPi;
    const int px = Placement::RoundHalfEven(std::cos(angle) * r + W / 2.0);
    const int py = Placement::RoundHalfEven(std::sin(angle) * r + W / 2.0);
    return {px - 1, py - 1};
}

QColor ColorFromValue(int32_t value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

void PaintMarks(QImage& face, int32_t hourColor, int32_t minuteColor) {
    if (face.isNull())
        return;
    const int W = face.width();
    QPainter p(&face);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QColor hour = ColorFromValue(hourColor);
    const QColor minute = ColorFromValue(minuteColor);
    for (int i = 0; i < 60; ++i) {
        if (i % 5 == 0)
            dot(p, MarkCentre(i, W, kHourMarkDistance * W), kHourMarkDiameter, hour);
        else
            dot(p, MarkCentre(i, W, kMinuteMarkDistance * W), kMinuteMarkDiameter, minute);
    }
}

QImage GrabScreen(const QRect& area) {
    QImage out(area.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QScreen* screen = QGuiApplication::screenAt(area.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen || area.isEmpty())
        return out;
    const QPoint origin = screen->geometry().topLeft();
    const QImage shot = screen
                            ->grabWindow(0, area.x() - origin.x(), area.y() - origin.y(),
                                         area.width(), area.height())
                            .toImage();
    if (shot.isNull())
        return out;
    QPainter p(&out);
    p.drawImage(0, 0, shot.convertToFormat(QImage::Format_RGB32));
    return out;
}

} // namespace DesktopCapture
