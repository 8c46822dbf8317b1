#pragma once

#include "notify/MailQueue.h"
#include "settings/Settings.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace bw {

// One message ready for the SMTP conversation: the envelope and the whole text (headers, blank line,
// body), CRLF line ends, body in Windows-1251.
struct ComposedMail
{
    QByteArray mailFrom;        // envelope sender address (ED6)
    QByteArray rcptTo;          // envelope recipient address
    QByteArray message;
    // What went into the message, for checks.
    QString subject;
    QStringList bodyLines;
    QByteArray headerCharset;   // "windows-1251" or "koi8-r"
};

// What a sender needs of the live settings, copied on the user-interface thread when a sender starts.
struct MailSendContext
{
    MailSettings mail;
    QString languageFile;       // LanguageFile: "english.ini" switches the KOI8-R recoding off
    QDateTime now;              // the Date header; current time when invalid
};

// The body of an executor notice, one entry per line, chosen and ordered by the content options
// CB1..CB10; the group line is always there (empty when the notice has none).
QStringList executorBodyLines(const MailNotice &notice, const MailSettings &mail);
// ED7, plus " #" and the request number when CB12 is on.
QString executorSubject(const MailNotice &notice, const MailSettings &mail);
// The body of a requester notice: number, topic, refinement, executor line, current information.
QStringList requesterBodyLines(const ClientMailNotice &notice);
// DLG530, the request number, " - " and the status text (DLG54..DLG58).
QString requesterSubject(const ClientMailNotice &notice);

ComposedMail composeExecutorMail(const MailNotice &notice, const MailSendContext &context);
ComposedMail composeRequesterMail(const ClientMailNotice &notice, const MailSendContext &context);

// The KOI8-R recoding of header texts: the Windows-1251 bytes of text, with the 64 letters А..я, the
// small ё and the number sign (0x97, KOI8-R has none) replaced by their KOI8-R codes; every other
// character, the capital Ё included, keeps its Windows-1251 byte. With the language file "english.ini"
// nothing is recoded.
QByteArray ToKoi8r(const QString &text, const QString &languageFile);

// Windows-1251 bytes of text (characters outside the code page become '?').
QByteArray toWindows1251(const QString &text);

// A header value as RFC 2047 encoded words in the given character set when the bytes are not plain
// ASCII (the words are folded so that no line runs past 76 characters); plain bytes stay as they are.
QByteArray encodeHeaderText(const QByteArray &bytes, const QByteArray &charset);

} // namespace bw
