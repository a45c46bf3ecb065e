// Looks at the X display for the tests of the real program:
//   zintar_probe pixel X Y                 colour of a screen pixel as RRGGBB
//   zintar_probe shot FILE [X Y W H]       the screen (or a part) as a PNG file
//   zintar_probe count RRGGBB TOL X Y W H  pixels of the area within TOL of the colour
//   zintar_probe owner SELECTION           0 or 1: whether the X selection has an owner
//   zintar_probe wait-not X Y RRGGBB MS    waits until the pixel is no longer that colour and
//                                          prints the wall-clock time it changed, in ms since
//                                          the epoch (exit status 1 after MS without change)
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

int usage() {
    std::fputs("usage: zintar_probe pixel X Y | shot FILE [X Y W H] | count RRGGBB TOL X Y W H | "
               "owner SELECTION | wait-not X Y RRGGBB MS\n",
               stderr);
    return 2;
}
} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3)
        return usage();
    const QByteArray command = argv[1];
    if (command == "owner") {
        Display* dpy = XOpenDisplay(nullptr);
        if (!dpy)
            return 1;
        const Atom atom = XInternAtom(dpy, argv[2], False);
        std::printf("%d\n", XGetSelectionOwner(dpy, atom) != None ? 1 : 0);
        XCloseDisplay(dpy);
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
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                std::printf(
                    "%lld\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::milliseconds>(now).count()));
                XCloseDisplay(dpy);
                return 0;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        XCloseDisplay(dpy);
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
    if (command == "shot") {
        const QImage img = argc >= 7 ? grab(arg(3), arg(4), arg(5), arg(6)) : grab(0, 0, -1, -1);
        return img.save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    }
    if (command == "count" && argc == 8) {
        const QRgb want = QByteArray(argv[2]).toUInt(nullptr, 16);
        const int tol = arg(3);
        const QImage img = grab(arg(4), arg(5), arg(6), arg(7));
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb p = img.pixel(x, y);
                if (std::abs(qRed(p) - qRed(want)) <= tol &&
                    std::abs(qGreen(p) - qGreen(want)) <= tol &&
                    std::abs(qBlue(p) - qBlue(want)) <= tol)
                    ++n;
            }
        std::printf("%d\n", n);
        return 0;
    }
    return usage();
}
