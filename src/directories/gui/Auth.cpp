#include "directories/gui/Auth.h"

#include "app/AppState.h"
#include "app/gui/Icons.h"
#include "app/gui/MessageDlg.h"
#include "data/DbError.h"
#include "i18n/Catalogue.h"
#include "i18n/LanguageFile.h"
#include "settings/IniFile.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace bw {

namespace {

const QString kSection = QStringLiteral("auth");

std::function<void()> &exitHandler()
{
    static std::function<void()> handler;
    return handler;
}

QPointer<Tauth> &theWindow()
{
    static QPointer<Tauth> window;
    return window;
}

// The refusal message. Its key has no built-in text, so without a language file the message would be
// blank; say what happened in the design language instead.
QString refusalText()
{
    const QString text = msg("DLG82");
    return text.isEmpty() ? QStringLiteral("Неверный логин или пароль!") : text;
}

} // namespace

Tauth::Tauth(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("auth"));
    setWindowTitle(QStringLiteral("Авторизация"));
    setWindowIcon(appIcon());
    setModal(true);

    Picture = new QLabel(this);
    Picture->setPixmap(appIcon().pixmap(48, 48));
    Picture->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Picture->setContentsMargins(0, 10, 4, 0);

    GroupBox1 = new QGroupBox(QStringLiteral("Выберите учетную запись и введите пароль"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));

    ComboBox1 = new QComboBox(GroupBox1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ComboBox1->setMinimumContentsLength(26);
    Edit1 = new QLineEdit(GroupBox1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit2 = new QLineEdit(GroupBox1);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setEchoMode(QLineEdit::Password);
    CheckBox1 = new QCheckBox(QStringLiteral("Запомнить при следующем входе"), GroupBox1);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));

    Label1 = new QLabel(QStringLiteral("Ф.И.О.:"), GroupBox1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setBuddy(ComboBox1);
    Label3 = new QLabel(QStringLiteral("Логин (короткое имя):"), GroupBox1);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setBuddy(Edit1);
    Label2 = new QLabel(QStringLiteral("Пароль:"), GroupBox1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setBuddy(Edit2);

    auto *form = new QFormLayout(GroupBox1);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(8);
    form->addRow(Label1, ComboBox1);
    form->addRow(Label3, Edit1);
    form->addRow(Label2, Edit2);
    form->addRow(QString(), CheckBox1);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("Войти"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("Выход"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setAutoDefault(false);
    for (QPushButton *b : {BitBtn1, BitBtn2})
        b->setMinimumWidth(100);

    auto *top = new QHBoxLayout;
    top->addWidget(Picture, 0, Qt::AlignTop);
    top->addWidget(GroupBox1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);

    auto *main = new QVBoxLayout(this);
    main->setContentsMargins(12, 12, 12, 12);
    main->setSpacing(12);
    main->addLayout(top);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(ComboBox1, Edit1);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, CheckBox1);
    setTabOrder(CheckBox1, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);

    for (QWidget *w : {static_cast<QWidget *>(ComboBox1), static_cast<QWidget *>(Edit1), static_cast<QWidget *>(Edit2)})
        w->installEventFilter(this);

    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &Tauth::ComboBox1Change);
    connect(BitBtn1, &QPushButton::clicked, this, &Tauth::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &Tauth::BitBtn2Click);

    registerTexts();
    // A window made after the language was applied picks up the active file's texts itself.
    if (!appState().LanguageFile.isEmpty())
        applyTexts(IniFile(languageFilePath(appState().ProgramDir, appState().LanguageFile)));
}

Tauth::~Tauth()
{
    LanguageRegistry::instance().remove(this);
}

namespace {

std::optional<TextAccess> accessFor(Tauth *w, const QString &control)
{
    if (control.isEmpty())
        return TextAccess{[w] { return w->windowTitle(); }, [w](const QString &t) { w->setWindowTitle(t); }};
    if (control == QLatin1String("GroupBox1"))
        return TextAccess{[w] { return w->GroupBox1->title(); }, [w](const QString &t) { w->GroupBox1->setTitle(t); }};
    if (control == QLatin1String("CheckBox1"))
        return TextAccess{[w] { return w->CheckBox1->text(); }, [w](const QString &t) { w->CheckBox1->setText(t); }};
    for (QLabel *l : {w->Label1, w->Label2, w->Label3}) {
        if (l->objectName() == control)
            return TextAccess{[l] { return l->text(); }, [l](const QString &t) { l->setText(t); }};
    }
    for (QPushButton *b : {w->BitBtn1, w->BitBtn2}) {
        if (b->objectName() == control)
            return TextAccess{[b] { return b->text(); }, [b](const QString &t) { b->setText(t); }};
    }
    return std::nullopt;
}

} // namespace

void Tauth::registerTexts()
{
    LanguageRegistry::instance().addSection(this, kSection,
                                            [this](const WindowKey &k) { return accessFor(this, k.controlName()); });
}

void Tauth::applyTexts(const IniFile &ini)
{
    const WindowSection *section = findWindowSection(kSection);
    if (!section)
        return;
    for (const WindowKey &k : section->keys) {
        if (std::optional<TextAccess> a = accessFor(this, k.controlName()))
            a->set(ini.readString(section->sectionName(), k.keyName(), a->get()));
    }
}

int Tauth::prepare()
{
    m_signedIn = false;
    m_left = false;
    m_accounts.load();
    {
        const QSignalBlocker block(ComboBox1);
        ComboBox1->clear();
        ComboBox1->addItems(m_accounts.names());
        ComboBox1->setCurrentIndex(m_accounts.isEmpty() ? -1 : 0);
    }
    // Long full names are cut in the closed box; the open list shows them whole.
    int widest = 0;
    for (const QString &name : m_accounts.names())
        widest = std::max(widest, ComboBox1->view()->fontMetrics().horizontalAdvance(name));
    ComboBox1->view()->setMinimumWidth(widest + 2 * ComboBox1->view()->frameWidth() + 24);
    ComboBox1Change(ComboBox1->currentIndex());
    return m_accounts.count();
}

void Tauth::ComboBox1Change(int index)
{
    const SignInAccounts::Remembered r = m_accounts.remembered(index);
    CheckBox1->setChecked(r.checked);
    Edit1->setText(r.login);
    Edit2->setText(r.password);
}

void Tauth::BitBtn1Click()
{
    const int index = ComboBox1->currentIndex();
    if (m_busy || m_signedIn || index < 0 || index >= m_accounts.count())
        return;
    // A refusal message runs its own event loop; a second Enter meanwhile must not start another attempt.
    m_busy = true;
    SignInResult result;
    try {
        result = signIn(m_accounts.userId(index), Edit1->text(), Edit2->text(), CheckBox1->isChecked());
    } catch (const DbError &e) {
        m_busy = false;
        ReportError(e.text());
        return;
    }
    if (!result.messageKey.isEmpty()) {
        ShowInfo(refusalText());
        m_busy = false;
        return;
    }
    m_busy = false;
    if (!result.signedIn())
        return; // the account is gone; the window stays as it is
    m_signedIn = true;
    if (!result.tidyError.isEmpty())
        ReportError(result.tidyError);
    done(QDialog::Accepted);
}

void Tauth::BitBtn2Click()
{
    m_left = true;
    done(QDialog::Rejected);
    if (exitHandler())
        exitHandler()();
    else
        QCoreApplication::exit(0);
}

void Tauth::reject()
{
    // No close box and no Escape: only the two buttons end the window.
}

bool Tauth::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
            (watched == ComboBox1 || watched == Edit1 || watched == Edit2)) {
            BitBtn1Click();
            return true; // not passed on to the field
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tauth::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Start where typing is needed: the login, then the password, else the sign-in button.
    if (Edit1->text().isEmpty())
        Edit1->setFocus();
    else if (Edit2->text().isEmpty())
        Edit2->setFocus();
    else
        BitBtn1->setFocus();
}

void setSignInExitHandler(std::function<void()> handler)
{
    exitHandler() = std::move(handler);
}

Tauth *authWindow()
{
    return theWindow();
}

Tauth *createAuthWindow(QWidget *parent)
{
    if (!theWindow())
        theWindow() = new Tauth(parent);
    return theWindow();
}

bool PrepareSignIn(QWidget *parent)
{
    Tauth *window = createAuthWindow(parent);
    if (window->prepare() == 0)
        return true; // nobody to sign in: the console runs without a member
    // Only the two buttons end the window, so one showing is enough.
    window->exec();
    return window->signedIn();
}

} // namespace bw
