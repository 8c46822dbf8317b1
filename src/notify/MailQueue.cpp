#include "notify/MailQueue.h"

#include "app/Shell.h"
#include "settings/Settings.h"

#include <QMetaObject>
#include <QMutexLocker>
#include <QTimer>

namespace bw {

namespace {

constexpr int kArrivalTimeLength = 40;
constexpr int kTextLength = 250;

void cutToLength(MailNotice &n)
{
    n.arrivalTime.truncate(kArrivalTimeLength);
    n.topic.truncate(kTextLength);
    n.recipient.truncate(kTextLength);
}

void cutToLength(ClientMailNotice &n)
{
    n.topic.truncate(kTextLength);
    n.recipient.truncate(kTextLength);
}

} // namespace

template <typename Notice>
bool NoticeQueue<Notice>::enqueue(Notice notice)
{
    if (!settings().CB7 || notice.recipient.trimmed().isEmpty())
        return false;
    cutToLength(notice);
    bool start = false;
    {
        QMutexLocker lock(&m_mutex);
        if (m_items.size() >= kCapacity)
            return false;
        m_items.enqueue(std::move(notice));
        start = !m_busy;
    }
    if (start)
        startTimer();
    return true;
}

template <typename Notice>
std::optional<Notice> NoticeQueue<Notice>::takeFirst()
{
    QMutexLocker lock(&m_mutex);
    if (m_items.isEmpty())
        return std::nullopt;
    return m_items.dequeue();
}

template <typename Notice>
bool NoticeQueue<Notice>::isEmpty() const
{
    QMutexLocker lock(&m_mutex);
    return m_items.isEmpty();
}

template <typename Notice>
int NoticeQueue<Notice>::count() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_items.size());
}

template <typename Notice>
void NoticeQueue<Notice>::clear()
{
    QMutexLocker lock(&m_mutex);
    m_items.clear();
    m_busy = false;
}

template <typename Notice>
std::optional<Notice> NoticeQueue<Notice>::beginSending()
{
    QMutexLocker lock(&m_mutex);
    if (m_busy || m_items.isEmpty())
        return std::nullopt;
    m_busy = true;
    return m_items.dequeue();
}

template <typename Notice>
void NoticeQueue<Notice>::finishSending()
{
    bool more = false;
    {
        QMutexLocker lock(&m_mutex);
        m_busy = false;
        more = !m_items.isEmpty();
    }
    if (more)
        startTimer();
}

template <typename Notice>
bool NoticeQueue<Notice>::senderBusy() const
{
    QMutexLocker lock(&m_mutex);
    return m_busy;
}

template <typename Notice>
void NoticeQueue<Notice>::startTimer()
{
    QTimer *timer = m_timer ? m_timer() : nullptr;
    if (!timer)
        return;
    // The timer belongs to the user-interface thread; a sender thread asks that thread to start it.
    QMetaObject::invokeMethod(timer, [timer] {
        if (!timer->isActive())
            timer->start();
    });
}

template class NoticeQueue<MailNotice>;
template class NoticeQueue<ClientMailNotice>;

ExecutorMailQueue &MailQueue()
{
    // Never destroyed: a sender thread may still finish while the process ends.
    static auto *queue = new ExecutorMailQueue([] { return mainTimers().emailT; });
    return *queue;
}

RequesterMailQueue &ClientMailQueue()
{
    static auto *queue = new RequesterMailQueue([] { return mainTimers().emailT_CLIENT; });
    return *queue;
}

} // namespace bw
