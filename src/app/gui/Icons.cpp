#include "app/gui/Icons.h"

#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <array>

// Q_INIT_RESOURCE declares a function and must not be used inside a namespace.
static void initResourcesOnce()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(done);
}

namespace bw {

void ensureResources()
{
    initResourcesOnce();
}

namespace {

const std::array<const char *, ImageIndex::Count> kImageList1 = {
    "il00-envelope-grey",         "il01-envelope-orange",         "il02-status-rejected",
    "il03-importance-high",       "il04-importance-medium",       "il05-importance-low",
    "il06-period-week",           "il07-owner-own",               "il08-owner-common",
    "il09-task",                  "il10-done",                    "il11-task-importance-high",
    "il12-task-importance-medium", "il13-task-importance-low",    "il14-reminder",
    "il15-period-month",          "il16-client-filter",           "il17-notes",
    "il18-status-other",
};

QString iconPath(const char *name)
{
    return QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name));
}

// An icon with pixmaps rendered at every size a tray or a button may ask for, so no size is scaled from a bitmap.
QIcon svgIcon(const QString &resource, std::initializer_list<int> sizes)
{
    QIcon icon;
    for (int size : sizes)
    {
        icon.addPixmap(renderSvg(resource, QSize(size, size)));
    }
    return icon;
}

} // namespace

QPixmap renderSvg(const QString &resource, QSize size, qreal devicePixelRatio)
{
    // Rendering is cheap but the request list draws these icons per line; keep what was rendered.
    ensureResources();
    static QHash<QString, QPixmap> cache;
    const QString key = QStringLiteral("%1@%2x%3@%4").arg(resource).arg(size.width()).arg(size.height())
                            .arg(devicePixelRatio);
    const auto found = cache.constFind(key);
    if (found != cache.constEnd())
    {
        return *found;
    }
    QSvgRenderer renderer(resource);
    if (!renderer.isValid() || size.isEmpty())
    {
        return {};
    }
    QImage image(QSize(qRound(size.width() * devicePixelRatio), qRound(size.height() * devicePixelRatio)),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
    }
    image.setDevicePixelRatio(devicePixelRatio);
    QPixmap pixmap = QPixmap::fromImage(image);
    cache.insert(key, pixmap);
    return pixmap;
}

QIcon imageList1(int index)
{
    if (index < 0 || index >= ImageIndex::Count)
    {
        return {};
    }
    return svgIcon(iconPath(kImageList1[static_cast<size_t>(index)]), {16, 20, 22, 24, 32, 48});
}

QPixmap imageList1Pixmap(int index)
{
    if (index < 0 || index >= ImageIndex::Count)
    {
        return {};
    }
    return renderSvg(iconPath(kImageList1[static_cast<size_t>(index)]), QSize(16, 16));
}

int statusImageIndex(int status)
{
    switch (status)
    {
    case 0: return ImageIndex::EnvelopeOrange;
    case 1: return ImageIndex::EnvelopeGrey;
    case 2: return ImageIndex::Done;
    case 3: return ImageIndex::StatusRejected;
    case 4: return ImageIndex::StatusOther;
    default: return -1;
    }
}

int requestImportanceImageIndex(int importance)
{
    switch (importance)
    {
    case 1: return ImageIndex::ImportanceHigh;
    case 2: return ImageIndex::ImportanceMedium;
    case 3: return ImageIndex::ImportanceLow;
    default: return -1;
    }
}

int taskImportanceImageIndex(int importance)
{
    switch (importance)
    {
    case 2: return ImageIndex::TaskImportanceHigh;
    case 0: return ImageIndex::TaskImportanceMedium;
    case 1: return ImageIndex::TaskImportanceLow;
    default: return -1;
    }
}

int taskKindImageIndex(int kind)
{
    switch (kind)
    {
    case 0: return ImageIndex::TaskKind0;
    case 1: return ImageIndex::Done;
    default: return -1;
    }
}

int taskOwnerImageIndex(bool common)
{
    return common ? ImageIndex::TaskCommonOwner : ImageIndex::TaskOwnOwner;
}

QIcon appIcon()
{
    return svgIcon(QStringLiteral(":/icons/app.svg"), {16, 24, 32, 48, 64, 128, 256});
}

QPixmap dialogPicture(DialogPicture picture, int size)
{
    const char *name = "dlg-warning";
    switch (picture)
    {
    case DialogPicture::Warning: name = "dlg-warning"; break;
    case DialogPicture::Information: name = "dlg-information"; break;
    case DialogPicture::Question: name = "dlg-question"; break;
    }
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    return renderSvg(iconPath(name), QSize(size, size), ratio);
}

QIcon mainButtonIcon(MainButton button)
{
    const char *name = "btn-exit";
    switch (button)
    {
    case MainButton::Directories: name = "btn-directories"; break;
    case MainButton::Requests: name = "btn-requests"; break;
    case MainButton::Settings: name = "btn-settings"; break;
    case MainButton::Exit: name = "btn-exit"; break;
    }
    return svgIcon(iconPath(name), {24, 32, 40, 48, 64});
}

QPixmap noticeEnvelope()
{
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    return renderSvg(iconPath("notice-envelope"), QSize(65, 49), ratio);
}

} // namespace bw
