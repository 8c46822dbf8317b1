#include "requests/RequestPeriod.h"

namespace bw {

namespace {
PeriodState g_period;
}

PeriodState &periodState()
{
    return g_period;
}

void resetPeriodState()
{
    g_period = PeriodState();
}

QDateTime periodStartOf(const QDate &day)
{
    return QDateTime(day, QTime(0, 0));
}

QDateTime periodEndOf(const QDate &day)
{
    return QDateTime(day, QTime(23, 59, 59, 999));
}

} // namespace bw
