#include "directories/gui/AddContact.h"

#include "app/gui/LanguageBinding.h"
#include "directories/Directories.h"
#include "directories/gui/DirectoryUi.h"
#include "i18n/LanguageFile.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace bw {

TAddContact::TAddContact(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AddContact"));
    setWindowTitle(QStringLiteral("Новый отдел/группа"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    GroupBox1 = new QGroupBox(QStringLiteral("Информация об отделе/группе"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Label9 = new QLabel(QStringLiteral("Наименование отдела/группы:"), GroupBox1);
    Label9->setObjectName(QStringLiteral("Label9"));
    Edit1 = new QLineEdit(GroupBox1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Label1 = new QLabel(QStringLiteral("Начальник отдела/группы:"), GroupBox1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit2 = new QLineEdit(GroupBox1);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Label9->setBuddy(Edit1);
    Label1->setBuddy(Edit2);

    auto *fields = new QVBoxLayout(GroupBox1);
    fields->addWidget(Label9);
    fields->addWidget(Edit1);
    fields->addSpacing(4);
    fields->addWidget(Label1);
    fields->addWidget(Edit2);

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
    setMinimumWidth(380);

    connect(BitBtn1, &QPushButton::clicked, this, &TAddContact::BitBtn1Click);
    saveOnEnter(Edit1, [this] { BitBtn1Click(); });
    saveOnEnter(Edit2, [this] { BitBtn1Click(); });

    registerWindowTexts(this, QStringLiteral("AddContact"));
}

TAddContact::~TAddContact()
{
    LanguageRegistry::instance().remove(this);
}

void TAddContact::prepareAdd()
{
    m_edit = false;
    m_editId = 0;
    Edit1->clear();
    Edit2->clear();
}

bool TAddContact::prepareEdit(int id)
{
    const std::optional<GroupRecord> group = directories().group(id);
    if (!group)
        return false;
    m_edit = true;
    m_editId = id;
    Edit1->setText(group->name);
    Edit2->setText(group->manager);
    return true;
}

void TAddContact::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Edit1->setFocus();
}

void TAddContact::BitBtn1Click()
{
    if (Edit1->text().isEmpty())
        return;
    const GroupRecord group{Edit1->text(), Edit2->text()};
    runRecordSave(this, [&] {
        return m_edit ? directories().editGroup(m_editId, group) : directories().addGroup(group);
    });
}

} // namespace bw
