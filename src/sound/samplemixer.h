#pragma once
// The audio output: SDL2_mixer with one mixing channel per string, and a
// cache of decoded samples. Opens the default audio device, or SDL's dummy
// output where there is none, so the program behaves the same without sound.

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct Mix_Chunk;

namespace chordmoss {

class SampleMixer {
public:
    /// Returns the process-wide mixer, opening the output on first use.
    static SampleMixer& instance();
    ~SampleMixer();

    bool isOpen() const { return m_open; }
    /// Decodes the given files in the background, so the first note is as
    /// quick as the rest.
    void preload(std::vector<std::string> paths);
    /// Waits until the background decoding has finished.
    void waitForPreload();
    /// True when `path` is decoded and cached: it plays from memory, with no
    /// look at the file system.
    bool isCached(const std::string& path) const;
    /// Returns the decoded sample, decoding it now when it is not cached yet;
    /// nullptr when the file cannot be decoded.
    Mix_Chunk* chunk(const std::string& path);

    void start(int channel, Mix_Chunk* chunk, int volume);
    void halt(int channel);
    bool playing(int channel) const;
    void setVolume(int channel, int volume);

    /// For latency measurement: the moment the mixer first handed a channel's
    /// newest sample to the output, or an empty time point while it has not.
    std::chrono::steady_clock::time_point firstFrameTime(int channel) const;

private:
    SampleMixer();
    Mix_Chunk* decode(const std::string& path);
    static std::string cacheKey(const std::string& path);
    static void channelEffect(int chan, void* stream, int len, void* udata);

    bool m_open = false;
    mutable std::mutex m_cacheMutex;
    std::mutex m_decodeMutex;
    std::map<std::string, Mix_Chunk*> m_cache; // nullptr: a file that cannot be played
    std::thread m_preloader;
    std::atomic<bool> m_stopPreload{false};
    static constexpr int kChannels = 6;
    std::atomic<bool> m_awaitingFirst[kChannels] = {};
    std::atomic<std::chrono::steady_clock::rep> m_firstFrame[kChannels] = {};
};

} // namespace chordmoss
