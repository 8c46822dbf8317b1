#include "data/Codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace bw {

namespace {

QByteArray g_legacy = "windows-1251";

const char *codecName(int charsetId)
{
    switch (charsetId) {
    case CsUtf8:
    case CsUnicodeFss:
        return "UTF-8";
    case CsWin1251:
        return "windows-1251";
    case CsWin1252:
        return "windows-1252";
    case CsKoi8r:
        return "KOI8-R";
    case CsOctets:
    case CsAscii:
        return "ISO-8859-1";
    default:
        return nullptr; // NONE and anything unknown: the legacy code page
    }
}

} // namespace

void setLegacyCodepage(const QByteArray &name)
{
    g_legacy = name;
}

QByteArray legacyCodepage()
{
    return g_legacy;
}

QString decodeCharset(int charsetId, const char *data, qsizetype len)
{
    if (len <= 0)
        return QString();
    switch (charsetId) {
    case CsUtf8:
    case CsUnicodeFss:
        return QString::fromUtf8(data, len);
    case CsOctets:
    case CsAscii:
        return QString::fromLatin1(data, len);
    default:
        break;
    }
    const char *name = codecName(charsetId);
    QStringDecoder decoder(name ? QByteArray(name) : g_legacy);
    if (!decoder.isValid())
        return QString::fromLatin1(data, len);
    return decoder.decode(QByteArrayView(data, len));
}

QByteArray encodeCharset(int charsetId, const QString &text)
{
    switch (charsetId) {
    case CsUtf8:
    case CsUnicodeFss:
        return text.toUtf8();
    case CsOctets:
    case CsAscii:
        return text.toLatin1();
    default:
        break;
    }
    const char *name = codecName(charsetId);
    QStringEncoder encoder(name ? QByteArray(name) : g_legacy);
    if (!encoder.isValid())
        return text.toLatin1();
    return encoder.encode(text);
}

} // namespace bw
