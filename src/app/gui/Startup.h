#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace bw {

class TFormMain;

// The steps that other modules contribute to the start-up, in the order the sequence calls them.
struct StartupSteps
{
    std::function<void()> createWindows;        // every window, once, in the designed order
    std::function<void()> firstRunPrepare;      // centre the workspace window, open the help
    std::function<bool()> firstRunSettings;     // the settings window, modally; true once saved
    std::function<void()> loadDirectoryLists;
    std::function<bool()> prepareSignIn;        // false: the member left with "Выход"
    std::function<void()> countQueuedRequests;
    std::function<void()> terminate;            // end the process (replaceable for tests)
};

// The start-up sequence of the console, driven by the first show of the main window and its
// timers Timer2 (connection attempts) and LoadOnStart (loading).
class Startup final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Startup)

public:
    Startup(TFormMain *mainWindow, StartupSteps steps, QObject *parent = nullptr);

    // First show of the main window: built-in messages, configuration, then the connection loop.
    void FormShow();
    // Timer2: one connection attempt; on success the loading step follows.
    void Timer2Timer();
    // LoadOnStart: connect, maintenance check, events, directories, sign-in, queue count, timers.
    void LoadOnStartTimer();
    // Database events "UPDATE" and "UPDATE_CLOSE": maintenance pauses and resumes the console.
    void DatabaseEvent(const QString &name);
    // SQLout: periodic reconnect.
    void SQLoutTimer();

Q_SIGNALS:
    void running(); // the periodic timers have started

private:
    TFormMain *m_main;
    StartupSteps m_steps;
};

} // namespace bw
