#include "data/DataModule.h"
#include "data/Schema.h"
#include "directories/Directories.h"
#include "support/TempDatabase.h"

#include <QTest>

using bw::DirectoryKind;
using bw::DirectoryOutcome;
using bwtest::TempDatabase;

Q_DECLARE_METATYPE(DirectoryKind)

namespace {

// Inserts directory rows: (id, name, ord) per row; refinements take (id, topic, name, ord).
void insertRows(TempDatabase &db, DirectoryKind kind, const QList<QVariantList> &rows)
{
    const bw::DirectoryTable t = bw::directoryTable(kind);
    for (const QVariantList &r : rows) {
        if (kind == DirectoryKind::Refinements)
            db.exec(QStringLiteral("INSERT INTO P_2 (ID, ID_MAIN, NAME, ORD) VALUES (?, ?, ?, ?)"), r);
        else
            db.exec(QStringLiteral("INSERT INTO %1 (%2, %3, ORD) VALUES (?, ?, ?)").arg(t.table, t.idField, t.nameField),
                    r);
    }
}

// `ord` of each identity, read through an independent connection.
QMap<int, int> ordById(TempDatabase &db, DirectoryKind kind)
{
    const bw::DirectoryTable t = bw::directoryTable(kind);
    QMap<int, int> m;
    for (const QVariantList &r : db.peer().select(QStringLiteral("SELECT %1, ORD FROM %2").arg(t.idField, t.table)))
        m.insert(r.at(0).toInt(), r.at(1).toInt());
    return m;
}

int count(TempDatabase &db, const QString &sql, const QVariantList &params = {})
{
    return db.peer().select(sql, params).front().at(0).toInt();
}

bool tableExists(TempDatabase &db, const QString &name)
{
    return count(db, QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE TRIM(RDB$RELATION_NAME) = ?"), {name})
           > 0;
}

void addRequest(TempDatabase &db, int id, int group, int executor)
{
    db.exec(QStringLiteral("INSERT INTO SERVER_ALL (ID, CLIENT_GROUP, \"ADMIN\", \"CURRENT_STATE\") VALUES (?, ?, ?, 0)"),
            {id, group, executor});
}

void addUser(TempDatabase &db, int id, const QString &name, int ord)
{
    db.exec(QStringLiteral("INSERT INTO USERS (USER_ID, USER_NAME, LOGIN, PASS, PRIV, ORD) VALUES (?, ?, 'l', 'p', 0, ?)"),
            {id, name, ord});
}

} // namespace

class TestDirectories final : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;

    // One database for the whole run (creating one takes seconds), emptied before each case.
    TempDatabase &freshDatabase()
    {
        TempDatabase &db = *m_db;
        for (const char *table : {"SERVER_ALL", "GROUPS", "USERS", "P_MAIN", "P_2", "P_WHEN", "\"_ADMIN\""})
            db.exec(QStringLiteral("DELETE FROM %1").arg(QLatin1String(table)));
        for (int id = 1; id <= 9; ++id) {
            if (tableExists(db, QString::number(id)))
                db.exec(bw::dropInboxTableSql(id));
        }
        return db;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_db = std::make_unique<TempDatabase>();
        m_db->connectDataModule();
    }
    void cleanupTestCase() { m_db.reset(); }

    void loadsListsInOrder()
    {
        TempDatabase &db = freshDatabase();
        insertRows(db, DirectoryKind::Groups, {{1, "Склад", 3}, {2, "Бухгалтерия", 1}, {3, "Цех", 2}});
        insertRows(db, DirectoryKind::Topics, {{10, "Принтер", 2}, {11, "Сеть", 1}});
        insertRows(db, DirectoryKind::Refinements,
                   {{1, 10, "Бумага", 1}, {2, 11, "Кабель", 2}, {3, 11, "Wi-Fi", 1}, {4, 11, "Прокси", 5}});
        insertRows(db, DirectoryKind::TimeOptions, {{1, "Вчера", 2}, {2, "Сегодня", 1}});
        addUser(db, 1, "Иванов", 2);
        addUser(db, 5, "Петров", 1);

        bw::Directories d;
        d.load();
        QCOMPARE(d.groups().names, (QStringList{"Бухгалтерия", "Цех", "Склад"}));
        QCOMPARE(d.groups().ids, (QList<int>{2, 3, 1}));
        QCOMPARE(d.topics().names, (QStringList{"Сеть", "Принтер"}));
        QCOMPARE(d.selectedTopic(), 0);
        QCOMPARE(d.refinements().names, (QStringList{"Wi-Fi", "Кабель", "Прокси"}));
        QCOMPARE(d.refinements().ids, (QList<int>{3, 2, 4}));
        QCOMPARE(d.timeOptions().names, (QStringList{"Сегодня", "Вчера"}));
        QCOMPARE(d.staff().ids, (QList<int>{5, 1}));

        d.selectTopic(1);
        QCOMPARE(d.refinements().names, (QStringList{"Бумага"}));
        QCOMPARE(d.selectedTopicId(), 10);

        // Reloading starts again from the first topic.
        d.load();
        QCOMPARE(d.selectedTopic(), 0);
        QCOMPARE(d.refinements().count(), 3);
    }

    void newIdentityAndOrder_data()
    {
        QTest::addColumn<DirectoryKind>("kind");
        QTest::addColumn<bool>("filled");
        QTest::addColumn<int>("expectedId");
        QTest::addColumn<int>("expectedOrd");
        const QList<std::pair<const char *, DirectoryKind>> kinds = {{"group", DirectoryKind::Groups},
                                                                      {"topic", DirectoryKind::Topics},
                                                                      {"time option", DirectoryKind::TimeOptions},
                                                                      {"staff", DirectoryKind::Staff}};
        for (const auto &[name, kind] : kinds) {
            QTest::addRow("%s, empty table", name) << kind << false << 1 << 1;
            QTest::addRow("%s, identities 7, 1, 2", name) << kind << true << 8 << 10;
        }
    }
    void newIdentityAndOrder()
    {
        QFETCH(DirectoryKind, kind);
        QFETCH(bool, filled);
        QFETCH(int, expectedId);
        QFETCH(int, expectedOrd);
        TempDatabase &db = freshDatabase();
        if (filled) {
            if (kind == DirectoryKind::Staff) {
                addUser(db, 7, "A", 9);
                addUser(db, 1, "B", 1);
                addUser(db, 2, "C", 4);
            } else {
                insertRows(db, kind, {{7, "A", 9}, {1, "B", 1}, {2, "C", 4}});
            }
        }
        bw::Directories d;
        d.load();

        DirectoryOutcome o;
        switch (kind) {
        case DirectoryKind::Groups:
            o = d.addGroup({QStringLiteral("Новая"), QStringLiteral("Начальник")});
            break;
        case DirectoryKind::Staff:
            o = d.addStaff({QStringLiteral("Новая"), QStringLiteral("login"), QStringLiteral("pass"), QString(), 1});
            break;
        default:
            o = d.addEntry(kind, QStringLiteral("Новая"));
        }
        QCOMPARE(o.code, DirectoryOutcome::Done);
        QCOMPARE(o.messageKey, bw::addedMessageKey(kind));
        QCOMPARE(o.id, expectedId);
        QCOMPARE(ordById(db, kind).value(expectedId), expectedOrd);
        QCOMPARE(d.list(kind).names.last(), QStringLiteral("Новая"));
        QCOMPARE(d.list(kind).ids.last(), expectedId);
    }

    void refinementIdentityAndOrderSpanAllTopics()
    {
        TempDatabase &db = freshDatabase();
        insertRows(db, DirectoryKind::Topics, {{1, "Принтер", 1}, {2, "Сеть", 2}});
        insertRows(db, DirectoryKind::Refinements, {{4, 1, "Бумага", 2}, {9, 2, "Кабель", 30}, {5, 2, "Wi-Fi", 7}});
        bw::Directories d;
        d.load();
        QCOMPARE(d.selectedTopicId(), 1);

        const DirectoryOutcome o = d.addEntry(DirectoryKind::Refinements, QStringLiteral("Картридж"));
        QCOMPARE(o.code, DirectoryOutcome::Done);
        QCOMPARE(o.messageKey, QStringLiteral("DLG6"));
        QCOMPARE(o.id, 10);
        QCOMPARE(ordById(db, DirectoryKind::Refinements).value(10), 31);
        QCOMPARE(count(db, QStringLiteral("SELECT ID_MAIN FROM P_2 WHERE ID = 10")), 1);
        QCOMPARE(d.refinements().names, (QStringList{"Бумага", "Картридж"}));
    }

    void emptyNameDoesNothing()
    {
        TempDatabase &db = freshDatabase();
        insertRows(db, DirectoryKind::Groups, {{1, "Склад", 1}});
        bw::Directories d;
        d.load();
        QCOMPARE(d.addGroup({QString(), QStringLiteral("x")}).code, DirectoryOutcome::Nothing);
        QCOMPARE(d.editGroup(1, {QString(), QStringLiteral("x")}).code, DirectoryOutcome::Nothing);
        QCOMPARE(d.addEntry(DirectoryKind::TimeOptions, QString()).code, DirectoryOutcome::Nothing);
        QCOMPARE(d.addStaff({}).code, DirectoryOutcome::Nothing);
        // No topic: a refinement has nothing to belong to.
        QCOMPARE(d.addEntry(DirectoryKind::Refinements, QStringLiteral("x")).code, DirectoryOutcome::Nothing);
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM GROUPS")), 1);
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM P_WHEN")) + count(db, QStringLiteral("SELECT COUNT(*) FROM P_2"))
                     + count(db, QStringLiteral("SELECT COUNT(*) FROM USERS")),
                 0);
    }

    void moves_data()
    {
        QTest::addColumn<bool>("up");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("moved");
        QTest::addColumn<QList<int>>("shownIds");
        QTest::addColumn<QList<int>>("ords"); // ord of identities 1, 2, 3 afterwards
        // Identities 1, 2, 3 with ord 10, 20, 30.
        QTest::addRow("first up") << true << 0 << false << QList<int>{1, 2, 3} << QList<int>{10, 20, 30};
        QTest::addRow("last down") << false << 2 << false << QList<int>{1, 2, 3} << QList<int>{10, 20, 30};
        QTest::addRow("no selection") << true << -1 << false << QList<int>{1, 2, 3} << QList<int>{10, 20, 30};
        QTest::addRow("middle up") << true << 1 << true << QList<int>{2, 1, 3} << QList<int>{20, 10, 30};
        QTest::addRow("middle down") << false << 1 << true << QList<int>{1, 3, 2} << QList<int>{10, 30, 20};
    }
    void moves()
    {
        QFETCH(bool, up);
        QFETCH(int, index);
        QFETCH(bool, moved);
        QFETCH(QList<int>, shownIds);
        QFETCH(QList<int>, ords);
        TempDatabase &db = freshDatabase();
        insertRows(db, DirectoryKind::Groups, {{3, "В", 30}, {1, "А", 10}, {2, "Б", 20}});
        bw::Directories d;
        d.load();
        const bool result = up ? d.moveUp(DirectoryKind::Groups, index) : d.moveDown(DirectoryKind::Groups, index);
        QCOMPARE(result, moved);
        QCOMPARE(d.groups().ids, shownIds);
        const QMap<int, int> stored = ordById(db, DirectoryKind::Groups);
        QCOMPARE((QList<int>{stored[1], stored[2], stored[3]}), ords);
        d.load();
        QCOMPARE(d.groups().ids, shownIds); // the stored order matches what was shown
    }

    void refinementMoveStaysWithinTopic()
    {
        TempDatabase &db = freshDatabase();
        insertRows(db, DirectoryKind::Topics, {{1, "Принтер", 1}, {2, "Сеть", 2}});
        // Topic 1 has refinements at ord 1 and 5; topic 2's lie between them.
        insertRows(db, DirectoryKind::Refinements,
                   {{1, 1, "Бумага", 1}, {2, 2, "Кабель", 2}, {3, 2, "Wi-Fi", 3}, {4, 1, "Тонер", 5}});
        bw::Directories d;
        d.load();
        QCOMPARE(d.refinements().ids, (QList<int>{1, 4}));
        QVERIFY(d.moveUp(DirectoryKind::Refinements, 1));
        QCOMPARE(d.refinements().ids, (QList<int>{4, 1}));
        QCOMPARE(ordById(db, DirectoryKind::Refinements), (QMap<int, int>{{1, 5}, {2, 2}, {3, 3}, {4, 1}}));
        QVERIFY(!d.moveDown(DirectoryKind::Refinements, 1));

        // Moving the chosen topic: the chosen place now holds the other topic, and its refinements are listed.
        QVERIFY(d.moveDown(DirectoryKind::Topics, 0));
        QCOMPARE(d.topics().ids, (QList<int>{2, 1}));
        QCOMPARE(d.selectedTopicId(), 2);
        QCOMPARE(d.refinements().ids, (QList<int>{2, 3}));
    }

    void equalOrderStaysEqual()
    {
        TempDatabase &db = freshDatabase();
        addUser(db, 1, "Иванов", 4);
        addUser(db, 2, "Петров", 4);
        bw::Directories d;
        d.load();
        QCOMPARE(d.staff().ids, (QList<int>{1, 2}));
        QVERIFY(d.moveDown(DirectoryKind::Staff, 0));
        QCOMPARE(d.staff().ids, (QList<int>{2, 1}));
        QCOMPARE(ordById(db, DirectoryKind::Staff), (QMap<int, int>{{1, 4}, {2, 4}}));
    }

    void deleteGroup_data()
    {
        QTest::addColumn<bool>("inUse");
        QTest::addRow("in use") << true;
        QTest::addRow("free") << false;
    }
    void deleteGroup()
    {
        QFETCH(bool, inUse);
        TempDatabase &db = freshDatabase();
        insertRows(db, DirectoryKind::Groups, {{1, "Склад", 1}, {2, "Цех", 2}});
        addRequest(db, 100, inUse ? 2 : 1, 0);
        bw::Directories d;
        d.load();
        const DirectoryOutcome o = d.remove(DirectoryKind::Groups, 1);
        QCOMPARE(o.code, inUse ? DirectoryOutcome::Refused : DirectoryOutcome::Done);
        QCOMPARE(o.messageKey, inUse ? QStringLiteral("DLG69") : QStringLiteral("DLG36"));
        QCOMPARE(d.groups().ids, inUse ? (QList<int>{1, 2}) : (QList<int>{1}));
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM GROUPS")), inUse ? 2 : 1);
    }

    void deleteStaff_data()
    {
        QTest::addColumn<int>("userId");
        QTest::addColumn<bool>("assigned");
        QTest::addColumn<bool>("withInbox");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::addRow("member with assigned requests") << 7 << true << true << int(DirectoryOutcome::Refused) << "DLG70";
        QTest::addRow("first account") << 1 << false << true << int(DirectoryOutcome::Nothing) << "";
        QTest::addRow("first account with requests") << 1 << true << true << int(DirectoryOutcome::Refused) << "DLG70";
        QTest::addRow("member") << 7 << false << true << int(DirectoryOutcome::Done) << "DLG34";
        QTest::addRow("member without inbox table") << 7 << false << false << int(DirectoryOutcome::Done) << "DLG34";
    }
    void deleteStaff()
    {
        QFETCH(int, userId);
        QFETCH(bool, assigned);
        QFETCH(bool, withInbox);
        QFETCH(int, code);
        QFETCH(QString, message);
        TempDatabase &db = freshDatabase();
        addUser(db, 1, "Иванов", 1);
        addUser(db, 7, "Петров", 2);
        const QString inbox = QString::number(userId);
        if (withInbox) {
            db.exec(bw::createInboxTableSql(userId));
            db.exec(QStringLiteral("INSERT INTO \"%1\" (ID, IN_ID) VALUES (1, 100)").arg(inbox));
        }
        db.exec(QStringLiteral("INSERT INTO \"_ADMIN\" (ID, IN_ID) VALUES (1, 101)"));
        addRequest(db, 100, 0, assigned ? userId : 0);
        bw::Directories d;
        d.load();

        const DirectoryOutcome o = d.remove(DirectoryKind::Staff, d.staff().indexOfId(userId));
        QCOMPARE(int(o.code), code);
        QCOMPARE(o.messageKey, message);
        const bool deleted = o.code == DirectoryOutcome::Done;
        QCOMPARE(d.staff().indexOfId(userId) < 0, deleted);
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM USERS WHERE USER_ID = ?"), {userId}), deleted ? 0 : 1);
        QCOMPARE(tableExists(db, inbox), withInbox && !deleted);
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM \"_ADMIN\"")), 1);
    }

    void deleteTopicRemovesItsRefinements()
    {
        TempDatabase &db = freshDatabase();
        insertRows(db, DirectoryKind::Topics, {{1, "Принтер", 1}, {2, "Сеть", 2}});
        insertRows(db, DirectoryKind::Refinements, {{1, 1, "Бумага", 1}, {2, 2, "Кабель", 2}, {3, 1, "Тонер", 3}});
        bw::Directories d;
        d.load();
        QCOMPARE(d.refinements().count(), 2);

        DirectoryOutcome o = d.remove(DirectoryKind::Topics, 0);
        QCOMPARE(o.code, DirectoryOutcome::Done);
        QCOMPARE(o.messageKey, QStringLiteral("DLG37"));
        QCOMPARE(d.topics().ids, (QList<int>{2}));
        QVERIFY(d.refinements().isEmpty());
        QCOMPARE(d.selectedTopic(), -1);
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM P_2")), 1);
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM P_2 WHERE ID_MAIN = 2")), 1);
        // Without a chosen topic a refinement cannot be added.
        QCOMPARE(d.addEntry(DirectoryKind::Refinements, QStringLiteral("x")).code, DirectoryOutcome::Nothing);

        o = d.remove(DirectoryKind::Topics, 0);
        QCOMPARE(o.code, DirectoryOutcome::Done);
        QVERIFY(d.topics().isEmpty());
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM P_2")), 0);

        // The first new topic is chosen at once, so refinements can follow.
        QCOMPARE(d.addEntry(DirectoryKind::Topics, QStringLiteral("Монитор")).code, DirectoryOutcome::Done);
        QCOMPARE(d.selectedTopic(), 0);
        QCOMPARE(d.addEntry(DirectoryKind::Refinements, QStringLiteral("Кабель")).code, DirectoryOutcome::Done);
    }

    void deleteRefinementAndTimeOption()
    {
        TempDatabase &db = freshDatabase();
        insertRows(db, DirectoryKind::Topics, {{1, "Принтер", 1}});
        insertRows(db, DirectoryKind::Refinements, {{1, 1, "Бумага", 1}, {2, 1, "Тонер", 2}});
        insertRows(db, DirectoryKind::TimeOptions, {{1, "Сегодня", 1}});
        bw::Directories d;
        d.load();
        QCOMPARE(d.remove(DirectoryKind::Refinements, 0).messageKey, QStringLiteral("DLG38"));
        QCOMPARE(d.refinements().ids, (QList<int>{2}));
        QCOMPARE(d.remove(DirectoryKind::TimeOptions, 0).messageKey, QStringLiteral("DLG39"));
        QVERIFY(d.timeOptions().isEmpty());
        QCOMPARE(d.remove(DirectoryKind::TimeOptions, 0).code, DirectoryOutcome::Nothing);
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM P_2")) + count(db, QStringLiteral("SELECT COUNT(*) FROM P_WHEN")), 1);
    }

    void staffAccountsAndInboxTables()
    {
        TempDatabase &db = freshDatabase();
        addUser(db, 1, "Иванов", 1);
        // A table left behind under the next number keeps its rows.
        db.exec(bw::createInboxTableSql(2));
        db.exec(QStringLiteral("INSERT INTO \"2\" (ID, IN_ID) VALUES (1, 55)"));
        bw::Directories d;
        d.load();

        // The reserved name is refused for a new account and nothing is stored.
        DirectoryOutcome o = d.addStaff({QStringLiteral("Administrator"), QStringLiteral("a"), QStringLiteral("b"), {}, 0});
        QCOMPARE(o.code, DirectoryOutcome::Refused);
        QCOMPARE(o.messageKey, QStringLiteral("DLG83"));
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM USERS")), 1);

        const QString longLogin(45, QLatin1Char('x'));
        o = d.addStaff({QStringLiteral("Петров"), longLogin, QStringLiteral("секрет"), QStringLiteral("p@lan"), 2});
        QCOMPARE(o.code, DirectoryOutcome::Done);
        QCOMPARE(o.id, 2);
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM \"2\"")), 1);
        o = d.addStaff({QStringLiteral("Сидоров"), QStringLiteral("s"), QStringLiteral("s"), QString(), 1});
        QCOMPARE(o.id, 3);
        QVERIFY(tableExists(db, QStringLiteral("3")));
        QCOMPARE(d.staff().names, (QStringList{"Иванов", "Петров", "Сидоров"}));

        const auto petrov = d.staffAccount(2);
        QVERIFY(petrov.has_value());
        QCOMPARE(petrov->login, QString(40, QLatin1Char('x')));
        QCOMPARE(petrov->password, QStringLiteral("секрет"));
        QCOMPARE(petrov->email, QStringLiteral("p@lan"));
        QCOMPARE(petrov->role, 2);
        QVERIFY(d.staffAccount(3)->email.isEmpty());

        // Renaming an existing account to the reserved name is allowed.
        o = d.editStaff(3, {QStringLiteral("Administrator"), QStringLiteral("adm"), QStringLiteral("pw"), QString(), 0});
        QCOMPARE(o.code, DirectoryOutcome::Done);
        QCOMPARE(o.messageKey, QStringLiteral("DLG12"));
        QCOMPARE(d.staff().names.last(), QStringLiteral("Administrator"));
        QCOMPARE(d.staffAccount(3)->login, QStringLiteral("adm"));
        QCOMPARE(d.staffAccount(3)->role, 0);
    }

    void editsFindTheRowByIdentity()
    {
        TempDatabase &db = freshDatabase();
        insertRows(db, DirectoryKind::Groups, {{1, "Склад", 2}, {2, "Цех", 1}});
        insertRows(db, DirectoryKind::TimeOptions, {{1, "Сегодня", 1}});
        bw::Directories d;
        d.load();
        DirectoryOutcome o = d.editGroup(1, {QStringLiteral("Склад №2"), QStringLiteral("Сидоров")});
        QCOMPARE(o.messageKey, QStringLiteral("DLG4"));
        QCOMPARE(d.groups().names, (QStringList{"Цех", "Склад №2"}));
        QCOMPARE(d.group(1)->manager, QStringLiteral("Сидоров"));
        QCOMPARE(d.editEntry(DirectoryKind::TimeOptions, 1, QStringLiteral("Вчера")).messageKey, QStringLiteral("DLG11"));
        QCOMPARE(*d.entryName(DirectoryKind::TimeOptions, 1), QStringLiteral("Вчера"));

        // Another console deleted the group meanwhile: nothing is stored and the list follows the database.
        db.exec(QStringLiteral("DELETE FROM GROUPS WHERE GROUP_ID = 2"));
        o = d.editGroup(2, {QStringLiteral("Цех 2"), QString()});
        QCOMPARE(o.code, DirectoryOutcome::Missing);
        QCOMPARE(d.groups().ids, (QList<int>{1}));
        QVERIFY(!d.group(2).has_value());
    }

    void databaseErrorReloadsTheLists()
    {
        TempDatabase &db = freshDatabase();
        insertRows(db, DirectoryKind::Groups, {{1, "Склад", 1}});
        bw::Directories d;
        d.load();
        // Another console added a group; then a write of ours fails (the name is longer than the column).
        insertRows(db, DirectoryKind::Groups, {{2, "Цех", 2}});
        bool failed = false;
        try {
            d.addGroup({QString(300, QLatin1Char('x')), QString()});
        } catch (const bw::DbError &e) {
            failed = true;
            QVERIFY(!e.text().isEmpty());
        }
        QVERIFY(failed);
        QCOMPARE(d.groups().ids, (QList<int>{1, 2}));
        QVERIFY(!bw::dm().clientdata.hasPendingChanges());
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM GROUPS")), 2);
    }
};

QTEST_GUILESS_MAIN(TestDirectories)
#include "tst_directories.moc"
