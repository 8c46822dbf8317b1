#include "settings/gui/EmailProp.h"

#include "app/AppState.h"
#include "app/gui/Icons.h"
#include "app/gui/LanguageBinding.h"
#include "app/gui/MessageDlg.h"
#include "settings/Settings.h"
#include "settings/SettingsWriter.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace bw {

namespace {

template <typename W>
W *named(W *w, const QString &name)
{
    w->setObjectName(name);
    return w;
}

QString n(const char *base, int i)
{
    return QString::fromLatin1(base) + QString::number(i);
}

bool MailSettings::*const kBoxes[12] = {
    &MailSettings::CB1, &MailSettings::CB2, &MailSettings::CB3,  &MailSettings::CB4,
    &MailSettings::CB5, &MailSettings::CB6, &MailSettings::CB7,  &MailSettings::CB8,
    &MailSettings::CB9, &MailSettings::CB10, &MailSettings::CB11, &MailSettings::CB12,
};

QString MailSettings::*const kEdits[7] = {
    &MailSettings::ED1, &MailSettings::ED2, &MailSettings::ED3, &MailSettings::ED4,
    &MailSettings::ED5, &MailSettings::ED6, &MailSettings::ED7,
};

const char *const kBoxCaptions[12] = {
    "№ заявки",        "Наименование",      "Уточнение", "Подробности", "Контактное лицо",      "Время начала",
    "Инфо о ПК",       "Время поступления", "Важность",  "Группа",      "Нужна аутентификация", "№ в теме",
};

} // namespace

Temail_prop::Temail_prop(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("email_prop"));
    setWindowTitle(QStringLiteral("Настройка уведомлений по e-mail"));
    setModal(true);

    GroupBox1 = named(new QGroupBox(QStringLiteral("Параметры e-mail"), this), QStringLiteral("GroupBox1"));
    auto label = [this](const char *name, const char *text) {
        return named(new QLabel(QString::fromUtf8(text), GroupBox1), QString::fromLatin1(name));
    };
    Label1 = label("Label1", "От кого (имя):");
    Label2 = label("Label2", "От кого (e-mail):");
    Label3 = label("Label3", "Тема:");
    Label4 = label("Label4", "Текст сообщения содержит:");
    Label6 = label("Label6", "Порт для подключения:");
    Label7 = label("Label7", "Адрес почтового сервера:");
    Label8 = label("Label8", "Логин:");
    Label9 = label("Label9", "Пароль:");
    Label10 = label("Label10", "Кодировка для заголовка письма:");
    Image1 = named(new QLabel(this), QStringLiteral("Image1"));
    Image1->setPixmap(noticeEnvelope());

    QLineEdit *edits[7];
    for (int i = 0; i < 7; ++i)
        edits[i] = named(new QLineEdit(GroupBox1), n("Edit", i + 1));
    Edit1 = edits[0];
    Edit2 = edits[1];
    Edit3 = edits[2];
    Edit4 = edits[3];
    Edit5 = edits[4];
    Edit6 = edits[5];
    Edit7 = edits[6];
    Edit4->setEchoMode(QLineEdit::Password);
    for (int i = 0; i < 12; ++i)
        CheckBox[i] = named(new QCheckBox(QString::fromUtf8(kBoxCaptions[i]), GroupBox1), n("CheckBox", i + 1));
    RadioButton1 = named(new QRadioButton(QStringLiteral("ANSI"), GroupBox1), QStringLiteral("RadioButton1"));
    RadioButton2 = named(new QRadioButton(QStringLiteral("KOI-8R"), GroupBox1), QStringLiteral("RadioButton2"));
    // The header encoding is changed only in the file.
    Label10->setVisible(false);
    RadioButton1->setVisible(false);
    RadioButton2->setVisible(false);
    BitBtn1 = named(new QPushButton(QStringLiteral("Сохранить"), this), QStringLiteral("BitBtn1"));
    

    auto *grid = new QGridLayout(GroupBox1);
    int row = 0;
    grid->addWidget(Label1, row, 0);
    grid->addWidget(Edit5, row++, 1, 1, 3);
    grid->addWidget(Label2, row, 0);
    grid->addWidget(Edit6, row++, 1, 1, 3);
    grid->addWidget(Label3, row, 0);
    grid->addWidget(Edit7, row, 1, 1, 2);
    grid->addWidget(checkBox(12), row++, 3);
    grid->addWidget(Label4, row++, 0, 1, 4);
    // Two columns of content boxes, in the order of the design.
    const int left[5] = {1, 2, 3, 4, 5};
    const int right[5] = {10, 6, 8, 9, 7};
    for (int i = 0; i < 5; ++i) {
        grid->addWidget(checkBox(left[i]), row, 1);
        grid->addWidget(checkBox(right[i]), row++, 2, 1, 2);
    }
    grid->addWidget(Label7, row, 0);
    grid->addWidget(Edit1, row++, 1, 1, 3);
    grid->addWidget(Label6, row, 0);
    grid->addWidget(Edit2, row++, 1);
    grid->addWidget(checkBox(11), row++, 1, 1, 3);
    grid->addWidget(Label8, row, 0);
    grid->addWidget(Edit3, row++, 1, 1, 3);
    grid->addWidget(Label9, row, 0);
    grid->addWidget(Edit4, row++, 1, 1, 3);
    grid->addWidget(Label10, row, 0);
    grid->addWidget(RadioButton1, row, 1);
    grid->addWidget(RadioButton2, row++, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(Image1);
    bottom->addStretch();
    bottom->addWidget(BitBtn1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(bottom);

    for (int i = 0; i < 7; ++i) {
        connect(edits[i], &QLineEdit::textChanged, this, [this, i](const QString &text) {
            if (!m_loading)
                mailSettings().*kEdits[i] = text;
        });
        // Enter in a field saves, like the main command of the window.
        connect(edits[i], &QLineEdit::returnPressed, this, &Temail_prop::BitBtn1Click);
    }
    for (int i = 0; i < 12; ++i) {
        connect(CheckBox[i], &QCheckBox::toggled, this, [this, i](bool on) {
            if (!m_loading)
                mailSettings().*kBoxes[i] = on;
            if (i == 10)
                updateAuthEnabled();
        });
    }
    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        if (!m_loading && on)
            mailSettings().setCB13(true);
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        if (!m_loading && on)
            mailSettings().setCB14(true);
    });
    connect(BitBtn1, &QPushButton::clicked, this, &Temail_prop::BitBtn1Click);

    loadFromSettings();
    registerWindowTexts(this, QStringLiteral("Email"));
}

QLineEdit *Temail_prop::edit(int i) const
{
    QLineEdit *const edits[7] = {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7};
    return i >= 1 && i <= 7 ? edits[i - 1] : nullptr;
}

void Temail_prop::loadFromSettings()
{
    m_loading = true;
    const MailSettings &m = mailSettings();
    for (int i = 0; i < 7; ++i)
        edit(i + 1)->setText(m.*kEdits[i]);
    for (int i = 0; i < 12; ++i)
        CheckBox[i]->setChecked(m.*kBoxes[i]);
    RadioButton1->setAutoExclusive(false);
    RadioButton2->setAutoExclusive(false);
    RadioButton1->setChecked(m.CB13);
    RadioButton2->setChecked(m.CB14);
    RadioButton1->setAutoExclusive(true);
    RadioButton2->setAutoExclusive(true);
    m_loading = false;
    updateAuthEnabled();
}

void Temail_prop::updateAuthEnabled()
{
    const bool on = checkBox(11)->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(Edit3), static_cast<QWidget *>(Edit4),
                       static_cast<QWidget *>(Label8), static_cast<QWidget *>(Label9)})
        w->setEnabled(on);
}

void Temail_prop::BitBtn1Click()
{
    if (!saveMailSettings(appState().ProgramDir))
        ReportError(QStringLiteral("Не удалось записать файл mail.ini"));
    accept();
}

void Temail_prop::showEvent(QShowEvent *event)
{
    loadFromSettings();
    QDialog::showEvent(event);
    Edit5->setFocus();
}

Temail_prop &emailPropWindow()
{
    static auto *window = new Temail_prop;
    return *window;
}

void showEmailSettingsWindow(QWidget *parent)
{
    Temail_prop &w = emailPropWindow();
    if (parent && w.parentWidget() != parent)
        w.setParent(parent, Qt::Dialog);
    w.exec();
}

} // namespace bw
