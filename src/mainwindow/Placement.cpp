#include "mainwindow/Placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace Placement {

namespace {
constexpr double kTwipsPerInch = 1440.0;
constexpr double kFallbackTwipsPerPixel = 15.0;

const QScreen* orPrimary(const QScreen* screen) {
    return screen ? screen : QGuiApplication::primaryScreen();
}

double factor(double dpi) {
    return dpi > 0 ? kTwipsPerInch / dpi : kFallbackTwipsPerPixel;
}
} // namespace

double TwipsPerPixelX(const QScreen* screen) {
    const QScreen* s = orPrimary(screen);
    return s ? factor(s->logicalDotsPerInchX()) : kFallbackTwipsPerPixel;
}

double TwipsPerPixelY(const QScreen* screen) {
    const QScreen* s = orPrimary(screen);
    return s ? factor(s->logicalDotsPerInchY()) : kFallbackTwipsPerPixel;
}

int32_t RoundHalfEven(double value) {
    return static_cast<int32_t>(std::nearbyint(value)); // default rounding mode: to even
}

int PixelsFromTwips(double twips, double twipsPerPixel) {
    return RoundHalfEven(twips / twipsPerPixel);
}

float TwipsFromPixels(int pixels, double twipsPerPixel) {
    return static_cast<float>(pixels * twipsPerPixel);
}

float ClampToScreen(float position, float screenExtent, float windowExtent) {
    if (position > screenExtent)
        return screenExtent - windowExtent;
    if (position < 0)
        return 0;
    return position;
}

QPoint PlaceOnScreen(float& px, float& py, QSize outer) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(1024, 768);
    const double tx = TwipsPerPixelX(), ty = TwipsPerPixelY();
    px = ClampToScreen(px, TwipsFromPixels(screenSize.width(), tx),
                       TwipsFromPixels(outer.width(), tx));
    py = ClampToScreen(py, TwipsFromPixels(screenSize.height(), ty),
                       TwipsFromPixels(outer.height(), ty));
    return {PixelsFromTwips(px, tx), PixelsFromTwips(py, ty)};
}

QSize FitSize(QSize stored, QSize available) {
    auto fit = [](int side, int room) {
        return std::max(kSmallestSide, std::min(side, std::max(room, kSmallestSide)));
    };
    return {fit(stored.width(), available.width()), fit(stored.height(), available.height())};
}

QSize FitOnScreen(QSize stored) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    return FitSize(stored, room.isEmpty() ? QSize(1024, 768) : room);
}

QRegion RoundShape(QSize client) {
    if (client.width() < 2 || client.height() < 2)
        return QRegion(QRect(QPoint(0, 0), client));
    return QRegion(1, 1, client.width() - 1, client.height() - 1, QRegion::Ellipse);
}

} // namespace Placement
