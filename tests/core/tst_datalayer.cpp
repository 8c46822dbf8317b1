#include "data/Codepage.h"
#include "data/DataModule.h"
#include "data/DatabaseEvents.h"
#include "data/Schema.h"
#include "support/TempDatabase.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

using bw::DbError;
using bw::TableCache;
using bwtest::TempDatabase;

class TestDataLayer final : public QObject
{
    Q_OBJECT

private:
    static void fillGroups(TempDatabase &db)
    {
        const QList<QVariantList> rows = {{3, QStringLiteral("Бухгалтерия"), 2},
                                          {1, QStringLiteral("Склад"), 3},
                                          {2, QStringLiteral("Администрация"), 1},
                                          {4, QStringLiteral("Склад"), 2}};
        for (const QVariantList &r : rows)
            db.exec(QStringLiteral("INSERT INTO GROUPS (GROUP_ID, GROUP_NAME, ORD) VALUES (?, ?, ?)"), r);
    }

    static QList<int> walkIds(TableCache &c, const QString &field)
    {
        QList<int> ids;
        for (c.first(); !c.eof(); c.next())
            ids << c.asInt(field);
        return ids;
    }

private Q_SLOTS:
    void databaseString_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("expected");
        QTest::addRow("server with a Windows folder") << "10.0.0.5:D:\\db" << "10.0.0.5:D:\\db\\mainbase.fdb";
        QTest::addRow("default server folder")
            << "192.168.0.10:C:\\Brindlewick\\server" << "192.168.0.10:C:\\Brindlewick\\server\\mainbase.fdb";
        QTest::addRow("program folder") << "/opt/brindlewick" << "/opt/brindlewick/mainbase.fdb";
        QTest::addRow("server with a POSIX folder") << "db.lan:/srv/fb" << "db.lan:/srv/fb/mainbase.fdb";
        QTest::addRow("trailing separator kept single") << "/opt/bw/" << "/opt/bw/mainbase.fdb";
    }
    void databaseString()
    {
        QFETCH(QString, location);
        QFETCH(QString, expected);
        QCOMPARE(bw::databaseString(location), expected);
    }

    void loadOrderRestrictWalk()
    {
        TempDatabase db;
        fillGroups(db);
        db.connectDataModule();
        TableCache &c = bw::dm().clientdata;
        c.openTable(QStringLiteral("GROUPS"));
        QCOMPARE(c.rowCount(), 4);
        QCOMPARE(walkIds(c, QStringLiteral("GROUP_ID")), (QList<int>{3, 1, 2, 4}));

        c.orderBy(QStringLiteral("ord")); // lower-case name finds ORD; stable for equal values
        QCOMPARE(walkIds(c, QStringLiteral("GROUP_ID")), (QList<int>{2, 3, 4, 1}));
        c.orderBy(QStringLiteral("GROUP_NAME"));
        QCOMPARE(c.asString(QStringLiteral("GROUP_NAME")), QStringLiteral("Администрация"));
        c.orderBy(QString());
        QCOMPARE(walkIds(c, QStringLiteral("GROUP_ID")), (QList<int>{3, 1, 2, 4}));

        c.orderBy(QStringLiteral("ORD"));
        c.restrict(QStringLiteral("ORD"), 2);
        QCOMPARE(walkIds(c, QStringLiteral("GROUP_ID")), (QList<int>{3, 4}));
        c.clearRestriction();
        QCOMPARE(c.rowCount(), 4);

        c.last();
        QCOMPARE(c.asInt(QStringLiteral("GROUP_ID")), 1);
        c.next();
        QVERIFY(c.eof());
        c.first();
        c.prior();
        QVERIFY(c.bof());
        QVERIFY(c.isNull(QStringLiteral("GROUP_MANAGER")));
        QCOMPARE(c.asString(QStringLiteral("GROUP_MANAGER")), QString());
        QVERIFY_THROWS_EXCEPTION(DbError, c.asInt(QStringLiteral("NO_SUCH_FIELD")));

        c.openTable(QStringLiteral("USERS"));
        QVERIFY(c.isEmpty());
        QVERIFY(c.eof());
        QVERIFY_THROWS_EXCEPTION(DbError, c.asInt(QStringLiteral("USER_ID")));
    }

    void writeBack()
    {
        TempDatabase db;
        fillGroups(db);
        db.connectDataModule();
        TableCache &c = bw::dm().clientdata;
        c.openTable(QStringLiteral("GROUPS"));
        QVERIFY(c.locate(QStringLiteral("GROUP_ID"), 2));
        c.edit();
        c.setValue(QStringLiteral("GROUP_MANAGER"), QStringLiteral("Иванов И.И."));
        c.post();
        c.append();
        c.setValue(QStringLiteral("GROUP_ID"), 5);
        c.setValue(QStringLiteral("GROUP_NAME"), QStringLiteral("Новый отдел"));
        c.setValue(QStringLiteral("ORD"), 5);
        c.post();
        QCOMPARE(c.asInt(QStringLiteral("GROUP_ID")), 5);
        QVERIFY(c.locate(QStringLiteral("GROUP_ID"), 4));
        c.remove();
        QCOMPARE(c.rowCount(), 4);
        c.applyUpdates();
        QVERIFY(!c.hasPendingChanges());

        const auto rows = db.peer().select(
            QStringLiteral("SELECT GROUP_ID, GROUP_NAME, GROUP_MANAGER FROM GROUPS ORDER BY GROUP_ID"));
        QCOMPARE(int(rows.size()), 4);
        QCOMPARE(rows[1].at(2).toString(), QStringLiteral("Иванов И.И."));
        QCOMPARE(rows[3].at(0).toInt(), 5);
        QCOMPARE(rows[3].at(1).toString(), QStringLiteral("Новый отдел"));
    }

    // A row changed or deleted by someone else since the cache was loaded is an error, never a silent loss.
    void writeBackOfVanishedRow_data()
    {
        QTest::addColumn<bool>("withPrimaryKey");
        QTest::addColumn<QString>("othersChange");
        QTest::addColumn<bool>("deleteInCache");
        QTest::addRow("key, deleted by others, then edited") << true << "DELETE FROM T WHERE ID = 2" << false;
        QTest::addRow("key, deleted by others, then deleted") << true << "DELETE FROM T WHERE ID = 2" << true;
        QTest::addRow("no key, changed by others, then edited") << false << "UPDATE T SET NAME = 'x' WHERE ID = 2"
                                                                << false;
        QTest::addRow("no key, deleted by others, then deleted") << false << "DELETE FROM T WHERE ID = 2" << true;
    }
    void writeBackOfVanishedRow()
    {
        QFETCH(bool, withPrimaryKey);
        QFETCH(QString, othersChange);
        QFETCH(bool, deleteInCache);
        TempDatabase db(TempDatabase::Content::Empty);
        db.exec(withPrimaryKey ? QStringLiteral("CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(20))")
                               : QStringLiteral("CREATE TABLE T (ID INTEGER NOT NULL, NAME VARCHAR(20))"));
        db.exec(QStringLiteral("INSERT INTO T VALUES (1, 'a')"));
        db.exec(QStringLiteral("INSERT INTO T VALUES (2, 'b')"));
        db.connectDataModule();
        TableCache &c = bw::dm().sd;
        c.openTable(QStringLiteral("T"));
        db.exec(othersChange);
        QVERIFY(c.locate(QStringLiteral("ID"), 2));
        if (deleteInCache) {
            c.remove();
        } else {
            c.edit();
            c.setValue(QStringLiteral("NAME"), QStringLiteral("mine"));
            c.post();
        }
        try {
            c.applyUpdates();
            QFAIL("write-back of a vanished row must fail");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::RecordChanged);
        }
        QVERIFY(c.hasPendingChanges()); // nothing is silently dropped
    }

    void duplicateRowsWithoutKeyChangeOnlyOne()
    {
        TempDatabase db;
        db.exec(bw::createInboxTableSql(7));
        db.exec(QStringLiteral("INSERT INTO \"7\" VALUES (1, 10)"));
        db.exec(QStringLiteral("INSERT INTO \"7\" VALUES (1, 10)"));
        db.connectDataModule();
        TableCache &c = bw::dm().sd;
        c.openTable(QStringLiteral("7"));
        QCOMPARE(c.rowCount(), 2);
        c.remove();
        c.applyUpdates();
        QCOMPARE(db.peer().select(QStringLiteral("SELECT COUNT(*) FROM \"7\""))[0].at(0).toInt(), 1);
    }

    void cyrillicRoundTrip_data()
    {
        QTest::addColumn<QString>("declaration");
        QTest::addColumn<int>("repeat");
        QTest::addRow("NONE text") << "VARCHAR(100) CHARACTER SET NONE" << 1;
        QTest::addRow("WIN1251 text") << "VARCHAR(100) CHARACTER SET WIN1251" << 1;
        QTest::addRow("UTF8 text") << "VARCHAR(100) CHARACTER SET UTF8" << 1;
        QTest::addRow("NONE long text") << "BLOB SUB_TYPE TEXT CHARACTER SET NONE" << 1;
        QTest::addRow("WIN1251 long text") << "BLOB SUB_TYPE TEXT CHARACTER SET WIN1251" << 1;
        // Longer than what travels inside the row: read through the blob.
        QTest::addRow("NONE very long text") << "BLOB SUB_TYPE TEXT CHARACTER SET NONE" << 200;
        QTest::addRow("WIN1251 very long text") << "BLOB SUB_TYPE TEXT CHARACTER SET WIN1251" << 200;
    }
    void cyrillicRoundTrip()
    {
        QFETCH(QString, declaration);
        QFETCH(int, repeat);
        const QString text = QStringLiteral("Не печатает принтер №5, ошибка «Ёж»").repeated(repeat);
        TempDatabase db(TempDatabase::Content::Empty);
        db.exec(QStringLiteral("CREATE TABLE T (ID INTEGER NOT NULL, S %1)").arg(declaration));
        db.exec(QStringLiteral("INSERT INTO T VALUES (1, NULL)"));
        db.connectDataModule();
        TableCache &c = bw::dm().maindata;
        c.setDeferBlobs(false);
        c.openTable(QStringLiteral("T"));
        c.edit();
        c.setValue(QStringLiteral("S"), text);
        c.post();
        c.applyUpdates();
        c.openTable(QStringLiteral("T"));
        QCOMPARE(c.asString(QStringLiteral("S")), text);

        // What is stored is what an 8-bit Windows client reads: Windows-1251 bytes.
        const QByteArray cp1251 = bw::encodeCharset(bw::CsWin1251, text);
        if (!declaration.contains(QLatin1String("UTF8")))
            QCOMPARE(db.peer().select(QStringLiteral("SELECT OCTET_LENGTH(S) FROM T"))[0].at(0).toInt(),
                     cp1251.size());
        if (!declaration.startsWith(QLatin1String("BLOB")) && !declaration.contains(QLatin1String("UTF8"))) {
            const auto raw = db.peer().select(QStringLiteral("SELECT CAST(S AS VARCHAR(100) CHARACTER SET OCTETS) FROM T"));
            QCOMPARE(raw[0].at(0).toByteArray(), cp1251);
        }

        // Deferred long texts read the same.
        c.setDeferBlobs(true);
        c.openTable(QStringLiteral("T"));
        QCOMPARE(c.asString(QStringLiteral("S")), text);
    }

    // Reading the long texts of many rows switches to loading the whole column at once; every row
    // still reads its own text, a row deleted meanwhile reads as empty, a new row's text is its own.
    void deferredLongTextsOfManyRows()
    {
        TempDatabase db;
        for (int id = 1; id <= 40; ++id)
            db.exec(QStringLiteral("INSERT INTO SERVER_ALL (ID, TROUBLE_MAX) VALUES (?, ?)"),
                    {id, id == 7 ? QVariant() : QVariant(QStringLiteral("Описание %1 ").arg(id).repeated(id * 3))});
        db.connectDataModule();
        TableCache &c = bw::dm().maindata;
        c.openTable(QStringLiteral("SERVER_ALL"));
        db.exec(QStringLiteral("DELETE FROM SERVER_ALL WHERE ID = 30"));
        c.append();
        c.setValue(QStringLiteral("ID"), 41);
        c.setValue(QStringLiteral("TROUBLE_MAX"), QStringLiteral("новая"));
        c.post();
        c.orderBy(QStringLiteral("ID"));
        for (c.first(); !c.eof(); c.next()) {
            const int id = c.asInt(QStringLiteral("ID"));
            const QString expected = id == 41 ? QStringLiteral("новая")
                                     : (id == 7 || id == 30) ? QString()
                                                             : QStringLiteral("Описание %1 ").arg(id).repeated(id * 3);
            QCOMPARE(c.asString(QStringLiteral("TROUBLE_MAX")), expected);
        }
        c.cancel();
    }

    void missingInboxTableRaises()
    {
        TempDatabase db;
        db.connectDataModule();
        try {
            bw::dm().serverdata.openTable(QStringLiteral("42"));
            QFAIL("opening a missing table must raise");
        } catch (const DbError &e) {
            QVERIFY(!e.text().isEmpty());
        }
        QVERIFY(!bw::dm().serverdata.isOpen());
    }

    void quotedNames()
    {
        TempDatabase db;
        db.connectDataModule();
        bw::dm().SQL1.exec(bw::createInboxTableSql(7));
        QVERIFY(!bw::dm().SQL1.execIgnoringErrors(bw::createInboxTableSql(7))); // exists: error ignored
        bw::dm().SQL1.exec(QStringLiteral("INSERT INTO \"7\" (ID, IN_ID) VALUES (1, 15)"));
        bw::dm().sd.openTable(QStringLiteral("7"));
        QCOMPARE(bw::dm().sd.asInt(QStringLiteral("IN_ID")), 15);

        bw::dm().SQL1.exec(QStringLiteral("INSERT INTO SERVER_ALL (ID, \"ADMIN\", \"CURRENT_STATE\", \"IMP\") "
                                          "VALUES (15, 7, 0, 1)"));
        TableCache &r = bw::dm().SQL1.open(QStringLiteral("SELECT SERVER_ALL.%1, SERVER_ALL.%2 FROM SERVER_ALL "
                                                          "JOIN %3 I ON I.IN_ID = SERVER_ALL.ID")
                                               .arg(bw::quoteName(QStringLiteral("ADMIN")),
                                                    bw::quoteName(QStringLiteral("IMP")),
                                                    bw::quoteName(QStringLiteral("7"))));
        QCOMPARE(r.rowCount(), 1);
        QCOMPARE(r.asInt(QStringLiteral("ADMIN")), 7);
        QCOMPARE(bw::quoteName(QStringLiteral("CURRENT_STATE")), QStringLiteral("\"CURRENT_STATE\""));
        QCOMPARE(bw::quoteName(QStringLiteral("TROUBLE")), QStringLiteral("TROUBLE"));

        bw::dm().SQL1.exec(bw::dropInboxTableSql(7));
        QVERIFY_THROWS_EXCEPTION(DbError, bw::dm().sd.openTable(QStringLiteral("7")));
    }

    void typedReads()
    {
        TempDatabase db;
        db.exec(QStringLiteral("INSERT INTO TASKS (ID, TAL, REF, TDATE, TTIME) VALUES (1, 'true', '', "
                               "'2026-03-05', '14:07:33')"));
        db.exec(QStringLiteral("INSERT INTO SERVER_ALL (ID, DATA, THISCOMP) VALUES (1, '2010-03-05 14:07:33', TRUE)"));
        db.connectDataModule();
        TableCache &t = bw::dm().taskdata;
        t.openTable(QStringLiteral("TASKS"));
        QVERIFY(t.asBool(QStringLiteral("TAL")));  // lower-case "true"
        QVERIFY(!t.asBool(QStringLiteral("REF"))); // empty
        QVERIFY(!t.asBool(QStringLiteral("TYPE"))); // NULL
        QCOMPARE(t.asDateTime(QStringLiteral("TDATE")).date(), QDate(2026, 3, 5));
        QCOMPARE(t.asDateTime(QStringLiteral("TTIME")).time(), QTime(14, 7, 33));
        t.openTable(QStringLiteral("SERVER_ALL"));
        QCOMPARE(t.asDateTime(QStringLiteral("DATA")), QDateTime(QDate(2010, 3, 5), QTime(14, 7, 33)));
        QVERIFY(t.asBool(QStringLiteral("THISCOMP")));
    }

    void eventFromSecondAttachmentArrivesOnUiThread()
    {
        TempDatabase db;
        bw::DatabaseEvents events;
        QSignalSpy spy(&events, &bw::DatabaseEvents::eventReceived);
        QThread *uiThread = QThread::currentThread();
        QThread *deliveredOn = nullptr;
        connect(&events, &bw::DatabaseEvents::eventReceived, this,
                [&deliveredOn](const QString &) { deliveredOn = QThread::currentThread(); });
        events.attach(db.path());
        QTest::qWait(200); // the first notification only reports the current counts
        QCOMPARE(spy.count(), 0);
        db.exec(QStringLiteral("EXECUTE BLOCK AS BEGIN POST_EVENT 'UPDATE'; END"));
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("UPDATE"));
        QCOMPARE(deliveredOn, uiThread);
        db.exec(QStringLiteral("EXECUTE BLOCK AS BEGIN POST_EVENT 'UPDATE_CLOSE'; END"));
        QTRY_COMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toString(), QStringLiteral("UPDATE_CLOSE"));
        events.detach();
    }
};

QTEST_GUILESS_MAIN(TestDataLayer)
#include "tst_datalayer.moc"
