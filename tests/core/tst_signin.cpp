#include "app/AppState.h"
#include "data/DataModule.h"
#include "data/Schema.h"
#include "directories/SignIn.h"
#include "support/TempDatabase.h"

#include <QtTest>

#include <memory>

using namespace bw;
using bwtest::TempDatabase;

namespace {

struct UserRow
{
    int id;
    QString name;
    QString login;
    QString pass;
    int priv;
    QVariant rem;
    QVariant remLogin;
    QVariant remPass;
    int ord;
};

void addUser(TempDatabase &db, const UserRow &u)
{
    db.exec(QStringLiteral("INSERT INTO USERS (USER_ID, USER_NAME, LOGIN, PASS, PRIV, REM, REM_LOGIN, REM_PASS, ORD) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {u.id, u.name, u.login, u.pass, u.priv, u.rem, u.remLogin, u.remPass, u.ord});
}

void addRequest(TempDatabase &db, int id, int state)
{
    db.exec(QStringLiteral("INSERT INTO SERVER_ALL (ID, \"CURRENT_STATE\") VALUES (?, ?)"), {id, state});
}

void addInboxRows(TempDatabase &db, const QString &table, const QList<int> &inIds)
{
    int id = 1;
    for (int inId : inIds)
        db.exec(QStringLiteral("INSERT INTO \"%1\" (ID, IN_ID) VALUES (?, ?)").arg(table), {id++, inId});
}

QList<int> inboxIds(TempDatabase &db, const QString &table)
{
    QList<int> ids;
    for (const QVariantList &r : db.peer().select(QStringLiteral("SELECT IN_ID FROM \"%1\" ORDER BY ID").arg(table)))
        ids << r.at(0).toInt();
    return ids;
}

// rem, rem_login, rem_pass of one account as stored.
QVariantList remembered(TempDatabase &db, int userId)
{
    const auto rows = db.peer().select(QStringLiteral("SELECT REM, REM_LOGIN, REM_PASS FROM USERS WHERE USER_ID = ?"),
                                       {userId});
    return rows.empty() ? QVariantList() : rows.front();
}

} // namespace

class TestSignIn final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void cleanupTestCase() { m_db.reset(); }

    void accountsInOrdOrderWithHiddenLists();
    void emptyUsersMeansNoSignIn();
    void credentials_data();
    void credentials();
    void deletedAccountDoesNothing();
    void rememberStepRunsBeforeTheCheck_data();
    void rememberStepRunsBeforeTheCheck();
    void clearingTheBoxKeepsStoredValues();
    void tidyKeepsOnlyQueuedRequests();
    void adminInboxUntouchedWhenOwnInboxEmpty();
    void missingOwnInboxIsSkipped();

private:
    std::unique_ptr<TempDatabase> m_db;
    QByteArray m_dbFunction; // the test function m_db was made for
};

void TestSignIn::init()
{
    resetAppState();
    // A fresh database per test function; the rows of a data-driven test share one (none depends on
    // what another row stored).
    if (m_db && m_dbFunction == QTest::currentTestFunction())
        return;
    m_dbFunction = QTest::currentTestFunction();
    m_db.reset();
    m_db = std::make_unique<TempDatabase>();
    // ord differs from USER_ID order so the list order is visible.
    addUser(*m_db, {1, QStringLiteral("Администратор"), QStringLiteral("admin"), QStringLiteral("Secret"), 0,
                    QVariant(), QVariant(), QVariant(), 3});
    addUser(*m_db, {7, QStringLiteral("Иванов Иван"), QStringLiteral("ivanov"), QStringLiteral("Пароль1"), 1, 1,
                    QStringLiteral("ivanov"), QStringLiteral("старый"), 1});
    addUser(*m_db, {8, QStringLiteral("Петрова Анна"), QStringLiteral("petrova"), QStringLiteral("pw"), 2, 0,
                    QStringLiteral("petrova"), QStringLiteral("pw"), 2});
    m_db->connectDataModule();
}

void TestSignIn::cleanup()
{
    resetAppState();
}

void TestSignIn::accountsInOrdOrderWithHiddenLists()
{
    SignInAccounts accounts;
    QCOMPARE(accounts.load(), 3);
    QCOMPARE(accounts.names(),
             QStringList({QStringLiteral("Иванов Иван"), QStringLiteral("Петрова Анна"),
                          QStringLiteral("Администратор")}));
    QCOMPARE(accounts.ids(), QStringList({"7", "8", "1"}));
    QCOMPARE(accounts.logins(), QStringList({"ivanov", "petrova", "admin"}));
    QCOMPARE(accounts.roles(), QStringList({"1", "2", "0"}));
    QCOMPARE(accounts.rememberFlags(), QStringList({"1", "0", ""}));
    QCOMPARE(accounts.userId(2), 1);
    QCOMPARE(accounts.userId(3), 0);

    // Only the flag "1" fills the fields; 0 and NULL clear them although values are stored.
    const SignInAccounts::Remembered first = accounts.remembered(0);
    QVERIFY(first.checked);
    QCOMPARE(first.login, QStringLiteral("ivanov"));
    QCOMPARE(first.password, QStringLiteral("старый"));
    for (int index : {1, 2, -1, 3}) {
        const SignInAccounts::Remembered r = accounts.remembered(index);
        QVERIFY(!r.checked);
        QVERIFY(r.login.isEmpty());
        QVERIFY(r.password.isEmpty());
    }

    // A second load replaces the lists instead of adding to them.
    QCOMPARE(accounts.load(), 3);
    QCOMPARE(accounts.rememberedPasswords().size(), 3);
}

void TestSignIn::emptyUsersMeansNoSignIn()
{
    m_db->exec(QStringLiteral("DELETE FROM USERS"));
    SignInAccounts accounts;
    QCOMPARE(accounts.load(), 0);
    QVERIFY(accounts.isEmpty());
    QCOMPARE(accounts.remembered(0).checked, false);
    QCOMPARE(appState().CurrentUserId, 0);
    QCOMPARE(appState().CurrentUserPriv, -1);
}

void TestSignIn::credentials_data()
{
    QTest::addColumn<int>("userId");
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("priv");

    const int wrongLogin = int(SignInOutcome::WrongLogin);
    const int wrongPassword = int(SignInOutcome::WrongPassword);
    const int ok = int(SignInOutcome::SignedIn);
    QTest::addRow("wrong login") << 7 << "petrova" << "Пароль1" << wrongLogin << -1;
    QTest::addRow("wrong password") << 7 << "ivanov" << "Пароль2" << wrongPassword << -1;
    QTest::addRow("login differs in letter case") << 7 << "Ivanov" << "Пароль1" << wrongLogin << -1;
    QTest::addRow("password differs in letter case") << 7 << "ivanov" << "пароль1" << wrongPassword << -1;
    QTest::addRow("login with a trailing blank") << 7 << "ivanov " << "Пароль1" << wrongLogin << -1;
    QTest::addRow("empty password") << 1 << "admin" << "" << wrongPassword << -1;
    QTest::addRow("another account's credentials") << 8 << "ivanov" << "Пароль1" << wrongLogin << -1;
    QTest::addRow("executor") << 7 << "ivanov" << "Пароль1" << ok << 1;
    QTest::addRow("observer") << 8 << "petrova" << "pw" << ok << 2;
    QTest::addRow("administrator") << 1 << "admin" << "Secret" << ok << 0;
}

void TestSignIn::credentials()
{
    QFETCH(int, userId);
    QFETCH(QString, login);
    QFETCH(QString, password);
    QFETCH(int, outcome);
    QFETCH(int, priv);

    const SignInResult r = signIn(userId, login, password, false);
    QCOMPARE(int(r.outcome), outcome);
    QVERIFY(r.tidyError.isEmpty());
    if (r.signedIn()) {
        QVERIFY(r.messageKey.isEmpty());
        QCOMPARE(appState().CurrentUserId, userId);
        QCOMPARE(appState().CurrentUserPriv, priv);
    } else {
        QCOMPARE(r.messageKey, QStringLiteral("DLG82"));
        QCOMPARE(appState().CurrentUserId, 0);
        QCOMPARE(appState().CurrentUserPriv, -1);
    }
}

void TestSignIn::deletedAccountDoesNothing()
{
    // Deleted by another console after the list was filled.
    m_db->exec(QStringLiteral("DELETE FROM USERS WHERE USER_ID = 8"));
    const SignInResult r = signIn(8, QStringLiteral("petrova"), QStringLiteral("pw"), true);
    QCOMPARE(r.outcome, SignInOutcome::AccountGone);
    QVERIFY(r.messageKey.isEmpty());
    QCOMPARE(appState().CurrentUserPriv, -1);
    QCOMPARE(m_db->peer().select(QStringLiteral("SELECT COUNT(*) FROM USERS WHERE REM = 1")).front().at(0).toInt(), 1);
}

void TestSignIn::rememberStepRunsBeforeTheCheck_data()
{
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("signedIn");

    QTest::addRow("wrong password is remembered as typed") << "admin" << "secret" << false;
    QTest::addRow("wrong login is remembered as typed") << "Admin" << "Secret" << false;
    QTest::addRow("right credentials") << "admin" << "Secret" << true;
}

void TestSignIn::rememberStepRunsBeforeTheCheck()
{
    QFETCH(QString, login);
    QFETCH(QString, password);
    QFETCH(bool, signedIn);

    const SignInResult r = signIn(1, login, password, true);
    QCOMPARE(r.signedIn(), signedIn);
    QCOMPARE(remembered(*m_db, 1), QVariantList({1, login, password}));

    // The next start offers what was typed.
    SignInAccounts accounts;
    accounts.load();
    const SignInAccounts::Remembered next = accounts.remembered(2);
    QVERIFY(next.checked);
    QCOMPARE(next.login, login);
    QCOMPARE(next.password, password);
}

void TestSignIn::clearingTheBoxKeepsStoredValues()
{
    // A refused attempt with the box clear already forgets the flag ...
    QCOMPARE(signIn(7, QStringLiteral("ivanov"), QStringLiteral("wrong"), false).outcome,
             SignInOutcome::WrongPassword);
    QCOMPARE(remembered(*m_db, 7), QVariantList({0, QStringLiteral("ivanov"), QStringLiteral("старый")}));

    // ... a successful one keeps it so; the stored values stay for another installation to read.
    QVERIFY(signIn(7, QStringLiteral("ivanov"), QStringLiteral("Пароль1"), false).signedIn());
    QCOMPARE(remembered(*m_db, 7), QVariantList({0, QStringLiteral("ivanov"), QStringLiteral("старый")}));

    // An account without the flag is not written at all (NULL stays NULL).
    QVERIFY(signIn(1, QStringLiteral("admin"), QStringLiteral("Secret"), false).signedIn());
    QVERIFY(remembered(*m_db, 1).at(0).isNull());

    SignInAccounts accounts;
    accounts.load();
    const SignInAccounts::Remembered next = accounts.remembered(0);
    QVERIFY(!next.checked);
    QVERIFY(next.login.isEmpty());
    QVERIFY(next.password.isEmpty());
}

void TestSignIn::tidyKeepsOnlyQueuedRequests()
{
    addRequest(*m_db, 10, 0);
    addRequest(*m_db, 11, 1);
    addRequest(*m_db, 12, 0);
    addRequest(*m_db, 13, 2);
    addRequest(*m_db, 14, 3);
    addRequest(*m_db, 15, 4);
    m_db->exec(createInboxTableSql(7));
    // 99 names a request that no longer exists; 12 is listed twice and stays twice.
    addInboxRows(*m_db, QStringLiteral("7"), {11, 10, 99, 13, 12, 14, 12, 15});
    addInboxRows(*m_db, QStringLiteral("_ADMIN"), {99, 10, 11, 12, 15});
    m_db->exec(createInboxTableSql(8));
    addInboxRows(*m_db, QStringLiteral("8"), {11, 10});

    const SignInResult r = signIn(7, QStringLiteral("ivanov"), QStringLiteral("Пароль1"), false);
    QVERIFY(r.signedIn());
    QVERIFY2(r.tidyError.isEmpty(), qPrintable(r.tidyError));
    QCOMPARE(inboxIds(*m_db, QStringLiteral("7")), QList<int>({10, 12, 12}));
    QCOMPARE(inboxIds(*m_db, QStringLiteral("_ADMIN")), QList<int>({10, 12}));
    // Another member's inbox is his own business.
    QCOMPARE(inboxIds(*m_db, QStringLiteral("8")), QList<int>({11, 10}));
    // The request cache is left unrestricted.
    QCOMPARE(dm().maindata.rowCount(), 6);

    // Nothing stale left: a second tidy-up removes nothing but still looks at _ADMIN.
    const InboxTidyResult again = tidyInboxes(7);
    QVERIFY(again.ownOpened);
    QCOMPARE(again.ownRows, 3);
    QCOMPARE(again.ownRemoved, 0);
    QVERIFY(again.adminTidied);
    QCOMPARE(again.adminRemoved, 0);
}

void TestSignIn::adminInboxUntouchedWhenOwnInboxEmpty()
{
    addRequest(*m_db, 10, 0);
    addRequest(*m_db, 11, 2);
    m_db->exec(createInboxTableSql(1));
    addInboxRows(*m_db, QStringLiteral("_ADMIN"), {11, 10, 42});

    QVERIFY(signIn(1, QStringLiteral("admin"), QStringLiteral("Secret"), false).signedIn());
    QCOMPARE(inboxIds(*m_db, QStringLiteral("_ADMIN")), QList<int>({11, 10, 42}));

    const InboxTidyResult r = tidyInboxes(1);
    QVERIFY(r.ownOpened);
    QCOMPARE(r.ownRows, 0);
    QVERIFY(!r.adminTidied);
}

void TestSignIn::missingOwnInboxIsSkipped()
{
    addRequest(*m_db, 10, 1);
    addInboxRows(*m_db, QStringLiteral("_ADMIN"), {10});

    // No table "8" was ever created: signing in still succeeds and nothing is touched.
    const SignInResult r = signIn(8, QStringLiteral("petrova"), QStringLiteral("pw"), false);
    QVERIFY(r.signedIn());
    QVERIFY(r.tidyError.isEmpty());
    QCOMPARE(appState().CurrentUserId, 8);
    QCOMPARE(appState().CurrentUserPriv, 2);
    QCOMPARE(inboxIds(*m_db, QStringLiteral("_ADMIN")), QList<int>({10}));
    QVERIFY(!tidyInboxes(8).ownOpened);

    // _ADMIN missing as well (a database set up by hand): still no error.
    m_db->exec(createInboxTableSql(8));
    addInboxRows(*m_db, QStringLiteral("8"), {10});
    m_db->exec(QStringLiteral("DROP TABLE \"_ADMIN\""));
    const InboxTidyResult t = tidyInboxes(8);
    QCOMPARE(t.ownRemoved, 1);
    QVERIFY(!t.adminTidied);
}

QTEST_GUILESS_MAIN(TestSignIn)
#include "tst_signin.moc"
