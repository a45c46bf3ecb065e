// Reading and writing the settings file and a style catalogue of realistic size.
#include "settings/KOptions.h"
#include "settings/KSkin.h"
#include "shell/mdlStartup.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kCount = 100;

KOptions optionsWithAlarms() {
    KOptions o;
    o.Defaults();
    for (int i = 0; i < kCount; ++i) {
        auto a = std::make_shared<KAlarm>();
        a->SwiMsg = true;
        a->Text = QStringLiteral("Alarm %1\r\nsecond line of the message").arg(i);
        a->SwiSnd = true;
        a->PathSnd = QStringLiteral("/usr/share/sounds/alarm%1.wav").arg(i);
        a->DefHH = int16_t(i % 24);
        a->DefMM = int16_t(i % 60);
        a->bSave = (i % 2) ? int16_t(-1) : int16_t(1);
        a->Minutes = 15;
        o.Alarms.append(a);
    }
    return o;
}

void BM_SaveSettings100Alarms(benchmark::State& state) {
    KOptions o = optionsWithAlarms();
    for (auto _ : state)
        benchmark::DoNotOptimize(o.Save());
}
BENCHMARK(BM_SaveSettings100Alarms)->Unit(benchmark::kMicrosecond);

void BM_LoadSettings100Alarms(benchmark::State& state) {
    optionsWithAlarms().Save();
    for (auto _ : state) {
        KOptions o;
        o.Load();
        if (o.Alarms.size() != kCount)
            state.SkipWithError("alarms lost");
    }
}
BENCHMARK(BM_LoadSettings100Alarms)->Unit(benchmark::kMicrosecond);

// As at start-up: the file's content has not been seen before.
void BM_LoadSettings100AlarmsChangedFile(benchmark::State& state) {
    KOptions source = optionsWithAlarms();
    for (auto _ : state) {
        state.PauseTiming();
        source.PX += 1;
        source.Save();
        state.ResumeTiming();
        KOptions o;
        o.Load();
        benchmark::DoNotOptimize(o.Alarms.size());
    }
}
BENCHMARK(BM_LoadSettings100AlarmsChangedFile)->Unit(benchmark::kMicrosecond);

void BM_LoadSkinFile100Styles(benchmark::State& state) {
    UserSkins().clear();
    for (int i = 0; i < kCount; ++i) {
        auto s = std::make_shared<KSkin>();
        s->Name = QStringLiteral("Style %1").arg(i);
        s->FileName = QStringLiteral("/usr/share/zintar/pics/face%1.bmp").arg(i);
        s->Hour = 0x333333;
        s->Minute = 0x666666;
        s->Second = 0x4040FF;
        s->HDM = 8;
        s->MDM = 4;
        s->SDM = 2;
        UserSkins().append(s);
    }
    SaveUserSkins();
    const QString path = AppDataFolder() + QStringLiteral("myskins.ini");
    for (auto _ : state) {
        SkinList list;
        LoadSkinFile(path, list);
        if (list.size() != kCount)
            state.SkipWithError("styles lost");
    }
}
BENCHMARK(BM_LoadSkinFile100Styles)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    // Keep the user's real settings out of it.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
