// Writes the clock icon of the tray and title bars as the PNG files of the hicolor icon theme:
// zintar-icon <output folder> writes <folder>/<N>x<N>/apps/zintar.png for every theme size.
#include "mainwindow/TrayIcon.h"

#include <QDir>
#include <QImage>
#include <QString>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zintar-icon <output folder>\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        const QString file = folder + QStringLiteral("/zintar.png");
        if (!QDir().mkpath(folder) || !ClockIconImage(size).save(file, "PNG")) {
            std::fprintf(stderr, "zintar-icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
