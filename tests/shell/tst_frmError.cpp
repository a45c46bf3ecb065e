#include "shell/frmError.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

// Receives the pages the window asks the browser to open.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }
};

class tst_frmError : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void displayShowsTheDescriptionModallyUntilClose() {
        frmError window;
        QString shown = "(not shown)";
        QTimer::singleShot(0, [&] {
            auto* w = qobject_cast<frmError*>(QApplication::activeModalWidget());
            QVERIFY(w);
            QCOMPARE(w->windowTitle(), QString("Whoops!"));
            shown = w->findChild<QPlainTextEdit*>("Text1")->toPlainText();
            QTest::mouseClick(w->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        });
        window.Display("File not found: bass.dll");
        QCOMPARE(shown, QString("File not found: bass.dll"));
        QVERIFY(!window.isVisible());
    }

    void linkOpensTheAddress() {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("https", &catcher, "open");
        frmError window;
        window.show();
        QTest::mouseClick(window.findChild<QLabel*>("labUrl"), Qt::LeftButton);
        QDesktopServices::unsetUrlHandler("https");
        QCOMPARE(catcher.opened, QList<QUrl>{QUrl(frmError::DownloadAddress())});
        QVERIFY(window.isVisible()); // the window stays until "&Close"
    }
};

QTEST_MAIN(tst_frmError)
#include "tst_frmError.moc"
