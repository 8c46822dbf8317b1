#include "app/AppState.h"
#include "app/Shell.h"
#include "data/DataModule.h"
#include "data/Schema.h"
#include "i18n/Catalogue.h"
#include "requests/RequestFilter.h"
#include "requests/RequestPeriod.h"
#include "requests/RequestWorkspace.h"
#include "settings/Settings.h"
#include "support/TempDatabase.h"

#include <QTimer>
#include <QtTest>

using namespace bw;

namespace {

const QDateTime kNow(QDate(2024, 3, 15), QTime(12, 0, 0));

struct Collect final : RequestSink
{
    std::vector<RequestEntry> entries;
    void add(RequestEntry &&e) override { entries.push_back(std::move(e)); }
};

void insertRequest(bwtest::TempDatabase &db, int id, int status, int imp, int admin, const QDateTime &data,
                   const QVariant &client = QVariant(), const QString &intime = QStringLiteral("01.03.2024 10:00"))
{
    db.exec(QStringLiteral("INSERT INTO SERVER_ALL (ID, ID_CLIENT, DATA, INTIME, TROUBLE, TROUBLE_MORE, \"IMP\", "
                           "\"CURRENT_STATE\", \"ADMIN\", TROUBLE_MAX) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {id, client, data, intime, QStringLiteral("Принтер %1").arg(id), QStringLiteral("Не печатает"), imp, status,
             admin, QStringLiteral("Длинное описание")});
}

int rowsIn(bwtest::TempDatabase &db, const QString &table, int requestId)
{
    return db.peer()
        .select(QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE IN_ID = ?").arg(table), {requestId})
        .front()
        .at(0)
        .toInt();
}

} // namespace

class TestRequestFilters final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void filterRules_data();
    void filterRules();
    void rebuildListsNewestFirstAndCountsQueue();
    void clientFilterTakesLowestIdAfterRebuild();
    void queueHint_data();
    void queueHint();
    void deletion();
};

void TestRequestFilters::init()
{
    resetAppState();
    resetSettings();
    resetPeriodState();
    resetShell();
    resetMainTimers();
    requestWorkspace().reset();
    resetMessages();
    applyBuiltinMessages();
}

// One row per rule: the filter boxes ("statuses/importances" as masks), period, client filter, rights, and the
// request's facts, with the expected decision.
void TestRequestFilters::filterRules_data()
{
    QTest::addColumn<QString>("statusMask");
    QTest::addColumn<QString>("impMask");
    QTest::addColumn<bool>("week");
    QTest::addColumn<bool>("month");
    QTest::addColumn<int>("periodFrom"); // days relative to now; 999: no period
    QTest::addColumn<int>("periodTo");
    QTest::addColumn<QString>("reference"); // "-": client filter off
    QTest::addColumn<int>("priv");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("imp");
    QTest::addColumn<qint64>("ageSeconds");
    QTest::addColumn<QString>("client"); // "<null>": NULL
    QTest::addColumn<int>("admin");
    QTest::addColumn<bool>("passes");

    const qint64 day = 86400;
    const qint64 h = 3600;
    auto row = [&](const char *name, const char *st, const char *im, bool wk, bool mo, int pf, int pt, const char *ref,
                   int priv, int status, int imp, qint64 age, const char *client, int admin, bool passes) {
        QTest::addRow("%s", name) << QString::fromLatin1(st) << QString::fromLatin1(im) << wk << mo << pf << pt
                                  << QString::fromUtf8(ref) << priv << status << imp << age
                                  << QString::fromUtf8(client) << admin << passes;
    };
    // statuses and importances
    row("status 0 on", "11000", "111", false, false, 999, 0, "-", 0, 0, 2, day, "c", 0, true);
    row("status 2 off", "11000", "111", false, false, 999, 0, "-", 0, 2, 2, day, "c", 0, false);
    row("status 4 on", "00001", "111", false, false, 999, 0, "-", 0, 4, 2, day, "c", 0, true);
    row("status 5 never", "11111", "111", false, false, 999, 0, "-", 0, 5, 2, day, "c", 0, false);
    row("status -1 never", "11111", "111", false, false, 999, 0, "-", 0, -1, 2, day, "c", 0, false);
    row("all statuses off", "00000", "111", false, false, 999, 0, "-", 0, 0, 2, day, "c", 0, false);
    row("importance 1 off", "11111", "011", false, false, 999, 0, "-", 0, 1, 1, day, "c", 0, false);
    row("importance 3 on", "11111", "001", false, false, 999, 0, "-", 0, 1, 3, day, "c", 0, true);
    row("importance 0 never", "11111", "111", false, false, 999, 0, "-", 0, 1, 0, day, "c", 0, false);
    row("importance 4 never", "11111", "111", false, false, 999, 0, "-", 0, 1, 4, day, "c", 0, false);
    // week: whole days <= 7
    row("week 7d23h in", "11111", "111", true, false, 999, 0, "-", 0, 0, 2, 7 * day + 23 * h, "c", 0, true);
    row("week 8d out", "11111", "111", true, false, 999, 0, "-", 0, 0, 2, 8 * day, "c", 0, false);
    row("week future 3d in", "11111", "111", true, false, 999, 0, "-", 0, 0, 2, -3 * day, "c", 0, true);
    // month: < 30.4375 days
    row("month 30d in", "11111", "111", false, true, 999, 0, "-", 0, 0, 2, 30 * day, "c", 0, true);
    row("month 30d11h in", "11111", "111", false, true, 999, 0, "-", 0, 0, 2, 30 * day + 10 * h, "c", 0, true);
    row("month 30d11h out", "11111", "111", false, true, 999, 0, "-", 0, 0, 2, 30 * day + 11 * h, "c", 0, false);
    row("both boxes 20d in", "11111", "111", true, true, 999, 0, "-", 0, 0, 2, 20 * day, "c", 0, true);
    row("both boxes 40d out", "11111", "111", true, true, 999, 0, "-", 0, 0, 2, 40 * day, "c", 0, false);
    // period: whole days from start to end
    row("period inside", "11111", "111", false, false, -5, -1, "-", 0, 0, 2, 3 * day, "c", 0, true);
    row("period before start", "11111", "111", false, false, -5, -1, "-", 0, 0, 2, 6 * day, "c", 0, false);
    row("period end day counts", "11111", "111", false, false, -5, 0, "-", 0, 0, 2, 0, "c", 0, true);
    row("period after end", "11111", "111", false, false, -5, -1, "-", 0, 0, 2, 0, "c", 0, false);
    // client filter
    row("client matches", "11111", "111", false, false, 999, 0, "PC-7", 0, 0, 2, day, "PC-7", 0, true);
    row("client differs", "11111", "111", false, false, 999, 0, "PC-7", 0, 0, 2, day, "PC-8", 0, false);
    row("empty reference, empty client", "11111", "111", false, false, 999, 0, "", 0, 0, 2, day, "", 0, false);
    row("empty reference, null client", "11111", "111", false, false, 999, 0, "", 0, 0, 2, day, "<null>", 0, false);
    // rights
    row("executor own", "11111", "111", false, false, 999, 0, "-", 1, 0, 2, day, "c", 7, true);
    row("executor other's", "11111", "111", false, false, 999, 0, "-", 1, 0, 2, day, "c", 8, false);
    row("observer sees all", "11111", "111", false, false, 999, 0, "-", 2, 0, 2, day, "c", 8, true);
    row("administrator sees all", "11111", "111", false, false, 999, 0, "-", 0, 0, 2, day, "c", 8, true);
}

void TestRequestFilters::filterRules()
{
    QFETCH(QString, statusMask);
    QFETCH(QString, impMask);
    QFETCH(bool, week);
    QFETCH(bool, month);
    QFETCH(int, periodFrom);
    QFETCH(int, periodTo);
    QFETCH(QString, reference);
    QFETCH(int, priv);
    QFETCH(int, status);
    QFETCH(int, imp);
    QFETCH(qint64, ageSeconds);
    QFETCH(QString, client);
    QFETCH(int, admin);
    QFETCH(bool, passes);

    RequestFilter::Setup s;
    for (int i = 0; i < 5; ++i)
        s.boxes.status[size_t(i)] = statusMask.at(i) == u'1';
    for (int i = 0; i < 3; ++i)
        s.boxes.importance[size_t(i)] = impMask.at(i) == u'1';
    s.boxes.week = week;
    s.boxes.month = month;
    if (periodFrom != 999) {
        s.periodSet = true;
        s.periodStart = periodStartOf(kNow.date().addDays(periodFrom));
        s.periodEnd = periodEndOf(kNow.date().addDays(periodTo));
    }
    s.clientFilter = reference != u"-";
    s.referenceClient = s.clientFilter ? reference : QString();
    s.userPriv = priv;
    s.userId = 7;
    s.now = kNow;

    RequestFacts row;
    row.status = status;
    row.importance = imp;
    row.data = kNow.addSecs(-ageSeconds);
    row.clientNull = client == u"<null>";
    row.idClient = row.clientNull ? QString() : client;
    row.admin = admin;
    QCOMPARE(RequestFilter(s).passes(row), passes);
}

// The rebuild applies the filters over the whole table, newest first, and counts the queue over all rows.
void TestRequestFilters::rebuildListsNewestFirstAndCountsQueue()
{
    bwtest::TempDatabase db;
    const QDateTime now = QDateTime::currentDateTime();
    insertRequest(db, 1, 0, 1, 0, now.addDays(-40));
    insertRequest(db, 2, 2, 2, 7, now.addDays(-2));
    insertRequest(db, 3, 0, 3, 7, now.addDays(-1), QString(), QStringLiteral("14.03.2024 09:15"));
    insertRequest(db, 4, 1, 2, 8, now.addSecs(-60));
    db.connectDataModule();
    appState().CurrentUserPriv = 0;
    appState().CurrentUserId = 1;
    QString hint;
    shell().setTrayHint = [&hint](const QString &t) { hint = t; };

    Collect all;
    QCOMPARE(requestWorkspace().rebuild(all), 2);
    QList<int> ids;
    for (const RequestEntry &e : all.entries)
        ids << e.id;
    QCOMPARE(ids, (QList<int>{4, 3, 1})); // status 2 is off by default
    QCOMPARE(all.entries[1].text, QStringLiteral("14.03.2024 09:15. Принтер 3. Не печатает"));
    QCOMPARE(all.entries[1].importance, 3);
    QCOMPARE(all.entries[1].status, 0);
    QCOMPARE(appState().NewRequestCount, 2);
    QCOMPARE(requestWorkspace().currentRequestId(), 1);

    // Without the time prefix; every status box off still counts the queue.
    settings().CB5 = false;
    settings().CBB1 = settings().CBB2 = false;
    Collect none;
    QCOMPARE(requestWorkspace().rebuild(none), 2);
    QVERIFY(none.entries.empty());
    settings().CBB1 = true;
    Collect plain;
    requestWorkspace().rebuild(plain);
    QCOMPARE(plain.entries.front().text, QStringLiteral("Принтер 3. Не печатает"));

    // An executor sees only his own; an observer counts nothing.
    settings().CBB1 = settings().CBB2 = settings().CBB3 = true;
    appState().CurrentUserPriv = 1;
    appState().CurrentUserId = 7;
    Collect mine;
    QCOMPARE(requestWorkspace().rebuild(mine), 1);
    QCOMPARE(mine.entries.size(), size_t(2));
    QVERIFY(std::all_of(mine.entries.begin(), mine.entries.end(), [](const RequestEntry &e) { return e.id == 2 || e.id == 3; }));
    appState().CurrentUserPriv = 2;
    Collect watch;
    QCOMPARE(requestWorkspace().rebuild(watch), 0);
    QCOMPARE(watch.entries.size(), size_t(4));
    QCOMPARE(hint, msg(44));
}

// The reference client is that of the current request: the lowest ID after a rebuild; an opening resets it.
void TestRequestFilters::clientFilterTakesLowestIdAfterRebuild()
{
    bwtest::TempDatabase db;
    const QDateTime now = QDateTime::currentDateTime();
    insertRequest(db, 1, 0, 2, 0, now, QStringLiteral("PC-A"));
    insertRequest(db, 2, 0, 2, 0, now, QStringLiteral("PC-B"));
    insertRequest(db, 3, 1, 2, 0, now, QStringLiteral("PC-A"));
    insertRequest(db, 4, 0, 2, 0, now);
    db.connectDataModule();
    appState().CurrentUserPriv = 0;
    RequestWorkspace &ws = requestWorkspace();

    Collect first;
    ws.rebuild(first);
    QCOMPARE(first.entries.size(), size_t(4));
    ws.clientFilter = true;
    Collect filtered;
    ws.rebuild(filtered);
    QCOMPARE(ws.referenceClient, QStringLiteral("PC-A"));
    QCOMPARE(filtered.entries.size(), size_t(2));
    QCOMPARE(filtered.entries[0].id, 3);
    QCOMPARE(filtered.entries[1].id, 1);

    // The current request without a client: an empty reference lists nothing.
    ws.selectRequest(4);
    Collect empty;
    ws.rebuild(empty);
    QVERIFY(ws.referenceClient.isEmpty());
    QVERIFY(empty.entries.empty());

    // Opening the window again switches the filter off.
    ws.filterReset = true;
    Collect reset;
    ws.rebuild(reset);
    QVERIFY(!ws.clientFilter);
    QVERIFY(!ws.filterReset);
    QCOMPARE(reset.entries.size(), size_t(4));
}

void TestRequestFilters::queueHint_data()
{
    QTest::addColumn<int>("queued");
    QTest::addColumn<bool>("cb6");
    QTest::addColumn<bool>("cb3");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<bool>("blinking");
    QTest::addRow("none") << 0 << true << true << QStringLiteral("Новых заявок нет") << false;
    QTest::addRow("three, two blanks") << 3 << true << true << QStringLiteral("Новые заявки:  3") << true;
    QTest::addRow("three, CB3 off") << 3 << true << false << QStringLiteral("Новые заявки:  3") << false;
    QTest::addRow("three, CB6 off") << 3 << false << true << QStringLiteral("Новые заявки:  3") << false;
}

// CountQueuedRequests over the table, independent of every filter, with its tray update.
void TestRequestFilters::queueHint()
{
    QFETCH(int, queued);
    QFETCH(bool, cb6);
    QFETCH(bool, cb3);
    QFETCH(QString, hint);
    QFETCH(bool, blinking);

    bwtest::TempDatabase db;
    const QDateTime now = QDateTime::currentDateTime();
    for (int i = 1; i <= queued; ++i)
        insertRequest(db, i, 0, 2, 0, now);
    insertRequest(db, 50, 1, 2, 0, now);
    db.connectDataModule();
    appState().CurrentUserPriv = 0;
    settings().CB6 = cb6;
    settings().CB3 = cb3;
    settings().CBB1 = false; // filters do not matter
    QString shown;
    int picture = -1;
    shell().setTrayHint = [&shown](const QString &t) { shown = t; };
    shell().setTrayPicture = [&picture](int p) { picture = p; };
    setBlinkInterval(500);

    QCOMPARE(CountQueuedRequests(), queued);
    QCOMPARE(appState().NewRequestCount, queued);
    QCOMPARE(shown, hint);
    QCOMPARE(mainTimers().Timer1->isActive(), blinking);
    if (queued == 0)
        QCOMPARE(picture, 0);
}

// Checked requests go with their rows in the executor's inbox and in _ADMIN; other rows stay.
void TestRequestFilters::deletion()
{
    bwtest::TempDatabase db;
    const QDateTime now = QDateTime::currentDateTime();
    db.exec(createInboxTableSql(7));
    insertRequest(db, 1, 0, 2, 7, now);
    insertRequest(db, 2, 0, 2, 0, now);
    insertRequest(db, 3, 0, 2, 7, now);
    db.exec(QStringLiteral("INSERT INTO \"7\" (ID, IN_ID) VALUES (1, 1)"));
    db.exec(QStringLiteral("INSERT INTO \"7\" (ID, IN_ID) VALUES (2, 1)"));
    db.exec(QStringLiteral("INSERT INTO \"7\" (ID, IN_ID) VALUES (3, 3)"));
    db.exec(QStringLiteral("INSERT INTO \"_ADMIN\" (ID, IN_ID) VALUES (1, 2)"));
    db.exec(QStringLiteral("INSERT INTO \"_ADMIN\" (ID, IN_ID) VALUES (2, 1)"));
    db.connectDataModule();
    appState().CurrentUserPriv = 0;

    // Nothing checked: nothing changes and no rebuild is asked for.
    QVERIFY(!requestWorkspace().deleteRequests({}));
    // A request deleted meanwhile by someone else is skipped.
    QVERIFY(!requestWorkspace().deleteRequests({99}));

    QVERIFY(requestWorkspace().deleteRequests({1, 2, 99}));
    const auto left = db.peer().select(QStringLiteral("SELECT ID FROM SERVER_ALL ORDER BY ID"));
    QCOMPARE(left.size(), size_t(1));
    QCOMPARE(left.front().at(0).toInt(), 3);
    QCOMPARE(rowsIn(db, QStringLiteral("7"), 1), 0);
    QCOMPARE(rowsIn(db, QStringLiteral("7"), 3), 1);
    QCOMPARE(rowsIn(db, QStringLiteral("_ADMIN"), 1), 0);
    QCOMPARE(rowsIn(db, QStringLiteral("_ADMIN"), 2), 0);
}

QTEST_GUILESS_MAIN(TestRequestFilters)
#include "tst_requestfilters.moc"
