#pragma once

#include "data/FbConnection.h"
#include "data/TableCache.h"

#include <QString>

namespace bw {

// "Database=" + location + separator + "mainbase.fdb": the separator is the one the location's
// folder already uses (a backslash for 10.0.0.5:D:\db, a slash for a POSIX folder).
QString databaseString(const QString &location);

// Free SQL on the main connection: report queries and the inbox-table statements.
class SqlQuery final
{
public:
    explicit SqlQuery(FbConnection &conn);
    // A statement without rows (CREATE/DROP TABLE, INSERT ...). Throws DbError.
    void exec(const QString &sql, const QVariantList &params = {});
    // The same, ignoring any error (the console ignores the error of CREATE TABLE for an existing inbox).
    bool execIgnoringErrors(const QString &sql) noexcept;
    // Rows of a query, kept until the next open or close.
    TableCache &open(const QString &sql, const QVariantList &params = {});
    TableCache &result() { return m_result; }
    void close() { m_result.close(); }

private:
    FbConnection &m_conn;
    TableCache m_result;
};

// The data module: the single owner of the main connection and of the named table caches
// through which every window reads and writes the tables.
class DataModule final
{
public:
    static DataModule &instance();

    FbConnection &connection() { return SQLConnection1; }
    bool isConnected() const { return SQLConnection1.isOpen(); }

    // Connect: close, set the database from appState().DatabaseLocation, open. Throws DbError.
    void connectDatabase();
    void connectTo(const QString &location);
    // Close and open again with the current database string (periodic reconnect, end of maintenance).
    void reconnect();
    void disconnect();
    QString currentDatabaseString() const { return m_database; }

    FbConnection SQLConnection1;
    TableCache maindata{SQLConnection1, QStringLiteral("maindata")};
    TableCache clientdata{SQLConnection1, QStringLiteral("clientdata")};
    TableCache serverdata{SQLConnection1, QStringLiteral("serverdata")};
    TableCache sd{SQLConnection1, QStringLiteral("sd")};
    TableCache em2{SQLConnection1, QStringLiteral("em2")};
    TableCache taskdata{SQLConnection1, QStringLiteral("taskdata")};
    TableCache tasktimer{SQLConnection1, QStringLiteral("tasktimer")};
    TableCache tupdate{SQLConnection1, QStringLiteral("tupdate")};
    TableCache maindataTEST{SQLConnection1, QStringLiteral("maindataTEST")};
    TableCache mainUPD{SQLConnection1, QStringLiteral("mainUPD")};
    TableCache dsql{SQLConnection1, QStringLiteral("dsql")};
    TableCache clientdataX{SQLConnection1, QStringLiteral("clientdataX")};
    SqlQuery SQL1{SQLConnection1};

    // Closes every cache (the connection is about to change).
    void closeCaches();

private:
    DataModule() = default;
    QString m_database;
};

inline DataModule &dm()
{
    return DataModule::instance();
}

} // namespace bw
