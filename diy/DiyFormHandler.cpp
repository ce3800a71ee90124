#include "diy/DiyFormHandler.h"

DiyFormHandler::DiyFormHandler(HandlerThread *loop, QObject *parent)
    : HandlerMessage(loop, parent)
{
}

DiyFormHandler::~DiyFormHandler()
{
    detachFromLoop();
}
