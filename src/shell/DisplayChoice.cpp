#include "shell/DisplayChoice.h"

#include <xcb/xcb.h>

namespace DisplayChoice {

Environment FromProcess(const QStringList& arguments) {
    Environment e;
    e.waylandDisplay = qgetenv("WAYLAND_DISPLAY");
    e.display = qgetenv("DISPLAY");
    e.platform = qgetenv("QT_QPA_PLATFORM");
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("-platform") || a.startsWith(QLatin1String("-platform=")))
            e.platformOption = true;
        else if (a == QLatin1String("-display") && i + 1 < arguments.size())
            e.display = arguments[i + 1].toLocal8Bit();
    }
    return e;
}

Decision Decide(const Environment& e) {
    Decision d;
    if (!e.platform.isEmpty() || e.platformOption)
        return d; // the user's choice stands, whatever it is
    if (e.display.isEmpty()) {
        d.error = e.waylandDisplay.isEmpty()
                      ? QStringLiteral("zintar: no X11 display (DISPLAY is not set); the clock "
                                       "needs an X11 session")
                      : QStringLiteral("zintar: no X11 display (DISPLAY is not set); the clock "
                                       "needs X11, on Wayland through XWayland");
        return d;
    }
    // A Wayland session with XWayland, or a plain X11 one: the X server in both.
    d.platform = "xcb";
    d.checkDisplay = true;
    return d;
}

bool XServerAnswers(const QByteArray& display) {
    xcb_connection_t* c = xcb_connect(display.isEmpty() ? nullptr : display.constData(), nullptr);
    const bool ok = c && xcb_connection_has_error(c) == 0;
    if (c)
        xcb_disconnect(c);
    return ok;
}

bool Prepare(const QStringList& arguments, QString* error) {
    const Environment e = FromProcess(arguments);
    const Decision d = Decide(e);
    if (!d.error.isEmpty()) {
        *error = d.error;
        return false;
    }
    if (d.checkDisplay && !XServerAnswers(e.display)) {
        *error = QStringLiteral("zintar: cannot open the X11 display '%1'")
                     .arg(QString::fromLocal8Bit(e.display));
        return false;
    }
    if (!d.platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", d.platform);
    return true;
}

} // namespace DisplayChoice
