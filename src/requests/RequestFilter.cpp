#include "requests/RequestFilter.h"

#include "settings/Settings.h"

namespace bw {

namespace {
constexpr qint64 kDayMs = 86400000LL;
// 30.4375 days: a month of an average year.
constexpr qint64 kMonthMs = kDayMs * 304375 / 10000;
} // namespace

RequestFilterBoxes RequestFilterBoxes::fromSettings()
{
    const Settings &s = settings();
    RequestFilterBoxes b;
    b.status = {s.CBB1, s.CBB2, s.CBB3, s.CBB4, s.CBB5};
    b.importance = {s.CBB6, s.CBB7, s.CBB8};
    b.week = s.CBB9;
    b.month = s.CBB10;
    return b;
}

void RequestFilterBoxes::toSettings() const
{
    Settings &s = settings();
    s.CBB1 = status[0];
    s.CBB2 = status[1];
    s.CBB3 = status[2];
    s.CBB4 = status[3];
    s.CBB5 = status[4];
    s.CBB6 = importance[0];
    s.CBB7 = importance[1];
    s.CBB8 = importance[2];
    s.CBB9 = week;
    s.CBB10 = month;
}

RequestFilter::RequestFilter(const Setup &setup) : m_setup(setup)
{
    m_now = wallClock(setup.now.isValid() ? setup.now : QDateTime::currentDateTime());
    m_periodStart = wallClock(setup.periodStart);
    m_periodEnd = wallClock(setup.periodEnd);
}

qint64 RequestFilter::wallClock(const QDateTime &t)
{
    if (!t.isValid())
        return kNoDate;
    return t.date().toJulianDay() * kDayMs + t.time().msecsSinceStartOfDay();
}

bool RequestFilter::timePasses(qint64 data) const
{
    if (!m_setup.boxes.week && !m_setup.boxes.month)
        return true;
    if (data == kNoDate)
        return false;
    const qint64 diff = data > m_now ? data - m_now : m_now - data;
    if (m_setup.boxes.week && diff / kDayMs <= 7)
        return true;
    return m_setup.boxes.month && diff < kMonthMs;
}

bool RequestFilter::periodPasses(qint64 data) const
{
    if (!m_setup.periodSet)
        return true;
    if (data == kNoDate || m_periodStart == kNoDate || m_periodEnd == kNoDate)
        return false;
    return m_periodStart <= data && data <= m_periodEnd;
}

bool RequestFilter::clientPasses(bool clientNull, const QString &idClient) const
{
    if (!m_setup.clientFilter)
        return true;
    // An empty reference (the current request had no client) matches nothing.
    return !m_setup.referenceClient.isEmpty() && !clientNull && idClient == m_setup.referenceClient;
}

bool RequestFilter::passes(const RequestFacts &row) const
{
    const qint64 data = wallClock(row.data);
    return statusPasses(row.status) && importancePasses(row.importance) && timePasses(data) && periodPasses(data) &&
           clientPasses(row.clientNull, row.idClient) && rightsPass(row.admin);
}

} // namespace bw
