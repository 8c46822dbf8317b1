#pragma once

#include <QDialog>

class QCalendarWidget;
class QGroupBox;
class QLabel;
class QPushButton;

namespace bw {

// The period dialog: two month calendars; "Сохранить" sets the shared period, any other way out leaves it
// unset (showing the dialog clears it).
class Tcalendar final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tcalendar)

public:
    explicit Tcalendar(QWidget *parent = nullptr);

    QCalendarWidget *startCalendar() const { return m_start; }
    QCalendarWidget *endCalendar() const { return m_end; }
    QPushButton *saveButton() const { return BitBtn1; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void BitBtn1Click();

    QGroupBox *GroupBox1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QCalendarWidget *m_start = nullptr;
    QCalendarWidget *m_end = nullptr;
    QPushButton *BitBtn1 = nullptr;
};

// The dialog object of the program (created on first use, lives until the end).
Tcalendar *periodDialog();

} // namespace bw
