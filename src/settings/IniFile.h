#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace bw {

// A profile (INI) file with the semantics of the Windows profile functions that the console's
// files were always written with: sections and keys match without regard to letter case, a value
// is the rest of the line after "=", a key is created on first write and rewritten in place
// afterwards with every other line kept. Files are 8-bit in Windows-1251 with CR LF line ends;
// any line ends are read. A missing file, section or key gives the caller's default.
// Every write goes to disk at once, as the profile functions did, unless auto-save is switched off to
// write a batch of keys as one file replacement (then save() writes them).
class IniFile final
{
public:
    explicit IniFile(const QString &path);
    static IniFile fromBytes(const QByteArray &bytes);

    const QString &path() const { return m_path; }
    bool exists() const { return m_exists; }

    bool hasSection(const QString &section) const;
    bool hasKey(const QString &section, const QString &key) const;
    QStringList sections() const;
    QStringList keys(const QString &section) const;

    QString readString(const QString &section, const QString &key, const QString &def = QString()) const;
    // "-1"/"0" as written, any decimal (non-zero is true), or true/false in any letter case.
    // A value that is none of these gives the default and sets *ok to false.
    bool readBool(const QString &section, const QString &key, bool def, bool *ok = nullptr) const;
    int readInt(const QString &section, const QString &key, int def, bool *ok = nullptr) const;

    // Each returns false when the file could not be written (the in-memory copy is changed anyway), and
    // without any change when the key or section cannot be stored as a line of its own (an empty key,
    // "=" or a line break in a key, "]" or a line break in a section name, a key beginning with "[" or ";").
    bool writeString(const QString &section, const QString &key, const QString &value);
    bool writeBool(const QString &section, const QString &key, bool value);
    bool writeInt(const QString &section, const QString &key, int value);

    QByteArray toBytes() const;

    // Auto-save is on by default. With it off, writes change only the in-memory copy until save().
    void setAutoSave(bool on) { m_autoSave = on; }
    // Writes the whole file (replacing it at once); true without a path (an in-memory file). False also
    // when the file exists but could not be read, so that its unseen contents are not overwritten.
    bool save();

    static bool parseBool(const QString &text, bool *ok);

private:
    IniFile() = default;
    void parse(const QByteArray &bytes);
    int findSection(const QString &section) const;            // index of the header line, -1 if none
    int findKey(int sectionLine, const QString &key) const;   // index of the key line, -1 if none
    static QString keyOf(const QString &line);

    QString m_path;
    bool m_exists = false;
    bool m_autoSave = true;
    bool m_unreadable = false;
    QStringList m_lines;
};

} // namespace bw
