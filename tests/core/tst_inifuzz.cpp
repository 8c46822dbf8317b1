#include "app/AppState.h"
#include "settings/ConfigLoader.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using bw::IniFile;

namespace {

// Fixed seed: a failure is reproducible from the iteration number alone.
constexpr quint32 kSeed = 20090728;
constexpr int kIniRounds = 4000;
constexpr int kLoaderRounds = 300;

const QList<QByteArray> kSeeds{
    "[Settings]\r\nRB1=-1\r\nRB2=0\r\nED1=192.168.0.10\r\nED2=C:\\Brindlewick\\server\r\nED3=10.0.0.5\r\nED4=\r\n"
    "CB1=0\r\nCB9=-1\r\nCHB3=0\r\nCHB4=-1\r\nEDD=192.168\r\nINT=1000\r\nINT2=60\r\nCBB1=-1\r\nCOM=english.ini\r\n"
    "Left=0\r\nTop=0\r\nWidth=1010\r\nHeight=750\r\nState=0\r\n",
    "[Settings]\r\nED1=smtp\r\nED2=25\r\nED5=\xD3\xE2\xE5\xE4\xEE\xEC\xEB\xE5\xED\xE8\xE5\r\n"
    "CB11=True\r\nCB14=false\r\n",
    "; comment\n[Lang]\nLang=\xD0\xF3\xF1\xF1\xEA\xE8\xE9\n\n[MainWindow]\nCaption=x=y\n[Settings]\rINT=9000\r",
    "-1\r\n",
    "",
};

const QByteArray kSpecials[] = {"[", "]", "=", "\r", "\n", "\r\n", ";", "[Settings]", "\0", " ", "\xFF", "=\r\n["};

const QStringList kSections{"Settings", "SETTINGS", "Lang", "MainWindow", "New", " padded ", ""};
const QStringList kKeys{"INT", "int", "CB1", "ED1", "Lang", "Caption", "State", "X", "a b", "[bad", ";bad", "k=v", ""};

// Text the file's code page can carry: ASCII, a few Cyrillic letters and the characters that matter to the format.
QString randomValue(QRandomGenerator &rng)
{
    static const QString alphabet = QStringLiteral("abcXYZ019 -=[];#\\:/.\tАбвЖжЯяЁё\u2116");
    QString v;
    const int n = int(rng.bounded(24));
    for (int i = 0; i < n; ++i)
        v += alphabet.at(int(rng.bounded(alphabet.size())));
    return v;
}

QByteArray mutate(QByteArray b, QRandomGenerator &rng)
{
    const int steps = 1 + int(rng.bounded(8));
    for (int s = 0; s < steps; ++s) {
        const qsizetype pos = b.isEmpty() ? 0 : qsizetype(rng.bounded(quint64(b.size() + 1)));
        switch (rng.bounded(8)) {
        case 0: // flip a byte
            if (!b.isEmpty())
                b[qMin(pos, b.size() - 1)] = char(rng.bounded(256));
            break;
        case 1: // truncate
            b.truncate(pos);
            break;
        case 2: { // a format character in a random place
            const QByteArray &sp = kSpecials[rng.bounded(int(std::size(kSpecials)))];
            b.insert(pos, sp.isEmpty() ? QByteArray(1, '\0') : sp);
            break;
        }
        case 3: { // random bytes
            QByteArray r(qsizetype(rng.bounded(32)), '\0');
            for (char &c : r)
                c = char(rng.bounded(256));
            b.insert(pos, r);
            break;
        }
        case 4: // duplicate a chunk
            if (!b.isEmpty())
                b.insert(pos, b.mid(qsizetype(rng.bounded(quint64(b.size()))), qsizetype(rng.bounded(64))));
            break;
        case 5: // a huge line, now and then
            if (rng.bounded(40) == 0)
                b.insert(pos, QByteArray(qsizetype(100000 + rng.bounded(200000)), rng.bounded(2) ? 'A' : '='));
            break;
        case 6: // delete a chunk
            b.remove(pos, qsizetype(rng.bounded(16)));
            break;
        default: // a plausible line
            b.insert(pos, "\r\nINT=" + QByteArray::number(int(rng.bounded(20000)) - 10000) + "\r\n");
            break;
        }
    }
    return b;
}

QByteArray nextInput(QRandomGenerator &rng)
{
    if (rng.bounded(10) == 0) { // pure noise
        QByteArray r(qsizetype(rng.bounded(512)), '\0');
        for (char &c : r)
            c = char(rng.bounded(256));
        return r;
    }
    return mutate(kSeeds.at(int(rng.bounded(kSeeds.size()))), rng);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestIniFuzz final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Whatever the bytes: every key listed reads back, written values read back as written,
    // and the written file parses to itself.
    void profileFile()
    {
        QRandomGenerator rng(kSeed);
        for (int round = 0; round < kIniRounds; ++round) {
            const QByteArray input = nextInput(rng);
            IniFile ini = IniFile::fromBytes(input);

            const QString sentinel = QStringLiteral("\u0001missing");
            const QStringList sections = ini.sections().mid(0, 20);
            for (const QString &section : sections) {
                const QStringList keys = ini.keys(section).mid(0, 20);
                for (const QString &key : keys) {
                    if (ini.readString(section, key, sentinel) == sentinel)
                        QFAIL(qPrintable(QStringLiteral("round %1: listed key %2 not found").arg(round).arg(key)));
                    bool ok = false;
                    ini.readBool(section, key, false, &ok);
                    ini.readInt(section, key, 0, &ok);
                }
            }

            const int writes = int(rng.bounded(6));
            for (int w = 0; w < writes; ++w) {
                QString section = kSections.at(int(rng.bounded(kSections.size())));
                if (!sections.isEmpty() && rng.bounded(2))
                    section = sections.at(int(rng.bounded(sections.size())));
                const QString key = kKeys.at(int(rng.bounded(kKeys.size())));
                const QString value = randomValue(rng);
                const bool storable = !key.isEmpty() && !key.contains(u'=') && !key.startsWith(u'[')
                                      && !key.startsWith(u';');
                if (ini.writeString(section, key, value) != storable)
                    QFAIL(qPrintable(QStringLiteral("round %1: write of %2 answered wrongly").arg(round).arg(key)));
                if (storable && ini.readString(section, key, sentinel) != value)
                    QFAIL(qPrintable(
                        QStringLiteral("round %1: %2/%3 does not read back").arg(round).arg(section, key)));
            }

            const QByteArray out = ini.toBytes();
            const IniFile again = IniFile::fromBytes(out);
            if (again.toBytes() != out)
                QFAIL(qPrintable(QStringLiteral("round %1: output does not parse to itself").arg(round)));
            if (again.sections() != ini.sections())
                QFAIL(qPrintable(QStringLiteral("round %1: sections changed on rereading").arg(round)));
        }
    }

    void booleanParsing()
    {
        QRandomGenerator rng(kSeed + 1);
        for (int round = 0; round < kIniRounds; ++round) {
            const QString text = randomValue(rng);
            bool ok = false;
            const bool v = IniFile::parseBool(text, &ok);
            bool isInt = false;
            const int n = text.trimmed().toInt(&isInt);
            if (isInt && (!ok || v != (n != 0)))
                QFAIL(qPrintable(QStringLiteral("round %1: \"%2\" read wrongly").arg(round).arg(text)));
        }
    }

    // The loader over mangled files: it finishes, and the intervals it hands out are in range.
    void loader()
    {
        QRandomGenerator rng(kSeed + 2);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (int round = 0; round < kLoaderRounds; ++round) {
            bw::resetSettings();
            bw::resetAppState();
            const QByteArray first = rng.bounded(4) ? QByteArray("0") : nextInput(rng);
            QVERIFY(writeFile(dir.filePath(QStringLiteral("first.ini")), first));
            QVERIFY(writeFile(dir.filePath(QStringLiteral("settings.ini")), nextInput(rng)));
            QVERIFY(writeFile(dir.filePath(QStringLiteral("mail.ini")), nextInput(rng)));
            const bw::ConfigLoadResult r =
                bw::loadConfiguration(dir.path(), {QStringLiteral("10.0.0.7"), QStringLiteral("127.0.0.1")});
            if (r.firstRun)
                continue;
            QVERIFY(r.blinkIntervalMs >= 0 && r.blinkIntervalMs <= 5000);
            QVERIFY(r.watchIntervalMs >= 20000 && r.watchIntervalMs <= 120000);
            const IniFile written(dir.filePath(QStringLiteral("settings.ini")));
            QCOMPARE(written.readInt(QStringLiteral("Settings"), QStringLiteral("INT"), -1), r.blinkIntervalMs);
        }
    }
};

QTEST_GUILESS_MAIN(TestIniFuzz)
#include "tst_inifuzz.moc"
