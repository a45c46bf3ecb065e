#include "alarms/AlarmRow.h"

#include <QTest>

class tst_AlarmRow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void summary_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        const QString a26(26, 'a'), a50(50, 'a');
        QTest::newRow("52 whole") << a50 + "bc" << a50 + "bc";
        QTest::newRow("53 cut") << a50 + "bcd" << a50 + "...";
        QTest::newRow("two lines") << "Meeting\r\nRoom 4"
                                   << "Meeting Room 4";
        QTest::newRow("typed LF") << "Meeting\nRoom 4"
                                  << "Meeting Room 4";
        // The break counts as one character: 26 + 1 + 26 = 53.
        QTest::newRow("break makes 53")
            << a26 + "\r\n" + QString(26, 'b') << a26 + ' ' + QString(23, 'b') + "...";
    }
    void summary() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(AlarmRow::Summary(message), shown);
    }
};

QTEST_MAIN(tst_AlarmRow)
#include "tst_AlarmRow.moc"
