#pragma once

#include <QSystemTrayIcon>
#include <QWidget>

#include <functional>

class QMenu;
class QAction;
class QToolButton;

namespace bw {

class DatabaseEvents;

// The windows the main window opens; filled in by the start-up code as the modules exist.
struct MainWindowOps
{
    std::function<void(QWidget *parent)> openDirectories;
    std::function<void(QWidget *parent)> openSettings;
    std::function<void(int mode)> openWorkspace; // OpenRequestWorkspace(mode)
    std::function<bool()> workspaceVisible;
    std::function<void()> exitProgram;           // ends the program (replaceable for tests)
};

// The small command panel of the console and owner of its tray icon. Its close box only hides it;
// the program lives on in the tray.
class TFormMain final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFormMain)

public:
    explicit TFormMain(QWidget *parent = nullptr);
    ~TFormMain() override;

    MainWindowOps &ops() { return m_ops; }
    QSystemTrayIcon *trayIcon() const { return TrayIcon2; }
    bool trayAvailable() const { return m_trayAvailable; }
    int trayPicture() const { return m_trayPicture; }
    DatabaseEvents *events() const { return m_events; }

    // Called once before the first show; the start-up sequence runs from here.
    std::function<void()> onFirstShow;

    // Commands (one handler per control event).
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void N1Click();
    void N4Click();
    void N3Click();
    void TrayIcon2Click();
    void Timer1Timer();

    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
    QToolButton *SpeedButton3;
    QToolButton *SpeedButton4;
    QAction *N1;
    QAction *N4;
    QAction *N3;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void setTrayPicture(int picture);
    void trayActivated(QSystemTrayIcon::ActivationReason reason);
    void showMainWindow();

    MainWindowOps m_ops;
    QSystemTrayIcon *TrayIcon2 = nullptr;
    QMenu *m_trayMenu = nullptr;
    DatabaseEvents *m_events = nullptr;
    bool m_trayAvailable = false;
    int m_trayPicture = 0;
    int m_blinkMarker = 0;
    bool m_firstShowDone = false;
    bool m_exiting = false;
};

} // namespace bw
