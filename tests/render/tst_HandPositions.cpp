#include "render/ClockRenderer.h"
#include "render/RowBands.h"
#include "render/SecondHandCache.h"
#include "settings/KOptions.h"
#include "shell/mdlStartup.h"

#include <QtTest>
#include <array>

namespace {

// The client sizes the clock's size menu offers.
constexpr std::array<int, 5> MenuSizes = {64, 96, 128, 192, 256};

QImage busyPicture(int size, int seed) {
    QImage img(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            img.setPixel(
                x, y,
                qRgb((x * 7 + seed) % 256, (y * 3 + seed * 5) % 256, ((x ^ y) * 5 + seed) % 256));
    return img;
}

void prepare(ClockRenderer& r, int size, const QImage& picture, ColorBytes second) {
    r.ImgClk = picture;
    r.HourRgb = {30, 40, 200};
    r.MinuteRgb = {10, 200, 10};
    r.SecondsRgb = second;
    r.setClientSize(QSize(size, size));
    r.RecalcImage(true);
}

// Row y's span, or (INT_MAX, INT_MIN) for a row outside first..end.
QPair<int, int> span(const RowSpans& rows, int y) {
    if (y < rows.first || y >= rows.end)
        return {INT_MAX, INT_MIN};
    return {rows.lo[size_t(y)], rows.hi[size_t(y)]};
}

// Each row's first and last pixel where two pictures differ.
RowSpans differences(const QImage& a, const QImage& b) {
    RowSpans d;
    d.clear(a.height());
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const quint32*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const quint32*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            if (p[x] != q[x])
                d.add(y, x, x);
    }
    return d;
}

bool sameSpans(const RowSpans& a, const RowSpans& b, int rows) {
    for (int y = 0; y < rows; ++y)
        if (span(a, y) != span(b, y))
            return false;
    return true;
}

SecondHandCache::Shape shapeOn(const QImage& img, int16_t width, float radius = 0) {
    const float r = radius > 0 ? radius : float(img.width() * 0.375);
    return {img.size(), img.bytesPerLine() / 4, QPoint(img.width() / 2, img.height() / 2), r, r,
            width,      ColorBytes{20, 90, 250}};
}

} // namespace

class tst_HandPositions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        Options().Defaults();
        Options().StyleFile = QString();
    }

    // Every position of a kept hand blends into the pixels beneath exactly as drawing it
    // does, with the same rows recorded; so do its later uses, over the same pixels or not.
    void keptPositionsEqualDrawnOnes() {
        // The same pixels beneath twice, then others: a kept result must not outlive them.
        const QImage bases[] = {busyPicture(96, 3), busyPicture(96, 3), busyPicture(96, 4)};
        for (int16_t width : {1, 2, 3, 5, 8}) {
            SecondHandCache cache;
            const SecondHandCache::Shape shape = shapeOn(bases[0], width);
            for (const QImage& base : bases)
                for (int s = 0; s < 60; ++s) {
                    QImage drawn = base.copy(), kept = base.copy();
                    RowSpans drawnRows, keptRows;
                    drawnRows.clear(96);
                    keptRows.clear(96);
                    Surface d(drawn), k(kept);
                    d.trackRows(drawnRows.lo.data(), drawnRows.hi.data());
                    DrawSecondHand(d, shape, s);
                    drawnRows.setRows(d.touched());
                    QVERIFY(cache.draw(k, shape, s, keptRows));
                    QVERIFY(cache.listedPixels(s) > 0);
                    QVERIFY2(drawn == kept,
                             qPrintable(QString("width %1 second %2").arg(width).arg(s)));
                    QVERIFY(sameSpans(drawnRows, keptRows, 96));
                    QCOMPARE(keptRows.first, drawnRows.first);
                    QCOMPARE(keptRows.end, drawnRows.end);
                }
        }
    }

    // A hand that reaches past the picture's edge is not kept: nothing is drawn and the
    // caller draws it. A new colour or size drops the lists made for the old one.
    void edgesAndChanges() {
        QImage img = busyPicture(64, 1);
        const QImage before = img.copy();
        SecondHandCache cache;
        RowSpans rows;
        rows.clear(64);
        Surface dc(img);
        QVERIFY(!cache.draw(dc, shapeOn(img, 2, 40), 15, rows)); // 44 pixels long from 32
        QCOMPARE(img, before);
        QCOMPARE(rows.first, rows.end);
        QCOMPARE(cache.listedPixels(15), -1);

        SecondHandCache::Shape shape = shapeOn(img, 2);
        QVERIFY(cache.draw(dc, shape, 15, rows));
        shape.color = {250, 0, 0};
        rows.clear(64);
        QImage red = before.copy(), expected = before.copy();
        Surface r(red), e(expected);
        QVERIFY(cache.draw(r, shape, 15, rows));
        DrawSecondHand(e, shape, 15);
        QCOMPARE(red, expected);

        QImage small = busyPicture(48, 1); // the old size's offsets would land elsewhere
        QImage smallExpected = small.copy();
        RowSpans smallRows;
        smallRows.clear(48);
        Surface s(small), se(smallExpected);
        QVERIFY(!cache.draw(s, shape, 15, smallRows)); // the picture differs from the shape
        QVERIFY(cache.draw(s, shapeOn(small, 2), 15, smallRows));
        DrawSecondHand(se, shapeOn(small, 2), 15);
        QCOMPARE(small, smallExpected);
    }

    // For every size of the menu, minutes and hours of ticking give the same frames and the
    // same changed rows with kept positions as with every hand drawn; changes of colour,
    // width and face between frames included. The changed rows are each row's first and
    // last pixel that differs from the previous frame.
    void keptFramesEqualDrawnFrames_data() {
        QTest::addColumn<int>("size");
        for (int size : MenuSizes)
            QTest::addRow("%d", size) << size;
    }
    void keptFramesEqualDrawnFrames() {
        QFETCH(int, size);
        ClockRenderer kept, drawn;
        drawn.keepHandPositions(false);
        QImage picture = busyPicture(300, 0);
        for (ClockRenderer* r : {&kept, &drawn})
            prepare(*r, size, picture, {250, 0, 120});
        const QDateTime starts[] = {
            QDateTime(QDate(2026, 3, 14), QTime(9, 58, 30)),
            QDateTime(QDate(2026, 3, 14), QTime(3, 15, 0)),
            QDateTime(QDate(2026, 3, 14), QTime(17, 44, 50)),
        };
        QImage previous;
        int frame = 0;
        for (const QDateTime& start : starts) {
            for (int i = 0; i < 95; ++i, ++frame) {
                switch (frame) { // between frames, as the style editor or a new style does
                case 40:
                    Options().SW = 5; // a solid body with smoothed edges
                    break;
                case 70:
                    for (ClockRenderer* r : {&kept, &drawn})
                        r->SecondsRgb = {0, 255, 255};
                    break;
                case 100:
                    picture = busyPicture(300, 9);
                    for (ClockRenderer* r : {&kept, &drawn}) {
                        r->ImgClk = picture;
                        r->RecalcImage(true);
                    }
                    break;
                case 130:
                    for (ClockRenderer* r : {&kept, &drawn})
                        r->useWidths(3, 2, 1);
                    break;
                case 200:
                    for (ClockRenderer* r : {&kept, &drawn})
                        r->useOptions();
                    Options().SW = 2;
                    break;
                }
                const QDateTime t = start.addSecs(i);
                QVERIFY(kept.Render(t));
                QVERIFY(drawn.Render(t));
                const QString where = t.toString("HH:mm:ss") + QString(" frame %1").arg(frame);
                QVERIFY2(kept.backing() == drawn.backing(), qPrintable(where));
                QVERIFY2(sameSpans(kept.lastChangedRows(), drawn.lastChangedRows(), size),
                         qPrintable(where));
                QVERIFY(kept.lastChangedRects() == drawn.lastChangedRects());
                if (!previous.isNull() && frame != 100) // a new face repaints all
                    QVERIFY2(sameSpans(kept.lastChangedRows(),
                                       differences(previous, kept.backing()), size),
                             qPrintable(where));
                previous = kept.backing().copy();
            }
        }
    }

    // Neighbouring bands of a steep hand become one rectangle; parts far apart stay apart;
    // every pixel of the parts stays covered.
    void mergedRectangles() {
        std::vector<QRect> bands, merged;
        for (int top = 0; top < 64; top += 8)
            bands.push_back(QRect(30 + top / 16, top, 4, 8));
        MergeRects(bands.data(), bands.size(), 256, merged);
        QCOMPARE(merged.size(), size_t(1));
        QCOMPARE(merged[0], QRect(30, 0, 7, 64));

        const std::vector<QRect> apart = {QRect(0, 0, 10, 8), QRect(), QRect(100, 8, 10, 8),
                                          QRect(101, 16, 10, 8), QRect(0, 200, 4, 4)};
        merged.clear();
        MergeRects(apart.data(), apart.size(), 32, merged);
        QCOMPARE(merged, (std::vector<QRect>{QRect(0, 0, 10, 8), QRect(100, 8, 11, 16),
                                             QRect(0, 200, 4, 4)}));
        merged.clear();
        MergeRects(apart.data(), 0, 32, merged);
        QVERIFY(merged.empty());
    }
};

QTEST_MAIN(tst_HandPositions)
#include "tst_HandPositions.moc"
