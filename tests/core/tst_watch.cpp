#include "app/AppState.h"
#include "app/Shell.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "i18n/Catalogue.h"
#include "notify/NewRequestWatch.h"
#include "settings/Settings.h"
#include "support/TempDatabase.h"

#include <QTest>
#include <QTimer>

#include <memory>

using bwtest::TempDatabase;

namespace {

constexpr int kNoTable = -1;

// An inbox table holding exactly `rows` rows (created when missing).
void setInbox(TempDatabase &db, const QString &table, int rows)
{
    bool ok = false;
    const int id = table.toInt(&ok);
    if (ok) {
        try {
            db.exec(bw::createInboxTableSql(id));
        } catch (const bw::DbError &) {
            // already there from an earlier case
        }
    }
    db.exec(QStringLiteral("DELETE FROM \"%1\"").arg(table));
    for (int i = 1; i <= rows; ++i)
        db.exec(QStringLiteral("INSERT INTO \"%1\" (ID, IN_ID) VALUES (?, ?)").arg(table), {i, 100 + i});
}

} // namespace

class TestWatch final : public QObject
{
    Q_OBJECT

    // One database for all cases: creating one takes a while. Cases use their own user ids where the
    // presence or absence of an inbox table matters (7 and 0 never get one).
    std::unique_ptr<TempDatabase> m_db;
    QStringList m_hints;
    QStringList m_sounds;
    int m_notices = 0;

private Q_SLOTS:
    void initTestCase() { m_db = std::make_unique<TempDatabase>(); }
    void cleanupTestCase() { m_db.reset(); }

    void init()
    {
        bw::resetAppState();
        bw::resetSettings();
        bw::resetShell();
        bw::resetMainTimers();
        bw::resetWatchHooks();
        bw::resetMessages();
        bw::applyBuiltinMessages();
        m_hints.clear();
        m_sounds.clear();
        m_notices = 0;
        bw::shell().setTrayHint = [this](const QString &hint) { m_hints << hint; };
        bw::watchHooks().showRequestNotice = [this] { ++m_notices; };
        bw::watchHooks().playSound = [this](const QString &file) { m_sounds << file; };
        setInbox(*m_db, QStringLiteral("_ADMIN"), 0);
        m_db->connectDataModule();
    }

    void counterRules_data()
    {
        QTest::addColumn<int>("userId");
        QTest::addColumn<int>("priv");
        QTest::addColumn<int>("ownRows"); // kNoTable: the member has no inbox table
        QTest::addColumn<int>("adminRows");
        QTest::addColumn<int>("startCount");
        QTest::addColumn<QList<int>>("countAfterTick");
        QTest::addColumn<QString>("lastHint"); // empty: the hint is never set

        QTest::addRow("two waiting, announced one per tick")
            << 5 << 1 << 2 << 0 << 0 << QList<int>{1, 2, 2} << QStringLiteral("Новые заявки:  2");
        QTest::addRow("fewer rows than announced: no signal, hint keeps the count")
            << 5 << 1 << 3 << 0 << 5 << QList<int>{5, 5} << QStringLiteral("Новые заявки:  5");
        QTest::addRow("empty inbox changes nothing") << 5 << 1 << 0 << 0 << 3 << QList<int>{3} << QString();
        QTest::addRow("executor never reads _ADMIN") << 5 << 1 << 0 << 4 << 0 << QList<int>{0, 0} << QString();
        QTest::addRow("observer watches his own table") << 9 << 2 << 1 << 4 << 0 << QList<int>{1, 1}
                                                        << QStringLiteral("Новые заявки:  1");
        // Own table raises 0 -> 1, then _ADMIN (3 rows) raises 1 -> 2 in the same tick; one more tick for the third.
        QTest::addRow("administrator: own and _ADMIN against one counter")
            << 5 << 0 << 1 << 3 << 0 << QList<int>{2, 3, 3} << QStringLiteral("Новые заявки:  3");
        QTest::addRow("administrator without an inbox table of his own")
            << 7 << 0 << kNoTable << 2 << 0 << QList<int>{1, 2, 2} << QStringLiteral("Новые заявки:  2");
        QTest::addRow("nobody signed in") << 0 << -1 << kNoTable << 2 << 0 << QList<int>{0, 0} << QString();
    }
    void counterRules()
    {
        QFETCH(int, userId);
        QFETCH(int, priv);
        QFETCH(int, ownRows);
        QFETCH(int, adminRows);
        QFETCH(int, startCount);
        QFETCH(QList<int>, countAfterTick);
        QFETCH(QString, lastHint);

        if (ownRows != kNoTable)
            setInbox(*m_db, QString::number(userId), ownRows);
        setInbox(*m_db, QStringLiteral("_ADMIN"), adminRows);
        bw::appState().CurrentUserId = userId;
        bw::appState().CurrentUserPriv = priv;
        bw::appState().NewRequestCount = startCount;

        QTimer *beep = bw::mainTimers().beep;
        int previous = startCount;
        int raises = 0;
        for (int tick = 0; tick < countAfterTick.size(); ++tick) {
            bw::mainTimers().TimerServer->start();
            bw::TimerServerTimer();
            const int now = bw::appState().NewRequestCount;
            QCOMPARE(now, countAfterTick.at(tick));
            QCOMPARE(beep->isActive(), now > previous); // the signal follows every raise
            QVERIFY(bw::mainTimers().TimerServer->isActive()); // the watch goes on
            beep->stop();
            raises += now - previous;
            previous = now;
        }
        QCOMPARE(m_notices, raises);
        QCOMPARE(m_hints.isEmpty() ? QString() : m_hints.last(), lastHint);
    }

    void hintUsesTheCatalogueText()
    {
        setInbox(*m_db, QStringLiteral("3"), 1);
        bw::appState().CurrentUserId = 3;
        bw::appState().CurrentUserPriv = 1;
        bw::setMessage(43, QStringLiteral("New requests:"));
        bw::TimerServerTimer();
        QCOMPARE(m_hints, QStringList{QStringLiteral("New requests: 1")});
    }

    void noticeOnlyWithCB8()
    {
        setInbox(*m_db, QStringLiteral("4"), 2);
        bw::appState().CurrentUserId = 4;
        bw::appState().CurrentUserPriv = 1;
        bw::settings().CB8 = false;
        bw::TimerServerTimer();
        QCOMPARE(bw::appState().NewRequestCount, 1);
        QVERIFY(bw::mainTimers().beep->isActive()); // sound and blinking as usual
        QCOMPARE(m_notices, 0);
        QCOMPARE(m_hints.last(), QStringLiteral("Новые заявки:  1"));
    }

    void signal_data()
    {
        QTest::addColumn<bool>("cb1");
        QTest::addColumn<bool>("cb4");
        QTest::addColumn<bool>("cb3");
        QTest::addColumn<bool>("sound");
        QTest::addColumn<bool>("blinks");
        QTest::addRow("designed settings") << false << true << true << true << true;
        QTest::addRow("all sounds off wins over CB4") << true << true << true << false << true;
        QTest::addRow("no sound for new requests") << false << false << true << false << true;
        QTest::addRow("no blinking") << false << true << false << true << false;
        QTest::addRow("silent and still") << true << false << false << false << false;
    }
    void signal()
    {
        QFETCH(bool, cb1);
        QFETCH(bool, cb4);
        QFETCH(bool, cb3);
        QFETCH(bool, sound);
        QFETCH(bool, blinks);
        bw::settings().CB1 = cb1;
        bw::settings().CB4 = cb4;
        bw::settings().CB3 = cb3;
        bw::appState().ProgramDir = QStringLiteral("/opt/brindlewick");

        bw::mainTimers().beep->start();
        bw::beepTimer();
        QVERIFY(!bw::mainTimers().beep->isActive()); // one tick only
        QCOMPARE(m_sounds, sound ? QStringList{QStringLiteral("/opt/brindlewick/sounds/1.wav")} : QStringList{});
        QCOMPARE(bw::mainTimers().Timer1->isActive(), blinks);
    }

    // The timers themselves drive the watch once connected: a tick announces, the beep tick sounds.
    void timersDriveTheWatch()
    {
        setInbox(*m_db, QStringLiteral("6"), 1);
        bw::appState().CurrentUserId = 6;
        bw::appState().CurrentUserPriv = 1;

        bw::connectNewRequestWatch();
        bw::connectNewRequestWatch(); // a second call must not double the handlers
        bw::setWatchInterval(20);
        QCOMPARE(bw::mainTimers().TimerServer->interval(), 20000);
        bw::mainTimers().TimerServer->setInterval(10);
        bw::mainTimers().TimerServer->start();
        QTRY_COMPARE(m_sounds.size(), 1);
        QCOMPARE(bw::appState().NewRequestCount, 1);
        QCOMPARE(m_notices, 1);
        QVERIFY(bw::mainTimers().Timer1->isActive());
        QTest::qWait(100); // further ticks find nothing new
        QCOMPARE(bw::appState().NewRequestCount, 1);
        QCOMPARE(m_sounds.size(), 1);
        bw::resetMainTimers();
    }
};

QTEST_GUILESS_MAIN(TestWatch)
#include "tst_watch.moc"
