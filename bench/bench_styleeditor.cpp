// Opening the style editor with the built-in styles (every thumbnail made), and one frame
// of its preview.
#include "settings/KOptions.h"
#include "settings/KSkin.h"
#include "shell/TimeSource.h"
#include "shell/mdlStartup.h"
#include "styleeditor/StylePreview.h"
#include "styleeditor/frmCustom.h"

#include <QApplication>
#include <QDir>
#include <benchmark/benchmark.h>

namespace {

void BM_OpenStyleEditor(benchmark::State& state) {
    LoadSkins();
    Options().Defaults();
    state.counters["styles"] = double(DefaultSkins().size());
    for (auto _ : state) {
        frmCustom editor;
        editor.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(editor.isVisible());
    }
}
BENCHMARK(BM_OpenStyleEditor)->Unit(benchmark::kMillisecond);

void BM_DrawPreview(benchmark::State& state) {
    LoadSkins();
    StylePreview preview;
    PreviewHands hands;
    hands.HCol = 0x101010;
    hands.MCol = 0x101010;
    hands.SCol = 0x2020D0;
    preview.LoadFace(ProgramFolder() + QStringLiteral("/pics/classic.bmp"), hands);
    int second = 0;
    for (auto _ : state) {
        preview.PreviewTime = QDateTime(QDate(2026, 5, 4), QTime(15, 30, second++ % 60));
        preview.DrawPreview(hands);
        benchmark::DoNotOptimize(preview.shown().constBits());
    }
}
BENCHMARK(BM_DrawPreview)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings go to a scratch folder, not the user's.
    qputenv("XDG_DATA_HOME", QDir::tempPath().toLocal8Bit() + "/zintar-bench-styleeditor");
    QApplication app(argc, argv);
    TimeSource::setFixed(QDateTime(QDate(2026, 5, 4), QTime(15, 30, 45)));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
