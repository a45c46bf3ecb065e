#include "alarms/modBass.h"

#include "shell/mdlStartup.h"

#include <QString>
#include <SDL.h>
#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <dlfcn.h>
#include <map>
#include <memory>
#include <mutex>
#include <sndfile.h>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

// SDL2 and libsndfile are not linked: a clock that never rings would map them, and the
// libraries they pull in, for nothing. They are opened at the first BASS_Init and their entry
// points kept in this table (the headers serve for types and constants only). The table is
// written once, under std::call_once, before any stream or audio thread exists.
//
// ZINTAR_SOUND_LIBRARY_DIR, when set, names the one folder both libraries are loaded from
// instead of the loader's search path; a folder without them makes the program go without
// sound, which is how the tests reach that case.
#define ZINTAR_SDL_FUNCTIONS(X)                                                                    \
    X(SDL_SetHint)                                                                                 \
    X(SDL_InitSubSystem)                                                                           \
    X(SDL_QuitSubSystem)                                                                           \
    X(SDL_OpenAudioDevice)                                                                         \
    X(SDL_PauseAudioDevice)                                                                        \
    X(SDL_CloseAudioDevice)                                                                        \
    X(SDL_NewAudioStream)                                                                          \
    X(SDL_AudioStreamPut)                                                                          \
    X(SDL_AudioStreamGet)                                                                          \
    X(SDL_AudioStreamAvailable)                                                                    \
    X(SDL_AudioStreamFlush)                                                                        \
    X(SDL_FreeAudioStream)
#define ZINTAR_SNDFILE_FUNCTIONS(X)                                                                \
    X(sf_open)                                                                                     \
    X(sf_readf_float)                                                                              \
    X(sf_close)

struct SoundApi {
#define ZINTAR_ENTRY(name) decltype(&::name) name = nullptr;
    ZINTAR_SDL_FUNCTIONS(ZINTAR_ENTRY)
    ZINTAR_SNDFILE_FUNCTIONS(ZINTAR_ENTRY)
#undef ZINTAR_ENTRY
};

SoundApi lib;

constexpr const char* kSdlName = "libSDL2-2.0.so.0";
constexpr const char* kSndfileName = "libsndfile.so.1";

// Opens one library; nullptr, with a trace line naming it, when it cannot be loaded.
void* openLibrary(const char* soname) {
    std::string path = soname;
    if (const char* dir = std::getenv("ZINTAR_SOUND_LIBRARY_DIR"))
        path = std::string(dir) + '/' + soname;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        WriteLog(QStringLiteral("Sound disabled: cannot load ") + QString::fromUtf8(soname) +
                 QStringLiteral(" (") + QString::fromUtf8(why ? why : "unknown error") +
                 QStringLiteral(")"));
    }
    return handle;
}

// Finds every entry point of one library; false, with a trace line, when one is missing.
template <typename Entry>
bool resolve(void* handle, const char* soname, const char* name, Entry& entry) {
    entry = reinterpret_cast<Entry>(dlsym(handle, name));
    if (!entry)
        WriteLog(QStringLiteral("Sound disabled: ") + QString::fromUtf8(soname) +
                 QStringLiteral(" has no ") + QString::fromUtf8(name));
    return entry != nullptr;
}

bool loadOnce() {
    void* sdl = openLibrary(kSdlName);
    if (!sdl)
        return false;
    void* sndfile = openLibrary(kSndfileName);
    if (!sndfile) {
        dlclose(sdl);
        return false;
    }
    SoundApi found;
    bool ok = true;
#define ZINTAR_RESOLVE(name) ok = ok && resolve(sdl, kSdlName, #name, found.name);
    ZINTAR_SDL_FUNCTIONS(ZINTAR_RESOLVE)
#undef ZINTAR_RESOLVE
#define ZINTAR_RESOLVE(name) ok = ok && resolve(sndfile, kSndfileName, #name, found.name);
    ZINTAR_SNDFILE_FUNCTIONS(ZINTAR_RESOLVE)
#undef ZINTAR_RESOLVE
    if (!ok) {
        dlclose(sndfile);
        dlclose(sdl);
        return false;
    }
    lib = found; // the libraries stay loaded until the process ends
    return true;
}

// ALSA reports every device it cannot open on stderr ("ALSA lib ... Unknown PCM"), which a
// machine without sound would print at each alarm. Its library is opened here, before SDL
// opens the same one, and told to keep quiet; SDL still learns that the device failed.
void silentAlsaError(const char*, int, const char*, int, const char*, ...) {}

void quietAlsa() {
    static void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL); // kept open
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    if (alsa)
        if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler")))
            set(&silentAlsaError);
}

// True once both libraries are loaded; the first call loads them, later ones only answer.
bool soundLibraries() {
    static std::once_flag once;
    static bool loaded = false;
    std::call_once(once, [] { loaded = loadOnce(); });
    return loaded;
}

constexpr int kOutChannels = 2;
constexpr int kDefaultRate = 44100;
constexpr int kDeviceFrames = 1024;  // one output buffer, about 23 ms at 44.1 kHz
constexpr int kChunkFrames = 4096;   // frames read from the file per decoding step
constexpr double kAheadSeconds = 10; // the decoder stays at most this far ahead of playback
constexpr double kKeepSeconds = 30;  // shorter sounds stay whole in memory: a restart needs no
                                     // decoding; of longer ones the played part is dropped

struct Stream {
    Stream(HSTREAM h, std::string p) : handle(h), path(std::move(p)) {}

    const HSTREAM handle;
    const std::string path;

    // Guarded by Output::state.
    std::deque<float> samples; // decoded so far: interleaved stereo at the output rate
    size_t readFrame = 0;      // next frame of samples to play
    uint64_t dropped = 0;      // frames played and dropped from the front of samples
    uint64_t played = 0;       // frames handed to the output since the start of the file
    bool decoded = false;      // samples holds the rest of the file
    bool playing = false;
    bool cancel = false;          // the decoder is to stop
    std::condition_variable wake; // the decoder waits here while far enough ahead

    std::thread decoder; // started and joined under Output::api only

    size_t frames() const { return samples.size() / kOutChannels; }
};

// An opened file, ready for the decoder thread.
struct Source {
    SNDFILE* file = nullptr;
    int fileChannels = 0;
    int channels = 0; // 1 or 2, after folding the file's channels
    SDL_AudioStream* converter = nullptr;
    std::vector<float> ready; // the first frames, already converted: playable at once
};

class Output {
public:
    ~Output() { shutdown(); }

    void shutdown();

    std::mutex api;   // one call of the layer at a time: opening, closing, joining decoders
    std::mutex state; // the streams and their play state, shared with the audio thread
    int references = 0;
    SDL_AudioDeviceID device = 0;
    int rate = kDefaultRate;
    double aheadSeconds = kAheadSeconds; // guarded by api
    double keepSeconds = kKeepSeconds;   // guarded by api and state
    HSTREAM lastHandle = 0;
    std::map<HSTREAM, std::shared_ptr<Stream>> streams; // guarded by state
};

Output& output() {
    static Output o;
    return o;
}

// Keeps the first two channels of each frame (one for a mono file), in place.
void foldChannels(std::vector<float>& buffer, size_t frames, int fileChannels, int channels) {
    if (fileChannels != channels) {
        for (size_t i = 0; i < frames; ++i) {
            for (int c = 0; c < channels; ++c)
                buffer[i * channels + c] = buffer[i * fileChannels + c];
        }
    }
    buffer.resize(frames * channels);
}

void closeSource(Source& src) {
    if (src.converter)
        lib.SDL_FreeAudioStream(src.converter);
    if (src.file)
        lib.sf_close(src.file);
    src = Source{};
}

// Takes what the converter has ready.
void drain(SDL_AudioStream* converter, std::vector<float>& out) {
    out.clear();
    const int available = lib.SDL_AudioStreamAvailable(converter);
    if (available > 0) {
        out.resize(static_cast<size_t>(available) / sizeof(float));
        const int got = lib.SDL_AudioStreamGet(converter, out.data(), available);
        out.resize(got > 0 ? static_cast<size_t>(got) / sizeof(float) : 0);
    }
}

// Opens the file and converts its first frames; false when it cannot be opened or nothing in
// it decodes. Runs on the caller's thread: only the file's header and first chunk are read,
// so that the output has something to play before the decoder thread has run.
bool openSource(const std::string& path, int rate, Source& src) {
    SF_INFO info{};
    src.file = lib.sf_open(path.c_str(), SFM_READ, &info);
    if (!src.file)
        return false;
    if (info.channels <= 0 || info.samplerate <= 0) {
        closeSource(src);
        return false;
    }
    src.fileChannels = info.channels;
    src.channels = std::min(info.channels, kOutChannels);
    std::vector<float> first(static_cast<size_t>(kChunkFrames) * info.channels);
    const sf_count_t n = lib.sf_readf_float(src.file, first.data(), kChunkFrames);
    if (n <= 0) {
        closeSource(src);
        return false;
    }
    foldChannels(first, static_cast<size_t>(n), src.fileChannels, src.channels);
    src.converter = lib.SDL_NewAudioStream(AUDIO_F32SYS, static_cast<Uint8>(src.channels),
                                           info.samplerate, AUDIO_F32SYS, kOutChannels, rate);
    if (!src.converter ||
        lib.SDL_AudioStreamPut(src.converter, first.data(),
                               static_cast<int>(first.size() * sizeof(float))) != 0) {
        closeSource(src);
        return false;
    }
    drain(src.converter, src.ready);
    return true;
}

// The decoder thread of one stream: reads the file to its end (the frame count of an mp3 is
// only an estimate, so it reads until the decoder gives nothing more), converts it to the
// output's rate and appends it to the stream, keeping at most kAheadSeconds ahead of playback.
void decode(Output* o, std::shared_ptr<Stream> s, Source src, size_t aheadFrames) {
    std::vector<float> in;
    std::vector<float> out;
    for (;;) {
        in.resize(static_cast<size_t>(kChunkFrames) * src.fileChannels);
        const sf_count_t n = lib.sf_readf_float(src.file, in.data(), kChunkFrames);
        const bool atEnd = n <= 0;
        if (atEnd) {
            lib.SDL_AudioStreamFlush(src.converter);
        } else {
            foldChannels(in, static_cast<size_t>(n), src.fileChannels, src.channels);
            lib.SDL_AudioStreamPut(src.converter, in.data(),
                                   static_cast<int>(in.size() * sizeof(float)));
        }
        drain(src.converter, out);

        std::unique_lock lock(o->state);
        if (s->cancel)
            break;
        s->samples.insert(s->samples.end(), out.begin(), out.end());
        if (atEnd) {
            s->decoded = true;
            break;
        }
        s->wake.wait(lock, [&] { return s->cancel || s->frames() - s->readFrame < aheadFrames; });
        if (s->cancel)
            break;
    }
    closeSource(src);
}

void startDecoder(Output& o, const std::shared_ptr<Stream>& s, Source&& src) {
    {
        std::lock_guard lock(o.state);
        s->samples.insert(s->samples.end(), src.ready.begin(), src.ready.end());
    }
    src.ready = {};
    s->decoder = std::thread(decode, &o, s, std::move(src),
                             static_cast<size_t>(o.aheadSeconds * o.rate) + 1);
}

// Stops the decoder of a stream the audio thread no longer plays (call under Output::api).
void stopDecoder(Output& o, Stream& s) {
    {
        std::lock_guard lock(o.state);
        s.cancel = true;
        s.playing = false;
    }
    s.wake.notify_all();
    if (s.decoder.joinable())
        s.decoder.join();
}

// The audio thread's callback: mixes every playing stream into the output buffer.
void SDLCALL mix(void* userdata, Uint8* bytes, int length) {
    auto* o = static_cast<Output*>(userdata);
    auto* out = reinterpret_cast<float*>(bytes);
    const size_t samples = static_cast<size_t>(length) / sizeof(float);
    const size_t frames = samples / kOutChannels;
    std::fill(out, out + samples, 0.0f);

    std::lock_guard lock(o->state);
    const auto keepFrames = static_cast<size_t>(o->keepSeconds * o->rate);
    for (auto& [handle, s] : o->streams) {
        if (!s->playing)
            continue;
        const size_t n = std::min(frames, s->frames() - s->readFrame);
        auto it = s->samples.cbegin() + static_cast<std::ptrdiff_t>(s->readFrame * kOutChannels);
        for (size_t i = 0; i < n * kOutChannels; ++i, ++it)
            out[i] += *it;
        s->readFrame += n;
        s->played += n;
        if (s->decoded && s->readFrame == s->frames())
            s->playing = false; // finished
        if (s->frames() > keepFrames && s->readFrame > 0) {
            s->samples.erase(s->samples.begin(),
                             s->samples.begin() +
                                 static_cast<std::ptrdiff_t>(s->readFrame * kOutChannels));
            s->dropped += s->readFrame;
            s->readFrame = 0;
        }
        if (n > 0)
            s->wake.notify_one();
    }
    for (size_t i = 0; i < samples; ++i)
        out[i] = std::clamp(out[i], -1.0f, 1.0f);
}

void Output::shutdown() {
    if (device != 0)
        lib.SDL_CloseAudioDevice(device); // waits for the audio thread to leave mix()
    std::map<HSTREAM, std::shared_ptr<Stream>> gone;
    {
        std::lock_guard lock(state);
        gone.swap(streams);
    }
    for (auto& [handle, s] : gone)
        stopDecoder(*this, *s);
    if (device != 0) {
        device = 0;
        lib.SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    references = 0;
}

std::shared_ptr<Stream> findStream(Output& o, uint32_t handle) {
    std::lock_guard lock(o.state);
    const auto it = o.streams.find(handle);
    return it == o.streams.end() ? nullptr : it->second;
}

} // namespace

int BASS_Init(int device, uint32_t freq, uint32_t, uintptr_t, const void*) {
    if (device != -1)
        return 0;
    Output& o = output();
    std::lock_guard api(o.api);
    if (o.references > 0) {
        ++o.references;
        return 1;
    }
    if (!soundLibraries())
        return 0; // no SDL2 or libsndfile: the alarms ring without sound
    // SDL's audio brings its event loop, which would take SIGINT and SIGTERM for itself: a
    // clock that had rung once could no longer be ended by the session or by kill.
    lib.SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    quietAlsa();
    if (lib.SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return 0; // no audio driver at all
    SDL_AudioSpec want{};
    want.freq = (freq >= 8000 && freq <= 384000) ? static_cast<int>(freq) : kDefaultRate;
    want.format = AUDIO_F32SYS;
    want.channels = kOutChannels;
    want.samples = kDeviceFrames;
    want.callback = mix;
    want.userdata = &o;
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID id =
        lib.SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (id == 0) {
        lib.SDL_QuitSubSystem(SDL_INIT_AUDIO); // no device, no sound server
        return 0;
    }
    o.device = id;
    o.rate = have.freq;
    o.references = 1;
    lib.SDL_PauseAudioDevice(id, 0);
    return 1;
}

HSTREAM BASS_StreamCreateFile(bool mem, const void* file, uint64_t, uint64_t, uint32_t) {
    if (mem || file == nullptr)
        return 0;
    Output& o = output();
    std::lock_guard api(o.api);
    if (o.references == 0)
        return 0;
    const std::string path(static_cast<const char*>(file));
    Source src;
    if (!openSource(path, o.rate, src))
        return 0;
    do {
        ++o.lastHandle;
    } while (o.lastHandle == 0 || o.streams.count(o.lastHandle) != 0);
    auto s = std::make_shared<Stream>(o.lastHandle, path);
    {
        std::lock_guard lock(o.state);
        o.streams.emplace(s->handle, s);
    }
    startDecoder(o, s, std::move(src));
    return s->handle;
}

int BASS_ChannelPlay(uint32_t handle, int restart) {
    Output& o = output();
    std::lock_guard api(o.api);
    const auto s = findStream(o, handle);
    if (!s)
        return 0;
    {
        std::lock_guard lock(o.state);
        if (!restart || s->dropped == 0) {
            if (restart) {
                s->readFrame = 0;
                s->played = 0;
            }
            s->playing = true;
            return 1;
        }
    }
    // The start of a long sound was dropped while it played: decode it again.
    stopDecoder(o, *s);
    Source src;
    const bool opened = openSource(s->path, o.rate, src);
    {
        std::lock_guard lock(o.state);
        s->samples.clear();
        s->readFrame = 0;
        s->dropped = 0;
        s->played = 0;
        s->cancel = false;
        s->decoded = !opened;
        s->playing = opened;
    }
    if (opened)
        startDecoder(o, s, std::move(src));
    return 1;
}

int BASS_ChannelStop(uint32_t handle) {
    Output& o = output();
    std::lock_guard api(o.api);
    const auto s = findStream(o, handle);
    if (!s)
        return 0;
    std::lock_guard lock(o.state);
    s->playing = false;
    return 1;
}

uint32_t BASS_ChannelIsActive(uint32_t handle) {
    Output& o = output();
    const auto s = findStream(o, handle);
    if (!s)
        return BASS_ACTIVE_STOPPED;
    std::lock_guard lock(o.state);
    return s->playing ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STOPPED;
}

uint64_t BASS_ChannelGetPosition(uint32_t handle, uint32_t mode) {
    Output& o = output();
    const auto s = findStream(o, handle);
    if (!s || mode != BASS_POS_BYTE)
        return 0;
    std::lock_guard lock(o.state);
    return s->played * kOutChannels * sizeof(float);
}

int BASS_StreamFree(HSTREAM handle) {
    Output& o = output();
    std::lock_guard api(o.api);
    std::shared_ptr<Stream> s;
    {
        std::lock_guard lock(o.state);
        const auto it = o.streams.find(handle);
        if (it == o.streams.end())
            return 0;
        s = it->second;
        o.streams.erase(it);
    }
    stopDecoder(o, *s);
    return 1;
}

void SetSoundBuffering(double aheadSeconds, double keepSeconds) {
    Output& o = output();
    std::lock_guard api(o.api);
    std::lock_guard lock(o.state);
    o.aheadSeconds = std::max(aheadSeconds, 0.0);
    o.keepSeconds = std::max(keepSeconds, 0.0);
}

int BASS_Free() {
    Output& o = output();
    std::lock_guard api(o.api);
    if (o.references == 0)
        return 0;
    if (--o.references == 0)
        o.shutdown();
    return 1;
}
