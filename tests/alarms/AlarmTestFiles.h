#pragma once

// Alarms and sounds the alarm tests make, and what SDL's "disk" audio driver received.

#include "TestSupport.h"
#include "alarms/KAlarm.h"

#include <QFile>
#include <cmath>
#include <cstring>
#include <sndfile.h>
#include <vector>

namespace AlarmTestFiles {

inline QDateTime at(int day, int hh, int mm, int ss = 0) {
    return QDateTime(QDate(2026, 3, 1).addDays(day), QTime(hh, mm, ss), Qt::UTC);
}
inline KAlarmPtr alarmAt(int hh, int mm, int bSave, int minutes = 0) {
    auto a = std::make_shared<KAlarm>();
    a->HH = a->RingHH = a->DefHH = int16_t(hh);
    a->mm = a->RingMM = a->DefMM = int16_t(mm);
    a->bSave = int16_t(bSave);
    a->Minutes = minutes;
    return a;
}

// A 440 Hz tone of peak `level` (or with tone false a constant `level`), in the format the
// name's ending says. Empty when it cannot be written.
inline QString writeSound(const QString& path, double seconds, float level, bool tone = true,
                          int rate = 44100, int channels = 2) {
    SF_INFO info{0, rate, channels, 0, 0, 0};
    info.format = path.endsWith(".mp3")    ? SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III
                  : path.endsWith(".ogg")  ? SF_FORMAT_OGG | SF_FORMAT_VORBIS
                  : path.endsWith(".flac") ? SF_FORMAT_FLAC | SF_FORMAT_PCM_16
                                           : SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return {};
    const auto frames = sf_count_t(seconds * rate);
    std::vector<float> data(size_t(frames * channels));
    for (size_t i = 0; i < data.size(); ++i)
        data[i] =
            tone ? level * float(std::sin(2 * M_PI * 440.0 * double(i / channels) / rate)) : level;
    const bool ok = sf_writef_float(file, data.data(), frames) == frames;
    sf_close(file);
    return ok ? path : QString();
}

// A quiet tone still playing when a test looks at it.
inline QString longTone(const QString& path) {
    return writeSound(path, 20, 0.25f, true, 8000, 1);
}
// The next output opened uses this driver; "disk" writes 32-bit float stereo to rawFile.
inline void useDriver(const QByteArray& driver, const QString& rawFile = {}) {
    qputenv("SDL_AUDIODRIVER", driver);
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(rawFile));
}
// What the output received: seconds from the first to the last frame louder than threshold on
// one channel, or of frames whose both channels are close to value.
inline std::vector<float> played(const QString& rawFile) {
    const QByteArray bytes = TestSupport::readFile(rawFile);
    std::vector<float> samples(size_t(bytes.size()) / sizeof(float));
    std::memcpy(samples.data(), bytes.constData(), samples.size() * sizeof(float));
    return samples;
}
inline double loudSpan(const QString& rawFile, float threshold, size_t channel) {
    const std::vector<float> s = played(rawFile);
    long first = -1, last = -1;
    for (size_t i = channel; i < s.size(); i += 2)
        if (std::abs(s[i]) > threshold) {
            first = first < 0 ? long(i / 2) : first;
            last = long(i / 2);
        }
    return first < 0 ? 0.0 : double(last - first + 1) / 44100;
}
inline double secondsAt(const QString& rawFile, float value) {
    const std::vector<float> s = played(rawFile);
    int frames = 0;
    for (size_t i = 0; i + 1 < s.size(); i += 2)
        frames += std::abs(s[i] - value) < 0.01f && std::abs(s[i + 1] - value) < 0.01f;
    return frames / 44100.0;
}

} // namespace AlarmTestFiles
