#include "settings/IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace bw {

namespace {

const char *const kCodepage = "windows-1251";

bool isSectionHeader(const QString &line, QString *name = nullptr)
{
    const QString t = line.trimmed();
    if (!t.startsWith(u'['))
        return false;
    if (name) {
        const qsizetype close = t.indexOf(u']');
        *name = (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
    }
    return true;
}

} // namespace

IniFile::IniFile(const QString &path)
    : m_path(path)
{
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) {
        m_exists = true;
        parse(f.readAll());
    } else if (QFile::exists(path)) {
        // There but not readable: writing would replace contents we never saw.
        m_unreadable = true;
    }
}

IniFile IniFile::fromBytes(const QByteArray &bytes)
{
    IniFile ini;
    ini.m_exists = true;
    ini.parse(bytes);
    return ini;
}

void IniFile::parse(const QByteArray &bytes)
{
    QStringDecoder decode(kCodepage);
    const QString text = decode(bytes);
    m_lines.clear();
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            m_lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        m_lines.append(text.mid(start));
}

QString IniFile::keyOf(const QString &line)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return QString();
    return line.left(eq).trimmed();
}

int IniFile::findSection(const QString &section) const
{
    QString name;
    for (int i = 0; i < m_lines.size(); ++i) {
        if (isSectionHeader(m_lines.at(i), &name) && name.compare(section.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int IniFile::findKey(int sectionLine, const QString &key) const
{
    if (sectionLine < 0)
        return -1;
    const QString wanted = key.trimmed();
    for (int i = sectionLine + 1; i < m_lines.size(); ++i) {
        const QString &line = m_lines.at(i);
        if (isSectionHeader(line))
            break;
        if (line.trimmed().startsWith(u';'))
            continue;
        const QString k = keyOf(line);
        if (!k.isEmpty() && k.compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool IniFile::hasSection(const QString &section) const
{
    return findSection(section) >= 0;
}

bool IniFile::hasKey(const QString &section, const QString &key) const
{
    return findKey(findSection(section), key) >= 0;
}

QStringList IniFile::sections() const
{
    QStringList out;
    QString name;
    for (const QString &line : m_lines) {
        if (isSectionHeader(line, &name))
            out.append(name);
    }
    return out;
}

QStringList IniFile::keys(const QString &section) const
{
    QStringList out;
    const int s = findSection(section);
    if (s < 0)
        return out;
    for (int i = s + 1; i < m_lines.size(); ++i) {
        const QString &line = m_lines.at(i);
        if (isSectionHeader(line))
            break;
        if (line.trimmed().startsWith(u';'))
            continue;
        const QString k = keyOf(line);
        if (!k.isEmpty())
            out.append(k);
    }
    return out;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &def) const
{
    const int k = findKey(findSection(section), key);
    if (k < 0)
        return def;
    const QString &line = m_lines.at(k);
    return line.mid(line.indexOf(u'=') + 1);
}

bool IniFile::parseBool(const QString &text, bool *ok)
{
    const QString t = text.trimmed();
    // Any decimal number, however long: true when a digit other than 0 is present.
    qsizetype i = (t.startsWith(u'-') || t.startsWith(u'+')) ? 1 : 0;
    if (i < t.size()) {
        bool nonZero = false;
        bool digits = true;
        for (qsizetype j = i; j < t.size() && digits; ++j) {
            const QChar c = t.at(j);
            digits = c >= u'0' && c <= u'9';
            nonZero = nonZero || (digits && c != u'0');
        }
        if (digits) {
            *ok = true;
            return nonZero;
        }
    }
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
        *ok = true;
        return true;
    }
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
        *ok = true;
        return false;
    }
    *ok = false;
    return false;
}

bool IniFile::readBool(const QString &section, const QString &key, bool def, bool *ok) const
{
    if (ok)
        *ok = true;
    if (!hasKey(section, key))
        return def;
    bool parsed = false;
    const bool v = parseBool(readString(section, key), &parsed);
    if (!parsed) {
        if (ok)
            *ok = false;
        return def;
    }
    return v;
}

int IniFile::readInt(const QString &section, const QString &key, int def, bool *ok) const
{
    if (ok)
        *ok = true;
    if (!hasKey(section, key))
        return def;
    bool parsed = false;
    const int v = readString(section, key).trimmed().toInt(&parsed);
    if (!parsed) {
        if (ok)
            *ok = false;
        return def;
    }
    return v;
}

bool IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    // A key or section that could not be read back as written is refused instead of corrupting the file.
    const QString k0 = key.trimmed();
    if (k0.isEmpty() || k0.contains(u'=') || k0.contains(u'\r') || k0.contains(u'\n') || k0.startsWith(u'[')
        || k0.startsWith(u';'))
        return false;
    if (section.contains(u']') || section.contains(u'\r') || section.contains(u'\n'))
        return false;
    QString flat = value;
    flat.replace(u'\r', u' ').replace(u'\n', u' '); // a value cannot span lines
    const QString line = k0 + u'=' + flat;
    int s = findSection(section);
    if (s < 0) {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            m_lines.append(QString());
        m_lines.append(u'[' + section.trimmed() + u']');
        m_lines.append(line);
    } else {
        const int k = findKey(s, key);
        if (k >= 0) {
            const QString &old = m_lines.at(k);
            m_lines[k] = old.left(old.indexOf(u'=') + 1) + flat;
        } else {
            // after the last non-blank line of the section
            int insertAt = s + 1;
            for (int i = s + 1; i < m_lines.size() && !isSectionHeader(m_lines.at(i)); ++i) {
                if (!m_lines.at(i).trimmed().isEmpty())
                    insertAt = i + 1;
            }
            m_lines.insert(insertAt, line);
        }
    }
    return m_autoSave ? save() : true;
}

bool IniFile::writeBool(const QString &section, const QString &key, bool value)
{
    return writeString(section, key, value ? QStringLiteral("-1") : QStringLiteral("0"));
}

bool IniFile::writeInt(const QString &section, const QString &key, int value)
{
    return writeString(section, key, QString::number(value));
}

QByteArray IniFile::toBytes() const
{
    QStringEncoder encode(kCodepage);
    QByteArray out;
    for (const QString &line : m_lines) {
        out += encode(line);
        out += "\r\n";
    }
    return out;
}

bool IniFile::save()
{
    if (m_path.isEmpty())
        return true;
    if (m_unreadable)
        return false;
    QSaveFile f(m_path);
    // A folder that lets us rewrite the file but not create the temporary beside it is still writable.
    f.setDirectWriteFallback(true);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = toBytes();
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    const bool ok = f.commit();
    if (ok)
        m_exists = true;
    return ok;
}

} // namespace bw
