#pragma once
// The audio output: SDL2_mixer with one mixing channel per string, and a
// cache of decoded samples.
//
// One background thread owns the device and the decoders. The event thread
// only starts, stops and asks: a cached sample on an open device starts at
// once; anything else (a sample not decoded yet, a device that is closed or
// lost) is handed to the background thread, which opens the device, decodes,
// and starts the note if it is still wanted. So a device open, a slow sound
// server or a large file never holds up a window event.
//
// The device is closed after a moment of silence (an open output wakes the
// machine hundreds of times a second even when it plays nothing) and opened
// again by the next note. A lost device (a sound server that went away) or
// one that could not be opened is tried again at the next note, at most four
// times a second. The strings are mixed here, not by SDL_mixer, without a
// lock the event thread could hold up, and their sum passes a peak limiter,
// so six strings together never clip.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct Mix_Chunk;
struct SDL_Thread;

namespace chordmoss {

class SampleMixer {
public:
    static constexpr int kRate = 44100;
    static constexpr int kChannels = 6;
    /// The decoded samples' format: signed 16-bit, two channels, kRate.
    static constexpr int kOutputChannels = 2;
    /// Files larger than this, or longer than kMaxSeconds, are no string
    /// samples: they are treated as unreadable.
    static constexpr long kMaxFileBytes = 10L << 20;
    static constexpr int kMaxSeconds = 20;

    /// Returns the process-wide mixer; its thread starts on first use.
    static SampleMixer& instance();
    ~SampleMixer();

    /// Decodes the given files in the background, so the first note is as
    /// quick as the rest.
    void preload(std::vector<std::string> paths);
    /// Waits until every decode and every note asked for so far is dealt
    /// with (or cannot be, for want of a device).
    void waitForPreload();
    /// True when `path` is decoded and cached.
    bool isCached(const std::string& path) const;
    /// Decodes `path` if needed, waiting for it; nullptr when the file cannot
    /// be played or no device can be opened. For measurement and tests.
    const Mix_Chunk* decoded(const std::string& path);

    /// Starts `path` on a channel from its beginning; silence when the file
    /// cannot be played.
    void start(int channel, const std::string& path, int volume);
    void halt(int channel);
    /// True from a start until the note has ended, was halted, or was lost
    /// with its device.
    bool playing(int channel) const;
    void setVolume(int channel, int volume);

    /// True while the output device is open.
    bool deviceOpen() const;
    /// How often the device was opened, and how often that failed.
    int opens() const { return m_opens; }
    int failedOpens() const { return m_failedOpens; }

    /// The scheduling the mixing thread got at the last device open: 0
    /// normal, 1 raised, 2 real-time (see ThreadPriority).
    int mixingPriority() const { return m_priority; }

    /// For latency measurement: the moment the mixer first handed a channel's
    /// newest sample to the output, or an empty time point while it has not.
    std::chrono::steady_clock::time_point firstFrameTime(int channel) const;

private:
    using Clock = std::chrono::steady_clock;
    struct Start {
        std::string key;
        int volume;
        Clock::time_point asked;
    };

    SampleMixer();
    void run();
    bool openDevice();
    void closeDevice(bool lost);
    void decodeOne(const std::string& key);
    void startNow(int channel, Mix_Chunk* chunk, int volume);
    void silence(int channel);
    bool sounding(int channel) const;
    static std::string cacheKey(const std::string& path);
    static void mix(void* udata, unsigned char* stream, int len);

    /// One string's voice. The starting side sets the chunk and counts
    /// `started` up; the mixing thread plays the newest start from its
    /// beginning and sets `ended` to it when it has played out.
    struct Voice {
        std::atomic<const Mix_Chunk*> chunk{nullptr};
        std::atomic<unsigned> started{0}, ended{0};
        std::atomic<float> gain{0.5f};
        std::atomic<Clock::rep> firstFrame{0};
        unsigned seen = 0; // the mixing thread's
        const Mix_Chunk* playing = nullptr;
        unsigned position = 0;
    };

    mutable std::mutex m_mutex; // everything below but the atomics
    std::condition_variable m_wake, m_idle;
    // An SDL thread, not a std::thread: SDL frees what it keeps per thread
    // (its last error text) only for threads it started itself.
    SDL_Thread* m_thread = nullptr;
    bool m_stop = false;
    bool m_open = false;      // Mix calls are made only while this holds
    bool m_wantOpen = false;  // a note is waiting for the device
    bool m_busy = false;      // the thread is decoding or opening
    bool m_audioUp = false;   // SDL's audio subsystem is initialised (thread only)
    bool m_raised = false;    // the mixing thread's priority was asked for (thread only)
    Clock::time_point m_nextAttempt{}, m_lastSound{};
    std::map<std::string, Mix_Chunk*> m_cache; // nullptr: a file that cannot be played
    std::deque<std::string> m_toDecode;
    std::optional<Start> m_pending[kChannels];
    std::atomic<int> m_opens{0}, m_failedOpens{0}, m_priority{0};
    std::atomic<int> m_mixThread{0}; // the mixing thread's id, once it has run

    Voice m_voices[kChannels];
    float m_limiterGain = 1.0f; // the mixing thread's
    std::vector<float> m_sum = std::vector<float>(1 << 16);
};

/// Seconds of audio in an MP3 stream, by walking its MPEG audio frame headers
/// (layer III); 0 when the data holds no such frames.
double mp3Seconds(const std::vector<unsigned char>& data);
/// The file's bytes when it may be a string sample, else nothing.
std::optional<std::vector<unsigned char>> readSample(const std::string& path);

} // namespace chordmoss
