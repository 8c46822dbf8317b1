#include "data/FbConnection.h"

#include "data/Codepage.h"
#include "data/FbApi.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QTime>

#include <cstring>

using namespace Firebird;

namespace bw {

namespace fb {

IMaster *master()
{
    static IMaster *m = fb_get_master_interface();
    return m;
}

IUtil *util()
{
    static IUtil *u = master()->getUtilInterface();
    return u;
}

void rethrow(const FbException &e)
{
    char buf[2048];
    util()->formatStatus(buf, sizeof buf, e.getStatus());
    throw DbError(QString::fromUtf8(buf).trimmed());
}

QDate isqlDateBase()
{
    return QDate(1858, 11, 17);
}

} // namespace fb

namespace {

const unsigned char kTpbWrite[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed, isc_tpb_rec_version,
                                   isc_tpb_wait};
const unsigned char kTpbRead[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed, isc_tpb_rec_version,
                                  isc_tpb_wait};

QByteArray dpbFor(ThrowStatusWrapper &st, bool create, const QString &defaultCharset)
{
    IXpbBuilder *dpb = fb::util()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
    dpb->insertString(&st, isc_dpb_user_name, "SYSDBA");
    dpb->insertString(&st, isc_dpb_password, "plumbline");
    dpb->insertString(&st, isc_dpb_lc_ctype, "UTF8");
    dpb->insertInt(&st, isc_dpb_sql_dialect, 3);
    if (create) {
        dpb->insertInt(&st, isc_dpb_page_size, 8192);
        if (!defaultCharset.isEmpty())
            dpb->insertString(&st, isc_dpb_set_db_charset, defaultCharset.toLatin1().constData());
    }
    QByteArray out(reinterpret_cast<const char *>(dpb->getBuffer(&st)), int(dpb->getBufferLength(&st)));
    dpb->dispose();
    return out;
}

FieldKind kindOfSystemType(int fieldType)
{
    // RDB$FIELD_TYPE codes of the system tables.
    switch (fieldType) {
    case 7:  // SMALLINT
    case 8:  // INTEGER
    case 16: // BIGINT / NUMERIC
        return FieldKind::Integer;
    case 10: // FLOAT
    case 27: // DOUBLE
        return FieldKind::Float;
    case 14: // CHAR
    case 37: // VARCHAR
    case 40: // CSTRING
        return FieldKind::Text;
    case 261:
        return FieldKind::Blob;
    case 12:
        return FieldKind::Date;
    case 13:
        return FieldKind::Time;
    case 35:
        return FieldKind::Timestamp;
    case 23:
        return FieldKind::Boolean;
    default:
        return FieldKind::Other;
    }
}

void putBlob(ThrowStatusWrapper &st, IAttachment *att, ITransaction *tra, ISC_QUAD *id, const QByteArray &bytes)
{
    IBlob *blob = att->createBlob(&st, tra, id, 0, nullptr);
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const unsigned chunk = unsigned(std::min<qsizetype>(bytes.size() - pos, 32000));
        blob->putSegment(&st, chunk, bytes.constData() + pos);
        pos += chunk;
    }
    blob->close(&st);
}

ISC_DATE toIscDate(const QDate &d)
{
    return ISC_DATE(fb::isqlDateBase().daysTo(d));
}

ISC_TIME toIscTime(const QTime &t)
{
    return ISC_TIME(qint64(t.msecsSinceStartOfDay()) * 10);
}

} // namespace

QByteArray readBlobBytes(IAttachment *att, ITransaction *tra, const ISC_QUAD &id)
{
    ThrowStatusWrapper st(fb::master()->getStatus());
    QByteArray out;
    ISC_QUAD copy = id;
    try {
        IBlob *blob = att->openBlob(&st, tra, &copy, 0, nullptr);
        char buf[32768];
        for (;;) {
            unsigned got = 0;
            const int rc = blob->getSegment(&st, sizeof buf, buf, &got);
            if (rc == IStatus::RESULT_OK || rc == IStatus::RESULT_SEGMENT)
                out.append(buf, got);
            else
                break;
        }
        blob->close(&st);
    } catch (const FbException &e) {
        st.dispose();
        fb::rethrow(e);
    }
    st.dispose();
    return out;
}

FbConnection::FbConnection() = default;

FbConnection::~FbConnection()
{
    close();
}

void FbConnection::open(const QString &databaseString)
{
    close();
    ThrowStatusWrapper st(fb::master()->getStatus());
    try {
        const QByteArray dpb = dpbFor(st, false, QString());
        IProvider *prov = fb::master()->getDispatcher();
        m_att = prov->attachDatabase(&st, databaseString.toUtf8().constData(), unsigned(dpb.size()),
                                     reinterpret_cast<const unsigned char *>(dpb.constData()));
        prov->release();
        m_database = databaseString;
    } catch (const FbException &e) {
        st.dispose();
        fb::rethrow(e);
    }
    st.dispose();
}

void FbConnection::close() noexcept
{
    m_meta.clear();
    if (!m_att)
        return;
    ThrowStatusWrapper st(fb::master()->getStatus());
    try {
        m_att->detach(&st);
    } catch (const FbException &) {
        // a broken connection: nothing left to release on the server
    }
    m_att->release();
    m_att = nullptr;
    st.dispose();
}

void FbConnection::createDatabase(const QString &databaseString, const QString &defaultCharset)
{
    ThrowStatusWrapper st(fb::master()->getStatus());
    try {
        const QByteArray dpb = dpbFor(st, true, defaultCharset);
        IProvider *prov = fb::master()->getDispatcher();
        IAttachment *att = prov->createDatabase(&st, databaseString.toUtf8().constData(), unsigned(dpb.size()),
                                                reinterpret_cast<const unsigned char *>(dpb.constData()));
        prov->release();
        att->detach(&st);
        att->release();
    } catch (const FbException &e) {
        st.dispose();
        fb::rethrow(e);
    }
    st.dispose();
}

IAttachment *FbConnection::attachment() const
{
    if (!m_att)
        throw DbError(QStringLiteral("The database connection is not open"), DbError::Kind::NotOpen);
    return m_att;
}

FbConnection::Transaction::Transaction(FbConnection &conn, bool readOnly)
{
    IAttachment *att = conn.attachment();
    ThrowStatusWrapper st(fb::master()->getStatus());
    try {
        if (readOnly)
            m_tra = att->startTransaction(&st, sizeof kTpbRead, kTpbRead);
        else
            m_tra = att->startTransaction(&st, sizeof kTpbWrite, kTpbWrite);
    } catch (const FbException &e) {
        st.dispose();
        fb::rethrow(e);
    }
    st.dispose();
}

FbConnection::Transaction::~Transaction()
{
    rollback();
}

void FbConnection::Transaction::commit()
{
    if (!m_tra)
        return;
    ThrowStatusWrapper st(fb::master()->getStatus());
    try {
        m_tra->commit(&st);
        m_tra = nullptr; // commit released the interface
    } catch (const FbException &e) {
        st.dispose();
        fb::rethrow(e);
    }
    st.dispose();
}

void FbConnection::Transaction::rollback() noexcept
{
    if (!m_tra)
        return;
    ThrowStatusWrapper st(fb::master()->getStatus());
    try {
        m_tra->rollback(&st);
    } catch (const FbException &) {
        m_tra->release();
    }
    m_tra = nullptr;
    st.dispose();
}

const TableMeta &FbConnection::tableMeta(const QString &table)
{
    auto it = m_meta.constFind(table);
    if (it != m_meta.constEnd())
        return it.value();

    static const QString kColumns = QStringLiteral(
        "SELECT TRIM(RF.RDB$RELATION_NAME), TRIM(RF.RDB$FIELD_NAME), F.RDB$FIELD_TYPE, F.RDB$FIELD_SUB_TYPE, "
        "COALESCE(RF.RDB$COLLATION_ID, -1), F.RDB$CHARACTER_SET_ID, F.RDB$FIELD_SCALE, F.RDB$FIELD_LENGTH "
        "FROM RDB$RELATION_FIELDS RF JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
        "WHERE RF.RDB$RELATION_NAME = ? ORDER BY RF.RDB$FIELD_POSITION");
    std::vector<QVariantList> rows = select(kColumns, {table});
    if (rows.empty() && table != table.toUpper())
        rows = select(kColumns, {table.toUpper()});
    if (rows.empty()) {
        // Let the engine word the error ("Table unknown ...").
        select(QStringLiteral("SELECT 1 FROM %1 WHERE 1 = 0").arg(quoteIdentifier(table)));
        throw DbError(QStringLiteral("Table unknown: %1").arg(table));
    }
    TableMeta meta;
    meta.name = rows.front().at(0).toString();
    for (const QVariantList &r : rows) {
        ColumnMeta c;
        c.name = r.at(1).toString();
        const int type = r.at(2).toInt();
        c.kind = kindOfSystemType(type);
        if (type == 16 && r.at(6).toInt() < 0)
            c.kind = FieldKind::Float; // NUMERIC/DECIMAL with a fraction
        c.scale = r.at(6).toInt();
        c.length = r.at(7).toInt();
        c.fixed = type == 14;
        c.charset = r.at(5).isNull() ? CsNone : r.at(5).toInt();
        c.textBlob = c.kind == FieldKind::Blob && r.at(3).toInt() == 1;
        meta.columns.push_back(c);
    }
    const std::vector<QVariantList> keys =
        select(QStringLiteral("SELECT TRIM(S.RDB$FIELD_NAME) FROM RDB$RELATION_CONSTRAINTS RC "
                              "JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = RC.RDB$INDEX_NAME "
                              "WHERE RC.RDB$RELATION_NAME = ? AND RC.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY'"),
               {meta.name});
    for (const QVariantList &k : keys) {
        for (ColumnMeta &c : meta.columns) {
            if (c.name == k.at(0).toString()) {
                c.primaryKey = true;
                meta.hasPrimaryKey = true;
            }
        }
    }
    return m_meta.insert(table, meta).value();
}

quint64 FbConnection::execute(const QString &sql, const QVariantList &params)
{
    Transaction tra(*this, false);
    const quint64 n = execute(tra, sql, params);
    tra.commit();
    return n;
}

quint64 FbConnection::execute(Transaction &tra, const QString &sql, const QVariantList &params)
{
    Statement stmt(attachment(), tra.handle(), sql, params);
    const quint64 affected = stmt.execute();
    const QString head = sql.trimmed().left(6).toUpper();
    if (head.startsWith(QLatin1String("CREATE")) || head.startsWith(QLatin1String("DROP")) ||
        head.startsWith(QLatin1String("ALTER")))
        m_meta.clear();
    return affected;
}

std::vector<QVariantList> FbConnection::select(const QString &sql, const QVariantList &params)
{
    IAttachment *att = attachment();
    Transaction tra(*this, true);
    std::vector<QVariantList> rows;
    {
        Statement stmt(att, tra.handle(), sql, params);
        IMessageMetadata *outMeta = stmt.openCursor();
        ThrowStatusWrapper &st = stmt.status();
        std::vector<unsigned char> buf;
        try {
            buf.resize(outMeta->getMessageLength(&st));
        } catch (const FbException &e) {
            fb::rethrow(e);
        }
        const unsigned n = outMeta->getCount(&st);
        while (stmt.fetch(buf)) {
            QVariantList row;
            row.reserve(n);
            for (unsigned i = 0; i < n; ++i)
                row.append(readValue(att, tra.handle(), outMeta, buf.data(), i));
            rows.push_back(std::move(row));
        }
    }
    tra.commit();
    return rows;
}

Statement::Statement(IAttachment *att, ITransaction *tra, const QString &sql, const QVariantList &params)
    : m_st(fb::master()->getStatus()), m_tra(tra)
{
    try {
        const QByteArray text = sql.toUtf8();
        m_stmt = att->prepare(&m_st, tra, unsigned(text.size()), text.constData(), SQL_DIALECT_V6,
                              IStatement::PREPARE_PREFETCH_METADATA);
        m_inMeta = m_stmt->getInputMetadata(&m_st);
        bindParameters(att, tra, m_inMeta, params, &m_bound, m_inBuf);
    } catch (const FbException &e) {
        release();
        fb::rethrow(e);
    } catch (...) {
        release();
        throw;
    }
}

Statement::~Statement()
{
    release();
}

void Statement::release() noexcept
{
    if (m_rs) {
        try {
            m_rs->close(&m_st);
        } catch (const FbException &) {
            m_rs->release();
        }
        m_rs = nullptr;
    }
    for (IMessageMetadata **meta : {&m_outMeta, &m_bound, &m_inMeta}) {
        if (*meta) {
            (*meta)->release();
            *meta = nullptr;
        }
    }
    if (m_stmt) {
        try {
            m_stmt->free(&m_st);
        } catch (const FbException &) {
            m_stmt->release();
        }
        m_stmt = nullptr;
    }
    m_st.dispose();
}

quint64 Statement::execute()
{
    try {
        m_stmt->execute(&m_st, m_tra, m_bound, m_inBuf.empty() ? nullptr : m_inBuf.data(), nullptr, nullptr);
        return m_stmt->getAffectedRecords(&m_st);
    } catch (const FbException &e) {
        fb::rethrow(e);
    }
}

IMessageMetadata *Statement::openCursor()
{
    try {
        m_outMeta = m_stmt->getOutputMetadata(&m_st);
        m_rs = m_stmt->openCursor(&m_st, m_tra, m_bound, m_inBuf.empty() ? nullptr : m_inBuf.data(), m_outMeta, 0);
        return m_outMeta;
    } catch (const FbException &e) {
        fb::rethrow(e);
    }
}

bool Statement::fetch(std::vector<unsigned char> &buffer)
{
    try {
        return m_rs->fetchNext(&m_st, buffer.data()) == IStatus::RESULT_OK;
    } catch (const FbException &e) {
        fb::rethrow(e);
    }
}

QString quoteIdentifier(const QString &name)
{
    QString q = name;
    q.replace(u'"', QLatin1String("\"\""));
    return u'"' + q + u'"';
}

QString quoteName(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Z][A-Z0-9_$]*$"));
    static const QStringList reserved = {
        QStringLiteral("ADMIN"),  QStringLiteral("CURRENT_STATE"), QStringLiteral("IMP"),   QStringLiteral("TYPE"),
        QStringLiteral("USER"),   QStringLiteral("DATE"),          QStringLiteral("TIME"),  QStringLiteral("ORDER"),
        QStringLiteral("UPDATE"), QStringLiteral("VALUE"),         QStringLiteral("COUNT"), QStringLiteral("POSITION")};
    if (plain.match(name).hasMatch() && !reserved.contains(name))
        return name;
    return quoteIdentifier(name);
}

bool writeScalarParameter(unsigned type, const QVariant &v, unsigned char *p)
{
    switch (type) {
    case SQL_DOUBLE: {
        const double d = v.toDouble();
        std::memcpy(p, &d, 8);
        return true;
    }
    case SQL_TIMESTAMP: {
        const QDateTime dt = v.toDateTime();
        const ISC_TIMESTAMP ts{toIscDate(dt.date()), toIscTime(dt.time())};
        std::memcpy(p, &ts, sizeof ts);
        return true;
    }
    case SQL_TYPE_DATE: {
        const ISC_DATE d = toIscDate(v.toDate());
        std::memcpy(p, &d, sizeof d);
        return true;
    }
    case SQL_TYPE_TIME: {
        const ISC_TIME t = toIscTime(v.toTime());
        std::memcpy(p, &t, sizeof t);
        return true;
    }
    case SQL_BOOLEAN: {
        const FB_BOOLEAN b = v.toBool() ? FB_TRUE : FB_FALSE;
        std::memcpy(p, &b, sizeof b);
        return true;
    }
    default:
        return false;
    }
}

void bindParameters(IAttachment *att, ITransaction *tra, IMessageMetadata *described, const QVariantList &params,
                    IMessageMetadata **outMeta, std::vector<unsigned char> &buffer)
{
    ThrowStatusWrapper st(fb::master()->getStatus());
    try {
        const unsigned count = described->getCount(&st);
        if (unsigned(params.size()) != count)
            throw DbError(
                QStringLiteral("The statement expects %1 parameters, %2 given").arg(count).arg(params.size()));

        // Text parameters get the exact length of their bytes in the character set the statement
        // expects (NONE: the legacy code page), numbers travel as 64-bit integers or doubles.
        std::vector<QByteArray> texts(count);
        IMetadataBuilder *builder = described->getBuilder(&st);
        for (unsigned i = 0; i < count; ++i) {
            const unsigned type = described->getType(&st, i) & ~1u;
            const QVariant &v = params.at(int(i));
            switch (type) {
            case SQL_TEXT:
            case SQL_VARYING:
                texts[i] = encodeCharset(int(described->getCharSet(&st, i)), v.toString());
                builder->setType(&st, i, SQL_VARYING);
                builder->setLength(&st, i, unsigned(std::max<qsizetype>(texts[i].size(), 1)));
                break;
            case SQL_SHORT:
            case SQL_LONG:
            case SQL_INT64:
                builder->setType(&st, i, SQL_INT64);
                builder->setLength(&st, i, 8);
                break;
            case SQL_FLOAT:
            case SQL_D_FLOAT:
                builder->setType(&st, i, SQL_DOUBLE);
                builder->setLength(&st, i, 8);
                break;
            case SQL_NULL: // "? IS NULL" and the like: send the value as text
                texts[i] = v.toString().toUtf8();
                builder->setType(&st, i, SQL_VARYING);
                builder->setCharSet(&st, i, CsUtf8);
                builder->setLength(&st, i, unsigned(std::max<qsizetype>(texts[i].size(), 1)));
                break;
            default:
                break;
            }
        }
        IMessageMetadata *meta = builder->getMetadata(&st);
        builder->release();
        buffer.assign(meta->getMessageLength(&st), 0);
        for (unsigned i = 0; i < count; ++i) {
            const QVariant &v = params.at(int(i));
            unsigned char *p = buffer.data() + meta->getOffset(&st, i);
            auto *nullInd = reinterpret_cast<short *>(buffer.data() + meta->getNullOffset(&st, i));
            if (v.isNull() || !v.isValid()) {
                *nullInd = -1;
                continue;
            }
            *nullInd = 0;
            const unsigned type = meta->getType(&st, i) & ~1u;
            const int scale = meta->getScale(&st, i);
            switch (type) {
            case SQL_VARYING: {
                const QByteArray &b = texts[i];
                const auto len = static_cast<unsigned short>(b.size());
                std::memcpy(p, &len, 2);
                std::memcpy(p + 2, b.constData(), size_t(b.size()));
                break;
            }
            case SQL_INT64: {
                qint64 n;
                if (scale < 0) {
                    double d = v.toDouble();
                    for (int s = 0; s < -scale; ++s)
                        d *= 10;
                    n = qint64(d < 0 ? d - 0.5 : d + 0.5);
                } else {
                    bool ok = false;
                    n = v.toLongLong(&ok);
                    if (!ok) {
                        const QString t = v.toString().trimmed();
                        n = t.toLongLong(&ok);
                        if (!ok)
                            throw DbError(QStringLiteral("'%1' is not a valid integer value").arg(t));
                    }
                }
                std::memcpy(p, &n, 8);
                break;
            }
            case SQL_DOUBLE:
            case SQL_TIMESTAMP:
            case SQL_TYPE_DATE:
            case SQL_TYPE_TIME:
            case SQL_BOOLEAN:
                writeScalarParameter(type, v, p);
                break;
            case SQL_BLOB: {
                QByteArray bytes;
                if (v.typeId() == QMetaType::QByteArray)
                    bytes = v.toByteArray();
                else
                    bytes = encodeCharset(int(meta->getCharSet(&st, i)), v.toString());
                ISC_QUAD id;
                putBlob(st, att, tra, &id, bytes);
                std::memcpy(p, &id, sizeof id);
                break;
            }
            default:
                throw DbError(QStringLiteral("Unsupported parameter type %1").arg(type));
            }
        }
        *outMeta = meta;
    } catch (const FbException &e) {
        st.dispose();
        fb::rethrow(e);
    } catch (...) {
        st.dispose();
        throw;
    }
    st.dispose();
}

QVariant readValue(IAttachment *att, ITransaction *tra, IMessageMetadata *meta, const unsigned char *buffer,
                   unsigned index, int blobCharset)
{
    ThrowStatusWrapper st(fb::master()->getStatus());
    QVariant out;
    try {
        if (*reinterpret_cast<const short *>(buffer + meta->getNullOffset(&st, index)) != 0) {
            st.dispose();
            return QVariant();
        }
        const unsigned char *p = buffer + meta->getOffset(&st, index);
        const unsigned type = meta->getType(&st, index) & ~1u;
        const int scale = meta->getScale(&st, index);
        const int charset = int(meta->getCharSet(&st, index));
        auto scaled = [scale](qint64 n) -> QVariant {
            if (scale >= 0)
                return QVariant(n);
            double d = double(n);
            for (int s = 0; s < -scale; ++s)
                d /= 10;
            return QVariant(d);
        };
        switch (type) {
        case SQL_TEXT:
            if (charset == CsOctets)
                out = QByteArray(reinterpret_cast<const char *>(p), int(meta->getLength(&st, index)));
            else
                out = decodeCharset(charset, reinterpret_cast<const char *>(p), meta->getLength(&st, index));
            break;
        case SQL_VARYING: {
            unsigned short len;
            std::memcpy(&len, p, 2);
            if (charset == CsOctets)
                out = QByteArray(reinterpret_cast<const char *>(p + 2), len);
            else
                out = decodeCharset(charset, reinterpret_cast<const char *>(p + 2), len);
            break;
        }
        case SQL_SHORT: {
            qint16 n;
            std::memcpy(&n, p, 2);
            out = scaled(n);
            break;
        }
        case SQL_LONG: {
            qint32 n;
            std::memcpy(&n, p, 4);
            out = scale >= 0 ? QVariant(int(n)) : scaled(n);
            break;
        }
        case SQL_INT64: {
            qint64 n;
            std::memcpy(&n, p, 8);
            out = scaled(n);
            break;
        }
        case SQL_FLOAT: {
            float f;
            std::memcpy(&f, p, 4);
            out = double(f);
            break;
        }
        case SQL_DOUBLE:
        case SQL_D_FLOAT: {
            double d;
            std::memcpy(&d, p, 8);
            out = d;
            break;
        }
        case SQL_TIMESTAMP: {
            ISC_TIMESTAMP ts;
            std::memcpy(&ts, p, sizeof ts);
            out = QDateTime(fb::isqlDateBase().addDays(ts.timestamp_date),
                            QTime::fromMSecsSinceStartOfDay(int(ts.timestamp_time / 10)));
            break;
        }
        case SQL_TYPE_DATE: {
            ISC_DATE d;
            std::memcpy(&d, p, sizeof d);
            out = fb::isqlDateBase().addDays(d);
            break;
        }
        case SQL_TYPE_TIME: {
            ISC_TIME t;
            std::memcpy(&t, p, sizeof t);
            out = QTime::fromMSecsSinceStartOfDay(int(t / 10));
            break;
        }
        case SQL_BOOLEAN:
            out = *p != 0;
            break;
        case SQL_BLOB: {
            ISC_QUAD id;
            std::memcpy(&id, p, sizeof id);
            const QByteArray bytes = readBlobBytes(att, tra, id);
            if (blobCharset >= 0)
                out = decodeCharset(blobCharset, bytes.constData(), bytes.size());
            else if (meta->getSubType(&st, index) == 1)
                out = decodeCharset(charset, bytes.constData(), bytes.size());
            else
                out = bytes;
            break;
        }
        default:
            out = QVariant();
            break;
        }
    } catch (const FbException &e) {
        st.dispose();
        fb::rethrow(e);
    }
    st.dispose();
    return out;
}

} // namespace bw
