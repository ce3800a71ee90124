#include "diy/DiyLog.h"

Q_LOGGING_CATEGORY(lcDiy, "hologram.diy")
