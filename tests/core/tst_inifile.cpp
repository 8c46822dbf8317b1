#include "settings/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using bw::IniFile;

namespace {

// "Русский" in Windows-1251
const QByteArray kRussianCp1251("\xD0\xF3\xF1\xF1\xEA\xE8\xE9");

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestIniFile final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readString_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        const QByteArray base("[Settings]\r\nED1=abc\r\nED2=\r\n");
        QTest::addRow("exact") << base << "Settings" << "ED1" << "abc";
        QTest::addRow("letter case of section and key") << base << "SETTINGS" << "ed1" << "abc";
        QTest::addRow("empty value is a value") << base << "Settings" << "ED2" << "";
        QTest::addRow("missing key") << base << "Settings" << "ED3" << "DEF";
        QTest::addRow("missing section") << base << "Other" << "ED1" << "DEF";
        QTest::addRow("key of another section")
            << QByteArray("[A]\r\nK=1\r\n[B]\r\nJ=2\r\n") << "B" << "K" << "DEF";
        QTest::addRow("key before any section") << QByteArray("K=1\r\n[A]\r\n") << "A" << "K" << "DEF";
        QTest::addRow("Windows-1251 text")
            << QByteArray("[Lang]\r\nLang=" + kRussianCp1251 + "\r\n") << "Lang" << "Lang" << QStringLiteral("Русский");
        QTest::addRow("Windows-1251 key and section")
            << QByteArray("[\xCF\xF0\xE8]\r\n\xCA\xEB\xFE\xF7=1\r\n") << QStringLiteral("при")
            << QStringLiteral("ключ") << "1";
        QTest::addRow("LF lines") << QByteArray("[S]\nA=1\nB=2\n") << "S" << "B" << "2";
        QTest::addRow("lone CR lines") << QByteArray("[S]\rA=1\rB=2") << "S" << "B" << "2";
        QTest::addRow("mixed line ends") << QByteArray("[S]\r\nA=1\rB=2\nC=3") << "S" << "C" << "3";
        QTest::addRow("blanks around the value kept") << QByteArray("[S]\r\nA=  x y  \r\n") << "S" << "A" << "  x y  ";
        QTest::addRow("blanks around the key ignored") << QByteArray("[S]\r\n  A  =v\r\n") << "S" << "A" << "v";
        QTest::addRow("equals inside the value") << QByteArray("[S]\r\nA=b=c\r\n") << "S" << "A" << "b=c";
        QTest::addRow("comment line is no key") << QByteArray("[S]\r\n;A=1\r\n") << "S" << "A" << "DEF";
        QTest::addRow("first of two equal keys") << QByteArray("[S]\r\nA=1\r\na=2\r\n") << "S" << "A" << "1";
        QTest::addRow("blanks around the header") << QByteArray("  [ S ]  \r\nA=1\r\n") << "S" << "A" << "1";
        QTest::addRow("empty file") << QByteArray() << "S" << "A" << "DEF";
    }

    void readString()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(IniFile::fromBytes(file).readString(section, key, QStringLiteral("DEF")), expected);
    }

    void readBoolAndInt_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("boolOk");
        QTest::addColumn<bool>("boolValue");
        QTest::addColumn<bool>("intOk");
        QTest::addColumn<int>("intValue");

        // Failed conversions give the defaults: true for booleans, 77 for integers.
        QTest::addRow("-1") << "-1" << true << true << true << -1;
        QTest::addRow("0") << "0" << true << false << true << 0;
        QTest::addRow("1") << "1" << true << true << true << 1;
        QTest::addRow("00") << "00" << true << false << true << 0;
        QTest::addRow("True") << "True" << true << true << false << 77;
        QTest::addRow("false") << "false" << true << false << false << 77;
        QTest::addRow("TRUE") << "TRUE" << true << true << false << 77;
        QTest::addRow("FaLsE") << "FaLsE" << true << false << false << 77;
        QTest::addRow("yes") << "yes" << false << true << false << 77;
        QTest::addRow("empty") << "" << false << true << false << 77;
        QTest::addRow("blanks around") << " 9000 " << true << true << true << 9000;
        QTest::addRow("plus sign") << "+20" << true << true << true << 20;
        QTest::addRow("number too long for int") << "99999999999999999999" << true << true << false << 77;
        QTest::addRow("zeros too long for int") << "000000000000000000000" << true << false << true << 0;
        QTest::addRow("trailing garbage") << "12abc" << false << true << false << 77;
        QTest::addRow("decimal point") << "1.0" << false << true << false << 77;
        QTest::addRow("sign alone") << "-" << false << true << false << 77;
        QTest::addRow("hex") << "0x10" << false << true << false << 77;
    }

    void readBoolAndInt()
    {
        QFETCH(QString, value);
        QFETCH(bool, boolOk);
        QFETCH(bool, boolValue);
        QFETCH(bool, intOk);
        QFETCH(int, intValue);
        const IniFile ini = IniFile::fromBytes("[Settings]\r\nK=" + value.toLatin1() + "\r\n");
        bool ok = !boolOk;
        QCOMPARE(ini.readBool(QStringLiteral("settings"), QStringLiteral("k"), true, &ok), boolValue);
        QCOMPARE(ok, boolOk);
        ok = !intOk;
        QCOMPARE(ini.readInt(QStringLiteral("Settings"), QStringLiteral("K"), 77, &ok), intValue);
        QCOMPARE(ok, intOk);
    }

    void missingKeyOrFileGivesDefaultWithoutError()
    {
        QTemporaryDir dir;
        const IniFile missing(dir.filePath(QStringLiteral("none.ini")));
        QVERIFY(!missing.exists());
        bool ok = false;
        QCOMPARE(missing.readBool(QStringLiteral("S"), QStringLiteral("K"), true, &ok), true);
        QVERIFY(ok);
        ok = false;
        QCOMPARE(missing.readInt(QStringLiteral("S"), QStringLiteral("K"), 60, &ok), 60);
        QVERIFY(ok);
        QCOMPARE(missing.readString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("d")),
                 QStringLiteral("d"));
    }

    void write_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        const QByteArray head("; console settings\r\n[Settings]\r\nED1=a\r\n; keep me\r\n");
        const QByteArray tail("\r\n[Other]\r\nX=1\r\n");
        const QByteArray file(head + "INT=1000\r\n" + tail);
        QTest::addRow("rewrite in place, other lines kept")
            << file << "settings" << "int" << "5000"
            << QByteArray(head + "INT=5000\r\n" + tail);
        QTest::addRow("new key at the end of its section")
            << file << "Settings" << "INT2" << "20"
            << QByteArray(head + "INT=1000\r\nINT2=20\r\n" + tail);
        QTest::addRow("new section at the end")
            << file << "Lang" << "Lang" << "English"
            << QByteArray(file + "\r\n[Lang]\r\nLang=English\r\n");
        QTest::addRow("empty file") << QByteArray() << "Settings" << "CB1" << "-1"
                                    << QByteArray("[Settings]\r\nCB1=-1\r\n");
        QTest::addRow("LF file comes out CR LF")
            << QByteArray("[S]\nA=1\nB=2") << "S" << "A" << "3" << QByteArray("[S]\r\nA=3\r\nB=2\r\n");
        QTest::addRow("Windows-1251 out")
            << QByteArray("[Lang]\r\n") << "Lang" << "Lang" << QStringLiteral("Русский")
            << QByteArray("[Lang]\r\nLang=" + kRussianCp1251 + "\r\n");
        QTest::addRow("line breaks in a value flattened")
            << QByteArray("[S]\r\n") << "S" << "A" << "x\r\ny" << QByteArray("[S]\r\nA=x  y\r\n");
        QTest::addRow("blanks and equals kept")
            << QByteArray("[S]\r\n") << "S" << "A" << " =b " << QByteArray("[S]\r\nA= =b \r\n");
    }

    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);

        // Through a real file: the first write creates or rewrites it at once.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.ini"));
        if (!before.isEmpty())
            QVERIFY(writeAll(path, before));
        IniFile ini(path);
        QVERIFY(ini.writeString(section, key, value));
        QCOMPARE(readAll(path), after);
        QCOMPARE(IniFile(path).readString(section, key), QString(value).replace(u'\r', u' ').replace(u'\n', u' '));
    }

    void booleansAndIntegersWritten()
    {
        IniFile ini = IniFile::fromBytes(QByteArray());
        QVERIFY(ini.writeBool(QStringLiteral("S"), QStringLiteral("T"), true));
        QVERIFY(ini.writeBool(QStringLiteral("S"), QStringLiteral("F"), false));
        QVERIFY(ini.writeInt(QStringLiteral("S"), QStringLiteral("I"), -42));
        QCOMPARE(ini.toBytes(), QByteArray("[S]\r\nT=-1\r\nF=0\r\nI=-42\r\n"));
    }

    void unstorableKeysRefused_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addRow("empty key") << "S" << "  ";
        QTest::addRow("equals in key") << "S" << "a=b";
        QTest::addRow("line break in key") << "S" << "a\nb";
        QTest::addRow("key looks like a header") << "S" << "[x";
        QTest::addRow("key looks like a comment") << "S" << ";x";
        QTest::addRow("bracket in section") << "a]b" << "K";
        QTest::addRow("line break in section") << "a\rb" << "K";
    }

    void unstorableKeysRefused()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        const QByteArray before("[S]\r\nA=1\r\n");
        IniFile ini = IniFile::fromBytes(before);
        QVERIFY(!ini.writeString(section, key, QStringLiteral("v")));
        QCOMPARE(ini.toBytes(), before);
    }

    void writeFailures()
    {
        QTemporaryDir dir;
        // A folder that does not exist.
        IniFile noFolder(dir.filePath(QStringLiteral("no/such/folder/t.ini")));
        QVERIFY(!noFolder.writeString(QStringLiteral("S"), QStringLiteral("A"), QStringLiteral("1")));
        // Something at the path that cannot be read as a file is not replaced.
        const QString path = dir.filePath(QStringLiteral("blocked.ini"));
        QVERIFY(QDir().mkpath(path + QStringLiteral("/inner")));
        IniFile blocked(path);
        QVERIFY(!blocked.writeString(QStringLiteral("S"), QStringLiteral("A"), QStringLiteral("1")));
        QVERIFY(QFileInfo(path + QStringLiteral("/inner")).isDir());
    }

    void batchWriteWaitsForSave()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.ini"));
        IniFile ini(path);
        ini.setAutoSave(false);
        QVERIFY(ini.writeInt(QStringLiteral("S"), QStringLiteral("A"), 1));
        QVERIFY(ini.writeInt(QStringLiteral("S"), QStringLiteral("B"), 2));
        QVERIFY(!QFile::exists(path));
        QVERIFY(ini.save());
        QCOMPARE(readAll(path), QByteArray("[S]\r\nA=1\r\nB=2\r\n"));
    }

    void sectionsAndKeysListed()
    {
        const IniFile ini = IniFile::fromBytes("x=0\r\n[A]\r\nK1=1\r\n;c=2\r\nnoequals\r\n K2 =3\r\n[B]\r\n");
        QCOMPARE(ini.sections(), QStringList({QStringLiteral("A"), QStringLiteral("B")}));
        QCOMPARE(ini.keys(QStringLiteral("a")), QStringList({QStringLiteral("K1"), QStringLiteral("K2")}));
        QVERIFY(ini.hasSection(QStringLiteral("b")));
        QVERIFY(!ini.hasKey(QStringLiteral("B"), QStringLiteral("K1")));
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
