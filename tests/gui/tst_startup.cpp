#include "app/AppState.h"
#include "app/Shell.h"
#include "app/gui/FormMain.h"
#include "app/gui/MessageDlg.h"
#include "app/gui/Startup.h"
#include "data/DataModule.h"
#include "data/DatabaseEvents.h"
#include "data/Schema.h"
#include "i18n/Catalogue.h"
#include "settings/Settings.h"
#include "support/TempDatabase.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestStartup final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        bw::resetAppState();
        bw::resetSettings();
        bw::resetMainTimers();
        bw::applyBuiltinMessages();
        bw::clearShownDialogs();
        bw::setDialogAutoAnswer([](const bw::DialogInfo &) { return 1; });
        bw::dm().closeCaches();
        bw::dm().disconnect();
    }

    // The database is not there yet: the console keeps trying silently and goes on once it appears.
    void retriesUntilTheDatabaseAppears()
    {
        QTemporaryDir dir;
        bw::appState().DatabaseLocation = dir.path();
        bw::appState().StartupPending = false;
        bw::TFormMain w;
        int steps = 0;
        bw::StartupSteps s;
        s.loadDirectoryLists = [&steps] { ++steps; };
        s.prepareSignIn = [&steps] {
            ++steps;
            return true;
        };
        s.countQueuedRequests = [&steps] { ++steps; };
        bw::Startup startup(&w, s);
        QSignalSpy running(&startup, &bw::Startup::running);
        bw::mainTimers().Timer2->start();
        QTest::qWait(1300); // two or three failed attempts
        QVERIFY(bw::mainTimers().Timer2->isActive());
        QVERIFY(!bw::dm().isConnected());
        QVERIFY(bw::shownDialogs().isEmpty()); // nothing is shown while the attempts fail

        bw::createSchemaDatabase(dir.filePath(QStringLiteral("mainbase.fdb")));
        QTRY_COMPARE_WITH_TIMEOUT(running.count(), 1, 5000);
        QVERIFY(!bw::mainTimers().Timer2->isActive());
        QVERIFY(bw::dm().isConnected());
        QCOMPARE(steps, 3);
        QVERIFY(bw::watchRunning());
        QVERIFY(w.events()->isAttached());
        w.events()->detach();
        bw::resetMainTimers();
        bw::dm().disconnect();
    }

    void maintenanceFlagEndsTheStart()
    {
        bwtest::TempDatabase db;
        db.exec(QStringLiteral("INSERT INTO UPD (STR) VALUES ('UPDATE')"));
        bw::appState().DatabaseLocation = db.dir();
        bw::setMessage(200, QStringLiteral("Database under maintenance"));
        bw::TFormMain w;
        bool ended = false;
        bw::StartupSteps s;
        s.terminate = [&ended] { ended = true; };
        bw::Startup startup(&w, s);
        startup.LoadOnStartTimer();
        QVERIFY(ended);
        QVERIFY(!bw::dm().isConnected());
        QVERIFY(!bw::watchRunning());
        QCOMPARE(bw::shownDialogs().last().message, QStringLiteral("Database under maintenance"));
        QCOMPARE(bw::shownDialogs().last().pictureKind, 0); // warning
    }

    void maintenanceEventsPauseAndResume()
    {
        bwtest::TempDatabase db;
        bw::appState().DatabaseLocation = db.dir();
        bw::TFormMain w;
        bw::Startup startup(&w, {});
        startup.LoadOnStartTimer();
        QVERIFY(bw::watchRunning());
        db.exec(QStringLiteral("EXECUTE BLOCK AS BEGIN POST_EVENT 'UPDATE'; END"));
        QTRY_VERIFY(!bw::watchRunning());
        QVERIFY(!bw::dm().isConnected());
        db.exec(QStringLiteral("EXECUTE BLOCK AS BEGIN POST_EVENT 'UPDATE_CLOSE'; END"));
        QTRY_VERIFY(bw::watchRunning());
        QVERIFY(bw::dm().isConnected());
        QVERIFY(bw::mainTimers().TimerTASKS->isActive());
        w.events()->detach();
        bw::resetMainTimers();
    }

    void firstShowRunsOnce()
    {
        QTemporaryDir dir;
        bw::TFormMain w;
        bw::Startup startup(&w, {});
        startup.FormShow();
        QVERIFY(!bw::appState().StartupPending);
        QVERIFY(bw::appState().SoundSettingsReady);
        QVERIFY(bw::mainTimers().Timer2->isActive());
        bw::mainTimers().Timer2->stop();
        bw::appState().NewRequestCount = 4;
        startup.FormShow(); // a later showing repeats nothing
        QVERIFY(!bw::mainTimers().Timer2->isActive());
        QCOMPARE(bw::appState().NewRequestCount, 4);
    }

    // A second start of the same program file ends without a window; after the first has ended, a
    // new start succeeds.
    void secondInstanceEnds()
    {
        QTemporaryDir runtime;
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        const QString program = QStringLiteral(BW_PROGRAM_DIR "/brindlewick");
        QVERIFY(QFile::exists(program));

        QProcess first;
        first.setProcessEnvironment(env);
        first.start(program, {});
        QVERIFY(first.waitForStarted());
        QTest::qWait(1500);
        QCOMPARE(first.state(), QProcess::Running);

        QProcess second;
        second.setProcessEnvironment(env);
        second.start(program, {});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        first.kill(); // even a killed instance leaves no lock behind
        first.waitForFinished();
        QProcess third;
        third.setProcessEnvironment(env);
        third.start(program, {});
        QVERIFY(third.waitForStarted());
        QVERIFY(!third.waitForFinished(1500));
        third.kill();
        third.waitForFinished();
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
