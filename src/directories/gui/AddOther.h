#pragma once

#include "directories/Directories.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace bw {

// The entry dialog: adds or edits a request topic, a refinement of the selected topic or a time option.
// The directories editor sets the kind, the mode and the captions before each showing.
class TAddOther final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAddOther)

public:
    explicit TAddOther(QWidget *parent = nullptr);
    ~TAddOther() override;

    // Sets the kind and the captions of that kind (catalogue texts); `edit` picks the edit caption.
    void setKind(DirectoryKind kind, bool edit);
    DirectoryKind kind() const { return m_kind; }

    void prepareAdd();
    // False when the entry no longer exists. May throw DbError.
    bool prepareEdit(int id);
    bool isEditMode() const { return m_edit; }

    void BitBtn1Click();

    QGroupBox *GroupBox1;
    QLabel *Label9;
    QLineEdit *Edit1;
    QPushButton *BitBtn1;

protected:
    void showEvent(QShowEvent *event) override;

private:
    DirectoryKind m_kind = DirectoryKind::Topics;
    bool m_edit = false;
    int m_editId = 0;
};

} // namespace bw
