#include "requests/RequestWorkspace.h"

#include "app/AppState.h"
#include "app/Shell.h"
#include "data/Codepage.h"
#include "data/DataModule.h"
#include "i18n/Catalogue.h"
#include "requests/RequestNotices.h"
#include "requests/RequestPeriod.h"
#include "settings/Settings.h"

#include <QLocale>
#include <QStringDecoder>

#include <array>
#include <memory>

namespace bw {

namespace {

constexpr int kYieldEvery = 4096;
const QString kAdminInbox = QStringLiteral("_ADMIN");

// The list reads every row of SERVER_ALL, but only the columns the list and the queue count need: the
// long and descriptive columns would only cost time and memory for a hundred thousand rows.
const QString kListColumns = QStringLiteral(
    "SELECT ID, DATA, \"IMP\", \"CURRENT_STATE\", \"ADMIN\", ID_CLIENT, INTIME, TROUBLE, TROUBLE_MORE FROM SERVER_ALL");
const char *const kListTexts[4] = {"ID_CLIENT", "INTIME", "TROUBLE", "TROUBLE_MORE"};

// Single-byte text reaches the list as its stored bytes (no transliteration by the server, which is most of
// the cost of reading the list) and is decoded here through a table of the 256 characters of its code page.
struct ListQuery
{
    QString database;
    QString sql;
    std::array<std::shared_ptr<std::array<char16_t, 256>>, 4> tables; // null: the column is read as it is
};

std::shared_ptr<std::array<char16_t, 256>> codeTable(const QByteArray &codepage)
{
    QStringDecoder decoder(codepage);
    if (!decoder.isValid())
        return nullptr;
    auto table = std::make_shared<std::array<char16_t, 256>>();
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        const QString c = decoder.decode(QByteArrayView(&byte, 1));
        (*table)[size_t(b)] = c.size() == 1 ? c.at(0).unicode() : char16_t(0xFFFD);
    }
    return table;
}

const ListQuery &listQuery()
{
    static ListQuery q;
    FbConnection &conn = dm().SQLConnection1;
    if (q.database == conn.databaseString() && !q.sql.isEmpty())
        return q;
    q = ListQuery();
    q.database = conn.databaseString();
    q.sql = kListColumns;
    const auto rows = conn.select(QStringLiteral(
        "SELECT TRIM(RF.RDB$FIELD_NAME), F.RDB$FIELD_TYPE, F.RDB$CHARACTER_SET_ID, F.RDB$FIELD_LENGTH "
        "FROM RDB$RELATION_FIELDS RF JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
        "WHERE RF.RDB$RELATION_NAME = 'SERVER_ALL'"));
    QStringList columns{QStringLiteral("ID"), QStringLiteral("DATA"), QStringLiteral("\"IMP\""),
                        QStringLiteral("\"CURRENT_STATE\""), QStringLiteral("\"ADMIN\"")};
    for (int i = 0; i < 4; ++i) {
        const QString name = QString::fromLatin1(kListTexts[i]);
        QString expr = name;
        for (const QVariantList &r : rows) {
            if (r.at(0).toString() != name)
                continue;
            const int type = r.at(1).toInt(); // 37 VARCHAR, 14 CHAR
            const int charset = r.at(2).toInt();
            const int length = r.at(3).toInt();
            QByteArray codepage;
            if (charset == CsWin1251)
                codepage = "windows-1251";
            else if (charset == CsNone)
                codepage = legacyCodepage();
            if ((type == 37 || type == 14) && !codepage.isEmpty() && length > 0) {
                q.tables[size_t(i)] = codeTable(codepage);
                if (q.tables[size_t(i)])
                    expr = QStringLiteral("CAST(%1 AS VARCHAR(%2) CHARACTER SET OCTETS) AS %1").arg(name).arg(length);
            }
        }
        columns << expr;
    }
    q.sql = QStringLiteral("SELECT %1 FROM SERVER_ALL").arg(columns.join(QStringLiteral(", ")));
    return q;
}

// A list text column: the stored bytes arrive as Latin-1 characters and go through the code table.
QString listText(const TableCache &rows, int row, int col, const std::array<char16_t, 256> *table)
{
    QString text = rows.stringAt(row, col);
    if (table) {
        for (QChar &c : text)
            c = QChar((*table)[c.unicode() & 0xFF]);
    }
    return text;
}
const QString kQueueColumns = QStringLiteral("SELECT \"CURRENT_STATE\", \"ADMIN\" FROM SERVER_ALL");

TableCache &listCache()
{
    static TableCache cache(dm().SQLConnection1, QStringLiteral("listdata"));
    return cache;
}

// The request as it is in the database now: the whole row, long texts included, as the only row of the
// cache; false (no row) when the request is gone.
bool readRequest(TableCache &table, int id)
{
    table.close();
    table.openQuery(QStringLiteral("SELECT * FROM SERVER_ALL WHERE ID = ?"), {id});
    return table.rowCount() > 0;
}

// The current request after a rebuild: the one with the lowest ID.
void readLowestRequest(TableCache &table)
{
    table.close();
    table.openQuery(QStringLiteral("SELECT FIRST 1 * FROM SERVER_ALL ORDER BY ID"));
}

// One statement per change, applied at once, on the request's key; a request deleted meanwhile is an error
// as with any write-back of a changed record.
void updateRequest(int id, const QStringList &fields, QVariantList values)
{
    QStringList sets;
    for (const QString &f : fields)
        sets << quoteName(f) + QStringLiteral(" = ?");
    values << id;
    const quint64 n = dm().SQLConnection1.execute(
        QStringLiteral("UPDATE SERVER_ALL SET %1 WHERE ID = ?").arg(sets.join(QStringLiteral(", "))), values);
    if (n == 0)
        throw DbError(QStringLiteral("SERVER_ALL: the record was changed or deleted by another user"),
                      DbError::Kind::RecordChanged);
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

    TableCache &rows = listCache();
    rows.close();
    const ListQuery &query = listQuery();
    rows.openQuery(query.sql);
    rows.orderBy(QStringLiteral("ID"));
    filterReset = false;

    const RequestFilter filter = currentFilter(now);
    const bool showTime = settings().CB5;
    const int priv = appState().CurrentUserPriv;
    const int userId = appState().CurrentUserId;

    const int cId = rows.fieldIndex(QStringLiteral("ID"));
    const int cState = rows.fieldIndex(QStringLiteral("CURRENT_STATE"));
    const int cImp = rows.fieldIndex(QStringLiteral("IMP"));
    const int cAdmin = rows.fieldIndex(QStringLiteral("ADMIN"));
    const int cData = rows.fieldIndex(QStringLiteral("DATA"));
    const int cClient = rows.fieldIndex(QStringLiteral("ID_CLIENT"));
    const int cIntime = rows.fieldIndex(QStringLiteral("INTIME"));
    const int cTrouble = rows.fieldIndex(QStringLiteral("TROUBLE"));
    const int cMore = rows.fieldIndex(QStringLiteral("TROUBLE_MORE"));
    const QString dot = QStringLiteral(". ");

    int queued = 0;
    int sinceYield = 0;
    for (int r = rows.rowCount() - 1; r >= 0; --r) {
        const int status = int(rows.intAt(r, cState));
        const int admin = int(rows.intAt(r, cAdmin));
        if (countsAsQueued(status, admin, priv, userId))
            ++queued;
        if (++sinceYield == kYieldEvery) {
            sinceYield = 0;
            sink.yield();
        }
        const int imp = int(rows.intAt(r, cImp));
        if (!filter.statusPasses(status) || !filter.importancePasses(imp) || !filter.rightsPass(admin))
            continue;
        if (filter.needsDate()) {
            const qint64 when = RequestFilter::wallClock(rows.dateTimeAt(r, cData));
            if (!filter.timePasses(when) || !filter.periodPasses(when))
                continue;
        }
        if (filter.needsClient() &&
            !filter.clientPasses(rows.isNullAt(r, cClient), listText(rows, r, cClient, query.tables[0].get())))
            continue;
        RequestEntry entry;
        entry.id = int(rows.intAt(r, cId));
        entry.importance = imp;
        entry.status = status;
        if (showTime)
            entry.text = listText(rows, r, cIntime, query.tables[1].get()) + dot +
                         listText(rows, r, cTrouble, query.tables[2].get()) + dot +
                         listText(rows, r, cMore, query.tables[3].get());
        else
            entry.text = listText(rows, r, cTrouble, query.tables[2].get()) + dot +
                         listText(rows, r, cMore, query.tables[3].get());
        sink.add(std::move(entry));
    }
    sink.yield();
    rows.close();
    readLowestRequest(table);

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
        for (int id : ids) {
            if (!readRequest(table, id))
                continue;
            const int admin = table.asInt(QStringLiteral("ADMIN"));
            removeFromInbox(QString::number(admin), id);
            removeFromInbox(kAdminInbox, id);
            dm().SQLConnection1.execute(QStringLiteral("DELETE FROM SERVER_ALL WHERE ID = ?"), {id});
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
    if (!readRequest(t, id))
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

    if (!t.isNull(QStringLiteral("CLIENT_GROUP")))
        d.group = groupNameOf(dm().clientdata, t.asInt(QStringLiteral("CLIENT_GROUP"))).value_or(QString());
    return d;
}

bool RequestWorkspace::verifyCurrentRequest()
{
    const int id = currentRequestId();
    TableCache &copy = dm().maindataTEST;
    return id != 0 && readRequest(copy, id);
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
    const bool unchanged = readRequest(copy, id) && copy.asInt(QStringLiteral("CURRENT_STATE")) == oldStatus &&
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
    QStringList fields{QStringLiteral("CURRENT_STATE"), QStringLiteral("TEXT_STATE"), QStringLiteral("ADMIN"),
                       QStringLiteral("CTIME")};
    QVariantList values{newStatus, statusText, newAdmin, result.ctime};
    // A comment nobody touched keeps its stored text: the field shows only an abbreviation of it.
    if (in.commentEdited) {
        fields << QStringLiteral("CURRENT_INFO");
        values << in.comment;
    }
    updateRequest(id, fields, values);
    readRequest(t, id);

    if (newStatus > 0 && newStatus != oldStatus && settings().CB7 && !t.asString(QStringLiteral("EMAIL")).isEmpty())
        result.requesterNoticeQueued = queueRequesterNotice(t, newStatus, newAdmin);

    result.outcome = SaveOutcome::Saved;
    return result;
}

void RequestWorkspace::writeCurrentField(const QString &field, const QString &text)
{
    TableCache &t = dm().maindata;
    const int id = currentRequestId();
    updateRequest(id, {field}, {text});
    readRequest(t, id);
}

void RequestWorkspace::changeImportance(int importance)
{
    TableCache &t = dm().maindata;
    const int id = currentRequestId();
    updateRequest(id, {QStringLiteral("IMP")}, {importance});
    readRequest(t, id);
}

std::optional<QString> groupNameOf(TableCache &groups, int groupId)
{
    groups.close();
    groups.openTable(QStringLiteral("GROUPS"));
    groups.orderBy(QStringLiteral("GROUP_ID"));
    for (groups.first(); !groups.eof(); groups.next()) {
        const int gid = groups.asInt(QStringLiteral("GROUP_ID"));
        if (gid == groupId)
            return gid != 0 ? std::optional<QString>(groups.asString(QStringLiteral("GROUP_NAME"))) : std::nullopt;
    }
    return std::nullopt;
}

int CountQueuedRequests()
{
    TableCache &table = listCache();
    table.close();
    table.openQuery(kQueueColumns);
    const int priv = appState().CurrentUserPriv;
    const int userId = appState().CurrentUserId;
    const int cState = table.fieldIndex(QStringLiteral("CURRENT_STATE"));
    const int cAdmin = table.fieldIndex(QStringLiteral("ADMIN"));
    int queued = 0;
    for (int r = 0; r < table.rowCount(); ++r) {
        if (countsAsQueued(int(table.intAt(r, cState)), int(table.intAt(r, cAdmin)), priv, userId))
            ++queued;
    }
    table.close();
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
