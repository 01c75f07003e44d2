#pragma once
// The audio output: one SDL2 output device, six strings mixed here, and a
// cache of decoded samples.
//
// Two background threads do the slow work. A decoding thread, at ordinary
// priority, reads MP3 files into the cache, the notes that are waiting
// first. A device thread opens and closes the output device and raises the
// priority of SDL's mixing thread. The event thread only starts, stops and
// asks: a cached sample on an open device starts at once; anything else (a
// sample not decoded yet, a device that is closed or lost) is left waiting
// for the other two, and starts if it is still wanted. So a device open, a
// slow sound server or a large file never holds up a window event.
//
// The device is closed after a moment of silence (an open output wakes the
// machine hundreds of times a second even when it plays nothing) and opened
// again by the next note. A lost device (a sound server that went away) or
// one that could not be opened is tried again at the next note, at most four
// times a second. The strings are mixed without a lock the event thread
// could hold up, and their sum passes a peak limiter, so six strings
// together never clip.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "decodedsample.h"

struct SDL_Thread;

namespace chordmoss {


class SampleMixer {
public:
    static constexpr int kRate = 44100;
    static constexpr int kChannels = 6;
    /// The output device's channels; the strings are mixed in mono.
    static constexpr int kOutputChannels = 2;
    /// Files larger than this, or longer than kMaxSeconds, are no string
    /// samples: they are treated as unreadable.
    static constexpr long kMaxFileBytes = 10L << 20;
    static constexpr int kMaxSeconds = 20;

    /// Returns the process-wide mixer; its threads start on first use.
    static SampleMixer& instance();
    ~SampleMixer();
    /// Stops the mixer's threads, waiting at most `limit` for them; false
    /// when one is still stuck (in a sound server that does not answer), and
    /// the process should end without waiting for it. True when there is no
    /// mixer.
    static bool finish(std::chrono::milliseconds limit);

    /// Decodes the given files in the background, in this order, so the
    /// first note is as quick as the rest. Opens no device.
    void preload(std::vector<std::string> paths);
    /// Waits until every decode and every note asked for so far is dealt
    /// with (or cannot be, for want of a device).
    void waitForPreload();
    /// True when `path` is decoded and cached.
    bool isCached(const std::string& path) const;
    /// How many files were decoded (or found unplayable) so far.
    int decodedCount() const;
    /// Decodes `path` if needed, waiting for it; nullptr when the file cannot
    /// be played. For measurement and tests.
    const DecodedSample* decoded(const std::string& path);
    /// Puts `sample` in the cache under `path`, as if decoded from it. For
    /// tests and measurement of the mixing.
    void put(const std::string& path, DecodedSample sample);

    /// Starts `path` on a channel from its beginning; silence when the file
    /// cannot be played. A note still waiting for its device or its sample
    /// `kStale` after `asked` is dropped.
    void start(int channel, const std::string& path, int volume,
               std::chrono::steady_clock::time_point asked = std::chrono::steady_clock::now());
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

    /// How long a note may wait for its device or its sample.
    static constexpr std::chrono::milliseconds kStale{300};

private:
    using Clock = std::chrono::steady_clock;
    struct Start {
        std::string key;
        int volume;
        Clock::time_point asked;
    };

    SampleMixer();
    void stop();
    void runDevice();
    void runDecoder();
    bool openDevice();
    void closeDevice(bool lost);
    void startNow(int channel, const DecodedSample* sample, int volume);
    void silence(int channel);
    bool sounding(int channel) const;
    bool cached(const std::string& key) const;
    static std::string cacheKey(const std::string& path);
    static void mix(void* udata, unsigned char* stream, int len);

    /// One string's voice. The starting side sets the sample and counts
    /// `started` up; the mixing thread plays the newest start from its lead
    /// on and sets `ended` to it when it has played out.
    struct Voice {
        std::atomic<const DecodedSample*> sample{nullptr};
        std::atomic<unsigned> started{0}, ended{0};
        std::atomic<float> gain{0.5f};
        std::atomic<Clock::rep> firstFrame{0};
        unsigned seen = 0; // the mixing thread's
        const DecodedSample* playing = nullptr;
        std::uint32_t position = 0;
    };

    mutable std::mutex m_mutex; // everything below but the atomics
    std::condition_variable m_wake, m_work, m_idle;
    // The device thread is an SDL thread, not a std::thread: SDL frees what
    // it keeps per thread (its last error text) only for threads it started.
    SDL_Thread* m_thread = nullptr;
    std::thread m_decoder;
    bool m_stop = false;
    int m_running = 2;        // threads not yet ended
    bool m_open = false;      // the device is open and its callback runs
    bool m_wantOpen = false;  // a note is waiting for the device
    bool m_opening = false;   // the device thread is opening or closing
    bool m_decoding = false;  // the decoding thread is at work
    bool m_audioUp = false;   // SDL's audio subsystem is initialised (device thread only)
    bool m_raised = false;    // the mixing thread's priority was asked for (device thread only)
    std::uint32_t m_device = 0;
    Clock::time_point m_nextAttempt{}, m_lastSound{};
    std::map<std::string, std::unique_ptr<const DecodedSample>> m_cache; // empty: a file that cannot be played
    std::deque<std::string> m_toDecode;
    std::optional<Start> m_pending[kChannels];
    std::atomic<int> m_opens{0}, m_failedOpens{0}, m_priority{0};
    std::atomic<int> m_mixThread{0}; // the mixing thread's id, once it has run

    Voice m_voices[kChannels];
    float m_limiterCut = 0.0f; // the mixing thread's: 1 - the limiter's gain
    std::vector<float> m_sum = std::vector<float>(1 << 15);
};

/// Seconds of audio in an MP3 stream, by walking its MPEG audio frame headers
/// (layer III); 0 when the data holds no such frames.
double mp3Seconds(const std::vector<unsigned char>& data);
/// The file's bytes when it may be a string sample, else nothing.
std::optional<std::vector<unsigned char>> readSample(const std::string& path);
/// MP3 data decoded to mono 16-bit at SampleMixer::kRate (stereo mixed down,
/// other rates converted); nothing when it is not MP3 audio.
std::optional<std::vector<std::int16_t>> decodeMp3(const std::vector<unsigned char>& data);
/// The first frame at which a note is heard: after the run of near silence
/// (below 8 in 32767) an MP3 encoder puts in front.
std::uint32_t leadIn(const std::vector<std::int16_t>& pcm);

} // namespace chordmoss
