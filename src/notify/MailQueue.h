#pragma once

#include <QMutex>
#include <QQueue>
#include <QString>

#include <functional>
#include <optional>

class QTimer;

namespace bw {

// Executor notice: what a new executor is told about a request just put in their queue. The requests
// workspace fills it when it saves; the sender thread composes and sends it later, so it holds copies
// of every text it needs (senders never read the database).
struct MailNotice
{
    int requestNumber = 0;    // ID
    QString arrivalTime;      // INTIME, at most 40 characters
    int importance = 0;       // IMP, 1 to 3
    QString topic;            // TROUBLE, at most 250 characters
    QString refinement;       // TROUBLE_MORE
    QString details;          // TROUBLE_MAX
    QString contact;          // CONTACT
    QString groupLine;        // DLG93 + " " + GROUP_NAME when "Группа" is on and the group is known, else empty
    QString startTime;        // TROUBLE_WHEN
    QString computerLine;     // DLG95 + " " + system line, or DLG95 + " " + DLG68
    QString recipient;        // USER_EMAIL of the new executor, at most 250 characters
};

// Requester notice: the user who reported a request is told its new status.
struct ClientMailNotice
{
    int requestNumber = 0;    // ID
    QString topic;            // TROUBLE, at most 250 characters
    QString refinement;       // TROUBLE_MORE
    QString executorLine;     // DLG22 + ": " + USER_NAME, or empty when there is no executor
    QString currentInfo;      // CURRENT_INFO as saved
    int status = 0;           // new CURRENT_STATE, 0 to 4
    QString recipient;        // EMAIL of the request, at most 250 characters
};

// A first-in-first-out queue of notices shared by the user-interface thread (which appends) and the
// sender threads (which take). One sender at a time drains a queue: appending starts the queue's
// one-tick timer unless it is running or a sender is busy; a finished sender restarts the timer while
// notices remain.
template <typename Notice>
class NoticeQueue final
{
public:
    static constexpr int kCapacity = 1000;

    explicit NoticeQueue(std::function<QTimer *()> timer) : m_timer(std::move(timer)) {}
    Q_DISABLE_COPY_MOVE(NoticeQueue)

    // Appends a notice (texts cut to their stored length) and starts the sender timer. Returns false
    // without queuing when e-mail notification is off, the recipient is empty or the queue is full.
    bool enqueue(Notice notice);
    // The oldest notice, removed from the queue; nothing when the queue is empty.
    std::optional<Notice> takeFirst();
    bool isEmpty() const;
    int count() const;
    // Empties the queue and forgets a busy sender (tests and shutdown).
    void clear();

    // Sender bookkeeping. beginSending() takes the oldest notice and marks the queue busy, unless a
    // sender is already busy or nothing is queued. finishSending() clears the busy mark and, while notices
    // remain, starts the timer again on its own thread; it may be called from any thread.
    std::optional<Notice> beginSending();
    void finishSending();
    bool senderBusy() const;

private:
    void startTimer();

    std::function<QTimer *()> m_timer;
    mutable QMutex m_mutex;
    QQueue<Notice> m_items;
    bool m_busy = false;
};

using ExecutorMailQueue = NoticeQueue<MailNotice>;
using RequesterMailQueue = NoticeQueue<ClientMailNotice>;

// The two module-wide queues: executor notices (timer emailT) and requester notices (timer emailT_CLIENT).
ExecutorMailQueue &MailQueue();
RequesterMailQueue &ClientMailQueue();

} // namespace bw
