#include "app/gui/Sounds.h"

#include "app/gui/Icons.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include <memory>

namespace bw {

namespace {

QUrl soundUrl(const QString &file)
{
    if (file.startsWith(QLatin1String("qrc:")))
    {
        return QUrl(file);
    }
    if (file.startsWith(QLatin1Char(':')))
    {
        return QUrl(QStringLiteral("qrc") + file);
    }
    return QUrl::fromLocalFile(file);
}

bool soundExists(const QString &file)
{
    if (file.startsWith(QLatin1String("qrc:")))
    {
        return QFileInfo::exists(file.mid(3));
    }
    return QFileInfo::exists(file);
}

QtMessageHandler g_previousHandler = nullptr;

void quietAudioWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("PulseAudioService")))
    {
        return;
    }
    if (g_previousHandler)
    {
        g_previousHandler(type, context, message);
    }
}

bool haveAudioOutput()
{
    // The audio engine starts at the first question and, on a computer without a sound server, says so on the
    // console. No sound is a normal state for this program, so that first question is asked quietly.
    static bool engineStarted = false;
    if (!engineStarted)
    {
        engineStarted = true;
        g_previousHandler = qInstallMessageHandler(quietAudioWarnings);
        const bool any = !QMediaDevices::audioOutputs().isEmpty();
        qInstallMessageHandler(g_previousHandler);
        return any;
    }
    return !QMediaDevices::audioOutputs().isEmpty();
}

// One effect per file, kept for the life of the program: loading a wave file each time would delay the sound.
QSoundEffect *effectFor(const QString &file)
{
    static QHash<QString, QSoundEffect *> effects;
    QSoundEffect *&effect = effects[file];
    if (!effect)
    {
        effect = new QSoundEffect(QCoreApplication::instance());
        effect->setSource(soundUrl(file));
    }
    return effect;
}

} // namespace

void playSoundFile(const QString &file)
{
    ensureResources();
    if (!QCoreApplication::instance() || file.isEmpty() || !soundExists(file))
    {
        return;
    }
    if (!haveAudioOutput())
    {
        return; // no sound card: stay silent instead of filling the console with audio warnings
    }
    QSoundEffect *effect = effectFor(file);
    if (effect->status() == QSoundEffect::Ready)
    {
        effect->play();
    }
    else if (effect->status() == QSoundEffect::Loading || effect->status() == QSoundEffect::Null)
    {
        // The first use of a file waits for its loading, then plays once.
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection = QObject::connect(effect, &QSoundEffect::statusChanged, effect, [effect, connection] {
            if (effect->status() == QSoundEffect::Loading)
            {
                return;
            }
            QObject::disconnect(*connection);
            if (effect->status() == QSoundEffect::Ready)
            {
                effect->play();
            }
        });
    }
}

void playDialogSound(DialogSound sound)
{
    switch (sound)
    {
    case DialogSound::None: break;
    case DialogSound::Exclamation: playSoundFile(QStringLiteral(":/sounds/exclamation.wav")); break;
    case DialogSound::Asterisk: playSoundFile(QStringLiteral(":/sounds/asterisk.wav")); break;
    }
}

} // namespace bw
