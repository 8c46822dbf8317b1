#include "directories/Directories.h"

#include "data/DataModule.h"
#include "data/Schema.h"

#include <algorithm>

namespace bw {

namespace {

const QString kOrd = QStringLiteral("ord");

// Largest value of `field` over every row of the loaded table + 1; 1 for an empty table. NULL counts as 0.
int maxPlusOne(TableCache &cache, const QString &field)
{
    cache.clearRestriction();
    int largest = 0;
    for (cache.first(); !cache.eof(); cache.next())
        largest = std::max(largest, cache.asInt(field));
    return largest + 1;
}

bool isEntryKind(DirectoryKind kind)
{
    return kind == DirectoryKind::Topics || kind == DirectoryKind::Refinements || kind == DirectoryKind::TimeOptions;
}

// Whether any request names `id` in `field` (a group in CLIENT_GROUP, an executor in ADMIN).
bool anyRequestWith(const QString &quotedField, int id)
{
    const auto rows = dm().connection().select(
        QStringLiteral("SELECT FIRST 1 ID FROM SERVER_ALL WHERE %1 = ?").arg(quotedField), {id});
    return !rows.empty();
}

DirectoryOutcome outcome(DirectoryOutcome::Code code, const QString &key = QString(), int id = 0)
{
    DirectoryOutcome o;
    o.code = code;
    o.messageKey = key;
    o.id = id;
    return o;
}

} // namespace

DirectoryTable directoryTable(DirectoryKind kind)
{
    switch (kind) {
    case DirectoryKind::Groups:
        return {QStringLiteral("GROUPS"), QStringLiteral("GROUP_ID"), QStringLiteral("GROUP_NAME")};
    case DirectoryKind::Topics:
        return {QStringLiteral("P_MAIN"), QStringLiteral("ID"), QStringLiteral("NAME")};
    case DirectoryKind::Refinements:
        return {QStringLiteral("P_2"), QStringLiteral("ID"), QStringLiteral("NAME")};
    case DirectoryKind::TimeOptions:
        return {QStringLiteral("P_WHEN"), QStringLiteral("ID"), QStringLiteral("NAME")};
    case DirectoryKind::Staff:
        return {QStringLiteral("USERS"), QStringLiteral("USER_ID"), QStringLiteral("USER_NAME")};
    }
    return {};
}

QString addedMessageKey(DirectoryKind kind)
{
    static const char *const keys[] = {"DLG3", "DLG5", "DLG6", "DLG7", "DLG8"};
    return QString::fromLatin1(keys[int(kind)]);
}

QString changedMessageKey(DirectoryKind kind)
{
    static const char *const keys[] = {"DLG4", "DLG9", "DLG10", "DLG11", "DLG12"};
    return QString::fromLatin1(keys[int(kind)]);
}

QString deletedMessageKey(DirectoryKind kind)
{
    static const char *const keys[] = {"DLG36", "DLG37", "DLG38", "DLG39", "DLG34"};
    return QString::fromLatin1(keys[int(kind)]);
}

// --- DirectoryList ----------------------------------------------------------------------------------

void DirectoryList::append(const QString &name, int id)
{
    names.append(name);
    ids.append(id);
}

void DirectoryList::removeAt(int index)
{
    if (!isValidIndex(index))
        return;
    names.removeAt(index);
    ids.removeAt(index);
}

void DirectoryList::swap(int a, int b)
{
    if (!isValidIndex(a) || !isValidIndex(b))
        return;
    names.swapItemsAt(a, b);
    ids.swapItemsAt(a, b);
}

void DirectoryList::clear()
{
    names.clear();
    ids.clear();
}

// --- Directories --------------------------------------------------------------------------------------

const DirectoryList &Directories::list(DirectoryKind kind) const
{
    return const_cast<Directories *>(this)->mutableList(kind);
}

DirectoryList &Directories::mutableList(DirectoryKind kind)
{
    switch (kind) {
    case DirectoryKind::Groups:
        return m_groups;
    case DirectoryKind::Topics:
        return m_topics;
    case DirectoryKind::Refinements:
        return m_refinements;
    case DirectoryKind::TimeOptions:
        return m_times;
    case DirectoryKind::Staff:
        break;
    }
    return m_staff;
}

int Directories::selectedTopicId() const
{
    return m_topics.isValidIndex(m_selectedTopic) ? m_topics.ids.at(m_selectedTopic) : 0;
}

void Directories::loadList(DirectoryKind kind)
{
    const DirectoryTable t = directoryTable(kind);
    DirectoryList &l = mutableList(kind);
    l.clear();
    TableCache &c = dm().clientdata;
    c.openTable(t.table);
    c.orderBy(kOrd);
    for (c.first(); !c.eof(); c.next())
        l.append(c.asString(t.nameField), c.asInt(t.idField));
    c.close();
}

void Directories::loadRefinements()
{
    m_refinements.clear();
    if (!m_topics.isValidIndex(m_selectedTopic))
        return;
    TableCache &c = dm().clientdata;
    c.openTable(QStringLiteral("P_2"));
    c.orderBy(kOrd);
    c.restrict(QStringLiteral("ID_MAIN"), m_topics.ids.at(m_selectedTopic));
    for (c.first(); !c.eof(); c.next())
        m_refinements.append(c.asString(QStringLiteral("NAME")), c.asInt(QStringLiteral("ID")));
    c.close();
}

void Directories::load()
{
    m_groups.clear();
    m_topics.clear();
    m_refinements.clear();
    m_times.clear();
    m_staff.clear();
    m_selectedTopic = -1;

    loadList(DirectoryKind::Groups);
    loadList(DirectoryKind::Topics);
    if (!m_topics.isEmpty()) {
        m_selectedTopic = 0;
        loadRefinements();
    }
    loadList(DirectoryKind::TimeOptions);
    loadList(DirectoryKind::Staff);
}

void Directories::selectTopic(int index)
{
    if (!m_topics.isValidIndex(index))
        return;
    m_selectedTopic = index;
    loadRefinements();
}

void Directories::reloadAfterFailure() noexcept
{
    // Pending changes of a failed write must not reach the database later through a shared cache.
    dm().clientdata.close();
    dm().clientdataX.close();
    const int topicId = selectedTopicId();
    try {
        load();
        const int index = m_topics.indexOfId(topicId);
        if (index > 0)
            selectTopic(index);
    } catch (const std::exception &) {
        // The connection itself is gone: the lists keep what they had; the caller reports the first error.
    }
}

bool Directories::openAtRecord(TableCache &c, const QString &table, const QString &idField, int id)
{
    // The record may have been removed by another console since the lists were read: then the
    // lists are read again and the caller stores nothing.
    c.openTable(table);
    c.orderBy(idField);
    if (c.locate(idField, id))
        return true;
    c.close();
    reloadAfterFailure();
    return false;
}

template <typename Fn>
auto Directories::guarded(Fn &&fn) -> decltype(fn())
{
    try {
        return fn();
    } catch (const DbError &) {
        reloadAfterFailure();
        throw;
    }
}

DirectoryOutcome Directories::remove(DirectoryKind kind, int index)
{
    const DirectoryList &l = list(kind);
    if (!l.isValidIndex(index))
        return outcome(DirectoryOutcome::Nothing);
    const int id = l.ids.at(index);
    const DirectoryTable t = directoryTable(kind);

    return guarded([&] {
        if (kind == DirectoryKind::Groups && anyRequestWith(QStringLiteral("CLIENT_GROUP"), id))
            return outcome(DirectoryOutcome::Refused, QStringLiteral("DLG69"), id);
        if (kind == DirectoryKind::Staff && anyRequestWith(QStringLiteral("\"ADMIN\""), id))
            return outcome(DirectoryOutcome::Refused, QStringLiteral("DLG70"), id);

        TableCache &c = dm().clientdata;
        if (!openAtRecord(c, t.table, t.idField, id))
            return outcome(DirectoryOutcome::Missing, QString(), id);
        // The first account is the one that always lets somebody into the console.
        if (kind == DirectoryKind::Staff && id == 1) {
            c.close();
            return outcome(DirectoryOutcome::Nothing, QString(), id);
        }

        if (kind == DirectoryKind::Topics) {
            TableCache &x = dm().clientdataX;
            x.openTable(QStringLiteral("P_2"));
            x.restrict(QStringLiteral("ID_MAIN"), id);
            while (!x.isEmpty()) {
                x.first();
                x.remove();
            }
            x.applyUpdates();
            x.close();
            m_refinements.clear();
        }
        if (kind == DirectoryKind::Staff)
            dm().SQL1.execIgnoringErrors(dropInboxTableSql(id)); // a missing inbox table is no reason to keep the account

        c.remove();
        c.applyUpdates();
        c.close();

        mutableList(kind).removeAt(index);
        if (kind == DirectoryKind::Topics)
            m_selectedTopic = -1; // no topic chosen: the refinement list stays empty until one is
        return outcome(DirectoryOutcome::Done, deletedMessageKey(kind), id);
    });
}

bool Directories::moveUp(DirectoryKind kind, int index)
{
    return move(kind, index, index - 1);
}

bool Directories::moveDown(DirectoryKind kind, int index)
{
    return move(kind, index, index + 1);
}

bool Directories::move(DirectoryKind kind, int index, int neighbour)
{
    const DirectoryList &l = list(kind);
    if (!l.isValidIndex(index) || !l.isValidIndex(neighbour))
        return false;
    const int id = l.ids.at(index);
    const int otherId = l.ids.at(neighbour);
    const DirectoryTable t = directoryTable(kind);

    return guarded([&] {
        TableCache &c = dm().clientdata;
        if (!openAtRecord(c, t.table, t.idField, id))
            return false;
        const int ordA = c.asInt(kOrd);
        if (!c.locate(t.idField, otherId)) {
            c.close();
            reloadAfterFailure();
            return false;
        }
        const int ordB = c.asInt(kOrd);
        c.edit();
        c.setValue(kOrd, ordA);
        c.post();
        c.locate(t.idField, id);
        c.edit();
        c.setValue(kOrd, ordB);
        c.post();
        c.applyUpdates();
        c.close();
        mutableList(kind).swap(index, neighbour);
        // The chosen topic is the one at the chosen place, so its refinements follow the exchange.
        if (kind == DirectoryKind::Topics && (m_selectedTopic == index || m_selectedTopic == neighbour))
            loadRefinements();
        return true;
    });
}

std::optional<GroupRecord> Directories::group(int id)
{
    TableCache &c = dm().clientdata;
    c.openTable(QStringLiteral("GROUPS"));
    c.orderBy(QStringLiteral("GROUP_ID"));
    std::optional<GroupRecord> r;
    if (c.locate(QStringLiteral("GROUP_ID"), id))
        r = GroupRecord{c.asString(QStringLiteral("GROUP_NAME")), c.asString(QStringLiteral("GROUP_MANAGER"))};
    c.close();
    return r;
}

std::optional<QString> Directories::entryName(DirectoryKind kind, int id)
{
    const DirectoryTable t = directoryTable(kind);
    TableCache &c = dm().clientdata;
    c.openTable(t.table);
    c.orderBy(t.idField);
    std::optional<QString> r;
    if (c.locate(t.idField, id))
        r = c.asString(t.nameField);
    c.close();
    return r;
}

std::optional<StaffAccount> Directories::staffAccount(int id)
{
    TableCache &c = dm().clientdata;
    c.openTable(QStringLiteral("USERS"));
    c.orderBy(QStringLiteral("USER_ID"));
    std::optional<StaffAccount> r;
    if (c.locate(QStringLiteral("USER_ID"), id)) {
        StaffAccount a;
        a.name = c.asString(QStringLiteral("USER_NAME"));
        a.login = c.asString(QStringLiteral("LOGIN"));
        a.password = c.asString(QStringLiteral("PASS"));
        a.email = c.asString(QStringLiteral("USER_EMAIL"));
        a.role = c.asInt(QStringLiteral("PRIV"));
        r = a;
    }
    c.close();
    return r;
}

DirectoryOutcome Directories::addGroup(const GroupRecord &group)
{
    if (group.name.isEmpty())
        return outcome(DirectoryOutcome::Nothing);
    return guarded([&] {
        TableCache &c = dm().clientdata;
        c.openTable(QStringLiteral("GROUPS"));
        const int id = maxPlusOne(c, QStringLiteral("GROUP_ID"));
        const int ord = maxPlusOne(c, kOrd);
        c.append();
        c.setValue(QStringLiteral("GROUP_ID"), id);
        c.setValue(QStringLiteral("GROUP_NAME"), group.name);
        c.setValue(QStringLiteral("GROUP_MANAGER"), group.manager);
        c.setValue(kOrd, ord);
        c.post();
        c.applyUpdates();
        c.close();
        m_groups.append(group.name, id);
        return outcome(DirectoryOutcome::Done, addedMessageKey(DirectoryKind::Groups), id);
    });
}

DirectoryOutcome Directories::editGroup(int id, const GroupRecord &group)
{
    if (group.name.isEmpty())
        return outcome(DirectoryOutcome::Nothing);
    return guarded([&] {
        TableCache &c = dm().clientdata;
        if (!openAtRecord(c, QStringLiteral("GROUPS"), QStringLiteral("GROUP_ID"), id))
            return outcome(DirectoryOutcome::Missing, QString(), id);
        c.edit();
        c.setValue(QStringLiteral("GROUP_NAME"), group.name);
        c.setValue(QStringLiteral("GROUP_MANAGER"), group.manager);
        c.post();
        c.applyUpdates();
        c.close();
        const int index = m_groups.indexOfId(id);
        if (index >= 0)
            m_groups.names[index] = group.name;
        return outcome(DirectoryOutcome::Done, changedMessageKey(DirectoryKind::Groups), id);
    });
}

DirectoryOutcome Directories::addEntry(DirectoryKind kind, const QString &name)
{
    if (!isEntryKind(kind) || name.isEmpty())
        return outcome(DirectoryOutcome::Nothing);
    if (kind == DirectoryKind::Refinements && !m_topics.isValidIndex(m_selectedTopic))
        return outcome(DirectoryOutcome::Nothing);
    const DirectoryTable t = directoryTable(kind);
    return guarded([&] {
        TableCache &c = dm().clientdata;
        c.openTable(t.table);
        // Refinements share one identity and one order sequence over all topics.
        const int id = maxPlusOne(c, t.idField);
        const int ord = maxPlusOne(c, kOrd);
        c.append();
        c.setValue(t.idField, id);
        if (kind == DirectoryKind::Refinements)
            c.setValue(QStringLiteral("ID_MAIN"), selectedTopicId());
        c.setValue(t.nameField, name);
        c.setValue(kOrd, ord);
        c.post();
        c.applyUpdates();
        c.close();
        mutableList(kind).append(name, id);
        if (kind == DirectoryKind::Topics && m_selectedTopic < 0) {
            m_selectedTopic = 0;
            loadRefinements();
        }
        return outcome(DirectoryOutcome::Done, addedMessageKey(kind), id);
    });
}

DirectoryOutcome Directories::editEntry(DirectoryKind kind, int id, const QString &name)
{
    if (!isEntryKind(kind) || name.isEmpty())
        return outcome(DirectoryOutcome::Nothing);
    const DirectoryTable t = directoryTable(kind);
    return guarded([&] {
        TableCache &c = dm().clientdata;
        if (!openAtRecord(c, t.table, t.idField, id))
            return outcome(DirectoryOutcome::Missing, QString(), id);
        c.edit();
        c.setValue(t.nameField, name);
        c.post();
        c.applyUpdates();
        c.close();
        DirectoryList &l = mutableList(kind);
        const int index = l.indexOfId(id);
        if (index >= 0)
            l.names[index] = name;
        return outcome(DirectoryOutcome::Done, changedMessageKey(kind), id);
    });
}

DirectoryOutcome Directories::addStaff(const StaffAccount &account)
{
    if (account.name.isEmpty())
        return outcome(DirectoryOutcome::Nothing);
    if (account.name == QLatin1String(kReservedStaffName))
        return outcome(DirectoryOutcome::Refused, QStringLiteral("DLG83"));
    return guarded([&] {
        TableCache &c = dm().clientdata;
        c.openTable(QStringLiteral("USERS"));
        const int id = maxPlusOne(c, QStringLiteral("USER_ID"));
        const int ord = maxPlusOne(c, kOrd);
        c.append();
        c.setValue(QStringLiteral("USER_ID"), id);
        c.setValue(QStringLiteral("USER_NAME"), account.name);
        c.setValue(QStringLiteral("LOGIN"), account.login.left(kMaxLoginLength));
        c.setValue(QStringLiteral("PASS"), account.password.left(kMaxLoginLength));
        c.setValue(QStringLiteral("USER_EMAIL"), account.email);
        c.setValue(kOrd, ord);
        c.setValue(QStringLiteral("PRIV"), account.role);
        c.post();
        c.applyUpdates();
        c.close();
        // An inbox table left behind under this number keeps its rows: the statement fails and that is fine.
        dm().SQL1.execIgnoringErrors(createInboxTableSql(id));
        m_staff.append(account.name, id);
        return outcome(DirectoryOutcome::Done, addedMessageKey(DirectoryKind::Staff), id);
    });
}

DirectoryOutcome Directories::editStaff(int id, const StaffAccount &account)
{
    if (account.name.isEmpty())
        return outcome(DirectoryOutcome::Nothing);
    return guarded([&] {
        TableCache &c = dm().clientdata;
        if (!openAtRecord(c, QStringLiteral("USERS"), QStringLiteral("USER_ID"), id))
            return outcome(DirectoryOutcome::Missing, QString(), id);
        c.edit();
        c.setValue(QStringLiteral("USER_NAME"), account.name);
        c.setValue(QStringLiteral("LOGIN"), account.login.left(kMaxLoginLength));
        c.setValue(QStringLiteral("PASS"), account.password.left(kMaxLoginLength));
        c.setValue(QStringLiteral("USER_EMAIL"), account.email);
        c.setValue(QStringLiteral("PRIV"), account.role);
        c.post();
        c.applyUpdates();
        c.close();
        const int index = m_staff.indexOfId(id);
        if (index >= 0)
            m_staff.names[index] = account.name;
        return outcome(DirectoryOutcome::Done, changedMessageKey(DirectoryKind::Staff), id);
    });
}

Directories &directories()
{
    static Directories instance;
    return instance;
}

void loadDirectoryLists()
{
    directories().load();
}

const DirectoryList &staffList()
{
    return directories().staff();
}

} // namespace bw
