#include "alarms/AlarmRow.h"

#include <QTest>

// The texts and pictures of one row of the alarm list.
class tst_AlarmRow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void summary_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        const QString a26 = QString(26, QLatin1Char('a')), a50 = QString(50, QLatin1Char('a'));
        QTest::newRow("52 whole") << a50 + "bc" << a50 + "bc";
        QTest::newRow("53 cut") << a50 + "bcd" << a50 + "...";
        QTest::newRow("two lines")
            << QStringLiteral("Meeting\r\nRoom 4") << QStringLiteral("Meeting Room 4");
        QTest::newRow("typed LF") << QStringLiteral("Meeting\nRoom 4")
                                  << QStringLiteral("Meeting Room 4");
        // The break counts as one character: 26 + 1 + 26 = 53.
        QTest::newRow("break makes 53") << a26 + "\r\n" + QString(26, QLatin1Char('b'))
                                        << a26 + ' ' + QString(23, QLatin1Char('b')) + "...";
        QTest::newRow("break keeps 52") << a26 + "\r\n" + QString(25, QLatin1Char('b'))
                                        << a26 + ' ' + QString(25, QLatin1Char('b'));
    }
    void summary() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(AlarmRow::Summary(message), shown);
    }

    void timeAndImage() {
        QCOMPARE(AlarmRow::TimeText(9, 5), QStringLiteral("09:05"));
        QCOMPARE(AlarmRow::TimeText(25, 7), QStringLiteral("25:07")); // as read from a file
        QCOMPARE(AlarmRow::ImageIndex(0), 1);
        for (const int16_t saved : {-1, 1, 7})
            QCOMPARE(AlarmRow::ImageIndex(saved), 2);
    }
};

QTEST_MAIN(tst_AlarmRow)
#include "tst_AlarmRow.moc"
