#include "replyinbox.h"

#include "clientconnection.h"

#include <QMetaObject>

void ReplyInbox::post(quint64 connection, quint64 request, const QByteArray &frame)
{
    QMutexLocker lock(&mutex);
    if (!receiver)
        return;
    const bool wake = waiting.empty();
    waiting.push_back({connection, request, frame});
    if (wake)
        QMetaObject::invokeMethod(
            receiver, [this] { handOver(); }, Qt::QueuedConnection);
}

void ReplyInbox::close()
{
    QMutexLocker lock(&mutex);
    receiver = nullptr;
    waiting.clear();
}

void ReplyInbox::handOver()
{
    {
        QMutexLocker lock(&mutex);
        waiting.swap(delivering);
    }
    for (Letter &letter : delivering) {
        if (ClientConnection *connection = connections.value(letter.connection))
            connection->answer(letter.request, letter.frame);
    }
    delivering.clear();
}
