#include "settings/SettingsWriter.h"

#include "settings/IniFile.h"
#include "settings/Settings.h"

namespace bw {

namespace {

const QString kSection = QStringLiteral("Settings");

QString filePath(const QString &dir, const QString &name)
{
    QString d = dir;
    while (d.size() > 1 && (d.endsWith(u'/') || d.endsWith(u'\\')))
        d.chop(1);
    return d + u'/' + name;
}

// Collects the keys of one file and writes them in one go.
class KeyWriter final
{
public:
    explicit KeyWriter(const QString &path)
        : m_ini(path)
    {
        m_ini.setAutoSave(false);
    }

    void text(const QString &key, const QString &value) { m_ini.writeString(kSection, key, value); }
    void boolean(const QString &key, bool value) { m_ini.writeBool(kSection, key, value); }
    void integer(const QString &key, int value) { m_ini.writeInt(kSection, key, value); }
    bool save() { return m_ini.save(); }

private:
    IniFile m_ini;
};

} // namespace

bool saveSettings(const QString &programDir, const WorkspaceGeometry &geometry)
{
    Settings &s = settings();
    s.Left = geometry.left;
    s.Top = geometry.top;
    s.Width = geometry.width;
    s.Height = geometry.height;
    s.State = geometry.notNormal ? 1 : 0;

    KeyWriter w(filePath(programDir, QStringLiteral("settings.ini")));
    w.boolean(QStringLiteral("RB1"), s.RB1);
    w.boolean(QStringLiteral("RB2"), s.RB2);
    w.text(QStringLiteral("ED1"), s.ED1);
    w.text(QStringLiteral("ED2"), s.ED2);
    w.text(QStringLiteral("ED3"), s.ED3);
    w.text(QStringLiteral("ED4"), s.ED4);
    w.boolean(QStringLiteral("CB1"), s.CB1);
    w.boolean(QStringLiteral("CB2"), s.CB2);
    w.boolean(QStringLiteral("CB3"), s.CB3);
    w.boolean(QStringLiteral("CB4"), s.CB4);
    w.boolean(QStringLiteral("CB5"), s.CB5);
    w.boolean(QStringLiteral("CB6"), s.CB6);
    w.boolean(QStringLiteral("CB7"), s.CB7);
    w.boolean(QStringLiteral("CB8"), s.CB8);
    w.boolean(QStringLiteral("CB9"), s.CB9);
    w.boolean(QStringLiteral("CHB3"), s.CHB3);
    w.boolean(QStringLiteral("CHB4"), s.CHB4);
    w.text(QStringLiteral("EDD"), s.EDD);
    w.integer(QStringLiteral("INT"), s.INT);
    w.integer(QStringLiteral("INT2"), s.INT2);
    w.boolean(QStringLiteral("CBB1"), s.CBB1);
    w.boolean(QStringLiteral("CBB2"), s.CBB2);
    w.boolean(QStringLiteral("CBB3"), s.CBB3);
    w.boolean(QStringLiteral("CBB4"), s.CBB4);
    w.boolean(QStringLiteral("CBB5"), s.CBB5);
    w.boolean(QStringLiteral("CBB6"), s.CBB6);
    w.boolean(QStringLiteral("CBB7"), s.CBB7);
    w.boolean(QStringLiteral("CBB8"), s.CBB8);
    w.boolean(QStringLiteral("CBB9"), s.CBB9);
    w.boolean(QStringLiteral("CBB10"), s.CBB10);
    w.text(QStringLiteral("COM"), s.COM);
    w.integer(QStringLiteral("Left"), s.Left);
    w.integer(QStringLiteral("Top"), s.Top);
    w.integer(QStringLiteral("Width"), s.Width);
    w.integer(QStringLiteral("Height"), s.Height);
    w.text(QStringLiteral("State"), geometry.notNormal ? QStringLiteral("1") : QStringLiteral("0"));
    return w.save();
}

bool saveMailSettings(const QString &programDir)
{
    const MailSettings &m = mailSettings();
    KeyWriter w(filePath(programDir, QStringLiteral("mail.ini")));
    w.text(QStringLiteral("ED1"), m.ED1);
    w.text(QStringLiteral("ED2"), m.ED2);
    w.text(QStringLiteral("ED3"), m.ED3);
    w.text(QStringLiteral("ED4"), m.ED4);
    w.text(QStringLiteral("ED5"), m.ED5);
    w.text(QStringLiteral("ED6"), m.ED6);
    w.text(QStringLiteral("ED7"), m.ED7);
    w.boolean(QStringLiteral("CB1"), m.CB1);
    w.boolean(QStringLiteral("CB2"), m.CB2);
    w.boolean(QStringLiteral("CB3"), m.CB3);
    w.boolean(QStringLiteral("CB4"), m.CB4);
    w.boolean(QStringLiteral("CB5"), m.CB5);
    w.boolean(QStringLiteral("CB6"), m.CB6);
    w.boolean(QStringLiteral("CB7"), m.CB7);
    w.boolean(QStringLiteral("CB8"), m.CB8);
    w.boolean(QStringLiteral("CB9"), m.CB9);
    w.boolean(QStringLiteral("CB10"), m.CB10);
    w.boolean(QStringLiteral("CB11"), m.CB11);
    w.boolean(QStringLiteral("CB12"), m.CB12);
    w.boolean(QStringLiteral("CB13"), m.CB13);
    w.boolean(QStringLiteral("CB14"), m.CB14);
    return w.save();
}

} // namespace bw
