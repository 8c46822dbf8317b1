#pragma once

#include <QString>
#include <QStringList>

namespace bw {

// The staff accounts as the sign-in window lists them: USERS in `ord` order, the names shown in the
// drop-down list and, index for index, the hidden values the window keeps beside it (all as text).
class SignInAccounts final
{
public:
    // Reads USERS (clientdata) in `ord` order and refills every list. Returns the number of accounts.
    // Throws DbError when USERS cannot be read.
    int load();
    void clear();

    int count() const { return int(m_ids.size()); }
    bool isEmpty() const { return m_ids.isEmpty(); }

    const QStringList &names() const { return m_names; }                 // USER_NAME, shown in the list
    const QStringList &ids() const { return m_ids; }                     // USER_ID
    const QStringList &logins() const { return m_logins; }               // LOGIN
    const QStringList &passwords() const { return m_passwords; }         // PASS
    const QStringList &roles() const { return m_roles; }                 // PRIV
    const QStringList &rememberFlags() const { return m_rem; }           // rem ("1": remembered)
    const QStringList &rememberedLogins() const { return m_remLogins; }  // rem_login
    const QStringList &rememberedPasswords() const { return m_remPass; } // rem_pass

    // USER_ID of account `index`; 0 outside the list.
    int userId(int index) const;

    // What selecting account `index` puts into the window: the check box and both fields. Only the flag
    // text "1" counts as remembered; otherwise the box is clear and the fields are empty.
    struct Remembered
    {
        bool checked = false;
        QString login;
        QString password;
    };
    Remembered remembered(int index) const;

private:
    QStringList m_names;
    QStringList m_ids;
    QStringList m_logins;
    QStringList m_passwords;
    QStringList m_roles;
    QStringList m_rem;
    QStringList m_remLogins;
    QStringList m_remPass;
};

enum class SignInOutcome
{
    AccountGone,   // no USERS row has the account's USER_ID any more: nothing stored, nothing reported
    WrongLogin,    // refused (DLG82)
    WrongPassword, // refused (DLG82)
    SignedIn
};

struct SignInResult
{
    SignInOutcome outcome = SignInOutcome::AccountGone;
    // Catalogue key of the message to show ("DLG82" for a refusal), empty when nothing is reported.
    QString messageKey;
    // Text of a database error met while tidying the inboxes after a successful sign-in. The member is
    // signed in all the same; the caller reports the text.
    QString tidyError;

    bool signedIn() const { return outcome == SignInOutcome::SignedIn; }
};

// One press of "Войти" for the account `userId` with what the window holds:
//  1. USERS is loaded afresh; without a row of that USER_ID nothing happens (AccountGone);
//  2. the remember step runs before any check: a checked box stores rem = 1 with the typed login and
//     password; a clear box turns a stored rem = 1 into 0 and leaves rem_login / rem_pass as they are;
//  3./4. LOGIN and PASS are compared exactly (letter case counts, nothing is trimmed);
//  5. appState().CurrentUserPriv / CurrentUserId are set;
//  6./7. the inboxes are tidied (tidyInboxes).
// Database errors of steps 1-2 are thrown as DbError (nothing is signed in then).
SignInResult signIn(int userId, const QString &login, const QString &password, bool remember);

struct InboxTidyResult
{
    bool ownOpened = false;  // the member's own table exists
    int ownRows = 0;         // its rows before the tidy-up
    int ownRemoved = 0;
    bool adminTidied = false; // _ADMIN was opened and had rows
    int adminRemoved = 0;
};

// Removes from the member's own inbox table (named by the decimal USER_ID) every row whose IN_ID is not
// the ID of a request with CURRENT_STATE 0, then does the same to _ADMIN. A table that cannot be opened
// is skipped silently. _ADMIN is looked at only when the member's own table exists and has rows, so a
// member with an empty inbox leaves _ADMIN as it is. Each deletion is written back at once.
// Throws DbError when SERVER_ALL cannot be read or a deletion cannot be written.
InboxTidyResult tidyInboxes(int userId);

} // namespace bw
