#pragma once

#include "settings/SettingsWriter.h"
#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QToolBar;
class QToolButton;
class QWidget;

namespace bw {

class RequestListModel;

// Windows the workspace opens from its toolbar; the modules that own them fill these in. While a hook is
// empty its button stays disabled.
struct WorkspaceHooks
{
    std::function<void()> openReports;  // standard reports, modal
    std::function<void()> printCard;    // card of the current request
    std::function<void()> openTasks;    // task list, modal (not for observers)
    std::function<void()> openCalendar; // calendar of requests and tasks, modal
    std::function<void()> openMessage;  // message to the active clients, modal (not for observers)
};
WorkspaceHooks &workspaceHooks();

// The requests workspace: the request list with its filters and commands above, the detail pane of the
// selected request below, a toolbar of neighbouring windows at the left.
class TZInfo final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TZInfo)

public:
    static constexpr int kMinOuterWidth = 968;
    static constexpr int kMinOuterHeight = 746;

    explicit TZInfo(QWidget *parent = nullptr);

    // The operations other windows call.
    void RebuildRequestList();
    void ClearRequestDetail();
    void ShowSelectedRequest();
    bool VerifyCurrentRequest();
    void SaveRequest();
    void ChangeImportance();
    void DeleteCheckedRequests();

    // Puts the window where settings.ini says (Left, Top, Width, Height, State).
    void applySavedPlacement();
    // Where the window is, as settings.ini stores it.
    WorkspaceGeometry currentGeometry() const;

    bool isRebuilding() const { return m_busy; }
    RequestListModel *listModel() const { return m_model; }
    QListView *list() const { return CheckListBox1; }
    // Selects a list line as a click does (and shows it in the pane).
    void selectRow(int row);
    int selectedRow() const;

    // Controls, by the names the language files use.
    QGroupBox *GroupBox1 = nullptr; // request list
    QGroupBox *GroupBox2 = nullptr; // request detail
    QListView *CheckListBox1 = nullptr;
    QCheckBox *filterBox[10] = {};
    QLabel *filterIcon[10] = {};
    QFrame *separator[2] = {};
    QPushButton *BitBtn1 = nullptr; // save the request
    QPushButton *BitBtn2 = nullptr; // delete checked
    QPushButton *BitBtn3 = nullptr; // refresh
    QPushButton *BitBtn4 = nullptr; // reports (never shown)
    QToolButton *SpeedButton1 = nullptr; // period
    QToolButton *SpeedButton7 = nullptr; // check all
    QToolButton *SpeedButton9 = nullptr; // client filter
    QToolButton *SpeedButton8 = nullptr; // notes
    QToolBar *ToolBar1 = nullptr;
    QToolButton *ToolButton1 = nullptr;  // reports
    QToolButton *ToolButton3 = nullptr;  // card
    QToolButton *ToolButton2 = nullptr;  // tasks
    QToolButton *ToolButton10 = nullptr; // calendar
    QToolButton *ToolButton4 = nullptr;  // message
    QToolButton *ToolButton8 = nullptr;  // save the view

    QLabel *LabelNumber = nullptr;
    QLabel *LabelImportance = nullptr;
    QToolButton *image2 = nullptr; // importance 1
    QToolButton *image3 = nullptr; // importance 2
    QToolButton *Image4 = nullptr; // importance 3
    QLineEdit *Edit1 = nullptr;    // time
    QLineEdit *EditGroup = nullptr;
    QLineEdit *Edit2 = nullptr;    // topic
    QLineEdit *Edit3 = nullptr;    // refinement
    QLineEdit *Edit4 = nullptr;    // start time
    QLineEdit *Edit5 = nullptr;    // description, abbreviated
    QLineEdit *Edit6 = nullptr;    // contact
    QLineEdit *Edit7 = nullptr;    // system information
    QLineEdit *EditCtime = nullptr;
    QLineEdit *Comment = nullptr;  // the comment, abbreviated; the only editable field
    QComboBox *ComboBox1 = nullptr; // status
    QComboBox *ComboBox2 = nullptr; // executor
    QToolButton *SpeedButton6 = nullptr; // description text
    QToolButton *SpeedButton3 = nullptr; // comment text
    QToolButton *SpeedButtonADMIN = nullptr;     // processing description, present
    QToolButton *SpeedButtonADMIN1116 = nullptr; // processing description, empty
    QToolButton *SpeedButton22 = nullptr;        // importance comment, present
    QToolButton *SpeedButton22bl = nullptr;      // importance comment, empty
    QWidget *AttachmentBar = nullptr; // room for the attachment and contact commands

    bool commentEdited() const { return m_commentEdited; }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void done(int result) override;

private:
    void buildListArea();
    void buildDetailPane();
    void arrange();
    void applyRights();
    void syncFilterBoxes();
    void fillExecutorList();
    void showImportance(int importance);
    void setTwoLook(QToolButton *present, QToolButton *empty, bool isPresent);
    void textCommand(const QString &field, bool writeBack);
    void periodClick();
    void checkAllClick();
    void clientFilterClick();
    void notesClick();
    void saveViewClick();
    void adminTextClick();
    void commentTextClick();

    RequestListModel *m_model = nullptr;
    bool m_busy = false;           // a rebuild is running
    bool m_commentEdited = false;
    bool m_syncing = false;
    bool m_placed = false;
    bool m_haveSelection = false;
};

// The workspace window of the program (created on first use, lives until the end).
TZInfo *ZInfo();
// Opens the workspace modally: 1 from the main window, 2 from the tray. Every opening switches the client
// filter off at the first rebuild.
void OpenRequestWorkspace(int mode);

} // namespace bw
