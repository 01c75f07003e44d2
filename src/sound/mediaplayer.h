#pragma once

#include <QObject>

#include "stringplayer.h"

namespace chordmoss {

/// One string's player on the shared mixer, seen from the window as a plain
/// object (objectName WindowsMediaPlayer1..6) with URL, volume and playState
/// properties.
class MediaPlayer : public QObject, public StringPlayer {
    Q_OBJECT
    Q_PROPERTY(QString URL READ qurl WRITE setQurl NOTIFY started)
    Q_PROPERTY(int volume READ volume WRITE setVolume)
    Q_PROPERTY(int playState READ playState)
public:
    MediaPlayer(QObject* parent, int channel);
    ~MediaPlayer() override;

    void setURL(const std::string& path) override;
    std::string url() const override { return m_url; }
    void stop() override;
    void play() override;
    void setVolume(int volume) override;
    int volume() const override { return m_volume; }
    int playState() const override;

    QString qurl() const { return QString::fromStdString(m_url); }
    void setQurl(const QString& u) { setURL(u.toStdString()); }

signals:
    /// A source was (re)started, whether or not it could be played.
    void started(const QString& url);

private:
    int m_channel;
    std::string m_url;
    int m_volume = 50;
    bool m_loaded = false;
};

} // namespace chordmoss
