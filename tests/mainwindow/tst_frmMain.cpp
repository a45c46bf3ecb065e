#include "TestSupport.h"
#include "mainwindow/TrayIcon.h"
#include "mainwindow/frmMain.h"
#include "settings/KOptions.h"
#include "shell/mdlStartup.h"

#include <QAction>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <memory>

namespace {
QString stored(const QString& key) {
    return ReadIniValue(AppDataFolder() + QStringLiteral("mysettings.ini"), "Window", key);
}

QStringList shownItems(const QMenu* menu) {
    QStringList items;
    for (const QAction* a : menu->actions())
        if (a->isVisible())
            items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return items;
}

QDateTime at(int h, int m, int s, int ms = 0) {
    return QDateTime(QDate(2026, 12, 5), QTime(h, m, s, ms));
}
} // namespace

class tst_frmMain : public QObject {
    Q_OBJECT

    std::unique_ptr<frmMain> clock;

    // A clock started on the given [Window] lines (none: a first start), shown if asked.
    frmMain& start(const QByteArray& window = {}, bool shown = false) {
        if (!window.isEmpty()) // a failed write shows as a first start
            TestSupport::writeFile(AppDataFolder() + "mysettings.ini", "[Window]\r\n" + window);
        Options() = KOptions();
        LoadOptions();
        clock = std::make_unique<frmMain>();
        clock->EndProgram = [] {};
        if (shown) {
            clock->show();
            if (!QTest::qWaitFor([this] { return clock->Activations > 0; }))
                qWarning("the window was not activated");
        }
        return *clock;
    }

private Q_SLOTS:
    void init() {
        TestSupport::freshUserFolder();
        TestSupport::resetNow();
        frmMain::CanShowTranslucency = [] { return true; };
    }
    void cleanup() {
        clock.reset();
        RemoveTrayIcon();
    }

    void menuCaptionAndTip() {
        frmMain& w = start();
        QCOMPARE(shownItems(w.mnuContext),
                 QStringList({"Size", "Style...", "-", "On &Top", "On &Bottom", "Border&less",
                              "Transparent - click-thru", "-", "&Alarms...", "&Calendar...", "-",
                              "About...", "Start with the &desktop", "-", "Exit"}));
        QVERIFY(w.windowTitle().startsWith(QStringLiteral("Zintar!  - ")));
        const QString longCaption = w.windowTitle() + QString(80, QLatin1Char('x'));
        QCOMPARE(TrayTip(longCaption), longCaption.left(63));
    }

    void zOrder_data() {
        QTest::addColumn<int>("storedOT");
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("expectedOT");
        QTest::newRow("unknown value counts as normal") << 7 << "" << 0;
        QTest::newRow("top while on the bottom") << 1 << "top" << -1;
        QTest::newRow("bottom while on top") << -1 << "bottom" << 1;
    }
    void zOrder() {
        QFETCH(int, storedOT);
        QFETCH(QString, item);
        QFETCH(int, expectedOT);
        frmMain& w = start("AlwaysOnTop=" + QByteArray::number(storedOT) + "\r\n", true);
        if (!item.isEmpty())
            (item == "top" ? w.mnuOT : w.mnuOB)->trigger();
        QCOMPARE(w.mnuOT->isChecked(), expectedOT == -1);
        QCOMPARE(stored("AlwaysOnTop"), QString::number(item.isEmpty() ? storedOT : expectedOT));
        QCOMPARE(bool(w.windowFlags() & Qt::WindowStaysOnTopHint), expectedOT == -1);
        QCOMPARE(bool(w.windowFlags() & Qt::WindowStaysOnBottomHint), expectedOT == 1);
    }

    // A stored size the screen cannot hold is made to fit it, and is saved that way.
    void hugeStoredSizeFitsTheScreen() {
        frmMain& w = start("SizeX=100000\r\nSizeY=2147483647\r\n", true);
        const QSize room = w.screen()->availableGeometry().size();
        QCOMPARE(w.size(), room);
        QCOMPARE(stored("SizeX"), QString::number(room.width()));
        QCOMPARE(stored("SizeY"), QString::number(room.height()));
    }

    void middleButtonTogglesRoundMode() {
        frmMain& w = start({}, true);
        for (const bool on : {false, true}) {
            QTest::mouseClick(&w, Qt::MiddleButton, {}, QPoint(64, 64));
            QCOMPARE(w.mnuBorder->isChecked(), on);
            QCOMPARE(bool(w.windowFlags() & Qt::FramelessWindowHint), on);
            QCOMPARE(stored("Borderless"), on ? "True" : "False");
            QCOMPARE(w.mask().isEmpty(), !on);
        }
    }

    // A stored transparent mode waits for a compositor, follows it when it comes and goes,
    // and can be switched off meanwhile.
    void transparentFollowsTheCompositor() {
        bool compositor = false;
        frmMain::CanShowTranslucency = [&compositor] { return compositor; };
        frmMain& w = start("Transparent=True\r\n");
        const auto applied = [&w] {
            return bool(w.windowFlags() & Qt::WindowTransparentForInput) && w.windowOpacity() < 1;
        };
        QVERIFY(w.mnuTrans->isEnabled() && w.mnuTrans->isChecked());
        QVERIFY(!applied());
        QVERIFY(Options().Transparent); // kept for a display that can show it
        compositor = true;
        Q_EMIT w.mnuContext->aboutToShow(); // as a compositor's arrival or the menu does
        QVERIFY(applied());
        compositor = false;
        Q_EMIT w.mnuContext->aboutToShow();
        QVERIFY(!applied());
        w.mnuTrans->trigger();
        QVERIFY(!Options().Transparent);
        QCOMPARE(stored("Transparent"), QStringLiteral("False"));
        QVERIFY(!w.mnuTrans->isEnabled()); // nothing to switch on without a compositor
    }

    // The first tick of every minute checks the alarms, even one that comes late.
    void tickChecksAlarmsOncePerMinuteAndDrawsOnlyANewSecondOrSize() {
        frmMain& w = start({}, true);
        QList<QDateTime> checked;
        w.CheckAlarms = [&checked](const QDateTime& now) { checked << now; };
        const QList<QDateTime> ticks = {at(7, 29, 59, 800), at(7, 30, 0, 0),   at(7, 30, 0, 200),
                                        at(7, 30, 1, 0),    at(7, 31, 0, 100), at(7, 32, 2, 0)};
        QList<int> drawn;
        for (const QDateTime& t : ticks) {
            TestSupport::setNow(t);
            const int before = w.FramesDrawn;
            w.Timer1_Timer();
            drawn << w.FramesDrawn - before;
        }
        QCOMPARE(checked, QList<QDateTime>({ticks[0], ticks[1], ticks[4], ticks[5]}));
        QCOMPARE(drawn.mid(1), QList<int>({1, 0, 1, 1, 1}));
        const int frames = w.FramesDrawn;
        w.pResize(192, 192); // same second, new size: drawn anyway
        QCOMPARE(w.FramesDrawn, frames + 1);
        // The style's picture is held while the clock settles, let go by the trim and read
        // again for the next fit.
        QVERIFY(!w.Clock.ImgClk.isNull());
        w.TrimWorkingSet();
        QVERIFY(w.Clock.ImgClk.isNull());
        const QImage fitted = w.Clock.ScaledFace;
        w.pResize(128, 128);
        w.pResize(192, 192);
        QCOMPARE(w.Clock.ScaledFace, fitted);
    }

    void doubleClickRecapturesTheSeeThroughFace() {
        frmMain& w = start({}, true);
        Options().StyleIdx = KOptions::SeeThroughStyle;
        Options().HCol = 0x0000FF; // red
        Options().MCol = 0x00FF00; // green
        QTest::mouseDClick(&w, Qt::LeftButton, {}, QPoint(64, 64));
        QCOMPARE(w.Clock.ImgClk.size(), w.size());
        QCOMPARE(w.Clock.ImgClk.pixelColor(114, 63), QColor(Qt::red));   // 3 o'clock
        QCOMPARE(w.Clock.ImgClk.pixelColor(120, 69), QColor(Qt::green)); // a minute past
        QVERIFY(w.isVisible());                                          // shown again
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
