#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace bw {

// The dynamic-address window: which rule picks this computer's address at start-up (CHB3 / CHB4) and the
// mask (EDD). Edits go straight into settings().
class TDYNFound final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TDYNFound)

public:
    explicit TDYNFound(QWidget *parent = nullptr);

    QGroupBox *GroupBox1;
    QRadioButton *RadioButton1; // "Первый в списке не localhost" (CHB3)
    QRadioButton *RadioButton2; // "Поиск адреса по маске:" (CHB4)
    QLineEdit *Edit1;           // mask (EDD)
    QLabel *Label1;             // "Пример: 192.168"
    QPushButton *BitBtn1;       // "Закрыть"

protected:
    void showEvent(QShowEvent *event) override;

private:
    void loadFromSettings();
    void updateMaskEnabled();
    bool m_loading = false;
};

// The window, created once and reused.
TDYNFound &dynFoundWindow();

} // namespace bw
