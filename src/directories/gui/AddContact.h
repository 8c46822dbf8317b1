#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace bw {

// The group dialog: adds or edits a department/group (GROUPS). Opened modally by the directories editor,
// which sets the mode and the window caption before each showing.
class TAddContact final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAddContact)

public:
    explicit TAddContact(QWidget *parent = nullptr);
    ~TAddContact() override;

    // Add mode: empty fields. Edit mode: the fields of group `id`; false when it no longer exists.
    // Reading the group may throw DbError.
    void prepareAdd();
    bool prepareEdit(int id);
    bool isEditMode() const { return m_edit; }

    // "Сохранить" and Enter in a field.
    void BitBtn1Click();

    QGroupBox *GroupBox1;
    QLabel *Label9;
    QLineEdit *Edit1; // name
    QLabel *Label1;
    QLineEdit *Edit2; // head of the department
    QPushButton *BitBtn1;

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool m_edit = false;
    int m_editId = 0;
};

} // namespace bw
