#pragma once

#include <QProcessEnvironment>
#include <QString>

// Qt asks the desktop's D-Bus session bus whether a StatusNotifier tray runs. Where no session
// bus runs at all, libdbus would start one for the clock: it forks the whole process and runs
// dbus-launch, which leaves a bus daemon behind, and every page the clock writes afterwards
// costs a copy-on-write fault. A bus started that way could not hold a tray anyway, so the
// clock tells D-Bus not to start one and uses the XEmbed tray.
namespace SessionBus {

// Call before the application object exists. When the environment names no session bus and
// $XDG_RUNTIME_DIR holds none, sets DBUS_SESSION_BUS_ADDRESS to an address that fails at once.
// True when it did.
bool PreventAutoLaunch();

// The environment for the programs the clock starts: the one it was started with, so that
// they can still start a bus of their own and choose their own event loop.
QProcessEnvironment ChildEnvironment();

} // namespace SessionBus
