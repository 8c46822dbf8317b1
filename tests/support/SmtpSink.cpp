#include "support/SmtpSink.h"

#include <QHostAddress>
#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace bwtest {

namespace {

enum class State
{
    Command,
    Data,
    AuthPlain,
    AuthLoginUser,
    AuthLoginPassword,
};

struct Session
{
    QByteArray buffer;
    State state = State::Command;
    SmtpMessage current;
    QByteArray authMechanism;
    QByteArray authUser;
    QByteArray pendingUser;
    bool authenticated = false;
};

} // namespace

class SmtpSinkServer final
{
public:
    explicit SmtpSinkServer(const SmtpSink::Options &options) : m_options(options)
    {
        m_thread.start();
        m_context = new QObject;
        m_context->moveToThread(&m_thread);
        QMetaObject::invokeMethod(m_context, [this] { listen(); }, Qt::BlockingQueuedConnection);
    }

    ~SmtpSinkServer()
    {
        QMetaObject::invokeMethod(m_context, [this] {
            delete m_server;
            m_server = nullptr;
            delete m_context;
            m_context = nullptr;
        }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    quint16 port() const { return m_port; }

    QList<SmtpMessage> messages() const
    {
        QMutexLocker lock(&m_mutex);
        return m_messages;
    }
    int connections() const
    {
        QMutexLocker lock(&m_mutex);
        return m_connections;
    }
    int failedAuth() const
    {
        QMutexLocker lock(&m_mutex);
        return m_failedAuth;
    }

private:
    void listen()
    {
        m_server = new QTcpServer;
        m_server->listen(QHostAddress::LocalHost, 0);
        m_port = m_server->serverPort();
        QObject::connect(m_server, &QTcpServer::newConnection, m_server, [this] {
            while (QTcpSocket *socket = m_server->nextPendingConnection())
                accept(socket);
        });
    }

    void accept(QTcpSocket *socket)
    {
        {
            QMutexLocker lock(&m_mutex);
            ++m_connections;
        }
        auto session = std::make_shared<Session>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, session] { read(socket, *session); });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        socket->write("220 sink.test ESMTP ready\r\n");
    }

    void read(QTcpSocket *socket, Session &s)
    {
        s.buffer += socket->readAll();
        for (;;) {
            if (s.state == State::Data) {
                const qsizetype end = s.buffer.startsWith(".\r\n") ? 0 : s.buffer.indexOf("\r\n.\r\n");
                if (end < 0)
                    return;
                QByteArray data = end == 0 ? QByteArray() : s.buffer.left(end + 2);
                s.buffer.remove(0, end == 0 ? 3 : end + 5);
                data.replace("\r\n..", "\r\n.");
                if (data.startsWith(".."))
                    data.remove(0, 1);
                s.current.data = data;
                s.current.authMechanism = s.authMechanism;
                s.current.authUser = s.authUser;
                {
                    QMutexLocker lock(&m_mutex);
                    m_messages << s.current;
                }
                s.current = SmtpMessage();
                s.state = State::Command;
                socket->write("250 OK queued\r\n");
                continue;
            }
            const qsizetype eol = s.buffer.indexOf("\r\n");
            if (eol < 0)
                return;
            const QByteArray line = s.buffer.left(eol);
            s.buffer.remove(0, eol + 2);
            if (!answer(socket, s, line))
                return;
        }
    }

    void authResult(QTcpSocket *socket, Session &s, const QByteArray &mechanism, const QByteArray &user,
                    const QByteArray &password)
    {
        s.state = State::Command;
        if (user == m_options.user && password == m_options.password) {
            s.authenticated = true;
            s.authMechanism = mechanism;
            s.authUser = user;
            socket->write("235 2.7.0 Authentication successful\r\n");
        } else {
            QMutexLocker lock(&m_mutex);
            ++m_failedAuth;
            socket->write("535 5.7.8 Authentication credentials invalid\r\n");
        }
    }

    void plainCredentials(QTcpSocket *socket, Session &s, const QByteArray &base64)
    {
        const QList<QByteArray> parts = QByteArray::fromBase64(base64).split('\0');
        if (parts.size() != 3)
            authResult(socket, s, "PLAIN", QByteArray(), QByteArray());
        else
            authResult(socket, s, "PLAIN", parts[1], parts[2]);
    }

    // false when the connection was closed
    bool answer(QTcpSocket *socket, Session &s, const QByteArray &line)
    {
        switch (s.state) {
        case State::AuthPlain:
            plainCredentials(socket, s, line);
            return true;
        case State::AuthLoginUser:
            s.pendingUser = QByteArray::fromBase64(line);
            s.state = State::AuthLoginPassword;
            socket->write("334 UGFzc3dvcmQ6\r\n");
            return true;
        case State::AuthLoginPassword:
            authResult(socket, s, "LOGIN", s.pendingUser, QByteArray::fromBase64(line));
            return true;
        default:
            break;
        }
        const QByteArray upper = line.toUpper();
        const bool authOffered = m_options.offerAuth || m_options.requireAuth;
        if (upper.startsWith("EHLO")) {
            socket->write("250-sink.test\r\n250-8BITMIME\r\n");
            if (authOffered)
                socket->write("250-AUTH PLAIN LOGIN\r\n");
            socket->write("250 SIZE 10485760\r\n");
        } else if (upper.startsWith("HELO")) {
            socket->write("250 sink.test\r\n");
        } else if (upper.startsWith("AUTH ") && authOffered) {
            const QList<QByteArray> words = line.split(' ');
            const QByteArray mech = words.value(1).toUpper();
            if (mech == "PLAIN") {
                if (words.size() > 2) {
                    plainCredentials(socket, s, words[2]);
                } else {
                    s.state = State::AuthPlain;
                    socket->write("334 \r\n");
                }
            } else if (mech == "LOGIN") {
                if (words.size() > 2) {
                    s.pendingUser = QByteArray::fromBase64(words[2]);
                    s.state = State::AuthLoginPassword;
                    socket->write("334 UGFzc3dvcmQ6\r\n");
                } else {
                    s.state = State::AuthLoginUser;
                    socket->write("334 VXNlcm5hbWU6\r\n");
                }
            } else {
                socket->write("504 5.5.4 Unrecognized authentication type\r\n");
            }
        } else if (upper.startsWith("MAIL FROM:")) {
            if (m_options.requireAuth && !s.authenticated) {
                socket->write("530 5.7.0 Authentication required\r\n");
            } else {
                s.current = SmtpMessage();
                s.current.mailFrom = address(line.mid(10));
                socket->write("250 OK\r\n");
            }
        } else if (upper.startsWith("RCPT TO:")) {
            const QByteArray rcpt = address(line.mid(8));
            if (!m_options.refuseRecipient.isEmpty() && rcpt == m_options.refuseRecipient) {
                socket->write("550 5.1.1 Mailbox unavailable\r\n");
            } else {
                s.current.rcptTo << rcpt;
                socket->write("250 OK\r\n");
            }
        } else if (upper == "DATA") {
            if (s.current.rcptTo.isEmpty()) {
                socket->write("503 5.5.1 No recipients\r\n");
            } else {
                s.state = State::Data;
                socket->write("354 End data with <CR><LF>.<CR><LF>\r\n");
            }
        } else if (upper == "RSET") {
            s.current = SmtpMessage();
            socket->write("250 OK\r\n");
        } else if (upper == "NOOP") {
            socket->write("250 OK\r\n");
        } else if (upper == "QUIT") {
            socket->write("221 Bye\r\n");
            socket->disconnectFromHost();
            return false;
        } else {
            socket->write("502 5.5.2 Command not implemented\r\n");
        }
        return true;
    }

    static QByteArray address(QByteArray text)
    {
        text = text.trimmed();
        const qsizetype open = text.indexOf('<');
        const qsizetype close = text.indexOf('>');
        if (open >= 0 && close > open)
            return text.mid(open + 1, close - open - 1);
        return text.split(' ').value(0);
    }

    SmtpSink::Options m_options;
    QThread m_thread;
    QObject *m_context = nullptr;
    QTcpServer *m_server = nullptr;
    quint16 m_port = 0;
    mutable QMutex m_mutex;
    QList<SmtpMessage> m_messages;
    int m_connections = 0;
    int m_failedAuth = 0;
};

QByteArray SmtpMessage::header(const QByteArray &name) const
{
    const qsizetype headerEnd = data.indexOf("\r\n\r\n");
    const QByteArray head = headerEnd < 0 ? data : data.left(headerEnd);
    QByteArray unfolded = head;
    unfolded.replace("\r\n ", " ");
    unfolded.replace("\r\n\t", " ");
    const QByteArray wanted = name.toLower() + ':';
    for (const QByteArray &line : unfolded.split('\n')) {
        const QByteArray l = line.endsWith('\r') ? line.chopped(1) : line;
        if (l.toLower().startsWith(wanted))
            return l.mid(wanted.size()).trimmed();
    }
    return QByteArray();
}

QByteArray SmtpMessage::body() const
{
    const qsizetype headerEnd = data.indexOf("\r\n\r\n");
    return headerEnd < 0 ? QByteArray() : data.mid(headerEnd + 4);
}

SmtpSink::SmtpSink() : SmtpSink(Options{}) {}

SmtpSink::SmtpSink(const Options &options) : m_server(std::make_unique<SmtpSinkServer>(options)) {}

SmtpSink::~SmtpSink() = default;

quint16 SmtpSink::port() const
{
    return m_server->port();
}

QList<SmtpMessage> SmtpSink::messages() const
{
    return m_server->messages();
}

int SmtpSink::messageCount() const
{
    return int(m_server->messages().size());
}

int SmtpSink::connectionCount() const
{
    return m_server->connections();
}

int SmtpSink::failedAuthCount() const
{
    return m_server->failedAuth();
}

quint16 SmtpSink::closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

QString SmtpSink::decodeHeader(const QByteArray &raw)
{
    static const QRegularExpression word(QStringLiteral("=\\?([^?]+)\\?([BbQq])\\?([^?]*)\\?="));
    const QString text = QString::fromLatin1(raw);
    QString out;
    qsizetype pos = 0;
    bool lastWasWord = false;
    auto it = word.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        const QString between = text.mid(pos, m.capturedStart() - pos);
        // White space between two encoded words is not part of the text.
        if (!(lastWasWord && between.trimmed().isEmpty()))
            out += between;
        QByteArray bytes;
        const QByteArray payload = m.captured(3).toLatin1();
        if (m.captured(2).compare(QLatin1String("B"), Qt::CaseInsensitive) == 0) {
            bytes = QByteArray::fromBase64(payload);
        } else {
            QByteArray q = payload;
            q.replace('_', ' ');
            bytes = QByteArray::fromPercentEncoding(q, '=');
        }
        QStringDecoder decoder(m.captured(1).toLatin1());
        out += decoder.isValid() ? QString(decoder.decode(bytes)) : QString::fromLatin1(bytes);
        pos = m.capturedEnd();
        lastWasWord = true;
    }
    out += text.mid(pos);
    return out;
}

} // namespace bwtest
