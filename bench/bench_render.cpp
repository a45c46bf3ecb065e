// Cost of one clock frame and of its parts; the floor is a plain copy of a 256 x 256
// 32-bit frame, and a 256-pixel frame should stay within twice that.

#include "render/ClockRenderer.h"
#include "render/Surface.h"
#include "render/Vorel_WuLines.h"
#include "render/modCopyBitmap.h"
#include "settings/KOptions.h"
#include "shell/mdlStartup.h"

#include <QDateTime>
#include <QImage>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

QImage watchFace() {
    QImage face(ProgramFolder() + QStringLiteral("/pics/watch2.bmp"));
    if (face.isNull()) { // the bench run outside the build tree: any busy picture will do
        face = QImage(256, 256, QImage::Format_RGB32);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                face.setPixel(x, y, qRgb(x, y, (x * y) & 255));
    }
    return face;
}

// The clock's renderer with the watch face fitted to a size x size window and the hands in
// the options' colours.
void prepare(ClockRenderer& r, int size) {
    r.ImgClk = watchFace();
    ColorToRgb(Options().HCol, r.HourRgb);
    ColorToRgb(Options().MCol, r.MinuteRgb);
    ColorToRgb(Options().SCol, r.SecondsRgb);
    r.setClientSize(QSize(size, size));
    r.RecalcImage(true);
}

// Two 256 x 256 32-bit pictures for a plain copy, both starting on a cache line: memcpy here
// ran up to 17 % slower between pictures that lie differently against the cache lines, and
// the floor is the copy at its fastest.
struct CopyPair {
    CopyPair() {
        from.fill(Qt::white);
        to.fill(Qt::black);
    }
    std::unique_ptr<uchar, void (*)(void*)> fromStore{
        static_cast<uchar*>(std::aligned_alloc(64, 256 * 256 * 4)), std::free};
    std::unique_ptr<uchar, void (*)(void*)> toStore{
        static_cast<uchar*>(std::aligned_alloc(64, 256 * 256 * 4)), std::free};
    QImage from{fromStore.get(), 256, 256, 256 * 4, QImage::Format_RGB32};
    QImage to{toStore.get(), 256, 256, 256 * 4, QImage::Format_RGB32};
};

void BM_PlainCopy256(benchmark::State& state) {
    CopyPair pair;
    const QImage& from = pair.from;
    QImage& to = pair.to;
    for (auto _ : state) {
        std::memcpy(to.bits(), from.constBits(), size_t(from.sizeInBytes()));
        benchmark::DoNotOptimize(to.bits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlainCopy256);

// A whole 256-pixel frame drawn from nothing, beside the copy above: the face copied in and
// the hour, minute and second hands drawn, every second of a minute in turn. Two copies of the
// face take turns, so each frame meets a new face as after a change of style or size; the
// frames of the running clock, which redraw only around the hands, are BM_RenderFrame.
// next:1 draws the second after each whole frame too: a whole frame leaves the face with the
// hour and minute hands to be made by the frame that follows, so that is what a change of
// face costs in all.
void BM_RenderWholeFrame256(benchmark::State& state) {
    const bool next = state.range(0) != 0;
    Options().Defaults();
    ClockRenderer r;
    prepare(r, 256);
    const QImage faces[2] = {r.ScaledFace, r.ScaledFace.copy()};
    qsizetype i = 0;
    bool whole = true;
    for (auto _ : state) {
        r.ScaledFace = faces[i % 2];
        const int s = int(i % 30) * 2; // two new seconds each time
        benchmark::DoNotOptimize(r.Render(QTime(10, 8, s)));
        // Guard against timing the partial redraw: a whole frame changes every row.
        const RowSpans& changed = r.lastChangedRows();
        whole = whole && changed.first == 0 && changed.end == 256 && changed.lo[0] == 0 &&
                changed.hi[0] == 255;
        if (next)
            benchmark::DoNotOptimize(r.Render(QTime(10, 8, s + 1)));
        ++i;
    }
    if (!whole)
        state.SkipWithError("a frame was not drawn whole");
}
BENCHMARK(BM_RenderWholeFrame256)->ArgName("next")->Arg(0)->Arg(1);

// The same ratio measured side by side: blocks of plain copies and blocks of whole frames
// take turns, and each pair of blocks gives one ratio, so a host that slows down for a while
// slows both alike. Reports the median ratio, the median time of each, and the fastest block
// of each (copy_min, frame_min): on a busy host, the fastest of many runs, alternating two
// builds, compares them best.
void BM_WholeFrameOverCopy256(benchmark::State& state) {
    constexpr int PerBlock = 32;
    Options().Defaults();
    ClockRenderer r;
    prepare(r, 256);
    const QImage faces[2] = {r.ScaledFace, r.ScaledFace.copy()};
    CopyPair pair;
    const QImage& from = pair.from;
    QImage& to = pair.to;
    std::vector<double> copies, frames, ratios;
    qsizetype i = 0;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (int k = 0; k < PerBlock; ++k) {
            std::memcpy(to.bits(), from.constBits(), size_t(from.sizeInBytes()));
            benchmark::DoNotOptimize(to.bits());
            benchmark::ClobberMemory();
        }
        const auto t1 = Clock::now();
        for (int k = 0; k < PerBlock; ++k, ++i) {
            r.ScaledFace = faces[i % 2];
            benchmark::DoNotOptimize(r.Render(QTime(10, 8, int(i % 30) * 2)));
        }
        const auto t2 = Clock::now();
        const double copy = std::chrono::duration<double, std::nano>(t1 - t0).count() / PerBlock;
        const double frame = std::chrono::duration<double, std::nano>(t2 - t1).count() / PerBlock;
        copies.push_back(copy);
        frames.push_back(frame);
        ratios.push_back(frame / copy);
    }
    auto median = [](std::vector<double>& v) {
        std::nth_element(v.begin(), v.begin() + qsizetype(v.size() / 2), v.end());
        return v[v.size() / 2];
    };
    state.counters["copy_ns"] = median(copies);
    state.counters["frame_ns"] = median(frames);
    state.counters["ratio"] = median(ratios);
    state.counters["copy_min"] = *std::min_element(copies.begin(), copies.end());
    state.counters["frame_min"] = *std::min_element(frames.begin(), frames.end());
}
BENCHMARK(BM_WholeFrameOverCopy256);

// The running clock's frame: only the pixels around the previous and the new hands redrawn.
// range(1) 0: every hand drawn line by line each frame, for comparison.
void BM_RenderFrame(benchmark::State& state) {
    Options().Defaults(); // widths 8, 4, 2
    ClockRenderer r;
    r.keepHandPositions(state.range(1) != 0);
    prepare(r, int(state.range(0)));
    // A new second every time, so every call draws; the times are made beforehand because
    // local-time arithmetic costs more than a frame.
    QList<QDateTime> times;
    for (int i = 0; i < 3600; ++i)
        times.append(QDateTime(QDate(2026, 1, 1), QTime(10, 0, 0).addSecs(i)));
    r.Render(times.last());
    qsizetype i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(r.Render(times[i]));
        i = (i + 1) % times.size();
    }
}
BENCHMARK(BM_RenderFrame)
    ->ArgNames({"size", "kept"})
    ->Args({64, 1})
    ->Args({128, 1})
    ->Args({256, 1})
    ->Args({256, 0});

// Four ticks of five: the second has not changed.
void BM_RenderSameSecond(benchmark::State& state) {
    Options().Defaults();
    ClockRenderer r;
    prepare(r, 256);
    const QDateTime t(QDate(2026, 1, 1), QTime(10, 8, 0));
    r.Render(t);
    for (auto _ : state)
        benchmark::DoNotOptimize(r.Render(t));
}
BENCHMARK(BM_RenderSameSecond);

void BM_DrawHand(benchmark::State& state) {
    QImage img(256, 256, QImage::Format_RGB32);
    img.fill(Qt::white);
    Surface dc(img);
    const int16_t width = int16_t(state.range(0));
    float angle = 0;
    for (auto _ : state) {
        Vorel_WuLines::DrawHand(dc, QPoint(128, 128), angle, 96, 96, ColorBytes{64, 64, 255},
                                width);
        angle += 0.1047f;
    }
}
BENCHMARK(BM_DrawHand)->Arg(2)->Arg(8);
// One width-3 line of 91 steps on a surface that keeps its rows' spans, as a hand's edge
// is drawn: range(0) 0 runs mostly down, 1 mostly across.
void BM_WuLine(benchmark::State& state) {
    QImage img(256, 256, QImage::Format_RGB32);
    img.fill(Qt::white);
    Surface dc(img);
    std::vector<int> lo(256, INT_MAX), hi(256, INT_MIN);
    dc.trackRows(lo.data(), hi.data());
    const QPoint a(128, 128), b = state.range(0) ? QPoint(218, 168) : QPoint(168, 218);
    for (auto _ : state) {
        Vorel_WuLines::WuLine(dc, a, b, ColorBytes{64, 64, 255}, 3);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_WuLine)->ArgName("across")->Arg(0)->Arg(1);

void BM_CopyBitmapHalftone256To128(benchmark::State& state) {
    const QImage face = watchFace();
    for (auto _ : state)
        benchmark::DoNotOptimize(modCopyBitmap::CopyBitmap(face, 0, 128, 128, 0, 4));
}
BENCHMARK(BM_CopyBitmapHalftone256To128);

} // namespace

BENCHMARK_MAIN();
