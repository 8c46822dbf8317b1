#include "requests/RequestNotices.h"

#include "data/DataModule.h"
#include "i18n/Catalogue.h"
#include "notify/MailQueue.h"
#include "requests/RequestWorkspace.h"
#include "settings/Settings.h"

namespace bw {

MailNotice composeExecutorNotice(const TableCache &t, const QString &executorEmail)
{
    MailNotice n;
    n.requestNumber = t.asInt(QStringLiteral("ID"));
    n.arrivalTime = t.asString(QStringLiteral("INTIME")).left(40);
    n.importance = t.asInt(QStringLiteral("IMP"));
    n.topic = t.asString(QStringLiteral("TROUBLE")).left(250);
    n.details = t.asString(QStringLiteral("TROUBLE_MAX"));
    n.refinement = t.asString(QStringLiteral("TROUBLE_MORE"));
    n.startTime = t.asString(QStringLiteral("TROUBLE_WHEN"));
    n.contact = t.asString(QStringLiteral("CONTACT"));
    n.computerLine = msg(95) + u' ' + systemInfoText(t); // the system line, or DLG68 without one
    if (mailSettings().CB10 && !t.isNull(QStringLiteral("CLIENT_GROUP"))) {
        if (const std::optional<QString> group = groupNameOf(dm().em2, t.asInt(QStringLiteral("CLIENT_GROUP"))))
            n.groupLine = msg(93) + u' ' + *group;
    }
    n.recipient = executorEmail.left(250);
    return n;
}

bool queueExecutorNotice(const TableCache &t, const QString &executorEmail)
{
    if (!settings().CB7 || executorEmail.isEmpty())
        return false;
    return MailQueue().enqueue(composeExecutorNotice(t, executorEmail));
}

ClientMailNotice composeRequesterNotice(const TableCache &t, int newStatus, int admin)
{
    ClientMailNotice n;
    n.requestNumber = t.asInt(QStringLiteral("ID"));
    n.topic = t.asString(QStringLiteral("TROUBLE")).left(250);
    n.refinement = t.asString(QStringLiteral("TROUBLE_MORE"));
    if (admin != 0) {
        TableCache &users = dm().em2;
        users.close();
        users.openTable(QStringLiteral("USERS"));
        users.orderBy(QStringLiteral("USER_ID"));
        if (users.locate(QStringLiteral("USER_ID"), admin))
            n.executorLine = msg(22) + QStringLiteral(": ") + users.asString(QStringLiteral("USER_NAME"));
    }
    n.status = newStatus;
    n.currentInfo = t.asString(QStringLiteral("CURRENT_INFO"));
    n.recipient = t.asString(QStringLiteral("EMAIL")).left(250);
    return n;
}

bool queueRequesterNotice(const TableCache &t, int newStatus, int admin)
{
    if (!settings().CB7 || t.asString(QStringLiteral("EMAIL")).isEmpty())
        return false;
    return ClientMailQueue().enqueue(composeRequesterNotice(t, newStatus, admin));
}

} // namespace bw
