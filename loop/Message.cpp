#include "loop/Message.h"

#include "loop/HandlerThread.h"

Message::Message(HandlerMessage *target, int code)
    : target(target), dueTime(HandlerThread::now()), code(code)
{
}

Message::~Message() = default;
