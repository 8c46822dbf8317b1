#include "app/AppState.h"
#include "settings/ConfigLoader.h"
#include "settings/HostAddresses.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "settings/SettingsWriter.h"

#include <QFile>
#include <QHostAddress>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QStringList kAddresses{QStringLiteral("192.168.1.5"), QStringLiteral("10.0.0.7"), QStringLiteral("127.0.0.1")};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Keys of the file in file order.
QStringList keysOf(const QString &path)
{
    return bw::IniFile(path).keys(QStringLiteral("Settings"));
}

} // namespace

class TestConfigLoader final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString dir() const { return m_dir->path(); }
    QString path(const QString &name) const { return m_dir->filePath(name); }

    void put(const QString &name, const QByteArray &bytes)
    {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
    }

    // A normal start with the given settings.ini lines.
    bw::ConfigLoadResult loadWith(const QByteArray &settingsLines, const QStringList &addresses = kAddresses)
    {
        put(QStringLiteral("first.ini"), "0\r\n");
        put(QStringLiteral("settings.ini"), "[Settings]\r\n" + settingsLines);
        return bw::loadConfiguration(dir(), addresses);
    }

private Q_SLOTS:
    void init()
    {
        bw::resetSettings();
        bw::resetAppState();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void defaultsWithoutFiles()
    {
        put(QStringLiteral("first.ini"), "0");
        const bw::ConfigLoadResult r = bw::loadConfiguration(dir() + u'/', kAddresses);
        QVERIFY(r.problems.isEmpty());
        QVERIFY(!r.firstRun);
        QCOMPARE(bw::appState().ProgramDir, dir());
        QCOMPARE(bw::appState().DatabaseLocation, QStringLiteral(":C:\\Brindlewick\\server"));
        const bw::Settings &s = bw::settings();
        QVERIFY(s.RB1 && !s.RB2 && s.CB3 && s.CB6 && !s.CB9 && s.CHB3 && s.CBB1 && !s.CBB10);
        QCOMPARE(s.ED4List, kAddresses);
        QCOMPARE(bw::mailSettings().ED2, QStringLiteral("25"));
        QCOMPARE(bw::mailSettings().ED5, QStringLiteral("Уведомление от TOVEX"));
        QCOMPARE(r.blinkIntervalMs, 1000);
        QCOMPARE(r.watchIntervalMs, 60000);
        // The intervals are written back, so settings.ini exists after the first normal start.
        QCOMPARE(readAll(path(QStringLiteral("settings.ini"))), QByteArray("[Settings]\r\nINT=1000\r\nINT2=60\r\n"));
    }

    void serverAddress_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("ed1");
        QTest::addColumn<QString>("location");   // "<dir>" stands for the program folder

        QTest::addRow("only ED3") << QByteArray("ED3=10.0.0.5\r\n") << "10.0.0.5"
                                  << "10.0.0.5:C:\\Brindlewick\\server";
        QTest::addRow("stored ED1 wins") << QByteArray("ED1=10.0.0.9\r\nED3=10.0.0.5\r\n") << "10.0.0.9"
                                         << "10.0.0.9:C:\\Brindlewick\\server";
        QTest::addRow("own path") << QByteArray("ED1=srv\r\nED2=/var/db\r\n") << "srv" << "srv:/var/db";
        QTest::addRow("server on this computer") << QByteArray("RB1=0\r\nRB2=-1\r\nED1=srv\r\n") << "srv" << "<dir>";
        QTest::addRow("both radio buttons set: the later wins")
            << QByteArray("RB1=-1\r\nRB2=-1\r\nED1=srv\r\n") << "srv" << "<dir>";
    }

    void serverAddress()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QString, ed1);
        QFETCH(QString, location);
        const bw::ConfigLoadResult r = loadWith(lines);
        QVERIFY(r.problems.isEmpty());
        QCOMPARE(bw::settings().ED1, ed1);
        QCOMPARE(bw::appState().DatabaseLocation, location.replace(QStringLiteral("<dir>"), dir()));
    }

    void intervalsClampedAndWrittenBack_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("interval2");
        QTest::addColumn<bool>("problem");

        QTest::addRow("above range") << QByteArray("INT=9000\r\nINT2=5\r\n") << 5000 << 20 << false;
        QTest::addRow("below range") << QByteArray("INT=-3\r\nINT2=500\r\n") << 0 << 120 << false;
        QTest::addRow("in range") << QByteArray("INT=300\r\nINT2=30\r\n") << 300 << 30 << false;
        QTest::addRow("not a number") << QByteArray("INT=fast\r\nINT2=30\r\n") << 1000 << 30 << true;
    }

    void intervalsClampedAndWrittenBack()
    {
        QFETCH(QByteArray, lines);
        QFETCH(int, interval);
        QFETCH(int, interval2);
        QFETCH(bool, problem);
        const bw::ConfigLoadResult r = loadWith("CB1=-1\r\n" + lines);
        QCOMPARE(!r.problems.isEmpty(), problem);
        QCOMPARE(bw::settings().INT, interval);
        QCOMPARE(bw::settings().INT2, interval2);
        QCOMPARE(r.blinkIntervalMs, interval);
        QCOMPARE(r.watchIntervalMs, interval2 * 1000);
        const bw::IniFile file(path(QStringLiteral("settings.ini")));
        QCOMPARE(file.readString(QStringLiteral("Settings"), QStringLiteral("INT")), QString::number(interval));
        QCOMPARE(file.readString(QStringLiteral("Settings"), QStringLiteral("INT2")), QString::number(interval2));
        QCOMPARE(file.readString(QStringLiteral("Settings"), QStringLiteral("CB1")), QStringLiteral("-1"));
    }

    void dynamicAddress_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<QString>("ed4");

        const QByteArray stored("ED4=1.2.3.4\r\nCB9=-1\r\n");
        QTest::addRow("not localhost: the last one") << QByteArray(stored + "CHB3=-1\r\n") << kAddresses << "10.0.0.7";
        QTest::addRow("mask matches") << QByteArray(stored + "CHB4=-1\r\nEDD=192.168\r\n") << kAddresses
                                      << "192.168.1.5";
        QTest::addRow("mask matches nothing") << QByteArray(stored + "CHB4=-1\r\nEDD=172.16\r\n") << kAddresses
                                              << "10.0.0.7";
        QTest::addRow("empty mask matches nothing") << QByteArray(stored + "CHB4=-1\r\nEDD=\r\n") << kAddresses
                                                    << "10.0.0.7";
        QTest::addRow("mask: the last match") << QByteArray(stored + "CHB4=-1\r\nEDD=10.\r\n")
                                              << QStringList{"10.1.1.1", "10.2.2.2", "127.0.0.1"} << "10.2.2.2";
        QTest::addRow("mask is case-sensitive") << QByteArray(stored + "CHB4=-1\r\nEDD=Host\r\n")
                                                << QStringList{"myhost", "localhost"} << "myhost";
        QTest::addRow("only loopback: file value kept") << QByteArray(stored + "CHB3=-1\r\n")
                                                        << QStringList{"127.0.0.1", "localhost"} << "1.2.3.4";
        QTest::addRow("no addresses: file value kept") << QByteArray(stored) << QStringList() << "1.2.3.4";
        QTest::addRow("neither rule: file value kept") << QByteArray(stored + "CHB3=0\r\nCHB4=0\r\n") << kAddresses
                                                       << "1.2.3.4";
        QTest::addRow("not dynamic") << QByteArray("ED4=1.2.3.4\r\nCB9=0\r\n") << kAddresses << "1.2.3.4";
    }

    void dynamicAddress()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QStringList, addresses);
        QFETCH(QString, ed4);
        loadWith(lines, addresses);
        QCOMPARE(bw::settings().ED4, ed4);
        QCOMPARE(bw::settings().ED4List, addresses);
    }

    void firstRun()
    {
        put(QStringLiteral("first.ini"), "-1\r\nignored\r\n");
        put(QStringLiteral("settings.ini"), "[Settings]\r\nCB1=-1\r\nCOM=russian.ini\r\n");
        put(QStringLiteral("mail.ini"), "[Settings]\r\nED1=smtp.local\r\n");

        QStringList calls;
        bw::ConfigHooks hooks;
        hooks.firstRunPrepare = [&] {
            calls << QStringLiteral("prepare:") + bw::appState().LanguageFile + u':' + bw::mailSettings().ED1;
        };
        hooks.firstRunSettings = [&] {
            calls << QStringLiteral("settings:") + bw::mailSettings().ED1;
            return true;
        };
        hooks.applyLanguage = [&] { calls << QStringLiteral("language"); };

        const bw::ConfigLoadResult r = bw::loadConfiguration(dir(), kAddresses, hooks);
        QVERIFY(r.problems.isEmpty());
        QVERIFY(r.firstRun);
        // Language before mail.ini, settings window after it; settings.ini is not read on the first run.
        QCOMPARE(calls, QStringList({"prepare:english.ini:", "settings:smtp.local"}));
        QVERIFY(!bw::settings().CB1);
        QCOMPARE(bw::appState().LanguageFile, QStringLiteral("english.ini"));
        QCOMPARE(bw::appState().DatabaseLocation, dir());
        QVERIFY(!bw::appState().FirstRun);
        QCOMPARE(readAll(path(QStringLiteral("first.ini"))), QByteArray("0\r\n"));
    }

    void firstRunLeftToCaller()
    {
        put(QStringLiteral("first.ini"), "True");
        const bw::ConfigLoadResult r = bw::loadConfiguration(dir(), kAddresses);
        QVERIFY(r.firstRun);
        QVERIFY(bw::appState().FirstRun);
        QCOMPARE(readAll(path(QStringLiteral("first.ini"))), QByteArray("True"));
        QVERIFY(bw::rewriteFirstIni(dir()));
        QVERIFY(!bw::appState().FirstRun);
        QCOMPARE(readAll(path(QStringLiteral("first.ini"))), QByteArray("0\r\n"));
        // And the next start is a normal one.
        QVERIFY(!bw::loadConfiguration(dir(), kAddresses).firstRun);
    }

    void badFirstIni_data()
    {
        QTest::addColumn<QByteArray>("content");   // "<none>": no file
        QTest::addRow("missing") << QByteArray("<none>");
        QTest::addRow("empty") << QByteArray();
        QTest::addRow("not a boolean") << QByteArray("maybe\r\n");
    }

    void badFirstIni()
    {
        QFETCH(QByteArray, content);
        if (content != "<none>")
            put(QStringLiteral("first.ini"), content);
        put(QStringLiteral("settings.ini"), "[Settings]\r\nCB2=-1\r\nED1=srv\r\n");
        const bw::ConfigLoadResult r = bw::loadConfiguration(dir(), kAddresses);
        QCOMPARE(r.problems.size(), 1);
        QVERIFY(r.problems.first().contains(QStringLiteral("first.ini")));
        // Not a first run, and the rest of the configuration still loaded.
        QVERIFY(!r.firstRun);
        QVERIFY(bw::settings().CB2);
        QCOMPARE(bw::appState().DatabaseLocation, QStringLiteral("srv:C:\\Brindlewick\\server"));
    }

    void badValuesReportedAndDefaulted()
    {
        put(QStringLiteral("mail.ini"), "[Settings]\r\nCB11=yes\r\n");
        const bw::ConfigLoadResult r = loadWith("CB3=maybe\r\nCB2=True\r\nLeft=abc\r\n");
        QCOMPARE(r.problems.size(), 3);
        QVERIFY(r.problems.at(0).contains(QStringLiteral("CB11")));
        QVERIFY(r.problems.at(1).contains(QStringLiteral("CB3")));
        QVERIFY(r.problems.at(2).contains(QStringLiteral("Left")));
        QVERIFY(!bw::mailSettings().CB11);
        QVERIFY(bw::settings().CB3);
        QVERIFY(bw::settings().CB2);
        QCOMPARE(r.placement.left, 0);
    }

    void placement_data()
    {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<bool>("maximized");
        QTest::addRow("State=2") << QByteArray("State=2\r\n") << true;
        QTest::addRow("State=1") << QByteArray("State=1\r\n") << true;
        QTest::addRow("State=0") << QByteArray("State=0\r\n") << false;
        QTest::addRow("no State") << QByteArray() << false;
    }

    void placement()
    {
        QFETCH(QByteArray, state);
        QFETCH(bool, maximized);
        const bw::ConfigLoadResult r = loadWith("Left=10\r\nTop=-20\r\nWidth=800\r\nHeight=600\r\n" + state);
        QCOMPARE(r.placement.left, 10);
        QCOMPARE(r.placement.top, -20);
        QCOMPARE(r.placement.width, 800);
        QCOMPARE(r.placement.height, 600);
        QCOMPARE(r.placement.maximized, maximized);
    }

    void languageAppliedLast()
    {
        QString seen;
        bw::ConfigHooks hooks;
        hooks.applyLanguage = [&] { seen = bw::appState().LanguageFile; };
        loadWith("COM=english.ini\r\n");
        QCOMPARE(bw::appState().LanguageFile, QStringLiteral("english.ini"));
        bw::resetAppState();
        bw::loadConfiguration(dir(), kAddresses, hooks);
        QCOMPARE(seen, QStringLiteral("english.ini"));
    }

    void saveWritesEveryKeyInOrder()
    {
        bw::Settings &s = bw::settings();
        s.setRB2(true);
        s.ED1 = QStringLiteral("db");
        s.ED4 = QStringLiteral("10.0.0.7");
        s.CB1 = true;
        s.CB3 = false;
        s.setCHB4(true);
        s.EDD = QStringLiteral("192.168");
        s.INT = 250;
        s.CBB10 = true;
        s.COM = QStringLiteral("русский.ini");
        QVERIFY(bw::saveSettings(dir(), {5, 6, 700, 500, true}));

        const QStringList expectedKeys{"RB1",  "RB2",  "ED1",  "ED2",  "ED3",  "ED4",  "CB1",  "CB2",   "CB3",
                                       "CB4",  "CB5",  "CB6",  "CB7",  "CB8",  "CB9",  "CHB3", "CHB4",  "EDD",
                                       "INT",  "INT2", "CBB1", "CBB2", "CBB3", "CBB4", "CBB5", "CBB6",  "CBB7",
                                       "CBB8", "CBB9", "CBB10", "COM", "Left", "Top",  "Width", "Height", "State"};
        const QString file = path(QStringLiteral("settings.ini"));
        QCOMPARE(keysOf(file), expectedKeys);
        const QByteArray bytes = readAll(file);
        QVERIFY(bytes.startsWith("[Settings]\r\nRB1=0\r\nRB2=-1\r\nED1=db\r\nED2=C:\\Brindlewick\\server\r\n"));
        QVERIFY(bytes.endsWith("Left=5\r\nTop=6\r\nWidth=700\r\nHeight=500\r\nState=1\r\n"));
        QVERIFY(bytes.contains("\r\nCOM=\xF0\xF3\xF1\xF1\xEA\xE8\xE9.ini\r\n"));

        // What was saved loads back as it was.
        const bw::Settings saved = s;
        bw::resetSettings();
        put(QStringLiteral("first.ini"), "0");
        const bw::ConfigLoadResult r = bw::loadConfiguration(dir(), {});
        QVERIFY(r.problems.isEmpty());
        const bw::Settings &l = bw::settings();
        QCOMPARE(l.RB1, saved.RB1);
        QCOMPARE(l.RB2, saved.RB2);
        QCOMPARE(l.ED1, saved.ED1);
        QCOMPARE(l.ED4, saved.ED4);
        QCOMPARE(l.CB1, saved.CB1);
        QCOMPARE(l.CB3, saved.CB3);
        QCOMPARE(l.CHB3, saved.CHB3);
        QCOMPARE(l.CHB4, saved.CHB4);
        QCOMPARE(l.EDD, saved.EDD);
        QCOMPARE(l.INT, saved.INT);
        QCOMPARE(l.CBB10, saved.CBB10);
        QCOMPARE(l.COM, saved.COM);
        QVERIFY(r.placement.maximized);

        // A normal window is stored as "0".
        QVERIFY(bw::saveSettings(dir(), {1, 2, 3, 4, false}));
        QVERIFY(readAll(file).endsWith("State=0\r\n"));
    }

    void saveFailureReported()
    {
        put(QStringLiteral("blocker"), "x");
        QVERIFY(!bw::saveSettings(path(QStringLiteral("blocker")), {}));
        QVERIFY(!bw::saveMailSettings(path(QStringLiteral("blocker"))));
        QVERIFY(!bw::rewriteFirstIni(path(QStringLiteral("blocker"))));
    }

    void mailRoundTrip()
    {
        bw::MailSettings &m = bw::mailSettings();
        m.ED1 = QStringLiteral("smtp.example.test");
        m.ED2 = QStringLiteral("port");
        m.ED3 = QStringLiteral("user");
        m.ED4 = QStringLiteral(" p=ss ");
        m.ED5 = QStringLiteral("Служба поддержки");
        m.ED6 = QStringLiteral("desk@example.test");
        m.ED7 = QStringLiteral("Тема");
        m.CB2 = false;
        m.CB10 = false;
        m.CB11 = true;
        m.setCB14(true);
        QVERIFY(bw::saveMailSettings(dir()));
        QCOMPARE(keysOf(path(QStringLiteral("mail.ini"))),
                 QStringList({"ED1", "ED2", "ED3", "ED4", "ED5", "ED6", "ED7", "CB1", "CB2", "CB3", "CB4", "CB5",
                              "CB6", "CB7", "CB8", "CB9", "CB10", "CB11", "CB12", "CB13", "CB14"}));
        QVERIFY(readAll(path(QStringLiteral("mail.ini"))).endsWith("CB11=-1\r\nCB12=-1\r\nCB13=0\r\nCB14=-1\r\n"));

        const bw::MailSettings saved = m;
        bw::resetSettings();
        QStringList problems;
        bw::loadMailSettings(dir(), &problems);
        QVERIFY(problems.isEmpty());
        QCOMPARE(m.ED1, saved.ED1);
        QCOMPARE(m.ED2, saved.ED2);
        QCOMPARE(m.ED3, saved.ED3);
        QCOMPARE(m.ED4, saved.ED4);
        QCOMPARE(m.ED5, saved.ED5);
        QCOMPARE(m.ED6, saved.ED6);
        QCOMPARE(m.ED7, saved.ED7);
        QVERIFY(m.CB1 && !m.CB2 && !m.CB10 && m.CB11 && m.CB12 && !m.CB13 && m.CB14);
    }

    void modelRules()
    {
        bw::Settings &s = bw::settings();
        s.setED3(QStringLiteral("10.0.0.5"));
        QCOMPARE(s.ED1, QStringLiteral("10.0.0.5"));
        s.ED1 = QStringLiteral("db");
        s.setED3(QStringLiteral("10.0.0.5"));   // unchanged: no copy
        QCOMPARE(s.ED1, QStringLiteral("db"));
        s.setINT(9000);
        s.setINT2(5);
        QCOMPARE(s.INT, 5000);
        QCOMPARE(s.INT2, 20);
        s.setRB2(false);                        // clearing one radio button leaves the other alone
        QVERIFY(s.RB1);
        s.setRB2(true);
        QVERIFY(!s.RB1);
    }

    void thisComputerHasLoopback()
    {
        const QStringList list = bw::thisComputerAddresses();
        QVERIFY(list.contains(QStringLiteral("127.0.0.1")));
        for (const QString &a : list)
            QVERIFY(QHostAddress(a).protocol() == QAbstractSocket::IPv4Protocol);
    }
};

QTEST_GUILESS_MAIN(TestConfigLoader)
#include "tst_configloader.moc"
