#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace bw {

// The e-mail settings window: SMTP server and authentication, sender, subject, the content of executor
// notices and the header encoding. Edits go straight into mailSettings(), which the senders read;
// "Сохранить" also writes mail.ini.
class Temail_prop final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Temail_prop)

public:
    explicit Temail_prop(QWidget *parent = nullptr);

    QGroupBox *GroupBox1;
    QLabel *Label1;         // "От кого (имя):"
    QLabel *Label2;         // "От кого (e-mail):"
    QLabel *Label3;         // "Тема:"
    QLabel *Label4;         // "Текст сообщения содержит:"
    QLabel *Label6;         // "Порт для подключения:"
    QLabel *Label7;         // "Адрес почтового сервера:"
    QLabel *Label8;         // "Логин:"
    QLabel *Label9;         // "Пароль:"
    QLabel *Label10;        // "Кодировка для заголовка письма:" (hidden)
    QLabel *Image1;         // picture in the corner
    QLineEdit *Edit1;       // ED1 server
    QLineEdit *Edit2;       // ED2 port
    QLineEdit *Edit3;       // ED3 login
    QLineEdit *Edit4;       // ED4 password
    QLineEdit *Edit5;       // ED5 sender name
    QLineEdit *Edit6;       // ED6 sender address
    QLineEdit *Edit7;       // ED7 subject
    QCheckBox *CheckBox[12]; // CheckBox1..CheckBox12 at [0..11]: CB1..CB12
    QRadioButton *RadioButton1; // CB13 "ANSI" (hidden)
    QRadioButton *RadioButton2; // CB14 "KOI-8R" (hidden)
    QPushButton *BitBtn1;   // "Сохранить"

    QCheckBox *checkBox(int n) const { return CheckBox[n - 1]; }
    QLineEdit *edit(int n) const;

    // Puts mailSettings() into the controls (also done at each showing).
    void loadFromSettings();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void updateAuthEnabled();
    bool m_loading = false;
};

Temail_prop &emailPropWindow();
// Shows the e-mail settings window modally.
void showEmailSettingsWindow(QWidget *parent);

} // namespace bw
