#include "requests/gui/MemoShow.h"

#include "requests/gui/WindowTexts.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace bw {

TMemoShow::TMemoShow(QWidget *parent) : QDialog(parent)
{
    setModal(true);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    resize(560, 420);
    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Memo1 = new QPlainTextEdit(GroupBox1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto *inner = new QVBoxLayout(GroupBox1);
    inner->addWidget(Memo1);
    BitBtn2 = new QPushButton(this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setMinimumWidth(110);
    auto *main = new QVBoxLayout(this);
    main->addWidget(GroupBox1, 1);
    main->addWidget(BitBtn2, 0, Qt::AlignRight);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::accept);
    setUpWindowTexts(this, QStringLiteral("MemoShow"));
}

QString TMemoShow::showText(const QString &text)
{
    Memo1->setPlainText(text);
    Memo1->moveCursor(QTextCursor::Start);
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    Memo1->setFocus();
    exec();
    // The editor works with bare line feeds; texts stored with CR LF get theirs back, so an unedited text
    // is handed back exactly as it was given.
    QString result = Memo1->toPlainText();
    if (text.contains(QStringLiteral("\r\n")))
        result.replace(u'\n', QStringLiteral("\r\n"));
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(u'\r', u'\n');
    QString back = Memo1->toPlainText();
    return back == plain ? text : result;
}

TMemoShow *memoShow()
{
    static TMemoShow *window = new TMemoShow;
    return window;
}

QString ShowText(const QString &text)
{
    return memoShow()->showText(text);
}

} // namespace bw
