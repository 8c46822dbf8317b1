#pragma once

#include <QString>

#include <functional>

class QTimer;

namespace bw {

// The timers of the main window, all on the user-interface thread. They exist from the first call
// of mainTimers() with the intervals and start states the console always had: every one stopped
// except SQLout (started by start-up), the one-tick ones stopping themselves at their first tick
// (their handlers stop them first thing). Handlers are connected by the module that owns each job.
struct MainTimers
{
    QTimer *Timer1;        // tray icon blinking, interval INT ms
    QTimer *TimerServer;   // new-request watch, INT2 x 1000 ms
    QTimer *beep;          // sound and blinking after a new request (one tick)
    QTimer *LoadOnStart;   // loading step of start-up (one tick)
    QTimer *Timer2;        // connection attempts of start-up
    QTimer *emailT;        // starts one executor e-mail sender (one tick)
    QTimer *emailT_CLIENT; // starts one requester e-mail sender (one tick)
    QTimer *TimerUPDATE;   // activates the update listener
    QTimer *TimerUPDATE2;  // finishes a received update
    QTimer *UPDATECHECK;   // version check
    QTimer *UPDATEEMULATE; // progress bar while an update is awaited
    QTimer *TimerTASKS;    // task reminders
    QTimer *SQLout;        // periodic reconnect of the database
};

MainTimers &mainTimers();
// Stops every timer and restores the designed intervals (tests).
void resetMainTimers();

// Sets Timer1's interval; 0 means no blinking (the timer is stopped and stays stopped).
void setBlinkInterval(int ms);
// Starts Timer1 unless its interval is 0 (no blinking); stopping also shows the grey envelope.
void startBlinking();
void stopBlinking();
bool watchRunning(); // TimerServer is running: start-up finished and no maintenance in progress

// What the main window offers the other windows: its tray icon and its visibility. The main window
// fills these in when it is created; without it (tests, tools) they do nothing, or what a test sets.
struct ShellHooks
{
    std::function<void(const QString &)> setTrayHint;
    std::function<QString()> trayHint;
    std::function<void(int)> setTrayPicture; // 0 grey envelope, 1 orange envelope
    std::function<void(const QString &, const QString &)> showTrayBalloon;
    std::function<void()> showMainWindow;
    std::function<void()> hideMainWindow;
    std::function<bool()> mainWindowVisible;
};

ShellHooks &shell();
void resetShell();

// The open mode of the requests workspace: 1 opened from the main window, 2 from the tray.
int workspaceOpenMode();
void setWorkspaceOpenMode(int mode);

} // namespace bw
