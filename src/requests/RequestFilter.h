#pragma once

#include <QDateTime>
#include <QString>

#include <array>
#include <limits>

namespace bw {

// The ten filter boxes of the request list, in the order of their settings keys CBB1..CBB10.
struct RequestFilterBoxes
{
    std::array<bool, 5> status{true, true, false, false, false}; // CURRENT_STATE 0..4
    std::array<bool, 3> importance{true, true, true};            // IMP 1..3
    bool week = false;
    bool month = false;

    static RequestFilterBoxes fromSettings();
    void toSettings() const;
};

// What a request row contributes to the filter decision.
struct RequestFacts
{
    int status = 0;
    int importance = 0;
    QDateTime data;        // invalid: DATA is NULL
    bool clientNull = true;
    QString idClient;
    int admin = 0;
};

// Which requests the list shows. Time values are compared as wall-clock date-times (what the client program
// stored and what the clock shows), so a daylight-saving change does not move a request in or out of the week.
class RequestFilter final
{
public:
    struct Setup
    {
        RequestFilterBoxes boxes;
        bool periodSet = false;
        QDateTime periodStart;
        QDateTime periodEnd;
        bool clientFilter = false;
        QString referenceClient;
        int userPriv = -1;
        int userId = 0;
        QDateTime now;
    };

    explicit RequestFilter(const Setup &setup);

    // Wall-clock milliseconds of a date-time (no time-zone conversion); the same scale as the checks below.
    static qint64 wallClock(const QDateTime &t);
    static constexpr qint64 kNoDate = std::numeric_limits<qint64>::min();

    bool statusPasses(int status) const { return status >= 0 && status <= 4 && m_setup.boxes.status[size_t(status)]; }
    bool importancePasses(int imp) const { return imp >= 1 && imp <= 3 && m_setup.boxes.importance[size_t(imp - 1)]; }
    // DATA in wall-clock milliseconds, kNoDate when NULL.
    bool timePasses(qint64 data) const;
    bool periodPasses(qint64 data) const;
    // Whether DATA matters at all (week, month or period).
    bool needsDate() const { return m_setup.boxes.week || m_setup.boxes.month || m_setup.periodSet; }
    bool needsClient() const { return m_setup.clientFilter; }
    bool clientPasses(bool clientNull, const QString &idClient) const;
    bool rightsPass(int admin) const { return m_setup.userPriv != 1 || admin == m_setup.userId; }

    bool passes(const RequestFacts &row) const;

    const Setup &setup() const { return m_setup; }

private:
    Setup m_setup;
    qint64 m_now = 0;
    qint64 m_periodStart = 0;
    qint64 m_periodEnd = 0;
};

// Counts toward the queue of the signed-in member: status 0 and (administrator, or executor assigned to it).
inline bool countsAsQueued(int status, int admin, int userPriv, int userId)
{
    return status == 0 && (userPriv == 0 || (userPriv == 1 && admin == userId));
}

} // namespace bw
