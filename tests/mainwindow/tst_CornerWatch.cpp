#include "mainwindow/CornerWatch.h"

#include <QTest>

using Action = CornerWatch::Action;
Q_DECLARE_METATYPE(Action)

namespace {
struct Tick {
    unsigned long behind;
    int32_t left, top;
};
} // namespace
Q_DECLARE_METATYPE(QList<Tick>)

class tst_CornerWatch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ticks_data() {
        QTest::addColumn<bool>("seeThrough");
        QTest::addColumn<QList<Tick>>("ticks");
        QTest::addColumn<QList<Action>>("actions");
        const auto none = Action::None, capture = Action::Capture, bottom = Action::BackToBottom;
        QTest::newRow("a window appears behind, then goes away")
            << true << QList<Tick>{{0, 0, 0}, {7, 0, 0}, {7, 0, 0}, {0, 0, 0}}
            << QList<Action>{none, capture, none, capture};
        QTest::newRow("no capture while moving, then once it stops")
            << true << QList<Tick>{{0, 0, 0}, {5, 150, 0}, {6, 300, 0}, {6, 300, 0}, {6, 300, 0}}
            << QList<Action>{none, none, none, capture, none};
        QTest::newRow("bottom clock pushed back while moving")
            << false << QList<Tick>{{0, 0, 0}, {4, 0, 150}, {4, 0, 150}}
            << QList<Action>{none, bottom, none};
    }
    void ticks() {
        QFETCH(bool, seeThrough);
        QFETCH(QList<Tick>, ticks);
        QFETCH(QList<Action>, actions);
        CornerWatch watch;
        QList<Action> got;
        for (const Tick& t : ticks)
            got << watch.Tick(t.behind, t.left, t.top, seeThrough, !seeThrough);
        QCOMPARE(got, actions);
    }
};

QTEST_GUILESS_MAIN(tst_CornerWatch)
#include "tst_CornerWatch.moc"
