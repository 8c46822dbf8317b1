#pragma once

#include "requests/RequestWorkspace.h"

#include <QAbstractListModel>
#include <QStyledItemDelegate>

#include <vector>

namespace bw {

// The request list: one line per entry, kept in display order. Entries are plain values so that a list of
// a hundred thousand requests costs one small record each.
class RequestListModel final : public QAbstractListModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RequestListModel)

public:
    enum Role
    {
        IdRole = Qt::UserRole + 1,
        ImportanceRole,
        StatusRole
    };

    explicit RequestListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void clear();
    void append(std::vector<RequestEntry> &&entries);
    const RequestEntry &entry(int row) const { return m_entries[size_t(row)]; }
    int count() const { return int(m_entries.size()); }
    int rowOfId(int id) const;
    QList<int> checkedIds() const;
    void setAllChecked(bool checked);
    void setChecked(int row, bool checked);

private:
    std::vector<RequestEntry> m_entries;
};

// Draws an entry the way the console always has: a check mark, the status picture at the left edge of the
// line and the text 34 pixels in, coloured by importance, status and selection.
class RequestListDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RequestListDelegate)

public:
    static constexpr int kLineHeight = 16;
    static constexpr int kCheckWidth = 18;

    explicit RequestListDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
};

} // namespace bw
