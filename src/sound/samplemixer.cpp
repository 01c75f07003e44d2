#include "samplemixer.h"
#include "realtimepriority.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <sys/syscall.h>
#include <unistd.h>

namespace chordmoss {

namespace {

using namespace std::chrono_literals;

// The buffer SDL mixes into, and what a sound server keeps queued ahead of
// its sink. The server splits the queue asked for into its own latency and
// two requests of a quarter each, and SDL writes whole buffers: a buffer
// larger than a request (256 frames, 5.8 ms, against a 20 ms queue's 5 ms)
// waits for a second request while the queue runs down, and the stream ran
// dry now and then. Small buffers keep the queue topped up: 64 frames
// (1.5 ms) in a 16 ms queue played without a gap under ordinary busy
// processes at four times the cores, with the mixing thread at real-time
// priority, and a note was heard about 13 ms after its click; queues of 10
// and 12 ms dropped out at that load.
constexpr int kBufferFrames = 64;
constexpr const char* kServerLatencyMs = "16";
// The strings are summed in floating point; a limiter holds the peaks of
// several strings together below full scale and leaves one string alone.
constexpr float kLimit = 0.89f * 32767.0f; // -1 dBFS
// The limiter's gain recovers with a time constant of about 80 ms.
const float kRelease = float(1.0 - std::exp(-1.0 / (0.080 * SampleMixer::kRate)));
// Silence this long closes the device; a note waits at most this long for
// the device or its decoding before it is too late to be worth playing.
constexpr auto kLinger = 2s;
constexpr auto kStale = 300ms;
constexpr auto kRetry = 250ms;
constexpr auto kTick = 200ms;

float channelGain(int volume) { return float(std::clamp(volume, 0, 100)) / 100.0f; }
bool isChannel(int channel) { return channel >= 0 && channel < SampleMixer::kChannels; }

} // namespace

double mp3Seconds(const std::vector<unsigned char>& d)
{
    static const int kbps[2][15] = {{0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
                                    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}};
    static const int rates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};
    size_t pos = 0;
    if (d.size() >= 10 && d[0] == 'I' && d[1] == 'D' && d[2] == '3') // a leading tag
        pos = 10 + ((d[6] & 0x7f) << 21 | (d[7] & 0x7f) << 14 | (d[8] & 0x7f) << 7 | (d[9] & 0x7f));
    double seconds = 0;
    while (pos + 4 <= d.size()) {
        const unsigned char b1 = d[pos + 1], b2 = d[pos + 2];
        const int version = (b1 >> 3) & 3, layer = (b1 >> 1) & 3, rateIndex = (b2 >> 2) & 3, bitIndex = b2 >> 4;
        if (d[pos] != 0xff || (b1 & 0xe0) != 0xe0 || version == 1 || layer != 1 || rateIndex == 3 || bitIndex == 0
            || bitIndex == 15)
            break;
        const bool mpeg1 = version == 3;
        const int rate = rates[mpeg1 ? 0 : version == 2 ? 1 : 2][rateIndex];
        const int samples = mpeg1 ? 1152 : 576;
        pos += size_t(samples / 8 * kbps[mpeg1 ? 0 : 1][bitIndex] * 1000 / rate + ((b2 >> 1) & 1));
        seconds += double(samples) / rate;
    }
    return seconds;
}

std::optional<std::vector<unsigned char>> readSample(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return std::nullopt;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size == 0 || size > std::uintmax_t(SampleMixer::kMaxFileBytes))
        return std::nullopt;
    std::vector<unsigned char> data(size);
    std::ifstream in(path, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(data.data()), std::streamsize(size)))
        return std::nullopt;
    // The length of MP3 data is known before decoding; other formats are
    // taken only when small enough that decoding them cannot run away.
    const double seconds = mp3Seconds(data);
    if (seconds > SampleMixer::kMaxSeconds || (seconds == 0 && size > (1u << 20)))
        return std::nullopt;
    return data;
}

SampleMixer& SampleMixer::instance()
{
    static SampleMixer mixer;
    return mixer;
}

SampleMixer::SampleMixer()
{
    // SDL would otherwise turn SIGINT and SIGTERM into events nobody reads,
    // and the program could no longer be stopped by them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The sound server's client library reads its queue length from here; a
    // value the user has set is kept.
    setenv("PULSE_LATENCY_MSEC", kServerLatencyMs, 0);
    SDL_InitSubSystem(SDL_INIT_EVENTS); // device removal is reported as an event
    Mix_Init(MIX_INIT_MP3);
    m_thread = SDL_CreateThread(
        [](void* self) {
            static_cast<SampleMixer*>(self)->run();
            return 0;
        },
        "chordmoss-sound", this);
}

SampleMixer::~SampleMixer()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    SDL_WaitThread(m_thread, nullptr);
    for (auto& [path, c] : m_cache) {
        if (c)
            Mix_FreeChunk(c);
    }
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

std::string SampleMixer::cacheKey(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::absolute(path, ec).lexically_normal().string();
}

void SampleMixer::preload(std::vector<std::string> paths)
{
    const std::lock_guard lock(m_mutex);
    for (std::string& p : paths)
        m_toDecode.push_back(cacheKey(p));
    m_wantOpen = true;
    m_wake.notify_one();
}

void SampleMixer::waitForPreload()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] {
        const bool stuck = !m_open && !m_wantOpen; // no device: nothing more happens
        bool waiting = false;
        for (const auto& p : m_pending)
            waiting = waiting || p;
        return !m_busy && (stuck || (m_toDecode.empty() && !waiting));
    });
}

bool SampleMixer::isCached(const std::string& path) const
{
    const std::lock_guard lock(m_mutex);
    const auto it = m_cache.find(cacheKey(path));
    return it != m_cache.end() && it->second != nullptr;
}

const Mix_Chunk* SampleMixer::decoded(const std::string& path)
{
    const std::string key = cacheKey(path);
    std::unique_lock lock(m_mutex);
    if (!m_cache.count(key)) {
        m_toDecode.push_front(key);
        m_wantOpen = true;
        m_wake.notify_one();
    }
    m_idle.wait(lock, [&] { return m_cache.count(key) || (!m_busy && !m_open && !m_wantOpen); });
    const auto it = m_cache.find(key);
    return it == m_cache.end() ? nullptr : it->second;
}

void SampleMixer::start(int channel, const std::string& path, int volume)
{
    if (!isChannel(channel))
        return;
    const std::string key = cacheKey(path);
    const std::lock_guard lock(m_mutex);
    m_pending[channel].reset();
    m_voices[channel].gain = channelGain(volume);
    silence(channel);
    const auto it = m_cache.find(key);
    if (it != m_cache.end() && !it->second)
        return; // a source that cannot be played is silence
    if (m_open && it != m_cache.end()) {
        startNow(channel, it->second, volume);
        return;
    }
    m_pending[channel] = Start{key, volume, Clock::now()};
    if (!m_open)
        m_wantOpen = true;
    m_wake.notify_one();
}

void SampleMixer::startNow(int channel, Mix_Chunk* c, int volume)
{
    Voice& v = m_voices[channel];
    v.gain = channelGain(volume);
    v.firstFrame = 0;
    v.chunk = c;
    ++v.started; // the mixing thread takes it from its next buffer on
    m_lastSound = Clock::now();
}

void SampleMixer::silence(int channel)
{
    Voice& v = m_voices[channel];
    v.chunk = nullptr;
    v.ended = ++v.started;
}

void SampleMixer::halt(int channel)
{
    if (!isChannel(channel))
        return;
    const std::lock_guard lock(m_mutex);
    m_pending[channel].reset();
    silence(channel);
}

bool SampleMixer::playing(int channel) const
{
    if (!isChannel(channel))
        return false;
    const std::lock_guard lock(m_mutex);
    return m_pending[channel] || (m_open && sounding(channel));
}

void SampleMixer::setVolume(int channel, int volume)
{
    if (isChannel(channel))
        m_voices[channel].gain = channelGain(volume);
}

bool SampleMixer::sounding(int channel) const
{
    const Voice& v = m_voices[channel];
    return v.chunk.load() && v.started.load() != v.ended.load();
}

bool SampleMixer::deviceOpen() const
{
    const std::lock_guard lock(m_mutex);
    return m_open;
}

bool SampleMixer::openDevice()
{
    // A subsystem that talked to a sound server which has gone cannot open a
    // device again: one retry starts it afresh.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!m_audioUp)
            m_audioUp = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        m_mixThread = 0;
        m_raised = false;
        if (m_audioUp && Mix_OpenAudioDevice(kRate, AUDIO_S16SYS, kOutputChannels, kBufferFrames, nullptr, 0) == 0) {
            Mix_AllocateChannels(0); // the strings are mixed here, not by SDL_mixer
            Mix_SetPostMix(&SampleMixer::mix, this);
            SDL_FlushEvents(SDL_AUDIODEVICEADDED, SDL_AUDIODEVICEREMOVED);
            ++m_opens;
            return true;
        }
        if (m_audioUp)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_audioUp = false;
    }
    ++m_failedOpens;
    return false;
}

void SampleMixer::closeDevice(bool lost)
{
    Mix_CloseAudio();
    if (lost && m_audioUp) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_audioUp = false;
    }
}

void SampleMixer::decodeOne(const std::string& key)
{
    // Runs without the lock: the event thread goes on meanwhile.
    Mix_Chunk* c = nullptr;
    if (auto data = readSample(key)) {
        c = Mix_LoadWAV_RW(SDL_RWFromConstMem(data->data(), int(data->size())), 1);
        if (c && c->alen > Uint32(kMaxSeconds) * kRate * kOutputChannels * 2) {
            Mix_FreeChunk(c);
            c = nullptr;
        }
        if (c) {
            // An MP3 decodes with the encoder's delay in front, some 25 ms of
            // near silence: dropped, a note sounds as soon as it starts.
            auto* pcm = reinterpret_cast<Sint16*>(c->abuf);
            const Uint32 count = c->alen / 2;
            Uint32 lead = 0;
            while (lead < count && std::abs(pcm[lead]) < 8)
                ++lead;
            lead -= lead % kOutputChannels;
            std::memmove(pcm, pcm + lead, (count - lead) * 2);
            c->alen = (count - lead) * 2;
        }
    }
    const std::lock_guard lock(m_mutex);
    m_cache.emplace(key, c);
}

void SampleMixer::run()
{
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        auto now = Clock::now();
        if (!m_open && m_wantOpen && now >= m_nextAttempt) {
            m_busy = true;
            lock.unlock();
            const bool ok = openDevice();
            lock.lock();
            m_busy = false;
            m_wantOpen = false;
            m_open = ok;
            m_lastSound = Clock::now();
            if (!ok) {
                // The notes waiting are lost; the next note tries again.
                m_nextAttempt = Clock::now() + kRetry;
                for (auto& p : m_pending)
                    p.reset();
                m_idle.notify_all();
            }
            continue;
        }
        if (m_open) {
            // Decode what a waiting note needs first, start the notes that
            // are ready, then decode what was preloaded: a note whose sample
            // is at hand does not wait for the rest of the preloading (39
            // samples took longer than a note stays worth playing).
            std::string key;
            now = Clock::now();
            for (int ch = 0; ch < kChannels; ++ch) {
                const auto it = m_pending[ch] ? m_cache.find(m_pending[ch]->key) : m_cache.end();
                if (it == m_cache.end()) {
                    key = m_pending[ch] ? m_pending[ch]->key : key;
                    continue;
                }
                if (it->second && now - m_pending[ch]->asked < kStale)
                    startNow(ch, it->second, m_pending[ch]->volume);
                m_pending[ch].reset();
            }
            while (key.empty() && !m_toDecode.empty()) {
                if (!m_cache.count(m_toDecode.front()))
                    key = m_toDecode.front();
                m_toDecode.pop_front();
            }
            if (!key.empty()) {
                m_busy = true;
                lock.unlock();
                decodeOne(key);
                lock.lock();
                m_busy = false;
                m_idle.notify_all();
                continue;
            }
            SDL_Event e;
            bool lost = false;
            while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_AUDIODEVICEREMOVED, SDL_AUDIODEVICEREMOVED) > 0)
                lost = lost || !e.adevice.iscapture;
            SDL_FlushEvent(SDL_AUDIODEVICEADDED);
            bool sounding = false;
            for (int ch = 0; ch < kChannels; ++ch)
                sounding = sounding || this->sounding(ch);
            if (sounding)
                m_lastSound = now;
            if (lost || now - m_lastSound > kLinger) {
                // Closed under the flag: the event thread makes no Mix call
                // while the device goes.
                m_open = false;
                for (int ch = 0; ch < kChannels; ++ch)
                    silence(ch);
                m_busy = true;
                lock.unlock();
                closeDevice(lost);
                lock.lock();
                m_busy = false;
                m_idle.notify_all();
                continue;
            }
        }
        if (m_open && !m_raised && m_mixThread) {
            // The thread that mixes and talks to the sound server (SDL's, new
            // with each device) runs ahead of ordinary work: at normal
            // priority a busy machine held it up past the server's queue and
            // the strings broke up. Asked for from here, once the waiting
            // notes have started, as it may mean a round trip to a broker
            // that the mixing thread must not wait for.
            m_raised = true;
            const pid_t tid = m_mixThread;
            lock.unlock();
            m_priority = int(raiseAudioThread(tid));
            lock.lock();
            continue;
        }
        m_idle.notify_all();
        if (m_open)
            m_wake.wait_for(lock, m_raised ? kTick : 2ms); // the mixing thread's first buffer comes at once
        else if (m_wantOpen)
            m_wake.wait_until(lock, m_nextAttempt);
        else
            m_wake.wait(lock);
    }
    if (m_open) {
        m_open = false;
        closeDevice(true);
    } else if (m_audioUp) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

std::chrono::steady_clock::time_point SampleMixer::firstFrameTime(int channel) const
{
    return Clock::time_point(Clock::duration(m_voices[channel].firstFrame.load()));
}

void SampleMixer::mix(void* udata, Uint8* stream, int len)
{
    // Runs on SDL's mixing thread. It takes each voice's newest start through
    // the voice's counters, so the event thread never waits for this thread
    // and this one never waits for the event thread.
    auto* self = static_cast<SampleMixer*>(udata);
    thread_local const pid_t tid = pid_t(syscall(SYS_gettid));
    if (self->m_mixThread.load(std::memory_order_relaxed) != tid)
        self->m_mixThread = tid; // for the control thread to raise
    auto* out = reinterpret_cast<Sint16*>(stream);
    const int count = len / 2;
    float* sum = self->m_sum.data();
    std::fill(sum, sum + count, 0.0f);
    for (Voice& v : self->m_voices) {
        const unsigned started = v.started.load();
        if (started != v.seen) {
            v.seen = started;
            v.playing = v.chunk.load();
            v.position = 0;
            if (v.playing)
                v.firstFrame = Clock::now().time_since_epoch().count();
        }
        if (!v.playing)
            continue;
        const auto* pcm = reinterpret_cast<const Sint16*>(v.playing->abuf);
        const Uint32 total = v.playing->alen / 2;
        const float g = v.gain;
        const Uint32 n = std::min<Uint32>(Uint32(count), total - v.position);
        for (Uint32 i = 0; i < n; ++i)
            sum[i] += pcm[v.position + i] * g;
        v.position += n;
        if (v.position >= total) {
            v.playing = nullptr;
            v.ended = started;
        }
    }
    float g = self->m_limiterGain;
    for (int i = 0; i + 1 < count; i += 2) {
        const float peak = std::max(std::abs(sum[i]), std::abs(sum[i + 1]));
        const float target = peak > kLimit ? kLimit / peak : 1.0f;
        // Down at once, so no sample passes the limit; back up slowly.
        g = std::min(target, g + (1.0f - g) * kRelease);
        out[i] = Sint16(std::lrint(sum[i] * g));
        out[i + 1] = Sint16(std::lrint(sum[i + 1] * g));
    }
    self->m_limiterGain = g;
}

} // namespace chordmoss
