#include "render/ClockRenderer.h"
#include "render/PixelBlend.h"
#include "settings/KOptions.h"
#include "shell/mdlStartup.h"

#include <QtTest>
#include <array>
#include <functional>

namespace {

// The client sizes the clock's size menu offers.
constexpr std::array<int, 5> MenuSizes = {64, 96, 128, 192, 256};

QImage busyPicture(int size, int seed, QImage::Format format = QImage::Format_RGB32) {
    QImage img(size, size, format);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            img.setPixel(x, y,
                         qRgba((x * 7 + seed) % 256, (y * 3 + seed * 5) % 256,
                               ((x ^ y) * 5 + seed) % 256, ((x + y) % 5 == 0) ? 0 : 255));
    return img;
}

// FNV-1a over the frame's pixels, row by row, added to `hash`.
void addFrame(quint64& hash, const QImage& frame) {
    for (int y = 0; y < frame.height(); ++y) {
        const uchar* p = frame.constScanLine(y);
        for (qsizetype i = 0; i < qsizetype(frame.width()) * 4; ++i) {
            hash ^= p[i];
            hash *= 0x100000001b3ull;
        }
    }
}

// A stretch of running clock: from `start`, one frame a second; before each frame, `change`
// sets up what that frame shows (the face, colours, widths), as the window or the style
// editor would between frames.
struct Run {
    const char* name;
    QTime start;
    int frames;
    std::function<void(ClockRenderer&, int size, int frame)> change;
};

void fitted(ClockRenderer& r, const QImage& picture) {
    if (r.ImgClk.cacheKey() == picture.cacheKey())
        return;
    r.ImgClk = picture;
    r.RecalcImage(true);
}

const QImage& opaqueFace() {
    static const QImage face = busyPicture(300, 0);
    return face;
}
const QImage& otherFace() {
    static const QImage face = busyPicture(300, 9);
    return face;
}
const QImage& seeThroughFace() {
    static const QImage face = busyPicture(200, 4, QImage::Format_ARGB32);
    return face;
}

QList<Run> runs() {
    return {
        // Through a minute and an hour; a wide second hand from frame 40.
        {"opaque face", QTime(9, 58, 50), 75,
         [](ClockRenderer& r, int, int frame) {
             Options().SW = frame < 40 ? 2 : 5;
             fitted(r, opaqueFace());
         }},
        // A face with see-through pixels, thin hands of the style editor, a new face and
        // new colours half way.
        {"see-through face", QTime(3, 14, 40), 45,
         [](ClockRenderer& r, int, int frame) {
             r.useWidths(3, 2, 1);
             fitted(r, frame < 25 ? seeThroughFace() : otherFace());
             r.SecondsRgb = frame < 30 ? ColorBytes{250, 0, 120} : ColorBytes{0, 255, 255};
         }},
        // A desktop capture of the client size taken as it is, past midnight.
        {"desktop capture", QTime(23, 59, 45), 30,
         [](ClockRenderer& r, int size, int) {
             if (r.ImgClk.size() != QSize(size, size)) {
                 r.ImgClk = busyPicture(size, 2);
                 r.RecalcImage(false);
             }
         }},
    };
}

// Every frame of the runs above, at every size, hashed per run and size. The frames are the
// clock's as it drew them whole for each frame (face, hour, minute and second hand in turn);
// a change here changes what the clock shows.
struct Expected {
    const char* run;
    int size;
    quint64 hash;
};
constexpr Expected ExpectedFrames[] = {
    {"opaque face", 64, 0x2b223ba8ef349d97ull},
    {"opaque face", 96, 0x7324c938b09e2a2cull},
    {"opaque face", 128, 0x124b1cfb7b29e0d8ull},
    {"opaque face", 192, 0x26237dfba9a9deecull},
    {"opaque face", 256, 0x384cd31d47e772a6ull},
    {"see-through face", 64, 0xec1228ae1619371aull},
    {"see-through face", 96, 0xafd1873c2f16bd23ull},
    {"see-through face", 128, 0xe698ba0d68d4c70bull},
    {"see-through face", 192, 0x26a6a51c7e47d57dull},
    {"see-through face", 256, 0xf7827878671905b8ull},
    {"desktop capture", 64, 0x4f6622dbffb5c8e7ull},
    {"desktop capture", 96, 0xc8d7f4f8e65e0f6dull},
    {"desktop capture", 128, 0x675eea51fef3dc89ull},
    {"desktop capture", 192, 0x360c372b9cff0471ull},
    {"desktop capture", 256, 0x9171d06bd6ae1a09ull},
};

quint64 expectedHash(const QString& run, int size) {
    for (const Expected& e : ExpectedFrames)
        if (run == QLatin1String(e.run) && size == e.size)
            return e.hash;
    return 0;
}

void prepare(ClockRenderer& r, int size) {
    r.HourRgb = {30, 40, 200};
    r.MinuteRgb = {10, 200, 10};
    r.SecondsRgb = {250, 0, 120};
    r.setClientSize(QSize(size, size));
}

} // namespace

class tst_RunningFrames : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        Options().Defaults();
        Options().StyleFile = QString();
    }

    // The running clock draws each frame over the previous one, around the hands only. Second
    // by second, with kept second hand positions and without, every frame must equal the
    // same frame drawn whole by a new renderer and the frames known to be right; and the
    // changed rows must be each row's first and last pixel that differs from the previous
    // frame, inside the changed rectangles.
    // Where the processor has AVX2, each case runs with it and with the plain code.
    void runningEqualsWhole_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("keep");
        QTest::addColumn<bool>("plain");
        QList<bool> plainToo = {false};
#if defined(PIXELBLEND_AVX2)
        if (PixelBlend::hasAvx2())
            plainToo << true;
#endif
        for (int size : MenuSizes)
            for (bool keep : {false, true})
                for (bool plain : plainToo)
                    QTest::addRow("%d %s%s", size, keep ? "kept" : "drawn", plain ? " plain" : "")
                        << size << keep << plain;
    }
    void runningEqualsWhole() {
        QFETCH(int, size);
        QFETCH(bool, keep);
        QFETCH(bool, plain);
#if defined(PIXELBLEND_AVX2)
        PixelBlend::avx2Allowed() = !plain;
        const auto restore = qScopeGuard([] { PixelBlend::avx2Allowed() = true; });
#else
        Q_UNUSED(plain);
#endif
        for (const Run& run : runs()) {
            ClockRenderer running;
            running.keepHandPositions(keep);
            prepare(running, size);
            quint64 hash = 0xcbf29ce484222325ull;
            QImage previous;
            for (int frame = 0; frame < run.frames; ++frame) {
                const QTime t = run.start.addSecs(frame);
                const QString where =
                    QString("%1 %2 frame %3").arg(run.name, t.toString("HH:mm:ss")).arg(frame);
                const qint64 faceBefore = running.ScaledFace.cacheKey();
                run.change(running, size, frame);
                const bool newFace = running.ScaledFace.cacheKey() != faceBefore;
                QVERIFY2(running.Render(t), qPrintable(where));

                ClockRenderer whole;
                prepare(whole, size);
                run.change(whole, size, frame);
                QVERIFY(whole.Render(t));
                QVERIFY2(running.backing() == whole.backing(), qPrintable(where));
                addFrame(hash, running.backing());

                const QImage& now = running.backing();
                const RowSpans& rows = running.lastChangedRows();
                const QRegion region = running.lastChangedRegion();
                for (int y = 0; !previous.isNull() && !newFace && y < size; ++y) {
                    const auto* was = reinterpret_cast<const quint32*>(previous.constScanLine(y));
                    const auto* is = reinterpret_cast<const quint32*>(now.constScanLine(y));
                    int lo = INT_MAX, hi = INT_MIN;
                    for (int x = 0; x < size; ++x)
                        if (was[x] != is[x]) {
                            lo = std::min(lo, x);
                            hi = std::max(hi, x);
                            QVERIFY2(region.contains(QPoint(x, y)), qPrintable(where));
                        }
                    const bool listed = y >= rows.first && y < rows.end;
                    QCOMPARE(listed ? rows.lo[size_t(y)] : INT_MAX, lo);
                    QCOMPARE(listed ? rows.hi[size_t(y)] : INT_MIN, hi);
                }
                previous = now.copy();
            }
            QVERIFY2(hash == expectedHash(run.name, size),
                     qPrintable(QString("%1 at %2: 0x%3")
                                    .arg(run.name)
                                    .arg(size)
                                    .arg(hash, 16, 16, QLatin1Char('0'))));
        }
    }

    // A running clock holds its backing and its face, and of the face with the hour and
    // minute hands only the rows those hands cover: no second picture of the client size.
    void holdsNoSecondPicture_data() {
        QTest::addColumn<int>("size");
        for (int size : MenuSizes)
            QTest::addRow("%d", size) << size;
    }
    void holdsNoSecondPicture() {
        QFETCH(int, size);
        ClockRenderer r;
        prepare(r, size);
        fitted(r, opaqueFace());
        // Through a new minute and a new hour, so that both hands' rows are kept anew.
        for (int frame = 0; frame < 20; ++frame)
            QVERIFY(r.Render(QTime(9, 59, 50).addSecs(frame)));
        const size_t picture = size_t(size) * size * 4;
        const size_t faces = size_t(r.ImgClk.sizeInBytes()) + size_t(r.ScaledFace.sizeInBytes());
        QVERIFY(r.heldBytes() > faces + picture);
        QVERIFY2(r.heldBytes() - faces - picture < picture,
                 qPrintable(QString::number(r.heldBytes() - faces - picture)));
    }
};

QTEST_MAIN(tst_RunningFrames)
#include "tst_RunningFrames.moc"
