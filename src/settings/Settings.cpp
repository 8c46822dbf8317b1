#include "settings/Settings.h"

#include <algorithm>

namespace bw {

namespace {
Settings g_settings;
MailSettings g_mailSettings;
} // namespace

void Settings::setRB1(bool on)
{
    RB1 = on;
    if (on)
        RB2 = false;
}

void Settings::setRB2(bool on)
{
    RB2 = on;
    if (on)
        RB1 = false;
}

void Settings::setCHB3(bool on)
{
    CHB3 = on;
    if (on)
        CHB4 = false;
}

void Settings::setCHB4(bool on)
{
    CHB4 = on;
    if (on)
        CHB3 = false;
}

void Settings::setED3(const QString &text)
{
    // Only a change is copied, as the edit field's change event would: setting the same text again
    // leaves a separately edited ED1 alone.
    if (text == ED3)
        return;
    ED3 = text;
    ED1 = text;
}

void Settings::setINT(int value)
{
    INT = std::clamp(value, kIntMin, kIntMax);
}

void Settings::setINT2(int value)
{
    INT2 = std::clamp(value, kInt2Min, kInt2Max);
}

void MailSettings::setCB13(bool on)
{
    CB13 = on;
    if (on)
        CB14 = false;
}

void MailSettings::setCB14(bool on)
{
    CB14 = on;
    if (on)
        CB13 = false;
}

Settings &settings()
{
    return g_settings;
}

MailSettings &mailSettings()
{
    return g_mailSettings;
}

void resetSettings()
{
    g_settings = Settings();
    g_mailSettings = MailSettings();
}

} // namespace bw
