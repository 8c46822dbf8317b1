#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace bw {

class TableCache;

// The five directories of the help-desk: what the client program offers its users when they file a
// request (groups, topics with their refinements, time options) and the staff accounts.
enum class DirectoryKind
{
    Groups,      // GROUPS
    Topics,      // P_MAIN
    Refinements, // P_2 (the refinements of the selected topic)
    TimeOptions, // P_WHEN
    Staff        // USERS
};

// Table, identity column and shown column of a directory.
struct DirectoryTable
{
    QString table;
    QString idField;
    QString nameField;
};
DirectoryTable directoryTable(DirectoryKind kind);

// One shown list: the texts in display order and, at the same index, each entry's identity.
struct DirectoryList
{
    QStringList names;
    QList<int> ids;

    int count() const { return int(names.size()); }
    bool isEmpty() const { return names.isEmpty(); }
    bool isValidIndex(int index) const { return index >= 0 && index < names.size(); }
    int indexOfId(int id) const { return int(ids.indexOf(id)); }
    void append(const QString &name, int id);
    void removeAt(int index);
    void swap(int a, int b);
    void clear();
};

// A department/group as the group dialog edits it.
struct GroupRecord
{
    QString name;
    QString manager;
};

// Roles of a staff account (USERS.PRIV).
enum StaffRole : int
{
    RoleAdministrator = 0, // "Администратор/Диспетчер"
    RoleExecutor = 1,      // "Исполнитель"
    RoleObserver = 2       // "Наблюдатель"
};

// A staff account as the staff dialog edits it.
struct StaffAccount
{
    QString name;
    QString login;
    QString password;
    QString email;
    int role = RoleAdministrator;
};

// Longest login and password the staff dialog accepts.
inline constexpr int kMaxLoginLength = 40;
// A new account may not take this name (it is kept for the built-in account of the client side).
inline constexpr const char *kReservedStaffName = "Administrator";

// What an operation did, and the catalogue message the window reports it with (empty: no message).
struct DirectoryOutcome
{
    enum Code
    {
        Done,     // stored; messageKey says so
        Nothing,  // nothing to do (no selection, empty name, the protected account, a first/last move)
        Refused,  // refused with messageKey; nothing changed
        Missing   // the row is no longer in the database; the lists were reloaded
    };
    Code code = Nothing;
    QString messageKey;
    int id = 0; // identity of the added or changed entry

    bool done() const { return code == Done; }
};

// The directories editor's data: the five lists with their hidden identity lists, and every change of
// the directory tables. Each change is written to the database at once; if the database refuses it,
// the lists are reloaded (so they match the database again) and the DbError is passed on to the
// caller, which reports its text.
class Directories final
{
public:
    Directories() = default;

    const DirectoryList &list(DirectoryKind kind) const;
    const DirectoryList &groups() const { return m_groups; }
    const DirectoryList &topics() const { return m_topics; }
    const DirectoryList &refinements() const { return m_refinements; }
    const DirectoryList &timeOptions() const { return m_times; }
    const DirectoryList &staff() const { return m_staff; }

    // Index of the topic whose refinements are listed; -1 when there is no topic.
    int selectedTopic() const { return m_selectedTopic; }
    int selectedTopicId() const;

    // Clears the five lists and reloads them in `ord` order; the first topic (if any) is selected and
    // its refinements are listed. Throws DbError.
    void load();
    // Lists the refinements of topic `index` (nothing happens for an invalid index). Throws DbError.
    void selectTopic(int index);

    // Delete the entry at `index` of the shown list (see DirectoryOutcome for the results).
    DirectoryOutcome remove(DirectoryKind kind, int index);

    // Exchange the entry at `index` with its neighbour above / below: their `ord` values are exchanged
    // in the database and the two entries in the list. Returns false when nothing was moved.
    bool moveUp(DirectoryKind kind, int index);
    bool moveDown(DirectoryKind kind, int index);

    // Current values of an entry for an edit dialog; nothing when the row no longer exists.
    std::optional<GroupRecord> group(int id);
    std::optional<QString> entryName(DirectoryKind kind, int id);
    std::optional<StaffAccount> staffAccount(int id);

    // Add and edit (edits find the row by identity). An empty name does nothing.
    DirectoryOutcome addGroup(const GroupRecord &group);
    DirectoryOutcome editGroup(int id, const GroupRecord &group);
    // Topics, refinements (added to the selected topic) and time options.
    DirectoryOutcome addEntry(DirectoryKind kind, const QString &name);
    DirectoryOutcome editEntry(DirectoryKind kind, int id, const QString &name);
    // A new account also gets its inbox table (an existing one is kept with its rows).
    DirectoryOutcome addStaff(const StaffAccount &account);
    DirectoryOutcome editStaff(int id, const StaffAccount &account);

private:
    DirectoryList &mutableList(DirectoryKind kind);
    void loadList(DirectoryKind kind);
    void loadRefinements();
    bool move(DirectoryKind kind, int index, int neighbour);
    void reloadAfterFailure() noexcept;
    bool openAtRecord(TableCache &c, const QString &table, const QString &idField, int id);
    template <typename Fn>
    auto guarded(Fn &&fn) -> decltype(fn());

    DirectoryList m_groups;
    DirectoryList m_topics;
    DirectoryList m_refinements;
    DirectoryList m_times;
    DirectoryList m_staff;
    int m_selectedTopic = -1;
};

// The editor's lists, shared by the directories window, the start-up and the windows that need the
// staff list.
Directories &directories();

// "Load directory lists" of the start-up sequence (sign-in needs the staff list). Throws DbError.
void loadDirectoryLists();

// Staff accounts in display order: names and, at the same index, USER_ID.
const DirectoryList &staffList();

// Added / changed / deleted messages of a directory (catalogue keys).
QString addedMessageKey(DirectoryKind kind);
QString changedMessageKey(DirectoryKind kind);
QString deletedMessageKey(DirectoryKind kind);

} // namespace bw
