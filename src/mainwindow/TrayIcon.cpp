#include "mainwindow/TrayIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <cstdio>
#include <memory>

namespace {
constexpr int kTipLength = 63;

std::unique_ptr<QSystemTrayIcon>& trayIcon() {
    static std::unique_ptr<QSystemTrayIcon> icon;
    return icon;
}

void sayNoTrayOnce() {
    static bool said = false;
    if (said)
        return;
    said = true;
    std::fputs("zintar: no system tray found; right-click the clock for its menu\n", stderr);
}
} // namespace

QString TrayTip(const QString& text) {
    return text.left(kTipLength);
}

bool AddTrayIcon(const TrayCallback& callback, const QIcon& icon, const QString& tip) {
    auto& tray = trayIcon();
    tray = std::make_unique<QSystemTrayIcon>(icon);
    tray->setToolTip(TrayTip(tip));
    QObject::connect(tray.get(), &QSystemTrayIcon::activated,
                     [callback](QSystemTrayIcon::ActivationReason reason) {
                         if (!callback)
                             return;
                         if (reason == QSystemTrayIcon::Trigger) {
                             callback(kTrayLeftDown);
                             callback(kTrayLeftUp);
                         } else if (reason == QSystemTrayIcon::Context) {
                             callback(kTrayRightDown);
                         }
                     });
    // Shown even without a tray: Qt embeds the icon when a tray appears or restarts.
    tray->show();
    const bool available = QSystemTrayIcon::isSystemTrayAvailable();
    if (!available)
        sayNoTrayOnce();
    return available;
}

bool RemoveTrayIcon() {
    auto& tray = trayIcon();
    if (!tray)
        return false;
    tray->hide();
    tray.reset();
    return true;
}

bool TrayIconAdded() {
    return trayIcon() != nullptr;
}

QImage ClockIconImage(int size) {
    // Drawn on a 16-unit grid: a white dial, the hour hand at three o'clock, the minute hand
    // at twelve.
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    p.setPen(QPen(QColor(0x33, 0x33, 0x33), 1.2));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setPen(QPen(QColor(0x33, 0x33, 0x33), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(12, 8));
    p.setPen(QPen(QColor(0x66, 0x66, 0x66), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(8, 3));
    p.end();
    return image;
}

QIcon ClockIcon() {
    // Each size a title bar, task bar or About window asks for; larger sizes would only make
    // every window's icon property dearer to send.
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(ClockIconImage(size)));
    return icon;
}
