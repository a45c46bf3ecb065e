// The clock window's 200 ms tick: what a tick costs when the second has not changed (four
// ticks out of five) and when it draws a new frame.
#include "mainwindow/frmMain.h"
#include "shell/TimeSource.h"
#include "shell/mdlStartup.h"

#include <QApplication>
#include <QDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {
frmMain& clock() {
    static std::unique_ptr<frmMain> w = [] {
        LoadOptions();
        auto made = std::make_unique<frmMain>();
        made->Timer1.stop(); // the benchmark drives the ticks
        return made;
    }();
    return *w;
}

void BM_TickSameSecond(benchmark::State& state) {
    frmMain& w = clock();
    const QDateTime moment(QDate(2026, 12, 5), QTime(10, 8, 30, 200));
    TimeSource::setFixed(moment);
    w.Timer1_Timer();
    for (auto _ : state)
        w.Timer1_Timer();
    TimeSource::reset();
}
BENCHMARK(BM_TickSameSecond);

void BM_TickSystemClockSameSecond(benchmark::State& state) {
    // The real clock: reading the time is part of every tick.
    frmMain& w = clock();
    TimeSource::reset();
    for (auto _ : state)
        w.Timer1_Timer();
}
BENCHMARK(BM_TickSystemClockSameSecond);

void BM_TickNewSecond(benchmark::State& state) {
    frmMain& w = clock();
    w.pResize(int(state.range(0)), int(state.range(0)));
    int second = 0;
    for (auto _ : state) {
        TimeSource::setFixed(QDateTime(QDate(2026, 12, 5), QTime(10, 8, second)));
        second = (second + 1) % 60;
        w.Timer1_Timer();
    }
    TimeSource::reset();
}
BENCHMARK(BM_TickNewSecond)->Arg(128)->Arg(256);
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings go to a scratch folder, not the user's.
    qputenv("XDG_DATA_HOME", QDir::tempPath().toLocal8Bit() + "/zintar-bench-tick");
    QApplication app(argc, argv);
    frmMain::CanShowTranslucency = [] { return false; };
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
