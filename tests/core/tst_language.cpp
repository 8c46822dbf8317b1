#include "app/AppState.h"
#include "i18n/Catalogue.h"
#include "i18n/LanguageFile.h"
#include "i18n/LanguageKeys.h"
#include "settings/IniFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <map>

namespace {

// Language files are Windows-1251 with CR LF; tests write them the same way.
void writeLanguageFile(const QString &path, const QStringList &lines)
{
    QStringEncoder encode("windows-1251");
    QByteArray bytes;
    for (const QString &l : lines)
        bytes += encode(l) + "\r\n";
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QHash<int, QString> snapshotCatalogue()
{
    QHash<int, QString> out;
    for (const int n : bw::catalogueNumbers())
        out.insert(n, bw::msg(n));
    return out;
}

QString shippedFile(const QString &name)
{
    return bwtest::sourceDir() + QStringLiteral("/lang/") + name;
}

bool hasCyrillic(const QString &s)
{
    for (const QChar c : s) {
        if (c.unicode() >= 0x0400 && c.unicode() <= 0x04FF)
            return true;
    }
    return false;
}

// A stand-in for one control's text.
struct FakeControl
{
    QString text;
    int sets = 0;
    bw::TextAccess access()
    {
        return {[this] { return text; }, [this](const QString &t) {
                    text = t;
                    ++sets;
                }};
    }
};

} // namespace

class TestLanguage final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void init()
    {
        bw::resetAppState();
        bw::resetMessages();
        bw::applyBuiltinMessages();
        bw::LanguageRegistry::instance().clear();
    }

    void catalogueOrder()
    {
        const auto numbers = bw::catalogueNumbers();
        QCOMPARE(numbers.size(), size_t(245));
        QCOMPARE(int(numbers.size()), bw::kCatalogueSize);
        QCOMPARE(numbers.front(), 1);
        QCOMPARE(numbers.back(), 530);
        for (size_t i = 1; i < numbers.size(); ++i)
            QVERIFY2(numbers[i] > numbers[i - 1], qPrintable(QString::number(numbers[i])));
        // the gaps
        for (const int n : {0, 103, 105, 107, 114, 170, 179, 182, 199, 202, 299, 354, 359, 365, 369, 372, 499, 521, 529,
                            531})
            QVERIFY2(!bw::isCatalogueNumber(n), qPrintable(QString::number(n)));
        for (const int n : {95, 96, 97, 102, 106, 115, 169, 180, 181, 200, 201, 300, 353, 360, 364, 370, 371, 500, 520})
            QVERIFY2(bw::isCatalogueNumber(n), qPrintable(QString::number(n)));
        QCOMPARE(bw::catalogueKey(96), QStringLiteral("dlg96"));
        QCOMPARE(bw::catalogueKey(82), QStringLiteral("DLG82"));
        QCOMPARE(bw::catalogueKey(103), QString());
    }

    void catalogueKeyParsing_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("number");
        QTest::addRow("upper") << "DLG82" << 82;
        QTest::addRow("lower") << "dlg96" << 96;
        QTest::addRow("upper 96") << "DLG96" << 96;
        QTest::addRow("mixed, blanks") << " Dlg1 " << 1;
        QTest::addRow("gap") << "DLG103" << -1;
        QTest::addRow("leading zero") << "DLG082" << -1;
        QTest::addRow("no number") << "DLG" << -1;
        QTest::addRow("prefix") << "XDLG1" << -1;
        QTest::addRow("suffix") << "DLG1a" << -1;
        QTest::addRow("sign") << "DLG+1" << -1;
        QTest::addRow("huge") << "DLG99999999999999999999" << -1;
    }

    void catalogueKeyParsing()
    {
        QFETCH(QString, key);
        QFETCH(int, number);
        QCOMPARE(bw::catalogueNumber(key), number);
    }

    void builtinTexts_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::addRow("DLG1") << 1 << QStringLiteral("Закрыть окно");
        QTest::addRow("DLG14 trailing blank") << 14 << QStringLiteral("Отчет по поступившим заявкам в период: с ");
        QTest::addRow("DLG15 both blanks") << 15 << QStringLiteral(" по ");
        QTest::addRow("DLG43 trailing blank") << 43 << QStringLiteral("Новые заявки: ");
        QTest::addRow("DLG51 as DLG1") << 51 << QStringLiteral("Закрыть окно");
        QTest::addRow("DLG54") << 54 << QStringLiteral("В очереди");
        QTest::addRow("DLG59") << 59 << QStringLiteral("Еще не рассмотрена");
        QTest::addRow("DLG60 none") << 60 << QString();
        QTest::addRow("dlg96 none") << 96 << QString();
        QTest::addRow("DLG530 none") << 530 << QString();
    }

    void builtinTexts()
    {
        QFETCH(int, number);
        QFETCH(QString, text);
        QCOMPARE(bw::builtinText(number), text);
        QCOMPARE(bw::msg(number), text);
        QCOMPARE(bw::msg(bw::catalogueKey(number)), text);
    }

    void catalogueAccess()
    {
        bw::resetMessages();
        QCOMPARE(bw::msg(1), QString());
        bw::applyBuiltinMessages();
        for (int n = 1; n <= 59; ++n)
            QVERIFY2(!bw::msg(n).isEmpty(), qPrintable(QString::number(n)));
        QVERIFY(bw::setMessage(96, QStringLiteral("again?")));
        QCOMPARE(bw::msg("DLG96"), QStringLiteral("again?"));
        QCOMPARE(bw::msg("dlg96"), QStringLiteral("again?"));
        QCOMPARE(bw::msg(u"Dlg96"), QStringLiteral("again?"));
        QVERIFY(!bw::setMessage(103, QStringLiteral("x")));
        QVERIFY(!bw::setMessage(u"Messages", QStringLiteral("x")));
        QCOMPARE(bw::msg(103), QString());
        QCOMPARE(bw::msg("nonsense"), QString());
        // the built-ins do not wipe texts of a language already applied
        QVERIFY(bw::setMessage(60, QStringLiteral("Task list")));
        bw::applyBuiltinMessages();
        QCOMPARE(bw::msg(60), QStringLiteral("Task list"));
    }

    void windowTables()
    {
        const auto sections = bw::windowSections();
        QCOMPARE(sections.size(), size_t(19));
        QSet<QString> names;
        int keyCount = 0;
        for (const bw::WindowSection &s : sections) {
            QVERIFY2(!names.contains(s.sectionName().toLower()), s.name);
            names.insert(s.sectionName().toLower());
            QVERIFY(!s.keys.empty());
            QCOMPARE(QLatin1StringView(s.keys.front().key), QLatin1StringView("Caption"));
            QCOMPARE(s.keys.front().role, bw::TextRole::WindowCaption);
            QVERIFY(!s.keys.front().design().isEmpty());
            QHash<QString, int> seen;
            for (const bw::WindowKey &k : s.keys) {
                ++keyCount;
                ++seen[k.keyName().toLower()];
                QCOMPARE(k.controlName().isEmpty(), k.role == bw::TextRole::WindowCaption);
                // only hints may lack a design text
                QVERIFY2(k.role == bw::TextRole::Hint || !k.design().isEmpty(), k.key);
            }
            for (auto it = seen.cbegin(); it != seen.cend(); ++it) {
                if (it.value() > 1) {
                    const QString pair = s.sectionName() + u'/' + it.key();
                    QVERIFY2(pair == QStringLiteral("ZInfo/hbut25") || pair == QStringLiteral("CALTASKS/sb1"),
                             qPrintable(pair));
                }
            }
        }
        QCOMPARE(keyCount, 247);
        QVERIFY(bw::findWindowSection(u"zinfo"));
        QVERIFY(!bw::findWindowSection(u"Messages"));
        const bw::WindowSection *settings = bw::findWindowSection(u"FormSettings");
        QVERIFY(settings);
        const bw::WindowKey &hint = settings->keys.back();
        QCOMPARE(QLatin1StringView(hint.key), QLatin1StringView("Hint"));
        QCOMPARE(QLatin1StringView(hint.control), QLatin1StringView("SpeedButton2"));
        QCOMPARE(hint.role, bw::TextRole::Hint);
        QCOMPARE(hint.design(), QStringLiteral("Параметры e-mail"));
    }

    void catalogueTargetTable()
    {
        const bw::CatalogueTargetInfo &status = bw::catalogueTarget(bw::CatalogueTarget::RequestStatusList);
        QCOMPARE(status.texts(), (QStringList{QStringLiteral("В очереди"), QStringLiteral("Принята к рассмотрению"),
                                              QStringLiteral("Успешно решено"), QStringLiteral("Заявка отклонена"),
                                              QStringLiteral("Другой статус")}));
        QCOMPARE(bw::catalogueTarget(bw::CatalogueTarget::TaskPeriodList).texts().size(), 13);
        for (const bw::CatalogueTargetInfo &t : bw::catalogueTargets()) {
            QVERIFY(bw::findWindowSection(QLatin1StringView(t.section)));
            for (int n = t.firstKey; n <= t.lastKey; ++n)
                QVERIFY(bw::isCatalogueNumber(n));
        }
    }

    // A file holding only DLG43 changes that message and nothing else: no window text, no other entry.
    void onlyOneMessage()
    {
        FakeControl caption{QStringLiteral("Задачи")};
        FakeControl button{QStringLiteral("Справочники")};
        auto &reg = bw::LanguageRegistry::instance();
        reg.add(this, QStringLiteral("MainWindow"), QStringLiteral("Caption"), caption.access());
        reg.add(this, QStringLiteral("MainWindow"), QStringLiteral("Button1"), button.access());
        bw::setMessage(300, QStringLiteral("from an earlier language"));
        const QHash<int, QString> before = snapshotCatalogue();

        writeLanguageFile(path("only43.ini"), {QStringLiteral("[Messages]"), QStringLiteral("DLG43=New requests: ")});
        bw::applyLanguage(path("only43.ini"));

        QCOMPARE(bw::msg(43), QStringLiteral("New requests: "));
        const QHash<int, QString> after = snapshotCatalogue();
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            if (it.key() != 43)
                QVERIFY2(after.value(it.key()) == it.value(), qPrintable(bw::catalogueKey(it.key())));
        }
        QCOMPARE(caption.text, QStringLiteral("Задачи"));
        QCOMPARE(button.text, QStringLiteral("Справочники"));
        QCOMPARE(bw::currentLanguageName(), QStringLiteral("Русский"));
    }

    // After a switch, keys missing from the second file keep the first file's texts.
    void missingKeyKeepsCurrentText()
    {
        FakeControl button{QStringLiteral("Справочники")};
        FakeControl other{QStringLiteral("Информация по заявкам")};
        auto &reg = bw::LanguageRegistry::instance();
        reg.add(this, QStringLiteral("MainWindow"), QStringLiteral("Button1"), button.access());
        reg.add(this, QStringLiteral("MainWindow"), QStringLiteral("Button2"), other.access());

        writeLanguageFile(path("first.ini"), {QStringLiteral("[Lang]"), QStringLiteral("Lang=First"),
                                              QStringLiteral("[MainWindow]"), QStringLiteral("Button1=Directories"),
                                              QStringLiteral("[Messages]"), QStringLiteral("DLG60=Task list")});
        writeLanguageFile(path("second.ini"), {QStringLiteral("[MainWindow]"), QStringLiteral("Button2=Anfragen"),
                                               QStringLiteral("[Messages]"), QStringLiteral("DLG61=Anfragen")});
        bw::applyLanguage(path("first.ini"));
        QCOMPARE(button.text, QStringLiteral("Directories"));
        QCOMPARE(bw::currentLanguageName(), QStringLiteral("First"));
        bw::applyLanguage(path("second.ini"));
        QCOMPARE(button.text, QStringLiteral("Directories"));
        QCOMPARE(other.text, QStringLiteral("Anfragen"));
        QCOMPARE(bw::msg(60), QStringLiteral("Task list"));
        QCOMPARE(bw::msg(61), QStringLiteral("Anfragen"));
        QCOMPARE(bw::currentLanguageName(), QStringLiteral("Русский"));

        // an empty value is a value: it empties the text
        writeLanguageFile(path("empty.ini"), {QStringLiteral("[mainwindow]"), QStringLiteral("BUTTON1=")});
        bw::applyLanguage(path("empty.ini"));
        QCOMPARE(button.text, QString());
    }

    void missingFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addRow("no such file") << QStringLiteral("nonexistent.ini");
        QTest::addRow("empty name") << QString();
    }

    void missingFile()
    {
        QFETCH(QString, file);
        FakeControl button{QStringLiteral("Справочники")};
        QStringList tray;
        auto &reg = bw::LanguageRegistry::instance();
        reg.add(this, QStringLiteral("MainWindow"), QStringLiteral("Button1"), button.access());
        reg.addTarget(this, bw::CatalogueTarget::TrayTaskListItem, [&](const QStringList &t) { tray = t; });
        const QHash<int, QString> before = snapshotCatalogue();

        bw::appState().ProgramDir = m_dir.path();
        bw::appState().LanguageFile = file;
        bw::applyLanguage();

        QCOMPARE(snapshotCatalogue(), before);
        QCOMPARE(button.text, QStringLiteral("Справочники"));
        QCOMPARE(button.sets, 1);
        QCOMPARE(tray, QStringList{QString()}); // without a language the tray items stay empty
        QCOMPARE(bw::currentLanguageName(), QStringLiteral("Русский"));
    }

    // The status list is emptied and refilled from DLG54..DLG58 at every apply, even without those keys.
    void statusListRefilled()
    {
        QStringList status{QStringLiteral("stale")};
        QStringList period;
        int fills = 0;
        auto &reg = bw::LanguageRegistry::instance();
        reg.addTarget(this, bw::CatalogueTarget::RequestStatusList, [&](const QStringList &t) {
            status = t;
            ++fills;
        });
        reg.addTarget(this, bw::CatalogueTarget::TaskPeriodList, [&](const QStringList &t) { period = t; });

        writeLanguageFile(path("none.ini"), {QStringLiteral("[Messages]"), QStringLiteral("DLG147=whole period"),
                                             QStringLiteral("DLG159=December")});
        bw::applyLanguage(path("none.ini"));
        QCOMPARE(fills, 1);
        QCOMPARE(status, bw::catalogueTarget(bw::CatalogueTarget::RequestStatusList).texts());
        QCOMPARE(status.size(), 5);
        QCOMPARE(status.first(), QStringLiteral("В очереди"));
        QCOMPARE(period.size(), 13);
        QCOMPARE(period.first(), QStringLiteral("whole period"));
        QCOMPARE(period.last(), QStringLiteral("December"));

        writeLanguageFile(path("some.ini"), {QStringLiteral("[Messages]"), QStringLiteral("DLG55=Accepted"),
                                             QStringLiteral("DLG58=Other")});
        bw::applyLanguage(path("some.ini"));
        QCOMPARE(fills, 2);
        QCOMPARE(status, (QStringList{QStringLiteral("В очереди"), QStringLiteral("Accepted"),
                                      QStringLiteral("Успешно решено"), QStringLiteral("Заявка отклонена"),
                                      QStringLiteral("Other")}));
    }

    // One key listed for two controls sets both, each falling back to its own text.
    void sharedKeySetsBothControls()
    {
        std::map<QString, FakeControl> controls; // nodes stay put: the accessors point into them
        const int added = bw::LanguageRegistry::instance().addSection(
            this, QStringLiteral("CALTASKS"), [&](const bw::WindowKey &k) -> std::optional<bw::TextAccess> {
                FakeControl &c = controls[k.controlName().isEmpty() ? QStringLiteral("window") : k.controlName()];
                c.text = k.design();
                return c.access();
            });
        QCOMPARE(added, 9);
        writeLanguageFile(path("cal.ini"), {QStringLiteral("[CALTASKS]"), QStringLiteral("SB1=View")});
        bw::applyLanguage(path("cal.ini"));
        QCOMPARE(controls.at(QStringLiteral("SpeedButton17")).text, QStringLiteral("View"));
        QCOMPARE(controls.at(QStringLiteral("SpeedButton6")).text, QStringLiteral("View"));
        QCOMPARE(controls.at(QStringLiteral("TabSheet2")).text, QStringLiteral("Заявки дня"));
    }

    void dlg96AnyCase_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addRow("as shipped") << QStringLiteral("dlg96=Fetch again?");
        QTest::addRow("upper") << QStringLiteral("DLG96=Fetch again?");
        QTest::addRow("mixed") << QStringLiteral("Dlg96=Fetch again?");
        QTest::addRow("blanks round the key") << QStringLiteral("  dLG96 =Fetch again?");
    }

    void dlg96AnyCase()
    {
        QFETCH(QString, line);
        writeLanguageFile(path("96.ini"), {QStringLiteral("[MESSAGES]"), line});
        bw::applyLanguage(path("96.ini"));
        QCOMPARE(bw::msg(96), QStringLiteral("Fetch again?"));
        QCOMPARE(bw::msg("DLG96"), QStringLiteral("Fetch again?"));
        QCOMPARE(bw::msg("dlg96"), QStringLiteral("Fetch again?"));
    }

    // Texts are concatenated by their users, so the blanks at either end survive.
    void valuesKeepBlanks()
    {
        writeLanguageFile(path("blanks.ini"), {QStringLiteral("[Messages]"), QStringLiteral("DLG15= to "),
                                               QStringLiteral("DLG14=Requests from "), QStringLiteral("DLG60= =x= ")});
        bw::applyLanguage(path("blanks.ini"));
        QCOMPARE(bw::msg(15), QStringLiteral(" to "));
        QCOMPARE(bw::msg(14), QStringLiteral("Requests from "));
        QCOMPARE(bw::msg(60), QStringLiteral(" =x= "));
    }

    // Texts go out in table order whatever order the windows registered in; removed owners are left alone.
    void registryOrderAndRemoval()
    {
        QStringList applied;
        auto &reg = bw::LanguageRegistry::instance();
        const auto rec = [&](const QString &tag) {
            return bw::TextAccess{[] { return QString(); }, [&applied, tag](const QString &) { applied << tag; }};
        };
        int other = 0;
        reg.add(this, QStringLiteral("Message"), QStringLiteral("But"), rec(QStringLiteral("Message/But")));
        reg.add(this, QStringLiteral("Custom"), QStringLiteral("Key"), rec(QStringLiteral("Custom/Key")));
        reg.add(this, QStringLiteral("ZInfo"), QStringLiteral("Caption"), rec(QStringLiteral("ZInfo/Caption")));
        reg.add(&other, QStringLiteral("MainWindow"), QStringLiteral("Button4"), rec(QStringLiteral("gone")));
        reg.add(this, QStringLiteral("mainwindow"), QStringLiteral("button1"), rec(QStringLiteral("MainWindow/Button1")));
        reg.addTarget(&other, bw::CatalogueTarget::TrayExitItem, [&](const QStringList &) { applied << "gone"; });
        reg.remove(&other);
        QCOMPARE(reg.entryCount(), 4);
        QCOMPARE(reg.targetCount(), 0);

        bw::applyLanguage(path("nothing.ini"));
        QCOMPARE(applied, (QStringList{QStringLiteral("MainWindow/Button1"), QStringLiteral("ZInfo/Caption"),
                                       QStringLiteral("Message/But"), QStringLiteral("Custom/Key")}));
    }

    void languageNames()
    {
        QTemporaryDir program;
        QVERIFY(QDir(program.path()).mkdir(QStringLiteral("lang")));
        const QString lang = program.filePath(QStringLiteral("lang/"));
        writeLanguageFile(lang + "b.ini", {QStringLiteral("[Lang]"), QStringLiteral("Lang=Беларуская")});
        writeLanguageFile(lang + "a.ini", {QStringLiteral("[lang]"), QStringLiteral("LANG=Alpha")});
        writeLanguageFile(lang + "c.ini", {QStringLiteral("[Lang]"), QStringLiteral("Lang=")});
        writeLanguageFile(lang + "d.ini", {QStringLiteral("[Messages]"), QStringLiteral("Lang=Nope")});
        writeLanguageFile(lang + "e.txt", {QStringLiteral("[Lang]"), QStringLiteral("Lang=Text")});

        QCOMPARE(bw::languageName(lang + "b.ini"), QStringLiteral("Беларуская"));
        QCOMPARE(bw::languageName(lang + "c.ini"), QString());
        QCOMPARE(bw::languageName(lang + "d.ini"), QString());
        QCOMPARE(bw::languageName(lang + "missing.ini"), QString());
        const auto found = bw::availableLanguages(program.path());
        QCOMPARE(found.size(), 2);
        QCOMPARE(found.at(0), std::make_pair(QStringLiteral("a.ini"), QStringLiteral("Alpha")));
        QCOMPARE(found.at(1), std::make_pair(QStringLiteral("b.ini"), QStringLiteral("Беларуская")));
        QCOMPARE(bw::languageFilePath(program.path(), QStringLiteral("a.ini")), lang + "a.ini");
        QCOMPARE(bw::languageFilePath(program.path(), QString()), QString());
    }

    void reportEngineFileName_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("xml");
        QTest::addRow("english") << "english.ini" << "english.xml";
        QTest::addRow("upper case") << "RUSSIAN.INI" << "RUSSIAN.xml";
        QTest::addRow("short") << "ab" << "xml";
    }

    void reportEngineFileName()
    {
        QFETCH(QString, language);
        QFETCH(QString, xml);
        QCOMPARE(bw::reportEngineFile(language), xml);
    }

    void qtFileFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("qt");
        QTest::addRow("two") << "All files|*.*|Image files|*.jpg;*.bmp;*.gif"
                             << "All files (*.*);;Image files (*.jpg *.bmp *.gif)";
        QTest::addRow("one") << "TOVEX report files|*.tovex" << "TOVEX report files (*.tovex)";
        QTest::addRow("name only") << "Anything" << "Anything (*)";
        QTest::addRow("empty") << "" << "";
    }

    void qtFileFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QString, qt);
        QCOMPARE(bw::toQtFileFilter(filter), qt);
    }

    // Both shipped languages are complete: every window key, every catalogue key, nothing unknown.
    void shippedFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name");
        QTest::addRow("russian") << "russian.ini" << QStringLiteral("Русский");
        QTest::addRow("english") << "english.ini" << QStringLiteral("English");
    }

    void shippedFiles()
    {
        QFETCH(QString, file);
        QFETCH(QString, name);
        const bool english = file == QLatin1StringView("english.ini");
        QFile raw(shippedFile(file));
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QByteArray bytes = raw.readAll();
        QVERIFY(!bytes.isEmpty());
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
        QStringEncoder encode("windows-1251");
        QVERIFY(bytes.contains(QByteArray(encode(QStringLiteral("Lang=") + name)) + "\r\n"));
        if (english)
            QVERIFY(std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; }));

        const bw::IniFile ini(shippedFile(file));
        QVERIFY(ini.exists());
        QCOMPARE(bw::languageName(shippedFile(file)), name);

        QSet<QString> knownSections{QStringLiteral("lang"), QStringLiteral("messages")};
        for (const bw::WindowSection &s : bw::windowSections()) {
            knownSections.insert(s.sectionName().toLower());
            QVERIFY2(ini.hasSection(s.sectionName()), s.name);
            QSet<QString> tableKeys;
            for (const bw::WindowKey &k : s.keys) {
                tableKeys.insert(k.keyName().toLower());
                const QString where = s.sectionName() + u'/' + k.keyName();
                QVERIFY2(ini.hasKey(s.sectionName(), k.keyName()), qPrintable(where));
                const QString value = ini.readString(s.sectionName(), k.keyName());
                QVERIFY2(!value.trimmed().isEmpty(), qPrintable(where));
                if (!english && !k.design().isEmpty())
                    QVERIFY2(value == k.design(), qPrintable(where));
                if (english)
                    QVERIFY2(!hasCyrillic(value), qPrintable(where));
            }
            QStringList fileKeys = ini.keys(s.sectionName());
            for (const QString &k : fileKeys)
                QVERIFY2(tableKeys.contains(k.toLower()), qPrintable(s.sectionName() + u'/' + k));
            QCOMPARE(fileKeys.size(), tableKeys.size()); // each key once
        }
        for (const QString &sec : ini.sections())
            QVERIFY2(knownSections.contains(sec.toLower()), qPrintable(sec));

        const QStringList messageKeys = ini.keys(QStringLiteral("Messages"));
        QCOMPARE(messageKeys.size(), bw::kCatalogueSize);
        int i = 0;
        for (const int n : bw::catalogueNumbers()) {
            const QString key = bw::catalogueKey(n);
            QCOMPARE(messageKeys.at(i++), key); // catalogue order, dlg96 in lower case
            const QString value = ini.readString(QStringLiteral("Messages"), key);
            QVERIFY2(!value.trimmed().isEmpty(), qPrintable(key));
            if (english)
                QVERIFY2(!hasCyrillic(value), qPrintable(key));
            const QString builtin = bw::builtinText(n);
            if (builtin.isEmpty())
                continue;
            if (!english)
                QVERIFY2(value == builtin, qPrintable(key));
            // concatenated texts keep their blanks in every language
            QVERIFY2(value.startsWith(u' ') == builtin.startsWith(u' '), qPrintable(key));
            QVERIFY2(value.endsWith(u' ') == builtin.endsWith(u' '), qPrintable(key));
        }
    }

    // The start-up path: ProgramDir/lang/LanguageFile, applied to live texts and the tray targets.
    void applyShippedEnglish()
    {
        std::map<QString, FakeControl> controls; // nodes stay put: the accessors point into them
        auto &reg = bw::LanguageRegistry::instance();
        for (const bw::WindowSection &s : bw::windowSections()) {
            reg.addSection(this, s.sectionName(), [&](const bw::WindowKey &k) -> std::optional<bw::TextAccess> {
                FakeControl &c = controls[s.sectionName() + u'/' + k.controlName() + u'/' + k.keyName()];
                c.text = k.design();
                return c.access();
            });
        }
        QStringList tray, status;
        reg.addTarget(this, bw::CatalogueTarget::TrayTaskListItem, [&](const QStringList &t) { tray = t; });
        reg.addTarget(this, bw::CatalogueTarget::RequestStatusList, [&](const QStringList &t) { status = t; });

        bw::appState().ProgramDir = bwtest::sourceDir();
        bw::appState().LanguageFile = QStringLiteral("english.ini");
        bw::applyLanguage();

        QCOMPARE(bw::currentLanguageName(), QStringLiteral("English"));
        QCOMPARE(controls.size(), size_t(247));
        for (const auto &[name, control] : controls)
            QVERIFY2(!hasCyrillic(control.text) && !control.text.isEmpty(), qPrintable(name));
        QCOMPARE(controls.at(QStringLiteral("MainWindow/SpeedButton1/Button1")).text, QStringLiteral("Directories"));
        QCOMPARE(tray, QStringList{QStringLiteral("Task list")});
        QCOMPARE(status.size(), 5);
        QCOMPARE(status.at(0), QStringLiteral("Queued"));
        QCOMPARE(bw::msg(43), QStringLiteral("New requests: "));
        for (const int n : bw::catalogueNumbers())
            QVERIFY2(!bw::msg(n).isEmpty() && !hasCyrillic(bw::msg(n)), qPrintable(bw::catalogueKey(n)));

        // back to Russian: every text returns to the design
        bw::appState().LanguageFile = QStringLiteral("russian.ini");
        bw::applyLanguage();
        QCOMPARE(bw::currentLanguageName(), QStringLiteral("Русский"));
        QCOMPARE(controls.at(QStringLiteral("MainWindow/SpeedButton1/Button1")).text, QStringLiteral("Справочники"));
        for (int n = 1; n <= bw::kLastBuiltinMessage; ++n)
            QCOMPARE(bw::msg(n), bw::builtinText(n));
        QCOMPARE(tray, QStringList{QStringLiteral("Список задач")});
    }
};

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
