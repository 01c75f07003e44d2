#include "samplemixer.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <filesystem>

namespace chordmoss {

namespace {

constexpr int kRate = 44100;
constexpr int kBufferFrames = 256; // about 6 ms at 44.1 kHz

bool openOutput()
{
    // SDL would otherwise turn SIGINT and SIGTERM into events nobody reads,
    // and the program could no longer be stopped by them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && Mix_OpenAudio(kRate, AUDIO_S16SYS, 2, kBufferFrames) == 0)
        return true;
    // No device or no sound server: fall back to the silent dummy output.
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && Mix_OpenAudio(kRate, AUDIO_S16SYS, 2, kBufferFrames) == 0;
}

int mixVolume(int volume) { return std::clamp(volume, 0, 100) * MIX_MAX_VOLUME / 100; }

} // namespace

SampleMixer& SampleMixer::instance()
{
    static SampleMixer mixer;
    return mixer;
}

SampleMixer::SampleMixer()
{
    m_open = openOutput();
    if (m_open) {
        Mix_Init(MIX_INIT_MP3);
        Mix_AllocateChannels(kChannels);
    }
}

SampleMixer::~SampleMixer()
{
    m_stopPreload = true;
    if (m_preloader.joinable())
        m_preloader.join();
    if (!m_open)
        return;
    Mix_HaltChannel(-1);
    for (auto& [path, c] : m_cache) {
        if (c)
            Mix_FreeChunk(c);
    }
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SampleMixer::preload(std::vector<std::string> paths)
{
    if (!m_open || m_preloader.joinable())
        return;
    m_preloader = std::thread([this, paths = std::move(paths)] {
        for (const std::string& p : paths) {
            if (m_stopPreload)
                return;
            chunk(p);
        }
    });
}

void SampleMixer::waitForPreload()
{
    if (m_preloader.joinable())
        m_preloader.join();
}

Mix_Chunk* SampleMixer::decode(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return nullptr;
    return Mix_LoadWAV(path.c_str());
}

std::string SampleMixer::cacheKey(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::absolute(path, ec).lexically_normal().string();
}

bool SampleMixer::isCached(const std::string& path) const
{
    const std::lock_guard lock(m_cacheMutex);
    const auto it = m_cache.find(cacheKey(path));
    return it != m_cache.end() && it->second != nullptr;
}

Mix_Chunk* SampleMixer::chunk(const std::string& path)
{
    if (!m_open)
        return nullptr;
    const std::string key = cacheKey(path);
    {
        const std::lock_guard lock(m_cacheMutex);
        if (auto it = m_cache.find(key); it != m_cache.end())
            return it->second;
    }
    Mix_Chunk* decoded = nullptr;
    {
        // One decode at a time: the decoders are not safe to run in parallel,
        // and a note wanted now waits at most for the one being preloaded.
        const std::lock_guard decoding(m_decodeMutex);
        {
            const std::lock_guard lock(m_cacheMutex);
            if (auto it = m_cache.find(key); it != m_cache.end())
                return it->second;
        }
        decoded = decode(key);
    }
    const std::lock_guard lock(m_cacheMutex);
    auto [it, inserted] = m_cache.emplace(key, decoded);
    if (!inserted && decoded) // decoded twice at once: keep the first
        Mix_FreeChunk(decoded);
    return it->second;
}

void SampleMixer::start(int channel, Mix_Chunk* c, int volume)
{
    if (!m_open)
        return;
    Mix_HaltChannel(channel);
    if (!c)
        return; // a source that cannot be played is silence
    Mix_Volume(channel, mixVolume(volume));
    m_awaitingFirst[channel] = true;
    m_firstFrame[channel] = 0;
    // A halt drops a channel's effects, so the first-frame probe goes on anew.
    Mix_RegisterEffect(channel, &SampleMixer::channelEffect, nullptr, this);
    Mix_PlayChannel(channel, c, 0);
}

void SampleMixer::halt(int channel)
{
    if (m_open)
        Mix_HaltChannel(channel);
}

bool SampleMixer::playing(int channel) const { return m_open && Mix_Playing(channel) != 0; }

void SampleMixer::setVolume(int channel, int volume)
{
    if (m_open)
        Mix_Volume(channel, mixVolume(volume));
}

std::chrono::steady_clock::time_point SampleMixer::firstFrameTime(int channel) const
{
    return std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(m_firstFrame[channel].load()));
}

void SampleMixer::channelEffect(int chan, void*, int, void* udata)
{
    auto* self = static_cast<SampleMixer*>(udata);
    if (chan >= 0 && chan < kChannels && self->m_awaitingFirst[chan].exchange(false))
        self->m_firstFrame[chan] = std::chrono::steady_clock::now().time_since_epoch().count();
}

} // namespace chordmoss
