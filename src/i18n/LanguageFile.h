#pragma once

#include "i18n/LanguageKeys.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace bw {

class IniFile;

// Reads and writes one translatable text of a control. Windows build these around their widgets; the
// language code itself never sees a widget.
struct TextAccess
{
    std::function<QString()> get;
    std::function<void(const QString &)> set;
};

// The translatable texts of the live windows. Each window registers its texts once (it lives until the
// process ends) under an owner token, normally its own address, and may remove them by that token.
class LanguageRegistry final
{
public:
    using Owner = const void *;
    using TargetFill = std::function<void(const QStringList &texts)>;

    static LanguageRegistry &instance();

    // One text of one control under (section, key). Several controls may share a key; each keeps
    // its own current text as the fallback.
    void add(Owner owner, const QString &section, const QString &key, std::function<QString()> get,
             std::function<void(const QString &)> set);
    void add(Owner owner, const QString &section, const QString &key, TextAccess access);

    // Every key of a known window section: resolve() is asked for each key of the section in table
    // order and returns the accessor of the named control, or nothing to leave the key out.
    // Returns the number of keys registered.
    int addSection(Owner owner, const QString &section,
                   const std::function<std::optional<TextAccess>(const WindowKey &)> &resolve);

    // A control refilled from catalogue texts after the catalogue has been read; fill() receives the
    // texts of the target's keys, in order.
    void addTarget(Owner owner, CatalogueTarget target, TargetFill fill);

    void remove(Owner owner);
    void clear();

    int entryCount() const { return int(m_entries.size()); }
    int targetCount() const { return int(m_targets.size()); }

private:
    friend void applyLanguage(const IniFile &ini);

    struct Entry
    {
        Owner owner;
        QString section;
        QString key;
        TextAccess access;
    };
    struct Target
    {
        Owner owner;
        CatalogueTarget target;
        TargetFill fill;
    };

    LanguageRegistry() = default;

    QList<Entry> m_entries;
    QList<Target> m_targets;
};

// "<programDir>/lang/<languageFile>"; empty when languageFile is empty.
QString languageFilePath(const QString &programDir, const QString &languageFile);

// Applies a language: the registered window texts (each key read with the control's current text as
// the fallback, so a key the file lacks keeps the current text), then the 245 catalogue keys of section
// "Messages" in catalogue order (a missing key keeps the entry's current text), then refills the
// registered catalogue targets. A missing or unreadable file is no error: nothing changes, and the
// targets are refilled from the texts already held.
void applyLanguage(const IniFile &ini);
void applyLanguage(const QString &filePath);
// The active language file of the module-wide state: ProgramDir + "/lang/" + LanguageFile.
void applyLanguage();

// Name stored by the last applyLanguage (key Lang of section Lang, "Русский" when the file lacks it).
QString currentLanguageName();

// Key Lang of section Lang; empty when the file or the key is missing (such files are not offered as
// languages).
QString languageName(const QString &filePath);

// The report engine's companion file: the language file name with its last three characters replaced
// by "xml" (english.ini -> english.xml).
QString reportEngineFile(const QString &languageFile);

// Language files the settings window can offer: *.ini files of <programDir>/lang that have a name.
// Pairs of (file name, language name), sorted by file name.
QList<std::pair<QString, QString>> availableLanguages(const QString &programDir);

} // namespace bw
