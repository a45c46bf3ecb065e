#include "shell/frmError.h"

#include <QDesktopServices>
#include <QLabel>
#include <QTest>
#include <QUrl>

// Receives the pages the window asks the browser to open.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }
};

// Display() with its description and "&Close" is shown by the alarm list's test.
class tst_frmError : public QObject {
    Q_OBJECT

private Q_SLOTS:
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
