#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace bw {

// The staff dialog: adds or edits a staff account (USERS) with its role, login, password and e-mail.
// A new account also gets its inbox table.
class TAddUser final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAddUser)

public:
    explicit TAddUser(QWidget *parent = nullptr);
    ~TAddUser() override;

    // Captions from the catalogue (window caption by mode, group, labels, roles, save button).
    void applyCaptions(bool edit);
    void prepareAdd();
    // False when the account no longer exists. May throw DbError.
    bool prepareEdit(int id);
    bool isEditMode() const { return m_edit; }

    // The role of the checked button: 0 administrator/dispatcher, 1 executor, 2 observer.
    int role() const;
    void setRole(int role);

    void BitBtn1Click();

    QGroupBox *GroupBox1;
    QRadioButton *RadioButton1; // "Администратор/Диспетчер"
    QRadioButton *RadioButton2; // "Исполнитель"
    QRadioButton *RadioButton3; // "Наблюдатель"
    QLabel *Label1;
    QLineEdit *Edit1; // full name
    QLabel *Label2;
    QLineEdit *Edit2; // login
    QLabel *Label3;
    QLineEdit *Edit3; // password
    QLabel *Label4;
    QLineEdit *Edit4; // e-mail
    QPushButton *BitBtn1;

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool m_edit = false;
    int m_editId = 0;
};

} // namespace bw
