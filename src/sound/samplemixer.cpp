#include "samplemixer.h"
#include "realtimepriority.h"

#include <SDL.h>
#include <mpg123.h>

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
// The limiter's gain recovers with a time constant of about 80 ms: what it
// takes off is kept, and shrinks by this factor a frame. (Kept as the cut,
// not the gain: a gain a hair below 1 cannot creep up by steps smaller than
// a float's resolution there, and stayed 0.01 % short for good.)
const float kKeep = float(std::exp(-1.0 / (0.080 * SampleMixer::kRate)));
// Silence this long closes the device.
constexpr auto kLinger = 2s;
constexpr auto kRetry = 250ms;
constexpr auto kTick = 200ms;
// Below this an MP3's first samples are the encoder's delay, not the note.
constexpr int kLeadLevel = 8;

std::atomic<SampleMixer*> g_mixer{nullptr};

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

std::optional<std::vector<std::int16_t>> decodeMp3(const std::vector<unsigned char>& data)
{
    mpg123_handle* h = mpg123_new(nullptr, nullptr);
    if (!h)
        return std::nullopt;
    // One output format: mono 16-bit at the mixer's rate; the library mixes
    // stereo down and converts other rates itself.
    mpg123_param(h, MPG123_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
    mpg123_format_none(h);
    mpg123_format(h, SampleMixer::kRate, MPG123_MONO, MPG123_ENC_SIGNED_16);
    std::vector<std::int16_t> pcm;
    const size_t limit = size_t(SampleMixer::kMaxSeconds) * SampleMixer::kRate;
    pcm.reserve(std::min(limit, size_t(mp3Seconds(data) * SampleMixer::kRate) + 4096)); // grown once, if at all
    bool ok = mpg123_open_feed(h) == MPG123_OK && mpg123_feed(h, data.data(), data.size()) == MPG123_OK;
    while (ok) {
        std::int16_t chunk[4096];
        size_t bytes = 0;
        const int r = mpg123_read(h, chunk, sizeof chunk, &bytes);
        pcm.insert(pcm.end(), chunk, chunk + bytes / 2);
        if (r == MPG123_NEED_MORE || r == MPG123_DONE)
            break;
        ok = (r == MPG123_OK || r == MPG123_NEW_FORMAT) && pcm.size() <= limit;
    }
    mpg123_delete(h);
    if (!ok || pcm.empty())
        return std::nullopt;
    return pcm;
}

std::uint32_t leadIn(const std::vector<std::int16_t>& pcm)
{
    const auto first = std::find_if(pcm.begin(), pcm.end(), [](std::int16_t s) { return std::abs(s) >= kLeadLevel; });
    return std::uint32_t(first - pcm.begin());
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
    m_thread = SDL_CreateThread(
        [](void* self) {
            static_cast<SampleMixer*>(self)->runDevice();
            return 0;
        },
        "chordmoss-sound", this);
    m_decoder = std::thread([this] { runDecoder(); });
    g_mixer = this;
}

void SampleMixer::stop()
{
    const std::lock_guard lock(m_mutex);
    m_stop = true;
    m_wake.notify_all();
    m_work.notify_all();
}

bool SampleMixer::finish(std::chrono::milliseconds limit)
{
    SampleMixer* self = g_mixer;
    if (!self)
        return true;
    self->stop();
    std::unique_lock lock(self->m_mutex);
    return self->m_idle.wait_for(lock, limit, [self] { return self->m_running == 0; });
}

SampleMixer::~SampleMixer()
{
    stop();
    SDL_WaitThread(m_thread, nullptr);
    m_decoder.join();
    g_mixer = nullptr;
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

std::string SampleMixer::cacheKey(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::absolute(path, ec).lexically_normal().string();
}

bool SampleMixer::cached(const std::string& key) const { return m_cache.count(key) != 0; }

void SampleMixer::preload(std::vector<std::string> paths)
{
    const std::lock_guard lock(m_mutex);
    for (std::string& p : paths)
        m_toDecode.push_back(cacheKey(p));
    m_work.notify_one();
}

void SampleMixer::waitForPreload()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] {
        const bool stuck = !m_open && !m_wantOpen; // no device: no note starts
        bool waiting = false;
        for (const auto& p : m_pending)
            waiting = waiting || (p && !stuck);
        return m_stop || (!m_opening && !m_decoding && m_toDecode.empty() && !waiting);
    });
}

bool SampleMixer::isCached(const std::string& path) const
{
    const std::lock_guard lock(m_mutex);
    const auto it = m_cache.find(cacheKey(path));
    return it != m_cache.end() && it->second != nullptr;
}

int SampleMixer::decodedCount() const
{
    const std::lock_guard lock(m_mutex);
    return int(m_cache.size());
}

const DecodedSample* SampleMixer::decoded(const std::string& path)
{
    const std::string key = cacheKey(path);
    std::unique_lock lock(m_mutex);
    if (!cached(key)) {
        m_toDecode.push_front(key);
        m_work.notify_one();
    }
    m_idle.wait(lock, [&] { return cached(key) || m_stop; });
    const auto it = m_cache.find(key);
    return it == m_cache.end() ? nullptr : it->second.get();
}

void SampleMixer::put(const std::string& path, DecodedSample sample)
{
    const std::lock_guard lock(m_mutex);
    m_cache[cacheKey(path)] = std::make_unique<const DecodedSample>(std::move(sample));
}

void SampleMixer::start(int channel, const std::string& path, int volume, Clock::time_point asked)
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
        startNow(channel, it->second.get(), volume);
        return;
    }
    m_pending[channel] = Start{key, volume, asked};
    if (!m_open)
        m_wantOpen = true;
    m_wake.notify_one();
    if (it == m_cache.end())
        m_work.notify_one();
}

void SampleMixer::startNow(int channel, const DecodedSample* sample, int volume)
{
    Voice& v = m_voices[channel];
    v.gain = channelGain(volume);
    v.firstFrame = 0;
    v.sample = sample;
    ++v.started; // the mixing thread takes it from its next buffer on
    m_lastSound = Clock::now();
}

void SampleMixer::silence(int channel)
{
    Voice& v = m_voices[channel];
    v.sample = nullptr;
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
    return v.sample.load() && v.started.load() != v.ended.load();
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
        SDL_AudioSpec want{};
        want.freq = kRate;
        want.format = AUDIO_S16SYS;
        want.channels = kOutputChannels;
        want.samples = kBufferFrames;
        want.callback = &SampleMixer::mix;
        want.userdata = this;
        // Whatever the device takes, SDL converts to: the callback always
        // writes this format.
        m_device = m_audioUp ? SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0) : 0;
        if (m_device) {
            SDL_FlushEvents(SDL_AUDIODEVICEADDED, SDL_AUDIODEVICEREMOVED);
            SDL_PauseAudioDevice(m_device, 0);
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
    SDL_CloseAudioDevice(m_device);
    m_device = 0;
    if (lost && m_audioUp) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_audioUp = false;
    }
}

void SampleMixer::runDecoder()
{
    // Ordinary priority, and never the mixing thread's business: a file is
    // read and decoded here while the notes that are ready go on sounding.
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        // A waiting note's sample first, then the preloading in its order.
        std::string key;
        for (const auto& p : m_pending)
            if (key.empty() && p && !cached(p->key))
                key = p->key;
        while (key.empty() && !m_toDecode.empty()) {
            if (!cached(m_toDecode.front()))
                key = m_toDecode.front();
            m_toDecode.pop_front();
        }
        if (key.empty()) {
            m_idle.notify_all();
            m_work.wait(lock);
            continue;
        }
        m_decoding = true;
        lock.unlock();
        std::unique_ptr<DecodedSample> sample;
        if (const auto data = readSample(key)) {
            if (const auto pcm = decodeMp3(*data))
                sample = std::make_unique<DecodedSample>(compactSample(*pcm, leadIn(*pcm), kRate));
        }
        lock.lock();
        m_decoding = false;
        m_cache.emplace(key, std::move(sample));
        m_wake.notify_one(); // a note may be ready
        m_idle.notify_all();
    }
    --m_running;
    m_idle.notify_all();
}

void SampleMixer::runDevice()
{
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        auto now = Clock::now();
        if (!m_open && m_wantOpen && now >= m_nextAttempt) {
            m_opening = true;
            lock.unlock();
            const bool ok = openDevice();
            lock.lock();
            m_opening = false;
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
        // Notes that waited too long are dropped: a string heard late
        // sounds like a mistake, not like the chord.
        Clock::time_point due = Clock::time_point::max();
        now = Clock::now();
        for (int ch = 0; ch < kChannels; ++ch) {
            if (!m_pending[ch])
                continue;
            const auto it = m_cache.find(m_pending[ch]->key);
            if (now - m_pending[ch]->asked >= kStale || (it != m_cache.end() && !it->second)) {
                m_pending[ch].reset();
            } else if (m_open && it != m_cache.end()) {
                startNow(ch, it->second.get(), m_pending[ch]->volume);
                m_pending[ch].reset();
            } else {
                due = std::min(due, m_pending[ch]->asked + kStale);
            }
        }
        if (m_open) {
            SDL_Event e;
            bool lost = false;
            while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_AUDIODEVICEREMOVED, SDL_AUDIODEVICEREMOVED) > 0)
                lost = lost || !e.adevice.iscapture;
            SDL_FlushEvent(SDL_AUDIODEVICEADDED);
            bool sounding = due != Clock::time_point::max();
            for (int ch = 0; ch < kChannels; ++ch)
                sounding = sounding || this->sounding(ch);
            if (sounding)
                m_lastSound = now;
            if (lost || now - m_lastSound > kLinger) {
                // Closed under the flag: no note starts while the device goes.
                m_open = false;
                for (int ch = 0; ch < kChannels; ++ch)
                    silence(ch);
                m_opening = true;
                lock.unlock();
                closeDevice(lost);
                lock.lock();
                m_opening = false;
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
            due = std::min(due, now + (m_raised ? kTick : 2ms)); // the mixing thread's first buffer comes at once
        else if (m_wantOpen)
            due = std::min(due, m_nextAttempt);
        if (due == Clock::time_point::max())
            m_wake.wait(lock);
        else
            m_wake.wait_until(lock, due);
    }
    if (m_open) {
        m_open = false;
        lock.unlock();
        closeDevice(true);
        lock.lock();
    } else if (m_audioUp) {
        lock.unlock();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        lock.lock();
    }
    --m_running;
    m_idle.notify_all();
}

std::chrono::steady_clock::time_point SampleMixer::firstFrameTime(int channel) const
{
    return Clock::time_point(Clock::duration(m_voices[channel].firstFrame.load()));
}

void SampleMixer::mix(void* udata, Uint8* stream, int len)
{
    // Runs on SDL's mixing thread. It takes each voice's newest start through
    // the voice's counters, so the event thread never waits for this thread
    // and this one never waits for the event thread. The strings are mono:
    // summed once, written to both output channels.
    auto* self = static_cast<SampleMixer*>(udata);
    thread_local const pid_t tid = pid_t(syscall(SYS_gettid));
    if (self->m_mixThread.load(std::memory_order_relaxed) != tid) {
        // A new device's thread: real-time at once where the process may set
        // it itself, as its first buffers are the ones a busy machine held up
        // (a stream that runs dry right after it starts waits for its
        // queue to fill again). Else the device thread asks the broker.
        raiseThisThread();
        self->m_mixThread = tid;
    }
    auto* out = reinterpret_cast<Sint16*>(stream);
    const int frames = std::min(len / 2 / kOutputChannels, int(self->m_sum.size()));
    float* sum = self->m_sum.data();
    std::fill(sum, sum + frames, 0.0f);
    for (Voice& v : self->m_voices) {
        const unsigned started = v.started.load();
        if (started != v.seen) {
            v.seen = started;
            v.playing = v.sample.load();
            v.position = 0;
            if (v.playing)
                v.firstFrame = Clock::now().time_since_epoch().count();
        }
        if (!v.playing)
            continue;
        const std::uint32_t total = v.playing->frames();
        const std::uint32_t n = std::min<std::uint32_t>(std::uint32_t(frames), total - v.position);
        v.playing->addTo(sum, v.position, n, v.gain);
        v.position += n;
        if (v.position >= total) {
            v.playing = nullptr;
            v.ended = started;
        }
    }
    float cut = self->m_limiterCut;
    for (int i = 0; i < frames; ++i) {
        const float peak = std::abs(sum[i]);
        // Down at once, so no sample passes the limit; back up slowly.
        cut = std::max(peak > kLimit ? 1.0f - kLimit / peak : 0.0f, cut * kKeep);
        out[2 * i] = out[2 * i + 1] = Sint16(std::lrint(sum[i] * (1.0f - cut)));
    }
    std::fill(out + 2 * frames, out + len / 2, Sint16(0));
    self->m_limiterCut = cut;
}

} // namespace chordmoss
