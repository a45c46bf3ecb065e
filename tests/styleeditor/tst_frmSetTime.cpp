#include "shell/TimeSource.h"
#include "styleeditor/frmSetTime.h"

#include <QDateTimeEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class tst_frmSetTime : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { TimeSource::reset(); }

    // "Now" takes the clock's time; "&Ok", the close box and Esc all return the value shown.
    void returnsThePickedTime_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("ok") << "ok";
        QTest::newRow("close box") << "close";
        QTest::newRow("escape") << "escape";
    }
    void returnsThePickedTime() {
        QFETCH(QString, how);
        const QDateTime start(QDate(2026, 5, 4), QTime(15, 30, 45));
        const QDateTime now(QDate(2026, 5, 4), QTime(7, 5, 9));
        TimeSource::setFixed(now);
        QTimer::singleShot(0, this, [how] {
            auto* dialog = qobject_cast<frmSetTime*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Set preview time..."));
            QCOMPARE(dialog->DTTime->time(), QTime(15, 30, 45));
            dialog->Command2->click(); // "Now"
            if (how == "ok")
                dialog->Command1->click();
            else if (how == "close")
                dialog->close();
            else
                QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QCOMPARE(frmSetTime::Apri(start).time(), now.time());
    }
};

QTEST_MAIN(tst_frmSetTime)
#include "tst_frmSetTime.moc"
