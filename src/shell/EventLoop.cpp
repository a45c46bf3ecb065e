#include "shell/EventLoop.h"

#include <QDir>
#include <QLibraryInfo>

namespace EventLoop {

namespace {
const char* const Variable = "QT_NO_GLIB";
bool set = false;
} // namespace

QStringList ThemePluginFolders() {
    QStringList folders{QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                        QStringLiteral("/platformthemes")};
    const QString extra = qEnvironmentVariable("QT_PLUGIN_PATH");
    for (const QString& folder : extra.split(QDir::listSeparator(), Qt::SkipEmptyParts))
        folders << folder + QStringLiteral("/platformthemes");
    return folders;
}

bool PreferQtDispatcher(const QStringList& themeFolders) {
    if (qEnvironmentVariableIsSet(Variable))
        return false; // the user's choice, either way
    for (const QString& folder : themeFolders)
        if (!QDir(folder).entryList({QStringLiteral("*gtk*")}, QDir::Files).isEmpty())
            return false;
    set = qputenv(Variable, "1");
    return set;
}

void RestoreFor(QProcessEnvironment& environment) {
    if (set)
        environment.remove(QString::fromLatin1(Variable));
}

} // namespace EventLoop
