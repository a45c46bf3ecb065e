#include "shell/mdlStartup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    Main([] {
        // The clock window is created here once it exists.
    });
    return 0;
}
