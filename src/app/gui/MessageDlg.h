#pragma once

#include "app/gui/Icons.h"
#include "app/gui/Sounds.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <array>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class QScrollArea;

namespace bw {

// Button codes returned by ShowDlg.
enum DialogResult : int
{
    DialogClosed = 0, // closed by the window system, not by a button
    CentreButtonCode = 1,
    RightButtonCode = 2,
    LeftButtonCode = 3
};

// What a dialog showed, kept for automated checks.
struct DialogInfo
{
    QString message;
    QString caption;
    QString leftCaption;
    QString rightCaption;
    QString centreCaption;
    bool showLeft = false;
    bool showRight = false;
    bool showCentre = false;
    int pictureKind = 0;
    int focusMode = 0;
    int slot = 0;
    int focusedButton = 0; // code of the button that had the focus when the dialog was shown
    DialogSound sound = DialogSound::None;
};

// The common modal message dialog. Created per call of ShowDlg and destroyed when it returns.
class TmessagedlgU final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TmessagedlgU)

public:
    explicit TmessagedlgU(QWidget *parent = nullptr);
    ~TmessagedlgU() override;

    void setMessage(const QString &message);
    void setButtons(const QString &leftCaption, const QString &rightCaption, const QString &centreCaption,
                    bool showLeft, bool showRight, bool showCentre);
    void setPictureKind(int pictureKind);
    void setFocusMode(int focusMode) { m_focusMode = focusMode; }

    int slotNumber() const { return m_slotNumber; }
    void setSlotNumber(int number) { m_slotNumber = number; }
    int pictureKind() const { return m_pictureKind; }
    int focusMode() const { return m_focusMode; }
    // Code of the button that closed the dialog; 0 while open or when closed without a button.
    int buttonCode() const { return m_buttonCode; }

    QString messageText() const;
    // The button with result code 3 (left), 1 (centre) or 2 (right); nullptr for any other code.
    QPushButton *button(int code) const;
    // Code of the shown button that holds the keyboard focus in this window, 0 if none.
    int focusedButton() const;
    // The picture that is shown (the other two are hidden); none for a kind outside 0..4.
    std::optional<DialogPicture> shownPicture() const;

    // The window system closed the dialog (no button): result 0.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void ButtonClick(int code);
    void applyFocusRule();
    void freeSlot();
    void answerAutomatically();

    QLabel *m_pictures[3] = {};
    QScrollArea *m_messageArea = nullptr;
    QLabel *m_message = nullptr;
    QPushButton *m_leftButton = nullptr;
    QPushButton *m_centreButton = nullptr;
    QPushButton *m_rightButton = nullptr;
    bool m_showLeft = false;
    bool m_showRight = false;
    bool m_showCentre = false;
    int m_slotNumber = 0;
    int m_pictureKind = 0;
    int m_focusMode = 0;
    int m_buttonCode = 0;
    bool m_shownOnce = false;
    DialogInfo m_info;
};

// One entry of the dialog table. Up to 19 dialogs get a slot of their own; any further ones share slot 20.
struct DialogSlot
{
    bool inUse = false;
    int number = 0;
    int result = 0;
    TmessagedlgU *window = nullptr;
};
inline constexpr int DialogSlotCount = 20;

const std::array<DialogSlot, DialogSlotCount> &DialogSlots();
// The slot number last taken by ShowDlg or last made current by a button click.
int currentDialogSlot();
// The open dialog in slot `number` (1..20), or nullptr.
TmessagedlgU *dialogInSlot(int number);

// Shows the message dialog modally and returns the code of the clicked button: 3 left, 1 centre, 2 right,
// 0 when the window system closed it. Pending events (timers, other windows) are served while it waits.
// Picture kinds: 0 and 2 warning triangle, 1 and 4 information sign, 3 the third sign (question mark); any other
// kind shows no picture and plays no sound. Focus mode 0: the centre button if shown, else the left one; focus
// mode 1 with the centre button hidden: the right one; otherwise the first shown button.
int ShowDlg(const QString &message, const QString &leftCaption, const QString &rightCaption,
            const QString &centreCaption, const QString &caption, bool showLeft, bool showRight, bool showCentre,
            int pictureKind, int focusMode);

// Information variant: centre button only, captions DLG1 / DLG2, information picture.
void ShowInfo(const QString &message);
// Warning variant: as information, with the warning triangle.
void ShowWarning(const QString &message);
// Question variant: left = yes, right = no; true when the left button was clicked. An empty caption means DLG52.
bool ShowQuestion(const QString &message, const QString &yesText, const QString &noText,
                  const QString &caption = QString(), int pictureKind = 2, int focusMode = 0);
// The application's default error report for database and file errors that escape a command: the error's own text
// in the warning variant.
void ReportError(const QString &text);

// Where the variants take their fixed texts: called with "DLG1" (centre button), "DLG2" (information caption),
// "DLG51" (hidden centre button of a question) and "DLG52" (question caption). The default gives the built-in
// Russian texts; the start-up connects it to the message catalogue. An empty function restores the default.
void setDialogTextProvider(std::function<QString(const QString &key)> provider);
QString dialogText(const QString &key);

// Asked on every showing whether the setting "Отключить звуки" is on. It only counts once
// appState().SoundSettingsReady is set; before that every dialog sounds. Default: sounds on.
void setDialogSoundsDisabledQuery(std::function<bool()> query);
// The sound a dialog of `pictureKind` plays now, after the rules above (None for a kind outside 0..4).
DialogSound dialogSoundFor(int pictureKind);


// Lets dialogs be answered without a person (tests, unattended runs). The function is called right after a dialog
// is shown, from the dialog's own event loop; it returns the code of the button to click (1, 2 or 3), -1 to close
// the window through the window system, or 0 to leave the dialog waiting. An empty function switches it off.
void setDialogAutoAnswer(std::function<int(const DialogInfo &)> answer);
// The dialogs shown since the last clear, oldest first (at most the last 100).
QList<DialogInfo> shownDialogs();
void clearShownDialogs();

} // namespace bw
