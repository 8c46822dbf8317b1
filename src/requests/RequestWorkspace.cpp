#include "requests/RequestWorkspace.h"

#include "app/AppState.h"
#include "app/Shell.h"
#include "data/DataModule.h"
#include "i18n/Catalogue.h"
#include "requests/RequestNotices.h"
#include "requests/RequestPeriod.h"
#include "settings/Settings.h"

#include <QLocale>

namespace bw {

namespace {

constexpr int kYieldEvery = 4096;
const QString kAdminInbox = QStringLiteral("_ADMIN");

// The request table as the workspace reads it: the whole of SERVER_ALL in ID order, long texts fetched
// only when a command reads them.
void reloadRequests(TableCache &table)
{
    table.close();
    table.setDeferBlobs(true);
    table.openTable(QStringLiteral("SERVER_ALL"));
    table.orderBy(QStringLiteral("ID"));
}

// Walks from the last row towards the first; true with the cursor on the row.
bool findFromLast(TableCache &table, int id)
{
    const int cId = table.fieldIndex(QStringLiteral("ID"));
    for (int r = table.rowCount() - 1; r >= 0; --r) {
        if (table.intAt(r, cId) == id) {
            table.setPosition(r);
            return true;
        }
    }
    return false;
}

bool findFromFirst(TableCache &table, int id)
{
    const int cId = table.fieldIndex(QStringLiteral("ID"));
    for (int r = 0; r < table.rowCount(); ++r) {
        if (table.intAt(r, cId) == id) {
            table.setPosition(r);
            return true;
        }
    }
    return false;
}

void loadStaffInto(StaffList &staff, TableCache &users)
{
    staff.clear();
    for (users.first(); !users.eof(); users.next()) {
        staff.names << users.asString(QStringLiteral("USER_NAME"));
        staff.ids << users.asString(QStringLiteral("USER_ID"));
        staff.privs << users.asString(QStringLiteral("PRIV"));
        staff.emails << users.asString(QStringLiteral("USER_EMAIL"));
    }
}

} // namespace

int StaffList::indexOfUserId(int userId) const
{
    const QString text = QString::number(userId);
    return int(ids.indexOf(text));
}

void StaffList::clear()
{
    names.clear();
    ids.clear();
    privs.clear();
    emails.clear();
}

RequestWorkspace &RequestWorkspace::instance()
{
    static RequestWorkspace workspace;
    return workspace;
}

void RequestWorkspace::reset()
{
    filterReset = false;
    clientFilter = false;
    referenceClient.clear();
    m_staff.clear();
}

void RequestWorkspace::loadStaffList()
{
    TableCache &users = dm().clientdata;
    users.close();
    users.openTable(QStringLiteral("USERS"));
    users.orderBy(QStringLiteral("ord"));
    loadStaffInto(m_staff, users);
}

int RequestWorkspace::currentRequestId() const
{
    const TableCache &table = dm().maindata;
    if (!table.isOpen() || table.rowCount() == 0 || table.position() < 0)
        return 0;
    return table.asInt(QStringLiteral("ID"));
}

RequestFilter RequestWorkspace::currentFilter(const QDateTime &now) const
{
    RequestFilter::Setup setup;
    setup.boxes = RequestFilterBoxes::fromSettings();
    const PeriodState &period = periodState();
    setup.periodSet = period.PeriodSet;
    setup.periodStart = period.StartDate;
    setup.periodEnd = period.EndDate;
    setup.clientFilter = clientFilter;
    setup.referenceClient = referenceClient;
    setup.userPriv = appState().CurrentUserPriv;
    setup.userId = appState().CurrentUserId;
    setup.now = now.isValid() ? now : QDateTime::currentDateTime();
    return RequestFilter(setup);
}

int RequestWorkspace::rebuild(RequestSink &sink, const QDateTime &now)
{
    TableCache &table = dm().maindata;

    // The reference client is the current request's (the lowest ID after a rebuild, else the selected one).
    referenceClient.clear();
    if (!filterReset && table.isOpen() && table.rowCount() > 0 && table.position() >= 0 &&
        !table.isNull(QStringLiteral("ID_CLIENT")))
        referenceClient = table.asString(QStringLiteral("ID_CLIENT"));
    if (filterReset)
        clientFilter = false;

    reloadRequests(table);
    filterReset = false;

    const RequestFilter filter = currentFilter(now);
    const bool showTime = settings().CB5;
    const int priv = appState().CurrentUserPriv;
    const int userId = appState().CurrentUserId;

    const int cId = table.fieldIndex(QStringLiteral("ID"));
    const int cState = table.fieldIndex(QStringLiteral("CURRENT_STATE"));
    const int cImp = table.fieldIndex(QStringLiteral("IMP"));
    const int cAdmin = table.fieldIndex(QStringLiteral("ADMIN"));
    const int cData = table.fieldIndex(QStringLiteral("DATA"));
    const int cClient = table.fieldIndex(QStringLiteral("ID_CLIENT"));
    const int cIntime = table.fieldIndex(QStringLiteral("INTIME"));
    const int cTrouble = table.fieldIndex(QStringLiteral("TROUBLE"));
    const int cMore = table.fieldIndex(QStringLiteral("TROUBLE_MORE"));
    const QString dot = QStringLiteral(". ");

    int queued = 0;
    int sinceYield = 0;
    for (int r = table.rowCount() - 1; r >= 0; --r) {
        const int status = int(table.intAt(r, cState));
        const int admin = int(table.intAt(r, cAdmin));
        if (countsAsQueued(status, admin, priv, userId))
            ++queued;
        if (++sinceYield == kYieldEvery) {
            sinceYield = 0;
            sink.yield();
        }
        const int imp = int(table.intAt(r, cImp));
        if (!filter.statusPasses(status) || !filter.importancePasses(imp) || !filter.rightsPass(admin))
            continue;
        const QDateTime data = table.dateTimeAt(r, cData);
        const qint64 when = RequestFilter::wallClock(data);
        if (!filter.timePasses(when) || !filter.periodPasses(when))
            continue;
        if (filter.needsClient() && !filter.clientPasses(table.isNullAt(r, cClient), table.stringAt(r, cClient)))
            continue;
        RequestEntry entry;
        entry.id = int(table.intAt(r, cId));
        entry.importance = imp;
        entry.status = status;
        if (showTime)
            entry.text = table.stringAt(r, cIntime) + dot + table.stringAt(r, cTrouble) + dot + table.stringAt(r, cMore);
        else
            entry.text = table.stringAt(r, cTrouble) + dot + table.stringAt(r, cMore);
        sink.add(std::move(entry));
    }
    sink.yield();
    table.first();

    appState().NewRequestCount = queued;
    updateTrayForQueue(queued);
    return queued;
}

bool RequestWorkspace::deleteRequests(const QList<int> &ids)
{
    if (ids.isEmpty())
        return false;
    bool deleted = false;
    try {
        TableCache &table = dm().maindata;
        reloadRequests(table);
        for (int id : ids) {
            if (!findFromFirst(table, id))
                continue;
            const int admin = table.asInt(QStringLiteral("ADMIN"));
            removeFromInbox(QString::number(admin), id);
            removeFromInbox(kAdminInbox, id);
            table.remove();
            table.applyUpdates();
            deleted = true;
        }
    } catch (const DbError &) {
        // A failing deletion ends quietly; what is left stays checked and the list is not rebuilt.
        return false;
    }
    return deleted;
}

std::optional<RequestDetail> RequestWorkspace::selectRequest(int id)
{
    TableCache &t = dm().maindata;
    reloadRequests(t);
    if (!findFromFirst(t, id))
        return std::nullopt;

    RequestDetail d;
    d.id = id;
    d.intime = t.asString(QStringLiteral("INTIME"));
    d.trouble = t.asString(QStringLiteral("TROUBLE"));
    d.troubleMore = t.asString(QStringLiteral("TROUBLE_MORE"));
    d.troubleWhen = t.asString(QStringLiteral("TROUBLE_WHEN"));
    d.troubleMax = abbreviate(t.asString(QStringLiteral("TROUBLE_MAX")));
    d.contact = t.asString(QStringLiteral("CONTACT"));
    d.systemInfo = systemInfoText(t);
    d.status = t.asInt(QStringLiteral("CURRENT_STATE"));
    d.comment = abbreviate(t.asString(QStringLiteral("CURRENT_INFO")));
    const int admin = t.asInt(QStringLiteral("ADMIN"));
    d.executorIndex = (t.isNull(QStringLiteral("ADMIN")) || admin == 0) ? -1 : m_staff.indexOfUserId(admin);
    d.importance = t.asInt(QStringLiteral("IMP"));
    d.ctime = t.asString(QStringLiteral("CTIME"));
    d.impMorePresent = !t.asString(QStringLiteral("IMP_MORE")).isEmpty();
    d.adminTextPresent = !t.asString(QStringLiteral("ADMIN_TEXT")).isEmpty();

    if (!t.isNull(QStringLiteral("CLIENT_GROUP"))) {
        const int groupId = t.asInt(QStringLiteral("CLIENT_GROUP"));
        TableCache &groups = dm().clientdata;
        groups.close();
        groups.openTable(QStringLiteral("GROUPS"));
        groups.orderBy(QStringLiteral("GROUP_ID"));
        for (groups.first(); !groups.eof(); groups.next()) {
            const int gid = groups.asInt(QStringLiteral("GROUP_ID"));
            if (gid == groupId) {
                if (gid != 0)
                    d.group = groups.asString(QStringLiteral("GROUP_NAME"));
                break;
            }
        }
    }
    return d;
}

bool RequestWorkspace::verifyCurrentRequest()
{
    const int id = currentRequestId();
    TableCache &copy = dm().maindataTEST;
    reloadRequests(copy);
    return id != 0 && findFromLast(copy, id);
}

SaveResult RequestWorkspace::save(const SaveInput &in)
{
    SaveResult result;
    if (in.executorIndex < 0 || in.executorIndex >= m_staff.size() || m_staff.privs.at(in.executorIndex) == u"2") {
        result.outcome = SaveOutcome::NoExecutor;
        return result;
    }
    TableCache &t = dm().maindata;
    const int id = t.asInt(QStringLiteral("ID"));
    const int oldStatus = t.asInt(QStringLiteral("CURRENT_STATE"));
    const QString oldAdminText = t.asString(QStringLiteral("ADMIN"));
    const int oldAdmin = t.asInt(QStringLiteral("ADMIN"));

    // Optimistic check: status and executor as a fresh read has them.
    TableCache &copy = dm().maindataTEST;
    reloadRequests(copy);
    const bool unchanged = findFromLast(copy, id) && copy.asInt(QStringLiteral("CURRENT_STATE")) == oldStatus &&
                           copy.asInt(QStringLiteral("ADMIN")) == oldAdmin &&
                           copy.isNull(QStringLiteral("ADMIN")) == t.isNull(QStringLiteral("ADMIN"));

    const QString newAdminText = m_staff.ids.at(in.executorIndex);
    const QString executorEmail = m_staff.emails.at(in.executorIndex);
    TableCache &users = dm().clientdata;
    users.close();
    users.openTable(QStringLiteral("USERS"));
    users.orderBy(QStringLiteral("USER_NAME"));
    bool found = false;
    for (users.first(); !users.eof(); users.next()) {
        if (users.asString(QStringLiteral("USER_ID")) == newAdminText) {
            found = true;
            break;
        }
    }
    if (!found) {
        loadStaffInto(m_staff, users);
        result.outcome = SaveOutcome::ExecutorGone;
        return result;
    }
    if (!unchanged) {
        result.outcome = SaveOutcome::ChangedByOthers;
        return result;
    }

    // No status chosen (a stored value outside the list): the status stays.
    const int newStatus = in.newStatus >= 0 ? in.newStatus : oldStatus;
    const QString statusText = in.newStatus >= 0 ? in.statusText : t.asString(QStringLiteral("TEXT_STATE"));
    const int newAdmin = newAdminText.toInt();
    if (oldAdminText != newAdminText) {
        removeFromInbox(oldAdmin != 0 ? QString::number(oldAdmin) : kAdminInbox, id);
        if (newStatus == 0 && addToInbox(newAdminText, id))
            result.executorNoticeQueued = queueExecutorNotice(t, executorEmail);
    } else if (oldStatus != newStatus) {
        if (oldStatus == 0)
            removeFromInbox(oldAdminText, id);
        if (newStatus == 0 && addToInbox(newAdminText, id))
            result.executorNoticeQueued = queueExecutorNotice(t, executorEmail);
    }

    result.ctime = changeTimeText(QDateTime::currentDateTime());
    t.edit();
    t.setValue(QStringLiteral("CURRENT_STATE"), newStatus);
    // A comment nobody touched keeps its stored text: the field shows only an abbreviation of it.
    if (in.commentEdited)
        t.setValue(QStringLiteral("CURRENT_INFO"), in.comment);
    t.setValue(QStringLiteral("TEXT_STATE"), statusText);
    t.setValue(QStringLiteral("ADMIN"), newAdmin);
    t.setValue(QStringLiteral("CTIME"), result.ctime);
    t.post();
    t.applyUpdates();

    if (newStatus > 0 && newStatus != oldStatus && settings().CB7 && !t.asString(QStringLiteral("EMAIL")).isEmpty())
        result.requesterNoticeQueued = queueRequesterNotice(t, newStatus, newAdmin);

    result.outcome = SaveOutcome::Saved;
    return result;
}

void RequestWorkspace::writeCurrentField(const QString &field, const QString &text)
{
    TableCache &t = dm().maindata;
    t.edit();
    t.setValue(field, text);
    t.post();
    t.applyUpdates();
}

void RequestWorkspace::changeImportance(int importance)
{
    writeCurrentField(QStringLiteral("IMP"), QString::number(importance));
}

int CountQueuedRequests()
{
    TableCache &table = dm().maindata;
    reloadRequests(table);
    const int priv = appState().CurrentUserPriv;
    const int userId = appState().CurrentUserId;
    const int cState = table.fieldIndex(QStringLiteral("CURRENT_STATE"));
    const int cAdmin = table.fieldIndex(QStringLiteral("ADMIN"));
    int queued = 0;
    for (int r = 0; r < table.rowCount(); ++r) {
        if (countsAsQueued(int(table.intAt(r, cState)), int(table.intAt(r, cAdmin)), priv, userId))
            ++queued;
    }
    appState().NewRequestCount = queued;
    updateTrayForQueue(queued);
    return queued;
}

QString queueHintText(int count)
{
    if (count < 1)
        return msg(44);
    return msg(43) + u' ' + QString::number(count);
}

void updateTrayForQueue(int count)
{
    ShellHooks &hooks = shell();
    if (hooks.setTrayHint)
        hooks.setTrayHint(queueHintText(count));
    const Settings &s = settings();
    if (count < 1) {
        if (s.CB6)
            stopBlinking();
        if (hooks.setTrayPicture)
            hooks.setTrayPicture(0);
    } else if (s.CB6 && s.CB3) {
        startBlinking();
    }
}

QString abbreviate(const QString &text)
{
    QString head = text.left(100);
    head.replace(u'\r', u' ');
    head.replace(u'\n', u' ');
    if (text.size() > 100)
        head += QStringLiteral("...");
    return head;
}

QString changeTimeText(const QDateTime &when)
{
    // The locale's short date; the untranslated C locale gets the day-first form the console always showed.
    const QLocale locale = QLocale::system();
    const QString date = locale.language() == QLocale::C ? when.date().toString(QStringLiteral("dd.MM.yyyy"))
                                                          : locale.toString(when.date(), QLocale::ShortFormat);
    return date + QStringLiteral(", ") + when.time().toString(QStringLiteral("HH:mm:ss"));
}

QString systemInfoText(const TableCache &t)
{
    if (!t.asBool(QStringLiteral("THISCOMP")))
        return msg(68);
    return QStringLiteral("OS:") + t.asString(QStringLiteral("OS")) + QStringLiteral(", CPU:") +
           t.asString(QStringLiteral("PROC")) + QStringLiteral(", RAM:") + t.asString(QStringLiteral("MEMORY")) +
           QStringLiteral(", ID:") + t.asString(QStringLiteral("IPADR"));
}

void removeFromInbox(const QString &table, int requestId)
{
    TableCache &sd = dm().sd;
    try {
        sd.close();
        sd.openTable(table);
    } catch (const DbError &) {
        return; // no such inbox
    }
    while (sd.locate(QStringLiteral("IN_ID"), requestId)) {
        sd.remove();
        sd.applyUpdates();
    }
}

bool addToInbox(const QString &table, int requestId)
{
    TableCache &sd = dm().sd;
    try {
        sd.close();
        sd.openTable(table);
    } catch (const DbError &) {
        return false;
    }
    qint64 top = 0;
    for (sd.first(); !sd.eof(); sd.next())
        top = std::max(top, sd.asInt64(QStringLiteral("ID")));
    sd.append();
    sd.setValue(QStringLiteral("ID"), top + 1);
    sd.setValue(QStringLiteral("IN_ID"), requestId);
    sd.post();
    sd.applyUpdates();
    return true;
}

} // namespace bw
