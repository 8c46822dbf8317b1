#pragma once

#include <QString>

#include <functional>

namespace bw {

// The watch over the inbox tables: every TimerServer tick compares the rows of the signed-in member's inbox
// (and, for administrators/dispatchers, of "_ADMIN") with NewRequestCount and announces at most one new
// request per table; the one-tick timer `beep` then plays the sound and starts the tray icon blinking.
//
// Sound and pop-up notice are the GUI's business: the core calls these hooks, which the GUI installation
// (installNewRequestWatch in notify/gui) fills in. Left empty they do nothing.
struct NewRequestWatchHooks
{
    std::function<void()> showRequestNotice;          // the new-request notice
    std::function<void(const QString &)> playSound;   // start playing a wave file, not waited for
};

NewRequestWatchHooks &watchHooks();
void resetWatchHooks();

// The wave file of the new-request signal: sounds/1.wav in the program folder.
QString newRequestSoundFile();

// Handlers of the main window's timers (public so that a tick can be served without waiting for it).
void TimerServerTimer();
void beepTimer();

// Connects TimerServer and beep to the handlers above, once however often it is called.
void connectNewRequestWatch();

// The watch interval in seconds (setting INT2); a running watch goes on with the new interval.
void setWatchInterval(int seconds);

} // namespace bw
