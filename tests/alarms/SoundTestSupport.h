#pragma once

// Sound files made by the tests themselves, and a look at what SDL's "disk" driver wrote.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sndfile.h>
#include <vector>

namespace SoundTest {

constexpr int kOutputRate = 44100; // the rate the player asks for; the disk driver takes it

// Writes seconds of sound through libsndfile: a 440 Hz tone of peak `level`, or with
// tone false a constant `level` (easy to recognise in a mix). False when libsndfile cannot
// write the format here.
inline bool writeSound(const QString& path, int format, double seconds, float level,
                       int rate = kOutputRate, int channels = 2, bool tone = true) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    const auto frames = static_cast<size_t>(seconds * rate);
    std::vector<float> data(frames * channels);
    for (size_t i = 0; i < frames; ++i) {
        const float v =
            tone ? level * static_cast<float>(std::sin(2 * M_PI * 440.0 * i / rate)) : level;
        for (int c = 0; c < channels; ++c)
            data[i * channels + c] = v;
    }
    const sf_count_t written = sf_writef_float(file, data.data(), static_cast<sf_count_t>(frames));
    sf_close(file);
    return written == static_cast<sf_count_t>(frames);
}

// Sends the sound output to a raw file (32-bit float stereo). Takes effect at the next
// opening of the output, so call it before the first BASS_Init / BassPlayer::Init.
inline void useDiskOutput(const QString& rawFile) {
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(rawFile));
}

inline void useDriver(const QByteArray& driver) {
    qputenv("SDL_AUDIODRIVER", driver);
    qunsetenv("SDL_DISKAUDIOFILE");
}

// What the output received, read once the output has been closed.
struct Output {
    std::vector<float> samples; // interleaved stereo

    explicit Output(const QString& rawFile) {
        QFile f(rawFile);
        if (f.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = f.readAll();
            samples.resize(static_cast<size_t>(bytes.size()) / sizeof(float));
            std::copy_n(bytes.constData(), samples.size() * sizeof(float),
                        reinterpret_cast<char*>(samples.data()));
        }
    }
    size_t frames() const { return samples.size() / 2; }
    float at(size_t frame, int channel) const { return samples[frame * 2 + channel]; }
    bool loud(size_t frame, float threshold) const {
        return std::abs(at(frame, 0)) > threshold || std::abs(at(frame, 1)) > threshold;
    }
    // Seconds from the first to the last frame louder than threshold (0 when none is).
    double loudSpan(float threshold = 0.01f) const {
        long first = -1, last = -1;
        for (size_t i = 0; i < frames(); ++i) {
            if (loud(i, threshold)) {
                if (first < 0)
                    first = static_cast<long>(i);
                last = static_cast<long>(i);
            }
        }
        return first < 0 ? 0.0 : double(last - first + 1) / kOutputRate;
    }
    float peak(int channel) const {
        float p = 0;
        for (size_t i = 0; i < frames(); ++i)
            p = std::max(p, std::abs(at(i, channel)));
        return p;
    }
    // Seconds of frames whose both channels are within 0.01 of value.
    double secondsAt(float value) const {
        size_t n = 0;
        for (size_t i = 0; i < frames(); ++i) {
            if (std::abs(at(i, 0) - value) < 0.01f && std::abs(at(i, 1) - value) < 0.01f)
                ++n;
        }
        return double(n) / kOutputRate;
    }
    // Index of the first (or last) frame at value, -1 when none is.
    long firstAt(float value, bool last = false) const {
        long found = -1;
        for (size_t i = 0; i < frames(); ++i) {
            if (std::abs(at(i, 0) - value) < 0.01f) {
                found = static_cast<long>(i);
                if (!last)
                    break;
            }
        }
        return found;
    }
};

} // namespace SoundTest
