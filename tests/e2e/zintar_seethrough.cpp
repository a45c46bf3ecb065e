// The clock program with the see-through face chosen at start, as the style editor chooses it.
#include "mainwindow/frmMain.h"
#include "settings/KOptions.h"
#include "shell/mdlStartup.h"

#include <QApplication>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    std::unique_ptr<frmMain> clock;
    Main([&clock] {
        Options().StyleIdx = KOptions::SeeThroughStyle;
        clock = std::make_unique<frmMain>();
        clock->show();
    });
    return app.exec();
}
