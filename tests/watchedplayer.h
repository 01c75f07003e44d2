#pragma once
// The program's own string players, reporting every note they start: for
// tests that must know what was played, and when, on the real mixer.

#include <functional>
#include <memory>

#include "mediaplayer.h"

namespace chordmoss {

class WatchedPlayer : public StringPlayer {
public:
    WatchedPlayer(int s, std::function<void(int)> started)
        : m_player(MediaPlayer::create(s)), m_s(s), m_started(std::move(started))
    {
    }
    void setURL(const std::string& path) override { m_player->setURL(path), m_started(m_s); }
    std::string url() const override { return m_player->url(); }
    void stop() override { m_player->stop(); }
    void play() override
    {
        m_player->play();
        if (!url().empty())
            m_started(m_s);
    }
    void setVolume(int volume) override { m_player->setVolume(volume); }
    int volume() const override { return m_player->volume(); }
    int playState() const override { return m_player->playState(); }

private:
    std::unique_ptr<StringPlayer> m_player;
    int m_s;
    std::function<void(int)> m_started;
};

/// Players for a window that call `started` with the string of every note.
inline PlayerFactory watchedPlayers(std::function<void(int)> started)
{
    return [started](int s) { return std::make_unique<WatchedPlayer>(s, started); };
}

} // namespace chordmoss
