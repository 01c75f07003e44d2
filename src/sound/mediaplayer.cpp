#include "mediaplayer.h"

#include <algorithm>

#include "samplemixer.h"

namespace chordmoss {

MediaPlayer::MediaPlayer(int channel) : m_channel(channel) {}

MediaPlayer::~MediaPlayer() { SampleMixer::instance().halt(m_channel); }

std::unique_ptr<StringPlayer> MediaPlayer::create(int s) { return std::make_unique<MediaPlayer>(s - 1); }

void MediaPlayer::setURL(const std::string& path)
{
    m_url = path;
    m_loaded = true;
    SampleMixer::instance().start(m_channel, path, m_volume);
}

void MediaPlayer::stop() { SampleMixer::instance().halt(m_channel); }

void MediaPlayer::play()
{
    if (m_loaded)
        SampleMixer::instance().start(m_channel, m_url, m_volume);
}

void MediaPlayer::setVolume(int volume)
{
    m_volume = std::clamp(volume, 0, 100);
    SampleMixer::instance().setVolume(m_channel, m_volume);
}

int MediaPlayer::playState() const
{
    if (!m_loaded)
        return Undefined;
    return SampleMixer::instance().playing(m_channel) ? Playing : Stopped;
}

} // namespace chordmoss
