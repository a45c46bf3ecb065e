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

    // Runs check on the modal window while Display waits, then presses "&Close".
    static void whileShown(const std::function<void(frmError&)>& check) {
        QTimer::singleShot(0, [check] {
            auto* window = qobject_cast<frmError*>(QApplication::activeModalWidget());
            QVERIFY(window);
            check(*window);
            QTest::mouseClick(window->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        });
    }

private Q_SLOTS:
    void texts() {
        frmError window;
        QCOMPARE(window.windowTitle(), QString("Whoops!"));
        const auto text = [&](const char* name) {
            return window.findChild<QLabel*>(QLatin1String(name))->text();
        };
        QCOMPARE(text("Label1"), QString("A runtime error has occoured"));
        QVERIFY(window.findChild<QLabel*>("Label1")->font().bold());
        QCOMPARE(text("Label2"), QString("The error is:"));
        QVERIFY(text("Label3").startsWith("This error might be caused by the absence"));
        QCOMPARE(text("labUrl"), frmError::DownloadAddress());
        QCOMPARE(window.findChild<QPushButton*>("Command1")->text(), QString("&Close"));
    }

    void displayShowsTheDescriptionModally() {
        frmError window;
        QString shown = "(not shown)";
        whileShown([&](frmError& w) {
            QVERIFY(w.isModal());
            shown = w.findChild<QPlainTextEdit*>("Text1")->toPlainText();
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
