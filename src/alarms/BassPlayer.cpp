#include "alarms/BassPlayer.h"

#include "alarms/modBass.h"
#include "shell/mdlStartup.h"

#include <QDir>
#include <QFile>

BassPlayer::~BassPlayer() {
    Close_();
}

void BassPlayer::Init(uintptr_t hWnd) {
    // A player holds at most one reference to the shared output: a second Init gives back
    // the one taken by the first.
    const bool hadOutput = initialized;
    stream = 0; // an earlier stream is forgotten, not released
    QDir::setCurrent(ProgramFolder());
    initialized = BASS_Init(-1, 44100, 0, hWnd, nullptr) != 0;
    if (hadOutput)
        BASS_Free();
}

void BassPlayer::Start(const QString& FileName) {
    FreeStream();
    const QByteArray name = QFile::encodeName(LocalPath(FileName));
    stream = BASS_StreamCreateFile(false, name.constData(), 0, 0, 0);
    if (stream != 0)
        BASS_ChannelPlay(stream, 1);
}

void BassPlayer::Stop_() {
    if (stream != 0)
        BASS_ChannelStop(stream);
}

void BassPlayer::Close_() {
    if (!initialized)
        return;
    FreeStream();
    BASS_Free();
    initialized = false;
}

bool BassPlayer::isPlaying() const {
    return stream != 0 && BASS_ChannelIsActive(stream) == BASS_ACTIVE_PLAYING;
}

bool BassPlayer::isInitialized() const {
    return initialized;
}

void BassPlayer::FreeStream() {
    if (stream != 0) {
        BASS_StreamFree(stream);
        stream = 0;
    }
}
