#include "loop/LoopLog.h"

Q_LOGGING_CATEGORY(lcLoop, "hologram.loop")
