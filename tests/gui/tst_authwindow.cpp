#include "app/AppState.h"
#include "app/gui/MessageDlg.h"
#include "data/DataModule.h"
#include "directories/gui/Auth.h"
#include "i18n/Catalogue.h"
#include "i18n/LanguageFile.h"
#include "settings/IniFile.h"
#include "support/TempDatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace bw;
using bwtest::TempDatabase;

namespace {

void addUser(TempDatabase &db, int id, const QString &name, const QString &login, const QString &pass, int priv,
             const QVariant &rem, const QVariant &remLogin, const QVariant &remPass, int ord)
{
    db.exec(QStringLiteral("INSERT INTO USERS (USER_ID, USER_NAME, LOGIN, PASS, PRIV, REM, REM_LOGIN, REM_PASS, ORD) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {id, name, login, pass, priv, rem, remLogin, remPass, ord});
}

QStringList items(const QComboBox *box)
{
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemText(i);
    return list;
}

} // namespace

class TestAuthWindow final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void cleanupTestCase() { m_db.reset(); }

    void listInOrdOrderAndSelectionFillsFields();
    void enterSignsIn_data();
    void enterSignsIn();
    void wrongPasswordShowsRefusalAndKeepsAsking();
    void exitLeavesWithoutSignIn();
    void emptyUsersShowsNoWindow();
    void languageTexts();

private:
    std::unique_ptr<TempDatabase> m_db;
    QByteArray m_dbFunction; // the test function m_db was made for
    int m_exitCalls = 0;
};

void TestAuthWindow::init()
{
    resetAppState();
    resetMessages();
    clearShownDialogs();
    setDialogAutoAnswer({});
    m_exitCalls = 0;
    setSignInExitHandler([this] { ++m_exitCalls; });
    // A fresh database per test function; the rows of a data-driven test share one.
    if (m_db && m_dbFunction == QTest::currentTestFunction())
        return;
    m_dbFunction = QTest::currentTestFunction();
    m_db.reset();
    m_db = std::make_unique<TempDatabase>();
    addUser(*m_db, 1, QStringLiteral("Администратор"), QStringLiteral("admin"), QStringLiteral("Secret"), 0, QVariant(),
            QVariant(), QVariant(), 2);
    addUser(*m_db, 5, QStringLiteral("Иванов Иван"), QStringLiteral("ivanov"), QStringLiteral("pw5"), 1, 1,
            QStringLiteral("ivanov"), QStringLiteral("pw5"), 1);
    addUser(*m_db, 6, QStringLiteral("Петрова Анна"), QStringLiteral("petrova"), QStringLiteral("pw6"), 2, 0,
            QStringLiteral("petrova"), QStringLiteral("pw6"), 3);
    m_db->connectDataModule();
}

void TestAuthWindow::cleanup()
{
    setDialogAutoAnswer({});
    setSignInExitHandler({});
    delete authWindow();
    resetAppState();
}

void TestAuthWindow::listInOrdOrderAndSelectionFillsFields()
{
    Tauth w;
    QCOMPARE(w.prepare(), 3);
    QCOMPARE(items(w.ComboBox1),
             QStringList({QStringLiteral("Иванов Иван"), QStringLiteral("Администратор"),
                          QStringLiteral("Петрова Анна")}));
    QCOMPARE(w.Edit2->echoMode(), QLineEdit::Password);

    // The first account remembers its values.
    QCOMPARE(w.ComboBox1->currentIndex(), 0);
    QVERIFY(w.CheckBox1->isChecked());
    QCOMPARE(w.Edit1->text(), QStringLiteral("ivanov"));
    QCOMPARE(w.Edit2->text(), QStringLiteral("pw5"));

    // rem = 0 with stored values, and rem NULL: box clear, fields empty.
    for (int index : {2, 1}) {
        w.ComboBox1->setCurrentIndex(index);
        QVERIFY(!w.CheckBox1->isChecked());
        QVERIFY(w.Edit1->text().isEmpty());
        QVERIFY(w.Edit2->text().isEmpty());
    }
    w.ComboBox1->setCurrentIndex(0);
    QCOMPARE(w.Edit1->text(), QStringLiteral("ivanov"));
}

void TestAuthWindow::enterSignsIn_data()
{
    QTest::addColumn<QString>("field");
    QTest::addRow("Enter in the account list") << "ComboBox1";
    QTest::addRow("Enter in the login field") << "Edit1";
    QTest::addRow("Enter in the password field") << "Edit2";
}

void TestAuthWindow::enterSignsIn()
{
    QFETCH(QString, field);
    bool shown = false;
    QString passwordAfterEnter;
    QTimer::singleShot(0, this, [&] {
        Tauth *w = authWindow();
        shown = w->isVisible();
        w->ComboBox1->setCurrentIndex(1);
        w->Edit1->setText(QStringLiteral("admin"));
        w->Edit2->setText(QStringLiteral("Secret"));
        if (QWidget *target = w->findChild<QWidget *>(field))
            QTest::keyClick(target, Qt::Key_Return);
        passwordAfterEnter = w->Edit2->text();
        if (w->isVisible())
            w->BitBtn2->click(); // never leave the test waiting in the modal loop
    });
    QVERIFY(PrepareSignIn());
    QVERIFY(shown);
    QCOMPARE(appState().CurrentUserId, 1);
    QCOMPARE(appState().CurrentUserPriv, 0);
    QVERIFY(!authWindow()->isVisible());
    QCOMPARE(passwordAfterEnter, QStringLiteral("Secret")); // the key did not reach the field
    QVERIFY(shownDialogs().isEmpty());
    QCOMPARE(m_exitCalls, 0);
}

void TestAuthWindow::wrongPasswordShowsRefusalAndKeepsAsking()
{
    setMessage(QStringLiteral("DLG82"), QStringLiteral("Wrong login or password!"));
    setDialogAutoAnswer([](const DialogInfo &) { return int(CentreButtonCode); });

    // What the window looked like after the refusal, checked once the modal loop has ended.
    bool openAfterRefusal = false;
    QString passwordAfterRefusal;
    int privAfterRefusal = 0;
    bool openAfterEscapeAndClose = false;
    QVariantList storedAfterRefusal;
    QTimer::singleShot(0, this, [&] {
        Tauth *w = authWindow();
        w->ComboBox1->setCurrentIndex(2);
        w->Edit1->setText(QStringLiteral("petrova"));
        w->Edit2->setText(QStringLiteral("PW6"));
        w->CheckBox1->setChecked(true);
        w->BitBtn1->click();
        openAfterRefusal = w->isVisible();
        passwordAfterRefusal = w->Edit2->text();
        privAfterRefusal = appState().CurrentUserPriv;
        storedAfterRefusal =
            m_db->peer().select(QStringLiteral("SELECT REM, REM_PASS FROM USERS WHERE USER_ID = 6")).front();
        // Escape and the window system's close request do not end it.
        QTest::keyClick(w, Qt::Key_Escape);
        w->close();
        openAfterEscapeAndClose = w->isVisible();

        w->Edit2->setText(QStringLiteral("pw6"));
        QTest::keyClick(w->Edit2, Qt::Key_Enter);
        if (w->isVisible())
            w->BitBtn2->click(); // never leave the test waiting in the modal loop
    });
    QVERIFY(PrepareSignIn());
    QVERIFY(openAfterRefusal);
    QCOMPARE(passwordAfterRefusal, QStringLiteral("PW6"));
    QCOMPARE(privAfterRefusal, -1);
    QVERIFY(openAfterEscapeAndClose);
    QCOMPARE(appState().CurrentUserId, 6);
    QCOMPARE(appState().CurrentUserPriv, 2);
    // The refused attempt already remembered what was typed.
    QCOMPARE(storedAfterRefusal, QVariantList({1, QStringLiteral("PW6")}));

    const QList<DialogInfo> dialogs = shownDialogs();
    QCOMPARE(dialogs.size(), 1);
    QCOMPARE(dialogs.front().message, QStringLiteral("Wrong login or password!"));
    QCOMPARE(dialogs.front().pictureKind, 1); // information
    QVERIFY(dialogs.front().showCentre && !dialogs.front().showLeft && !dialogs.front().showRight);
}

void TestAuthWindow::exitLeavesWithoutSignIn()
{
    QTimer::singleShot(0, this, [&] {
        Tauth *w = authWindow();
        w->Edit1->setText(QStringLiteral("ivanov"));
        w->BitBtn2->click();
    });
    QVERIFY(!PrepareSignIn());
    QCOMPARE(m_exitCalls, 1);
    QVERIFY(authWindow()->left());
    QVERIFY(!authWindow()->isVisible());
    QCOMPARE(appState().CurrentUserPriv, -1);
    // "Выход" stores nothing: the account is still remembered as before.
    QCOMPARE(m_db->peer().select(QStringLiteral("SELECT REM FROM USERS WHERE USER_ID = 5")).front().at(0).toInt(), 1);
}

void TestAuthWindow::emptyUsersShowsNoWindow()
{
    m_db->exec(QStringLiteral("DELETE FROM USERS"));
    bool shown = false;
    QTimer::singleShot(0, this, [&] { shown = authWindow() && authWindow()->isVisible(); });
    QVERIFY(PrepareSignIn());
    QCoreApplication::processEvents();
    QVERIFY(!shown);
    QCOMPARE(authWindow()->ComboBox1->count(), 0);
    QCOMPARE(appState().CurrentUserId, 0);
    QCOMPARE(appState().CurrentUserPriv, -1);
}

void TestAuthWindow::languageTexts()
{
    const QByteArray file = QStringLiteral("[auth]\r\nCaption=Sign in\r\nGB=Pick your account\r\nLab2=Login:\r\n"
                                           "But2=Quit\r\nCB1=Remember me\r\n")
                                .toLatin1();
    {
        Tauth w;
        QCOMPARE(w.windowTitle(), QStringLiteral("Авторизация"));
        applyLanguage(IniFile::fromBytes(file));
        QCOMPARE(w.windowTitle(), QStringLiteral("Sign in"));
        QCOMPARE(w.GroupBox1->title(), QStringLiteral("Pick your account"));
        QCOMPARE(w.Label3->text(), QStringLiteral("Login:"));
        QCOMPARE(w.Label2->text(), QStringLiteral("Пароль:")); // key missing: kept
        QCOMPARE(w.BitBtn1->text(), QStringLiteral("Войти"));
        QCOMPARE(w.BitBtn2->text(), QStringLiteral("Quit"));
        QCOMPARE(w.CheckBox1->text(), QStringLiteral("Remember me"));
    }
    // A destroyed window leaves nothing behind in the registry.
    QCOMPARE(LanguageRegistry::instance().entryCount(), 0);
}

QTEST_MAIN(TestAuthWindow)
#include "tst_authwindow.moc"
