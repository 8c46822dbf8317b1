#include "app/AppState.h"
#include "app/Shell.h"
#include "app/gui/MessageDlg.h"
#include "data/DataModule.h"
#include "i18n/Catalogue.h"
#include "i18n/LanguageFile.h"
#include "settings/Settings.h"
#include "settings/gui/DynFound.h"
#include "settings/gui/EmailProp.h"
#include "settings/gui/FormSettings.h"
#include "settings/gui/ServerTest.h"
#include "support/SmtpSink.h"
#include "support/TestSupport.h"
#include "support/TempDatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace bw;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray cp1251(const QString &s)
{
    return QByteArray(QStringEncoder("windows-1251").encode(s));
}

} // namespace

class TestSettingsWindow final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void saveWithUnreachableServerWritesNothing();
    void saveOnThisComputerWritesAndApplies();
    void serviceManagerAttach();
    void languageList_data();
    void languageList();
    void serverProgramAddressCopiesIntoSqlServer();
    void radioButtonsEnableServerFields();
    void dynamicOpensAddressWindowOnlyWhenChecked();
    void firstRunCloseWithoutSaveEndsProgram();
    void emailWindowAuthenticationAndSave();
    void languageFileTranslatesTheWindows();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    int m_terminated = 0;
};

void TestSettingsWindow::init()
{
    resetSettings();
    resetAppState();
    resetMessages();
    applyBuiltinMessages();
    clearShownDialogs();
    setDialogAutoAnswer([](const DialogInfo &) { return int(CentreButtonCode); });
    m_dir = std::make_unique<QTemporaryDir>();
    appState().ProgramDir = m_dir->path();
    m_terminated = 0;
    settingsTerminate() = [this] { ++m_terminated; };
    settingsOpenHelp() = [] {};
}

void TestSettingsWindow::cleanup()
{
    formSettings().hide();
    dm().disconnect();
    setDialogAutoAnswer({});
    m_dir.reset();
}

void TestSettingsWindow::saveWithUnreachableServerWritesNothing()
{
    const QString ini = QDir(appState().ProgramDir).filePath(QStringLiteral("settings.ini"));
    const QByteArray before = "[Settings]\r\nCB1=0\r\nINT2=60\r\n";
    writeFile(ini, before);

    TFormSettings &w = formSettings();
    w.show();
    w.RadioButton1->setChecked(true);
    w.Edit1->setText(QStringLiteral("127.0.0.1/%1").arg(bwtest::SmtpSink::closedPort()));
    w.CheckBox1->setChecked(true); // only a sound switch changed
    QVERIFY(settings().CB1);
    w.BitBtn1Click();

    const auto dialogs = shownDialogs();
    QCOMPARE(dialogs.size(), 1);
    QCOMPARE(dialogs.at(0).message, QStringLiteral("Сервер на указанном компьютере не обнаружен!"));
    QCOMPARE(dialogs.at(0).pictureKind, 0); // warning
    QCOMPARE(readFile(ini), before);
    QVERIFY(!w.saved());
    QVERIFY(w.isVisible()); // stays open for corrections
    QVERIFY(!dm().isConnected());
}

void TestSettingsWindow::saveOnThisComputerWritesAndApplies()
{
    bwtest::TempDatabase db;
    appState().ProgramDir = db.dir();
    appState().LanguageFile = QStringLiteral("old.ini");
    writeFile(QDir(db.dir()).filePath(QStringLiteral("lang/test.ini")), "[Lang]\r\nLang=Test\r\n");
    settings().setRB2(true);
    appState().NewRequestCount = 0;
    QString hint;
    shell().setTrayHint = [&hint](const QString &h) { hint = h; };

    TFormSettings &w = formSettings();
    w.show();
    QVERIFY(w.RadioButton2->isChecked());
    w.TrackBar2->setValue(30);
    w.TrackBar1->setValue(700);
    w.BitBtn1Click();
    resetShell();

    QCOMPARE(shownDialogs().size(), 1);
    QCOMPARE(shownDialogs().at(0).message, QStringLiteral("Сервер обнаружен!"));
    QVERIFY(w.saved());
    QVERIFY(!w.isVisible());
    QVERIFY(dm().isConnected());
    QCOMPARE(appState().DatabaseLocation, db.dir());
    QCOMPARE(appState().LanguageFile, QStringLiteral("test.ini"));
    QCOMPARE(mainTimers().TimerServer->interval(), 30000);
    QCOMPARE(mainTimers().Timer1->interval(), 700);
    QCOMPARE(hint, QStringLiteral("Новых заявок нет"));
    const QByteArray ini = readFile(QDir(db.dir()).filePath(QStringLiteral("settings.ini")));
    QVERIFY(ini.contains("INT2=30"));
    QVERIFY(ini.contains("RB2=-1"));
    QVERIFY(ini.contains("COM=test.ini"));
    resetMainTimers();
}

void TestSettingsWindow::serviceManagerAttach()
{
    QString error;
    QVERIFY2(attachServiceManager(QStringLiteral("service_mgr"), &error), qPrintable(error));
    const QString closed = QStringLiteral("127.0.0.1/%1").arg(bwtest::SmtpSink::closedPort());
    QVERIFY(!testDatabaseServerAsync(closed, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!testDatabaseServer(QString()));
}

void TestSettingsWindow::languageList_data()
{
    QTest::addColumn<QString>("languageFile");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("selected");

    const QStringList names{QStringLiteral("English"), QStringLiteral("Русский")};
    QTest::addRow("active file selected") << "russian.ini" << names << 1;
    QTest::addRow("unknown file: first entry") << "missing.ini" << names << 0;
    QTest::addRow("no language file: first entry") << "" << names << 0;
}

void TestSettingsWindow::languageList()
{
    QFETCH(QString, languageFile);
    QFETCH(QStringList, names);
    QFETCH(int, selected);

    const QDir lang(QDir(appState().ProgramDir).filePath(QStringLiteral("lang")));
    writeFile(lang.filePath(QStringLiteral("english.ini")), "[Lang]\r\nLang=English\r\n");
    writeFile(lang.filePath(QStringLiteral("russian.ini")), "[Lang]\r\nLang=" + cp1251(QStringLiteral("Русский")) + "\r\n");
    writeFile(lang.filePath(QStringLiteral("nameless.ini")), "[Lang]\r\nOther=1\r\n[FormSettings]\r\nCaption=X\r\n");
    writeFile(lang.filePath(QStringLiteral("emptyname.ini")), "[Lang]\r\nLang=\r\n");
    writeFile(lang.filePath(QStringLiteral("readme.txt")), "[Lang]\r\nLang=Text\r\n");
    appState().LanguageFile = languageFile;

    TFormSettings &w = formSettings();
    w.show();
    QStringList shown;
    for (int i = 0; i < w.ComboBox1->count(); ++i)
        shown << w.ComboBox1->itemText(i);
    QCOMPARE(shown, names);
    QCOMPARE(w.languageFiles(), (QStringList{"english.ini", "russian.ini"}));
    QCOMPARE(w.ComboBox1->currentIndex(), selected);
    QCOMPARE(settings().COM, w.languageFiles().at(selected));

    // Choosing another language moves the file name with it.
    w.ComboBox1->setCurrentIndex(1 - selected);
    QCOMPARE(settings().COM, w.languageFiles().at(1 - selected));
}

void TestSettingsWindow::serverProgramAddressCopiesIntoSqlServer()
{
    TFormSettings &w = formSettings();
    w.show();
    w.Edit1->setText(QStringLiteral("192.168.0.1"));
    w.Edit3->clear();
    QTest::keyClicks(w.Edit3, QStringLiteral("10.0.0.5"));
    QCOMPARE(w.Edit1->text(), QStringLiteral("10.0.0.5"));
    QCOMPARE(settings().ED3, QStringLiteral("10.0.0.5"));
    QCOMPARE(settings().ED1, QStringLiteral("10.0.0.5"));
    // The SQL-server field edited afterwards keeps its own value.
    w.Edit1->setText(QStringLiteral("10.0.0.9"));
    QCOMPARE(settings().ED1, QStringLiteral("10.0.0.9"));
    QCOMPARE(settings().ED3, QStringLiteral("10.0.0.5"));
}

void TestSettingsWindow::radioButtonsEnableServerFields()
{
    TFormSettings &w = formSettings();
    w.show();
    QVERIFY(w.Edit1->isEnabled() && w.Edit2->isEnabled() && w.Label1->isEnabled() && w.Label2->isEnabled());
    w.RadioButton2->setChecked(true);
    QVERIFY(!w.Edit1->isEnabled() && !w.Edit2->isEnabled() && !w.Label1->isEnabled() && !w.Label2->isEnabled());
    QVERIFY(settings().RB2 && !settings().RB1);
    w.RadioButton1->setChecked(true);
    QVERIFY(w.Edit1->isEnabled() && w.Edit2->isEnabled());
    QVERIFY(settings().RB1 && !settings().RB2);
}

void TestSettingsWindow::dynamicOpensAddressWindowOnlyWhenChecked()
{
    TFormSettings &w = formSettings();
    w.show();
    int opened = 0;
    bool maskBefore = true;
    bool maskAfter = false;
    auto closeWhenShown = [&] {
        QTimer::singleShot(0, [&] {
            TDYNFound &dyn = dynFoundWindow();
            if (dyn.isVisible()) {
                ++opened;
                maskBefore = dyn.Edit1->isEnabled() || dyn.Label1->isEnabled();
                dyn.RadioButton2->setChecked(true);
                maskAfter = dyn.Edit1->isEnabled() && dyn.Label1->isEnabled();
                dyn.BitBtn1->click();
            }
        });
    };
    closeWhenShown();
    w.CheckBox9->click(); // checked by the user
    QCOMPARE(opened, 1);
    QVERIFY(!maskBefore); // the mask is editable only under "Поиск адреса по маске:"
    QVERIFY(maskAfter);
    QVERIFY(settings().CB9);
    QVERIFY(settings().CHB4 && !settings().CHB3);
    closeWhenShown();
    w.CheckBox9->click(); // cleared: nothing opens
    QCOMPARE(opened, 1);
    QVERIFY(!settings().CB9);
}

void TestSettingsWindow::firstRunCloseWithoutSaveEndsProgram()
{
    appState().FirstRun = true;
    TFormSettings &w = formSettings();
    w.show();
    w.reject();
    QCOMPARE(m_terminated, 1);

    appState().FirstRun = false;
    w.show();
    w.reject();
    QCOMPARE(m_terminated, 1);
}

void TestSettingsWindow::emailWindowAuthenticationAndSave()
{
    mailSettings().CB11 = true;
    mailSettings().ED3 = QStringLiteral("login");
    mailSettings().ED4 = QStringLiteral("pass");
    Temail_prop &m = emailPropWindow();
    m.show();
    QVERIFY(m.Edit3->isEnabled() && m.Edit4->isEnabled() && m.Label8->isEnabled());
    QCOMPARE(m.Edit4->echoMode(), QLineEdit::Password);
    m.checkBox(11)->setChecked(false);
    QVERIFY(!m.Edit3->isEnabled() && !m.Edit4->isEnabled() && !m.Label8->isEnabled() && !m.Label9->isEnabled());
    m.Edit2->setText(QStringLiteral("25a")); // stored as typed
    m.checkBox(10)->setChecked(false);
    QVERIFY(!mailSettings().CB10);
    m.BitBtn1->click();
    QVERIFY(!m.isVisible());
    const QByteArray ini = readFile(QDir(appState().ProgramDir).filePath(QStringLiteral("mail.ini")));
    QVERIFY(ini.contains("CB11=0"));
    QVERIFY(ini.contains("ED3=login"));
    QVERIFY(ini.contains("ED4=pass"));
    QVERIFY(ini.contains("ED2=25a"));
    QVERIFY(ini.contains("CB10=0"));
}

void TestSettingsWindow::languageFileTranslatesTheWindows()
{
    TFormSettings &w = formSettings();
    Temail_prop &m = emailPropWindow();
    TDYNFound &d = dynFoundWindow();
    applyLanguage(bwtest::sourceDir() + QStringLiteral("/lang/english.ini"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Settings"));
    QCOMPARE(w.SpeedButton2->toolTip(), QStringLiteral("E-mail settings"));
    QCOMPARE(m.windowTitle(), QStringLiteral("E-mail notification settings"));
    QCOMPARE(d.windowTitle(), QStringLiteral("Dynamic IP address"));
    QVERIFY(!w.CheckBox4->text().contains(QStringLiteral("Звук")));
}

QTEST_MAIN(TestSettingsWindow)
#include "tst_settingswindow.moc"
