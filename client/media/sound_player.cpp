#include "client/media/sound_player.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace lexiflip::client {
namespace {

QtMessageHandler g_outerHandler = nullptr;

// Where no sound server runs, the audio service says so on standard error the
// first time it is asked for devices. On such a machine that is the expected
// answer, not news for the player, so exactly that warning is held back while
// the player asks; every other message goes on as before.
void holdBackNoServerWarning(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg &&
        message.startsWith(QLatin1String("PulseAudioService: pa_context_connect() failed")))
        return;
    if (g_outerHandler != nullptr)
        g_outerHandler(type, context, message);
}

QMediaDevices* askForDevices(QObject* parent)
{
    g_outerHandler = qInstallMessageHandler(holdBackNoServerWarning);
    auto* devices = new QMediaDevices(parent);
    QMediaDevices::audioOutputs();
    qInstallMessageHandler(g_outerHandler);
    g_outerHandler = nullptr;
    return devices;
}

} // namespace

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent), m_devices(askForDevices(this))
{
    connect(m_devices, &QMediaDevices::audioOutputsChanged, this, &SoundPlayer::onOutputsChanged);
    onOutputsChanged();
}

SoundPlayer::~SoundPlayer() = default;

const QStringList& SoundPlayer::catalogue()
{
    static const QStringList names = [] {
        QStringList list{QStringLiteral("buy"),     QStringLiteral("clear"),    QStringLiteral("entered"),
                         QStringLiteral("flip"),    QStringLiteral("gameover"), QStringLiteral("goodword"),
                         QStringLiteral("invalid"), QStringLiteral("puttile"),  QStringLiteral("tick"),
                         QStringLiteral("timeup"),  QStringLiteral("turn"),     QStringLiteral("turnnew")};
        for (int n = 1; n <= 14; ++n)
            list << QStringLiteral("wave%1").arg(n);
        return list;
    }();
    return names;
}

QString SoundPlayer::resourceFor(const QString& name)
{
    const QString key = name.toLower();
    if (key.isEmpty() || key.contains(u'/'))
        return {};
    const QString path = QStringLiteral(":/sounds/") + key + QStringLiteral(".wav");
    return QFile::exists(path) ? path : QString();
}

void SoundPlayer::playsounds(const QString& name)
{
    if (m_playSounds)
        play(name);
}

void SoundPlayer::play(const QString& name)
{
    const QString resource = resourceFor(name);
    if (resource.isEmpty())
        return;
    const QString key = name.toLower();
    emit soundStarted(key);
    // Without an output a sound effect would complain on every play and never
    // finish; there is nothing to hear, so nothing is made.
    if (!m_hasOutput)
        return;
    QSoundEffect* effect = m_effects.value(key);
    if (effect == nullptr) {
        effect = new QSoundEffect(QMediaDevices::defaultAudioOutput(), this);
        effect->setSource(QUrl(QStringLiteral("qrc") + resource));
        m_effects.insert(key, effect);
    }
    // One sound at a time: a new one cuts off the one still playing.
    if (m_current != nullptr)
        m_current->stop();
    effect->play();
    m_current = effect;
    m_currentName = key;
}

QString SoundPlayer::playingNow() const
{
    return m_current != nullptr && m_current->isPlaying() ? m_currentName : QString();
}

void SoundPlayer::onOutputsChanged()
{
    const QList<QAudioDevice> outputs = QMediaDevices::audioOutputs();
    m_hasOutput = !outputs.isEmpty();
    if (m_current != nullptr)
        m_current->stop();
    m_current = nullptr;
    // Effects made for a device that went away are made again for the new one.
    qDeleteAll(m_effects);
    m_effects.clear();
}

} // namespace lexiflip::client
