#pragma once

#include <QObject>
#include <QString>

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
};
