#pragma once

#include <QString>

namespace bw {

// Module-wide state shared by every window. Read and written on the user-interface thread only.
struct AppState
{
    bool StartupPending = true;
    bool SoundSettingsReady = false;
    QString ProgramDir;
    QString DatabaseLocation;
    bool FirstRun = false;
    QString LanguageFile;
    int CurrentUserId = 0;
    int CurrentUserPriv = -1;
    int NewRequestCount = 0;
};

AppState &appState();
// Back to the initial values (tests start every case from here).
void resetAppState();

} // namespace bw
