#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace bw {

// Registers the program's built-in resources (pictures, dialog sounds). The resources live in a static library, so
// the linker keeps them only when something calls this; every function here calls it, and the start-up may too.
void ensureResources();

// Positions in the main window's image list `ImageList1`: 19 pictures of 16 x 16 shared by the tray icon,
// the request list (status and filter icons) and the task list.
namespace ImageIndex {
enum : int
{
    EnvelopeGrey = 0,         // tray at rest; request status 1 (accepted)
    EnvelopeOrange = 1,       // tray blink; request status 0 (queued)
    StatusRejected = 2,       // request status 3
    ImportanceHigh = 3,       // request importance 1 (filter box, detail pane)
    ImportanceMedium = 4,     // request importance 2
    ImportanceLow = 5,        // request importance 3
    PeriodWeek = 6,           // "last week" filter box
    TaskOwnOwner = 7,         // task of the signed-in member
    TaskCommonOwner = 8,      // task common to all staff
    TaskKind0 = 9,            // task kind 0
    Done = 10,                // request status 2 (solved); task kind 1
    TaskImportanceHigh = 11,  // task importance 2
    TaskImportanceMedium = 12, // task importance 0
    TaskImportanceLow = 13,   // task importance 1
    Reminder = 14,            // task with a reminder
    PeriodMonth = 15,         // "last month" filter box
    ClientFilter = 16,        // filter on one client
    Notes = 17,               // notes of a request
    StatusOther = 18,         // request status 4
    Count = 19
};
} // namespace ImageIndex

// Picture `index` of ImageList1 (sizes 16 to 48 for the tray); a null icon outside 0..18.
QIcon imageList1(int index);
// Picture `index` of ImageList1 at exactly 16 x 16; a null pixmap outside 0..18.
QPixmap imageList1Pixmap(int index);

// The ImageList1 position of a request status (CURRENT_STATE 0..4); -1 for any other status (no picture).
int statusImageIndex(int status);
// The ImageList1 position of a request importance (IMP 1..3), for the filter boxes and the detail pane; -1 otherwise.
int requestImportanceImageIndex(int importance);
// Task list pictures by field value; -1 when the value has no picture.
int taskImportanceImageIndex(int importance);
int taskKindImageIndex(int kind);
int taskOwnerImageIndex(bool common);

QIcon appIcon();

// The three pictures of the message dialog.
enum class DialogPicture
{
    Warning,
    Information,
    Question
};
QPixmap dialogPicture(DialogPicture picture, int size = 49);

// The four big buttons of the main window.
enum class MainButton
{
    Directories,
    Requests,
    Settings,
    Exit
};
QIcon mainButtonIcon(MainButton button);

// The envelope of the new-request notice, 65 x 49.
QPixmap noticeEnvelope();

// Renders an SVG resource into a transparent pixmap of `size` logical pixels at the given device pixel ratio.
QPixmap renderSvg(const QString &resource, QSize size, qreal devicePixelRatio = 1.0);

} // namespace bw
