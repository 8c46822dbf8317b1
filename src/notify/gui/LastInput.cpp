#include "notify/gui/LastInput.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QString>

#if defined(BW_HAVE_XSS) && QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>
// The X headers define macros (None, Bool, Status...) that clash with Qt's names: they come last.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#define BW_USE_XSS 1
#endif

namespace bw {

namespace {

std::function<qint64()> g_source;

qint64 monotonicNow()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

#ifdef BW_USE_XSS
// Milliseconds since the last input as the X server counts them; -1 when it cannot say.
long xIdleMs()
{
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return -1;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return -1;
    static int hasExtension = -1;
    if (hasExtension < 0) {
        int eventBase = 0;
        int errorBase = 0;
        hasExtension = XScreenSaverQueryExtension(display, &eventBase, &errorBase) ? 1 : 0;
    }
    if (!hasExtension)
        return -1;
    // Filled in place: the program links the screen-saver library only, not libX11 (no XFree).
    XScreenSaverInfo info{};
    if (!XScreenSaverQueryInfo(display, DefaultRootWindow(display), &info))
        return -1;
    return long(info.idle);
}
#endif

} // namespace

qint64 systemLastInputTime()
{
    const qint64 now = monotonicNow();
#ifdef BW_USE_XSS
    const long idle = xIdleMs();
    if (idle >= 0)
        return now - idle;
#endif
    return now;
}

void setLastInputSource(std::function<qint64()> source)
{
    g_source = std::move(source);
}

qint64 lastInputTime()
{
    return g_source ? g_source() : systemLastInputTime();
}

} // namespace bw
