#pragma once

#include "data/FbConnection.h"

#include <QDateTime>
#include <QString>

namespace bw {

// A request as the client program files it (the fields a user fills in and the facts about his
// computer that the client program adds).
struct NewRequest
{
    QString idClient;       // ID_CLIENT: identity of the reporting client (empty: NULL)
    int clientGroup = 0;    // CLIENT_GROUP: GROUP_ID of the user's department, 0: none
    QString trouble;        // TROUBLE: topic (a P_MAIN name)
    QString troubleMore;    // TROUBLE_MORE: refinement (a P_2 name)
    QString troubleWhen;    // TROUBLE_WHEN: when it began (a P_WHEN name)
    QString troubleMax;     // TROUBLE_MAX: the user's description
    QString contact;        // CONTACT
    int importance = 2;     // IMP: 1..3
    QString impMore;        // IMP_MORE
    bool thisComp = true;   // THISCOMP
    QString os;             // OS
    QString proc;           // PROC
    QString memory;         // MEMORY
    QString ipAddress;      // IPADR
    QString email;          // EMAIL (empty: NULL)
    QString attachment;     // CLIENT_AT: file name without folder (empty: NULL)
    int executor = 0;       // ADMIN: USER_ID of the chosen executor, 0: nobody
    QDateTime received;     // DATA (invalid: now)
};

// The receipt time as the client program writes it into INTIME.
QString intimeText(const QDateTime &when);
// The time of a status save as the console writes it into CTIME ("05.03.2010, 14:07:33").
QString ctimeText(const QDateTime &when);

// Files a new request exactly as the client program does, in one transaction: a SERVER_ALL row
// with CURRENT_STATE 0 and ID = largest + 1, and its inbox row (ID = largest + 1 of that table)
// in the executor's table, or in _ADMIN when no executor was chosen. Returns the new ID.
// Throws DbError (nothing is written) when the executor is not a staff member or his inbox
// table is missing, or on any database error.
int fileRequest(FbConnection &conn, const NewRequest &r);

// Fills a database that holds the empty schema with a demo help-desk in Russian: departments,
// topics with refinements, time options, staff of all three roles with their inbox tables,
// a few hundred requests of the last four months in every status and importance with inbox
// rows that obey the queue rules, tasks, and the service tables UPD, INFO, DSQL and TEX.
// The content depends only on the seed; dates are counted back from `now`.
// Sign-in of the demo: USER_ID 1 "Администратор", login admin, password admin.
void fillDemoDatabase(FbConnection &conn, quint32 seed, const QDateTime &now = QDateTime::currentDateTime());

// Bulk-inserts `count` requests (IDs continue after the largest one) with all four long texts
// filled and realistic other fields, dated back from now so that a larger ID is newer. Queued
// requests get their inbox rows (executors are chosen among staff members with an inbox table).
void generateRequests(FbConnection &conn, int count, quint32 seed);

// Stores in a database file whether the engine writes its pages synchronously, and (pageBuffers > 0)
// the size of the page cache it opens the file with. Synchronous writes keep a shared database safe
// after a crash; a scratch database for bulk loading and measurements is far faster without them.
// Best done while no connection of this process has the file open (the cache size is taken at open).
void setDatabaseWriteMode(const QString &databaseString, bool forcedWrites, int pageBuffers = 0);

} // namespace bw
