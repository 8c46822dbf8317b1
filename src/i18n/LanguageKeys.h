#pragma once

#include <QAnyStringView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <span>

namespace bw {

// What a language-file key replaces on its control.
enum class TextRole
{
    WindowCaption, // the window's own caption
    Text,          // caption or text of a control
    Hint,          // tooltip of a control
    DialogTitle,   // title of a file dialog
    FileFilter,    // filter list of a file dialog, "Name|*.a|Other|*.b;*.c"
    ListItems,     // items of a list, refilled from several catalogue texts
};

// One key of a window section. A key may appear twice in a section (it then sets two controls).
struct WindowKey
{
    const char *key;        // key in the language file
    const char *control;    // component name; empty for the window itself
    TextRole role;
    const char *designText; // built-in (Russian) text, UTF-8; empty where the design has none

    QString keyName() const { return QString::fromLatin1(key); }
    QString controlName() const { return QString::fromLatin1(control); }
    QString design() const { return QString::fromUtf8(designText); }
};

struct WindowSection
{
    const char *name;        // section in the language file
    const char *windowClass; // the window that owns the texts
    std::span<const WindowKey> keys;

    QString sectionName() const { return QString::fromLatin1(name); }
};

// Every window section a language file can hold, in the order the texts are applied.
std::span<const WindowSection> windowSections();
// Case-insensitive, as section names are in a profile file; nullptr when unknown.
const WindowSection *findWindowSection(QAnyStringView name);

// --- message catalogue ---------------------------------------------------------------------------------

inline constexpr int kCatalogueSize = 245;
// Highest key with a built-in text (DLG1 .. DLG59).
inline constexpr int kLastBuiltinMessage = 59;

// Key numbers in catalogue order (the order they are read from a language file).
std::span<const int> catalogueNumbers();
bool isCatalogueNumber(int number);
// The key as written in language files: "DLG82"; 96 is written "dlg96".
QString catalogueKey(int number);
// "DLG82", "dlg82", " Dlg96 " -> number; -1 for anything that is not a catalogue key.
int catalogueNumber(QStringView key);
// Built-in text of DLG1 .. DLG59; empty for every other number.
QString builtinText(int number);

// --- texts refilled from the catalogue ------------------------------------------------------------------

// Controls whose texts have no key of their own but are set from catalogue texts each time a language is
// applied (after the catalogue has been read).
enum class CatalogueTarget
{
    TrayTaskListItem,     // main window tray menu N1
    TrayRequestsItem,     // main window tray menu N4
    TrayExitItem,         // main window tray menu N3
    ReportSortButton,     // report builder's sort-direction button while descending
    SqlSaveDialogFilter,  // SQL report console, save dialog
    SqlSaveDialogTitle,
    SqlOpenDialogFilter,  // SQL report console, open dialog
    SqlOpenDialogTitle,
    TaskPeriodList,       // task list period list: whole period, then the twelve months
    RequestStatusList,    // requests workspace status list, one item per CURRENT_STATE 0..4
};

struct CatalogueTargetInfo
{
    CatalogueTarget id;
    const char *section;    // window section of the owning window
    const char *control;    // component name
    TextRole role;
    const char *designText; // UTF-8; empty where the design has none
    int firstKey;           // catalogue numbers firstKey .. lastKey, in this order
    int lastKey;

    QStringList texts() const; // current catalogue texts of firstKey .. lastKey
};

std::span<const CatalogueTargetInfo> catalogueTargets();
const CatalogueTargetInfo &catalogueTarget(CatalogueTarget id);

// Language files write file filters as "Name|*.a|Other|*.b;*.c"; Qt's dialogs want
// "Name (*.a);;Other (*.b *.c)". A trailing name without pattern keeps "*".
QString toQtFileFilter(const QString &filter);

} // namespace bw
