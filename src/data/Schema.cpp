#include "data/Schema.h"

#include "data/FbConnection.h"

namespace bw {

QStringList schemaStatements()
{
    return {
        QStringLiteral("CREATE TABLE SERVER_ALL ("
                       " ID INTEGER NOT NULL PRIMARY KEY,"
                       " ID_CLIENT VARCHAR(64),"
                       " DATA TIMESTAMP,"
                       " INTIME VARCHAR(40),"
                       " CLIENT_GROUP INTEGER,"
                       " TROUBLE VARCHAR(250),"
                       " TROUBLE_MORE VARCHAR(250),"
                       " TROUBLE_WHEN VARCHAR(250),"
                       " TROUBLE_MAX BLOB SUB_TYPE TEXT,"
                       " CONTACT VARCHAR(250),"
                       " \"IMP\" INTEGER,"
                       " IMP_MORE VARCHAR(250),"
                       " THISCOMP BOOLEAN,"
                       " OS VARCHAR(100),"
                       " PROC VARCHAR(100),"
                       " MEMORY VARCHAR(50),"
                       " IPADR VARCHAR(50),"
                       " EMAIL VARCHAR(100),"
                       " CLIENT_AT VARCHAR(250),"
                       " \"CURRENT_STATE\" INTEGER,"
                       " TEXT_STATE VARCHAR(100),"
                       " \"ADMIN\" INTEGER,"
                       " CURRENT_INFO BLOB SUB_TYPE TEXT,"
                       " CTIME VARCHAR(40),"
                       " ADMIN_TEXT BLOB SUB_TYPE TEXT,"
                       " M_INFO BLOB SUB_TYPE TEXT)"),
        QStringLiteral("CREATE TABLE GROUPS ("
                       " GROUP_ID INTEGER NOT NULL PRIMARY KEY,"
                       " GROUP_NAME VARCHAR(250),"
                       " GROUP_MANAGER VARCHAR(250),"
                       " ORD INTEGER)"),
        QStringLiteral("CREATE TABLE USERS ("
                       " USER_ID INTEGER NOT NULL PRIMARY KEY,"
                       " USER_NAME VARCHAR(250),"
                       " LOGIN VARCHAR(40),"
                       " PASS VARCHAR(40),"
                       " PRIV INTEGER,"
                       " USER_EMAIL VARCHAR(250),"
                       " REM INTEGER,"
                       " REM_LOGIN VARCHAR(40),"
                       " REM_PASS VARCHAR(40),"
                       " ORD INTEGER)"),
        QStringLiteral("CREATE TABLE P_MAIN (ID INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(250), ORD INTEGER)"),
        QStringLiteral("CREATE TABLE P_2 (ID INTEGER NOT NULL PRIMARY KEY, ID_MAIN INTEGER, NAME VARCHAR(250), "
                       "ORD INTEGER)"),
        QStringLiteral("CREATE TABLE P_WHEN (ID INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(250), ORD INTEGER)"),
        QStringLiteral("CREATE TABLE TASKS ("
                       " ID INTEGER NOT NULL PRIMARY KEY,"
                       " USER_ID INTEGER,"
                       " TASK_NAME VARCHAR(250),"
                       " ALLINFO BLOB SUB_TYPE TEXT,"
                       " \"IMP\" INTEGER,"
                       " \"TYPE\" INTEGER,"
                       " TDATE DATE,"
                       " TTIME TIME,"
                       " TDATE2 DATE,"
                       " TTIME2 TIME,"
                       " TAL VARCHAR(5),"
                       " REF VARCHAR(5),"
                       " REF_ID INTEGER,"
                       " REF_NAME VARCHAR(250))"),
        QStringLiteral("CREATE TABLE \"_ADMIN\" (ID INTEGER NOT NULL, IN_ID INTEGER NOT NULL)"),
        QStringLiteral("CREATE TABLE UPD (STR VARCHAR(50))"),
        QStringLiteral("CREATE TABLE \"UPDATE\" (ID INTEGER NOT NULL, CLIENT VARCHAR(100), \"TYPE\" INTEGER)"),
        QStringLiteral("CREATE TABLE INFO (VERSION_ADMIN VARCHAR(50))"),
        QStringLiteral("CREATE TABLE TEX (STR VARCHAR(2000))"),
        QStringLiteral("CREATE TABLE DSQL (DENYSQL INTEGER, DSELECT INTEGER, DCREATE INTEGER, DALTER INTEGER, "
                       "DINSERT INTEGER, DUPDATE INTEGER, DDROP INTEGER, DSHOW INTEGER)"),
    };
}

void createSchemaDatabase(const QString &databaseString)
{
    FbConnection::createDatabase(databaseString, QStringLiteral("WIN1251"));
    FbConnection conn;
    conn.open(databaseString);
    FbConnection::Transaction tra(conn, false);
    for (const QString &sql : schemaStatements())
        conn.execute(tra, sql);
    tra.commit();
}

QString createInboxTableSql(int userId)
{
    return QStringLiteral("CREATE TABLE \"%1\" (    ID INTEGER NOT NULL,    IN_ID INTEGER NOT NULL)").arg(userId);
}

QString dropInboxTableSql(int userId)
{
    return QStringLiteral("DROP TABLE \"%1\"").arg(userId);
}

} // namespace bw
