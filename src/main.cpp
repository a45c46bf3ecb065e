#include "mainwindow/frmMain.h"
#include "shell/SessionBus.h"
#include "shell/mdlStartup.h"

#include <QApplication>
#include <memory>

int main(int argc, char* argv[]) {
    SessionBus::PreventAutoLaunch();
    QApplication app(argc, argv);
    // The clock is a tool window with a tray icon; it ends the program itself when it closes.
    QApplication::setQuitOnLastWindowClosed(false);
    std::unique_ptr<frmMain> clock;
    Main([&clock] {
        clock = std::make_unique<frmMain>();
        clock->show();
    });
    return app.exec();
}
