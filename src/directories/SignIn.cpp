#include "directories/SignIn.h"

#include "app/AppState.h"
#include "data/DataModule.h"

#include <QSet>

namespace bw {

namespace {

const QString kUsers = QStringLiteral("USERS");
const QString kServerAll = QStringLiteral("SERVER_ALL");
const QString kAdminInbox = QStringLiteral("_ADMIN");
const QString kRefused = QStringLiteral("DLG82");

// Opens an inbox table on `sd`; false when it does not exist (or cannot be read), which is no error here.
bool openInbox(TableCache &sd, const QString &table)
{
    try {
        sd.openTable(table);
    } catch (const DbError &) {
        sd.close();
        return false;
    }
    return true;
}

// Deletes every row whose IN_ID is not in `queued`, writing each deletion back at once so that a
// failure later in the walk keeps what was already removed. Returns the number of rows removed.
int dropStaleRows(TableCache &sd, const QSet<qint64> &queued)
{
    int removed = 0;
    int pos = 0;
    while (pos < sd.rowCount()) {
        sd.setPosition(pos);
        if (queued.contains(sd.asInt64(QStringLiteral("IN_ID")))) {
            ++pos;
            continue;
        }
        sd.remove(); // the next row moves up into `pos`
        sd.applyUpdates();
        ++removed;
    }
    return removed;
}

} // namespace

int SignInAccounts::load()
{
    clear();
    TableCache &users = dm().clientdata;
    users.openTable(kUsers);
    users.orderBy(QStringLiteral("ord"));
    for (users.first(); !users.eof(); users.next()) {
        m_names << users.asString(QStringLiteral("USER_NAME"));
        m_ids << users.asString(QStringLiteral("USER_ID"));
        m_logins << users.asString(QStringLiteral("LOGIN"));
        m_passwords << users.asString(QStringLiteral("PASS"));
        m_roles << users.asString(QStringLiteral("PRIV"));
        m_rem << users.asString(QStringLiteral("rem"));
        m_remLogins << users.asString(QStringLiteral("rem_login"));
        m_remPass << users.asString(QStringLiteral("rem_pass"));
    }
    return count();
}

void SignInAccounts::clear()
{
    for (QStringList *list : {&m_names, &m_ids, &m_logins, &m_passwords, &m_roles, &m_rem, &m_remLogins, &m_remPass})
        list->clear();
}

int SignInAccounts::userId(int index) const
{
    if (index < 0 || index >= count())
        return 0;
    return m_ids.at(index).toInt();
}

SignInAccounts::Remembered SignInAccounts::remembered(int index) const
{
    Remembered r;
    if (index < 0 || index >= count() || m_rem.at(index) != QLatin1String("1"))
        return r;
    r.checked = true;
    r.login = m_remLogins.at(index);
    r.password = m_remPass.at(index);
    return r;
}

SignInResult signIn(int userId, const QString &login, const QString &password, bool remember)
{
    SignInResult result;
    TableCache &users = dm().clientdata;
    users.openTable(kUsers);
    users.orderBy(QStringLiteral("USER_ID"));
    if (!users.locate(QStringLiteral("USER_ID"), userId))
        return result; // the account was deleted meanwhile

    // Remembering comes first, so the typed values are kept even when they turn out to be wrong.
    if (remember) {
        users.edit();
        users.setValue(QStringLiteral("rem"), 1);
        users.setValue(QStringLiteral("rem_login"), login);
        users.setValue(QStringLiteral("rem_pass"), password);
        users.post();
        users.applyUpdates();
    } else if (users.asInt(QStringLiteral("rem")) == 1) {
        // Forget only the flag: the stored login and password stay in the row.
        users.edit();
        users.setValue(QStringLiteral("rem"), 0);
        users.post();
        users.applyUpdates();
    }

    // Exact comparison: letter case counts and nothing is trimmed.
    if (users.asString(QStringLiteral("LOGIN")) != login) {
        result.outcome = SignInOutcome::WrongLogin;
        result.messageKey = kRefused;
        return result;
    }
    if (users.asString(QStringLiteral("PASS")) != password) {
        result.outcome = SignInOutcome::WrongPassword;
        result.messageKey = kRefused;
        return result;
    }

    appState().CurrentUserPriv = users.asInt(QStringLiteral("PRIV"));
    appState().CurrentUserId = users.asInt(QStringLiteral("USER_ID"));
    result.outcome = SignInOutcome::SignedIn;

    // The tidy-up is housekeeping: a failure there must not keep a member with valid credentials out.
    try {
        tidyInboxes(appState().CurrentUserId);
    } catch (const DbError &e) {
        result.tidyError = e.text();
    }
    return result;
}

InboxTidyResult tidyInboxes(int userId)
{
    InboxTidyResult result;
    TableCache &sd = dm().sd;
    if (!openInbox(sd, QString::number(userId)))
        return result;
    result.ownOpened = true;
    result.ownRows = sd.rowCount();
    if (sd.isEmpty())
        return result; // nothing of the member's own: _ADMIN waits for another sign-in

    TableCache &requests = dm().maindata;
    requests.openTable(kServerAll);
    requests.orderBy(QStringLiteral("CURRENT_STATE"));
    requests.restrict(QStringLiteral("CURRENT_STATE"), 0);
    QSet<qint64> queued;
    for (requests.first(); !requests.eof(); requests.next())
        queued.insert(requests.asInt64(QStringLiteral("ID")));
    // Lift the restriction even when a deletion below fails.
    struct Unrestrict
    {
        TableCache &cache;
        ~Unrestrict() { cache.clearRestriction(); }
    } unrestrict{requests};

    result.ownRemoved = dropStaleRows(sd, queued);

    if (openInbox(sd, kAdminInbox) && !sd.isEmpty()) {
        result.adminTidied = true;
        result.adminRemoved = dropStaleRows(sd, queued);
    }
    return result;
}

} // namespace bw
