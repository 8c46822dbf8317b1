#include "directories/gui/AddOther.h"

#include "app/gui/LanguageBinding.h"
#include "directories/gui/DirectoryUi.h"
#include "i18n/LanguageFile.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace bw {

TAddOther::TAddOther(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AddOther"));
    setWindowTitle(QStringLiteral("Новая запись"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    GroupBox1 = new QGroupBox(QStringLiteral("Информация об отделе/группе"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Label9 = new QLabel(QStringLiteral("Наименование отдела/группы:"), GroupBox1);
    Label9->setObjectName(QStringLiteral("Label9"));
    Edit1 = new QLineEdit(GroupBox1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Label9->setBuddy(Edit1);

    auto *fields = new QVBoxLayout(GroupBox1);
    fields->addWidget(Label9);
    fields->addWidget(Edit1);

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

    connect(BitBtn1, &QPushButton::clicked, this, &TAddOther::BitBtn1Click);
    saveOnEnter(Edit1, [this] { BitBtn1Click(); });

    registerWindowTexts(this, QStringLiteral("AddOther"));
}

TAddOther::~TAddOther()
{
    LanguageRegistry::instance().remove(this);
}

void TAddOther::setKind(DirectoryKind kind, bool edit)
{
    m_kind = kind;
    setWindowTitle(edit ? catalogueTextOr("DLG25") : catalogueTextOr("DLG35"));
    switch (kind) {
    case DirectoryKind::Topics:
        GroupBox1->setTitle(catalogueTextOr("DLG26"));
        Label9->setText(catalogueTextOr("DLG30"));
        break;
    case DirectoryKind::Refinements:
        GroupBox1->setTitle(catalogueTextOr("DLG27"));
        Label9->setText(catalogueTextOr("DLG31"));
        break;
    case DirectoryKind::TimeOptions:
        GroupBox1->setTitle(catalogueTextOr("DLG28"));
        Label9->setText(catalogueTextOr("DLG32"));
        break;
    default:
        break;
    }
}

void TAddOther::prepareAdd()
{
    m_edit = false;
    m_editId = 0;
    Edit1->clear();
}

bool TAddOther::prepareEdit(int id)
{
    const std::optional<QString> name = directories().entryName(m_kind, id);
    if (!name)
        return false;
    m_edit = true;
    m_editId = id;
    Edit1->setText(*name);
    return true;
}

void TAddOther::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Edit1->setFocus();
}

void TAddOther::BitBtn1Click()
{
    const QString name = Edit1->text();
    if (name.isEmpty())
        return;
    runRecordSave(this, [&] {
        return m_edit ? directories().editEntry(m_kind, m_editId, name) : directories().addEntry(m_kind, name);
    });
}

} // namespace bw
