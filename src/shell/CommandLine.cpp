#include "shell/CommandLine.h"

#include "shell/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace CommandLine {

namespace {

const char* const Version = "2.3";

QString Usage() {
    return QStringLiteral(
        "Usage: zintar [OPTION]\n"
        "A small analog clock for the desktop, with alarms, styles and a calendar.\n"
        "\n"
        "  --help              show this help and exit\n"
        "  --version           show the version and exit\n"
        "  --autostart on|off  start the clock with the desktop session, or stop doing so\n"
        "\n"
        "Qt's own options (-platform, -display ...) are accepted as well.\n"
        "Settings and alarms are kept in $XDG_DATA_HOME/Zintar_22/mysettings.ini.\n");
}

Outcome Unknown(const QString& what) {
    return {2, {}, QStringLiteral("zintar: %1; try 'zintar --help'\n").arg(what)};
}

// Quotes a path for the Exec key of a desktop entry where it needs it.
QString ExecArgument(const QString& path) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool plain = !path.isEmpty();
    for (QChar c : path)
        plain = plain && !reserved.contains(c);
    if (plain)
        return path;
    QString quoted = path;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('"'), QStringLiteral("\\\""))
        .replace(QLatin1Char('`'), QStringLiteral("\\`"))
        .replace(QLatin1Char('$'), QStringLiteral("\\$"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString AutostartFile() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/zintar.desktop");
}

bool AutostartEnabled() {
    return QFileInfo::exists(AutostartFile());
}

bool SetAutostart(bool on, const QString& executable, QString* error) {
    const QString path = AutostartFile();
    if (!on) {
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            return true;
        QFile file(path);
        if (file.remove())
            return true;
        if (error)
            *error = file.errorString();
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error)
            *error =
                QStringLiteral("cannot create the folder %1").arg(QFileInfo(path).absolutePath());
        return false;
    }
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Zintar\n"
                                         "Comment=Analog clock with alarms\n"
                                         "Exec=%1\n"
                                         "Icon=zintar\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(ExecArgument(executable));
    return WriteWholeFile(path, entry.toUtf8(), error);
}

std::optional<Outcome> Handle(const QStringList& arguments, const QString& executable) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QStringLiteral("--help") || arg == QStringLiteral("-h"))
            return Outcome{0, Usage(), {}};
        if (arg == QStringLiteral("--version"))
            return Outcome{0, QStringLiteral("zintar %1\n").arg(QLatin1String(Version)), {}};
        if (arg == QStringLiteral("--autostart") ||
            arg.startsWith(QStringLiteral("--autostart="))) {
            QString value = arg.mid(QStringLiteral("--autostart=").size());
            if (arg == QStringLiteral("--autostart"))
                value = i + 1 < arguments.size() ? arguments[++i] : QString();
            if (value != QStringLiteral("on") && value != QStringLiteral("off"))
                return Unknown(QStringLiteral("--autostart needs 'on' or 'off'"));
            QString error;
            if (!SetAutostart(value == QStringLiteral("on"), executable, &error))
                return Outcome{
                    1,
                    {},
                    QStringLiteral("zintar: cannot change %1: %2\n").arg(AutostartFile(), error)};
            return Outcome{0, {}, {}};
        }
        if (arg.startsWith(QStringLiteral("--")))
            return Unknown(QStringLiteral("unknown option '%1'").arg(arg));
        if (!arg.startsWith(QLatin1Char('-')))
            return Unknown(QStringLiteral("unexpected argument '%1'").arg(arg));
        // A single-dash option is Qt's; those that take a value take the next argument.
        static const QStringList withValue = {QStringLiteral("-platform"),
                                              QStringLiteral("-platformpluginpath"),
                                              QStringLiteral("-platformtheme"),
                                              QStringLiteral("-plugin"),
                                              QStringLiteral("-display"),
                                              QStringLiteral("-style"),
                                              QStringLiteral("-stylesheet"),
                                              QStringLiteral("-session"),
                                              QStringLiteral("-name"),
                                              QStringLiteral("-title"),
                                              QStringLiteral("-qwindowgeometry"),
                                              QStringLiteral("-qwindowtitle"),
                                              QStringLiteral("-qwindowicon"),
                                              QStringLiteral("-geometry")};
        if (withValue.contains(arg))
            ++i;
    }
    return std::nullopt;
}

} // namespace CommandLine
