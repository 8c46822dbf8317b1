#include "data/DataModule.h"

#include "app/AppState.h"

namespace bw {

QString databaseString(const QString &location)
{
    static const QString file = QStringLiteral("mainbase.fdb");
    if (location.isEmpty())
        return file;
    const QChar sep = location.contains(u'\\') ? u'\\' : u'/';
    if (location.endsWith(u'\\') || location.endsWith(u'/'))
        return location + file;
    return location + sep + file;
}

SqlQuery::SqlQuery(FbConnection &conn)
    : m_conn(conn), m_result(conn, QStringLiteral("SQL1"))
{
}

void SqlQuery::exec(const QString &sql, const QVariantList &params)
{
    m_conn.execute(sql, params);
}

bool SqlQuery::execIgnoringErrors(const QString &sql) noexcept
{
    try {
        m_conn.execute(sql);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

TableCache &SqlQuery::open(const QString &sql, const QVariantList &params)
{
    m_result.openQuery(sql, params);
    return m_result;
}

DataModule &DataModule::instance()
{
    static DataModule module;
    return module;
}

void DataModule::closeCaches()
{
    for (TableCache *c : {&maindata, &clientdata, &serverdata, &sd, &em2, &taskdata, &tasktimer, &tupdate,
                          &maindataTEST, &mainUPD, &dsql, &clientdataX})
        c->close();
    SQL1.close();
}

void DataModule::connectDatabase()
{
    connectTo(appState().DatabaseLocation);
}

void DataModule::connectTo(const QString &location)
{
    SQLConnection1.close();
    m_database = databaseString(location);
    SQLConnection1.open(m_database);
}

void DataModule::reconnect()
{
    SQLConnection1.close();
    SQLConnection1.open(m_database);
}

void DataModule::disconnect()
{
    SQLConnection1.close();
}

} // namespace bw
