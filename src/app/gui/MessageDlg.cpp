#include "app/gui/MessageDlg.h"

#include "app/AppState.h"

#include <QApplication>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QThread>
#include <QTimer>

#include <memory>

namespace bw {

namespace {

constexpr int kClientWidth = 403;
constexpr int kClientHeight = 169;
constexpr int kPictureSize = 49;
constexpr int kShownDialogsKept = 100;

std::array<DialogSlot, DialogSlotCount> g_slots;
int g_currentSlot = 0;

std::function<QString(const QString &)> g_textProvider;
std::function<bool()> g_soundsDisabled;
std::function<int(const DialogInfo &)> g_autoAnswer;
QList<DialogInfo> g_shown;

QString builtInText(const QString &key)
{
    if (key == QLatin1String("DLG1") || key == QLatin1String("DLG51"))
    {
        return QStringLiteral("Закрыть окно");
    }
    if (key == QLatin1String("DLG2"))
    {
        return QStringLiteral("Информационное сообщение");
    }
    if (key == QLatin1String("DLG52"))
    {
        return QStringLiteral("Выбор действия");
    }
    return QString();
}

// Lowest free slot 1..19; when all of them are taken, slot 20 (shared by any further dialogs).
int takeSlotNumber()
{
    for (int number = 1; number < DialogSlotCount; ++number)
    {
        if (!g_slots[static_cast<size_t>(number - 1)].inUse)
        {
            return number;
        }
    }
    return DialogSlotCount;
}

std::optional<DialogPicture> pictureOfKind(int pictureKind)
{
    switch (pictureKind)
    {
    case 0:
    case 2: return DialogPicture::Warning;
    case 1:
    case 4: return DialogPicture::Information;
    case 3: return DialogPicture::Question;
    default: return std::nullopt;
    }
}

QFont dialogFont()
{
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Segoe UI"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(8);
    return font;
}

} // namespace

TmessagedlgU::TmessagedlgU(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("messagedlgU"));
    setFont(dialogFont());
    setFixedSize(kClientWidth, kClientHeight);
    setSizeGripEnabled(false);

    const DialogPicture pictures[3] = {DialogPicture::Warning, DialogPicture::Information, DialogPicture::Question};
    for (int i = 0; i < 3; ++i)
    {
        m_pictures[i] = new QLabel(this);
        m_pictures[i]->setGeometry(8, 8, kPictureSize, kPictureSize);
        m_pictures[i]->setPixmap(dialogPicture(pictures[i], kPictureSize));
        m_pictures[i]->setAlignment(Qt::AlignCenter);
        m_pictures[i]->hide();
    }

    // Long texts (database errors) scroll instead of being cut off at the bottom of the area.
    m_messageArea = new QScrollArea(this);
    m_messageArea->setGeometry(72, 8, 300, 95);
    m_messageArea->setFrameShape(QFrame::NoFrame);
    m_messageArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_messageArea->setWidgetResizable(true);
    m_messageArea->setFocusPolicy(Qt::NoFocus);
    m_messageArea->viewport()->setAutoFillBackground(false);
    m_message = new QLabel;
    m_message->setObjectName(QStringLiteral("message"));
    m_message->setTextFormat(Qt::PlainText); // messages carry user data: never interpret it as markup
    m_message->setWordWrap(true);
    m_message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_message->setAutoFillBackground(false);
    m_messageArea->setWidget(m_message);

    auto makeButton = [this](int left, int code) {
        auto *button = new QPushButton(this);
        button->setGeometry(left, 119, 115, 25);
        // No default button: Enter must answer with the focused button, never with a preferred one.
        button->setAutoDefault(false);
        button->setDefault(false);
        connect(button, &QPushButton::clicked, this, [this, code] { ButtonClick(code); });
        return button;
    };
    m_leftButton = makeButton(40, LeftButtonCode);
    m_centreButton = makeButton(139, CentreButtonCode);
    m_rightButton = makeButton(234, RightButtonCode);
    m_leftButton->setObjectName(QStringLiteral("leftButton"));
    m_centreButton->setObjectName(QStringLiteral("centreButton"));
    m_rightButton->setObjectName(QStringLiteral("rightButton"));
    setTabOrder(m_leftButton, m_centreButton);
    setTabOrder(m_centreButton, m_rightButton);
}

TmessagedlgU::~TmessagedlgU()
{
    freeSlot();
}

void TmessagedlgU::setMessage(const QString &message)
{
    m_message->setText(message);
    // A short message is centred against the picture; a longer one starts at the top of the area.
    const int textHeight = m_message->heightForWidth(m_messageArea->width());
    const int top = textHeight > 0 && textHeight < kPictureSize ? (kPictureSize - textHeight) / 2 : 0;
    m_message->setContentsMargins(0, top, 0, 0);
}

void TmessagedlgU::setButtons(const QString &leftCaption, const QString &rightCaption, const QString &centreCaption,
                              bool showLeft, bool showRight, bool showCentre)
{
    m_leftButton->setText(leftCaption);
    m_rightButton->setText(rightCaption);
    m_centreButton->setText(centreCaption);
    m_showLeft = showLeft;
    m_showRight = showRight;
    m_showCentre = showCentre;
    m_leftButton->setVisible(showLeft);
    m_rightButton->setVisible(showRight);
    m_centreButton->setVisible(showCentre);
}

void TmessagedlgU::setPictureKind(int pictureKind)
{
    m_pictureKind = pictureKind;
    const std::optional<DialogPicture> picture = pictureOfKind(pictureKind);
    const int shown = picture ? static_cast<int>(*picture) : -1;
    for (int i = 0; i < 3; ++i)
    {
        m_pictures[i]->setVisible(i == shown);
    }
}

QString TmessagedlgU::messageText() const
{
    return m_message->text();
}

QPushButton *TmessagedlgU::button(int code) const
{
    switch (code)
    {
    case LeftButtonCode: return m_leftButton;
    case CentreButtonCode: return m_centreButton;
    case RightButtonCode: return m_rightButton;
    default: return nullptr;
    }
}

int TmessagedlgU::focusedButton() const
{
    const QWidget *focused = focusWidget();
    for (int code : {LeftButtonCode, CentreButtonCode, RightButtonCode})
    {
        if (focused && focused == button(code))
        {
            return code;
        }
    }
    return 0;
}

std::optional<DialogPicture> TmessagedlgU::shownPicture() const
{
    return pictureOfKind(m_pictureKind);
}

void TmessagedlgU::applyFocusRule()
{
    QPushButton *target = nullptr;
    if (m_focusMode == 0)
    {
        target = m_showCentre ? m_centreButton : (m_showLeft ? m_leftButton : nullptr);
    }
    else if (m_focusMode == 1 && !m_showCentre)
    {
        target = m_showRight ? m_rightButton : nullptr;
    }
    if (!target)
    {
        // The window's default: the first shown button in tab order. Set here rather than left to the window
        // system, which would choose only when the window gets activated.
        for (QPushButton *candidate : {m_leftButton, m_centreButton, m_rightButton})
        {
            if (!candidate->isHidden())
            {
                target = candidate;
                break;
            }
        }
    }
    if (target)
    {
        target->setFocus(Qt::OtherFocusReason);
    }
}

void TmessagedlgU::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous() || m_shownOnce)
    {
        return;
    }
    m_shownOnce = true;

    const DialogSound sound = dialogSoundFor(m_pictureKind);
    playDialogSound(sound);
    applyFocusRule();

    DialogInfo &info = m_info;
    info.message = messageText();
    info.caption = windowTitle();
    info.leftCaption = m_leftButton->text();
    info.rightCaption = m_rightButton->text();
    info.centreCaption = m_centreButton->text();
    info.showLeft = m_showLeft;
    info.showRight = m_showRight;
    info.showCentre = m_showCentre;
    info.pictureKind = m_pictureKind;
    info.focusMode = m_focusMode;
    info.slot = m_slotNumber;
    info.focusedButton = focusedButton();
    info.sound = sound;
    g_shown.append(info);
    while (g_shown.size() > kShownDialogsKept)
    {
        g_shown.removeFirst();
    }

    if (g_autoAnswer)
    {
        // From the dialog's own event loop, so the answer may itself open (nested) dialogs.
        QTimer::singleShot(0, this, &TmessagedlgU::answerAutomatically);
    }
}

void TmessagedlgU::answerAutomatically()
{
    if (!g_autoAnswer || !isVisible())
    {
        return;
    }
    QPointer<TmessagedlgU> self(this);
    const DialogInfo info = m_info;
    const int code = g_autoAnswer(info);
    if (!self || !isVisible())
    {
        return;
    }
    if (code == -1)
    {
        close();
        return;
    }
    if (code == 0)
    {
        return;
    }
    QPushButton *target = button(code);
    if (target && !target->isHidden())
    {
        target->click();
        return;
    }
    // A hidden or unknown button cannot be clicked; close instead of leaving an unattended run waiting forever.
    qWarning("Automatic answer %d names no shown button of the message dialog; closing it", code);
    close();
}

void TmessagedlgU::keyPressEvent(QKeyEvent *event)
{
    switch (event->key())
    {
    case Qt::Key_Escape:
        // No cancel button: Escape does not close the dialog.
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (const int code = focusedButton())
        {
            button(code)->click();
            event->accept();
            return;
        }
        break;
    default: break;
    }
    event->ignore();
}

void TmessagedlgU::ButtonClick(int code)
{
    // Each click makes its own slot current, so an outer dialog still finds its own answer after a nested one.
    if (m_slotNumber >= 1 && m_slotNumber <= DialogSlotCount)
    {
        g_currentSlot = m_slotNumber;
        g_slots[static_cast<size_t>(m_slotNumber - 1)].result = code;
    }
    m_buttonCode = code;
    freeSlot();
    done(code);
}

void TmessagedlgU::reject()
{
    m_buttonCode = DialogClosed;
    if (m_slotNumber >= 1 && m_slotNumber <= DialogSlotCount
        && g_slots[static_cast<size_t>(m_slotNumber - 1)].window == this)
    {
        g_slots[static_cast<size_t>(m_slotNumber - 1)].result = DialogClosed;
    }
    freeSlot();
    done(DialogClosed);
}

void TmessagedlgU::freeSlot()
{
    if (m_slotNumber < 1 || m_slotNumber > DialogSlotCount)
    {
        return;
    }
    DialogSlot &slot = g_slots[static_cast<size_t>(m_slotNumber - 1)];
    // Slot 20 may be shared: only its latest owner clears the window pointer; the first to close frees it.
    if (slot.window == this)
    {
        slot.window = nullptr;
    }
    if (slot.window == nullptr)
    {
        slot.inUse = false;
    }
}

const std::array<DialogSlot, DialogSlotCount> &DialogSlots()
{
    return g_slots;
}

int currentDialogSlot()
{
    return g_currentSlot;
}

TmessagedlgU *dialogInSlot(int number)
{
    if (number < 1 || number > DialogSlotCount)
    {
        return nullptr;
    }
    const DialogSlot &slot = g_slots[static_cast<size_t>(number - 1)];
    return slot.inUse ? slot.window : nullptr;
}

int ShowDlg(const QString &message, const QString &leftCaption, const QString &rightCaption,
            const QString &centreCaption, const QString &caption, bool showLeft, bool showRight, bool showCentre,
            int pictureKind, int focusMode)
{
    Q_ASSERT(qApp && QThread::currentThread() == qApp->thread());

    const int number = takeSlotNumber();
    g_currentSlot = number;
    auto window = std::make_unique<TmessagedlgU>();
    DialogSlot &slot = g_slots[static_cast<size_t>(number - 1)];
    slot.window = window.get();
    slot.inUse = true;
    slot.number = number;
    slot.result = 0;
    window->setSlotNumber(number);

    window->setWindowTitle(caption);
    window->setMessage(message);
    window->setButtons(leftCaption, rightCaption, centreCaption, showLeft, showRight, showCentre);
    window->setPictureKind(pictureKind);
    window->setFocusMode(focusMode);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
    {
        const QRect desktop = screen->availableGeometry();
        window->move(desktop.center() - QPoint(kClientWidth / 2, kClientHeight / 2));
    }

    window->exec();
    // The answer is taken from this dialog's own window rather than from the current slot: with several dialogs in
    // slot 20, or an outer dialog answered while an inner one still waited, the current slot belongs to another.
    return window->buttonCode();
}

void ShowInfo(const QString &message)
{
    ShowDlg(message, QString(), QString(), dialogText(QStringLiteral("DLG1")), dialogText(QStringLiteral("DLG2")),
            false, false, true, 1, 0);
}

void ShowWarning(const QString &message)
{
    ShowDlg(message, QString(), QString(), dialogText(QStringLiteral("DLG1")), dialogText(QStringLiteral("DLG2")),
            false, false, true, 0, 0);
}

bool ShowQuestion(const QString &message, const QString &yesText, const QString &noText, const QString &caption,
                  int pictureKind, int focusMode)
{
    const QString title = caption.isEmpty() ? dialogText(QStringLiteral("DLG52")) : caption;
    return ShowDlg(message, yesText, noText, dialogText(QStringLiteral("DLG51")), title, true, true, false,
                   pictureKind, focusMode)
           == LeftButtonCode;
}

void ReportError(const QString &text)
{
    ShowWarning(text);
}

void setDialogTextProvider(std::function<QString(const QString &key)> provider)
{
    g_textProvider = std::move(provider);
}

QString dialogText(const QString &key)
{
    if (g_textProvider)
    {
        return g_textProvider(key);
    }
    return builtInText(key);
}

void setDialogSoundsDisabledQuery(std::function<bool()> query)
{
    g_soundsDisabled = std::move(query);
}

DialogSound dialogSoundFor(int pictureKind)
{
    // Until the settings are loaded the "no sounds" box means nothing yet, so every dialog sounds.
    const bool disabled = appState().SoundSettingsReady && g_soundsDisabled && g_soundsDisabled();
    if (disabled || !pictureOfKind(pictureKind))
    {
        return DialogSound::None;
    }
    return *pictureOfKind(pictureKind) == DialogPicture::Warning ? DialogSound::Exclamation : DialogSound::Asterisk;
}

void setDialogAutoAnswer(std::function<int(const DialogInfo &)> answer)
{
    g_autoAnswer = std::move(answer);
}

QList<DialogInfo> shownDialogs()
{
    return g_shown;
}

void clearShownDialogs()
{
    g_shown.clear();
}

} // namespace bw
