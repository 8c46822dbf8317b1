#pragma once

#include "directories/SignIn.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace bw {

class IniFile;

// The sign-in window: the staff member picks his account, types login and password and either signs
// in ("Войти") or leaves the program ("Выход"). It has no close box; Escape and the window system's
// close request do nothing, so one of the two buttons ends it.
class Tauth final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tauth)

public:
    explicit Tauth(QWidget *parent = nullptr);
    ~Tauth() override;

    // Reads USERS in `ord` order into the account list and its hidden lists, selects the first account
    // and fills the fields from what it remembers. Returns the number of accounts. Throws DbError.
    int prepare();

    const SignInAccounts &accounts() const { return m_accounts; }
    // True once a sign-in through this window has succeeded.
    bool signedIn() const { return m_signedIn; }
    // True once "Выход" was pressed.
    bool left() const { return m_left; }

    // Section `auth` of a language file applied to this window's texts (keys the file lacks keep theirs).
    void applyTexts(const IniFile &ini);

    // Handlers.
    void ComboBox1Change(int index);
    void BitBtn1Click();
    void BitBtn2Click();

    // Controls.
    QLabel *Picture = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QLabel *Label1 = nullptr; // "Ф.И.О.:"
    QLabel *Label3 = nullptr; // "Логин (короткое имя):"
    QLabel *Label2 = nullptr; // "Пароль:"
    QComboBox *ComboBox1 = nullptr;
    QLineEdit *Edit1 = nullptr; // login
    QLineEdit *Edit2 = nullptr; // password, masked
    QCheckBox *CheckBox1 = nullptr;
    QPushButton *BitBtn1 = nullptr; // "Войти"
    QPushButton *BitBtn2 = nullptr; // "Выход"

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void registerTexts();

    SignInAccounts m_accounts;
    bool m_signedIn = false;
    bool m_left = false;
    bool m_busy = false;
};

// What "Выход" does after closing the window. The default ends the program (QCoreApplication::exit(0));
// tests and the start-up may put their own. An empty function restores the default.
void setSignInExitHandler(std::function<void()> handler);

// The sign-in window of the process: created once (normally with the other windows at start-up) and kept
// for the whole run. createAuthWindow returns the existing window when there is one.
Tauth *authWindow();
Tauth *createAuthWindow(QWidget *parent = nullptr);

// Prepare sign-in, for the start-up: fills the account list and, when at least one account exists, shows
// the sign-in window modally until the member has signed in or pressed "Выход".
// Returns true when the start-up may go on: the member is signed in (CurrentUserId / CurrentUserPriv set),
// or USERS is empty and there is no sign-in at all (CurrentUserPriv stays -1). Returns false when the
// member left with "Выход" (the exit handler has run; the start-up must not continue).
// Database errors while reading USERS are thrown as DbError.
bool PrepareSignIn(QWidget *parent = nullptr);

} // namespace bw
