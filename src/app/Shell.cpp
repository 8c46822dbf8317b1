#include "app/Shell.h"

#include <QTimer>

namespace bw {

namespace {

struct TimerSpec
{
    QTimer *MainTimers::*member;
    const char *name;
    int interval;
    bool oneTick;
};

const TimerSpec kTimers[] = {
    {&MainTimers::Timer1, "Timer1", 1000, false},
    {&MainTimers::TimerServer, "TimerServer", 60000, false},
    {&MainTimers::beep, "beep", 100, true},
    {&MainTimers::LoadOnStart, "LoadOnStart", 50, true},
    {&MainTimers::Timer2, "Timer2", 500, false},
    {&MainTimers::emailT, "emailT", 100, true},
    {&MainTimers::emailT_CLIENT, "emailT_CLIENT", 100, true},
    {&MainTimers::TimerUPDATE, "TimerUPDATE", 5, false},
    {&MainTimers::TimerUPDATE2, "TimerUPDATE2", 5, true},
    {&MainTimers::UPDATECHECK, "UPDATECHECK", 5, false},
    {&MainTimers::UPDATEEMULATE, "UPDATEEMULATE", 100, false},
    {&MainTimers::TimerTASKS, "TimerTASKS", 60000, false},
    {&MainTimers::SQLout, "SQLout", 14801000, false},
};

MainTimers *g_timers = nullptr;
ShellHooks g_shell;
int g_workspaceMode = 1;

} // namespace

MainTimers &mainTimers()
{
    if (!g_timers) {
        g_timers = new MainTimers;
        for (const TimerSpec &t : kTimers) {
            auto *timer = new QTimer;
            timer->setObjectName(QString::fromLatin1(t.name));
            timer->setInterval(t.interval);
            // One-tick timers stop themselves in their handler; they stay ordinary repeating timers
            // so that a handler that fails before stopping it is retried, as before.
            (*g_timers).*(t.member) = timer;
        }
    }
    return *g_timers;
}

void resetMainTimers()
{
    MainTimers &m = mainTimers();
    for (const TimerSpec &t : kTimers) {
        QTimer *timer = m.*(t.member);
        timer->stop();
        timer->setInterval(t.interval);
    }
}

void setBlinkInterval(int ms)
{
    QTimer *t = mainTimers().Timer1;
    if (ms <= 0) {
        t->stop();
        t->setInterval(0);
        return;
    }
    t->setInterval(ms);
}

void startBlinking()
{
    QTimer *t = mainTimers().Timer1;
    if (t->interval() > 0)
        t->start();
}

void stopBlinking()
{
    mainTimers().Timer1->stop();
    if (shell().setTrayPicture)
        shell().setTrayPicture(0);
}

bool watchRunning()
{
    return mainTimers().TimerServer->isActive();
}

ShellHooks &shell()
{
    return g_shell;
}

void resetShell()
{
    g_shell = ShellHooks();
    g_workspaceMode = 1;
}

int workspaceOpenMode()
{
    return g_workspaceMode;
}

void setWorkspaceOpenMode(int mode)
{
    g_workspaceMode = mode;
}

} // namespace bw
