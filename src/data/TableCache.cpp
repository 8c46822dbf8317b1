#include "data/TableCache.h"

#include "data/Codepage.h"
#include "data/FbApi.h"

#include <QTime>

#include <algorithm>
#include <cstring>

using namespace Firebird;

namespace bw {

namespace {

constexpr qint64 kTicksPerDay = 864000000LL; // ISC time ticks (1/10000 s) in a day

FieldKind kindOfMessageType(unsigned type, int scale)
{
    switch (type) {
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        return scale < 0 ? FieldKind::Float : FieldKind::Integer;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return FieldKind::Float;
    case SQL_TEXT:
    case SQL_VARYING:
        return FieldKind::Text;
    case SQL_BLOB:
        return FieldKind::Blob;
    case SQL_TYPE_DATE:
        return FieldKind::Date;
    case SQL_TYPE_TIME:
        return FieldKind::Time;
    case SQL_TIMESTAMP:
        return FieldKind::Timestamp;
    case SQL_BOOLEAN:
        return FieldKind::Boolean;
    default:
        return FieldKind::Other;
    }
}

QDateTime fromTicks(FieldKind kind, qint64 v)
{
    switch (kind) {
    case FieldKind::Date:
        return QDateTime(fb::isqlDateBase().addDays(v), QTime(0, 0));
    case FieldKind::Time:
        return QDateTime(fb::isqlDateBase(), QTime::fromMSecsSinceStartOfDay(int(v / 10)));
    default: {
        qint64 days = v / kTicksPerDay;
        qint64 rest = v % kTicksPerDay;
        if (rest < 0) {
            rest += kTicksPerDay;
            --days;
        }
        return QDateTime(fb::isqlDateBase().addDays(days), QTime::fromMSecsSinceStartOfDay(int(rest / 10)));
    }
    }
}

qint64 toTicks(FieldKind kind, const QVariant &v)
{
    const QDateTime dt = v.typeId() == QMetaType::QTime ? QDateTime(fb::isqlDateBase(), v.toTime()) : v.toDateTime();
    const qint64 days = fb::isqlDateBase().daysTo(dt.date());
    const qint64 time = qint64(dt.time().msecsSinceStartOfDay()) * 10;
    switch (kind) {
    case FieldKind::Date:
        return days;
    case FieldKind::Time:
        return time;
    default:
        return days * kTicksPerDay + time;
    }
}

} // namespace

TableCache::TableCache(FbConnection &conn, const QString &name) : m_conn(conn), m_name(name) {}

void TableCache::resetData()
{
    m_columns.clear();
    m_index.clear();
    m_cells.clear();
    m_flags.clear();
    m_state.clear();
    m_arena.clear();
    m_originals.clear();
    m_rows = 0;
    m_view.clear();
    m_cursor = -1;
    m_eof = m_bof = true;
    m_editRow = -1;
    m_inserting = false;
    m_restrictCol = -1;
    m_restrictValue = QVariant();
    m_hasKey = false;
}

void TableCache::close()
{
    resetData();
    m_orderCol = -1;
    m_open = false;
    m_table.clear();
}

void TableCache::openTable(const QString &table)
{
    close();
    const TableMeta &meta = m_conn.tableMeta(table);
    QStringList select;
    for (const ColumnMeta &c : meta.columns) {
        Column col;
        col.name = c.name;
        col.kind = c.kind == FieldKind::Other ? FieldKind::Text : c.kind;
        col.writeCharset = c.charset;
        // Text is selected as its stored bytes and decoded here with the declared character set:
        // the server then skips transliterating every value into the connection's UTF8.
        col.readCharset = c.charset;
        col.primaryKey = c.primaryKey;
        col.scale = c.scale;
        const QString name = quoteIdentifier(c.name);
        if (c.kind == FieldKind::Blob && c.textBlob && m_deferBlobs) {
            col.loaded = false;
        } else if (c.kind == FieldKind::Blob && c.textBlob) {
            // Long texts up to kInlineText bytes travel inside the row, which spares a blob
            // round trip per value; a longer one is read through its blob, the second field.
            select << QStringLiteral("CASE WHEN OCTET_LENGTH(%1) <= %2 THEN CAST(%1 AS VARCHAR(%2) CHARACTER SET "
                                     "OCTETS) END")
                          .arg(name)
                          .arg(kInlineText);
            // (The blob itself only when needed: for each text blob it sends, the server makes a
            // transliterated copy, which is what makes long texts slow to read.)
            select << QStringLiteral("CASE WHEN OCTET_LENGTH(%1) > %2 THEN CAST(%1 AS BLOB SUB_TYPE BINARY) END")
                          .arg(name)
                          .arg(kInlineText);
            col.splitBlob = true;
        } else if (c.kind == FieldKind::Text && c.charset != CsNone && c.charset != CsOctets && c.length > 0) {
            select << QStringLiteral("CAST(%1 AS %2(%3) CHARACTER SET OCTETS)")
                          .arg(name, c.fixed ? QStringLiteral("CHAR") : QStringLiteral("VARCHAR"))
                          .arg(c.length);
        } else {
            select << name;
        }
        m_columns.push_back(col);
    }
    m_hasKey = meta.hasPrimaryKey;
    m_table = meta.name;
    const QString sql = QStringLiteral("SELECT %1 FROM %2")
                            .arg(select.isEmpty() ? QStringLiteral("1") : select.join(QStringLiteral(", ")),
                                 quoteIdentifier(meta.name));
    try {
        load(sql, {}, true);
    } catch (...) {
        close();
        throw;
    }
}

void TableCache::openQuery(const QString &sql, const QVariantList &params)
{
    close();
    try {
        load(sql, params, false);
    } catch (...) {
        close();
        throw;
    }
    m_readOnly = true;
}

void TableCache::load(const QString &sql, const QVariantList &params, bool fromTable)
{
    m_readOnly = !fromTable;
    IAttachment *att = m_conn.attachment();
    FbConnection::Transaction tra(m_conn, true);
    {
        Statement stmt(att, tra.handle(), sql, params);
        IMessageMetadata *outMeta = stmt.openCursor();
        ThrowStatusWrapper &st = stmt.status();
        try {
            const unsigned n = outMeta->getCount(&st);

            // Map message fields to columns.
            struct Slot
            {
                int col;
                unsigned type;
                unsigned offset;
                unsigned nullOffset;
                unsigned length;
                int scale;
                unsigned longOffset; // a long text too large for the row: its blob
                unsigned longNullOffset;
            };
            std::vector<Slot> fieldSlots;
            if (!fromTable) {
                for (unsigned i = 0; i < n; ++i) {
                    Column col;
                    const char *alias = outMeta->getAlias(&st, i);
                    col.name = QString::fromUtf8(alias && *alias ? alias : outMeta->getField(&st, i));
                    const unsigned type = outMeta->getType(&st, i) & ~1u;
                    col.scale = outMeta->getScale(&st, i);
                    col.kind = kindOfMessageType(type, col.scale);
                    col.readCharset = col.writeCharset = int(outMeta->getCharSet(&st, i));
                    if (col.kind == FieldKind::Blob && outMeta->getSubType(&st, i) != 1)
                        col.readCharset = -1; // binary data
                    m_columns.push_back(col);
                }
            }
            unsigned field = 0;
            for (int c = 0; c < int(m_columns.size()); ++c) {
                Column &col = m_columns[size_t(c)];
                if (!col.loaded)
                    continue;
                Slot s;
                s.col = c;
                s.type = outMeta->getType(&st, field) & ~1u;
                s.offset = outMeta->getOffset(&st, field);
                s.nullOffset = outMeta->getNullOffset(&st, field);
                s.length = outMeta->getLength(&st, field);
                s.scale = outMeta->getScale(&st, field);
                s.longOffset = 0;
                s.longNullOffset = 0;
                if (!fromTable && (s.type == SQL_TEXT || s.type == SQL_VARYING))
                    col.readCharset = int(outMeta->getCharSet(&st, field));
                if (col.splitBlob) {
                    ++field;
                    s.longOffset = outMeta->getOffset(&st, field);
                    s.longNullOffset = outMeta->getNullOffset(&st, field);
                }
                fieldSlots.push_back(s);
                ++field;
            }
            for (int c = 0; c < int(m_columns.size()); ++c)
                m_index.insert(m_columns[size_t(c)].name.toUpper(), c);

            std::vector<unsigned char> buf(outMeta->getMessageLength(&st));
            const size_t ncols = m_columns.size();
            char blobBuf[32768];
            while (stmt.fetch(buf)) {
                const size_t base = m_cells.size();
                m_cells.resize(base + ncols);
                m_flags.resize(base + ncols, NotLoaded);
                for (const Slot &s : fieldSlots) {
                    Cell &cell = m_cells[base + size_t(s.col)];
                    quint8 &fl = m_flags[base + size_t(s.col)];
                    cell.i = 0;
                    if (*reinterpret_cast<const short *>(buf.data() + s.nullOffset) != 0) {
                        fl = Null;
                        if (s.longNullOffset &&
                            *reinterpret_cast<const short *>(buf.data() + s.longNullOffset) == 0) {
                            ISC_QUAD id;
                            std::memcpy(&id, buf.data() + s.longOffset, sizeof id);
                            storeLongText(base, s.col, readBlobBytes(att, tra.handle(), id));
                        }
                        continue;
                    }
                    fl = Present;
                    const unsigned char *p = buf.data() + s.offset;
                    switch (s.type) {
                    case SQL_SHORT: {
                        qint16 v;
                        std::memcpy(&v, p, 2);
                        cell.i = v;
                        break;
                    }
                    case SQL_LONG: {
                        qint32 v;
                        std::memcpy(&v, p, 4);
                        cell.i = v;
                        break;
                    }
                    case SQL_INT64:
                        std::memcpy(&cell.i, p, 8);
                        break;
                    case SQL_FLOAT: {
                        float f;
                        std::memcpy(&f, p, 4);
                        cell.d = f;
                        break;
                    }
                    case SQL_DOUBLE:
                    case SQL_D_FLOAT:
                        std::memcpy(&cell.d, p, 8);
                        break;
                    case SQL_TEXT:
                        cell.t.off = quint32(m_arena.size());
                        cell.t.len = s.length;
                        m_arena.append(reinterpret_cast<const char *>(p), s.length);
                        break;
                    case SQL_VARYING: {
                        unsigned short len;
                        std::memcpy(&len, p, 2);
                        cell.t.off = quint32(m_arena.size());
                        cell.t.len = len;
                        m_arena.append(reinterpret_cast<const char *>(p + 2), len);
                        break;
                    }
                    case SQL_TIMESTAMP: {
                        ISC_TIMESTAMP ts;
                        std::memcpy(&ts, p, sizeof ts);
                        cell.i = qint64(ts.timestamp_date) * kTicksPerDay + ts.timestamp_time;
                        break;
                    }
                    case SQL_TYPE_DATE: {
                        ISC_DATE d;
                        std::memcpy(&d, p, sizeof d);
                        cell.i = d;
                        break;
                    }
                    case SQL_TYPE_TIME: {
                        ISC_TIME t;
                        std::memcpy(&t, p, sizeof t);
                        cell.i = t;
                        break;
                    }
                    case SQL_BOOLEAN:
                        cell.i = *p ? 1 : 0;
                        break;
                    case SQL_BLOB: {
                        ISC_QUAD id;
                        std::memcpy(&id, p, sizeof id);
                        cell.t.off = quint32(m_arena.size());
                        IBlob *blob = att->openBlob(&st, tra.handle(), &id, 0, nullptr);
                        for (;;) {
                            unsigned got = 0;
                            const int rc = blob->getSegment(&st, sizeof blobBuf, blobBuf, &got);
                            if (rc != IStatus::RESULT_OK && rc != IStatus::RESULT_SEGMENT)
                                break;
                            m_arena.append(blobBuf, got);
                        }
                        blob->close(&st);
                        cell.t.len = quint32(m_arena.size()) - cell.t.off;
                        break;
                    }
                    default:
                        fl = Null;
                        break;
                    }
                    if (m_columns[size_t(s.col)].kind == FieldKind::Float &&
                        (s.type == SQL_SHORT || s.type == SQL_LONG || s.type == SQL_INT64)) {
                        double d = double(cell.i);
                        for (int k = 0; k < -s.scale; ++k)
                            d /= 10;
                        cell.d = d;
                    }
                }
                m_state.push_back(Unchanged);
                ++m_rows;
            }
        } catch (const FbException &e) {
            fb::rethrow(e);
        }
    }
    tra.commit();
    m_open = true;
    rebuildView();
    first();
}

QByteArray TableCache::storedEncoding(const Column &column, const QByteArray &connectionBytes)
{
    // A long text read through its blob arrives in the connection's character set (UTF8) unless
    // the column declares none; the cache keeps every text in the column's own encoding.
    if (column.readCharset == CsNone || column.readCharset == CsOctets || column.readCharset == CsUtf8)
        return connectionBytes;
    return encodeCharset(column.readCharset, QString::fromUtf8(connectionBytes));
}

void TableCache::storeLongText(size_t base, int col, const QByteArray &connectionBytes)
{
    const QByteArray bytes = storedEncoding(m_columns[size_t(col)], connectionBytes);
    Cell &cell = m_cells[base + size_t(col)];
    cell.t.off = quint32(m_arena.size());
    cell.t.len = quint32(bytes.size());
    m_arena.append(bytes);
    m_flags[base + size_t(col)] = Present;
}

int TableCache::fieldIndex(const QString &field) const
{
    return m_index.value(field.toUpper(), -1);
}

int TableCache::column(const QString &field) const
{
    const int c = fieldIndex(field);
    if (c < 0)
        throw DbError(QStringLiteral("%1: Field '%2' not found").arg(m_name, field), DbError::Kind::NoSuchField);
    return c;
}

void TableCache::rebuildView(int keepPhysicalRow)
{
    const int oldRow = keepPhysicalRow >= 0                               ? keepPhysicalRow
                       : (m_cursor >= 0 && m_cursor < int(m_view.size())) ? m_view[size_t(m_cursor)]
                                                                          : -1;
    const int oldCursor = m_cursor;
    m_view.clear();
    m_view.reserve(size_t(m_rows));
    for (int r = 0; r < m_rows; ++r) {
        if (m_state[size_t(r)] == Deleted || m_state[size_t(r)] == Gone)
            continue;
        if (m_restrictCol >= 0) {
            const QVariant v = cellValue(r, m_restrictCol);
            const FieldKind k = m_columns[size_t(m_restrictCol)].kind;
            bool equal;
            if (v.isNull())
                equal = m_restrictValue.isNull();
            else if (k == FieldKind::Integer || k == FieldKind::Boolean)
                equal = v.toLongLong() == m_restrictValue.toLongLong();
            else
                equal = v == m_restrictValue || v.toString() == m_restrictValue.toString();
            if (!equal)
                continue;
        }
        m_view.push_back(r);
    }
    if (m_orderCol >= 0) {
        const int col = m_orderCol;
        std::stable_sort(m_view.begin(), m_view.end(), [&](int a, int b) { return compareRows(a, b, col) < 0; });
    }
    m_cursor = -1;
    if (oldRow >= 0) {
        const auto it = std::find(m_view.begin(), m_view.end(), oldRow);
        if (it != m_view.end())
            m_cursor = int(it - m_view.begin());
    }
    if (m_cursor < 0 && !m_view.empty())
        m_cursor = std::clamp(oldCursor, 0, int(m_view.size()) - 1);
    m_eof = m_view.empty();
    m_bof = m_view.empty();
}

int TableCache::compareRows(int a, int b, int col) const
{
    const quint8 fa = flag(a, col);
    const quint8 fb = flag(b, col);
    if (fa == NotLoaded)
        loadDeferred(a, col);
    if (fb == NotLoaded)
        loadDeferred(b, col);
    const bool na = flag(a, col) == Null;
    const bool nb = flag(b, col) == Null;
    if (na || nb)
        return na == nb ? 0 : (na ? -1 : 1);
    const Cell &ca = cell(a, col);
    const Cell &cb = cell(b, col);
    const Column &c = m_columns[size_t(col)];
    switch (c.kind) {
    case FieldKind::Float:
        return ca.d < cb.d ? -1 : (ca.d > cb.d ? 1 : 0);
    case FieldKind::Text:
    case FieldKind::Blob: {
        const QString sa = decodeCharset(c.readCharset, m_arena.constData() + ca.t.off, ca.t.len);
        const QString sb = decodeCharset(c.readCharset, m_arena.constData() + cb.t.off, cb.t.len);
        return sa.compare(sb);
    }
    default:
        return ca.i < cb.i ? -1 : (ca.i > cb.i ? 1 : 0);
    }
}

void TableCache::orderBy(const QString &field)
{
    m_orderCol = field.isEmpty() ? -1 : column(field);
    rebuildView();
    first();
}

void TableCache::restrict(const QString &field, const QVariant &value)
{
    if (field.isEmpty() || !value.isValid()) {
        m_restrictCol = -1;
        m_restrictValue = QVariant();
    } else {
        m_restrictCol = column(field);
        m_restrictValue = value;
    }
    rebuildView();
    first();
}

void TableCache::first()
{
    m_cursor = m_view.empty() ? -1 : 0;
    m_eof = m_bof = m_view.empty();
}

void TableCache::last()
{
    m_cursor = m_view.empty() ? -1 : int(m_view.size()) - 1;
    m_eof = m_bof = m_view.empty();
}

void TableCache::next()
{
    if (m_view.empty() || m_cursor >= int(m_view.size()) - 1) {
        m_eof = true;
        return;
    }
    ++m_cursor;
    m_bof = false;
}

void TableCache::prior()
{
    if (m_view.empty() || m_cursor <= 0) {
        m_bof = true;
        return;
    }
    --m_cursor;
    m_eof = false;
}

void TableCache::setPosition(int visibleRow)
{
    if (visibleRow < 0 || visibleRow >= int(m_view.size()))
        throw DbError(QStringLiteral("%1: row %2 out of range").arg(m_name).arg(visibleRow));
    m_cursor = visibleRow;
    m_eof = m_bof = false;
}

bool TableCache::locate(const QString &field, const QVariant &value)
{
    const int col = column(field);
    const FieldKind k = m_columns[size_t(col)].kind;
    for (int i = 0; i < int(m_view.size()); ++i) {
        const QVariant v = cellValue(m_view[size_t(i)], col);
        bool equal;
        if (v.isNull())
            equal = value.isNull();
        else if (k == FieldKind::Integer || k == FieldKind::Boolean)
            equal = !value.isNull() && v.toLongLong() == value.toLongLong();
        else
            equal = v.toString() == value.toString();
        if (equal) {
            setPosition(i);
            return true;
        }
    }
    return false;
}

int TableCache::currentRow() const
{
    if (!m_open)
        throw DbError(QStringLiteral("%1: Cannot perform this operation on a closed dataset").arg(m_name),
                      DbError::Kind::NotOpen);
    if (m_cursor < 0 || m_cursor >= int(m_view.size()))
        throw DbError(QStringLiteral("%1: there is no current record").arg(m_name));
    return m_view[size_t(m_cursor)];
}

void TableCache::loadDeferred(int row, int col) const
{
    auto *self = const_cast<TableCache *>(this);
    if (m_state[size_t(row)] == Inserted) {
        self->flag(row, col) = Null;
        return;
    }
    // A caller that reads the long texts of many rows gets the whole column in one query.
    Column &column = self->m_columns[size_t(col)];
    if (++column.deferredReads > kDeferredReadsBeforeColumnLoad && self->loadDeferredColumn(col) &&
        flag(row, col) != NotLoaded)
        return;
    QVariantList params;
    const QString where = keyWhere(row, params, true);
    const QString sql = QStringLiteral("SELECT FIRST 1 CAST(%1 AS BLOB SUB_TYPE BINARY) FROM %2 WHERE %3")
                            .arg(quoteIdentifier(column.name), quoteIdentifier(m_table), where);
    const std::vector<QVariantList> rows = m_conn.select(sql, params);
    if (rows.empty() || rows.front().at(0).isNull()) {
        self->flag(row, col) = Null;
        return;
    }
    self->storeText(row, col, storedEncoding(column, rows.front().at(0).toByteArray()));
}

bool TableCache::loadDeferredColumn(int col)
{
    int keyCol = -1;
    for (int c = 0; c < int(m_columns.size()); ++c) {
        if (!m_columns[size_t(c)].primaryKey)
            continue;
        if (keyCol >= 0 || m_columns[size_t(c)].kind != FieldKind::Integer)
            return false; // only a single integer key maps the rows back cheaply
        keyCol = c;
    }
    if (keyCol < 0)
        return false;
    QHash<qint64, int> rowOfKey;
    rowOfKey.reserve(m_rows);
    for (int r = 0; r < m_rows; ++r) {
        if (m_state[size_t(r)] == Inserted || m_state[size_t(r)] == Gone || flag(r, col) != NotLoaded)
            continue;
        const auto it = m_originals.find(r);
        const Cell &key = it != m_originals.end() ? it->second.cells[size_t(keyCol)] : cell(r, keyCol);
        rowOfKey.insert(key.i, r);
    }
    const Column &column = m_columns[size_t(col)];
    const QString name = quoteIdentifier(column.name);
    const QString sql =
        QStringLiteral("SELECT %1, CASE WHEN OCTET_LENGTH(%2) <= %4 THEN CAST(%2 AS VARCHAR(%4) CHARACTER SET OCTETS) "
                       "END, CASE WHEN OCTET_LENGTH(%2) > %4 THEN CAST(%2 AS BLOB SUB_TYPE BINARY) END FROM %3")
            .arg(quoteIdentifier(m_columns[size_t(keyCol)].name), name, quoteIdentifier(m_table))
            .arg(kInlineText);
    for (const QVariantList &r : m_conn.select(sql)) {
        const auto it = rowOfKey.constFind(r.at(0).toLongLong());
        if (it == rowOfKey.constEnd())
            continue;
        if (!r.at(1).isNull())
            storeText(it.value(), col, r.at(1).toByteArray()); // stored bytes, as the column keeps them
        else if (!r.at(2).isNull())
            storeText(it.value(), col, storedEncoding(column, r.at(2).toByteArray()));
        else
            flag(it.value(), col) = Null;
    }
    // Rows that vanished meanwhile read as empty.
    for (auto it = rowOfKey.constBegin(); it != rowOfKey.constEnd(); ++it) {
        if (flag(it.value(), col) == NotLoaded)
            flag(it.value(), col) = Null;
    }
    return true;
}

void TableCache::storeText(int row, int col, const QByteArray &bytes)
{
    Cell &c = cell(row, col);
    c.t.off = quint32(m_arena.size());
    c.t.len = quint32(bytes.size());
    m_arena.append(bytes);
    flag(row, col) = Present;
}

QVariant TableCache::cellValue(int row, int col) const
{
    if (flag(row, col) == NotLoaded)
        loadDeferred(row, col);
    return cellValue(cell(row, col), flag(row, col), col);
}

QVariant TableCache::cellValue(const Cell &c, quint8 f, int col) const
{
    if (f != Present)
        return QVariant();
    const Column &column = m_columns[size_t(col)];
    switch (column.kind) {
    case FieldKind::Integer:
        return QVariant(c.i);
    case FieldKind::Float:
        return QVariant(c.d);
    case FieldKind::Boolean:
        return QVariant(c.i != 0);
    case FieldKind::Date:
        return fb::isqlDateBase().addDays(c.i);
    case FieldKind::Time:
        return QTime::fromMSecsSinceStartOfDay(int(c.i / 10));
    case FieldKind::Timestamp:
        return fromTicks(FieldKind::Timestamp, c.i);
    case FieldKind::Blob:
        if (column.readCharset < 0)
            return QByteArray(m_arena.constData() + c.t.off, c.t.len);
        return decodeCharset(column.readCharset, m_arena.constData() + c.t.off, c.t.len);
    default:
        return decodeCharset(column.readCharset, m_arena.constData() + c.t.off, c.t.len);
    }
}

bool TableCache::isNull(const QString &field) const
{
    const int row = currentRow();
    const int col = column(field);
    if (flag(row, col) == NotLoaded)
        loadDeferred(row, col);
    return flag(row, col) == Null;
}

QVariant TableCache::value(const QString &field) const
{
    return cellValue(currentRow(), column(field));
}

int TableCache::asInt(const QString &field) const
{
    return int(asInt64(field));
}

qint64 TableCache::asInt64(const QString &field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return 0;
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    if (ok)
        return n;
    const QString t = v.toString().trimmed();
    const qint64 m = t.toLongLong(&ok);
    if (!ok && !t.isEmpty())
        throw DbError(QStringLiteral("'%1' is not a valid integer value").arg(t));
    return m;
}

double TableCache::asFloat(const QString &field) const
{
    return value(field).toDouble();
}

QString TableCache::asString(const QString &field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return v.toString();
}

bool TableCache::asBool(const QString &field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return false;
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool();
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Double:
        return v.toDouble() != 0;
    default: {
        const QString t = v.toString();
        if (t.isEmpty())
            return false;
        const QChar c = t.at(0);
        return c == u'T' || c == u't' || c == u'Y' || c == u'y';
    }
    }
}

QDateTime TableCache::asDateTime(const QString &field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return QDateTime();
    if (v.typeId() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0));
    if (v.typeId() == QMetaType::QTime)
        return QDateTime(fb::isqlDateBase(), v.toTime());
    return v.toDateTime();
}

QVariant TableCache::valueAt(int visibleRow, int col) const
{
    return cellValue(m_view.at(size_t(visibleRow)), col);
}

QString TableCache::stringAt(int visibleRow, int col) const
{
    return valueAt(visibleRow, col).toString();
}

qint64 TableCache::intAt(int visibleRow, int col) const
{
    const int row = m_view.at(size_t(visibleRow));
    if (flag(row, col) != Present)
        return 0;
    if (m_columns[size_t(col)].kind == FieldKind::Integer)
        return cell(row, col).i;
    return cellValue(row, col).toLongLong();
}

bool TableCache::isNullAt(int visibleRow, int col) const
{
    const int row = m_view.at(size_t(visibleRow));
    if (flag(row, col) == NotLoaded)
        loadDeferred(row, col);
    return flag(row, col) == Null;
}

QDateTime TableCache::dateTimeAt(int visibleRow, int col) const
{
    const int row = m_view.at(size_t(visibleRow));
    if (flag(row, col) != Present)
        return QDateTime();
    const FieldKind k = m_columns[size_t(col)].kind;
    if (k == FieldKind::Date || k == FieldKind::Time || k == FieldKind::Timestamp)
        return fromTicks(k, cell(row, col).i);
    return cellValue(row, col).toDateTime();
}

void TableCache::storeValue(int row, int col, const QVariant &value)
{
    Cell &c = cell(row, col);
    quint8 &f = flag(row, col);
    if (value.isNull() || !value.isValid()) {
        f = Null;
        c.i = 0;
        return;
    }
    const Column &column = m_columns[size_t(col)];
    f = Present;
    switch (column.kind) {
    case FieldKind::Integer: {
        bool ok = false;
        qint64 n = value.toLongLong(&ok);
        if (!ok) {
            const QString t = value.toString().trimmed();
            n = t.toLongLong(&ok);
            if (!ok)
                throw DbError(QStringLiteral("'%1' is not a valid integer value").arg(t));
        }
        c.i = n;
        break;
    }
    case FieldKind::Float:
        c.d = value.toDouble();
        break;
    case FieldKind::Boolean:
        c.i = value.toBool() ? 1 : 0;
        break;
    case FieldKind::Date:
    case FieldKind::Time:
    case FieldKind::Timestamp:
        c.i = toTicks(column.kind, value);
        break;
    default: {
        // Kept in the encoding the column is read with, so reads and comparisons stay uniform.
        const QByteArray bytes = (column.kind == FieldKind::Blob && column.readCharset < 0)
                                     ? value.toByteArray()
                                     : encodeCharset(column.readCharset, value.toString());
        c.t.off = quint32(m_arena.size());
        c.t.len = quint32(bytes.size());
        m_arena.append(bytes);
        break;
    }
    }
}

void TableCache::edit()
{
    if (m_readOnly)
        throw DbError(QStringLiteral("%1: the query result cannot be modified").arg(m_name));
    const int row = currentRow();
    if (m_editRow == row)
        return;
    if (m_editRow >= 0)
        post();
    if (m_state[size_t(row)] == Unchanged && m_originals.find(row) == m_originals.end()) {
        Original o;
        const size_t n = m_columns.size();
        o.cells.assign(m_cells.begin() + ptrdiff_t(size_t(row) * n), m_cells.begin() + ptrdiff_t(size_t(row + 1) * n));
        o.flags.assign(m_flags.begin() + ptrdiff_t(size_t(row) * n), m_flags.begin() + ptrdiff_t(size_t(row + 1) * n));
        m_originals.emplace(row, std::move(o));
    }
    m_editRow = row;
    m_inserting = false;
}

void TableCache::append()
{
    if (m_readOnly || !m_open)
        throw DbError(QStringLiteral("%1: the dataset cannot be modified").arg(m_name));
    if (m_editRow >= 0)
        post();
    const size_t n = m_columns.size();
    Cell empty;
    empty.i = 0;
    m_cells.resize(m_cells.size() + n, empty);
    m_flags.resize(m_flags.size() + n, Null);
    m_state.push_back(Inserted);
    m_editRow = m_rows++;
    m_inserting = true;
}

void TableCache::setValue(const QString &field, const QVariant &value)
{
    if (m_editRow < 0)
        edit();
    const int col = column(field);
    storeValue(m_editRow, col, value);
}

void TableCache::post()
{
    if (m_editRow < 0)
        return;
    const int row = m_editRow;
    if (!m_inserting && m_state[size_t(row)] == Unchanged)
        m_state[size_t(row)] = Modified;
    m_editRow = -1;
    m_inserting = false;
    rebuildView(row);
    m_eof = m_bof = m_view.empty();
}

void TableCache::cancel()
{
    if (m_editRow < 0)
        return;
    const int row = m_editRow;
    if (m_inserting) {
        m_state[size_t(row)] = Gone;
    } else if (m_state[size_t(row)] == Unchanged) {
        const auto it = m_originals.find(row);
        if (it != m_originals.end()) {
            const size_t n = m_columns.size();
            std::copy(it->second.cells.begin(), it->second.cells.end(), m_cells.begin() + ptrdiff_t(size_t(row) * n));
            std::copy(it->second.flags.begin(), it->second.flags.end(), m_flags.begin() + ptrdiff_t(size_t(row) * n));
            m_originals.erase(it);
        }
    }
    m_editRow = -1;
    m_inserting = false;
    rebuildView();
}

void TableCache::remove()
{
    if (m_readOnly)
        throw DbError(QStringLiteral("%1: the query result cannot be modified").arg(m_name));
    if (m_editRow >= 0)
        cancel();
    const int row = currentRow();
    if (m_state[size_t(row)] == Inserted) {
        m_state[size_t(row)] = Gone;
    } else {
        if (m_state[size_t(row)] == Unchanged) {
            Original o;
            const size_t n = m_columns.size();
            o.cells.assign(m_cells.begin() + ptrdiff_t(size_t(row) * n),
                           m_cells.begin() + ptrdiff_t(size_t(row + 1) * n));
            o.flags.assign(m_flags.begin() + ptrdiff_t(size_t(row) * n),
                           m_flags.begin() + ptrdiff_t(size_t(row + 1) * n));
            m_originals.emplace(row, std::move(o));
        }
        m_state[size_t(row)] = Deleted;
    }
    const int oldCursor = m_cursor;
    rebuildView(-1);
    if (!m_view.empty())
        m_cursor = std::clamp(oldCursor, 0, int(m_view.size()) - 1);
    m_eof = m_bof = m_view.empty();
}

bool TableCache::hasPendingChanges() const
{
    if (m_editRow >= 0)
        return true;
    return std::any_of(m_state.begin(), m_state.end(),
                       [](quint8 s) { return s == Modified || s == Inserted || s == Deleted; });
}

QString TableCache::keyWhere(int row, QVariantList &params, bool useOriginals) const
{
    const auto it = useOriginals ? m_originals.find(row) : m_originals.end();
    QStringList terms;
    for (int c = 0; c < int(m_columns.size()); ++c) {
        const Column &col = m_columns[size_t(c)];
        if (m_hasKey ? !col.primaryKey : (col.kind == FieldKind::Blob || col.kind == FieldKind::Float || !col.loaded))
            continue;
        QVariant v;
        if (it != m_originals.end())
            v = cellValue(it->second.cells[size_t(c)], it->second.flags[size_t(c)], c);
        else
            v = cellValue(cell(row, c), flag(row, c), c);
        if (v.isNull()) {
            terms << QStringLiteral("%1 IS NULL").arg(quoteIdentifier(col.name));
        } else {
            terms << QStringLiteral("%1 = ?").arg(quoteIdentifier(col.name));
            params << v;
        }
    }
    if (terms.isEmpty())
        return QStringLiteral("1 = 1");
    return terms.join(QStringLiteral(" AND "));
}

void TableCache::writeRow(FbConnection::Transaction &tra, int row)
{
    const quint8 state = m_state[size_t(row)];
    const QString table = quoteIdentifier(m_table);
    const QString limit = m_hasKey ? QString() : QStringLiteral(" ROWS 1");
    QVariantList params;
    QString sql;
    if (state == Inserted) {
        QStringList cols, marks;
        for (int c = 0; c < int(m_columns.size()); ++c) {
            if (flag(row, c) != Present)
                continue;
            cols << quoteIdentifier(m_columns[size_t(c)].name);
            marks << QStringLiteral("?");
            params << cellValue(row, c);
        }
        sql = cols.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)
                             : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                   .arg(table, cols.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        m_conn.execute(tra, sql, params);
        return;
    }
    if (state == Modified) {
        const auto it = m_originals.find(row);
        QStringList sets;
        for (int c = 0; c < int(m_columns.size()); ++c) {
            if (flag(row, c) == NotLoaded)
                continue;
            const QVariant now = cellValue(row, c);
            if (it != m_originals.end()) {
                const QVariant before = cellValue(it->second.cells[size_t(c)], it->second.flags[size_t(c)], c);
                if (before.isNull() == now.isNull() && before == now)
                    continue;
            }
            sets << QStringLiteral("%1 = ?").arg(quoteIdentifier(m_columns[size_t(c)].name));
            params << cellValue(row, c);
        }
        if (sets.isEmpty())
            return;
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE ").arg(table, sets.join(QStringLiteral(", ")));
    } else if (state == Deleted) {
        sql = QStringLiteral("DELETE FROM %1 WHERE ").arg(table);
    } else {
        return;
    }
    sql += keyWhere(row, params, true) + limit;
    if (m_conn.execute(tra, sql, params) == 0)
        throw DbError(QStringLiteral("%1: the record was changed or deleted by another user").arg(m_table),
                      DbError::Kind::RecordChanged);
}

void TableCache::applyUpdates()
{
    if (m_editRow >= 0)
        post();
    if (!hasPendingChanges())
        return;
    if (m_readOnly)
        throw DbError(QStringLiteral("%1: the query result cannot be modified").arg(m_name));
    FbConnection::Transaction tra(m_conn, false);
    for (int r = 0; r < m_rows; ++r) {
        const quint8 s = m_state[size_t(r)];
        if (s == Modified || s == Inserted || s == Deleted)
            writeRow(tra, r);
    }
    tra.commit();
    for (int r = 0; r < m_rows; ++r) {
        quint8 &s = m_state[size_t(r)];
        if (s == Modified || s == Inserted)
            s = Unchanged;
        else if (s == Deleted)
            s = Gone;
    }
    m_originals.clear();
}

} // namespace bw
