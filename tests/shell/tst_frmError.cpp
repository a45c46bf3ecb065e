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
            QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Command1")),
                              Qt::LeftButton);
        });
    }

private Q_SLOTS:
    void texts() {
        frmError window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Whoops!"));
        auto* label1 = window.findChild<QLabel*>(QStringLiteral("Label1"));
        QCOMPARE(label1->text(), QStringLiteral("A runtime error has occoured"));
        QVERIFY(label1->font().bold());
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("Label2"))->text(),
                 QStringLiteral("The error is:"));
        QVERIFY(window.findChild<QLabel*>(QStringLiteral("Label3"))
                    ->text()
                    .startsWith(QStringLiteral("This error might be caused by the absence")));
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("labUrl"))->text(),
                 frmError::DownloadAddress());
        QCOMPARE(window.findChild<QPushButton*>(QStringLiteral("Command1"))->text(),
                 QStringLiteral("&Close"));
    }

    void displayShowsTheDescriptionModally_data() {
        QTest::addColumn<QString>("description");
        QTest::newRow("text") << QStringLiteral("File not found: bass.dll");
        QTest::newRow("empty") << QString();
    }
    void displayShowsTheDescriptionModally() {
        QFETCH(QString, description);
        frmError window;
        QString shown = QStringLiteral("(not shown)");
        whileShown([&](frmError& w) {
            QVERIFY(w.isModal());
            shown = w.findChild<QPlainTextEdit*>(QStringLiteral("Text1"))->toPlainText();
        });
        window.Display(description);
        QCOMPARE(shown, description);
        QVERIFY(!window.isVisible());
    }

    void linkOpensTheAddress() {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
        frmError window;
        window.show();
        QTest::mouseClick(window.findChild<QLabel*>(QStringLiteral("labUrl")), Qt::LeftButton);
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(catcher.opened, QList<QUrl>{QUrl(frmError::DownloadAddress())});
        QVERIFY(window.isVisible()); // the window stays until "&Close"
    }
};

QTEST_MAIN(tst_frmError)
#include "tst_frmError.moc"
