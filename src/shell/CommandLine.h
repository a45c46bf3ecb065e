#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The clock's own command line, read before the application object exists so that --help,
// --version and --autostart work without a display. Single-dash options are Qt's own
// (-platform, -display, ...) and are left to QApplication.
namespace CommandLine {

struct Outcome {
    int status = 0; // exit status
    QString out;    // for standard output
    QString err;    // for standard error
};

// Handles the options that end the program at once; nullopt means "start the clock".
// executable is the absolute path the autostart entry starts.
std::optional<Outcome> Handle(const QStringList& arguments, const QString& executable);

// $XDG_CONFIG_HOME/autostart/zintar.desktop (~/.config/... when the variable is unset).
QString AutostartFile();
bool AutostartEnabled();
// Writes or removes the autostart entry; false with a reason in error when that failed.
bool SetAutostart(bool on, const QString& executable, QString* error = nullptr);

} // namespace CommandLine
