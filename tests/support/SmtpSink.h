#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

namespace bwtest {

// One message as the sink received it.
struct SmtpMessage
{
    QByteArray mailFrom;           // address of MAIL FROM, without the angle brackets
    QList<QByteArray> rcptTo;      // addresses of RCPT TO
    QByteArray data;               // the DATA text, dot-stuffing undone, CRLF line ends
    QByteArray authMechanism;      // "PLAIN" or "LOGIN"; empty when the client did not authenticate
    QByteArray authUser;

    // The raw value of the first header of that name (case-insensitive), folded lines joined.
    QByteArray header(const QByteArray &name) const;
    // Everything after the blank line that ends the headers.
    QByteArray body() const;
};

class SmtpSinkServer;

// A small SMTP server on 127.0.0.1 for tests, answering from a thread of its own so that clients in any
// thread (or blocking the test's own thread) are served. Records every accepted message.
class SmtpSink final
{
public:
    struct Options
    {
        bool offerAuth = false;    // advertise AUTH PLAIN LOGIN
        bool requireAuth = false;  // refuse MAIL FROM before a successful AUTH
        QByteArray user = "user";
        QByteArray password = "secret";
        QByteArray refuseRecipient; // RCPT TO of this address is answered 550
    };

    SmtpSink();
    explicit SmtpSink(const Options &options);
    ~SmtpSink();
    SmtpSink(const SmtpSink &) = delete;
    SmtpSink &operator=(const SmtpSink &) = delete;

    quint16 port() const;
    QList<SmtpMessage> messages() const;
    int messageCount() const;
    int connectionCount() const;
    int failedAuthCount() const;

    // A port on 127.0.0.1 where nothing listens (connections are refused).
    static quint16 closedPort();
    // Decodes RFC 2047 encoded words ("=?charset?B|Q?...?=") of a header value; other text as Latin-1.
    static QString decodeHeader(const QByteArray &raw);

private:
    std::unique_ptr<SmtpSinkServer> m_server;
};

} // namespace bwtest
