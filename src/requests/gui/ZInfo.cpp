#include "requests/gui/ZInfo.h"

#include "app/AppState.h"
#include "app/Shell.h"
#include "app/gui/Icons.h"
#include "app/gui/MessageDlg.h"
#include "data/DataModule.h"
#include "i18n/Catalogue.h"
#include "i18n/LanguageFile.h"
#include "requests/RequestPeriod.h"
#include "requests/RequestWorkspace.h"
#include "requests/gui/MemoShow.h"
#include "requests/gui/PeriodDialog.h"
#include "requests/gui/RequestListModel.h"
#include "requests/gui/SelectImp.h"
#include "requests/gui/WindowTexts.h"
#include "settings/Settings.h"
#include "settings/SettingsWriter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace bw {

namespace {

// The window sizes of the layout rules are outer sizes; the frame of a normal window adds this much.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 34;

// Collects the entries of a rebuild and serves pending events now and then; the list takes all entries at
// once at the end (handing a view a hundred thousand lines in pieces costs more than the rebuild itself).
class ModelSink final : public RequestSink
{
public:
    void add(RequestEntry &&entry) override { m_entries.push_back(std::move(entry)); }
    void yield() override { QCoreApplication::processEvents(); }
    std::vector<RequestEntry> take() { return std::move(m_entries); }

private:
    std::vector<RequestEntry> m_entries;
};

QToolButton *smallButton(QWidget *parent, const QString &name, const QIcon &icon)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setIcon(icon);
    b->setIconSize(QSize(16, 16));
    b->setAutoRaise(true);
    return b;
}

QLineEdit *readOnlyEdit(QWidget *parent, const QString &name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setReadOnly(true);
    return e;
}

QLabel *fieldLabel(QWidget *parent, const QString &name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    return l;
}

// A dimmed copy of an icon: the empty look of a two-look button.
QIcon emptyLook(const QIcon &icon)
{
    QIcon dim;
    dim.addPixmap(icon.pixmap(QSize(16, 16), QIcon::Disabled));
    return dim;
}

} // namespace

WorkspaceHooks &workspaceHooks()
{
    static WorkspaceHooks hooks;
    return hooks;
}

TZInfo::TZInfo(QWidget *parent) : QDialog(parent)
{
    setModal(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setWindowFlag(Qt::WindowMinimizeButtonHint, true);
    setWindowIcon(appIcon());
    setMinimumSize(kMinOuterWidth - kFrameWidth, kMinOuterHeight - kFrameHeight);
    resize(Settings::kDesignedWidth, kMinOuterHeight - kFrameHeight);

    buildListArea();
    buildDetailPane();
    setUpWindowTexts(this, QStringLiteral("ZInfo"));
    LanguageRegistry::instance().addTarget(this, CatalogueTarget::RequestStatusList, [this](const QStringList &texts) {
        ComboBox1->clear();
        ComboBox1->addItems(texts);
        ComboBox1->setCurrentIndex(-1);
    });
    ComboBox1->addItems(catalogueTarget(CatalogueTarget::RequestStatusList).texts());
    ComboBox1->setCurrentIndex(-1);
    ClearRequestDetail();
    arrange();
}

void TZInfo::buildListArea()
{
    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));

    ToolBar1 = new QToolBar(GroupBox1);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setOrientation(Qt::Vertical);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setIconSize(QSize(22, 22));
    QStyle *st = style();
    auto tool = [this, st](const QString &name, QStyle::StandardPixmap pixmap, std::function<void()> WorkspaceHooks::*hook,
                           bool notForObservers) {
        auto *b = new QToolButton(ToolBar1);
        b->setObjectName(name);
        b->setIcon(st->standardIcon(pixmap));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(true);
        b->setMinimumWidth(76);
        ToolBar1->addWidget(b);
        if (hook) {
            connect(b, &QToolButton::clicked, this, [hook, notForObservers] {
                if (notForObservers && appState().CurrentUserPriv == 2)
                    return;
                if (const auto &f = workspaceHooks().*hook)
                    f();
            });
        }
        return b;
    };
    ToolButton1 = tool(QStringLiteral("ToolButton1"), QStyle::SP_FileDialogDetailedView, &WorkspaceHooks::openReports, false);
    ToolButton3 = tool(QStringLiteral("ToolButton3"), QStyle::SP_FileIcon, &WorkspaceHooks::printCard, false);
    ToolButton2 = tool(QStringLiteral("ToolButton2"), QStyle::SP_DialogApplyButton, &WorkspaceHooks::openTasks, true);
    ToolButton10 = tool(QStringLiteral("ToolButton10"), QStyle::SP_FileDialogInfoView, &WorkspaceHooks::openCalendar, false);
    ToolButton4 = tool(QStringLiteral("ToolButton4"), QStyle::SP_MessageBoxInformation, &WorkspaceHooks::openMessage, true);
    ToolButton8 = tool(QStringLiteral("ToolButton8"), QStyle::SP_DialogSaveButton, nullptr, false);
    connect(ToolButton8, &QToolButton::clicked, this, &TZInfo::saveViewClick);

    m_model = new RequestListModel(this);
    CheckListBox1 = new QListView(GroupBox1);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    CheckListBox1->setModel(m_model);
    CheckListBox1->setItemDelegate(new RequestListDelegate(CheckListBox1));
    CheckListBox1->setUniformItemSizes(true);
    CheckListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    CheckListBox1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    CheckListBox1->setLayoutMode(QListView::SinglePass);
    // A click makes the line current before it selects it, so the pane follows the selection.
    connect(CheckListBox1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection &selected) {
                if (!m_busy && !selected.isEmpty())
                    ShowSelectedRequest();
            });

    BitBtn2 = new QPushButton(GroupBox1);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setIcon(st->standardIcon(QStyle::SP_TrashIcon));
    connect(BitBtn2, &QPushButton::clicked, this, &TZInfo::DeleteCheckedRequests);
    BitBtn3 = new QPushButton(GroupBox1);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setIcon(st->standardIcon(QStyle::SP_BrowserReload));
    connect(BitBtn3, &QPushButton::clicked, this, &TZInfo::RebuildRequestList);
    BitBtn4 = new QPushButton(GroupBox1);
    BitBtn4->setObjectName(QStringLiteral("BitBtn4"));
    BitBtn4->hide();
    connect(BitBtn4, &QPushButton::clicked, this, [] {
        if (const auto &f = workspaceHooks().openReports)
            f();
    });

    SpeedButton1 = smallButton(GroupBox1, QStringLiteral("SpeedButton1"), imageList1(ImageIndex::PeriodWeek));
    SpeedButton1->setCheckable(true);
    connect(SpeedButton1, &QToolButton::clicked, this, &TZInfo::periodClick);
    SpeedButton9 = smallButton(GroupBox1, QStringLiteral("SpeedButton9"), imageList1(ImageIndex::ClientFilter));
    SpeedButton9->setCheckable(true);
    connect(SpeedButton9, &QToolButton::clicked, this, &TZInfo::clientFilterClick);
    SpeedButton7 = smallButton(GroupBox1, QStringLiteral("SpeedButton7"), st->standardIcon(QStyle::SP_DialogYesButton));
    connect(SpeedButton7, &QToolButton::clicked, this, &TZInfo::checkAllClick);
    SpeedButton8 = smallButton(GroupBox1, QStringLiteral("SpeedButton8"), imageList1(ImageIndex::Notes));
    connect(SpeedButton8, &QToolButton::clicked, this, &TZInfo::notesClick);

    static const char *const names[10] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5",
                                          "CheckBox6", "CheckBox7", "CheckBox8", "CheckBox10", "CheckBox11"};
    const int icons[10] = {statusImageIndex(0), statusImageIndex(1), statusImageIndex(2), statusImageIndex(3),
                           statusImageIndex(4), ImageIndex::ImportanceHigh, ImageIndex::ImportanceMedium,
                           ImageIndex::ImportanceLow, ImageIndex::PeriodWeek, ImageIndex::PeriodMonth};
    for (int i = 0; i < 10; ++i) {
        filterBox[i] = new QCheckBox(GroupBox1);
        filterBox[i]->setObjectName(QString::fromLatin1(names[i]));
        // The column is as narrow as it always was; a slightly smaller font keeps the captions whole.
        QFont small = filterBox[i]->font();
        small.setPointSizeF(small.pointSizeF() * 0.8);
        filterBox[i]->setFont(small);
        filterIcon[i] = new QLabel(GroupBox1);
        filterIcon[i]->setPixmap(imageList1Pixmap(icons[i]));
        connect(filterBox[i], &QCheckBox::toggled, this, [this] {
            if (m_syncing)
                return;
            RequestFilterBoxes b;
            for (int k = 0; k < 5; ++k)
                b.status[size_t(k)] = filterBox[k]->isChecked();
            for (int k = 0; k < 3; ++k)
                b.importance[size_t(k)] = filterBox[5 + k]->isChecked();
            b.week = filterBox[8]->isChecked();
            b.month = filterBox[9]->isChecked();
            b.toSettings();
        });
    }
    for (QFrame *&line : separator) {
        line = new QFrame(GroupBox1);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
    }
}

void TZInfo::buildDetailPane()
{
    GroupBox2 = new QGroupBox(this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    QWidget *g = GroupBox2;
    QStyle *st = style();

    LabelNumber = new QLabel(g);
    LabelNumber->setObjectName(QStringLiteral("LabelNumber"));
    QFont big = LabelNumber->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    LabelNumber->setFont(big);
    LabelNumber->setMinimumWidth(120);

    QLabel *Label7 = fieldLabel(g, QStringLiteral("Label7"));
    image2 = smallButton(g, QStringLiteral("image2"), imageList1(ImageIndex::ImportanceHigh));
    image3 = smallButton(g, QStringLiteral("image3"), imageList1(ImageIndex::ImportanceMedium));
    Image4 = smallButton(g, QStringLiteral("Image4"), imageList1(ImageIndex::ImportanceLow));
    for (QToolButton *b : {image2, image3, Image4}) {
        b->setIconSize(QSize(24, 24));
        connect(b, &QToolButton::clicked, this, &TZInfo::ChangeImportance);
    }
    LabelImportance = new QLabel(g);
    LabelImportance->setObjectName(QStringLiteral("LabelImportance"));
    QFont bold = LabelImportance->font();
    bold.setBold(true);
    LabelImportance->setFont(bold);

    Edit1 = readOnlyEdit(g, QStringLiteral("Edit1"));
    EditGroup = readOnlyEdit(g, QStringLiteral("EditGroup"));
    Edit2 = readOnlyEdit(g, QStringLiteral("Edit2"));
    Edit3 = readOnlyEdit(g, QStringLiteral("Edit3"));
    Edit4 = readOnlyEdit(g, QStringLiteral("Edit4"));
    Edit5 = readOnlyEdit(g, QStringLiteral("Edit5"));
    Edit6 = readOnlyEdit(g, QStringLiteral("Edit6"));
    Edit7 = readOnlyEdit(g, QStringLiteral("Edit7"));
    EditCtime = readOnlyEdit(g, QStringLiteral("EditCtime"));
    Comment = new QLineEdit(g);
    Comment->setObjectName(QStringLiteral("Memo1"));
    connect(Comment, &QLineEdit::textEdited, this, [this] { m_commentEdited = true; });
    ComboBox1 = new QComboBox(g);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox2 = new QComboBox(g);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->setMinimumContentsLength(24);

    const QIcon textIcon = st->standardIcon(QStyle::SP_FileDialogContentsView);
    SpeedButton6 = smallButton(g, QStringLiteral("SpeedButton6"), textIcon);
    connect(SpeedButton6, &QToolButton::clicked, this, [this] { textCommand(QStringLiteral("TROUBLE_MAX"), false); });
    SpeedButton3 = smallButton(g, QStringLiteral("SpeedButton3"), textIcon);
    connect(SpeedButton3, &QToolButton::clicked, this, &TZInfo::commentTextClick);

    const QIcon adminIcon = st->standardIcon(QStyle::SP_FileDialogDetailedView);
    SpeedButtonADMIN = smallButton(g, QStringLiteral("SpeedButtonADMIN"), adminIcon);
    SpeedButtonADMIN1116 = smallButton(g, QStringLiteral("SpeedButtonADMIN1116"), emptyLook(adminIcon));
    for (QToolButton *b : {SpeedButtonADMIN, SpeedButtonADMIN1116})
        connect(b, &QToolButton::clicked, this, &TZInfo::adminTextClick);
    const QIcon impIcon = st->standardIcon(QStyle::SP_MessageBoxQuestion);
    SpeedButton22 = smallButton(g, QStringLiteral("SpeedButton22"), impIcon);
    SpeedButton22bl = smallButton(g, QStringLiteral("SpeedButton22bl"), emptyLook(impIcon));
    connect(SpeedButton22, &QToolButton::clicked, this, [this] { textCommand(QStringLiteral("IMP_MORE"), false); });

    BitBtn1 = new QPushButton(g);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setIcon(st->standardIcon(QStyle::SP_DialogSaveButton));
    BitBtn1->setMinimumWidth(120);
    connect(BitBtn1, &QPushButton::clicked, this, &TZInfo::SaveRequest);

    AttachmentBar = new QWidget(g);
    AttachmentBar->setObjectName(QStringLiteral("AttachmentBar"));
    auto *attach = new QHBoxLayout(AttachmentBar);
    attach->setContentsMargins(0, 0, 0, 0);

    auto *grid = new QGridLayout(g);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(5, 2);
    int row = 0;
    auto *top = new QHBoxLayout;
    top->addWidget(LabelNumber);
    top->addStretch(1);
    top->addWidget(Label7);
    top->addWidget(image2);
    top->addWidget(image3);
    top->addWidget(Image4);
    top->addWidget(SpeedButton22);
    top->addWidget(SpeedButton22bl);
    top->addSpacing(8);
    top->addWidget(LabelImportance);
    grid->addLayout(top, row++, 0, 1, 6);

    auto label = [&](const char *name, QWidget *field, int r, int c, int span = 1) {
        grid->addWidget(fieldLabel(g, QString::fromLatin1(name)), r, c);
        grid->addWidget(field, r, c + 1, 1, span);
    };
    label("Label1", Edit1, row, 0);
    label("Label14", EditGroup, row++, 4);
    label("Label2", Edit2, row++, 0, 5);
    label("Label3", Edit3, row++, 0, 5);
    label("Label4", Edit4, row, 0);
    label("Label6", Edit6, row++, 4);
    label("Label5", Edit5, row, 0, 4);
    grid->addWidget(SpeedButton6, row++, 5, Qt::AlignLeft);
    label("Label11", Edit7, row++, 0, 5);
    label("Label8", ComboBox1, row, 0);
    label("Label13", EditCtime, row++, 4);
    label("Label12", ComboBox2, row++, 0);
    label("Label9", Comment, row, 0, 4);
    auto *commentButtons = new QHBoxLayout;
    commentButtons->addWidget(SpeedButton3);
    commentButtons->addWidget(SpeedButtonADMIN);
    commentButtons->addWidget(SpeedButtonADMIN1116);
    commentButtons->addStretch(1);
    grid->addLayout(commentButtons, row++, 5);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(AttachmentBar);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    grid->setRowStretch(row, 1);
    grid->addLayout(buttons, ++row, 0, 1, 6);
}

void TZInfo::arrange()
{
    const int W = width() + kFrameWidth;
    const int H = height() + kFrameHeight;
    GroupBox1->setGeometry(8, 4, W - 27, H - 464);
    GroupBox2->setGeometry(8, H - 450, W - 27, 410);
    const int GW = GroupBox1->width();
    const int GH = GroupBox1->height();

    const int listLeft = 96;
    ToolBar1->setGeometry(6, 18, listLeft - 10, GH - 24);
    CheckListBox1->setGeometry(listLeft, 20, GW - 286, GH - 59);
    const int buttonTop = GH - 37;
    BitBtn2->setGeometry(listLeft, buttonTop, 110, 28);
    BitBtn3->setGeometry(GW - 303, buttonTop, 113, 28);
    BitBtn4->setGeometry(listLeft + 116, buttonTop, 110, 28);
    SpeedButton1->setGeometry(GW - 332, buttonTop, 27, 28);
    SpeedButton9->setGeometry(GW - 361, buttonTop, 27, 28);
    SpeedButton7->setGeometry(GW - 390, buttonTop, 27, 28);
    SpeedButton8->setGeometry(GW - 419, buttonTop, 27, 28);

    const int boxLeft = GW - 166;
    int y = 20;
    for (int i = 0; i < 10; ++i) {
        if (i == 5 || i == 8) {
            separator[i == 5 ? 0 : 1]->setGeometry(boxLeft, y + 2, 150, 4);
            y += 9;
        }
        filterBox[i]->setGeometry(boxLeft, y, 162, 21);
        filterIcon[i]->setGeometry(boxLeft - 20, y + 2, 16, 16);
        y += 22;
    }
}

void TZInfo::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    arrange();
}

void TZInfo::applySavedPlacement()
{
    const Settings &s = settings();
    m_placed = true;
    if (s.Width <= 0 || s.Height <= 0)
        return;
    setGeometry(s.Left, s.Top + kFrameHeight - 8, std::max(s.Width - kFrameWidth, minimumWidth()),
                std::max(s.Height - kFrameHeight, minimumHeight()));
    if (s.State != 0)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void TZInfo::syncFilterBoxes()
{
    const RequestFilterBoxes b = RequestFilterBoxes::fromSettings();
    m_syncing = true;
    for (int k = 0; k < 5; ++k)
        filterBox[k]->setChecked(b.status[size_t(k)]);
    for (int k = 0; k < 3; ++k)
        filterBox[5 + k]->setChecked(b.importance[size_t(k)]);
    filterBox[8]->setChecked(b.week);
    filterBox[9]->setChecked(b.month);
    m_syncing = false;
}

void TZInfo::applyRights()
{
    const int priv = appState().CurrentUserPriv;
    if (priv == 2)
        BitBtn1->setEnabled(false);
    BitBtn2->setEnabled(priv == 0);
    ComboBox1->setEnabled(priv != 2);
    ComboBox2->setEnabled(priv == 0);
    Comment->setReadOnly(priv == 2);
    for (QToolButton *b : {image2, image3, Image4}) {
        b->setAutoRaise(true);
        b->setCursor(priv == 1 ? Qt::ArrowCursor : Qt::PointingHandCursor);
    }
    const WorkspaceHooks &h = workspaceHooks();
    ToolButton1->setEnabled(bool(h.openReports));
    ToolButton3->setEnabled(bool(h.printCard));
    ToolButton2->setEnabled(bool(h.openTasks));
    ToolButton10->setEnabled(bool(h.openCalendar));
    ToolButton4->setEnabled(bool(h.openMessage));
}

void TZInfo::fillExecutorList()
{
    ComboBox2->clear();
    ComboBox2->addItems(requestWorkspace().staff().names);
    ComboBox2->setCurrentIndex(-1);
}

void TZInfo::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (!m_placed)
        applySavedPlacement();
    syncFilterBoxes();
    SpeedButton9->setChecked(requestWorkspace().clientFilter && !requestWorkspace().filterReset);
    SpeedButton1->setChecked(periodState().PeriodSet);
    applyRights();
    try {
        requestWorkspace().loadStaffList();
    } catch (const DbError &e) {
        ReportError(e.text());
        return;
    }
    fillExecutorList();
    QCoreApplication::processEvents();
    RebuildRequestList();
    BitBtn3->setFocus();
}

void TZInfo::done(int result)
{
    if (m_busy)
        return; // the list is being rebuilt; closing waits for it
    try {
        CountQueuedRequests();
    } catch (const DbError &e) {
        ReportError(e.text());
    }
    if (workspaceOpenMode() == 2 && shell().hideMainWindow)
        shell().hideMainWindow();
    setWorkspaceOpenMode(0);
    QDialog::done(result);
}

void TZInfo::RebuildRequestList()
{
    if (m_busy)
        return;
    m_busy = true;
    ClearRequestDetail();
    m_model->clear();
    m_haveSelection = false;
    ModelSink sink;
    try {
        requestWorkspace().rebuild(sink);
        m_model->append(sink.take());
    } catch (const DbError &e) {
        m_busy = false;
        SpeedButton9->setChecked(requestWorkspace().clientFilter);
        ReportError(e.text());
        return;
    }
    SpeedButton9->setChecked(requestWorkspace().clientFilter);
    CheckListBox1->selectionModel()->clear();
    m_busy = false;
}

void TZInfo::ClearRequestDetail()
{
    for (QToolButton *b : {image2, image3, Image4})
        b->hide();
    LabelImportance->clear();
    LabelNumber->clear();
    SpeedButton6->setEnabled(false);
    SpeedButton3->setEnabled(false);
    SpeedButton22->setEnabled(false);
    for (QToolButton *b : {SpeedButtonADMIN, SpeedButtonADMIN1116, SpeedButton22, SpeedButton22bl})
        b->hide();
    for (QLineEdit *e : {Edit1, EditGroup, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, EditCtime, Comment})
        e->clear();
    m_commentEdited = false;
    ComboBox1->setCurrentIndex(-1);
    ComboBox2->setCurrentIndex(-1);
    BitBtn1->setEnabled(false);
}

int TZInfo::selectedRow() const
{
    const QModelIndex current = CheckListBox1->currentIndex();
    if (!current.isValid() || !CheckListBox1->selectionModel()->isSelected(current))
        return -1;
    return current.row();
}

void TZInfo::selectRow(int row)
{
    if (row < 0 || row >= m_model->count())
        return;
    const QModelIndex index = m_model->index(row);
    CheckListBox1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    CheckListBox1->scrollTo(index);
}

void TZInfo::setTwoLook(QToolButton *present, QToolButton *empty, bool isPresent)
{
    present->setVisible(isPresent);
    empty->setVisible(!isPresent);
}

void TZInfo::showImportance(int importance)
{
    if (importance < 1 || importance > 3)
        return;
    image2->setVisible(importance == 1);
    image3->setVisible(importance == 2);
    Image4->setVisible(importance == 3);
    LabelImportance->setText(msg(44 + importance));
}

void TZInfo::ShowSelectedRequest()
{
    if (m_busy)
        return;
    const int row = selectedRow();
    if (row < 0)
        return;
    const int id = m_model->entry(row).id;
    for (QLineEdit *e : {Edit1, EditGroup, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, EditCtime, Comment})
        e->clear();
    BitBtn1->setEnabled(true);
    applyRights();
    std::optional<RequestDetail> d;
    try {
        d = requestWorkspace().selectRequest(id);
    } catch (const DbError &e) {
        ReportError(e.text());
        return;
    }
    if (!d) {
        ShowInfo(msg(181));
        RebuildRequestList();
        return;
    }
    m_haveSelection = true;
    SpeedButton6->setEnabled(true);
    SpeedButton3->setEnabled(true);
    SpeedButton22->setEnabled(true);
    setTwoLook(SpeedButton22, SpeedButton22bl, d->impMorePresent);
    setTwoLook(SpeedButtonADMIN, SpeedButtonADMIN1116, d->adminTextPresent);

    LabelNumber->setText(QStringLiteral("N ") + QString::number(d->id));
    Edit1->setText(d->intime);
    Edit2->setText(d->trouble);
    Edit3->setText(d->troubleMore);
    Edit4->setText(d->troubleWhen);
    Edit5->setText(d->troubleMax);
    Edit6->setText(d->contact);
    Edit7->setText(d->systemInfo);
    for (QLineEdit *e : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7})
        e->setCursorPosition(0);
    ComboBox1->setCurrentIndex(d->status >= 0 && d->status < ComboBox1->count() ? d->status : -1);
    Comment->setText(d->comment);
    Comment->setCursorPosition(0);
    m_commentEdited = false;
    ComboBox2->setCurrentIndex(-1);
    ComboBox2->setCurrentIndex(d->executorIndex);
    showImportance(d->importance);
    EditCtime->setText(d->ctime);
    EditGroup->setText(d->group);
}

bool TZInfo::VerifyCurrentRequest()
{
    bool found = false;
    try {
        found = requestWorkspace().verifyCurrentRequest();
    } catch (const DbError &e) {
        ReportError(e.text());
        return false;
    }
    if (!found) {
        ShowInfo(msg(181));
        RebuildRequestList();
    }
    return found;
}

void TZInfo::SaveRequest()
{
    if (m_busy || !m_haveSelection)
        return;
    SaveInput in;
    in.executorIndex = ComboBox2->currentIndex();
    in.newStatus = ComboBox1->currentIndex();
    in.statusText = ComboBox1->currentText();
    in.commentEdited = m_commentEdited;
    in.comment = Comment->text();
    const int row = selectedRow();
    const int id = row >= 0 ? m_model->entry(row).id : requestWorkspace().currentRequestId();
    SaveResult r;
    try {
        r = requestWorkspace().save(in);
    } catch (const DbError &e) {
        ReportError(e.text());
        return;
    }
    switch (r.outcome) {
    case SaveOutcome::NoExecutor:
        ShowInfo(msg(76));
        return;
    case SaveOutcome::ExecutorGone:
        fillExecutorList();
        ShowInfo(msg(180));
        return;
    case SaveOutcome::ChangedByOthers:
        ShowInfo(msg(181));
        RebuildRequestList();
        return;
    case SaveOutcome::Saved:
        break;
    }
    EditCtime->setText(r.ctime);
    m_commentEdited = false;
    ShowInfo(msg(42));
    RebuildRequestList();
    const int again = m_model->rowOfId(id);
    if (again >= 0)
        selectRow(again); // shows it through the selection
}

void TZInfo::ChangeImportance()
{
    if (appState().CurrentUserPriv == 1 || !m_haveSelection)
        return;
    if (!ShowQuestion(msg(48), msg(49), msg(50), msg(52)))
        return;
    const int choice = ChooseImportance();
    if (choice == 0)
        return;
    try {
        requestWorkspace().changeImportance(choice);
    } catch (const DbError &e) {
        ReportError(e.text());
        return;
    }
    showImportance(choice);
    ShowInfo(msg(53));
}

void TZInfo::DeleteCheckedRequests()
{
    if (m_busy || appState().CurrentUserPriv != 0)
        return;
    if (requestWorkspace().deleteRequests(m_model->checkedIds()))
        RebuildRequestList();
}

void TZInfo::textCommand(const QString &field, bool writeBack)
{
    if (m_busy || !VerifyCurrentRequest())
        return;
    QString text;
    try {
        text = dm().maindataTEST.asString(field);
    } catch (const DbError &e) {
        ReportError(e.text());
        return;
    }
    const QString back = ShowText(text);
    if (!writeBack || appState().CurrentUserPriv == 2)
        return;
    try {
        requestWorkspace().writeCurrentField(field, back);
    } catch (const DbError &e) {
        ReportError(e.text());
        return;
    }
    if (field == u"CURRENT_INFO") {
        Comment->setText(abbreviate(back));
        Comment->setCursorPosition(0);
        m_commentEdited = false;
    } else if (field == u"ADMIN_TEXT") {
        setTwoLook(SpeedButtonADMIN, SpeedButtonADMIN1116, !back.isEmpty());
    }
}

void TZInfo::commentTextClick()
{
    textCommand(QStringLiteral("CURRENT_INFO"), true);
}

void TZInfo::adminTextClick()
{
    textCommand(QStringLiteral("ADMIN_TEXT"), true);
}

void TZInfo::notesClick()
{
    if (appState().CurrentUserPriv == 2 || !m_haveSelection || selectedRow() < 0)
        return;
    textCommand(QStringLiteral("M_INFO"), true);
}

void TZInfo::periodClick()
{
    // The click has already flipped the button; its look before the click decides.
    const bool wasOn = !SpeedButton1->isChecked();
    if (!wasOn)
        periodDialog()->exec();
    else
        periodState().PeriodSet = false;
    SpeedButton1->setChecked(periodState().PeriodSet);
}

void TZInfo::checkAllClick()
{
    if (m_model->count() == 0)
        return;
    m_model->setAllChecked(!m_model->entry(0).checked);
}

void TZInfo::clientFilterClick()
{
    requestWorkspace().clientFilter = SpeedButton9->isChecked();
}

WorkspaceGeometry TZInfo::currentGeometry() const
{
    const QRect frame = frameGeometry();
    WorkspaceGeometry g;
    g.left = frame.x();
    g.top = frame.y();
    g.width = frame.width() > width() ? frame.width() : width() + kFrameWidth;
    g.height = frame.height() > height() ? frame.height() : height() + kFrameHeight;
    g.notNormal = isMaximized() || isMinimized();
    return g;
}

void TZInfo::saveViewClick()
{
    saveSettings(appState().ProgramDir, currentGeometry());
}

TZInfo *ZInfo()
{
    static TZInfo *window = new TZInfo;
    return window;
}

void OpenRequestWorkspace(int mode)
{
    requestWorkspace().filterReset = true;
    setWorkspaceOpenMode(mode);
    ZInfo()->exec();
}

} // namespace bw
