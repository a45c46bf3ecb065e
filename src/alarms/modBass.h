#pragma once

#include <cstdint>

// The program's small sound layer, with the calls of the BASS audio library that the player
// uses. Files are decoded with libsndfile (wav, aif, mp3, mp2, mp1, ogg, flac) on a worker
// thread per stream, converted to the output's rate and mixed, with clipping, into one SDL2
// output device that the whole process shares. The device is opened by the first successful
// BASS_Init and closed by the matching last BASS_Free; all functions may be called from any
// thread and return quickly (no decoding of whole files in the caller's thread).
//
// The output is 32-bit float stereo at the rate asked for by the first BASS_Init, unless the
// device insists on another rate.

using HSTREAM = uint32_t; // 0 = no stream

constexpr uint32_t BASS_ACTIVE_STOPPED = 0; // stopped, finished, or not a stream
constexpr uint32_t BASS_ACTIVE_PLAYING = 1; // playing (also while the decoder catches up)
constexpr uint32_t BASS_POS_BYTE = 0;

// Opens the shared output (device -1: the default device; no other device is offered) or
// takes one more reference to it. Returns non-zero when the output is ready, 0 when no output
// could be opened (no audio driver, no sound server, no device). The first call loads SDL2 and
// libsndfile, once per process: without either of them every call returns 0.
int BASS_Init(int device, uint32_t freq, uint32_t flags, uintptr_t win, const void* clsid);

// A stream of the file (mem must be false; offset and length are ignored, the whole file is
// played once). Returns 0 when the output is not initialised or when the file cannot be opened
// or holds nothing that decodes. The stream is created stopped.
HSTREAM BASS_StreamCreateFile(bool mem, const void* file, uint64_t offset, uint64_t length,
                              uint32_t flags);

// Starts or resumes the stream; restart plays it from the beginning. 0 for an unknown handle.
int BASS_ChannelPlay(uint32_t handle, int restart);
// Stops the stream where it is; it stays allocated. 0 for an unknown handle.
int BASS_ChannelStop(uint32_t handle);
// BASS_ACTIVE_PLAYING while the stream plays, BASS_ACTIVE_STOPPED once stopped or finished.
uint32_t BASS_ChannelIsActive(uint32_t handle);
// Bytes of the stream handed to the output since it was last started from the beginning
// (mode BASS_POS_BYTE only); 0 for an unknown handle.
uint64_t BASS_ChannelGetPosition(uint32_t handle, uint32_t mode);
// Releases the stream; it stops at once. 0 for an unknown handle.
int BASS_StreamFree(HSTREAM handle);

// How far, in seconds, the decoder of a stream runs ahead of playback (default 10), and up to
// which length a sound stays whole in memory (default 30): the played part of a longer one is
// dropped and a restart decodes it again. Tests make these small to reach those paths.
void SetSoundBuffering(double aheadSeconds, double keepSeconds);

// Gives back one reference to the output; the last one releases every stream and closes the
// device. 0 when the output was not initialised.
int BASS_Free();
