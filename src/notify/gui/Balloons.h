#pragma once

#include <QAbstractButton>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

class QTimer;

namespace bw {

// The small flat buttons of the notices: the 22 x 22 close cross and the confirm check mark.
class NoticeButton final : public QAbstractButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NoticeButton)

public:
    enum class Glyph
    {
        Close,
        Confirm
    };
    NoticeButton(Glyph glyph, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    Glyph m_glyph;
    bool m_hover = false;
};

// What both notices share: a borderless window that stays on top, never takes the focus, appears above the
// taskbar at the right of the screen, fades in and out through its window opacity (0..255), can be pushed
// aside with the mouse and frees itself when it closes.
//
// The timer handlers are public so that a notice's life can be stepped through without waiting for it.
class NoticeWindow : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NoticeWindow)

public:
    static constexpr int kFadeStep = 15;

    int opacityLevel() const { return m_opacity; }
    int displayCount() const { return m_displayCount; }
    // Display-timer ticks before the fade-out; 0: the notice stays until it is closed.
    int displayTime() const { return m_displayTime; }

    QTimer *fadeInTimer() const { return m_fadeIn; }
    QTimer *displayTimer() const { return m_display; }
    QTimer *fadeOutTimer() const { return m_fadeOut; }
    NoticeButton *closeButton() const { return m_close; }

    void fadeInTick();
    void displayTick();
    void fadeOutTick();

    // The place of a notice of this size above the taskbar, at the right edge of the screen.
    static QPoint noticePosition(QSize size);

protected:
    NoticeWindow(QSize size, int displayTime);
    ~NoticeWindow() override;

    // Puts the notice in place and shows it without activating it; the fade-in starts.
    void popUp();
    // Fully opaque: the request notice starts its display, the reminder keeps waiting for the user.
    virtual void fadedIn() = 0;

    void setOpacityLevel(int level);
    void paintFrame(QPainter &p, const QColor &border) const;

    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

    QTimer *m_fadeIn;
    QTimer *m_display;
    QTimer *m_fadeOut;
    NoticeButton *m_close;

private:
    int m_opacity = 0;
    int m_displayCount = 0;
    int m_displayTime;
    QPointer<QWidget> m_focusOwner; // the window that was active when the notice appeared
    bool m_dragging = false;
    QPoint m_dragFrom;
    QPoint m_dragOrigin;
};

// The new-request notice: an envelope and one line of text (DLG162), shown for 5 seconds.
class TBalloonZ final : public NoticeWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TBalloonZ)

public:
    static constexpr int kWidth = 179;
    static constexpr int kHeight = 151;
    static constexpr int kDisplaySeconds = 5;

    explicit TBalloonZ(const QString &text);
    const QString &text() const { return m_text; }
    void show();

protected:
    void fadedIn() override;
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
};

// The reminder notice: icon, title, subtitle, text and an optional confirm button. Its countdown starts only
// once the user is seen at the computer, so that a reminder raised while nobody is there is not missed.
class TBalloonS final : public NoticeWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TBalloonS)

public:
    static constexpr int kWidth = 348;
    static constexpr int kHeight = 151;
    // Two readings of the last-input time closer than this are one and the same input: the display server
    // reports an idle time, turned into a time on our clock, which wavers by a few milliseconds.
    static constexpr qint64 kSameInputTolerance = 250;

    TBalloonS(const QString &text, const QString &confirmCaption, const QString &title, const QString &subtitle,
              bool showConfirm, int pictureKind, int kind);

    // Display time in seconds by kind: 1: 10, 0: 30, 2: 120; any other kind stays until closed (0).
    static int displaySeconds(int kind);

    int kind() const { return m_kind; }
    int pictureKind() const { return m_pictureKind; }
    const QString &title() const { return m_title; }
    const QString &subtitle() const { return m_subtitle; }
    const QString &text() const { return m_text; }
    bool userPresent() const { return m_userPresent; }
    QTimer *presenceTimer() const { return m_presence; }
    NoticeButton *confirmButton() const { return m_confirm; }

    void show();
    void presenceTick();

protected:
    void fadedIn() override;
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    QString m_title;
    QString m_subtitle;
    int m_pictureKind;
    int m_kind;
    bool m_userPresent = false;
    qint64 m_lastInput = 0;
    QTimer *m_presence;
    NoticeButton *m_confirm;
};

// Shows a new new-request notice (text DLG162). The notice frees itself when it closes.
TBalloonZ *ShowRequestNotice();

// Shows a new reminder notice. Picture kinds 0, 2 and 3 show the warning sign, 1 and 4 an information sign;
// the kind chooses background, warning-sign variant and display time. The notice frees itself when it closes.
TBalloonS *ShowTaskNotice(const QString &text, const QString &confirmCaption, const QString &title,
                          const QString &subtitle, bool showConfirm, int pictureKind, int kind);

} // namespace bw
