#include "notify/MailComposer.h"

#include "data/Codepage.h"
#include "i18n/Catalogue.h"

#include <QAtomicInteger>

#include <algorithm>

namespace bw {

namespace {

const QByteArray kWindows1251 = QByteArrayLiteral("windows-1251");
const QByteArray kKoi8r = QByteArrayLiteral("koi8-r");
const QByteArray kCrlf = QByteArrayLiteral("\r\n");

// KOI8-R codes of а..я (U+0430..U+044F), in alphabetical order; the capitals are 0x20 higher.
constexpr unsigned char kKoi8Small[32] = {
    0xC1, 0xC2, 0xD7, 0xC7, 0xC4, 0xC5, 0xD6, 0xDA, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF, 0xD0,
    0xD2, 0xD3, 0xD4, 0xD5, 0xC6, 0xC8, 0xC3, 0xDE, 0xDB, 0xDD, 0xDF, 0xD9, 0xD8, 0xDC, 0xC0, 0xD1,
};
constexpr unsigned char kKoi8SmallYo = 0xA3;
constexpr unsigned char kKoi8NumberSign = 0x97;

QString labelled(const char *key, const QString &value)
{
    return msg(key) + QLatin1Char(' ') + value;
}

QString importanceText(int importance)
{
    switch (importance) {
    case 1: return msg("DLG45");
    case 2: return msg("DLG46");
    case 3: return msg("DLG47");
    default: return QString();
    }
}

// Header values come from fields and the database; a line break in one would start a header of its own.
QString singleLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

QByteArray envelopeAddress(const QString &address)
{
    QString a = singleLine(address).trimmed();
    a.remove(QLatin1Char('<'));
    a.remove(QLatin1Char('>'));
    return toWindows1251(a);
}

bool isPlainAscii(const QByteArray &bytes)
{
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80 || (u < 0x20 && u != '\t'))
            return false;
    }
    return true;
}

// Body text: every line break as CRLF, and no line longer than SMTP allows (998 octets).
QByteArray bodyBytes(const QStringList &lines)
{
    QString text = lines.join(QLatin1Char('\n'));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QByteArray out;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        QByteArray bytes = toWindows1251(line);
        constexpr int kMaxLine = 990;
        while (bytes.size() > kMaxLine) {
            out += bytes.left(kMaxLine) + kCrlf;
            bytes.remove(0, kMaxLine);
        }
        out += bytes + kCrlf;
    }
    return out;
}

QByteArray messageId()
{
    static QAtomicInteger<quint32> counter;
    return QByteArrayLiteral("<") + QByteArray::number(QDateTime::currentMSecsSinceEpoch()) + '.' +
           QByteArray::number(counter.fetchAndAddRelaxed(1) + 1) + QByteArrayLiteral("@brindlewick.helpdesk>");
}

// Sender name, recipient and subject in the header encoding: as typed (Windows-1251) or recoded to KOI8-R.
struct HeaderTexts
{
    QByteArray charset;
    QByteArray fromName;
    QByteArray recipient;
    QByteArray subject;
};

HeaderTexts headerTexts(const QString &fromName, const QString &recipient, const QString &subject,
                        const MailSendContext &context)
{
    HeaderTexts h;
    const bool koi8 = context.mail.CB14;
    const bool recoded = koi8 && context.languageFile.compare(QLatin1String("english.ini"), Qt::CaseInsensitive) != 0;
    // The recoding leaves the bytes in Windows-1251 under english.ini, so they are declared as such.
    h.charset = recoded ? kKoi8r : kWindows1251;
    if (koi8) {
        h.fromName = ToKoi8r(singleLine(fromName), context.languageFile);
        h.recipient = ToKoi8r(singleLine(recipient).trimmed(), context.languageFile);
        h.subject = ToKoi8r(singleLine(subject), context.languageFile);
    } else {
        h.fromName = toWindows1251(singleLine(fromName));
        h.recipient = toWindows1251(singleLine(recipient).trimmed());
        h.subject = toWindows1251(singleLine(subject));
    }
    return h;
}

QByteArray quotedDisplayName(const QByteArray &name)
{
    QByteArray q = name;
    q.replace('\\', "\\\\");
    q.replace('"', "\\\"");
    return '"' + q + '"';
}

ComposedMail compose(const QString &subject, const QStringList &body, const QString &recipient,
                     const MailSendContext &context)
{
    const MailSettings &m = context.mail;
    const HeaderTexts h = headerTexts(m.ED5, recipient, subject, context);

    ComposedMail mail;
    mail.subject = subject;
    mail.bodyLines = body;
    mail.headerCharset = h.charset;
    mail.mailFrom = envelopeAddress(m.ED6);
    mail.rcptTo = envelopeAddress(recipient);

    QByteArray from;
    if (h.fromName.trimmed().isEmpty())
        from = '<' + mail.mailFrom + '>';
    else if (isPlainAscii(h.fromName))
        from = quotedDisplayName(h.fromName) + " <" + mail.mailFrom + '>';
    else
        from = encodeHeaderText(h.fromName, h.charset) + "\r\n <" + mail.mailFrom + '>';

    const QByteArray &to = h.recipient;
    const QByteArray toHeader = isPlainAscii(to) ? '<' + to + '>' : encodeHeaderText(to, h.charset);

    const QDateTime now = context.now.isValid() ? context.now : QDateTime::currentDateTime();
    QByteArray msgText;
    msgText += "From: " + from + kCrlf;
    msgText += "To: " + toHeader + kCrlf;
    msgText += "Subject: " + encodeHeaderText(h.subject, h.charset) + kCrlf;
    msgText += "Date: " + now.toString(Qt::RFC2822Date).toLatin1() + kCrlf;
    msgText += "Message-ID: " + messageId() + kCrlf;
    msgText += "MIME-Version: 1.0" + kCrlf;
    msgText += "Content-Type: text/plain; charset=windows-1251" + kCrlf;
    msgText += "Content-Transfer-Encoding: 8bit" + kCrlf;
    msgText += kCrlf;
    msgText += bodyBytes(body);
    mail.message = msgText;
    return mail;
}

} // namespace

QByteArray toWindows1251(const QString &text)
{
    return encodeCharset(CsWin1251, text);
}

QByteArray ToKoi8r(const QString &text, const QString &languageFile)
{
    if (languageFile.compare(QLatin1String("english.ini"), Qt::CaseInsensitive) == 0)
        return toWindows1251(text);
    QByteArray out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u >= 0x0430 && u <= 0x044F)
            out += char(kKoi8Small[u - 0x0430]);
        else if (u >= 0x0410 && u <= 0x042F)
            out += char(kKoi8Small[u - 0x0410] + 0x20);
        else if (u == 0x0451) // ё
            out += char(kKoi8SmallYo);
        else if (u == 0x2116) // №
            out += char(kKoi8NumberSign);
        else
            out += toWindows1251(QString(ch));
    }
    return out;
}

QByteArray encodeHeaderText(const QByteArray &bytes, const QByteArray &charset)
{
    if (isPlainAscii(bytes))
        return bytes;
    // Words of at most 64 characters keep a header line, "Subject: " included, well within the 76 characters
    // that RFC 2047 allows; a single-byte character set can be cut anywhere.
    const int overhead = int(charset.size()) + 7;
    const int perWord = std::max(3, ((64 - overhead) / 4) * 3);
    QByteArray out;
    for (int pos = 0; pos < bytes.size(); pos += perWord) {
        if (pos > 0)
            out += "\r\n ";
        out += "=?" + charset + "?B?" + bytes.mid(pos, perWord).toBase64() + "?=";
    }
    return out;
}

QStringList executorBodyLines(const MailNotice &n, const MailSettings &m)
{
    QStringList lines;
    if (m.CB1)
        lines << labelled("DLG86", QString::number(n.requestNumber));
    if (m.CB8)
        lines << labelled("DLG87", n.arrivalTime);
    if (m.CB9 && n.importance >= 1 && n.importance <= 3)
        lines << labelled("DLG88", importanceText(n.importance));
    if (m.CB2)
        lines << labelled("DLG89", n.topic);
    if (m.CB3)
        lines << labelled("DLG90", n.refinement);
    if (m.CB4)
        lines << labelled("DLG91", n.details);
    if (m.CB5)
        lines << labelled("DLG92", n.contact);
    lines << n.groupLine;
    if (m.CB6)
        lines << labelled("DLG94", n.startTime);
    if (m.CB7)
        lines << n.computerLine;
    return lines;
}

QString executorSubject(const MailNotice &n, const MailSettings &m)
{
    QString subject = m.ED7;
    if (m.CB12)
        subject += QLatin1String(" #") + QString::number(n.requestNumber);
    return subject;
}

QStringList requesterBodyLines(const ClientMailNotice &n)
{
    return {labelled("DLG86", QString::number(n.requestNumber)), labelled("DLG89", n.topic),
            labelled("DLG90", n.refinement), n.executorLine, labelled("DLG91", n.currentInfo)};
}

QString requesterSubject(const ClientMailNotice &n)
{
    const QString status = n.status >= 0 && n.status <= 4 ? msg(54 + n.status) : QString();
    return msg("DLG530") + QString::number(n.requestNumber) + QLatin1String(" - ") + status;
}

ComposedMail composeExecutorMail(const MailNotice &notice, const MailSendContext &context)
{
    return compose(executorSubject(notice, context.mail), executorBodyLines(notice, context.mail), notice.recipient,
                   context);
}

ComposedMail composeRequesterMail(const ClientMailNotice &notice, const MailSendContext &context)
{
    return compose(requesterSubject(notice), requesterBodyLines(notice), notice.recipient, context);
}

} // namespace bw
