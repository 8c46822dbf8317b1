#include "app/gui/FormMain.h"

#include "app/AppState.h"
#include "app/Shell.h"
#include "app/gui/Icons.h"
#include "app/gui/LanguageBinding.h"
#include "app/gui/MessageDlg.h"
#include "data/DatabaseEvents.h"
#include "i18n/Catalogue.h"
#include "i18n/LanguageFile.h"
#include "settings/Settings.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace bw {

namespace {

// A command button whose caption shrinks its font to fit the fixed button width, so that long
// captions of any language stay readable instead of being cut.
class CommandButton final : public QToolButton
{
public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QFont f = font();
        f.setPointSize(10);
        while (f.pointSize() > 7 && QFontMetrics(f).horizontalAdvance(text()) > width() - 10)
            f.setPointSize(f.pointSize() - 1);
        if (f != font())
            setFont(f);
        QToolButton::paintEvent(event);
    }
};

QToolButton *makeButton(QWidget *parent, const char *name, const QString &text, MainButton picture)
{
    auto *b = new CommandButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(text);
    b->setIcon(mainButtonIcon(picture));
    b->setIconSize(QSize(32, 32));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setFixedSize(169, 74);
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSize(10);
    f.setStyleHint(QFont::SansSerif);
    b->setFont(f);
    return b;
}

} // namespace

TFormMain::TFormMain(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("TFormMain"));
    setWindowTitle(QStringLiteral("Задачи"));
    setWindowIcon(appIcon());
    setFixedSize(218, 377);

    SpeedButton1 = makeButton(this, "SpeedButton1", QStringLiteral("Справочники"), MainButton::Directories);
    SpeedButton2 = makeButton(this, "SpeedButton2", QStringLiteral("Информация по заявкам"), MainButton::Requests);
    SpeedButton3 = makeButton(this, "SpeedButton3", QStringLiteral("Настройки сервера"), MainButton::Settings);
    SpeedButton4 = makeButton(this, "SpeedButton4", QStringLiteral("Выход из программы"), MainButton::Exit);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->setSpacing(12);
    for (QToolButton *b : {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4})
        layout->addWidget(b, 0, Qt::AlignHCenter);
    layout->addStretch();

    connect(SpeedButton1, &QToolButton::clicked, this, &TFormMain::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TFormMain::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TFormMain::SpeedButton3Click);
    connect(SpeedButton4, &QToolButton::clicked, this, &TFormMain::SpeedButton4Click);

    m_trayMenu = new QMenu(this);
    N1 = m_trayMenu->addAction(QStringLiteral("Список задач"));
    N1->setObjectName(QStringLiteral("N1"));
    N4 = m_trayMenu->addAction(QStringLiteral("Информация по заявкам"));
    N4->setObjectName(QStringLiteral("N4"));
    m_trayMenu->addSeparator()->setObjectName(QStringLiteral("N2"));
    N3 = m_trayMenu->addAction(QStringLiteral("Выход"));
    N3->setObjectName(QStringLiteral("N3"));
    connect(N1, &QAction::triggered, this, &TFormMain::N1Click);
    connect(N4, &QAction::triggered, this, &TFormMain::N4Click);
    connect(N3, &QAction::triggered, this, &TFormMain::N3Click);

    TrayIcon2 = new QSystemTrayIcon(imageList1(0), this);
    TrayIcon2->setObjectName(QStringLiteral("TrayIcon2"));
    TrayIcon2->setContextMenu(m_trayMenu);
    TrayIcon2->setToolTip(QApplication::applicationName());
    connect(TrayIcon2, &QSystemTrayIcon::activated, this, &TFormMain::trayActivated);
    m_trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    TrayIcon2->show();

    m_events = new DatabaseEvents(this);

    connect(mainTimers().Timer1, &QTimer::timeout, this, &TFormMain::Timer1Timer);

    ShellHooks &s = shell();
    s.setTrayHint = [this](const QString &hint) { TrayIcon2->setToolTip(hint); };
    s.trayHint = [this] { return TrayIcon2->toolTip(); };
    s.setTrayPicture = [this](int picture) { setTrayPicture(picture); };
    s.showTrayBalloon = [this](const QString &title, const QString &text) {
        if (QSystemTrayIcon::supportsMessages())
            TrayIcon2->showMessage(title, text, QSystemTrayIcon::Information);
    };
    s.showMainWindow = [this] { showMainWindow(); };
    s.hideMainWindow = [this] {
        if (m_trayAvailable)
            hide();
        else
            showMinimized();
    };
    s.mainWindowVisible = [this] { return isVisible() && !isMinimized(); };

    m_ops.exitProgram = [] { QCoreApplication::exit(0); };

    registerWindowTexts(this, QStringLiteral("MainWindow"));
    LanguageRegistry &reg = LanguageRegistry::instance();
    reg.addTarget(this, CatalogueTarget::TrayTaskListItem, [this](const QStringList &t) {
        if (!t.isEmpty())
            N1->setText(t.first());
    });
    reg.addTarget(this, CatalogueTarget::TrayRequestsItem, [this](const QStringList &t) {
        if (!t.isEmpty())
            N4->setText(t.first());
    });
    reg.addTarget(this, CatalogueTarget::TrayExitItem, [this](const QStringList &t) {
        if (!t.isEmpty())
            N3->setText(t.first());
    });
}

TFormMain::~TFormMain()
{
    LanguageRegistry::instance().remove(this);
    ShellHooks &s = shell();
    s = ShellHooks();
}

void TFormMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (const QScreen *screen = this->screen(); screen && !m_firstShowDone)
        move(screen->availableGeometry().center() - rect().center());
    if (!m_firstShowDone) {
        m_firstShowDone = true;
        // The start-up continues from the message loop, with the window already on screen.
        if (onFirstShow)
            QTimer::singleShot(0, this, [this] { onFirstShow(); });
    }
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    if (m_exiting) {
        event->accept();
        return;
    }
    // The close box only hides the window; without a tray to come back from, it is minimised.
    event->ignore();
    if (m_trayAvailable)
        hide();
    else
        showMinimized();
}

void TFormMain::showMainWindow()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void TFormMain::SpeedButton1Click()
{
    if (appState().CurrentUserPriv > 0) {
        ShowInfo(msg(84));
        return;
    }
    if (watchRunning() && m_ops.openDirectories)
        m_ops.openDirectories(this);
}

void TFormMain::SpeedButton2Click()
{
    if (watchRunning() && m_ops.openWorkspace)
        m_ops.openWorkspace(1);
}

void TFormMain::SpeedButton3Click()
{
    if (appState().CurrentUserPriv == 2) {
        ShowInfo(msg(84));
        return;
    }
    if (watchRunning() && m_ops.openSettings)
        m_ops.openSettings(this);
}

void TFormMain::SpeedButton4Click()
{
    m_exiting = true;
    close();
    if (m_ops.exitProgram)
        m_ops.exitProgram();
}

void TFormMain::N3Click()
{
    SpeedButton4Click();
}

void TFormMain::N1Click()
{
    if (appState().FirstRun)
        return;
    setWorkspaceOpenMode(1);
    showMainWindow();
}

void TFormMain::N4Click()
{
    if (!watchRunning() || appState().FirstRun)
        return;
    showMainWindow();
    if (!(m_ops.workspaceVisible && m_ops.workspaceVisible()) && m_ops.openWorkspace)
        m_ops.openWorkspace(2);
}

void TFormMain::TrayIcon2Click()
{
    if (appState().FirstRun)
        return;
    showMainWindow();
    if (appState().NewRequestCount > 0 && workspaceOpenMode() != 2 && !settings().CB6)
        stopBlinking();
    if (!(m_ops.workspaceVisible && m_ops.workspaceVisible()) && m_ops.openWorkspace)
        m_ops.openWorkspace(2);
}

void TFormMain::trayActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
        TrayIcon2Click();
}

void TFormMain::Timer1Timer()
{
    m_blinkMarker = m_blinkMarker == 0 ? 1 : 0;
    setTrayPicture(m_blinkMarker);
}

void TFormMain::setTrayPicture(int picture)
{
    m_trayPicture = picture;
    if (picture == 0)
        m_blinkMarker = 0;
    TrayIcon2->setIcon(imageList1(picture));
}

} // namespace bw
