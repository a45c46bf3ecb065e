#pragma once

#include <QString>
#include <cstdint>

// Plays one sound file at a time through the modBass layer.
class BassPlayer {
public:
    BassPlayer() = default;
    ~BassPlayer(); // runs Close_
    BassPlayer(const BassPlayer&) = delete;
    BassPlayer& operator=(const BassPlayer&) = delete;

    // Forgets any stream, makes the program folder the current directory (relative sound
    // names resolve against it) and opens the sound output.
    void Init(uintptr_t hWnd = 0);
    void Start(const QString& FileName); // replaces what plays; plays once from the start
    void Stop_();
    void Close_();
    bool isPlaying() const;
    bool isInitialized() const;

private:
    void FreeStream();

    bool initialized = false;
    uint32_t stream = 0;
};
