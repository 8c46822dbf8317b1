#pragma once

// The Firebird object-oriented client API, for the data layer's own files only.
#include <firebird/Interface.h>

#include <QByteArray>
#include <QDate>

namespace bw::fb {

Firebird::IMaster *master();
Firebird::IUtil *util();
QDate isqlDateBase();

} // namespace bw::fb

#include <QString>
#include <QVariantList>

#include <vector>

namespace bw {

QByteArray readBlobBytes(Firebird::IAttachment *att, Firebird::ITransaction *tra, const ISC_QUAD &id);

// Writes a double, date, time, timestamp or boolean parameter value; false for any other type.
bool writeScalarParameter(unsigned type, const QVariant &v, unsigned char *p);

// One prepared statement with its parameters bound, released in one place whatever happens.
// Client-library errors leave every method as DbError.
class Statement final
{
public:
    Statement(Firebird::IAttachment *att, Firebird::ITransaction *tra, const QString &sql, const QVariantList &params);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // A statement without a result set; returns the affected rows.
    quint64 execute();
    // Opens the cursor; rows are then read with fetch() into a buffer of outputMetadata()'s length.
    Firebird::IMessageMetadata *openCursor();
    bool fetch(std::vector<unsigned char> &buffer);
    Firebird::ThrowStatusWrapper &status() { return m_st; }

private:
    void release() noexcept;

    Firebird::ThrowStatusWrapper m_st;
    Firebird::ITransaction *m_tra;
    Firebird::IStatement *m_stmt = nullptr;
    Firebird::IMessageMetadata *m_inMeta = nullptr;
    Firebird::IMessageMetadata *m_bound = nullptr;
    Firebird::IMessageMetadata *m_outMeta = nullptr;
    Firebird::IResultSet *m_rs = nullptr;
    std::vector<unsigned char> m_inBuf;
};

} // namespace bw
