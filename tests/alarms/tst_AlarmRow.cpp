#include "alarms/AlarmRow.h"

#include <QTest>

// The texts and pictures of one row of the alarm list.
class tst_AlarmRow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void summary_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        const QString s52 = QString(52, QLatin1Char('x'));
        const QString s53 = QString(50, QLatin1Char('a')) + QStringLiteral("bcd");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("52 whole") << s52 << s52;
        QTest::newRow("53 cut") << s53 << QString(50, QLatin1Char('a')) + QStringLiteral("...");
        QTest::newRow("two lines")
            << QStringLiteral("Meeting\r\nRoom 4") << QStringLiteral("Meeting Room 4");
        QTest::newRow("typed LF") << QStringLiteral("Meeting\nRoom 4")
                                  << QStringLiteral("Meeting Room 4");
        QTest::newRow("trailing break") << QStringLiteral("Type your message here...\r\n")
                                        << QStringLiteral("Type your message here... ");
        // The break counts as one character: 26 + 1 + 26 = 53.
        QTest::newRow("break makes 53")
            << QString(26, QLatin1Char('a')) + QStringLiteral("\r\n") +
                   QString(26, QLatin1Char('b'))
            << QString(26, QLatin1Char('a')) + QLatin1Char(' ') + QString(23, QLatin1Char('b')) +
                   QStringLiteral("...");
        QTest::newRow("break keeps 52")
            << QString(26, QLatin1Char('a')) + QStringLiteral("\r\n") +
                   QString(25, QLatin1Char('b'))
            << QString(26, QLatin1Char('a')) + QLatin1Char(' ') + QString(25, QLatin1Char('b'));
    }
    void summary() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(AlarmRow::Summary(message), shown);
    }

    void timeText_data() {
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<QString>("text");
        QTest::newRow("9:05") << 9 << 5 << QStringLiteral("09:05");
        QTest::newRow("midnight") << 0 << 0 << QStringLiteral("00:00");
        QTest::newRow("23:59") << 23 << 59 << QStringLiteral("23:59");
        QTest::newRow("hour 25 from a file") << 25 << 7 << QStringLiteral("25:07");
    }
    void timeText() {
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(QString, text);
        QCOMPARE(AlarmRow::TimeText(hour, minute), text);
    }

    void imageIndex_data() {
        QTest::addColumn<int>("bSave");
        QTest::addColumn<int>("image");
        QTest::newRow("once") << 0 << 1;
        QTest::newRow("every day") << -1 << 2;
        QTest::newRow("every N minutes") << 1 << 2;
        QTest::newRow("unknown mode from a file") << 7 << 2;
    }
    void imageIndex() {
        QFETCH(int, bSave);
        QFETCH(int, image);
        QCOMPARE(AlarmRow::ImageIndex(int16_t(bSave)), image);
    }
};

QTEST_MAIN(tst_AlarmRow)
#include "tst_AlarmRow.moc"
