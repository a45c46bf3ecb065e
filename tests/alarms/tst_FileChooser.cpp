#include "alarms/FileChooser.h"

#include <QTest>

// The editor's filters as the file dialog gets them.
class tst_FileChooser : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void nameFilters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("patterns with blanks")
            << "Programs (*.exe, *.bat)|*.exe; *.bat"
            << QStringList{"Programs (*.exe, *.bat) (*.exe *.bat)"};
        QTest::newRow("two filters, trailing bar")
            << "Audio (wav/ogg)|*.wav;*.ogg|All Files (*.*)|*.*|"
            << QStringList{"Audio (wav/ogg) (*.wav *.ogg)", "All Files (*.*) (*)"};
        QTest::newRow("description without patterns") << "Nothing|" << QStringList();
    }
    void nameFilters() {
        QFETCH(QString, filter);
        QFETCH(QStringList, names);
        QCOMPARE(FileChooser::NameFilters(filter), names);
    }
};

QTEST_GUILESS_MAIN(tst_FileChooser)
#include "tst_FileChooser.moc"
