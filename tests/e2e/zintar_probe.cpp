// Looks at the X display for the tests of the real program and the process benchmark:
//   pixel X Y (as RRGGBB) | shot FILE | count RRGGBB TOL X Y W H (pixels within TOL of the colour)
//   owner SELECTION (0 or 1) | wait-not X Y RRGGBB MS (the time in ms since the epoch at which
//   the pixel stopped being that colour; exit status 1 after MS without change)
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {
QImage grab(int x, int y, int w, int h) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, x, y, w, h)
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}
} // namespace

int main(int argc, char* argv[]) {
    const QByteArray command = argc >= 3 ? argv[1] : "";
    if (command == "owner") {
        Display* dpy = XOpenDisplay(nullptr);
        if (!dpy)
            return 1;
        std::printf("%d\n", XGetSelectionOwner(dpy, XInternAtom(dpy, argv[2], False)) != None);
        return 0;
    }
    if (command == "wait-not" && argc == 6) {
        // Plain Xlib: polling must cost the measured program as little as possible.
        Display* dpy = XOpenDisplay(nullptr);
        if (!dpy)
            return 1;
        const unsigned long colour = std::strtoul(argv[4], nullptr, 16);
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(std::atoi(argv[5]));
        while (std::chrono::steady_clock::now() < deadline) {
            XImage* img = XGetImage(dpy, DefaultRootWindow(dpy), std::atoi(argv[2]),
                                    std::atoi(argv[3]), 1, 1, AllPlanes, ZPixmap);
            const unsigned long pixel = img ? XGetPixel(img, 0, 0) & 0xFFFFFF : colour;
            if (img)
                XDestroyImage(img);
            if (pixel != colour) {
                using namespace std::chrono;
                const auto now =
                    duration_cast<milliseconds>(system_clock::now().time_since_epoch());
                std::printf("%lld\n", static_cast<long long>(now.count()));
                return 0;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    auto arg = [&](int i) { return i < argc ? std::atoi(argv[i]) : 0; };
    if (command == "pixel" && argc == 4) {
        const QImage img = grab(arg(2), arg(3), 1, 1);
        std::printf("%06X\n", img.isNull() ? 0 : img.pixel(0, 0) & 0xFFFFFF);
        return 0;
    }
    if (command == "shot")
        return grab(0, 0, -1, -1).save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    if (command == "count" && argc == 8) {
        const QRgb want = QByteArray(argv[2]).toUInt(nullptr, 16);
        const QImage img = grab(arg(4), arg(5), arg(6), arg(7));
        auto near = [&](int a, int b) { return std::abs(a - b) <= arg(3); };
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb p = img.pixel(x, y);
                n += near(qRed(p), qRed(want)) && near(qGreen(p), qGreen(want)) &&
                     near(qBlue(p), qBlue(want));
            }
        std::printf("%d\n", n);
        return 0;
    }
    std::fputs("usage: see the comment at the top of zintar_probe.cpp\n", stderr);
    return 2;
}
