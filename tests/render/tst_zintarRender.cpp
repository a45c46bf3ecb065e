// zintar-render, run as style authors run it, over every built-in style.

#include "TestSupport.h"
#include "render/modCopyBitmap.h"
#include "settings/KSkin.h"
#include "shell/mdlStartup.h"

#include <QProcess>
#include <QtTest>
#include <cmath>

namespace {

// How close the 3 x 3 pixels around p come to a colour value (largest channel difference).
int nearest(const QImage& img, QPoint p, int32_t value) {
    int best = 255;
    for (int y = p.y() - 1; y <= p.y() + 1; ++y)
        for (int x = p.x() - 1; x <= p.x() + 1; ++x)
            if (img.valid(x, y)) {
                const QRgb c = img.pixel(x, y);
                best = std::min(best, std::max({std::abs(qRed(c) - (value & 255)),
                                                std::abs(qGreen(c) - (value >> 8 & 255)),
                                                std::abs(qBlue(c) - (value >> 16 & 255))}));
            }
    return best;
}

} // namespace

class tst_zintarRender : public QObject {
    Q_OBJECT

    QString out;

    int render(const QStringList& arguments) {
        QFile::remove(out);
        QProcess p;
        p.start(ProgramFolder() + "/zintar-render", arguments + QStringList{"-o", out});
        return p.waitForFinished(60000) ? p.exitCode() : -1;
    }

private Q_SLOTS:
    void initTestCase() {
        out = TestSupport::scratchFolder("zintar-render") + "/frame.png";
        LoadSkinFile(ProgramFolder() + "/DefaultSkins.ini", DefaultSkins());
        QVERIFY(DefaultSkins().size() >= 12);
        const KSkin& standard = *DefaultSkins().at(9); // the default StyleIdx 9
        QCOMPARE(QFileInfo(LocalPath(standard.FileName)).fileName(), "watch2.bmp");
        QCOMPARE(QList<int>({standard.Hour, standard.Minute, standard.Second, standard.HDM,
                             standard.MDM, standard.SDM}),
                 QList<int>({0x333333, 0x666666, 0x4040FF, 8, 4, 2}));
    }

    void handsWhereTheTimeSays_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("size");
        for (int i = 1; i <= DefaultSkins().size(); ++i)
            for (int size : {64, 128, 256})
                QTest::addRow("%s %d", qPrintable(DefaultSkins().at(i - 1)->Name), size)
                    << i << size;
    }
    void handsWhereTheTimeSays() {
        QFETCH(int, style);
        QFETCH(int, size);
        const KSkin& skin = *DefaultSkins().at(style - 1);
        const QTime t = size == 128 ? QTime(4, 41, 12) : QTime(10, 8, 37);
        QCOMPARE(render({"--style", QString::number(style), "--size", QString::number(size),
                         "--time", t.toString()}),
                 0);
        const QImage image(out);
        QCOMPARE(image.size(), QSize(size, size));
        QCOMPARE(QImage(LocalPath(skin.FileName)).size(), QSize(256, 256));
        // The control: the same face fitted the same way, without hands.
        const QImage bare = modCopyBitmap::CopyBitmap(QImage(LocalPath(skin.FileName)), 0, size,
                                                      size, 0, modCopyBitmap::HALFTONE);
        // A point half-way out on each hand, clear of the centre and of the numerals.
        const double r = size * 0.375 * 0.55, c = std::nearbyint(size * 0.5);
        const struct {
            double angle, length;
            int32_t colour;
            bool drawn;
        } hands[] = {{(t.hour() + t.minute() / 60.0 - 3) / 6, 0.75 * r, skin.Hour, true},
                     {(t.minute() + t.second() / 60.0 - 15) / 30, r, skin.Minute, true},
                     {(t.second() - 15) / 30.0, 1.1 * r, skin.Second, skin.SDM > 0}};
        for (const auto& hand : hands) {
            const QPoint at(int(std::lround(c + std::cos(hand.angle * 3.14159) * hand.length)),
                            int(std::lround(c + std::sin(hand.angle * 3.14159) * hand.length)));
            const int onHand = nearest(image, at, hand.colour),
                      onFace = nearest(bare, at, hand.colour);
            QVERIFY2(
                !hand.drawn || onHand <= onFace / 2 + 8,
                qPrintable(
                    QString("hand %1: %2 against %3").arg(&hand - hands).arg(onHand).arg(onFace)));
        }
    }

    void badArgumentIsRefused() {
        QCOMPARE(render({"--time", "25:00"}), 2);
        QVERIFY(!QFile::exists(out));
    }
};

QTEST_GUILESS_MAIN(tst_zintarRender)
#include "tst_zintarRender.moc"
