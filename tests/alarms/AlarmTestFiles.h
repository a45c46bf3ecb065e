#pragma once

// Alarms, sound and program files the alarm tests make for themselves, and a look at what
// SDL's "disk" driver wrote.

#include "TestSupport.h"
#include "alarms/KAlarm.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <sndfile.h>
#include <vector>

namespace AlarmTestFiles {

// The tests' calendar: day 1, 2... at a time of day.
inline const QDate kDay1(2026, 3, 2);
inline QDateTime at(int day, int hh, int mm, int ss = 0) {
    return QDateTime(kDay1.addDays(day - 1), QTime(hh, mm, ss), Qt::UTC);
}

// An alarm set for hh:mm and due then.
inline KAlarmPtr alarmAt(int hh, int mm, int bSave, int minutes = 0) {
    auto a = std::make_shared<KAlarm>();
    a->HH = a->RingHH = a->DefHH = int16_t(hh);
    a->mm = a->RingMM = a->DefMM = int16_t(mm);
    a->bSave = int16_t(bSave);
    a->Minutes = minutes;
    return a;
}

constexpr int kOutputRate = 44100; // the rate the player asks for; the disk driver takes it

// Seconds of sound in the format the name's ending says: a 440 Hz tone of peak `level`, or
// with tone false a constant `level` (easy to find in a mix). Empty when it cannot be written.
inline QString writeSound(const QString& path, double seconds, float level, bool tone = true,
                          int rate = kOutputRate, int channels = 2) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = path.endsWith(".mp3")    ? SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III
                  : path.endsWith(".ogg")  ? SF_FORMAT_OGG | SF_FORMAT_VORBIS
                  : path.endsWith(".flac") ? SF_FORMAT_FLAC | SF_FORMAT_PCM_16
                                           : SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return {};
    const auto frames = static_cast<size_t>(seconds * rate);
    std::vector<float> data(frames * channels);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = tone ? level * float(std::sin(2 * M_PI * 440.0 * (i / channels) / rate)) : level;
    const sf_count_t written = sf_writef_float(file, data.data(), sf_count_t(frames));
    sf_close(file);
    return written == sf_count_t(frames) ? path : QString();
}

// A quiet tone long enough to be still playing when a test looks at it.
inline QString longTone(const QString& folder, const QString& name) {
    return writeSound(folder + '/' + name, 20, 0.25f, true, 8000, 1);
}

// Chooses the sound output for the next opening of the output: "disk" writes what is
// played, as 32-bit float stereo, to rawFile.
inline void useDriver(const QByteArray& driver, const QString& rawFile = {}) {
    qputenv("SDL_AUDIODRIVER", driver);
    if (rawFile.isEmpty())
        qunsetenv("SDL_DISKAUDIOFILE");
    else
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(rawFile));
}

// What the output received, read once the output has been closed.
struct Output {
    std::vector<float> samples; // interleaved stereo

    explicit Output(const QString& rawFile) {
        const QByteArray bytes = TestSupport::readFile(rawFile);
        samples.resize(size_t(bytes.size()) / sizeof(float));
        std::copy_n(bytes.constData(), samples.size() * sizeof(float),
                    reinterpret_cast<char*>(samples.data()));
    }
    // Seconds from the first to the last frame louder than threshold (0 when none is).
    double loudSpan(float threshold = 0.01f) const {
        long first = -1, last = -1;
        for (size_t i = 0; i < samples.size(); ++i)
            if (std::abs(samples[i]) > threshold) {
                first = first < 0 ? long(i / 2) : first;
                last = long(i / 2);
            }
        return first < 0 ? 0.0 : double(last - first + 1) / kOutputRate;
    }
    float peak(int channel) const {
        float p = 0;
        for (size_t i = size_t(channel); i < samples.size(); i += 2)
            p = std::max(p, std::abs(samples[i]));
        return p;
    }
    // Frames whose both channels are within 0.01 of value: their seconds, first and last index.
    struct Run {
        double seconds = 0;
        long first = -1, last = -1;
    };
    Run at(float value) const {
        Run r;
        for (size_t i = 0; i + 1 < samples.size(); i += 2)
            if (std::abs(samples[i] - value) < 0.01f && std::abs(samples[i + 1] - value) < 0.01f) {
                r.seconds += 1.0 / kOutputRate;
                r.first = r.first < 0 ? long(i / 2) : r.first;
                r.last = long(i / 2);
            }
        return r;
    }
};

} // namespace AlarmTestFiles
