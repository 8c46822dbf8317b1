#pragma once

#include "requests/RequestFilter.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace bw {

class TableCache;

// One line of the request list. Id, importance and status are taken when the list is built and stay as
// they were until the next rebuild.
struct RequestEntry
{
    QString text;
    int id = 0;
    int importance = 0;
    int status = 0;
    bool checked = false;
};

// Receives the entries of a rebuild in display order (newest first).
class RequestSink
{
public:
    virtual ~RequestSink() = default;
    virtual void add(RequestEntry &&entry) = 0;
    // Called every few thousand visited rows so that the window can show what it has and serve events.
    virtual void yield() {}
};

// The staff list of the workspace: four parallel lists read from USERS, in the order of the read.
// Other windows (the task list) read it by index.
struct StaffList
{
    QStringList names;  // USER_NAME
    QStringList ids;    // USER_ID as text
    QStringList privs;  // PRIV as text
    QStringList emails; // USER_EMAIL

    int size() const { return int(names.size()); }
    int indexOfUserId(int userId) const;
    void clear();
};

// What the detail pane shows for the selected request.
struct RequestDetail
{
    int id = 0;
    int importance = 0;
    QString intime;
    QString group;
    QString trouble;
    QString troubleMore;
    QString troubleWhen;
    QString troubleMax;   // abbreviated
    QString contact;
    QString systemInfo;
    int status = 0;
    QString ctime;
    int executorIndex = -1; // in the staff list; -1: no executor selected
    QString comment;        // CURRENT_INFO, abbreviated
    bool impMorePresent = false;
    bool adminTextPresent = false;
};

enum class SaveOutcome
{
    NoExecutor,      // DLG76: no executor chosen, or an observer
    ExecutorGone,    // DLG180: the chosen member was deleted meanwhile; the staff list was reloaded
    ChangedByOthers, // DLG181: status or executor changed since the selection; nothing written
    Saved            // DLG42
};

struct SaveInput
{
    int executorIndex = -1; // in the staff list
    int newStatus = 0;      // index of the status drop-down
    QString statusText;     // text of the chosen status item
    bool commentEdited = false;
    QString comment;        // the comment field, written only when the user edited it
};

struct SaveResult
{
    SaveOutcome outcome = SaveOutcome::NoExecutor;
    bool executorNoticeQueued = false;
    bool requesterNoticeQueued = false;
    QString ctime; // the change time written
};

// The data side of the requests workspace: the request list, the queue count, deletion, the selected
// request and its saving. The list reads every row of SERVER_ALL (only the columns it shows and filters on).
// The current request is the row of the data module's maindata, read afresh by its key whenever a command
// needs it (its whole row, long texts included); maindataTEST is the verification copy read just before a
// command acts; clientdata holds the staff and group look-ups, sd the inbox tables, em2 the look-ups of the
// e-mail notices. Changes are written at once, one statement per change, on the request's key.
class RequestWorkspace final
{
public:
    static RequestWorkspace &instance();

    // Set by the main window before it opens the workspace: the next rebuild switches the client filter off.
    bool filterReset = false;
    bool clientFilter = false;
    QString referenceClient;

    StaffList &staff() { return m_staff; }
    const StaffList &staff() const { return m_staff; }

    // USERS ordered by ord into the staff list.
    void loadStaffList();

    // Rebuilds the list: reference client, reload of SERVER_ALL, the filters, the queue count with its
    // tray update. The current request afterwards is the one with the lowest ID. Returns the queue count.
    int rebuild(RequestSink &sink, const QDateTime &now = QDateTime());

    // Deletes the requests with these ids (first to last) with their inbox rows. True when something was
    // deleted and no database error stopped the command: the caller rebuilds the list then.
    bool deleteRequests(const QList<int> &ids);

    // Reloads the request table and makes the request current; nothing when it is no longer there.
    std::optional<RequestDetail> selectRequest(int id);
    // The verification copy read afresh and positioned on the current request; false when it is gone.
    bool verifyCurrentRequest();
    SaveResult save(const SaveInput &input);

    // Writes one field of the current request (text commands, notes).
    void writeCurrentField(const QString &field, const QString &text);
    void changeImportance(int importance);

    // ID of the current request, 0 when there is none.
    int currentRequestId() const;
    // The filter of the next rebuild, from the settings, the period and the client filter.
    RequestFilter currentFilter(const QDateTime &now = QDateTime()) const;

    // Back to the initial state (tests).
    void reset();

private:
    RequestWorkspace() = default;
    StaffList m_staff;
};

inline RequestWorkspace &requestWorkspace()
{
    return RequestWorkspace::instance();
}

// Counts the requests waiting in the queue of the signed-in member over a fresh read of SERVER_ALL,
// stores it in NewRequestCount and updates the tray.
int CountQueuedRequests();
// Name of the department/group with that GROUP_ID, read through the given cache; nothing for 0 or
// an unknown group.
std::optional<QString> groupNameOf(TableCache &groups, int groupId);
// The tray update for a queue count: hint DLG44 or DLG43 + " " + count, blinking by CB6 / CB3.
void updateTrayForQueue(int count);
QString queueHintText(int count);

// The first 100 characters with line breaks flattened to blanks, "..." when the text is longer.
QString abbreviate(const QString &text);
// Change time as written into CTIME: short date, ", ", time with seconds ("05.03.2010, 14:07:33").
QString changeTimeText(const QDateTime &when);
// "OS:..., CPU:..., RAM:..., ID:..." of the current row when THISCOMP is true, else DLG68.
QString systemInfoText(const TableCache &request);

// Inbox tables (named by a decimal USER_ID, or _ADMIN). A missing table is skipped silently.
void removeFromInbox(const QString &table, int requestId);
bool addToInbox(const QString &table, int requestId);

} // namespace bw
