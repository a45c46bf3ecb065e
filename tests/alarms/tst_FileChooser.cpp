#include "alarms/FileChooser.h"

#include <QTest>

// The editor's filters as the file dialog gets them.
class tst_FileChooser : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void nameFilters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("programs")
            << QStringLiteral("Executable programs (*.exe, *.com, *.bat)|*.exe; *.com; *.bat")
            << QStringList{
                   QStringLiteral("Executable programs (*.exe, *.com, *.bat) (*.exe *.com *.bat)")};
        QTest::newRow("sounds")
            << QStringLiteral("Audio files (wav/aif/mp3/mp2/mp1/ogg)|*.wav;*.aif;*.mp3;*.mp2;"
                              "*.mp1;*.ogg|All Files (*.*)|*.*|")
            << QStringList{QStringLiteral("Audio files (wav/aif/mp3/mp2/mp1/ogg) (*.wav *.aif "
                                          "*.mp3 *.mp2 *.mp1 *.ogg)"),
                           QStringLiteral("All Files (*.*) (*)")};
        QTest::newRow("description without patterns")
            << QStringLiteral("Nothing|") << QStringList();
    }
    void nameFilters() {
        QFETCH(QString, filter);
        QFETCH(QStringList, names);
        QCOMPARE(FileChooser::NameFilters(filter), names);
    }
};

QTEST_GUILESS_MAIN(tst_FileChooser)
#include "tst_FileChooser.moc"
