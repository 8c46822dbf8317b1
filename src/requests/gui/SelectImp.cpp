#include "requests/gui/SelectImp.h"

#include "app/gui/Icons.h"
#include "requests/gui/WindowTexts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace bw {

TSelectIMP::TSelectIMP(QWidget *parent) : QDialog(parent)
{
    setModal(true);
    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto *grid = new QGridLayout(GroupBox1);
    grid->setHorizontalSpacing(18);
    Label8 = new QLabel(GroupBox1);
    Label8->setObjectName(QStringLiteral("Label8"));
    Label10 = new QLabel(GroupBox1);
    Label10->setObjectName(QStringLiteral("Label10"));
    Label11 = new QLabel(GroupBox1);
    Label11->setObjectName(QStringLiteral("Label11"));
    QLabel *labels[3] = {Label8, Label10, Label11};
    for (int i = 0; i < 3; ++i) {
        auto *b = new QToolButton(GroupBox1);
        b->setObjectName(QStringLiteral("SpeedButton%1").arg(i + 1));
        b->setIcon(imageList1(requestImportanceImageIndex(i + 1)));
        b->setIconSize(QSize(48, 48));
        b->setAutoRaise(true);
        b->setFixedSize(64, 64);
        connect(b, &QToolButton::clicked, this, [this, i] { pick(i + 1); });
        m_buttons[i] = b;
        labels[i]->setWordWrap(true);
        labels[i]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        labels[i]->setFixedWidth(170);
        grid->addWidget(b, 0, i, Qt::AlignHCenter);
        grid->addWidget(labels[i], 1, i, Qt::AlignHCenter | Qt::AlignTop);
    }
    auto *main = new QVBoxLayout(this);
    main->addWidget(GroupBox1);
    setUpWindowTexts(this, QStringLiteral("SelectIMP"));
}

QToolButton *TSelectIMP::button(int importance) const
{
    return importance >= 1 && importance <= 3 ? m_buttons[importance - 1] : nullptr;
}

void TSelectIMP::pick(int importance)
{
    m_choice = importance;
    accept();
}

int TSelectIMP::choose()
{
    m_choice = 0;
    if (QWidget *p = parentWidget())
        move(p->geometry().center() - rect().center());
    exec();
    return m_choice;
}

TSelectIMP *importanceDialog()
{
    static TSelectIMP *dialog = new TSelectIMP;
    return dialog;
}

int ChooseImportance()
{
    return importanceDialog()->choose();
}

} // namespace bw
