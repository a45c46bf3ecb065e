#include "TestSupport.h"
#include "auxiliary/CalendarLayout.h"
#include "auxiliary/MonthView.h"
#include "auxiliary/frmCalendar.h"

#include <QCalendarWidget>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTextCharFormat>

class tst_frmCalendar : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() {
        if (frmCalendar* c = frmCalendar::Current())
            delete c;
        TestSupport::resetNow();
    }

    void roundsHalvesToEven_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("rounded");
        QTest::newRow("0.4") << 0.4 << 0;
        QTest::newRow("0.5") << 0.5 << 0;
        QTest::newRow("1.5") << 1.5 << 2;
        QTest::newRow("2.5") << 2.5 << 2;
        QTest::newRow("3.5") << 3.5 << 4;
        QTest::newRow("2.51") << 2.51 << 3;
    }
    void roundsHalvesToEven() {
        QFETCH(double, value);
        QFETCH(int, rounded);
        QCOMPARE(CalendarLayout::RoundHalfEven(value), rounded);
    }

    // Inner sizes in months of 100 x 100 with a status strip of 40.
    void arrangement_data() {
        QTest::addColumn<int>("startColumns");
        QTest::addColumn<int>("startRows");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::newRow("one month") << 1 << 1 << 99 << 140 << 1 << 1;
        QTest::newRow("2.5 wide gives 2") << 1 << 1 << 250 << 140 << 2 << 1;
        QTest::newRow("3.5 wide gives 4") << 1 << 1 << 350 << 140 << 4 << 1;
        QTest::newRow("3 x 4 fills twelve") << 1 << 1 << 300 << 440 << 3 << 4;
        QTest::newRow("too narrow keeps the columns") << 2 << 1 << 40 << 140 << 2 << 1;
        QTest::newRow("too low keeps the rows") << 1 << 2 << 100 << 80 << 1 << 2;
        // 5 columns x 3 rows is refused: the columns stay, the rows are tried against 3.
        QTest::newRow("columns refused, rows tried") << 3 << 3 << 500 << 440 << 3 << 4;
        QTest::newRow("both refused") << 3 << 4 << 600 << 640 << 3 << 4;
        QTest::newRow("columns first, then rows") << 1 << 12 << 600 << 240 << 1 << 2;
        QTest::newRow("twelve in a row") << 1 << 1 << 1200 << 140 << 12 << 1;
        QTest::newRow("thirteen in a row") << 1 << 1 << 1300 << 140 << 1 << 1;
    }
    void arrangement() {
        QFETCH(int, startColumns);
        QFETCH(int, startRows);
        QFETCH(int, width);
        QFETCH(int, height);
        CalendarLayout layout(100, 100, 40);
        QVERIFY(layout.SetRows(startRows));
        QVERIFY(layout.SetColumns(startColumns));
        layout.Resize(width, height);
        QTEST(layout.Columns(), "columns");
        QTEST(layout.Rows(), "rows");
    }

    void minimisedKeepsTheArrangement() {
        CalendarLayout layout(100, 100, 40);
        layout.Resize(300, 240);
        layout.Resize(0, 0, true);
        QCOMPARE(layout.Columns(), 3);
        QCOMPARE(layout.Rows(), 2);
    }

    void opensWithOneMonthAtToday() {
        TestSupport::setNow(QDateTime(QDate(2026, 3, 14), QTime(23, 59)));
        frmCalendar* c = frmCalendar::Open();
        QCOMPARE(c->windowTitle(), QStringLiteral("Calendar"));
        QCOMPARE(c->size(), QSize(238, 256));
        QCOMPARE(c->MonthView1->Columns(), 1);
        QCOMPARE(c->MonthView1->Rows(), 1);
        QCOMPARE(c->MonthView1->Value(), QDate(2026, 3, 14));
        QCalendarWidget* month = c->MonthView1->Months().value(0);
        QCOMPARE(month->selectedDate(), QDate(2026, 3, 14));
        QCOMPARE(month->monthShown(), 3);
        QVERIFY(month->dateTextFormat(QDate(2026, 3, 14)).fontWeight() == QFont::Bold);
        QCOMPARE(c->StatusBar1->geometry(), QRect(0, 215, 238, 41));
        QVERIFY(c->Command1->isDefault());
        QCOMPARE(c->Command1->geometry().bottom() + 1, 256 - 4);
        QCOMPARE(c->Command1->x(), 238 / 2 - 75 / 2);
    }

    void oneWindowWhileOpen() {
        frmCalendar* first = frmCalendar::Open();
        QCOMPARE(frmCalendar::Open(), first);
    }

    void nextOpeningShowsTheNewDay() {
        TestSupport::setNow(QDateTime(QDate(2026, 1, 31), QTime(23, 0)));
        QPointer<frmCalendar> first = frmCalendar::Open();
        first->close(); // discarded
        QTRY_VERIFY(first.isNull());
        TestSupport::setNow(QDateTime(QDate(2026, 2, 1), QTime(0, 1)));
        frmCalendar* second = frmCalendar::Open();
        QCOMPARE(second->MonthView1->Value(), QDate(2026, 2, 1));
        QCOMPARE(second->MonthView1->Months().value(0)->monthShown(), 2);
    }

    void growingShowsFollowingMonths() {
        TestSupport::setNow(QDateTime(QDate(2026, 11, 20), QTime(12, 0)));
        frmCalendar* c = frmCalendar::Open();
        c->resize(239 * 3, 214 * 2 + 41);
        QCOMPARE(c->MonthView1->Columns(), 3);
        QCOMPARE(c->MonthView1->Rows(), 2);
        const QList<QCalendarWidget*> months = c->MonthView1->Months();
        QCOMPARE(months.size(), 6);
        QCOMPARE(months[1]->monthShown(), 12);
        QCOMPARE(months[2]->monthShown(), 1);
        QCOMPARE(months[2]->yearShown(), 2027);
        QCOMPARE(months[3]->monthShown(), 2); // the second row goes on
        // Paging the first month moves them all.
        months[0]->showNextMonth();
        QCOMPARE(months[5]->monthShown(), 5);
        QCOMPARE(c->MonthView1->FirstMonth(), QDate(2026, 12, 1));
    }
};

QTEST_MAIN(tst_frmCalendar)
#include "tst_frmCalendar.moc"
