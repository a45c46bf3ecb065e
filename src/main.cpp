#include "mainwindow/TrayIcon.h"
#include "mainwindow/frmMain.h"
#include "shell/CommandLine.h"
#include "shell/SessionBus.h"
#include "shell/mdlStartup.h"

#include <QApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    // --help, --version and --autostart need no display: handled before Qt looks for one.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (const auto outcome = CommandLine::Handle(arguments, executable)) {
        std::fputs(outcome->out.toLocal8Bit().constData(), stdout);
        std::fputs(outcome->err.toLocal8Bit().constData(), stderr);
        return outcome->status;
    }

    SessionBus::PreventAutoLaunch();
    QApplication app(argc, argv);
    // The program's own name and icon for title bars, task bars and notification servers.
    QApplication::setApplicationName(QStringLiteral("zintar"));
    QGuiApplication::setDesktopFileName(QStringLiteral("zintar"));
    QApplication::setWindowIcon(ClockIcon());
    // The clock is a tool window with a tray icon; it ends the program itself when it closes.
    QApplication::setQuitOnLastWindowClosed(false);
    std::unique_ptr<frmMain> clock;
    Main([&clock] {
        clock = std::make_unique<frmMain>();
        clock->show();
    });
    return app.exec();
}
