#pragma once
// The program's own string players, reporting every note they start, and a
// held-down "Hear" button: for tests that must know what was played, and
// when, on the real mixer.

#include <QPushButton>
#include <QTimer>

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

/// A held "Hear" button: `clicks` clicks, one at each pass of the event loop,
/// so each lands in the waits of the Hears before it.
inline void holdHear(QPushButton* hear, int clicks)
{
    QTimer::singleShot(0, hear, [hear, clicks] {
        if (clicks > 1)
            holdHear(hear, clicks - 1);
        hear->click();
    });
}

} // namespace chordmoss
