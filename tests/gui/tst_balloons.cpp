#include "i18n/Catalogue.h"
#include "notify/gui/Balloons.h"
#include "notify/gui/LastInput.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

using bw::NoticeWindow;
using bw::TBalloonS;
using bw::TBalloonZ;

namespace {

// True once a closed notice has been freed.
bool freed(const QPointer<NoticeWindow> &notice)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return notice.isNull();
}

// Fades a notice in by hand and checks every step: +15 per tick, full opacity at the 16th.
void fadeIn(NoticeWindow *notice)
{
    QCOMPARE(notice->opacityLevel(), 0);
    QVERIFY(notice->fadeInTimer()->isActive());
    for (int tick = 1; tick <= 15; ++tick) {
        notice->fadeInTick();
        QCOMPARE(notice->opacityLevel(), 15 * tick);
        QVERIFY(notice->fadeInTimer()->isActive());
    }
    notice->fadeInTick();
    QCOMPARE(notice->opacityLevel(), 255);
    QVERIFY(!notice->fadeInTimer()->isActive());
}

// Fades a notice out by hand: -15 per tick, closed and freed at the 16th.
void fadeOut(NoticeWindow *notice)
{
    QPointer<NoticeWindow> guard(notice);
    QVERIFY(notice->fadeOutTimer()->isActive());
    for (int tick = 1; tick <= 15; ++tick) {
        notice->fadeOutTick();
        QCOMPARE(notice->opacityLevel(), 255 - 15 * tick);
        QVERIFY(notice->isVisible());
    }
    notice->fadeOutTick();
    QCOMPARE(notice->opacityLevel(), 0);
    QVERIFY(!notice->isVisible());
    QVERIFY(freed(guard));
}

} // namespace

class TestBalloons final : public QObject
{
    Q_OBJECT

    qint64 m_lastInput = 5000;

private Q_SLOTS:
    void init()
    {
        bw::resetMessages();
        m_lastInput = 5000;
        bw::setLastInputSource([this] { return m_lastInput; });
    }
    void cleanup()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<NoticeWindow *>(w))
                delete w;
        bw::setLastInputSource({});
    }

    void requestNoticeLife()
    {
        bw::setMessage(162, QStringLiteral("A new request has arrived!"));
        TBalloonZ *notice = bw::ShowRequestNotice();
        QCOMPARE(notice->text(), QStringLiteral("A new request has arrived!"));
        QCOMPARE(notice->size(), QSize(179, 151));
        const Qt::WindowFlags flags = notice->windowFlags();
        for (Qt::WindowType f : {Qt::FramelessWindowHint, Qt::WindowStaysOnTopHint, Qt::WindowDoesNotAcceptFocus})
            QVERIFY(flags.testFlag(f));
        QVERIFY(notice->testAttribute(Qt::WA_ShowWithoutActivating));
        QVERIFY(notice->isVisible());
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(notice->geometry().bottomRight(), area.bottomRight() - QPoint(4, 4));

        fadeIn(notice);
        QVERIFY(notice->displayTimer()->isActive()); // display starts right after the fade-in
        for (int second = 1; second < 5; ++second) {
            notice->displayTick();
            QVERIFY(notice->displayTimer()->isActive());
            QVERIFY(!notice->fadeOutTimer()->isActive());
        }
        notice->displayTick(); // the 5th second
        QVERIFY(!notice->displayTimer()->isActive());
        QCOMPARE(notice->opacityLevel(), 255);
        fadeOut(notice);
    }

    void reminderWaitsForTheUser_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("seconds");
        QTest::addRow("kind 0") << 0 << 30;
        QTest::addRow("kind 1") << 1 << 10;
        QTest::addRow("kind 2") << 2 << 120;
    }
    void reminderWaitsForTheUser()
    {
        QFETCH(int, kind);
        QFETCH(int, seconds);
        TBalloonS *notice = bw::ShowTaskNotice(QStringLiteral("Replace the toner\nPrinter in room 12"), QString(),
                                               QStringLiteral("Task reminder"), QStringLiteral("14:30 - 15:00"),
                                               true, 3, kind);
        QCOMPARE(notice->size(), QSize(348, 151));
        QCOMPARE(notice->displayTime(), seconds);
        QVERIFY(notice->confirmButton()->isVisibleTo(notice));
        QVERIFY(notice->presenceTimer()->isActive());
        fadeIn(notice);
        QVERIFY(!notice->displayTimer()->isActive()); // nobody there yet: no countdown

        // Away for a long while; the reading wavers by a few milliseconds, which is no input.
        for (int second = 0; second < 300; ++second) {
            m_lastInput += second % 2 ? 3 : -3;
            notice->presenceTick();
        }
        QVERIFY(!notice->userPresent());
        QVERIFY(!notice->displayTimer()->isActive());
        QCOMPARE(notice->opacityLevel(), 255);

        m_lastInput = 400000; // the mouse moves
        notice->presenceTick();
        QVERIFY(notice->userPresent());
        QVERIFY(!notice->presenceTimer()->isActive());
        QVERIFY(notice->displayTimer()->isActive());
        for (int second = 1; second < seconds; ++second)
            notice->displayTick();
        QVERIFY(!notice->fadeOutTimer()->isActive());
        notice->displayTick();
        fadeOut(notice);
    }

    void staysUntilClosed_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("confirm");
        QTest::addRow("kind 3, close button") << 3 << false;
        QTest::addRow("kind 7, confirm button") << 7 << true;
    }
    void staysUntilClosed()
    {
        QFETCH(int, kind);
        QFETCH(bool, confirm);
        QPointer<NoticeWindow> notice =
            bw::ShowTaskNotice(QStringLiteral("Backup"), QStringLiteral("OK"), QStringLiteral("Reminder"),
                               QStringLiteral("09:00 - 09:30"), confirm, 1, kind);
        QCOMPARE(notice->displayTime(), 0);
        fadeIn(notice);
        m_lastInput += 10000;
        static_cast<TBalloonS *>(notice.data())->presenceTick();
        for (int second = 0; second < 1000; ++second)
            notice->displayTick();
        QVERIFY(!notice->fadeOutTimer()->isActive());
        QCOMPARE(notice->opacityLevel(), 255);
        QVERIFY(!freed(notice));

        QAbstractButton *button = confirm ? static_cast<TBalloonS *>(notice.data())->confirmButton()
                                          : static_cast<QAbstractButton *>(notice->closeButton());
        QVERIFY(button->isVisibleTo(notice));
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(freed(notice));
    }

    void closeButtonEndsAFadeIn()
    {
        QPointer<NoticeWindow> notice = bw::ShowRequestNotice();
        notice->fadeInTick();
        QTest::mouseClick(notice->closeButton(), Qt::LeftButton);
        QVERIFY(freed(notice));
    }

    void dragMovesTheNotice()
    {
        TBalloonZ *notice = bw::ShowRequestNotice();
        const QPoint start = notice->pos();
        const QPoint grab = start + QPoint(90, 120);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(90, 120), QPointF(grab), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(notice, &press);
        QMouseEvent move(QEvent::MouseMove, QPointF(60, 140), QPointF(grab + QPoint(-250, 30)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(notice, &move);
        QCOMPARE(notice->pos(), start + QPoint(-250, 30));
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(60, 140), QPointF(grab + QPoint(-250, 30)),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(notice, &release);
        QMouseEvent hover(QEvent::MouseMove, QPointF(0, 0), QPointF(grab), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(notice, &hover);
        QCOMPARE(notice->pos(), start + QPoint(-250, 30)); // released: no more moving
    }

    void noticesLeaveTheFocusAlone()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *edit = new QLineEdit(&window);
        layout->addWidget(edit);
        layout->addWidget(new QLineEdit(&window));
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());

        TBalloonZ *first = bw::ShowRequestNotice();
        TBalloonZ *second = bw::ShowRequestNotice();
        TBalloonS *reminder = bw::ShowTaskNotice(QStringLiteral("Call back"), QString(), QStringLiteral("Reminder"),
                                                 QString(), false, 0, 0);
        QCOMPARE(first->pos(), second->pos()); // drawn at one place, the newest on top
        QVERIFY(first != second);
        QVERIFY(!reminder->confirmButton()->isVisibleTo(reminder));
        QTRY_COMPARE(QApplication::activeWindow(), &window);
        QTest::qWait(50);
        QCOMPARE(QApplication::activeWindow(), &window);
        QVERIFY(edit->hasFocus());
    }
};

QTEST_MAIN(TestBalloons)
#include "tst_balloons.moc"
