#include "shell/frmError.h"

#include <QDesktopServices>
#include <QLabel>
#include <QTest>
#include <QUrl>

// Receives the pages the window asks the browser to open.
class tst_frmError : public QObject {
    Q_OBJECT

    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }

private Q_SLOTS:
    // The link opens the download page; the window stays until "&Close".
    void linkOpensTheAddress() {
        QDesktopServices::setUrlHandler("https", this, "open");
        frmError window;
        window.show();
        QTest::mouseClick(window.findChild<QLabel*>("labUrl"), Qt::LeftButton);
        QDesktopServices::unsetUrlHandler("https");
        QCOMPARE(opened, QList<QUrl>{QUrl(frmError::DownloadAddress())});
        QVERIFY(window.isVisible());
    }
};

QTEST_MAIN(tst_frmError)
#include "tst_frmError.moc"
