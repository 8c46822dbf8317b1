#pragma once

#include "data/DbError.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

namespace Firebird {
class IAttachment;
class ITransaction;
class IMessageMetadata;
class FbException;
} // namespace Firebird

namespace bw {

namespace fb {
// Turns a client-library exception into the console's own error with the client's text.
[[noreturn]] void rethrow(const Firebird::FbException &e);
} // namespace fb

// Column kinds as the console reads them.
enum class FieldKind { Integer, Float, Text, Blob, Date, Time, Timestamp, Boolean, Other };

struct ColumnMeta
{
    QString name;          // as stored in the database (upper case unless created quoted)
    FieldKind kind = FieldKind::Other;
    int charset = 0;       // declared character set id (text and text blobs)
    int scale = 0;
    int length = 0;        // bytes (text)
    bool fixed = false;    // CHAR rather than VARCHAR
    bool textBlob = false; // blob of sub-type text
    bool primaryKey = false;
};

struct TableMeta
{
    QString name; // as stored
    std::vector<ColumnMeta> columns;
    bool hasPrimaryKey = false;
};

// One attachment to a Firebird database through the object-oriented client API, with the
// parameters the console always used: SYSDBA, dialect 3, read-committed transactions that wait
// on locks. The connection character set is UTF8; text declared without a character set (NONE)
// arrives as raw bytes and is decoded with the legacy code page.
class FbConnection final
{
public:
    FbConnection();
    ~FbConnection();
    FbConnection(const FbConnection &) = delete;
    FbConnection &operator=(const FbConnection &) = delete;

    void open(const QString &databaseString);
    void close() noexcept;
    bool isOpen() const { return m_att != nullptr; }
    const QString &databaseString() const { return m_database; }

    // Creates a new database file (embedded: a bare path) with the given default character set.
    static void createDatabase(const QString &databaseString, const QString &defaultCharset = QStringLiteral("WIN1251"));

    class Transaction final
    {
    public:
        Transaction(FbConnection &conn, bool readOnly);
        ~Transaction();
        Transaction(const Transaction &) = delete;
        Transaction &operator=(const Transaction &) = delete;
        void commit();
        void rollback() noexcept;
        Firebird::ITransaction *handle() const { return m_tra; }

    private:
        Firebird::ITransaction *m_tra = nullptr;
    };

    // Column layout of a table, read from the system tables and kept until close() or forgetMetadata().
    // Throws the database's own error when the table does not exist.
    const TableMeta &tableMeta(const QString &table);
    void forgetMetadata() { m_meta.clear(); }

    // Runs a statement without a result set in a transaction of its own; returns the affected rows.
    quint64 execute(const QString &sql, const QVariantList &params = {});
    // The same inside the caller's transaction.
    quint64 execute(Transaction &tra, const QString &sql, const QVariantList &params = {});

    // Runs a query and returns its rows as variants (small look-ups; the caches have their own loader).
    std::vector<QVariantList> select(const QString &sql, const QVariantList &params = {});

    Firebird::IAttachment *attachment() const;

private:
    Firebird::IAttachment *m_att = nullptr;
    QString m_database;
    QHash<QString, TableMeta> m_meta;
};

// Quotes an identifier exactly as given (delimited identifier).
QString quoteIdentifier(const QString &name);
// Quotes a name only where SQL requires it: numeric names (inbox tables), reserved words
// (ADMIN, CURRENT_STATE, IMP, ...) and anything that is not a plain upper-case identifier.
QString quoteName(const QString &name);

// Fills an input message described by meta from variants (text encoded in the character set
// the statement expects, blobs created in the transaction). Used by every writer.
void bindParameters(Firebird::IAttachment *att, Firebird::ITransaction *tra, Firebird::IMessageMetadata *described,
                    const QVariantList &params, Firebird::IMessageMetadata **outMeta, std::vector<unsigned char> &buffer);

// Reads one column value of a fetched message as a variant.
QVariant readValue(Firebird::IAttachment *att, Firebird::ITransaction *tra, Firebird::IMessageMetadata *meta,
                   const unsigned char *buffer, unsigned index, int blobCharset = -1);

} // namespace bw
