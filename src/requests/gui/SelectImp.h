#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QToolButton;

namespace bw {

// The importance dialog: three picture buttons, 1 (left) to 3 (right); closing it otherwise gives 0.
class TSelectIMP final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TSelectIMP)

public:
    explicit TSelectIMP(QWidget *parent = nullptr);

    // Shows the dialog modally; the chosen importance, 0 when nothing was chosen.
    int choose();
    QToolButton *button(int importance) const;

private:
    void pick(int importance);

    QGroupBox *GroupBox1 = nullptr;
    QToolButton *m_buttons[3] = {};
    QLabel *Label8 = nullptr;
    QLabel *Label10 = nullptr;
    QLabel *Label11 = nullptr;
    int m_choice = 0;
};

TSelectIMP *importanceDialog();
// The importance dialog's answer: 0 (nothing chosen), 1, 2 or 3.
int ChooseImportance();

} // namespace bw
