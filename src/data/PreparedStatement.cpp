#include "data/PreparedStatement.h"

#include "data/Codepage.h"
#include "data/FbApi.h"

#include <QDateTime>

#include <cstring>

using namespace Firebird;

namespace bw {

PreparedStatement::PreparedStatement(FbConnection &conn, FbConnection::Transaction &tra, const QString &sql)
    : m_conn(conn), m_tra(tra)
{
    IAttachment *att = conn.attachment();
    ThrowStatusWrapper st(fb::master()->getStatus());
    try {
        const QByteArray text = sql.toUtf8();
        m_stmt = att->prepare(&st, tra.handle(), unsigned(text.size()), text.constData(), SQL_DIALECT_V6,
                              IStatement::PREPARE_PREFETCH_METADATA);
        m_inMeta = m_stmt->getInputMetadata(&st);
        layOutFastMessage();
    } catch (const FbException &e) {
        if (m_stmt)
            m_stmt->release();
        m_stmt = nullptr;
        st.dispose();
        fb::rethrow(e);
    }
    st.dispose();
}

PreparedStatement::~PreparedStatement()
{
    if (m_fastMeta)
        m_fastMeta->release();
    if (m_inMeta)
        m_inMeta->release();
    if (m_stmt) {
        ThrowStatusWrapper st(fb::master()->getStatus());
        try {
            m_stmt->free(&st);
        } catch (const FbException &) {
            m_stmt->release(); // the attachment is gone: only the local object is left
        }
        st.dispose();
    }
}

namespace {

// Room for a long text bound as text; longer texts take the general way (a BLOB of their own).
constexpr unsigned kLongTextRoom = 16000;

} // namespace

void PreparedStatement::layOutFastMessage()
{
    ThrowStatusWrapper st(fb::master()->getStatus());
    const unsigned count = m_inMeta->getCount(&st);
    if (count == 0) {
        st.dispose();
        return;
    }
    IMetadataBuilder *builder = m_inMeta->getBuilder(&st);
    m_fast.assign(count, FastParam());
    bool usable = true;
    for (unsigned i = 0; i < count && usable; ++i) {
        const unsigned type = m_inMeta->getType(&st, i) & ~1u;
        FastParam &f = m_fast[i];
        switch (type) {
        case SQL_TEXT:
        case SQL_VARYING:
            f.type = SQL_VARYING;
            f.charset = int(m_inMeta->getCharSet(&st, i));
            f.capacity = m_inMeta->getLength(&st, i);
            builder->setType(&st, i, SQL_VARYING);
            builder->setLength(&st, i, f.capacity);
            break;
        case SQL_BLOB:
            if (m_inMeta->getSubType(&st, i) != 1) {
                usable = false;
                break;
            }
            f.type = SQL_VARYING;
            f.charset = CsUtf8;
            f.capacity = kLongTextRoom;
            builder->setType(&st, i, SQL_VARYING);
            builder->setCharSet(&st, i, CsUtf8);
            builder->setLength(&st, i, f.capacity);
            break;
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64:
            if (m_inMeta->getScale(&st, i) != 0) {
                usable = false;
                break;
            }
            f.type = SQL_INT64;
            builder->setType(&st, i, SQL_INT64);
            builder->setLength(&st, i, 8);
            break;
        case SQL_FLOAT:
        case SQL_D_FLOAT:
        case SQL_DOUBLE:
            f.type = SQL_DOUBLE;
            builder->setType(&st, i, SQL_DOUBLE);
            builder->setLength(&st, i, 8);
            break;
        case SQL_TIMESTAMP:
        case SQL_TYPE_DATE:
        case SQL_TYPE_TIME:
        case SQL_BOOLEAN:
            f.type = type;
            break;
        default:
            usable = false;
            break;
        }
    }
    if (usable) {
        m_fastMeta = builder->getMetadata(&st);
        for (unsigned i = 0; i < count; ++i) {
            m_fast[i].offset = m_fastMeta->getOffset(&st, i);
            m_fast[i].nullOffset = m_fastMeta->getNullOffset(&st, i);
        }
        m_fastBuffer.assign(m_fastMeta->getMessageLength(&st), 0);
    } else {
        m_fast.clear();
    }
    builder->release();
    st.dispose();
}

bool PreparedStatement::bindFast(const QVariantList &params)
{
    if (!m_fastMeta || size_t(params.size()) != m_fast.size())
        return false;
    unsigned char *buf = m_fastBuffer.data();
    for (size_t i = 0; i < m_fast.size(); ++i) {
        const FastParam &f = m_fast[i];
        const QVariant &v = params.at(qsizetype(i));
        auto *nullInd = reinterpret_cast<short *>(buf + f.nullOffset);
        if (v.isNull() || !v.isValid()) {
            *nullInd = -1;
            continue;
        }
        *nullInd = 0;
        unsigned char *p = buf + f.offset;
        switch (f.type) {
        case SQL_VARYING: {
            const QByteArray b = encodeCharset(f.charset, v.toString());
            if (unsigned(b.size()) > f.capacity)
                return false;
            const auto len = static_cast<unsigned short>(b.size());
            std::memcpy(p, &len, 2);
            std::memcpy(p + 2, b.constData(), size_t(b.size()));
            break;
        }
        case SQL_INT64: {
            bool ok = false;
            const qint64 n = v.toLongLong(&ok);
            if (!ok)
                return false; // the general way words the error
            std::memcpy(p, &n, 8);
            break;
        }
        default:
            if (!writeScalarParameter(f.type, v, p))
                return false;
            break;
        }
    }
    return true;
}

quint64 PreparedStatement::execute(const QVariantList &params)
{
    IAttachment *att = m_conn.attachment();
    std::vector<unsigned char> buffer;
    IMessageMetadata *bound = nullptr;
    const bool fast = bindFast(params);
    if (!fast)
        bindParameters(att, m_tra.handle(), m_inMeta, params, &bound, buffer);
    IMessageMetadata *meta = fast ? m_fastMeta : bound;
    unsigned char *data = fast ? m_fastBuffer.data() : (buffer.empty() ? nullptr : buffer.data());
    ThrowStatusWrapper st(fb::master()->getStatus());
    quint64 affected = 0;
    try {
        m_stmt->execute(&st, m_tra.handle(), meta, data, nullptr, nullptr);
        affected = m_stmt->getAffectedRecords(&st);
    } catch (const FbException &e) {
        if (bound)
            bound->release();
        st.dispose();
        fb::rethrow(e);
    }
    if (bound)
        bound->release();
    st.dispose();
    return affected;
}

std::vector<QVariantList> PreparedStatement::select(const QVariantList &params)
{
    IAttachment *att = m_conn.attachment();
    std::vector<unsigned char> inBuf;
    IMessageMetadata *bound = nullptr;
    bindParameters(att, m_tra.handle(), m_inMeta, params, &bound, inBuf);
    ThrowStatusWrapper st(fb::master()->getStatus());
    IMessageMetadata *outMeta = nullptr;
    IResultSet *rs = nullptr;
    auto release = [&] {
        if (rs)
            rs->release();
        if (outMeta)
            outMeta->release();
        bound->release();
        st.dispose();
    };
    std::vector<QVariantList> rows;
    try {
        outMeta = m_stmt->getOutputMetadata(&st);
        rs = m_stmt->openCursor(&st, m_tra.handle(), bound, inBuf.empty() ? nullptr : inBuf.data(), outMeta, 0);
        std::vector<unsigned char> buf(outMeta->getMessageLength(&st));
        const unsigned n = outMeta->getCount(&st);
        while (rs->fetchNext(&st, buf.data()) == IStatus::RESULT_OK) {
            QVariantList row;
            row.reserve(n);
            for (unsigned i = 0; i < n; ++i)
                row.append(readValue(att, m_tra.handle(), outMeta, buf.data(), i));
            rows.push_back(std::move(row));
        }
        rs->close(&st); // releases the cursor
        rs = nullptr;
    } catch (const FbException &e) {
        release();
        fb::rethrow(e);
    } catch (...) {
        release();
        throw;
    }
    release();
    return rows;
}

QVariant selectValue(FbConnection &conn, FbConnection::Transaction &tra, const QString &sql,
                     const QVariantList &params)
{
    PreparedStatement q(conn, tra, sql);
    const std::vector<QVariantList> rows = q.select(params);
    if (rows.empty() || rows.front().isEmpty())
        return QVariant();
    return rows.front().front();
}

} // namespace bw
