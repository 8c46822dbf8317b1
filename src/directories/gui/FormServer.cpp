#include "directories/gui/FormServer.h"

#include "app/gui/LanguageBinding.h"
#include "app/gui/MessageDlg.h"
#include "data/DbError.h"
#include "directories/gui/AddContact.h"
#include "directories/gui/AddOther.h"
#include "directories/gui/AddUser.h"
#include "directories/gui/DirectoryUi.h"
#include "i18n/LanguageFile.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace bw {

namespace {

enum class Glyph { Add, Delete, Up, Down };

// The button pictures, drawn so that they stay sharp at any scale.
QIcon glyphIcon(Glyph glyph)
{
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        switch (glyph) {
        case Glyph::Add:
            p.setPen(QPen(QColor(0x1e, 0x7b, 0x34), 2.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(8, 3), QPointF(8, 13));
            p.drawLine(QPointF(3, 8), QPointF(13, 8));
            break;
        case Glyph::Delete:
            p.setPen(QPen(QColor(0xb7, 0x1c, 0x1c), 2.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(4, 4), QPointF(12, 12));
            p.drawLine(QPointF(12, 4), QPointF(4, 12));
            break;
        case Glyph::Up:
        case Glyph::Down: {
            QPainterPath path;
            if (glyph == Glyph::Up) {
                path.moveTo(8, 3.5);
                path.lineTo(13.5, 11.5);
                path.lineTo(2.5, 11.5);
            } else {
                path.moveTo(8, 12.5);
                path.lineTo(13.5, 4.5);
                path.lineTo(2.5, 4.5);
            }
            path.closeSubpath();
            p.setPen(QPen(QColor(0x1f, 0x4e, 0x8c), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(QColor(0x3d, 0x7b, 0xc8));
            p.drawPath(path);
            break;
        }
        }
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QToolButton *makeButton(QWidget *parent, int number, Glyph glyph, const QString &hint)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QStringLiteral("SpeedButton%1").arg(number));
    b->setIcon(glyphIcon(glyph));
    b->setIconSize(QSize(16, 16));
    b->setFixedSize(28, 28);
    b->setAutoRaise(true);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

QListWidget *makeList(QWidget *parent, const char *name)
{
    auto *l = new QListWidget(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    l->setUniformItemSizes(true);
    return l;
}

QLabel *makeLabel(QWidget *parent, const char *name, const char *text)
{
    auto *l = new QLabel(QString::fromUtf8(text), parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

// Label above, list with its four buttons in a column beside it.
QVBoxLayout *directoryPanel(QLabel *label, QListWidget *list, std::initializer_list<QToolButton *> buttons)
{
    auto *column = new QVBoxLayout;
    column->setSpacing(2);
    for (QToolButton *b : buttons)
        column->addWidget(b);
    column->addStretch(1);
    auto *row = new QHBoxLayout;
    row->setSpacing(4);
    row->addWidget(list, 1);
    row->addLayout(column);
    auto *panel = new QVBoxLayout;
    panel->setSpacing(3);
    label->setBuddy(list);
    panel->addWidget(label);
    panel->addLayout(row, 1);
    return panel;
}

QPointer<TFormServer> g_instance;

} // namespace

TFormServer::TFormServer(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormServer"));
    setWindowTitle(QStringLiteral("Справочники"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    const QString addHint = QStringLiteral("Добавить");
    const QString deleteHint = QStringLiteral("Удалить");

    GroupBox1 = new QGroupBox(QStringLiteral("Информация об отделах/группах"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Label1 = makeLabel(GroupBox1, "Label1", "Отделы/группы:");
    ListBox1 = makeList(GroupBox1, "ListBox1");
    SpeedButton1 = makeButton(GroupBox1, 1, Glyph::Add, addHint);
    SpeedButton2 = makeButton(GroupBox1, 2, Glyph::Delete, deleteHint);
    SpeedButton15 = makeButton(GroupBox1, 15, Glyph::Up, {});
    SpeedButton20 = makeButton(GroupBox1, 20, Glyph::Down, {});
    auto *groupsLayout = new QVBoxLayout(GroupBox1);
    groupsLayout->addLayout(directoryPanel(Label1, ListBox1, {SpeedButton1, SpeedButton2, SpeedButton15, SpeedButton20}));

    GroupBox2 = new QGroupBox(QStringLiteral("Список возможных заявок и уточнений"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    Label2 = makeLabel(GroupBox2, "Label2", "Наименование заявок:");
    ListBox2 = makeList(GroupBox2, "ListBox2");
    SpeedButton3 = makeButton(GroupBox2, 3, Glyph::Add, addHint);
    SpeedButton4 = makeButton(GroupBox2, 4, Glyph::Delete, deleteHint);
    SpeedButton11 = makeButton(GroupBox2, 11, Glyph::Up, {});
    SpeedButton16 = makeButton(GroupBox2, 16, Glyph::Down, {});
    Label3 = makeLabel(GroupBox2, "Label3", "Уточнения:");
    ListBox3 = makeList(GroupBox2, "ListBox3");
    SpeedButton5 = makeButton(GroupBox2, 5, Glyph::Add, addHint);
    SpeedButton6 = makeButton(GroupBox2, 6, Glyph::Delete, deleteHint);
    SpeedButton12 = makeButton(GroupBox2, 12, Glyph::Up, {});
    SpeedButton17 = makeButton(GroupBox2, 17, Glyph::Down, {});
    auto *topicsLayout = new QVBoxLayout(GroupBox2);
    topicsLayout->addLayout(directoryPanel(Label2, ListBox2, {SpeedButton3, SpeedButton4, SpeedButton11, SpeedButton16}), 3);
    topicsLayout->addSpacing(6);
    topicsLayout->addLayout(directoryPanel(Label3, ListBox3, {SpeedButton5, SpeedButton6, SpeedButton12, SpeedButton17}), 2);

    GroupBox4 = new QGroupBox(QStringLiteral("Время"), this);
    GroupBox4->setObjectName(QStringLiteral("GroupBox4"));
    Label4 = makeLabel(GroupBox4, "Label4", "Время:");
    ListBox4 = makeList(GroupBox4, "ListBox4");
    SpeedButton7 = makeButton(GroupBox4, 7, Glyph::Add, addHint);
    SpeedButton8 = makeButton(GroupBox4, 8, Glyph::Delete, deleteHint);
    SpeedButton13 = makeButton(GroupBox4, 13, Glyph::Up, {});
    SpeedButton18 = makeButton(GroupBox4, 18, Glyph::Down, {});
    auto *timeLayout = new QVBoxLayout(GroupBox4);
    timeLayout->addLayout(directoryPanel(Label4, ListBox4, {SpeedButton7, SpeedButton8, SpeedButton13, SpeedButton18}));

    GroupBox5 = new QGroupBox(QStringLiteral("Сотрудники"), this);
    GroupBox5->setObjectName(QStringLiteral("GroupBox5"));
    Label5 = makeLabel(GroupBox5, "Label5", "Ф.И.О.:");
    ListBox5 = makeList(GroupBox5, "ListBox5");
    SpeedButton9 = makeButton(GroupBox5, 9, Glyph::Add, addHint);
    SpeedButton10 = makeButton(GroupBox5, 10, Glyph::Delete, deleteHint);
    SpeedButton14 = makeButton(GroupBox5, 14, Glyph::Up, {});
    SpeedButton19 = makeButton(GroupBox5, 19, Glyph::Down, {});
    auto *staffLayout = new QVBoxLayout(GroupBox5);
    staffLayout->addLayout(directoryPanel(Label5, ListBox5, {SpeedButton9, SpeedButton10, SpeedButton14, SpeedButton19}));

    BitBtn1 = new QPushButton(QStringLiteral("Сохранить"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setMinimumWidth(110);
    noDefault(BitBtn1);

    auto *right = new QVBoxLayout;
    right->addWidget(GroupBox4, 2);
    right->addWidget(GroupBox5, 3);
    auto *columns = new QHBoxLayout;
    columns->addWidget(GroupBox1, 1);
    columns->addWidget(GroupBox2, 1);
    columns->addLayout(right, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);
    resize(880, 540);

    m_addContact = new TAddContact(this);
    m_addOther = new TAddOther(this);
    m_addUser = new TAddUser(this);

    connect(SpeedButton1, &QToolButton::clicked, this, &TFormServer::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TFormServer::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TFormServer::SpeedButton3Click);
    connect(SpeedButton4, &QToolButton::clicked, this, &TFormServer::SpeedButton4Click);
    connect(SpeedButton5, &QToolButton::clicked, this, &TFormServer::SpeedButton5Click);
    connect(SpeedButton6, &QToolButton::clicked, this, &TFormServer::SpeedButton6Click);
    connect(SpeedButton7, &QToolButton::clicked, this, &TFormServer::SpeedButton7Click);
    connect(SpeedButton8, &QToolButton::clicked, this, &TFormServer::SpeedButton8Click);
    connect(SpeedButton9, &QToolButton::clicked, this, &TFormServer::SpeedButton9Click);
    connect(SpeedButton10, &QToolButton::clicked, this, &TFormServer::SpeedButton10Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TFormServer::BitBtn1Click);
    connect(ListBox2, &QListWidget::currentRowChanged, this, &TFormServer::ListBox2Click);

    const struct
    {
        DirectoryKind kind;
        QToolButton *up;
        QToolButton *down;
    } moves[] = {{DirectoryKind::Groups, SpeedButton15, SpeedButton20},
                 {DirectoryKind::Topics, SpeedButton11, SpeedButton16},
                 {DirectoryKind::Refinements, SpeedButton12, SpeedButton17},
                 {DirectoryKind::TimeOptions, SpeedButton13, SpeedButton18},
                 {DirectoryKind::Staff, SpeedButton14, SpeedButton19}};
    for (const auto &m : moves) {
        const DirectoryKind kind = m.kind;
        connect(m.up, &QToolButton::clicked, this, [this, kind] { moveEntry(kind, true); });
        connect(m.down, &QToolButton::clicked, this, [this, kind] { moveEntry(kind, false); });
        connect(listFor(kind), &QListWidget::itemDoubleClicked, this, [this, kind] { editEntry(kind); });
    }

    registerWindowTexts(this, QStringLiteral("FormServer"));
}

TFormServer::~TFormServer()
{
    LanguageRegistry::instance().remove(this);
}

TFormServer &TFormServer::instance()
{
    if (!g_instance) {
        g_instance = new TFormServer;
        // Windows must go before the application object does.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] { delete g_instance.data(); });
    }
    return *g_instance;
}

void showDirectories(QWidget *parent)
{
    TFormServer &w = TFormServer::instance();
    if (parent && w.parentWidget() != parent && !w.isVisible()) {
        const QPoint centre = parent->window()->frameGeometry().center();
        w.move(centre - QPoint(w.width() / 2, w.height() / 2));
    }
    w.exec();
}

QListWidget *TFormServer::listFor(DirectoryKind kind) const
{
    switch (kind) {
    case DirectoryKind::Groups:
        return ListBox1;
    case DirectoryKind::Topics:
        return ListBox2;
    case DirectoryKind::Refinements:
        return ListBox3;
    case DirectoryKind::TimeOptions:
        return ListBox4;
    case DirectoryKind::Staff:
        break;
    }
    return ListBox5;
}

void TFormServer::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        reloadLists();
}

void TFormServer::reloadLists()
{
    try {
        directories().load();
    } catch (const DbError &e) {
        showAllLists();
        ShowWarning(e.text());
        return;
    }
    showAllLists();
}

void TFormServer::showList(DirectoryKind kind, int current)
{
    QListWidget *w = listFor(kind);
    const DirectoryList &l = directories().list(kind);
    const QSignalBlocker blocker(w);
    w->clear();
    w->addItems(l.names);
    if (kind == DirectoryKind::Topics)
        current = directories().selectedTopic();
    if (l.isValidIndex(current))
        w->setCurrentRow(current);
    else
        w->setCurrentRow(-1);
}

void TFormServer::showAllLists()
{
    for (DirectoryKind kind : {DirectoryKind::Groups, DirectoryKind::Topics, DirectoryKind::Refinements,
                               DirectoryKind::TimeOptions, DirectoryKind::Staff})
        showList(kind, listFor(kind)->currentRow());
    updateRefinementControls();
}

void TFormServer::updateRefinementControls()
{
    // Refinements belong to a topic: without any topic there is nothing to refine.
    const bool enabled = !directories().topics().isEmpty();
    for (QWidget *w : std::initializer_list<QWidget *>{ListBox3, Label3, SpeedButton5, SpeedButton6, SpeedButton12,
                                                       SpeedButton17})
        w->setEnabled(enabled);
}

void TFormServer::reportDbError(const QString &text)
{
    // The editor's lists were reloaded after the failure; show them as they now are.
    showAllLists();
    ShowWarning(text);
}

void TFormServer::addEntry(DirectoryKind kind)
{
    if (kind == DirectoryKind::Refinements && directories().selectedTopic() < 0)
        return;
    switch (kind) {
    case DirectoryKind::Groups:
        m_addContact->setWindowTitle(catalogueTextOr(QStringLiteral("DLG35"), m_addContact->windowTitle()));
        m_addContact->prepareAdd();
        m_addContact->exec();
        break;
    case DirectoryKind::Staff:
        m_addUser->applyCaptions(false);
        m_addUser->prepareAdd();
        m_addUser->exec();
        break;
    default:
        m_addOther->setKind(kind, false);
        m_addOther->prepareAdd();
        m_addOther->exec();
        break;
    }
    showAllLists();
}

void TFormServer::editEntry(DirectoryKind kind)
{
    QListWidget *list = listFor(kind);
    const int index = list->currentRow();
    const DirectoryList &l = directories().list(kind);
    if (!l.isValidIndex(index))
        return;
    const int id = l.ids.at(index);
    bool found = false;
    try {
        switch (kind) {
        case DirectoryKind::Groups:
            m_addContact->setWindowTitle(catalogueTextOr(QStringLiteral("DLG25"), m_addContact->windowTitle()));
            found = m_addContact->prepareEdit(id);
            break;
        case DirectoryKind::Staff:
            m_addUser->applyCaptions(true);
            found = m_addUser->prepareEdit(id);
            break;
        default:
            m_addOther->setKind(kind, true);
            found = m_addOther->prepareEdit(id);
            break;
        }
    } catch (const DbError &e) {
        reportDbError(e.text());
        return;
    }
    if (!found) {
        // Another console removed the entry meanwhile.
        reloadLists();
        return;
    }
    switch (kind) {
    case DirectoryKind::Groups:
        m_addContact->exec();
        break;
    case DirectoryKind::Staff:
        m_addUser->exec();
        break;
    default:
        m_addOther->exec();
        break;
    }
    showAllLists();
}

void TFormServer::deleteEntry(DirectoryKind kind)
{
    const int index = listFor(kind)->currentRow();
    if (index < 0)
        return;
    DirectoryOutcome o;
    try {
        o = directories().remove(kind, index);
    } catch (const DbError &e) {
        reportDbError(e.text());
        return;
    }
    showAllLists();
    if (o.code == DirectoryOutcome::Done)
        showList(kind, -1); // the deleted entry's place is not selected again
    if (!o.messageKey.isEmpty())
        ShowInfo(catalogueTextOr(o.messageKey));
}

void TFormServer::moveEntry(DirectoryKind kind, bool up)
{
    const int index = listFor(kind)->currentRow();
    try {
        if (up)
            directories().moveUp(kind, index);
        else
            directories().moveDown(kind, index);
    } catch (const DbError &e) {
        reportDbError(e.text());
        return;
    }
    // The selection stays at its place; the entries under it were exchanged.
    showAllLists();
    showList(kind, index);
}

void TFormServer::SpeedButton1Click()
{
    addEntry(DirectoryKind::Groups);
}

void TFormServer::SpeedButton2Click()
{
    deleteEntry(DirectoryKind::Groups);
}

void TFormServer::SpeedButton3Click()
{
    addEntry(DirectoryKind::Topics);
}

void TFormServer::SpeedButton4Click()
{
    deleteEntry(DirectoryKind::Topics);
}

void TFormServer::SpeedButton5Click()
{
    addEntry(DirectoryKind::Refinements);
}

void TFormServer::SpeedButton6Click()
{
    deleteEntry(DirectoryKind::Refinements);
}

void TFormServer::SpeedButton7Click()
{
    addEntry(DirectoryKind::TimeOptions);
}

void TFormServer::SpeedButton8Click()
{
    deleteEntry(DirectoryKind::TimeOptions);
}

void TFormServer::SpeedButton9Click()
{
    addEntry(DirectoryKind::Staff);
}

void TFormServer::SpeedButton10Click()
{
    deleteEntry(DirectoryKind::Staff);
}

void TFormServer::ListBox2Click()
{
    const int row = ListBox2->currentRow();
    if (row < 0 || row == directories().selectedTopic())
        return;
    try {
        directories().selectTopic(row);
    } catch (const DbError &e) {
        reportDbError(e.text());
        return;
    }
    showList(DirectoryKind::Refinements, -1);
}

void TFormServer::BitBtn1Click()
{
    accept();
}

} // namespace bw
