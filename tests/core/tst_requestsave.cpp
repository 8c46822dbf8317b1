#include "app/AppState.h"
#include "app/Shell.h"
#include "data/DataModule.h"
#include "data/Schema.h"
#include "i18n/Catalogue.h"
#include "notify/MailQueue.h"
#include "requests/RequestWorkspace.h"
#include "settings/Settings.h"
#include "support/TempDatabase.h"

#include <QRegularExpression>
#include <QtTest>

using namespace bw;

namespace {

constexpr int kRequest = 10;

// Staff: 1 administrator, 7 and 8 executors (8 without an address), 9 observer; inboxes for 1, 7 and 8.
void setUpStaff(bwtest::TempDatabase &db)
{
    const QVariantList users[] = {
        {1, QStringLiteral("Администратор"), 0, QStringLiteral("admin@desk.test"), 1},
        {7, QStringLiteral("Иванов"), 1, QStringLiteral("ivanov@desk.test"), 2},
        {8, QStringLiteral("Петров"), 1, QVariant(), 3},
        {9, QStringLiteral("Борисов"), 2, QStringLiteral("boris@desk.test"), 4},
    };
    for (const QVariantList &u : users)
        db.exec(QStringLiteral("INSERT INTO USERS (USER_ID, USER_NAME, PRIV, USER_EMAIL, ORD) VALUES (?, ?, ?, ?, ?)"), u);
    for (int id : {1, 7, 8})
        db.exec(createInboxTableSql(id));
    db.exec(QStringLiteral("INSERT INTO GROUPS (GROUP_ID, GROUP_NAME, ORD) VALUES (3, 'Бухгалтерия', 1)"));
}

void insertRequest(bwtest::TempDatabase &db, int status, int admin, const QVariant &comment = QVariant())
{
    db.exec(QStringLiteral("INSERT INTO SERVER_ALL (ID, DATA, INTIME, CLIENT_GROUP, TROUBLE, TROUBLE_MORE, TROUBLE_MAX, "
                           "\"IMP\", THISCOMP, OS, PROC, MEMORY, IPADR, EMAIL, \"CURRENT_STATE\", \"ADMIN\", "
                           "CURRENT_INFO) VALUES (?, CURRENT_TIMESTAMP, '15.03.2024 10:00:00', 3, 'Принтер', "
                           "'Не печатает', 'Замялась бумага', 2, TRUE, 'Windows 10', 'i5', '8 GB', '10.0.0.5', "
                           "'user@desk.test', ?, ?, ?)"),
            {kRequest, status, admin, comment});
}

// "table:ID:IN_ID;..." rows for the inbox tables.
void insertInboxRows(bwtest::TempDatabase &db, const QString &rows)
{
    for (const QString &row : rows.split(u';', Qt::SkipEmptyParts)) {
        const QStringList p = row.split(u':');
        db.exec(QStringLiteral("INSERT INTO \"%1\" (ID, IN_ID) VALUES (?, ?)").arg(p[0]), {p[1].toInt(), p[2].toInt()});
    }
}

QList<int> inboxIds(bwtest::TempDatabase &db, const QString &table)
{
    QList<int> ids;
    for (const QVariantList &r : db.peer().select(
             QStringLiteral("SELECT ID FROM \"%1\" WHERE IN_ID = ? ORDER BY ID").arg(table), {kRequest}))
        ids << r.at(0).toInt();
    return ids;
}

QVariantList requestRow(bwtest::TempDatabase &db)
{
    return db.peer()
        .select(QStringLiteral("SELECT \"CURRENT_STATE\", \"ADMIN\", TEXT_STATE, CTIME, CURRENT_INFO FROM SERVER_ALL "
                               "WHERE ID = ?"),
                {kRequest})
        .front();
}

SaveInput inputFor(int executorUserId, int status)
{
    SaveInput in;
    in.executorIndex = requestWorkspace().staff().indexOfUserId(executorUserId);
    in.newStatus = status;
    in.statusText = msg(54 + status);
    return in;
}

} // namespace

class TestRequestSave final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void inboxMoves_data();
    void inboxMoves();
    void refusals_data();
    void refusals();
    void changedByOthersWritesNothing();
    void untouchedLongCommentSurvives();
    void abbreviation_data();
    void abbreviation();
    void detailOfSelectedRequest();
};

void TestRequestSave::init()
{
    resetAppState();
    resetSettings();
    resetShell();
    resetMainTimers();
    requestWorkspace().reset();
    resetMessages();
    applyBuiltinMessages();
    setMessage(95, QStringLiteral("Компьютер:"));
    setMessage(93, QStringLiteral("Отдел:"));
    MailQueue().clear();
    ClientMailQueue().clear();
    appState().CurrentUserPriv = 0;
    appState().CurrentUserId = 1;
    settings().CB7 = true;
}

void TestRequestSave::inboxMoves_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("admin");
    QTest::addColumn<QString>("inbox");
    QTest::addColumn<int>("executor");
    QTest::addColumn<int>("newStatus");
    QTest::addColumn<QList<int>>("adminRows"); // IDs of the request's rows in _ADMIN after the save
    QTest::addColumn<QList<int>>("rows7");
    QTest::addColumn<QList<int>>("rows8");
    QTest::addColumn<bool>("executorNotice");
    QTest::addColumn<bool>("requesterNotice");

    using L = QList<int>;
    QTest::addRow("assign from _ADMIN") << 0 << 0 << "_ADMIN:1:10;7:4:99" << 7 << 0 << L{} << L{5} << L{} << true
                                        << false;
    QTest::addRow("assign to empty inbox") << 0 << 0 << "_ADMIN:1:10" << 7 << 0 << L{} << L{1} << L{} << true << false;
    QTest::addRow("status 0 to 1") << 0 << 7 << "7:1:10;7:2:10" << 7 << 1 << L{} << L{} << L{} << false << true;
    QTest::addRow("status 1 to 0") << 1 << 7 << "" << 7 << 0 << L{} << L{1} << L{} << true << false;
    QTest::addRow("reassign in status 1") << 1 << 7 << "7:1:10" << 8 << 1 << L{} << L{} << L{} << false << false;
    QTest::addRow("assign to member without address") << 0 << 0 << "_ADMIN:1:10" << 8 << 0 << L{} << L{} << L{1}
                                                       << false << false;
    QTest::addRow("no change") << 1 << 7 << "7:1:10" << 7 << 1 << L{} << L{1} << L{} << false << false;
}

// Each save keeps the inboxes in step and queues the notices that are due.
void TestRequestSave::inboxMoves()
{
    QFETCH(int, status);
    QFETCH(int, admin);
    QFETCH(QString, inbox);
    QFETCH(int, executor);
    QFETCH(int, newStatus);
    QFETCH(QList<int>, adminRows);
    QFETCH(QList<int>, rows7);
    QFETCH(QList<int>, rows8);
    QFETCH(bool, executorNotice);
    QFETCH(bool, requesterNotice);

    bwtest::TempDatabase db;
    setUpStaff(db);
    insertRequest(db, status, admin, QStringLiteral("Первый комментарий"));
    insertInboxRows(db, inbox);
    db.connectDataModule();
    RequestWorkspace &ws = requestWorkspace();
    ws.loadStaffList();
    QVERIFY(ws.selectRequest(kRequest));

    const SaveResult r = ws.save(inputFor(executor, newStatus));
    QCOMPARE(int(r.outcome), int(SaveOutcome::Saved));
    QCOMPARE(inboxIds(db, QStringLiteral("_ADMIN")), adminRows);
    QCOMPARE(inboxIds(db, QStringLiteral("7")), rows7);
    QCOMPARE(inboxIds(db, QStringLiteral("8")), rows8);
    QCOMPARE(r.executorNoticeQueued, executorNotice);
    QCOMPARE(MailQueue().count(), executorNotice ? 1 : 0);
    QCOMPARE(r.requesterNoticeQueued, requesterNotice);
    QCOMPARE(ClientMailQueue().count(), requesterNotice ? 1 : 0);

    const QVariantList row = requestRow(db);
    QCOMPARE(row.at(0).toInt(), newStatus);
    QCOMPARE(row.at(1).toInt(), executor);
    QCOMPARE(row.at(2).toString(), msg(54 + newStatus));
    QVERIFY2(QRegularExpression(QStringLiteral("^\\S+, \\d\\d:\\d\\d:\\d\\d$")).match(row.at(3).toString()).hasMatch(),
             qPrintable(row.at(3).toString()));
    QCOMPARE(row.at(3).toString(), r.ctime);
    QCOMPARE(row.at(4).toString(), QStringLiteral("Первый комментарий"));

    if (executorNotice) {
        const MailNotice n = *MailQueue().takeFirst();
        QCOMPARE(n.requestNumber, kRequest);
        QCOMPARE(n.recipient, QStringLiteral("ivanov@desk.test"));
        QCOMPARE(n.topic, QStringLiteral("Принтер"));
        QCOMPARE(n.details, QStringLiteral("Замялась бумага"));
        QCOMPARE(n.computerLine, QStringLiteral("Компьютер: OS:Windows 10, CPU:i5, RAM:8 GB, ID:10.0.0.5"));
        QCOMPARE(n.groupLine, QStringLiteral("Отдел: Бухгалтерия"));
    }
    if (requesterNotice) {
        const ClientMailNotice n = *ClientMailQueue().takeFirst();
        QCOMPARE(n.recipient, QStringLiteral("user@desk.test"));
        QCOMPARE(n.status, newStatus);
        QCOMPARE(n.executorLine, QStringLiteral("Исполнитель: Иванов"));
        QCOMPARE(n.currentInfo, QStringLiteral("Первый комментарий"));
    }
}

void TestRequestSave::refusals_data()
{
    QTest::addColumn<int>("executor"); // USER_ID; 0: none chosen
    QTest::addColumn<bool>("deleteExecutor");
    QTest::addColumn<int>("outcome");
    QTest::addRow("no executor") << 0 << false << int(SaveOutcome::NoExecutor);
    QTest::addRow("observer") << 9 << false << int(SaveOutcome::NoExecutor);
    QTest::addRow("executor deleted meanwhile") << 8 << true << int(SaveOutcome::ExecutorGone);
}

// Refused saves write nothing and move no inbox row.
void TestRequestSave::refusals()
{
    QFETCH(int, executor);
    QFETCH(bool, deleteExecutor);
    QFETCH(int, outcome);

    bwtest::TempDatabase db;
    setUpStaff(db);
    insertRequest(db, 0, 0);
    insertInboxRows(db, QStringLiteral("_ADMIN:1:10"));
    db.connectDataModule();
    RequestWorkspace &ws = requestWorkspace();
    ws.loadStaffList();
    QVERIFY(ws.selectRequest(kRequest));
    SaveInput in = inputFor(executor, 1);
    if (deleteExecutor)
        db.exec(QStringLiteral("DELETE FROM USERS WHERE USER_ID = 8"));

    QCOMPARE(int(ws.save(in).outcome), outcome);
    QCOMPARE(inboxIds(db, QStringLiteral("_ADMIN")), QList<int>{1});
    const QVariantList row = requestRow(db);
    QCOMPARE(row.at(0).toInt(), 0);
    QVERIFY(row.at(3).isNull());
    if (deleteExecutor) {
        // The staff list is read again, now in name order.
        QCOMPARE(ws.staff().names,
                 (QStringList{QStringLiteral("Администратор"), QStringLiteral("Борисов"), QStringLiteral("Иванов")}));
    }
}

// Another console changed the status after the selection: DLG181, nothing written.
void TestRequestSave::changedByOthersWritesNothing()
{
    bwtest::TempDatabase db;
    setUpStaff(db);
    insertRequest(db, 0, 7, QStringLiteral("Было"));
    insertInboxRows(db, QStringLiteral("7:1:10"));
    db.connectDataModule();
    RequestWorkspace &ws = requestWorkspace();
    ws.loadStaffList();
    QVERIFY(ws.selectRequest(kRequest));
    db.exec(QStringLiteral("UPDATE SERVER_ALL SET \"CURRENT_STATE\" = 2 WHERE ID = 10"));

    SaveInput in = inputFor(8, 0);
    in.commentEdited = true;
    in.comment = QStringLiteral("Стало");
    QCOMPARE(int(ws.save(in).outcome), int(SaveOutcome::ChangedByOthers));
    const QVariantList row = requestRow(db);
    QCOMPARE(row.at(0).toInt(), 2);
    QCOMPARE(row.at(1).toInt(), 7);
    QVERIFY(row.at(3).isNull());
    QCOMPARE(row.at(4).toString(), QStringLiteral("Было"));
    QCOMPARE(inboxIds(db, QStringLiteral("7")), QList<int>{1});
    QCOMPARE(inboxIds(db, QStringLiteral("8")), QList<int>{});
    QCOMPARE(MailQueue().count(), 0);

    // The request deleted meanwhile is refused the same way.
    QVERIFY(ws.selectRequest(kRequest));
    db.exec(QStringLiteral("DELETE FROM SERVER_ALL WHERE ID = 10"));
    QCOMPARE(int(ws.save(inputFor(7, 1)).outcome), int(SaveOutcome::ChangedByOthers));
    QVERIFY(!ws.verifyCurrentRequest());
}

// The comment field shows an abbreviation; a save that did not touch it keeps the stored text whole.
void TestRequestSave::untouchedLongCommentSurvives()
{
    const QString stored = QStringLiteral("Первая строка\r\nвторая строка ") + QString(150, u'ж');
    bwtest::TempDatabase db;
    setUpStaff(db);
    insertRequest(db, 1, 7, stored);
    db.connectDataModule();
    RequestWorkspace &ws = requestWorkspace();
    ws.loadStaffList();
    const std::optional<RequestDetail> d = ws.selectRequest(kRequest);
    QVERIFY(d);
    QCOMPARE(d->comment, abbreviate(stored));
    QVERIFY(d->comment.endsWith(QStringLiteral("...")));

    SaveInput in = inputFor(7, 2);
    in.comment = d->comment; // what the field holds
    QCOMPARE(int(ws.save(in).outcome), int(SaveOutcome::Saved));
    QCOMPARE(requestRow(db).at(4).toString(), stored);
    QCOMPARE(requestRow(db).at(0).toInt(), 2);

    // An edited comment is written as typed.
    QVERIFY(ws.selectRequest(kRequest));
    in = inputFor(7, 2);
    in.commentEdited = true;
    in.comment = QStringLiteral("Заменен картридж");
    QCOMPARE(int(ws.save(in).outcome), int(SaveOutcome::Saved));
    QCOMPARE(requestRow(db).at(4).toString(), QStringLiteral("Заменен картридж"));
}

void TestRequestSave::abbreviation_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    const QString hundred = QString(100, u'я');
    QTest::addRow("100 characters") << hundred << hundred;
    QTest::addRow("101 characters") << hundred + u'!' << hundred + QStringLiteral("...");
    QTest::addRow("line breaks") << QStringLiteral("a\r\nb\nc\rd") << QStringLiteral("a  b c d");
    QTest::addRow("break after 100") << hundred + QStringLiteral("\r\n") << hundred + QStringLiteral("...");
    QTest::addRow("empty") << QString() << QString();
}

void TestRequestSave::abbreviation()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(abbreviate(text), shown);
}

// The pane's values: system line, group, executor by USER_ID, the two-look flags.
void TestRequestSave::detailOfSelectedRequest()
{
    bwtest::TempDatabase db;
    setUpStaff(db);
    insertRequest(db, 1, 8);
    db.exec(QStringLiteral("UPDATE SERVER_ALL SET TROUBLE_MAX = ?, ADMIN_TEXT = 'Сделано' WHERE ID = 10"),
            {QString(101, u'q')});
    db.connectDataModule();
    RequestWorkspace &ws = requestWorkspace();
    ws.loadStaffList();
    const std::optional<RequestDetail> d = ws.selectRequest(kRequest);
    QVERIFY(d);
    QCOMPARE(d->troubleMax, QString(100, u'q') + QStringLiteral("..."));
    QCOMPARE(d->systemInfo, QStringLiteral("OS:Windows 10, CPU:i5, RAM:8 GB, ID:10.0.0.5"));
    QCOMPARE(d->group, QStringLiteral("Бухгалтерия"));
    QCOMPARE(d->executorIndex, ws.staff().indexOfUserId(8));
    QVERIFY(d->adminTextPresent);
    QVERIFY(!d->impMorePresent);
    QCOMPARE(ws.currentRequestId(), kRequest);
    QVERIFY(!ws.selectRequest(11));
}

QTEST_GUILESS_MAIN(TestRequestSave)
#include "tst_requestsave.moc"
