#include "TestSupport.h"
#include "mainwindow/Placement.h"
#include "mainwindow/TrayIcon.h"
#include "mainwindow/frmMain.h"
#include "settings/KOptions.h"
#include "shell/mdlStartup.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <memory>

namespace {
QString settingsFile() {
    return AppDataFolder() + QStringLiteral("mysettings.ini");
}

QString stored(const QString& section, const QString& key) {
    return ReadIniValue(settingsFile(), section, key);
}

// What the menu shows, in order: captions, "-" for separators.
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

    // A clock started on the given settings file (none: a first start).
    frmMain& start(const QByteArray& settings = {}) {
        if (!settings.isEmpty() && !TestSupport::writeFile(settingsFile(), settings))
            qFatal("cannot write the settings file");
        Options() = KOptions();
        LoadOptions();
        clock = std::make_unique<frmMain>();
        clock->EndProgram = [] {};
        return *clock;
    }

    frmMain& startShown(const QByteArray& settings = {}) {
        frmMain& w = start(settings);
        w.show();
        // The first activation runs once the window is up.
        if (!QTest::qWaitFor([&w] { return w.Activations > 0; }))
            qWarning("the window was not activated");
        return w;
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
        TestSupport::resetNow();
    }

    void menuHoldsEveryItemInOrder() {
        frmMain& w = start();
        QCOMPARE(shownItems(w.mnuContext),
                 QStringList({"Size", "Style...", "-", "On &Top", "On &Bottom", "Border&less",
                              "Transparent - click-thru", "-", "&Alarms...", "&Calendar...", "-",
                              "About...", "-", "Exit"}));
        QCOMPARE(shownItems(w.mnuSize),
                 QStringList({"Tiny (64x64)", "Small (96x96)", "Medium (128x128)",
                              "Large (192x192)", "Extra large (256x256)"}));
    }

    void windowsOfLaterPartsAreDisabledUntilWired() {
        frmMain& w = start();
        for (QAction* a : {w.mnuStylCust, w.mnuCalendar, w.mnuAbout})
            QVERIFY2(!a->isEnabled(), qPrintable(a->text()));
        int opened = 0;
        w.setCalendar([&opened] { ++opened; });
        w.mnuCalendar->trigger();
        QCOMPARE(opened, 1);
    }

    void alarmListLiftsTheTopMostClockWhileOpen() {
        frmMain& w = start();
        bool onTopWhileOpen = true;
        w.setAlarmList([&] { onTopWhileOpen = w.windowFlags() & Qt::WindowStaysOnTopHint; });
        w.mnuAlarms->trigger();
        QVERIFY(!onTopWhileOpen);
        QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void captionAndTip() {
        frmMain& w = start();
        QVERIFY(w.windowTitle().startsWith(QStringLiteral("Zintar!  - ")));
        QVERIFY(w.windowFlags() & Qt::Tool);
        const QString longCaption = w.windowTitle() + QString(80, QLatin1Char('x'));
        QCOMPARE(TrayTip(longCaption), longCaption.left(63));
    }

    void storedModesSetTheChecks_data() {
        QTest::addColumn<int>("ot");
        QTest::addColumn<bool>("borderless");
        QTest::addColumn<bool>("transparent");
        QTest::newRow("top, round") << -1 << true << false;
        QTest::newRow("normal, framed, transparent") << 0 << false << true;
        QTest::newRow("bottom, round") << 1 << true << false;
        QTest::newRow("unknown value counts as normal") << 7 << false << false;
    }
    void storedModesSetTheChecks() {
        QFETCH(int, ot);
        QFETCH(bool, borderless);
        QFETCH(bool, transparent);
        const auto flag = [](bool on) { return QByteArray(on ? "True" : "False"); };
        frmMain& w = start("[Window]\r\nBorderless=" + flag(borderless) +
                           "\r\nTransparent=" + flag(transparent) +
                           "\r\nAlwaysOnTop=" + QByteArray::number(ot) + "\r\nSizeX=96\r\n");
        QCOMPARE(w.mnuOT->isChecked(), ot == -1);
        QCOMPARE(w.mnuOB->isChecked(), ot == 1);
        QCOMPARE(w.mnuBorder->isChecked(), borderless);
        QCOMPARE(bool(w.windowFlags() & Qt::WindowStaysOnTopHint), ot == -1);
        QCOMPARE(bool(w.windowFlags() & Qt::WindowStaysOnBottomHint), ot == 1);
        QCOMPARE(bool(w.windowFlags() & Qt::FramelessWindowHint), borderless);
        QCOMPARE(w.mnuTrans->isChecked(), transparent);
        QCOMPARE(bool(w.windowFlags() & Qt::WindowTransparentForInput), transparent);
    }

    void zOrderItems_data() {
        QTest::addColumn<int>("storedOT");
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("expectedOT");
        QTest::newRow("top while on the bottom") << 1 << "top" << -1;
        QTest::newRow("bottom while on top") << -1 << "bottom" << 1;
        QTest::newRow("top off") << -1 << "top" << 0;
        QTest::newRow("bottom off") << 1 << "bottom" << 0;
    }
    void zOrderItems() {
        QFETCH(int, storedOT);
        QFETCH(QString, item);
        QFETCH(int, expectedOT);
        frmMain& w = startShown("[Window]\r\nBorderless=True\r\nAlwaysOnTop=" +
                                QByteArray::number(storedOT) + "\r\nSizeX=128\r\nSizeY=128\r\n");
        (item == "top" ? w.mnuOT : w.mnuOB)->trigger();
        QCOMPARE(Options().OT, int16_t(expectedOT));
        QCOMPARE(w.mnuOT->isChecked(), expectedOT == -1);
        QCOMPARE(stored("Window", "AlwaysOnTop"), QString::number(expectedOT));
        QCOMPARE(bool(w.windowFlags() & Qt::WindowStaysOnTopHint), expectedOT == -1);
        QCOMPARE(bool(w.windowFlags() & Qt::WindowStaysOnBottomHint), expectedOT == 1);
    }

    void sizeItems_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("size");
        for (int i = 0; i < 5; ++i)
            QTest::newRow(qPrintable(QString::number(Placement::kSizes[i])))
                << i << Placement::kSizes[i];
    }
    void sizeItems() {
        QFETCH(int, index);
        QFETCH(int, size);
        frmMain& w = startShown();
        w.mnuSize->actions().at(index)->trigger();
        QCOMPARE(w.size(), QSize(size, size));
        QCOMPARE(stored("Window", "SizeX"), QString::number(size));
        // Still round, cut to the new size.
        QVERIFY(!w.mask().contains(QPoint(size - 2, size - 2)));
        QVERIFY(w.mask().boundingRect().width() >= size - 2);
        QCOMPARE(w.Clock.clientSize(), QSize(size, size));
    }

    void modeToggles_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("flag");
        QTest::addColumn<bool>("middleButton");
        QTest::newRow("Border&less") << "Borderless" << int(Qt::FramelessWindowHint) << false;
        QTest::newRow("middle button") << "Borderless" << int(Qt::FramelessWindowHint) << true;
        QTest::newRow("Transparent")
            << "Transparent" << int(Qt::WindowTransparentForInput) << false;
    }
    void modeToggles() {
        QFETCH(QString, key);
        QFETCH(int, flag);
        QFETCH(bool, middleButton);
        frmMain& w = startShown();
        QAction* item = key == "Borderless" ? w.mnuBorder : w.mnuTrans;
        for (int i = 0; i < 2; ++i) {
            const bool on = !item->isChecked();
            if (middleButton)
                QTest::mouseClick(&w, Qt::MiddleButton, {}, QPoint(64, 64));
            else
                item->trigger();
            QCOMPARE(item->isChecked(), on);
            QCOMPARE(bool(w.windowFlags() & Qt::WindowFlags(flag)), on);
            QCOMPARE(stored("Window", key), on ? "True" : "False");
            QCOMPARE(w.mask().isEmpty(), !w.mnuBorder->isChecked());
            QCOMPARE(w.windowOpacity() < 0.6, w.mnuTrans->isChecked());
        }
    }

    void withoutTranslucencyTransparentIsDisabledAndNotApplied() {
        frmMain::CanShowTranslucency = [] { return false; };
        frmMain& w = start("[Window]\r\nTransparent=True\r\nSizeX=128\r\nSizeY=128\r\n");
        QVERIFY(!w.mnuTrans->isEnabled());
        // A window that could only be clicked through, not seen through, would be lost.
        QVERIFY(!(w.windowFlags() & Qt::WindowTransparentForInput));
        QCOMPARE(w.windowOpacity(), 1.0);
        QVERIFY(Options().Transparent); // kept for a display that can show it
    }

    void tickChecksAlarmsOnlyWhenTheSecondsAreZero() {
        frmMain& w = start();
        QList<QDateTime> checked;
        w.CheckAlarms = [&checked](const QDateTime& now) { checked << now; };
        const QList<QDateTime> ticks = {at(7, 29, 59, 600), at(7, 29, 59, 800), at(7, 30, 0, 0),
                                        at(7, 30, 0, 200),  at(7, 30, 0, 400),  at(7, 30, 1, 0),
                                        at(7, 31, 0, 100)};
        for (const QDateTime& t : ticks) {
            TestSupport::setNow(t);
            w.Timer1_Timer();
        }
        QCOMPARE(checked, QList<QDateTime>({ticks[2], ticks[3], ticks[4], ticks[6]}));
    }

    void tickDrawsOnlyANewSecondOrSize() {
        frmMain& w = startShown();
        TestSupport::setNow(at(10, 0, 5, 0));
        w.Timer1_Timer();
        const int frames = w.FramesDrawn;
        for (int ms : {200, 800}) {
            TestSupport::setNow(at(10, 0, 5, ms));
            w.Timer1_Timer();
        }
        QCOMPARE(w.FramesDrawn, frames);
        w.pResize(192, 192); // same second, new size: drawn anyway
        QCOMPARE(w.FramesDrawn, frames + 1);
        QCOMPARE(w.Clock.backing().size(), QSize(192, 192));
        TestSupport::setNow(at(10, 0, 6, 0));
        w.Timer1_Timer();
        QCOMPARE(w.FramesDrawn, frames + 2);
    }

    void closeStoresThePositionAndRemovesTheTrayIcon() {
        frmMain& w = startShown();
        bool ended = false;
        w.EndProgram = [&ended] { ended = true; };
        w.move(200, 150);
        QTRY_COMPARE(w.pos(), QPoint(200, 150));
        w.mnuexit->trigger();
        QVERIFY(ended);
        QVERIFY(!w.isVisible());
        QVERIFY(!TrayIconAdded());
        const double tx = Placement::TwipsPerPixelX(), ty = Placement::TwipsPerPixelY();
        QCOMPARE(stored("Window", "WindowX").toDouble(), 200 * tx);
        QCOMPARE(stored("Window", "WindowY").toDouble(), 150 * ty);
    }

    void doubleClickRecapturesOnlyTheSeeThroughFace() {
        frmMain& w = startShown();
        w.Clock.ImgClk = QImage();
        QTest::mouseDClick(&w, Qt::LeftButton, {}, QPoint(64, 64));
        QVERIFY(w.Clock.ImgClk.isNull()); // a bitmap face: nothing captured
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
