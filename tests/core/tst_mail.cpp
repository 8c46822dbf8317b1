#include "app/AppState.h"
#include "app/Shell.h"
#include "i18n/Catalogue.h"
#include "notify/MailComposer.h"
#include "notify/MailQueue.h"
#include "notify/MailSender.h"
#include "settings/Settings.h"
#include "support/SmtpSink.h"

#include <QMutex>
#include <QStringEncoder>
#include <QTimer>
#include <QtTest>

using namespace bw;
using bwtest::SmtpSink;

namespace {

constexpr int kDeliveryTimeoutMs = 30000;

MailNotice sampleNotice(int id, const QString &recipient = QStringLiteral("exec@example.test"))
{
    MailNotice n;
    n.requestNumber = id;
    n.arrivalTime = QStringLiteral("01.02.2024 10:15:00");
    n.importance = 2;
    n.topic = QStringLiteral("Не печатает принтер");
    n.refinement = QStringLiteral("HP LaserJet");
    n.details = QStringLiteral("Замятие бумаги");
    n.contact = QStringLiteral("Иванов И.И.");
    n.groupLine = QStringLiteral("Отдел/группа: Бухгалтерия");
    n.startTime = QStringLiteral("сегодня");
    n.computerLine = QStringLiteral("Инфо о ПК: OS:Windows, CPU:x86, RAM:4096, ID:10.0.0.7");
    n.recipient = recipient;
    return n;
}

QByteArray koi8r(const QString &s)
{
    return QByteArray(QStringEncoder("KOI8-R").encode(s));
}

QByteArray win1251(const QString &s)
{
    return QByteArray(QStringEncoder("windows-1251").encode(s));
}

struct Failures
{
    QMutex mutex;
    QList<QByteArray> recipients;
    int count()
    {
        QMutexLocker lock(&mutex);
        return int(recipients.size());
    }
};

} // namespace

class TestMail : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void executorBody_data();
    void executorBody();
    void subjects_data();
    void subjects();
    void requesterNotice();
    void toKoi8r_data();
    void toKoi8r();
    void headers_data();
    void headers();
    void headerInjectionIsRefused();
    void queueRules();

    void threeNoticesArriveInOrder();
    void refusedConnectionDropsNoticeAndQueueGoesOn();
    void failedNoticeInTheMiddleIsSkipped();
    void bothQueuesDeliver();
    void authentication_data();
    void authentication();
    void badPortIsNotSent();

private:
    void waitIdle();
    void pointAt(quint16 port);
    Failures m_failures;
};

void TestMail::initTestCase()
{
    installMailSenders();
    setMailSendObserver([this](const ComposedMail &mail, const SendResult &result) {
        if (!result.sent) {
            QMutexLocker lock(&m_failures.mutex);
            m_failures.recipients << mail.rcptTo;
        }
    });
}

void TestMail::init()
{
    resetSettings();
    resetAppState();
    resetMessages();
    applyBuiltinMessages();
    setMessage(86, QStringLiteral("№ заявки:"));
    setMessage(87, QStringLiteral("Поступила:"));
    setMessage(88, QStringLiteral("Важность:"));
    setMessage(89, QStringLiteral("Наименование:"));
    setMessage(90, QStringLiteral("Уточнение:"));
    setMessage(91, QStringLiteral("Подробности:"));
    setMessage(92, QStringLiteral("Контактное лицо:"));
    setMessage(94, QStringLiteral("Время начала:"));
    setMessage(530, QStringLiteral("Заявка №"));
    settings().CB7 = true;
    mailSettings().ED1 = QStringLiteral("127.0.0.1");
    mailSettings().ED6 = QStringLiteral("helpdesk@example.test");
    QMutexLocker lock(&m_failures.mutex);
    m_failures.recipients.clear();
}

void TestMail::cleanup()
{
    waitIdle();
    MailQueue().clear();
    ClientMailQueue().clear();
    mainTimers().emailT->stop();
    mainTimers().emailT_CLIENT->stop();
}

void TestMail::waitIdle()
{
    QTRY_VERIFY_WITH_TIMEOUT(!MailQueue().senderBusy() && !ClientMailQueue().senderBusy()
                                 && !mainTimers().emailT->isActive() && !mainTimers().emailT_CLIENT->isActive(),
                             kDeliveryTimeoutMs);
}

void TestMail::pointAt(quint16 port)
{
    mailSettings().ED2 = QString::number(port);
}

void TestMail::executorBody_data()
{
    QTest::addColumn<QString>("options"); // CB1..CB10 as "1"/"0"
    QTest::addColumn<int>("importance");
    QTest::addColumn<QString>("groupLine");
    QTest::addColumn<QStringList>("expected");

    QTest::addRow("all off: only the group line") << "0000000000" << 2 << "" << QStringList{""};
    QTest::addRow("all off, group stored") << "0000000000" << 2 << "Отдел/группа: ИТ"
                                           << QStringList{"Отдел/группа: ИТ"};
    QTest::addRow("importance 2") << "0000000010" << 2 << ""
                                  << QStringList{"Важность: Необходимо рассмотреть в течении дня", ""};
    QTest::addRow("importance 1") << "0000000010" << 1 << ""
                                  << QStringList{"Важность: Необходимо рассмотреть в ближайший час", ""};
    QTest::addRow("importance out of range: no line") << "0000000010" << 7 << "" << QStringList{""};
    QTest::addRow("all on, in order")
        << "1111111111" << 3 << "Отдел/группа: Бухгалтерия"
        << QStringList{"№ заявки: 125",
                       "Поступила: 01.02.2024 10:15:00",
                       "Важность: Необходимо рассмотреть по возможности",
                       "Наименование: Не печатает принтер",
                       "Уточнение: HP LaserJet",
                       "Подробности: Замятие бумаги",
                       "Контактное лицо: Иванов И.И.",
                       "Отдел/группа: Бухгалтерия",
                       "Время начала: сегодня",
                       "Инфо о ПК: OS:Windows, CPU:x86, RAM:4096, ID:10.0.0.7"};
}

void TestMail::executorBody()
{
    QFETCH(QString, options);
    QFETCH(int, importance);
    QFETCH(QString, groupLine);
    QFETCH(QStringList, expected);

    MailSettings m;
    bool *boxes[] = {&m.CB1, &m.CB2, &m.CB3, &m.CB4, &m.CB5, &m.CB6, &m.CB7, &m.CB8, &m.CB9, &m.CB10};
    for (int i = 0; i < 10; ++i)
        *boxes[i] = options.at(i) == QLatin1Char('1');
    MailNotice n = sampleNotice(125);
    n.importance = importance;
    n.groupLine = groupLine;
    QCOMPARE(executorBodyLines(n, m), expected);

    // The same lines make the Windows-1251 body of the message, CRLF after each.
    MailSendContext c;
    c.mail = m;
    const ComposedMail mail = composeExecutorMail(n, c);
    const QByteArray body = mail.message.mid(mail.message.indexOf("\r\n\r\n") + 4);
    QCOMPARE(body, win1251(expected.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    QVERIFY(mail.message.contains("\r\nContent-Type: text/plain; charset=windows-1251\r\n"));
}

void TestMail::subjects_data()
{
    QTest::addColumn<QString>("ed7");
    QTest::addColumn<bool>("numberInSubject");
    QTest::addColumn<QString>("expected");
    QTest::addRow("number in subject") << "Новая заявка" << true << "Новая заявка #125";
    QTest::addRow("without number") << "Новая заявка" << false << "Новая заявка";
    QTest::addRow("empty subject") << "" << true << " #125";
}

void TestMail::subjects()
{
    QFETCH(QString, ed7);
    QFETCH(bool, numberInSubject);
    QFETCH(QString, expected);
    MailSettings m;
    m.ED7 = ed7;
    m.CB12 = numberInSubject;
    QCOMPARE(executorSubject(sampleNotice(125), m), expected);
}

void TestMail::requesterNotice()
{
    ClientMailNotice n;
    n.requestNumber = 125;
    n.topic = QStringLiteral("Нет сети");
    n.refinement = QStringLiteral("Кабель");
    n.executorLine = QString(); // no executor
    n.currentInfo = QStringLiteral("Заменили кабель");
    n.status = 1;
    n.recipient = QStringLiteral("user@example.test");

    const QStringList lines = requesterBodyLines(n);
    QCOMPARE(lines, (QStringList{"№ заявки: 125", "Наименование: Нет сети", "Уточнение: Кабель", "",
                                 "Подробности: Заменили кабель"}));
    QCOMPARE(requesterSubject(n), QStringLiteral("Заявка №125 - Принята к рассмотрению"));

    // Options of executor notices do not apply: all options off changes nothing.
    MailSendContext c;
    c.mail.CB1 = c.mail.CB2 = c.mail.CB3 = c.mail.CB4 = c.mail.CB12 = false;
    const ComposedMail mail = composeRequesterMail(n, c);
    QCOMPARE(mail.bodyLines, lines);
    QCOMPARE(mail.rcptTo, QByteArray("user@example.test"));

    n.status = 9; // no status text, still a subject
    QCOMPARE(requesterSubject(n), QStringLiteral("Заявка №125 - "));
}

void TestMail::toKoi8r_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("languageFile");
    QTest::addColumn<QByteArray>("expected");

    const QString phrase = QStringLiteral("Новая заявка");
    QTest::addRow("Cyrillic") << phrase << "russian.ini" << koi8r(phrase);
    QTest::addRow("whole alphabet")
        << QStringLiteral("АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюяё") << "russian.ini"
        << koi8r(QStringLiteral("АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюяё"));
    QTest::addRow("digits, Latin, punctuation") << "Abc xyz 0123456789 #-.,!?" << "russian.ini"
                                                << QByteArray("Abc xyz 0123456789 #-.,!?");
    QTest::addRow("capital Yo unchanged") << "Ё" << "russian.ini" << QByteArray("\xA8");
    QTest::addRow("number sign") << "№5" << "russian.ini" << QByteArray("\x97" "5");
    QTest::addRow("english.ini: nothing recoded") << phrase << "english.ini" << win1251(phrase);
    QTest::addRow("no language file: recoded") << "Я" << "" << QByteArray("\xF1");
}

void TestMail::toKoi8r()
{
    QFETCH(QString, text);
    QFETCH(QString, languageFile);
    QFETCH(QByteArray, expected);
    QCOMPARE(ToKoi8r(text, languageFile), expected);
}

void TestMail::headers_data()
{
    QTest::addColumn<bool>("koi8");
    QTest::addColumn<QString>("languageFile");
    QTest::addColumn<QByteArray>("charset");

    QTest::addRow("ANSI") << false << "russian.ini" << QByteArray("windows-1251");
    QTest::addRow("KOI-8R") << true << "russian.ini" << QByteArray("koi8-r");
    QTest::addRow("KOI-8R under english.ini") << true << "english.ini" << QByteArray("windows-1251");
}

void TestMail::headers()
{
    QFETCH(bool, koi8);
    QFETCH(QString, languageFile);
    QFETCH(QByteArray, charset);

    MailSendContext c;
    c.mail.setCB14(koi8);
    c.mail.setCB13(!koi8);
    c.mail.ED5 = QStringLiteral("Уведомление от TOVEX");
    c.mail.ED6 = QStringLiteral("helpdesk@example.test");
    c.mail.ED7 = QStringLiteral("Новая заявка, очень длинная тема письма для проверки переноса строк заголовка");
    c.languageFile = languageFile;
    const ComposedMail mail = composeExecutorMail(sampleNotice(125), c);
    QCOMPARE(mail.headerCharset, charset);

    bwtest::SmtpMessage parsed;
    parsed.data = mail.message;
    const QByteArray subject = parsed.header("Subject");
    QVERIFY2(subject.startsWith("=?" + charset + "?B?"), subject.constData());
    QCOMPARE(SmtpSink::decodeHeader(subject), c.mail.ED7 + QStringLiteral(" #125"));
    const QByteArray from = parsed.header("From");
    QCOMPARE(SmtpSink::decodeHeader(from), QStringLiteral("Уведомление от TOVEX <helpdesk@example.test>"));
    QCOMPARE(parsed.header("To"), QByteArray("<exec@example.test>"));
    // Folded encoded words keep every line of these headers within 76 characters.
    const QByteArray head = mail.message.left(mail.message.indexOf("\r\n\r\n"));
    for (const QByteArray &line : head.split('\n'))
        QVERIFY2(line.trimmed().size() <= 76, line.constData());
    // The body stays Windows-1251 whatever the header encoding.
    QVERIFY(parsed.body().contains(win1251(QStringLiteral("Наименование: Не печатает принтер"))));
}

void TestMail::headerInjectionIsRefused()
{
    MailSendContext c;
    c.mail.ED7 = QStringLiteral("Subject\r\nBcc: spy@example.test");
    MailNotice n = sampleNotice(1, QStringLiteral("exec@example.test\r\nBcc: other@example.test"));
    const ComposedMail mail = composeExecutorMail(n, c);
    const QByteArray head = mail.message.left(mail.message.indexOf("\r\n\r\n"));
    QVERIFY(!head.contains("\r\nBcc:"));
    QVERIFY(!mail.rcptTo.contains('\n'));
}

void TestMail::queueRules()
{
    // Texts are cut to their stored length; no recipient or e-mail off: nothing is queued.
    MailNotice n = sampleNotice(1);
    n.arrivalTime = QString(60, QLatin1Char('x'));
    n.topic = QString(300, QLatin1Char('y'));
    QVERIFY(MailQueue().enqueue(n));
    QVERIFY(mainTimers().emailT->isActive());
    mainTimers().emailT->stop();
    const auto taken = MailQueue().takeFirst();
    QVERIFY(taken);
    QCOMPARE(taken->arrivalTime.size(), 40);
    QCOMPARE(taken->topic.size(), 250);
    QVERIFY(MailQueue().isEmpty());

    QVERIFY(!MailQueue().enqueue(sampleNotice(2, QString())));
    settings().CB7 = false;
    QVERIFY(!MailQueue().enqueue(sampleNotice(3)));
    QVERIFY(MailQueue().isEmpty());
    QVERIFY(!mainTimers().emailT->isActive());

    // A notice queued while a sender is busy waits for it: the timer is not started.
    settings().CB7 = true;
    QVERIFY(MailQueue().enqueue(sampleNotice(4)));
    mainTimers().emailT->stop();
    QVERIFY(MailQueue().beginSending());
    QVERIFY(MailQueue().enqueue(sampleNotice(5)));
    QVERIFY(!mainTimers().emailT->isActive());
    MailQueue().finishSending();
    QTRY_VERIFY(mainTimers().emailT->isActive());
    mainTimers().emailT->stop();
    MailQueue().clear();
}

void TestMail::threeNoticesArriveInOrder()
{
    SmtpSink sink;
    pointAt(sink.port());
    for (int id = 1; id <= 3; ++id)
        QVERIFY(MailQueue().enqueue(sampleNotice(id, QStringLiteral("exec%1@example.test").arg(id))));
    QTRY_COMPARE_WITH_TIMEOUT(sink.messageCount(), 3, kDeliveryTimeoutMs);
    waitIdle();
    const auto messages = sink.messages();
    QCOMPARE(messages.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const auto &m = messages.at(i);
        QCOMPARE(m.mailFrom, QByteArray("helpdesk@example.test"));
        QCOMPARE(m.rcptTo, QList<QByteArray>{QStringLiteral("exec%1@example.test").arg(i + 1).toLatin1()});
        QCOMPARE(SmtpSink::decodeHeader(m.header("Subject")), QStringLiteral("Новая заявка #%1").arg(i + 1));
        QVERIFY(m.body().startsWith(win1251(QStringLiteral("№ заявки: %1\r\n").arg(i + 1))));
        QVERIFY(m.authMechanism.isEmpty());
    }
    QVERIFY(MailQueue().isEmpty());
}

void TestMail::refusedConnectionDropsNoticeAndQueueGoesOn()
{
    pointAt(SmtpSink::closedPort());
    QVERIFY(MailQueue().enqueue(sampleNotice(1, QStringLiteral("lost@example.test"))));
    QTRY_COMPARE_WITH_TIMEOUT(m_failures.count(), 1, kDeliveryTimeoutMs);
    waitIdle();
    QVERIFY(MailQueue().isEmpty());

    SmtpSink sink;
    pointAt(sink.port());
    QVERIFY(MailQueue().enqueue(sampleNotice(2, QStringLiteral("next@example.test"))));
    QTRY_COMPARE_WITH_TIMEOUT(sink.messageCount(), 1, kDeliveryTimeoutMs);
    QCOMPARE(sink.messages().at(0).rcptTo.value(0), QByteArray("next@example.test"));
}

void TestMail::failedNoticeInTheMiddleIsSkipped()
{
    SmtpSink::Options o;
    o.refuseRecipient = "refused@example.test";
    SmtpSink sink(o);
    pointAt(sink.port());
    QVERIFY(MailQueue().enqueue(sampleNotice(1, QStringLiteral("a@example.test"))));
    QVERIFY(MailQueue().enqueue(sampleNotice(2, QStringLiteral("refused@example.test"))));
    QVERIFY(MailQueue().enqueue(sampleNotice(3, QStringLiteral("c@example.test"))));
    QTRY_COMPARE_WITH_TIMEOUT(sink.messageCount(), 2, kDeliveryTimeoutMs);
    waitIdle();
    const auto messages = sink.messages();
    QCOMPARE(messages.size(), 2);
    QCOMPARE(messages.at(0).rcptTo.value(0), QByteArray("a@example.test"));
    QCOMPARE(messages.at(1).rcptTo.value(0), QByteArray("c@example.test"));
    QCOMPARE(m_failures.count(), 1);
}

void TestMail::bothQueuesDeliver()
{
    SmtpSink sink;
    pointAt(sink.port());
    ClientMailNotice c;
    c.requestNumber = 7;
    c.status = 2;
    c.executorLine = QStringLiteral("Исполнитель: Петров");
    c.recipient = QStringLiteral("user@example.test");
    QVERIFY(ClientMailQueue().enqueue(c));
    QVERIFY(MailQueue().enqueue(sampleNotice(8)));
    QTRY_COMPARE_WITH_TIMEOUT(sink.messageCount(), 2, kDeliveryTimeoutMs);
    waitIdle();
    bool sawRequester = false;
    for (const auto &m : sink.messages()) {
        if (m.rcptTo.value(0) == "user@example.test") {
            sawRequester = true;
            QCOMPARE(SmtpSink::decodeHeader(m.header("Subject")), QStringLiteral("Заявка №7 - Успешно решено"));
            QVERIFY(m.body().contains(win1251(QStringLiteral("\r\nИсполнитель: Петров\r\n"))));
        }
    }
    QVERIFY(sawRequester);
}

void TestMail::authentication_data()
{
    QTest::addColumn<bool>("cb11");
    QTest::addColumn<bool>("requireAuth");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("delivered");
    QTest::addColumn<QByteArray>("authUser");

    QTest::addRow("offered, CB11 off: no AUTH") << false << false << "secret" << true << QByteArray();
    QTest::addRow("offered, CB11 on: AUTH") << true << false << "secret" << true << QByteArray("user");
    QTest::addRow("required, wrong password") << true << true << "wrong" << false << QByteArray();
    QTest::addRow("required, CB11 off") << false << true << "secret" << false << QByteArray();
}

void TestMail::authentication()
{
    QFETCH(bool, cb11);
    QFETCH(bool, requireAuth);
    QFETCH(QString, password);
    QFETCH(bool, delivered);
    QFETCH(QByteArray, authUser);

    SmtpSink::Options o;
    o.offerAuth = true;
    o.requireAuth = requireAuth;
    SmtpSink sink(o);
    pointAt(sink.port());
    mailSettings().CB11 = cb11;
    mailSettings().ED3 = QStringLiteral("user");
    mailSettings().ED4 = password;

    MailSendContext c;
    c.mail = mailSettings();
    const SendResult result = sendMail(composeExecutorMail(sampleNotice(1), c), SmtpServer::fromSettings(c.mail));
    QCOMPARE(result.sent, delivered);
    QCOMPARE(sink.messageCount(), delivered ? 1 : 0);
    if (delivered)
        QCOMPARE(sink.messages().at(0).authUser, authUser);
}

void TestMail::badPortIsNotSent()
{
    SmtpSink sink;
    mailSettings().ED2 = QStringLiteral("25x");
    MailSendContext c;
    c.mail = mailSettings();
    const SendResult result = sendMail(composeExecutorMail(sampleNotice(1), c), SmtpServer::fromSettings(c.mail));
    QVERIFY(!result.sent);
    QCOMPARE(sink.connectionCount(), 0);
}

QTEST_GUILESS_MAIN(TestMail)
#include "tst_mail.moc"
