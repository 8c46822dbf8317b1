#include "app/AppState.h"
#include "app/Shell.h"
#include "app/gui/FormMain.h"
#include "app/gui/MessageDlg.h"
#include "i18n/Catalogue.h"
#include "settings/Settings.h"

#include <QTest>
#include <QTimer>
#include <QToolButton>

class TestMainWindow final : public QObject
{
    Q_OBJECT

private:
    QString m_opened;

    void wire(bw::TFormMain &w)
    {
        m_opened.clear();
        w.ops().openDirectories = [this](QWidget *) { m_opened = QStringLiteral("directories"); };
        w.ops().openSettings = [this](QWidget *) { m_opened = QStringLiteral("settings"); };
        w.ops().openWorkspace = [this](int mode) { m_opened = QStringLiteral("workspace %1").arg(mode); };
        w.ops().workspaceVisible = [] { return false; };
        w.ops().exitProgram = [] {};
    }

private Q_SLOTS:
    void init()
    {
        bw::resetAppState();
        bw::resetSettings();
        bw::resetMainTimers();
        bw::applyBuiltinMessages();
        bw::setMessage(84, QStringLiteral("Not allowed"));
        bw::clearShownDialogs();
        bw::setDialogAutoAnswer([](const bw::DialogInfo &) { return 1; });
    }

    // Which command opens what, by role and by whether the watch runs.
    void commandConditions_data()
    {
        QTest::addColumn<int>("priv");
        QTest::addColumn<bool>("watch");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<bool>("refused");
        QTest::addRow("executor: directories refused") << 1 << true << "SpeedButton1" << "" << true;
        QTest::addRow("executor: settings open") << 1 << true << "SpeedButton3" << "settings" << false;
        QTest::addRow("observer: directories refused") << 2 << true << "SpeedButton1" << "" << true;
        QTest::addRow("observer: settings refused") << 2 << true << "SpeedButton3" << "" << true;
        QTest::addRow("administrator: directories open") << 0 << true << "SpeedButton1" << "directories" << false;
        QTest::addRow("nobody signed in: directories open") << -1 << true << "SpeedButton1" << "directories"
                                                            << false;
        QTest::addRow("before start-up: directories nothing") << 0 << false << "SpeedButton1" << "" << false;
        QTest::addRow("before start-up: requests nothing") << 0 << false << "SpeedButton2" << "" << false;
        QTest::addRow("before start-up: settings nothing") << 0 << false << "SpeedButton3" << "" << false;
        QTest::addRow("before start-up: tray N4 nothing") << 0 << false << "N4" << "" << false;
        QTest::addRow("before start-up: tray click opens") << 0 << false << "tray" << "workspace 2" << false;
        QTest::addRow("running: requests button") << 1 << true << "SpeedButton2" << "workspace 1" << false;
        QTest::addRow("running: tray N4") << 2 << true << "N4" << "workspace 2" << false;
        QTest::addRow("observer before start-up: refusal first") << 2 << false << "SpeedButton3" << "" << true;
    }
    void commandConditions()
    {
        QFETCH(int, priv);
        QFETCH(bool, watch);
        QFETCH(QString, command);
        QFETCH(QString, opened);
        QFETCH(bool, refused);
        bw::TFormMain w;
        wire(w);
        bw::appState().CurrentUserPriv = priv;
        if (watch)
            bw::mainTimers().TimerServer->start();
        if (command == QLatin1String("SpeedButton1"))
            w.SpeedButton1->click();
        else if (command == QLatin1String("SpeedButton2"))
            w.SpeedButton2->click();
        else if (command == QLatin1String("SpeedButton3"))
            w.SpeedButton3->click();
        else if (command == QLatin1String("N4"))
            w.N4->trigger();
        else
            w.TrayIcon2Click();
        QCOMPARE(m_opened, opened);
        const bool dialogShown = !bw::shownDialogs().isEmpty();
        QCOMPARE(dialogShown, refused);
        if (refused)
            QCOMPARE(bw::shownDialogs().last().message, QStringLiteral("Not allowed"));
        bw::mainTimers().TimerServer->stop();
    }

    void firstRunIgnoresTray()
    {
        bw::TFormMain w;
        wire(w);
        bw::appState().FirstRun = true;
        w.TrayIcon2Click();
        w.N1->trigger();
        QVERIFY(m_opened.isEmpty());
        QVERIFY(!w.isVisible());
    }

    void trayClickAndBlinking_data()
    {
        QTest::addColumn<bool>("cb6");
        QTest::addColumn<bool>("blinkingAfter");
        QTest::addRow("CB6 off: the click stops the blinking") << false << false;
        QTest::addRow("CB6 on: the blinking goes on") << true << true;
    }
    void trayClickAndBlinking()
    {
        QFETCH(bool, cb6);
        QFETCH(bool, blinkingAfter);
        bw::TFormMain w;
        wire(w);
        bw::settings().CB6 = cb6;
        bw::appState().NewRequestCount = 2;
        bw::setBlinkInterval(1000);
        bw::startBlinking();
        w.Timer1Timer();
        QCOMPARE(w.trayPicture(), 1);
        w.TrayIcon2Click();
        QCOMPARE(bw::mainTimers().Timer1->isActive(), blinkingAfter);
        if (!blinkingAfter)
            QCOMPARE(w.trayPicture(), 0);
        QVERIFY(w.isVisible());
    }

    void zeroIntervalNeverBlinks()
    {
        bw::TFormMain w;
        bw::setBlinkInterval(0);
        bw::startBlinking();
        QVERIFY(!bw::mainTimers().Timer1->isActive());
    }

    void closeBoxHidesAndN1BringsBack()
    {
        bw::TFormMain w;
        wire(w);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.close();
        if (w.trayAvailable())
            QVERIFY(!w.isVisible());
        else
            QVERIFY(w.isMinimized());
        w.N1->trigger();
        QVERIFY(w.isVisible());
        QCOMPARE(bw::workspaceOpenMode(), 1);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
