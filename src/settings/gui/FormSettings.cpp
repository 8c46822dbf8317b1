#include "settings/gui/FormSettings.h"

#include "app/AppState.h"
#include "app/Shell.h"
#include "app/gui/Icons.h"
#include "app/gui/LanguageBinding.h"
#include "app/gui/MessageDlg.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "i18n/Catalogue.h"
#include "i18n/LanguageFile.h"
#include "settings/HostAddresses.h"
#include "settings/Settings.h"
#include "settings/gui/DynFound.h"
#include "settings/gui/EmailProp.h"
#include "settings/gui/ServerTest.h"

#include <QCheckBox>
#include <QShowEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <cstdio>
#include <cstdlib>

namespace bw {

namespace {

template <typename W>
W *named(W *w, const char *name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QSlider *makeSlider(QWidget *parent, const char *name, int min, int max, int tick)
{
    auto *s = named(new QSlider(Qt::Horizontal, parent), name);
    s->setRange(min, max);
    s->setTickInterval(tick);
    s->setTickPosition(QSlider::TicksBelow);
    s->setSingleStep(tick);
    s->setPageStep(tick);
    return s;
}

} // namespace

std::function<void()> &settingsTerminate()
{
    static std::function<void()> f = [] {
        // The console cannot run without its first settings: leave at once, as the first run always did.
        std::fflush(nullptr);
        std::_Exit(0);
    };
    return f;
}

std::function<WorkspaceGeometry()> &settingsWorkspaceGeometry()
{
    static std::function<WorkspaceGeometry()> f = [] {
        const Settings &s = settings();
        return WorkspaceGeometry{s.Left, s.Top, s.Width, s.Height, s.State != 0};
    };
    return f;
}

std::function<void()> &settingsOpenHelp()
{
    static std::function<void()> f = [] {
        const QString path = QDir(appState().ProgramDir).filePath(QStringLiteral("help/index.html"));
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    return f;
}

std::function<void(const QString &)> &settingsReportLanguage()
{
    static std::function<void(const QString &)> f;
    return f;
}

TFormSettings::TFormSettings(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormSettings"));
    setWindowTitle(QStringLiteral("Настройки"));
    setWindowIcon(appIcon());
    setModal(true);

    GroupBox1 = named(new QGroupBox(QStringLiteral("Основные настройки"), this), "GroupBox1");
    GroupBox4 = named(new QGroupBox(QStringLiteral("О программе"), this), "GroupBox4");
    QWidget *g = GroupBox1;
    auto box = [g](const char *name, const char *text) { return named(new QCheckBox(QString::fromUtf8(text), g), name); };
    auto label = [](QWidget *p, const char *name, const char *text) {
        return named(new QLabel(QString::fromUtf8(text), p), name);
    };
    CheckBox1 = box("CheckBox1", "Отключить звуки");
    CheckBox2 = box("CheckBox2", "Выделять важные заявки");
    CheckBox3 = box("CheckBox3", "Мигающая иконка при получении новой заявки");
    CheckBox6 = box("CheckBox6", "Иконка мигает, пока есть заявки, ожидающие очереди");
    CheckBox5 = box("CheckBox5", "Показывать время в списке заявок");
    CheckBox4 = box("CheckBox4", "Звук при получении новой заявки");
    CheckBox7 = box("CheckBox7", "Уведомление по e-mail");
    CheckBox8 = box("CheckBox8", "Уведомление о заявке в окне");
    CheckBox9 = box("CheckBox9", "Динамический");
    SpeedButton2 = named(new QToolButton(g), "SpeedButton2");
    SpeedButton2->setText(QStringLiteral("…"));
    SpeedButton2->setIcon(imageList1(ImageIndex::EnvelopeGrey));
    SpeedButton2->setToolTip(QStringLiteral("Параметры e-mail"));
    Label3 = label(g, "Label3", "Скорость мигания иконки, мсек.:");
    TrackBar1 = makeSlider(g, "TrackBar1", Settings::kIntMin, Settings::kIntMax, 100);
    TrackValue1 = named(new QLabel(g), "TrackValue1");
    Label13 = label(g, "Label13", "Интервал времени проверки заявок, сек.:");
    TrackBar2 = makeSlider(g, "TrackBar2", Settings::kInt2Min, Settings::kInt2Max, 10);
    TrackValue2 = named(new QLabel(g), "TrackValue2");
    RadioButton1 = named(new QRadioButton(QStringLiteral("Сервер на другом компьютере"), g), "RadioButton1");
    RadioButton2 = named(new QRadioButton(QStringLiteral("Сервер на этом компьютере"), g), "RadioButton2");
    RadioButton2->setVisible(false);
    Label12 = label(g, "Label12", "Имя этого компьютера (IP-адрес):");
    ComboBox2 = named(new QComboBox(g), "ComboBox2");
    ComboBox2->setEditable(true);
    ComboBox2->setInsertPolicy(QComboBox::NoInsert);
    Label11 = label(g, "Label11", "Место расположения программы-сервера (IP-адрес):");
    Edit3 = named(new QLineEdit(g), "Edit3");
    Label1 = label(g, "Label1", "Место расположения SQL-сервера (IP-адрес):");
    Edit1 = named(new QLineEdit(g), "Edit1");
    Label2 = label(g, "Label2", "Путь к базе данных:");
    Edit2 = named(new QLineEdit(g), "Edit2");
    Label4 = label(g, "Label4", "Язык:");
    ComboBox1 = named(new QComboBox(g), "ComboBox1");

    SpeedButton1 = named(new QToolButton(this), "SpeedButton1");
    SpeedButton1->setText(QStringLiteral("?"));
    SpeedButton1->setToolTip(QStringLiteral("Справка"));
    BitBtn1 = named(new QPushButton(QStringLiteral("Сохранить"), this), "BitBtn1");
    BitBtn1->setDefault(true);

    Image1 = named(new QLabel(GroupBox4), "Image1");
    Image1->setPixmap(appIcon().pixmap(48, 48));
    Label6 = label(GroupBox4, "Label6",
                   "Программа предназначена для регистрации и отслеживания заявок от пользователей в локальной сети");
    Label6->setWordWrap(true);
    Label7 = label(GroupBox4, "Label7", "Версия программы: 1.0.2");
    Label8 = label(GroupBox4, "Label8", "Дата разработки: 28.07.2009");

    // Layout of "Основные настройки": switches on top, then sliders, then the addresses and the language.
    auto *grid = new QGridLayout(GroupBox1);
    int row = 0;
    grid->addWidget(CheckBox1, row, 0, 1, 2);
    grid->addWidget(CheckBox2, row++, 2, 1, 2);
    grid->addWidget(CheckBox3, row, 0, 1, 2);
    grid->addWidget(CheckBox6, row++, 2, 1, 2);
    grid->addWidget(CheckBox5, row, 0, 1, 2);
    grid->addWidget(CheckBox4, row++, 2, 1, 2);
    auto *mailRow = new QHBoxLayout;
    mailRow->addWidget(CheckBox7);
    mailRow->addWidget(SpeedButton2);
    mailRow->addStretch();
    grid->addLayout(mailRow, row, 0, 1, 2);
    grid->addWidget(CheckBox8, row++, 2, 1, 2);
    grid->addWidget(Label3, row, 0, 1, 2);
    grid->addWidget(Label13, row++, 2, 1, 2);
    grid->addWidget(TrackBar1, row, 0, 1, 2);
    grid->addWidget(TrackBar2, row++, 2, 1, 2);
    grid->addWidget(TrackValue1, row, 0, 1, 2, Qt::AlignHCenter);
    grid->addWidget(TrackValue2, row++, 2, 1, 2, Qt::AlignHCenter);
    grid->addWidget(RadioButton1, row, 0, 1, 2);
    grid->addWidget(RadioButton2, row++, 2, 1, 2);
    grid->addWidget(Label12, row, 0, 1, 2);
    grid->addWidget(ComboBox2, row, 2);
    grid->addWidget(CheckBox9, row++, 3);
    grid->addWidget(Label11, row, 0, 1, 2);
    grid->addWidget(Edit3, row++, 2, 1, 2);
    grid->addWidget(Label1, row, 0, 1, 2);
    grid->addWidget(Edit1, row++, 2, 1, 2);
    grid->addWidget(Label2, row, 0, 1, 2);
    grid->addWidget(Edit2, row++, 2, 1, 2);
    grid->addWidget(Label4, row, 0, 1, 2);
    grid->addWidget(ComboBox1, row++, 2, 1, 2);
    grid->setColumnStretch(2, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(SpeedButton1);
    buttons->addStretch();
    buttons->addWidget(BitBtn1);

    auto *about = new QGridLayout(GroupBox4);
    about->addWidget(Image1, 0, 0, 3, 1, Qt::AlignTop);
    about->addWidget(Label6, 0, 1);
    about->addWidget(Label7, 1, 1);
    about->addWidget(Label8, 2, 1);
    about->setColumnStretch(1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);
    layout->addWidget(GroupBox4);

    // Each control edits its live value at once.
    const std::pair<QCheckBox *, bool Settings::*> boxes[] = {
        {CheckBox1, &Settings::CB1}, {CheckBox2, &Settings::CB2}, {CheckBox3, &Settings::CB3},
        {CheckBox4, &Settings::CB4}, {CheckBox5, &Settings::CB5}, {CheckBox6, &Settings::CB6},
        {CheckBox7, &Settings::CB7}, {CheckBox8, &Settings::CB8}, {CheckBox9, &Settings::CB9},
    };
    for (const auto &[checkBox, member] : boxes) {
        connect(checkBox, &QCheckBox::toggled, this, [this, member](bool on) {
            if (!m_loading)
                settings().*member = on;
        });
    }
    // Only the user's check opens the dynamic-address window; loading the value does not.
    connect(CheckBox9, &QCheckBox::clicked, this, [this](bool checked) {
        if (checked) {
            TDYNFound &dyn = dynFoundWindow();
            dyn.setParent(this, Qt::Dialog);
            dyn.exec();
        }
    });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { showEmailSettingsWindow(this); });
    connect(SpeedButton1, &QToolButton::clicked, this, [] {
        if (settingsOpenHelp())
            settingsOpenHelp()();
    });
    connect(TrackBar1, &QSlider::valueChanged, this, [this](int v) {
        TrackValue1->setText(QString::number(v));
        if (!m_loading)
            settings().setINT(v);
    });
    connect(TrackBar2, &QSlider::valueChanged, this, [this](int v) {
        TrackValue2->setText(QString::number(v));
        if (!m_loading)
            settings().setINT2(v);
    });
    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        if (!m_loading && on)
            settings().setRB1(true);
        updateServerFields();
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        if (!m_loading && on)
            settings().setRB2(true);
        updateServerFields();
    });
    connect(ComboBox2, &QComboBox::currentTextChanged, this, [this](const QString &text) {
        if (!m_loading)
            settings().ED4 = text;
    });
    connect(Edit3, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (m_loading)
            return;
        // The server program usually runs beside the database server: its address is copied over.
        settings().setED3(text);
        const bool was = m_loading;
        m_loading = true;
        Edit1->setText(settings().ED1);
        m_loading = was;
    });
    connect(Edit1, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (!m_loading)
            settings().ED1 = text;
    });
    connect(Edit2, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (!m_loading)
            settings().ED2 = text;
    });
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && index < m_languageFiles.size())
            settings().COM = m_languageFiles.at(index);
    });
    // Enter in a text field saves, the window's main command.
    for (QLineEdit *e : {Edit1, Edit2, Edit3})
        connect(e, &QLineEdit::returnPressed, this, &TFormSettings::BitBtn1Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TFormSettings::BitBtn1Click);

    loadFromSettings();
    registerWindowTexts(this, QStringLiteral("FormSettings"));
}

void TFormSettings::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFormSettings::FormShow()
{
    m_saved = false;
    loadFromSettings();
    if (appState().FirstRun) {
        const QString host = hostAddress();
        ComboBox2->setEditText(host);
        settings().ED4 = host;
    }
    fillLanguages();
}

void TFormSettings::loadFromSettings()
{
    m_loading = true;
    const Settings &s = settings();
    const std::pair<QCheckBox *, bool> boxes[] = {
        {CheckBox1, s.CB1}, {CheckBox2, s.CB2}, {CheckBox3, s.CB3}, {CheckBox4, s.CB4}, {CheckBox5, s.CB5},
        {CheckBox6, s.CB6}, {CheckBox7, s.CB7}, {CheckBox8, s.CB8}, {CheckBox9, s.CB9},
    };
    for (const auto &[checkBox, on] : boxes)
        checkBox->setChecked(on);
    TrackBar1->setValue(s.INT);
    TrackValue1->setText(QString::number(TrackBar1->value()));
    TrackBar2->setValue(s.INT2);
    TrackValue2->setText(QString::number(TrackBar2->value()));
    RadioButton1->setAutoExclusive(false);
    RadioButton2->setAutoExclusive(false);
    RadioButton1->setChecked(s.RB1);
    RadioButton2->setChecked(s.RB2 && !s.RB1);
    RadioButton1->setAutoExclusive(true);
    RadioButton2->setAutoExclusive(true);
    ComboBox2->clear();
    ComboBox2->addItems(s.ED4List);
    ComboBox2->setEditText(s.ED4);
    Edit3->setText(s.ED3);
    Edit1->setText(s.ED1);
    Edit2->setText(s.ED2);
    m_loading = false;
    updateServerFields();
}

void TFormSettings::fillLanguages()
{
    const QSignalBlocker block(ComboBox1);
    ComboBox1->clear();
    m_languageFiles.clear();
    for (const auto &[file, name] : availableLanguages(appState().ProgramDir)) {
        ComboBox1->addItem(name);
        m_languageFiles << file;
    }
    int index = m_languageFiles.isEmpty() ? -1 : 0;
    const int active = m_languageFiles.indexOf(appState().LanguageFile);
    if (active >= 0)
        index = active;
    ComboBox1->setCurrentIndex(index);
    if (index >= 0)
        settings().COM = m_languageFiles.at(index);
}

void TFormSettings::updateServerFields()
{
    const bool remote = RadioButton1->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(Label1), static_cast<QWidget *>(Edit1), static_cast<QWidget *>(Label2),
                       static_cast<QWidget *>(Edit2)})
        w->setEnabled(remote);
}

bool TFormSettings::testAndConnect()
{
    AppState &app = appState();
    if (RadioButton1->isChecked()) {
        if (!testDatabaseServerAsync(Edit1->text())) {
            ShowWarning(msg("DLG41"));
            return false;
        }
        app.DatabaseLocation = Edit1->text() + QLatin1Char(':') + Edit2->text();
    } else {
        // The server on this computer is the engine inside the console: the test is opening the database.
        dm().disconnect();
        app.DatabaseLocation = app.ProgramDir;
    }
    try {
        dm().connectDatabase();
    } catch (const std::exception &) {
        ShowWarning(msg("DLG41"));
        return false;
    }
    ShowInfo(msg("DLG40"));
    return true;
}

void TFormSettings::BitBtn1Click()
{
    if (m_saving)
        return;
    m_saving = true;
    setEnabled(false);
    const bool ok = testAndConnect();
    setEnabled(true);
    m_saving = false;
    if (!ok)
        return;

    AppState &app = appState();
    const WorkspaceGeometry geometry = settingsWorkspaceGeometry() ? settingsWorkspaceGeometry()() : WorkspaceGeometry{};
    if (!saveSettings(app.ProgramDir, geometry))
        ReportError(QStringLiteral("Не удалось записать файл %1")
                        .arg(QDir::toNativeSeparators(QDir(app.ProgramDir).filePath(QStringLiteral("settings.ini")))));
    setBlinkInterval(settings().INT);
    mainTimers().TimerServer->setInterval(settings().INT2 * 1000);

    const int index = ComboBox1->currentIndex();
    app.LanguageFile = index >= 0 && index < m_languageFiles.size() ? m_languageFiles.at(index) : QString();
    applyLanguage();
    if (settingsReportLanguage())
        settingsReportLanguage()(app.LanguageFile);

    m_saved = true;
    refreshTray();
    accept();
}

void TFormSettings::refreshTray()
{
    const int count = appState().NewRequestCount;
    ShellHooks &sh = shell();
    if (count < 1) {
        if (sh.setTrayHint)
            sh.setTrayHint(msg("DLG44"));
        if (CheckBox6->isChecked())
            stopBlinking();
        if (sh.setTrayPicture)
            sh.setTrayPicture(0);
    } else {
        if (sh.setTrayHint)
            sh.setTrayHint(msg("DLG43") + QLatin1Char(' ') + QString::number(count));
        if (CheckBox6->isChecked() && CheckBox3->isChecked())
            startBlinking();
    }
}

bool TFormSettings::endIfFirstRunUnsaved()
{
    if (appState().FirstRun && !m_saved) {
        if (settingsTerminate())
            settingsTerminate()();
        return true;
    }
    return false;
}

void TFormSettings::reject()
{
    QDialog::reject();
    endIfFirstRunUnsaved();
}

TFormSettings &formSettings()
{
    static auto *window = new TFormSettings;
    return *window;
}

bool showSettingsWindow(QWidget *parent)
{
    TFormSettings &w = formSettings();
    if (parent && w.parentWidget() != parent)
        w.setParent(parent, Qt::Dialog);
    w.exec();
    return w.saved();
}

} // namespace bw
