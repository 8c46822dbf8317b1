#pragma once

#include "data/FbConnection.h"

#include <QString>
#include <QVariant>

#include <vector>

namespace Firebird {
class IStatement;
class IMessageMetadata;
} // namespace Firebird

namespace bw {

// A statement prepared once inside a transaction and executed many times with different
// parameters (bulk inserts, look-ups inside a writing transaction). Parameters are bound
// exactly as FbConnection::execute binds them.
class PreparedStatement final
{
public:
    PreparedStatement(FbConnection &conn, FbConnection::Transaction &tra, const QString &sql);
    ~PreparedStatement();
    PreparedStatement(const PreparedStatement &) = delete;
    PreparedStatement &operator=(const PreparedStatement &) = delete;

    // Runs a statement without a result set; returns the affected rows. Throws DbError.
    quint64 execute(const QVariantList &params = {});
    // Runs a query in the statement's transaction and returns its rows.
    std::vector<QVariantList> select(const QVariantList &params = {});

private:
    // Statements run many times bind into one message laid out once: text parameters get room
    // for their longest value and long texts travel as text (the engine stores them as BLOBs),
    // so a row costs one call into the database client instead of one per BLOB.
    struct FastParam
    {
        unsigned type = 0;    // of the laid-out message
        int charset = 0;      // text: how it is encoded
        unsigned capacity = 0; // text: room for bytes
        unsigned offset = 0;
        unsigned nullOffset = 0;
    };
    void layOutFastMessage();
    bool bindFast(const QVariantList &params);

    FbConnection &m_conn;
    FbConnection::Transaction &m_tra;
    Firebird::IStatement *m_stmt = nullptr;
    Firebird::IMessageMetadata *m_inMeta = nullptr;
    Firebird::IMessageMetadata *m_fastMeta = nullptr; // null: every execution binds on its own
    std::vector<FastParam> m_fast;
    std::vector<unsigned char> m_fastBuffer;
};

// The first column of the first row of a query run in the caller's transaction (NULL: invalid).
QVariant selectValue(FbConnection &conn, FbConnection::Transaction &tra, const QString &sql,
                     const QVariantList &params = {});

} // namespace bw
