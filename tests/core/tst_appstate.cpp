#include "app/AppState.h"

#include <QTest>

class TestAppState final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initialValues()
    {
        bw::appState().CurrentUserPriv = 2;
        bw::resetAppState();
        QCOMPARE(bw::appState().CurrentUserPriv, -1);
        QCOMPARE(bw::appState().CurrentUserId, 0);
        QVERIFY(bw::appState().StartupPending);
        QVERIFY(!bw::appState().SoundSettingsReady);
    }
};

QTEST_GUILESS_MAIN(TestAppState)
#include "tst_appstate.moc"
