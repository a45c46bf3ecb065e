#include "TestSupport.h"
#include "render/ClockRenderer.h"
#include "shell/mdlStartup.h"
#include "styleeditor/StylePreview.h"

#include <QTest>

namespace {

// A face with detail everywhere, so that a stretch or a blend that differs shows.
QString writeFace(const QString& name, QSize size) {
    QImage face(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            face.setPixel(x, y, qRgb((x * 7) & 0xff, (y * 5) & 0xff, ((x + y) * 3) & 0xff));
    const QString path = TestSupport::scratchFolder("preview") + QLatin1Char('/') + name;
    face.save(path);
    return path;
}

PreviewHands hands(int hw, int mw, int sw, bool seconds) {
    PreviewHands h;
    h.HCol = 0x0000FF;
    h.MCol = 0x00FF00;
    h.SCol = 0xFF00FF;
    h.HW = int16_t(hw);
    h.MW = int16_t(mw);
    h.SW = int16_t(sw);
    h.Seconds = seconds;
    return h;
}

} // namespace

Q_DECLARE_METATYPE(PreviewHands)

class tst_StylePreview : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The preview is the clock's own frame at R = 96: a 256 x 256 clock drawn by the renderer
    // at the same moment with the same colours and widths has every pixel equal.
    void sameHandsAsTheClock_data() {
        QTest::addColumn<QSize>("faceSize");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<PreviewHands>("h");
        QTest::newRow("15:30:45, design widths")
            << QSize(300, 200) << QTime(15, 30, 45) << hands(6, 4, 2, true);
        QTest::newRow("widest hands, face made larger")
            << QSize(100, 120) << QTime(15, 30, 45) << hands(12, 12, 12, true);
        QTest::newRow("thinnest hands")
            << QSize(256, 256) << QTime(3, 59, 1) << hands(1, 1, 1, true);
        QTest::newRow("no seconds hand")
            << QSize(300, 200) << QTime(15, 30, 45) << hands(6, 4, 9, false);
    }
    void sameHandsAsTheClock() {
        QFETCH(QSize, faceSize);
        QFETCH(QTime, time);
        QFETCH(PreviewHands, h);
        const QString file = writeFace(QStringLiteral("face.png"), faceSize);

        StylePreview preview;
        preview.PreviewTime = QDateTime(QDate(2007, 4, 19), time);
        QVERIFY(preview.LoadFace(file, h));

        ClockRenderer clock;
        clock.ImgClk = StylePreview::LoadPicture(file);
        clock.setClientSize(QSize(256, 256));
        QCOMPARE(clock.HandRadiusX, StylePreview::Radius);
        clock.RecalcImage(true);
        ColorToRgb(h.HCol, clock.HourRgb);
        ColorToRgb(h.MCol, clock.MinuteRgb);
        ColorToRgb(h.SCol, clock.SecondsRgb);
        clock.useWidths(h.HW, h.MW, h.Seconds ? h.SW : 0);
        QVERIFY(clock.Render(time));

        QCOMPARE(preview.shown().size(), QSize(256, 256));
        QCOMPARE(preview.shown().convertToFormat(QImage::Format_RGB32),
                 clock.backing().convertToFormat(QImage::Format_RGB32));
        QVERIFY(preview.shown() != preview.face());
    }

    // Clearing "Seconds" takes the seconds hand away at once; at 15:30:45 it points to
    // 9 o'clock, where no other hand is.
    void secondsHandFollowsTheBox() {
        StylePreview preview;
        preview.PreviewTime = QDateTime(QDate(2007, 4, 19), QTime(15, 30, 45));
        QVERIFY(preview.LoadFace(writeFace(QStringLiteral("f.png"), QSize(256, 256)),
                                 hands(6, 4, 3, true)));
        const QPoint nineOClock(128 - 80, 128);
        QCOMPARE(preview.shown().pixel(nineOClock), qRgb(0xFF, 0x00, 0xFF));
        preview.DrawPreview(hands(6, 4, 3, false));
        QCOMPARE(preview.shown().pixel(nineOClock), preview.face().pixel(nineOClock));
    }

    // The saved picture is the face as shown, without hands, as a BMP file.
    void savedImageHasNoHands() {
        StylePreview preview;
        preview.PreviewTime = QDateTime(QDate(2007, 4, 19), QTime(15, 30, 45));
        QVERIFY(preview.LoadFace(writeFace(QStringLiteral("f.png"), QSize(300, 200)),
                                 hands(6, 4, 2, true)));
        const QString out = TestSupport::scratchFolder("saved") + QStringLiteral("/face.bmp");
        QVERIFY(preview.SaveFace(out));
        QVERIFY(TestSupport::readFile(out).startsWith("BM"));
        const QImage saved(out);
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), preview.face());
        QVERIFY(saved.convertToFormat(QImage::Format_RGB32) != preview.shown());
    }

    // A picture that cannot be loaded adds nothing and changes nothing; the picture numbers
    // of the others run on without a gap.
    void unreadablePictures() {
        StylePreview preview;
        const QString good = writeFace(QStringLiteral("g.png"), QSize(50, 50));
        const QString bad = TestSupport::scratchFolder("bad") + QStringLiteral("/bad.bmp");
        TestSupport::writeFile(bad, "not a picture");
        QCOMPARE(preview.AddThumb(good), 1);
        QCOMPARE(preview.AddThumb(bad), 0);
        QCOMPARE(preview.AddThumb(bad + QStringLiteral("missing")), 0);
        QCOMPARE(preview.AddThumb(good), 2);
        QCOMPARE(preview.FacePics.size(), 2);
        QCOMPARE(preview.Thumbs.size(), 3); // after the built-in image
        QCOMPARE(preview.Thumbs.at(2).size(), QSize(64, 64));
        QCOMPARE(preview.FacePics.at(0).width(), 50); // full size kept

        QVERIFY(preview.LoadFace(good, hands(6, 4, 2, true)));
        const QImage before = preview.shown();
        QVERIFY(!preview.LoadFace(bad, hands(6, 4, 2, true)));
        QCOMPARE(preview.shown(), before);
    }
};

QTEST_GUILESS_MAIN(tst_StylePreview)
#include "tst_StylePreview.moc"
