#pragma once

#include "loop/HandlerMessage.h"

// The drawing form's handler on the shared loop thread. It takes no messages; making it
// starts the loop thread when no window has done so yet.
class DiyFormHandler : public HandlerMessage
{
    Q_OBJECT
public:
    explicit DiyFormHandler(HandlerThread *loop, QObject *parent = nullptr);
    ~DiyFormHandler() override;
    Q_DISABLE_COPY_MOVE(DiyFormHandler)
};
