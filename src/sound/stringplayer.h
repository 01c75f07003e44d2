#pragma once

#include <functional>
#include <memory>
#include <string>

namespace chordmoss {

/// One string's player. Lifecycle: created idle (playState 0, volume 50);
/// setURL() starts the named sample from its beginning at once, also when the
/// name is unchanged, and leaves state 1 behind when the file cannot be
/// played; stop() halts it (state 1); play() restarts the current source, or
/// does nothing when there is none; a sample that ends leaves state 1.
/// Volume 0..100, larger values taken as 100. Failures are silent.
class StringPlayer {
public:
    enum State { Undefined = 0, Stopped = 1, Playing = 3 };
    virtual ~StringPlayer() = default;
    virtual void setURL(const std::string& path) = 0;
    virtual std::string url() const = 0;
    virtual void stop() = 0;
    virtual void play() = 0;
    virtual void setVolume(int volume) = 0;
    virtual int volume() const = 0;
    virtual int playState() const = 0;
};

/// Makes the player of string s (1..6); the window is given one, so tests
/// can hand it players that record instead of sounding.
using PlayerFactory = std::function<std::unique_ptr<StringPlayer>(int s)>;

} // namespace chordmoss
