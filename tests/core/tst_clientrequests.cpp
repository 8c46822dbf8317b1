#include "data/ClientRequests.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "support/TempDatabase.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

using bw::FbConnection;

namespace {

int scalar(FbConnection &c, const QString &sql, const QVariantList &params = {})
{
    return c.select(sql, params).front().front().toInt();
}

QString inboxName(int adminId)
{
    return adminId == 0 ? QStringLiteral("_ADMIN") : QString::number(adminId);
}

// Checks the queue rules over a whole database: every inbox row names a queued request, and
// every queued request has exactly one inbox row, in its executor's table or in _ADMIN.
void verifyInboxRules(FbConnection &c)
{
    QMap<int, int> admins; // queued request -> ADMIN
    for (const QVariantList &r : c.select(QStringLiteral("SELECT ID, \"ADMIN\" FROM SERVER_ALL WHERE \"CURRENT_STATE\" = 0")))
        admins.insert(r.at(0).toInt(), r.at(1).toInt());

    QStringList tables{QStringLiteral("_ADMIN")};
    for (const QVariantList &u : c.select(QStringLiteral("SELECT USER_ID FROM USERS")))
        tables << QString::number(u.at(0).toInt());

    QMap<int, QStringList> seen; // request -> tables holding it
    for (const QString &t : tables) {
        QSet<int> rowIds;
        for (const QVariantList &r : c.select(QStringLiteral("SELECT ID, IN_ID FROM \"%1\"").arg(t))) {
            QVERIFY2(!rowIds.contains(r.at(0).toInt()), qPrintable(QStringLiteral("duplicate inbox row ID in %1").arg(t)));
            rowIds.insert(r.at(0).toInt());
            const int in = r.at(1).toInt();
            QVERIFY2(admins.contains(in),
                     qPrintable(QStringLiteral("inbox %1 names request %2, which is not queued").arg(t).arg(in)));
            seen[in] << t;
        }
    }
    for (auto it = admins.cbegin(); it != admins.cend(); ++it) {
        QCOMPARE(seen.value(it.key()), QStringList{inboxName(it.value())});
    }
}

} // namespace

class TestClientRequests final : public QObject
{
    Q_OBJECT

private slots:
    void fileRequest_data()
    {
        QTest::addColumn<int>("executor");
        QTest::addColumn<bool>("earlierRows");
        QTest::addRow("first request, no executor") << 0 << false;
        QTest::addRow("after others, no executor") << 0 << true;
        QTest::addRow("first request, executor") << 7 << false;
        QTest::addRow("after others, executor") << 7 << true;
    }

    void fileRequest()
    {
        QFETCH(int, executor);
        QFETCH(bool, earlierRows);
        bwtest::TempDatabase db;
        db.exec(QStringLiteral("INSERT INTO USERS (USER_ID, USER_NAME, PRIV, ORD) VALUES (7, 'Исполнитель', 1, 1)"));
        db.exec(bw::createInboxTableSql(7));
        if (earlierRows) {
            // Gaps in the numbering: the next number follows the largest one, not the count.
            db.exec(QStringLiteral("INSERT INTO SERVER_ALL (ID, \"CURRENT_STATE\", \"ADMIN\") VALUES (40, 2, 7)"));
            db.exec(QStringLiteral("INSERT INTO SERVER_ALL (ID, \"CURRENT_STATE\", \"ADMIN\") VALUES (3, 0, 0)"));
            db.exec(QStringLiteral("INSERT INTO \"_ADMIN\" (ID, IN_ID) VALUES (12, 3)"));
            db.exec(QStringLiteral("INSERT INTO \"7\" (ID, IN_ID) VALUES (5, 40)"));
        }
        const int expectedId = earlierRows ? 41 : 1;
        const int expectedInboxId = earlierRows ? (executor == 0 ? 13 : 6) : 1;

        bw::NewRequest r;
        r.idClient = QStringLiteral("BUH-PC03");
        r.clientGroup = 2;
        r.trouble = QStringLiteral("Принтер");
        r.troubleMore = QStringLiteral("Не печатает");
        r.troubleWhen = QStringLiteral("Только что");
        r.troubleMax = QStringLiteral("Документы висят в очереди печати.");
        r.contact = QStringLiteral("Петрова О.Н.");
        r.importance = 1;
        r.ipAddress = QStringLiteral("192.168.10.21");
        r.executor = executor;
        r.received = QDateTime(QDate(2010, 3, 5), QTime(14, 7, 33, 250));

        QCOMPARE(bw::fileRequest(db.peer(), r), expectedId);

        const auto rows = db.peer().select(
            QStringLiteral("SELECT \"CURRENT_STATE\", \"ADMIN\", DATA, INTIME, TROUBLE, TROUBLE_MORE, TROUBLE_MAX, "
                           "\"IMP\", IPADR, THISCOMP, CTIME, TEXT_STATE, EMAIL FROM SERVER_ALL WHERE ID = ?"),
            {expectedId});
        QCOMPARE(rows.size(), size_t(1));
        const QVariantList &row = rows.front();
        QCOMPARE(row.at(0).toInt(), 0);
        QCOMPARE(row.at(1).toInt(), executor);
        QCOMPARE(row.at(2).toDateTime(), QDateTime(QDate(2010, 3, 5), QTime(14, 7, 33)));
        QCOMPARE(row.at(3).toString(), QStringLiteral("05.03.2010 14:07:33"));
        QCOMPARE(row.at(4).toString(), r.trouble);
        QCOMPARE(row.at(5).toString(), r.troubleMore);
        QCOMPARE(row.at(6).toString(), r.troubleMax);
        QCOMPARE(row.at(7).toInt(), 1);
        QCOMPARE(row.at(8).toString(), r.ipAddress);
        QCOMPARE(row.at(9).toBool(), true);
        QVERIFY(row.at(10).isNull()); // never saved by a console yet
        QVERIFY(row.at(11).isNull());
        QVERIFY(row.at(12).isNull()); // an empty address is stored as NULL

        const QString inbox = inboxName(executor);
        const QString other = inboxName(executor == 0 ? 7 : 0);
        QCOMPARE(scalar(db.peer(), QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE IN_ID = ?").arg(inbox), {expectedId}), 1);
        QCOMPARE(scalar(db.peer(), QStringLiteral("SELECT ID FROM \"%1\" WHERE IN_ID = ?").arg(inbox), {expectedId}),
                 expectedInboxId);
        QCOMPARE(scalar(db.peer(), QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE IN_ID = ?").arg(other), {expectedId}), 0);
    }

    void fileRequestRefusesUnknownExecutor_data()
    {
        QTest::addColumn<bool>("isStaff");
        QTest::addRow("not a staff member") << false;
        QTest::addRow("staff member without inbox table") << true;
    }

    void fileRequestRefusesUnknownExecutor()
    {
        QFETCH(bool, isStaff);
        bwtest::TempDatabase db;
        if (isStaff)
            db.exec(QStringLiteral("INSERT INTO USERS (USER_ID, USER_NAME, PRIV, ORD) VALUES (9, 'Без очереди', 1, 1)"));
        bw::NewRequest r;
        r.trouble = QStringLiteral("Интернет");
        r.executor = 9;
        QVERIFY_THROWS_EXCEPTION(bw::DbError, bw::fileRequest(db.peer(), r));
        // Nothing is half-written: no request that nobody would be told about.
        QCOMPARE(scalar(db.peer(), QStringLiteral("SELECT COUNT(*) FROM SERVER_ALL")), 0);
        QCOMPARE(scalar(db.peer(), QStringLiteral("SELECT COUNT(*) FROM \"_ADMIN\"")), 0);
    }

    void demoDatabase()
    {
        const QDateTime now(QDate(2010, 3, 5), QTime(14, 7, 33));
        bwtest::TempDatabase db;
        FbConnection &c = db.peer();
        bw::fillDemoDatabase(c, 42, now);

        // Staff: every role, the documented administrator account, an inbox table for everyone.
        QSet<int> roles;
        for (const QVariantList &u : c.select(QStringLiteral("SELECT USER_ID, PRIV FROM USERS"))) {
            roles.insert(u.at(1).toInt());
            QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = ?"),
                            {QString::number(u.at(0).toInt())}),
                     1);
        }
        QCOMPARE(roles, (QSet<int>{0, 1, 2}));
        const auto admin = c.select(QStringLiteral("SELECT USER_NAME, LOGIN, PASS, PRIV FROM USERS WHERE USER_ID = 1"));
        QCOMPARE(admin.front(), (QVariantList{QStringLiteral("Администратор"), QStringLiteral("admin"),
                                              QStringLiteral("admin"), 0}));

        // Requests: a few hundred, in every status and importance, of the last four months.
        const int count = scalar(c, QStringLiteral("SELECT COUNT(*) FROM SERVER_ALL"));
        QVERIFY2(count >= 300 && count <= 400, qPrintable(QString::number(count)));
        QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(DISTINCT \"CURRENT_STATE\") FROM SERVER_ALL "
                                          "WHERE \"CURRENT_STATE\" BETWEEN 0 AND 4")),
                 5);
        QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(DISTINCT \"IMP\") FROM SERVER_ALL WHERE \"IMP\" BETWEEN 1 AND 3")), 3);
        QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(*) FROM SERVER_ALL WHERE DATA > ? OR DATA < ?"),
                        {now, now.addDays(-125)}),
                 0);
        QVERIFY(scalar(c, QStringLiteral("SELECT COUNT(*) FROM SERVER_ALL WHERE CLIENT_AT IS NOT NULL")) > 0);
        QVERIFY(scalar(c, QStringLiteral("SELECT COUNT(*) FROM SERVER_ALL WHERE EMAIL IS NULL")) > 0);
        // Larger ID, newer request.
        QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(*) FROM SERVER_ALL A JOIN SERVER_ALL B ON B.ID = A.ID + 1 "
                                          "WHERE B.DATA < A.DATA")),
                 0);
        // Handled requests carry the status text and the save time as the console writes them.
        static const QRegularExpression ctime(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4}, \\d\\d:\\d\\d:\\d\\d$"));
        static const QRegularExpression intime(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d$"));
        for (const QVariantList &r : c.select(QStringLiteral("SELECT \"CURRENT_STATE\", TEXT_STATE, CTIME, INTIME, "
                                                             "TROUBLE_MAX FROM SERVER_ALL"))) {
            QVERIFY(intime.match(r.at(3).toString()).hasMatch());
            QVERIFY(!r.at(4).toString().isEmpty());
            if (r.at(0).toInt() != 0) {
                QVERIFY(!r.at(1).toString().isEmpty());
                QVERIFY2(ctime.match(r.at(2).toString()).hasMatch(), qPrintable(r.at(2).toString()));
            }
        }
        verifyInboxRules(c);

        // Directories: topics with 2 to 5 refinements each, time options, departments with heads.
        const int topics = scalar(c, QStringLiteral("SELECT COUNT(*) FROM P_MAIN"));
        QVERIFY(topics >= 8);
        QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(*) FROM (SELECT ID_MAIN FROM P_2 GROUP BY ID_MAIN "
                                          "HAVING COUNT(*) BETWEEN 2 AND 5)")),
                 topics);
        QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(*) FROM P_2 WHERE ID_MAIN NOT IN (SELECT ID FROM P_MAIN)")), 0);
        QVERIFY(scalar(c, QStringLiteral("SELECT COUNT(*) FROM P_WHEN")) >= 5);
        QVERIFY(scalar(c, QStringLiteral("SELECT COUNT(*) FROM GROUPS WHERE GROUP_MANAGER <> ''")) >= 6);

        // Tasks: common ones, reminders, links to existing requests named by their topic.
        QVERIFY(scalar(c, QStringLiteral("SELECT COUNT(*) FROM TASKS WHERE USER_ID = 0")) > 0);
        QVERIFY(scalar(c, QStringLiteral("SELECT COUNT(*) FROM TASKS WHERE TAL = 'True'")) > 0);
        QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(*) FROM TASKS WHERE TAL NOT IN ('True', 'False') "
                                          "OR REF NOT IN ('True', 'False')")),
                 0);
        QVERIFY(scalar(c, QStringLiteral("SELECT COUNT(*) FROM TASKS T JOIN SERVER_ALL S ON S.ID = T.REF_ID "
                                         "WHERE T.REF = 'True' AND T.REF_NAME = S.TROUBLE")) > 0);
        QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(*) FROM TASKS T WHERE T.REF = 'True' AND NOT EXISTS "
                                          "(SELECT 1 FROM SERVER_ALL S WHERE S.ID = T.REF_ID)")),
                 0);

        // Service tables.
        QCOMPARE(c.select(QStringLiteral("SELECT STR FROM UPD")).front().front().toString(), QStringLiteral("NORMAL"));
        QCOMPARE(c.select(QStringLiteral("SELECT VERSION_ADMIN FROM INFO")).front().front().toString(),
                 QStringLiteral("1.0.0"));
        QCOMPARE(c.select(QStringLiteral("SELECT * FROM DSQL")).front(), (QVariantList{0, 0, 0, 0, 0, 0, 0, 0}));
        QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(*) FROM TEX")), 1);

        // The same seed gives the same help-desk.
        bwtest::TempDatabase again;
        bw::fillDemoDatabase(again.peer(), 42, now);
        const QString all = QStringLiteral("SELECT * FROM SERVER_ALL ORDER BY ID");
        QVERIFY(again.peer().select(all) == c.select(all));
        const QString tasks = QStringLiteral("SELECT * FROM TASKS ORDER BY ID");
        QVERIFY(again.peer().select(tasks) == c.select(tasks));
    }

    void generateRequests_data()
    {
        QTest::addColumn<bool>("demo");
        QTest::addRow("empty schema") << false;
        QTest::addRow("after the demo") << true;
    }

    void generateRequests()
    {
        QFETCH(bool, demo);
        bwtest::TempDatabase db;
        FbConnection &c = db.peer();
        if (demo)
            bw::fillDemoDatabase(c, 5);
        const int before = scalar(c, QStringLiteral("SELECT COUNT(*) FROM SERVER_ALL"));
        const int largest = scalar(c, QStringLiteral("SELECT COALESCE(MAX(ID), 0) FROM SERVER_ALL"));

        const int n = 2345; // more than one commit slice
        bw::generateRequests(c, n, 11);

        QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(*) FROM SERVER_ALL")), before + n);
        QCOMPARE(scalar(c, QStringLiteral("SELECT MIN(ID) FROM SERVER_ALL WHERE ID > ?"), {largest}), largest + 1);
        QCOMPARE(scalar(c, QStringLiteral("SELECT MAX(ID) FROM SERVER_ALL")), largest + n);
        static const QRegularExpression cyrillic(QStringLiteral("[а-яА-Я]"));
        for (const QVariantList &r : c.select(QStringLiteral("SELECT TROUBLE_MAX, CURRENT_INFO, ADMIN_TEXT, M_INFO "
                                                             "FROM SERVER_ALL WHERE ID > ?"),
                                              {largest})) {
            for (const QVariant &v : r) {
                const QString text = v.toString();
                QVERIFY2(text.size() >= 50 && text.size() <= 300, qPrintable(text));
                QVERIFY(text.contains(cyrillic));
            }
        }
        QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(*) FROM SERVER_ALL WHERE ID > ? AND (TROUBLE IS NULL OR "
                                          "CONTACT IS NULL OR INTIME IS NULL OR DATA IS NULL OR \"IMP\" NOT BETWEEN 1 AND 3 "
                                          "OR \"CURRENT_STATE\" NOT BETWEEN 0 AND 4)"),
                        {largest}),
                 0);
        if (demo) // the generated requests use the database's own topics
            QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(*) FROM SERVER_ALL WHERE ID > ? AND TROUBLE NOT IN "
                                              "(SELECT NAME FROM P_MAIN)"),
                            {largest}),
                     0);
        verifyInboxRules(c);
    }

    void tool_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output"); // a pattern for stdout (exit 0) or stderr
        QTest::addRow("file a request") << QStringList{QStringLiteral("file-request"), QStringLiteral("@"),
                                                       QStringLiteral("--executor"), QStringLiteral("3")}
                                        << 0 << QStringLiteral("^\\d+\\n$");
        QTest::addRow("importance out of range")
            << QStringList{QStringLiteral("file-request"), QStringLiteral("@"), QStringLiteral("--importance"),
                           QStringLiteral("4")}
            << 2 << QStringLiteral("--importance");
        QTest::addRow("unknown executor") << QStringList{QStringLiteral("file-request"), QStringLiteral("@"),
                                                         QStringLiteral("--executor"), QStringLiteral("77")}
                                          << 1 << QStringLiteral("77");
        QTest::addRow("existing file kept") << QStringList{QStringLiteral("create"), QStringLiteral("@")} << 1
                                            << QStringLiteral("--force");
        QTest::addRow("count not a number") << QStringList{QStringLiteral("generate"), QStringLiteral("@"),
                                                           QStringLiteral("many")}
                                            << 2 << QStringLiteral("N");
        QTest::addRow("unknown command") << QStringList{QStringLiteral("drop")} << 2 << QStringLiteral("unknown command");
    }

    void tool()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        const QString program = QStringLiteral(BW_PROGRAM_DIR "/bwdb");
        if (!QFileInfo(program).isExecutable())
            QSKIP("bwdb is not built");
        bwtest::TempDatabase db;
        bw::fillDemoDatabase(db.peer(), 1);
        db.peer().close(); // the tool opens the file on its own
        args.replaceInStrings(QStringLiteral("@"), db.path());

        QProcess p;
        p.start(program, args);
        QVERIFY(p.waitForFinished(60000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(p.exitCode(), exitCode);
        QVERIFY2(QRegularExpression(output).match(exitCode == 0 ? out : err).hasMatch(), qPrintable(out + err));
        if (exitCode == 0) {
            db.peer().open(db.path());
            const int id = out.trimmed().toInt();
            QCOMPARE(scalar(db.peer(), QStringLiteral("SELECT COUNT(*) FROM \"3\" WHERE IN_ID = ?"), {id}), 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestClientRequests)
#include "tst_clientrequests.moc"
