#include "settings/ConfigLoader.h"

#include "app/AppState.h"
#include "settings/HostAddresses.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringDecoder>

namespace bw {

namespace {

const QString kSection = QStringLiteral("Settings");

QString filePath(const QString &dir, const QString &name)
{
    return dir + u'/' + name;
}

QString withoutTrailingSeparator(QString dir)
{
    while (dir.size() > 1 && (dir.endsWith(u'/') || dir.endsWith(u'\\')))
        dir.chop(1);
    return dir;
}

QString shown(const QString &value)
{
    constexpr qsizetype kMax = 40;
    return value.size() > kMax ? value.left(kMax) + QStringLiteral("…") : value;
}

QString badValueText(const QString &file, const QString &key, const QString &value, const QString &used)
{
    return QStringLiteral("Файл %1: значение %2=\"%3\" не распознано, используется %4.")
        .arg(file, key, shown(value), used);
}

QString writeFailedText(const QString &path)
{
    return QStringLiteral("Не удалось записать файл %1.").arg(path);
}

// Reads keys of one file's section "Settings" with the current value as default; an unconvertible value
// is reported and leaves the current value.
class KeyReader final
{
public:
    KeyReader(IniFile &ini, QString fileName, QStringList *problems)
        : m_ini(ini), m_fileName(std::move(fileName)), m_problems(problems)
    {
    }

    QString text(const QString &key, const QString &current) const
    {
        return m_ini.readString(kSection, key, current);
    }

    bool boolean(const QString &key, bool current) const
    {
        bool ok = true;
        const bool v = m_ini.readBool(kSection, key, current, &ok);
        if (!ok)
            report(key, current ? QStringLiteral("-1") : QStringLiteral("0"));
        return v;
    }

    int integer(const QString &key, int current) const
    {
        bool ok = true;
        const int v = m_ini.readInt(kSection, key, current, &ok);
        if (!ok)
            report(key, QString::number(current));
        return v;
    }

private:
    void report(const QString &key, const QString &used) const
    {
        if (m_problems)
            m_problems->append(badValueText(m_fileName, key, m_ini.readString(kSection, key), used));
    }

    IniFile &m_ini;
    QString m_fileName;
    QStringList *m_problems;
};

// First line of first.ini as a boolean; problems get a text and the result is false when the file cannot
// be read or its line is not a boolean.
bool readFirstRun(const QString &dir, QStringList &problems)
{
    const QString path = filePath(dir, QStringLiteral("first.ini"));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        problems.append(QStringLiteral("Не удалось прочитать файл %1 (%2). Запуск продолжается без "
                                       "первоначальной настройки.")
                            .arg(path, f.errorString()));
        return false;
    }
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) // left by editors that mark UTF-8
        bytes.remove(0, 3);
    qsizetype end = 0;
    while (end < bytes.size() && bytes.at(end) != '\r' && bytes.at(end) != '\n')
        ++end;
    QStringDecoder decode("windows-1251");
    const QString line = decode(bytes.left(end));
    bool ok = false;
    const bool firstRun = IniFile::parseBool(line, &ok);
    if (!ok) {
        problems.append(badValueText(QStringLiteral("first.ini"), QStringLiteral("(первая строка)"), line,
                                     QStringLiteral("0")));
        return false;
    }
    return firstRun;
}

void readMail(const QString &dir, QStringList *problems)
{
    IniFile ini(filePath(dir, QStringLiteral("mail.ini")));
    const KeyReader r(ini, QStringLiteral("mail.ini"), problems);
    MailSettings &m = mailSettings();
    m.ED1 = r.text(QStringLiteral("ED1"), m.ED1);
    m.ED2 = r.text(QStringLiteral("ED2"), m.ED2);
    m.ED3 = r.text(QStringLiteral("ED3"), m.ED3);
    m.ED4 = r.text(QStringLiteral("ED4"), m.ED4);
    m.ED5 = r.text(QStringLiteral("ED5"), m.ED5);
    m.ED6 = r.text(QStringLiteral("ED6"), m.ED6);
    m.ED7 = r.text(QStringLiteral("ED7"), m.ED7);
    m.CB1 = r.boolean(QStringLiteral("CB1"), m.CB1);
    m.CB2 = r.boolean(QStringLiteral("CB2"), m.CB2);
    m.CB3 = r.boolean(QStringLiteral("CB3"), m.CB3);
    m.CB4 = r.boolean(QStringLiteral("CB4"), m.CB4);
    m.CB5 = r.boolean(QStringLiteral("CB5"), m.CB5);
    m.CB6 = r.boolean(QStringLiteral("CB6"), m.CB6);
    m.CB7 = r.boolean(QStringLiteral("CB7"), m.CB7);
    m.CB8 = r.boolean(QStringLiteral("CB8"), m.CB8);
    m.CB9 = r.boolean(QStringLiteral("CB9"), m.CB9);
    m.CB10 = r.boolean(QStringLiteral("CB10"), m.CB10);
    m.CB11 = r.boolean(QStringLiteral("CB11"), m.CB11);
    m.CB12 = r.boolean(QStringLiteral("CB12"), m.CB12);
    m.setCB13(r.boolean(QStringLiteral("CB13"), m.CB13));
    m.setCB14(r.boolean(QStringLiteral("CB14"), m.CB14));
}

// Steps of a normal start after mail.ini: settings.ini into the model, DatabaseLocation, the dynamic
// address, the clamped intervals written back.
void readSettings(const QString &dir, QStringList &problems)
{
    const QString path = filePath(dir, QStringLiteral("settings.ini"));
    IniFile ini(path);
    const KeyReader r(ini, QStringLiteral("settings.ini"), &problems);
    Settings &s = settings();

    s.setRB1(r.boolean(QStringLiteral("RB1"), s.RB1));
    s.setRB2(r.boolean(QStringLiteral("RB2"), s.RB2));
    s.ED2 = r.text(QStringLiteral("ED2"), s.ED2);
    s.setED3(r.text(QStringLiteral("ED3"), s.ED3));
    s.ED4 = r.text(QStringLiteral("ED4"), s.ED4);
    // After ED3, whose change copies it here: a stored ED1 wins.
    s.ED1 = r.text(QStringLiteral("ED1"), s.ED1);

    if (s.RB1)
        appState().DatabaseLocation = s.ED1 + u':' + s.ED2;

    s.CB1 = r.boolean(QStringLiteral("CB1"), s.CB1);
    s.CB2 = r.boolean(QStringLiteral("CB2"), s.CB2);
    s.CB3 = r.boolean(QStringLiteral("CB3"), s.CB3);
    s.CB4 = r.boolean(QStringLiteral("CB4"), s.CB4);
    s.CB5 = r.boolean(QStringLiteral("CB5"), s.CB5);
    s.CB6 = r.boolean(QStringLiteral("CB6"), s.CB6);
    s.CB7 = r.boolean(QStringLiteral("CB7"), s.CB7);
    s.CB8 = r.boolean(QStringLiteral("CB8"), s.CB8);
    s.CB9 = r.boolean(QStringLiteral("CB9"), s.CB9);
    s.setCHB3(r.boolean(QStringLiteral("CHB3"), s.CHB3));
    s.setCHB4(r.boolean(QStringLiteral("CHB4"), s.CHB4));
    s.EDD = r.text(QStringLiteral("EDD"), s.EDD);

    if (s.CB9) {
        const QString chosen = chooseDynamicAddress(s.ED4List, s.CHB3, s.CHB4, s.EDD);
        if (!chosen.isEmpty())
            s.ED4 = chosen;
    }

    // Out-of-range values are clamped like the sliders do, and the file is corrected at once; this also
    // creates settings.ini on the first normal start. Both keys go into one file replacement.
    s.setINT(r.integer(QStringLiteral("INT"), s.INT));
    s.setINT2(r.integer(QStringLiteral("INT2"), s.INT2));
    ini.setAutoSave(false);
    ini.writeInt(kSection, QStringLiteral("INT"), s.INT);
    ini.writeInt(kSection, QStringLiteral("INT2"), s.INT2);
    if (!ini.save())
        problems.append(writeFailedText(path));

    s.CBB1 = r.boolean(QStringLiteral("CBB1"), s.CBB1);
    s.CBB2 = r.boolean(QStringLiteral("CBB2"), s.CBB2);
    s.CBB3 = r.boolean(QStringLiteral("CBB3"), s.CBB3);
    s.CBB4 = r.boolean(QStringLiteral("CBB4"), s.CBB4);
    s.CBB5 = r.boolean(QStringLiteral("CBB5"), s.CBB5);
    s.CBB6 = r.boolean(QStringLiteral("CBB6"), s.CBB6);
    s.CBB7 = r.boolean(QStringLiteral("CBB7"), s.CBB7);
    s.CBB8 = r.boolean(QStringLiteral("CBB8"), s.CBB8);
    s.CBB9 = r.boolean(QStringLiteral("CBB9"), s.CBB9);
    s.CBB10 = r.boolean(QStringLiteral("CBB10"), s.CBB10);

    s.COM = r.text(QStringLiteral("COM"), s.COM);

    s.Left = r.integer(QStringLiteral("Left"), s.Left);
    s.Top = r.integer(QStringLiteral("Top"), s.Top);
    s.Width = r.integer(QStringLiteral("Width"), s.Width);
    s.Height = r.integer(QStringLiteral("Height"), s.Height);
    s.State = r.integer(QStringLiteral("State"), s.State);
}

} // namespace

QString chooseDynamicAddress(const QStringList &addresses, bool notLocalhostRule, bool maskRule, const QString &mask)
{
    QString chosen;
    if (maskRule) {
        // An empty mask matches nothing (not everything).
        if (!mask.isEmpty()) {
            for (const QString &a : addresses) {
                if (a.contains(mask, Qt::CaseSensitive))
                    chosen = a;
            }
        }
        if (!chosen.isEmpty())
            return chosen;
    }
    if (notLocalhostRule || maskRule) {
        // The last such entry, not the first.
        for (const QString &a : addresses) {
            if (a != QLatin1String("localhost") && a != QLatin1String("127.0.0.1"))
                chosen = a;
        }
    }
    return chosen;
}

void loadMailSettings(const QString &programDir, QStringList *problems)
{
    readMail(withoutTrailingSeparator(programDir), problems);
}

bool rewriteFirstIni(const QString &programDir)
{
    appState().FirstRun = false;
    QFile f(filePath(withoutTrailingSeparator(programDir), QStringLiteral("first.ini")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray line("0\r\n");
    const bool written = f.write(line) == line.size();
    f.close();
    return written && f.error() == QFileDevice::NoError;
}

ConfigLoadResult loadConfiguration(const QString &programDir, const QStringList &addresses, const ConfigHooks &hooks)
{
    ConfigLoadResult result;
    AppState &app = appState();
    Settings &s = settings();
    const QString dir = withoutTrailingSeparator(programDir);

    app.ProgramDir = dir;
    app.DatabaseLocation = dir;
    app.FirstRun = readFirstRun(dir, result.problems);
    s.ED4List = addresses;

    if (app.FirstRun) {
        result.firstRun = true;
        app.LanguageFile = QStringLiteral("english.ini");
        if (hooks.firstRunPrepare)
            hooks.firstRunPrepare();
        readMail(dir, &result.problems);
        if (hooks.firstRunSettings && hooks.firstRunSettings()) {
            if (!rewriteFirstIni(dir))
                result.problems.append(writeFailedText(filePath(dir, QStringLiteral("first.ini"))));
        }
    } else {
        readMail(dir, &result.problems);
        readSettings(dir, result.problems);
        app.LanguageFile = s.COM;
        if (hooks.applyLanguage)
            hooks.applyLanguage();
    }

    result.placement = {s.Left, s.Top, s.Width, s.Height, s.State != 0};
    result.blinkIntervalMs = s.INT;
    result.watchIntervalMs = s.INT2 * 1000;
    return result;
}

ConfigLoadResult loadConfiguration(const ConfigHooks &hooks)
{
    return loadConfiguration(QCoreApplication::applicationDirPath(), thisComputerAddresses(), hooks);
}

} // namespace bw
