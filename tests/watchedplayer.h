#pragma once
// The program's own string players, reporting every note they start: for
// tests that must know what was played, and when, on the real mixer.

#include <functional>
#include <memory>

#include "mediaplayer.h"

namespace chordmoss {

class WatchedPlayer : public MediaPlayer {
public:
    WatchedPlayer(int s, std::function<void(int)> started) : MediaPlayer(s - 1), m_s(s), m_started(std::move(started)) {}
    void setURL(const std::string& path) override { MediaPlayer::setURL(path), m_started(m_s); }
    void play() override { MediaPlayer::play(), url().empty() ? void() : m_started(m_s); }

private:
    int m_s;
    std::function<void(int)> m_started;
};

/// Players for a window that call `started` with the string of every note.
inline PlayerFactory watchedPlayers(std::function<void(int)> started)
{
    return [started](int s) { return std::make_unique<WatchedPlayer>(s, started); };
}

} // namespace chordmoss
