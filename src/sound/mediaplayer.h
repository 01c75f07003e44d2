#pragma once

#include <memory>

#include "stringplayer.h"

namespace chordmoss {

/// One string's player on the shared mixer, the program's own. A note that
/// waits for the device or its decoding counts as playing; a note lost with
/// its device leaves the player stopped. The volume and the source outlive a
/// lost device.
class MediaPlayer : public StringPlayer {
public:
    explicit MediaPlayer(int channel);
    ~MediaPlayer() override;
    /// The player factory for the window: string s plays on mixer channel s - 1.
    static std::unique_ptr<StringPlayer> create(int s);

    void setURL(const std::string& path) override;
    std::string url() const override { return m_url; }
    void stop() override;
    void play() override;
    void setVolume(int volume) override;
    int volume() const override { return m_volume; }
    int playState() const override;

private:
    int m_channel;
    std::string m_url;
    int m_volume = 50;
    bool m_loaded = false;
};

} // namespace chordmoss
