#include "mediaplayer.h"

#include <algorithm>

#include "samplemixer.h"

namespace chordmoss {

MediaPlayer::MediaPlayer(QObject* parent, int channel) : QObject(parent), m_channel(channel)
{
    setObjectName(QStringLiteral("WindowsMediaPlayer%1").arg(channel + 1));
}

MediaPlayer::~MediaPlayer() { SampleMixer::instance().halt(m_channel); }

void MediaPlayer::setURL(const std::string& path)
{
    m_url = path;
    m_loaded = true;
    SampleMixer& mixer = SampleMixer::instance();
    mixer.start(m_channel, mixer.chunk(path), m_volume);
    emit started(qurl());
}

void MediaPlayer::stop() { SampleMixer::instance().halt(m_channel); }

void MediaPlayer::play()
{
    if (!m_loaded)
        return;
    SampleMixer& mixer = SampleMixer::instance();
    mixer.start(m_channel, mixer.chunk(m_url), m_volume);
    emit started(qurl());
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
