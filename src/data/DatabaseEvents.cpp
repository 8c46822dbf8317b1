#include "data/DatabaseEvents.h"

#include "data/DbError.h"
#include "data/FbApi.h"
#include "data/FbConnection.h"

#include <QMetaObject>
#include <QPointer>

#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

using namespace Firebird;

namespace bw {

namespace {

// Receives the client library's notifications on its own thread and hands them to the owner's
// thread. The owner may go away first: it clears m_owner under the lock before releasing.
class EventCallback final : public IEventCallbackImpl<EventCallback, ThrowStatusWrapper>
{
public:
    explicit EventCallback(DatabaseEvents *owner, std::function<void(std::vector<unsigned char>)> deliver)
        : m_owner(owner), m_deliver(std::move(deliver))
    {
    }

    void addRef() override { ++m_refs; }
    int release() override
    {
        if (--m_refs == 0) {
            delete this;
            return 0;
        }
        return 1;
    }

    void eventCallbackFunction(unsigned length, const ISC_UCHAR *events) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_owner || !events)
            return;
        std::vector<unsigned char> copy(events, events + length);
        QMetaObject::invokeMethod(m_owner, [deliver = m_deliver, copy = std::move(copy)]() { deliver(copy); },
                                  Qt::QueuedConnection);
    }

    void orphan()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_owner = nullptr;
    }

private:
    std::atomic<int> m_refs{1};
    std::mutex m_mutex;
    DatabaseEvents *m_owner;
    std::function<void(std::vector<unsigned char>)> m_deliver;
};

// Event parameter block: version byte, then per event its name length, name and a 32-bit count.
std::vector<unsigned char> eventBlock(const QStringList &names, const std::vector<quint32> &counts)
{
    std::vector<unsigned char> b;
    b.push_back(1); // EPB_version1
    for (int i = 0; i < names.size(); ++i) {
        const QByteArray n = names.at(i).toLatin1();
        b.push_back(static_cast<unsigned char>(n.size()));
        b.insert(b.end(), n.begin(), n.end());
        const quint32 c = counts.at(size_t(i));
        for (int k = 0; k < 4; ++k)
            b.push_back(static_cast<unsigned char>((c >> (8 * k)) & 0xff));
    }
    return b;
}

std::vector<quint32> countsOf(const std::vector<unsigned char> &block, int events)
{
    std::vector<quint32> counts;
    size_t p = 1;
    for (int i = 0; i < events && p < block.size(); ++i) {
        const size_t len = block[p];
        p += 1 + len;
        quint32 c = 0;
        for (int k = 0; k < 4 && p + size_t(k) < block.size(); ++k)
            c |= quint32(block[p + size_t(k)]) << (8 * k);
        counts.push_back(c);
        p += 4;
    }
    return counts;
}

} // namespace

struct DatabaseEvents::Impl
{
    FbConnection conn;
    QStringList names;
    std::vector<quint32> counts;
    bool primed = false;
    EventCallback *callback = nullptr;
    IEvents *events = nullptr;
    std::vector<unsigned char> pending;
};

DatabaseEvents::DatabaseEvents(QObject *parent)
    : QObject(parent), d(std::make_unique<Impl>())
{
}

DatabaseEvents::~DatabaseEvents()
{
    detach();
}

bool DatabaseEvents::isAttached() const
{
    return d->conn.isOpen();
}

void DatabaseEvents::attach(const QString &databaseString, const QStringList &names)
{
    detach();
    d->conn.open(databaseString);
    d->names = names;
    d->counts.assign(size_t(names.size()), 0);
    d->primed = false;
    QPointer<DatabaseEvents> self(this);
    d->callback = new EventCallback(this, [self](std::vector<unsigned char> block) {
        if (self) {
            self->d->pending = std::move(block);
            self->process();
        }
    });
    queue();
}

void DatabaseEvents::queue()
{
    const std::vector<unsigned char> block = eventBlock(d->names, d->counts);
    ThrowStatusWrapper st(fb::master()->getStatus());
    try {
        if (d->events) {
            d->events->release();
            d->events = nullptr;
        }
        d->events = d->conn.attachment()->queEvents(&st, d->callback, unsigned(block.size()), block.data());
    } catch (const FbException &e) {
        st.dispose();
        fb::rethrow(e);
    }
    st.dispose();
}

void DatabaseEvents::process()
{
    if (!d->conn.isOpen())
        return;
    const std::vector<quint32> now = countsOf(d->pending, int(d->names.size()));
    QStringList fired;
    for (size_t i = 0; i < now.size() && i < d->counts.size(); ++i) {
        if (d->primed && now[i] > d->counts[i])
            fired << d->names.at(int(i));
    }
    if (now.size() == d->counts.size())
        d->counts = now;
    d->primed = true; // the first notification only reports the current counts
    try {
        queue();
    } catch (const DbError &) {
        // the event connection is gone; events stop until the next attach
    }
    for (const QString &name : fired)
        Q_EMIT eventReceived(name);
}

void DatabaseEvents::detach()
{
    ThrowStatusWrapper st(fb::master()->getStatus());
    if (d->events) {
        try {
            d->events->cancel(&st);
        } catch (const FbException &) {
        }
        d->events = nullptr;
    }
    if (d->callback) {
        d->callback->orphan();
        d->callback->release();
        d->callback = nullptr;
    }
    st.dispose();
    d->conn.close();
}

} // namespace bw
