#include "shell/SessionBus.h"

#include "shell/EventLoop.h"

#include <QFileInfo>

namespace SessionBus {

namespace {
const char* const AddressVariable = "DBUS_SESSION_BUS_ADDRESS";
bool prevented = false;
} // namespace

bool PreventAutoLaunch() {
    if (!qEnvironmentVariableIsEmpty(AddressVariable))
        return false;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus")))
        return false; // a per-user bus (systemd's): libdbus finds it there
    prevented = qputenv(AddressVariable, "disabled:");
    return prevented;
}

QProcessEnvironment ChildEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (prevented)
        environment.remove(QString::fromLatin1(AddressVariable));
    EventLoop::RestoreFor(environment);
    return environment;
}

} // namespace SessionBus
