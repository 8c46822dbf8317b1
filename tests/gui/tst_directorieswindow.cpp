#include "app/gui/MessageDlg.h"
#include "directories/Directories.h"
#include "directories/gui/AddOther.h"
#include "directories/gui/AddUser.h"
#include "directories/gui/FormServer.h"
#include "i18n/Catalogue.h"
#include "support/TempDatabase.h"

#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace bw;
using bwtest::TempDatabase;

namespace {

QStringList texts(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// Runs `fill` on the staff dialog once it is open (the editor's add command waits in its modal loop).
void whenStaffDialogOpens(TFormServer &w, std::function<void(TAddUser *)> fill)
{
    QTimer::singleShot(0, &w, [&w, fill] {
        TAddUser *d = w.staffDialog();
        QTRY_VERIFY(d->isVisible());
        fill(d);
    });
}

} // namespace

class TestDirectoriesWindow final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        applyBuiltinMessages();
        // Every message is answered with its only button, and remembered for the checks.
        setDialogAutoAnswer([](const DialogInfo &) { return int(CentreButtonCode); });
    }
    void cleanupTestCase() { setDialogAutoAnswer({}); }

    void emptyDatabaseDisablesRefinements()
    {
        TempDatabase db;
        db.connectDataModule();
        TFormServer w;
        w.show();
        QCOMPARE(w.ListBox2->count(), 0);
        QVERIFY(!w.ListBox3->isEnabled());
        QVERIFY(!w.SpeedButton5->isEnabled());
        QVERIFY(!w.SpeedButton6->isEnabled());
        QVERIFY(w.SpeedButton3->isEnabled());
        // Adding a refinement without a topic does nothing (no dialog opens, no row).
        w.SpeedButton5Click();
        QVERIFY(!w.entryDialog()->isVisible());
    }

    void listsInOrderAndStaffDialog()
    {
        TempDatabase db;
        for (const char *sql : {"INSERT INTO GROUPS (GROUP_ID, GROUP_NAME, ORD) VALUES (1, 'Склад', 2)",
                                "INSERT INTO GROUPS (GROUP_ID, GROUP_NAME, ORD) VALUES (2, 'Бухгалтерия', 1)",
                                "INSERT INTO P_MAIN (ID, NAME, ORD) VALUES (1, 'Принтер', 2)",
                                "INSERT INTO P_MAIN (ID, NAME, ORD) VALUES (2, 'Сеть', 1)",
                                "INSERT INTO P_2 (ID, ID_MAIN, NAME, ORD) VALUES (1, 1, 'Бумага', 1)",
                                "INSERT INTO P_2 (ID, ID_MAIN, NAME, ORD) VALUES (2, 2, 'Кабель', 2)",
                                "INSERT INTO P_WHEN (ID, NAME, ORD) VALUES (1, 'Сегодня', 1)",
                                "INSERT INTO USERS (USER_ID, USER_NAME, LOGIN, PASS, PRIV, ORD) VALUES (1, 'Иванов', 'i', 'p', 0, 1)",
                                "INSERT INTO SERVER_ALL (ID, \"ADMIN\", CLIENT_GROUP) VALUES (5, 1, 2)"})
            db.exec(QString::fromUtf8(sql));
        db.connectDataModule();

        TFormServer w;
        w.show();
        QCOMPARE(texts(w.ListBox1), (QStringList{"Бухгалтерия", "Склад"}));
        QCOMPARE(texts(w.ListBox2), (QStringList{"Сеть", "Принтер"}));
        QCOMPARE(w.ListBox2->currentRow(), 0);
        QCOMPARE(texts(w.ListBox3), (QStringList{"Кабель"}));
        QVERIFY(w.ListBox3->isEnabled());
        w.ListBox2->setCurrentRow(1);
        QCOMPARE(texts(w.ListBox3), (QStringList{"Бумага"}));

        // A group named in a request is refused with its message.
        clearShownDialogs();
        w.ListBox1->setCurrentRow(0);
        w.SpeedButton2Click();
        QCOMPARE(shownDialogs().size(), 1);
        QCOMPARE(shownDialogs().first().message, msg("DLG69"));
        QCOMPARE(w.ListBox1->count(), 2);

        // A new account through the dialog: login limited, password masked, Enter saves.
        clearShownDialogs();
        whenStaffDialogOpens(w, [](TAddUser *d) {
            QVERIFY(d->RadioButton1->isChecked());
            QCOMPARE(d->Edit2->maxLength(), 40);
            QCOMPARE(d->Edit3->echoMode(), QLineEdit::Password);
            // The reserved name: refused, the dialog stays open.
            d->Edit1->setText(QStringLiteral("Administrator"));
            QTest::keyClick(d->Edit1, Qt::Key_Return);
            QVERIFY(d->isVisible());
            d->Edit1->setText(QStringLiteral("Петров"));
            d->Edit2->setText(QStringLiteral("petrov"));
            d->RadioButton2->setChecked(true);
            QTest::keyClick(d->Edit3, Qt::Key_Return);
        });
        w.SpeedButton9Click();
        QVERIFY(!w.staffDialog()->isVisible());
        QCOMPARE(texts(w.ListBox5), (QStringList{"Иванов", "Петров"}));
        QCOMPARE(shownDialogs().size(), 2);
        QCOMPARE(shownDialogs().at(1).message, msg("DLG8"));
        const auto rows = db.peer().select(QStringLiteral("SELECT LOGIN, PRIV FROM USERS WHERE USER_ID = 2"));
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows.front().at(0).toString(), QStringLiteral("petrov"));
        QCOMPARE(rows.front().at(1).toInt(), 1);

        // Moving the new account up exchanges the shown entries; the selection keeps its place.
        w.ListBox5->setCurrentRow(1);
        w.SpeedButton14->click();
        QCOMPARE(texts(w.ListBox5), (QStringList{"Петров", "Иванов"}));
        QCOMPARE(w.ListBox5->currentRow(), 1);
    }
};

QTEST_MAIN(TestDirectoriesWindow)
#include "tst_directorieswindow.moc"
