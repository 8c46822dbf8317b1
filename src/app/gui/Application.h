#pragma once

#include <QApplication>
#include <QLockFile>

#include <memory>

namespace bw {

// The console's application object. An error that escapes a command handler (database, file)
// ends that command and is shown to the user with its own text; the program keeps running.
class Application final : public QApplication
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Application)

public:
    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// Shows an error that escaped a command: the default error report, in one place.
void reportEscapedError(const QString &text);

// Single instance by the program file's name: a lock file that a crashed instance does not leave
// behind (a stale lock is taken over). Returns nullptr when another instance holds it.
std::unique_ptr<QLockFile> acquireInstanceLock(const QString &programFileName);

} // namespace bw
