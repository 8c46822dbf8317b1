#pragma once

#include <QString>
#include <QStringList>

namespace bw {

class FbConnection;

// The tables of mainbase.fdb as the console relies on them (default character set WIN1251).
QStringList schemaStatements();

// Creates a new, empty mainbase.fdb with every table (the console itself never creates them).
void createSchemaDatabase(const QString &databaseString);

// The inbox table statements, exactly as the console issues them.
QString createInboxTableSql(int userId);
QString dropInboxTableSql(int userId);

} // namespace bw
