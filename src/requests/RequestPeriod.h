#pragma once

#include <QDateTime>

namespace bw {

// The period of the period dialog (Tcalendar): whether a period is set and its two bounds. The request
// list and the reports window both read it; the reports window may clear it.
struct PeriodState
{
    bool PeriodSet = false;
    QDateTime StartDate; // start of the first chosen day
    QDateTime EndDate;   // end of the second chosen day (the whole day counts)
};

PeriodState &periodState();
void resetPeriodState();

// Bounds for two chosen calendar days: the start day from 00:00:00.000, the end day to 23:59:59.999, so a
// request received at any moment of the end day is inside the period.
QDateTime periodStartOf(const QDate &day);
QDateTime periodEndOf(const QDate &day);

} // namespace bw
