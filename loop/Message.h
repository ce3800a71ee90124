#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

class HandlerMessage;

// A job for a handler: a code, the object it concerns (not owned) and arguments. Once handed
// to a send operation it belongs to the loop, which deletes it after handling or withdrawal.
class Message : public QObject
{
    Q_OBJECT
public:
    Message(HandlerMessage *target, int code);
    ~Message() override;
    Q_DISABLE_COPY_MOVE(Message)

    HandlerMessage *target;
    qint64 dueTime;          // monotonic milliseconds (see HandlerThread::now())
    int code;
    QObject *object = nullptr;
    quintptr extra = 0;
    QString text;
    // Outcome a job reports back in its completion message; empty when it succeeded.
    QString detail;
    // A value the job works on, copied in by the sender (a download carries the playlist
    // snapshot it writes), so the loop thread never reaches back into the sender's objects.
    QVariant payload;
};
