#include "notify/MailSender.h"

#include "app/AppState.h"
#include "app/Shell.h"

#include <QMutex>
#include <QMutexLocker>
#include <QTimer>
#include <QUrl>

#include <curl/curl.h>

#include <cstring>
#include <mutex>
#include <thread>

namespace bw {

namespace {

QMutex g_observerMutex;
std::function<void(const ComposedMail &, const SendResult &)> g_observer;

void initCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Upload
{
    const QByteArray *data;
    qsizetype pos = 0;
};

size_t readMessage(char *buffer, size_t size, size_t count, void *userdata)
{
    auto *up = static_cast<Upload *>(userdata);
    const qsizetype room = qsizetype(size * count);
    const qsizetype left = up->data->size() - up->pos;
    const qsizetype n = std::min(room, left);
    if (n <= 0)
        return 0;
    std::memcpy(buffer, up->data->constData() + up->pos, size_t(n));
    up->pos += n;
    return size_t(n);
}

// ED1 may be a name, an IPv4 address or a bare IPv6 address.
QByteArray buildUrl(const QString &host, int port)
{
    QString h = host.trimmed();
    if (h.contains(QLatin1Char(':')) && !h.startsWith(QLatin1Char('[')))
        h = QLatin1Char('[') + h + QLatin1Char(']');
    return "smtp://" + h.toUtf8() + ':' + QByteArray::number(port) + '/';
}

void notifyObserver(const ComposedMail &mail, const SendResult &result)
{
    std::function<void(const ComposedMail &, const SendResult &)> observer;
    {
        QMutexLocker lock(&g_observerMutex);
        observer = g_observer;
    }
    if (observer)
        observer(mail, result);
}

MailSendContext liveContext()
{
    MailSendContext c;
    c.mail = mailSettings();
    c.languageFile = appState().LanguageFile;
    return c;
}

// One sender: the notice is composed here, on the user-interface thread, from the settings of this moment;
// the thread only talks to the server and then lets the queue go on.
template <typename Queue, typename Compose>
void senderTick(QTimer *timer, Queue &queue, Compose compose)
{
    timer->stop();
    auto notice = queue.beginSending();
    if (!notice)
        return;
    const MailSendContext context = liveContext();
    ComposedMail mail = compose(*notice, context);
    SmtpServer server = SmtpServer::fromSettings(context.mail);
    std::thread([&queue, mail = std::move(mail), server = std::move(server)] {
        const SendResult result = sendMail(mail, server);
        notifyObserver(mail, result);
        queue.finishSending();
    }).detach();
}

} // namespace

SmtpServer SmtpServer::fromSettings(const MailSettings &mail)
{
    SmtpServer s;
    s.host = mail.ED1;
    s.port = mail.ED2;
    s.authenticate = mail.CB11;
    s.user = mail.ED3;
    s.password = mail.ED4;
    return s;
}

SendResult sendMail(const ComposedMail &mail, const SmtpServer &server)
{
    SendResult result;
    bool ok = false;
    const int port = server.port.trimmed().toInt(&ok, 10);
    if (!ok || port < 1 || port > 65535) {
        result.error = QStringLiteral("invalid port: ") + server.port;
        return result;
    }
    if (server.host.trimmed().isEmpty()) {
        result.error = QStringLiteral("no server");
        return result;
    }
    if (mail.rcptTo.isEmpty()) {
        result.error = QStringLiteral("no recipient");
        return result;
    }
    initCurl();
    CURL *curl = curl_easy_init();
    if (!curl) {
        result.error = QStringLiteral("curl_easy_init failed");
        return result;
    }
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const QByteArray url = buildUrl(server.host, port);
    const QByteArray from = '<' + mail.mailFrom + '>';
    const QByteArray rcpt = '<' + mail.rcptTo + '>';
    const QByteArray user = server.user.toUtf8();
    const QByteArray password = server.password.toUtf8();
    curl_slist *recipients = curl_slist_append(nullptr, rcpt.constData());
    Upload upload{&mail.message};

    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readMessage);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(mail.message.size()));
    curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_TRY));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(server.connectTimeoutSec));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, long(server.totalTimeoutSec));
    if (server.authenticate) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }

    const CURLcode rc = curl_easy_perform(curl);
    if (rc == CURLE_OK) {
        result.sent = true;
    } else {
        result.error = QString::fromLocal8Bit(errorBuffer[0] ? errorBuffer : curl_easy_strerror(rc));
    }
    curl_slist_free_all(recipients);
    curl_easy_cleanup(curl);
    return result;
}

void installMailSenders()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    initCurl();
    MainTimers &t = mainTimers();
    QObject::connect(t.emailT, &QTimer::timeout, t.emailT,
                     [timer = t.emailT] { senderTick(timer, MailQueue(), composeExecutorMail); });
    QObject::connect(t.emailT_CLIENT, &QTimer::timeout, t.emailT_CLIENT,
                     [timer = t.emailT_CLIENT] { senderTick(timer, ClientMailQueue(), composeRequesterMail); });
}

void setMailSendObserver(std::function<void(const ComposedMail &, const SendResult &)> observer)
{
    QMutexLocker lock(&g_observerMutex);
    g_observer = std::move(observer);
}

} // namespace bw
