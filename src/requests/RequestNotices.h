#pragma once

#include <QString>

namespace bw {

class TableCache;
struct MailNotice;
struct ClientMailNotice;

// The e-mail notices of a save, composed from the current row of the request table.

// Executor notice for a request just put in an executor's queue; empty recipient or e-mail notices off:
// nothing is queued. True when the notice was queued.
MailNotice composeExecutorNotice(const TableCache &request, const QString &executorEmail);
bool queueExecutorNotice(const TableCache &request, const QString &executorEmail);

// Requester notice about the new status; the executor line names the member whose USER_ID is `admin`.
ClientMailNotice composeRequesterNotice(const TableCache &request, int newStatus, int admin);
bool queueRequesterNotice(const TableCache &request, int newStatus, int admin);

} // namespace bw
