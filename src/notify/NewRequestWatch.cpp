#include "notify/NewRequestWatch.h"

#include "app/AppState.h"
#include "app/Shell.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "i18n/Catalogue.h"
#include "settings/Settings.h"

#include <QDir>
#include <QTimer>

namespace bw {

namespace {

NewRequestWatchHooks g_hooks;

// One inbox table against the one counter. A table that cannot be opened (no such member, no table yet,
// connection lost) is skipped: the next tick simply tries again.
void checkInbox(const QString &table)
{
    TableCache &cache = dm().serverdata;
    int rows = 0;
    try {
        cache.openTable(table);
        rows = cache.rowCount();
    } catch (const DbError &) {
        return;
    }
    if (rows <= 0)
        return;

    AppState &state = appState();
    if (state.NewRequestCount < rows) {
        // One request per table and tick: a burst is announced over as many ticks.
        mainTimers().beep->start();
        ++state.NewRequestCount;
        if (settings().CB8 && g_hooks.showRequestNotice)
            g_hooks.showRequestNotice();
    }
    if (shell().setTrayHint)
        shell().setTrayHint(msg(43) + QLatin1Char(' ') + QString::number(state.NewRequestCount));
}

// Restarts the watch when the tick ends, whichever way it ends.
struct RestartWatch
{
    ~RestartWatch() { mainTimers().TimerServer->start(); }
};

} // namespace

NewRequestWatchHooks &watchHooks()
{
    return g_hooks;
}

void resetWatchHooks()
{
    g_hooks = NewRequestWatchHooks();
}

QString newRequestSoundFile()
{
    return QDir(appState().ProgramDir).filePath(QStringLiteral("sounds/1.wav"));
}

void TimerServerTimer()
{
    mainTimers().TimerServer->stop();
    RestartWatch restart;
    checkInbox(QString::number(appState().CurrentUserId));
    if (appState().CurrentUserPriv == 0)
        checkInbox(QStringLiteral("_ADMIN"));
}

void beepTimer()
{
    mainTimers().beep->stop();
    const Settings &s = settings();
    if (!s.CB1 && s.CB4 && g_hooks.playSound)
        g_hooks.playSound(newRequestSoundFile());
    if (s.CB3)
        startBlinking();
}

void connectNewRequestWatch()
{
    static bool connected = false;
    if (connected)
        return;
    connected = true;
    MainTimers &t = mainTimers();
    QObject::connect(t.TimerServer, &QTimer::timeout, t.TimerServer, &TimerServerTimer);
    QObject::connect(t.beep, &QTimer::timeout, t.beep, &beepTimer);
}

void setWatchInterval(int seconds)
{
    mainTimers().TimerServer->setInterval(seconds * 1000);
}

} // namespace bw
