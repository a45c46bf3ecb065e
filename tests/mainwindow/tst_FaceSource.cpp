#include "TestSupport.h"
#include "mainwindow/FaceSource.h"
#include "render/ClockRenderer.h"
#include "render/modOLEPicture.h"

#include <QFile>
#include <QTest>

namespace {
// A face whose every fit shows which picture it came from.
QString facePicture(const QString& folder, const QString& name, QColor colour) {
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(colour);
    picture.setPixel(10, 20, qRgb(1, 2, 3));
    const QString path = folder + "/" + name;
    return picture.save(path, "BMP") ? path : QString();
}

// What the clock window does: load a style's picture, then fit it to the window's size.
void loadStyle(ClockRenderer& clock, FaceSource& source, const QString& file) {
    const qint64 before = clock.ImgClk.cacheKey();
    const QImage picture = modOLEPicture::LoadPictureFile(file);
    if (!picture.isNull())
        clock.ImgClk = picture;
    source.loaded(clock, before, file);
}
// A fit, and the picture let go once the clock has settled.
void fit(ClockRenderer& clock, FaceSource& source, QSize size) {
    clock.setClientSize(size);
    source.restore(clock);
    clock.RecalcImage(true);
    source.release(clock);
}
QImage freshFit(const QString& file, QSize size) {
    ClockRenderer clock;
    clock.ImgClk = modOLEPicture::LoadPictureFile(file);
    clock.setClientSize(size);
    clock.RecalcImage(true);
    return clock.ScaledFace;
}
} // namespace

class tst_FaceSource : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The picture is let go after each fit, and each later fit, style change or failed style
    // change gives the face a fit straight from the file would.
    void fitsAsFromTheFile() {
        const QString folder = TestSupport::scratchFolder("facesource");
        const QString red = facePicture(folder, "red.bmp", Qt::red);
        const QString blue = facePicture(folder, "blue.bmp", Qt::blue);
        ClockRenderer clock;
        FaceSource source;
        loadStyle(clock, source, red);
        fit(clock, source, QSize(40, 40));
        QVERIFY(clock.ImgClk.isNull());
        QCOMPARE(source.file(), red);
        QCOMPARE(clock.ScaledFace, freshFit(red, QSize(40, 40)));

        fit(clock, source, QSize(100, 100)); // a new size: read again
        QCOMPARE(clock.ScaledFace, freshFit(red, QSize(100, 100)));
        QVERIFY(clock.ImgClk.isNull());

        loadStyle(clock, source, folder + "/missing.bmp"); // the last picture stays
        fit(clock, source, QSize(30, 30));
        QCOMPARE(clock.ScaledFace, freshFit(red, QSize(30, 30)));
        QCOMPARE(source.file(), red);

        loadStyle(clock, source, blue);
        fit(clock, source, QSize(30, 30));
        QCOMPARE(clock.ScaledFace, freshFit(blue, QSize(30, 30)));
        QCOMPARE(source.file(), blue);
    }

    // A file gone since the last fit: the fitted face is kept and fitted from from then on.
    void keepsTheFittedFaceWhenTheFileIsGone() {
        const QString folder = TestSupport::scratchFolder("facesource-gone");
        const QString red = facePicture(folder, "red.bmp", Qt::red);
        ClockRenderer clock;
        FaceSource source;
        loadStyle(clock, source, red);
        fit(clock, source, QSize(64, 64));
        const QImage fitted = clock.ScaledFace;
        QVERIFY(QFile::remove(red));
        fit(clock, source, QSize(64, 64));
        QCOMPARE(clock.ScaledFace, fitted);
        QVERIFY(!clock.ImgClk.isNull()); // kept: no file to read it from any more
        QVERIFY(source.file().isEmpty());
    }

    // A picture of no file (a desktop capture) is never let go.
    void keepsAPictureOfNoFile() {
        ClockRenderer clock;
        FaceSource source;
        clock.ImgClk = QImage(32, 32, QImage::Format_RGB32);
        clock.ImgClk.fill(Qt::green);
        source.forget();
        fit(clock, source, QSize(16, 16));
        QVERIFY(!clock.ImgClk.isNull());
    }
};

QTEST_MAIN(tst_FaceSource)
#include "tst_FaceSource.moc"
