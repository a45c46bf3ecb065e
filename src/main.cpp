#include "mainwindow/frmMain.h"
#include "shell/CommandLine.h"
#include "shell/DisplayChoice.h"
#include "shell/EventLoop.h"
#include "shell/SessionBus.h"
#include "shell/SingleInstance.h"
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

    QString problem;
    if (!DisplayChoice::Prepare(arguments, &problem)) {
        std::fprintf(stderr, "%s\n", problem.toLocal8Bit().constData());
        return 1;
    }
    // One clock per settings folder: a second start shows the running clock and ends.
    SingleInstance instance(AppDataFolder());
    if (instance.claim() == SingleInstance::Claim::HandedOver) {
        std::fputs("zintar: the clock is already running; it was asked to show itself\n", stderr);
        return 0;
    }

    SessionBus::PreventAutoLaunch();
    EventLoop::PreferQtDispatcher(EventLoop::ThemePluginFolders());
    QApplication app(argc, argv);
    // The program's own name for title bars, task bars and notification servers; its icon
    // comes with the tray icon, once the clock is on screen.
    QApplication::setApplicationName(QStringLiteral("zintar"));
    QGuiApplication::setDesktopFileName(QStringLiteral("zintar"));
    // The clock is a tool window with a tray icon; it ends the program itself when it closes.
    QApplication::setQuitOnLastWindowClosed(false);
    std::unique_ptr<frmMain> clock;
    Main([&clock] {
        clock = std::make_unique<frmMain>();
        clock->show();
    });
    instance.listen([&clock] {
        if (clock)
            clock->BringBack();
    });
    const int status = app.exec();
    instance.listen(nullptr); // the socket's notifier goes before the application object
    return status;
}
