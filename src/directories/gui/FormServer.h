#pragma once

#include "directories/Directories.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QToolButton;

namespace bw {

class TAddContact;
class TAddOther;
class TAddUser;

// The directories editor: departments/groups, request topics with their refinements, time options and
// staff accounts. Every change is stored at once; "Сохранить" only closes the window. The lists are
// reloaded at every showing.
class TFormServer final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFormServer)

public:
    explicit TFormServer(QWidget *parent = nullptr);
    ~TFormServer() override;

    // The window of the running console, created at the first call (the start-up creates it early so that
    // the language applies to it) and freed when the application quits.
    static TFormServer &instance();

    // Load directory lists into the window (a database error is reported with its own text).
    void reloadLists();

    QListWidget *listFor(DirectoryKind kind) const;
    TAddContact *groupDialog() const { return m_addContact; }
    TAddOther *entryDialog() const { return m_addOther; }
    TAddUser *staffDialog() const { return m_addUser; }

    // Directory commands (one handler per control event).
    void SpeedButton1Click();  // add group
    void SpeedButton2Click();  // delete group
    void SpeedButton3Click();  // add topic
    void SpeedButton4Click();  // delete topic
    void SpeedButton5Click();  // add refinement
    void SpeedButton6Click();  // delete refinement
    void SpeedButton7Click();  // add time option
    void SpeedButton8Click();  // delete time option
    void SpeedButton9Click();  // add staff member
    void SpeedButton10Click(); // delete staff member
    void ListBox2Click();      // a topic chosen: its refinements are listed
    void BitBtn1Click();       // "Сохранить": closes the window

    // Shared by the handlers above and the double clicks / arrow buttons of every list.
    void addEntry(DirectoryKind kind);
    void editEntry(DirectoryKind kind);
    void deleteEntry(DirectoryKind kind);
    void moveEntry(DirectoryKind kind, bool up);

    QGroupBox *GroupBox1; // departments/groups
    QGroupBox *GroupBox2; // topics and refinements
    QGroupBox *GroupBox4; // time options
    QGroupBox *GroupBox5; // staff
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    QLabel *Label5;
    QListWidget *ListBox1; // groups
    QListWidget *ListBox2; // topics
    QListWidget *ListBox3; // refinements of the chosen topic
    QListWidget *ListBox4; // time options
    QListWidget *ListBox5; // staff
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
    QToolButton *SpeedButton3;
    QToolButton *SpeedButton4;
    QToolButton *SpeedButton5;
    QToolButton *SpeedButton6;
    QToolButton *SpeedButton7;
    QToolButton *SpeedButton8;
    QToolButton *SpeedButton9;
    QToolButton *SpeedButton10;
    QToolButton *SpeedButton11; // topic up
    QToolButton *SpeedButton12; // refinement up
    QToolButton *SpeedButton13; // time option up
    QToolButton *SpeedButton14; // staff up
    QToolButton *SpeedButton15; // group up
    QToolButton *SpeedButton16; // topic down
    QToolButton *SpeedButton17; // refinement down
    QToolButton *SpeedButton18; // time option down
    QToolButton *SpeedButton19; // staff down
    QToolButton *SpeedButton20; // group down
    QPushButton *BitBtn1;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Refills the list widgets from the editor's lists; `current` rows are kept where given (-1: none).
    void showList(DirectoryKind kind, int current);
    void showAllLists();
    void updateRefinementControls();
    void reportDbError(const QString &text);

    TAddContact *m_addContact;
    TAddOther *m_addOther;
    TAddUser *m_addUser;
};

// Opens the directories editor modally (reloading its lists first).
void showDirectories(QWidget *parent = nullptr);

} // namespace bw
