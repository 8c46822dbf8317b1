#include "app/AppState.h"
#include "app/Shell.h"
#include "app/gui/Application.h"
#include "app/gui/FormMain.h"
#include "app/gui/Icons.h"
#include "app/gui/MessageDlg.h"
#include "app/gui/Startup.h"
#include "data/DataModule.h"
#include "directories/Directories.h"
#include "directories/gui/Auth.h"
#include "directories/gui/FormServer.h"
#include "notify/MailSender.h"
#include "requests/RequestWorkspace.h"
#include "requests/gui/MemoShow.h"
#include "requests/gui/PeriodDialog.h"
#include "requests/gui/SelectImp.h"
#include "requests/gui/ZInfo.h"
#include "notify/gui/WatchInstall.h"
#include "settings/gui/DynFound.h"
#include "settings/gui/EmailProp.h"
#include "settings/gui/FormSettings.h"
#include "i18n/Catalogue.h"
#include "settings/Settings.h"

#include <QFileInfo>
#include <QScreen>

int main(int argc, char *argv[])
{
    bw::Application app(argc, argv);
    // 1. Single instance, before any window exists.
    const QString programFile = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const std::unique_ptr<QLockFile> instanceLock = bw::acquireInstanceLock(programFile);
    if (!instanceLock)
        return 0;

    // 2.
    QApplication::setApplicationName(QStringLiteral("Brindlewick Help Desk"));
    QApplication::setApplicationDisplayName(QStringLiteral("Brindlewick Help Desk"));
    QApplication::setQuitOnLastWindowClosed(false);
    bw::ensureResources();
    QApplication::setWindowIcon(bw::appIcon());
    bw::setDialogTextProvider([](const QString &key) { return bw::msg(key); });
    bw::setDialogSoundsDisabledQuery([] { return bw::settings().CB1; });

    // 3. The windows, in their order: the data module first, then the main window, then the rest.
    bw::DataModule::instance();
    bw::TFormMain formMain;
    bw::StartupSteps steps;
    steps.terminate = [] { QCoreApplication::exit(0); };
    // Every window exists, with its texts registered, before the language is first applied.
    // (The record dialogs belong to the directories window; notices are made per use.)
    steps.createWindows = [&formMain] {
        bw::TFormServer::instance();
        bw::formSettings();
        bw::ZInfo();
        bw::periodDialog();
        bw::importanceDialog();
        bw::createAuthWindow(&formMain);
        bw::emailPropWindow();
        bw::memoShow();
        bw::dynFoundWindow();
    };
    steps.loadDirectoryLists = [] { bw::loadDirectoryLists(); };
    steps.prepareSignIn = [&formMain] { return bw::PrepareSignIn(&formMain); };
    bw::setSignInExitHandler(steps.terminate);
    steps.firstRunPrepare = [] {
        // The workspace window opens centred on the first run.
        bw::TZInfo *w = bw::ZInfo();
        if (const QScreen *screen = w->screen())
            w->move(screen->geometry().width() / 2 - w->width() / 2, screen->geometry().height() / 2 - w->height() / 2);
        bw::settingsOpenHelp()();
    };
    steps.countQueuedRequests = [] { bw::CountQueuedRequests(); };
    bw::settingsTerminate() = steps.terminate;
    bw::settingsWorkspaceGeometry() = [] { return bw::ZInfo()->currentGeometry(); };
    steps.firstRunSettings = [&formMain] { return bw::showSettingsWindow(&formMain); };
    formMain.ops().openDirectories = [](QWidget *parent) { bw::showDirectories(parent); };
    formMain.ops().openSettings = [](QWidget *parent) { bw::showSettingsWindow(parent); };
    formMain.ops().openWorkspace = [](int mode) { bw::OpenRequestWorkspace(mode); };
    formMain.ops().workspaceVisible = [] { return bw::ZInfo()->isVisible(); };
    bw::installNewRequestWatch();
    bw::installMailSenders();
    bw::Startup startup(&formMain, steps);
    formMain.onFirstShow = [&startup] { startup.FormShow(); };
    steps.createWindows();

    // 4.
    formMain.show();
    return QApplication::exec();
}
