#include "i18n/LanguageFile.h"

#include "app/AppState.h"
#include "i18n/Catalogue.h"
#include "settings/IniFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace bw {

namespace {

const QString kLangSection = QStringLiteral("Lang");
const QString kLangKey = QStringLiteral("Lang");
const QString kMessagesSection = QStringLiteral("Messages");

QString &languageNameStore()
{
    static QString name;
    return name;
}

// Position of (section, key) in the window tables, so texts are applied in table order whatever order
// the windows registered in. Keys the tables do not know come last.
qint64 tableRank(const QString &section, const QString &key)
{
    const auto sections = windowSections();
    for (size_t s = 0; s < sections.size(); ++s) {
        if (section.compare(QLatin1StringView(sections[s].name), Qt::CaseInsensitive) != 0)
            continue;
        const auto keys = sections[s].keys;
        for (size_t k = 0; k < keys.size(); ++k) {
            if (key.compare(QLatin1StringView(keys[k].key), Qt::CaseInsensitive) == 0)
                return qint64(s) * 1000 + qint64(k);
        }
        break;
    }
    return std::numeric_limits<qint64>::max();
}

} // namespace

LanguageRegistry &LanguageRegistry::instance()
{
    static LanguageRegistry registry;
    return registry;
}

void LanguageRegistry::add(Owner owner, const QString &section, const QString &key, std::function<QString()> get,
                           std::function<void(const QString &)> set)
{
    add(owner, section, key, TextAccess{std::move(get), std::move(set)});
}

void LanguageRegistry::add(Owner owner, const QString &section, const QString &key, TextAccess access)
{
    if (!access.set)
        return; // nothing could ever be changed
    m_entries.append(Entry{owner, section.trimmed(), key.trimmed(), std::move(access)});
}

int LanguageRegistry::addSection(Owner owner, const QString &section,
                                 const std::function<std::optional<TextAccess>(const WindowKey &)> &resolve)
{
    const WindowSection *known = findWindowSection(section);
    if (!known || !resolve)
        return 0;
    int added = 0;
    for (const WindowKey &k : known->keys) {
        std::optional<TextAccess> access = resolve(k);
        if (!access || !access->set)
            continue;
        add(owner, known->sectionName(), k.keyName(), std::move(*access));
        ++added;
    }
    return added;
}

void LanguageRegistry::addTarget(Owner owner, CatalogueTarget target, TargetFill fill)
{
    if (fill)
        m_targets.append(Target{owner, target, std::move(fill)});
}

void LanguageRegistry::remove(Owner owner)
{
    m_entries.removeIf([owner](const Entry &e) { return e.owner == owner; });
    m_targets.removeIf([owner](const Target &t) { return t.owner == owner; });
}

void LanguageRegistry::clear()
{
    m_entries.clear();
    m_targets.clear();
}

QString languageFilePath(const QString &programDir, const QString &languageFile)
{
    if (languageFile.isEmpty())
        return QString();
    return QDir(programDir).filePath(QStringLiteral("lang/") + languageFile);
}

void applyLanguage(const IniFile &ini)
{
    languageNameStore() = ini.readString(kLangSection, kLangKey, QStringLiteral("Русский"));

    // Work on copies: a setter or a fill may register or remove texts while we walk.
    LanguageRegistry &registry = LanguageRegistry::instance();
    QList<LanguageRegistry::Entry> entries = registry.m_entries;
    const QList<LanguageRegistry::Target> targets = registry.m_targets;

    QList<std::pair<qint64, qsizetype>> order;
    order.reserve(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i)
        order.append({tableRank(entries.at(i).section, entries.at(i).key), i});
    std::stable_sort(order.begin(), order.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });

    for (const auto &[rank, index] : order) {
        const LanguageRegistry::Entry &e = entries.at(index);
        const QString current = e.access.get ? e.access.get() : QString();
        e.access.set(ini.readString(e.section, e.key, current));
    }

    for (const int n : catalogueNumbers())
        setMessage(n, ini.readString(kMessagesSection, catalogueKey(n), msg(n)));

    for (const LanguageRegistry::Target &t : targets)
        t.fill(catalogueTarget(t.target).texts());
}

void applyLanguage(const QString &filePath)
{
    // An empty name must not open anything (it would name the folder itself).
    applyLanguage(filePath.isEmpty() ? IniFile::fromBytes(QByteArray()) : IniFile(filePath));
}

void applyLanguage()
{
    applyLanguage(languageFilePath(appState().ProgramDir, appState().LanguageFile));
}

QString currentLanguageName()
{
    return languageNameStore();
}

QString languageName(const QString &filePath)
{
    if (filePath.isEmpty())
        return QString();
    return IniFile(filePath).readString(kLangSection, kLangKey);
}

QString reportEngineFile(const QString &languageFile)
{
    return languageFile.left(std::max<qsizetype>(0, languageFile.size() - 3)) + QStringLiteral("xml");
}

QList<std::pair<QString, QString>> availableLanguages(const QString &programDir)
{
    QDir dir(QDir(programDir).filePath(QStringLiteral("lang")));
    QStringList files = dir.entryList({QStringLiteral("*.ini")}, QDir::Files | QDir::Hidden | QDir::System);
    std::sort(files.begin(), files.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    QList<std::pair<QString, QString>> out;
    for (const QString &f : files) {
        const QString name = languageName(dir.filePath(f));
        if (!name.isEmpty())
            out.append({f, name});
    }
    return out;
}

} // namespace bw
