// The least a Qt Widgets program does to show a window: an application object and one
// frameless 256 x 256 window at the top-left corner, filled with one colour. Nothing of the
// clock's own. Beside the clock in the whole-process benchmark
// (`--clock qt-floor=build/bin/qt_floor`) it shows how much of the clock's start-up and
// memory is Qt's before the clock does anything.

#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace {
class Plain : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::white); }
};
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    Plain window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.setGeometry(0, 0, 256, 256);
    window.show();
    return app.exec();
}
