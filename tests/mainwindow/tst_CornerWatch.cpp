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
        QTest::addColumn<bool>("onBottom");
        QTest::addColumn<QList<Tick>>("ticks");
        QTest::addColumn<QList<Action>>("actions");
        const auto none = Action::None, capture = Action::Capture, bottom = Action::BackToBottom;
        QTest::newRow("still, nothing behind")
            << true << false << QList<Tick>{{0, 0, 0}, {0, 0, 0}} << QList<Action>{none, none};
        QTest::newRow("a window appears behind a still clock")
            << true << false << QList<Tick>{{0, 0, 0}, {7, 0, 0}, {7, 0, 0}}
            << QList<Action>{none, capture, none};
        QTest::newRow("no capture while moving, then once it stops")
            << true << false
            << QList<Tick>{{0, 0, 0}, {5, 150, 0}, {6, 300, 0}, {6, 300, 0}, {6, 300, 0}}
            << QList<Action>{none, none, none, capture, none};
        QTest::newRow("the window goes away again")
            << true << false << QList<Tick>{{9, 0, 0}, {0, 0, 0}}
            << QList<Action>{capture, capture};
        QTest::newRow("bottom clock pushed back while moving")
            << false << true << QList<Tick>{{0, 0, 0}, {4, 0, 150}, {4, 0, 150}}
            << QList<Action>{none, bottom, none};
        QTest::newRow("bottom clock with a bitmap face captures nothing")
            << false << true << QList<Tick>{{0, 15, 15}, {4, 15, 15}} << QList<Action>{none, none};
    }
    void ticks() {
        QFETCH(bool, seeThrough);
        QFETCH(bool, onBottom);
        QFETCH(QList<Tick>, ticks);
        QFETCH(QList<Action>, actions);
        CornerWatch watch;
        QList<Action> got;
        for (const Tick& t : ticks)
            got << watch.Tick(t.behind, t.left, t.top, seeThrough, onBottom);
        QCOMPARE(got, actions);
    }
};

QTEST_GUILESS_MAIN(tst_CornerWatch)
#include "tst_CornerWatch.moc"
