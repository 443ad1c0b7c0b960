#pragma once

// The sound player: plays the embedded sounds by name, one at a time, without
// waiting. On a machine without an audio device it stays silent and quiet.

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include "client/settings/lexiflip_settings.h"

class QSoundEffect;
class QMediaDevices;

namespace lexiflip::client {

class SoundPlayer : public QObject {
    Q_OBJECT

public:
    explicit SoundPlayer(QObject* parent = nullptr);
    ~SoundPlayer() override;

    // Every sound name the game plays: the game-event sounds and wave1..wave14.
    static const QStringList& catalogue();
    // The resource of a sound name, found without regard to case; empty when
    // there is no such sound.
    static QString resourceFor(const QString& name);

    // "Play Sounds": game-event sounds only.
    bool playSounds() const { return m_playSounds; }
    void setPlaySounds(bool on) { m_playSounds = on; }

    // A game-event sound, under "Play Sounds".
    void playsounds(const QString& name);
    // Any catalogued sound, whatever "Play Sounds" says: the chatter sounds,
    // which their own option governs.
    void play(const QString& name);

    // Whether the machine has an audio output to play on.
    bool hasOutput() const { return m_hasOutput; }
    // The name of the sound being heard now; empty when none is.
    QString playingNow() const;

signals:
    // A sound was started (also where no device can make it heard), so that
    // the window's tests see what would be heard.
    void soundStarted(const QString& name);

private:
    void onOutputsChanged();

    bool m_playSounds = settings::Preferences{}.playsounds;
    bool m_hasOutput = false;
    QMediaDevices* m_devices = nullptr;
    QHash<QString, QSoundEffect*> m_effects;
    QSoundEffect* m_current = nullptr;
    QString m_currentName;
};

} // namespace lexiflip::client
