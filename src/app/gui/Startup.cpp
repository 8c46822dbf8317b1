#include "app/gui/Startup.h"

#include "app/AppState.h"
#include "app/Shell.h"
#include "app/gui/FormMain.h"
#include "app/gui/MessageDlg.h"
#include "data/DataModule.h"
#include "data/DatabaseEvents.h"
#include "i18n/Catalogue.h"
#include "i18n/LanguageFile.h"
#include "settings/ConfigLoader.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QTimer>

namespace bw {

Startup::Startup(TFormMain *mainWindow, StartupSteps steps, QObject *parent)
    : QObject(parent), m_main(mainWindow), m_steps(std::move(steps))
{
    MainTimers &t = mainTimers();
    connect(t.Timer2, &QTimer::timeout, this, &Startup::Timer2Timer);
    connect(t.LoadOnStart, &QTimer::timeout, this, &Startup::LoadOnStartTimer);
    connect(t.SQLout, &QTimer::timeout, this, &Startup::SQLoutTimer);
    connect(m_main->events(), &DatabaseEvents::eventReceived, this, &Startup::DatabaseEvent);
    if (!m_steps.terminate)
        m_steps.terminate = [] { QCoreApplication::exit(0); };
    // The periodic reconnect runs for the whole run.
    t.SQLout->start();
}

void Startup::FormShow()
{
    AppState &s = appState();
    if (!s.StartupPending)
        return;
    // 1. Built-in message texts, before any language file is read.
    applyBuiltinMessages();
    // 2.
    s.StartupPending = false;
    s.NewRequestCount = 0;
    s.SoundSettingsReady = true;
    // 3. Configuration: first-run branch, or mail.ini and settings.ini with the language.
    ConfigHooks hooks;
    hooks.firstRunPrepare = [this] {
        applyLanguage();
        if (m_steps.firstRunPrepare)
            m_steps.firstRunPrepare();
    };
    hooks.firstRunSettings = [this] { return m_steps.firstRunSettings ? m_steps.firstRunSettings() : true; };
    hooks.applyLanguage = [] { applyLanguage(); };
    const ConfigLoadResult config = loadConfiguration(hooks);
    setBlinkInterval(config.blinkIntervalMs);
    mainTimers().TimerServer->setInterval(config.watchIntervalMs);
    if (!config.problems.isEmpty())
        ShowWarning(config.problems.join(QLatin1Char('\n')));
    // 4. (A received update waiting to be run is offered by the self-update module when it exists.)
    // 5. The connection loop.
    mainTimers().Timer2->start();
}

void Startup::Timer2Timer()
{
    // Failures are silent: the next tick tries again, for as long as it takes.
    try {
        dm().connectDatabase();
    } catch (const std::exception &) {
        return;
    }
    mainTimers().Timer2->stop();
    mainTimers().LoadOnStart->start();
}

void Startup::LoadOnStartTimer()
{
    MainTimers &t = mainTimers();
    // 1.
    t.LoadOnStart->stop();
    // 2. Connect again; a failure here reaches the default error report.
    dm().connectDatabase();
    // 3. Maintenance check: the database is being serviced.
    TableCache &upd = dm().mainUPD;
    upd.openTable(QStringLiteral("UPD"));
    upd.first();
    if (!upd.isEmpty() && upd.asString(QStringLiteral("STR")) == QLatin1String("UPDATE")) {
        dm().disconnect();
        ShowWarning(msg(200));
        m_steps.terminate();
        return;
    }
    // 4. Database events.
    m_main->events()->attach(dm().currentDatabaseString());
    // 5. Directory lists.
    if (m_steps.loadDirectoryLists)
        m_steps.loadDirectoryLists();
    // 6. Sign-in (none while USERS is empty).
    if (m_steps.prepareSignIn && !m_steps.prepareSignIn()) {
        m_steps.terminate();
        return;
    }
    // 7. Requests waiting in the queue for the member.
    if (m_steps.countQueuedRequests)
        m_steps.countQueuedRequests();
    // 8. The periodic timers: the new-request watch and the task reminders. (The version check
    //    UPDATECHECK belongs to the self-update module and starts with it.)
    t.TimerServer->start();
    t.TimerTASKS->start();
    Q_EMIT running();
}

void Startup::DatabaseEvent(const QString &name)
{
    MainTimers &t = mainTimers();
    if (name == QLatin1String("UPDATE")) {
        t.TimerServer->stop();
        t.UPDATECHECK->stop();
        t.TimerTASKS->stop();
        dm().disconnect();
        ShowWarning(msg(200));
    } else if (name == QLatin1String("UPDATE_CLOSE")) {
        dm().reconnect();
        t.TimerServer->start();
        t.TimerTASKS->start();
        ShowWarning(msg(201));
    }
}

void Startup::SQLoutTimer()
{
    dm().reconnect();
}

} // namespace bw
