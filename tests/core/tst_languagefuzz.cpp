#include "i18n/Catalogue.h"
#include "i18n/LanguageFile.h"
#include "i18n/LanguageKeys.h"
#include "settings/IniFile.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <map>

// Thousands of damaged language files go through applyLanguage. Beyond "no crash, no hang", every
// result is checked against what the profile reader makes of the same bytes: a key present in the
// file gives its value, a missing key keeps the text held before.
namespace {

constexpr quint32 kSeed = 0x5eed1251;
constexpr int kMutants = 2000;

QByteArray readShipped(const QString &name)
{
    QFile f(bwtest::sourceDir() + QStringLiteral("/lang/") + name);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

class Mutator
{
public:
    explicit Mutator(quint32 seed) : m_rng(seed) {}

    int below(int n) { return n <= 0 ? 0 : int(m_rng.bounded(quint32(n))); }

    // Most mutants start from a few whole sections of a shipped file: smaller files, same shapes.
    QByteArray someSections(const QByteArray &data)
    {
        if (below(4) == 0)
            return data;
        QByteArray out;
        qsizetype start = 0;
        while (start < data.size()) {
            qsizetype next = data.indexOf("\r\n[", start + 1);
            next = next < 0 ? data.size() : next + 2;
            if (below(4) == 0)
                out += data.mid(start, next - start);
            start = next;
        }
        return out;
    }

    QByteArray mutate(QByteArray data, const QByteArray &other)
    {
        data = someSections(data);
        const int rounds = 1 + below(4);
        for (int r = 0; r < rounds; ++r)
            step(data, other);
        return data;
    }

private:
    char special()
    {
        static const char set[] = {'\r', '\n', '=', '[', ']', ';', '\0', ' ', '\t', char(0xFF), char(0x98), char(0xB9)};
        return set[below(int(sizeof set))];
    }

    QByteArray randomKeyLine()
    {
        static const char *const sections[] = {"Messages", "messages", "Lang", "ZInfo", "CALTASKS", "", "Messages ]"};
        switch (below(4)) {
        case 0:
            return QByteArray("[") + sections[below(7)] + "]";
        case 1: {
            const int n = below(3) ? bw::catalogueNumbers()[size_t(below(bw::kCatalogueSize))] : below(100000);
            return (below(2) ? "DLG" : "dlg") + QByteArray::number(n) + "=" + randomBytes(below(40));
        }
        case 2:
            return "Lang=" + randomBytes(below(20));
        default:
            return "=" + randomBytes(below(10));
        }
    }

    QByteArray randomBytes(int n)
    {
        QByteArray b(n, '\0');
        for (char &c : b)
            c = char(below(256));
        return b;
    }

    void step(QByteArray &d, const QByteArray &other)
    {
        const int size = int(d.size());
        switch (below(10)) {
        case 0: // flip bytes
            for (int i = 0, n = 1 + below(8); i < n && size > 0; ++i)
                d[below(size)] = char(below(256));
            break;
        case 1: // structural characters
            for (int i = 0, n = 1 + below(8); i < n; ++i)
                d.insert(below(int(d.size()) + 1), special());
            break;
        case 2: // cut a range
            if (size > 0) {
                const int at = below(size);
                d.remove(at, 1 + below(qMin(2000, size - at)));
            }
            break;
        case 3: { // repeat a range elsewhere
            if (size > 0) {
                const int at = below(size);
                const QByteArray piece = d.mid(at, 1 + below(500));
                d.insert(below(size + 1), piece);
            }
            break;
        }
        case 4: // truncate
            d.truncate(below(size + 1));
            break;
        case 5: // splice with the other language
            d = d.left(below(size + 1)) + other.mid(below(int(other.size()) + 1));
            break;
        case 6: { // letter case of a stretch
            const int at = below(size + 1);
            for (int i = at, end = qMin(size, at + below(3000)); i < end; ++i) {
                const char c = d.at(i);
                if (c >= 'a' && c <= 'z')
                    d[i] = char(c - 32);
                else if (c >= 'A' && c <= 'Z')
                    d[i] = char(c + 32);
            }
            break;
        }
        case 7: // a plausible line
            d.insert(below(size + 1), "\r\n" + randomKeyLine() + "\r\n");
            break;
        case 8: // a very long line
            d.insert(below(size + 1), randomBytes(300 + below(4000)).replace('\n', 'x').replace('\r', 'y'));
            break;
        default: // other line ends
            if (below(2))
                d.replace("\r\n", "\n");
            else
                d.replace("\r\n", "\r");
            break;
        }
    }

    QRandomGenerator m_rng;
};

struct FakeControl
{
    QString text;
};

} // namespace

class TestLanguageFuzz final : public QObject
{
    Q_OBJECT

private:
    std::map<QString, FakeControl> m_controls; // nodes stay put: the accessors point into them
    struct Registered
    {
        QString section;
        QString key;
        FakeControl *control;
    };
    QList<Registered> m_registered;
    QStringList m_status;
    QStringList m_period;

    void registerAll()
    {
        auto &reg = bw::LanguageRegistry::instance();
        reg.clear();
        for (const bw::WindowSection &s : bw::windowSections()) {
            reg.addSection(this, s.sectionName(), [&](const bw::WindowKey &k) -> std::optional<bw::TextAccess> {
                FakeControl &c = m_controls[s.sectionName() + u'/' + k.controlName() + u'/' + k.keyName()];
                c.text = k.design();
                m_registered.append({s.sectionName(), k.keyName(), &c});
                return bw::TextAccess{[&c] { return c.text; }, [&c](const QString &t) { c.text = t; }};
            });
        }
        reg.addTarget(this, bw::CatalogueTarget::RequestStatusList, [this](const QStringList &t) { m_status = t; });
        reg.addTarget(this, bw::CatalogueTarget::TaskPeriodList, [this](const QStringList &t) { m_period = t; });
    }

    // What the texts must be after applying `ini` on top of the given state.
    static void expectApplied(const bw::IniFile &ini, const QList<Registered> &registered,
                              const QStringList &controlsBefore, const QHash<int, QString> &catalogueBefore,
                              bool *ok, QString *why)
    {
        *ok = true;
        for (qsizetype i = 0; i < registered.size(); ++i) {
            const Registered &r = registered.at(i);
            const QString want = ini.readString(r.section, r.key, controlsBefore.at(i));
            if (r.control->text != want) {
                *ok = false;
                *why = r.section + u'/' + r.key;
                return;
            }
        }
        for (const int n : bw::catalogueNumbers()) {
            const QString want = ini.readString(QStringLiteral("Messages"), bw::catalogueKey(n), catalogueBefore.value(n));
            const QString have = bw::msg(n);
            if (have != want || have.contains(u'\r') || have.contains(u'\n')) {
                *ok = false;
                *why = bw::catalogueKey(n);
                return;
            }
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        bw::resetMessages();
        bw::applyBuiltinMessages();
        registerAll();
        QCOMPARE(m_registered.size(), 247);
    }

    void mutatedFiles()
    {
        const QByteArray english = readShipped(QStringLiteral("english.ini"));
        const QByteArray russian = readShipped(QStringLiteral("russian.ini"));
        QVERIFY(!english.isEmpty() && !russian.isEmpty());
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        Mutator mutator(kSeed);

        for (int i = 0; i < kMutants; ++i) {
            const bool fromEnglish = mutator.below(2) == 0;
            const QByteArray bytes = mutator.mutate(fromEnglish ? english : russian, fromEnglish ? russian : english);

            QStringList controlsBefore;
            for (const Registered &r : std::as_const(m_registered))
                controlsBefore.append(r.control->text);
            QHash<int, QString> catalogueBefore;
            for (const int n : bw::catalogueNumbers())
                catalogueBefore.insert(n, bw::msg(n));

            const bw::IniFile ini = bw::IniFile::fromBytes(bytes);
            if (i % 10 == 0) { // the file route as well
                const QString path = dir.filePath(QStringLiteral("fuzz.ini"));
                QFile f(path);
                QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
                f.write(bytes);
                f.close();
                bw::applyLanguage(path);
            } else {
                bw::applyLanguage(ini);
            }

            bool ok = false;
            QString why;
            expectApplied(ini, m_registered, controlsBefore, catalogueBefore, &ok, &why);
            QVERIFY2(ok, qPrintable(QStringLiteral("mutant %1: %2").arg(i).arg(why)));
            QCOMPARE(bw::currentLanguageName(),
                     ini.readString(QStringLiteral("Lang"), QStringLiteral("Lang"), QStringLiteral("Русский")));
            QCOMPARE(m_status, bw::catalogueTarget(bw::CatalogueTarget::RequestStatusList).texts());
            QCOMPARE(m_period.size(), 13);
            QCOMPARE(bw::msg(103), QString());
            QCOMPARE(bw::msg(0), QString());
        }

        // A clean file afterwards brings every text back: the damage left nothing behind.
        bw::applyLanguage(bwtest::sourceDir() + QStringLiteral("/lang/english.ini"));
        const bw::IniFile clean = bw::IniFile::fromBytes(english);
        for (const Registered &r : std::as_const(m_registered))
            QCOMPARE(r.control->text, clean.readString(r.section, r.key));
        for (const int n : bw::catalogueNumbers())
            QCOMPARE(bw::msg(n), clean.readString(QStringLiteral("Messages"), bw::catalogueKey(n)));
        QCOMPARE(bw::currentLanguageName(), QStringLiteral("English"));
    }
};

QTEST_GUILESS_MAIN(TestLanguageFuzz)
#include "tst_languagefuzz.moc"
