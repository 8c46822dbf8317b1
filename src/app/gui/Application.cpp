#include "app/gui/Application.h"

#include "app/gui/MessageDlg.h"

#include <QDir>
#include <QStandardPaths>

#include <exception>

namespace bw {

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
{
}

void reportEscapedError(const QString &text)
{
    ReportError(text);
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        reportEscapedError(QString::fromUtf8(e.what()));
    } catch (...) {
        reportEscapedError(QStringLiteral("Unknown error"));
    }
    return false;
}

std::unique_ptr<QLockFile> acquireInstanceLock(const QString &programFileName)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    auto lock = std::make_unique<QLockFile>(QDir(dir).filePath(programFileName + QStringLiteral(".instance.lock")));
    lock->setStaleLockTime(0); // only a dead owner's lock is stale, however old it is
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

} // namespace bw
