#pragma once

#include <QString>

namespace bw {

// The requests workspace window as the settings writer stores it.
struct WorkspaceGeometry
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool notNormal = false;     // maximized or minimized: stored as State "1"
};

// Writes every settings.ini key of settings() in programDir, RB1 to COM in key-table order, then the
// workspace geometry (Left, Top, Width, Height, State), which is also taken into settings(). Other lines of
// an existing file are kept. The file is replaced as a whole; false when it could not be written.
bool saveSettings(const QString &programDir, const WorkspaceGeometry &geometry);

// Writes every mail.ini key of mailSettings() in programDir, ED1..ED7 then CB1..CB14; false on failure.
bool saveMailSettings(const QString &programDir);

} // namespace bw
