#pragma once

#include <QObject>
#include <QStringList>

#include <memory>

namespace bw {

class FbConnection;

// The event connection: a second attachment of its own that receives the database events
// ("UPDATE", "UPDATE_CLOSE") and delivers each one on the thread that owns this object
// (the user-interface thread).
class DatabaseEvents final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DatabaseEvents)

public:
    explicit DatabaseEvents(QObject *parent = nullptr);
    ~DatabaseEvents() override;

    // Closes the event connection, opens it on the database and registers the events. Throws DbError.
    void attach(const QString &databaseString,
                const QStringList &names = {QStringLiteral("UPDATE"), QStringLiteral("UPDATE_CLOSE")});
    void detach();
    bool isAttached() const;

Q_SIGNALS:
    void eventReceived(const QString &name);

private:
    struct Impl;
    void process();
    void queue();
    std::unique_ptr<Impl> d;
};

} // namespace bw
