#pragma once

#include "notify/MailComposer.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace bw {

// Where and how a message is handed over: the SMTP settings of mail.ini at the moment a sender starts.
struct SmtpServer
{
    QString host;               // ED1
    QString port;               // ED2, as typed; anything but a decimal number 1..65535 cannot be used
    bool authenticate = false;  // CB11
    QString user;               // ED3
    QString password;           // ED4
    int connectTimeoutSec = 15;
    int totalTimeoutSec = 60;

    static SmtpServer fromSettings(const MailSettings &mail);
};

struct SendResult
{
    bool sent = false;
    QString error; // libcurl's description when not sent
};

// Hands one message to the SMTP server (blocking; for sender threads). STARTTLS is used when the server
// offers it; credentials only with authenticate.
SendResult sendMail(const ComposedMail &mail, const SmtpServer &server);

// Connects the sender timers emailT (MailQueue) and emailT_CLIENT (ClientMailQueue). Each tick stops its
// timer, takes the oldest notice, composes it with the live e-mail settings and hands it to a short-lived
// thread; when that thread is done and notices remain, the timer starts again. Once per process.
void installMailSenders();

// Called in the sender thread after every attempt (tests watch delivery failures with it); empty by default.
void setMailSendObserver(std::function<void(const ComposedMail &, const SendResult &)> observer);

} // namespace bw
