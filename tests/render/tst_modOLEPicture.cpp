#include "TestSupport.h"
#include "render/modOLEPicture.h"

#include <QTest>

// Picture files by name: the formats Qt reads itself straight by their suffix, the rest and
// misnamed files through the plugins, a damaged file as no picture.
class tst_modOLEPicture : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadPictureFile_data() {
        QTest::addColumn<QByteArray>("format"); // as written
        QTest::addColumn<QString>("name");      // as named
        QTest::newRow("bmp") << QByteArray("BMP") << "face.bmp";
        QTest::newRow("upper-case suffix") << QByteArray("BMP") << "FACE.BMP";
        QTest::newRow("png") << QByteArray("PNG") << "face.png";
        QTest::newRow("jpeg, by plugin") << QByteArray("JPG") << "face.jpg";
        QTest::newRow("a PNG named .bmp") << QByteArray("PNG") << "named.bmp";
        QTest::newRow("a BMP without suffix") << QByteArray("BMP") << "face";
    }
    void loadPictureFile() {
        QFETCH(QByteArray, format);
        QFETCH(QString, name);
        QImage face(40, 30, QImage::Format_RGB32);
        face.fill(QColor(200, 40, 40));
        const QString path = TestSupport::scratchFolder("pictures") + "/" + name;
        QVERIFY(face.save(path, format.constData()));
        const QImage read = modOLEPicture::LoadPictureFile(path);
        QCOMPARE(read.size(), face.size());
        const QColor c = read.pixelColor(20, 15);
        QVERIFY2(qAbs(c.red() - 200) < 8 && qAbs(c.green() - 40) < 8, qPrintable(c.name()));
    }

    void damagedOrMissing() {
        const QString dir = TestSupport::scratchFolder("damaged");
        QVERIFY(TestSupport::writeFile(dir + "/half.bmp", QByteArray("BM\x36\x00\x00", 5)));
        QVERIFY(modOLEPicture::LoadPictureFile(dir + "/half.bmp").isNull());
        QVERIFY(modOLEPicture::LoadPictureFile(dir + "/none.png").isNull());
    }
};

QTEST_GUILESS_MAIN(tst_modOLEPicture)
#include "tst_modOLEPicture.moc"
