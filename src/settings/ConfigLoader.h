#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace bw {

// Where the requests workspace window goes at start-up.
struct WorkspacePlacement
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool maximized = false;
};

struct ConfigLoadResult
{
    // first.ini asked for the first run: settings.ini was not read; the caller centres the workspace,
    // shows the settings window modally and then calls rewriteFirstIni() (unless hooks did all that).
    bool firstRun = false;
    WorkspacePlacement placement;
    int blinkIntervalMs = 0;    // tray-icon blink timer
    int watchIntervalMs = 0;    // new-request watch timer
    // What went wrong on the way, as texts for the user; loading went on with the defaults.
    QStringList problems;
};

// Window steps of the start-up that the loader calls at their place in the sequence when given.
struct ConfigHooks
{
    // First run, after LanguageFile := "english.ini" and before mail.ini is read: centre the workspace,
    // apply the language and the report engine texts, open the help file.
    std::function<void()> firstRunPrepare;
    // First run, after mail.ini: the settings window, modally; true once settings.ini has been written.
    // On true the loader rewrites first.ini and clears FirstRun.
    std::function<bool()> firstRunSettings;
    // Normal start, last step, after LanguageFile := COM: apply the language and the report engine texts.
    std::function<void()> applyLanguage;
};

// Loads first.ini, mail.ini and settings.ini of programDir into settings(), mailSettings() and
// appState() (ProgramDir, DatabaseLocation, FirstRun, LanguageFile); addresses fill the ED4 list and
// feed the dynamic-address choice. INT and INT2 are clamped and written back to settings.ini.
// Missing files and keys give the current (designed) values; unreadable or unconvertible ones are
// listed in problems and also give the current values.
ConfigLoadResult loadConfiguration(const QString &programDir, const QStringList &addresses,
                                   const ConfigHooks &hooks = {});
// The same for the running program: its own folder and this computer's interface addresses.
ConfigLoadResult loadConfiguration(const ConfigHooks &hooks = {});

// Reads every mail.ini key (ED1..ED7, CB1..CB14) into mailSettings(), current values as defaults.
// Unconvertible values are appended to problems when given.
void loadMailSettings(const QString &programDir, QStringList *problems = nullptr);

// The first run is over: first.ini becomes the single line "0" and FirstRun false. False when the file
// could not be written (FirstRun is cleared anyway: this run has done its first-run work).
bool rewriteFirstIni(const QString &programDir);

// The address this computer goes by, chosen from addresses by the dynamic-address rules of s (CHB3: the
// last entry that is not localhost; CHB4: the last entry containing EDD, else as CHB3). Empty when no
// entry qualifies or neither rule is chosen.
QString chooseDynamicAddress(const QStringList &addresses, bool notLocalhostRule, bool maskRule, const QString &mask);

} // namespace bw
