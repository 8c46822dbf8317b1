#include "app/AppState.h"
#include "app/gui/MessageDlg.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace bw;

namespace {

// A dialog of the given buttons with a recognisable message, so the answer function can tell dialogs apart.
int showThree(const QString &message, int pictureKind = 1, int focusMode = 0)
{
    return ShowDlg(message, QStringLiteral("Да"), QStringLiteral("Нет"), QStringLiteral("Закрыть"),
                   QStringLiteral("Заголовок"), true, true, true, pictureKind, focusMode);
}

} // namespace

class TestMessageDlg final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void buttonCodes_data();
    void buttonCodes();
    void focusRuleAndKeyboard_data();
    void focusRuleAndKeyboard();
    void picturesAndSounds_data();
    void picturesAndSounds();
    void variants();
    void nestedDialogsKeepTheirOwnResults_data();
    void nestedDialogsKeepTheirOwnResults();
    void closedByWindowSystemReturnsZeroAndFreesSlot();
    void slotsOneToNineteenThenTwenty();
    void messageIsPlainText();
};

void TestMessageDlg::init()
{
    resetAppState();
    clearShownDialogs();
    setDialogAutoAnswer({});
    setDialogSoundsDisabledQuery({});
    setDialogTextProvider({});
}

void TestMessageDlg::cleanup()
{
    setDialogAutoAnswer({});
    for (const DialogSlot &slot : DialogSlots())
    {
        QVERIFY2(!slot.inUse, "a dialog slot stayed in use after the test");
    }
}

void TestMessageDlg::buttonCodes_data()
{
    QTest::addColumn<bool>("showLeft");
    QTest::addColumn<bool>("showRight");
    QTest::addColumn<bool>("showCentre");
    QTest::addColumn<int>("click");

    QTest::addRow("information: centre returns 1") << false << false << true << 1;
    QTest::addRow("question: left returns 3") << true << true << false << 3;
    QTest::addRow("question: right returns 2") << true << true << false << 2;
    QTest::addRow("all three: right returns 2") << true << true << true << 2;
}

void TestMessageDlg::buttonCodes()
{
    QFETCH(bool, showLeft);
    QFETCH(bool, showRight);
    QFETCH(bool, showCentre);
    QFETCH(int, click);

    QList<bool> shown;
    setDialogAutoAnswer([&](const DialogInfo &info) {
        TmessagedlgU *dlg = dialogInSlot(info.slot);
        shown = {!dlg->button(3)->isHidden(), !dlg->button(2)->isHidden(), !dlg->button(1)->isHidden()};
        return click;
    });
    const int result = ShowDlg(QStringLiteral("Сообщение"), QStringLiteral("Изменить"), QStringLiteral("Не изменять"),
                               QStringLiteral("Закрыть окно"), QStringLiteral("Выбор действия"), showLeft, showRight,
                               showCentre, 1, 0);
    QCOMPARE(result, click);
    QCOMPARE(shown, (QList<bool>{showLeft, showRight, showCentre}));
    QCOMPARE(DialogSlots()[0].result, click);
    QCOMPARE(currentDialogSlot(), 1);
}

void TestMessageDlg::focusRuleAndKeyboard_data()
{
    QTest::addColumn<bool>("showLeft");
    QTest::addColumn<bool>("showRight");
    QTest::addColumn<bool>("showCentre");
    QTest::addColumn<int>("focusMode");
    QTest::addColumn<int>("focused");

    QTest::addRow("mode 0, centre shown: centre") << true << true << true << 0 << 1;
    QTest::addRow("mode 0, centre only: centre") << false << false << true << 0 << 1;
    QTest::addRow("mode 0, centre hidden: left") << true << true << false << 0 << 3;
    QTest::addRow("mode 0, only right: window default") << false << true << false << 0 << 2;
    QTest::addRow("mode 1, centre hidden: right") << true << true << false << 1 << 2;
    QTest::addRow("mode 1, centre shown: window default (left)") << true << true << true << 1 << 3;
    QTest::addRow("mode 1, centre and left shown, right hidden: left") << true << false << true << 1 << 3;
}

// The focus rule decides what a hasty Enter answers: Escape does nothing, Enter clicks the focused button.
void TestMessageDlg::focusRuleAndKeyboard()
{
    QFETCH(bool, showLeft);
    QFETCH(bool, showRight);
    QFETCH(bool, showCentre);
    QFETCH(int, focusMode);
    QFETCH(int, focused);

    int focusedWhenShown = -1;
    bool visibleAfterEscape = false;
    setDialogAutoAnswer([&](const DialogInfo &info) {
        focusedWhenShown = info.focusedButton;
        TmessagedlgU *dlg = dialogInSlot(info.slot);
        QWidget *target = dlg->focusWidget();
        QTest::keyClick(target, Qt::Key_Escape);
        visibleAfterEscape = dlg->isVisible();
        QTest::keyClick(target, Qt::Key_Return);
        return dlg->isVisible() ? -1 : 0;
    });
    const int result = ShowDlg(QStringLiteral("Вопрос"), QStringLiteral("Да"), QStringLiteral("Нет"),
                               QStringLiteral("Закрыть окно"), QString(), showLeft, showRight, showCentre, 2, focusMode);
    QCOMPARE(focusedWhenShown, focused);
    QVERIFY(visibleAfterEscape);
    QCOMPARE(result, focused);
}

void TestMessageDlg::picturesAndSounds_data()
{
    QTest::addColumn<int>("pictureKind");
    QTest::addColumn<bool>("settingsReady");
    QTest::addColumn<bool>("soundsOff");
    QTest::addColumn<int>("picture"); // DialogPicture, -1 none
    QTest::addColumn<int>("sound");   // DialogSound

    const int warning = int(DialogPicture::Warning);
    const int info = int(DialogPicture::Information);
    const int question = int(DialogPicture::Question);
    const int excl = int(DialogSound::Exclamation);
    const int ast = int(DialogSound::Asterisk);
    const int none = int(DialogSound::None);

    QTest::addRow("kind 0: triangle, exclamation") << 0 << true << false << warning << excl;
    QTest::addRow("kind 1: information, asterisk") << 1 << true << false << info << ast;
    QTest::addRow("kind 2: same as kind 0") << 2 << true << false << warning << excl;
    QTest::addRow("kind 3: third sign, asterisk") << 3 << true << false << question << ast;
    QTest::addRow("kind 4: information, asterisk") << 4 << true << false << info << ast;
    QTest::addRow("kind 5: no picture, silent") << 5 << true << false << -1 << none;
    QTest::addRow("sounds off after start-up: silent") << 0 << true << true << warning << none;
    QTest::addRow("sounds off before start-up: still sounds") << 1 << false << true << info << ast;
}

void TestMessageDlg::picturesAndSounds()
{
    QFETCH(int, pictureKind);
    QFETCH(bool, settingsReady);
    QFETCH(bool, soundsOff);
    QFETCH(int, picture);
    QFETCH(int, sound);

    appState().SoundSettingsReady = settingsReady;
    setDialogSoundsDisabledQuery([soundsOff] { return soundsOff; });
    int shownPicture = -2;
    int visibleLabels = 0;
    setDialogAutoAnswer([&](const DialogInfo &info) {
        TmessagedlgU *dlg = dialogInSlot(info.slot);
        const auto p = dlg->shownPicture();
        shownPicture = p ? int(*p) : -1;
        for (QLabel *label : dlg->findChildren<QLabel *>())
        {
            visibleLabels += !label->pixmap().isNull() && label->isVisible();
        }
        return 1;
    });
    showThree(QStringLiteral("Картинка"), pictureKind);
    QCOMPARE(shownPicture, picture);
    QCOMPARE(visibleLabels, picture < 0 ? 0 : 1);
    QCOMPARE(shownDialogs().size(), 1);
    QCOMPARE(int(shownDialogs().first().sound), sound);
    QCOMPARE(shownDialogs().first().pictureKind, pictureKind);
}

void TestMessageDlg::variants()
{
    setDialogAutoAnswer([](const DialogInfo &info) { return info.message == QStringLiteral("нет") ? 2 : (info.showLeft ? 3 : 1); });

    ShowInfo(QStringLiteral("Сотрудник добавлен в список!"));
    ShowWarning(QStringLiteral("предупреждение"));
    ReportError(QStringLiteral("lock conflict on no wait transaction"));
    QVERIFY(ShowQuestion(QStringLiteral("да"), QStringLiteral("Изменить"), QStringLiteral("Не изменять")));
    QVERIFY(!ShowQuestion(QStringLiteral("нет"), QStringLiteral("Изменить"), QStringLiteral("Не изменять"),
                          QStringLiteral("Свой заголовок"), 1, 1));
    setDialogTextProvider([](const QString &key) { return QStringLiteral("[%1]").arg(key); });
    ShowInfo(QStringLiteral("из каталога"));
    QVERIFY(ShowQuestion(QStringLiteral("из каталога?"), QStringLiteral("Да"), QStringLiteral("Нет")));

    const QList<DialogInfo> d = shownDialogs();
    QCOMPARE(d.size(), 7);
    // information
    QCOMPARE(d[0].centreCaption, QStringLiteral("Закрыть окно"));
    QCOMPARE(d[0].caption, QStringLiteral("Информационное сообщение"));
    QVERIFY(d[0].showCentre && !d[0].showLeft && !d[0].showRight);
    QCOMPARE(d[0].pictureKind, 1);
    QCOMPARE(d[0].focusedButton, 1);
    // warning and the default error report
    QCOMPARE(d[1].pictureKind, 0);
    QCOMPARE(d[1].caption, QStringLiteral("Информационное сообщение"));
    QCOMPARE(d[2].message, QStringLiteral("lock conflict on no wait transaction"));
    QCOMPARE(d[2].pictureKind, 0);
    QVERIFY(d[2].showCentre && !d[2].showLeft);
    // question: left yes, right no, centre passed but hidden
    QCOMPARE(d[3].caption, QStringLiteral("Выбор действия"));
    QCOMPARE(d[3].leftCaption, QStringLiteral("Изменить"));
    QCOMPARE(d[3].rightCaption, QStringLiteral("Не изменять"));
    QCOMPARE(d[3].centreCaption, QStringLiteral("Закрыть окно"));
    QVERIFY(d[3].showLeft && d[3].showRight && !d[3].showCentre);
    QCOMPARE(d[3].pictureKind, 2);
    QCOMPARE(d[3].focusedButton, 3);
    QCOMPARE(d[4].caption, QStringLiteral("Свой заголовок"));
    QCOMPARE(d[4].focusedButton, 2);
    // texts from the catalogue once connected
    QCOMPARE(d[5].centreCaption, QStringLiteral("[DLG1]"));
    QCOMPARE(d[5].caption, QStringLiteral("[DLG2]"));
    QCOMPARE(d[6].centreCaption, QStringLiteral("[DLG51]"));
    QCOMPARE(d[6].caption, QStringLiteral("[DLG52]"));
}

void TestMessageDlg::nestedDialogsKeepTheirOwnResults_data()
{
    QTest::addColumn<bool>("outerAnsweredFirst");
    QTest::addColumn<int>("outerCode");
    QTest::addColumn<int>("innerCode");

    QTest::addRow("inner closed first") << false << 3 << 2;
    QTest::addRow("inner closed first, same button") << false << 1 << 1;
    QTest::addRow("outer answered while inner waits") << true << 2 << 3;
}

// A timer of the main window opens a dialog while another one waits for the user.
void TestMessageDlg::nestedDialogsKeepTheirOwnResults()
{
    QFETCH(bool, outerAnsweredFirst);
    QFETCH(int, outerCode);
    QFETCH(int, innerCode);

    int innerResult = -1;
    int innerSlot = 0;
    QPointer<TmessagedlgU> outer;
    setDialogAutoAnswer([&](const DialogInfo &info) {
        if (info.message == QLatin1String("outer"))
        {
            outer = dialogInSlot(info.slot);
            QTimer::singleShot(0, [&] {
                innerResult = showThree(QStringLiteral("inner"));
                if (outer && outer->isVisible())
                {
                    outer->button(outerCode)->click();
                }
            });
            return 0;
        }
        innerSlot = info.slot;
        if (outerAnsweredFirst)
        {
            outer->button(outerCode)->click();
        }
        return innerCode;
    });
    const int outerResult = showThree(QStringLiteral("outer"));
    QCOMPARE(innerSlot, 2);
    QCOMPARE(innerResult, innerCode);
    QCOMPARE(outerResult, outerCode);
}

void TestMessageDlg::closedByWindowSystemReturnsZeroAndFreesSlot()
{
    setDialogAutoAnswer([](const DialogInfo &info) { return info.message == QLatin1String("first") ? -1 : 1; });
    QCOMPARE(showThree(QStringLiteral("first")), 0);
    QVERIFY(!DialogSlots()[0].inUse);
    QCOMPARE(showThree(QStringLiteral("second")), 1);
    QCOMPARE(shownDialogs().size(), 2);
    QCOMPARE(shownDialogs()[1].slot, 1);
}

// 21 dialogs open at once: the first 19 get slots 1..19, the 20th and the 21st share slot 20.
void TestMessageDlg::slotsOneToNineteenThenTwenty()
{
    constexpr int depth = 21;
    QList<int> slotNumbers;
    QList<int> results;
    std::function<void()> openNext;
    setDialogAutoAnswer([&](const DialogInfo &info) {
        slotNumbers << info.slot;
        if (slotNumbers.size() == depth)
        {
            return 1;
        }
        QPointer<TmessagedlgU> waiting = dialogInSlot(info.slot);
        const int code = 1 + slotNumbers.size() % 3;
        QTimer::singleShot(0, [&, waiting, code] {
            openNext();
            // The one above has been answered; now answer this one.
            if (waiting)
            {
                waiting->button(code)->click();
            }
        });
        return 0;
    });
    openNext = [&] { results.prepend(showThree(QStringLiteral("nested"))); };
    openNext();

    QList<int> expectedSlots;
    for (int i = 1; i <= 19; ++i)
    {
        expectedSlots << i;
    }
    expectedSlots << 20 << 20;
    QCOMPARE(slotNumbers, expectedSlots);
    QCOMPARE(results.size(), depth);
    for (int i = 0; i < depth - 1; ++i)
    {
        QCOMPARE(results[i], 1 + (i + 1) % 3); // each dialog answered with its own code
    }
    QCOMPARE(results.last(), 1);

    // Everything was freed: the next dialog starts at slot 1 again.
    clearShownDialogs();
    setDialogAutoAnswer([](const DialogInfo &) { return 1; });
    QCOMPARE(showThree(QStringLiteral("after")), 1);
    QCOMPARE(shownDialogs().first().slot, 1);
}

void TestMessageDlg::messageIsPlainText()
{
    const QString text = QStringLiteral("<b>Ошибка</b> & <i>таблица</i>");
    QString shownText;
    Qt::TextFormat format = Qt::RichText;
    setDialogAutoAnswer([&](const DialogInfo &info) {
        auto *label = dialogInSlot(info.slot)->findChild<QLabel *>(QStringLiteral("message"));
        shownText = label->text();
        format = label->textFormat();
        return 1;
    });
    ShowWarning(text);
    QCOMPARE(shownText, text);
    QCOMPARE(format, Qt::PlainText);
}

QTEST_MAIN(TestMessageDlg)
#include "tst_messagedlg.moc"
