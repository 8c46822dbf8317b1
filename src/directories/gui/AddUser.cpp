#include "directories/gui/AddUser.h"

#include "directories/Directories.h"
#include "directories/gui/DirectoryUi.h"

#include <QButtonGroup>
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

const char *const kDesignName = "Ф.И.О.:";
const char *const kDesignLogin = "Логин (короткое имя):";
const char *const kDesignPassword = "Пароль:";
const char *const kDesignEmail = "E-mail:";

} // namespace

TAddUser::TAddUser(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AddUser"));
    setWindowTitle(QStringLiteral("Новый администратор/исполнитель"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    GroupBox1 = new QGroupBox(QStringLiteral("Информация об администрации"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));

    RadioButton1 = new QRadioButton(QStringLiteral("Администратор/Диспетчер"), GroupBox1);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2 = new QRadioButton(QStringLiteral("Исполнитель"), GroupBox1);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton3 = new QRadioButton(QStringLiteral("Наблюдатель"), GroupBox1);
    RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
    auto *roles = new QButtonGroup(this);
    roles->addButton(RadioButton1, RoleAdministrator);
    roles->addButton(RadioButton2, RoleExecutor);
    roles->addButton(RadioButton3, RoleObserver);
    RadioButton1->setChecked(true);

    auto makeField = [this](QLabel *&label, QLineEdit *&edit, const char *labelName, const char *editName,
                            const char *text) {
        label = new QLabel(QString::fromUtf8(text), GroupBox1);
        label->setObjectName(QString::fromLatin1(labelName));
        edit = new QLineEdit(GroupBox1);
        edit->setObjectName(QString::fromLatin1(editName));
        label->setBuddy(edit);
    };
    makeField(Label1, Edit1, "Label1", "Edit1", kDesignName);
    makeField(Label2, Edit2, "Label2", "Edit2", kDesignLogin);
    makeField(Label3, Edit3, "Label3", "Edit3", kDesignPassword);
    makeField(Label4, Edit4, "Label4", "Edit4", kDesignEmail);
    Edit2->setMaxLength(kMaxLoginLength);
    Edit3->setMaxLength(kMaxLoginLength);
    Edit3->setEchoMode(QLineEdit::Password);
    Edit4->setInputMethodHints(Qt::ImhEmailCharactersOnly);

    auto *roleRow = new QHBoxLayout;
    roleRow->addWidget(RadioButton1);
    roleRow->addWidget(RadioButton2);
    roleRow->addWidget(RadioButton3);
    roleRow->addStretch(1);

    auto *grid = new QGridLayout(GroupBox1);
    grid->addLayout(roleRow, 0, 0, 1, 2);
    grid->setRowMinimumHeight(1, 6);
    int row = 2;
    for (auto [label, edit] : {std::pair{Label1, Edit1}, {Label2, Edit2}, {Label3, Edit3}, {Label4, Edit4}}) {
        grid->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(edit, row, 1);
        ++row;
    }
    grid->setColumnStretch(1, 1);

    BitBtn1 = new QPushButton(QStringLiteral("Сохранить"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setMinimumWidth(110);
    noDefault(BitBtn1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);
    setMinimumWidth(460);

    connect(BitBtn1, &QPushButton::clicked, this, &TAddUser::BitBtn1Click);
    for (QLineEdit *edit : {Edit1, Edit2, Edit3, Edit4})
        saveOnEnter(edit, [this] { BitBtn1Click(); });
}

TAddUser::~TAddUser() = default;

void TAddUser::applyCaptions(bool edit)
{
    setWindowTitle(catalogueTextOr(edit ? "DLG25" : "DLG35", windowTitle()));
    GroupBox1->setTitle(catalogueTextOr("DLG29", GroupBox1->title()));
    Label1->setText(catalogueTextOr("DLG33", QString::fromUtf8(kDesignName)));
    Label2->setText(catalogueTextOr("DLG77", QString::fromUtf8(kDesignLogin)));
    Label3->setText(catalogueTextOr("DLG78", QString::fromUtf8(kDesignPassword)));
    Label4->setText(catalogueTextOr("DLG85", QString::fromUtf8(kDesignEmail)));
    RadioButton1->setText(catalogueTextOr("DLG79", RadioButton1->text()));
    RadioButton2->setText(catalogueTextOr("DLG80", RadioButton2->text()));
    RadioButton3->setText(catalogueTextOr("DLG81", RadioButton3->text()));
    BitBtn1->setText(catalogueTextOr("DLG106", BitBtn1->text()));
}

int TAddUser::role() const
{
    if (RadioButton2->isChecked())
        return RoleExecutor;
    if (RadioButton3->isChecked())
        return RoleObserver;
    return RoleAdministrator;
}

void TAddUser::setRole(int role)
{
    switch (role) {
    case RoleExecutor:
        RadioButton2->setChecked(true);
        break;
    case RoleObserver:
        RadioButton3->setChecked(true);
        break;
    default:
        RadioButton1->setChecked(true);
        break;
    }
}

void TAddUser::prepareAdd()
{
    m_edit = false;
    m_editId = 0;
    for (QLineEdit *edit : {Edit1, Edit2, Edit3, Edit4})
        edit->clear();
    setRole(RoleAdministrator);
}

bool TAddUser::prepareEdit(int id)
{
    const std::optional<StaffAccount> account = directories().staffAccount(id);
    if (!account)
        return false;
    m_edit = true;
    m_editId = id;
    Edit1->setText(account->name);
    Edit2->setText(account->login);
    Edit3->setText(account->password);
    Edit4->setText(account->email);
    setRole(account->role);
    return true;
}

void TAddUser::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Edit1->setFocus();
}

void TAddUser::BitBtn1Click()
{
    if (Edit1->text().isEmpty())
        return;
    StaffAccount account;
    account.name = Edit1->text();
    account.login = Edit2->text();
    account.password = Edit3->text();
    account.email = Edit4->text();
    account.role = role();
    runRecordSave(this, [&] {
        return m_edit ? directories().editStaff(m_editId, account) : directories().addStaff(account);
    });
}

} // namespace bw
