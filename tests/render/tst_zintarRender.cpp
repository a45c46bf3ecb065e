// zintar-render, run as style authors run it, over every built-in style.

#include "TestSupport.h"
#include "render/modCopyBitmap.h"
#include "settings/KSkin.h"
#include "shell/mdlStartup.h"

#include <QProcess>
#include <QtTest>
#include <cmath>

namespace {

struct Run {
    int exitCode = -1;
    QImage image;
    QString errors;
};

Run render(const QStringList& arguments, const QString& output) {
    QProcess p;
    p.start(ProgramFolder() + "/zintar-render", arguments + QStringList{"-o", output});
    Run run;
    if (p.waitForFinished(60000))
        run = {p.exitCode(), QImage(output), QString::fromLocal8Bit(p.readAllStandardError())};
    return run;
}

// How close the 3 x 3 pixels around p come to a colour value (largest channel difference).
int nearest(const QImage& img, QPoint p, int32_t value) {
    const int want[3] = {value & 255, (value >> 8) & 255, (value >> 16) & 255};
    int best = 255;
    for (int y = p.y() - 1; y <= p.y() + 1; ++y)
        for (int x = p.x() - 1; x <= p.x() + 1; ++x)
            if (img.valid(x, y)) {
                const QRgb c = img.pixel(x, y);
                best = std::min(
                    best, std::max({std::abs(qRed(c) - want[0]), std::abs(qGreen(c) - want[1]),
                                    std::abs(qBlue(c) - want[2])}));
            }
    return best;
}

} // namespace

class tst_zintarRender : public QObject {
    Q_OBJECT

    QString scratch;

private Q_SLOTS:
    void initTestCase() {
        scratch = TestSupport::scratchFolder("zintar-render");
        LoadSkinFile(ProgramFolder() + "/DefaultSkins.ini", DefaultSkins());
    }

    void catalogue() {
        QVERIFY(DefaultSkins().size() >= 12);
        const KSkin& standard = *DefaultSkins().at(9); // the default StyleIdx 9
        QCOMPARE(QFileInfo(LocalPath(standard.FileName)).fileName(), "watch2.bmp");
        QCOMPARE(QList<int>({standard.Hour, standard.Minute, standard.Second, standard.HDM,
                             standard.MDM, standard.SDM}),
                 QList<int>({0x333333, 0x666666, 0x4040FF, 8, 4, 2}));
        QSet<QString> names;
        for (const KSkinPtr& skin : std::as_const(DefaultSkins())) {
            QCOMPARE(QImage(LocalPath(skin->FileName)).size(), QSize(256, 256));
            names.insert(skin->Name);
        }
        QCOMPARE(names.size(), DefaultSkins().size());
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
        const Run run = render({"--style", QString::number(style), "--size", QString::number(size),
                                "--time", t.toString()},
                               scratch + "/frame.png");
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
        QCOMPARE(run.image.size(), QSize(size, size));
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
            if (!hand.drawn)
                continue;
            const QPoint at(int(std::lround(c + std::cos(hand.angle * 3.14159) * hand.length)),
                            int(std::lround(c + std::sin(hand.angle * 3.14159) * hand.length)));
            const int onHand = nearest(run.image, at, hand.colour);
            const int onFace = nearest(bare, at, hand.colour);
            QVERIFY2(
                onHand <= onFace / 2 + 8,
                qPrintable(
                    QString("hand %1: %2 against %3").arg(&hand - hands).arg(onHand).arg(onFace)));
        }
    }

    void ownFaceColoursAndWidths() {
        QImage grey(300, 200, QImage::Format_RGB32);
        grey.fill(qRgb(128, 128, 128));
        const QString face = scratch + "/grey face.png";
        QVERIFY(grey.save(face));
        const Run run = render({"--face", face, "--hour", "FF", "--minute", "FF00", "--widths",
                                "6,3,0", "--time", "03:00", "--size", "200x100"},
                               scratch + "/own.png");
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.image.size(), QSize(200, 100));
        QCOMPARE(run.image.pixel(5, 5), qRgb(128, 128, 128));    // the face, stretched
        QCOMPARE(run.image.pixel(130, 50), qRgb(255, 0, 0));     // hour hand, red, to the right
        QCOMPARE(run.image.pixel(100, 30), qRgb(0, 255, 0));     // minute hand, green, up
        QCOMPARE(run.image.pixel(100, 85), qRgb(128, 128, 128)); // no second hand's tail
    }

    void refusals_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("size text") << QStringList{"--size", "big"} << 2;
        QTest::newRow("time") << QStringList{"--time", "25:00"} << 2;
        QTest::newRow("missing face") << QStringList{"--face", "/nonexistent/face.bmp"} << 1;
    }
    void refusals() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        const QString out = scratch + "/refused.png";
        QFile::remove(out);
        const Run run = render(arguments, out);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY(!run.errors.isEmpty());
        QVERIFY(!QFile::exists(out));
    }
};

QTEST_GUILESS_MAIN(tst_zintarRender)
#include "tst_zintarRender.moc"
