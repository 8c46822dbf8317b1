#pragma once

#include <QString>
#include <QStringList>

namespace bw {

// Live values of settings.ini. Every window reads and edits these (the settings window, the dynamic-address
// window, the workspace filter boxes); members are named by their key. Radio groups and the server-address
// copy have setters that keep the pairs consistent the way the controls do; plain assignment is fine elsewhere.
struct Settings
{
    static constexpr int kIntMin = 0;       // slider "Скорость мигания иконки, мсек."
    static constexpr int kIntMax = 5000;
    static constexpr int kInt2Min = 20;     // slider "Интервал времени проверки заявок, сек."
    static constexpr int kInt2Max = 120;
    static constexpr int kDesignedWidth = 994;   // requests workspace, designed client area
    static constexpr int kDesignedHeight = 711;

    bool RB1 = true;            // database server on another computer
    bool RB2 = false;           // database server on this computer
    QString ED1;                // database server address
    QString ED2 = QStringLiteral("C:\\Brindlewick\\server"); // folder of mainbase.fdb on that server
    QString ED3;                // server program address
    QString ED4;                // this computer's address
    QStringList ED4List;        // drop-down list of ED4: this computer's interface addresses
    bool CB1 = false;           // no sounds at all
    bool CB2 = false;           // important requests in bold
    bool CB3 = true;            // tray icon blinks on a new request
    bool CB4 = true;            // sound on a new request
    bool CB5 = true;            // arrival time in the request list
    bool CB6 = true;            // blink while requests wait in the queue
    bool CB7 = false;           // e-mail notifications
    bool CB8 = true;            // pop-up notice on a new request
    bool CB9 = false;           // dynamic address of this computer
    bool CHB3 = true;           // dynamic address: last entry that is not localhost
    bool CHB4 = false;          // dynamic address: last entry containing EDD
    QString EDD;                // dynamic address mask
    int INT = 1000;             // tray-icon blink interval, ms
    int INT2 = 60;              // new-request watch interval, s
    bool CBB1 = true;           // workspace filters: queued
    bool CBB2 = true;           // accepted
    bool CBB3 = false;          // solved
    bool CBB4 = false;          // rejected
    bool CBB5 = false;          // other status
    bool CBB6 = true;           // importance 1
    bool CBB7 = true;           // importance 2
    bool CBB8 = true;           // importance 3
    bool CBB9 = false;          // last week only
    bool CBB10 = false;         // last month only
    QString COM;                // language file name
    int Left = 0;               // requests workspace window
    int Top = 0;
    int Width = kDesignedWidth;
    int Height = kDesignedHeight;
    int State = 0;              // non-zero: maximized

    // RB1/RB2, CHB3/CHB4 are radio groups: checking one clears the other, clearing one leaves the other alone.
    void setRB1(bool on);
    void setRB2(bool on);
    void setCHB3(bool on);
    void setCHB4(bool on);
    // A changed server program address is copied into the database server address; the loader's order
    // (ED1 read after ED3) depends on this.
    void setED3(const QString &text);
    // The sliders keep their value inside their range.
    void setINT(int value);
    void setINT2(int value);
};

// Live values of mail.ini (the e-mail settings window).
struct MailSettings
{
    QString ED1;                                           // SMTP server
    QString ED2 = QStringLiteral("25");                    // SMTP port, as typed
    QString ED3;                                           // login (used only with CB11)
    QString ED4;                                           // password, stored as typed
    QString ED5 = QStringLiteral("Уведомление от TOVEX");  // sender name
    QString ED6;                                           // sender address
    QString ED7 = QStringLiteral("Новая заявка");          // subject
    bool CB1 = true;    // request number in the text
    bool CB2 = true;    // topic
    bool CB3 = true;    // refinement
    bool CB4 = true;    // details
    bool CB5 = true;    // contact person
    bool CB6 = true;    // when the problem began
    bool CB7 = true;    // computer information
    bool CB8 = true;    // arrival time
    bool CB9 = true;    // importance
    bool CB10 = true;   // department/group
    bool CB11 = false;  // SMTP authentication (enables the login and password fields)
    bool CB12 = true;   // request number in the subject
    bool CB13 = true;   // header encoding Windows-1251
    bool CB14 = false;  // header encoding KOI8-R

    // CB13/CB14 are a radio group.
    void setCB13(bool on);
    void setCB14(bool on);
};

Settings &settings();
MailSettings &mailSettings();
// Both models back to their designed values (tests start every case from here).
void resetSettings();

} // namespace bw
