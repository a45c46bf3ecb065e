#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The clock's window modes (round shape, stacking, click-through, the desktop capture) need an
// X server. Under a Wayland session that also runs XWayland the clock goes there by itself;
// with no X server at all it says so in one line instead of letting Qt abort.
namespace DisplayChoice {

struct Environment {
    QByteArray waylandDisplay;   // WAYLAND_DISPLAY
    QByteArray display;          // DISPLAY, or the value of a -display option
    QByteArray platform;         // QT_QPA_PLATFORM
    bool platformOption = false; // -platform on the command line
};

struct Decision {
    QByteArray platform;       // when not empty, the platform to ask Qt for
    bool checkDisplay = false; // ask the X server whether it answers before Qt does
    QString error;             // when not empty, the one line to print; the program ends with 1
};

Environment FromProcess(const QStringList& arguments);
Decision Decide(const Environment& environment);

// True when an X server answers at the display name (empty: $DISPLAY).
bool XServerAnswers(const QByteArray& display);

// The whole check for main(): applies the decision to the environment; false with the line
// to print in error when the program must end.
bool Prepare(const QStringList& arguments, QString* error);

} // namespace DisplayChoice
