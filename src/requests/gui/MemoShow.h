#pragma once

#include <QDialog>

class QGroupBox;
class QPlainTextEdit;
class QPushButton;

namespace bw {

// The text window: one multi-line text and "Выход". In text mode it shows the text it was given, lets the
// user edit it and hands it back however it is closed.
class TMemoShow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TMemoShow)

public:
    explicit TMemoShow(QWidget *parent = nullptr);

    QString showText(const QString &text);
    QPlainTextEdit *memo() const { return Memo1; }
    QPushButton *exitButton() const { return BitBtn2; }

private:
    QGroupBox *GroupBox1 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QPushButton *BitBtn2 = nullptr;
};

TMemoShow *memoShow();
// Shows the text window modally in text mode and returns its text when it is closed.
QString ShowText(const QString &text);

} // namespace bw
