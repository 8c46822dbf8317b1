#include "notify/gui/Balloons.h"

#include "app/gui/Icons.h"
#include "i18n/Catalogue.h"
#include "notify/gui/LastInput.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QScreen>
#include <QTextLayout>
#include <QTimer>

namespace bw {

namespace {

constexpr int kFadeInterval = 50;
constexpr int kDisplayInterval = 1000;
constexpr int kPresenceInterval = 1000;
constexpr int kOpaqueFrom = 235; // the last fade-in step jumps to full opacity from here
constexpr int kGoneBelow = 20;   // ... and the last fade-out step to nothing from here

// Window opacity where the platform has it; elsewhere (offscreen, Wayland) the notice simply appears and
// disappears, without a warning per fade step.
bool platformHasOpacity()
{
    static const bool has = [] {
        const QString name = QGuiApplication::platformName();
        return name == QLatin1String("xcb") || name == QLatin1String("windows") || name == QLatin1String("cocoa");
    }();
    return has;
}

QColor mix(const QColor &a, const QColor &b, qreal t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// The strong colour of a reminder: amber for kind 0, green for kind 1, red-orange otherwise.
QColor reminderColour(int kind)
{
    switch (kind) {
    case 0:
        return QColor(0xF2, 0xA5, 0x16);
    case 1:
        return QColor(0x3D, 0xAA, 0x4F);
    default:
        return QColor(0xE5, 0x52, 0x2B);
    }
}

// A warning triangle with an exclamation mark: amber with a dark mark, or red with a white one.
void drawWarningSign(QPainter &p, const QRectF &r, bool red)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal m = r.width() * 0.08;
    QPainterPath tri;
    tri.moveTo(r.center().x(), r.top() + m + 1);
    tri.lineTo(r.right() - m, r.bottom() - m - 2);
    tri.lineTo(r.left() + m, r.bottom() - m - 2);
    tri.closeSubpath();

    // A soft shadow and a white rim keep the sign readable on the strong end of the background.
    p.setPen(QPen(QColor(0, 0, 0, 45), 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tri.translated(0, 1.5));
    p.setPen(QPen(Qt::white, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tri);

    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    const QColor top = red ? QColor(0xF4, 0x6A, 0x45) : QColor(0xFF, 0xD8, 0x4D);
    const QColor bottom = red ? QColor(0xC4, 0x2B, 0x12) : QColor(0xF0, 0x9A, 0x00);
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setBrush(fill);
    p.setPen(QPen(bottom.darker(112), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tri);

    const QColor mark = red ? Qt::white : QColor(0x3A, 0x2A, 0x00);
    const qreal cx = r.center().x();
    const qreal barW = r.width() * 0.1;
    const QRectF bar(cx - barW / 2, r.top() + r.height() * 0.36, barW, r.height() * 0.28);
    p.setPen(Qt::NoPen);
    p.setBrush(mark);
    p.drawRoundedRect(bar, barW / 2, barW / 2);
    p.drawEllipse(QPointF(cx, r.top() + r.height() * 0.73), barW * 0.62, barW * 0.62);
    p.restore();
}

// A blue disc with a white "i".
void drawInformationSign(QPainter &p, const QRectF &r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF disc = r.adjusted(4, 4, -4, -4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawEllipse(disc.translated(0, 1.5).adjusted(-2, -2, 2, 2));
    p.setBrush(Qt::white);
    p.drawEllipse(disc.adjusted(-2.5, -2.5, 2.5, 2.5));
    QRadialGradient fill(disc.center() - QPointF(disc.width() * 0.2, disc.height() * 0.25), disc.width() * 0.8);
    fill.setColorAt(0, QColor(0x6F, 0xB8, 0xFF));
    fill.setColorAt(1, QColor(0x17, 0x63, 0xC6));
    p.setBrush(fill);
    p.drawEllipse(disc);

    const qreal cx = disc.center().x();
    const qreal w = disc.width() * 0.13;
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(cx, disc.top() + disc.height() * 0.27), w * 0.65, w * 0.65);
    p.drawRoundedRect(QRectF(cx - w / 2, disc.top() + disc.height() * 0.42, w, disc.height() * 0.37), w / 3, w / 3);
    p.restore();
}

QFont pixelFont(const QFont &base, int px, bool bold = false)
{
    QFont f = base;
    f.setPixelSize(px);
    f.setBold(bold);
    return f;
}

// Word-wrapped text in whole lines: what does not fit ends the last line that fits with an ellipsis.
void drawWrappedText(QPainter &p, const QRect &box, const QString &text)
{
    const QFontMetrics fm = p.fontMetrics();
    const int lineHeight = fm.lineSpacing();
    const int maxLines = qMax(1, box.height() / lineHeight);
    struct Line
    {
        QString text;
        QString rest; // this line and everything after it
    };
    QList<Line> lines;
    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    for (int i = 0; i < paragraphs.size(); ++i) {
        const QString &para = paragraphs.at(i);
        const QString after = paragraphs.mid(i + 1).join(QLatin1Char(' '));
        QTextLayout layout(para, p.font());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(box.width());
            const QString rest = para.mid(line.textStart()) + (after.isEmpty() ? QString() : QLatin1Char(' ') + after);
            lines.append({para.mid(line.textStart(), line.textLength()).trimmed(), rest});
        }
        layout.endLayout();
        if (para.isEmpty())
            lines.append({QString(), after});
    }
    while (!lines.isEmpty() && lines.last().text.isEmpty())
        lines.removeLast();
    for (int i = 0; i < lines.size() && i < maxLines; ++i) {
        QString shown = lines.at(i).text;
        if (i == maxLines - 1 && lines.size() > maxLines)
            shown = fm.elidedText(lines.at(i).rest.simplified(), Qt::ElideRight,
                                  box.width());
        p.drawText(QRect(box.left(), box.top() + i * lineHeight, box.width(), lineHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, shown);
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------------------------

NoticeButton::NoticeButton(Glyph glyph, QWidget *parent)
    : QAbstractButton(parent)
    , m_glyph(glyph)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void NoticeButton::enterEvent(QEnterEvent *event)
{
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void NoticeButton::leaveEvent(QEvent *event)
{
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void NoticeButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);

    if (m_glyph == Glyph::Close) {
        if (isDown() || m_hover) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0, 0, 0, isDown() ? 55 : 28));
            p.drawRoundedRect(r, 4, 4);
        }
        const QPointF c = r.center();
        const qreal h = 4.0;
        p.setPen(QPen(QColor(0x45, 0x45, 0x45), 1.7, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c + QPointF(-h, -h), c + QPointF(h, h));
        p.drawLine(c + QPointF(-h, h), c + QPointF(h, -h));
        return;
    }

    // The confirm button: a raised white plate on hover, a green check mark and, if given, a caption.
    if (isDown() || m_hover) {
        p.setPen(QPen(QColor(0, 0, 0, 45), 1));
        p.setBrush(QColor(255, 255, 255, isDown() ? 120 : 190));
        p.drawRoundedRect(r, 5, 5);
    }
    const QString caption = text();
    const qreal side = caption.isEmpty() ? qMin(r.height(), 26.0) : 16.0;
    QRectF mark(0, 0, side, side * 0.8);
    if (caption.isEmpty())
        mark.moveCenter(r.center());
    else
        mark.moveTopLeft(QPointF(r.left() + 1, r.center().y() - mark.height() / 2));
    QPainterPath check;
    check.moveTo(mark.left() + mark.width() * 0.18, mark.top() + mark.height() * 0.55);
    check.lineTo(mark.left() + mark.width() * 0.42, mark.top() + mark.height() * 0.82);
    check.lineTo(mark.left() + mark.width() * 0.85, mark.top() + mark.height() * 0.18);
    const qreal dy = isDown() ? 1 : 0;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 220), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(check.translated(0, dy));
    p.setPen(QPen(QColor(0x25, 0x96, 0x38), 3.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(check.translated(0, dy));
    if (!caption.isEmpty()) {
        p.setFont(pixelFont(font(), 11));
        p.setPen(QColor(0x1F, 0x1F, 0x1F));
        const QRectF textRect(mark.right(), r.top(), r.right() - mark.right() - 1, r.height());
        p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                   p.fontMetrics().elidedText(caption, Qt::ElideRight, int(textRect.width())));
    }
}

// ---------------------------------------------------------------------------------------------------------------

NoticeWindow::NoticeWindow(QSize size, int displayTime)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , m_fadeIn(new QTimer(this))
    , m_display(new QTimer(this))
    , m_fadeOut(new QTimer(this))
    , m_close(new NoticeButton(NoticeButton::Glyph::Close, this))
    , m_displayTime(displayTime)
{
    // A notice is a passer-by: it never takes the focus, never ends the program when it closes and has no
    // taskbar button, so a hidden main window stays out of sight.
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_X11NetWmWindowTypeNotification);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(size);

    m_fadeIn->setObjectName(QStringLiteral("fadeIn"));
    m_fadeIn->setInterval(kFadeInterval);
    m_display->setObjectName(QStringLiteral("display"));
    m_display->setInterval(kDisplayInterval);
    m_fadeOut->setObjectName(QStringLiteral("fadeOut"));
    m_fadeOut->setInterval(kFadeInterval);
    connect(m_fadeIn, &QTimer::timeout, this, &NoticeWindow::fadeInTick);
    connect(m_display, &QTimer::timeout, this, &NoticeWindow::displayTick);
    connect(m_fadeOut, &QTimer::timeout, this, &NoticeWindow::fadeOutTick);

    m_close->setFixedSize(22, 22);
    connect(m_close, &QAbstractButton::clicked, this, &QWidget::close);
}

NoticeWindow::~NoticeWindow() = default;

QPoint NoticeWindow::noticePosition(QSize size)
{
    // The available area ends where the taskbar (panel) begins; its bottom right corner is where the notices
    // rise from, wherever the panel sits.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    return {area.x() + area.width() - size.width() - 4, area.y() + area.height() - size.height() - 4};
}

void NoticeWindow::popUp()
{
    move(noticePosition(size()));
    QWidget *active = QApplication::activeWindow();
    if (auto *other = qobject_cast<NoticeWindow *>(active))
        active = other->m_focusOwner;
    m_focusOwner = active;
    setOpacityLevel(0);
    QWidget::show();
    m_fadeIn->start();
}

void NoticeWindow::setOpacityLevel(int level)
{
    m_opacity = qBound(0, level, 255);
    if (platformHasOpacity())
        setWindowOpacity(m_opacity / 255.0);
}

void NoticeWindow::fadeInTick()
{
    setOpacityLevel(m_opacity + kFadeStep);
    if (m_opacity >= kOpaqueFrom) {
        setOpacityLevel(255);
        m_fadeIn->stop();
        fadedIn();
    }
}

void NoticeWindow::displayTick()
{
    ++m_displayCount;
    if (m_displayTime > 0 && m_displayCount >= m_displayTime) {
        m_displayCount = 0;
        m_display->stop();
        m_fadeOut->start();
    }
}

void NoticeWindow::fadeOutTick()
{
    setOpacityLevel(m_opacity - kFadeStep);
    if (m_opacity <= kGoneBelow) {
        setOpacityLevel(0);
        m_fadeOut->stop();
        m_display->stop();
        close();
    }
}

void NoticeWindow::paintFrame(QPainter &p, const QColor &border) const
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(border);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    // A faint inner light line gives the edge some depth.
    p.setPen(QColor(255, 255, 255, 110));
    p.drawRect(rect().adjusted(1, 1, -2, -2));
}

void NoticeWindow::changeEvent(QEvent *event)
{
    // Where the window system activates the notice in spite of its no-focus hint, the activation goes straight
    // back to the window that had it, and with it the keyboard focus.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_focusOwner && m_focusOwner->isVisible())
        m_focusOwner->activateWindow();
    QWidget::changeEvent(event);
}

void NoticeWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_dragFrom = event->globalPosition().toPoint();
        m_dragOrigin = pos();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void NoticeWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton)) {
        move(m_dragOrigin + (event->globalPosition().toPoint() - m_dragFrom));
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void NoticeWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}

// ---------------------------------------------------------------------------------------------------------------

TBalloonZ::TBalloonZ(const QString &text)
    : NoticeWindow(QSize(kWidth, kHeight), kDisplaySeconds)
    , m_text(text)
{
    setObjectName(QStringLiteral("BalloonZ"));
    m_close->move(150, 7);
}

void TBalloonZ::show()
{
    popUp();
}

void TBalloonZ::fadedIn()
{
    m_display->start();
}

void TBalloonZ::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRectF r = rect();

    QLinearGradient bg(r.topLeft(), r.bottomLeft());
    bg.setColorAt(0.0, QColor(0xFF, 0xFD, 0xEC));
    bg.setColorAt(0.55, QColor(0xFF, 0xF6, 0xCC));
    bg.setColorAt(1.0, QColor(0xFC, 0xEA, 0xA6));
    p.fillRect(r, bg);

    // A soft glow behind the envelope.
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF envelope(59, 37, 65, 49);
    QRadialGradient glow(envelope.center(), 52);
    glow.setColorAt(0.0, QColor(255, 255, 255, 200));
    glow.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(envelope.center(), 56, 46);
    p.drawPixmap(envelope.topLeft(), noticeEnvelope());

    const QRect line(11, 96, 158, 16);
    // The largest of a few sizes that holds the whole line; a longer text is cut with an ellipsis.
    for (int px = 12; px >= 10; --px) {
        p.setFont(pixelFont(font(), px, true));
        if (p.fontMetrics().horizontalAdvance(m_text) <= line.width())
            break;
    }
    p.setPen(QColor(0x5B, 0x44, 0x05));
    p.drawText(line, Qt::AlignCenter, p.fontMetrics().elidedText(m_text, Qt::ElideRight, line.width()));

    paintFrame(p, QColor(0xD2, 0xAE, 0x45));
}

// ---------------------------------------------------------------------------------------------------------------

TBalloonS::TBalloonS(const QString &text, const QString &confirmCaption, const QString &title,
                     const QString &subtitle, bool showConfirm, int pictureKind, int kind)
    : NoticeWindow(QSize(kWidth, kHeight), displaySeconds(kind))
    , m_text(text)
    , m_title(title)
    , m_subtitle(subtitle)
    , m_pictureKind(pictureKind)
    , m_kind(kind)
    , m_presence(new QTimer(this))
    , m_confirm(new NoticeButton(NoticeButton::Glyph::Confirm, this))
{
    setObjectName(QStringLiteral("BalloonS"));
    m_close->move(320, 6);
    m_presence->setObjectName(QStringLiteral("presence"));
    m_presence->setInterval(kPresenceInterval);
    connect(m_presence, &QTimer::timeout, this, &TBalloonS::presenceTick);

    m_confirm->setGeometry(296, 112, 38, 30);
    m_confirm->setText(confirmCaption);
    m_confirm->setVisible(showConfirm);
    connect(m_confirm, &QAbstractButton::clicked, this, &QWidget::close);
}

int TBalloonS::displaySeconds(int kind)
{
    switch (kind) {
    case 0:
        return 30;
    case 1:
        return 10;
    case 2:
        return 120;
    default:
        return 0;
    }
}

void TBalloonS::show()
{
    m_lastInput = lastInputTime();
    m_userPresent = false;
    popUp();
    m_presence->start();
}

void TBalloonS::fadedIn()
{
    // The countdown waits for the user (presenceTick).
}

void TBalloonS::presenceTick()
{
    const qint64 now = lastInputTime();
    if (qAbs(now - m_lastInput) > kSameInputTolerance) {
        m_userPresent = true;
        m_display->start();
        m_presence->stop();
    }
    m_lastInput = now;
}

void TBalloonS::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRectF r = rect();
    const QColor strong = reminderColour(m_kind);
    const QColor paper(0xFF, 0xFF, 0xFD);

    QLinearGradient bg(r.topLeft(), r.topRight());
    bg.setColorAt(0.0, strong);
    bg.setColorAt(0.19, mix(strong, paper, 0.5));
    bg.setColorAt(0.45, mix(strong, paper, 0.9));
    bg.setColorAt(1.0, mix(strong, paper, 0.97));
    p.fillRect(r, bg);
    // A light sheen over the upper half.
    QLinearGradient sheen(r.topLeft(), r.bottomLeft());
    sheen.setColorAt(0.0, QColor(255, 255, 255, 70));
    sheen.setColorAt(0.5, QColor(255, 255, 255, 0));
    p.fillRect(r, sheen);

    const QRectF icon(8, 8, 49, 49);
    if (m_pictureKind == 1 || m_pictureKind == 4)
        drawInformationSign(p, icon);
    else
        drawWarningSign(p, icon, m_kind != 0);

    const int textLeft = 74;
    const int lineWidth = 320 - textLeft - 4; // up to the close button
    p.setPen(QColor(0x1C, 0x1C, 0x1C));
    p.setFont(pixelFont(font(), 12, true));
    p.drawText(QRect(textLeft, 6, lineWidth, 16), Qt::AlignLeft | Qt::AlignVCenter,
               p.fontMetrics().elidedText(m_title, Qt::ElideRight, lineWidth));
    p.setPen(QColor(0x55, 0x55, 0x55));
    p.setFont(pixelFont(font(), 11));
    p.drawText(QRect(textLeft, 22, lineWidth, 15), Qt::AlignLeft | Qt::AlignVCenter,
               p.fontMetrics().elidedText(m_subtitle, Qt::ElideRight, lineWidth));
    p.setPen(QColor(0x26, 0x26, 0x26));
    p.setFont(pixelFont(font(), 12));
    const QRect body(textLeft, 39, 260, 62);
    drawWrappedText(p, body, m_text);

    p.setPen(QPen(mix(strong, QColor(0x40, 0x40, 0x40), 0.35), 1));
    p.drawLine(textLeft, 106, textLeft + 260, 106);

    paintFrame(p, strong.darker(135));
}

// ---------------------------------------------------------------------------------------------------------------

TBalloonZ *ShowRequestNotice()
{
    auto *notice = new TBalloonZ(msg(162));
    notice->show();
    return notice;
}

TBalloonS *ShowTaskNotice(const QString &text, const QString &confirmCaption, const QString &title,
                          const QString &subtitle, bool showConfirm, int pictureKind, int kind)
{
    auto *notice = new TBalloonS(text, confirmCaption, title, subtitle, showConfirm, pictureKind, kind);
    notice->show();
    return notice;
}

} // namespace bw
