#pragma once

#include "TestSupport.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>
#include <cmath>
#include <cstdint>

// Sound and program files that the alarm tests make for themselves.
namespace AlarmTestFiles {

// A mono 16-bit PCM wav holding a tone of the given length.
inline QByteArray toneWav(double seconds, int rate = 8000) {
    const auto frames = uint32_t(seconds * rate);
    QByteArray data(int(frames * 2), Qt::Uninitialized);
    for (uint32_t i = 0; i < frames; ++i) {
        const auto sample = int16_t(8000 * std::sin(2 * 3.14159265 * 440 * i / rate));
        qToLittleEndian<int16_t>(sample, data.data() + 2 * i);
    }
    QByteArray wav;
    auto u32 = [&wav](uint32_t v) {
        char b[4];
        qToLittleEndian(v, b);
        wav.append(b, 4);
    };
    auto u16 = [&wav](uint16_t v) {
        char b[2];
        qToLittleEndian(v, b);
        wav.append(b, 2);
    };
    wav.append("RIFF");
    u32(36 + uint32_t(data.size()));
    wav.append("WAVEfmt ");
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(uint32_t(rate));
    u32(uint32_t(rate * 2));
    u16(2);
    u16(16);
    wav.append("data");
    u32(uint32_t(data.size()));
    wav.append(data);
    return wav;
}

// Writes a tone long enough to be still playing when a test looks at it.
inline QString longTone(const QString& folder, const QString& name) {
    const QString path = folder + QLatin1Char('/') + name;
    TestSupport::writeFile(path, toneWav(20));
    return path;
}

// A shell script that writes its arguments after the first, one per line, to the file named
// by the first; the file appears whole (written aside, then renamed).
inline QString argumentWriter(const QString& folder) {
    const QString path = folder + QStringLiteral("/write args.sh");
    TestSupport::writeFile(path, "#!/bin/sh\n"
                                 "out=\"$1\"; shift\n"
                                 "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$out.part\"\n"
                                 "mv \"$out.part\" \"$out\"\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

} // namespace AlarmTestFiles
