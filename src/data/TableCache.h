#pragma once

#include "data/FbConnection.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QVariant>

#include <functional>
#include <unordered_map>
#include <vector>

namespace bw {

// An in-memory copy of a whole table (or of a query's rows), walked and edited like a client
// dataset: open, order by a field, restrict, walk, read typed values, edit / append / delete,
// post, and write the pending changes back with applyUpdates().
//
// Rows are stored column-packed: numbers in place, text as undecoded bytes in one arena, so that
// loading a large table does no per-value formatting; text is decoded when a caller reads it.
// Write-back finds a row by the table's primary key when it has one, otherwise by the original
// values of all non-BLOB columns; a row that no longer matches raises DbError (RecordChanged).
class TableCache final
{
public:
    TableCache(FbConnection &conn, const QString &name);

    const QString &name() const { return m_name; }

    // Clear ordering, close, open on the whole table. Throws DbError (missing table etc.).
    void openTable(const QString &table);
    // Rows of a free SQL query; such a cache cannot be written back.
    void openQuery(const QString &sql, const QVariantList &params = {});
    void close();
    bool isOpen() const { return m_open; }
    const QString &tableName() const { return m_table; }

    // Long texts (text blobs) are read when a caller first asks for them: one row by its key, or,
    // once a caller has read many, the whole column in one query. Callers always see the whole
    // text. On by default (loading every long text of a large table is what makes it slow); set
    // before opening.
    void setDeferBlobs(bool defer) { m_deferBlobs = defer; }

    // Ascending in-memory order by one field (stable); empty name restores the loaded order.
    void orderBy(const QString &field);
    // Keeps only rows whose field equals value; an invalid QVariant lifts the restriction.
    void restrict(const QString &field, const QVariant &value);
    void clearRestriction() { restrict(QString(), QVariant()); }

    // Walking (over the visible rows).
    int rowCount() const { return int(m_view.size()); }
    bool isEmpty() const { return m_view.empty(); }
    void first();
    void last();
    void next();
    void prior();
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    int position() const { return m_cursor; }
    void setPosition(int visibleRow);
    // Moves to the first visible row whose field equals value; false (cursor unchanged) if none.
    bool locate(const QString &field, const QVariant &value);

    // Fields.
    int fieldCount() const { return int(m_columns.size()); }
    int fieldIndex(const QString &field) const; // -1 if none
    QString fieldName(int index) const { return m_columns.at(size_t(index)).name; }
    FieldKind fieldKind(int index) const { return m_columns.at(size_t(index)).kind; }
    bool hasField(const QString &field) const { return fieldIndex(field) >= 0; }

    // Typed reads of the current row (DbError when there is no current row or no such field).
    // NULL reads as 0 / empty / false / invalid date-time.
    bool isNull(const QString &field) const;
    int asInt(const QString &field) const;
    qint64 asInt64(const QString &field) const;
    double asFloat(const QString &field) const;
    QString asString(const QString &field) const;
    // Boolean-as-text: true when the first character is T, t, Y or y; numbers: non-zero.
    bool asBool(const QString &field) const;
    QDateTime asDateTime(const QString &field) const;
    QVariant value(const QString &field) const;

    // Reads of any visible row by column index (for list models).
    QVariant valueAt(int visibleRow, int column) const;
    QString stringAt(int visibleRow, int column) const;
    qint64 intAt(int visibleRow, int column) const;
    bool isNullAt(int visibleRow, int column) const;
    QDateTime dateTimeAt(int visibleRow, int column) const;

    // Changes.
    void edit();
    void append();
    void setValue(const QString &field, const QVariant &value);
    void post();
    void cancel();
    void remove(); // delete the current row
    bool isEditing() const { return m_editRow >= 0; }
    bool hasPendingChanges() const;
    // Writes pending changes in one transaction; on failure nothing is written and the changes stay pending.
    void applyUpdates();

private:
    struct Cell
    {
        union {
            qint64 i;
            double d;
            struct
            {
                quint32 off;
                quint32 len;
            } t;
        };
    };
    enum RowState : quint8 { Unchanged, Modified, Inserted, Deleted, Gone };
    enum CellFlag : quint8 { Present = 0, Null = 1, NotLoaded = 2 };
    struct Column
    {
        QString name;
        FieldKind kind = FieldKind::Other;
        int readCharset = 0;  // how fetched bytes are decoded
        int writeCharset = 0; // declared character set, for writing back
        bool primaryKey = false;
        bool loaded = true;   // false: a deferred long text
        bool splitBlob = false; // loaded as an in-row text plus a blob for long values
        int deferredReads = 0;  // long texts of this column read one by one so far
        int scale = 0;
    };
    struct Original
    {
        std::vector<Cell> cells;
        std::vector<quint8> flags;
    };

    void resetData();
    void load(const QString &sql, const QVariantList &params, bool fromTable);
    void rebuildView(int keepPhysicalRow = -1);
    int currentRow() const;          // physical row of the cursor, throws without one
    int column(const QString &field) const; // throws when missing
    const Cell &cell(int row, int col) const { return m_cells[size_t(row) * m_columns.size() + size_t(col)]; }
    Cell &cell(int row, int col) { return m_cells[size_t(row) * m_columns.size() + size_t(col)]; }
    quint8 flag(int row, int col) const { return m_flags[size_t(row) * m_columns.size() + size_t(col)]; }
    quint8 &flag(int row, int col) { return m_flags[size_t(row) * m_columns.size() + size_t(col)]; }
    QVariant cellValue(int row, int col) const;
    QVariant cellValue(const Cell &c, quint8 f, int col) const;
    void storeValue(int row, int col, const QVariant &value);
    void loadDeferred(int row, int col) const;
    static QByteArray storedEncoding(const Column &column, const QByteArray &connectionBytes);
    void storeLongText(size_t base, int col, const QByteArray &connectionBytes);
    bool loadDeferredColumn(int col);
    void storeText(int row, int col, const QByteArray &bytes);
    static constexpr int kDeferredReadsBeforeColumnLoad = 16;
    static constexpr int kInlineText = 1000;
    int compareRows(int a, int b, int col) const;
    QString keyWhere(int row, QVariantList &params, bool useOriginals) const;
    void writeRow(FbConnection::Transaction &tra, int row);

    FbConnection &m_conn;
    QString m_name;
    QString m_table; // stored name of the table, empty for a query
    bool m_open = false;
    bool m_readOnly = false;
    bool m_deferBlobs = true;
    bool m_hasKey = false;
    std::vector<Column> m_columns;
    QHash<QString, int> m_index; // upper-case name -> column
    std::vector<Cell> m_cells;
    std::vector<quint8> m_flags;
    std::vector<quint8> m_state;
    mutable QByteArray m_arena;
    std::unordered_map<int, Original> m_originals;
    int m_rows = 0;

    std::vector<int> m_view;
    int m_cursor = -1;
    bool m_eof = true;
    bool m_bof = true;
    int m_orderCol = -1;
    int m_restrictCol = -1;
    QVariant m_restrictValue;

    int m_editRow = -1;
    bool m_inserting = false;
};

} // namespace bw
