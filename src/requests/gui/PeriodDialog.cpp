#include "requests/gui/PeriodDialog.h"

#include "requests/RequestPeriod.h"
#include "requests/gui/WindowTexts.h"

#include <QCalendarWidget>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace bw {

Tcalendar::Tcalendar(QWidget *parent) : QDialog(parent)
{
    setModal(true);
    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Label1 = new QLabel(GroupBox1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(GroupBox1);
    Label2->setObjectName(QStringLiteral("Label2"));
    m_start = new QCalendarWidget(GroupBox1);
    m_start->setObjectName(QStringLiteral("MonthCalendar1"));
    m_end = new QCalendarWidget(GroupBox1);
    m_end->setObjectName(QStringLiteral("MonthCalendar2"));
    for (QCalendarWidget *c : {m_start, m_end}) {
        c->setGridVisible(true);
        c->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    }
    BitBtn1 = new QPushButton(this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);

    auto *grid = new QGridLayout(GroupBox1);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Label2, 0, 1);
    grid->addWidget(m_start, 1, 0);
    grid->addWidget(m_end, 1, 1);
    auto *main = new QVBoxLayout(this);
    main->addWidget(GroupBox1);
    main->addWidget(BitBtn1, 0, Qt::AlignRight);

    connect(BitBtn1, &QPushButton::clicked, this, &Tcalendar::BitBtn1Click);
    setUpWindowTexts(this, QStringLiteral("Calendar"));
}

void Tcalendar::showEvent(QShowEvent *event)
{
    const QDate today = QDate::currentDate();
    m_start->setSelectedDate(today);
    m_end->setSelectedDate(today);
    periodState().PeriodSet = false;
    QDialog::showEvent(event);
}

void Tcalendar::BitBtn1Click()
{
    PeriodState &p = periodState();
    p.StartDate = periodStartOf(m_start->selectedDate());
    p.EndDate = periodEndOf(m_end->selectedDate());
    p.PeriodSet = true;
    accept();
}

Tcalendar *periodDialog()
{
    static Tcalendar *dialog = new Tcalendar;
    return dialog;
}

} // namespace bw
