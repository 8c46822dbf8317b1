#include "requests/gui/RequestListModel.h"

#include "app/gui/Icons.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

namespace bw {

RequestListModel::RequestListModel(QObject *parent) : QAbstractListModel(parent) {}

int RequestListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant RequestListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_entries.size()))
        return QVariant();
    const RequestEntry &e = m_entries[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return e.text;
    case Qt::CheckStateRole:
        return e.checked ? Qt::Checked : Qt::Unchecked;
    case IdRole:
        return e.id;
    case ImportanceRole:
        return e.importance;
    case StatusRole:
        return e.status;
    default:
        return QVariant();
    }
}

bool RequestListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole)
        return false;
    setChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags RequestListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren;
}

void RequestListModel::clear()
{
    beginResetModel();
    m_entries.clear();
    m_entries.shrink_to_fit();
    endResetModel();
}

void RequestListModel::append(std::vector<RequestEntry> &&entries)
{
    if (entries.empty())
        return;
    const int first = int(m_entries.size());
    beginInsertRows(QModelIndex(), first, first + int(entries.size()) - 1);
    if (m_entries.empty()) {
        m_entries = std::move(entries);
    } else {
        m_entries.insert(m_entries.end(), std::make_move_iterator(entries.begin()),
                         std::make_move_iterator(entries.end()));
    }
    endInsertRows();
}

int RequestListModel::rowOfId(int id) const
{
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].id == id)
            return int(i);
    }
    return -1;
}

QList<int> RequestListModel::checkedIds() const
{
    QList<int> ids;
    for (const RequestEntry &e : m_entries) {
        if (e.checked)
            ids << e.id;
    }
    return ids;
}

void RequestListModel::setAllChecked(bool checked)
{
    if (m_entries.empty())
        return;
    for (RequestEntry &e : m_entries)
        e.checked = checked;
    emit dataChanged(index(0), index(int(m_entries.size()) - 1), {Qt::CheckStateRole});
}

void RequestListModel::setChecked(int row, bool checked)
{
    if (row < 0 || row >= int(m_entries.size()))
        return;
    m_entries[size_t(row)].checked = checked;
    emit dataChanged(index(row), index(row), {Qt::CheckStateRole});
}

RequestListDelegate::RequestListDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

QSize RequestListDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return QSize(200, kLineHeight);
}

void RequestListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const int imp = index.data(RequestListModel::ImportanceRole).toInt();
    const int status = index.data(RequestListModel::StatusRole).toInt();
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette &pal = option.palette;

    painter->save();
    // The check mark, at the left of the line, outside the drawn area.
    const QRect full = option.rect;
    painter->fillRect(QRect(full.left(), full.top(), kCheckWidth, full.height()), pal.base());
    QStyleOptionViewItem check(option);
    check.rect = QRect(full.left() + 2, full.top() + (full.height() - 13) / 2, 13, 13);
    check.state = QStyle::State_Enabled |
                  (index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStyle::State_On : QStyle::State_Off);
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check, painter, widget);

    const QRect area(full.left() + kCheckWidth, full.top(), full.width() - kCheckWidth, full.height());
    static const QColor green(0x00, 0x80, 0x00);
    static const QColor maroon(0x80, 0x00, 0x00);
    static const QColor lightBlue(0xEA, 0xF2, 0xFF);
    QColor background = pal.color(QPalette::Base);
    QColor text = pal.color(QPalette::Text);
    bool bold = false;
    if (status == 2) {
        background = selected ? green : background;
        text = selected ? QColor(Qt::white) : green;
    } else if (imp == 1) {
        background = selected ? lightBlue : background;
        text = maroon;
        bold = settings().CB2;
    } else if (selected) {
        background = lightBlue;
        text = QColor(Qt::black);
    }
    painter->fillRect(area, background);

    const int picture = statusImageIndex(status);
    if (picture >= 0) {
        const int side = area.height();
        painter->drawPixmap(QRect(area.left(), area.top(), side, side), imageList1Pixmap(picture));
    }
    QFont font = option.font;
    font.setBold(bold);
    painter->setFont(font);
    painter->setPen(text);
    const int textLeft = area.left() + 2 * (area.height() + 1);
    const QRect textRect(textLeft, area.top(), area.right() - textLeft, area.height());
    const QString line = index.data(Qt::DisplayRole).toString();
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      QFontMetrics(font).elidedText(line, Qt::ElideRight, textRect.width()));
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(pal.color(QPalette::Highlight), 1, Qt::DotLine));
        painter->drawRect(area.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

bool RequestListDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                      const QModelIndex &index)
{
    if (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseButtonDblClick) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && mouse->position().x() < option.rect.left() + kCheckWidth) {
            if (event->type() == QEvent::MouseButtonRelease) {
                const bool on = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
                model->setData(index, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
            }
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Space) {
            const bool on = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
            model->setData(index, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
            return true;
        }
    }
    return false;
}

} // namespace bw
