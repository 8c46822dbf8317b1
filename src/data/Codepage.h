#pragma once

#include <QByteArray>
#include <QString>

namespace bw {

// Text of columns without a declared character set (NONE) travels as the 8-bit bytes of the
// Windows clients that share the database: Windows-1251 unless configured otherwise.
void setLegacyCodepage(const QByteArray &name);
QByteArray legacyCodepage();

// Firebird character set ids that the console meets.
enum FbCharset : int {
    CsNone = 0,
    CsOctets = 1,
    CsAscii = 2,
    CsUnicodeFss = 3,
    CsUtf8 = 4,
    CsWin1251 = 52,
    CsWin1252 = 53,
    CsKoi8r = 63,
};

// Decodes/encodes the bytes of a column of the given character set.
QString decodeCharset(int charsetId, const char *data, qsizetype len);
QByteArray encodeCharset(int charsetId, const QString &text);

} // namespace bw
