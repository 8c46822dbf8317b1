#include "settings/gui/DynFound.h"

#include "app/gui/LanguageBinding.h"
#include "settings/Settings.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace bw {

namespace {

template <typename W>
W *named(W *w, const char *name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

} // namespace

TDYNFound::TDYNFound(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DYNFound"));
    setWindowTitle(QStringLiteral("Определение динамического IP-адреса"));
    setModal(true);

    GroupBox1 = named(new QGroupBox(QStringLiteral("Функции для определения адреса"), this), "GroupBox1");
    RadioButton1 = named(new QRadioButton(QStringLiteral("Первый в списке не localhost"), GroupBox1), "RadioButton1");
    RadioButton2 = named(new QRadioButton(QStringLiteral("Поиск адреса по маске:"), GroupBox1), "RadioButton2");
    Edit1 = named(new QLineEdit(GroupBox1), "Edit1");
    Label1 = named(new QLabel(QStringLiteral("Пример: 192.168"), GroupBox1), "Label1");
    BitBtn1 = named(new QPushButton(QStringLiteral("Закрыть"), this), "BitBtn1");

    auto *grid = new QGridLayout(GroupBox1);
    grid->addWidget(RadioButton1, 0, 0, 1, 2);
    grid->addWidget(RadioButton2, 1, 0);
    grid->addWidget(Edit1, 1, 1);
    grid->addWidget(Label1, 2, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addWidget(BitBtn1, 0, Qt::AlignRight);

    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        if (!m_loading && on)
            settings().setCHB3(true);
        updateMaskEnabled();
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        if (!m_loading && on)
            settings().setCHB4(true);
        updateMaskEnabled();
    });
    connect(Edit1, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (!m_loading)
            settings().EDD = text;
    });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    // Enter in the mask field only closes the window, like the button.
    connect(Edit1, &QLineEdit::returnPressed, this, &QDialog::accept);

    loadFromSettings();
    registerWindowTexts(this, QStringLiteral("DYNFound"));
}

void TDYNFound::showEvent(QShowEvent *event)
{
    loadFromSettings();
    QDialog::showEvent(event);
}

void TDYNFound::loadFromSettings()
{
    m_loading = true;
    const Settings &s = settings();
    // Neither chosen (both false in the file) leaves both radio buttons clear.
    RadioButton1->setAutoExclusive(false);
    RadioButton2->setAutoExclusive(false);
    RadioButton1->setChecked(s.CHB3);
    RadioButton2->setChecked(s.CHB4 && !s.CHB3);
    RadioButton1->setAutoExclusive(true);
    RadioButton2->setAutoExclusive(true);
    Edit1->setText(s.EDD);
    m_loading = false;
    updateMaskEnabled();
}

void TDYNFound::updateMaskEnabled()
{
    const bool mask = RadioButton2->isChecked();
    Edit1->setEnabled(mask);
    Label1->setEnabled(mask);
}

TDYNFound &dynFoundWindow()
{
    static auto *window = new TDYNFound;
    return *window;
}

} // namespace bw
