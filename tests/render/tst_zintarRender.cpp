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
    p.start(ProgramFolder() + QStringLiteral("/zintar-render"),
            arguments + QStringList{QStringLiteral("-o"), output});
    Run run;
    if (!p.waitForFinished(60000))
        return run;
    run.exitCode = p.exitCode();
    run.errors = QString::fromLocal8Bit(p.readAllStandardError());
    run.image.load(output);
    return run;
}

// Largest channel difference.
int distance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

// How close the 3 x 3 pixels around p come to colour.
int nearest(const QImage& img, QPoint p, QRgb colour) {
    int best = 255;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (img.valid(p.x() + dx, p.y() + dy))
                best = std::min(best, distance(img.pixel(p.x() + dx, p.y() + dy), colour));
    return best;
}

QRgb screenColour(int32_t value) {
    ColorBytes b;
    ColorToRgb(value, b);
    return qRgb(b.Red, b.Green, b.Blue);
}

// A point half-way out on each hand, clear of the centre and of the numerals.
struct Probe {
    QPoint at;
    QRgb colour;
    const char* hand;
};

QList<Probe> probes(const QTime& t, int size, const KSkin& skin) {
    const double r = size * 0.375;
    const double c = std::nearbyint(size * 0.5);
    const double hour = ((t.hour() + t.minute() / 60.0) - 3) / 6 * 3.14159;
    const double minute = ((t.minute() + t.second() / 60.0) - 15) / 30 * 3.14159;
    const double second = (t.second() - 15) / 30.0 * 3.14159;
    auto point = [&](double angle, double length) {
        return QPoint(int(std::lround(c + std::cos(angle) * length)),
                      int(std::lround(c + std::sin(angle) * length)));
    };
    QList<Probe> list{{point(hour, 0.75 * r * 0.55), screenColour(skin.Hour), "hour"},
                      {point(minute, r * 0.55), screenColour(skin.Minute), "minute"}};
    if (skin.SDM > 0)
        list.append({point(second, 1.1 * r * 0.55), screenColour(skin.Second), "second"});
    return list;
}

} // namespace

class tst_zintarRender : public QObject {
    Q_OBJECT

private:
    QString scratch;

private Q_SLOTS:
    void initTestCase() {
        scratch = TestSupport::scratchFolder(QStringLiteral("zintar-render"));
        LoadSkinFile(ProgramFolder() + QStringLiteral("/DefaultSkins.ini"), DefaultSkins());
    }

    void catalogue() {
        QVERIFY(DefaultSkins().size() >= 12);
        const KSkin& standard = *DefaultSkins().at(9); // the default StyleIdx 9
        QCOMPARE(QFileInfo(LocalPath(standard.FileName)).fileName(), QStringLiteral("watch2.bmp"));
        QCOMPARE(standard.Hour, 0x333333);
        QCOMPARE(standard.Minute, 0x666666);
        QCOMPARE(standard.Second, 0x4040FF);
        QCOMPARE(standard.HDM, 8);
        QCOMPARE(standard.MDM, 4);
        QCOMPARE(standard.SDM, 2);
        QSet<QString> names;
        for (const KSkinPtr& skin : std::as_const(DefaultSkins())) {
            QVERIFY2(FileExists(skin->FileName), qPrintable(skin->FileName));
            QImage face(LocalPath(skin->FileName));
            QCOMPARE(face.size(), QSize(256, 256));
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
        const QTime time = size == 128 ? QTime(4, 41, 12) : QTime(10, 8, 37);
        const Run run =
            render({QStringLiteral("--style"), QString::number(style), QStringLiteral("--size"),
                    QString::number(size), QStringLiteral("--time"), time.toString()},
                   scratch + QStringLiteral("/frame.png"));
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
        QCOMPARE(run.image.size(), QSize(size, size));
        // The control: the same face fitted the same way, without hands.
        const QImage bare = modCopyBitmap::CopyBitmap(QImage(LocalPath(skin.FileName)), 0, size,
                                                      size, 0, modCopyBitmap::HALFTONE);
        for (const Probe& probe : probes(time, size, skin)) {
            const int onHand = nearest(run.image, probe.at, probe.colour);
            const int onFace = nearest(bare, probe.at, probe.colour);
            QVERIFY2(onHand <= onFace / 2 + 8,
                     qPrintable(QStringLiteral("%1 hand at %2,%3: %4 against %5")
                                    .arg(QLatin1String(probe.hand))
                                    .arg(probe.at.x())
                                    .arg(probe.at.y())
                                    .arg(onHand)
                                    .arg(onFace)));
        }
    }

    void ownFaceColoursAndWidths() {
        QImage grey(300, 200, QImage::Format_RGB32);
        grey.fill(qRgb(128, 128, 128));
        const QString face = scratch + QStringLiteral("/grey face.png");
        QVERIFY(grey.save(face));
        const Run run =
            render({QStringLiteral("--face"), face, QStringLiteral("--hour"), QStringLiteral("FF"),
                    QStringLiteral("--minute"), QStringLiteral("FF00"), QStringLiteral("--widths"),
                    QStringLiteral("6,3,0"), QStringLiteral("--time"), QStringLiteral("03:00"),
                    QStringLiteral("--size"), QStringLiteral("200x100")},
                   scratch + QStringLiteral("/own.png"));
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
        QTest::newRow("size") << QStringList{QStringLiteral("--size"), QStringLiteral("0")} << 2;
        QTest::newRow("size text")
            << QStringList{QStringLiteral("--size"), QStringLiteral("big")} << 2;
        QTest::newRow("style 0") << QStringList{QStringLiteral("--style"), QStringLiteral("0")}
                                 << 2;
        QTest::newRow("style past the end")
            << QStringList{QStringLiteral("--style"), QStringLiteral("999")} << 2;
        QTest::newRow("colour") << QStringList{QStringLiteral("--hour"), QStringLiteral("red")}
                                << 2;
        QTest::newRow("widths") << QStringList{QStringLiteral("--widths"), QStringLiteral("8,4")}
                                << 2;
        QTest::newRow("time") << QStringList{QStringLiteral("--time"), QStringLiteral("25:00")}
                              << 2;
        QTest::newRow("missing face")
            << QStringList{QStringLiteral("--face"), QStringLiteral("/nonexistent/face.bmp")} << 1;
    }
    void refusals() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        const QString out = scratch + QStringLiteral("/refused.png");
        QFile::remove(out);
        const Run run = render(arguments, out);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY(!run.errors.isEmpty());
        QVERIFY(!QFile::exists(out));
    }
};

QTEST_GUILESS_MAIN(tst_zintarRender)
#include "tst_zintarRender.moc"
