#include "app/AppState.h"
#include "app/Shell.h"
#include "app/gui/MessageDlg.h"
#include "data/DataModule.h"
#include "data/Schema.h"
#include "i18n/Catalogue.h"
#include "requests/RequestWorkspace.h"
#include "requests/gui/MemoShow.h"
#include "requests/gui/RequestListModel.h"
#include "requests/gui/ZInfo.h"
#include "settings/Settings.h"
#include "support/TempDatabase.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace bw;

class TestWorkspace final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void openSelectAndSave();

private:
    std::unique_ptr<bwtest::TempDatabase> m_db;
};

void TestWorkspace::initTestCase()
{
    resetAppState();
    resetSettings();
    resetShell();
    applyBuiltinMessages();
    m_db = std::make_unique<bwtest::TempDatabase>();
    m_db->exec(QStringLiteral("INSERT INTO USERS (USER_ID, USER_NAME, PRIV, ORD) VALUES (1, 'Администратор', 0, 1)"));
    m_db->exec(QStringLiteral("INSERT INTO USERS (USER_ID, USER_NAME, PRIV, ORD) VALUES (7, 'Иванов И.И.', 1, 2)"));
    m_db->exec(createInboxTableSql(7));
    m_db->exec(QStringLiteral("INSERT INTO GROUPS (GROUP_ID, GROUP_NAME, ORD) VALUES (1, 'Бухгалтерия', 1)"));
    const QStringList topics = {QStringLiteral("Принтер"), QStringLiteral("Почта"), QStringLiteral("1С"),
                                QStringLiteral("Интернет"), QStringLiteral("Монитор")};
    for (int id = 1; id <= 40; ++id) {
        m_db->exec(QStringLiteral("INSERT INTO SERVER_ALL (ID, DATA, INTIME, CLIENT_GROUP, TROUBLE, TROUBLE_MORE, "
                                  "TROUBLE_WHEN, TROUBLE_MAX, CONTACT, \"IMP\", THISCOMP, OS, PROC, MEMORY, IPADR, "
                                  "\"CURRENT_STATE\", \"ADMIN\", CURRENT_INFO) VALUES (?, ?, ?, 1, ?, ?, "
                                  "'Сегодня утром', ?, 'Смирнова А.П., тел. 214', ?, TRUE, 'Windows 10 Pro', "
                                  "'Intel Core i5-8400', '8 GB', '192.168.1.' || ?, ?, ?, ?)"),
                   {id, QDateTime::currentDateTime().addSecs(-3600 * (41 - id)),
                    QDateTime::currentDateTime().addSecs(-3600 * (41 - id)).toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")),
                    topics[id % 5], QStringLiteral("Не работает после обновления"),
                    QStringLiteral("Подробно: после установки обновлений программа перестала запускаться, "
                                   "появляется сообщение об ошибке.\r\nПросьба помочь срочно."),
                    1 + id % 3, id, id % 2, id % 2 ? 7 : 0, id % 4 == 0 ? QVariant(QStringLiteral("Проверено")) : QVariant()});
    }
    m_db->connectDataModule();
    appState().CurrentUserPriv = 0;
    appState().CurrentUserId = 1;
    setDialogAutoAnswer([](const DialogInfo &) { return 1; });
}

void TestWorkspace::openSelectAndSave()
{
    QString hint;
    shell().setTrayHint = [&hint](const QString &t) { hint = t; };
    TZInfo *w = ZInfo();
    requestWorkspace().filterReset = true;
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    // Statuses 0 and 1 of all importances: all 40, newest first.
    QCOMPARE(w->listModel()->count(), 40);
    QCOMPARE(w->listModel()->entry(0).id, 40);
    QCOMPARE(hint, msg(43) + QStringLiteral(" 20"));
    QVERIFY(!w->BitBtn1->isEnabled());
    QCOMPARE(w->ComboBox2->count(), 2);

    // A mouse click on the line, as a user selects it (the view makes it current before selecting).
    const QRect line = w->list()->visualRect(w->listModel()->index(2));
    QTest::mouseClick(w->list()->viewport(), Qt::LeftButton, {}, line.center());
    QCOMPARE(w->LabelNumber->text(), QStringLiteral("N 38"));

    w->selectRow(1); // request 39: status 1, executor 7
    QCOMPARE(w->LabelNumber->text(), QStringLiteral("N 39"));
    QCOMPARE(w->Edit2->text(), QStringLiteral("Монитор"));
    QCOMPARE(w->EditGroup->text(), QStringLiteral("Бухгалтерия"));
    QCOMPARE(w->ComboBox1->currentIndex(), 1);
    QCOMPARE(w->ComboBox2->currentText(), QStringLiteral("Иванов И.И."));
    QVERIFY(w->Edit5->text().endsWith(QStringLiteral("...")));
    QVERIFY(w->BitBtn1->isEnabled());

    const QString dir = qEnvironmentVariable("BW_SCREENSHOTS");
    if (!dir.isEmpty()) {
        w->resize(1180, 800);
        QTest::qWait(50);
        w->grab().save(dir + QStringLiteral("/workspace.png"));
        QTimer::singleShot(200, [dir] {
            memoShow()->grab().save(dir + QStringLiteral("/textwindow.png"));
            memoShow()->accept();
        });
        w->SpeedButton6->click();
    }

    // Solve it: the list no longer shows solved requests, so the pane is left empty.
    w->ComboBox1->setCurrentIndex(2);
    w->BitBtn1->click();
    QCOMPARE(m_db->peer().select(QStringLiteral("SELECT \"CURRENT_STATE\" FROM SERVER_ALL WHERE ID = 39")).front().at(0).toInt(), 2);
    QCOMPARE(w->listModel()->count(), 39);
    QCOMPARE(w->listModel()->rowOfId(39), -1);
    QVERIFY(w->LabelNumber->text().isEmpty());

    // Saving a request that stays listed selects it again.
    w->selectRow(w->listModel()->rowOfId(38));
    w->ComboBox1->setCurrentIndex(1);
    w->BitBtn1->click();
    QCOMPARE(w->LabelNumber->text(), QStringLiteral("N 38"));
    QCOMPARE(w->selectedRow(), w->listModel()->rowOfId(38));
    w->close();
    QCOMPARE(workspaceOpenMode(), 0);
}

QTEST_MAIN(TestWorkspace)
#include "tst_workspace.moc"
