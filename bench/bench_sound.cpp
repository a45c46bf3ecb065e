// How quickly a started sound reaches the output, how long Start holds the caller's thread,
// and how much CPU a playing sound costs. Runs on SDL's "dummy" driver unless
// SDL_AUDIODRIVER says otherwise.

#include "alarms/modBass.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sndfile.h>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

bool writeTone(const std::string& path, int format, double seconds) {
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return false;
    const auto frames = static_cast<size_t>(seconds * info.samplerate);
    std::vector<float> data(frames * 2);
    for (size_t i = 0; i < frames; ++i)
        data[2 * i] = data[2 * i + 1] = 0.5f * static_cast<float>(std::sin(i * 0.0627));
    sf_writef_float(file, data.data(), static_cast<sf_count_t>(frames));
    sf_close(file);
    return true;
}

double cpuSeconds() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return double(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
           double(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

// Time the caller's thread spends in Start: creating the stream and starting it.
void BM_StartCall(benchmark::State& state, std::string path) {
    for (auto _ : state) {
        const HSTREAM h = BASS_StreamCreateFile(false, path.c_str(), 0, 0, 0);
        BASS_ChannelPlay(h, 1);
        state.PauseTiming();
        if (h == 0)
            state.SkipWithError("file did not open");
        BASS_StreamFree(h);
        state.ResumeTiming();
    }
}

// From the start of Start until the first samples of the sound are handed to the output.
// Mostly the wait for the output's next buffer (1024 frames, 23 ms at 44.1 kHz): the pause
// between iterations varies so that Start does not always fall just after a buffer.
void BM_StartToFirstOutput(benchmark::State& state, std::string path) {
    int round = 0;
    for (auto _ : state) {
        const auto begin = Clock::now();
        const HSTREAM h = BASS_StreamCreateFile(false, path.c_str(), 0, 0, 0);
        BASS_ChannelPlay(h, 1);
        while (h != 0 && BASS_ChannelGetPosition(h, BASS_POS_BYTE) == 0)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - begin).count());
        if (h == 0)
            state.SkipWithError("file did not open");
        BASS_StreamFree(h);
        std::this_thread::sleep_for(std::chrono::milliseconds(++round * 7 % 23));
    }
}

// CPU of the whole process (audio and decoder threads; this thread sleeps) over the first
// two seconds of a playing sound, as a percentage of one core.
void BM_CpuWhilePlaying(benchmark::State& state, std::string path) {
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const double cpuBefore = cpuSeconds();
        const auto begin = Clock::now();
        const HSTREAM h = BASS_StreamCreateFile(false, path.c_str(), 0, 0, 0);
        BASS_ChannelPlay(h, 1);
        std::this_thread::sleep_for(std::chrono::seconds(2));
        const bool playing = BASS_ChannelIsActive(h) == BASS_ACTIVE_PLAYING;
        BASS_StreamFree(h);
        cpu += cpuSeconds() - cpuBefore;
        wall += std::chrono::duration<double>(Clock::now() - begin).count();
        if (!playing)
            state.SkipWithError("sound was not playing");
    }
    state.counters["cpu_percent"] = 100.0 * cpu / wall;
}

} // namespace

int main(int argc, char** argv) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const auto folder =
        std::filesystem::temp_directory_path() / ("zintar-bench-sound-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    struct Sound {
        const char* name;
        int format;
        double seconds;
    };
    const Sound sounds[] = {
        {"wav_3s.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 3},
        {"ogg_3s.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 3},
        {"mp3_3s.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 3},
        {"mp3_180s.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 180},
        {"wav_180s.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 180},
    };
    for (const Sound& s : sounds) {
        const std::string path = (folder / s.name).string();
        if (!writeTone(path, s.format, s.seconds))
            continue;
        const std::string label = std::string(s.name).substr(0, std::string(s.name).find('.'));
        benchmark::RegisterBenchmark(("StartCall/" + label).c_str(), BM_StartCall, path)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(20);
        benchmark::RegisterBenchmark(("StartToFirstOutput/" + label).c_str(), BM_StartToFirstOutput,
                                     path)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(30);
        benchmark::RegisterBenchmark(("CpuWhilePlaying/" + label).c_str(), BM_CpuWhilePlaying, path)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(2);
    }

    int result = 1;
    if (BASS_Init(-1, 44100, 0, 0, nullptr) != 0) {
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        BASS_Free();
        result = 0;
    }
    std::filesystem::remove_all(folder);
    return result;
}
